#include "VersionReader.h"

#include <memory>
#include <new>

namespace {

void FormatVersion(CString& strOut, DWORD dwMS, DWORD dwLS)
{
    // Each word is unsigned 16-bit, so widened to int it never prints negative.
    strOut.Format("%d.%d.%d.%d", static_cast<int>(dwMS >> 16), static_cast<int>(dwMS & 0xFFFF),
                  static_cast<int>(dwLS >> 16), static_cast<int>(dwLS & 0xFFFF));
}

// Assigns the text at sub-block pszPath when it exists.
void QueryString(IPlatform& platform, const void* pBlock, LPCSTR pszPath, CString& strOut)
{
    LPVOID pValue = nullptr;
    UINT uLen = 0;
    if (platform.VerQueryValueA(pBlock, pszPath, &pValue, &uLen) && pValue)
        strOut = static_cast<const char*>(pValue);
}

}  // namespace

bool ReadVersionInfo(IPlatform& platform, LPCTSTR pszAppName, CString& strFileVersion,
                     CString& strProductVersion, CString& strComment, CString& strCopyright)
{
    bool bResult = false;
    CString strFile;
    strFile.Format("%s.exe", pszAppName);

    DWORD dwHandle = 0;
    const DWORD dwSize = platform.GetFileVersionInfoSizeA(strFile, &dwHandle);
    std::unique_ptr<unsigned char[]> pBlock(new (std::nothrow) unsigned char[dwSize + 1ULL]());
    if (!pBlock)
        return false;
    if (!platform.GetFileVersionInfoA(strFile, 0, dwSize + 1, pBlock.get()))
        return false;

    LPVOID pValue = nullptr;
    UINT uLen = 0;
    if (platform.VerQueryValueA(pBlock.get(), "\\", &pValue, &uLen) && pValue && uLen >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* pFixed = static_cast<const VS_FIXEDFILEINFO*>(pValue);
        FormatVersion(strFileVersion, pFixed->dwFileVersionMS, pFixed->dwFileVersionLS);
        FormatVersion(strProductVersion, pFixed->dwProductVersionMS, pFixed->dwProductVersionLS);
        bResult = true;
    }
    QueryString(platform, pBlock.get(), "\\StringFileInfo\\040704B0\\Comments", strComment);
    QueryString(platform, pBlock.get(), "\\StringFileInfo\\040704B0\\LegalCopyright", strCopyright);
    return bResult;
}
