// Both programs may import statically only DLLs that Windows always loads from the
// system directory; anything else could be planted beside the executable.
#include "PeImage.h"
#include "PeResources.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Known DLLs, as lower-case file names.
const std::set<std::string> kSystemDlls = {
    "kernel32.dll", "user32.dll",  "gdi32.dll", "advapi32.dll",
    "msvcrt.dll",   "shell32.dll", "ole32.dll", "comdlg32.dll",
};

void ExpectOnlySystemDlls(const std::string& program)
{
    const std::string path = pe::WindowsBuildDir() + "/" + program;
    pe::PeImage image;
    ASSERT_TRUE(image.Load(path)) << path << ": " << image.error();

    std::set<std::string> imported;
    for (const std::string& dll : image.imports()) {
        imported.insert(pe::Lower(dll));
        EXPECT_TRUE(kSystemDlls.count(pe::Lower(dll))) << program << " imports " << dll;
    }
    EXPECT_TRUE(imported.count("kernel32.dll")) << program << " imports no KERNEL32.dll";
    for (const std::string& dll : image.delayImports())
        EXPECT_TRUE(kSystemDlls.count(pe::Lower(dll))) << program << " delay-imports " << dll;
    // version.dll and comctl32.dll, not in the list, are loaded at run time from System32.
}

}  // namespace

TEST(Imports, ProgramImportsOnlyKnownSystemDlls)
{
    ExpectOnlySystemDlls("Kavrin.exe");
}

TEST(Imports, ReportProgramImportsOnlyKnownSystemDlls)
{
    ExpectOnlySystemDlls("KavrinReport.exe");
}
