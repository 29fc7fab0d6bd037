// A scriptable stand-in for the operating system: tests set the answers, then read
// back which calls were made.
#pragma once

#include "Platform.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

class FakePlatform : public IPlatform {
public:
    // GetVersionExA: results of the extended (156) and basic (148) query.
    BOOL extendedResult = 1;
    BOOL basicResult = 1;
    OSVERSIONINFOEXA version{};
    std::vector<DWORD> versionSizesAsked;

    // Identity queries: a value, or failure.
    struct Answer {
        std::string value;
        bool fails = false;
    };
    Answer computerName{"KAVRIN-PC"};
    Answer userName{"Anna"};
    Answer systemDir{"C:\\WINDOWS\\system32"};
    Answer windowsDir{"C:\\WINDOWS"};
    Answer tempPath{"C:\\TEMP\\"};
    std::vector<DWORD> sizesPassed;   // the size argument of each of the five queries

    SYSTEM_INFO systemInfo{};

    std::map<int, int> metrics{{SM_MOUSEPRESENT, 1}, {SM_SWAPBUTTON, 0}};
    std::vector<int> metricsAsked;
    BOOL mouseResult = TRUE;
    int mouse[3] = {6, 10, 1};
    int mouseCalls = 0;

    // ExpandEnvironmentStringsA: PATH's value, or unset; or a forced failure.
    bool pathSet = true;
    std::string path = "C:\\WINDOWS\\system32;C:\\WINDOWS";
    bool expandFails = false;
    std::vector<DWORD> expandSizes;

    BOOL GetVersionExA(OSVERSIONINFOA* p) override
    {
        versionSizesAsked.push_back(p->dwOSVersionInfoSize);
        if (p->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA)) {
            if (extendedResult == 1)
                std::memcpy(p, &version, sizeof(OSVERSIONINFOEXA));
            return extendedResult;
        }
        if (basicResult)
            std::memcpy(&p->dwMajorVersion, &version.dwMajorVersion,
                        sizeof(OSVERSIONINFOA) - sizeof(DWORD));
        return basicResult;
    }

    BOOL GetComputerNameA(LPSTR buf, DWORD* size) override { return NameQuery(computerName, buf, size); }
    BOOL GetUserNameA(LPSTR buf, DWORD* size) override { return NameQuery(userName, buf, size); }

    UINT GetSystemDirectoryA(LPSTR buf, UINT size) override { return DirQuery(systemDir, buf, size); }
    UINT GetWindowsDirectoryA(LPSTR buf, UINT size) override { return DirQuery(windowsDir, buf, size); }
    DWORD GetTempPathA(DWORD size, LPSTR buf) override { return DirQuery(tempPath, buf, size); }

    void GetSystemInfo(SYSTEM_INFO* p) override { *p = systemInfo; }

    int GetSystemMetrics(int n) override
    {
        metricsAsked.push_back(n);
        auto it = metrics.find(n);
        return it == metrics.end() ? 0 : it->second;
    }

    BOOL SystemParametersInfoA(UINT action, UINT, LPVOID pv, UINT) override
    {
        ++mouseCalls;
        if (action != SPI_GETMOUSE || !mouseResult)
            return FALSE;
        std::memcpy(pv, mouse, sizeof mouse);
        return TRUE;
    }

    DWORD ExpandEnvironmentStringsA(LPCSTR src, LPSTR dst, DWORD size) override
    {
        expandSizes.push_back(size);
        if (expandFails)
            return 0;
        std::string out = src;
        const std::string ref = "%PATH%";
        if (pathSet) {
            const auto at = out.find(ref);
            if (at != std::string::npos)
                out.replace(at, ref.size(), path);
        }
        const auto needed = static_cast<DWORD>(out.size() + 1);
        if (needed > size) {
            std::memset(dst, 'X', size);   // what the caller must never show
            return needed;
        }
        std::memcpy(dst, out.c_str(), needed);
        return needed;
    }

    // The version-resource calls answer from a scripted block (used by the version reader).
    std::vector<unsigned char> versionBlock;
    bool versionFileFound = true;
    std::map<std::string, std::string> versionStrings;   // path (any case) -> text
    bool hasFixedInfo = true;
    VS_FIXEDFILEINFO fixedInfo{};
    UINT fixedInfoLength = sizeof(VS_FIXEDFILEINFO);   // as VerQueryValueA reports it
    std::vector<std::string> filesAsked;

    DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle) override
    {
        filesAsked.emplace_back(name);
        if (handle)
            *handle = 0;
        return versionFileFound ? static_cast<DWORD>(versionBlock.size()) : 0;
    }

    BOOL GetFileVersionInfoA(LPCSTR, DWORD, DWORD len, LPVOID data) override
    {
        if (!versionFileFound)
            return FALSE;
        std::memcpy(data, versionBlock.data(), std::min<std::size_t>(len, versionBlock.size()));
        return TRUE;
    }

    BOOL VerQueryValueA(LPCVOID, LPCSTR sub, LPVOID* out, UINT* len) override
    {
        const std::string key = Upper(sub);
        if (key == "\\") {
            if (!hasFixedInfo)
                return FALSE;
            *out = &fixedInfo;
            *len = fixedInfoLength;
            return TRUE;
        }
        for (auto& kv : versionStrings) {
            if (Upper(kv.first) == key) {
                *out = &kv.second[0];
                *len = static_cast<UINT>(kv.second.size() + 1);
                return TRUE;
            }
        }
        return FALSE;
    }

private:
    static std::string Upper(std::string s)
    {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return s;
    }

    BOOL NameQuery(const Answer& a, LPSTR buf, DWORD* size)
    {
        sizesPassed.push_back(*size);
        if (a.fails || a.value.size() + 1 > *size) {
            std::memset(buf, 'X', *size);
            return FALSE;
        }
        std::memcpy(buf, a.value.c_str(), a.value.size() + 1);
        *size = static_cast<DWORD>(a.value.size());
        return TRUE;
    }

    // Win32 directory-query convention: length without the zero when it fits,
    // the size needed (with the zero) when it does not, 0 on failure.
    UINT DirQuery(const Answer& a, LPSTR buf, DWORD size)
    {
        sizesPassed.push_back(size);
        if (a.fails)
            return 0;
        if (a.value.size() + 1 > size) {
            std::memset(buf, 'X', size);
            return static_cast<UINT>(a.value.size() + 1);
        }
        std::memcpy(buf, a.value.c_str(), a.value.size() + 1);
        return static_cast<UINT>(a.value.size());
    }
};
