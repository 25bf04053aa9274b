// The cost of a restart that copies a long leftover request file into the
// log: the tick must cost time in proportion to the file's bytes. The way
// the copy used to be made (the whole file read, split into a list of lines,
// joined again) runs beside it on the same file.

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Platform.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "watchdog/ProcessOps.h"
#include "watchdog/RequestState.h"
#include "watchdog/RouterRecord.h"
#include "watchdog/RunTrovan.h"
#include "watchdog/WatchdogHost.h"
#include "watchdog/WatchdogServices.h"

namespace {

using Clock = std::chrono::steady_clock;

// No router runs and none is started: the tick is the copy and its lines.
class NoProcesses final : public ovin::ProcessTable {
public:
    std::vector<ovin::ProcessEntry> snapshot() const override { return {}; }
    ovin::Result terminate(const ovin::ProcessEntry&) override { return ovin::Result::failure("none"); }
};

class NoLaunch final : public ovin::Launcher {
public:
    ovin::Result open(const std::string&, const std::string&) override { return ovin::Result::failure("none"); }
};

class QuietHost final : public ovin::WatchdogHost {
public:
    void ProcessMessages() override {}
    bool AddTrayIcon() override { return true; }
    void SetTrayImage(int) override {}
    void SetTrayNotice(const std::string&) override {}
    void setActivity(bool) override {}
    void ShowSettings() override {}
    int routerWaitSeconds() override { return 0; }
    void reportError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
};

struct Rig {
    explicit Rig(const std::string& folder) : folder(folder)
    {
        conf.HlidatZdaTrovanJede = true;
        conf.MaxRadkuRequest = 1;
        conf.MaxStariRequest = 600;
        conf.MazatRequest = false;
    }

    std::string folder;
    ovin::Platform platform = ovin::createPlatform();
    NoProcesses processes;
    NoLaunch launcher;
    QuietHost host;
    ovin::WatchdogServices services{*platform.files, *platform.clock, *platform.process, processes, launcher,
                                     *platform.http, *platform.commands, *platform.machine};
    ovin::EventLog log{*platform.files, *platform.clock, folder};
    ovin::TConf conf{*platform.files, folder};
    ovin::RouterRecord record{*platform.clock};
    ovin::RequestState requestState{*platform.files, processes, log, conf, record};
    ovin::RunTrovan runTrovan{services, folder, log, conf, host, requestState, record};
};

// The copy as it was made before: every line a string of its own.
void oldTick(Rig& rig, const std::string& request)
{
    rig.log.AddLogLine("Trovan neni spusten - pokusim se ho spustit");
    rig.log.AddLogLine("Pred spustenim nalezen " + request);
    std::string content;
    if (!rig.platform.files->readFile(request, content).ok)
        return;
    const std::vector<std::string> lines = ovin::SplitLines(content);
    rig.log.AddLogLine("Radku v request.cfg (" + std::to_string(lines.size()) + ")   >=   MaxRadkuRequest(1)");
    std::string joined;
    for (const std::string& line : lines) {
        joined += line;
        joined += "\r\n";
    }
    rig.log.AppendLines(joined);
    rig.log.AddLogLine("Stari request.cfg (0s)  <  MaxStariRequest (600s)");
    rig.log.AddLogLine("Nechavam soubor request.cfg na disku");
}

double secondsOf(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main()
{
    char tmpl[] = "/tmp/ovin-bench-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = std::string(tmpl) + "/";
    const std::string request = folder + "request.cfg";
    std::ofstream(folder + "trovan.exe") << "#!/bin/sh\n";
    ::chmod((folder + "trovan.exe").c_str(), 0755);

    std::printf("Restart with a leftover request file copied into the log (best of 3)\n");
    std::printf("  %9s %10s | %12s %14s | %12s %14s | %s\n", "lines", "bytes", "tick now", "lines/s now", "tick before",
                "lines/s before", "before/now");
    for (const int lines : {10'000, 100'000, 1'000'000}) {
        {
            std::ofstream out(request, std::ios::binary | std::ios::trunc);
            for (int i = 0; i < lines; ++i)
                out << "route " << i << " via 10.0.0." << (i % 250) << " metric 20\r\n";
        }
        const auto bytes = std::filesystem::file_size(request);
        double now = 1e9;
        double before = 1e9;
        for (int round = 0; round < 3; ++round) {
            {
                Rig rig(folder);
                const auto start = Clock::now();
                rig.runTrovan.RunTrovanExecute();
                now = std::min(now, secondsOf(Clock::now() - start));
                std::filesystem::remove(rig.log.LogFileName());
            }
            {
                Rig rig(folder);
                const auto start = Clock::now();
                oldTick(rig, request);
                before = std::min(before, secondsOf(Clock::now() - start));
                std::filesystem::remove(rig.log.LogFileName());
            }
        }
        std::printf("  %9d %10llu | %10.1f ms %14.0f | %10.1f ms %14.0f | x%.1f\n", lines,
                    static_cast<unsigned long long>(bytes), now * 1e3, lines / now, before * 1e3, lines / before,
                    before / now);
    }
    std::filesystem::remove_all(tmpl);
    return 0;
}
