#include "ReportHarness.h"

#include <gtest/gtest.h>

namespace {

const auto MouseSection = [](FakePlatform& fake) { return Section(fake, &CReport::AddMouseInfo); };
const auto PathSection = [](FakePlatform& fake) { return Section(fake, &CReport::AddPathInfo); };

}  // namespace

TEST(ReportMouse, NoMouseAsksNothingFurther)
{
    FakePlatform fake;
    fake.metrics[SM_MOUSEPRESENT] = 0;
    EXPECT_EQ(MouseSection(fake), kMouseHeader + "Es konnte keine Maus gefunden werden.\r\n\r\n");
    EXPECT_EQ(fake.metricsAsked, (std::vector<int>{SM_MOUSEPRESENT}));
    EXPECT_EQ(fake.mouseCalls, 0);
}

TEST(ReportMouse, SwappedButtonsAndValues)
{
    FakePlatform fake;
    fake.metrics[SM_MOUSEPRESENT] = 2;   // any non-zero answer is yes
    fake.metrics[SM_SWAPBUTTON] = -1;
    fake.mouse[0] = -6;
    fake.mouse[1] = 10;
    fake.mouse[2] = 2;
    const std::string text = MouseSection(fake);
    EXPECT_EQ(text, kMouseHeader +
                        "Es wurde eine Maus gefunden.\r\n" + expected::kButtonsSwapped + "\r\n"
                        "Mausbeschleunigung: 2\r\nTreshold-Werte (x,y): -6, 10\r\n\r\n");
    // The umlaut is the single Windows-1252 byte.
    EXPECT_EQ(text[kMouseHeader.size() + 30 + 10], '\xF6');
}

TEST(ReportMouse, FailedParameterQueryLeavesOutValueLines)
{
    FakePlatform fake;
    fake.mouseResult = FALSE;
    EXPECT_EQ(MouseSection(fake), kMouseHeader +
                                      "Es wurde eine Maus gefunden.\r\n" + expected::kButtonsNotSwapped + "\r\n\r\n");
}

TEST(ReportPath, UnsetAndPercentSigns)
{
    FakePlatform unset;
    unset.pathSet = false;
    EXPECT_EQ(PathSection(unset), kPathHeader + "PATH = %PATH%\r\n\r\n");

    FakePlatform percent;
    percent.path = "C:\\%s\\%d;D:\\100%";
    EXPECT_EQ(PathSection(percent), kPathHeader + "PATH = C:\\%s\\%d;D:\\100%\r\n\r\n");
}

TEST(ReportPath, LengthsAroundTheFixedBufferStandWhole)
{
    for (std::size_t n : {1016u, 1017u, 5000u, 32767u}) {
        FakePlatform fake;
        fake.path = std::string(n, 'p');
        EXPECT_EQ(PathSection(fake), kPathHeader + "PATH = " + fake.path + "\r\n\r\n") << n;
        if (n <= 1016)
            EXPECT_EQ(fake.expandSizes, (std::vector<DWORD>{1024}));
        else
            EXPECT_EQ(fake.expandSizes, (std::vector<DWORD>{1024, static_cast<DWORD>(n + 9)}));   // + 1 for ANSI
    }
}

TEST(ReportPath, FailedExpansionGivesEmptyValue)
{
    FakePlatform fake;
    fake.expandFails = true;
    EXPECT_EQ(PathSection(fake), kPathHeader + "PATH = \r\n\r\n");
}

namespace {

// Reports a size on the first call, then a larger one: the variable grew in between.
class GrowingPath : public FakePlatform {
public:
    DWORD ExpandEnvironmentStringsA(LPCSTR, LPSTR dst, DWORD size) override
    {
        std::memset(dst, 'X', size);
        return size + 100;
    }
};

}  // namespace

TEST(ReportPath, SizeThatKeepsGrowingGivesEmptyValueNotBufferBytes)
{
    GrowingPath fake;
    EXPECT_EQ(PathSection(fake), kPathHeader + "PATH = \r\n\r\n");
}

// A value that grew is expanded again until it fits, each time into the size asked plus one byte.
TEST(ReportPath, ValueThatGrewIsRetriedUntilItFits)
{
    struct : FakePlatform {
        DWORD ExpandEnvironmentStringsA(LPCSTR src, LPSTR dst, DWORD size) override
        {
            if (expandSizes.size() < 2)   // grows before each of the first two calls
                path += std::string(1000, 'g');
            return FakePlatform::ExpandEnvironmentStringsA(src, dst, size);
        }
    } fake;
    fake.path = std::string(1100, 'p');
    EXPECT_EQ(PathSection(fake), kPathHeader + "PATH = " + std::string(1100, 'p') + std::string(2000, 'g') + "\r\n\r\n");
    EXPECT_EQ(fake.expandSizes, (std::vector<DWORD>{1024, 2109, 3109}));
}
