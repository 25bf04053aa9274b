// The instance block and the start gate between real processes.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/Win32TestSupport.h"
#include "platform/InstanceBlock.h"
#include "platform/win32/Win32Text.h"

namespace ovin {
namespace {

using namespace std::chrono_literals;

constexpr int kSimultaneousStarts = 20;

std::string probe() { return test::hostPath(OVIN_PROBE_EXE); }

// An executable path of this test run alone, so that runs never share a block.
std::string exePath() { return "C:\\Tools\\Ovin " + std::to_string(::GetCurrentProcessId()) + "\\ovin.exe"; }

TEST(Win32InstanceBlock, NamedAfterThePathWithoutBackslashesInTheSession)
{
    const auto block = createInstanceBlock(exePath());
    EXPECT_FALSE(block->createOrOpen()) << "new";
    EXPECT_EQ(block->window(), 0);
    EXPECT_EQ(block->count(), 0);
    block->setWindow(0x12345678);
    block->setCount(1);

    const std::wstring name = L"Local\\C:ToolsOvin " + std::to_wstring(::GetCurrentProcessId()) + L"ovin.exe";
    win32::UniqueHandle other(::OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()));
    ASSERT_TRUE(other.valid());
    void* view = ::MapViewOfFile(other.get(), FILE_MAP_READ, 0, 0, 8);
    ASSERT_NE(view, nullptr);
    const auto* fields = static_cast<const std::int32_t*>(view);
    EXPECT_EQ(fields[0], 0x12345678) << "window handle first";
    EXPECT_EQ(fields[1], 1) << "then the instance count";
    ::UnmapViewOfFile(view);
}

TEST(Win32InstanceBlock, SeenFromASecondProcessAndGoneWithTheLastHolder)
{
    test::TempFolder folder("block");
    const auto block = createInstanceBlock(exePath());
    ASSERT_FALSE(block->createOrOpen());
    block->setWindow(4660);
    block->setCount(1);

    win32::UniqueHandle second =
        test::startProcess(probe(), "block \"" + exePath() + "\" \"" + folder.at("seen") + "\"");
    ASSERT_TRUE(second.valid());
    ASSERT_EQ(::WaitForSingleObject(second.get(), 30000), WAIT_OBJECT_0);
    EXPECT_EQ(test::readBytes(folder.at("seen")), "1 4660 1") << "existed, with this process's fields";
    EXPECT_EQ(block->count(), 2) << "the second process's count";
    EXPECT_EQ(block->window(), 77);

    block->close();
    EXPECT_FALSE(block->createOrOpen()) << "the last holder took it away";
    EXPECT_EQ(block->count(), 0);
}

// Of many starts at once exactly one remains: those that wait at the gate
// or end are not counted under the image name.
TEST(Win32StartGate, OfTwentySimultaneousStartsExactlyOneRemains)
{
    test::TempFolder folder("gate");
    // All wait for one signal, so that they reach the gate together.
    const std::string go = "Local\\ovin-test-go-" + std::to_string(::GetCurrentProcessId());
    win32::UniqueHandle goEvent(::CreateEventW(nullptr, TRUE, FALSE, win32::widen(go).c_str()));
    ASSERT_TRUE(goEvent.valid());
    std::vector<win32::UniqueHandle> starts;
    for (int i = 0; i < kSimultaneousStarts; ++i) {
        starts.push_back(test::startProcess(probe(), "gate \"" + folder.path() + "\" " + go));
        ASSERT_TRUE(starts.back().valid());
    }
    ASSERT_TRUE(::SetEvent(goEvent.get()));
    auto decided = [&] {
        const auto names = test::listFolder(folder.path());
        return static_cast<int>(names.size());
    };
    ASSERT_TRUE(test::waitFor([&] { return decided() == kSimultaneousStarts; }, 120s)) << decided();
    const auto names = test::listFolder(folder.path());
    const auto admitted =
        std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.rfind("admitted-", 0) == 0; });
    EXPECT_EQ(admitted, 1);

    // The refused ones end; the admitted one runs until told to stop.
    std::vector<HANDLE> handles;
    for (const auto& s : starts)
        handles.push_back(s.get());
    const auto running = [&] {
        int n = 0;
        for (const HANDLE h : handles)
            n += ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(test::waitFor([&] { return running() == 1; }, 30s)) << running();
    ASSERT_TRUE(test::writeBytes(folder.at("stop"), ""));
    EXPECT_TRUE(test::waitFor([&] { return running() == 0; }, 30s));
}

}  // namespace
}  // namespace ovin
