#include "Win32Platform.h"

#include <cstring>

BOOL CWin32Platform::GetVersionExA(OSVERSIONINFOA* lpVersionInformation)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(lpVersionInformation);
#pragma GCC diagnostic pop
}

BOOL CWin32Platform::GetComputerNameA(LPSTR lpBuffer, DWORD* nSize)
{
    return ::GetComputerNameA(lpBuffer, nSize);
}

BOOL CWin32Platform::GetUserNameA(LPSTR lpBuffer, DWORD* pcbBuffer)
{
    return ::GetUserNameA(lpBuffer, pcbBuffer);
}

UINT CWin32Platform::GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    return ::GetSystemDirectoryA(lpBuffer, uSize);
}

UINT CWin32Platform::GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    return ::GetWindowsDirectoryA(lpBuffer, uSize);
}

DWORD CWin32Platform::GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    return ::GetTempPathA(nBufferLength, lpBuffer);
}

void CWin32Platform::GetSystemInfo(SYSTEM_INFO* lpSystemInfo)
{
    ::GetSystemInfo(lpSystemInfo);
}

int CWin32Platform::GetSystemMetrics(int nIndex)
{
    return ::GetSystemMetrics(nIndex);
}

BOOL CWin32Platform::SystemParametersInfoA(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni)
{
    return ::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

DWORD CWin32Platform::ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize)
{
    return ::ExpandEnvironmentStringsA(lpSrc, lpDst, nSize);
}

HMODULE LoadSystemLibrary(LPCSTR pszName)
{
    HMODULE hModule = ::LoadLibraryExA(pszName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (hModule || ::GetLastError() != ERROR_INVALID_PARAMETER)
        return hModule;
    // Systems without the search flags: name the file by its full path instead.
    char szPath[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(szPath, MAX_PATH);
    if (n == 0 || n + 1 + std::strlen(pszName) >= MAX_PATH)
        return nullptr;
    szPath[n] = '\\';
    std::strcpy(szPath + n + 1, pszName);
    return ::LoadLibraryExA(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

namespace {

// VERSION.dll's three functions, resolved once from the system directory.
struct VersionApi {
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

    SizeFn pfnSize = nullptr;
    InfoFn pfnInfo = nullptr;
    QueryFn pfnQuery = nullptr;

    VersionApi()
    {
        HMODULE h = LoadSystemLibrary("version.dll");
        if (!h)
            return;
        pfnSize = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(::GetProcAddress(h, "GetFileVersionInfoSizeA")));
        pfnInfo = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(::GetProcAddress(h, "GetFileVersionInfoA")));
        pfnQuery = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(::GetProcAddress(h, "VerQueryValueA")));
    }
};

const VersionApi& Version()
{
    static const VersionApi api;
    return api;
}

}  // namespace

DWORD CWin32Platform::GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle)
{
    const VersionApi& api = Version();
    if (!api.pfnSize) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return api.pfnSize(lptstrFilename, lpdwHandle);
}

BOOL CWin32Platform::GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData)
{
    const VersionApi& api = Version();
    return api.pfnInfo ? api.pfnInfo(lptstrFilename, dwHandle, dwLen, lpData) : FALSE;
}

BOOL CWin32Platform::VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen)
{
    const VersionApi& api = Version();
    return api.pfnQuery ? api.pfnQuery(pBlock, lpSubBlock, lplpBuffer, puLen) : FALSE;
}
