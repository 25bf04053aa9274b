#include "ReportCommand.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "LogScanner.h"
#include "ReportOutput.h"
#include "platform/FileSystem.h"

namespace ovin::report {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUsage =
    "Použití: ovin-report [--from RRRR-MM-DD] [--to RRRR-MM-DD] [--csv | --json | --html SOUBOR]\n"
    "                     [--name JMÉNO] SLOŽKA|SOUBOR ...\n"
    "Spočítá zaseknutí, restarty a výpadky routeru po dnech z měsíčních logů Ovinu\n"
    "(ovinRRRRMM.log). Složka znamená všechny měsíční logy v ní; --name pojmenuje stroj\n"
    "následující složky (jinak její poslední část).\n";

// Paths are UTF-8 inside the program; the standard library takes them as such
// only when told.
fs::path toPath(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string fromPath(const fs::path& p)
{
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

struct Machine {
    std::string name;
    std::vector<std::string> files;
    std::vector<std::string> messages;  // what could not be read, in order
};

struct MachineResult {
    MachineReport report;
    std::vector<std::string> messages;
};

std::vector<std::string> monthFilesIn(const fs::path& folder, std::string& error)
{
    std::vector<std::string> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        error = ec.message();
        return files;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            error = ec.message();
            break;
        }
        const std::string name = fromPath(it->path().filename());
        if (monthOfLogName(name))
            files.push_back(fromPath(it->path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

MachineResult readMachine(const Machine& machine, const FileSystem& files, const Period& period)
{
    MachineResult result;
    result.messages = machine.messages;
    std::vector<FileScan> scans;
    for (const std::string& file : machine.files) {
        // A file holds nothing later than its own month, so one wholly
        // before the period can be passed over.
        if (const auto month = monthOfLogName(file); month && period.from && *month < monthOfDay(*period.from))
            continue;
        LogScanner scanner(file);
        const Result read = files.readChunks(file, [&](std::string_view piece) {
            scanner.feed(piece);
            return true;
        });
        if (!read.ok) {
            result.messages.push_back("Nelze číst soubor \"" + file + "\": " + read.error + "\n");
            continue;
        }
        scans.push_back(scanner.finish());
        ++result.report.filesRead;
    }
    const int read = result.report.filesRead;
    result.report = summarizeMachine(machine.name, std::move(scans), period);
    result.report.filesRead = read;
    return result;
}

}  // namespace

std::string defaultMachineName(const std::string& path, bool isFolder)
{
    std::error_code ec;
    fs::path p = fs::absolute(toPath(path), ec);
    if (ec)
        p = toPath(path);
    p = p.lexically_normal();
    if (!p.has_filename())
        p = p.parent_path();
    if (!isFolder)
        p = p.parent_path();
    const std::string name = fromPath(p.filename());
    return name.empty() ? fromPath(p) : name;
}

std::variant<Options, std::string> parseArguments(const std::vector<std::string>& args)
{
    Options o;
    std::string pendingName;
    bool formatGiven = false;
    auto setFormat = [&](Format f) -> bool {
        if (formatGiven)
            return false;
        formatGiven = true;
        o.format = f;
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) -> bool {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        if (a == "-h" || a == "--help") {
            o.help = true;
        } else if (a == "--from" || a == "--to") {
            std::string text;
            if (!value(text))
                return "Chybí datum za " + a + "\n";
            const auto day = parseDate(text);
            if (!day)
                return "Neplatné datum \"" + text + "\" za " + a + " (čekám RRRR-MM-DD)\n";
            (a == "--from" ? o.period.from : o.period.to) = *day;
        } else if (a == "--csv" || a == "--json") {
            if (!setFormat(a == "--csv" ? Format::Csv : Format::Json))
                return "Zadejte jen jeden z přepínačů --csv, --json a --html\n";
        } else if (a == "--html") {
            if (!value(o.htmlFile) || o.htmlFile.empty())
                return "Chybí soubor za --html\n";
            if (!setFormat(Format::Html))
                return "Zadejte jen jeden z přepínačů --csv, --json a --html\n";
        } else if (a == "--name") {
            if (!value(pendingName) || pendingName.empty())
                return "Chybí jméno za --name\n";
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            return "Neznámý přepínač \"" + a + "\"\n";
        } else {
            if (a == "--") {
                for (++i; i < args.size(); ++i) {
                    o.sources.push_back({args[i], pendingName});
                    pendingName.clear();
                }
                break;
            }
            o.sources.push_back({a, pendingName});
            pendingName.clear();
        }
    }
    if (o.help)
        return o;
    if (!pendingName.empty())
        return "Za --name " + pendingName + " chybí složka nebo soubor\n";
    if (o.sources.empty())
        return "Zadejte aspoň jednu složku nebo měsíční log\n";
    if (o.period.from && o.period.to && *o.period.from > *o.period.to)
        return "Datum --from je až po --to\n";
    return o;
}

int runReport(const std::vector<std::string>& args, FileSystem& files, Console& console)
{
    auto parsed = parseArguments(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        console.err("ovin-report: " + *error);
        console.err(kUsage);
        return kExitUsage;
    }
    const Options& o = std::get<Options>(parsed);
    if (o.help) {
        console.out(kUsage);
        return kExitOk;
    }

    // Sources of one name are one machine, in the order they were named.
    std::vector<Machine> machines;
    std::map<std::string, std::size_t> byName;
    for (const Source& s : o.sources) {
        std::error_code ec;
        const auto status = fs::status(toPath(s.path), ec);
        const bool isFolder = !ec && fs::is_directory(status);
        const std::string name = s.name.empty() ? defaultMachineName(s.path, isFolder) : s.name;
        auto [it, added] = byName.try_emplace(name, machines.size());
        if (added)
            machines.push_back({name, {}, {}});
        Machine& m = machines[it->second];
        if (!isFolder) {
            m.files.push_back(s.path);
            continue;
        }
        std::string error;
        std::vector<std::string> found = monthFilesIn(toPath(s.path), error);
        if (!error.empty())
            m.messages.push_back("Nelze číst složku \"" + s.path + "\": " + error + "\n");
        else if (found.empty())
            m.messages.push_back("Ve složce \"" + s.path + "\" není žádný měsíční log (ovinRRRRMM.log)\n");
        m.files.insert(m.files.end(), found.begin(), found.end());
    }

    // Each machine on a core of its own, as many at once as there are cores.
    std::vector<MachineResult> results(machines.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next++) < machines.size();)
            results[i] = readMachine(machines[i], files, o.period);
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < std::min(cores, machines.size()); ++t)
        workers.emplace_back(work);
    work();
    for (std::thread& w : workers)
        w.join();

    std::vector<MachineReport> reports;
    for (MachineResult& r : results) {
        for (const std::string& m : r.messages)
            console.err("ovin-report: " + m);
        if (r.report.filesRead > 0)
            reports.push_back(std::move(r.report));
    }
    if (reports.empty()) {
        console.err("ovin-report: nebylo co číst\n");
        return kExitNothingRead;
    }
    switch (o.format) {
    case Format::Table:
        console.out(tableText(reports));
        break;
    case Format::Csv:
        console.out(csvText(reports));
        break;
    case Format::Json:
        console.out(jsonText(reports));
        break;
    case Format::Html:
        if (const Result written = files.replaceFile(o.htmlFile, htmlPage(reports)); !written.ok) {
            console.err("ovin-report: Nelze zapsat soubor \"" + o.htmlFile + "\": " + written.error + "\n");
            return kExitNotWritten;
        }
        break;
    }
    return kExitOk;
}

}  // namespace ovin::report
