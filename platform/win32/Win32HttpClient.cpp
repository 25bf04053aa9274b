#include "Win32HttpClient.h"

#include <windows.h>

#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "Win32Text.h"

namespace ovin {

namespace {

class InternetHandle final {
public:
    explicit InternetHandle(HINTERNET h) : m_h(h) {}
    ~InternetHandle()
    {
        if (m_h)
            ::WinHttpCloseHandle(m_h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    HINTERNET m_h;
};

HttpOutcome failure(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
        return {HttpFailure::NoAnswer, 0, "WinHTTP: time-out"};
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return {HttpFailure::Refused, 0, "WinHTTP: cannot connect"};
    default:
        break;
    }
    // WinHTTP's own codes have their texts in its module, not in the system's table.
    wchar_t* text = nullptr;
    const DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                             FORMAT_MESSAGE_IGNORE_INSERTS,
                         ::GetModuleHandleW(L"winhttp.dll"), error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (n > 0 && text) {
        message = win32::narrow(std::wstring_view(text, n));
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
            message.pop_back();
    }
    if (text)
        ::LocalFree(text);
    if (message.empty())
        message = "WinHTTP " + std::to_string(error);
    return {HttpFailure::Other, 0, message};
}

HttpOutcome postOnce(const std::string& url, const std::string& body, int timeoutMs)
{
    const std::wstring wideUrl = win32::widen(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts))
        return failure(::GetLastError());
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty())
        path = L"/";
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    const InternetHandle session(
        ::WinHttpOpen(L"Ovin", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return failure(::GetLastError());
    // The whole post has the time-out once over: each phase gets all of it, and none waits longer.
    ::WinHttpSetTimeouts(session.get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs);
    const InternetHandle connection(::WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection)
        return failure(::GetLastError());
    const InternetHandle request(::WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr,
                                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                      secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return failure(::GetLastError());
    // A redirect would turn the post into a get elsewhere; the hook's own address is the one to use.
    DWORD noRedirect = WINHTTP_DISABLE_REDIRECTS;
    ::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &noRedirect, sizeof noRedirect);
    const wchar_t* headers = L"Content-Type: application/json; charset=utf-8\r\n";
    if (!::WinHttpSendRequest(request.get(), headers, static_cast<DWORD>(-1L), const_cast<char*>(body.data()),
                              static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0))
        return failure(::GetLastError());
    if (!::WinHttpReceiveResponse(request.get(), nullptr))
        return failure(::GetLastError());
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failure(::GetLastError());
    if (status >= 200 && status < 300)
        return {HttpFailure::None, static_cast<int>(status), {}};
    return {HttpFailure::HttpError, static_cast<int>(status), "HTTP " + std::to_string(status)};
}

// One post on a thread of its own, which the caller may leave behind: it holds all it needs and ends by its
// time-out, or with the process.
struct PostJob {
    std::string url;
    std::string body;
    int timeoutMs = 0;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    HttpOutcome outcome;
};

}  // namespace

HttpOutcome Win32HttpClient::postJson(const std::string& url, const std::string& body, int timeoutMs,
                                      const std::atomic<bool>& cancel)
{
    // WinHTTP's blocking calls cannot be interrupted, so the caller waits for the post only while it has not
    // been cancelled: the end of the run must not wait for a hook that never answers.
    const auto job = std::make_shared<PostJob>();
    job->url = url;
    job->body = body;
    job->timeoutMs = timeoutMs;
    std::thread([job] {
        HttpOutcome outcome = postOnce(job->url, job->body, job->timeoutMs);
        const std::lock_guard lock(job->mutex);
        job->outcome = std::move(outcome);
        job->done = true;
        job->finished.notify_all();
    }).detach();
    std::unique_lock lock(job->mutex);
    while (!job->done) {
        if (cancel)
            return {HttpFailure::Other, 0, "cancelled"};
        job->finished.wait_for(lock, std::chrono::milliseconds(50));
    }
    return job->outcome;
}

}  // namespace ovin
