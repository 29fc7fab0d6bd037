// Reads the resources back from the built programs and checks them byte for byte.
#include "../Expected.h"
#include "PeImage.h"
#include "PeResources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

using namespace pe;
using bytes::Fields;
using bytes::ReadFile;

constexpr std::uint16_t kGerman = 0x0407;
const ResourceId kRtIcon = ResourceId::Ordinal(3);
const ResourceId kRtMenu = ResourceId::Ordinal(4);
const ResourceId kRtDialog = ResourceId::Ordinal(5);
const ResourceId kRtString = ResourceId::Ordinal(6);
const ResourceId kRtGroupIcon = ResourceId::Ordinal(14);
const ResourceId kRtVersion = ResourceId::Ordinal(16);
const ResourceId kRtManifest = ResourceId::Ordinal(24);
const ResourceId kAvi = ResourceId::Named(u"AVI");

// Both programs, each read once; error() is empty when it loaded. A name, not a std::string: a
// temporary argument would make every reference into the image look dangling to the compiler.
const PeImage& Program(const char* file)
{
    static std::map<std::string, PeImage> images;
    auto [it, fresh] = images.try_emplace(file);
    if (fresh)
        it->second.Load(WindowsBuildDir() + "/" + file + ".exe");
    return it->second;
}

// The one resource of this type and name; fails the test unless there is exactly one.
const Bytes& Only(const PeImage& image, const ResourceId& type, std::uint16_t name)
{
    static const Bytes none;
    const auto found = image.Find(type, ResourceId::Ordinal(name));
    EXPECT_EQ(found.size(), 1u) << "resource " << type.ToString() << "/" << name;
    return found.size() == 1 ? found[0]->data : none;
}

class KavrinResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Program("Kavrin").error(), "") << WindowsBuildDir(); }

    static const Bytes& Get(const ResourceId& type, std::uint16_t name)
    {
        return Only(Program("Kavrin"), type, name);
    }

    // Dialog template `name`: its header, then its controls in order.
    static void ExpectDialog(std::uint16_t name, const DialogHeader& header,
                             const std::vector<DialogItem>& items)
    {
        const Dialog d = DecodeDialog(Get(kRtDialog, name));
        ASSERT_FALSE(d.overrun);
        EXPECT_TRUE(d.atEnd);
        EXPECT_EQ(d.header, header);
        ASSERT_EQ(d.items.size(), items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(d.items[i], items[i]) << "control " << i + 1;
    }
};

// The header both boxes share: classic form, modal frame, at (0, 0), no menu, 8-point font.
DialogHeader ClassicBox(std::int16_t cx, std::int16_t cy, const char* title)
{
    return {false, 0, 0, 0, 0, 0x80C800C0, 0, 0, cx, cy, Text(u""), Text(u""), Widen(title), 8, 0, 0, 0,
            u"MS Sans Serif"};
}

}  // namespace

TEST_F(KavrinResources, EveryResourceIsGermanAndPresentOnce)
{
    std::set<std::pair<std::string, std::string>> seen;
    std::set<std::pair<std::string, std::string>> expected = {
        {"5", "100"},  {"5", "102"},  {"5", "152"},     {"4", "130"},     {"6", "7"},
        {"14", "128"}, {"16", "1"},   {"24", "1"},      {"\"AVI\"", "129"}, {"\"AVI\"", "132"},
    };
    for (const IconEntry& e : DecodeIconGroup(Get(kRtGroupIcon, 128)))
        expected.insert({"3", std::to_string(e.id)});

    for (const Resource& r : Program("Kavrin").resources()) {
        const auto key = std::make_pair(r.type.ToString(), r.name.ToString());
        EXPECT_EQ(r.language, kGerman) << key.first << "/" << key.second;
        EXPECT_TRUE(seen.insert(key).second) << "twice: " << key.first << "/" << key.second;
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(KavrinResources, MainWindowTemplateIsExtendedWithButtonAndReport)
{
    // extended, version, signature, help ID, ex style, style, x, y, cx, cy, menu, class, title,
    // point size, weight, italic, charset, face
    ExpectDialog(102,
                 {true, 1, 0xFFFF, 0, 0x00040000, 0x90CF0040, 0, 0, 226, 153, Ord(130), Text(u""), u"Kavrin",
                  8, 0, 0, 1, u"MS Sans Serif"},
                 {
                     {0, 0, 0x50010001, 88, 138, 50, 14, 1, Ord(0x80), Text(u"OK"), 0},
                     {0, 0, 0x50B110C4, 0, 0, 225, 134, 1000, Ord(0x81), Text(u""), 0},
                 });
}

TEST_F(KavrinResources, MainMenuHoldsOnlyCopyOnTheBar)
{
    Cursor c(Get(kRtMenu, 130));
    EXPECT_EQ((Fields{c.U16(), c.U16(), c.U16(), c.U16()}), (Fields{0, 0, 0x0080, 40001}))
        << "version, header size, flags (MF_END only, no MF_POPUP), command";
    EXPECT_EQ(c.Sz(), u"&Copy");
    EXPECT_FALSE(c.overrun());
    c.AlignDword();
    EXPECT_TRUE(c.atEnd()) << "bytes after the last item";
}

TEST_F(KavrinResources, AboutBoxTemplateIsClassicWithSevenControls)
{
    ExpectDialog(100, ClassicBox(178, 87, expected::kAboutTitle.c_str()), {
        {0, 0, 0x50000003, 106, 47, 20, 20, 1004, Ord(0x82), Ord(128), 0},
        {0, 0, 0x50030001, 88, 71, 50, 14, 1, Ord(0x80), Text(u"OK"), 0},
        {0, 0, 0x50020080, 73, 4, 102, 8, 1011, Ord(0x82), Text(u"Kavrin Version x.x"), 0},
        {0, 0, 0x50020000, 73, 14, 102, 8, 1022, Ord(0x82), Text(u"Copyright (C) 2001"), 0},
        {0, 0, 0x50020000, 73, 34, 101, 8, 1023, Ord(0x82), Text(Widen(expected::kFeedback)), 0},
        {0, 0, 0x50020080, 73, 24, 102, 8, 1009, Ord(0x82), Text(u""), 0},
        {0, 0, 0x50020100, 3, 4, 66, 79, 1012, Ord(0x82), Text(u""), 0},
    });
}

TEST_F(KavrinResources, DedicationTemplateIsClassicWithThreeControls)
{
    ExpectDialog(152, ClassicBox(221, 159, expected::kWidmungTitle), {
        {0, 0, 0x50010001, 85, 144, 50, 14, 1, Ord(0x80), Text(u"OK"), 0},
        {0, 0, 0x50020000, 3, 16, 215, 126, 1043, Ord(0x82), Text(u""), 0},
        {0, 0, 0x50020000, 3, 3, 71, 9, 1044, Ord(0x82), Text(u"F\u00FCr alle User..."), 0},
    });
}

TEST_F(KavrinResources, StringTableHoldsOnlyTheAboutItem)
{
    // String 101 is entry 5 of block 7 (IDs 96 to 111).
    Cursor c(Get(kRtString, 7));
    for (int i = 0; i < 16; ++i) {
        std::u16string text;
        for (std::uint16_t n = c.U16(); n > 0 && !c.overrun(); --n)
            text += static_cast<char16_t>(c.U16());
        if (i == 5) {
            EXPECT_EQ(text, Widen(expected::kAboutItem));
            ASSERT_GT(text.size(), 6u);
            EXPECT_EQ(static_cast<unsigned>(text[6]), 0x00FCu) << "u-umlaut as UTF-16";
        } else {
            EXPECT_EQ(text, u"") << "string " << 96 + i;
        }
    }
    EXPECT_FALSE(c.overrun());
}

// The icon file's own directory and images, which its tests check, are what the group and the
// images of the program hold.
TEST_F(KavrinResources, IconGroupAndImagesAreTheIconFiles)
{
    const Bytes file = ReadFile(KAVRIN_SOURCE_DIR "/res/Kavrin.ico");
    const std::vector<IconEntry> group = DecodeIconGroup(Get(kRtGroupIcon, 128));
    ASSERT_GE(file.size(), 6 + 16 * group.size());
    ASSERT_EQ(group.size(), U16(file, 4));
    for (std::size_t i = 0; i < group.size(); ++i) {
        const IconEntry& e = group[i];
        const std::size_t at = 6 + 16 * i;
        EXPECT_EQ((Fields{e.width, e.height, e.colours, e.planes, e.bitCount, e.bytes}),
                  (Fields{file[at], file[at + 1], file[at + 2], U16(file, at + 4), U16(file, at + 6),
                          U32(file, at + 8)}))
            << "image " << i << ": width, height, colours, planes, bits, bytes";
        const std::uint32_t size = U32(file, at + 8), offset = U32(file, at + 12);
        ASSERT_LE(std::uint64_t(offset) + size, file.size());
        EXPECT_EQ(Get(kRtIcon, e.id), Bytes(file.begin() + offset, file.begin() + offset + size)) << "image " << i;
    }
}

TEST_F(KavrinResources, ClipsAreTheCommittedFilesUnderTypeAvi)
{
    const std::pair<std::uint16_t, const char*> clips[] = {{129, "about.avi"}, {132, "widmung.avi"}};
    for (const auto& [name, file] : clips) {
        const Bytes clip = ReadFile(std::string(KAVRIN_SOURCE_DIR "/res/") + file);
        ASSERT_FALSE(clip.empty()) << file;
        EXPECT_TRUE(Get(kAvi, name) == clip) << "clip " << name << " differs from res/" << file;
    }
}

namespace {

// Both programs carry one version block: the same numbers and German table, each with its own
// description and names.
struct ProgramDeclarations {
    const char* file;
    std::u16string description, internalName, originalName;
    int commonControls;  // dependencies on Common Controls 6 in the manifest
};

const ProgramDeclarations kPrograms[] = {
    {"Kavrin", u"MFC-Anwendung Kavrin", u"Kavrin", u"Kavrin.EXE", 1},
    {"KavrinReport", u"Kavrin-Bericht f\u00FCr die Konsole", u"KavrinReport", u"KavrinReport.EXE", 0},
};

// Two 16-bit version numbers as the fixed part holds them, the first in the high half.
constexpr std::uint32_t Pair(unsigned high, unsigned low)
{
    return static_cast<std::uint32_t>(high << 16 | low);
}

void ExpectVersionBlock(const ProgramDeclarations& program)
{
    ASSERT_EQ(Program(program.file).error(), "");
    const Bytes& data = Only(Program(program.file), kRtVersion, 1);
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(data, 0, data.size(), root));
    EXPECT_EQ(root.key, u"VS_VERSION_INFO");
    EXPECT_EQ(root.type, 0);
    ASSERT_EQ(root.value.size(), 52u);

    Cursor fixed(root.value);
    const std::uint32_t expectedFixed[13] = {
        0xFEEF04BD, 0x00010000,  // signature, structure version
        Pair(expected::kFileVersion[0], expected::kFileVersion[1]),
        Pair(expected::kFileVersion[2], expected::kFileVersion[3]),
        Pair(expected::kProductVersion[0], expected::kProductVersion[1]),
        Pair(expected::kProductVersion[2], expected::kProductVersion[3]),
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
        {u"Comments", Widen(expected::kComment)},
        {u"CompanyName", Widen(expected::kCompany)},
        {u"FileDescription", program.description},
        {u"FileVersion", Widen(expected::VersionText(expected::kFileVersion, ", "))},
        {u"InternalName", program.internalName},
        {u"LegalCopyright", Widen(expected::kCopyright)},
        {u"LegalTrademarks", u" "},
        {u"OriginalFilename", program.originalName},
        {u"PrivateBuild", Widen(expected::kPrivateBuild)},
        {u"ProductName", Widen(expected::kProductName)},
        {u"ProductVersion", Widen(expected::VersionText(expected::kProductVersion, ", "))},
        {u"SpecialBuild", u" "},
    };
    ASSERT_EQ(table.children.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VersionNode& entry = table.children[i];
        SCOPED_TRACE("entry " + std::to_string(i) + " " + ::testing::PrintToString(expected[i].first));
        EXPECT_EQ(entry.key, expected[i].first);
        EXPECT_EQ(entry.type, 1);
        EXPECT_EQ(entry.Text(), expected[i].second);
        // The counted length covers the text and at most its terminating zero.
        EXPECT_GE(entry.valueLength, expected[i].second.size());
        EXPECT_LE(entry.valueLength, expected[i].second.size() + 1);
    }

    const VersionNode& vars = root.children[1];
    EXPECT_EQ(vars.key, u"VarFileInfo");
    ASSERT_EQ(vars.children.size(), 1u);
    EXPECT_EQ(vars.children[0].key, u"Translation");
    EXPECT_EQ(vars.children[0].type, 0);
    EXPECT_EQ(vars.children[0].value, (Bytes{0x07, 0x04, 0xB0, 0x04}));
}

// Every Windows from Vista on, as invoker, DPI-aware; Common Controls 6 where asked for.
void ExpectManifest(const ProgramDeclarations& program)
{
    ASSERT_EQ(Program(program.file).error(), "");
    const Bytes& data = Only(Program(program.file), kRtManifest, 1);
    const std::string generated = WindowsBuildDir() + "/res/" + program.file + ".manifest";
    EXPECT_TRUE(data == ReadFile(generated)) << "embedded manifest differs from " << generated;
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
        if (e["name"] != "Microsoft.Windows.Common-Controls") {
            EXPECT_EQ(e["version"], expected::VersionText(expected::kFileVersion)) << e["name"];
            continue;
        }
        ++commonControls;
        EXPECT_EQ(e["type"], "win32");
        EXPECT_EQ(e["version"], "6.0.0.0");
        EXPECT_EQ(Lower(e["publicKeyToken"]), "6595b64144ccf1df");
        EXPECT_TRUE(e["processorArchitecture"] == "amd64" || e["processorArchitecture"] == "*")
            << e["processorArchitecture"];
    }
    EXPECT_EQ(commonControls, program.commonControls);
    EXPECT_EQ(xml.find("<dependentAssembly>") != std::string::npos, program.commonControls > 0);

    const auto levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].count("level") ? levels[0].at("level") : "", "asInvoker");

    // Per-monitor v2 from Windows 10 1703 on, system-aware before; an element in another
    // namespace is ignored by Windows.
    const auto aware = Elements(xml, "dpiAware"), awareness = Elements(xml, "dpiAwareness");
    ASSERT_EQ(aware.size(), 1u);
    ASSERT_EQ(awareness.size(), 1u);
    EXPECT_EQ(aware[0],
              (Attributes{{"xmlns", "http://schemas.microsoft.com/SMI/2005/WindowsSettings"}, {"", "true"}}));
    EXPECT_EQ(awareness[0], (Attributes{{"xmlns", "http://schemas.microsoft.com/SMI/2016/WindowsSettings"},
                                        {"", "PerMonitorV2, system"}}));
}

}  // namespace

TEST(ProgramResources, BothVersionBlocksHaveTheSameNumbersAndTheirOwnNames)
{
    for (const ProgramDeclarations& program : kPrograms) {
        SCOPED_TRACE(program.file);
        ExpectVersionBlock(program);
    }
}

TEST(ProgramResources, BothManifestsDeclareEveryWindowsAsInvokerAndDpiAware)
{
    for (const ProgramDeclarations& program : kPrograms) {
        SCOPED_TRACE(program.file);
        ExpectManifest(program);
    }
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
