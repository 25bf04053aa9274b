#include "AnsiCodec.h"

#include "Win32Text.h"

namespace ovin::win32 {

namespace {

constexpr char kMissing = '?';
// Where a byte the code page leaves undefined goes: the private use area,
// which no text of the code page can hold, so the way back is unambiguous.
constexpr char32_t kUndefinedBase = 0xF700;
constexpr std::size_t kPlaneSize = 0x10000;

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The next character of UTF-8 text, or U+FFFF for a byte that starts none
// (which then goes alone).
char32_t nextCodePoint(std::string_view text, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(text[i++]);
    if (b0 < 0x80)
        return b0;
    int more = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        more = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        more = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        more = 3;
        cp = b0 & 0x07;
    } else {
        return 0xFFFF;
    }
    if (i + static_cast<std::size_t>(more) > text.size())
        return 0xFFFF;
    for (int k = 0; k < more; ++k) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80)
            return 0xFFFF;
        cp = (cp << 6) | (b & 0x3F);
        ++i;
    }
    return cp;
}

}  // namespace

AnsiCodec::AnsiCodec(UINT codePage) : m_codePage(codePage)
{
    CPINFO info{};
    if (codePage == CP_UTF8 || !::GetCPInfo(codePage, &info)) {
        m_kind = Kind::Utf8;
        return;
    }
    if (info.MaxCharSize > 1) {
        m_kind = Kind::MultiByte;
        return;
    }
    m_kind = Kind::SingleByte;
    m_fromUnicode.assign(kPlaneSize, -1);
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t wide = 0;
        const int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1);
        char32_t cp = n == 1 ? static_cast<char32_t>(wide) : kUndefinedBase + static_cast<char32_t>(b);
        if (m_fromUnicode[cp] != -1)
            cp = kUndefinedBase + static_cast<char32_t>(b);
        m_toUnicode[b] = cp;
        m_fromUnicode[cp] = static_cast<std::int16_t>(b);
    }
}

const AnsiCodec& AnsiCodec::system()
{
    static const AnsiCodec codec(::GetACP());
    return codec;
}

std::string AnsiCodec::toUtf8(std::string_view bytes) const
{
    switch (m_kind) {
    case Kind::Utf8:
        return std::string(bytes);
    case Kind::MultiByte:
        return multiByteToUtf8(bytes);
    case Kind::SingleByte:
        break;
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        appendUtf8(out, m_toUnicode[static_cast<unsigned char>(c)]);
    return out;
}

std::string AnsiCodec::fromUtf8(std::string_view text) const
{
    switch (m_kind) {
    case Kind::Utf8:
        return std::string(text);
    case Kind::MultiByte:
        return utf8ToMultiByte(text);
    case Kind::SingleByte:
        break;
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t cp = nextCodePoint(text, i);
        const std::int16_t b = cp < kPlaneSize ? m_fromUnicode[cp] : -1;
        out += b < 0 ? kMissing : static_cast<char>(b);
    }
    return out;
}

std::string AnsiCodec::multiByteToUtf8(std::string_view bytes) const
{
    if (bytes.empty())
        return {};
    const int n = ::MultiByteToWideChar(m_codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(m_codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return narrow(wide);
}

std::string AnsiCodec::utf8ToMultiByte(std::string_view text) const
{
    const std::wstring wide = widen(text);
    if (wide.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(m_codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(m_codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::size_t AnsiCodec::incompleteTail(std::string_view bytes) const
{
    if (m_kind == Kind::SingleByte || bytes.empty())
        return 0;
    if (m_kind == Kind::MultiByte) {
        // Lead and trail bytes can look alike: walk from the start.
        std::size_t i = 0;
        while (i < bytes.size()) {
            if (::IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(bytes[i]))) {
                if (i + 1 >= bytes.size())
                    return 1;
                i += 2;
            } else {
                ++i;
            }
        }
        return 0;
    }
    // UTF-8: at most three bytes of an unfinished character.
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto b = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((b & 0xC0) == 0x80)
            continue;
        const std::size_t need = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
        return need > back ? back : 0;
    }
    return 0;
}

std::string AnsiCodec::Decoder::feed(std::string_view bytes)
{
    if (m_codec.m_kind == Kind::SingleByte)
        return m_codec.toUtf8(bytes);
    m_pending.append(bytes);
    const std::size_t keep = m_codec.incompleteTail(m_pending);
    std::string out = m_codec.toUtf8(std::string_view(m_pending).substr(0, m_pending.size() - keep));
    m_pending.erase(0, m_pending.size() - keep);
    return out;
}

std::string AnsiCodec::Decoder::finish()
{
    std::string out = m_codec.toUtf8(m_pending);
    m_pending.clear();
    return out;
}

}  // namespace ovin::win32
