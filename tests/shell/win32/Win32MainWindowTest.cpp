#include <gtest/gtest.h>
#include <windows.h>

#include "controls/Geometry.h"
#include "shell/SettingsPanelTable.h"
#include "support/FakePlatform.h"
#include "shell/win32/Win32MainWindow.h"

namespace ovin {
namespace {

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

TEST(MainWindowDpi, AMoveToAMonitorOfAnotherResolutionLaysTheWindowOutAgain)
{
    if (!editsCanBeMade())
        GTEST_SKIP() << "no edit controls without a desktop";
    test::FakePlatform p;
    TfmWex fmWex(GetModuleHandleW(nullptr), p.platform, p.context());
    const HWND panel = FindWindowExW(fmWex.hwnd(), nullptr, L"OvinPanel", L"Panel1");
    ASSERT_NE(panel, nullptr);
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

}  // namespace
}  // namespace ovin
