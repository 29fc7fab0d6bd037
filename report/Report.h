// The five-section system report, built line by line from the platform seam.
#pragma once

#include "CString.h"
#include "Platform.h"

#include <cstdint>

class CReport {
public:
    explicit CReport(IPlatform& platform) : m_platform(platform) {}
    virtual ~CReport() = default;
    CReport(const CReport&) = delete;
    CReport& operator=(const CReport&) = delete;

    // Empties the report, then builds the five sections in order. Out of memory, the
    // report ends empty, shown and exported as such.
    void FillReport() noexcept;

    void ClearReport();
    // Adds CR LF to its own copy of the line, appends it and shows the whole report.
    void AppendLine(CString line);

    void AddVersionInfo();
    void AddSystemInfo();
    void AddHardwareInfo();
    void AddMouseInfo();
    void AddPathInfo();

    // 32 binary digits, bit 31 first; whatever strResult held is discarded.
    static void FormatBitMask(DWORD dwMask, CString& strResult);
    // 64 binary digits, bit 63 first.
    static void FormatBitMaskWide(std::uint64_t qwMask, CString& strResult);

    CString m_strReport;

protected:
    // Replaces the whole shown text; the report never reads the display back.
    virtual void ShowReport(LPCTSTR pszText) { (void)pszText; }

private:
    IPlatform& m_platform;
};
