#pragma once

#include <QPointer>

#include <memory>

#include "QtWatchTimer.h"
#include "csTinyForm.h"
#include "watchdog/Watchdog.h"
#include "watchdog/WatchdogHost.h"

class QMessageBox;

namespace ovin {

struct Platform;
class LogView;
class SettingsPanel;
class TrayIcon;

/// The main window: the Event log above the settings panel. It owns the
/// watchdog for the program's whole run and is usually hidden.
class TfmWex final : public TTinyFormSQL, public WatchdogHost {
    Q_OBJECT
public:
    explicit TfmWex(Platform& platform, QWidget* parent = nullptr);
    ~TfmWex() override;

    Watchdog& watchdog() { return *m_watchdog; }

    // WatchdogHost
    void ProcessMessages() override;
    bool AddTrayIcon() override;
    void SetTrayImage(int index) override;
    void setActivity(bool busy) override;
    void ShowSettings() override;
    int routerWaitSeconds() override;
    void reportError(const std::string& text) override;

    void RemoveTrayIcon();

    /// Menu commands of the tray icon.
    void Open1Click();
    void UkonitTrovaniOvin1Click();
    void Exit1Click();

    /// The desktop session or the system is ending: the closing lines go to
    /// the log and the program ends.
    void ShutdownQuery();

    /// The session ended under the program: the display is gone and the
    /// process ends on the spot. The closing lines of a log-off (unless the
    /// session's end wrote them already) and the settings are written;
    /// nothing on the screen is touched any more.
    void SessionLost();

    /// A text another start of the program handed over.
    void CopyDataReceived(const QString& text);

    /// Ends the event loop (through `quitRequested`); the window's
    /// destruction then writes the settings.
    void Quit();

    /// Asked whenever something wants the window closed: it hides the window
    /// and lets it close only while the session ends.
    bool FormCloseQuery();

    LogView* Memo1 = nullptr;
    SettingsPanel* Panel1 = nullptr;

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    bool PlainQuestionBox(const QString& caption, const QString& text);
    void Panel1MouseUp(Qt::MouseButton button);

    Platform& m_platform;
    QtWatchTimer m_trayTimer;
    QtWatchTimer m_timer1;
    std::unique_ptr<Watchdog> m_watchdog;
    // Held here as well as by its Qt parent, and declared after the watchdog,
    // so that the log view and the settings panel go before the log and the
    // settings they work on: members die before the widget's children would.
    std::unique_ptr<LogView> m_logView;
    std::unique_ptr<SettingsPanel> m_panel;
    TrayIcon* m_tray = nullptr;
    QPointer<QMessageBox> m_errorBox;
    bool m_shutdown = false;
    bool m_sessionLost = false;
    bool m_placed = false;
};

}  // namespace ovin
