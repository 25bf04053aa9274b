// The Win32 controls and timers on the system's own windows and message queue, without a desktop.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>

#include "controls/win32/Win32SpinEdit.h"
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

class SpinEdit : public ::testing::Test {
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

    HWND m_parent = nullptr;
};

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

}  // namespace
}  // namespace ovin
