// Reader of 64-bit Windows executables (PE32+): resources and imported DLLs.
// Portable: reads the file format byte by byte, no <windows.h>.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace pe {

using bytes::U16;
using bytes::U32;

// Where the Windows build's executables lie: KAVRIN_WINDOWS_DIR, or the default build root.
inline std::string WindowsBuildDir()
{
    const char* dir = std::getenv("KAVRIN_WINDOWS_DIR");
    return dir && *dir ? dir : KAVRIN_SOURCE_DIR "/build/windows";
}

// A resource type or name: an ordinal, or a string such as "AVI".
struct ResourceId {
    bool isName = false;
    std::uint16_t ordinal = 0;
    std::u16string name;

    static ResourceId Ordinal(std::uint16_t value) { return {false, value, {}}; }
    static ResourceId Named(const std::u16string& value) { return {true, 0, value}; }

    std::string ToString() const
    {
        if (!isName)
            return std::to_string(ordinal);
        std::string text = "\"";
        for (char16_t c : name)
            text += c < 0x80 ? static_cast<char>(c) : '?';
        return text + "\"";
    }

    friend bool operator==(const ResourceId& a, const ResourceId& b)
    {
        return a.isName == b.isName && (a.isName ? a.name == b.name : a.ordinal == b.ordinal);
    }
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::vector<std::uint8_t> data;
};

class PeImage {
public:
    // Reads and parses the file; on failure returns false and error() says why.
    bool Load(const std::string& path)
    {
        m_bytes = bytes::ReadFile(path);
        if (m_bytes.empty())
            return Fail("cannot read " + path);
        return ReadHeaders() && ReadResourceTree() && ReadImportNames(m_importRva, false, m_imports) &&
               ReadImportNames(m_delayImportRva, true, m_delayImports);
    }

    const std::string& error() const { return m_error; }

    // Every leaf of the resource tree, in directory order.
    const std::vector<Resource>& resources() const { return m_resources; }

    // The resources of one type and name, in any language.
    std::vector<const Resource*> Find(const ResourceId& type, const ResourceId& name) const
    {
        std::vector<const Resource*> found;
        for (const Resource& r : m_resources) {
            if (r.type == type && r.name == name)
                found.push_back(&r);
        }
        return found;
    }

    // DLL names as the import and delay-import directories spell them.
    const std::vector<std::string>& imports() const { return m_imports; }
    const std::vector<std::string>& delayImports() const { return m_delayImports; }

private:
    static constexpr std::uint32_t kHighBit = 0x80000000u;
    static constexpr std::size_t kMaxNameLength = 1024;

    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t rawOffset;
        std::uint32_t rawSize;
    };

    bool Fail(const std::string& message)
    {
        m_error = message;
        return false;
    }

    bool ReadHeaders()
    {
        const std::vector<std::uint8_t>& b = m_bytes;
        if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z')
            return Fail("no MZ header");
        const std::size_t peAt = U32(b, 0x3C);
        if (peAt > b.size() || b.size() - peAt < 24 || U32(b, peAt) != 0x00004550)
            return Fail("no PE signature");
        const std::size_t sectionCount = U16(b, peAt + 6);
        const std::size_t optionalSize = U16(b, peAt + 20);
        const std::size_t opt = peAt + 24;
        if (b.size() - opt < optionalSize || optionalSize < 112 || U16(b, opt) != 0x20B)
            return Fail("not a PE32+ optional header");
        m_imageBase = bytes::U64(b, opt + 24);

        // The RVA of data directory `index` (1 imports, 2 resources, 13 delay imports); 0 if absent.
        const std::uint32_t dirCount = U32(b, opt + 108);
        auto directory = [&](std::uint32_t index) {
            const std::size_t at = opt + 112 + 8 * static_cast<std::size_t>(index);
            return index < dirCount && at + 8 <= opt + optionalSize ? U32(b, at) : 0u;
        };
        m_importRva = directory(1);
        m_resourceRva = directory(2);
        m_delayImportRva = directory(13);

        const std::size_t table = opt + optionalSize;
        if ((b.size() - table) / 40 < sectionCount)
            return Fail("section table runs past the end of the file");
        for (std::size_t i = 0; i < sectionCount; ++i) {
            const std::size_t at = table + 40 * i;
            const Section s{U32(b, at + 12), U32(b, at + 20), U32(b, at + 16)};
            if (s.rawOffset > b.size() || b.size() - s.rawOffset < s.rawSize)
                return Fail("section data runs past the end of the file");
            m_sections.push_back(s);
        }
        return true;
    }

    // File offset of count bytes at rva, or false when they lie outside the file's sections.
    bool MapRva(std::uint32_t rva, std::uint32_t count, std::size_t& offset) const
    {
        for (const Section& s : m_sections) {
            if (rva < s.virtualAddress)
                continue;
            const std::uint64_t into = rva - s.virtualAddress;
            if (into + count <= s.rawSize) {
                offset = s.rawOffset + static_cast<std::size_t>(into);
                return true;
            }
        }
        return false;
    }

    bool ReadCString(std::uint32_t rva, std::string& text) const
    {
        std::size_t at = 0;
        if (!MapRva(rva, 1, at))
            return false;
        text.clear();
        for (; at < m_bytes.size() && text.size() < kMaxNameLength; ++at) {
            if (m_bytes[at] == 0)
                return true;
            text += static_cast<char>(m_bytes[at]);
        }
        return false;
    }

    bool ReadResourceTree()
    {
        Resource path;
        return m_resourceRva == 0 || ReadResourceLevel(0, 0, path);
    }

    // Levels: 0 type, 1 name, 2 language; entries below the language level are data.
    bool ReadResourceLevel(std::uint32_t tableOffset, int depth, Resource& path)
    {
        std::size_t table = 0;
        if (!MapRva(m_resourceRva + tableOffset, 16, table))
            return Fail("resource table outside the sections");
        const std::size_t entries =
            static_cast<std::size_t>(U16(m_bytes, table + 12)) + U16(m_bytes, table + 14);
        std::size_t first = 0;
        if (!MapRva(m_resourceRva + tableOffset + 16, static_cast<std::uint32_t>(entries * 8), first))
            return Fail("resource entries outside the sections");

        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint32_t nameField = U32(m_bytes, first + 8 * i);
            const std::uint32_t dataField = U32(m_bytes, first + 8 * i + 4);
            const bool isTable = (dataField & kHighBit) != 0;
            if (isTable != (depth < 2))
                return Fail("resource tree is not three levels deep");

            if (depth == 0 && !ReadResourceName(nameField, path.type))
                return false;
            if (depth == 1 && !ReadResourceName(nameField, path.name))
                return false;
            if (depth == 2) {
                if (nameField & kHighBit)
                    return Fail("resource language given as a string");
                path.language = static_cast<std::uint16_t>(nameField);
            }

            if (isTable) {
                if (!ReadResourceLevel(dataField & ~kHighBit, depth + 1, path))
                    return false;
                continue;
            }
            std::size_t entry = 0;
            if (!MapRva(m_resourceRva + dataField, 16, entry))
                return Fail("resource data entry outside the sections");
            const std::uint32_t dataRva = U32(m_bytes, entry);
            const std::uint32_t size = U32(m_bytes, entry + 4);
            std::size_t data = 0;
            if (!MapRva(dataRva, size, data))
                return Fail("resource data outside the sections");
            Resource leaf = path;
            leaf.data.assign(m_bytes.begin() + static_cast<std::ptrdiff_t>(data),
                             m_bytes.begin() + static_cast<std::ptrdiff_t>(data + size));
            m_resources.push_back(std::move(leaf));
        }
        return true;
    }

    bool ReadResourceName(std::uint32_t nameField, ResourceId& id)
    {
        if (!(nameField & kHighBit)) {
            id = ResourceId::Ordinal(static_cast<std::uint16_t>(nameField));
            return true;
        }
        const std::uint32_t rva = m_resourceRva + (nameField & ~kHighBit);
        std::size_t at = 0;
        if (!MapRva(rva, 2, at))
            return Fail("resource name outside the sections");
        const std::uint16_t length = U16(m_bytes, at);
        if (!MapRva(rva, 2 + 2u * length, at))
            return Fail("resource name outside the sections");
        std::u16string name;
        for (std::uint16_t i = 0; i < length; ++i)
            name += static_cast<char16_t>(U16(m_bytes, at + 2 + 2 * std::size_t(i)));
        id = ResourceId::Named(name);
        return true;
    }

    // The DLL names of the import (20-byte entries) or delay-import (32-byte entries) directory
    // at rva, up to its terminating entry.
    bool ReadImportNames(std::uint32_t rva, bool delay, std::vector<std::string>& names)
    {
        const std::uint32_t entrySize = delay ? 32 : 20;
        const std::string what = delay ? "delay-import" : "import";
        for (; rva != 0; rva += entrySize) {
            std::size_t at = 0;
            if (!MapRva(rva, entrySize, at))
                return Fail(what + " directory outside the sections");
            std::uint64_t nameRef = U32(m_bytes, at + (delay ? 4 : 12));
            if (nameRef == 0 && (delay || U32(m_bytes, at + 16) == 0))
                return true;
            // Delay-import attribute bit 0 clear: the old form, which holds addresses instead of RVAs.
            if (delay && !(U32(m_bytes, at) & 1))
                nameRef -= m_imageBase;
            std::string name;
            if (nameRef > 0xFFFFFFFFu || !ReadCString(static_cast<std::uint32_t>(nameRef), name))
                return Fail(what + " name outside the sections");
            names.push_back(name);
        }
        return true;
    }

    std::vector<std::uint8_t> m_bytes;
    std::string m_error;
    std::uint64_t m_imageBase = 0;
    std::vector<Section> m_sections;
    std::uint32_t m_importRva = 0;
    std::uint32_t m_resourceRva = 0;
    std::uint32_t m_delayImportRva = 0;
    std::vector<Resource> m_resources;
    std::vector<std::string> m_imports;
    std::vector<std::string> m_delayImports;
};

}  // namespace pe
