#include "../Expected.h"
#include "FakePlatform.h"
#include "VersionReader.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

const char kComments[] = "\\StringFileInfo\\040704b0\\Comments";
const char kCopyright[] = "\\StringFileInfo\\040704b0\\LegalCopyright";

// The program's own block: 2.0.0.3 / 1.0.0.1 and the German table.
FakePlatform OwnResource()
{
    FakePlatform fake;
    fake.versionBlock.assign(1200, 0xAB);
    fake.fixedInfo.dwSignature = 0xFEEF04BD;
    fake.fixedInfo.dwFileVersionMS = 0x00020000;
    fake.fixedInfo.dwFileVersionLS = 0x00000003;
    fake.fixedInfo.dwProductVersionMS = 0x00010000;
    fake.fixedInfo.dwProductVersionLS = 0x00000001;
    fake.versionStrings[kComments] = expected::kComment;
    fake.versionStrings[kCopyright] = expected::kCopyright;
    fake.versionStrings["\\StringFileInfo\\040704b0\\FileVersion"] = "2, 0, 0, 3";
    return fake;
}

using Result = std::pair<bool, std::vector<std::string>>;

// The reader's answer and its outputs in order: file version, product version, comment,
// copyright. They start as "alt-f", "alt-p", "alt-c", "alt-r": what the reader leaves alone.
Result Read(FakePlatform& fake, const char* app = "Kavrin")
{
    CString file("alt-f"), product("alt-p"), comment("alt-c"), copyright("alt-r");
    const bool ok = ReadVersionInfo(fake, app, file, product, comment, copyright);
    return {ok, {std::string(file), std::string(product), std::string(comment), std::string(copyright)}};
}

}  // namespace

TEST(VersionReader, OwnResourceGivesDottedVersionsAndStrings)
{
    FakePlatform fake = OwnResource();
    EXPECT_EQ(Read(fake), Result(true, {"2.0.0.3", "1.0.0.1", expected::kComment, expected::kCopyright}));
    EXPECT_EQ(fake.filesAsked, (std::vector<std::string>{"Kavrin.exe"}));
}

TEST(VersionReader, FileNameFollowsTheApplicationName)
{
    FakePlatform fake = OwnResource();
    Read(fake, "Andere");
    EXPECT_EQ(fake.filesAsked, (std::vector<std::string>{"Andere.exe"}));
}

// One change to the program's own block, and what the reader then answers.
struct OneChange {
    const char* name;
    void (*change)(FakePlatform&);
    Result want;
};

void PrintTo(const OneChange& c, std::ostream* out)
{
    *out << c.name;
}

const OneChange kChanges[] = {
    {"words are unsigned decimal without leading zeros",
     [](FakePlatform& f) { f.fixedInfo.dwFileVersionMS = 0xFFFF0007; f.fixedInfo.dwFileVersionLS = 0x000A8000; },
     {true, {"65535.7.10.32768", "1.0.0.1", expected::kComment, expected::kCopyright}}},
    {"the product version has its own words",
     [](FakePlatform& f) { f.fixedInfo.dwProductVersionMS = 0x8000FFFF; },
     {true, {"2.0.0.3", "32768.65535.0.1", expected::kComment, expected::kCopyright}}},
    {"a missing file changes nothing", [](FakePlatform& f) { f.versionFileFound = false; },
     {false, {"alt-f", "alt-p", "alt-c", "alt-r"}}},
    {"a missing fixed part still sets the strings", [](FakePlatform& f) { f.hasFixedInfo = false; },
     {false, {"alt-f", "alt-p", expected::kComment, expected::kCopyright}}},
    {"a fixed part shorter than the record is missing", [](FakePlatform& f) { f.fixedInfoLength = 8; },
     {false, {"alt-f", "alt-p", expected::kComment, expected::kCopyright}}},
    {"a table in another language leaves the strings untouched",
     [](FakePlatform& f) {
         f.versionStrings.clear();
         f.versionStrings["\\StringFileInfo\\040904b0\\Comments"] = "english";
         f.versionStrings["\\StringFileInfo\\040904b0\\LegalCopyright"] = "english";
     },
     {true, {"2.0.0.3", "1.0.0.1", "alt-c", "alt-r"}}},
    {"a missing comment leaves only that output", [](FakePlatform& f) { f.versionStrings.erase(kComments); },
     {true, {"2.0.0.3", "1.0.0.1", "alt-c", expected::kCopyright}}},
    {"a missing copyright leaves only that output", [](FakePlatform& f) { f.versionStrings.erase(kCopyright); },
     {true, {"2.0.0.3", "1.0.0.1", expected::kComment, "alt-r"}}},
};

class VersionReaderChange : public testing::TestWithParam<OneChange> {};

TEST_P(VersionReaderChange, Answers)
{
    FakePlatform fake = OwnResource();
    GetParam().change(fake);
    EXPECT_EQ(Read(fake), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(OneChange, VersionReaderChange, testing::ValuesIn(kChanges));
