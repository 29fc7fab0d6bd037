#include "../perf/ReportWrites.h"
#include "ReportHarness.h"

#include <gtest/gtest.h>

#include <new>

// The stale text cleared, then the five sections in order, each as its own tests check it (a
// bare LF and empty lines among them), shown after every line: the writes that the start-up
// floor (tests/perf) repeats must be the same.
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
