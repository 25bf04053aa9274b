// The Win32 controls and timers on the system's own windows and message queue, without a desktop.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "controls/win32/Win32AdpEdit.h"
#include "controls/win32/Win32LabelX.h"
#include "controls/win32/Win32SpinEdit.h"
#include "controls/win32/Win32SpinEditX.h"
#include "controls/win32/Win32WatchTimer.h"

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

// The width and height `text` takes when drawn in `font`, as it stands (no accelerator marks).
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

TEST_F(LabelX, SizesItselfToItsCaptionAndTheFontKeepingItsCorner)
{
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Win32LabelX label(m_parent, 21, POINT{192, 112}, L"", font);
    ASSERT_NE(label.hwnd(), nullptr);
    EXPECT_EQ(classOf(label.hwnd()), Win32LabelX::kClassName);
    EXPECT_EQ(GetDlgCtrlID(label.hwnd()), 21);
    RECT r = placeOf(label.hwnd());
    EXPECT_EQ(r.right - r.left, 65) << "a label without a caption keeps the new label's size";
    EXPECT_EQ(r.bottom - r.top, 17);

    // The accelerator mark takes no room ("&&" is one "&"); the width follows every new caption.
    const struct {
        const wchar_t* caption;
        const wchar_t* measured;
    } cases[] = {{L"Čekat na spuštění Trovan", L"Čekat na spuštění Trovan"},
                 {L"sec", L"sec"},
                 {L"&Ano", L"Ano"},
                 {L"A&&B", L"A&B"},
                 {L"dva\nřádky", L"dva\nřádky"}};
    for (const auto& c : cases) {
        label.setCaption(c.caption);
        const SIZE want = drawnSize(label.hwnd(), font, c.measured);
        r = placeOf(label.hwnd());
        EXPECT_EQ(r.left, 192);
        EXPECT_EQ(r.top, 112);
        EXPECT_EQ(r.right - r.left, want.cx) << c.measured;
        EXPECT_EQ(r.bottom - r.top, want.cy) << c.measured;
        EXPECT_EQ(label.size().cx, want.cx);
    }

    // A bigger font resizes it too; moving it keeps its size.
    LOGFONTW big{};
    GetObjectW(font, sizeof big, &big);
    big.lfHeight *= 2;
    const HFONT bigFont = CreateFontIndirectW(&big);
    label.setCaption(L"sec");
    SendMessageW(label.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(bigFont), FALSE);
    EXPECT_EQ(placeOf(label.hwnd()).right - 192, drawnSize(label.hwnd(), bigFont, L"sec").cx);
    label.moveTo(POINT{5, 6});
    r = placeOf(label.hwnd());
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right - r.left, drawnSize(label.hwnd(), bigFont, L"sec").cx);
    SendMessageW(label.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    DeleteObject(bigFont);
}

TEST_F(LabelX, TakesTheMouseOffersNoMnemonicAndSurvivesItsContainer)
{
    auto label = std::make_unique<Win32LabelX>(m_parent, 22, POINT{0, 0}, L"&Max", nullptr);
    EXPECT_EQ(SendMessageW(label->hwnd(), WM_NCHITTEST, 0, 0), HTCLIENT) << "a release on it is not on the panel";
    EXPECT_EQ(SendMessageW(label->hwnd(), WM_GETDLGCODE, 0, 0), 0) << "its letter moves no focus";
    DestroyWindow(label->hwnd());
    EXPECT_EQ(label->hwnd(), nullptr) << "its container destroyed it: never destroyed or used again";
    label->setCaption(L"x");
    label.reset();
}

TEST_F(SpinEditX, MakesPlacesMovesAndDestroysItsCaptionLabel)
{
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Win32SpinEditX spin(m_parent, 30, RECT{100, 50, 173, 71}, SpinLimits{0, 0}, font, L"seWait");
    EXPECT_EQ(spin.CaptionLabel(), nullptr);
    EXPECT_EQ(spin.LabelSpacing(), 3);
    EXPECT_EQ(spin.LabelPosition(), lpAbove);
    // Without a label the side is not taken: the label made afterwards stands above.
    spin.setLabelPosition(lpLeft);
    EXPECT_EQ(spin.LabelPosition(), lpAbove);

    spin.setCaption(L"Čekat na spuštění Trovan");
    ASSERT_NE(spin.CaptionLabel(), nullptr);
    const HWND label = spin.CaptionLabel()->hwnd();
    EXPECT_EQ(GetParent(label), m_parent) << "the edit's sibling";
    EXPECT_EQ(classOf(label), Win32LabelX::kClassName);
    wchar_t text[64]{};
    GetWindowTextW(label, text, 64);
    EXPECT_EQ(std::wstring(text), L"Čekat na spuštění Trovan");
    const SIZE size = drawnSize(label, font, L"Čekat na spuštění Trovan");
    RECT r = placeOf(label);
    EXPECT_EQ(r.right - r.left, size.cx) << "sized to its caption";
    // The name it was placed with is one line in the same font, as tall as the caption.
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50 - size.cy - 3);

    // Each side, edit 100, 50, 73 × 21; beside it, centred on its height (halves truncated).
    const int lh = size.cy;
    const struct {
        TLabelPosition position;
        int spacing;
        LONG left;
        LONG top;
    } sides[] = {{lpBelow, 3, 100, 71 + 3},
                 {lpLeft, 3, 100 - size.cx - 3, 50 + (21 - lh) / 2},
                 {lpRight, 3, 173 + 3, 50 + (21 - lh) / 2},
                 {lpRight, 8, 173 + 8, 50 + (21 - lh) / 2},
                 {lpAbove, 0, 100, 50 - lh}};
    for (const auto& side : sides) {
        spin.setLabelSpacing(side.spacing);
        spin.setLabelPosition(side.position);
        EXPECT_EQ(spin.LabelPosition(), side.position);
        r = placeOf(label);
        EXPECT_EQ(r.left, side.left) << side.position << " " << side.spacing;
        EXPECT_EQ(r.top, side.top) << side.position << " " << side.spacing;
    }

    // The label follows the edit, however it is moved; its own new text does not move it.
    spin.setLabelSpacing(3);
    spin.setLabelPosition(lpRight);
    spin.setBounds(RECT{10, 20, 83, 41});
    r = placeOf(label);
    EXPECT_EQ(r.left, 83 + 3);
    EXPECT_EQ(r.top, 20 + (21 - lh) / 2);
    MoveWindow(spin.edit(), 200, 20, 73, 21, FALSE);
    EXPECT_EQ(placeOf(label).left, 273 + 3);
    SetWindowTextW(label, L"x");
    EXPECT_EQ(placeOf(label).left, 273 + 3);
    EXPECT_EQ(spin.Caption(), L"Čekat na spuštění Trovan") << "the caption as given, not the label's text";

    // An empty caption destroys the label; a new caption makes a new one.
    spin.setCaption(L"");
    EXPECT_EQ(spin.CaptionLabel(), nullptr);
    EXPECT_FALSE(IsWindow(label));
    spin.setCaption(L"sec");
    ASSERT_NE(spin.CaptionLabel(), nullptr);
    EXPECT_EQ(placeOf(spin.CaptionLabel()->hwnd()).left, 273 + 3) << "on the side it was last given";
    // A further caption only renames it.
    const HWND again = spin.CaptionLabel()->hwnd();
    spin.setCaption(L"min");
    EXPECT_EQ(spin.CaptionLabel()->hwnd(), again);
}

TEST_F(SpinEditX, DestroysItsLabelWithItselfButNotOneItsContainerDestroyed)
{
    HWND label = nullptr;
    {
        Win32SpinEditX spin(m_parent, 31, RECT{0, 30, 73, 51}, SpinLimits{0, 0}, nullptr, L"seWait");
        spin.setCaption(L"sec");
        label = spin.CaptionLabel()->hwnd();
        EXPECT_EQ(placeOf(label).left, 0);
    }
    EXPECT_FALSE(IsWindow(label));
    {
        Win32SpinEditX spin(m_parent, 32, RECT{0, 30, 73, 51}, SpinLimits{0, 0}, nullptr, L"seWait");
        spin.setCaption(L"sec");
        DestroyWindow(spin.CaptionLabel()->hwnd());
        EXPECT_EQ(spin.CaptionLabel()->hwnd(), nullptr);
        spin.setLabelPosition(lpBelow);
    }
}

TEST_F(AdpEdit, TakesItsFocusColourWhileFocusedAndGivesBackTheColourItHadOnEntry)
{
    Win32AdpEdit edit(m_parent, 40, RECT{0, 0, 153, 21}, nullptr, WS_TABSTOP);
    ASSERT_NE(edit.hwnd(), nullptr);
    EXPECT_EQ(classOf(edit.hwnd()), L"Edit");
    EXPECT_EQ(edit.ColorOnEnter(), edit.Color()) << "focusing a new one changes nothing";
    const COLORREF window = edit.Color();
    const COLORREF lime = RGB(0, 255, 0);
    const COLORREF yellow = RGB(255, 255, 0);
    edit.setColorOnEnter(lime);

    // The colour the system draws the edit with is the one the container's colour question gets.
    const HDC dc = GetDC(edit.hwnd());
    const auto drawn = [&] {
        EXPECT_NE(Win32AdpEdit::colourFor(edit.hwnd(), dc), nullptr);
        return GetBkColor(dc);
    };
    const struct {
        UINT message;
        COLORREF setBefore;  ///< CLR_INVALID for none
        COLORREF shown;
    } steps[] = {{WM_SETFOCUS, CLR_INVALID, lime},
                 {WM_SETFOCUS, CLR_INVALID, lime},  // the keyboard back: no new entry
                 {WM_KILLFOCUS, CLR_INVALID, window},
                 {WM_SETFOCUS, yellow, lime},        // set while not focused: kept on entry
                 {WM_KILLFOCUS, CLR_INVALID, yellow},
                 {WM_SETFOCUS, CLR_INVALID, lime},
                 {WM_KILLFOCUS, window, yellow}};   // set while focused: undone on exit
    for (const auto& step : steps) {
        if (step.setBefore != CLR_INVALID)
            edit.setColor(step.setBefore);
        SendMessageW(edit.hwnd(), step.message, 0, 0);
        EXPECT_EQ(edit.Color(), step.shown);
        EXPECT_EQ(drawn(), step.shown);
    }
    ReleaseDC(edit.hwnd(), dc);
    const HWND plain =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 9, 9, m_parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(Win32AdpEdit::colourFor(plain, nullptr), nullptr) << "another edit keeps the system's colours";
}

TEST_F(AdpEdit, AlignmentMakesTheWindowAnewWithItsTextAndPlace)
{
    Win32AdpEdit edit(m_parent, 41, RECT{4, 5, 157, 26}, nullptr, WS_TABSTOP);
    SetWindowTextW(edit.hwnd(), L"C:\\data");
    const HWND first = edit.hwnd();
    EXPECT_EQ(GetWindowLongW(first, GWL_STYLE) & (ES_RIGHT | ES_CENTER), ES_LEFT);
    edit.setAlignment(taLeftJustify);
    EXPECT_EQ(edit.hwnd(), first) << "the same alignment makes nothing anew";
    const struct {
        TAlignment alignment;
        LONG style;
    } cases[] = {{taRightJustify, ES_RIGHT}, {taCenter, ES_CENTER}, {taLeftJustify, ES_LEFT}};
    for (const auto& c : cases) {
        edit.setAlignment(c.alignment);
        EXPECT_EQ(edit.Alignment(), c.alignment);
        EXPECT_EQ(GetWindowLongW(edit.hwnd(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), c.style);
        EXPECT_EQ(GetWindowLongW(edit.hwnd(), GWL_STYLE) & WS_TABSTOP, WS_TABSTOP);
        EXPECT_EQ(GetDlgCtrlID(edit.hwnd()), 41);
        wchar_t text[32]{};
        GetWindowTextW(edit.hwnd(), text, 32);
        EXPECT_EQ(std::wstring(text), L"C:\\data");
        const RECT r = placeOf(edit.hwnd());
        EXPECT_EQ(r.left, 4);
        EXPECT_EQ(r.bottom, 26);
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
    const struct {
        bool tabOnEnter;
        bool shift;
        HWND focused;
    } cases[] = {{false, false, edit.hwnd()}, {true, false, after}, {true, true, before}};
    for (const auto& c : cases) {
        SetFocus(edit.hwnd());
        if (GetFocus() != edit.hwnd()) {
            DestroyWindow(form);
            GTEST_SKIP() << "no keyboard focus on this display";
        }
        edit.setTabOnEnter(c.tabOnEnter);
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(edit.hwnd(), WM_CHAR, L'\r', 0);
        EXPECT_EQ(GetFocus(), edit.hwnd()) << "not inside the key's handling";
        pumpUntil([] { return false; }, std::chrono::milliseconds(50));
        EXPECT_EQ(GetFocus(), c.focused) << c.tabOnEnter << c.shift;
    }
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    DestroyWindow(form);
}

}  // namespace
}  // namespace ovin
