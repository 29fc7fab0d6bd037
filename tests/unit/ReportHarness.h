// A report wired to the fake platform, recording every text it shows.
#pragma once

#include "FakePlatform.h"
#include "Report.h"

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
