// A stand-in for a system DLL, planted beside the programs by the DLL-planting check. Loading
// it leaves "planted-NAME.txt" beside it, holding the path of each process that loaded it.
#include <windows.h>

#include <string>

namespace {

std::string ModulePath(HMODULE hModule)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(hModule, path, MAX_PATH);
    return {path, n < MAX_PATH ? n : 0};
}

void LeaveMarker(HMODULE hSelf)
{
    const std::string self = ModulePath(hSelf);
    const size_t slash = self.find_last_of('\\');
    const size_t dot = self.find_last_of('.');
    if (slash == std::string::npos || dot == std::string::npos || dot < slash)
        return;
    const std::string marker =
        self.substr(0, slash + 1) + "planted-" + self.substr(slash + 1, dot - slash - 1) + ".txt";
    HANDLE hFile = CreateFileA(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    const std::string line = ModulePath(nullptr) + "\r\n";
    DWORD written = 0;
    WriteFile(hFile, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(hFile);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        LeaveMarker(hInstance);
    return TRUE;
}
