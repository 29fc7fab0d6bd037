// floor_dialog.exe: the floors of Kavrin.exe's start-up, each a modal dialog titled "Floor" with
// Kavrin.exe's manifest and its main window's frame, size and font.
//   floor_dialog                an empty dialog;
//   floor_dialog once FILE      with the report control alone, given FILE's text once;
//   floor_dialog perline FILE   the same, given the whole text after every line, as the
//                               report does.
// The e2e planting check also runs it, as a program that keeps the default DLL search order.
#include <windows.h>

#include "ReportWrites.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Fill {
    bool perLine;
    std::string text;
};

// The whole file, or nothing.
std::string ReadFileText(const char* path)
{
    std::string text;
    if (FILE* file = std::fopen(path, "rb")) {
        char buf[4096];
        for (std::size_t got = 0; (got = std::fread(buf, 1, sizeof buf, file)) > 0;)
            text.append(buf, got);
        std::fclose(file);
    }
    return text;
}

// The whole text once; or per line the empty text, then the text up to each line's end.
void WriteReport(HWND hDlg, const Fill& fill)
{
    SetDlgItemTextA(hDlg, IDC_REPORT, fill.perLine ? "" : fill.text.c_str());
    std::string shown;
    for (const std::size_t end : fill.perLine ? LineEnds(fill.text) : std::vector<std::size_t>()) {
        shown.assign(fill.text, 0, end);
        SetDlgItemTextA(hDlg, IDC_REPORT, shown.c_str());
    }
}

INT_PTR CALLBACK FloorProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_INITDIALOG) {
        if (lParam)
            WriteReport(hDlg, *reinterpret_cast<const Fill*>(lParam));
        return TRUE;
    }
    if (uMsg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    // "once FILE" or "perline FILE", as the C runtime splits the command line.
    const std::string mode = __argc == 3 ? __argv[1] : "";
    if (mode != "once" && mode != "perline") {
        DialogBoxParamA(hInstance, "FLOOR_EMPTY", nullptr, FloorProc, 0);
        return 0;
    }
    const Fill fill = {mode == "perline", ReadFileText(__argv[2])};
    DialogBoxParamA(hInstance, "FLOOR_REPORT", nullptr, FloorProc, reinterpret_cast<LPARAM>(&fill));
    return 0;
}
