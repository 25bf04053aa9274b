#include <gtest/gtest.h>

#include "WatchdogRig.h"

namespace ovin {
namespace {

using namespace ovin::test;
using Lines = std::vector<std::string>;

const std::string kPathLine = kRequestPath + " 7.12.2026 00:00:00  ";
const std::string kSameLine = kRequestPath + " je stale stejny: ";

class RequestStateTest : public ::testing::Test, protected WatchdogRig {
protected:
    Lines check()
    {
        requestState.RequestStateExecute();
        return newLines();
    }
    void writeRequest(std::string content, std::int32_t stamp = 0x5D870000)
    {
        files.touch(kRequestPath, std::move(content));
        files.files[kRequestPath].stamp = stamp;
    }
};

TEST_F(RequestStateTest, NoFileLogsNothingAndClearsTheState)
{
    writeRequest("abc");
    check();
    check();
    ASSERT_EQ(requestState.stallCounter(), 1);
    files.files.erase(kRequestPath);
    EXPECT_EQ(check(), Lines{});
    EXPECT_EQ(requestState.stallCounter(), 0);
    EXPECT_EQ(requestState.lastDateStamp(), 0);
    EXPECT_EQ(requestState.lastSize(), 0);
}

TEST_F(RequestStateTest, AnUntouchedFileReachesTheLimitAndTheRouterIsEnded)
{
    addProcess("trovan.exe");
    addProcess("TROVAN.EXE");
    addProcess("ovin");
    writeRequest("0123456789");
    EXPECT_EQ(check(), Lines{kPathLine + "10B"});
    EXPECT_EQ(check(), (Lines{kPathLine + "10B", kSameLine + "1"}));
    for (int n = 2; n <= 4; ++n)
        EXPECT_EQ(check(), Lines{kSameLine + std::to_string(n)});
    EXPECT_EQ(check(), (Lines{kSameLine + "5", "Prekrocen limit stari souboru 5", "Mazu soubor " + kRequestPath,
                              "Ukoncuji Trovan"}));
    EXPECT_FALSE(files.fileExists(kRequestPath));
    ASSERT_EQ(processes.entries.size(), 1u);
    EXPECT_EQ(processes.entries[0].imageName, "ovin");
    EXPECT_EQ(processes.terminated.size(), 2u);
}

TEST_F(RequestStateTest, ARouterTheSystemRefusesToEndIsSaidOncePerStall)
{
    conf.MaxStejnyRequest = 1;
    conf.MazatRequest = false;
    processes.refuse = true;
    addProcess("trovan.exe");
    writeRequest("0123456789");
    check();
    const Lines atLimit = check();
    ASSERT_GE(atLimit.size(), 2u);
    EXPECT_EQ(Lines(atLimit.end() - 2, atLimit.end()),
              (Lines{"Ukoncuji Trovan", "Nelze ukoncit Trovan - Operation not permitted"}));
    const Lines again = check();
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(again.back(), "Ukoncuji Trovan") << "the limit stays reached, the refusal was said";
    files.files.erase(kRequestPath);
    check();
    writeRequest("0123456789");
    check();
    EXPECT_EQ(check().back(), "Nelze ukoncit Trovan - Operation not permitted") << "a new stall says it again";
    EXPECT_EQ(record.counters().kills, 0);
}

TEST_F(RequestStateTest, ARouterThatEndedByItselfMeanwhileIsNoRefusal)
{
    conf.MaxStejnyRequest = 1;
    addProcess("trovan.exe");
    // Listed by the look, gone when it is ended: the end fails, but nothing runs any more.
    processes.entries.push_back({"trovan.exe", 999});
    processes.vanishing.insert(999);
    writeRequest("0123456789");
    check();
    EXPECT_EQ(check().back(), "Ukoncuji Trovan");
    EXPECT_EQ(record.counters().kills, 1);
}

TEST_F(RequestStateTest, AnEmptyFileCountsAsUnchangedAtOnce)
{
    writeRequest("");
    EXPECT_EQ(check(), (Lines{kPathLine + "0B", kSameLine + "1"}));
}

TEST_F(RequestStateTest, OnlyAChangeOfBothStampAndSizeCountsAsAChange)
{
    // Each step of the stamp's time part is two seconds.
    auto pathLine = [](const std::string& time, int size) {
        return kRequestPath + " 7.12.2026 " + time + "  " + std::to_string(size) + "B";
    };
    writeRequest("aa", 0x5D870000);
    check();
    writeRequest("bbb", 0x5D870001);
    EXPECT_EQ(check(), Lines{pathLine("00:00:02", 3)}) << "both changed: the counter stays at 0";
    writeRequest("ccc", 0x5D870002);
    EXPECT_EQ(check(), (Lines{pathLine("00:00:04", 3), kSameLine + "1"})) << "same size";
    writeRequest("dddd", 0x5D870002);
    EXPECT_EQ(check(), Lines{kSameLine + "2"}) << "same stamp";
    writeRequest("eeeee", 0x5D870003);
    EXPECT_EQ(check(), Lines{kSameLine + "2"}) << "a change leaves the counter where it is";
    EXPECT_EQ(requestState.lastDateStamp(), 0x5D870003);
    EXPECT_EQ(requestState.lastSize(), 5);
}

TEST_F(RequestStateTest, WithoutDeletingTheLimitLinesComeOnEveryTick)
{
    conf.MazatRequest = false;
    conf.MaxStejnyRequest = 2;
    writeRequest("x");
    check();
    check();
    const Lines limit{kSameLine + "2", "Prekrocen limit stari souboru 2", "Trovan neni spusten - nemam co ukoncit"};
    EXPECT_EQ(check(), limit);
    addProcess("trovan.exe");
    EXPECT_EQ(check(), (Lines{kSameLine + "3", "Prekrocen limit stari souboru 2", "Ukoncuji Trovan"}));
    EXPECT_TRUE(files.fileExists(kRequestPath));
    EXPECT_TRUE(processes.entries.empty());
}

TEST_F(RequestStateTest, ALimitOfZeroIsMetWhileTheCounterIsStillZero)
{
    conf.MaxStejnyRequest = 0;
    addProcess("trovan.exe");
    writeRequest("abc");
    EXPECT_EQ(check(), (Lines{kPathLine + "3B", "Prekrocen limit stari souboru 0", "Mazu soubor " + kRequestPath,
                              "Ukoncuji Trovan"}));
}

TEST_F(RequestStateTest, AFileThatVanishesMidCheckEndsItSilently)
{
    writeRequest("abc", -1);
    files.sizeOverride[kRequestPath] = -1;
    EXPECT_EQ(check(), Lines{});
    EXPECT_EQ(requestState.stallCounter(), 0);
    EXPECT_EQ(requestState.lastDateStamp(), 0);

    // Once counting, the check goes on: the missing values count as a change.
    files.sizeOverride.clear();
    writeRequest("abc");
    check();
    check();
    writeRequest("abc", -1);
    files.sizeOverride[kRequestPath] = -1;
    EXPECT_EQ(check(), Lines{kSameLine + "1"});
}

TEST_F(RequestStateTest, AFailedSaveOfTheLogEndsTheCheckAtThatLine)
{
    writeRequest("abc");
    files.failWrites = true;
    EXPECT_NO_THROW(requestState.RequestStateExecute());
    EXPECT_EQ(requestState.stallCounter(), 0);
    EXPECT_EQ(requestState.lastSize(), 0);
    EXPECT_EQ(newLines(), Lines{kPathLine + "3B"}) << "the line stays in the log";
}

}  // namespace
}  // namespace ovin
