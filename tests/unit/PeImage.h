// Reader of 64-bit Windows executables (PE32+): resources and imported DLLs.
// Portable: reads the file format byte by byte, no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pe {

// A resource type or name: an ordinal, or a string such as "AVI".
struct ResourceId {
    bool isName = false;
    std::uint16_t ordinal = 0;
    std::u16string name;

    static ResourceId Ordinal(std::uint16_t value);
    static ResourceId Named(const std::u16string& value);
    std::string ToString() const;
    friend bool operator==(const ResourceId& a, const ResourceId& b);
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
    bool Load(const std::string& path);
    bool Parse(std::vector<std::uint8_t> bytes);
    const std::string& error() const { return m_error; }

    // Every leaf of the resource tree, in directory order.
    const std::vector<Resource>& resources() const { return m_resources; }
    // The resources of one type and name, in any language.
    std::vector<const Resource*> Find(const ResourceId& type, const ResourceId& name) const;

    // DLL names as the import and delay-import directories spell them.
    const std::vector<std::string>& imports() const { return m_imports; }
    const std::vector<std::string>& delayImports() const { return m_delayImports; }

private:
    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t virtualSize;
        std::uint32_t rawOffset;
        std::uint32_t rawSize;
    };
    struct Directory {
        std::uint32_t rva = 0;
        std::uint32_t size = 0;
    };

    bool Fail(const std::string& message);
    bool ReadHeaders();
    // File offset of count bytes at rva, or false when they lie outside the file's sections.
    bool MapRva(std::uint32_t rva, std::uint32_t count, std::size_t& offset) const;
    bool ReadCString(std::uint32_t rva, std::string& text) const;
    bool ReadResourceTree();
    bool ReadResourceLevel(std::uint32_t tableOffset, int depth, Resource& path);
    bool ReadResourceName(std::uint32_t nameField, ResourceId& id);
    bool ReadImports();
    bool ReadDelayImports();

    std::vector<std::uint8_t> m_bytes;
    std::string m_error;
    std::uint64_t m_imageBase = 0;
    std::vector<Section> m_sections;
    Directory m_importDir;
    Directory m_resourceDir;
    Directory m_delayImportDir;
    std::vector<Resource> m_resources;
    std::vector<std::string> m_imports;
    std::vector<std::string> m_delayImports;
};

}  // namespace pe
