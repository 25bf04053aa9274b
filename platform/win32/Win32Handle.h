#pragma once

#include <windows.h>

#include <utility>

namespace ovin::win32 {

/// A kernel handle, closed when the guard goes. Both of the system's "no
/// handle" values (null and INVALID_HANDLE_VALUE) count as empty.
class UniqueHandle final {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : m_handle(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = nullptr)
    {
        if (valid())
            ::CloseHandle(m_handle);
        m_handle = h;
    }

private:
    HANDLE m_handle = nullptr;
};

/// A directory look-up of FindFirstFileW, closed when the guard goes.
class FindGuard final {
public:
    explicit FindGuard(HANDLE h) : m_handle(h) {}
    ~FindGuard()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::FindClose(m_handle);
    }
    FindGuard(const FindGuard&) = delete;
    FindGuard& operator=(const FindGuard&) = delete;

    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

/// Memory the system allocated with LocalAlloc for the caller.
class LocalGuard final {
public:
    explicit LocalGuard(void* p) : m_p(p) {}
    ~LocalGuard()
    {
        if (m_p)
            ::LocalFree(m_p);
    }
    LocalGuard(const LocalGuard&) = delete;
    LocalGuard& operator=(const LocalGuard&) = delete;

private:
    void* m_p;
};

}  // namespace ovin::win32
