// Decoders of the resources in a PE image: dialog templates, version blocks, icon groups and
// the manifest's elements. Portable: no <windows.h>.
#pragma once

#include "Bytes.h"

#include <gtest/gtest-printers.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace pe {

using bytes::Bytes;
using bytes::Cursor;

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
        return v.isOrdinal ? os << "#" << v.ordinal : os << ::testing::PrintToString(v.text);
    }
};

inline SzOrOrd Ord(std::uint16_t n) { return {true, n, {}}; }
inline SzOrOrd Text(const std::u16string& s) { return {false, 0, s}; }

// The fields of DLGTEMPLATE or DLGTEMPLATEEX; the classic form leaves version, signature, helpId,
// weight, italic and charset 0.
struct DialogHeader {
    bool extended;
    std::uint16_t version, signature;
    std::uint32_t helpId, exStyle, style;
    std::int16_t x, y, cx, cy;
    SzOrOrd menu, windowClass;
    std::u16string title;
    std::uint16_t pointSize, weight;
    std::uint8_t italic, charset;
    std::u16string face;

    auto Tie() const
    {
        return std::tie(extended, version, signature, helpId, exStyle, style, x, y, cx, cy, menu, windowClass,
                        title, pointSize, weight, italic, charset, face);
    }
    friend bool operator==(const DialogHeader& a, const DialogHeader& b) { return a.Tie() == b.Tie(); }
    friend std::ostream& operator<<(std::ostream& os, const DialogHeader& h)
    {
        return os << (h.extended ? "{extended" : "{classic") << " version " << h.version << std::hex
                  << " signature 0x" << h.signature << " help 0x" << h.helpId << " ex 0x" << h.exStyle
                  << " style 0x" << h.style << std::dec << " at " << h.x << "," << h.y << " " << h.cx << "x"
                  << h.cy << " menu " << h.menu << " class " << h.windowClass << " title "
                  << ::testing::PrintToString(h.title) << " font " << h.pointSize << " weight " << h.weight
                  << " italic " << int{h.italic} << " charset " << int{h.charset} << " face "
                  << ::testing::PrintToString(h.face) << "}";
    }
};

struct DialogItem {
    std::uint32_t helpId, exStyle, style;
    std::int16_t x, y, cx, cy;
    std::uint32_t id;
    SzOrOrd windowClass, text;
    std::uint16_t extraBytes;

    auto Tie() const
    {
        return std::tie(helpId, exStyle, style, x, y, cx, cy, id, windowClass, text, extraBytes);
    }
    friend bool operator==(const DialogItem& a, const DialogItem& b) { return a.Tie() == b.Tie(); }
    friend std::ostream& operator<<(std::ostream& os, const DialogItem& i)
    {
        return os << std::hex << "{help 0x" << i.helpId << " ex 0x" << i.exStyle << " style 0x"
                  << i.style << std::dec << " at " << i.x << "," << i.y << " " << i.cx << "x"
                  << i.cy << " id " << i.id << " class " << i.windowClass << " text " << i.text
                  << " extra " << i.extraBytes << "}";
    }
};

struct Dialog {
    DialogHeader header{};
    std::vector<DialogItem> items;
    bool overrun = false;
    bool atEnd = false;
};

// Reads a template's ordinal or string field.
inline SzOrOrd ReadSzOrOrd(Cursor& c)
{
    const std::uint16_t first = c.U16();
    if (first == 0xFFFF)
        return Ord(c.U16());
    std::u16string text;
    for (char16_t ch = first; ch != 0 && !c.overrun(); ch = c.U16())
        text += ch;
    return Text(text);
}

// Decodes DLGTEMPLATE or DLGTEMPLATEEX with its items.
inline Dialog DecodeDialog(const Bytes& data)
{
    Cursor c(data);
    Dialog d;
    DialogHeader& h = d.header;
    const std::uint16_t w0 = c.U16();
    const std::uint16_t w1 = c.U16();
    h.extended = w0 == 1 && w1 == 0xFFFF;
    if (h.extended) {
        h.version = w0;
        h.signature = w1;
        h.helpId = c.U32();
        h.exStyle = c.U32();
        h.style = c.U32();
    } else {
        h.style = w0 | (static_cast<std::uint32_t>(w1) << 16);
        h.exStyle = c.U32();
    }
    const std::uint16_t count = c.U16();
    h.x = c.S16();
    h.y = c.S16();
    h.cx = c.S16();
    h.cy = c.S16();
    h.menu = ReadSzOrOrd(c);
    h.windowClass = ReadSzOrOrd(c);
    h.title = c.Sz();
    if (h.style & 0x40) {  // DS_SETFONT
        h.pointSize = c.U16();
        if (h.extended) {
            h.weight = c.U16();
            h.italic = c.U8();
            h.charset = c.U8();
        }
        h.face = c.Sz();
    }
    for (std::uint16_t i = 0; i < count && !c.overrun(); ++i) {
        c.AlignDword();
        DialogItem item{};
        if (h.extended) {
            item.helpId = c.U32();
            item.exStyle = c.U32();
            item.style = c.U32();
        } else {
            item.style = c.U32();
            item.exStyle = c.U32();
        }
        item.x = c.S16();
        item.y = c.S16();
        item.cx = c.S16();
        item.cy = c.S16();
        item.id = h.extended ? c.U32() : c.U16();
        item.windowClass = ReadSzOrOrd(c);
        item.text = ReadSzOrOrd(c);
        item.extraBytes = c.U16();
        for (std::uint16_t k = 0; k < item.extraBytes; ++k)
            c.U8();
        d.items.push_back(item);
    }
    d.overrun = c.overrun();
    c.AlignDword();
    d.atEnd = c.atEnd();
    return d;
}

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
            text += static_cast<char16_t>(bytes::U16(value, i));
        if (!text.empty() && text.back() == u'\0')
            text.pop_back();
        return text;
    }
};

// Parses the node at `at`; false when a length runs outside its parent.
inline bool ParseVersionNode(const Bytes& data, std::size_t at, std::size_t end, VersionNode& node)
{
    using bytes::U16;
    if (at + 6 > end)
        return false;
    const std::size_t length = U16(data, at);
    if (length < 6 || at + length > end)
        return false;
    const std::size_t nodeEnd = at + length;
    node.valueLength = U16(data, at + 2);
    node.type = U16(data, at + 4);
    std::size_t p = at + 6;
    for (; p + 2 <= nodeEnd && U16(data, p) != 0; p += 2)
        node.key += static_cast<char16_t>(U16(data, p));
    p = (p + 2 + 3) & ~std::size_t(3);
    const std::size_t valueBytes = node.type == 1 ? 2u * node.valueLength : node.valueLength;
    if (p + valueBytes > nodeEnd)
        return false;
    node.value.assign(data.begin() + static_cast<std::ptrdiff_t>(p),
                      data.begin() + static_cast<std::ptrdiff_t>(p + valueBytes));
    p = (p + valueBytes + 3) & ~std::size_t(3);
    while (p < nodeEnd) {
        VersionNode child;
        if (!ParseVersionNode(data, p, nodeEnd, child))
            return false;
        p = (p + U16(data, p) + 3) & ~std::size_t(3);
        node.children.push_back(std::move(child));
    }
    return true;
}

struct IconEntry {
    unsigned width, height, colours, planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

// The entries of a group-icon resource; empty when it is malformed.
inline std::vector<IconEntry> DecodeIconGroup(const Bytes& data)
{
    Cursor c(data);
    std::vector<IconEntry> entries;
    if (c.U16() != 0 || c.U16() != 1)
        return entries;
    const std::uint16_t count = c.U16();
    for (std::uint16_t i = 0; i < count && !c.overrun(); ++i) {
        IconEntry e{};
        e.width = c.U8();
        e.height = c.U8();
        e.colours = c.U8();
        c.U8();
        e.planes = c.U16();
        e.bitCount = c.U16();
        e.bytes = c.U32();
        e.id = c.U16();
        entries.push_back(e);
    }
    return c.overrun() || !c.atEnd() ? std::vector<IconEntry>() : entries;
}

inline std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return s;
}

using Attributes = std::map<std::string, std::string>;

// Attributes of every element named `tag` in a manifest, in document order; the key "" holds
// the text that follows the opening tag.
inline std::vector<Attributes> Elements(const std::string& xml, const std::string& tag)
{
    std::vector<Attributes> found;
    const std::string open = "<" + tag;
    for (std::size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        const char after = xml[at + open.size()];
        if (after != ' ' && after != '\n' && after != '/' && after != '>')
            continue;
        const std::size_t close = xml.find('>', at);
        std::istringstream attrs(xml.substr(at + open.size(), close - at - open.size()));
        Attributes element;
        std::string name, value;
        while (std::getline(attrs >> std::ws, name, '=') && std::getline(attrs.ignore(1), value, '"'))
            element[name] = value;
        element[""] = xml.substr(close + 1, xml.find('<', close) - close - 1);
        found.push_back(element);
    }
    return found;
}

}  // namespace pe
