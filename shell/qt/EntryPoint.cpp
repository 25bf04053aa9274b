// The program's entry: admits one instance per executable, hands a second
// start over to the running one, and runs the main window.

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DesktopResources.h"
#include "HandOver.h"
#include "LogCapacity.h"
#include "Main.h"
#include "SignalBridge.h"
#include "csTinyForm.h"
#include "platform/InstanceBlock.h"
#include "platform/Platform.h"
#include "platform/StartGate.h"
#include "platform/linux/SessionSignals.h"
#include "settings/Texts.h"
#include "shell/ApplicationTitle.h"
#include "shell/EntrySequence.h"
#include "shell/ExitGuard.h"
#include "shell/WindowContext.h"
#include "shell/sCheckPrevious.h"
#include "shell/sParametry.h"

namespace {

// A watchdog runs in the background: without any display it runs headless
// rather than failing to start.
void chooseHeadlessWithoutDisplay()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

class QtEntry final : public ovin::EntryFrontEnd {
public:
    QtEntry(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

    ovin::Platform createPlatform() override { return ovin::createPlatform(); }

    std::unique_ptr<ovin::StartGate> createStartGate(std::string_view imageName) override
    {
        return ovin::createStartGate(imageName);
    }

    std::unique_ptr<ovin::InstanceBlock> createInstanceBlock(std::string_view exePath) override
    {
        return ovin::createInstanceBlock(exePath);
    }

    ovin::Result handOver(const ovin::InstanceBlock& block) override
    {
        QCoreApplication app(m_argc, m_argv);
        return ovin::SendShowForm(block.handOverName());
    }

    int runAdmitted(ovin::Platform& platform, ovin::PreviousInstanceCheck& check,
                    const ovin::InstanceBlock& block) override;

    // On the standard error stream, and in a box wherever there is a display to show it on.
    void reportStartFailure(const std::string& caption, const std::string& text) override
    {
        std::fprintf(stderr, "ovin: %s\n", text.c_str());
        QApplication app(m_argc, m_argv);
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;
        ovin::LoadDesktopResources(app);
        QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption), QString::fromStdString(text),
                        QMessageBox::Ok);
        box.exec();
    }

private:
    int& m_argc;
    char** m_argv;
};

int QtEntry::runAdmitted(ovin::Platform& platform, ovin::PreviousInstanceCheck& check, const ovin::InstanceBlock& block)
{
    QApplication app(m_argc, m_argv);
    ovin::LoadDesktopResources(app);
    app.setQuitOnLastWindowClosed(false);
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    const ovin::Switches switches(std::move(arguments), *platform.files);
    const bool show = switches.HasSwitch("show");
    ovin::ApplicationTitle title;
    title.set(ovin::texts::kEntryTitle);
    const ovin::WindowContext context{switches, title, nullptr, ovin::LogCapacity()};
    ovin::qt::TfmWex fmWex(platform, context);
    check.SetInstanceWindow(static_cast<std::int32_t>(fmWex.winId()));

    // exit, not quit: Qt's quit first asks every shown window to close, and
    // the main window refuses a close that is not the end of the session (it
    // only hides), so a quit with the window open would be cancelled.
    QObject::connect(
        &fmWex, &ovin::qt::TfmWex::quitRequested, &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);

    ovin::HandOverListener handOver(block.handOverName(), &fmWex);
    QObject::connect(&handOver, &ovin::HandOverListener::received, &fmWex, &ovin::qt::TfmWex::CopyDataReceived);
    if (!handOver.isListening())
        fmWex.reportError(ovin::ListenFailureText(handOver.errorString().toStdString()));
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

}  // namespace

int main(int argc, char* argv[])
{
    chooseHeadlessWithoutDisplay();
    QtEntry entry(argc, argv);
    return ovin::RunEntry(entry);
}
