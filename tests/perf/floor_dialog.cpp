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

#include <cstdlib>
#include <string>

namespace {

struct Fill {
    bool perLine;
    std::string text;
};

// The whole file, or nothing.
std::string ReadFileText(const char* path)
{
    std::string text;
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    CloseHandle(h);
    return text;
}

void WriteReport(HWND hDlg, const Fill& fill)
{
    if (!fill.perLine) {
        SetDlgItemTextA(hDlg, IDC_REPORT, fill.text.c_str());
        return;
    }
    std::string shown;
    SetDlgItemTextA(hDlg, IDC_REPORT, shown.c_str());
    for (const std::size_t end : LineEnds(fill.text)) {
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
