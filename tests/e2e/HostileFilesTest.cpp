#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "support/E2eSupport.h"

namespace ovin::e2e {
namespace {

// A user id that is neither ours nor root's ("nobody").
constexpr uid_t kNobody = 65534;

// Resident memory of a process in KiB.
long residentKiB(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (in >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            in >> kib;
            return kib;
        }
        in.ignore(1 << 20, '\n');
    }
    return -1;
}

class HostileFiles : public ::testing::Test {
protected:
    HostileFiles()
    {
        folder = fs::canonical(dir.path()).string() + "/";
        request = folder + "request.cfg";
    }
    ~HostileFiles() override { killProcessesIn(dir.path()); }

    // Watching on, one second a tick; the stand-in router sleeps and leaves
    // the request file alone.
    void watching(const std::string& extra = "")
    {
        installRouter(dir.path());
        writeFile(dir / "trovan.mode", "slow delay=600000");
        writeFile(dir / "ovin.ini", "[conf]\r\nZobrazitIkonu=0\r\nHlidatZdaTrovanJede=1\r\nInterval=1000\r\n"
                                    "CekaniNaTrovan=1\r\n" +
                                        extra);
    }
    std::vector<std::string> log() const { return messages(readFile(dir / monthFileName())); }
    int count(const std::string& line) const
    {
        const auto l = log();
        return static_cast<int>(std::count(l.begin(), l.end(), line));
    }
    bool logged(const std::vector<std::string>& sequence, std::chrono::milliseconds timeout = 20s) const
    {
        return waitFor([&] { return contains(log(), sequence); }, timeout);
    }
    int starts() const
    {
        const std::string text = readFile(dir / "trovan.log");
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
    // Ends the router: the watchdog's next tick must start it again.
    void killRouters(pid_t watchdog) const
    {
        for (const pid_t pid : processesIn(dir.path()))
            if (pid != watchdog)
                kill(pid, SIGKILL);
    }

    TempFolder dir;
    std::string folder;
    std::string request;
};

// A request file that is no file (a pipe, a link to a device that never
// ends) is as good as none: no tick waits on it or reads it into memory, the
// router is started again after each end, and SIGTERM still ends the run.
class NoFileAsRequest : public HostileFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoFileAsRequest, IsNoRequestFileAndTheWatchGoesOn)
{
    const std::string kind = GetParam();
    const fs::path exe = installOvin(dir.path());
    watching();
    if (kind == "pipe") {
        ASSERT_EQ(::mkfifo(request.c_str(), 0600), 0);
    } else {
        fs::create_symlink(kind, request);
    }
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(
        logged({"Trovan neni spusten - pokusim se ho spustit", "Čekám na spuštění Trovan 1 s", "Trovan spusten"}));
    killRouters(ovin.pid());
    ASSERT_TRUE(waitFor([&] { return count("Trovan spusten") == 2; }, 20s)) << "the next start came";
    EXPECT_EQ(count("Pred spustenim nalezen " + request), 0);
    EXPECT_LT(residentKiB(ovin.pid()), 200 * 1024);
    ovin.signal(SIGTERM);
    EXPECT_TRUE(ovin.waitExit(10s).has_value()) << "SIGTERM ends the run";
}

INSTANTIATE_TEST_SUITE_P(Kinds, NoFileAsRequest, ::testing::Values("pipe", "/dev/zero"), [](const auto& info) {
    return info.index == 0 ? std::string("Pipe") : std::string("DevZero");
});

// The same for the parameter file read before any window exists.
class NoFileAsParameters : public HostileFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(NoFileAsParameters, DoesNotHoldUpTheStart)
{
    const std::string kind = GetParam();
    const fs::path exe = installOvin(dir.path());
    const std::string param = folder + "tmp_param";
    if (kind == "pipe") {
        ASSERT_EQ(::mkfifo(param.c_str(), 0600), 0);
    } else {
        fs::create_symlink(kind, param);
    }
    Process ovin(exe, {}, dir.path());
    EXPECT_TRUE(waitFor(
        [&] { return readFile(dir / monthFileName()).find("Nastavena priorita: Normální") != std::string::npos; },
        10s));
    ovin.signal(SIGTERM);
    EXPECT_TRUE(ovin.waitExit(10s).has_value());
}

INSTANTIATE_TEST_SUITE_P(Kinds, NoFileAsParameters, ::testing::Values("pipe", "/dev/zero"), [](const auto& info) {
    return info.index == 0 ? std::string("Pipe") : std::string("DevZero");
});

// With a log of 64 KiB: a request file that cannot fit is counted but not
// copied, and the router is started all the same, restart after restart.
TEST_F(HostileFiles, ARequestFileLargerThanTheLogIsNotCopiedAndTheRouterStarts)
{
    const fs::path exe = installSmallLogOvin(dir.path());
    watching("MaxRadkuRequest=1\r\n");
    std::string big;
    for (int i = 0; big.size() <= kSmallLogCapacity; ++i)
        big += "leftover line " + std::to_string(i) + "\r\n";
    writeFile(request, big);
    const std::string radku =
        "Radku v request.cfg (" + std::to_string(countOf(big, "\r\n")) + ")   >=   MaxRadkuRequest(1)";
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(logged({"Pred spustenim nalezen " + request, radku}));
    ASSERT_TRUE(logged({"Trovan spusten"}));
    killRouters(ovin.pid());
    ASSERT_TRUE(waitFor([&] { return count("Trovan spusten") == 2; }, 20s));
    EXPECT_EQ(count(radku), 2);
    EXPECT_EQ(readFile(dir / monthFileName()).find("leftover line 0"), std::string::npos);
}

// A log that is already full (the month so far and the start block): even a
// short copy no longer fits, and the watchdog goes on starting the router.
TEST_F(HostileFiles, AFullLogStillLaunchesTheRouter)
{
    const fs::path exe = installSmallLogOvin(dir.path());
    watching("MaxRadkuRequest=1\r\n");
    std::string earlier;
    while (earlier.size() < kSmallLogCapacity - 100)
        earlier += "[00:00:00.000] an earlier line of this month\r\n";
    writeFile(dir / monthFileName(), earlier);
    writeFile(request, "leftover one\r\nleftover two\r\n");
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(logged({"Pred spustenim nalezen " + request, "Radku v request.cfg (2)   >=   MaxRadkuRequest(1)"}));
    ASSERT_TRUE(logged({"Trovan spusten"}));
    killRouters(ovin.pid());
    ASSERT_TRUE(waitFor([&] { return count("Trovan spusten") == 2; }, 20s));
    EXPECT_EQ(count("leftover one"), 0);
    EXPECT_EQ(readFile(dir / monthFileName()).substr(0, earlier.size()), earlier) << "the month so far is kept";
}

// A link planted by another user in the program's folder: the program never
// reads or writes through it, it puts a file of its own in its place.
TEST_F(HostileFiles, PlantedLinksOfAnotherUserAreReplacedNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can plant a link owned by another user";
    const fs::path exe = installOvin(dir.path());
    const std::string victim = folder + "victim";
    writeFile(victim, "[conf]\r\nZobrazitIkonu=0\r\nprecious=1\r\n");
    const fs::path month = dir / monthFileName();
    for (const fs::path& link : {month, dir / "ovin.ini"}) {
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), kNobody, kNobody), 0);
    }
    Process ovin(exe, {}, dir.path());
    ASSERT_TRUE(
        waitFor([&] { return readFile(month).find("Nastavena priorita: Normální") != std::string::npos; }, 10s));
    EXPECT_EQ(readFile(victim), "[conf]\r\nZobrazitIkonu=0\r\nprecious=1\r\n");
    for (const fs::path& file : {month, dir / "ovin.ini"}) {
        EXPECT_FALSE(fs::is_symlink(file)) << file;
        struct stat st {};
        ASSERT_EQ(::lstat(file.c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << file;
        EXPECT_EQ(st.st_uid, 0u) << file;
    }
    EXPECT_NE(readFile(dir / "ovin.ini").find("ZobrazitIkonu=1"), std::string::npos) << "the victim was not read";
    EXPECT_EQ(lines(readFile(month))[1], std::string(119, '-')) << "the log starts anew";
}

// A router executable that anyone may write is never run: each tick says so.
TEST_F(HostileFiles, ARouterThatOthersCanWriteIsRefusedOnEveryTick)
{
    const fs::path exe = installOvin(dir.path());
    watching();
    fs::permissions(dir / "trovan.exe", fs::perms::others_write, fs::perm_options::add);
    Process ovin(exe, {}, dir.path());
    const std::string refusal = "Nelze spustit Trovan - soubor muze menit jiny uzivatel " + folder + "trovan.exe";
    ASSERT_TRUE(logged({"Trovan neni spusten - pokusim se ho spustit", refusal}));
    ASSERT_TRUE(waitFor([&] { return count(refusal) >= 2; }, 10s));
    EXPECT_EQ(count("Trovan spusten"), 0);
    EXPECT_FALSE(fs::exists(dir / "trovan.log")) << "the router never started";
}

}  // namespace
}  // namespace ovin::e2e
