#include "afxwin.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    // Without a parent the box is owned by the main window's last active popup.
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    CWinApp* pApp = AfxGetApp();
    if (!hOwner && pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this && pApp->m_pMainWnd->m_hWnd)
        hOwner = ::GetLastActivePopup(pApp->m_pMainWnd->m_hWnd);
    const INT_PTR nResult = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hOwner,
                                              &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return nResult;
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(this, FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::CenterWindow()
{
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

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto* pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (nMessage == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        pDlg->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
    }
    if (!pDlg)
        return FALSE;   // before WM_INITDIALOG: default processing
    const INT_PTR nResult = pDlg->HandleMessage(nMessage, wParam, lParam);
    if (nMessage == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
    }
    return nResult;
}

// The dialog procedure's answer: TRUE when handled (the result in DWLP_MSGRESULT),
// FALSE to let the dialog manager do its default processing.
INT_PTR CDialog::HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_INITDIALOG:
        // Templates sit at (0, 0): centre the box over its owner.
        if (!(::GetWindowLongA(m_hWnd, GWL_STYLE) & DS_CENTER))
            CenterWindow();
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_HELP: {
        // F1 in the main window becomes its help command; a disabled main window
        // (a box is open above it) takes none.
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd == this && ::IsWindowEnabled(m_hWnd)) {
            OnCommand(MAKEWPARAM(ID_HELP, 0), 0);
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
        }
        return TRUE;
    }
    default:
        break;
    }
    LRESULT lResult = 0;
    if (!OnWndMsg(nMessage, wParam, lParam, &lResult))
        return FALSE;
    if (nMessage == WM_QUERYDRAGICON)
        return static_cast<INT_PTR>(lResult);   // returned directly, not through DWLP_MSGRESULT
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
