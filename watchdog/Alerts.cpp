#include "Alerts.h"

#include "AlertFormat.h"
#include "RouterEvent.h"
#include "RouterRecord.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/MachineName.h"
#include "settings/DohledSettings.h"
#include "settings/EventLog.h"
#include "settings/Texts.h"

namespace ovin {

namespace {

constexpr std::int64_t kFailureLogPeriodMs = 3600 * 1000;

// Days since 1970-01-01 to the civil date (the proleptic Gregorian calendar).
LocalTime civilFromDays(std::int64_t days)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    LocalTime t;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
    return t;
}

}  // namespace

Alerts::Alerts(const WatchdogServices& services, EventLog& log, std::string appFolder, AlertTiming timing)
    : m_services(services),
      m_log(log),
      m_appFolder(std::move(appFolder)),
      m_machine(services.machine.machineName()),
      m_sender(services.http, services.commands, std::move(timing))
{
}

Alerts::~Alerts() = default;

std::vector<std::string> Alerts::apply(const DohledSettings& settings)
{
    std::vector<std::string> lines;
    m_periodMinutes = settings.UpozorneniMinut;
    m_command.clear();
    m_hook.clear();
    m_hookShown.clear();
    if (!settings.Prikaz.empty()) {
        const std::string& p = settings.Prikaz;
        const bool absolute = m_services.files.isSeparator(p.front()) || (p.size() >= 2 && p[1] == ':');
        const std::string path = absolute ? p : m_appFolder + p;
        if (!m_services.files.fileExists(path))
            lines.push_back(texts::kLogCommandMissing + path);
        // It would run under this program's user, often an administrator.
        else if (m_services.files.othersCanChange(path))
            lines.push_back(texts::kLogCommandForeign + path);
        else
            m_command = path;
    }
    if (!settings.Webhook.empty()) {
        if (const auto shown = hookAddressShown(settings.Webhook)) {
            m_hook = settings.Webhook;
            m_hookShown = *shown;
        } else {
            lines.push_back(texts::kLogHookNotHttp + settings.Webhook);
        }
    }
    return lines;
}

void Alerts::routerEvent(const RouterEvent& event, const RouterRecord& record)
{
    switch (event.kind) {
    case RouterEventKind::Stall:
        m_pendingStall = event.line;
        break;
    case RouterEventKind::Tick:
        if (m_pendingStall) {
            const std::string line = *m_pendingStall;
            m_pendingStall.reset();
            send("stall", line, record);
        }
        logFailures();
        break;
    case RouterEventKind::Attempt:
        m_missingExe = false;
        m_refusedLine.reset();
        break;
    case RouterEventKind::Crash:
        send("crash", event.line, record);
        break;
    case RouterEventKind::MissingExe:
        m_missingExe = true;
        send("missing_exe", event.line, record);
        break;
    case RouterEventKind::LaunchRefused:
        m_refusedLine = event.line;
        break;
    case RouterEventKind::LaunchFailed:
        if (!m_missingExe)
            send("launch_failed", m_refusedLine.value_or(event.line), record);
        break;
    case RouterEventKind::Recovered:
        send("recovered", event.line, record, event.downtimeMs);
        break;
    case RouterEventKind::CrashLoop:
    case RouterEventKind::CrashLoopOver:
    case RouterEventKind::WatchdogStart:
    case RouterEventKind::WatchdogEnd:
        send(routerEventName(event.kind), event.line, record);
        break;
    case RouterEventKind::Kill:
    case RouterEventKind::KillRefused:
    case RouterEventKind::Launched:
    case RouterEventKind::SettingsSaved:
        break;
    }
}

std::string Alerts::localTimeOf(std::int64_t unixMs) const
{
    const int offset = m_services.clock.utcOffsetMinutes();
    const std::int64_t localSec = unixMs / 1000 + std::int64_t{offset} * 60;
    const std::int64_t days = (localSec >= 0 ? localSec : localSec - 86399) / 86400;
    const std::int64_t secOfDay = localSec - days * 86400;
    LocalTime t = civilFromDays(days);
    t.hour = static_cast<int>(secOfDay / 3600);
    t.minute = static_cast<int>(secOfDay / 60 % 60);
    t.second = static_cast<int>(secOfDay % 60);
    return isoLocalTime(t, offset);
}

void Alerts::send(const std::string& kind, const std::string& line, const RouterRecord& record,
                  std::optional<std::int64_t> downtimeMs)
{
    if (!active())
        return;
    const bool neverHeld = kind == "watchdog_start" || kind == "watchdog_end";
    const std::optional<int> held =
        neverHeld ? std::optional<int>(0) : m_rate.admit(kind, m_services.clock.unixMs(), m_periodMinutes);
    if (!held)
        return;

    Alert a;
    a.event = kind;
    a.machine = m_machine;
    a.folder = m_appFolder;
    a.time = isoLocalTime(m_services.clock.now(), m_services.clock.utcOffsetMinutes());
    a.line = line;
    a.stallCount = record.stallCount();
    a.stallLimit = record.stallLimit();
    a.stallsToday = record.stallsToday();
    a.crashesToday = record.crashesToday();
    a.downtimeMs = downtimeMs;
    if (kind == "crashloop" && record.nextAttemptUnixMs() > 0)
        a.nextAttempt = localTimeOf(record.nextAttemptUnixMs());
    a.heldBack = *held;
    if (kind == "stall" || kind == "crash" || kind == "crashloop")
        a.logTail = lastLines(m_log.text(), kAlertTailLines);

    AlertDelivery d;
    d.event = kind;
    d.last = kind == "watchdog_end";
    d.command = m_command;
    d.folder = m_appFolder;
    if (!m_command.empty()) {
        d.environment = alertEnvironment(a);
        for (const std::string& l : a.logTail)
            d.tail += validUtf8(l) + "\r\n";
    }
    d.hook = m_hook;
    d.hookShown = m_hookShown;
    if (!m_hook.empty())
        d.json = alertJson(a);
    m_sender.post(std::move(d));
}

void Alerts::logFailures()
{
    const std::int64_t now = m_services.clock.unixMs();
    for (const AlertFailureNote& note : m_sender.takeFailures()) {
        FailureLog& f = m_failureLog[note.kind];
        f.since += note.count;
        if (f.logged && now - f.loggedMs >= 0 && now - f.loggedMs < kFailureLogPeriodMs)
            continue;
        std::string line = note.text;
        if (f.since > 1)
            line += " (od posledni zpravy " + std::to_string(f.since) + "x)";
        f = {now, true, 0};
        try {
            m_log.AddLogLine(line, LineSeverity::Warning);
        } catch (...) {
            // A month file that cannot be saved keeps the line in the log all the same.
        }
    }
}

void Alerts::finish(std::chrono::milliseconds bound) { m_sender.finish(bound); }

}  // namespace ovin
