#include <gtest/gtest.h>

#include <regex>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

const std::string kDefaultIni =
    "[conf]\r\nMazatRequest=0\r\nHlidatZdaTrovanJede=0\r\nZobrazitIkonu=1\r\nMaxStejnyRequest=5\r\n"
    "MaxStariRequest=600\r\nMaxRadkuRequest=1\r\nCekaniNaTrovan=10\r\nInterval=30000\r\nJinyAdrReq=0\r\nAdrReq=\r\n";

bool logHas(const fs::path& log, const std::string& needle) { return readFile(log).find(needle) != std::string::npos; }

TEST(Startup, InAnEmptyFolderWritesTheSettingsAndTheStartBlockWithTheMissingRouter)
{
    TempFolder dir;
    const auto exe = installOvin(dir.path());
    Process ovin(exe, {}, dir.path());
    const fs::path log = dir / monthFileName();
    ASSERT_TRUE(waitFor([&] { return logHas(log, "Nastavena priorita: Normální\r\n"); }, 10s));

    EXPECT_EQ(readFile(dir / "ovin.ini"), kDefaultIni);
    EXPECT_FALSE(fs::exists(dir / "ovin.ini.old"));
    const auto l = lines(readFile(log));
    ASSERT_GE(l.size(), 19u);
    EXPECT_EQ(l[0], "");
    EXPECT_EQ(l[1], std::string(119, '-'));
    EXPECT_TRUE(std::regex_match(l[2], std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d START)"))) << l[2];
    EXPECT_EQ(l[3], "Nastaveni:");
    EXPECT_EQ(l[4], "MazatRequest=b0");
    EXPECT_EQ(l[13], "AdrReq=");
    EXPECT_EQ(l[14], "");
    const std::string folder = fs::canonical(dir.path()).string() + "/";
    EXPECT_EQ(l[15], "RequestPath: \"" + folder + "request.cfg\"");
    EXPECT_EQ(l[16], "Trovan: \"" + folder + "trovan.exe\"");
    EXPECT_TRUE(
        std::regex_match(l[17], std::regex(R"(\[\d\d:\d\d:\d\d\.\d{3}\] )" + folder + R"(trovan\.exe NENALEZEN !)")))
        << l[17];
    EXPECT_TRUE(std::regex_match(l[18], std::regex(R"(\[\d\d:\d\d:\d\d\.\d{3}\] Nastavena priorita: Normální)")))
        << l[18];
}

TEST(Startup, WithTheRouterPresentNothingReachesTheDiskBeforeThePriorityLine)
{
    TempFolder dir;
    const auto exe = installOvin(dir.path());
    writeFile(dir / "trovan.exe", "not started: watching is off by default\n");
    Process ovin(exe, {}, dir.path());
    const fs::path log = dir / monthFileName();
    ASSERT_TRUE(waitFor([&] { return fs::exists(log); }, 10s));
    const auto l = lines(readFile(log));
    ASSERT_GE(l.size(), 18u);
    EXPECT_EQ(l[16].substr(0, 8), "Trovan: ");
    EXPECT_NE(l[17].find("] Nastavena priorita: Normální"), std::string::npos)
        << "the first write already holds the priority line: " << l[17];
}

TEST(Startup, AHandWrittenSettingsFileIsBackedUpAndRewrittenKeepingEverythingElse)
{
    TempFolder dir;
    const auto exe = installOvin(dir.path());
    const std::string handWritten =
        "; my router watchdog\n[other]\nkeep=me\n[CONF]\nInterval=0x7530\nzobrazitikonu = 2\nMaxStejnyRequest=abc\n";
    writeFile(dir / "ovin.ini", handWritten);
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(waitFor([&] { return fs::exists(dir / monthFileName()); }, 10s));

    EXPECT_EQ(readFile(dir / "ovin.ini.old"), handWritten);
    EXPECT_EQ(readFile(dir / "ovin.ini"),
              "; my router watchdog\n[other]\nkeep=me\n[CONF]\nInterval=30000\nzobrazitikonu=1\nMaxStejnyRequest=5\n"
              "MazatRequest=0\r\nHlidatZdaTrovanJede=0\r\nMaxStariRequest=600\r\nMaxRadkuRequest=1\r\n"
              "CekaniNaTrovan=10\r\nJinyAdrReq=0\r\nAdrReq=\r\n");
}

TEST(Startup, AnEarlierMonthFileIsContinuedWithCrLfLineBreaks)
{
    TempFolder dir;
    const auto exe = installOvin(dir.path());
    writeFile(dir / monthFileName(), "line one\nline two\n");
    Process ovin(exe, {}, dir.path());
    const fs::path log = dir / monthFileName();
    ASSERT_TRUE(waitFor([&] { return logHas(log, "NENALEZEN"); }, 10s));
    EXPECT_EQ(readFile(log).substr(0, 23), "line one\r\nline two\r\n\r\n-");
}

TEST(Startup, TheWordShowIsNotNeededToRunWithoutADisplay)
{
    TempFolder dir;
    const auto exe = installOvin(dir.path());
    Process ovin(exe, {"SHOW"}, dir.path());
    EXPECT_TRUE(waitFor([&] { return logHas(dir / monthFileName(), "Nastavena priorita"); }, 10s));
    EXPECT_FALSE(ovin.waitExit(0ms).has_value()) << "still running";
}

}  // namespace
}  // namespace ovin::e2e
