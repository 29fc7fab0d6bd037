// The start-up floor's per-line writes are the report's own: same count, same texts.
#include "../perf/ReportWrites.h"
#include "ReportHarness.h"

#include <gtest/gtest.h>

TEST(StartupFloor, RepeatsEveryWriteOfTheReport)
{
    FakePlatform fake;
    RecordingReport r(fake);
    r.FillReport();
    const std::string text = r.Text();
    std::vector<std::string> writes{""};
    for (const std::size_t end : LineEnds(text))
        writes.push_back(text.substr(0, end));
    EXPECT_EQ(writes, r.shown);
}
