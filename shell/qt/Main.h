#pragma once

#include <QPointer>

#include <memory>

#include "controls/qt/QtWatchTimer.h"
#include "csTinyForm.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowFrontEnd.h"
#include "watchdog/Watchdog.h"
#include "watchdog/WatchdogHost.h"

class QMessageBox;

namespace ovin {

struct Platform;
class LogView;
class SettingsPanel;
class TrayIcon;

namespace qt {

/// The main window: the Event log above the settings panel. It owns the
/// watchdog for the program's whole run and is usually hidden. What it does
/// is decided by `MainWindow`; this class paints and translates events.
class TfmWex final : public TTinyFormSQL, public WatchdogHost, private MainWindowFrontEnd {
    Q_OBJECT
public:
    TfmWex(Platform& platform, const WindowContext& context, QWidget* parent = nullptr);
    ~TfmWex() override;

    Watchdog& watchdog() { return *m_watchdog; }

    // WatchdogHost
    void ProcessMessages() override;
    bool AddTrayIcon() override;
    void SetTrayImage(int index) override;
    void SetTrayNotice(const std::string& notice) override;
    void setActivity(bool busy) override;
    void ShowSettings() override;
    int routerWaitSeconds() override;
    void reportError(const std::string& text) override;

    void RemoveTrayIcon() override;

    /// Menu commands of the tray icon.
    void Open1Click() { m_logic->Open1Click(); }
    void UkonitTrovaniOvin1Click() { m_logic->UkonitTrovaniOvin1Click(); }
    void Exit1Click() { m_logic->Exit1Click(); }

    /// The desktop session or the system is ending.
    void ShutdownQuery() { m_logic->ShutdownQuery(); }

    /// The session ended under the program: the display is gone.
    void SessionLost() { m_logic->SessionLost(); }

    /// A text another start of the program handed over.
    void CopyDataReceived(const QString& text) { m_logic->CopyDataReceived(text.toStdString()); }

    /// Ends the event loop (through `quitRequested`).
    void Quit() { m_logic->Quit(); }

    /// Asked whenever something wants the window closed.
    bool FormCloseQuery() { return m_logic->FormCloseQuery(); }

    LogView* Memo1 = nullptr;
    SettingsPanel* Panel1 = nullptr;

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // MainWindowFrontEnd
    void ShowForm() override { TTinyFormSQL::ShowForm(); }
    void restoreWindow() override;
    void hideWindow() override { hide(); }
    bool Confirm(const std::string& text, TMsgDlgType kind) override;
    bool askYesNo(const std::string& caption, const std::string& text) override;
    void showErrorReport(const std::string& text) override;
    void showFinalErrorReport(const std::string& text) override;
    void quit() override { emit quitRequested(); }

    void FormCreate();
    void FormDestroy();
    bool PlainQuestionBox(const QString& caption, const QString& text);

    Platform& m_platform;
    QtWatchTimer m_trayTimer;
    QtWatchTimer m_timer1;
    std::unique_ptr<Watchdog> m_watchdog;
    std::unique_ptr<MainWindow> m_logic;
    // Held here as well as by its Qt parent, and declared after the watchdog,
    // so that the log view and the settings panel go before the log and the
    // settings they work on: members die before the widget's children would.
    std::unique_ptr<LogView> m_logView;
    std::unique_ptr<SettingsPanel> m_panel;
    TrayIcon* m_tray = nullptr;
    QPointer<QMessageBox> m_errorBox;
    bool m_placed = false;
};

}  // namespace qt

}  // namespace ovin
