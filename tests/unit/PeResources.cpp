#include "PeResources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace pe {

namespace {

SzOrOrd ReadSzOrOrd(Cursor& c)
{
    const std::uint16_t first = c.U16();
    if (first == 0xFFFF)
        return Ord(c.U16());
    std::u16string text;
    for (char16_t ch = first; ch != 0 && !c.overrun(); ch = c.U16())
        text += ch;
    return Text(text);
}

}  // namespace

std::string Narrow(const std::u16string& text)
{
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

SzOrOrd Ord(std::uint16_t n) { return {true, n, {}}; }
SzOrOrd Text(const std::u16string& s) { return {false, 0, s}; }

Dialog DecodeDialog(const Bytes& data)
{
    Cursor c(data);
    Dialog d;
    const std::uint16_t w0 = c.U16();
    const std::uint16_t w1 = c.U16();
    d.extended = w0 == 1 && w1 == 0xFFFF;
    std::uint16_t count = 0;
    if (d.extended) {
        d.version = w0;
        d.signature = w1;
        d.helpId = c.U32();
        d.exStyle = c.U32();
        d.style = c.U32();
    } else {
        d.style = w0 | (static_cast<std::uint32_t>(w1) << 16);
        d.exStyle = c.U32();
    }
    count = c.U16();
    d.x = c.S16();
    d.y = c.S16();
    d.cx = c.S16();
    d.cy = c.S16();
    d.menu = ReadSzOrOrd(c);
    d.windowClass = ReadSzOrOrd(c);
    d.title = c.Sz();
    if (d.style & 0x40) {  // DS_SETFONT
        d.pointSize = c.U16();
        if (d.extended) {
            d.weight = c.U16();
            d.italic = c.U8();
            d.charset = c.U8();
        }
        d.face = c.Sz();
    }
    for (std::uint16_t i = 0; i < count && !c.overrun(); ++i) {
        c.AlignDword();
        DialogItem item{};
        if (d.extended) {
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
        item.id = d.extended ? c.U32() : c.U16();
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

bool ParseVersionNode(const Bytes& data, std::size_t at, std::size_t end, VersionNode& node)
{
    auto u16 = [&](std::size_t p) { return static_cast<std::uint16_t>(data[p] | (data[p + 1] << 8)); };
    if (at + 6 > end)
        return false;
    const std::size_t length = u16(at);
    if (length < 6 || at + length > end)
        return false;
    const std::size_t nodeEnd = at + length;
    node.valueLength = u16(at + 2);
    node.type = u16(at + 4);
    std::size_t p = at + 6;
    for (; p + 2 <= nodeEnd && u16(p) != 0; p += 2)
        node.key += static_cast<char16_t>(u16(p));
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
        p = (p + u16(p) + 3) & ~std::size_t(3);
        node.children.push_back(std::move(child));
    }
    return true;
}

std::vector<IconEntry> DecodeIconGroup(const Bytes& data)
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

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return s;
}

std::vector<std::map<std::string, std::string>> Elements(const std::string& xml, const std::string& tag)
{
    std::vector<std::map<std::string, std::string>> found;
    const std::string open = "<" + tag;
    for (std::size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1)) {
        const char after = xml[at + open.size()];
        if (after != ' ' && after != '\n' && after != '/' && after != '>')
            continue;
        const std::size_t close = xml.find('>', at);
        std::istringstream attrs(xml.substr(at + open.size(), close - at - open.size()));
        std::map<std::string, std::string> element;
        std::string name, value;
        while (std::getline(attrs >> std::ws, name, '=') && std::getline(attrs.ignore(1), value, '"'))
            element[name] = value;
        found.push_back(element);
    }
    return found;
}

}  // namespace pe
