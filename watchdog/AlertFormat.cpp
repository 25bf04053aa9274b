#include "AlertFormat.h"
#include "settings/Texts.h"

#include <cstdio>

namespace ovin {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the valid UTF-8 sequence at `at`, or 0 when none starts there.
std::size_t utf8SequenceAt(std::string_view s, std::size_t at)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(at);
    if (c < 0x80)
        return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        // No overlong forms, no surrogates.
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (at + len > s.size())
        return 0;
    if (b(at + 1) < lo || b(at + 1) > hi)
        return 0;
    for (std::size_t i = 2; i < len; ++i) {
        if (b(at + i) < 0x80 || b(at + i) > 0xBF)
            return 0;
    }
    return len;
}

void appendJsonString(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : validUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += esc;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

std::string headline(const Alert& a)
{
    if (a.event == "stall")
        return texts::kAlertStall;
    if (a.event == "crash")
        return texts::kAlertCrash;
    if (a.event == "launch_failed")
        return texts::kAlertLaunchFailed;
    if (a.event == "missing_exe")
        return texts::kAlertMissingExe;
    if (a.event == "crashloop")
        return texts::kAlertCrashLoop + (a.nextAttempt ? texts::kAlertUntil + *a.nextAttempt : std::string());
    if (a.event == "crashloop_over")
        return texts::kAlertCrashLoopOver;
    if (a.event == "recovered")
        return texts::kAlertRecovered +
               (a.downtimeMs ? texts::kAlertDownFor + durationText(*a.downtimeMs) : std::string());
    if (a.event == "watchdog_start")
        return texts::kAlertWatchdogStart;
    if (a.event == "watchdog_end")
        return texts::kAlertWatchdogEnd;
    return a.event;
}

}  // namespace

std::string validUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t len = utf8SequenceAt(text, at);
        if (len == 0) {
            out += kReplacement;
            ++at;
        } else {
            out.append(text.substr(at, len));
            at += len;
        }
    }
    return out;
}

std::string isoLocalTime(const LocalTime& t, int utcOffsetMinutes)
{
    char buf[40];
    const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return buf;
}

std::vector<std::string> lastLines(std::string_view text, std::size_t count)
{
    std::vector<std::string> lines;
    std::size_t end = text.size();
    if (end >= 2 && text.substr(end - 2) == "\r\n")
        end -= 2;
    while (lines.size() < count && end > 0) {
        const std::size_t brk = text.rfind("\r\n", end - 1);
        const std::size_t begin = brk == std::string_view::npos || brk + 2 > end ? 0 : brk + 2;
        lines.emplace_back(text.substr(begin, end - begin));
        if (begin == 0)
            break;
        end = begin - 2;
        // A line break at the very start leaves one empty line before it.
        if (end == 0 && lines.size() < count) {
            lines.emplace_back();
            break;
        }
    }
    return {lines.rbegin(), lines.rend()};
}

std::string durationText(std::int64_t ms)
{
    const std::int64_t seconds = ms < 0 ? 0 : ms / 1000;
    const std::int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    std::string text;
    if (h > 0)
        text += std::to_string(h) + " h ";
    if (h > 0 || m > 0)
        text += std::to_string(m) + " min ";
    return text + std::to_string(s) + " s";
}

std::string alertText(const Alert& a)
{
    std::string text = texts::kAlertOn + a.machine + ": " + headline(a);
    if (a.heldBack > 0)
        text += texts::kAlertHeldBefore + std::to_string(a.heldBack) + texts::kAlertHeldAfter;
    if (!a.line.empty())
        text += "\n" + a.line;
    text += texts::kAlertStallsToday + std::to_string(a.stallsToday) + texts::kAlertCrashesToday +
            std::to_string(a.crashesToday) + texts::kAlertCounter + std::to_string(a.stallCount) + "/" +
            std::to_string(a.stallLimit);
    text += "\n" + a.time + ", " + a.folder;
    return text;
}

std::string alertJson(const Alert& a)
{
    std::string out = "{";
    const auto key = [&](const char* name) {
        if (out.size() > 1)
            out += ',';
        out += '"';
        out += name;
        out += "\":";
    };
    const auto text = [&](const char* name, std::string_view value) {
        key(name);
        appendJsonString(out, value);
    };
    const auto number = [&](const char* name, std::int64_t value) {
        key(name);
        out += std::to_string(value);
    };
    text("event", a.event);
    text("machine", a.machine);
    text("folder", a.folder);
    text("time", a.time);
    text("line", a.line);
    number("stall_count", a.stallCount);
    number("stall_limit", a.stallLimit);
    number("stalls_today", a.stallsToday);
    number("crashes_today", a.crashesToday);
    if (a.downtimeMs)
        number("downtime_s", *a.downtimeMs / 1000);
    if (a.nextAttempt)
        text("next_attempt", *a.nextAttempt);
    number("held_back", a.heldBack);
    if (!a.logTail.empty()) {
        key("log_tail");
        out += '[';
        for (std::size_t i = 0; i < a.logTail.size(); ++i) {
            if (i > 0)
                out += ',';
            appendJsonString(out, a.logTail[i]);
        }
        out += ']';
    }
    text("text", alertText(a));
    out += '}';
    return out;
}

std::vector<std::pair<std::string, std::string>> alertEnvironment(const Alert& a)
{
    std::vector<std::pair<std::string, std::string>> env = {
        {"OVIN_EVENT", a.event},
        {"OVIN_MACHINE", validUtf8(a.machine)},
        {"OVIN_FOLDER", validUtf8(a.folder)},
        {"OVIN_TIME", a.time},
        {"OVIN_LINE", validUtf8(a.line)},
        {"OVIN_STALL_COUNT", std::to_string(a.stallCount)},
        {"OVIN_STALL_LIMIT", std::to_string(a.stallLimit)},
        {"OVIN_STALLS_TODAY", std::to_string(a.stallsToday)},
        {"OVIN_CRASHES_TODAY", std::to_string(a.crashesToday)},
        {"OVIN_HELD_BACK", std::to_string(a.heldBack)},
    };
    if (a.downtimeMs)
        env.emplace_back("OVIN_DOWNTIME_S", std::to_string(*a.downtimeMs / 1000));
    if (a.nextAttempt)
        env.emplace_back("OVIN_NEXT_ATTEMPT", *a.nextAttempt);
    env.emplace_back("OVIN_TEXT", validUtf8(alertText(a)));
    return env;
}

std::optional<std::string> hookAddressShown(std::string_view url)
{
    const auto lower = [](std::string_view s) {
        std::string l(s);
        for (char& c : l)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return l;
    };
    std::string scheme;
    if (lower(url.substr(0, 7)) == "http://")
        scheme = "http";
    else if (lower(url.substr(0, 8)) == "https://")
        scheme = "https";
    else
        return std::nullopt;
    for (const char c : url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F)
            return std::nullopt;
    }
    std::string_view rest = url.substr(scheme.size() + 3);
    const std::size_t end = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, end);
    // Credentials in the address are never shown.
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (const auto colon = authority.rfind(':');
        colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoi(std::string(port)) == 0 || std::stoi(std::string(port)) > 65535)
            return std::nullopt;
    }
    if (host.empty() || host == "[]")
        return std::nullopt;
    return scheme + "://" + lower(host) + ":" + (port.empty() ? (scheme == "http" ? "80" : "443") : std::string(port));
}

}  // namespace ovin
