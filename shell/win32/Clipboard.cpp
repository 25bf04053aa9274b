#include "Clipboard.h"

#include "platform/win32/Win32Text.h"

namespace ovin::win32 {

namespace {

/// OpenClipboard for one scope; another program may hold the clipboard for a moment.
class OpenedClipboard final {
public:
    explicit OpenedClipboard(HWND owner)
    {
        for (int attempt = 0; attempt < 5 && !m_open; ++attempt) {
            m_open = OpenClipboard(owner) != FALSE;
            if (!m_open)
                Sleep(10);
        }
    }
    ~OpenedClipboard()
    {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return m_open; }

private:
    bool m_open = false;
};

}  // namespace

bool setClipboardText(HWND owner, std::string_view utf8)
{
    if (utf8.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    const int bytes = static_cast<int>(utf8.size());
    const int units = bytes == 0 ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(units) + 1) * sizeof(wchar_t));
    if (!memory)
        return false;
    auto* wide = static_cast<wchar_t*>(GlobalLock(memory));
    if (!wide) {
        GlobalFree(memory);
        return false;
    }
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide, units);
    wide[units] = L'\0';
    GlobalUnlock(memory);

    const OpenedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    // The clipboard owns the memory now.
    return true;
}

std::optional<std::string> clipboardText(HWND owner)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return std::nullopt;
    const OpenedClipboard clipboard(owner);
    if (!clipboard)
        return std::nullopt;
    HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (!memory)
        return std::nullopt;
    const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory));
    if (!wide)
        return std::nullopt;
    // The text ends at its terminator or at the end of the block, whichever comes first.
    const std::size_t room = GlobalSize(memory) / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < room && wide[length] != L'\0')
        ++length;
    std::string text = narrow(std::wstring_view(wide, length));
    GlobalUnlock(memory);
    return text;
}

}  // namespace ovin::win32
