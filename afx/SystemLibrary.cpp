#include "SystemLibrary.h"

#include <cstring>

bool AfxSearchSystem32Only()
{
    using SetDirs = BOOL(WINAPI*)(DWORD);
    const HMODULE hKernel = ::GetModuleHandleA("kernel32.dll");
    const auto pfn = hKernel ? AfxProcAs<SetDirs>(::GetProcAddress(hKernel, "SetDefaultDllDirectories"))
                             : nullptr;
    return pfn != nullptr && pfn(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

HMODULE AfxLoadSystemLibrary(LPCSTR pszName)
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
    std::memcpy(szPath + n + 1, pszName, std::strlen(pszName) + 1);
    return ::LoadLibraryExA(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
