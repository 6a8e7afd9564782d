// Bounds-checked reading of the little-endian records of a resource image.
// Every read either succeeds inside the bytes given or fails and leaves the
// reader failed, so a parser can read a whole record and check once.
#pragma once

#include "resources/ResourceTable.h"

#include <cstddef>
#include <span>
#include <string>

namespace winapi::resources {

class ByteReader {
public:
    explicit ByteReader(std::span<const BYTE> bytes, std::size_t offset = 0)
        : m_bytes(bytes)
        , m_offset(offset)
        , m_ok(offset <= bytes.size())
    {
    }

    bool ok() const { return m_ok; }
    std::size_t offset() const { return m_offset; }
    std::size_t remaining() const { return m_ok ? m_bytes.size() - m_offset : 0; }
    bool atEnd() const { return remaining() == 0; }

    WORD word()
    {
        if (!take(2))
            return 0;
        return static_cast<WORD>(m_bytes[m_offset - 2] | m_bytes[m_offset - 1] << 8);
    }
    DWORD dword()
    {
        const DWORD low = word();
        const DWORD high = word();
        return m_ok ? low | high << 16 : 0;
    }
    short shortValue() { return static_cast<short>(word()); }
    BYTE byte() { return take(1) ? m_bytes[m_offset - 1] : 0; }

    std::span<const BYTE> bytes(std::size_t count)
    {
        if (!take(count))
            return {};
        return m_bytes.subspan(m_offset - count, count);
    }
    void skip(std::size_t count) { take(count); }

    // Moves to the next multiple of `alignment` counted from the start of
    // the bytes. Running out of bytes while aligning is no failure: the
    // last record of a resource may lack its padding.
    void align(std::size_t alignment)
    {
        if (!m_ok)
            return;
        const std::size_t padded = (m_offset + alignment - 1) / alignment * alignment;
        m_offset = padded < m_bytes.size() ? padded : m_bytes.size();
    }

    // A zero-terminated UTF-16 text; the terminator is consumed.
    std::u16string text()
    {
        std::u16string result;
        while (m_ok) {
            const WORD unit = word();
            if (!m_ok || unit == 0)
                break;
            result.push_back(static_cast<char16_t>(unit));
        }
        return result;
    }

    // A counted UTF-16 text (string tables).
    std::u16string countedText(std::size_t units)
    {
        std::u16string result;
        if (units > remaining() / 2) {
            m_ok = false;
            return result;
        }
        result.reserve(units);
        for (std::size_t i = 0; i < units; ++i)
            result.push_back(static_cast<char16_t>(word()));
        return result;
    }

    // The sz_Or_Ord form of templates and of image headers: 0xFFFF and a
    // number, or a zero-terminated text (a lone zero is the empty text).
    NameOrId nameOrId(bool upperCase)
    {
        NameOrId result;
        if (remaining() >= 2 && (m_bytes[m_offset] | m_bytes[m_offset + 1] << 8) == 0xFFFF) {
            skip(2);
            result.id = word();
            return result;
        }
        result.name = toAnsi(text());
        if (upperCase)
            result.name = upperCased(std::move(result.name));
        return result;
    }

    // Windows-1252 upper case: the platform compares resource names and
    // class names without regard to case.
    static std::string upperCased(std::string text)
    {
        for (char& c : text) {
            const auto b = static_cast<unsigned char>(c);
            if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
                c = static_cast<char>(b - 0x20);
            else if (b == 0x9A || b == 0x9C || b == 0x9E) // s, oe, z with their marks
                c = static_cast<char>(b - 0x10);
            else if (b == 0xFF) // y with diaeresis
                c = static_cast<char>(0x9F);
        }
        return text;
    }

private:
    bool take(std::size_t count)
    {
        if (!m_ok || count > m_bytes.size() - m_offset) {
            m_ok = false;
            return false;
        }
        m_offset += count;
        return true;
    }

    std::span<const BYTE> m_bytes;
    std::size_t m_offset;
    bool m_ok;
};

}
