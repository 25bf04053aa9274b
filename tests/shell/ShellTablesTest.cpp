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

TEST(QuestionDialog, Restyle)
{
    const struct {
        const char* name;
        question::PlainLayout plain;
        question::Restyled restyled;
    } cases[] = {
        {"warning", {300, 100, Size{32, 32}, 26, 25, 8}, {Rect{134, 0, 32, 32}, {0, 47, 300, 26}, 83, 136}},
        {"odd widths halve toward zero",
         {301, 100, Size{31, 31}, 13, 25, 8},
         {Rect{135, 0, 31, 31}, {0, 46, 301, 13}, 69, 122}},
        {"custom: no icon", {200, 60, std::nullopt, 13, 25, 8}, {std::nullopt, {0, 15, 200, 13}, 38, 91}},
        {"tall plain layout kept", {200, 300, std::nullopt, 13, 25, 8}, {std::nullopt, {0, 15, 200, 13}, 38, 320}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const question::Restyled r = question::Restyle(c.plain);
        EXPECT_EQ(r.icon, c.restyled.icon);
        EXPECT_EQ(r.text, c.restyled.text);
        EXPECT_EQ(r.buttonsTop, c.restyled.buttonsTop);
        EXPECT_EQ(r.dialogHeight, c.restyled.dialogHeight);
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
    for (const auto& c : widths)
        EXPECT_EQ(question::PlainDialogWidth(c.layout, c.boldText, c.margin), c.width) << c.boldText;
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
