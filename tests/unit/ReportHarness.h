// A report wired to the fake platform, recording every text it shows, and the platforms that
// several sections' tests share.
#pragma once

#include "../Expected.h"
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

// Section n's title and rule.
inline std::string Header(int n)
{
    const expected::SectionTitle& s = expected::kSections[n - 1];
    return std::string(s.title) + "\r\n" + std::string(static_cast<std::size_t>(s.rule), '-') + "\r\n";
}

inline const std::string kVersionHeader = Header(1);
inline const std::string kSystemHeader = Header(2);
inline const std::string kHardwareHeader = Header(3);
inline const std::string kMouseHeader = Header(4);
inline const std::string kPathHeader = Header(5);

// The text that one section, e.g. &CReport::AddMouseInfo, writes into an empty report.
inline std::string Section(FakePlatform& fake, void (CReport::*add)())
{
    RecordingReport r(fake);
    (r.*add)();
    return r.Text();
}

// Windows NT 4.0, build 1381, Service Pack 6; the section's lines before its version text,
// and the whole section as the extended record gives it.
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

inline const std::string kNtFourNumbers =
    kVersionHeader +
    "Plattform: Windows NT\r\nBuild: 1381 (0x565)\r\nMajorVersion: 4 (0x04)\r\nMinorVersion: 0 (0x00)\r\n";
inline const std::string kNtFourSection =
    kNtFourNumbers + "Version: Service Pack 6\r\nService Pack 6.0\n\r\n\r\n";

// One Pentium with 4 KB pages and the classic 2 GB user address space, and its section.
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

inline const std::string kOnePentiumSection = kHardwareHeader +
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
                                              "\r\n";
