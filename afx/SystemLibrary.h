// Loading DLLs from the system directory only, never from the program's folder.
#pragma once

#ifdef _WIN32
#include <windows.h>

// Makes System32 the only folder that DLLs are loaded from for the rest of the process, loads
// by Windows' own components included. False where the system lacks SetDefaultDllDirectories
// (Windows 7 without its loader update), which keeps the default search order.
bool AfxSearchSystem32Only();

// The module, or null when it cannot be loaded; it stays loaded for the process.
HMODULE AfxLoadSystemLibrary(LPCSTR pszName);

// GetProcAddress's answer as the function type F. Through void (*)(), which every compiler
// takes as a match for any function type, so that the cast needs no silencing.
template <typename F>
F AfxProcAs(FARPROC pfn)
{
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(pfn));
}

// An exported function of a system DLL cast to the type F, or null.
template <typename F>
F AfxSystemProc(LPCSTR pszDll, LPCSTR pszProc)
{
    HMODULE hModule = AfxLoadSystemLibrary(pszDll);
    if (!hModule)
        return nullptr;
    return AfxProcAs<F>(::GetProcAddress(hModule, pszProc));
}
#endif
