#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "platform/linux/LinuxInstanceBlock.h"
#include "platform/linux/LinuxStartGate.h"
#include "platform/linux/PrivateShm.h"
#include "support/WaitFor.h"

namespace ovin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr uid_t kOtherUid = 65534;
const fs::path kShm = "/dev/shm";

// A key of its own per test, so that nothing real shares the names.
std::string uniqueKey(const std::string& what)
{
    static int serial = 0;
    return "ovin-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + what;
}

fs::path shmPath(const std::string& name) { return kShm / name.substr(1); }

bool waitFor(const std::function<bool()>& condition) { return test::waitFor(condition, 5s, 2ms); }

std::string threadName(pid_t tid)
{
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

class InstanceBlockFiles : public ::testing::Test {
protected:
    ~InstanceBlockFiles() override
    {
        for (int i = 0; i < privateshm::kNameCount; ++i)
            fs::remove(shmPath(privateshm::alternate(base, i)));
    }

    std::string key = uniqueKey("ovin");
    std::string base = privateshm::baseName("ovin-", key);
};

// Something of another user, or no plain file, already stands under the
// first name.
enum class Plant { Nothing, LinkToOurFile, Pipe, OthersFile, OthersHeldFile, Folder };

struct PlantRow {
    const char* name;
    Plant plant;
    bool needsRoot;
    int expectedIndex;  // which of the names the block takes
};

const PlantRow kPlantRows[] = {
    {"nothing there", Plant::Nothing, false, 0},
    {"a link to a file of ours", Plant::LinkToOurFile, false, 1},
    {"a pipe", Plant::Pipe, false, 1},
    {"a folder", Plant::Folder, false, 1},
    {"a file of another user", Plant::OthersFile, true, 1},
    {"a file of another user held open and locked", Plant::OthersHeldFile, true, 1},
};

TEST_F(InstanceBlockFiles, APlantedNameIsPassedOverAndTheBlockIsPrivate)
{
    for (const PlantRow& row : kPlantRows) {
        SCOPED_TRACE(row.name);
        if (row.needsRoot && ::geteuid() != 0)
            continue;
        const fs::path first = shmPath(base);
        const fs::path victim = fs::temp_directory_path() / (key + "-victim");
        std::ofstream(victim) << "keep";
        int held = -1;
        switch (row.plant) {
        case Plant::Nothing:
            break;
        case Plant::LinkToOurFile:
            fs::create_symlink(victim, first);
            break;
        case Plant::Pipe:
            ASSERT_EQ(::mkfifo(first.c_str(), 0666), 0);
            break;
        case Plant::Folder:
            fs::create_directory(first);
            break;
        case Plant::OthersFile:
        case Plant::OthersHeldFile:
            std::ofstream(first) << std::string(8, '\0');
            ASSERT_EQ(::chown(first.c_str(), kOtherUid, kOtherUid), 0);
            ::chmod(first.c_str(), 0666);
            if (row.plant == Plant::OthersHeldFile) {
                held = ::open(first.c_str(), O_RDONLY);
                ::flock(held, LOCK_SH);
            }
            break;
        }
        {
            LinuxInstanceBlock block(key);
            EXPECT_FALSE(block.createOrOpen()) << "a block of our own, new";
            EXPECT_EQ(block.name(), privateshm::alternate(base, row.expectedIndex));
            block.setCount(1);
            struct stat st {};
            ASSERT_EQ(::lstat(shmPath(block.name()).c_str(), &st), 0);
            EXPECT_TRUE(S_ISREG(st.st_mode));
            EXPECT_EQ(st.st_uid, ::geteuid());
            EXPECT_EQ(st.st_mode & 0777, 0600u);
            EXPECT_EQ(st.st_size, 8);

            LinuxInstanceBlock second(key);
            EXPECT_TRUE(second.createOrOpen()) << "a later start meets the same block";
            EXPECT_EQ(second.name(), block.name());
            EXPECT_EQ(second.count(), 1);
            EXPECT_NE(second.handOverName().find(std::to_string(::geteuid())), std::string::npos);
        }
        EXPECT_FALSE(fs::exists(shmPath(privateshm::alternate(base, row.expectedIndex))))
            << "the last holder takes the block away";
        std::ifstream in(victim);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "keep");
        if (held >= 0)
            ::close(held);
        fs::remove_all(first);
        fs::remove(victim);
    }
}

TEST_F(InstanceBlockFiles, ABlockLeftByEndedProcessesStartsAnewAndOneHeldIsFound)
{
    {
        std::ofstream stale(shmPath(base), std::ios::binary);
        const std::int32_t fields[2] = {1234, 1};
        stale.write(reinterpret_cast<const char*>(fields), sizeof fields);
    }
    ::chmod(shmPath(base).c_str(), 0600);
    LinuxInstanceBlock block(key);
    EXPECT_FALSE(block.createOrOpen()) << "nobody holds it: as new";
    EXPECT_EQ(block.count(), 0);
    EXPECT_EQ(block.window(), 0);
    block.setCount(1);
    block.setWindow(77);

    LinuxInstanceBlock later(key);
    EXPECT_TRUE(later.createOrOpen());
    EXPECT_EQ(later.window(), 77);
    block.close();
    EXPECT_TRUE(fs::exists(shmPath(base))) << "still held by the later start";
    later.close();
    EXPECT_FALSE(fs::exists(shmPath(base)));
}

TEST_F(InstanceBlockFiles, EveryNameTakenByOthersGivesABlockNobodySees)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can plant files of another user";
    for (int i = 0; i < privateshm::kNameCount; ++i) {
        const fs::path p = shmPath(privateshm::alternate(base, i));
        std::ofstream(p) << "x";
        ASSERT_EQ(::chown(p.c_str(), kOtherUid, kOtherUid), 0);
    }
    LinuxInstanceBlock block(key);
    EXPECT_FALSE(block.createOrOpen());
    block.setCount(1);
    EXPECT_EQ(block.count(), 1);
    LinuxInstanceBlock second(key);
    EXPECT_FALSE(second.createOrOpen());
    EXPECT_EQ(second.count(), 0);
}

TEST(PrivateShmNames, CarryTheUserAndStayShortForLongPaths)
{
    const std::string uid = std::to_string(::geteuid());
    EXPECT_EQ(privateshm::baseName("ovin-", "optovinovin"), "/ovin-" + uid + "-optovinovin");
    EXPECT_EQ(privateshm::alternate("/ovin-0-x", 0), "/ovin-0-x");
    EXPECT_EQ(privateshm::alternate("/ovin-0-x", 7), "/ovin-0-x~8");
    const std::string a = privateshm::baseName("ovin-", std::string(300, 'a'));
    const std::string b = privateshm::baseName("ovin-", std::string(299, 'a') + "b");
    EXPECT_LT(a.size(), 240u);
    EXPECT_NE(a, b);
}

// The hand-over socket's name has far less room than the block's: every
// folder the system accepts must still give a name that can be listened on,
// the same for every start of one executable and another for another one.
TEST(HandOverNames, FitTheSocketAddressForEveryPathLength)
{
    constexpr std::size_t kSocketNameBytes = 106;
    std::string previous;
    for (const std::size_t pathBytes : {10u, 80u, 130u, 200u, 1000u, 4000u}) {
        SCOPED_TRACE(pathBytes);
        const std::string key = std::string(pathBytes - 4, 'd') + "ovin";
        const std::string name = LinuxInstanceBlock(key).handOverName();
        EXPECT_LE(name.size(), kSocketNameBytes);
        EXPECT_EQ(name, LinuxInstanceBlock(key).handOverName());
        EXPECT_NE(name, LinuxInstanceBlock(std::string(pathBytes - 4, 'd') + "ovim").handOverName());
        EXPECT_NE(name, previous);
        previous = name;
    }
    EXPECT_EQ(privateshm::fitted("short", 107), "short");
    EXPECT_EQ(privateshm::fitted(std::string(107, 'x'), 107), std::string(107, 'x'));
    EXPECT_EQ(privateshm::fitted(std::string(108, 'x'), 107).size(), 107u);
}

class StartGates : public ::testing::Test {
protected:
    ~StartGates() override
    {
        for (int i = 0; i < privateshm::kNameCount; ++i)
            fs::remove(shmPath(privateshm::alternate(privateshm::baseName("ovin-", image + ".start"), i)));
    }
    std::string image = uniqueKey("img");
};

TEST_F(StartGates, OneAtATimeAndAWaitingStartBearsAnotherName)
{
    LinuxStartGate holder(image);
    ASSERT_TRUE(holder.enter(1s));

    std::atomic<pid_t> tid{0};
    std::atomic<bool> firstWaitOver{false};
    std::atomic<bool> entered{false};
    std::string nameBefore, nameAfter;
    std::thread waiter([&] {
        ::prctl(PR_SET_NAME, "ovin-waiter", 0, 0, 0);
        nameBefore = threadName(static_cast<pid_t>(::syscall(SYS_gettid)));
        LinuxStartGate gate(image);
        tid = static_cast<pid_t>(::syscall(SYS_gettid));
        EXPECT_FALSE(gate.enter(50ms)) << "the holder keeps it";
        firstWaitOver = true;
        entered = gate.enter(5s).ok;
        nameAfter = threadName(tid);
        gate.standAside();
        EXPECT_EQ(threadName(tid), "~ovin-waiter");
        gate.leave();
    });
    EXPECT_TRUE(waitFor([&] { return firstWaitOver && threadName(tid) == "~ovin-waiter"; }));
    holder.leave();
    waiter.join();
    EXPECT_TRUE(entered);
    EXPECT_EQ(nameBefore, "ovin-waiter");
    EXPECT_EQ(nameAfter, "ovin-waiter") << "its own name again once its turn came";
    EXPECT_TRUE(holder.enter(1s)) << "left by the other";
}

}  // namespace
}  // namespace ovin
