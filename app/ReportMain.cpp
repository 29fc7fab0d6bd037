// KavrinReport.exe: the report to standard output, as WriteReport describes. Exits with 0 only
// when the whole report was written.
#include "Report.h"
#include "ReportOutput.h"
#include "SystemLibrary.h"
#include "Win32Platform.h"

#include <new>

int main()
{
    AfxSearchSystem32Only();
    try {
        CWin32Platform platform;
        CReport report(platform);
        report.FillReport();
        return WriteReport(::GetStdHandle(STD_OUTPUT_HANDLE), report.m_strReport);
    } catch (const std::bad_alloc&) {
        return 1;   // no memory for the report or its characters: nothing complete was written
    }
}
