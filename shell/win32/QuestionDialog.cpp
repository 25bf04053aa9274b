#include "QuestionDialog.h"

#include <array>
#include <cstdint>

#include "Dpi.h"
#include "SelectedObject.h"
#include "UniqueHandle.h"
#include "platform/win32/Win32Text.h"
#include "WindowDC.h"
#include "shell/QuestionDialog.h"

namespace ovin::win32 {

namespace {

// The restyle changes the font's name only; the size is the standard dialog's.
constexpr int kQuestionFontPoints = 8;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

struct Question {
    std::wstring caption;
    std::wstring text;
    QuestionKind kind;
    const std::function<bool()>* isDebugMode;
    FontHandle regular;
    FontHandle bold;
};

const wchar_t* iconOf(QuestionKind kind)
{
    switch (kind) {
    case QuestionKind::Warning:
        return IDI_WARNING;
    case QuestionKind::Error:
        return IDI_ERROR;
    case QuestionKind::Information:
        return IDI_INFORMATION;
    case QuestionKind::Confirmation:
        return IDI_QUESTION;
    case QuestionKind::Custom:
        break;
    }
    return nullptr;
}

FontHandle questionFont(int dpi, bool bold)
{
    LOGFONTW look{};
    const std::wstring face = widen(question::kFontName);
    face.copy(look.lfFaceName, LF_FACESIZE - 1);
    look.lfHeight = fontHeightFor(kQuestionFontPoints, dpi);
    look.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    look.lfCharSet = DEFAULT_CHARSET;
    return FontHandle(CreateFontIndirectW(&look));
}

SIZE measureText(HWND dialog, HFONT font, const std::wstring& text, int widthPx, UINT format)
{
    const WindowDC dc(dialog);
    const SelectedObject fontIn(dc.get(), font);
    RECT box{0, 0, widthPx, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
              format | DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return {box.right - box.left, box.bottom - box.top};
}

int boldLineWidth(HWND dialog, HFONT bold, const std::wstring& text)
{
    const WindowDC dc(dialog);
    const SelectedObject fontIn(dc.get(), bold);
    RECT box{};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return box.right - box.left;
}

HWND createChild(HWND dialog, const wchar_t* windowClass, const wchar_t* text, DWORD style, int id)
{
    return CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, dialog,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void place(HWND control, const Rect& r)
{
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void layOut(HWND dialog, Question& q)
{
    const int dpi = dpiOf(dialog);
    const question::Metrics metrics = question::ScaledMetrics(dpi);
    q.regular = questionFont(dpi, false);
    q.bold = questionFont(dpi, true);

    // The standard dialog's children in the order it makes them: icon, text, buttons. Their creation order is
    // also the tab order, and the statics take no focus, so Tab goes between the two buttons.
    HWND icon = nullptr;
    if (const wchar_t* standardIcon = iconOf(q.kind)) {
        icon = createChild(dialog, L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL, kQuestionIconId);
        const auto image = static_cast<HICON>(
            LoadImageW(nullptr, standardIcon, IMAGE_ICON, metrics.iconSizePx, metrics.iconSizePx, LR_SHARED));
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(image), 0);
    }
    const HWND text = createChild(dialog, L"STATIC", q.text.c_str(), SS_CENTER | SS_NOPREFIX, kQuestionTextId);
    const bool debugYes = (*q.isDebugMode)();
    const HWND yes = createChild(dialog, L"BUTTON", widen(question::YesCaption(debugYes)).c_str(),
                                 BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES);
    const bool debugNo = (*q.isDebugMode)();
    const HWND no =
        createChild(dialog, L"BUTTON", widen(question::NoCaption(debugNo)).c_str(), BS_PUSHBUTTON | WS_TABSTOP, IDNO);
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(q.regular.get()), FALSE);
    for (const HWND button : {yes, no})
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(q.regular.get()), FALSE);
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(q.bold.get()), FALSE);

    const SIZE plainText = measureText(dialog, q.regular.get(), q.text, metrics.maxTextWidthPx, DT_LEFT);
    const question::Layout plain = question::PlainLayout(metrics, icon != nullptr, Size{plainText.cx, plainText.cy},
                                                         boldLineWidth(dialog, q.bold.get(), q.text));
    const question::Layout layout = question::Restyle(
        plain, metrics, [&](int widthPx) { return measureText(dialog, q.bold.get(), q.text, widthPx, DT_CENTER).cy; });
    if (icon)
        place(icon, *layout.icon);
    place(text, layout.text);
    place(yes, layout.yes);
    place(no, layout.no);

    RECT outer{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&outer, kDialogStyle, FALSE, kDialogExStyle);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(dialog, HWND_TOPMOST, screen.left + (screen.right - screen.left - width) / 2,
                 screen.top + (screen.bottom - screen.top - height) / 2, width, height, SWP_NOACTIVATE);
    SetWindowTextW(dialog, q.caption.c_str());
    SendMessageW(dialog, DM_SETDEFID, IDYES, 0);
    SetFocus(yes);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        layOut(dialog, *reinterpret_cast<Question*>(lParam));
        return FALSE;  // the focus is set
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES:
        case IDOK:
            EndDialog(dialog, IDYES);
            return TRUE;
        case IDNO:
        case IDCANCEL:
            EndDialog(dialog, IDNO);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_CLOSE:
        EndDialog(dialog, IDNO);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

bool askQuestion(HWND owner, const std::wstring& caption, const std::wstring& text, QuestionKind kind,
                 const std::function<bool()>& isDebugMode)
{
    // An empty dialog template; the children are made and placed in WM_INITDIALOG, where the dialog's own font
    // and resolution are known. The template is DWORD-aligned as the system requires.
    alignas(DWORD) std::array<std::uint8_t, sizeof(DLGTEMPLATE) + 3 * sizeof(WORD)> storage{};
    auto* dialogTemplate = reinterpret_cast<DLGTEMPLATE*>(storage.data());
    dialogTemplate->style = kDialogStyle;
    dialogTemplate->dwExtendedStyle = kDialogExStyle;
    Question question{caption, text, kind, &isDebugMode, {}, {}};
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, &dialogProc,
                                                   reinterpret_cast<LPARAM>(&question));
    return answer == IDYES;
}

}  // namespace ovin::win32
