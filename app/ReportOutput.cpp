#include "ReportOutput.h"

#include <algorithm>
#include <string>

namespace {

// Writes all n bytes to a file or a pipe; false on an error or a write that falls short.
bool WriteBytes(HANDLE hOut, const char* p, std::size_t n)
{
    while (n > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(hOut, p, want, &written, nullptr) || written == 0)
            return false;
        p += written;
        n -= written;
    }
    return true;
}

// The ANSI text as SetDlgItemTextA converts it; empty when it cannot be converted.
std::wstring Characters(const CString& strText)
{
    const int n = strText.GetLength();
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, strText, n, nullptr, 0);
    if (nWide <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(nWide), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, strText, n, &text[0], nWide) != nWide)
        return {};
    return text;
}

// The characters in code page cp; one the page lacks becomes its best fit or the page's
// default character. Empty when the page is not available.
std::string InCodePage(const std::wstring& text, UINT cp)
{
    const int nWide = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(cp, 0, text.data(), nWide, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(cp, 0, text.data(), nWide, &bytes[0], n, nullptr, nullptr) != n)
        return {};
    return bytes;
}

// Writes the characters to a console in pieces that every Windows version's console takes in
// one call; returns how many it took.
std::size_t WriteCharacters(HANDLE hOut, const std::wstring& text)
{
    const std::size_t kPiece = 8192;
    std::size_t i = 0;
    while (i < text.size()) {
        const DWORD want = static_cast<DWORD>(std::min(kPiece, text.size() - i));
        DWORD written = 0;
        if (!::WriteConsoleW(hOut, text.data() + i, want, &written, nullptr) || written == 0)
            break;
        i += written;
    }
    return i;
}

}  // namespace

int WriteReport(HANDLE hOut, const CString& strReport)
{
    if (hOut == nullptr || hOut == INVALID_HANDLE_VALUE || strReport.IsEmpty())
        return 1;
    const DWORD type = ::GetFileType(hOut);
    if (type == FILE_TYPE_CHAR) {
        // GetConsoleMode needs read access, so a write-only console handle fails it;
        // WriteConsoleW needs only write access and fails at once on a device that is no
        // console (NUL, a port), which then gets the bytes.
        DWORD mode = 0;
        const bool bConsole = ::GetConsoleMode(hOut, &mode) != FALSE;
        const std::wstring text = Characters(strReport);
        const std::size_t nWritten = text.empty() ? 0 : WriteCharacters(hOut, text);
        if (!text.empty() && nWritten == text.size())
            return 0;
        if (bConsole || nWritten > 0 || text.empty())
            return 1;
    } else if (const UINT cp = type == FILE_TYPE_PIPE ? ::GetConsoleOutputCP() : 0; cp != 0) {
        const std::string bytes = InCodePage(Characters(strReport), cp);
        return !bytes.empty() && WriteBytes(hOut, bytes.data(), bytes.size()) ? 0 : 1;
    }
    return WriteBytes(hOut, strReport, static_cast<std::size_t>(strReport.GetLength())) ? 0 : 1;
}
