#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/QuestionDialog.h"
#include "shell/TrayEvents.h"
#include "shell/sParametry.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

TEST(TrayEvents, EventCodes)
{
    const struct {
        int code;
        TrayAction action;
    } cases[] = {
        {513, TrayAction::ShowForm},       {516, TrayAction::OpenMenu},
        {1027, TrayAction::RemoveForGood}, {514, TrayAction::Nothing},  // left button up
        {517, TrayAction::Nothing},                                     // right button up
        {515, TrayAction::Nothing},                                     // double click
        {0, TrayAction::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrayIconMessage(c.code), c.action) << c.code;
}

TEST(TrayEvents, MenuPosition)
{
    const Rect screen{0, 0, 1920, 1080};
    const Size menu{130, 100};
    const struct {
        const char* name;
        std::optional<Point> cursor;
        Rect available;
        Point at;
    } cases[] = {
        {"free spot", Point{500, 400}, {0, 0, 1920, 1040}, {500, 400}},
        {"panel at the bottom", Point{1900, 1060}, {0, 0, 1920, 1040}, {1770, 940}},
        {"panel at the top", Point{1900, 10}, {0, 40, 1920, 1040}, {1770, 40}},
        {"exactly fitting", Point{1790, 940}, {0, 0, 1920, 1040}, {1790, 940}},
        {"one pixel over", Point{1791, 941}, {0, 0, 1920, 1040}, {1661, 841}},
        {"unknown, panel at the top", std::nullopt, {0, 40, 1920, 1040}, {1790, 40}},
        {"unknown, panel at the left", std::nullopt, {60, 0, 1860, 1080}, {60, 980}},
        {"unknown, panel at the bottom", std::nullopt, {0, 0, 1920, 1040}, {1790, 940}},
        {"unknown, no panel", std::nullopt, {}, {1790, 980}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MenuPosition(c.cursor, screen, c.available, menu), c.at) << c.name;
    // A menu larger than the free area starts at its top left.
    EXPECT_EQ(MenuPosition(Point{50, 50}, {0, 0, 320, 200}, {0, 20, 320, 180}, {400, 300}), (Point{0, 20}));
}

// A plain layout as a platform might have made it: the restyle reads its size, its icon's size and its buttons.
question::Layout plainOf(int width, int height, std::optional<Size> icon)
{
    question::Layout plain;
    plain.clientWidth = width;
    plain.clientHeight = height;
    if (icon)
        plain.icon = Rect{8, 8, icon->width, icon->height};
    plain.text = {48, 8, 100, 13};
    plain.yes = {20, 50, 75, 25};
    plain.no = {101, 50, 75, 25};
    return plain;
}

TEST(QuestionDialog, PlainLayoutPutsTheIconLeftAndCentresTheButtons)
{
    const struct {
        bool icon;
        Size text;
        int boldTextWidth;
        question::Layout expected;
    } cases[] = {
        // A short text: the buttons decide the width (2 x 75 + 6 + 2 x 8 = 172).
        {true, {60, 13}, 0, {172, 81, Rect{8, 8, 32, 32}, {48, 8, 60, 13}, {8, 48, 75, 25}, {89, 48, 75, 25}}},
        // A long text is wrapped at 360 pixels and is taller than the icon.
        {true, {360, 52}, 0, {416, 101, Rect{8, 8, 32, 32}, {48, 8, 360, 52}, {130, 68, 75, 25}, {211, 68, 75, 25}}},
        {false, {200, 13}, 0, {216, 62, std::nullopt, {8, 8, 200, 13}, {30, 29, 75, 25}, {111, 29, 75, 25}}},
        // Wider than the limit: cut to it.
        {false, {500, 26}, 0, {376, 75, std::nullopt, {8, 8, 360, 26}, {110, 42, 75, 25}, {191, 42, 75, 25}}},
        // Widened for the bold question on one line, the buttons centred again.
        {true, {60, 13}, 300, {316, 81, Rect{8, 8, 32, 32}, {48, 8, 60, 13}, {80, 48, 75, 25}, {161, 48, 75, 25}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(question::PlainLayout(question::Metrics{}, c.icon, c.text, c.boldTextWidth), c.expected)
            << c.text.width << " " << c.boldTextWidth;
}

TEST(QuestionDialog, RestyleCentresTheIconAndKeepsTheGaps)
{
    const question::Metrics at96;
    const question::Metrics at144 = question::ScaledMetrics(144);
    const auto plain96 = [&](bool icon, Size text) { return question::PlainLayout(at96, icon, text, 0); };
    const question::Layout plain144 = question::PlainLayout(at144, true, {60, 20}, 0);
    const struct {
        const char* name;
        question::Metrics metrics;
        question::Layout plain;
        int boldHeight;
        std::optional<Rect> icon;
        Rect text;
        int buttonsTop, clientHeight;
    } cases[] = {
        {"warning", at96, plainOf(300, 100, Size{32, 32}), 26, Rect{134, 0, 32, 32}, {0, 47, 300, 26}, 83, 136},
        // Odd widths halve toward zero.
        {"odd widths", at96, plainOf(301, 100, Size{31, 31}), 13, Rect{135, 0, 31, 31}, {0, 46, 301, 13}, 69, 122},
        // No icon: the text starts 15 pixels below the top.
        {"custom", at96, plainOf(200, 60, std::nullopt), 13, std::nullopt, {0, 15, 200, 13}, 38, 91},
        {"tall plain kept", at96, plainOf(200, 300, std::nullopt), 13, std::nullopt, {0, 15, 200, 13}, 38, 320},
        // Icon: 172 / 2 - 32 / 2 = 70; text 15 under the icon (32 + 15); buttons 10 under the text; the restyled
        // content (47 + 13 + 10 + 25 + 8 = 103) is taller than the plain 81, plus 20.
        {"short text", at96, plain96(true, {60, 13}), 13, Rect{70, 0, 32, 32}, {0, 47, 172, 13}, 70, 123},
        // A wide text: the icon over the middle of the wider dialog; the bold text wraps taller.
        {"wide text", at96, plain96(true, {360, 52}), 65, Rect{192, 0, 32, 32}, {0, 47, 416, 65}, 122, 175},
        {"no icon", at96, plain96(false, {200, 13}), 13, std::nullopt, {0, 15, 216, 13}, 38, 91},
        // At 144 dpi every measure is half as large again: the icon 48 over the middle of 259 (2 x 113 + 9 + 2 x
        // 12), the text 23 under it, the buttons (38 high) 15 under the text, and 30 more than 106 + 38 + 12.
        {"144 dpi", at144, plain144, 20, Rect{105, 0, 48, 48}, {0, 71, 259, 20}, 106, 186},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int askedWidth = -1;
        const question::Layout r = question::Restyle(c.plain, c.metrics, [&](int width) {
            askedWidth = width;
            return c.boldHeight;
        });
        EXPECT_EQ(askedWidth, c.plain.clientWidth);
        EXPECT_EQ(r.clientWidth, c.plain.clientWidth);
        EXPECT_EQ(r.icon, c.icon);
        EXPECT_EQ(r.text, c.text);
        // The buttons move down only: their left edges and sizes stay.
        EXPECT_EQ(r.yes, (Rect{c.plain.yes.left, c.buttonsTop, c.plain.yes.width, c.plain.yes.height}));
        EXPECT_EQ(r.no, (Rect{c.plain.no.left, c.buttonsTop, c.plain.no.width, c.plain.no.height}));
        EXPECT_EQ(r.clientHeight, c.clientHeight);
        EXPECT_GE(r.clientHeight, c.plain.clientHeight + c.metrics.extraHeightPx);
    }
}

TEST(QuestionDialog, MetricsScaleWithTheDisplay)
{
    const struct {
        int dpi, margin, icon, buttonWidth, textGap, buttonGap, extra;
    } cases[] = {
        {96, 8, 32, 75, 15, 10, 20},
        {120, 10, 40, 94, 19, 13, 25},
        {144, 12, 48, 113, 23, 15, 30},
        {192, 16, 64, 150, 30, 20, 40},
    };
    for (const auto& c : cases) {
        const question::Metrics m = question::ScaledMetrics(c.dpi);
        EXPECT_EQ(m.marginPx, c.margin) << c.dpi;
        EXPECT_EQ(m.iconSizePx, c.icon) << c.dpi;
        EXPECT_EQ(m.buttonWidthPx, c.buttonWidth) << c.dpi;
        EXPECT_EQ(m.textGapPx, c.textGap) << c.dpi;
        EXPECT_EQ(m.buttonTopGapPx, c.buttonGap) << c.dpi;
        EXPECT_EQ(m.extraHeightPx, c.extra) << c.dpi;
    }
}

// The letter that answers a button without Alt, and how wide the plain dialog gets for a bold question.
TEST(QuestionDialog, AcceleratorsAndWidth)
{
    const struct {
        const char* caption;
        const char* letter;
    } letters[] = {
        {"&Ano", "A"},
        {"&Ne", "N"},
        {"&Jistě že ne", "J"},
        {"Ano", ""},
        {"&", ""},
        {"A&&B &Cd", "C"},
        {"&&", ""},
        {"x&\xc5\xa0"
         "e",
         "\xc5\xa0"},
        {"", ""},
    };
    for (const auto& c : letters)
        EXPECT_EQ(question::AcceleratorLetter(c.caption), c.letter) << c.caption;

    const struct {
        int layout, boldText, margin, width;
    } widths[] = {
        {200, 100, 8, 200},  // the plain layout is wide enough
        {200, 300, 8, 316},  // widened for one line with margins
        {200, 500, 8, 376},  // no wider than a bold line may be: it wraps
        {400, 500, 8, 400},
    };
    for (const auto& c : widths) {
        question::Metrics metrics;
        metrics.marginPx = c.margin;
        EXPECT_EQ(question::PlainDialogWidth(c.layout, c.boldText, metrics), c.width) << c.boldText;
    }
}

TEST(Switches, CommandLineAndParameterFile)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::optional<std::string> file;  // the parameter file, if there is one
        bool found;
    } cases[] = {
        {"capitals", {"/app/ovin", "SHOW"}, std::nullopt, true},
        {"slash prefix", {"/app/ovin", "/show"}, std::nullopt, false},
        {"program path is no switch", {"show"}, std::nullopt, false},
        {"file line", {"/app/ovin"}, "d\r\nshow\r\n", true},
        {"file line in capitals, no break", {"/app/ovin"}, "SHOW", true},
        {"leading blank in file", {"/app/ovin"}, " show\r\n", false},
        {"line longer than any switch", {"/app/ovin"}, std::string(5000, 'x') + "show\r\n", false},
        {"after a long line", {"/app/ovin"}, std::string(5000, 'x') + "\r\nshow", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeFileSystem files;
        if (c.file)
            files.touch(kParamFile, *c.file);
        EXPECT_EQ(Switches(c.arguments, files).HasSwitch("show"), c.found);
    }
    test::FakeFileSystem files;
    EXPECT_TRUE(Switches({"/app/ovin", "ŠOU"}, files).HasSwitch("šou"));
    files.touch(kParamFile, "show");
    files.files[kParamFile].unreadable = true;
    EXPECT_THROW(Switches({"/app/ovin"}, files).HasSwitch("show"), std::runtime_error);
}

TEST(QuestionDialog, DebugMode)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        bool debugFile;
        bool unreadableParamFile;
        bool debug;
    } cases[] = {
        {"nothing", {"/app/ovin"}, false, false, false},
        {"file /debug", {"/app/ovin"}, true, false, true},
        {"-d", {"/app/ovin", "-d"}, false, false, true},
        {"DEBUG", {"/app/ovin", "DEBUG"}, false, false, true},
        {"--d", {"/app/ovin", "--d"}, false, false, false},
        {"a failing test counts as false", {"/app/ovin"}, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::FakeFileSystem files;
        if (c.debugFile)
            files.touch("/debug", "");
        if (c.unreadableParamFile) {
            files.touch(kParamFile, "d");
            files.files[kParamFile].unreadable = true;
        }
        EXPECT_EQ(IsDebugMode(Switches(c.arguments, files), files), c.debug);
    }
}

}  // namespace
}  // namespace ovin
