#include "Win32InstanceBlock.h"

#include <system_error>

#include "Win32Text.h"

namespace ovin {

namespace {

constexpr std::size_t kWindowOffset = 0;
constexpr std::size_t kCountOffset = 4;
constexpr DWORD kSizeBytes = 8;
// Objects of this name belong to the log-on session of the process.
constexpr const wchar_t* kSessionNamespace = L"Local\\";

[[noreturn]] void raise(DWORD err, const std::wstring& name)
{
    throw std::system_error(static_cast<int>(err), std::system_category(),
                            "Cannot create the instance block " + win32::narrow(name) + ": " + win32::systemText(err));
}

}  // namespace

std::unique_ptr<InstanceBlock> createInstanceBlock(std::string_view exePath)
{
    // The executable's full path without its backslashes: C:\Tools\Ovin\ovin.exe
    // gives C:ToolsOvinovin.exe, so copies in other folders have blocks of
    // their own.
    std::wstring key = win32::widen(exePath);
    std::erase(key, L'\\');
    return std::make_unique<Win32InstanceBlock>(kSessionNamespace + key);
}

Win32InstanceBlock::Win32InstanceBlock(std::wstring name) : m_name(std::move(name)) {}

Win32InstanceBlock::~Win32InstanceBlock() { close(); }

bool Win32InstanceBlock::createOrOpen()
{
    close();
    m_mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSizeBytes, m_name.c_str()));
    if (!m_mapping.valid())
        raise(::GetLastError(), m_name);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_view = ::MapViewOfFile(m_mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kSizeBytes);
    if (!m_view) {
        const DWORD err = ::GetLastError();
        m_mapping.reset();
        raise(err, m_name);
    }
    return existed;
}

// Other processes change the fields at any time: every access goes to the
// shared memory itself.
volatile std::int32_t* Win32InstanceBlock::field(std::size_t offset) const
{
    return reinterpret_cast<volatile std::int32_t*>(static_cast<char*>(m_view) + offset);
}

// Without a block held the fields read zero and writes go nowhere.
std::int32_t Win32InstanceBlock::window() const { return m_view ? *field(kWindowOffset) : 0; }
void Win32InstanceBlock::setWindow(std::int32_t window)
{
    if (m_view)
        *field(kWindowOffset) = window;
}
std::int32_t Win32InstanceBlock::count() const { return m_view ? *field(kCountOffset) : 0; }
void Win32InstanceBlock::setCount(std::int32_t count)
{
    if (m_view)
        *field(kCountOffset) = count;
}

void Win32InstanceBlock::close()
{
    if (m_view) {
        ::UnmapViewOfFile(m_view);
        m_view = nullptr;
    }
    m_mapping.reset();
}

std::string Win32InstanceBlock::handOverName() const { return win32::narrow(m_name); }

}  // namespace ovin
