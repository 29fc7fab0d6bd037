// Decoders of the resources in a PE image: dialog templates, version blocks, icon groups and
// the manifest's elements. Portable: no <windows.h>.
#pragma once

#include "Bytes.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace pe {

using bytes::Bytes;
using bytes::Cursor;

// ASCII as it is, every other character as \uXXXX, for messages.
std::string Narrow(const std::u16string& text);

// A Windows-1252 text without the bytes 0x80-0x9F as the UTF-16 that resources hold.
inline std::u16string Widen(const std::string& text)
{
    std::u16string wide;
    for (char c : text)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

// A template field that is either an ordinal (0xFFFF, n) or a zero-terminated string.
struct SzOrOrd {
    bool isOrdinal = false;
    std::uint16_t ordinal = 0;
    std::u16string text;

    friend bool operator==(const SzOrOrd& a, const SzOrOrd& b)
    {
        return a.isOrdinal == b.isOrdinal && a.ordinal == b.ordinal && a.text == b.text;
    }
    friend std::ostream& operator<<(std::ostream& os, const SzOrOrd& v)
    {
        return v.isOrdinal ? os << "#" << v.ordinal : os << '"' << Narrow(v.text) << '"';
    }
};

SzOrOrd Ord(std::uint16_t n);
SzOrOrd Text(const std::u16string& s);

struct DialogItem {
    std::uint32_t helpId, exStyle, style;
    std::int16_t x, y, cx, cy;
    std::uint32_t id;
    SzOrOrd windowClass, text;
    std::uint16_t extraBytes;

    friend bool operator==(const DialogItem& a, const DialogItem& b)
    {
        return a.helpId == b.helpId && a.exStyle == b.exStyle && a.style == b.style && a.x == b.x &&
               a.y == b.y && a.cx == b.cx && a.cy == b.cy && a.id == b.id &&
               a.windowClass == b.windowClass && a.text == b.text && a.extraBytes == b.extraBytes;
    }
    friend std::ostream& operator<<(std::ostream& os, const DialogItem& i)
    {
        return os << std::hex << "{help 0x" << i.helpId << " ex 0x" << i.exStyle << " style 0x"
                  << i.style << std::dec << " at " << i.x << "," << i.y << " " << i.cx << "x"
                  << i.cy << " id " << i.id << " class " << i.windowClass << " text " << i.text
                  << " extra " << i.extraBytes << "}";
    }
};

struct Dialog {
    bool extended = false;
    std::uint16_t version = 0, signature = 0;
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    SzOrOrd menu, windowClass;
    std::u16string title;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::u16string face;
    std::vector<DialogItem> items;
    bool overrun = false;
    bool atEnd = false;
};

// Decodes DLGTEMPLATE or DLGTEMPLATEEX with its items.
Dialog DecodeDialog(const Bytes& data);

// One node of a VS_VERSIONINFO tree.
struct VersionNode {
    std::u16string key;
    std::uint16_t type = 0;
    std::uint16_t valueLength = 0;
    Bytes value;
    std::vector<VersionNode> children;

    // A text value without its terminating zero.
    std::u16string Text() const
    {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < value.size(); i += 2)
            text += static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (!text.empty() && text.back() == u'\0')
            text.pop_back();
        return text;
    }
};

// Parses the node at `at`; false when a length runs outside its parent.
bool ParseVersionNode(const Bytes& data, std::size_t at, std::size_t end, VersionNode& node);

struct IconEntry {
    unsigned width, height, colours, planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

// The entries of a group-icon resource; empty when it is malformed.
std::vector<IconEntry> DecodeIconGroup(const Bytes& data);

std::string Lower(std::string s);

// Attributes of every element named `tag` in a manifest, in document order.
std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& tag);

}  // namespace pe
