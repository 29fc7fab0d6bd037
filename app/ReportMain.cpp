// KavrinReport.exe: writes the report's bytes to standard output, unchanged.
#include "Report.h"
#include "SystemLibrary.h"
#include "Win32Platform.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

int main()
{
    AfxSearchSystem32Only();
    CWin32Platform platform;
    CReport report(platform);
    report.FillReport();

    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(static_cast<LPCTSTR>(report.m_strReport), 1,
                static_cast<std::size_t>(report.m_strReport.GetLength()), stdout);
    std::fflush(stdout);
    return 0;
}
