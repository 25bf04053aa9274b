#include "Win32SettingsPanel.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "controls/win32/WindowClass.h"
#include "Dpi.h"
#include "platform/win32/Win32Text.h"
#include "controls/win32/ColorRef.h"
#include "controls/win32/Win32AdpEdit.h"
#include "controls/win32/Win32LabelX.h"
#include "controls/win32/Win32SpinEdit.h"
#include "controls/win32/Win32SpinEditX.h"
#include "controls/win32/WindowText.h"
#include "shell/DialogAnswers.h"
#include "shell/MainWindow.h"

namespace ovin {

namespace {

constexpr wchar_t kPanelClass[] = L"OvinPanel";
constexpr int kFirstControlId = 1000;

}  // namespace

Win32SettingsPanel::Win32SettingsPanel(HWND parent, TConf& conf, DialogAnswers* answers, HFONT font, int dpi,
                                       std::function<void()> freeRightRelease)
    : m_logic(conf, *this), m_answers(answers), m_freeRightRelease(std::move(freeRightRelease)), m_dpi(dpi)
{
    win32::RegisterWindowClass({.name = kPanelClass, .procedure = &Win32SettingsPanel::panelProc, .buttonFace = true});
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // A control parent: Tab and the arrow keys of the main window's dialog navigation go into the panel.
    m_panel = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_STATICEDGE, kPanelClass, L"Panel1",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, px(kPanelHeightPx), parent, nullptr,
                              instance, this);
    m_panel2 =
        CreateWindowExW(0, kPanelClass, L"Panel2", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_panel, nullptr, instance, this);
    m_active = CreateWindowExW(0, kPanelClass, L"pActive", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_panel2, nullptr,
                               instance, this);
    m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_panel, nullptr, instance, nullptr);
    SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, 400);
    createControls(font);
    setValue(PanelControl::seWait, kRouterWaitDefault);
}

Win32SettingsPanel::~Win32SettingsPanel()
{
    m_spins = {};
    m_plainSpins.clear();
    m_seWait.reset();
    if (IsWindow(m_panel)) {
        SetWindowLongPtrW(m_panel, GWLP_USERDATA, 0);
        SetWindowLongPtrW(m_panel2, GWLP_USERDATA, 0);
        SetWindowLongPtrW(m_active, GWLP_USERDATA, 0);
    }
    if (m_tips)
        DestroyWindow(m_tips);
    if (m_boldFont)
        DeleteObject(m_boldFont);
}

int Win32SettingsPanel::px(int designPx) const { return win32::scaled(designPx, m_dpi); }

void Win32SettingsPanel::createControls(HFONT font)
{
    int id = kFirstControlId;
    for (const PanelControlRow& row : PanelControls()) {
        const HWND w = createControl(row, id++, font);
        m_controls[static_cast<std::size_t>(row.id)] = w;
        addHint(w, row.hint);
    }
    placeControls(font);
    putInTabOrder();
}

HWND Win32SettingsPanel::createControl(const PanelControlRow& row, int id, HFONT font)
{
    const std::wstring caption = win32::widen(row.caption);
    const DWORD tab = row.tabOrder >= 0 ? WS_TABSTOP : 0;
    // Made without a place: placeControls puts them where the table says at the window's resolution.
    const auto make = [&](const wchar_t* cls, DWORD style) {
        return CreateWindowExW(0, cls, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_panel,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    };
    switch (row.kind) {
    case PanelControlKind::CheckBox:
        return make(L"BUTTON", tab | BS_AUTOCHECKBOX);
    case PanelControlKind::Label:
        // Only its corner is fixed: the label is as large as its caption in the panel's font.
        return m_labels.emplace_back(std::make_unique<Win32LabelX>(m_panel, id, POINT{0, 0}, caption, font))->hwnd();
    case PanelControlKind::SpinEdit: {
        const SpinLimits limits{row.minValue, row.maxValue};
        const RECT r = win32::scaledRect(row.bounds, m_dpi);
        Win32SpinEdit* spinEdit = nullptr;
        if (row.id == PanelControl::seWait) {
            // Given no caption: the text around it is the panel's own labels, so it never makes a label.
            m_seWait = std::make_unique<Win32SpinEditX>(m_panel, id, r, limits, font, win32::widen(row.name));
            spinEdit = &m_seWait->spinEdit();
        } else {
            spinEdit = m_plainSpins.emplace_back(std::make_unique<Win32SpinEdit>(m_panel, id, r, limits, font)).get();
        }
        m_spins[static_cast<std::size_t>(row.id)] = spinEdit;
        return spinEdit->edit();
    }
    case PanelControlKind::Button:
        return make(L"BUTTON", tab | (row.emphasised ? BS_OWNERDRAW : BS_PUSHBUTTON));
    case PanelControlKind::PathEdit:
        m_ePathTo = std::make_unique<Win32AdpEdit>(m_panel, id, RECT{}, font, tab);
        m_ePathTo->setColorOnEnter(win32::colorRef(kPathColourOnEnter));
        return m_ePathTo->hwnd();
    }
    return nullptr;
}

void Win32SettingsPanel::addHint(HWND control, const char* hint)
{
    if (!*hint)
        return;
    std::wstring text = win32::widen(hint);
    TTTOOLINFOW tip{};
    tip.cbSize = sizeof tip;
    tip.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tip.hwnd = m_panel;
    tip.uId = reinterpret_cast<UINT_PTR>(control);
    tip.lpszText = text.data();
    SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tip));
}

void Win32SettingsPanel::putInTabOrder()
{
    // The tab order is the order of the windows among their siblings: the focusable controls are put in it.
    std::vector<const PanelControlRow*> order;
    for (const PanelControlRow& row : PanelControls()) {
        if (row.tabOrder >= 0)
            order.push_back(&row);
    }
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabOrder < b->tabOrder; });
    HWND previous = HWND_TOP;
    for (const PanelControlRow* row : order) {
        const HWND w = control(row->id);
        SetWindowPos(w, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = w;
    }
}

void Win32SettingsPanel::placeControls(HFONT font)
{
    LOGFONTW bold{};
    GetObjectW(font, sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    if (m_boldFont)
        DeleteObject(m_boldFont);
    m_boldFont = CreateFontIndirectW(&bold);

    for (const PanelControlRow& row : PanelControls()) {
        const RECT r = win32::scaledRect(row.bounds, m_dpi);
        if (Win32SpinEdit* s = spin(row.id)) {
            s->setFont(font);
            s->place(r, m_dpi);
            continue;
        }
        const HWND w = control(row.id);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(row.emphasised ? m_boldFont : font), FALSE);
        // A label sizes itself to its caption in the font it is given: only its corner is placed.
        const UINT keepSize = row.kind == PanelControlKind::Label ? SWP_NOSIZE : 0;
        SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     keepSize | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32SettingsPanel::setDpi(int dpi, HFONT font)
{
    m_dpi = dpi;
    placeControls(font);
    layout();
    InvalidateRect(m_panel, nullptr, TRUE);
}

void Win32SettingsPanel::layout()
{
    RECT inside;
    GetClientRect(m_panel, &inside);
    const int strip = px(kActivityStripWidthPx);
    MoveWindow(m_panel2, 0, 0, strip, inside.bottom, TRUE);
    const int size = px(kActivitySizePx);
    MoveWindow(m_active, 0, inside.bottom - size, size, size, TRUE);
}

void Win32SettingsPanel::setActivity(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    InvalidateRect(m_active, nullptr, TRUE);
    // The tick runs without the message loop: the colour is painted now or never seen.
    UpdateWindow(m_active);
}

Win32SpinEdit* Win32SettingsPanel::spin(PanelControl id) const { return m_spins[static_cast<std::size_t>(id)]; }

bool Win32SettingsPanel::isChecked(PanelControl id) const
{
    return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32SettingsPanel::setChecked(PanelControl id, bool on)
{
    const bool was = isChecked(id);
    SendMessageW(control(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    if (id == PanelControl::cxJinyAdrReq && was != on)
        m_logic.cxJinyAdrReqClick();
}

std::int32_t Win32SettingsPanel::value(PanelControl id) const { return spin(id)->Value(); }

void Win32SettingsPanel::setValue(PanelControl id, std::int32_t v) { spin(id)->setValue(v); }

std::string Win32SettingsPanel::text(PanelControl id) const { return win32::narrow(win32::windowText(control(id))); }

void Win32SettingsPanel::setText(PanelControl id, const std::string& text)
{
    SetWindowTextW(control(id), win32::widen(text).c_str());
}

void Win32SettingsPanel::setEnabled(PanelControl id, bool on)
{
    if (Win32SpinEdit* s = spin(id))
        s->setEnabled(on);
    else
        EnableWindow(control(id), on);
}

void Win32SettingsPanel::setFocus(PanelControl id) { SetFocus(control(id)); }

std::optional<std::string> Win32SettingsPanel::chooseFile()
{
    if (std::optional<std::optional<std::string>> queued = TakeQueuedFile(m_answers))
        return *queued;
    std::wstring file(MAX_PATH * 4, L'\0');
    OPENFILENAMEW od1{};
    od1.lStructSize = sizeof od1;
    od1.hwndOwner = GetAncestor(m_panel, GA_ROOT);
    od1.lpstrFile = file.data();
    od1.nMaxFile = static_cast<DWORD>(file.size());
    // Browsing must not move the process's current folder, against which a relative other folder is resolved.
    od1.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING | OFN_EXPLORER;
    if (!GetOpenFileNameW(&od1))
        return std::nullopt;
    file.resize(wcslen(file.c_str()));
    return win32::narrow(file);
}

void Win32SettingsPanel::drawEmphasised(const DRAWITEMSTRUCT& item) const
{
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const HGDIOBJ old = SelectObject(item.hDC, m_boldFont);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC,
                 (item.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT) : win32::colorRef(kEmphasisedColour));
    const std::wstring caption = win32::windowText(item.hwndItem);
    RECT text = r;
    if (pressed)
        OffsetRect(&text, 1, 1);
    DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(item.hDC, old);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -4, -4);
        DrawFocusRect(item.hDC, &r);
    }
}

LRESULT CALLBACK Win32SettingsPanel::panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32SettingsPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self)
        return self->handle(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32SettingsPanel::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == m_active && message == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(window, &r);
        const HBRUSH brush =
            CreateSolidBrush(m_busy ? win32::colorRef(kActivityBusyColour) : GetSysColor(COLOR_BTNFACE));
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        DeleteObject(brush);
        return 1;
    }
    if (window != m_panel)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
        layout();
        return 0;
    case WM_COMMAND: {
        const HWND from = reinterpret_cast<HWND>(lParam);
        const int code = HIWORD(wParam);
        if (from == control(PanelControl::bSaveConf) && code == BN_CLICKED)
            m_logic.bSaveConfClick();
        else if (from == control(PanelControl::cxJinyAdrReq) && code == BN_CLICKED)
            m_logic.cxJinyAdrReqClick();
        else if (from == control(PanelControl::bJinyAdrReq) && code == BN_CLICKED)
            m_logic.bJinyAdrReqClick();
        return 0;
    }
    case WM_CTLCOLOREDIT:
        if (const HBRUSH brush = Win32AdpEdit::colourFor(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DRAWITEM:
        drawEmphasised(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_RBUTTONUP:
        // Only a release on the panel itself comes here: a control under the pointer takes it.
        if (m_freeRightRelease)
            m_freeRightRelease();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ovin
