// The Windows front end's own decisions and drawing, without a desktop: the icon's event codes, the text's way
// through UTF-16, the menu's measures and pixels drawn into a bitmap, and the question's width.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "shell/QuestionDialog.h"
#include "shell/win32/PopupMenu.h"
#include "shell/win32/QuestionDialog.h"
#include "shell/win32/SelectedObject.h"
#include "shell/win32/TrayIcon.h"
#include "shell/win32/UniqueHandle.h"
#include "shell/win32/WindowDC.h"
#include "platform/win32/Win32Text.h"

namespace ovin::win32 {
namespace {

TEST(TrayEvent, TheShellsCallbackIsTheMessageAfterWmUser) { EXPECT_EQ(kTrayCallbackMessage, unsigned(WM_USER + 1)); }

TEST(Utf, CzechTextSurvivesTheWayThroughUtf16)
{
    for (const std::string text : {"", "Otevřít", "Ukončit Trovan + Ovin", "&Jistě že ne", "Příliš žluťoučký kůň"})
        EXPECT_EQ(narrow(widen(text)), text);
    EXPECT_EQ(widen("Ukončení"), L"Ukon\u010den\u00ed");
}

class PopupMenuDrawing : public ::testing::Test {
protected:
    static constexpr int kWidthPx = 160;
    static constexpr int kHeightPx = 120;

    void SetUp() override
    {
        m_dc.reset(CreateCompatibleDC(nullptr));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidthPx, -kHeightPx, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<const DWORD*>(bits);
        m_selected = std::make_unique<SelectedObject>(m_dc.get(), m_bitmap.get());
        const RECT all{0, 0, kWidthPx, kHeightPx};
        const BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
        FillRect(m_dc.get(), &all, white.get());
    }

    COLORREF pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD bgr = m_bits[y * kWidthPx + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    DRAWITEMSTRUCT item(size_t index, RECT rect, bool selected) const
    {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = kPopupMenuItems[index].command ? PopupMenu::itemId(*kPopupMenuItems[index].command) : 0;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = selected ? ODS_SELECTED : 0;
        draw.hDC = m_dc.get();
        draw.rcItem = rect;
        draw.itemData = index;
        return draw;
    }

    MemoryDC m_dc;
    BitmapHandle m_bitmap;
    const DWORD* m_bits = nullptr;
    std::unique_ptr<SelectedObject> m_selected;
};

TEST_F(PopupMenuDrawing, ItemsAreMeasured130PixelsWide)
{
    const PopupMenu menu;
    EXPECT_EQ(GetMenuItemCount(menu.handle()), 4);
    for (size_t i = 0; i < kPopupMenuItems.size(); ++i) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = i;
        if (kPopupMenuItems[i].style == MenuItemStyle::Separator)
            continue;
        ASSERT_TRUE(menu.measureItem(nullptr, measure));
        EXPECT_EQ(measure.itemWidth, 130u * UINT(GetDeviceCaps(m_dc.get(), LOGPIXELSY)) / 96u);
        EXPECT_GT(measure.itemHeight, 0u);
    }
    MEASUREITEMSTRUCT control{};
    control.CtlType = ODT_BUTTON;
    EXPECT_FALSE(menu.measureItem(nullptr, control));
}

TEST_F(PopupMenuDrawing, ItemFillsFromLeft25AndDrawsTheBanner)
{
    if (GetDeviceCaps(m_dc.get(), LOGPIXELSY) != 96)
        GTEST_SKIP() << "pixel positions are checked at 96 dots per inch";
    const PopupMenu menu;
    // The selected first item and the regular second one, as the menu window would lay them out.
    ASSERT_TRUE(menu.drawItem(item(0, {3, 3, 133, 22}, true)));
    ASSERT_TRUE(menu.drawItem(item(1, {3, 22, 133, 41}, false)));

    const COLORREF sky = RGB(166, 202, 240);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF menuColour = GetSysColor(COLOR_MENU);
    // The strip covers 0..19 x 0..111 whatever the item rectangles are, except where "OVIN" is written.
    int skyPixels = 0, textPixels = 0;
    for (int y = 0; y < 112; ++y) {
        for (int x = 0; x < 20; ++x) {
            const COLORREF c = pixel(x, y);
            skyPixels += c == sky;
            textPixels += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
        }
    }
    EXPECT_GT(skyPixels, 20 * 112 - 300);
    EXPECT_GT(textPixels, 20) << "the rotated caption";
    // The text runs upward from y 40: nothing dark below it, something above.
    for (int y = 44; y < 112; ++y) {
        for (int x = 0; x < 20; ++x)
            EXPECT_EQ(pixel(x, y), sky) << x << "," << y;
    }
    EXPECT_EQ(pixel(20, 10), RGB(255, 255, 255)) << "the gap between strip and items stays the menu's";
    EXPECT_EQ(pixel(24, 10), RGB(255, 255, 255));
    EXPECT_EQ(pixel(25, 4), highlight) << "a selected item is filled from x 25";
    EXPECT_EQ(pixel(132, 4), highlight);
    EXPECT_EQ(pixel(133, 4), RGB(255, 255, 255));
    EXPECT_EQ(pixel(25, 23), menuColour);
    EXPECT_EQ(pixel(20, 115), RGB(255, 255, 255)) << "below the strip";
}

TEST_F(PopupMenuDrawing, OpenIsBoldAndTheOthersAreNot)
{
    const PopupMenu menu;
    ASSERT_TRUE(menu.drawItem(item(0, {0, 0, 150, 19}, false)));
    ASSERT_TRUE(menu.drawItem(item(1, {0, 19, 150, 38}, false)));
    ASSERT_TRUE(menu.drawItem(item(3, {0, 38, 150, 57}, false)));

    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    // The ink's right end, measured from the caption's start at x 25.
    const auto inkWidth = [this](int top, int bottom) {
        int right = 25;
        for (int y = top; y < bottom; ++y)
            for (int x = 25; x < kWidthPx; ++x)
                if (GetRValue(pixel(x, y)) < 128)
                    right = std::max(right, x + 1);
        return right - 25;
    };
    // The caption written by the test itself in a given weight, below the items, for the ink to compare with.
    const auto referenceInk = [&](const char* caption, LONG weight) {
        const RECT row{25, 60, kWidthPx, 79};
        const BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
        FillRect(m_dc.get(), &row, white.get());
        LOGFONTW look = metrics.lfMenuFont;
        look.lfWeight = weight;
        const FontHandle font(CreateFontIndirectW(&look));
        const SelectedObject fontIn(m_dc.get(), font.get());
        SetTextColor(m_dc.get(), RGB(0, 0, 0));
        SetBkMode(m_dc.get(), TRANSPARENT);
        const std::wstring text = widen(caption);
        RECT box = row;
        DrawTextW(m_dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        return inkWidth(row.top, row.bottom);
    };
    const struct {
        size_t index;
        int top;
        LONG weight;
    } cases[] = {{0, 0, FW_BOLD}, {1, 19, FW_NORMAL}, {3, 38, metrics.lfMenuFont.lfWeight}};
    for (const auto& c : cases) {
        const char* caption = kPopupMenuItems[c.index].caption;
        const int drawn = inkWidth(c.top, c.top + 19);
        EXPECT_EQ(drawn, referenceInk(caption, c.weight)) << caption;
        const LONG other = c.weight >= FW_BOLD ? FW_NORMAL : FW_BOLD;
        if (referenceInk(caption, other) != referenceInk(caption, c.weight)) {
            EXPECT_NE(drawn, referenceInk(caption, other)) << caption;
        }
    }
}

// What the question showed, read from inside its modal loop before it is answered no.
struct ShownQuestion {
    bool found = false;
    int labelWidth = 0;
    int boldLineWidth = 0;
    int clientWidth = 0;
};
ShownQuestion* g_shown = nullptr;
const wchar_t kQuestionCaption[] = L"Dotaz: šířka";

void CALLBACK readQuestion(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND dialog = FindWindowW(L"#32770", kQuestionCaption);
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    const HWND label = GetDlgItem(dialog, kQuestionTextId);
    RECT r{};
    GetWindowRect(label, &r);
    g_shown->labelWidth = r.right - r.left;
    GetClientRect(dialog, &r);
    g_shown->clientWidth = r.right;
    wchar_t text[256] = {};
    GetWindowTextW(label, text, 256);
    const WindowDC dc(label);
    const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT box{};
    DrawTextW(dc.get(), text, -1, &box, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    g_shown->boldLineWidth = box.right;
    g_shown->found = true;
    PostMessageW(dialog, WM_COMMAND, IDNO, 0);
}

TEST(Question, WidensItselfSoThatTheBoldQuestionStandsOnOneLine)
{
    const question::Metrics metrics = question::ScaledMetrics(96);
    // Questions that fit the widest text in the regular font, whose bold lines are wider than their plain ones.
    for (const wchar_t* text :
         {L"Opravdu chcete ukončit Trovan i Ovin?", L"Ukončit všechny běžící procesy Trovan teď?"}) {
        for (const QuestionKind kind : {QuestionKind::Custom, QuestionKind::Warning}) {
            ShownQuestion shown;
            g_shown = &shown;
            const UINT_PTR timer = SetTimer(nullptr, 0, 20, &readQuestion);
            EXPECT_FALSE(askQuestion(nullptr, kQuestionCaption, text, kind, [] { return false; }));
            KillTimer(nullptr, timer);
            g_shown = nullptr;
            if (!shown.found)
                GTEST_SKIP() << "no dialogs without a desktop";
            ASSERT_LT(shown.boldLineWidth, metrics.maxTextWidthPx) << narrow(text);
            EXPECT_GE(shown.labelWidth, shown.boldLineWidth + 2 * metrics.marginPx) << narrow(text);
            EXPECT_EQ(shown.labelWidth, shown.clientWidth);
        }
    }
}

}  // namespace
}  // namespace ovin::win32
