#include "ReportHarness.h"

#include <gtest/gtest.h>

#include <new>

TEST(ReportFrame, ClearEmptiesTextAndDisplay)
{
    FakePlatform fake;
    RecordingReport r(fake);
    r.m_strReport = "old";
    r.ClearReport();
    EXPECT_EQ(r.Text(), "");
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_EQ(r.shown[0], "");
}

TEST(ReportFrame, AppendAddsCrLfAndShowsTheWholeText)
{
    FakePlatform fake;
    RecordingReport r(fake);
    r.AppendLine("eins");
    r.AppendLine("");
    r.AppendLine("zwei\n");
    r.AppendLine("Titel\r\n-----");
    EXPECT_EQ(r.Text(), "eins\r\n\r\nzwei\n\r\nTitel\r\n-----\r\n");
    ASSERT_EQ(r.shown.size(), 4u);
    EXPECT_EQ(r.shown[0], "eins\r\n");
    EXPECT_EQ(r.shown[1], "eins\r\n\r\n");
    EXPECT_EQ(r.shown[3], r.Text());
}

TEST(ReportFrame, FullReportIsExactAndShownAfterEveryLine)
{
    FakePlatform fake = NtFour();
    OnePentium(fake.systemInfo);
    RecordingReport r(fake);
    r.m_strReport = "stale";
    r.FillReport();

    const std::string expected = kNtFourSection + kSystemHeader +
                                 "Computername: KAVRIN-PC\r\n"
                                 "Username: Anna\r\n"
                                 "System-Verzeichnis: C:\\WINDOWS\\system32\r\n"
                                 "Windows-Verzeichnis: C:\\WINDOWS\r\n"
                                 "Temp-Verzeichnis: C:\\TEMP\\\r\n"
                                 "\r\n" +
                                 kOnePentiumSection + kMouseHeader +
                                 "Es wurde eine Maus gefunden.\r\n"
                                 "Die Mauskn\xF6pfe sind nicht vertauscht.\r\n"
                                 "Mausbeschleunigung: 1\r\n"
                                 "Treshold-Werte (x,y): 6, 10\r\n"
                                 "\r\n" +
                                 kPathHeader +
                                 "PATH = C:\\WINDOWS\\system32;C:\\WINDOWS\r\n"
                                 "\r\n";
    EXPECT_EQ(r.Text(), expected);
    // One clear plus one display per report line: 8 + 7 + 12 + 6 + 3 lines.
    ASSERT_EQ(r.shown.size(), 1u + 8 + 7 + 12 + 6 + 3);
    EXPECT_EQ(r.shown.front(), "");
    EXPECT_EQ(r.shown.back(), expected);
}

TEST(ReportFrame, SectionOneWithoutVersionIsHeaderOnly)
{
    FakePlatform fake;
    fake.extendedResult = 0;
    fake.basicResult = 0;
    RecordingReport r(fake);
    r.FillReport();
    EXPECT_EQ(r.Text().rfind(kVersionHeader + kSystemHeader, 0), 0u);
    EXPECT_EQ(r.Text().substr(r.Text().size() - 4), "\r\n\r\n");
}

TEST(ReportFrame, OutOfMemoryLeavesTheReportEmptyAndShownSo)
{
    // Memory runs out in the middle of section 3.
    struct ExhaustedPlatform : FakePlatform {
        void GetSystemInfo(SYSTEM_INFO* /*p*/) override { throw std::bad_alloc(); }
    } fake;
    RecordingReport r(fake);
    r.FillReport();
    EXPECT_EQ(r.Text(), "");
    ASSERT_GT(r.shown.size(), 1u);
    EXPECT_EQ(r.shown.back(), "");
}
