#include "SignalBridge.h"

#include <QSocketNotifier>

#include "platform/linux/SessionSignals.h"

namespace ovin {

SignalBridge::SignalBridge(std::unique_ptr<SessionSignals> source, QObject* parent)
    : QObject(parent), m_signals(std::move(source))
{
    const std::intptr_t handle = m_signals->readyHandle();
    if (handle < 0)
        return;
    m_notifier = new QSocketNotifier(static_cast<qintptr>(handle), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalBridge::deliver);
}

SignalBridge::~SignalBridge()
{
    // The notifier outlives this body (Qt deletes children later) and must
    // not watch the descriptor once the source has closed it.
    if (m_notifier)
        m_notifier->setEnabled(false);
}

void SignalBridge::deliver()
{
    for (const SessionSignals::Request request : m_signals->takeRequests()) {
        if (request == SessionSignals::Request::Interrupted)
            emit interrupted();
        else
            emit sessionEnding();
    }
}

}  // namespace ovin
