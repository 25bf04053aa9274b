#pragma once

// The two checks wired to fakes, as the main window wires them to the
// platform, with the log read back line by line.

#include <string>
#include <vector>

#include "support/Fakes.h"
#include "settings/Config.h"
#include "settings/EventLog.h"
#include "watchdog/RequestState.h"
#include "watchdog/RouterRecord.h"
#include "watchdog/RunTrovan.h"
#include "watchdog/WatchdogServices.h"

namespace ovin::test {

inline const std::string kAppFolder = "/app/";
inline const std::string kRequestPath = "/app/request.cfg";
inline const std::string kRouterPath = "/app/trovan.exe";

/// The packed MS-DOS stamp of a local time (seconds rounded down to even).
inline std::int32_t dosStamp(const LocalTime& t)
{
    const auto date = static_cast<std::uint32_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
    const auto time = static_cast<std::uint32_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
    return static_cast<std::int32_t>((date << 16) | time);
}

struct WatchdogRig {
    WatchdogRig()
    {
        conf.HlidatZdaTrovanJede = true;
        conf.MazatRequest = true;
        conf.MaxStejnyRequest = 5;
        conf.MaxStariRequest = 600;
        conf.MaxRadkuRequest = 1;
        files.files[kRouterPath].content = "router";
    }

    /// The log's lines from the last call on, time stamps cut off.
    std::vector<std::string> newLines()
    {
        std::vector<std::string> lines;
        const std::string& text = log.text();
        std::size_t at = m_read;
        while (at < text.size()) {
            const auto end = text.find("\r\n", at);
            std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            // "[hh:nn:ss.zzz] " is 15 characters.
            if (line.size() >= 15 && line[0] == '[' && line[13] == ']')
                line.erase(0, 15);
            lines.push_back(line);
            at = end == std::string::npos ? text.size() : end + 2;
        }
        m_read = at;
        return lines;
    }

    void addProcess(const std::string& name) { processes.entries.push_back({name, m_nextPid++}); }

    FakeClock clock;
    FakeEventLoop loop{clock};
    FakeFileSystem files;
    FakeProcessTable processes;
    FakeLauncher launcher;
    FakeProcessControl process;
    FakeHost host{&loop};
    FakeHttpClient http;
    FakeCommandRunner commands;
    FakeMachineName machine;
    WatchdogServices services{files, clock, process, processes, launcher, http, commands, machine};
    EventLog log{files, clock, kAppFolder};
    TConf conf{files, kAppFolder};
    RouterRecord record{clock};
    RequestState requestState{files, processes, log, conf, record};
    RunTrovan runTrovan{services, kAppFolder, log, conf, host, requestState, record};

private:
    std::size_t m_read = 0;
    std::uint32_t m_nextPid = 100;
};

}  // namespace ovin::test
