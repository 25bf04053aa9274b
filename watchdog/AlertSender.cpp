#include "AlertSender.h"

#include <algorithm>

#include "platform/CommandRunner.h"
#include "platform/HttpClient.h"
#include "AlertFormat.h"
#include "settings/Texts.h"

namespace ovin {

using SteadyClock = std::chrono::steady_clock;

struct AlertSender::State {
    State(HttpClient& h, CommandRunner& c, AlertTiming t) : http(h), commands(c), timing(std::move(t)) {}

    HttpClient& http;
    CommandRunner& commands;
    const AlertTiming timing;

    std::mutex mutex;
    std::condition_variable wake;  // the worker: work, the end
    std::condition_variable done;  // the finisher: the worker is idle or gone
    std::deque<AlertDelivery> queue;
    bool busy = false;
    bool ending = false;
    // Past the first half of the end's time: only the run's last alert is still tried.
    bool lastOnly = false;
    bool gone = false;
    SteadyClock::time_point endBy;
    std::atomic<bool> cancel{false};
    std::map<AlertFailure, AlertFailureNote> failures;

    void fail(AlertFailure kind, std::string text)
    {
        const std::lock_guard lock(mutex);
        AlertFailureNote& note = failures[kind];
        note.kind = kind;
        note.text = std::move(text);
        ++note.count;
    }
};

namespace {

std::string hookFailureText(const HttpOutcome& outcome, int timeoutMs, const std::string& shown)
{
    std::string cause;
    switch (outcome.failure) {
    case HttpFailure::NoAnswer:
        cause = texts::kHookNoAnswer + std::to_string(timeoutMs / 1000) + texts::kLogWaitingUnit;
        break;
    case HttpFailure::Refused:
        cause = texts::kHookRefused;
        break;
    case HttpFailure::HttpError:
        cause = texts::kHookHttpError + std::to_string(outcome.status);
        break;
    default:
        cause = outcome.error;
        break;
    }
    return texts::kLogHookFailed + cause + " (" + shown + ")";
}

AlertFailure failureKind(HttpFailure f)
{
    switch (f) {
    case HttpFailure::NoAnswer:
        return AlertFailure::HookNoAnswer;
    case HttpFailure::Refused:
        return AlertFailure::HookRefused;
    case HttpFailure::HttpError:
        return AlertFailure::HookHttpError;
    default:
        return AlertFailure::HookOther;
    }
}

// A client error says the hook will not take this body however often it is sent.
bool worthRetrying(const HttpOutcome& outcome)
{
    return !(outcome.failure == HttpFailure::HttpError && outcome.status >= 400 && outcome.status < 500);
}

}  // namespace

AlertSender::AlertSender(HttpClient& http, CommandRunner& commands, AlertTiming timing)
    : m_state(std::make_shared<State>(http, commands, std::move(timing)))
{
}

AlertSender::~AlertSender() { finish(std::chrono::milliseconds(0)); }

void AlertSender::post(AlertDelivery delivery)
{
    State& s = *m_state;
    {
        const std::lock_guard lock(s.mutex);
        if (s.ending)
            return;
        if (s.queue.size() >= s.timing.queueCapacity) {
            s.queue.pop_front();
            AlertFailureNote& note = s.failures[AlertFailure::QueueFull];
            note.kind = AlertFailure::QueueFull;
            ++note.count;
            note.text = texts::kLogAlertDropped;
        }
        s.queue.push_back(std::move(delivery));
        if (!m_thread.joinable())
            m_thread = std::thread(&AlertSender::run, m_state);
    }
    s.wake.notify_all();
}

std::vector<AlertFailureNote> AlertSender::takeFailures()
{
    const std::lock_guard lock(m_state->mutex);
    std::vector<AlertFailureNote> notes;
    for (auto& [kind, note] : m_state->failures)
        notes.push_back(std::move(note));
    m_state->failures.clear();
    return notes;
}

bool AlertSender::idle()
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->queue.empty() && !m_state->busy;
}

void AlertSender::finish(std::chrono::milliseconds bound)
{
    State& s = *m_state;
    const auto start = SteadyClock::now();
    {
        std::unique_lock lock(s.mutex);
        if (s.ending && !m_thread.joinable())
            return;
        s.ending = true;
        s.endBy = start + bound;
        s.wake.notify_all();
        const auto idle = [&] { return s.gone || (s.queue.empty() && !s.busy); };
        if (!s.done.wait_until(lock, start + bound / 2, idle)) {
            s.lastOnly = true;
            // The delivery under way is given up unless it is the last alert itself.
            s.cancel = true;
            s.wake.notify_all();
            s.done.wait_until(lock, s.endBy, [&] { return s.gone; });
        }
        s.cancel = true;
        s.queue.clear();
        s.wake.notify_all();
    }
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(s.mutex);
    // The clients give up within about a second of the cancel; a thread stuck beyond that (a system call that
    // ignores it) is not waited for: the process ends around it.
    if (s.done.wait_for(lock, std::chrono::milliseconds(1500), [&] { return s.gone; })) {
        lock.unlock();
        m_thread.join();
    } else {
        lock.unlock();
        m_thread.detach();
    }
}

void AlertSender::run(std::shared_ptr<State> state)
{
    State& s = *state;
    std::unique_lock lock(s.mutex);
    while (true) {
        s.wake.wait(lock, [&] { return !s.queue.empty() || s.ending; });
        if (s.lastOnly) {
            while (!s.queue.empty() && !s.queue.front().last)
                s.queue.pop_front();
            if (!s.queue.empty())
                s.cancel = false;
        }
        if (s.queue.empty()) {
            if (s.ending)
                break;
            continue;
        }
        const AlertDelivery d = std::move(s.queue.front());
        s.queue.pop_front();
        s.busy = true;
        lock.unlock();

        if (!d.command.empty()) {
            const Result started = s.commands.start(d.command, d.folder, d.environment, kLogTailVariable, d.tail);
            if (!started.ok)
                s.fail(AlertFailure::CommandStart, texts::kLogCommandFailed + d.command + ": " + started.error);
        }
        if (!d.hook.empty()) {
            HttpOutcome outcome;
            int timeoutMs = s.timing.tryTimeoutMs;
            const std::size_t tries = s.timing.retryPausesMs.size() + 1;
            for (std::size_t attempt = 0; attempt < tries; ++attempt) {
                lock.lock();
                if (attempt > 0) {
                    // A pause that the end of the run cuts short, and no further try then.
                    s.wake.wait_for(lock, std::chrono::milliseconds(s.timing.retryPausesMs[attempt - 1]),
                                    [&] { return s.ending; });
                    if (s.ending) {
                        lock.unlock();
                        break;
                    }
                }
                timeoutMs = s.timing.tryTimeoutMs;
                if (s.ending) {
                    const auto left =
                        std::chrono::duration_cast<std::chrono::milliseconds>(s.endBy - SteadyClock::now());
                    timeoutMs = static_cast<int>(std::clamp<std::int64_t>(left.count(), 1, s.timing.tryTimeoutMs));
                }
                lock.unlock();
                outcome = s.http.postJson(d.hook, d.json, timeoutMs, s.cancel);
                if (outcome.ok() || !worthRetrying(outcome) || s.cancel)
                    break;
            }
            if (!outcome.ok() && !s.cancel)
                s.fail(failureKind(outcome.failure), hookFailureText(outcome, s.timing.tryTimeoutMs, d.hookShown));
        }

        lock.lock();
        s.busy = false;
        s.done.notify_all();
    }
    s.gone = true;
    s.done.notify_all();
}

}  // namespace ovin
