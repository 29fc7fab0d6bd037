#include "PeImage.h"

#include "Bytes.h"

namespace pe {

using bytes::U16;
using bytes::U32;
using bytes::U64;

namespace {

constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr int kImportDirectory = 1;
constexpr int kResourceDirectory = 2;
constexpr int kDelayImportDirectory = 13;
constexpr std::size_t kMaxNameLength = 1024;

}  // namespace

ResourceId ResourceId::Ordinal(std::uint16_t value)
{
    ResourceId id;
    id.ordinal = value;
    return id;
}

ResourceId ResourceId::Named(const std::u16string& value)
{
    ResourceId id;
    id.isName = true;
    id.name = value;
    return id;
}

std::string ResourceId::ToString() const
{
    if (!isName)
        return std::to_string(ordinal);
    std::string text = "\"";
    for (char16_t c : name)
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return text + "\"";
}

bool operator==(const ResourceId& a, const ResourceId& b)
{
    return a.isName == b.isName && (a.isName ? a.name == b.name : a.ordinal == b.ordinal);
}

bool PeImage::Load(const std::string& path)
{
    bytes::Bytes data = bytes::ReadFile(path);
    if (data.empty())
        return Fail("cannot read " + path);
    return Parse(std::move(data));
}

bool PeImage::Parse(std::vector<std::uint8_t> bytes)
{
    m_bytes = std::move(bytes);
    m_error.clear();
    m_sections.clear();
    m_resources.clear();
    m_imports.clear();
    m_delayImports.clear();
    m_importDir = m_resourceDir = m_delayImportDir = Directory();
    return ReadHeaders() && ReadResourceTree() && ReadImports() && ReadDelayImports();
}

std::vector<const Resource*> PeImage::Find(const ResourceId& type, const ResourceId& name) const
{
    std::vector<const Resource*> found;
    for (const Resource& r : m_resources) {
        if (r.type == type && r.name == name)
            found.push_back(&r);
    }
    return found;
}

bool PeImage::Fail(const std::string& message)
{
    m_error = message;
    return false;
}

bool PeImage::ReadHeaders()
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
    if (b.size() - opt < optionalSize || optionalSize < 112 || U16(b, opt) != kPe32PlusMagic)
        return Fail("not a PE32+ optional header");
    m_imageBase = U64(b, opt + 24);

    const std::uint32_t dirCount = U32(b, opt + 108);
    auto directory = [&](int index) {
        Directory d;
        const std::size_t at = opt + 112 + 8 * static_cast<std::size_t>(index);
        if (static_cast<std::uint32_t>(index) < dirCount && at + 8 <= opt + optionalSize) {
            d.rva = U32(b, at);
            d.size = U32(b, at + 4);
        }
        return d;
    };
    m_importDir = directory(kImportDirectory);
    m_resourceDir = directory(kResourceDirectory);
    m_delayImportDir = directory(kDelayImportDirectory);

    const std::size_t table = opt + optionalSize;
    if ((b.size() - table) / 40 < sectionCount)
        return Fail("section table runs past the end of the file");
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = table + 40 * i;
        Section s{U32(b, at + 12), U32(b, at + 8), U32(b, at + 20), U32(b, at + 16)};
        if (s.rawOffset > b.size() || b.size() - s.rawOffset < s.rawSize)
            return Fail("section data runs past the end of the file");
        m_sections.push_back(s);
    }
    return true;
}

bool PeImage::MapRva(std::uint32_t rva, std::uint32_t count, std::size_t& offset) const
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

bool PeImage::ReadCString(std::uint32_t rva, std::string& text) const
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

bool PeImage::ReadResourceTree()
{
    if (m_resourceDir.rva == 0)
        return true;
    Resource path;
    return ReadResourceLevel(0, 0, path);
}

// Levels: 0 type, 1 name, 2 language; entries below the language level are data.
bool PeImage::ReadResourceLevel(std::uint32_t tableOffset, int depth, Resource& path)
{
    std::size_t table = 0;
    if (!MapRva(m_resourceDir.rva + tableOffset, 16, table))
        return Fail("resource table outside the sections");
    const std::size_t entries = static_cast<std::size_t>(U16(m_bytes, table + 12)) + U16(m_bytes, table + 14);
    std::size_t first = 0;
    if (!MapRva(m_resourceDir.rva + tableOffset + 16, static_cast<std::uint32_t>(entries * 8), first))
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
        if (!MapRva(m_resourceDir.rva + dataField, 16, entry))
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

bool PeImage::ReadResourceName(std::uint32_t nameField, ResourceId& id)
{
    if (!(nameField & kHighBit)) {
        id = ResourceId::Ordinal(static_cast<std::uint16_t>(nameField));
        return true;
    }
    const std::uint32_t rva = m_resourceDir.rva + (nameField & ~kHighBit);
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

bool PeImage::ReadImports()
{
    if (m_importDir.rva == 0)
        return true;
    for (std::uint32_t rva = m_importDir.rva;; rva += 20) {
        std::size_t at = 0;
        if (!MapRva(rva, 20, at))
            return Fail("import directory outside the sections");
        const std::uint32_t nameRva = U32(m_bytes, at + 12);
        const std::uint32_t thunks = U32(m_bytes, at + 16);
        if (nameRva == 0 && thunks == 0)
            return true;
        std::string name;
        if (!ReadCString(nameRva, name))
            return Fail("import name outside the sections");
        m_imports.push_back(name);
    }
}

bool PeImage::ReadDelayImports()
{
    if (m_delayImportDir.rva == 0)
        return true;
    for (std::uint32_t rva = m_delayImportDir.rva;; rva += 32) {
        std::size_t at = 0;
        if (!MapRva(rva, 32, at))
            return Fail("delay-import directory outside the sections");
        const std::uint32_t attributes = U32(m_bytes, at);
        std::uint64_t nameRef = U32(m_bytes, at + 4);
        if (nameRef == 0)
            return true;
        // Attribute bit 0 clear: the old form, which holds addresses instead of RVAs.
        if (!(attributes & 1))
            nameRef -= m_imageBase;
        std::string name;
        if (nameRef > 0xFFFFFFFFu || !ReadCString(static_cast<std::uint32_t>(nameRef), name))
            return Fail("delay-import name outside the sections");
        m_delayImports.push_back(name);
    }
}

}  // namespace pe
