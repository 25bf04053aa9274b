// The Win32 controls and timers on the system's own windows and message queue, without a desktop.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <utility>
#include <string>

#include "controls/win32/KeptFocus.h"
#include "controls/win32/Win32AdpEdit.h"
#include "controls/win32/Win32LabelX.h"
#include "controls/win32/Win32SpinEdit.h"
#include "controls/win32/Win32SpinEditX.h"
#include "controls/win32/Win32WatchTimer.h"
#include "controls/win32/WindowClass.h"
#include "shell/win32/Resources.h"

// Places compared whole, and shown as such when they differ.
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* out)
{
    *out << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
}

namespace ovin {
namespace {

// Pumps the thread's messages until `done` or the time is up; timers fire only from a message loop.
template <typename Done>
bool pumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::milliseconds(2000))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(5);
    }
    return true;
}

TEST(Win32WatchTimer, FiresFromTheMessageLoopUntilSwitchedOff)
{
    Win32WatchTimer timer;
    EXPECT_FALSE(timer.enabled());
    int fired = 0;
    timer.setOnTimer([&] { ++fired; });
    timer.setInterval(20);
    EXPECT_EQ(timer.interval(), 20);
    timer.setEnabled(true);
    EXPECT_TRUE(timer.enabled());
    EXPECT_TRUE(pumpUntil([&] { return fired >= 2; }));
    timer.setEnabled(false);
    EXPECT_FALSE(timer.enabled());
    const int before = fired;
    pumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(fired, before);

    // A period of 0 or below fires as soon as the queue is empty; a handler may switch its own timer off.
    timer.setInterval(-5);
    EXPECT_EQ(timer.interval(), 0);
    timer.setOnTimer([&] {
        ++fired;
        timer.setEnabled(false);
    });
    timer.setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return !timer.enabled(); }));
    EXPECT_EQ(fired, before + 1);
}

// Controls on a parent of their own; Wine makes edit and static controls only on a display, so without one the
// cases are skipped (the desktop test, ovin-test.sh controls, runs them).
class DesktopControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A message-only parent: the tests run without a desktop.
        m_parent = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 200, 100, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        // Wine without a display makes no edit controls: these run on the desktop test's display
        // (ovin-test.sh controls) and are skipped in the headless unit run.
        const HWND probe = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 1, 1, m_parent, nullptr,
                                           GetModuleHandleW(nullptr), nullptr);
        if (!probe)
            GTEST_SKIP() << "no edit controls without a desktop";
        DestroyWindow(probe);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    static std::wstring text(HWND window)
    {
        wchar_t buffer[64]{};
        GetWindowTextW(window, buffer, 63);
        return buffer;
    }

    // The window's place in its parent's client area.
    static RECT placeOf(HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static std::wstring classOf(HWND window)
    {
        wchar_t name[64]{};
        GetClassNameW(window, name, 64);
        return name;
    }

    HWND m_parent = nullptr;
};

class SpinEdit : public DesktopControls {};
class SpinEditX : public DesktopControls {};
class LabelX : public DesktopControls {};
class AdpEdit : public DesktopControls {};

TEST_F(SpinEdit, ValuesKeepToTheLimitsAndTheArrowKeysStep)
{
    Win32SpinEdit spin(m_parent, 7, RECT{0, 0, 73, 22}, SpinLimits{1, 1000}, nullptr);
    EXPECT_EQ(GetDlgCtrlID(spin.edit()), 7);
    EXPECT_EQ(text(spin.edit()), L"1") << "starts at its minimum";
    const struct {
        std::int32_t written;
        const wchar_t* shown;
    } cases[] = {{5, L"5"}, {1000, L"1000"}, {1001, L"1000"}, {0, L"1"}, {-7, L"1"}};
    for (const auto& c : cases) {
        spin.setValue(c.written);
        EXPECT_EQ(text(spin.edit()), c.shown) << c.written;
    }
    spin.setValue(999);
    SendMessageW(spin.edit(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(spin.Value(), 1000);
    SendMessageW(spin.edit(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(spin.Value(), 1000) << "held at the maximum";
    SendMessageW(spin.edit(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(spin.Value(), 999);

    // Text that is no number reads as the minimum; leaving the field puts a number outside the limits back.
    SetWindowTextW(spin.edit(), L"abc");
    EXPECT_EQ(spin.Value(), 1);
    SetWindowTextW(spin.edit(), L"5000");
    SendMessageW(spin.edit(), WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(text(spin.edit()), L"1000");
}

TEST_F(SpinEdit, RefusedKeysAreNotTypedAndTheArrowsSitInsideTheEdit)
{
    Win32SpinEdit spin(m_parent, 8, RECT{0, 0, 73, 22}, SpinLimits{0, 0}, nullptr);
    SetWindowTextW(spin.edit(), L"");
    for (const wchar_t typed : {L'4', L'x', L'2', L' ', L'-'})
        SendMessageW(spin.edit(), WM_CHAR, typed, 0);
    EXPECT_EQ(text(spin.edit()), L"42-");
    EXPECT_EQ(GetParent(spin.arrows()), spin.edit());
    RECT arrows;
    GetClientRect(spin.arrows(), &arrows);
    EXPECT_GE(arrows.right, kMinSpinButtonWidthPx);
    spin.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(spin.edit()));
    EXPECT_FALSE(IsWindowEnabled(spin.arrows()));
}

// The size `text` takes when drawn in `font` as it stands (no accelerator marks).
SIZE drawnSize(HWND window, HFONT font, const wchar_t* text)
{
    const HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT r{};
    DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{r.right, r.bottom};
}

TEST_F(LabelX, SizesItselfToItsCaptionKeepsItsCornerAndIsNoDialogMnemonic)
{
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto label = std::make_unique<Win32LabelX>(m_parent, 21, POINT{192, 112}, L"", font);
    ASSERT_NE(label->hwnd(), nullptr);
    EXPECT_EQ(classOf(label->hwnd()), Win32LabelX::kClassName);
    EXPECT_EQ(placeOf(label->hwnd()).right, 192 + 65) << "a new label is 65 × 17 until it has a caption";
    EXPECT_EQ(placeOf(label->hwnd()).bottom, 112 + 17);

    // The accelerator mark takes no room ("&&" is one "&"); lines break only where the caption does.
    const struct {
        const wchar_t* caption;
        const wchar_t* shown;
    } cases[] = {{L"Čekat na spuštění Trovan", L"Čekat na spuštění Trovan"},
                 {L"&Ano", L"Ano"},
                 {L"A&&B", L"A&B"},
                 {L"dva\nřádky", L"dva\nřádky"}};
    for (const auto& c : cases) {
        label->setCaption(c.caption);
        const SIZE want = drawnSize(label->hwnd(), font, c.shown);
        EXPECT_EQ(placeOf(label->hwnd()), (RECT{192, 112, 192 + want.cx, 112 + want.cy})) << c.shown;
    }
    // A new font resizes it too.
    LOGFONTW big{};
    GetObjectW(font, sizeof big, &big);
    big.lfHeight *= 2;
    const HFONT bigFont = CreateFontIndirectW(&big);
    SendMessageW(label->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(bigFont), FALSE);
    EXPECT_EQ(placeOf(label->hwnd()).right - 192, drawnSize(label->hwnd(), bigFont, L"dva\nřádky").cx);
    SendMessageW(label->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    DeleteObject(bigFont);

    EXPECT_EQ(SendMessageW(label->hwnd(), WM_NCHITTEST, 0, 0), HTCLIENT) << "a release on it is not on the panel";
    EXPECT_EQ(SendMessageW(label->hwnd(), WM_GETDLGCODE, 0, 0), 0) << "its underlined letter moves no focus";
    DestroyWindow(label->hwnd());
    EXPECT_EQ(label->hwnd(), nullptr) << "destroyed by its container: never destroyed or used again";
    label->setCaption(L"x");
}

TEST_F(SpinEditX, MakesPlacesMovesAndDestroysItsCaptionLabel)
{
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto spin =
        std::make_unique<Win32SpinEditX>(m_parent, 30, RECT{100, 50, 173, 71}, SpinLimits{0, 0}, font, L"seWait");
    EXPECT_EQ(spin->CaptionLabel(), nullptr);
    EXPECT_EQ(spin->LabelSpacing(), 3);
    // Without a label the side is not taken: the label made afterwards stands above.
    spin->setLabelPosition(lpLeft);
    EXPECT_EQ(spin->LabelPosition(), lpAbove);

    spin->setCaption(L"Čekat na spuštění Trovan");
    ASSERT_NE(spin->CaptionLabel(), nullptr);
    const HWND label = spin->CaptionLabel()->hwnd();
    EXPECT_EQ(GetParent(label), m_parent) << "the edit's sibling";
    const SIZE size = drawnSize(label, font, L"Čekat na spuštění Trovan");
    // Placed with the name's height, one line in the same font like the caption's.
    EXPECT_EQ(placeOf(label), (RECT{100, 50 - size.cy - 3, 100 + size.cx, 50 - 3}));

    // The edit is 100, 50, 73 × 21; beside it the label is centred on its height (halves truncated).
    const int besideTop = 50 + (21 - size.cy) / 2;
    const struct {
        TLabelPosition position;
        int spacing;
        POINT corner;
    } sides[] = {{lpBelow, 3, {100, 74}},
                 {lpLeft, 3, {100 - size.cx - 3, besideTop}},
                 {lpRight, 8, {173 + 8, besideTop}},
                 {lpAbove, 0, {100, 50 - size.cy}},
                 {lpRight, 3, {173 + 3, besideTop}}};
    for (const auto& side : sides) {
        spin->setLabelSpacing(side.spacing);
        spin->setLabelPosition(side.position);
        const RECT r = placeOf(label);
        EXPECT_EQ(r.left, side.corner.x) << side.position << " " << side.spacing;
        EXPECT_EQ(r.top, side.corner.y) << side.position << " " << side.spacing;
    }

    // The label follows the edit, however it is moved; its own new text does not move it.
    spin->setBounds(RECT{10, 20, 83, 41});
    EXPECT_EQ(placeOf(label).left, 83 + 3);
    spin->setBounds(RECT{10, 20, 113, 41});
    EXPECT_EQ(placeOf(label).left, 113 + 3);
    RECT inside;
    GetClientRect(spin->edit(), &inside);
    EXPECT_EQ(placeOf(spin->spinEdit().arrows()).right, inside.right) << "the arrows at the wider edit's end";
    spin->setBounds(RECT{10, 20, 83, 41});
    EXPECT_EQ(placeOf(label).top, 20 + (21 - size.cy) / 2);
    MoveWindow(spin->edit(), 200, 20, 73, 21, FALSE);
    SetWindowTextW(label, L"x");
    EXPECT_EQ(placeOf(label).left, 273 + 3);
    EXPECT_EQ(spin->Caption(), L"Čekat na spuštění Trovan") << "the caption as given, not the label's text";

    // An empty caption destroys the label, a new one makes a new label, a further one only renames it.
    spin->setCaption(L"");
    EXPECT_EQ(spin->CaptionLabel(), nullptr);
    EXPECT_FALSE(IsWindow(label));
    spin->setCaption(L"sec");
    const HWND again = spin->CaptionLabel()->hwnd();
    EXPECT_EQ(placeOf(again).left, 273 + 3) << "on the side it was last given";
    spin->setCaption(L"min");
    EXPECT_EQ(spin->CaptionLabel()->hwnd(), again);
    spin.reset();
    EXPECT_FALSE(IsWindow(again)) << "destroyed with the spin edit";
}

TEST_F(AdpEdit, ShowsItsFocusColourWhileFocusedAndTheColourItHadOnEntryAfter)
{
    Win32AdpEdit edit(m_parent, 40, RECT{0, 0, 153, 21}, nullptr, WS_TABSTOP);
    ASSERT_NE(edit.hwnd(), nullptr);
    EXPECT_EQ(edit.ColorOnEnter(), edit.Color()) << "focusing a new one changes nothing";
    const COLORREF window = edit.Color(), lime = RGB(0, 255, 0), yellow = RGB(255, 255, 0);
    edit.setColorOnEnter(lime);
    // The system draws the edit in what the container's colour question gets.
    const HDC dc = GetDC(edit.hwnd());
    const struct {
        UINT message;
        COLORREF setBefore;  ///< CLR_INVALID for none
        COLORREF shown;
    } steps[] = {
        {WM_SETFOCUS, CLR_INVALID, lime},    {WM_SETFOCUS, CLR_INVALID, lime},  // the keyboard back: no new entry
        {WM_KILLFOCUS, CLR_INVALID, window}, {WM_SETFOCUS, yellow, lime},       // set while not focused: kept on entry
        {WM_KILLFOCUS, CLR_INVALID, yellow}, {WM_SETFOCUS, CLR_INVALID, lime},
        {WM_KILLFOCUS, window, yellow}};  // set while focused: undone on exit
    for (const auto& step : steps) {
        if (step.setBefore != CLR_INVALID)
            edit.setColor(step.setBefore);
        SendMessageW(edit.hwnd(), step.message, 0, 0);
        EXPECT_NE(Win32AdpEdit::colourFor(edit.hwnd(), dc), nullptr);
        EXPECT_EQ(GetBkColor(dc), step.shown);
    }
    ReleaseDC(edit.hwnd(), dc);
    const HWND plain =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 9, 9, m_parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(Win32AdpEdit::colourFor(plain, nullptr), nullptr) << "another edit keeps the system's colours";

    // Another alignment makes the window anew, with its style, keeping its id, text, place and tab stop.
    SetWindowTextW(edit.hwnd(), L"C:\\data");
    const HWND first = edit.hwnd();
    edit.setAlignment(taLeftJustify);
    EXPECT_EQ(edit.hwnd(), first) << "the same alignment makes nothing anew";
    for (const auto& [alignment, style] : {std::pair{taRightJustify, ES_RIGHT}, {taCenter, ES_CENTER}}) {
        edit.setAlignment(alignment);
        EXPECT_EQ(GetWindowLongW(edit.hwnd(), GWL_STYLE) & (ES_RIGHT | ES_CENTER | WS_TABSTOP), style | WS_TABSTOP);
        EXPECT_EQ(GetDlgCtrlID(edit.hwnd()), 40);
        wchar_t text[32]{};
        GetWindowTextW(edit.hwnd(), text, 32);
        EXPECT_EQ(std::wstring(text), L"C:\\data");
        EXPECT_EQ(placeOf(edit.hwnd()), (RECT{0, 0, 153, 21}));
    }
    EXPECT_FALSE(IsWindow(first));
}

// Enter moves the focus only with TabOnEnter, and then after the key, to the next control (Shift: the previous).
TEST_F(AdpEdit, EnterMovesTheFocusOnlyWhenAskedTo)
{
    const HWND form = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const auto button = [&](int left) {
        return CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, left, 0, 40, 20, form, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    };
    const HWND before = button(0);
    Win32AdpEdit edit(form, 42, RECT{50, 0, 150, 21}, nullptr, WS_TABSTOP);
    const HWND after = button(160);
    SetForegroundWindow(form);
    const auto setShift = [](bool down) {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    const struct {
        bool tabOnEnter;
        bool shift;
        HWND focused;
    } cases[] = {{false, false, edit.hwnd()}, {true, false, after}, {true, true, before}};
    for (const auto& c : cases) {
        SetFocus(edit.hwnd());
        ASSERT_EQ(GetFocus(), edit.hwnd());
        edit.setTabOnEnter(c.tabOnEnter);
        setShift(c.shift);
        SendMessageW(edit.hwnd(), WM_CHAR, L'\r', 0);
        EXPECT_EQ(GetFocus(), edit.hwnd()) << "not inside the key's handling";
        pumpUntil([] { return false; }, std::chrono::milliseconds(50));
        EXPECT_EQ(GetFocus(), c.focused) << c.tabOnEnter << c.shift;
    }
    setShift(false);
    DestroyWindow(form);
}

TEST_F(SpinEdit, TheArrowsGrowWithTheResolutionAndStayAtTheRightEdge)
{
    // The control at 100 %, then as placed for 150 % and 200 %: the arrows as wide as a scaled button, as tall
    // as the edit's inside, and the text kept clear of them.
    Win32SpinEdit spin(m_parent, 9, RECT{0, 0, 73, 22}, SpinLimits{1, 1000}, nullptr);
    struct Case {
        int dpi;
        RECT bounds;
        int arrowsWidth;
    };
    for (const Case& c :
         {Case{96, {0, 0, 73, 22}, 15}, Case{144, {0, 0, 110, 33}, 23}, Case{192, {4, 4, 150, 48}, 30}}) {
        spin.place(c.bounds, c.dpi);
        RECT arrows;
        GetWindowRect(spin.arrows(), &arrows);
        MapWindowPoints(HWND_DESKTOP, spin.edit(), reinterpret_cast<POINT*>(&arrows), 2);
        RECT inside;
        GetClientRect(spin.edit(), &inside);
        EXPECT_EQ(arrows.right - arrows.left, c.arrowsWidth) << c.dpi;
        EXPECT_EQ(arrows.bottom - arrows.top, c.bounds.bottom - c.bounds.top - 4) << c.dpi;
        EXPECT_EQ(arrows.right, inside.right) << c.dpi;
        const LRESULT margins = SendMessageW(spin.edit(), EM_GETMARGINS, 0, 0);
        EXPECT_EQ(HIWORD(margins), c.arrowsWidth + 2) << c.dpi;
    }
}

LRESULT CALLBACK firstProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK laterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WindowClass, RegistersOnceWithItsCursorBackgroundStyleAndIcon)
{
    const struct {
        win32::WindowClassSpec spec;
        bool cursor, background, icon;
    } cases[] = {
        {{.name = L"OvinTestPlain", .procedure = &firstProc}, true, false, false},
        {{.name = L"OvinTestHidden", .procedure = &firstProc, .cursor = nullptr}, false, false, false},
        {{.name = L"OvinTestFace",
          .procedure = &firstProc,
          .style = CS_DBLCLKS,
          .cursor = IDC_IBEAM,
          .buttonFace = true},
         true,
         true,
         false},
        {{.name = L"OvinTestIcon", .procedure = &firstProc, .iconId = IDI_OVIN_WINDOW}, true, false, true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(win32::RegisterWindowClass(c.spec)) << c.spec.name;
        WNDCLASSEXW got{};
        got.cbSize = sizeof got;
        ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), c.spec.name, &got));
        EXPECT_EQ(got.lpfnWndProc, &firstProc);
        EXPECT_EQ(got.style, c.spec.style);
        EXPECT_EQ(got.hCursor != nullptr, c.cursor) << c.spec.name;
        if (c.cursor) {
            EXPECT_EQ(got.hCursor, LoadCursorW(nullptr, c.spec.cursor));
        }
        EXPECT_EQ(got.hbrBackground != nullptr, c.background) << c.spec.name;
        EXPECT_EQ(got.hIcon != nullptr && got.hIconSm != nullptr, c.icon) << c.spec.name;

        // A second window of the kind finds the class there and leaves it as it was.
        win32::WindowClassSpec again = c.spec;
        again.procedure = &laterProc;
        EXPECT_TRUE(win32::RegisterWindowClass(again));
        ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), c.spec.name, &got));
        EXPECT_EQ(got.lpfnWndProc, &firstProc) << c.spec.name;
        UnregisterClassW(c.spec.name, GetModuleHandleW(nullptr));
    }
}

win32::KeptFocus* g_keptFocus = nullptr;

LRESULT CALLBACK keepingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_ACTIVATE || message == WM_SETFOCUS) && g_keptFocus &&
        g_keptFocus->handle(window, message, wParam))
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

/// Two top-level windows of a class that keeps its control's focus, each with two children.
struct TwoWindows {
    TwoWindows()
    {
        win32::RegisterWindowClass({.name = L"OvinTestKeeping", .procedure = &keepingProc});
        win32::RegisterWindowClass({.name = L"OvinTestChild", .procedure = &firstProc});
        for (HWND* top : {&first, &second}) {
            *top = CreateWindowExW(0, L"OvinTestKeeping", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        for (int i = 0; i < 2; ++i) {
            children[i] = CreateWindowExW(0, L"OvinTestChild", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10,
                                          first, nullptr, GetModuleHandleW(nullptr), nullptr);
            otherChild[i] = CreateWindowExW(0, L"OvinTestChild", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, second,
                                            nullptr, GetModuleHandleW(nullptr), nullptr);
        }
        g_keptFocus = &kept;
    }
    ~TwoWindows()
    {
        g_keptFocus = nullptr;
        DestroyWindow(first);
        DestroyWindow(second);
    }
    win32::KeptFocus kept;
    HWND first = nullptr;
    HWND second = nullptr;
    HWND children[2] = {};
    HWND otherChild[2] = {};
};

TEST(KeptFocus, TheKeyboardLentToAnotherWindowIsBorrowedAndComesBack)
{
    TwoWindows w;
    SetActiveWindow(w.first);
    SetFocus(w.children[1]);
    ASSERT_EQ(GetFocus(), w.children[1]);
    EXPECT_EQ(win32::FocusLossOf(w.children[1]), FocusLoss::Ordinary) << "to another control of the window";

    SetActiveWindow(w.second);
    ASSERT_NE(GetFocus(), w.children[1]);
    EXPECT_EQ(win32::FocusLossOf(w.children[1]), FocusLoss::Borrowed);
    EXPECT_EQ(win32::FocusLossOf(w.children[0]), FocusLoss::Ordinary) << "only the control that had it";
    SetActiveWindow(w.first);
    EXPECT_EQ(GetFocus(), w.children[1]) << "back with the activation";
    EXPECT_EQ(win32::FocusLossOf(w.children[1]), FocusLoss::Ordinary);

    // A control that can no longer take it leaves the keyboard with the window, as the default handling does.
    SetActiveWindow(w.second);
    EnableWindow(w.children[1], FALSE);
    SetActiveWindow(w.first);
    EXPECT_EQ(GetFocus(), w.first);
    EXPECT_EQ(win32::FocusLossOf(w.children[1]), FocusLoss::Ordinary);
}

}  // namespace
}  // namespace ovin
