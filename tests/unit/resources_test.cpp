// Reads the resources back from the built Kavrin.exe and checks them byte for byte.
#include "AboutBox.h"
#include "PeImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <sstream>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kGerman = 0x0407;
constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtMenu = 4;
constexpr std::uint16_t kRtDialog = 5;
constexpr std::uint16_t kRtString = 6;
constexpr std::uint16_t kRtGroupIcon = 14;
constexpr std::uint16_t kRtVersion = 16;
constexpr std::uint16_t kRtManifest = 24;
const pe::ResourceId kAvi = pe::ResourceId::Named(u"AVI");

std::string WindowsBuildDir()
{
    const char* dir = std::getenv("KAVRIN_WINDOWS_DIR");
    return dir && *dir ? dir : KAVRIN_SOURCE_DIR "/build/windows";
}

Bytes ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

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

// Little-endian reader over one resource; reading past the end yields zeros and sets overrun.
class Cursor {
public:
    explicit Cursor(const Bytes& data) : m_data(data) {}

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

    std::u16string Sz()
    {
        std::u16string text;
        for (char16_t c = U16(); c != 0 && !m_overrun; c = U16())
            text += c;
        return text;
    }
    void AlignDword() { m_pos = std::min(m_data.size(), (m_pos + 3) & ~std::size_t(3)); }

    std::size_t pos() const { return m_pos; }
    bool overrun() const { return m_overrun; }
    bool atEnd() const { return m_pos == m_data.size(); }

private:
    const Bytes& m_data;
    std::size_t m_pos = 0;
    bool m_overrun = false;
};

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

SzOrOrd Ord(std::uint16_t n) { return {true, n, {}}; }
SzOrOrd Text(const std::u16string& s) { return {false, 0, s}; }

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

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return s;
}

// Attributes of every element named `tag` in a manifest, in document order.
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

class KavrinResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_path = WindowsBuildDir() + "/Kavrin.exe";
        s_image = new pe::PeImage;
        s_loaded = s_image->Load(s_path);
    }
    static void TearDownTestSuite()
    {
        delete s_image;
        s_image = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_loaded) << s_path << ": " << s_image->error(); }

    // The one resource of this type and name; fails the test unless there is exactly one.
    static const pe::Resource& Get(const pe::ResourceId& type, std::uint16_t name)
    {
        static const pe::Resource none;
        const auto found = s_image->Find(type, pe::ResourceId::Ordinal(name));
        EXPECT_EQ(found.size(), 1u) << "resource " << type.ToString() << "/" << name;
        return found.size() == 1 ? *found[0] : none;
    }
    static const pe::Resource& Get(std::uint16_t type, std::uint16_t name)
    {
        return Get(pe::ResourceId::Ordinal(type), name);
    }

    static std::string s_path;
    static pe::PeImage* s_image;
    static bool s_loaded;
};

std::string KavrinResources::s_path;
pe::PeImage* KavrinResources::s_image = nullptr;
bool KavrinResources::s_loaded = false;

struct IconEntry {
    unsigned width, height, colours, planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

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

}  // namespace

TEST_F(KavrinResources, EveryResourceIsGermanAndPresentOnce)
{
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::pair<std::string, std::string>> expected = {
        {"5", "100"},  {"5", "102"},  {"5", "152"},     {"4", "130"},     {"6", "7"},
        {"14", "128"}, {"16", "1"},   {"24", "1"},      {"\"AVI\"", "129"}, {"\"AVI\"", "132"},
    };
    for (const IconEntry& e : DecodeIconGroup(Get(kRtGroupIcon, 128).data))
        expected.insert({"3", std::to_string(e.id)});

    for (const pe::Resource& r : s_image->resources()) {
        const auto key = std::make_pair(r.type.ToString(), r.name.ToString());
        EXPECT_EQ(r.language, kGerman) << key.first << "/" << key.second;
        EXPECT_TRUE(seen.insert(key).second) << "twice: " << key.first << "/" << key.second;
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(KavrinResources, MainWindowTemplateIsExtendedWithButtonAndReport)
{
    const Dialog d = DecodeDialog(Get(kRtDialog, 102).data);
    ASSERT_FALSE(d.overrun);
    EXPECT_TRUE(d.atEnd);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.version, 1);
    EXPECT_EQ(d.signature, 0xFFFF);
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.style, 0x90CF0040u);
    EXPECT_EQ(d.exStyle, 0x00040000u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 226);
    EXPECT_EQ(d.cy, 153);
    EXPECT_EQ(d.menu, Ord(130));
    EXPECT_EQ(d.windowClass, Text(u""));
    EXPECT_EQ(d.title, u"Kavrin");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.face, u"MS Sans Serif");
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(d.items[0], (DialogItem{0, 0, 0x50010001, 88, 138, 50, 14, 1, Ord(0x80), Text(u"OK"), 0}));
    EXPECT_EQ(d.items[1],
              (DialogItem{0, 0, 0x50B110C4, 0, 0, 225, 134, 1000, Ord(0x81), Text(u""), 0}));
}

TEST_F(KavrinResources, MainMenuHoldsOnlyCopyOnTheBar)
{
    const Bytes& data = Get(kRtMenu, 130).data;
    Cursor c(data);
    EXPECT_EQ(c.U16(), 0) << "version";
    EXPECT_EQ(c.U16(), 0) << "header size";
    EXPECT_EQ(c.U16(), 0x0080) << "flags: MF_END only, no MF_POPUP";
    EXPECT_EQ(c.U16(), 40001) << "command";
    EXPECT_EQ(c.Sz(), u"&Copy");
    EXPECT_FALSE(c.overrun());
    c.AlignDword();
    EXPECT_TRUE(c.atEnd()) << "bytes after the last item";
}

namespace {

// The header both boxes share: classic form, modal frame, at (0, 0), no menu, 8-point font.
void ExpectBoxHeader(const Dialog& d, int cx, int cy, const std::u16string& title)
{
    ASSERT_FALSE(d.overrun);
    EXPECT_TRUE(d.atEnd);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80C800C0u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, cx);
    EXPECT_EQ(d.cy, cy);
    EXPECT_EQ(d.menu, Text(u""));
    EXPECT_EQ(d.windowClass, Text(u""));
    EXPECT_EQ(d.title, title);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.face, u"MS Sans Serif");
}

}  // namespace

TEST_F(KavrinResources, AboutBoxTemplateIsClassicWithSevenControls)
{
    const Dialog d = DecodeDialog(Get(kRtDialog, 100).data);
    ExpectBoxHeader(d, 178, 87, u"Info \u00FCber Kavrin");

    const std::vector<DialogItem> expected = {
        {0, 0, 0x50000003, 106, 47, 20, 20, 1004, Ord(0x82), Ord(128), 0},
        {0, 0, 0x50030001, 88, 71, 50, 14, 1, Ord(0x80), Text(u"OK"), 0},
        {0, 0, 0x50020080, 73, 4, 102, 8, 1011, Ord(0x82), Text(u"Kavrin Version x.x"), 0},
        {0, 0, 0x50020000, 73, 14, 102, 8, 1022, Ord(0x82), Text(u"Copyright (C) 2001"), 0},
        // The program's one address; the end-to-end suite checks its bytes as shown.
        {0, 0, 0x50020000, 73, 34, 101, 8, 1023, Ord(0x82), Text(u"" KAVRIN_FEEDBACK_ADDRESS), 0},
        {0, 0, 0x50020080, 73, 24, 102, 8, 1009, Ord(0x82), Text(u""), 0},
        {0, 0, 0x50020100, 3, 4, 66, 79, 1012, Ord(0x82), Text(u""), 0},
    };
    ASSERT_EQ(d.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(d.items[i], expected[i]) << "control " << i + 1;
}

TEST_F(KavrinResources, DedicationTemplateIsClassicWithThreeControls)
{
    const Dialog d = DecodeDialog(Get(kRtDialog, 152).data);
    ExpectBoxHeader(d, 221, 159, u"Widmung");

    const std::vector<DialogItem> expected = {
        {0, 0, 0x50010001, 85, 144, 50, 14, 1, Ord(0x80), Text(u"OK"), 0},
        {0, 0, 0x50020000, 3, 16, 215, 126, 1043, Ord(0x82), Text(u""), 0},
        {0, 0, 0x50020000, 3, 3, 71, 9, 1044, Ord(0x82), Text(u"F\u00FCr alle User..."), 0},
    };
    ASSERT_EQ(d.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(d.items[i], expected[i]) << "control " << i + 1;
}

TEST_F(KavrinResources, StringTableHoldsOnlyTheAboutItem)
{
    // String 101 is entry 5 of block 7 (IDs 96 to 111).
    Cursor c(Get(kRtString, 7).data);
    for (int i = 0; i < 16; ++i) {
        std::u16string text;
        for (std::uint16_t n = c.U16(); n > 0 && !c.overrun(); --n)
            text += static_cast<char16_t>(c.U16());
        if (i == 5) {
            EXPECT_EQ(text, u"Inf&o \u00FCber Kavrin...");
            ASSERT_GT(text.size(), 6u);
            EXPECT_EQ(static_cast<unsigned>(text[6]), 0x00FCu) << "u-umlaut as UTF-16";
        } else {
            EXPECT_EQ(text, u"") << "string " << 96 + i;
        }
    }
    EXPECT_FALSE(c.overrun());
}

TEST_F(KavrinResources, IconGroupHasThreeImagesInOrder)
{
    const std::vector<IconEntry> entries = DecodeIconGroup(Get(kRtGroupIcon, 128).data);
    ASSERT_EQ(entries.size(), 3u);
    const unsigned expected[3][4] = {{32, 32, 16, 4}, {16, 16, 16, 4}, {48, 48, 0, 8}};
    for (std::size_t i = 0; i < 3; ++i) {
        const IconEntry& e = entries[i];
        EXPECT_EQ(e.width, expected[i][0]) << "image " << i;
        EXPECT_EQ(e.height, expected[i][1]) << "image " << i;
        EXPECT_EQ(e.colours, expected[i][2]) << "image " << i;
        EXPECT_EQ(e.planes, 1u) << "image " << i;
        EXPECT_EQ(e.bitCount, expected[i][3]) << "image " << i;

        // The image itself: a DIB whose header agrees with the group entry.
        const Bytes& image = Get(kRtIcon, e.id).data;
        EXPECT_EQ(image.size(), e.bytes) << "image " << i;
        Cursor c(image);
        EXPECT_EQ(c.U32(), 40u) << "BITMAPINFOHEADER size, image " << i;
        EXPECT_EQ(c.U32(), expected[i][0]) << "image " << i;
        EXPECT_EQ(c.U32(), 2 * expected[i][1]) << "image " << i << " (colour and mask)";
        EXPECT_EQ(c.U16(), 1u) << "image " << i;
        EXPECT_EQ(c.U16(), expected[i][3]) << "image " << i;
    }
}

TEST_F(KavrinResources, IconImagesAreThoseOfTheIconFile)
{
    const Bytes file = ReadFile(KAVRIN_SOURCE_DIR "/res/Kavrin.ico");
    ASSERT_GE(file.size(), 6u);
    Cursor c(file);
    c.U16();
    c.U16();
    const std::uint16_t count = c.U16();
    const std::vector<IconEntry> group = DecodeIconGroup(Get(kRtGroupIcon, 128).data);
    ASSERT_EQ(group.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        for (int k = 0; k < 8; ++k)
            c.U8();
        const std::uint32_t size = c.U32();
        const std::uint32_t offset = c.U32();
        ASSERT_FALSE(c.overrun());
        ASSERT_LE(std::uint64_t(offset) + size, file.size());
        const Bytes fromFile(file.begin() + offset, file.begin() + offset + size);
        EXPECT_EQ(Get(kRtIcon, group[i].id).data, fromFile) << "image " << i;
    }
}

TEST_F(KavrinResources, ClipsAreTheCommittedFilesUnderTypeAvi)
{
    const Bytes about = ReadFile(KAVRIN_SOURCE_DIR "/res/about.avi");
    const Bytes widmung = ReadFile(KAVRIN_SOURCE_DIR "/res/widmung.avi");
    ASSERT_FALSE(about.empty());
    ASSERT_FALSE(widmung.empty());
    EXPECT_TRUE(Get(kAvi, 129).data == about) << "clip 129 differs from res/about.avi";
    EXPECT_TRUE(Get(kAvi, 132).data == widmung) << "clip 132 differs from res/widmung.avi";
}

TEST_F(KavrinResources, VersionBlockHasFixedPartGermanTableAndTranslation)
{
    const Bytes& data = Get(kRtVersion, 1).data;
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(data, 0, data.size(), root));
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    EXPECT_EQ(root.type, 0);
    ASSERT_EQ(root.value.size(), 52u);

    Cursor fixed(root.value);
    const std::uint32_t expectedFixed[13] = {
        0xFEEF04BD, 0x00010000,  // signature, structure version
        0x00020000, 0x00000003,  // file version 2.0.0.3
        0x00010000, 0x00000001,  // product version 1.0.0.1
        0x3F,       0x28,        // flags mask, flags (private and special build)
        0x4,        0x1,  0,     // Windows 32, application, no subtype
        0,          0,           // no date
    };
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(fixed.U32(), expectedFixed[i]) << "fixed-part field " << i;

    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& strings = root.children[0];
    EXPECT_EQ(strings.key, u"StringFileInfo");
    ASSERT_EQ(strings.children.size(), 1u);
    const VersionNode& table = strings.children[0];
    EXPECT_EQ(table.key, u"040704b0");

    const std::vector<std::pair<std::u16string, std::u16string>> expected = {
        {u"Comments", u"Release 16.07.2001"},
        {u"CompanyName", u"Kavrin-Projekt"},
        {u"FileDescription", u"MFC-Anwendung Kavrin"},
        {u"FileVersion", u"2, 0, 0, 3"},
        {u"InternalName", u"Kavrin"},
        {u"LegalCopyright", u"Copyright \u00A9 2001-2026 Kavrin-Projekt"},
        {u"LegalTrademarks", u" "},
        {u"OriginalFilename", u"Kavrin.EXE"},
        {u"PrivateBuild", u"Systeminfo"},
        {u"ProductName", u"Anwendung Kavrin"},
        {u"ProductVersion", u"1, 0, 0, 1"},
        {u"SpecialBuild", u" "},
    };
    ASSERT_EQ(table.children.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VersionNode& entry = table.children[i];
        EXPECT_EQ(entry.key, expected[i].first) << "entry " << i;
        EXPECT_EQ(entry.type, 1) << Narrow(entry.key);
        EXPECT_EQ(entry.Text(), expected[i].second) << Narrow(entry.key);
        // The counted length covers the text and at most its terminating zero.
        EXPECT_GE(entry.valueLength, expected[i].second.size()) << Narrow(entry.key);
        EXPECT_LE(entry.valueLength, expected[i].second.size() + 1) << Narrow(entry.key);
    }

    const VersionNode& vars = root.children[1];
    EXPECT_EQ(vars.key, u"VarFileInfo");
    ASSERT_EQ(vars.children.size(), 1u);
    EXPECT_EQ(vars.children[0].key, u"Translation");
    EXPECT_EQ(vars.children[0].type, 0);
    EXPECT_EQ(vars.children[0].value, (Bytes{0x07, 0x04, 0xB0, 0x04}));
}

TEST_F(KavrinResources, ManifestAsksForCommonControlsSixWithoutDpiAwareness)
{
    const Bytes& data = Get(kRtManifest, 1).data;
    EXPECT_TRUE(data == ReadFile(KAVRIN_SOURCE_DIR "/res/Kavrin.manifest"))
        << "embedded manifest differs from res/Kavrin.manifest";
    const std::string xml(data.begin(), data.end());

    std::set<std::string> os;
    for (const auto& e : Elements(xml, "supportedOS"))
        os.insert(Lower(e.count("Id") ? e.at("Id") : ""));
    EXPECT_EQ(os, (std::set<std::string>{
                      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
                      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                  }));

    int commonControls = 0;
    for (auto& e : Elements(xml, "assemblyIdentity")) {
        if (e["name"] != "Microsoft.Windows.Common-Controls")
            continue;
        ++commonControls;
        EXPECT_EQ(e["type"], "win32");
        EXPECT_EQ(e["version"], "6.0.0.0");
        EXPECT_EQ(Lower(e["publicKeyToken"]), "6595b64144ccf1df");
        EXPECT_TRUE(e["processorArchitecture"] == "amd64" || e["processorArchitecture"] == "*")
            << e["processorArchitecture"];
    }
    EXPECT_EQ(commonControls, 1);
    EXPECT_NE(xml.find("<dependentAssembly>"), std::string::npos);

    const auto levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].count("level") ? levels[0].at("level") : "", "asInvoker");

    EXPECT_EQ(Lower(xml).find("dpiaware"), std::string::npos) << "dpiAware or dpiAwareness present";
}

TEST(ResourceHeader, EveryNameAndEveryValueWithinAPrefixIsUnique)
{
    std::ifstream file(KAVRIN_SOURCE_DIR "/res/resource.h");
    ASSERT_TRUE(file) << "res/resource.h";
    std::set<std::string> names;
    std::map<std::string, std::map<long, std::string>> byPrefix;
    std::string line;
    int defines = 0;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        words >> directive >> name >> value;
        if (directive != "#define" || value.empty())
            continue;  // guards, comments, blank lines
        ++defines;
        EXPECT_TRUE(names.insert(name).second) << "defined twice: " << name;
        EXPECT_EQ(name.find("_APS_"), std::string::npos) << "resource-editor counter " << name;
        char* end = nullptr;
        const long number = std::strtol(value.c_str(), &end, 0);
        EXPECT_EQ(*end, '\0') << name << " is not a plain number: " << value;
        const std::string prefix = name.substr(0, name.find('_'));
        const auto [it, fresh] = byPrefix[prefix].emplace(number, name);
        EXPECT_TRUE(fresh) << name << " has the value of " << it->second;
    }
    EXPECT_GE(defines, 19) << "identifiers read from res/resource.h";
}

TEST(PeImageReader, TruncatedOrForeignFilesAreRejectedWithAReason)
{
    pe::PeImage full;
    ASSERT_TRUE(full.Load(WindowsBuildDir() + "/Kavrin.exe")) << full.error();
    const Bytes bytes = ReadFile(WindowsBuildDir() + "/Kavrin.exe");

    for (std::size_t length : {std::size_t(0), std::size_t(0x3F), std::size_t(0x100),
                               std::size_t(0x400), bytes.size() - 1}) {
        pe::PeImage cut;
        EXPECT_FALSE(cut.Parse(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length))))
            << "length " << length;
        EXPECT_FALSE(cut.error().empty()) << "length " << length;
    }

    Bytes notPe32Plus = bytes;
    const std::size_t optional = notPe32Plus[0x3C] + (notPe32Plus[0x3D] << 8) + 24;
    notPe32Plus[optional] = 0x0B;  // magic 0x10B: a 32-bit image
    notPe32Plus[optional + 1] = 0x01;
    pe::PeImage wrong;
    EXPECT_FALSE(wrong.Parse(notPe32Plus));
}
