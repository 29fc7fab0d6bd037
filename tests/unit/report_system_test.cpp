#include "ReportHarness.h"

#include <gtest/gtest.h>

namespace {

const auto SystemSection = [](FakePlatform& fake) { return Section(fake, &CReport::AddSystemInfo); };
std::string Lines(const std::string& computer, const std::string& user, const std::string& sys,
                  const std::string& win, const std::string& temp)
{
    return kSystemHeader + "Computername: " + computer + "\r\nUsername: " + user +
           "\r\nSystem-Verzeichnis: " + sys + "\r\nWindows-Verzeichnis: " + win +
           "\r\nTemp-Verzeichnis: " + temp + "\r\n\r\n";
}

}  // namespace

TEST(ReportSystem, ValuesAsReturnedAndSizesPassed)
{
    FakePlatform fake;
    fake.computerName.value = "R\xC4UBER";
    fake.userName.value = "J\xFCrgen M\xFCller";
    EXPECT_EQ(SystemSection(fake), Lines("R\xC4UBER", "J\xFCrgen M\xFCller", "C:\\WINDOWS\\system32",
                                         "C:\\WINDOWS", "C:\\TEMP\\"));
    EXPECT_EQ(fake.sizesPassed, (std::vector<DWORD>{260, 260, 260, 260, 259}));
}

TEST(ReportSystem, FailedQueriesShowEmptyValues)
{
    FakePlatform fake;
    fake.computerName.fails = true;
    fake.userName.fails = true;
    fake.systemDir.fails = true;
    fake.windowsDir.fails = true;
    fake.tempPath.fails = true;
    EXPECT_EQ(SystemSection(fake), Lines("", "", "", "", ""));
}

TEST(ReportSystem, LongestPathsThatFitAreWholeAndLongerOnesEmpty)
{
    const std::string dir259 = "C:\\" + std::string(256, 'd');
    const std::string temp258 = "C:\\" + std::string(254, 't') + "\\";
    FakePlatform fits;
    fits.systemDir.value = dir259;
    fits.windowsDir.value = dir259;
    fits.tempPath.value = temp258;
    EXPECT_EQ(SystemSection(fits), Lines("KAVRIN-PC", "Anna", dir259, dir259, temp258));

    // One character more: the query reports the size it needs and writes nothing usable.
    FakePlatform tooLong;
    tooLong.systemDir.value = dir259 + "x";
    tooLong.windowsDir.value = dir259 + "x";
    tooLong.tempPath.value = "x" + temp258;
    EXPECT_EQ(SystemSection(tooLong), Lines("KAVRIN-PC", "Anna", "", "", ""));
}

TEST(ReportSystem, NameTooLongForBufferIsEmptyNotGarbage)
{
    FakePlatform fake;
    fake.userName.value = std::string(300, 'u');
    EXPECT_EQ(SystemSection(fake), Lines("KAVRIN-PC", "", "C:\\WINDOWS\\system32", "C:\\WINDOWS", "C:\\TEMP\\"));
}
