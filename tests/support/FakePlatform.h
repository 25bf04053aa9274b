#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "shell/ApplicationTitle.h"
#include "shell/DialogAnswers.h"
#include "shell/WindowContext.h"
#include "shell/sParametry.h"
#include "support/Fakes.h"

namespace ovin::test {

/// A platform of fakes for the program's windows: the program lives in
/// "/app/", and the month of the fake clock is December 2026.
struct FakePlatform {
    FakePlatform()
    {
        auto c = std::make_unique<FakeClock>();
        auto f = std::make_unique<FakeFileSystem>();
        auto pc = std::make_unique<FakeProcessControl>();
        auto pt = std::make_unique<FakeProcessTable>();
        clock = c.get();
        files = f.get();
        processes = pt.get();
        platform.clock = std::move(c);
        platform.files = std::move(f);
        platform.process = std::move(pc);
        platform.processes = std::move(pt);
        platform.launcher = std::make_unique<FakeLauncher>();
        platform.http = std::make_unique<FakeHttpClient>();
        platform.commands = std::make_unique<FakeCommandRunner>();
        platform.machine = std::make_unique<FakeMachineName>();
        switches = std::make_unique<Switches>(std::vector<std::string>{"/app/ovin"}, *files, kParamFile);
    }
    /// What the windows share: no switches but those in the fake "tmp_param", and the queued answers.
    WindowContext context() { return {*switches, title, &answers}; }
    std::string monthFile() const { return fileText(kLog); }
    std::string fileText(const std::string& path) const
    {
        return files->files.count(path) ? files->files.at(path).content : "";
    }

    static constexpr const char* kLog = "/app/ovin202612.log";
    static constexpr const char* kIni = "/app/ovin.ini";
    Platform platform;
    FakeClock* clock;
    FakeFileSystem* files;
    FakeProcessTable* processes;
    std::unique_ptr<Switches> switches;
    ApplicationTitle title;
    DialogAnswers answers;
};

}  // namespace ovin::test
