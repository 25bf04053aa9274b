#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace ovin {

class SessionSignals;

/// Turns the system's requests to end the program into Qt signals on the
/// user-interface thread.
class SignalBridge final : public QObject {
    Q_OBJECT
public:
    SignalBridge(std::unique_ptr<SessionSignals> source, QObject* parent);
    ~SignalBridge() override;

signals:
    /// The session or the system is ending.
    void sessionEnding();
    /// The user asked to quit from the terminal.
    void interrupted();

private:
    void deliver();

    std::unique_ptr<SessionSignals> m_signals;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace ovin
