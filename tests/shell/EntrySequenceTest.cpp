#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "shell/EntrySequence.h"
#include "shell/ExitGuard.h"
#include "shell/sCheckPrevious.h"
#include "support/Fakes.h"

namespace ovin {
namespace {

using namespace std::chrono_literals;
using test::FakeProcessTable;

// Writes down what the entry does with the gate, in order.
class FakeGate final : public StartGate {
public:
    Result enter(std::chrono::milliseconds) override
    {
        events += "enter ";
        if (!turnComes)
            return Result::failure("Connection timed out");
        return {};
    }
    void standAside() override { events += "aside "; }
    void leave() override { events += "leave "; }

    bool turnComes = true;
    std::string events;
};

// A block in memory: the test says whether it exists and what it holds.
class FakeBlock final : public InstanceBlock {
public:
    bool createOrOpen() override
    {
        ++opened;
        if (failure)
            throw std::system_error(*failure, std::generic_category(), "block");
        if (!exists)
            m_window = m_count = 0;
        return exists;
    }
    std::int32_t window() const override { return m_window; }
    void setWindow(std::int32_t window) override { m_window = window; }
    std::int32_t count() const override { return m_count; }
    void setCount(std::int32_t count) override { m_count = count; }
    void close() override { ++closed; }
    std::string handOverName() const override { return "fake"; }

    bool exists = false;
    std::optional<int> failure;
    int opened = 0;
    int closed = 0;
    std::int32_t m_window = 0;
    std::int32_t m_count = 0;
};

struct EntryRow {
    const char* name;
    int othersRunning;  // processes of the image name besides this one
    bool selfListed;    // this start is in the snapshot
    bool turnComes;     // the gate opens in time
    bool blockExists;
    std::int32_t blockCount;  // the count a found block holds
    EntryOutcome outcome;
    const char* gateEvents;
    bool consulted;  // the block was opened
    std::int32_t countAfterDecision;
    std::int32_t countAfterRelease;
};

const EntryRow kEntryRows[] = {
    {"alone and no block: admitted", 0, true, true, false, 0, EntryOutcome::Admitted, "enter leave ", true, 1, 0},
    {"another of the name runs", 1, true, true, false, 0, EntryOutcome::NotAlone, "enter aside leave ", false, 0, 0},
    {"many of the name run", 19, true, true, true, 1, EntryOutcome::NotAlone, "enter aside leave ", false, 1, 1},
    {"not even itself listed", 0, false, true, false, 0, EntryOutcome::NotAlone, "enter aside leave ", false, 0, 0},
    {"a block with one instance", 0, true, true, true, 1, EntryOutcome::HandOver, "enter aside leave ", true, 1, 1},
    {"a block with two instances", 0, true, true, true, 2, EntryOutcome::HandOver, "enter aside leave ", true, 2, 2},
    {"a block whose count fell to 0", 0, true, true, true, 0, EntryOutcome::Admitted, "enter leave ", true, 1, 0},
    {"a block whose count fell below 0", 0, true, true, true, -1, EntryOutcome::Admitted, "enter leave ", true, 0, -1},
    {"the gate did not open in time, alone", 0, true, false, false, 0, EntryOutcome::Admitted, "enter leave ", true, 1,
     0},
    {"the gate did not open in time, another runs", 1, true, false, false, 0, EntryOutcome::NotAlone,
     "enter aside leave ", false, 0, 0},
};

TEST(EntrySequence, DecidesByTheCountThenTheBlockAndLeavesTheGate)
{
    for (const EntryRow& row : kEntryRows) {
        SCOPED_TRACE(row.name);
        FakeProcessTable processes;
        processes.entries = {{"bash", 10}, {"trovan.exe", 11}};
        if (row.selfListed)
            processes.entries.push_back({"ovin", 100});
        for (int i = 0; i < row.othersRunning; ++i)
            processes.entries.push_back({i % 2 ? "OVIN" : "ovin ", static_cast<std::uint32_t>(200 + i)});
        FakeGate gate;
        gate.turnComes = row.turnComes;
        FakeBlock block;
        block.exists = row.blockExists;
        block.m_count = row.blockCount;
        {
            PreviousInstanceCheck check(block);
            EXPECT_EQ(DecideEntry(processes, gate, check, "ovin", 10s), row.outcome);
            EXPECT_EQ(gate.events, row.gateEvents);
            EXPECT_EQ(block.opened, row.consulted ? 1 : 0);
            EXPECT_EQ(block.count(), row.countAfterDecision);
        }
        EXPECT_EQ(block.count(), row.countAfterRelease);
        EXPECT_EQ(block.closed, row.consulted ? 1 : 0) << "the block is given back once, when it was taken";
    }
}

TEST(EntrySequence, ABlockThatCannotBeHadEndsTheStartWithTheGateLeft)
{
    FakeProcessTable processes;
    processes.entries = {{"ovin", 100}};
    FakeGate gate;
    FakeBlock block;
    block.failure = ENOSPC;
    {
        PreviousInstanceCheck check(block);
        try {
            DecideEntry(processes, gate, check, "ovin", 10s);
            ADD_FAILURE() << "no error";
        } catch (const std::system_error& e) {
            EXPECT_EQ(e.code().value(), ENOSPC);
        }
    }
    EXPECT_EQ(gate.events, "enter aside leave ");
    EXPECT_EQ(block.closed, 0);
}

TEST(PreviousInstance, TheAdmittedInstanceKeepsItsWindowInTheBlockARefusedOneNever)
{
    FakeBlock block;
    {
        PreviousInstanceCheck first(block);
        EXPECT_FALSE(first.CheckPreviousInstance(0, 1));
        first.SetTested(true);
        first.SetInstanceWindow(42);
        EXPECT_EQ(block.window(), 42);

        block.exists = true;
        PreviousInstanceCheck second(block);
        EXPECT_TRUE(second.CheckPreviousInstance(7, 1));
        second.SetTested(true);
        second.SetInstanceWindow(7);
        EXPECT_EQ(block.window(), 42);
        EXPECT_EQ(block.count(), 1);

        PreviousInstanceCheck third(block);
        EXPECT_FALSE(third.CheckPreviousInstance(9, 3)) << "room for more instances";
        third.SetTested(true);
        EXPECT_EQ(block.window(), 9);
        EXPECT_EQ(block.count(), 2);
        third.Release();
        third.Release();
        EXPECT_EQ(block.count(), 1) << "released once only";
    }
    EXPECT_EQ(block.count(), 0);
    EXPECT_EQ(block.closed, 3);
}

// Hands the fakes of a test to the entry, which owns what it is given: the test keeps the real ones to look at.
class GateProxy final : public StartGate {
public:
    explicit GateProxy(StartGate& gate) : m_gate(gate) {}
    Result enter(std::chrono::milliseconds timeout) override { return m_gate.enter(timeout); }
    void standAside() override { m_gate.standAside(); }
    void leave() override { m_gate.leave(); }

private:
    StartGate& m_gate;
};

class BlockProxy final : public InstanceBlock {
public:
    explicit BlockProxy(InstanceBlock& block) : m_block(block) {}
    bool createOrOpen() override { return m_block.createOrOpen(); }
    std::int32_t window() const override { return m_block.window(); }
    void setWindow(std::int32_t window) override { m_block.setWindow(window); }
    std::int32_t count() const override { return m_block.count(); }
    void setCount(std::int32_t count) override { m_block.setCount(count); }
    void close() override { m_block.close(); }
    std::string handOverName() const override { return m_block.handOverName(); }

private:
    InstanceBlock& m_block;
};

// A front end that writes down what the entry asks of it, in order.
class FakeEntry final : public EntryFrontEnd {
public:
    Platform createPlatform() override
    {
        calls += "platform ";
        if (platformFails)
            throw std::runtime_error("no platform");
        Platform p;
        auto table = std::make_unique<FakeProcessTable>();
        table->entries = processes;
        p.processes = std::move(table);
        p.process = std::make_unique<test::FakeProcessControl>();
        return p;
    }
    std::unique_ptr<StartGate> createStartGate(std::string_view imageName) override
    {
        calls += "gate(" + std::string(imageName) + ") ";
        return std::make_unique<GateProxy>(gate);
    }
    std::unique_ptr<InstanceBlock> createInstanceBlock(std::string_view exePath) override
    {
        calls += "block(" + std::string(exePath) + ") ";
        return std::make_unique<BlockProxy>(block);
    }
    Result handOver(const InstanceBlock& b) override
    {
        calls += "handOver(" + b.handOverName() + ") ";
        return handOverResult;
    }
    int runAdmitted(Platform& platform, PreviousInstanceCheck& check, const InstanceBlock&) override
    {
        calls += "run ";
        EXPECT_TRUE(platform.processes && platform.files == nullptr) << "the platform made for this start";
        check.SetInstanceWindow(77);
        return runCode;
    }
    void reportStartFailure(const std::string& caption, const std::string& text) override
    {
        calls += "report ";
        reports.push_back(caption + "|" + text);
    }

    std::vector<ProcessEntry> processes{{"ovin", 100}};
    bool platformFails = false;
    Result handOverResult;
    int runCode = 0;
    FakeGate gate;
    FakeBlock block;
    std::string calls;
    std::vector<std::string> reports;
};

struct RunRow {
    const char* name;
    bool anotherRuns;
    bool blockExists;
    std::optional<int> blockFailure;
    bool platformFails;
    Result handOver;
    int exitCode;
    const char* calls;
    const char* report;  // caption|text, empty for none
};

const RunRow kRunRows[] = {
    {"admitted: the run's own code", false, false, {}, false, {}, 3, "platform gate(ovin) block(/app/ovin) run ", ""},
    {"another of the name: ends quietly", true, false, {}, false, {}, 0, "platform gate(ovin) block(/app/ovin) ", ""},
    {"hand-over taken", false, true, {}, false, {}, 0, "platform gate(ovin) block(/app/ovin) handOver(fake) ", ""},
    {"hand-over that found nobody: reported",
     false,
     true,
     {},
     false,
     Result::failure("jeho okno nebylo nalezeno"),
     1,
     "platform gate(ovin) block(/app/ovin) handOver(fake) report ",
     "ovin|Běžícímu programu Ovin se nepodařilo předat spuštění: jeho okno nebylo nalezeno"},
    {"hand-over without an answer: reported",
     false,
     true,
     {},
     false,
     Result::failure("neodpověděl včas"),
     1,
     "platform gate(ovin) block(/app/ovin) handOver(fake) report ",
     "ovin|Běžícímu programu Ovin se nepodařilo předat spuštění: neodpověděl včas"},
    {"a block that cannot be had: the system's code",
     false,
     false,
     EACCES,
     false,
     {},
     1,
     "platform gate(ovin) block(/app/ovin) report ",
     "ovin|Systémová chyba. Kód: 13.\n"},
    {"no platform: reported under the entry's title",
     false,
     false,
     {},
     true,
     {},
     1,
     "platform report ",
     "TrovanWatch|no platform"},
};

TEST(EntrySequence, RunsTheStepsInOrderAndReportsEveryFailedStartOnce)
{
    for (const RunRow& row : kRunRows) {
        SCOPED_TRACE(row.name);
        FakeEntry entry;
        if (row.anotherRuns)
            entry.processes.push_back({"ovin", 101});
        entry.block.exists = row.blockExists;
        entry.block.m_count = row.blockExists ? 1 : 0;
        entry.block.failure = row.blockFailure;
        entry.platformFails = row.platformFails;
        entry.handOverResult = row.handOver;
        entry.runCode = 3;
        EXPECT_EQ(RunEntry(entry), row.exitCode);
        EXPECT_EQ(entry.calls, row.calls);
        if (*row.report) {
            ASSERT_EQ(entry.reports.size(), 1u);
            // A system error's own text follows the code; only what the program itself says is compared whole.
            EXPECT_EQ(entry.reports[0].substr(0, std::string(row.report).size()), row.report);
        } else {
            EXPECT_TRUE(entry.reports.empty());
        }
        if (std::string(row.calls).find("gate") != std::string::npos) {
            EXPECT_EQ(entry.gate.events.substr(entry.gate.events.size() - 6), "leave ") << "the gate is always left";
        }
        if (std::string(row.calls).find("run") != std::string::npos) {
            EXPECT_EQ(entry.block.window(), 77) << "the admitted run's window is in the block";
        }
    }
}

TEST(EntrySequence, TheReportIsCaptionedWithTheProgramsNameWithoutItsExtension)
{
    const struct {
        const char* imageName;
        const char* caption;
    } cases[] = {{"ovin.exe", "ovin"}, {"ovin", "ovin"}, {"ovin.v2.exe", "ovin.v2"}, {".ovin", ".ovin"}, {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(StartFailureCaption(c.imageName), c.caption) << c.imageName;
}

// exit() from inside the run (the toolkit's way out when the display is
// gone) runs the last steps once; a run that ended in order does not.
TEST(ExitGuardTest, RunsTheLastStepsOnExitOnlyWhileTheRunGoesOn)
{
    const auto say = [](const char* text) {
        return [text] {
            std::fputs(text, stderr);
            std::fflush(stderr);
        };
    };
    EXPECT_EXIT(
        {
            ExitGuard guard(say("last steps\n"));
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "^last steps\r?\n$");
    EXPECT_EXIT(
        {
            {
                ExitGuard ended(say("ended in order\n"));
            }
            ExitGuard guard(say("second run\n"));
            std::exit(2);
        },
        ::testing::ExitedWithCode(2), "^second run\r?\n$");
}

}  // namespace
}  // namespace ovin
