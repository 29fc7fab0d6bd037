#include "afxwin.h"

#include <cassert>

namespace {

// The messages whose result a dialog procedure returns itself; every other result goes
// to the dialog manager through DWLP_MSGRESULT.
constexpr UINT kDirectResultMessages[] = {
    WM_CHARTOITEM,     WM_COMPAREITEM,       WM_CTLCOLORBTN,    WM_CTLCOLORDLG,
    WM_CTLCOLOREDIT,   WM_CTLCOLORLISTBOX,   WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC,
    WM_INITDIALOG,     WM_QUERYDRAGICON,     WM_VKEYTOITEM,
};

bool ReturnsResultDirectly(UINT nMessage)
{
    for (UINT n : kDirectResultMessages) {
        if (n == nMessage)
            return true;
    }
    return false;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    AFX_ENTRY(WM_INITDIALOG, 0, return AFX_THIS->HandleInitDialog())
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    assert(!m_hWnd);
    // Without a parent the box is owned by the main window's last active popup.
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWinApp* pApp = AfxGetApp();
    if (!hOwner && pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this && pApp->m_pMainWnd->m_hWnd)
        hOwner = ::GetLastActivePopup(pApp->m_pMainWnd->m_hWnd);
    // The handle is held from WM_INITDIALOG to WM_NCDESTROY (DialogProc).
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hOwner, &CDialog::DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx;
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::OnOK()
{
    ::EndDialog(m_hWnd, IDOK);
}

void CDialog::OnCancel()
{
    ::EndDialog(m_hWnd, IDCANCEL);
}

BOOL CDialog::OnHelpInfo(HELPINFO* /*pHelpInfo*/)
{
    // While a box is open above it the main window is disabled, and a box's F1 would
    // otherwise reach it through the box's owner: it opens no second box.
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this && ::IsWindowEnabled(m_hWnd))
        OnCommand(MAKEWPARAM(ID_HELP, 0), 0);
    return TRUE;
}

void CDialog::CenterWindow()
{
    assert(::IsWindow(m_hWnd) != FALSE);
    CRect rcBox;
    ::GetWindowRect(m_hWnd, &rcBox);
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    HMONITOR hMonitor = ::MonitorFromWindow(hOwner ? hOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoA(hMonitor, &mi);
    CRect rcOver = mi.rcWork;
    if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &rcOver);
    int x = 0;
    int y = 0;
    afx::CenterOver(rcBox, rcOver, mi.rcWork, x, y);
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CDialog::HandleInitDialog()
{
    // Templates sit at (0, 0).
    if (!(::GetWindowLongA(m_hWnd, GWL_STYLE) & DS_CENTER))
        CenterWindow();
    return OnInitDialog();
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!pDlg && nMessage == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        pDlg->Attach(hWnd);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
    }
    if (!pDlg)
        return FALSE;   // before WM_INITDIALOG: default processing

    LRESULT lResult = 0;
    const bool bHandled = pDlg->OnWndMsg(nMessage, wParam, lParam, &lResult);
    if (nMessage == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDlg->Detach();
    }
    if (!bHandled)
        return FALSE;   // the dialog manager's default processing
    if (ReturnsResultDirectly(nMessage))
        return lResult;
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
