// The program's entry: admits one instance per executable, hands a second start over to the running one, and
// runs the main window.

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "UniqueHandle.h"
#include "platform/win32/Win32Text.h"
#include "Win32MainWindow.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "shell/ApplicationTitle.h"
#include "shell/EntrySequence.h"
#include "shell/WindowContext.h"
#include "shell/sCheckPrevious.h"
#include "shell/sParametry.h"
#include "watchdog/ProcessOps.h"

namespace {

constexpr char kShowForm[] = "showform";

std::vector<std::string> commandLine()
{
    std::vector<std::string> arguments;
    int count = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.push_back(ovin::win32::narrow(argv[i]));
        LocalFree(argv);
    }
    return arguments;
}

// The admitted instance's window comes back and to the front, and its main window is asked to show itself. The
// message names its sender: this start's application window, hidden and titled as the application is at this point.
void handOver(const ovin::InstanceBlock& block)
{
    const ovin::win32::WindowHandle sender(CreateWindowExW(0, L"STATIC", ovin::win32::widen(ovin::kEntryTitle).c_str(),
                                                           WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                                           GetModuleHandleW(nullptr), nullptr));
    if (const HWND previous = reinterpret_cast<HWND>(static_cast<INT_PTR>(block.window()))) {
        if (IsIconic(previous))
            ShowWindow(previous, SW_RESTORE);
        SetForegroundWindow(previous);
    }
    const HWND target = FindWindowW(ovin::win32::TfmWex::kWindowClass, nullptr);
    if (!target)
        return;
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = sizeof kShowForm;
    data.lpData = const_cast<char*>(kShowForm);
    SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.get()), reinterpret_cast<LPARAM>(&data));
}

int runAdmitted(HINSTANCE instance, ovin::Platform& platform, ovin::PreviousInstanceCheck& check)
{
    const ovin::Switches switches(commandLine(), *platform.files);
    const bool show = switches.HasSwitch("show");
    ovin::ApplicationTitle title;
    title.set(ovin::kEntryTitle);
    const ovin::WindowContext context{switches, title, nullptr, ovin::EventLog::kMemoCapacity};
    ovin::win32::TfmWex fmWex(instance, platform, context);
    check.SetInstanceWindow(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(fmWex.hwnd())));
    if (show)
        fmWex.ShowForm();
    return fmWex.run();
}

void reportFailure(const std::wstring& text)
{
    MessageBoxW(nullptr, text.c_str(), L"ovin", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    try {
        ovin::Platform platform = ovin::createPlatform();
        const std::string exePath = platform.process->executablePath();
        const std::string imageName(ovin::FileNamePart(exePath));
        const std::unique_ptr<ovin::StartGate> gate = ovin::createStartGate(imageName);
        const std::unique_ptr<ovin::InstanceBlock> block = ovin::createInstanceBlock(exePath);
        ovin::PreviousInstanceCheck check(*block);
        switch (ovin::DecideEntry(*platform.processes, *gate, check, imageName, ovin::kStartGateTimeout)) {
        case ovin::EntryOutcome::NotAlone:
            return 0;
        case ovin::EntryOutcome::HandOver:
            handOver(*block);
            return 0;
        case ovin::EntryOutcome::Admitted:
            return runAdmitted(instance, platform, check);
        }
        return 0;
    } catch (const std::system_error& e) {
        reportFailure(L"System Error. Code: " + std::to_wstring(e.code().value()) + L".\n\n" +
                      ovin::win32::widen(e.what()));
        return 1;
    } catch (const std::exception& e) {
        reportFailure(ovin::win32::widen(e.what()));
        return 1;
    }
}
