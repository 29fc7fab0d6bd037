// Checks of the class layer and the application services inside a real Windows process
// (run under Wine by tests/win/run.sh). Prints "ok - …" / "not ok - …" lines.
#include "../Expected.h"
#include "AboutDlg.h"
#include "Applikation.h"
#include "SysInfoApp.h"
#include "SysInfoDlg.h"
#include "afxres.h"
#include "resource.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace {

int g_failed = 0;

void Check(bool bOk, const std::string& name, const std::string& detail = "")
{
    std::printf("%s - %s%s%s\n", bOk ? "ok" : "not ok", name.c_str(), bOk || detail.empty() ? "" : ": ",
                bOk ? "" : detail.c_str());
    if (!bOk)
        ++g_failed;
}

// A command target whose map chains to a base map with an entry of its own.
class CBaseTarget : public CCmdTarget {
public:
    void OnFirst() { m_strHits += "base-first "; }
    void OnSecond() { m_strHits += "base-second "; }
    std::string m_strHits;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(1, OnFirst)
    ON_COMMAND(2, OnSecond)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    void OnFirst() { m_strHits += "derived-first "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(1, OnFirst)
END_MESSAGE_MAP()

void CheckRuntimeClasses()
{
    const CRuntimeClass* pClass = RUNTIME_CLASS(CApplikation);
    Check(std::strcmp(pClass->m_lpszClassName, "CApplikation") == 0, "run-time class name");
    Check(pClass->m_nObjectSize == static_cast<int>(sizeof(CApplikation)), "run-time class object size");
    Check(pClass->m_wSchema == 0xFFFF, "run-time class schema 0xFFFF");
    Check(pClass->m_pfnGetBaseClass != nullptr && pClass->m_pfnGetBaseClass() == RUNTIME_CLASS(CWinApp),
          "run-time class base is CWinApp");
    Check(pClass->m_pNextClass == nullptr, "run-time class has no next class");
    Check(theApp.GetRuntimeClass() == pClass, "the application object answers CApplikation",
          theApp.GetRuntimeClass()->m_lpszClassName);
    Check(theApp.IsKindOf(RUNTIME_CLASS(CWinApp)) && theApp.IsKindOf(RUNTIME_CLASS(CCmdTarget)),
          "the application object is a CWinApp and a CCmdTarget");

    CObject* pObject = pClass->CreateObject();
    Check(pObject != nullptr && pObject->IsKindOf(pClass) && !pObject->IsKindOf(RUNTIME_CLASS(CWnd)),
          "the factory makes a CApplikation");
    delete pObject;
    Check(AfxGetApp() == &theApp, "a second application object does not replace theApp");
    Check(RUNTIME_CLASS(CDialog)->CreateObject() == nullptr, "a class without factory creates nothing");
}

void CheckMessageMaps()
{
    CDerivedTarget target;
    Check(target.OnCmdMsg(1) && target.OnCmdMsg(2) && !target.OnCmdMsg(3), "commands found along the map chain");
    Check(target.m_strHits == "derived-first base-second ", "the derived map's entry wins",
          target.m_strHits);
    Check(theApp.OnCmdMsg(ID_HELP), "the application's map takes the help command");
    CWnd wnd;
    Check(wnd.OnCommand(MAKEWPARAM(ID_HELP, 0), 0) == TRUE, "a window routes an unhandled command to the application");
    Check(wnd.OnCommand(MAKEWPARAM(4242, 0), 0) == FALSE, "a command nobody handles is reported unhandled");
}

void CheckNamesAndStrings()
{
    Check(std::strcmp(AfxGetAppName(), "afx_checks") == 0, "application name is the file name without extension",
          AfxGetAppName());
    CString str("alt");
    Check(str.LoadString(IDS_ABOUTBOX) != FALSE && str == expected::kAboutItem,
          "string 101 in the ANSI code page", static_cast<LPCTSTR>(str));
    Check(str.LoadString(4711) == FALSE && str.IsEmpty(), "a missing string loads as empty");
    Check(theApp.LoadIcon(IDR_MAINFRAME) != nullptr, "the icon group loads");
}

void CheckVersionInfo()
{
    CString strFile, strProduct, strComment, strCopyright;
    const bool bResult = theApp.GetVersionInfo(strFile, strProduct, strComment, strCopyright);
    Check(bResult, "own version resource read");
    Check(strFile == expected::VersionText(expected::kFileVersion).c_str(), "file version", static_cast<LPCTSTR>(strFile));
    Check(strProduct == expected::VersionText(expected::kProductVersion).c_str(), "product version",
          static_cast<LPCTSTR>(strProduct));
    Check(strComment == expected::kComment, "comment", static_cast<LPCTSTR>(strComment));
    Check(strCopyright == expected::kCopyright, "copyright line", static_cast<LPCTSTR>(strCopyright));
}

void CheckSystemLibraries()
{
    char szSystem[MAX_PATH] = {};
    ::GetSystemDirectoryA(szSystem, MAX_PATH);
    for (const char* pszDll : {"version.dll", "comctl32.dll"}) {
        HMODULE hModule = AfxLoadSystemLibrary(pszDll);
        char szPath[MAX_PATH] = {};
        if (hModule)
            ::GetModuleFileNameA(hModule, szPath, MAX_PATH);
        // comctl32 may come from the side-by-side store that the manifest names.
        const bool bSystem = _strnicmp(szPath, szSystem, std::strlen(szSystem)) == 0 ||
                             std::strstr(szPath, "winsxs") != nullptr;
        Check(hModule != nullptr && bSystem, std::string(pszDll) + " loaded from the system", szPath);
    }
    Check(AfxLoadSystemLibrary("no-such-library.dll") == nullptr, "a missing system DLL gives null");
}

// The CF_TEXT block on the clipboard, all of its bytes.
std::string ClipboardText(HWND hWnd)
{
    std::string text;
    if (!::OpenClipboard(hWnd))
        return "(not opened)";
    if (HANDLE hData = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(hData))) {
            text.assign(p, ::GlobalSize(hData));
            ::GlobalUnlock(hData);
        }
    }
    ::CloseClipboard();
    return text;
}

// The clipboard copy, through a window of this process.
void CheckClipboard()
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CWnd wnd(hWnd);
    const char kText[] = "Zeile 1\r\nZeile \xF6\r\n";
    Check(theApp.CopyToClipboard(&wnd, kText), "copy reports success");
    const std::string expected(kText, sizeof kText);
    Check(ClipboardText(hWnd) == expected, "the clipboard holds the bytes and one zero");

    // Held open by this window: the copy fails and the content stays.
    ::OpenClipboard(hWnd);
    HWND hOther = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    CWnd other(hOther);
    const bool bHeld = theApp.CopyToClipboard(&other, "neu");
    ::CloseClipboard();
    Check(!bHeld, "copy while the clipboard is held reports failure");
    Check(ClipboardText(hWnd) == expected, "the clipboard keeps its content while held");
    Check(theApp.CopyToClipboard(&wnd, "") && ClipboardText(hWnd) == std::string(1, '\0'),
          "an empty text copies as one zero byte");
    ::DestroyWindow(hOther);
    ::DestroyWindow(hWnd);
}

// The text of a static control as it shows it: without SS_NOPREFIX "&&" shows one ampersand
// and a single one only underlines the letter after it.
std::string ShownText(HWND hCtrl)
{
    char szText[512] = {};
    ::GetWindowTextA(hCtrl, szText, sizeof szText);
    if (::GetWindowLongA(hCtrl, GWL_STYLE) & SS_NOPREFIX)
        return szText;
    std::string shown;
    for (const char* p = szText; *p; ++p) {
        if (*p == '&' && p[1])
            ++p;
        shown += *p;
    }
    return shown;
}

// Every text line of the box's static controls that is wider than its control, with widths.
std::string TextsWiderThanControls(HWND hBox)
{
    std::string found;
    for (HWND hCtrl = ::GetWindow(hBox, GW_CHILD); hCtrl; hCtrl = ::GetWindow(hCtrl, GW_HWNDNEXT)) {
        char szClass[16] = {};
        ::GetClassNameA(hCtrl, szClass, sizeof szClass);
        const std::string text = ShownText(hCtrl);
        if (_stricmp(szClass, "Static") != 0 || text.empty() ||
            (::GetWindowLongA(hCtrl, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        RECT client = {};
        ::GetClientRect(hCtrl, &client);
        HDC hDC = ::GetDC(hCtrl);
        const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(::SendMessageA(hCtrl, WM_GETFONT, 0, 0)));
        SIZE size = {};
        ::GetTextExtentPoint32A(hDC, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hCtrl, hDC);
        if (size.cx > client.right)
            found += "\"" + text + "\" " + std::to_string(size.cx) + " px in " + std::to_string(client.right) + " px; ";
    }
    return found;
}

// A dialog that runs inspect once its OnInitDialog has set it up, and ends at once.
template <class TDlg>
class CInspected : public TDlg {
public:
    explicit CInspected(std::function<void(HWND)> inspect) : m_inspect(std::move(inspect)) {}

protected:
    BOOL OnInitDialog() override
    {
        TDlg::OnInitDialog();
        m_inspect(this->m_hWnd);
        ::EndDialog(this->m_hWnd, IDOK);
        return TRUE;
    }

private:
    std::function<void(HWND)> m_inspect;
};

void CheckBoxTextsFit()
{
    std::string strTooWide = "(not measured)", strOldCopyright;
    CInspected<CAboutDlg> about([&](HWND hBox) {
        strTooWide = TextsWiderThanControls(hBox);
        // The copyright line as it was, which wrapped out of sight: the measure must see it.
        const std::string strOld = std::string("Copyright ") + expected::kCopyright;
        if (::SetDlgItemTextA(hBox, IDC_COPYRIGHT, strOld.c_str()))
            strOldCopyright = TextsWiderThanControls(hBox);
    });
    about.DoModal();
    Check(strTooWide.empty(), "every text of the About box fits its control", strTooWide);
    Check(strOldCopyright.find("Copyright") != std::string::npos, "a copyright line too wide for its control is seen",
          strOldCopyright);
    strTooWide = "(not measured)";
    CInspected<CWidmungDlg> widmung([&](HWND hBox) { strTooWide = TextsWiderThanControls(hBox); });
    widmung.DoModal();
    Check(strTooWide.empty(), "every text of the dedication box fits its control", strTooWide);
}

// The main window's system menu ends with a separator and the About item; its drag icon is
// the icon it shows.
void CheckMainWindowMenuAndIcon()
{
    std::string strLast = "(not run)";
    bool bSeparator = false;
    LRESULT drag = 0, big = 0, small = 0;
    CInspected<CSysInfoDlg> dlg([&](HWND hWnd) {
        HMENU hMenu = ::GetSystemMenu(hWnd, FALSE);
        const int n = hMenu ? ::GetMenuItemCount(hMenu) : 0;
        char szText[64] = {};
        if (n >= 2 && ::GetMenuItemID(hMenu, n - 1) == IDM_ABOUTBOX)
            ::GetMenuStringA(hMenu, static_cast<UINT>(n - 1), szText, sizeof szText, MF_BYPOSITION);
        strLast = szText;
        bSeparator = n >= 2 && (::GetMenuState(hMenu, static_cast<UINT>(n - 2), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        drag = ::SendMessageA(hWnd, WM_QUERYDRAGICON, 0, 0);
        big = ::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0);
        small = ::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0);
    });
    dlg.DoModal();
    Check(strLast == expected::kAboutItem, "the system menu's last item is the About item", strLast);
    Check(bSeparator, "a separator stands before the About item");
    Check(drag != 0 && drag == big && drag == small, "the drag icon is the window's big and small icon");
}

}  // namespace

int main()
{
    CheckRuntimeClasses();
    CheckMessageMaps();
    CheckNamesAndStrings();
    CheckVersionInfo();
    CheckSystemLibraries();
    CheckClipboard();
    CheckBoxTextsFit();
    CheckMainWindowMenuAndIcon();
    return g_failed ? 1 : 0;
}
