// The resources the program carries: icons drawn at build time in the sizes and depths the shell picks from,
// transparent around the drawing; the version in both languages; the manifest's promises; the Event Log's
// message table.

#include <gtest/gtest.h>

#include <windows.h>
#include <winver.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/SystemLog.h"
#include "shell/win32/Resources.h"
#include "shell/win32/UniqueHandle.h"

namespace ovin::win32 {
namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

std::string resourceBytes(const wchar_t* type, const wchar_t* name)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(data, SizeofResource(module, found));
}

TEST(Win32Resources, EveryIconHasThePaletteImageAndTheSizesTheShellAsksFor)
{
    for (const int id : {IDI_OVIN_WINDOW, IDI_OVIN_TRAY_IDLE, IDI_OVIN_TRAY_BUSY}) {
        SCOPED_TRACE(id);
        const std::string group = resourceBytes(MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEW(id));
        ASSERT_GE(group.size(), sizeof(GroupIconHeader));
        GroupIconHeader header;
        std::memcpy(&header, group.data(), sizeof(header));
        ASSERT_EQ(group.size(), sizeof(header) + header.count * sizeof(GroupIconEntry));
        bool palette32 = false;
        std::vector<int> trueColourSizes;
        for (WORD i = 0; i < header.count; ++i) {
            GroupIconEntry entry;
            std::memcpy(&entry, group.data() + sizeof(header) + i * sizeof(entry), sizeof(entry));
            if (entry.bitCount == 8 && entry.width == 32 && entry.height == 32)
                palette32 = true;
            if (entry.bitCount == 32)
                trueColourSizes.push_back(entry.width);
        }
        EXPECT_TRUE(palette32) << "the 32 x 32 picture in 256 colours";
        EXPECT_EQ(trueColourSizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64}));
    }
}

// The icon's mask: which pixels of a sizePx icon are transparent.
std::vector<bool> transparentPixels(int id, int sizePx)
{
    const IconHandle icon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, sizePx, sizePx, 0)));
    if (!icon)
        return {};
    ICONINFO info{};
    GetIconInfo(icon.get(), &info);
    const BitmapHandle mask(info.hbmMask);
    const BitmapHandle colour(info.hbmColor);
    const MemoryDC dc(CreateCompatibleDC(nullptr));
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), sizePx, -sizePx, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bits(size_t(sizePx) * sizePx);
    GetDIBits(dc.get(), mask.get(), 0, UINT(sizePx), bits.data(), &format, DIB_RGB_COLORS);
    std::vector<bool> transparent;
    for (const DWORD px : bits)
        transparent.push_back((px & 0xFFFFFF) != 0);
    return transparent;
}

TEST(Win32Resources, IconsAreTransparentAroundTheDog)
{
    constexpr int kSizePx = 32;
    for (const int id : {IDI_OVIN_WINDOW, IDI_OVIN_TRAY_IDLE, IDI_OVIN_TRAY_BUSY}) {
        SCOPED_TRACE(id);
        const std::vector<bool> transparent = transparentPixels(id, kSizePx);
        ASSERT_EQ(transparent.size(), size_t(kSizePx * kSizePx));
        for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {1, 25}, {30, 25}})
            EXPECT_TRUE(transparent[size_t(y * kSizePx + x)]) << x << "," << y;
        // The neckerchief's middle and the brow are drawn.
        for (const auto& [x, y] : {std::pair{16, 25}, {16, 4}})
            EXPECT_FALSE(transparent[size_t(y * kSizePx + x)]) << x << "," << y;
    }
}

TEST(Win32Resources, VersionNamesTheProductInCzechAndEnglish)
{
    const std::string block = resourceBytes(MAKEINTRESOURCEW(16) /* RT_VERSION */, MAKEINTRESOURCEW(1));
    ASSERT_FALSE(block.empty());
    std::vector<char> copy(block.begin(), block.end());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwProductVersionMS, DWORD((3 << 16) | 3));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD((3 << 16) | 3));

    DWORD* translations = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size));
    ASSERT_EQ(size, 8u);
    EXPECT_EQ(LOWORD(translations[0]), 0x0405);  // Czech
    EXPECT_EQ(LOWORD(translations[1]), 0x0409);  // English

    for (const wchar_t* language : {L"040504B0", L"040904B0"}) {
        for (const auto& [key, expected] :
             {std::pair{L"ProductName", L"Ovin"}, {L"ProductVersion", L"3.3"}, {L"OriginalFilename", L"ovin.exe"}}) {
            wchar_t* value = nullptr;
            const std::wstring path = std::wstring(L"\\StringFileInfo\\") + language + L"\\" + key;
            ASSERT_TRUE(VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &size)) << key;
            EXPECT_STREQ(value, expected);
        }
    }
    wchar_t* description = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\StringFileInfo\\040504B0\\FileDescription",
                               reinterpret_cast<void**>(&description), &size));
    EXPECT_NE(std::wstring(description).find(L"hlídač"), std::wstring::npos) << "Czech letters survive the build";
}

TEST(Win32Resources, ManifestAsksForCommonControls6AndPerMonitorAwareness)
{
    const std::string manifest = resourceBytes(MAKEINTRESOURCEW(24) /* RT_MANIFEST */, MAKEINTRESOURCEW(1));
    for (const char* promise : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "<dpiAwareness",
                                "PerMonitorV2, PerMonitor", "true/pm"})
        EXPECT_NE(manifest.find(promise), std::string::npos) << promise;
}

TEST(Win32Resources, TheMessageTableShowsTheLineForEveryKindOfEvent)
{
    // What Event Viewer does with an event of the source "Ovin": the program is its message file.
    const std::wstring line = L"\u010cek\u00e1m na spu\u0161t\u011bn\u00ed Trovan 1 s";
    const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(line.c_str())};
    for (const SystemLogEvent event :
         {SystemLogEvent::Line, SystemLogEvent::Stall, SystemLogEvent::Kill, SystemLogEvent::Crash,
          SystemLogEvent::LaunchFailed, SystemLogEvent::KillRefused, SystemLogEvent::Launched, SystemLogEvent::Warning,
          SystemLogEvent::Error}) {
        wchar_t text[256] = {};
        const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                       GetModuleHandleW(nullptr), static_cast<DWORD>(event), 0, text, 256,
                                       reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts)));
        std::wstring shown(text, n);
        while (!shown.empty() && (shown.back() == L'\n' || shown.back() == L'\r'))
            shown.pop_back();
        EXPECT_EQ(shown, line) << "event " << static_cast<int>(event);
    }
}

}  // namespace
}  // namespace ovin::win32
