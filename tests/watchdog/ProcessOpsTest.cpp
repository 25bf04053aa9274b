#include <gtest/gtest.h>

#include "support/Fakes.h"
#include "WatchdogRig.h"
#include "watchdog/ProcessOps.h"

namespace ovin {
namespace {

using namespace ovin::test;

FakeProcessTable tableOf(const std::vector<std::string>& names)
{
    FakeProcessTable table;
    std::uint32_t pid = 10;
    for (const auto& n : names)
        table.entries.push_back({n, pid++});
    return table;
}

struct NameCase {
    std::vector<std::string> running;
    std::string name;
    bool isRunning;
    int count;
};

class NameMatching : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameMatching, FindsAndCountsByTheKeyOfTheName)
{
    const NameCase& c = GetParam();
    const FakeProcessTable table = tableOf(c.running);
    EXPECT_EQ(IsProcessRunning(table, c.name), c.isRunning);
    EXPECT_EQ(CountProcesses(table, c.name), c.count);
}

INSTANTIATE_TEST_SUITE_P(Names, NameMatching,
                         ::testing::Values(NameCase{{"init", "trovan.exe"}, "trovan.exe", true, 1},
                                           NameCase{{"TROVAN.EXE"}, "trovan.exe", true, 1},
                                           NameCase{{"trovan.exe"}, "Trovan.Exe", true, 1},
                                           // Only the file-name part of the argument counts, wherever the
                                           // process lives.
                                           NameCase{{"trovan.exe"}, "C:\\x\\trovan.exe", true, 1},
                                           NameCase{{"trovan.exe"}, "/opt/app/trovan.exe", true, 1},
                                           NameCase{{"trovan.exe"}, "D:trovan.exe", true, 1},
                                           // Blanks and control characters around the argument go.
                                           NameCase{{"trovan.exe"}, " \ttrovan.exe \x01", true, 1},
                                           // The lines of the table are trimmed when counting, not when looking.
                                           NameCase{{" trovan.exe"}, "trovan.exe", false, 1},
                                           NameCase{{"trovan.exe", "trovan.exe", "trovan"}, "trovan.exe", true, 2},
                                           NameCase{{"trovan.ex", "trovan.exe2"}, "trovan.exe", false, 0},
                                           NameCase{{}, "trovan.exe", false, 0},
                                           // A table that lists full paths matches only on the whole line.
                                           NameCase{{"C:\\app\\trovan.exe"}, "trovan.exe", false, 0},
                                           // Central European letters are lower-cased too.
                                           NameCase{{"ŘÍDICÍ.EXE"}, "řídicí.exe", true, 1},
                                           NameCase{{"řídicí.exe"}, "ŘÍDICÍ.EXE", true, 1},
                                           // A name with a line break in it is split like the text it is in.
                                           NameCase{{"a\nb"}, "b", true, 1}));

struct TerminateCase {
    std::vector<std::string> running;
    std::string name;
    std::vector<std::string> ended;
};

class Terminating : public ::testing::TestWithParam<TerminateCase> {};

TEST_P(Terminating, EndsEveryProcessWhoseNameOrFileNameMatches)
{
    const TerminateCase& c = GetParam();
    FakeProcessTable table = tableOf(c.running);
    TerminateProcessByName(table, c.name);
    std::vector<std::string> ended;
    for (const auto& e : table.terminated)
        ended.push_back(e.imageName);
    EXPECT_EQ(ended, c.ended);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Terminating,
    ::testing::Values(
        TerminateCase{{"trovan.exe", "init", "TROVAN.EXE"}, "trovan.exe", {"trovan.exe", "TROVAN.EXE"}},
        TerminateCase{
            {"C:\\a\\trovan.exe", "D:\\b\\trovan.exe"}, "trovan.exe", {"C:\\a\\trovan.exe", "D:\\b\\trovan.exe"}},
        // A name with a folder is used whole.
        TerminateCase{{"C:\\a\\trovan.exe", "D:\\b\\trovan.exe"}, "c:\\A\\trovan.exe", {"C:\\a\\trovan.exe"}},
        TerminateCase{{"trovan.exe"}, "C:\\a\\trovan.exe", {}},
        // Not trimmed, and only ASCII letters ignore case.
        TerminateCase{{"trovan.exe"}, " trovan.exe", {}}, TerminateCase{{"řídicí.exe"}, "ŘÍDICÍ.EXE", {}},
        TerminateCase{{"řídicí.exe"}, "řídicí.EXE", {"řídicí.exe"}}));

TEST(ProcessNames, ListTheSnapshotInOrderWithCrLf)
{
    EXPECT_EQ(GetProcessNames(tableOf({"a", "trovan.exe"})), "a\r\ntrovan.exe\r\n");
    EXPECT_EQ(GetProcessNames(tableOf({})), "");
}

TEST(ProcessOpsText, LowerCaseCoversAsciiAndTheCentralEuropeanLetters)
{
    EXPECT_EQ(LowerCase("ABC xyz 123"), "abc xyz 123");
    EXPECT_EQ(LowerCase("ČŘŽŠĚŮŇŤĎÁÉÍÓÚÝ"), "čřžšěůňťďáéíóúý");
    EXPECT_EQ(LowerCase("ĄĘŁŃŚŹŻŐŰĹĽŔŞŢ"), "ąęłńśźżőűĺľŕşţ");
    EXPECT_EQ(LowerCase("ß×÷ÿ"), "ß×÷ÿ");
    EXPECT_EQ(LowerCase("Ÿİ"), "ÿi");
    // Bytes that are no valid UTF-8 pass unchanged.
    EXPECT_EQ(LowerCase("A\xC3"), "a\xC3");
    EXPECT_EQ(LowerCase("\xFF\x80Z"), "\xFF\x80z");
}

TEST(ProcessOpsText, SplitLinesAtCrLfOrCrLf)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("\r\n\n\r"), (Lines{"", "", ""}));
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(DateStamps, TurnIntoLocalTimeOnlyWhenValid)
{
    const LocalTime t{2026, 12, 6, 23, 56, 12, 0};
    const auto back = DateStampToLocalTime(dosStamp(t));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(DateTimeText(*back), "6.12.2026 23:56:12");
    EXPECT_EQ(DateTimeText({2027, 1, 15, 7, 5, 9, 0}), "15.1.2027 07:05:09");
    EXPECT_FALSE(DateStampToLocalTime(-1).has_value());
    EXPECT_FALSE(DateStampToLocalTime(0).has_value());
    EXPECT_FALSE(DateStampToLocalTime(dosStamp({2026, 2, 29, 0, 0, 0, 0})).has_value());
    EXPECT_TRUE(DateStampToLocalTime(dosStamp({2028, 2, 29, 0, 0, 0, 0})).has_value());
    EXPECT_FALSE(DateStampToLocalTime(dosStamp({2026, 1, 1, 24, 0, 0, 0})).has_value());
}

TEST(FileOps, SizeIsTheLow32BitsOrMinusOne)
{
    FakeFileSystem files;
    files.files["/a"].content = "12345";
    files.files["/empty"];
    files.files["/big"];
    files.sizeOverride["/big"] = (std::int64_t{1} << 32) + 7;
    files.files["/huge"];
    files.sizeOverride["/huge"] = std::int64_t{3} << 30;
    EXPECT_EQ(FileSizeOf(files, "/a"), 5);
    EXPECT_EQ(FileSizeOf(files, "/empty"), 0);
    EXPECT_EQ(FileSizeOf(files, "/missing"), -1);
    EXPECT_EQ(FileSizeOf(files, "/big"), 7);
    EXPECT_EQ(FileSizeOf(files, "/huge"), -(std::int32_t{1} << 30));
}

TEST(FileOps, ForceDeleteRemovesReadOnlyFiles)
{
    FakeFileSystem files;
    files.files["/ro"].readOnly = true;
    files.files["/rw"];
    EXPECT_TRUE(ForceDeleteFile(files, "/ro"));
    EXPECT_TRUE(ForceDeleteFile(files, "/rw"));
    EXPECT_FALSE(ForceDeleteFile(files, "/ro"));
    EXPECT_TRUE(files.files.empty());
}

}  // namespace
}  // namespace ovin
