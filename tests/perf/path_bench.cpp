// Cost of building the whole report with a 32,767-character PATH against an empty one.
// Prints the median of many builds of each and the difference.
#include "../unit/FakePlatform.h"
#include "Report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Median time of one full report, in microseconds, against the unit tests' fake platform,
// which answers at once; the display is a no-op.
double MedianBuild(const std::string& path, int runs, std::size_t& length)
{
    FakePlatform platform;
    platform.path = path;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        CReport report(platform);
        const auto start = std::chrono::steady_clock::now();
        report.FillReport();
        const auto stop = std::chrono::steady_clock::now();
        length = static_cast<std::size_t>(report.m_strReport.GetLength());
        times.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[static_cast<std::size_t>(runs / 2)];
}

}  // namespace

int main()
{
    const int runs = 2001;
    std::size_t emptyLength = 0, longLength = 0;
    const double empty = MedianBuild("", runs, emptyLength);
    const double full = MedianBuild(std::string(32767, 'p'), runs, longLength);
    std::printf("empty PATH:        %8.1f us (report %zu bytes)\n", empty, emptyLength);
    std::printf("32,767-char PATH:  %8.1f us (report %zu bytes)\n", full, longLength);
    std::printf("difference:        %8.1f us (goal: under 5000 us)\n", full - empty);
    return full - empty < 5000.0 ? 0 : 1;
}
