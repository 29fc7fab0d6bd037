// Checks that the programs take no DLL from their own folder: copies of both run beside a
// stand-in for uxtheme.dll (built from plant.cpp; it leaves planted-uxtheme.txt beside itself
// when it is loaded), tried native first, as Windows would. Stand-ins for version.dll and
// comctl32.dll would prove nothing under Wine: user32 loads version.dll before the programs
// run, and the manifest sends comctl32.dll to the side-by-side store (docs/WINE.md).
#include "harness.h"

namespace e2e {

namespace {

const char* const kPrograms[] = {"Kavrin.exe", "KavrinReport.exe", "floor_dialog.exe"};
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";

// A folder holding the programs and the stand-in, with Wine told to try uxtheme native first
// for the programs; both undone when the object goes.
class CPlantedDir {
public:
    CPlantedDir()
    {
        for (const char* exe : kPrograms) {
            RegDeleteTreeA(HKEY_CURRENT_USER, (kAppDefaults + std::string(exe)).c_str());
            HKEY hKey = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, (kAppDefaults + std::string(exe) + "\\DllOverrides").c_str(), 0,
                                nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr) != ERROR_SUCCESS) {
                Fault("cannot set the DLL order of %s", exe);
                continue;
            }
            RegSetValueExA(hKey, "uxtheme", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
            RegCloseKey(hKey);
            m_dir.Copy(exe);
        }
        m_dir.Copy("plant\\uxtheme.dll", "uxtheme.dll");
    }
    ~CPlantedDir()
    {
        for (const char* exe : kPrograms)
            RegDeleteTreeA(HKEY_CURRENT_USER, (kAppDefaults + std::string(exe)).c_str());
    }
    CPlantedDir(const CPlantedDir&) = delete;
    CPlantedDir& operator=(const CPlantedDir&) = delete;

    const std::string& Path() const { return m_dir.Path(); }

    // The programs that loaded the stand-in, one a line.
    std::string LoadedBy() const { return FileText(Path() + "\\planted-uxtheme.txt"); }

private:
    CTempDir m_dir;
};

// Both programs, run from dir, work as they do from the build: the same report, the copy, the
// About box with its version, the dedication box, both animations; OK ends with exit code 0.
void RunFrom(const std::string& dir)
{
    CKavrin k;
    if (!k.Start("Kavrin.exe", dir.c_str()))
        return;
    const std::string& report = k.Expected();
    const std::string planted = ExpectedReport(dir.c_str());
    if (!planted.empty() && planted != report)
        Fault("KavrinReport.exe of %s: %s", dir.c_str(), Difference(planted, report).c_str());
    ExpectText(k.Report(), report, "report control");
    if (ExpectCopy(k, "copy") && AboutRound(k, true, true)) {
        PostMessageA(k.Ok(), BM_CLICK, 0, 0);
        k.ExpectExit();
    }
}

// Unpacked from the download where a browser puts it (the script unpacks it there).
void CheckDownload()
{
    RunFrom("C:\\users\\Public\\Downloads\\Kavrin 2.0 f\xFC" "r J\xFC" "rgen\\Kavrin");
}

void CheckPlanted()
{
    const CPlantedDir dir;
    RunFrom(dir.Path());
    const std::string loaded = dir.LoadedBy();
    if (loaded.find("Kavrin") != std::string::npos)
        Fault("the stand-in was loaded by %s", loaded.c_str());
}

// The control: floor_dialog.exe, which keeps the default search order, takes the theme
// stand-in from the same folder once it shows its dialog.
void CheckPlantControl()
{
    const CPlantedDir dir;
    PROCESS_INFORMATION pi;
    if (!StartProgram("floor_dialog.exe", pi, nullptr, dir.Path().c_str()))
        return;
    CHandle process(pi.hProcess), thread(pi.hThread);
    const bool loaded = WaitFor([&] { return !dir.LoadedBy().empty(); }, kWaitMs, 20);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, kWaitMs);
    if (!loaded)
        Fault("floor_dialog.exe did not load the uxtheme.dll planted beside it");
}

}  // namespace

std::vector<Check> PlantingChecks()
{
    return {
        {"planted", CheckPlanted,
         "uxtheme.dll planted beside the programs: they work as built and do not load it", 240},
        {"download", CheckDownload,
         "the download unpacked under Downloads, in a folder with spaces and umlauts: both programs work as built", 240},
        {"plantcontrol", CheckPlantControl,
         "planted uxtheme.dll: a program without the System32-only search loads it"},
    };
}

}  // namespace e2e
