// The seam to the operating system. Each call mirrors the Win32 call of the same name:
// same arguments, same return conventions.
#pragma once

#include "Records.h"

class IPlatform {
public:
    virtual ~IPlatform() = default;

    virtual BOOL GetVersionExA(OSVERSIONINFOA* lpVersionInformation) = 0;
    virtual BOOL GetComputerNameA(LPSTR lpBuffer, DWORD* nSize) = 0;
    virtual BOOL GetUserNameA(LPSTR lpBuffer, DWORD* pcbBuffer) = 0;
    virtual UINT GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) = 0;
    virtual UINT GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) = 0;
    virtual DWORD GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) = 0;
    virtual void GetSystemInfo(SYSTEM_INFO* lpSystemInfo) = 0;
    virtual int GetSystemMetrics(int nIndex) = 0;
    virtual BOOL SystemParametersInfoA(UINT uiAction, UINT uiParam, LPVOID pvParam, UINT fWinIni) = 0;
    virtual DWORD ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) = 0;

    virtual DWORD GetFileVersionInfoSizeA(LPCSTR lptstrFilename, DWORD* lpdwHandle) = 0;
    virtual BOOL GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) = 0;
    virtual BOOL VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID* lplpBuffer, UINT* puLen) = 0;
};
