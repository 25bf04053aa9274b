#pragma once

#include <QPointer>

#include <memory>

#include "QtWatchTimer.h"
#include "csTinyForm.h"
#include "watchdog/Watchdog.h"
#include "watchdog/WatchdogHost.h"

class QCheckBox;
class QFrame;
class QMessageBox;
class QPushButton;

namespace ovin {

struct Platform;
class LogView;
class SettingsPanel;
class TLabelX;
class TSpinEdit;
class TSpinEditX;
class TadpEdit;
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
    // The panel's controls under the window's own names.
    QFrame* Panel2 = nullptr;
    QFrame* pActive = nullptr;
    QCheckBox* cxHlidatTrovan = nullptr;
    QCheckBox* cxMazatRq = nullptr;
    QCheckBox* cxZobrazitIkonu = nullptr;
    TLabelX* Label1 = nullptr;
    TLabelX* Label2 = nullptr;
    TLabelX* Label3 = nullptr;
    TLabelX* Label4 = nullptr;
    TLabelX* Label5 = nullptr;
    TLabelX* Label6 = nullptr;
    TSpinEdit* seMaxOld = nullptr;
    TSpinEdit* seMaxSame = nullptr;
    TSpinEdit* seMaxRadku = nullptr;
    TSpinEdit* seInterval = nullptr;
    TLabelX* LabelX1 = nullptr;
    TLabelX* LabelX2 = nullptr;
    TSpinEditX* seWait = nullptr;
    QPushButton* bSaveConf = nullptr;
    QCheckBox* cxJinyAdrReq = nullptr;
    TadpEdit* ePathTo = nullptr;
    QPushButton* bJinyAdrReq = nullptr;

signals:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
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
    bool m_placed = false;
};

}  // namespace ovin
