#include "Win32Platform.h"

#include "SystemLibrary.h"

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
        pfnSize = AfxSystemProc<SizeFn>("version.dll", "GetFileVersionInfoSizeA");
        pfnInfo = AfxSystemProc<InfoFn>("version.dll", "GetFileVersionInfoA");
        pfnQuery = AfxSystemProc<QueryFn>("version.dll", "VerQueryValueA");
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

IPlatform& Win32Platform()
{
    static CWin32Platform platform;
    return platform;
}
