#include "shell/MainWindow.h"

#include <cstdio>
#include <exception>

#include "settings/Texts.h"
#include "shell/MainWindowFrontEnd.h"
#include "watchdog/ProcessOps.h"
#include "watchdog/Watchdog.h"

namespace ovin {

MainWindow::MainWindow(Watchdog& watchdog, ProcessTable& processes, MainWindowFrontEnd& frontEnd)
    : m_watchdog(watchdog), m_processes(processes), m_frontEnd(frontEnd)
{
}

void MainWindow::RunMenuCommand(MenuCommand command)
{
    switch (command) {
    case MenuCommand::Open1:
        Open1Click();
        break;
    case MenuCommand::UkonitTrovaniOvin1:
        UkonitTrovaniOvin1Click();
        break;
    case MenuCommand::Exit1:
        Exit1Click();
        break;
    }
}

void MainWindow::Open1Click() { m_frontEnd.ShowForm(); }

void MainWindow::UkonitTrovaniOvin1Click()
{
    if (!m_frontEnd.Confirm(texts::kStopAllQuestion, TMsgDlgType::mtWarning))
        return;
    try {
        m_watchdog.log().AddLogLine(std::string(texts::kStopAllQuestion) + texts::kAnsweredYes);
        if (IsProcessRunning(m_processes, kRouterExeName)) {
            m_watchdog.log().AddLogLine(texts::kLogEndingRouter);
            TerminateProcessByName(m_processes, kRouterExeName);
        }
    } catch (const std::exception& e) {
        reportError(e.what());
    }
    Quit();
}

void MainWindow::Exit1Click()
{
    if (m_frontEnd.askYesNo(texts::kExitCaption, texts::kExitQuestion))
        Quit();
}

bool MainWindow::FormCloseQuery()
{
    if (m_shutdown)
        m_frontEnd.RemoveTrayIcon();
    const bool canClose = m_shutdown;
    if (canClose)
        m_watchdog.AddClosingLines();
    m_frontEnd.hideWindow();
    return canClose;
}

void MainWindow::ShutdownQuery()
{
    m_shutdown = true;
    FormCloseQuery();
    FormCloseQuery();
    Quit();
}

void MainWindow::SessionLost()
{
    m_sessionLost = true;
    // The log view would repaint for each new line, on a display that is gone.
    m_watchdog.log().setObserver(nullptr);
    if (!m_shutdown) {
        m_shutdown = true;
        // Twice, as on a log-off, where the desktop asks the window twice.
        m_watchdog.AddClosingLines();
        m_watchdog.AddClosingLines();
    }
    m_watchdog.FormDestroy();
}

void MainWindow::Panel1MouseUp(MouseButton button)
{
    if (button == MouseButton::Right)
        Quit();
}

void MainWindow::CopyDataReceived(std::string_view text)
{
    if (text != texts::kShowForm)
        return;
    m_frontEnd.restoreWindow();
    m_frontEnd.ShowForm();
}

void MainWindow::Quit() { m_frontEnd.quit(); }

void MainWindow::FormDestroy()
{
    m_ending = true;
    m_watchdog.FormDestroy();
    m_ending = false;
}

void MainWindow::reportError(const std::string& text)
{
    std::fprintf(stderr, "ovin: %s\n", text.c_str());
    if (m_sessionLost)
        return;
    if (m_ending) {
        m_frontEnd.showFinalErrorReport(text);
        return;
    }
    if (m_errorReportOpen)
        return;
    m_errorReportOpen = true;
    m_frontEnd.showErrorReport(text);
}

}  // namespace ovin
