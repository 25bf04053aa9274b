#include "E2eSupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace ovin::e2e {

TempFolder::TempFolder()
{
    std::string tmpl = (fs::temp_directory_path() / "ovin-e2e-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = tmpl;
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

Process::Process(const fs::path& exe, const std::vector<std::string>& args, const fs::path& folder, const XServer& x)
    : Process(exe, args, folder, {"QT_QPA_PLATFORM=xcb", x.env()})
{
}

Process::Process(const fs::path& exe, const std::vector<std::string>& args, const fs::path& folder,
                 const std::vector<std::string>& extraEnv)
{
    std::vector<std::string> argStore{exe.string()};
    argStore.insert(argStore.end(), args.begin(), args.end());
    m_pid = fork();
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
    if (m_pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        for (const auto& kv : extraEnv) {
            const auto eq = kv.find('=');
            setenv(kv.substr(0, eq).c_str(), kv.substr(eq + 1).c_str(), 1);
        }
        std::vector<char*> argv;
        for (auto& a : argStore)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

Process::~Process()
{
    if (!m_reaped) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void Process::signal(int sig) const { kill(m_pid, sig); }

std::optional<int> Process::waitExit(std::chrono::milliseconds timeout)
{
    if (m_reaped)
        return std::nullopt;
    std::optional<int> code;
    waitFor(
        [&] {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) != m_pid)
                return false;
            m_reaped = true;
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        },
        timeout);
    return code;
}

XServer::XServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    m_pid = fork();
    if (m_pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes the display number it took once it accepts clients.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    m_display = ":" + number;
}

XServer::~XServer()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
}

std::string XServer::run(const std::string& command) const
{
    const std::string line = "DISPLAY=" + m_display + " timeout 10 " + command + " 2>/dev/null";
    std::string out;
    if (FILE* p = popen(line.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

bool XServer::windowVisible(const std::string& title) const
{
    return !run("xdotool search --onlyvisible --name '^" + title + "$'").empty();
}

std::vector<XServer::Pixel> XServer::grab(int x, int y, int width, int height) const
{
    const std::string geometry =
        std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
    std::istringstream text(run("import -window root -crop " + geometry + " -depth 8 txt:-"));
    std::vector<Pixel> pixels;
    std::string line;
    // Lines look like "12,3: (166,202,240)  #A6CAF0  srgb(166,202,240)".
    while (std::getline(text, line)) {
        Pixel p{};
        if (std::sscanf(line.c_str(), "%d,%d: (%d,%d,%d", &p.x, &p.y, &p.r, &p.g, &p.b) == 5) {
            p.x += x;
            p.y += y;
            pixels.push_back(p);
        }
    }
    return pixels;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

fs::path installOvin(const fs::path& folder)
{
    const fs::path target = folder / "ovin";
    fs::copy_file(OVIN_EXE, target, fs::copy_options::overwrite_existing);
    return target;
}

fs::path installSmallLogOvin(const fs::path& folder)
{
    const fs::path target = folder / "ovin";
    fs::copy_file(OVIN_SMALL_LOG_EXE, target, fs::copy_options::overwrite_existing);
    return target;
}

fs::path installRouter(const fs::path& folder)
{
    const fs::path target = folder / "trovan.exe";
    fs::copy_file(TROVAN_EXE, target, fs::copy_options::overwrite_existing);
    return target;
}

std::vector<pid_t> processesIn(const fs::path& folder)
{
    std::vector<pid_t> found;
    const std::string prefix = fs::canonical(folder).string() + "/";
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ec;
        const fs::path exe = fs::read_symlink(entry.path() / "exe", ec);
        if (!ec && exe.string().rfind(prefix, 0) == 0 && processState(std::stoi(name)) != 'Z')
            found.push_back(std::stoi(name));
    }
    return found;
}

namespace {

// The fields of /proc/PID/stat after the command name.
std::vector<std::string> statFields(pid_t pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos)
        return fields;
    std::istringstream in(stat.substr(close + 2));
    std::string field;
    while (in >> field)
        fields.push_back(field);
    return fields;
}

}  // namespace

char processState(pid_t pid)
{
    const auto fields = statFields(pid);
    return fields.empty() ? 0 : fields[0][0];
}

pid_t parentOf(pid_t pid)
{
    const auto fields = statFields(pid);
    return fields.size() < 2 ? 0 : std::stoi(fields[1]);
}

void killProcessesIn(const fs::path& folder)
{
    for (const pid_t pid : processesIn(folder))
        kill(pid, SIGKILL);
    waitFor([&] { return processesIn(folder).empty(); }, 5s);
}

std::string monthFileName()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "ovin%Y%m.log", &local);
    return buf;
}

int countOf(const std::string& text, const std::string& needle)
{
    int n = 0;
    for (auto pos = text.find(needle); pos != std::string::npos; pos = text.find(needle, pos + 1))
        ++n;
    return n;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto br = text.find("\r\n", pos);
        if (br == std::string::npos) {
            out.push_back(text.substr(pos));
            break;
        }
        out.push_back(text.substr(pos, br - pos));
        pos = br + 2;
    }
    return out;
}

std::vector<std::string> messages(const std::string& text)
{
    std::vector<std::string> out;
    static const std::regex stamp(R"(^\[\d\d:\d\d:\d\d\.\d{3}\] )");
    for (const auto& line : lines(text))
        out.push_back(std::regex_replace(line, stamp, ""));
    return out;
}

bool contains(const std::vector<std::string>& haystack, const std::vector<std::string>& sequence)
{
    return std::search(haystack.begin(), haystack.end(), sequence.begin(), sequence.end()) != haystack.end();
}

}  // namespace ovin::e2e
