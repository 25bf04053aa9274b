#include "Fakes.h"

namespace ovin::test {

namespace {

// Inverse of the civil-days count (H. Hinnant's algorithm).
void civilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

LocalTime FakeClock::now() const
{
    const std::int64_t secs = m_ms / 1000;
    const std::int64_t days = secs / 86400;
    const std::int64_t rest = secs % 86400;
    LocalTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.millisecond = static_cast<int>(m_ms % 1000);
    return t;
}

void FakeTimer::setInterval(int ms)
{
    m_interval = ms;
    if (m_enabled)
        m_dueMs = m_loop.clock.ms() + std::max(ms, 0);
}

void FakeTimer::setEnabled(bool on)
{
    if (on && !m_enabled)
        m_dueMs = m_loop.clock.ms() + std::max(m_interval, 0);
    m_enabled = on;
}

void FakeTimer::fire()
{
    m_dueMs = m_loop.clock.ms() + std::max(m_interval, 1);
    if (m_handler)
        m_handler();
}

void FakeEventLoop::processMessages()
{
    std::vector<FakeTimer*> due;
    for (auto& t : m_timers) {
        if (t->enabled() && t->dueMs() <= clock.ms())
            due.push_back(t.get());
    }
    std::sort(due.begin(), due.end(), [](auto* a, auto* b) { return a->dueMs() < b->dueMs(); });
    for (auto* t : due) {
        if (t->enabled() && t->dueMs() <= clock.ms())
            t->fire();
    }
}

namespace {

// Hands its owner a timer of the loop; the loop keeps the timer itself, switched off once the owner is gone.
class OwnedFakeTimer final : public WatchTimer {
public:
    explicit OwnedFakeTimer(FakeTimer& timer) : m_timer(timer) {}
    ~OwnedFakeTimer() override
    {
        m_timer.setEnabled(false);
        m_timer.setOnTimer({});
    }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setEnabled(bool on) override { m_timer.setEnabled(on); }
    bool enabled() const override { return m_timer.enabled(); }
    void setOnTimer(std::function<void()> handler) override { m_timer.setOnTimer(std::move(handler)); }

private:
    FakeTimer& m_timer;
};

}  // namespace

std::unique_ptr<WatchTimer> FakeEventLoop::makeTimer() { return std::make_unique<OwnedFakeTimer>(newTimer()); }

void FakeEventLoop::runFor(std::int64_t ms)
{
    const std::int64_t end = clock.ms() + ms;
    for (;;) {
        FakeTimer* next = nullptr;
        for (auto& t : m_timers) {
            if (t->enabled() && t->dueMs() <= end && (!next || t->dueMs() < next->dueMs()))
                next = t.get();
        }
        if (!next)
            break;
        if (next->dueMs() > clock.ms())
            clock.advance(next->dueMs() - clock.ms());
        next->fire();
    }
    if (clock.ms() < end)
        clock.advance(end - clock.ms());
}

}  // namespace ovin::test
