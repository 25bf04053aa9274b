// The program's entry: admits one instance per executable, hands a second
// start over to the running one, and runs the main window.

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <system_error>

#include "DesktopResources.h"
#include "Main.h"
#include "SignalBridge.h"
#include "csTinyForm.h"
#include "platform/Platform.h"
#include "sCheckPrevious.h"
#include "sParametry.h"
#include "watchdog/ProcessOps.h"

namespace {

// The end-of-run release runs however the process ends normally.
struct InstanceRelease {
    ~InstanceRelease() { ovin::ReleasePreviousInstance(); }
};

// A watchdog runs in the background: without any display it runs headless
// rather than failing to start.
void chooseHeadlessWithoutDisplay()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int runAdmitted(int argc, char* argv[], ovin::Platform& platform, const std::string& blockName)
{
    QApplication app(argc, argv);
    ovin::LoadDesktopResources(app);
    app.setQuitOnLastWindowClosed(false);
    const bool show = ovin::HasSwitch(QStringLiteral("show"));
    ovin::TTinyForm::SetApplicationTitle(QStringLiteral("TrovanWatch"));
    ovin::TfmWex fmWex(platform);
    ovin::SetInstanceWindow(static_cast<std::uint32_t>(fmWex.winId()));

    QObject::connect(&fmWex, &ovin::TfmWex::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    ovin::HandOverListener handOver(blockName, &fmWex);
    QObject::connect(&handOver, &ovin::HandOverListener::received, &fmWex, &ovin::TfmWex::CopyDataReceived);
    ovin::SignalBridge bridge(&fmWex);
    QObject::connect(&bridge, &ovin::SignalBridge::sessionEnding, &fmWex, &ovin::TfmWex::ShutdownQuery);
    QObject::connect(&bridge, &ovin::SignalBridge::interrupted, &fmWex, &ovin::TfmWex::Quit);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &fmWex,
                     [&fmWex](QSessionManager&) { fmWex.ShutdownQuery(); });

    if (show)
        fmWex.show();
    return app.exec();
}

}  // namespace

int main(int argc, char* argv[])
{
    chooseHeadlessWithoutDisplay();
    ovin::Platform platform = ovin::createPlatform();
    const std::string exePath = platform.process->executablePath();

    // Another process under this executable's name: this start ends quietly.
    if (ovin::CountProcesses(*platform.processes, ovin::FileNamePart(exePath)) != 1) {
        ovin::SetInstanceTested(false);
        return 0;
    }

    InstanceRelease release;
    try {
        const bool another = ovin::CheckPreviousInstance(0, 1, exePath);
        ovin::SetInstanceTested(true);
        const std::string blockName = ovin::InstanceBlockName(exePath);
        if (another) {
            QCoreApplication app(argc, argv);
            ovin::SendShowForm(blockName);
            return 0;
        }
        return runAdmitted(argc, argv, platform, blockName);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "ovin: System Error. Code: %d. %s\n", e.code().value(), e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ovin: %s\n", e.what());
        return 1;
    }
}
