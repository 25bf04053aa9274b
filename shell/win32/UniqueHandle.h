#pragma once

#include <windows.h>

#include <utility>

namespace ovin::win32 {

/// Sole owner of one Win32 handle: releases it with the function its kind requires when the guard ends or is
/// given another handle. Traits name the handle type, the release call and what counts as "no handle".
template <typename Traits>
class UniqueHandle final {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return Traits::valid(m_handle); }

    /// Gives the handle up without releasing it, e.g. when the system takes it over.
    Handle release() { return std::exchange(m_handle, Traits::none()); }

    void reset(Handle handle = Traits::none())
    {
        const Handle old = std::exchange(m_handle, handle);
        if (Traits::valid(old))
            Traits::close(old);
    }

private:
    Handle m_handle = Traits::none();
};

struct WindowTraits {
    using Handle = HWND;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DestroyWindow(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DestroyMenu(h); }
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DestroyIcon(h); }
};

/// A device context of our own making (CreateCompatibleDC), not one borrowed from a window.
struct MemoryDCTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DeleteDC(h); }
};

/// Kernel objects: some calls report failure with a null handle, others with INVALID_HANDLE_VALUE.
struct KernelTraits {
    using Handle = HANDLE;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(Handle h) { CloseHandle(h); }
};

using WindowHandle = UniqueHandle<WindowTraits>;
using MenuHandle = UniqueHandle<MenuTraits>;
template <typename T>
using GdiObject = UniqueHandle<GdiObjectTraits<T>>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using PenHandle = GdiObject<HPEN>;
using BitmapHandle = GdiObject<HBITMAP>;
using IconHandle = UniqueHandle<IconTraits>;
using MemoryDC = UniqueHandle<MemoryDCTraits>;
using KernelHandle = UniqueHandle<KernelTraits>;

}  // namespace ovin::win32
