// The program's entry: admits one instance per executable, hands a second
// start over to the running one, and runs the main window.

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "DesktopResources.h"
#include "HandOver.h"
#include "LogCapacity.h"
#include "shell/EntrySequence.h"
#include "shell/ExitGuard.h"
#include "Main.h"
#include "SignalBridge.h"
#include "csTinyForm.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/linux/SessionSignals.h"
#include "platform/StartGate.h"
#include "shell/sCheckPrevious.h"
#include "shell/ApplicationTitle.h"
#include "shell/WindowContext.h"
#include "shell/sParametry.h"
#include "watchdog/ProcessOps.h"

namespace {

// A watchdog runs in the background: without any display it runs headless
// rather than failing to start.
void chooseHeadlessWithoutDisplay()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

int runAdmitted(int argc, char* argv[], ovin::Platform& platform, ovin::PreviousInstanceCheck& check,
                const std::string& handOverName)
{
    QApplication app(argc, argv);
    ovin::LoadDesktopResources(app);
    app.setQuitOnLastWindowClosed(false);
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    const ovin::Switches switches(std::move(arguments), *platform.files);
    const bool show = switches.HasSwitch("show");
    ovin::ApplicationTitle title;
    title.set(ovin::kEntryTitle);
    const ovin::WindowContext context{switches, title, nullptr, ovin::LogCapacity()};
    ovin::qt::TfmWex fmWex(platform, context);
    check.SetInstanceWindow(static_cast<std::int32_t>(fmWex.winId()));

    // exit, not quit: Qt's quit first asks every shown window to close, and
    // the main window refuses a close that is not the end of the session (it
    // only hides), so a quit with the window open would be cancelled.
    QObject::connect(
        &fmWex, &ovin::qt::TfmWex::quitRequested, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);

    ovin::HandOverListener handOver(handOverName, &fmWex);
    QObject::connect(&handOver, &ovin::HandOverListener::received, &fmWex, &ovin::qt::TfmWex::CopyDataReceived);
    if (!handOver.isListening())
        fmWex.reportError(ovin::HandOverFailureText(handOver.errorString().toStdString()));
    ovin::SignalBridge bridge(ovin::createSessionSignals(), &fmWex);
    QObject::connect(&bridge, &ovin::SignalBridge::sessionEnding, &fmWex, &ovin::qt::TfmWex::ShutdownQuery);
    QObject::connect(&bridge, &ovin::SignalBridge::interrupted, &fmWex, &ovin::qt::TfmWex::Quit);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &fmWex,
                     [&fmWex](QSessionManager&) { fmWex.ShutdownQuery(); });

    // When the display goes away (a killed X server, a desktop that ends its
    // session without a session manager), the toolkit ends the process from
    // inside the event loop: the run still ends as a log-off does.
    ovin::ExitGuard lastSteps([&fmWex, &check] {
        fmWex.SessionLost();
        check.Release();
    });

    if (show)
        fmWex.show();
    return app.exec();
}

// The runtime's report of an error that ends the start: on the standard error
// stream, and in a box wherever there is a display to show it on.
int reportStartFailure(int argc, char* argv[], const std::string& title, const std::string& text)
{
    std::fprintf(stderr, "ovin: %s\n", text.c_str());
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return 1;
    ovin::LoadDesktopResources(app);
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title), QString::fromStdString(text),
                    QMessageBox::Ok);
    box.exec();
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    chooseHeadlessWithoutDisplay();
    ovin::Platform platform = ovin::createPlatform();
    const std::string exePath = platform.process->executablePath();
    const std::string imageName(ovin::FileNamePart(exePath));

    try {
        const std::unique_ptr<ovin::StartGate> gate = ovin::createStartGate(imageName);
        const std::unique_ptr<ovin::InstanceBlock> block = ovin::createInstanceBlock(exePath);
        ovin::PreviousInstanceCheck check(*block);
        switch (ovin::DecideEntry(*platform.processes, *gate, check, imageName, ovin::kStartGateTimeout)) {
        case ovin::EntryOutcome::NotAlone:
            return 0;
        case ovin::EntryOutcome::HandOver: {
            QCoreApplication app(argc, argv);
            ovin::SendShowForm(block->handOverName());
            return 0;
        }
        case ovin::EntryOutcome::Admitted:
            return runAdmitted(argc, argv, platform, check, block->handOverName());
        }
        return 0;
    } catch (const std::system_error& e) {
        return reportStartFailure(argc, argv, imageName, ovin::StartFailureText(e.code().value(), e.what()));
    } catch (const std::exception& e) {
        return reportStartFailure(argc, argv, imageName, e.what());
    }
}
