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

    const std::string expected =
        "[1] Versions-Info\r\n-------------------------\r\n"
        "Plattform: Windows NT\r\n"
        "Build: 1381 (0x565)\r\n"
        "MajorVersion: 4 (0x04)\r\n"
        "MinorVersion: 0 (0x00)\r\n"
        "Version: Service Pack 6\r\n"
        "Service Pack 6.0\n\r\n"
        "\r\n"
        "(2) System-Info\r\n-----------------------\r\n"
        "Computername: KAVRIN-PC\r\n"
        "Username: Anna\r\n"
        "System-Verzeichnis: C:\\WINDOWS\\system32\r\n"
        "Windows-Verzeichnis: C:\\WINDOWS\r\n"
        "Temp-Verzeichnis: C:\\TEMP\\\r\n"
        "\r\n"
        "(3) Hardware-Info\r\n---------------------------\r\n"
        "OemId: 0\r\n"
        "PageSize: 4096 (0x1000)\r\n"
        "Minimale Applikationsadresse: 0x10000\r\n"
        "Maximale Applikationsadresse: 0x7ffeffff\r\n"
        "Number of Processors: 1\r\n"
        "ProcessorType: 586 <PROCESSOR_INTEL_PENTIUM>\r\n"
        "ProcessorLevel: 6 (0x0006)\r\n"
        "ProcessorRevision: 2049 (0x0801)\r\n"
        "ProcessorArchitecture: <PROCESSOR_ARCHITECTURE_INTEL>\r\n"
        "Active Processormask: 00000000000000000000000000000001\r\n"
        "\r\n"
        "(4) Metrik-Info\r\n---------------------\r\n"
        "Es wurde eine Maus gefunden.\r\n"
        "Die Mauskn\xF6pfe sind nicht vertauscht.\r\n"
        "Mausbeschleunigung: 1\r\n"
        "Treshold-Werte (x,y): 6, 10\r\n"
        "\r\n"
        "(5) PATH-Variable\r\n----------------------------\r\n"
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
    EXPECT_EQ(r.Text().rfind("[1] Versions-Info\r\n-------------------------\r\n"
                             "(2) System-Info\r\n-----------------------\r\n", 0),
              0u);
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
