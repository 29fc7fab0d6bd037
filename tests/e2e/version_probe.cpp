// version_probe.exe: prints what GetVersionExA tells this process, as one line
// "BUILD MAJOR MINOR SP_MAJOR SP_MINOR CSD" (CSD may be empty); exit code 1 if the call fails.
// Built twice: with the programs' compatibility manifest, and without any manifest.
#include <windows.h>

#include <cstdio>

int main()
{
    OSVERSIONINFOEXA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof osvi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&osvi)))
        return 1;
#pragma GCC diagnostic pop
    std::printf("%lu %lu %lu %u %u %.128s\n", osvi.dwBuildNumber, osvi.dwMajorVersion,
                osvi.dwMinorVersion, osvi.wServicePackMajor, osvi.wServicePackMinor,
                osvi.szCSDVersion);
    return 0;
}
