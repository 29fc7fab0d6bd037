// KavrinReport.exe: the report to standard output. A console gets it as characters, so that
// every console code page shows what the window shows; a file or a pipe gets its bytes,
// unchanged. Exits with 0 only when the whole report was written.
#include "Report.h"
#include "SystemLibrary.h"
#include "Win32Platform.h"

#include <algorithm>
#include <new>
#include <string>

namespace {

// Writes all n bytes to a file or a pipe; false on an error or a write that falls short.
bool WriteBytes(HANDLE hOut, const char* p, DWORD n)
{
    while (n > 0) {
        DWORD written = 0;
        if (!::WriteFile(hOut, p, n, &written, nullptr) || written == 0)
            return false;
        p += written;
        n -= written;
    }
    return true;
}

// Converts the ANSI text as SetDlgItemTextA does and writes it to the console in pieces that
// every Windows version's console takes in one call.
bool WriteCharacters(HANDLE hOut, const char* p, int n)
{
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, p, n, nullptr, 0);
    if (nWide <= 0)
        return false;
    std::wstring text(static_cast<std::size_t>(nWide), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, p, n, &text[0], nWide) != nWide)
        return false;
    const DWORD kPiece = 8192;
    for (std::size_t i = 0; i < text.size();) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(kPiece, text.size() - i));
        DWORD written = 0;
        if (!::WriteConsoleW(hOut, text.data() + i, want, &written, nullptr) || written == 0)
            return false;
        i += written;
    }
    return true;
}

}  // namespace

int main()
{
    AfxSearchSystem32Only();
    try {
        CWin32Platform platform;
        CReport report(platform);
        report.FillReport();

        const HANDLE hOut = ::GetStdHandle(STD_OUTPUT_HANDLE);
        const int n = report.m_strReport.GetLength();
        DWORD mode = 0;
        if (hOut == nullptr || hOut == INVALID_HANDLE_VALUE)
            return 1;
        if (n == 0)
            return 0;
        const bool bWritten = ::GetConsoleMode(hOut, &mode)
                                  ? WriteCharacters(hOut, report.m_strReport, n)
                                  : WriteBytes(hOut, report.m_strReport, static_cast<DWORD>(n));
        return bWritten ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 1;   // no memory for the report or its characters: nothing complete was written
    }
}
