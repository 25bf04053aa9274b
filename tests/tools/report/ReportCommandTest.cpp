// The command line, the files and folders it names, and what comes out.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>

#include "platform/Platform.h"
#include "tools/report/ReportCommand.h"
#include "tools/report/ReportOutput.h"

namespace ovin::report {
namespace {

namespace fs = std::filesystem;

struct Recorded final : Console {
    std::string outText, errText;
    void out(std::string_view t) override { outText += t; }
    void err(std::string_view t) override { errText += t; }
};

const std::string kMonth = "\r\n" + std::string(119, '-') +
                           "\r\n07.12.2026 10:00:00 START\r\nNastaveni:\r\n"
                           "[10:00:30.000] Trovan neni spusten - pokusim se ho spustit\r\n"
                           "[10:00:33.000] Trovan spusten\r\n"
                           "[10:05:00.000] Prekrocen limit stari souboru 5\r\n"
                           "[10:05:00.000] Ukoncuji Trovan\r\n"
                           "[10:05:01.000] Trovan neni spusten - pokusim se ho spustit\r\n"
                           "[10:05:05.000] Trovan spusten\r\n";

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() /
                 ("ovin-report-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    std::string folder(const std::string& name, const std::string& month = kMonth)
    {
        const fs::path dir = m_root / name;
        fs::create_directories(dir);
        std::ofstream(dir / "ovin202612.log", std::ios::binary) << month;
        return dir.string();
    }

    int run(const std::vector<std::string>& args, Recorded& console) { return runReport(args, *m_files, console); }

    fs::path m_root;
    std::unique_ptr<FileSystem> m_files = createFileSystem();
};

TEST(ReportArgumentsTest, CommandLines)
{
    struct Row {
        std::vector<std::string> args;
        bool ok;
        std::size_t sources;
        Format format;
    };
    const Row rows[] = {
        {{"logs"}, true, 1, Format::Table},
        {{"--csv", "a", "b"}, true, 2, Format::Csv},
        {{"--json", "--from", "2026-12-01", "--to", "2026-12-31", "a"}, true, 1, Format::Json},
        {{"--html", "out.html", "--name", "Praha", "a"}, true, 1, Format::Html},
        {{"--", "--csv"}, true, 1, Format::Table},
        {{}, false, 0, Format::Table},
        {{"--csv", "--json", "a"}, false, 0, Format::Table},
        {{"--html"}, false, 0, Format::Table},
        {{"--from", "2026-02-30", "a"}, false, 0, Format::Table},
        {{"--from", "1.12.2026", "a"}, false, 0, Format::Table},
        {{"--from", "2026-12-02", "--to", "2026-12-01", "a"}, false, 0, Format::Table},
        {{"--name", "x"}, false, 0, Format::Table},
        {{"a", "--name"}, false, 0, Format::Table},
        {{"--verbose", "a"}, false, 0, Format::Table},
    };
    for (const Row& r : rows) {
        const auto parsed = parseArguments(r.args);
        const std::string line = ::testing::PrintToString(r.args);
        ASSERT_EQ(std::holds_alternative<Options>(parsed), r.ok) << line;
        if (!r.ok)
            continue;
        const Options& o = std::get<Options>(parsed);
        EXPECT_EQ(o.sources.size(), r.sources) << line;
        EXPECT_EQ(o.format, r.format) << line;
    }
    const Options named = std::get<Options>(parseArguments({"--name", "Praha", "a", "b"}));
    EXPECT_EQ(named.sources[0].name, "Praha");
    EXPECT_EQ(named.sources[1].name, "");
}

TEST_F(ReportCommandTest, ExitCodesAndMessages)
{
    const std::string good = folder("brno");
    const std::string empty = (m_root / "empty").string();
    fs::create_directories(empty);
    const std::string missing = (m_root / "nothing" / "ovin202612.log").string();
    struct Row {
        std::vector<std::string> args;
        int code;
        const char* messagePart;  // in the error output
    };
    const Row rows[] = {
        {{good}, kExitOk, ""},
        {{good, missing}, kExitOk, missing.c_str()},
        {{missing}, kExitNothingRead, missing.c_str()},
        {{empty}, kExitNothingRead, "není žádný měsíční log"},
        {{good, "--html", (m_root / "no" / "such" / "page.html").string()}, kExitNotWritten, "Nelze zapsat"},
        {{"--bogus"}, kExitUsage, "Neznámý přepínač"},
    };
    for (const Row& r : rows) {
        Recorded console;
        EXPECT_EQ(run(r.args, console), r.code) << ::testing::PrintToString(r.args);
        EXPECT_NE(console.errText.find(r.messagePart), std::string::npos) << console.errText;
    }
}

TEST_F(ReportCommandTest, MachinesAreNamedAfterTheirFoldersAndOrderedWorstFirst)
{
    const std::string healthy =
        "\r\n07.12.2026 10:00:00 START\r\n[10:00:30.000] Trovan neni spusten - pokusim se ho spustit\r\n"
        "[10:00:33.000] Trovan spusten\r\n[11:00:00.000] UKONCENI PROGRAMU\r\n";
    const std::string a = folder("alfa", healthy);
    const std::string b = folder("beta");
    Recorded csv;
    ASSERT_EQ(run({"--csv", a, "--name", "Plzeň", b}, csv), kExitOk);
    EXPECT_EQ(csv.outText, "machine,date,starts,stalls,kills,launches,launch_failures,missing_exe,crashes,"
                           "downtime_s,unwatched_s,availability\n"
                           "alfa,2026-12-07,1,0,0,1,0,0,0,0,0,100.00\n"
                           "Plzeň,2026-12-07,1,1,1,2,0,0,0,5,0,98.36\n");
    Recorded table;
    ASSERT_EQ(run({a, "--name", "Plzeň", b}, table), kExitOk);
    EXPECT_LT(table.outText.find("Plzeň"), table.outText.find("alfa"));
    // The file itself names the same machine as its folder.
    Recorded json;
    ASSERT_EQ(run({"--json", b, (fs::path(b) / "ovin202612.log").string()}, json), kExitOk);
    EXPECT_EQ(json.outText.find("{\"name\": \"beta\""), json.outText.rfind("{\"name\": "));
    EXPECT_NE(json.outText.find("\"stalls\": 1,"), std::string::npos);
}

// The page is one file that needs nothing else, in plain ASCII.
TEST_F(ReportCommandTest, ThePageStandsAlone)
{
    const std::string page = (m_root / "report.html").string();
    Recorded console;
    ASSERT_EQ(run({"--html", page, "--name", "Plzeň", folder("x")}, console), kExitOk);
    std::ifstream in(page, std::ios::binary);
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char c : html)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_NE(html.find("Plze&#328;"), std::string::npos);
    EXPECT_NE(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find("<polyline"), std::string::npos);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("href="), std::string::npos);
}

// A log as a Czech Windows writes it: its letters in code page 1250, its
// folder named with them. The figures are the same, the machine keeps its name.
TEST_F(ReportCommandTest, AWindowsLogInCodePage1250)
{
    const std::string name = "Plze\xC5\x88";  // "Plzeň" in UTF-8, as the program holds names
    const fs::path dir = m_root / fs::path(std::u8string(name.begin(), name.end()));
    fs::create_directories(dir);
    std::ofstream(dir / "ovin202612.log", std::ios::binary)
        << "\r\n07.12.2026 10:00:00 START\r\nNastaveni:\r\nRequestPath: \"C:\\Plze\xF2\\request.cfg\"\r\n"
           "[10:00:01.000] Nastavena priorita: Norm\xE1ln\xED\r\n"
           "[10:00:30.000] Trovan neni spusten - pokusim se ho spustit\r\n"
           "[10:00:31.000] \xC8\x65k\xE1m na spu\x9At\xECn\xED Trovan 1 s\r\n"
           "[10:00:31.000] Trovan spusten\r\n"
           "[10:20:00.000] Trovan neni spusten - pokusim se ho spustit\r\n"
           "[10:20:01.000] \xC8\x65k\xE1m na spu\x9At\xECn\xED Trovan 1 s\r\n"
           "[10:20:01.000] Trovan spusten\r\n";
    const std::u8string u8 = dir.u8string();
    Recorded console;
    ASSERT_EQ(run({"--json", std::string(u8.begin(), u8.end())}, console), kExitOk) << console.errText;
    const std::string& json = console.outText;
    EXPECT_NE(json.find("{\"name\": \"" + name + "\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"launches\": 2, \"launch_failures\": 0, \"missing_exe\": 0, \"crashes\": 1, "
                        "\"downtime_s\": 1,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"unreadable_lines\": 0"), std::string::npos) << json;
}

// A named pipe in place of a month file is no file: the report goes on and
// never waits for a writer.
TEST_F(ReportCommandTest, APipeNeverBlocks)
{
    const std::string dir = folder("pipe");
    const std::string fifo = (fs::path(dir) / "ovin202611.log").string();
    if (std::system(("mkfifo '" + fifo + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no mkfifo here";
    auto done = std::async(std::launch::async, [&] {
        Recorded console;
        const int code = run({"--json", dir, fifo}, console);
        return std::make_pair(code, console.errText);
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    const auto [code, err] = done.get();
    EXPECT_EQ(code, kExitOk);
    EXPECT_NE(err.find(fifo), std::string::npos);
}

}  // namespace
}  // namespace ovin::report
