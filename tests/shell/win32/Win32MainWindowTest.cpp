#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "controls/Geometry.h"
#include "shell/SettingsPanelTable.h"
#include "support/FakePlatform.h"
#include "shell/win32/UniqueHandle.h"
#include "shell/win32/Win32MainWindow.h"

namespace ovin {
namespace {

using win32::TfmWex;

constexpr int kFirstPanelControlId = 1000;

// Wine without a display makes no edit controls: these run on the desktop test's display (ovin-test.sh
// controls) and are skipped in the headless unit run.
bool editsCanBeMade()
{
    const HWND probe =
        CreateWindowExW(0, L"EDIT", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe)
        DestroyWindow(probe);
    return probe != nullptr;
}

RECT placeInParent(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The system sends this when the window moves to a monitor of another resolution; Wine does not, so it is sent
// here as the system would, with the outer rectangle that keeps the client area at the new resolution.
void moveToMonitorOf(HWND window, int dpi)
{
    RECT suggested{0, 0, ScaledPx(kMainWindowLook.clientSize.width, dpi),
                   ScaledPx(kMainWindowLook.clientSize.height, dpi)};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    OffsetRect(&suggested, 40 - suggested.left, 30 - suggested.top);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

/// The main window on fakes, with its settings panel.
class MainWindowOnDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!editsCanBeMade())
            GTEST_SKIP() << "no edit controls without a desktop";
        m_window = std::make_unique<TfmWex>(GetModuleHandleW(nullptr), m_platform.platform, m_platform.context());
        m_panel = FindWindowExW(m_window->hwnd(), nullptr, L"OvinPanel", L"Panel1");
        ASSERT_NE(m_panel, nullptr);
    }

    test::FakePlatform m_platform;
    std::unique_ptr<TfmWex> m_window;
    HWND m_panel = nullptr;
};
using MainWindowDpi = MainWindowOnDesktop;
using MainWindowFocus = MainWindowOnDesktop;

TEST_F(MainWindowDpi, AMoveToAMonitorOfAnotherResolutionLaysTheWindowOutAgain)
{
    TfmWex& fmWex = *m_window;
    const HWND panel = m_panel;
    // Back to 100 % last: nothing may stay of the larger layout. (200 % would not fit the test's screen: the
    // system keeps a window within it.)
    for (const int dpi : {144, 120, 96}) {
        SCOPED_TRACE(dpi);
        moveToMonitorOf(fmWex.hwnd(), dpi);
        RECT client{};
        GetClientRect(fmWex.hwnd(), &client);
        EXPECT_EQ(client.right, ScaledPx(kMainWindowLook.clientSize.width, dpi));
        EXPECT_EQ(client.bottom, ScaledPx(kMainWindowLook.clientSize.height, dpi));
        const RECT panelPlace = placeInParent(panel);
        EXPECT_EQ(panelPlace.bottom - panelPlace.top, ScaledPx(kPanelHeightPx, dpi));
        EXPECT_EQ(panelPlace.bottom, client.bottom);

        int id = kFirstPanelControlId;
        for (const PanelControlRow& row : PanelControls()) {
            const HWND control = GetDlgItem(panel, id++);
            ASSERT_NE(control, nullptr) << row.caption;
            const RECT r = placeInParent(control);
            const Rect want = ScaledRect(row.bounds, dpi);
            EXPECT_EQ(r.left, want.left) << row.caption;
            EXPECT_EQ(r.top, want.top) << row.caption;
            // A label is as large as its caption in the new font; the rest as the table says.
            if (row.kind != PanelControlKind::Label) {
                EXPECT_EQ(r.right - r.left, want.width) << row.caption;
                EXPECT_EQ(r.bottom - r.top, want.height) << row.caption;
            }
        }
    }
}

HWND panelControl(HWND panel, PanelControl id)
{
    int controlId = kFirstPanelControlId;
    for (const PanelControlRow& row : PanelControls()) {
        if (row.id == id)
            return GetDlgItem(panel, controlId);
        ++controlId;
    }
    return nullptr;
}

// The background the path field asks its panel for, as it would be painted now.
COLORREF pathFieldColour(HWND panel, HWND field)
{
    const HDC dc = GetDC(field);
    SendMessageW(panel, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field));
    const COLORREF colour = GetBkColor(dc);
    ReleaseDC(field, dc);
    return colour;
}

TEST_F(MainWindowFocus, TheControlThatHadTheKeyboardGetsItBackWithTheWindowKeepingItsColour)
{
    TfmWex& fmWex = *m_window;
    const HWND panel = m_panel;
    const HWND field = panelControl(panel, PanelControl::ePathTo);
    const HWND other = panelControl(panel, PanelControl::seMaxSame);
    ASSERT_TRUE(field && other);
    const COLORREF lime = RGB(kPathColourOnEnter.red, kPathColourOnEnter.green, kPathColourOnEnter.blue);

    ShowWindow(fmWex.hwnd(), SW_SHOW);
    SetActiveWindow(fmWex.hwnd());
    // The path field takes the keyboard only while the other folder is ticked.
    SendMessageW(panelControl(panel, PanelControl::cxJinyAdrReq), BM_CLICK, 0, 0);
    SetFocus(field);
    ASSERT_EQ(GetFocus(), field);
    const COLORREF before = pathFieldColour(panel, field);
    EXPECT_EQ(before, lime);

    const win32::WindowHandle elsewhere(CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0,
                                                        50, 50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    // Away to another window and back, twice: the keyboard comes back each time, the colour stays.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        SetActiveWindow(elsewhere.get());
        EXPECT_NE(GetFocus(), field);
        SetActiveWindow(fmWex.hwnd());
        EXPECT_EQ(GetFocus(), field);
        EXPECT_EQ(pathFieldColour(panel, field), lime);
    }

    // Another control of the window takes it for good: the colour goes, and the window gives that control the
    // keyboard when it comes back.
    SetFocus(other);
    EXPECT_NE(pathFieldColour(panel, field), lime);
    SetActiveWindow(elsewhere.get());
    SetActiveWindow(fmWex.hwnd());
    EXPECT_EQ(GetFocus(), other);
    ShowWindow(fmWex.hwnd(), SW_HIDE);
}

}  // namespace
}  // namespace ovin
