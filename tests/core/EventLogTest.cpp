#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/EventLog.h"
#include "settings/OvinError.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using test::FakeClock;
using test::FakeFileSystem;

constexpr const char* kMonthFile = "/app/ovin202612.log";
const std::string kSeparatorLine = std::string(119, '-');

class EventLogTest : public ::testing::Test {
protected:
    const std::string& monthFile(const char* name = kMonthFile) { return files.files.at(name).content; }

    FakeFileSystem files;
    FakeClock clock{{2026, 12, 7, 0, 15, 42, 512}};
    EventLog log{files, clock, "/app/"};
};

struct AddCase {
    const char* before;
    const char* added;
    const char* after;
};

class AddRule : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddRule, JoinsTextToTheLog)
{
    FakeFileSystem files;
    FakeClock clock;
    EventLog log(files, clock, "/app/");
    log.editText(0, 0, GetParam().before);
    log.AddLogText(GetParam().added);
    EXPECT_EQ(log.text(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddRule,
                         ::testing::Values(AddCase{"", "a", "a\r\n"}, AddCase{"", "", "\r\n"},
                                           AddCase{"x\r\n", "a", "x\r\na\r\n"}, AddCase{"typed", "a", "typed\r\na"},
                                           AddCase{"x\r\n", "a\r\nb\r\n", "x\r\na\r\nb\r\n\r\n"}));

TEST_F(EventLogTest, ALineCarriesTheTimeAndIsSavedAtOnce)
{
    log.AddLogLine("Nastavena priorita: Normální");
    log.AddLogLine("");
    EXPECT_EQ(log.text(), "[00:15:42.512] Nastavena priorita: Normální\r\n[00:15:42.512] \r\n");
    EXPECT_EQ(log.LogFileName(), kMonthFile);
    EXPECT_EQ(monthFile(), log.text());
}

TEST_F(EventLogTest, StartBlockOnAnEmptyLogBeginsWithAnEmptyLine)
{
    log.LoadMonthFile();
    log.AddStartHeader();
    EXPECT_EQ(log.text(), "\r\n" + kSeparatorLine + "\r\n07.12.2026 00:15:42 START\r\nNastaveni:\r\n");
    EXPECT_TRUE(files.files.empty()) << "untimed lines are not saved by themselves";
}

TEST_F(EventLogTest, StartBlockAfterAHandEditedMonthFileOnlyEndsItsLastLine)
{
    files.touch(kMonthFile, "old line\nedited by hand");
    log.LoadMonthFile();
    log.AddStartHeader();
    EXPECT_EQ(log.text(),
              "old line\r\nedited by hand\r\n" + kSeparatorLine + "\r\n07.12.2026 00:15:42 START\r\nNastaveni:\r\n");
    log.AddLogLine("x");
    EXPECT_EQ(monthFile(), log.text()) << "lone line breaks are rewritten as CR LF at the first save";
}

TEST_F(EventLogTest, AMonthFileIsContinuedAndOnlyTheNewPartIsWritten)
{
    files.touch(kMonthFile, "earlier run\r\n");
    log.LoadMonthFile();
    log.AddLogLine("a");
    log.AddLogLine("b");
    EXPECT_EQ(monthFile(), "earlier run\r\n[00:15:42.512] a\r\n[00:15:42.512] b\r\n");
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(files.appends, 2);
}

TEST_F(EventLogTest, TheWholeFileIsRewrittenWhenItNoLongerHoldsTheLastSave)
{
    log.AddLogLine("a");
    files.touch(kMonthFile, "another program wrote this\r\n");
    log.AddLogLine("b");
    EXPECT_EQ(monthFile(), log.text());

    log.editText(0, 5, "user edited the beginning\r\n");
    log.AddLogLine("c");
    EXPECT_EQ(monthFile(), log.text());

    const int replacesBefore = files.replaces;
    log.editText(log.text().size(), 0, "typed at the end");
    log.AddLogLine("d");
    EXPECT_EQ(monthFile(), log.text());
    EXPECT_EQ(files.replaces, replacesBefore) << "text typed after the saved part is only appended";
}

TEST_F(EventLogTest, TheTurnOfAMonthCopiesTheWholeLogIntoTheNewFile)
{
    files.touch(kMonthFile, "november and december\r\n");
    log.LoadMonthFile();
    log.AddLogLine("december");
    clock.set({2027, 1, 1, 0, 0, 1, 0});
    log.AddLogLine("january");
    EXPECT_EQ(monthFile("/app/ovin202701.log"), log.text());
    EXPECT_EQ(monthFile(), "november and december\r\n[00:15:42.512] december\r\n");
}

TEST_F(EventLogTest, AFailedSaveKeepsTheLineAndTheNextSaveWritesIt)
{
    log.AddLogLine("first");
    files.failWrites = true;
    try {
        log.AddLogLine("second");
        FAIL() << "the save should fail";
    } catch (const OvinError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"/app/ovin202612.log\". No space left on device");
    }
    EXPECT_EQ(monthFile(), "[00:15:42.512] first\r\n") << "the file keeps its last good state";
    files.failWrites = false;
    log.AddLogLine("third");
    EXPECT_EQ(monthFile(), "[00:15:42.512] first\r\n[00:15:42.512] second\r\n[00:15:42.512] third\r\n");
}

TEST_F(EventLogTest, AMonthFileThatCannotBeLoadedIsAddedToNeverReplaced)
{
    files.touch(kMonthFile, "lines that could not be read\r\n");
    files.files.at(kMonthFile).unreadable = true;
    try {
        log.LoadMonthFile();
        FAIL() << "the load should fail";
    } catch (const OvinError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"/app/ovin202612.log\". Permission denied");
    }
    log.AddStartHeader();
    log.AddLogLine("a");
    const std::string runSoFar = log.text();
    EXPECT_EQ(monthFile(), "lines that could not be read\r\n" + runSoFar);
    files.touch(kMonthFile, monthFile() + "someone else\r\n");
    log.AddLogLine("b");
    EXPECT_EQ(monthFile(), "lines that could not be read\r\n" + runSoFar + "someone else\r\n[00:15:42.512] b\r\n");
}

TEST_F(EventLogTest, ClosingLinesSaveTheLineButNotTheSeparator)
{
    log.AddClosingLines();
    EXPECT_EQ(log.text(), "[00:15:42.512] UKONCENI PROGRAMU\r\n" + kSeparatorLine + "\r\n");
    EXPECT_EQ(monthFile(), "[00:15:42.512] UKONCENI PROGRAMU\r\n");
}

TEST_F(EventLogTest, CopiedLinesAreAppendedAsTheyAreAndSavedWithTheNextLine)
{
    log.editText(0, 0, "typed");
    log.AppendLines("r1\nr2");
    EXPECT_EQ(log.text(), "typedr1\r\nr2\r\n");
    log.AddLogLine("x");
    EXPECT_EQ(monthFile(), "typedr1\r\nr2\r\n[00:15:42.512] x\r\n");
}

TEST_F(EventLogTest, TextBeyondTheViewsCapacityIsRefused)
{
    log.AddLogText("kept");
    const std::string huge(EventLog::kMemoCapacity, 'x');
    EXPECT_THROW(log.AppendLines(huge), OvinError);
    EXPECT_EQ(log.text(), "kept\r\n");
}

// A copy of a file's lines against a small capacity: the size counted is the
// size the lines take once each ends with CR LF.
struct CopyCase {
    const char* what;
    std::size_t capacity;
    const char* lines;
    const char* after;  // nullptr: refused, the text stays "kept\r\n"
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.what; }

class CopyIntoLog : public EventLogTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyIntoLog, FitsTheCapacityOrIsRefusedWhole)
{
    const CopyCase& c = GetParam();
    log.setCapacity(c.capacity);
    log.AddLogText("kept");
    if (!c.after) {
        EXPECT_THROW(log.AppendLines(c.lines), OvinError) << c.what;
        EXPECT_EQ(log.text(), "kept\r\n") << c.what;
        return;
    }
    log.AppendLines(c.lines);
    EXPECT_EQ(log.text(), c.after) << c.what;
    EXPECT_LE(log.text().size(), c.capacity) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, CopyIntoLog,
                         ::testing::Values(CopyCase{"exactly full", 12, "a\r\nb", "kept\r\na\r\nb\r\n"},
                                           CopyCase{"one byte over", 11, "a\r\nb", nullptr},
                                           CopyCase{"lone breaks grow to CR LF", 15, "a\rb\nc",
                                                    "kept\r\na\r\nb\r\nc\r\n"},
                                           CopyCase{"lone breaks counted before the copy", 14, "a\rb\nc", nullptr},
                                           CopyCase{"empty lines", 12, "\n\r\r\n", "kept\r\n\r\n\r\n\r\n"},
                                           CopyCase{"nothing to copy on a full log", 6, "", "kept\r\n"},
                                           CopyCase{"a full log takes no line", 6, "x", nullptr}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(EventLogTest, AMonthFileLongerThanTheCapacityIsNotReadAndIsAddedTo)
{
    log.setCapacity(64);
    files.touch(kMonthFile, std::string(100, 'x'));
    EXPECT_THROW(log.LoadMonthFile(), OvinError);
    EXPECT_EQ(files.bytesRead, 0u);
    log.AddLogLine("a");
    EXPECT_EQ(monthFile(), std::string(100, 'x') + "[00:15:42.512] a\r\n");
}

TEST_F(EventLogTest, ANewLogTakesTheCapacityItsOwnerGivesIt)
{
    EXPECT_EQ(EventLog(files, clock, "/app/").capacity(), EventLog::kMemoCapacity);
    EventLog small(files, clock, "/app/", 100);
    EXPECT_EQ(small.capacity(), 100u);
    EXPECT_EQ(small.room(), 100u);
}

struct EditCase {
    const char* name;
    std::size_t pos;  // into "[00:15:42.512] a\r\n", the part already saved
    std::size_t removeLen;
    const char* insert;
    const char* textBeforeNextLine;
    bool rewritesWhole;
};

class EditThenLine : public ::testing::TestWithParam<EditCase> {};

// What the user types is in the log at once; the next line saves exactly the
// log, and only an edit inside the saved part costs a rewrite of the file.
TEST_P(EditThenLine, TheMonthFileThenHoldsExactlyTheLog)
{
    const EditCase& c = GetParam();
    FakeFileSystem files;
    FakeClock clock;
    EventLog log(files, clock, "/app/");
    log.AddLogLine("a");
    log.editText(c.pos, c.removeLen, c.insert);
    EXPECT_EQ(log.text(), c.textBeforeNextLine);
    const int replacesBefore = files.replaces;
    log.AddLogLine("b");
    EXPECT_EQ(files.files.at(kMonthFile).content, log.text());
    EXPECT_EQ(files.replaces - replacesBefore, c.rewritesWhole ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditThenLine,
    ::testing::Values(EditCase{"TypedAtTheEnd", 18, 0, "poznámka", "[00:15:42.512] a\r\npoznámka", false},
                      EditCase{"EnterAtTheEnd", 18, 0, "x\r\n", "[00:15:42.512] a\r\nx\r\n", false},
                      EditCase{"TypedInTheMiddle", 15, 0, "Z", "[00:15:42.512] Za\r\n", true},
                      EditCase{"LastBreakDeleted", 16, 2, "", "[00:15:42.512] a", true},
                      EditCase{"ClampedPastTheEnd", 99, 5, "z", "[00:15:42.512] a\r\nz", false},
                      EditCase{"FirstCharDeleted", 0, 1, "", "00:15:42.512] a\r\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

class RecordingObserver final : public LogObserver {
public:
    void logAppended(std::string_view added) override { notices.push_back("append " + std::string(added)); }
    void logEdited(std::size_t pos, std::size_t removed, std::size_t inserted) override
    {
        notices.push_back("edit " + std::to_string(pos) + " " + std::to_string(removed) + " " +
                          std::to_string(inserted));
    }
    void logReplaced() override { notices.push_back("replace"); }
    std::vector<std::string> notices;
};

TEST_F(EventLogTest, TheViewIsToldOfEveryChangeInItsOwnTerms)
{
    files.touch(kMonthFile, "x\r\n");
    RecordingObserver view;
    log.setObserver(&view);
    log.LoadMonthFile();
    log.editText(1, 0, "yz");
    log.editText(1, 100, "");
    log.editText(0, 0, "");
    log.AddLogText("t");
    EXPECT_EQ(view.notices, (std::vector<std::string>{"replace", "edit 1 0 2", "edit 1 4 0", "append \r\nt"}));
}

struct LoadCase {
    const char* file;
    const char* text;
    bool firstSaveAppends;
};

class LoadMonthFile : public ::testing::TestWithParam<LoadCase> {};

// A file that has only CR LF is taken as it is and continued; any other line
// break makes the first save write the normalised text whole.
TEST_P(LoadMonthFile, TakesTheFileWithCrLfLineBreaks)
{
    FakeFileSystem files;
    FakeClock clock;
    EventLog log(files, clock, "/app/");
    files.touch(kMonthFile, GetParam().file);
    log.LoadMonthFile();
    EXPECT_EQ(log.text(), GetParam().text);
    log.AddLogLine("n");
    EXPECT_EQ(files.files.at(kMonthFile).content, log.text());
    EXPECT_EQ(files.appends, GetParam().firstSaveAppends ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadMonthFile,
                         ::testing::Values(LoadCase{"a\r\nb\r\n", "a\r\nb\r\n", true},
                                           LoadCase{"a\r\nno break", "a\r\nno break", true}, LoadCase{"", "", true},
                                           LoadCase{"a\r\nb\n", "a\r\nb\r\n", false},
                                           LoadCase{"a\rb\r\n", "a\r\nb\r\n", false},
                                           LoadCase{"a\r\nb\r", "a\r\nb\r\n", false},
                                           LoadCase{"\n\r", "\r\n\r\n", false}));

}  // namespace
}  // namespace ovin
