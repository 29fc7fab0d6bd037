#include "FakePlatform.h"
#include "VersionReader.h"

#include <gtest/gtest.h>

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
    fake.versionStrings[kComments] = "Release 16.07.2001";
    fake.versionStrings[kCopyright] = "\xA9 2001-2026 Kavrin-Projekt";
    fake.versionStrings["\\StringFileInfo\\040704b0\\FileVersion"] = "2, 0, 0, 3";
    return fake;
}

struct Outputs {
    CString file{"alt-f"}, product{"alt-p"}, comment{"alt-c"}, copyright{"alt-r"};
};

bool Read(FakePlatform& fake, Outputs& out, const char* app = "Kavrin")
{
    return ReadVersionInfo(fake, app, out.file, out.product, out.comment, out.copyright);
}

}  // namespace

TEST(VersionReader, OwnResourceGivesDottedVersionsAndStrings)
{
    FakePlatform fake = OwnResource();
    Outputs out;
    EXPECT_TRUE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "2.0.0.3");
    EXPECT_EQ(std::string(out.product), "1.0.0.1");
    EXPECT_EQ(std::string(out.comment), "Release 16.07.2001");
    EXPECT_EQ(std::string(out.copyright), "\xA9 2001-2026 Kavrin-Projekt");
    EXPECT_EQ(fake.filesAsked, (std::vector<std::string>{"Kavrin.exe"}));
}

TEST(VersionReader, FileNameFollowsTheApplicationName)
{
    FakePlatform fake = OwnResource();
    Outputs out;
    Read(fake, out, "Andere");
    EXPECT_EQ(fake.filesAsked, (std::vector<std::string>{"Andere.exe"}));
}

TEST(VersionReader, WordsAreUnsignedDecimalWithoutLeadingZeros)
{
    FakePlatform fake = OwnResource();
    fake.fixedInfo.dwFileVersionMS = 0xFFFF0007;
    fake.fixedInfo.dwFileVersionLS = 0x000A8000;
    Outputs out;
    EXPECT_TRUE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "65535.7.10.32768");
}

TEST(VersionReader, MissingFileChangesNothing)
{
    FakePlatform fake = OwnResource();
    fake.versionFileFound = false;
    Outputs out;
    EXPECT_FALSE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "alt-f");
    EXPECT_EQ(std::string(out.product), "alt-p");
    EXPECT_EQ(std::string(out.comment), "alt-c");
    EXPECT_EQ(std::string(out.copyright), "alt-r");
}

TEST(VersionReader, MissingFixedPartStillSetsTheStrings)
{
    FakePlatform fake = OwnResource();
    fake.hasFixedInfo = false;
    Outputs out;
    EXPECT_FALSE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "alt-f");
    EXPECT_EQ(std::string(out.product), "alt-p");
    EXPECT_EQ(std::string(out.comment), "Release 16.07.2001");
    EXPECT_EQ(std::string(out.copyright), "\xA9 2001-2026 Kavrin-Projekt");
}

TEST(VersionReader, OtherLanguageTableLeavesStringsUntouched)
{
    FakePlatform fake = OwnResource();
    fake.versionStrings.clear();
    fake.versionStrings["\\StringFileInfo\\040904b0\\Comments"] = "english";
    fake.versionStrings["\\StringFileInfo\\040904b0\\LegalCopyright"] = "english";
    Outputs out;
    EXPECT_TRUE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "2.0.0.3");
    EXPECT_EQ(std::string(out.comment), "alt-c");
    EXPECT_EQ(std::string(out.copyright), "alt-r");
}

TEST(VersionReader, OneMissingStringLeavesOnlyThatOutput)
{
    FakePlatform fake = OwnResource();
    fake.versionStrings.erase(kComments);
    Outputs out;
    EXPECT_TRUE(Read(fake, out));
    EXPECT_EQ(std::string(out.comment), "alt-c");
    EXPECT_EQ(std::string(out.copyright), "\xA9 2001-2026 Kavrin-Projekt");
}

namespace {

// Hands out a fixed part shorter than the record: never read past it.
class ShortFixedPart : public FakePlatform {
public:
    BOOL VerQueryValueA(LPCVOID block, LPCSTR sub, LPVOID* out, UINT* len) override
    {
        const BOOL ok = FakePlatform::VerQueryValueA(block, sub, out, len);
        if (ok != FALSE && std::string(sub) == "\\")
            *len = 8;
        return ok;
    }
};

}  // namespace

TEST(VersionReader, TruncatedFixedPartIsTreatedAsMissing)
{
    ShortFixedPart fake;
    fake.versionBlock.assign(100, 0);
    Outputs out;
    EXPECT_FALSE(Read(fake, out));
    EXPECT_EQ(std::string(out.file), "alt-f");
}
