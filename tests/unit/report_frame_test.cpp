#include "../perf/ReportWrites.h"
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

// The five sections in order, each as its own tests check it, shown after every line: the
// writes that the start-up floor (tests/perf) repeats must be the same.
TEST(ReportFrame, FullReportIsTheSectionsShownAfterEveryLine)
{
    FakePlatform fake = NtFour();
    OnePentium(fake.systemInfo);
    RecordingReport r(fake);
    r.m_strReport = "stale";
    r.FillReport();

    std::string expected;
    for (auto add : {&CReport::AddVersionInfo, &CReport::AddSystemInfo, &CReport::AddHardwareInfo,
                     &CReport::AddMouseInfo, &CReport::AddPathInfo})
        expected += Section(fake, add);
    EXPECT_EQ(r.Text(), expected);
    std::vector<std::string> writes{""};
    for (const std::size_t end : LineEnds(expected))
        writes.push_back(expected.substr(0, end));
    EXPECT_EQ(r.shown, writes);
    EXPECT_EQ(writes.size(), 1u + 8 + 7 + 12 + 6 + 3) << "one clear and one write per report line";
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
