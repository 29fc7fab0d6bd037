// Little-endian reading of whole files, for the read-back checks of the built executables,
// the icon and the clips. Portable: no <windows.h>.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bytes {

using Bytes = std::vector<std::uint8_t>;
// Numeric fields read in order, compared with their expected values as one.
using Fields = std::vector<std::uint32_t>;

// The file's bytes; empty when it cannot be read.
inline Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Values at a checked offset: the caller has made sure that they lie inside b.
inline std::uint16_t U16(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t U32(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(U16(b, at)) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

inline std::uint64_t U64(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint64_t>(U32(b, at)) | (static_cast<std::uint64_t>(U32(b, at + 4)) << 32);
}

inline std::string FourCc(const Bytes& b, std::size_t at)
{
    return {b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4};
}

// Sequential reader over one block; reading past the end yields zeros and sets overrun.
class Cursor {
public:
    explicit Cursor(const Bytes& data, std::size_t at = 0) : m_data(data), m_pos(at) {}

    std::uint8_t U8()
    {
        if (m_pos >= m_data.size()) {
            m_overrun = true;
            return 0;
        }
        return m_data[m_pos++];
    }
    std::uint16_t U16()
    {
        const std::uint8_t low = U8();
        return static_cast<std::uint16_t>(low | (U8() << 8));
    }
    std::uint32_t U32()
    {
        const std::uint16_t low = U16();
        return low | (static_cast<std::uint32_t>(U16()) << 16);
    }
    std::int16_t S16() { return static_cast<std::int16_t>(U16()); }

    // A zero-terminated UTF-16 text, without its zero.
    std::u16string Sz()
    {
        std::u16string text;
        for (char16_t c = U16(); c != 0 && !m_overrun; c = U16())
            text += c;
        return text;
    }
    void AlignDword() { m_pos = std::min(m_data.size(), (m_pos + 3) & ~std::size_t(3)); }

    bool overrun() const { return m_overrun; }
    bool atEnd() const { return m_pos == m_data.size(); }

private:
    const Bytes& m_data;
    std::size_t m_pos = 0;
    bool m_overrun = false;
};

}  // namespace bytes
