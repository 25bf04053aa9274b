#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ovin::win32 {

/// The system's 8-bit code page at the edge of the program's text files:
/// the files hold it so that older installations and other Windows tools
/// read them as ever, while the program inside holds UTF-8.
///
/// In a single-byte code page every byte gets a character of its own, the
/// few bytes the code page leaves undefined included, so that a file read and
/// written again keeps every byte: a router's request file copied into the
/// log reaches the month file unchanged. A character the code page lacks is
/// written as "?".
class AnsiCodec final {
public:
    explicit AnsiCodec(UINT codePage);

    /// The code page of the running system (GetACP).
    static const AnsiCodec& system();

    UINT codePage() const { return m_codePage; }

    /// Decodes a file read in pieces: a character whose bytes are split
    /// between two pieces comes out whole with the second.
    class Decoder final {
    public:
        explicit Decoder(const AnsiCodec& codec) : m_codec(codec) {}
        std::string feed(std::string_view bytes);
        /// What is left at the end of the file.
        std::string finish();

    private:
        const AnsiCodec& m_codec;
        std::string m_pending;
    };

    std::string toUtf8(std::string_view bytes) const;
    std::string fromUtf8(std::string_view text) const;

private:
    enum class Kind { Utf8, SingleByte, MultiByte };

    std::string multiByteToUtf8(std::string_view bytes) const;
    std::string utf8ToMultiByte(std::string_view text) const;
    /// How many bytes at the end of `bytes` start a character that is not
    /// complete yet.
    std::size_t incompleteTail(std::string_view bytes) const;

    UINT m_codePage;
    Kind m_kind;
    char32_t m_toUnicode[256] = {};
    // Byte for each character of the Basic Multilingual Plane, -1 for none.
    std::vector<std::int16_t> m_fromUnicode;
};

}  // namespace ovin::win32
