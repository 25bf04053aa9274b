// The Windows file services on real files, in a folder whose name holds
// several scripts: devices and pipes are no files, date stamps and sizes as
// the watchdog compares them, deletion of read-only files, saves that never
// tear a file, and text in the system's code page.

#include <gtest/gtest.h>

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/Win32TestSupport.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32FilePublisher.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Text.h"
#include "platform/win32/Win32ProcessTable.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "settings/OvinError.h"
#include "watchdog/LineTally.h"
#include "watchdog/ProcessOps.h"
#include "watchdog/RequestState.h"
#include "watchdog/RouterRecord.h"

namespace ovin {
namespace {

using namespace std::chrono_literals;
using test::readBytes;
using test::writeBytes;

// A Czech sentence with every accented letter kind, and its bytes in code
// page 1250.
constexpr const char* kCzech = "Příliš žluťoučký kůň úpěl ďábelské ódy";
constexpr const char* kCzech1250Hex = "50f8ed6c699a209e6c759d6f75e86bfd206bf9f220fa70ec6c20efe162656c736be920f36479";

std::string fromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

class Win32Files : public ::testing::Test {
protected:
    std::string at(const std::string& name) const { return m_dir.at(name); }
    void setAttributes(const std::string& name, DWORD attributes)
    {
        ASSERT_TRUE(::SetFileAttributesW(win32::widen(at(name)).c_str(), attributes));
    }

    test::TempFolder m_dir{"files"};
    Win32FileSystem files;
};

// What is no file never gets opened: not one of these calls may wait.
TEST_F(Win32Files, DevicesPipesAndFoldersAreNoFiles)
{
    // A pipe that exists, with nobody ever connecting: a read that opened
    // it would wait for a writer.
    win32::UniqueHandle pipe(::CreateNamedPipeW(L"\\\\.\\pipe\\ovin-test-request", PIPE_ACCESS_DUPLEX,
                                                PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(pipe.valid());
    ASSERT_TRUE(::CreateDirectoryW(win32::widen(at("folder")).c_str(), nullptr));
    ASSERT_TRUE(writeBytes(at("plain"), "abc"));

    struct Case {
        std::string path;
        bool file;
        bool device;
    };
    const std::vector<Case> cases = {
        {at("plain"), true, false},
        {at("folder"), false, false},
        {at("missing"), false, false},
        {"CON", false, true},
        {"NUL", false, true},
        {"COM1", false, true},
        {"lpt1", false, true},
        {at("nul.txt"), false, true},
        {at("CON"), false, true},
        {"\\\\.\\pipe\\ovin-test-request", false, true},
        {"//./pipe/ovin-test-request", false, true},
        {"\\\\.\\C:", false, true},
        {"\\\\?\\pipe\\ovin-test-request", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files.fileExists(c.path), c.file) << c.path;
        EXPECT_EQ(Win32FileSystem::isDevicePath(c.path), c.device) << c.path;
        std::string content;
        EXPECT_EQ(files.readFile(c.path, content).ok, c.file) << c.path;
        EXPECT_EQ(files.readChunks(c.path, [](std::string_view) { return true; }).ok, c.file) << c.path;
        EXPECT_EQ(files.identity(c.path).has_value(), c.file) << c.path;
        EXPECT_EQ(files.dateStamp(c.path) != -1, c.file) << c.path;
        if (c.path != at("folder")) {
            EXPECT_EQ(FileSizeOf(files, c.path) != -1, c.file) << c.path;
        }
        if (!c.file) {
            EXPECT_FALSE(ForceDeleteFile(files, c.path)) << c.path;
        }
    }
    // A device as the target of a save is refused, not written to.
    EXPECT_FALSE(files.replaceFile("NUL", "x").ok);
    EXPECT_FALSE(files.appendFile("\\\\.\\pipe\\ovin-test-request", "x").ok);
    EXPECT_FALSE(files.copyFile(at("plain"), "CON").ok);
}

// The other folder of the request file may lead to a pipe named
// request.cfg: the check sees no request file and the watch goes on.
TEST_F(Win32Files, APipeAsTheRequestFileIsNoRequestFile)
{
    const std::string folder = "\\\\.\\pipe\\ovin-" + std::to_string(::GetCurrentProcessId());
    win32::UniqueHandle pipe(::CreateNamedPipeW(win32::widen(folder + "\\request.cfg").c_str(), PIPE_ACCESS_DUPLEX,
                                                PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(pipe.valid());
    Win32Clock clock;
    Win32ProcessTable processes;
    EventLog log(files, clock, m_dir.path() + "\\");
    TConf conf(files, m_dir.path() + "\\");
    conf.JinyAdrReq = true;
    conf.AdrReq = folder;
    ASSERT_EQ(conf.RequestFilePath(), folder + "\\request.cfg");
    RouterRecord record(clock);
    RequestState check(files, processes, log, conf, record);
    for (int tick = 0; tick < 3; ++tick)
        check.RequestStateExecute();
    EXPECT_EQ(check.stallCounter(), 0);
    EXPECT_TRUE(log.text().empty()) << log.text();
}

// Last write time, turned into local time, packed as MS-DOS date and time:
// seconds halved, years from 1980.
TEST_F(Win32Files, DateStampIsTheLocalWriteTimePacked)
{
    struct Case {
        SYSTEMTIME local;
        std::uint32_t stamp;
    };
    auto packed = [](int y, int mo, int d, int h, int mi, int s) {
        return (static_cast<std::uint32_t>(((y - 1980) << 9) | (mo << 5) | d) << 16) |
               static_cast<std::uint32_t>((h << 11) | (mi << 5) | (s / 2));
    };
    const std::vector<Case> cases = {
        {{2026, 12, 1, 7, 0, 15, 43, 0}, packed(2026, 12, 7, 0, 15, 43)},
        {{2026, 12, 1, 7, 0, 15, 42, 999}, packed(2026, 12, 7, 0, 15, 42)},
        {{1980, 1, 2, 1, 0, 0, 0, 0}, packed(1980, 1, 1, 0, 0, 0)},
        {{2024, 2, 4, 29, 23, 59, 59, 0}, packed(2024, 2, 29, 23, 59, 59)},
        {{2107, 12, 6, 31, 23, 59, 58, 0}, packed(2107, 12, 31, 23, 59, 58)},
    };
    ASSERT_TRUE(writeBytes(at("request.cfg"), "x"));
    for (const Case& c : cases) {
        FILETIME local{};
        FILETIME utc{};
        ASSERT_TRUE(::SystemTimeToFileTime(&c.local, &local));
        ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &utc));
        {
            win32::UniqueHandle h(::CreateFileW(win32::widen(at("request.cfg")).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(h.valid());
            ASSERT_TRUE(::SetFileTime(h.get(), nullptr, nullptr, &utc));
        }
        EXPECT_EQ(static_cast<std::uint32_t>(files.dateStamp(at("request.cfg"))), c.stamp) << c.local.wYear;
        const auto back = DateStampToLocalTime(files.dateStamp(at("request.cfg")));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->year, c.local.wYear);
        EXPECT_EQ(back->second, c.local.wSecond / 2 * 2);
    }
}

// The size comes from the directory entry; 2 GiB and more comes out
// wrapped to the low 32 bits, taken as signed.
TEST_F(Win32Files, SizesFromTheDirectoryEntryWrapAt32Bits)
{
    struct Case {
        std::int64_t size;
        std::int32_t seen;
    };
    const std::vector<Case> cases = {
        {0, 0},
        {1, 1},
        {70000, 70000},
        {0x7FFFFFFF, 0x7FFFFFFF},
        {0x80000000LL, INT32_MIN},
        {0x100000007LL, 7},
        {0x1FFFFFFFFLL, -1},
    };
    for (const Case& c : cases) {
        {
            // Sparse where the disk allows: the test needs the size, not the bytes.
            win32::UniqueHandle h(::CreateFileW(win32::widen(at("big")).c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(h.valid());
            DWORD ignored = 0;
            ::DeviceIoControl(h.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
            LARGE_INTEGER li{};
            li.QuadPart = c.size;
            ASSERT_TRUE(::SetFilePointerEx(h.get(), li, nullptr, FILE_BEGIN));
            ASSERT_TRUE(::SetEndOfFile(h.get()));
        }
        EXPECT_EQ(files.entrySize(at("big")), c.size);
        EXPECT_EQ(FileSizeOf(files, at("big")), c.seen) << c.size;
    }
    EXPECT_EQ(FileSizeOf(files, at("missing")), -1);
    EXPECT_EQ(FileSizeOf(files, at("b*")), -1) << "a pattern names no single entry";
}

TEST_F(Win32Files, ForceDeleteClearsEveryAttribute)
{
    const std::vector<DWORD> kinds = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY,
                                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
    for (const DWORD attributes : kinds) {
        ASSERT_TRUE(writeBytes(at("request.cfg"), "x"));
        setAttributes("request.cfg", attributes);
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            const Result plain = files.deleteFile(at("request.cfg"));
            EXPECT_FALSE(plain.ok) << "a read-only file is not deleted as it is";
            EXPECT_FALSE(plain.error.empty());
        }
        EXPECT_TRUE(ForceDeleteFile(files, at("request.cfg"))) << attributes;
        EXPECT_FALSE(test::exists(at("request.cfg"))) << attributes;
    }
    EXPECT_FALSE(ForceDeleteFile(files, at("request.cfg")));
    const Result missing = files.deleteFile(at("request.cfg"));
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty()) << "the system's text for the cause";
}

// The backup of the settings file: its bytes as they are, never over an
// existing file.
TEST_F(Win32Files, CopyKeepsTheBytesAndNeverOverwrites)
{
    std::string every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    ASSERT_TRUE(writeBytes(at("ovin.ini"), every));
    ASSERT_TRUE(files.copyFile(at("ovin.ini"), at("ovin.ini.old")).ok);
    EXPECT_EQ(readBytes(at("ovin.ini.old")), every);

    ASSERT_TRUE(writeBytes(at("ovin.ini"), "newer"));
    const Result again = files.copyFile(at("ovin.ini"), at("ovin.ini.old"));
    EXPECT_FALSE(again.ok);
    EXPECT_FALSE(again.error.empty());
    EXPECT_EQ(readBytes(at("ovin.ini.old")), every);
    EXPECT_FALSE(files.copyFile(at("missing"), at("copy")).ok);
    EXPECT_FALSE(test::exists(at("copy")));
}

// A save replaces the whole file or nothing: a read-only file, or one that
// another program holds open, keeps its content, and no piece of the new
// one is left lying about.
TEST_F(Win32Files, ReplaceIsWholeOrNothing)
{
    ASSERT_TRUE(files.replaceFile(at("ovin202612.log"), "first\r\n").ok);
    ASSERT_TRUE(files.replaceFile(at("ovin202612.log"), "second\r\n").ok);
    EXPECT_EQ(readBytes(at("ovin202612.log")), "second\r\n");
    ASSERT_TRUE(files.appendFile(at("ovin202612.log"), "third\r\n").ok);
    EXPECT_EQ(readBytes(at("ovin202612.log")), "second\r\nthird\r\n");

    {
        // Another program holds the file without letting it be replaced.
        win32::UniqueHandle holder(::CreateFileW(win32::widen(at("ovin202612.log")).c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                 nullptr));
        ASSERT_TRUE(holder.valid());
        const Result held = files.replaceFile(at("ovin202612.log"), "lost\r\n");
        EXPECT_FALSE(held.ok);
        EXPECT_FALSE(held.error.empty());
    }
    EXPECT_EQ(readBytes(at("ovin202612.log")), "second\r\nthird\r\n");

    setAttributes("ovin202612.log", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(files.replaceFile(at("ovin202612.log"), "lost\r\n").ok);
    EXPECT_FALSE(files.appendFile(at("ovin202612.log"), "lost\r\n").ok);
    EXPECT_EQ(readBytes(at("ovin202612.log")), "second\r\nthird\r\n");
    EXPECT_EQ(test::listFolder(m_dir.path()), std::vector<std::string>{"ovin202612.log"}) << "no temporary file left";

    // A file the program saved is seen as the same file until someone else
    // writes it.
    setAttributes("ovin202612.log", FILE_ATTRIBUTE_NORMAL);
    const auto before = files.identity(at("ovin202612.log"));
    ASSERT_TRUE(before);
    EXPECT_EQ(files.identity(at("ovin202612.log")), before);
    ASSERT_TRUE(writeBytes(at("ovin202612.log"), "someone else\r\n"));
    EXPECT_NE(files.identity(at("ovin202612.log")), before);
}

// The design's text files are in the system's 8-bit code page (1250 on a
// Czech system); the program holds UTF-8.
TEST_F(Win32Files, TextFilesAreInTheSystemCodePage)
{
    ASSERT_EQ(::GetACP(), 1250u) << "tools/wine-run runs the tests in a Czech locale";
    const std::string czech1250 = fromHex(kCzech1250Hex);

    ASSERT_TRUE(files.replaceFile(at("ovin.ini"), std::string("AdrReq=") + kCzech + "\r\n").ok);
    EXPECT_EQ(readBytes(at("ovin.ini")), "AdrReq=" + czech1250 + "\r\n");
    ASSERT_TRUE(files.appendFile(at("ovin.ini"), kCzech).ok);
    EXPECT_EQ(readBytes(at("ovin.ini")), "AdrReq=" + czech1250 + "\r\n" + czech1250);

    ASSERT_TRUE(writeBytes(at("tmp_param"), czech1250));
    std::string text;
    ASSERT_TRUE(files.readFile(at("tmp_param"), text).ok);
    EXPECT_EQ(text, kCzech);

    // Every byte a router may write, the ones 1250 leaves undefined
    // included, comes back the same after a trip through the program's text.
    std::string every;
    for (int round = 0; round < 300; ++round) {
        for (int b = 0; b < 256; ++b)
            every += static_cast<char>(b);
    }
    ASSERT_TRUE(writeBytes(at("request.cfg"), every));
    std::string whole;
    ASSERT_TRUE(files.readFile(at("request.cfg"), whole).ok);
    std::string pieces;
    ASSERT_TRUE(files
                    .readChunks(at("request.cfg"),
                                [&](std::string_view piece) {
                                    pieces.append(piece);
                                    return true;
                                })
                    .ok);
    EXPECT_EQ(pieces, whole);
    ASSERT_TRUE(files.replaceFile(at("copy.log"), whole).ok);
    EXPECT_EQ(readBytes(at("copy.log")), every);
}

// A file too long for the log is never held whole: a month file beyond the
// log's capacity is not loaded and keeps its content (the run's lines go
// after it), and a request file is counted piece by piece.
TEST_F(Win32Files, TooLongForTheLogIsCountedNotLoaded)
{
    Win32Clock clock;
    EventLog log(files, clock, m_dir.path() + "\\", 1000);
    const std::string month(5000, 'x');
    ASSERT_TRUE(writeBytes(log.LogFileName(), month));
    try {
        log.LoadMonthFile();
        FAIL() << "a month file beyond the capacity is not loaded";
    } catch (const OvinError& e) {
        EXPECT_STREQ(e.what(), "Text exceeds memo capacity");
    }
    EXPECT_TRUE(log.text().empty());
    log.AddLogLine("Nastavena priorita: Normální");
    const std::string after = readBytes(log.LogFileName());
    EXPECT_EQ(after.substr(0, month.size()), month);
    EXPECT_NE(after.find("Nastavena priorita: Norm\xe1ln\xed"), std::string::npos) << "saved in code page 1250";

    std::string lines;
    for (int i = 0; i < 20000; ++i)
        lines += "request line " + std::to_string(i) + "\r\n";
    ASSERT_TRUE(writeBytes(at("request.cfg"), lines));
    LineTally tally;
    std::size_t largest = 0;
    ASSERT_TRUE(files
                    .readChunks(at("request.cfg"),
                                [&](std::string_view piece) {
                                    largest = std::max(largest, piece.size());
                                    tally.add(piece);
                                    return true;
                                })
                    .ok);
    EXPECT_EQ(tally.lines(), 20000);
    EXPECT_LE(largest, 64u * 1024u);
}

TEST_F(Win32Files, OwnFileInOwnFolderIsNotOpenToOthers)
{
    ASSERT_TRUE(writeBytes(at("trovan.exe"), "MZ"));
    EXPECT_FALSE(files.othersCanChange(at("trovan.exe")));
    EXPECT_TRUE(files.othersCanChange(at("missing.exe"))) << "what cannot be looked at is not vouched for";
}

// An exporter that reads the metrics file holds it open without delete sharing: the move over it waits for the
// read to end, and gives up, without a file left beside it, when a reader never lets go.
TEST_F(Win32Files, APublishedFileWaitsForAReaderOfTheOldOneForAMomentOnly)
{
    Win32FilePublisher publisher;
    const std::string prom = at("ovin.prom");
    ASSERT_TRUE(writeBytes(prom, "old\n"));
    const struct {
        const char* reader;
        std::chrono::milliseconds holds;
        bool published;
    } rows[] = {
        {"no reader", 0ms, true},
        {"a scrape", 200ms, true},
        {"a reader that never lets go", 5000ms, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reader);
        win32::UniqueHandle reader;
        if (row.holds > 0ms)
            reader.reset(::CreateFileW(win32::widen(prom).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        std::thread release([&] {
            std::this_thread::sleep_for(std::min(row.holds, std::chrono::milliseconds(2000)));
            reader.reset();
        });
        const std::string before = readBytes(prom);
        const Result published = publisher.publish(prom, std::string(row.reader) + "\n");
        release.join();
        EXPECT_EQ(published.ok, row.published) << published.error;
        EXPECT_EQ(readBytes(prom), row.published ? std::string(row.reader) + "\n" : before);
        EXPECT_FALSE(test::exists(prom + ".tmp"));
    }
    EXPECT_TRUE(publisher.checkFolder(m_dir.path()).ok);
    EXPECT_FALSE(publisher.checkFolder(prom).ok) << "a file is no folder";
    EXPECT_FALSE(publisher.checkFolder(at("missing")).ok);
}

}  // namespace
}  // namespace ovin
