#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/MainWindow.h"
#include "shell/MainWindowFrontEnd.h"
#include "support/Fakes.h"
#include "watchdog/Watchdog.h"

namespace ovin {
namespace {

using namespace test;

// Writes down what the behaviour asks of the window, and answers its questions.
class FakeFrontEnd final : public MainWindowFrontEnd {
public:
    void ShowForm() override { calls += "show "; }
    void restoreWindow() override { calls += "restore "; }
    void hideWindow() override { calls += "hide "; }
    bool Confirm(const std::string& text, TMsgDlgType kind) override
    {
        calls += "confirm ";
        asked = text;
        EXPECT_EQ(kind, TMsgDlgType::mtWarning);
        return answer;
    }
    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        calls += "ask ";
        asked = caption + "|" + text;
        return answer;
    }
    void showErrorReport(const std::string& text) override { reports.push_back(text); }
    void showFinalErrorReport(const std::string& text) override { finalReports.push_back(text); }
    void RemoveTrayIcon() override { calls += "untray "; }
    void quit() override { calls += "quit "; }

    bool answer = true;
    std::string calls;
    std::string asked;
    std::vector<std::string> reports;
    std::vector<std::string> finalReports;
};

// The window's behaviour over a watchdog on fakes, started as the window starts it.
struct Rig {
    Rig()
    {
        host.onError = [this](const std::string& text) { window.reportError(text); };
        watchdog.FormCreate();
        startLog = watchdog.log().text();
    }

    std::string added() { return watchdog.log().text().substr(startLog.size()); }
    int linesWith(const std::string& needle)
    {
        int n = 0;
        const std::string text = added();
        for (auto p = text.find(needle); p != std::string::npos; p = text.find(needle, p + 1))
            ++n;
        return n;
    }

    FakeClock clock;
    FakeEventLoop loop{clock};
    FakeHost host{&loop};
    FakeFileSystem files;
    FakeProcessControl process;
    FakeProcessTable processes;
    FakeLauncher launcher;
    FakeHttpClient http;
    FakeCommandRunner commands;
    FakeMachineName machine;
    Watchdog watchdog{WatchdogServices{files, clock, process, processes, launcher, http, commands, machine}, "/app/",
                      host, loop.newTimer(), loop.newTimer()};
    FakeFrontEnd frontEnd;
    MainWindow window{watchdog, processes, frontEnd};
    std::string startLog;
};

class MainWindowLogic : public ::testing::Test, protected Rig {};

// Every way to end the program, as the user takes it: what is asked, what the router gets, what the log gets.
TEST(MainWindowWaysToEnd, AskRouterAndLog)
{
    const struct {
        const char* name;
        void (*act)(MainWindow&);
        bool answer;
        bool routerRuns;
        const char* calls;
        int routersLeft;
        int closingLines;
        const char* logged;  // a line the log gets, or empty
    } cases[] = {
        {"Konec, no", [](MainWindow& w) { w.Exit1Click(); }, false, true, "ask ", 1, 0, ""},
        {"Konec, yes", [](MainWindow& w) { w.Exit1Click(); }, true, true, "ask quit ", 1, 0, ""},
        {"both, no", [](MainWindow& w) { w.UkonitTrovaniOvin1Click(); }, false, true, "confirm ", 1, 0, ""},
        {"both, yes", [](MainWindow& w) { w.UkonitTrovaniOvin1Click(); }, true, true, "confirm quit ", 0, 0,
         "Ukoncuji Trovan"},
        {"both, yes, no router", [](MainWindow& w) { w.UkonitTrovaniOvin1Click(); }, true, false, "confirm quit ", 0, 0,
         "Opravdu chcete ukončit programy Trovan a Ovin ? - ANO"},
        {"menu command Konec", [](MainWindow& w) { w.RunMenuCommand(MenuCommand::Exit1); }, true, true, "ask quit ", 1,
         0, ""},
        {"panel, right button", [](MainWindow& w) { w.Panel1MouseUp(MouseButton::Right); }, true, true, "quit ", 1, 0,
         ""},
        {"panel, left button", [](MainWindow& w) { w.Panel1MouseUp(MouseButton::Left); }, true, true, "", 1, 0, ""},
        {"close box", [](MainWindow& w) { EXPECT_FALSE(w.FormCloseQuery()); }, true, true, "hide ", 1, 0, ""},
        {"end of session", [](MainWindow& w) { w.ShutdownQuery(); }, true, true, "untray hide untray hide quit ", 1, 2,
         ""},
        {"display gone", [](MainWindow& w) { w.SessionLost(); }, true, true, "", 1, 2, ""},
        {"display gone after the end of session",
         [](MainWindow& w) {
             w.ShutdownQuery();
             w.SessionLost();
         },
         true, true, "untray hide untray hide quit ", 1, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        if (c.routerRuns)
            rig.processes.entries = {{"trovan.exe", 10}, {"bash", 11}};
        rig.frontEnd.answer = c.answer;
        c.act(rig.window);
        EXPECT_EQ(rig.frontEnd.calls, c.calls);
        int routers = 0;
        for (const auto& e : rig.processes.entries)
            routers += e.imageName == "trovan.exe";
        EXPECT_EQ(routers, c.routerRuns ? c.routersLeft : 0);
        EXPECT_EQ(rig.linesWith("] UKONCENI PROGRAMU\r\n"), c.closingLines);
        if (*c.logged) {
            EXPECT_EQ(rig.linesWith(c.logged), 1);
        }
    }
}

TEST_F(MainWindowLogic, TheQuestionsAreTheProgramsOwn)
{
    window.UkonitTrovaniOvin1Click();
    EXPECT_EQ(frontEnd.asked, "Opravdu chcete ukončit programy Trovan a Ovin ?");
    window.Exit1Click();
    EXPECT_EQ(frontEnd.asked, "Ukončení|Ukončit program Ovin ?");
}

TEST_F(MainWindowLogic, OnlyShowformShowsTheWindow)
{
    const struct {
        const char* text;
        const char* calls;
    } cases[] = {{"showform", "restore show "}, {"SHOWFORM", ""}, {"showform ", ""}, {"", ""}, {"open", ""}};
    for (const auto& c : cases) {
        frontEnd.calls.clear();
        window.CopyDataReceived(c.text);
        EXPECT_EQ(frontEnd.calls, c.calls) << c.text;
    }
    frontEnd.calls.clear();
    window.RunMenuCommand(MenuCommand::Open1);
    EXPECT_EQ(frontEnd.calls, "show ");
}

TEST_F(MainWindowLogic, ErrorReportsDoNotPileUp)
{
    window.reportError("first");
    window.reportError("second");
    EXPECT_EQ(frontEnd.reports, std::vector<std::string>{"first"});
    window.errorReportClosed();
    window.reportError("third");
    EXPECT_EQ(frontEnd.reports, (std::vector<std::string>{"first", "third"}));
}

TEST_F(MainWindowLogic, ALostSessionWritesTheSettingsAndShowsNoMoreReports)
{
    files.files.erase("/app/ovin.ini");
    window.SessionLost();
    EXPECT_TRUE(files.files.count("/app/ovin.ini"));
    window.reportError("after");
    EXPECT_TRUE(frontEnd.reports.empty());
}

// The settings file is written as the program ends: a failure then must be answered before the window (and on
// Windows the whole process, which has no console) is gone, whatever report is open already.
TEST(MainWindowEnd, AFailedWriteOfTheSettingsIsAnsweredBeforeTheProgramEnds)
{
    const struct {
        const char* name;
        bool readOnly;
        bool earlierReportOpen;
        bool sessionLost;
        int finalReports;
    } cases[] = {
        {"written", false, false, false, 0},
        {"read-only", true, false, false, 1},
        {"read-only while another report is open", true, true, false, 1},
        {"read-only after the display went away", true, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.files.files["/app/ovin.ini"].readOnly = c.readOnly;
        if (c.earlierReportOpen)
            rig.window.reportError("earlier");
        if (c.sessionLost)
            rig.window.SessionLost();
        else
            rig.window.FormDestroy();
        ASSERT_EQ(rig.frontEnd.finalReports.size(), static_cast<std::size_t>(c.finalReports));
        if (c.finalReports) {
            EXPECT_EQ(rig.frontEnd.finalReports[0], "Unable to write to /app/ovin.ini");
        }
        EXPECT_EQ(rig.frontEnd.reports.size(), c.earlierReportOpen ? 1u : 0u) << "only the final box";
    }
}

}  // namespace
}  // namespace ovin
