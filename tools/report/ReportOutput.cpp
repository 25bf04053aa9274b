#include "ReportOutput.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ovin::report {

namespace {

std::string num(std::int64_t v) { return std::to_string(v); }

std::int64_t seconds(std::int64_t ms) { return (ms + 500) / 1000; }

std::string fixed2(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// "H:MM:SS", short enough for a column.
std::string clock(std::int64_t ms)
{
    const std::int64_t s = seconds(ms);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return buf;
}

std::string availabilityText(const Figures& f)
{
    const auto a = f.availability();
    return a ? fixed2(*a) + " %" : "–";
}

// Characters on the screen: UTF-8 continuation bytes take no column.
std::size_t columns(const std::string& s)
{
    std::size_t n = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

std::string padLeft(const std::string& s, std::size_t width)
{
    const std::size_t w = columns(s);
    return w >= width ? s : std::string(width - w, ' ') + s;
}

std::string padRight(const std::string& s, std::size_t width)
{
    const std::size_t w = columns(s);
    return w >= width ? s : s + std::string(width - w, ' ');
}

struct Column {
    const char* heading;
    std::string (*cell)(const Figures&);
};

const Column kColumns[] = {
    {"Starty", [](const Figures& f) { return num(f.starts); }},
    {"Zaseknutí", [](const Figures& f) { return num(f.stalls); }},
    {"Ukončení", [](const Figures& f) { return num(f.kills); }},
    {"Spuštění", [](const Figures& f) { return num(f.launches); }},
    {"Nespuštěno", [](const Figures& f) { return num(f.launchFailures); }},
    {"Chybí exe", [](const Figures& f) { return num(f.missingExe); }},
    {"Pády", [](const Figures& f) { return num(f.crashes); }},
    {"Výpadek", [](const Figures& f) { return clock(f.downtimeMs); }},
    {"Bez dozoru", [](const Figures& f) { return clock(f.unwatchedMs); }},
    {"Dostupnost", [](const Figures& f) { return availabilityText(f); }},
};

std::string tableRow(const std::string& first, std::size_t firstWidth, const Figures& f)
{
    std::string row = padRight(first, firstWidth);
    for (const Column& c : kColumns) {
        const std::size_t width = std::max<std::size_t>(columns(c.heading), 9);
        row += "  " + padLeft(c.cell(f), width);
    }
    return row + "\n";
}

std::string tableHeading(const std::string& first, std::size_t firstWidth)
{
    std::string row = padRight(first, firstWidth);
    for (const Column& c : kColumns)
        row += "  " + padLeft(c.heading, std::max<std::size_t>(columns(c.heading), 9));
    return row + "\n";
}

std::string periodText(const MachineReport& m)
{
    if (m.days.empty())
        return "žádné dny";
    return dateText(m.days.front().day) + " až " + dateText(m.days.back().day);
}

std::string reasonText(Undated::Reason r)
{
    switch (r) {
    case Undated::Reason::NoStart:
        return "řádky před prvním START";
    case Undated::Reason::Overlap:
        return "běh podle času přesahuje další START";
    case Undated::Reason::Month:
        return "poslední řádek podle času leží mimo měsíc souboru";
    }
    return "";
}

std::string undatedText(const Undated& u)
{
    std::string s = "Nelze jistě datovat (" + reasonText(u.reason) + ")";
    if (u.reason == Undated::Reason::NoStart)
        s += ": " + num(u.lines) + " řádků";
    else
        s += ": běh od " + dateTimeText(u.fromMs) + " do " + dateTimeText(u.toMs) +
             " (mezi řádky mohl uplynout víc než den)";
    if (!u.file.empty())
        s += ", soubor " + u.file;
    return s;
}

std::string notes(const MachineReport& m)
{
    std::string s;
    if (m.longestOutageMs > 0)
        s += "Nejdelší výpadek: " + durationText(m.longestOutageMs) + " od " + dateTimeText(m.longestOutageFromMs) +
             "\n";
    if (m.unreadable > 0)
        s += "Nečitelné řádky (přeskočeny): " + num(m.unreadable) + "\n";
    for (const Undated& u : m.undated)
        s += undatedText(u) + "\n";
    return s;
}

const char* reasonKey(Undated::Reason r)
{
    switch (r) {
    case Undated::Reason::NoStart:
        return "no_start";
    case Undated::Reason::Overlap:
        return "overlap";
    case Undated::Reason::Month:
        return "outside_month";
    }
    return "";
}

std::string jsonString(const std::string& s)
{
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string jsonFigures(const Figures& f)
{
    const auto a = f.availability();
    return "\"starts\": " + num(f.starts) + ", \"stalls\": " + num(f.stalls) + ", \"kills\": " + num(f.kills) +
           ", \"launches\": " + num(f.launches) + ", \"launch_failures\": " + num(f.launchFailures) +
           ", \"missing_exe\": " + num(f.missingExe) + ", \"crashes\": " + num(f.crashes) +
           ", \"downtime_s\": " + num(seconds(f.downtimeMs)) + ", \"unwatched_s\": " + num(seconds(f.unwatchedMs)) +
           ", \"availability\": " + (a ? fixed2(*a) : std::string("null"));
}

std::string csvField(const std::string& s)
{
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// ---- the page ----

// Escapes markup and turns every character outside ASCII into a reference.
std::string html(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        unsigned cp = len == 1 ? 0xFFFD : c & (0x7F >> len);
        for (int k = 1; k < len; ++k) {
            const auto b = i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
            if ((b & 0xC0) != 0x80) {
                cp = 0xFFFD;
                len = k;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        out += "&#" + std::to_string(cp) + ";";
        i += static_cast<std::size_t>(len);
    }
    return out;
}

constexpr int kChartWidth = 960;
constexpr int kChartHeight = 280;
constexpr int kLeft = 48, kRight = 64, kTop = 16, kBottom = 56;

struct BarPart {
    std::int64_t Figures::*field;
    const char* colour;
    const char* label;
};
const BarPart kBars[] = {
    {&Figures::stalls, "#e8a33d", "Zaseknutí"},
    {&Figures::crashes, "#c8423b", "Pády"},
    {&Figures::launchFailures, "#7b4fa3", "Nespuštěno"},
};
constexpr const char* kDowntimeColour = "#2f6db5";

// A round step (1, 2 or 5 times a power of ten) that reaches `top` in at most
// five steps.
std::int64_t axisStep(double top)
{
    for (std::int64_t magnitude = 1;; magnitude *= 10)
        for (const std::int64_t f : {1, 2, 5})
            if (top / static_cast<double>(magnitude * f) <= 5)
                return magnitude * f;
}

std::string chart(const MachineReport& m)
{
    const int n = static_cast<int>(m.days.size());
    std::int64_t maxCount = 1;
    std::int64_t maxDownMin = 1;
    for (const DayRow& r : m.days) {
        std::int64_t sum = 0;
        for (const BarPart& b : kBars)
            sum += r.figures.*(b.field);
        maxCount = std::max(maxCount, sum);
        maxDownMin = std::max(maxDownMin, (r.figures.downtimeMs + 59'999) / 60'000);
    }
    const std::int64_t countStep = axisStep(static_cast<double>(maxCount));
    const std::int64_t countTop = (maxCount + countStep - 1) / countStep * countStep;
    const std::int64_t minStep = axisStep(static_cast<double>(maxDownMin));
    const std::int64_t minTop = (maxDownMin + minStep - 1) / minStep * minStep;

    const double plotW = kChartWidth - kLeft - kRight;
    const double plotH = kChartHeight - kTop - kBottom;
    const double slot = n > 0 ? plotW / n : plotW;
    const double barW = std::clamp(slot * 0.7, 1.0, 40.0);
    auto x = [&](int i) { return kLeft + slot * i + (slot - barW) / 2; };
    auto yCount = [&](double v) { return kTop + plotH - plotH * v / static_cast<double>(countTop); };
    auto yMin = [&](double v) { return kTop + plotH - plotH * v / static_cast<double>(minTop); };
    char buf[512];

    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(kChartWidth) + "\" height=\"" +
                    num(kChartHeight) + "\" viewBox=\"0 0 " + num(kChartWidth) + " " + num(kChartHeight) +
                    "\" role=\"img\" font-family=\"sans-serif\" font-size=\"11\">\n";
    for (std::int64_t v = 0; v <= countTop; v += countStep) {
        const double y = yCount(static_cast<double>(v));
        std::snprintf(buf, sizeof buf,
                      "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" stroke=\"#ddd\"/><text x=\"%d\" y=\"%.1f\" "
                      "text-anchor=\"end\">%lld</text>\n",
                      kLeft, y, kChartWidth - kRight, y, kLeft - 6, y + 4, static_cast<long long>(v));
        s += buf;
    }
    for (std::int64_t v = 0; v <= minTop; v += minStep) {
        std::snprintf(buf, sizeof buf, "<text x=\"%d\" y=\"%.1f\" fill=\"%s\">%lld min</text>\n",
                      kChartWidth - kRight + 6, yMin(static_cast<double>(v)) + 4, kDowntimeColour,
                      static_cast<long long>(v));
        s += buf;
    }
    const int labelEvery = std::max(1, n / 16);
    std::string line;
    for (int i = 0; i < n; ++i) {
        const Figures& f = m.days[i].figures;
        double base = 0;
        for (const BarPart& b : kBars) {
            const auto v = static_cast<double>(f.*(b.field));
            if (v <= 0)
                continue;
            std::snprintf(buf, sizeof buf,
                          "<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"><title>", x(i),
                          yCount(base + v), barW, yCount(base) - yCount(base + v), b.colour);
            s += buf;
            s += html(dateText(m.days[i].day) + ": " + b.label + " " + num(f.*(b.field))) + "</title></rect>\n";
            base += v;
        }
        const double cx = x(i) + barW / 2;
        std::snprintf(buf, sizeof buf, "%s%.1f,%.1f", line.empty() ? "" : " ", cx,
                      yMin(static_cast<double>(f.downtimeMs) / 60'000.0));
        line += buf;
        if (i % labelEvery == 0) {
            const Date d = dateFromDay(m.days[i].day);
            std::snprintf(buf, sizeof buf, "<text x=\"%.1f\" y=\"%d\" text-anchor=\"middle\">%d.%d.</text>\n", cx,
                          kChartHeight - kBottom + 16, d.day, d.month);
            s += buf;
        }
    }
    if (!line.empty()) {
        s += "<polyline fill=\"none\" stroke=\"" + std::string(kDowntimeColour) + "\" stroke-width=\"2\" points=\"" +
             line + "\"/>\n";
    }
    std::snprintf(buf, sizeof buf, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" stroke=\"#888\"/>\n", kLeft,
                  kTop + plotH, kChartWidth - kRight, kTop + plotH);
    s += buf;
    int lx = kLeft;
    const int ly = kChartHeight - 14;
    for (const BarPart& b : kBars) {
        std::snprintf(buf, sizeof buf, "<rect x=\"%d\" y=\"%d\" width=\"12\" height=\"12\" fill=\"%s\"/>", lx, ly - 10,
                      b.colour);
        s += buf;
        s += "<text x=\"" + num(lx + 16) + "\" y=\"" + num(ly) + "\">" + html(b.label) + "</text>\n";
        lx += 120;
    }
    std::snprintf(buf, sizeof buf, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"2\"/>",
                  lx, ly - 4, lx + 14, ly - 4, kDowntimeColour);
    s += buf;
    s += "<text x=\"" + num(lx + 18) + "\" y=\"" + num(ly) + "\">" + html("Výpadek za den (min, pravá osa)") +
         "</text>\n";
    return s + "</svg>\n";
}

std::string htmlRow(const std::string& first, const Figures& f, const char* cls)
{
    std::string s =
        std::string("<tr") + (cls ? std::string(" class=\"") + cls + "\"" : "") + "><th>" + html(first) + "</th>";
    for (const Column& c : kColumns)
        s += "<td>" + html(c.cell(f)) + "</td>";
    return s + "</tr>\n";
}

std::string htmlHeading(const std::string& first)
{
    std::string s = "<tr><th>" + html(first) + "</th>";
    for (const Column& c : kColumns)
        s += "<th>" + html(c.heading) + "</th>";
    return s + "</tr>\n";
}

}  // namespace

std::vector<const MachineReport*> fleetOrder(const std::vector<MachineReport>& machines)
{
    std::vector<const MachineReport*> order;
    for (const MachineReport& m : machines)
        order.push_back(&m);
    std::stable_sort(order.begin(), order.end(), [](const MachineReport* a, const MachineReport* b) {
        const double av = a->totals.availability().value_or(101.0);
        const double bv = b->totals.availability().value_or(101.0);
        if (av != bv)
            return av < bv;
        return a->name < b->name;
    });
    return order;
}

std::string tableText(const std::vector<MachineReport>& machines)
{
    std::string s;
    if (machines.size() == 1) {
        const MachineReport& m = machines.front();
        s += "Ovin – přehled: " + m.name + " (" + periodText(m) + ")\n\n";
        s += tableHeading("Datum", 10);
        for (const DayRow& r : m.days)
            s += tableRow(dateText(r.day), 10, r.figures);
        s += tableRow("Celkem", 10, m.totals);
        s += "\n" + notes(m);
        return s;
    }
    std::size_t width = columns("Stroj");
    for (const MachineReport& m : machines)
        width = std::max(width, columns(m.name));
    s += "Ovin – přehled strojů (nejhorší dostupnost první)\n\n";
    s += tableHeading("Stroj", width);
    for (const MachineReport* m : fleetOrder(machines))
        s += tableRow(m->name, width, m->totals);
    for (const MachineReport* m : fleetOrder(machines)) {
        const std::string n = notes(*m);
        if (!n.empty())
            s += "\n" + m->name + " (" + periodText(*m) + "):\n" + n;
    }
    return s;
}

std::string csvText(const std::vector<MachineReport>& machines)
{
    std::string s = "machine,date,starts,stalls,kills,launches,launch_failures,missing_exe,crashes,downtime_s,"
                    "unwatched_s,availability\n";
    for (const MachineReport& m : machines) {
        for (const DayRow& r : m.days) {
            const Figures& f = r.figures;
            const auto a = f.availability();
            s += csvField(m.name) + "," + dateText(r.day) + "," + num(f.starts) + "," + num(f.stalls) + "," +
                 num(f.kills) + "," + num(f.launches) + "," + num(f.launchFailures) + "," + num(f.missingExe) + "," +
                 num(f.crashes) + "," + num(seconds(f.downtimeMs)) + "," + num(seconds(f.unwatchedMs)) + "," +
                 (a ? fixed2(*a) : std::string()) + "\n";
        }
    }
    return s;
}

std::string jsonText(const std::vector<MachineReport>& machines)
{
    std::string s = "{\"machines\": [";
    bool firstMachine = true;
    for (const MachineReport& m : machines) {
        s += firstMachine ? "\n" : ",\n";
        firstMachine = false;
        s += "  {\"name\": " + jsonString(m.name) + ",\n   \"totals\": {" + jsonFigures(m.totals) +
             ", \"longest_outage_s\": " + num(seconds(m.longestOutageMs)) + ", \"longest_outage_start\": " +
             (m.longestOutageMs > 0 ? jsonString(dateTimeText(m.longestOutageFromMs)) : std::string("null")) +
             ", \"unreadable_lines\": " + num(m.unreadable) + "},\n   \"days\": [";
        for (std::size_t i = 0; i < m.days.size(); ++i)
            s += std::string(i ? ",\n     " : "\n     ") + "{\"date\": \"" + dateText(m.days[i].day) + "\", " +
                 jsonFigures(m.days[i].figures) + "}";
        s += "],\n   \"undated\": [";
        for (std::size_t i = 0; i < m.undated.size(); ++i) {
            const Undated& u = m.undated[i];
            s += std::string(i ? ",\n     " : "\n     ") + "{\"reason\": \"" + reasonKey(u.reason) +
                 "\", \"file\": " + jsonString(u.file);
            if (u.reason == Undated::Reason::NoStart)
                s += ", \"lines\": " + num(u.lines) + "}";
            else
                s += ", \"from\": " + jsonString(dateTimeText(u.fromMs)) +
                     ", \"to\": " + jsonString(dateTimeText(u.toMs)) + "}";
        }
        s += "]}";
    }
    return s + "\n]}\n";
}

std::string htmlPage(const std::vector<MachineReport>& machines)
{
    std::string s = "<!DOCTYPE html>\n<html lang=\"cs\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                    html("Ovin – přehled") +
                    "</title>\n<style>\n"
                    "body{font-family:sans-serif;margin:24px;color:#222;background:#fff}\n"
                    "h1{font-size:22px;margin:0 0 12px}h2{font-size:18px;margin:28px 0 6px}\n"
                    "table{border-collapse:collapse;font-size:13px;margin:8px 0}\n"
                    "th,td{border:1px solid #ccc;padding:3px 8px;text-align:right}\n"
                    "tr>th:first-child{text-align:left}thead th{background:#f0f0f0}\n"
                    "tr.total{font-weight:bold;background:#f7f7f7}p.note{margin:4px 0;font-size:13px}\n"
                    "p.warn{color:#a33}p.sum{font-size:15px;margin:0 0 8px}\n</style>\n</head>\n<body>\n<h1>" +
                    html("Ovin – přehled") + "</h1>\n";
    if (machines.size() > 1) {
        s += "<h2>" + html("Stroje (nejhorší dostupnost první)") + "</h2>\n<table><thead>" + htmlHeading("Stroj") +
             "</thead><tbody>\n";
        for (const MachineReport* m : fleetOrder(machines))
            s += htmlRow(m->name, m->totals, nullptr);
        s += "</tbody></table>\n";
    }
    for (const MachineReport* m : fleetOrder(machines)) {
        s += "<section>\n<h2>" + html(m->name) + " <small>(" + html(periodText(*m)) + ")</small></h2>\n";
        s += "<p class=\"sum\">" +
             html("Dostupnost " + availabilityText(m->totals) + " · zaseknutí " + num(m->totals.stalls) + " · pády " +
                  num(m->totals.crashes) + " · nespuštěno " + num(m->totals.launchFailures) + " · výpadek celkem " +
                  durationText(m->totals.downtimeMs) + " · bez dozoru " + durationText(m->totals.unwatchedMs)) +
             "</p>\n";
        s += chart(*m);
        s += "<table><thead>" + htmlHeading("Datum") + "</thead><tbody>\n";
        for (const DayRow& r : m->days)
            s += htmlRow(dateText(r.day), r.figures, nullptr);
        s += htmlRow("Celkem", m->totals, "total");
        s += "</tbody></table>\n";
        if (m->longestOutageMs > 0)
            s += "<p class=\"note\">" +
                 html("Nejdelší výpadek: " + durationText(m->longestOutageMs) + " od " +
                      dateTimeText(m->longestOutageFromMs)) +
                 "</p>\n";
        if (m->unreadable > 0)
            s += "<p class=\"note\">" + html("Nečitelné řádky (přeskočeny): " + num(m->unreadable)) + "</p>\n";
        for (const Undated& u : m->undated)
            s += "<p class=\"note warn\">" + html(undatedText(u)) + "</p>\n";
        s += "</section>\n";
    }
    return s + "</body>\n</html>\n";
}

}  // namespace ovin::report
