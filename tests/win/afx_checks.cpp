// Checks of the class layer and the application services inside a real Windows process
// (run under Wine by tests/win/run.sh). Prints "ok - …" / "not ok - …" lines.
#include "../Expected.h"
#include "AboutDlg.h"
#include "Applikation.h"
#include "ReportOutput.h"
#include "SysInfoApp.h"
#include "SysInfoDlg.h"
#include "SystemLibrary.h"
#include "afxres.h"
#include "harness.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

int g_failed = 0;

// While set, every allocation fails; the count says how many were refused.
bool g_bFailAllocations = false;
int g_nRefusedAllocations = 0;

}  // namespace

void* operator new(std::size_t nSize)
{
    if (g_bFailAllocations) {
        ++g_nRefusedAllocations;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(nSize != 0 ? nSize : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t /*nSize*/) noexcept
{
    std::free(p);
}

namespace {

void Check(bool bOk, const std::string& name, const std::string& detail = "")
{
    std::printf("%s - %s%s%s\n", bOk ? "ok" : "not ok", name.c_str(), bOk || detail.empty() ? "" : ": ",
                bOk ? "" : detail.c_str());
    if (!bOk)
        ++g_failed;
}

// Checks that got equals want; a failure shows what came.
template <class T, class U> void CheckEqual(const T& got, const U& want, const std::string& name)
{
    std::ostringstream shown;
    shown << got;
    Check(got == want, name, shown.str());
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
    // cppcheck-suppress duplInheritedMember ; the derived map's handler hides the base's on purpose
    void OnFirst() { m_strHits += "derived-first "; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(1, OnFirst)
END_MESSAGE_MAP()

// The application object's class as the framework reports it, and its factory, which yields
// null when memory runs out.
void CheckRuntimeClasses()
{
    Check(std::strcmp(theApp.GetRuntimeClass()->m_lpszClassName, "CApplikation") == 0 &&
              theApp.IsKindOf(RUNTIME_CLASS(CWinApp)),
          "the application object answers CApplikation, a CWinApp", theApp.GetRuntimeClass()->m_lpszClassName);
    CObject* pObject = RUNTIME_CLASS(CApplikation)->CreateObject();
    Check(pObject != nullptr && pObject->IsKindOf(RUNTIME_CLASS(CApplikation)), "the factory makes a CApplikation");
    delete pObject;
    g_bFailAllocations = true;
    pObject = RUNTIME_CLASS(CApplikation)->CreateObject();
    g_bFailAllocations = false;
    Check(pObject == nullptr, "the factory yields null without memory");
}

void CheckMessageMaps()
{
    CDerivedTarget target;
    Check(target.OnCmdMsg(1) && target.OnCmdMsg(2) && !target.OnCmdMsg(3), "commands found along the map chain");
    CheckEqual(target.m_strHits, "derived-first base-second ", "the derived map's entry wins");
    Check(theApp.OnCmdMsg(ID_HELP), "the application's map takes the help command");
    CWnd wnd;
    Check(wnd.OnCommand(MAKEWPARAM(ID_HELP, 0), 0) == TRUE, "a window routes an unhandled command to the application");
    Check(wnd.OnCommand(MAKEWPARAM(4242, 0), 0) == FALSE, "a command nobody handles is reported unhandled");
}

void CheckVersionInfo()
{
    CString strFile, strProduct, strComment, strCopyright;
    Check(theApp.GetVersionInfo(strFile, strProduct, strComment, strCopyright), "own version resource read");
    // The file version, comment and copyright line are the About box's (e2e).
    CheckEqual(strProduct, expected::VersionText(expected::kProductVersion).c_str(), "product version");
}

// Runs this program again with one argument, from dir if given; the exit code, or STILL_ACTIVE
// when it did not end within a minute.
DWORD RunChild(const char* pszArg, const char* pszDir = nullptr)
{
    PROCESS_INFORMATION pi;
    DWORD dwCode = STILL_ACTIVE;
    if (!e2e::StartProgram("afx_checks.exe", pi, nullptr, pszDir, pszArg))
        return dwCode;
    const e2e::CHandle process(pi.hProcess), thread(pi.hThread);
    if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &dwCode);
    else
        ::TerminateProcess(pi.hProcess, 1);
    return dwCode;
}

// The child's part: loads uxtheme.dll, which nothing has loaded yet, beside a stand-in of that
// name; 0 when the module came from the system directory, 1 when it was the stand-in.
int LoadBesideStandIn(const std::string& how)
{
    if (how == "search")
        AfxSearchSystem32Only();
    const HMODULE hModule = how == "library" ? AfxLoadSystemLibrary("uxtheme.dll") : ::LoadLibraryA("uxtheme.dll");
    char szPath[MAX_PATH] = {}, szSystem[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryA(szSystem, MAX_PATH);
    return hModule && ::GetModuleFileNameA(hModule, szPath, MAX_PATH) && _strnicmp(szPath, szSystem, n) == 0 ? 0 : 1;
}

// A copy of this program beside a uxtheme.dll stand-in, with Wine told to try it first as
// Windows would. Faults: a system library loaded by plain name, the search not narrowed.
void CheckSystemLibraries()
{
    const e2e::CTempDir dir;
    dir.Copy("afx_checks.exe");
    dir.Copy("plant\\uxtheme.dll", "uxtheme.dll");
    char szOld[1024] = "";
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", szOld, sizeof szOld);
    ::SetEnvironmentVariableA("WINEDLLOVERRIDES", (std::string(szOld) + ";uxtheme=n,b").c_str());
    CheckEqual(RunChild("plain", dir.Path().c_str()), DWORD{1}, "control: a plain load takes the stand-in");
    CheckEqual(RunChild("library", dir.Path().c_str()), DWORD{0},
               "AfxLoadSystemLibrary takes uxtheme.dll from the system, not from beside the program");
    CheckEqual(RunChild("search", dir.Path().c_str()), DWORD{0},
               "after AfxSearchSystem32Only a plain load takes uxtheme.dll from the system");
    ::SetEnvironmentVariableA("WINEDLLOVERRIDES", szOld);
    Check(AfxLoadSystemLibrary("no-such-library.dll") == nullptr, "a missing system DLL gives null");
}

// The clipboard's CF_TEXT block, all of its bytes.
std::string ClipboardBlock(const e2e::CClipboardWindow& clip)
{
    std::string block;
    return clip.GetBlock(block) ? block : "(no text)";
}

// The clipboard copy, through a window of this process; a clipboard that another process
// holds open is the e2e busy check's.
void CheckClipboard()
{
    const e2e::CClipboardWindow clip;
    CWnd wnd(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
    const char kText[] = "Zeile 1\r\nZeile \xF6\r\n";
    theApp.CopyToClipboard(&wnd, kText);
    Check(ClipboardBlock(clip) == std::string(kText, sizeof kText), "the clipboard holds the bytes and one zero");
    Check(theApp.CopyToClipboard(&wnd, "") && ClipboardBlock(clip) == std::string(1, '\0'),
          "an empty text copies as one zero byte");
    ::DestroyWindow(wnd);

    // Out of memory for the copies of the report, Copy leaves the clipboard as it was.
    const char kBefore[] = "vorher";
    clip.SetText(kBefore);
    CSysInfoDlg dlg;
    dlg.m_strReport = "a report too long to be kept inside the string object";
    g_nRefusedAllocations = 0;
    g_bFailAllocations = true;
    dlg.OnCopy();
    g_bFailAllocations = false;
    const std::string block = ClipboardBlock(clip);
    Check(g_nRefusedAllocations > 0 && block == std::string(kBefore, sizeof kBefore),
          "a copy without memory leaves the clipboard untouched", block);
}

// KavrinReport.exe's output: an empty report (a failure's) exits with 1; NUL, no console, takes the bytes.
void CheckReportOutput()
{
    const e2e::CHandle nul(::CreateFileA("NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    CheckEqual(WriteReport(nul.Get(), ""), 1, "an empty report exits with 1");
    CheckEqual(WriteReport(nul.Get(), "Zeile \xF6\r\n"), 0, "a report to NUL, which is no console, exits with 0");
}

// Every text of the box's static controls that is wider than its control, with widths. The
// width is measured as the control draws the text: without SS_NOPREFIX "&&" shows one ampersand
// and a single one only underlines the letter after it.
std::string TextsWiderThanControls(HWND hBox)
{
    std::string found;
    for (HWND hCtrl = ::GetWindow(hBox, GW_CHILD); hCtrl; hCtrl = ::GetWindow(hCtrl, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongA(hCtrl, GWL_STYLE);
        std::string text;
        if (_stricmp(e2e::ClassName(hCtrl).c_str(), "Static") != 0 || (style & SS_TYPEMASK) == SS_ICON ||
            !e2e::WindowText(hCtrl, text) || text.empty())
            continue;
        RECT client = {}, drawn = {};
        ::GetClientRect(hCtrl, &client);
        HDC hDC = ::GetDC(hCtrl);
        const HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(::SendMessageA(hCtrl, WM_GETFONT, 0, 0)));
        const UINT format = DT_CALCRECT | DT_SINGLELINE | ((style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0);
        ::DrawTextA(hDC, text.c_str(), -1, &drawn, format);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hCtrl, hDC);
        if (drawn.right > client.right) {
            found += "\"" + text + "\" " + std::to_string(drawn.right) + " px in " +
                     std::to_string(client.right) + " px; ";
        }
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

// Run at each DPI the prefix is switched to; the names say which one the boxes were made at.
void CheckBoxTextsFit()
{
    const HDC hScreen = ::GetDC(nullptr);
    const std::string at = " at " + std::to_string(::GetDeviceCaps(hScreen, LOGPIXELSX)) + " DPI";
    ::ReleaseDC(nullptr, hScreen);
    std::string strTooWide = "(not measured)", strOldCopyright;
    CInspected<CAboutDlg>([&](HWND hBox) {
        strTooWide = TextsWiderThanControls(hBox);
        // The copyright line as it was, which wrapped out of sight: the measure must see it.
        const std::string strOld = std::string("Copyright ") + expected::kCopyright;
        if (::SetDlgItemTextA(hBox, IDC_COPYRIGHT, strOld.c_str()))
            strOldCopyright = TextsWiderThanControls(hBox);
    }).DoModal();
    Check(strTooWide.empty(), "every text of the About box fits its control" + at, strTooWide);
    Check(strOldCopyright.find("Copyright") != std::string::npos,
          "a copyright line too wide for its control is seen" + at, strOldCopyright);
    strTooWide = "(not measured)";
    CInspected<CWidmungDlg>([&](HWND hBox) { strTooWide = TextsWiderThanControls(hBox); }).DoModal();
    Check(strTooWide.empty(), "every text of the dedication box fits its control" + at, strTooWide);
}

// The main window's system menu ends with a separator and the About item; its drag icon is
// the icon it shows.
void CheckMainWindowMenuAndIcon()
{
    std::string strLast = "(not run)";
    bool bSeparator = false;
    LRESULT drag = 0, big = 0, small = 0;
    CInspected<CSysInfoDlg>([&](HWND hWnd) {
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
    }).DoModal();
    Check(strLast == expected::kAboutItem, "the system menu's last item is the About item", strLast);
    Check(bSeparator, "a separator stands before the About item");
    Check(drag != 0 && drag == big && drag == small, "the drag icon is the window's big and small icon");
}

// ---------------------------------------------------------------- dialog dispatch

// What a probe handler answers to nMessage: distinct per message, never 0 or 1.
constexpr LRESULT Answer(UINT nMessage)
{
    return 0x70000 + static_cast<LRESULT>(nMessage);
}

// A box on the dedication template whose map answers the messages the checks send it.
// The checks run inside its WM_INITDIALOG; then it ends.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_WIDMUNG) {}
    BOOL OnInitDialog() override;
    // WM_SETTEXT: asks for the default (which sets the title), then causes a nested
    // mapped message that asks for its own.
    void OnSetText() { Default(); SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon)); }

    HICON m_hIcon = nullptr;
    int m_nInits = 0;
    DECLARE_MESSAGE_MAP()
};

// The dialog manager hands these results on from the dialog procedure itself, all others
// from DWLP_MSGRESULT; the layer must return each the right way.
#define DIRECT_RESULT_MESSAGES(X)                                                                  \
    X(WM_CHARTOITEM) X(WM_COMPAREITEM) X(WM_CTLCOLORBTN) X(WM_CTLCOLORDLG) X(WM_CTLCOLOREDIT)      \
    X(WM_CTLCOLORLISTBOX) X(WM_CTLCOLORSCROLLBAR) X(WM_CTLCOLORSTATIC) X(WM_QUERYDRAGICON)         \
    X(WM_VKEYTOITEM)
#define ANSWER(msg) AFX_ENTRY(msg, 0, return Answer(msg))

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    DIRECT_RESULT_MESSAGES(ANSWER)
    ANSWER(WM_APP)
    AFX_ENTRY(WM_SETTEXT, 0, AFX_THIS->OnSetText(); return TRUE)
    AFX_ENTRY(WM_SETICON, 0, AFX_THIS->Default(); return 0)
END_MESSAGE_MAP()

BOOL CProbeDlg::OnInitDialog()
{
    if (++m_nInits > 1)
        return FALSE;
    CDialog::OnInitDialog();
#define CHECK_DIRECT(msg) CheckEqual(SendMessage(msg), Answer(msg), #msg " answers the handler's result");
    DIRECT_RESULT_MESSAGES(CHECK_DIRECT)
    // This answers FALSE from its second call on.
    CheckEqual(SendMessage(WM_INITDIALOG), LRESULT{FALSE}, "WM_INITDIALOG answers OnInitDialog's result");
    CheckEqual(SendMessage(WM_APP), Answer(WM_APP), "any other message answers its handler's result");

    m_hIcon = theApp.LoadIcon(IDR_MAINFRAME);
    SetWindowText("Probe");
    char szTitle[16] = {};
    ::GetWindowTextA(m_hWnd, szTitle, sizeof szTitle);
    const auto hIcon = reinterpret_cast<HICON>(SendMessage(WM_GETICON, ICON_BIG));
    Check(std::strcmp(szTitle, "Probe") == 0 && hIcon == m_hIcon && hIcon != nullptr,
          "a default request survives a nested message that makes its own", szTitle);
    OnOK();
    return TRUE;
}

void CheckDialogDispatch()
{
    CProbeDlg dlg;
    const INT_PTR nResult = dlg.DoModal();
    Check(nResult == IDOK && dlg.m_nInits == 2, "the probe box ran its checks and ended with OK",
          std::to_string(nResult));
}

// ---------------------------------------------------------------- faults

// The child process's part: commits the named fault. What ends the process
// is the check.
int RunFault(const std::string& fault)
{
    if (fault == "throw") {
        try {
            // Throws from inside the dialog procedure.
            CInspected<CWidmungDlg>([](HWND) { throw std::runtime_error("probe"); }).DoModal();
        } catch (const std::exception&) {
            return 42;   // the exception crossed the dialog manager
        }
        return 0;
    }
    if (fault == "precondition") {
        CWnd().SetWindowText("ohne Fenster");
        return 0;
    }
    return LoadBesideStandIn(fault);
}

// Both faults end the process through abort(), exit code 3.
void CheckFaultsEndTheProgram()
{
    CheckEqual(RunChild("throw"), DWORD{3},
               "an exception in a handler ends the program instead of crossing the dialog manager");
    CheckEqual(RunChild("precondition"), DWORD{3}, "a broken precondition stops the checked layer");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "fit") == 0) {
        CheckBoxTextsFit();
        return g_failed ? 1 : 0;
    }
    if (argc == 2) {
        // The fault's messages are not this program's output.
        static_cast<void>(std::freopen("NUL", "w", stderr));
        return RunFault(argv[1]);
    }
    CheckRuntimeClasses();
    CheckMessageMaps();
    CheckVersionInfo();
    CheckSystemLibraries();
    CheckClipboard();
    CheckReportOutput();
    CheckBoxTextsFit();
    CheckMainWindowMenuAndIcon();
    CheckDialogDispatch();
    CheckFaultsEndTheProgram();
    return g_failed ? 1 : 0;
}
