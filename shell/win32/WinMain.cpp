// The program's entry: admits one instance per executable, hands a second start over to the running one, and
// runs the main window.

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "UniqueHandle.h"
#include "Win32MainWindow.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "platform/win32/Win32Text.h"
#include "settings/Texts.h"
#include "shell/ApplicationTitle.h"
#include "shell/EntrySequence.h"
#include "shell/WindowContext.h"
#include "shell/sCheckPrevious.h"
#include "shell/sParametry.h"

namespace {

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

class Win32Entry final : public ovin::EntryFrontEnd {
public:
    explicit Win32Entry(HINSTANCE instance) : m_instance(instance) {}

    ovin::Platform createPlatform() override { return ovin::createPlatform(); }

    std::unique_ptr<ovin::StartGate> createStartGate(std::string_view imageName) override
    {
        return ovin::createStartGate(imageName);
    }

    std::unique_ptr<ovin::InstanceBlock> createInstanceBlock(std::string_view exePath) override
    {
        return ovin::createInstanceBlock(exePath);
    }

    ovin::Result handOver(const ovin::InstanceBlock& block) override;

    int runAdmitted(ovin::Platform& platform, ovin::PreviousInstanceCheck& check, const ovin::InstanceBlock&) override
    {
        const ovin::Switches switches(commandLine(), *platform.files);
        const bool show = switches.HasSwitch("show");
        ovin::ApplicationTitle title;
        title.set(ovin::texts::kEntryTitle);
        const ovin::WindowContext context{switches, title, nullptr, ovin::EventLog::kMemoCapacity};
        ovin::win32::TfmWex fmWex(m_instance, platform, context);
        check.SetInstanceWindow(static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(fmWex.hwnd())));
        if (show)
            fmWex.ShowForm();
        return fmWex.run();
    }

    // The program has no console: the box is the only place a user sees the report.
    void reportStartFailure(const std::string& caption, const std::string& text) override
    {
        MessageBoxW(nullptr, ovin::win32::widen(text).c_str(), ovin::win32::widen(caption).c_str(),
                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }

private:
    HINSTANCE m_instance;
};

// The admitted instance's window comes back and to the front, and its main window is asked to show itself. The
// message names its sender: this start's application window, hidden and titled as the application is at this point.
// A running instance that hangs does not hang this start: the wait for it is bounded.
ovin::Result Win32Entry::handOver(const ovin::InstanceBlock& block)
{
    const ovin::win32::WindowHandle sender(
        CreateWindowExW(0, L"STATIC", ovin::win32::widen(ovin::texts::kEntryTitle).c_str(), WS_POPUP, 0, 0, 0, 0,
                        nullptr, nullptr, m_instance, nullptr));
    if (const HWND previous = reinterpret_cast<HWND>(static_cast<INT_PTR>(block.window()))) {
        if (IsIconic(previous))
            ShowWindow(previous, SW_RESTORE);
        SetForegroundWindow(previous);
    }
    const HWND target = FindWindowW(ovin::win32::TfmWex::kWindowClass, nullptr);
    if (!target)
        return ovin::Result::failure(ovin::texts::kNoWindowToHandOverTo);
    const std::string message = ovin::texts::kShowForm;
    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(message.size() + 1);
    data.lpData = const_cast<char*>(message.c_str());
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.get()),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             static_cast<UINT>(ovin::kHandOverTimeout.count()), &reply)) {
        const DWORD error = GetLastError();
        return ovin::Result::failure(error == ERROR_TIMEOUT || error == 0 ? ovin::texts::kNoAnswerToHandOver
                                                                          : ovin::win32::systemText(error));
    }
    return {};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Win32Entry entry(instance);
    return ovin::RunEntry(entry);
}
