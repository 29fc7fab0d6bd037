// A report wired to the fake platform, recording every text it shows, and the platforms that
// several sections' tests share.
#pragma once

#include "FakePlatform.h"
#include "Report.h"

#include <cstring>
#include <string>
#include <vector>

class RecordingReport : public CReport {
public:
    explicit RecordingReport(FakePlatform& platform) : CReport(platform) {}

    std::string Text() const { return {static_cast<LPCTSTR>(m_strReport)}; }

    std::vector<std::string> shown;

protected:
    void ShowReport(LPCTSTR pszText) override { shown.emplace_back(pszText); }
};

inline std::string Header(const char* title, int hyphens)
{
    return std::string(title) + "\r\n" + std::string(static_cast<std::size_t>(hyphens), '-') + "\r\n";
}

// The text that one section, e.g. &CReport::AddMouseInfo, writes into an empty report.
inline std::string Section(FakePlatform& fake, void (CReport::*add)())
{
    RecordingReport r(fake);
    (r.*add)();
    return r.Text();
}

// Windows NT 4.0, build 1381, Service Pack 6.
inline FakePlatform NtFour()
{
    FakePlatform fake;
    fake.version.dwPlatformId = 2;
    fake.version.dwMajorVersion = 4;
    fake.version.dwBuildNumber = 1381;
    std::strcpy(fake.version.szCSDVersion, "Service Pack 6");
    fake.version.wServicePackMajor = 6;
    return fake;
}

// One Pentium with 4 KB pages and the classic 2 GB user address space.
inline void OnePentium(SYSTEM_INFO& si)
{
    si.dwPageSize = 4096;
    si.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x10000);
    si.lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFEFFFF);
    si.dwActiveProcessorMask = 1;
    si.dwNumberOfProcessors = 1;
    si.dwProcessorType = 586;
    si.wProcessorLevel = 6;
    si.wProcessorRevision = 2049;
}
