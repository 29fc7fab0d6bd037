// floor_dialog.exe: an empty modal dialog titled "Floor" and nothing else; the baseline that
// the start-up benchmark measures Kavrin.exe against.
#include <windows.h>

#include <cstddef>

namespace {

// In-memory template: no menu, the default dialog class, the title, no controls.
struct FloorTemplate {
    DLGTEMPLATE dlg;
    WORD menu;
    WORD windowClass;
    WCHAR title[6];
};
static_assert(offsetof(FloorTemplate, menu) == 18, "DLGTEMPLATE is 18 bytes");

INT_PTR CALLBACK FloorProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    if (uMsg == WM_INITDIALOG)
        return TRUE;
    if (uMsg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    // Same frame styles and size in dialog units as the report window.
    alignas(4) static const FloorTemplate tpl = {
        {WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
             WS_MAXIMIZEBOX | DS_CENTER,
         WS_EX_APPWINDOW, 0, 0, 0, 226, 153},
        0,
        0,
        L"Floor",
    };
    DialogBoxIndirectParamA(hInstance, &tpl.dlg, nullptr, FloorProc, 0);
    return 0;
}
