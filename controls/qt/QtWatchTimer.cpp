#include "controls/qt/QtWatchTimer.h"

namespace ovin {

QtWatchTimer::QtWatchTimer() : m_timer(std::make_unique<QTimer>())
{
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
        if (m_handler)
            m_handler();
    });
}

void QtWatchTimer::setInterval(int ms) { m_timer->setInterval(ms > 0 ? ms : 0); }

void QtWatchTimer::setEnabled(bool on)
{
    if (on && !m_timer->isActive())
        m_timer->start();
    else if (!on)
        m_timer->stop();
}

}  // namespace ovin
