#include "LogLine.h"

#include <cstring>

namespace ovin::report {

namespace {

constexpr std::size_t kStampBytes = 15;  // "[hh:nn:ss.zzz] "
constexpr std::string_view kStartWord = " START";
constexpr std::size_t kStartBytes = 25;  // "DD.MM.YYYY HH:NN:SS START"

constexpr std::string_view kStall = "Prekrocen limit stari souboru ";
constexpr std::string_view kKill = "Ukoncuji Trovan";
constexpr std::string_view kAttempt = "Trovan neni spusten - pokusim se ho spustit";
constexpr std::string_view kLaunched = "Trovan spusten";
constexpr std::string_view kMissing = "Nelze spustit Trovan - soubor nenalezen ";
constexpr std::string_view kClosing = "UKONCENI PROGRAMU";

// The ten keys of the settings summary in the start block.
constexpr std::string_view kSummaryKeys[] = {
    "MazatRequest",     "HlidatZdaTrovanJede", "ZobrazitIkonu",   "JinyAdrReq",     "AdrReq",
    "MaxStejnyRequest", "MaxStariRequest",     "MaxRadkuRequest", "CekaniNaTrovan", "Interval"};

inline bool digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }
inline int two(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

bool startsWith(std::string_view s, std::string_view head)
{
    return s.size() >= head.size() && std::memcmp(s.data(), head.data(), head.size()) == 0;
}

bool allDigitsAfter(std::string_view s, std::size_t from)
{
    if (s.size() <= from)
        return false;
    for (std::size_t i = from; i < s.size(); ++i)
        if (!digit(s[i]))
            return false;
    return true;
}

// The message decides with one byte and its length before any compare: most
// lines of a month are request-file reports that none of these begin like.
LineEvent eventOf(std::string_view m, bool complete)
{
    if (m.empty() || !complete)
        return LineEvent::None;
    switch (m[0]) {
    case 'P':
        return startsWith(m, kStall) && allDigitsAfter(m, kStall.size()) ? LineEvent::Stall : LineEvent::None;
    case 'U':
        if (m == kKill)
            return LineEvent::Kill;
        return m == kClosing ? LineEvent::Closing : LineEvent::None;
    case 'T':
        if (m == kLaunched)
            return LineEvent::Launched;
        return m == kAttempt ? LineEvent::Attempt : LineEvent::None;
    case 'N':
        return startsWith(m, kMissing) && m.size() > kMissing.size() ? LineEvent::MissingExe : LineEvent::None;
    default:
        return LineEvent::None;
    }
}

bool isStart(std::string_view s, LogLine& out)
{
    if (s.size() != kStartBytes || s.substr(19) != kStartWord)
        return false;
    const char* p = s.data();
    static constexpr int kDigitsAt[] = {0, 1, 3, 4, 6, 7, 8, 9, 11, 12, 14, 15, 17, 18};
    for (const int i : kDigitsAt)
        if (!digit(p[i]))
            return false;
    if (p[2] != '.' || p[5] != '.' || p[10] != ' ' || p[13] != ':' || p[16] != ':')
        return false;
    const int day = two(p), month = two(p + 3), year = two(p + 6) * 100 + two(p + 8);
    const int h = two(p + 11), mi = two(p + 14), sec = two(p + 17);
    if (day < 1 || day > 31 || month < 1 || month > 12 || h > 23 || mi > 59 || sec > 59)
        return false;
    out.kind = LineKind::Start;
    out.year = year;
    out.month = month;
    out.day = day;
    out.timeMs = ((h * 60 + mi) * 60 + sec) * 1000;
    return true;
}

bool isStartBlockLine(std::string_view s)
{
    if (s.empty() || s == "Nastaveni:" || startsWith(s, "RequestPath: \"") || startsWith(s, "Trovan: \""))
        return true;
    if (s.find_first_not_of('-') == std::string_view::npos)
        return true;
    const auto eq = s.find('=');
    if (eq == std::string_view::npos)
        return false;
    for (const std::string_view key : kSummaryKeys)
        if (s.substr(0, eq) == key)
            return true;
    return false;
}

}  // namespace

LogLine classifyLine(std::string_view s, bool complete)
{
    LogLine out;
    if (s.size() >= kStampBytes && s[0] == '[') {
        const char* p = s.data();
        if (digit(p[1]) && digit(p[2]) && p[3] == ':' && digit(p[4]) && digit(p[5]) && p[6] == ':' && digit(p[7]) &&
            digit(p[8]) && p[9] == '.' && digit(p[10]) && digit(p[11]) && digit(p[12]) && p[13] == ']' &&
            p[14] == ' ') {
            const int h = two(p + 1), mi = two(p + 4), sec = two(p + 7);
            if (h < 24 && mi < 60 && sec < 60) {
                out.kind = LineKind::Timed;
                out.timeMs = ((h * 60 + mi) * 60 + sec) * 1000 + (p[10] - '0') * 100 + two(p + 11);
                out.event = eventOf(s.substr(kStampBytes), complete);
            }
        }
        return out;
    }
    if (!complete)
        return out;
    if (isStart(s, out))
        return out;
    if (isStartBlockLine(s))
        out.kind = LineKind::Untimed;
    return out;
}

}  // namespace ovin::report
