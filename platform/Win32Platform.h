// The seam's Win32 implementation: each call forwards to the system.
#pragma once

#include "Platform.h"

class CWin32Platform final : public IPlatform {
public:
    BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) override;
    BOOL GetComputerNameA(LPSTR lpBuffer, DWORD* nSize) override;
    BOOL GetUserNameA(LPSTR lpBuffer, DWORD* pcbBuffer) override;
    UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) override;
    UINT GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) override;
    DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) override;
    void GetSystemInfo(SYSTEM_INFO* lpSystemInfo) override;
    int GetSystemMetrics(int nIndex) override;
    BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni) override;
    DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) override;

    DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle) override;
    BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) override;
    BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) override;
};

// The process's one Win32 platform.
IPlatform& Win32Platform();
