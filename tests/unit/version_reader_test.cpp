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

TEST(VersionReader, WordsAreUnsignedDecimalWithoutLeadingZeros)
{
    FakePlatform fake = OwnResource();
    fake.fixedInfo.dwFileVersionMS = 0xFFFF0007;
    fake.fixedInfo.dwFileVersionLS = 0x000A8000;
    EXPECT_EQ(Read(fake), Result(true, {"65535.7.10.32768", "1.0.0.1", expected::kComment, expected::kCopyright}));
}

TEST(VersionReader, MissingFileChangesNothing)
{
    FakePlatform fake = OwnResource();
    fake.versionFileFound = false;
    EXPECT_EQ(Read(fake), Result(false, {"alt-f", "alt-p", "alt-c", "alt-r"}));
}

TEST(VersionReader, MissingFixedPartStillSetsTheStrings)
{
    FakePlatform fake = OwnResource();
    fake.hasFixedInfo = false;
    EXPECT_EQ(Read(fake), Result(false, {"alt-f", "alt-p", expected::kComment, expected::kCopyright}));
}

TEST(VersionReader, OtherLanguageTableLeavesStringsUntouched)
{
    FakePlatform fake = OwnResource();
    fake.versionStrings.clear();
    fake.versionStrings["\\StringFileInfo\\040904b0\\Comments"] = "english";
    fake.versionStrings["\\StringFileInfo\\040904b0\\LegalCopyright"] = "english";
    EXPECT_EQ(Read(fake), Result(true, {"2.0.0.3", "1.0.0.1", "alt-c", "alt-r"}));
}

TEST(VersionReader, OneMissingStringLeavesOnlyThatOutput)
{
    FakePlatform fake = OwnResource();
    fake.versionStrings.erase(kComments);
    EXPECT_EQ(Read(fake), Result(true, {"2.0.0.3", "1.0.0.1", "alt-c", expected::kCopyright}));
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
    EXPECT_EQ(Read(fake), Result(false, {"alt-f", "alt-p", "alt-c", "alt-r"}));
}
