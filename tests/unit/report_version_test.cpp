#include "ReportHarness.h"

#include <gtest/gtest.h>

namespace {

const auto VersionSection = [](FakePlatform& fake) { return Section(fake, &CReport::AddVersionInfo); };
std::string PlatformLine(DWORD id, DWORD major, DWORD minor)
{
    FakePlatform fake;
    fake.version.dwPlatformId = id;
    fake.version.dwMajorVersion = major;
    fake.version.dwMinorVersion = minor;
    const std::string text = VersionSection(fake);
    const auto begin = kVersionHeader.size();
    return text.substr(begin, text.find("\r\n", begin) - begin);
}

}  // namespace

TEST(ReportVersion, ExtendedRecordGivesServicePackLineWithBareLf)
{
    FakePlatform fake = NtFour();
    EXPECT_EQ(VersionSection(fake), kNtFourSection);
    EXPECT_EQ(fake.versionSizesAsked, (std::vector<DWORD>{156}));
}

TEST(ReportVersion, ExtendedResultOtherThanOneFallsBackWithoutServicePackLine)
{
    for (BOOL extended : {0, 2, -1}) {
        FakePlatform fake = NtFour();
        fake.extendedResult = extended;
        EXPECT_EQ(VersionSection(fake), kNtFourNumbers + "Version: Service Pack 6\r\n\r\n")
            << "extended query returned " << extended;
        EXPECT_EQ(fake.versionSizesAsked, (std::vector<DWORD>{156, 148}));
    }
}

TEST(ReportVersion, BothQueriesFailingLeavesTheHeaderAlone)
{
    FakePlatform fake = NtFour();
    fake.extendedResult = 0;
    fake.basicResult = 0;
    EXPECT_EQ(VersionSection(fake), kVersionHeader);
}

TEST(ReportVersion, PlatformNames)
{
    EXPECT_EQ(PlatformLine(0, 3, 10), "Plattform: Win32s auf Win 3.1");
    EXPECT_EQ(PlatformLine(1, 4, 0), "Plattform: Windows 95");
    EXPECT_EQ(PlatformLine(1, 3, 95), "Plattform: Windows 95");
    EXPECT_EQ(PlatformLine(1, 4, 10), "Plattform: Windows 98");
    EXPECT_EQ(PlatformLine(1, 4, 90), "Plattform: Windows 98");
    EXPECT_EQ(PlatformLine(1, 5, 0), "Plattform: Windows 98");
    EXPECT_EQ(PlatformLine(2, 10, 0), "Plattform: Windows NT");
    EXPECT_EQ(PlatformLine(3, 10, 0), "Plattform: ");
    EXPECT_EQ(PlatformLine(0xFFFFFFFF, 1, 0), "Plattform: ");
    // Compared unsigned: 2^31 and more are large numbers, not negative ones.
    EXPECT_EQ(PlatformLine(0x80000002, 10, 0), "Plattform: ");
    EXPECT_EQ(PlatformLine(1, 0x80000000, 0), "Plattform: Windows 98");
    EXPECT_EQ(PlatformLine(1, 4, 0x80000000), "Plattform: Windows 98");
}

TEST(ReportVersion, ServicePackZeroZeroIsStillWritten)
{
    FakePlatform fake = NtFour();
    std::strcpy(fake.version.szCSDVersion, "");
    fake.version.wServicePackMajor = 0;
    EXPECT_EQ(VersionSection(fake), kNtFourNumbers + "Version: \r\nService Pack 0.0\n\r\n\r\n");
}

TEST(ReportVersion, NumbersAndTexts)
{
    FakePlatform fake;
    fake.version.dwPlatformId = 2;
    fake.version.dwMajorVersion = 10;
    fake.version.dwMinorVersion = 10;
    fake.version.dwBuildNumber = 0x0A0007CE;   // upper half ignored: 1998
    fake.version.wServicePackMajor = 0xFFFF;
    fake.version.wServicePackMinor = 0;
    EXPECT_EQ(VersionSection(fake),
              kVersionHeader +
                  "Plattform: Windows NT\r\nBuild: 1998 (0x7ce)\r\nMajorVersion: 10 (0x0a)\r\n"
                  "MinorVersion: 10 (0x0a)\r\nVersion: \r\nService Pack 65535.0\n\r\n\r\n");
}

TEST(ReportVersion, FullServicePackTextWithoutTerminatorStaysInBounds)
{
    FakePlatform fake = NtFour();
    std::memset(fake.version.szCSDVersion, 'S', sizeof fake.version.szCSDVersion);
    const std::string text = VersionSection(fake);
    EXPECT_NE(text.find("Version: " + std::string(128, 'S') + "\r\n"), std::string::npos);
}
