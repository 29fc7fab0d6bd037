#include "Report.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr UINT kValueBufferSize = 260;   // MAX_PATH
constexpr DWORD kPathBufferSize = 1024;
// No variable holds more than 32767 characters, and no ANSI code page takes more than three
// bytes for one.
constexpr DWORD kPathLimit = 3 * 32768;

const char* PlatformName(const OSVERSIONINFOEXA& osvi)
{
    switch (osvi.dwPlatformId) {
    case 0:
        return "Win32s auf Win 3.1";
    case 1:
        if (osvi.dwMajorVersion > 4 || (osvi.dwMajorVersion == 4 && osvi.dwMinorVersion > 0))
            return "Windows 98";
        return "Windows 95";
    case 2:
        return "Windows NT";
    default:
        return "";
    }
}

const char* ProcessorTypeName(DWORD dwType)
{
    switch (dwType) {
    case 386: return "<PROCESSOR_INTEL_386>";
    case 486: return "<PROCESSOR_INTEL_486>";
    case 586: return "<PROCESSOR_INTEL_PENTIUM>";
    case 4000: return "<PROCESSOR_MIPS_R4000>";
    case 21064: return "<PROCESSOR_ALPHA_21064>";
    default: return "<UNKNOWN_PROCESSOR>";
    }
}

const char* ArchitectureName(WORD wArchitecture)
{
    switch (wArchitecture) {
    case 0: return "<PROCESSOR_ARCHITECTURE_INTEL>";
    case 1: return "<PROCESSOR_ARCHITECTURE_MIPS>";
    case 2: return "<PROCESSOR_ARCHITECTURE_ALPHA>";
    case 3: return "<PROCESSOR_ARCHITECTURE_PPC>";
    default: return "<PROCESSOR_ARCHITECTURE_UNKNOWN>";
    }
}

unsigned long long AddressValue(const void* p)
{
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p));
}

}  // namespace

void CReport::FillReport() noexcept
{
    try {
        ClearReport();
        AddVersionInfo();
        AddSystemInfo();
        AddHardwareInfo();
        AddMouseInfo();
        AddPathInfo();
    } catch (const std::bad_alloc&) {
        // Emptying needs no memory: no part of a report is ever shown as if it were whole.
        ClearReport();
    }
}

void CReport::ClearReport()
{
    m_strReport = "";
    ShowReport(m_strReport);
}

void CReport::AppendLine(CString line)
{
    line += "\r\n";
    m_strReport += line;
    ShowReport(m_strReport);
}

void CReport::AddVersionInfo()
{
    OSVERSIONINFOEXA osvi;
    std::memset(&osvi, 0, sizeof osvi);
    osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    bool bExtended = false;
    CString strLine;

    AppendLine("[1] Versions-Info\r\n-------------------------");
    strLine = "Plattform: ";

    auto* pBasic = reinterpret_cast<OSVERSIONINFOA*>(&osvi);
    bExtended = m_platform.GetVersionExA(pBasic) == 1;
    if (!bExtended) {
        osvi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!m_platform.GetVersionExA(pBasic))
            return;
    }

    strLine += PlatformName(osvi);
    AppendLine(strLine);

    const long lBuild = static_cast<long>(osvi.dwBuildNumber & 0xFFFF);
    strLine.Format("Build: %ld (0x%x)", lBuild, static_cast<unsigned>(lBuild));
    AppendLine(strLine);
    // "%0.2x" and "%0.4x" are the report's own directives; gcc warns that the 0 flag is
    // ignored with a precision, so the warning is off around the lines that use them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    strLine.Format("MajorVersion: %ld (0x%0.2x)", static_cast<long>(osvi.dwMajorVersion),
                   static_cast<unsigned>(osvi.dwMajorVersion));
    AppendLine(strLine);
    strLine.Format("MinorVersion: %ld (0x%0.2x)", static_cast<long>(osvi.dwMinorVersion),
                   static_cast<unsigned>(osvi.dwMinorVersion));
#pragma GCC diagnostic pop
    AppendLine(strLine);
    char szCSD[sizeof osvi.szCSDVersion + 1] = {};
    std::memcpy(szCSD, osvi.szCSDVersion, sizeof osvi.szCSDVersion);  // terminated even if full
    strLine.Format("Version: %s", szCSD);
    AppendLine(strLine);
    if (bExtended) {
        strLine.Format("Service Pack %d.%d\n", static_cast<int>(osvi.wServicePackMajor),
                       static_cast<int>(osvi.wServicePackMinor));
        AppendLine(strLine);
    }
    AppendLine("");
}

void CReport::AddSystemInfo()
{
    char szValue[kValueBufferSize];
    DWORD dwSize = 0;
    CString strLine;

    AppendLine("(2) System-Info\r\n-----------------------");

    // One line from the value buffer, cleared before its query; a failed query leaves
    // the value empty, and the line is always written.
    const auto appendValue = [&](const char* pszFormat, auto&& fnQuery) {
        szValue[0] = '\0';
        if (!fnQuery())
            szValue[0] = '\0';
        strLine.Format(pszFormat, szValue);
        AppendLine(strLine);
    };
    // A directory query returns the length without the zero when the path fits.
    const auto fits = [](UINT n, UINT room) { return n != 0 && n < room; };

    appendValue("Computername: %s", [&] {
        dwSize = kValueBufferSize;
        return m_platform.GetComputerNameA(szValue, &dwSize) != FALSE;
    });
    appendValue("Username: %s", [&] {
        dwSize = kValueBufferSize;
        return m_platform.GetUserNameA(szValue, &dwSize) != FALSE;
    });
    appendValue("System-Verzeichnis: %s",
                [&] { return fits(m_platform.GetSystemDirectoryA(szValue, kValueBufferSize), kValueBufferSize); });
    appendValue("Windows-Verzeichnis: %s",
                [&] { return fits(m_platform.GetWindowsDirectoryA(szValue, kValueBufferSize), kValueBufferSize); });
    // Told one byte less than the buffer: room for 258 characters and the zero.
    appendValue("Temp-Verzeichnis: %s", [&] {
        return fits(m_platform.GetTempPathA(kValueBufferSize - 1, szValue), kValueBufferSize - 1);
    });

    AppendLine("");
}

void CReport::AddHardwareInfo()
{
    SYSTEM_INFO si;
    std::memset(&si, 0, sizeof si);
    CString strLine;
    CString strMask;

    AppendLine("(3) Hardware-Info\r\n---------------------------");
    m_platform.GetSystemInfo(&si);
    const DWORD dwOemId = OemIdOf(si);

    strLine.Format("OemId: %d", static_cast<int>(dwOemId));
    AppendLine(strLine);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    strLine.Format("PageSize: %d (0x%0.4x)", static_cast<int>(si.dwPageSize),
                   static_cast<unsigned>(si.dwPageSize));
#pragma GCC diagnostic pop
    AppendLine(strLine);
    strLine.Format("Minimale Applikationsadresse: 0x%llx", AddressValue(si.lpMinimumApplicationAddress));
    AppendLine(strLine);
    strLine.Format("Maximale Applikationsadresse: 0x%llx", AddressValue(si.lpMaximumApplicationAddress));
    AppendLine(strLine);
    strLine.Format("Number of Processors: %d", static_cast<int>(si.dwNumberOfProcessors));
    AppendLine(strLine);
    strLine.Format("ProcessorType: %d ", static_cast<int>(si.dwProcessorType));
    strLine += ProcessorTypeName(si.dwProcessorType);
    AppendLine(strLine);
    const unsigned uLevel = si.wProcessorLevel;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat"
    strLine.Format("ProcessorLevel: %d (0x%0.4x)", static_cast<int>(uLevel), uLevel);
    AppendLine(strLine);
    const unsigned uRevision = si.wProcessorRevision;
    strLine.Format("ProcessorRevision: %d (0x%0.4x)", static_cast<int>(uRevision), uRevision);
#pragma GCC diagnostic pop
    AppendLine(strLine);
    strLine = "ProcessorArchitecture: ";
    strLine += ArchitectureName(static_cast<WORD>(dwOemId & 0xFFFF));
    AppendLine(strLine);

    // 32 digits as long as no processor above 31 is configured, 64 otherwise.
    const std::uint64_t qwMask = si.dwActiveProcessorMask;
    if ((qwMask >> 32) == 0)
        FormatBitMask(static_cast<DWORD>(qwMask), strMask);
    else
        FormatBitMaskWide(qwMask, strMask);
    strLine = "Active Processormask: ";
    strLine += strMask;
    AppendLine(strLine);

    AppendLine("");
}

void CReport::FormatBitMask(DWORD dwMask, CString& strResult)
{
    char szDigits[33];
    for (int i = 31; i >= 0; --i) {
        szDigits[i] = (dwMask & 1) ? '1' : '0';
        dwMask >>= 1;
    }
    szDigits[32] = '\0';
    strResult = szDigits;
}

void CReport::FormatBitMaskWide(std::uint64_t qwMask, CString& strResult)
{
    char szDigits[65];
    for (int i = 63; i >= 0; --i) {
        szDigits[i] = (qwMask & 1) ? '1' : '0';
        qwMask >>= 1;
    }
    szDigits[64] = '\0';
    strResult = szDigits;
}

void CReport::AddMouseInfo()
{
    CString strLine;

    AppendLine("(4) Metrik-Info\r\n---------------------");
    if (m_platform.GetSystemMetrics(SM_MOUSEPRESENT)) {
        AppendLine("Es wurde eine Maus gefunden.");
        if (m_platform.GetSystemMetrics(SM_SWAPBUTTON))
            AppendLine("Die Mausknöpfe sind vertauscht.");
        else
            AppendLine("Die Mausknöpfe sind nicht vertauscht.");
        int aMouse[3] = {0, 0, 0};
        if (m_platform.SystemParametersInfoA(SPI_GETMOUSE, 0, aMouse, 0)) {
            strLine.Format("Mausbeschleunigung: %d", aMouse[2]);
            AppendLine(strLine);
            strLine.Format("Treshold-Werte (x,y): %d, %d", aMouse[0], aMouse[1]);
            AppendLine(strLine);
        }
    } else {
        AppendLine("Es konnte keine Maus gefunden werden.");
    }
    AppendLine("");
}

void CReport::AddPathInfo()
{
    static const char kSource[] = "PATH = %PATH%";
    char szBuffer[kPathBufferSize];
    CString strLine;

    AppendLine("(5) PATH-Variable\r\n----------------------------");

    DWORD dwResult = m_platform.ExpandEnvironmentStringsA(kSource, szBuffer, kPathBufferSize);
    if (dwResult != 0 && dwResult <= kPathBufferSize) {
        szBuffer[kPathBufferSize - 1] = '\0';
        strLine.Format("%s", szBuffer);
    } else {
        // Too long for the fixed buffer: expand again into one of the size the ANSI form asks
        // for (the length, the zero and one byte more), as long as the value keeps growing.
        std::vector<char> large;
        DWORD dwSize = kPathBufferSize;
        while (dwResult > dwSize && dwResult < kPathLimit) {
            dwSize = dwResult + 1;
            large.assign(dwSize, '\0');
            dwResult = m_platform.ExpandEnvironmentStringsA(kSource, large.data(), dwSize);
        }
        if (!large.empty() && dwResult != 0 && dwResult <= dwSize) {
            large[dwSize - 1] = '\0';
            strLine.Format("%s", large.data());
        } else {
            strLine = "PATH = ";
        }
    }
    AppendLine(strLine);
    AppendLine("");
}
