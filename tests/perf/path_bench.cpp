// Cost of building the whole report with a 32,767-character PATH against an empty one.
// Prints the median of many builds of each and the difference.
#include "Report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Answers every query at once; only the PATH differs between the two runs.
class QuietPlatform : public IPlatform {
public:
    explicit QuietPlatform(std::string path) : m_path(std::move(path)) {}

    BOOL GetVersionExA(OSVERSIONINFOA* p) override
    {
        p->dwMajorVersion = 10;
        p->dwPlatformId = 2;
        return 1;
    }
    BOOL GetComputerNameA(LPSTR b, DWORD*) override { return Copy("KAVRIN-PC", b); }
    BOOL GetUserNameA(LPSTR b, DWORD*) override { return Copy("Anna", b); }
    UINT GetSystemDirectoryA(LPSTR b, UINT) override { return Copy("C:\\WINDOWS\\system32", b) ? 19 : 0; }
    UINT GetWindowsDirectoryA(LPSTR b, UINT) override { return Copy("C:\\WINDOWS", b) ? 10 : 0; }
    DWORD GetTempPathA(DWORD, LPSTR b) override { return Copy("C:\\TEMP\\", b) ? 8 : 0; }
    void GetSystemInfo(SYSTEM_INFO* p) override { std::memset(p, 0, sizeof *p); }
    int GetSystemMetrics(int) override { return 1; }
    BOOL SystemParametersInfoA(UINT, UINT, LPVOID pv, UINT) override
    {
        std::memset(pv, 0, 3 * sizeof(int));
        return TRUE;
    }
    DWORD ExpandEnvironmentStringsA(LPCSTR, LPSTR dst, DWORD size) override
    {
        const std::string out = "PATH = " + m_path;
        const auto needed = static_cast<DWORD>(out.size() + 1);
        if (needed <= size)
            std::memcpy(dst, out.c_str(), needed);
        return needed;
    }
    DWORD GetFileVersionInfoSizeA(LPCSTR, DWORD*) override { return 0; }
    BOOL GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) override { return FALSE; }
    BOOL VerQueryValueA(LPCVOID, LPCSTR, LPVOID*, UINT*) override { return FALSE; }

private:
    static BOOL Copy(const char* s, LPSTR b)
    {
        std::strcpy(b, s);
        return TRUE;
    }
    std::string m_path;
};

// Median time of one full report, in microseconds; the display is a no-op.
double MedianBuild(const std::string& path, int runs, std::size_t& length)
{
    QuietPlatform platform(path);
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
    std::size_t emptyLength = 0;
    std::size_t longLength = 0;
    const double empty = MedianBuild("", runs, emptyLength);
    const double full = MedianBuild(std::string(32767, 'p'), runs, longLength);
    std::printf("empty PATH:        %8.1f us (report %zu bytes)\n", empty, emptyLength);
    std::printf("32,767-char PATH:  %8.1f us (report %zu bytes)\n", full, longLength);
    std::printf("difference:        %8.1f us (goal: under 5000 us)\n", full - empty);
    return full - empty < 5000.0 ? 0 : 1;
}
