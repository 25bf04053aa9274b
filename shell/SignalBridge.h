#pragma once

#include <QObject>

class QSocketNotifier;

namespace ovin {

/// Turns the signals that end a Linux session or a terminal run into Qt
/// signals on the user-interface thread (through a pipe, as only that is safe
/// inside a signal handler).
class SignalBridge final : public QObject {
    Q_OBJECT
public:
    explicit SignalBridge(QObject* parent);
    ~SignalBridge() override;

signals:
    /// SIGTERM or SIGHUP: the session or the system is ending.
    void sessionEnding();
    /// SIGINT: the user asked to quit from the terminal.
    void interrupted();

private:
    QSocketNotifier* m_notifier;
};

}  // namespace ovin
