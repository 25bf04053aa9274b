// The alert command and the web hook on Linux, on real processes and a socket of the test's own.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/linux/CurlHttpClient.h"
#include "platform/linux/LinuxCommandRunner.h"

namespace ovin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

std::string slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool alive(pid_t pid) { return ::kill(pid, 0) == 0; }

class CommandFixture : public ::testing::Test {
protected:
    CommandFixture()
    {
        dir = fs::temp_directory_path() / ("ovin-alert-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~CommandFixture() override { fs::remove_all(dir); }

    fs::path script(const std::string& name, const std::string& body, fs::perms perms = fs::perms::owner_all)
    {
        const fs::path p = dir / name;
        std::ofstream(p) << "#!/bin/sh\n" << body;
        fs::permissions(p, perms);
        return p;
    }

    fs::path dir;
};

TEST_F(CommandFixture, ACommandThatHangsIsEndedWithWhatItStartedAfterTheLimit)
{
    const fs::path s = script("visi.sh", "echo $$ > pid\nsleep 100 &\necho $! > child\nwait\n");
    LinuxCommandRunner runner(300ms);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(runner.start(s.string(), dir.string(), {}, "OVIN_LOG_TAIL", "x\r\n").ok);
    EXPECT_LT(std::chrono::steady_clock::now() - began, 1s) << "the start waits for nothing";
    ASSERT_TRUE(waitFor([&] { return fs::exists(dir / "child") && fs::file_size(dir / "child") > 0; }, 5s));
    const pid_t shell = std::stoi(slurp(dir / "pid"));
    const pid_t child = std::stoi(slurp(dir / "child"));
    EXPECT_TRUE(alive(child));
    EXPECT_TRUE(waitFor([&] { return !alive(shell) && !alive(child); }, 5s));
}

TEST_F(CommandFixture, ACommandThatCannotStartSaysWhy)
{
    struct Row {
        const char* name;
        fs::perms perms;
        const char* error;
    };
    const Row rows[] = {
        {"neni-spustitelny.sh", fs::perms::owner_read | fs::perms::owner_write, "Permission denied"},
        {"chybi.sh", fs::perms::none, "No such file or directory"},
    };
    LinuxCommandRunner runner;
    for (const Row& row : rows) {
        fs::path p = dir / row.name;
        if (row.perms != fs::perms::none)
            p = script(row.name, "exit 0\n", row.perms);
        const Result r = runner.start(p.string(), dir.string(), {}, "OVIN_LOG_TAIL", "");
        EXPECT_FALSE(r.ok) << row.name;
        EXPECT_EQ(r.error, row.error) << row.name;
    }
}

// A server socket on loopback: it answers with `answer`, or, without one, takes connections and never answers.
class Socket {
public:
    explicit Socket(std::string answer = {}) : m_answer(std::move(answer))
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_fd, 8);
        socklen_t len = sizeof a;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        if (!m_answer.empty())
            m_thread = std::thread([this] { serve(); });
    }
    ~Socket()
    {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        if (m_thread.joinable())
            m_thread.join();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/hook"; }
    std::string request()
    {
        const std::lock_guard lock(m_mutex);
        return m_request;
    }

private:
    void serve()
    {
        const int c = ::accept(m_fd, nullptr, nullptr);
        if (c < 0)
            return;
        std::string got;
        char buf[4096];
        // Headers and a short body arrive together; read until the body's end brace.
        while (got.find('}') == std::string::npos) {
            const ssize_t n = ::read(c, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        {
            const std::lock_guard lock(m_mutex);
            m_request = got;
        }
        [[maybe_unused]] const ssize_t w = ::write(c, m_answer.data(), m_answer.size());
        ::close(c);
    }

    int m_fd = -1;
    int m_port = 0;
    std::string m_answer;
    std::thread m_thread;
    std::mutex m_mutex;
    std::string m_request;
};

TEST(CurlHttpClient, EachOutcomeIsToldByItsKind)
{
    CurlHttpClient http;
    const std::atomic<bool> no{false};
    {
        Socket ok("HTTP/1.1 204 No Content\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        const HttpOutcome o = http.postJson(ok.url(), R"({"event":"stall"})", 5000, no);
        EXPECT_TRUE(o.ok()) << o.error;
        EXPECT_EQ(o.status, 204);
        const std::string req = ok.request();
        EXPECT_TRUE(req.starts_with("POST /hook HTTP/1.1\r\n")) << req;
        EXPECT_NE(req.find("Content-Type: application/json; charset=utf-8\r\n"), std::string::npos) << req;
        EXPECT_TRUE(req.ends_with(R"({"event":"stall"})")) << req;
    }
    {
        Socket error("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 2\r\nConnection: close\r\n\r\nno");
        const HttpOutcome o = http.postJson(error.url(), "{}", 5000, no);
        EXPECT_EQ(o.failure, HttpFailure::HttpError);
        EXPECT_EQ(o.status, 500);
    }
    std::string closedUrl;
    {
        Socket gone;
        closedUrl = gone.url();
    }
    EXPECT_EQ(http.postJson(closedUrl, "{}", 5000, no).failure, HttpFailure::Refused);
    {
        Socket silent;
        const auto began = std::chrono::steady_clock::now();
        EXPECT_EQ(http.postJson(silent.url(), "{}", 400, no).failure, HttpFailure::NoAnswer);
        EXPECT_LT(std::chrono::steady_clock::now() - began, 3s);
    }
    EXPECT_EQ(http.postJson("https://[::1", "{}", 400, no).failure, HttpFailure::Other);
}

TEST(CurlHttpClient, ACancelEndsAPostThatWaitsForAnAnswer)
{
    CurlHttpClient http;
    Socket silent;
    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(200ms);
        cancel = true;
    });
    const auto began = std::chrono::steady_clock::now();
    const HttpOutcome o = http.postJson(silent.url(), "{}", 30000, cancel);
    canceller.join();
    EXPECT_FALSE(o.ok());
    EXPECT_LT(std::chrono::steady_clock::now() - began, 3s);
}

}  // namespace
}  // namespace ovin
