#include "AboutDlg.h"

#include "AboutBox.h"
#include "SysInfoApp.h"
#include "resource.h"

void PlayInPlaceholder(CDialog& dlg, CAnimateCtrl& animate, int nPlaceholderID, UINT nClipID)
{
    CWnd placeholder = dlg.GetDlgItem(nPlaceholderID);
    CRect rect;
    placeholder.GetClientRect(&rect);
    if (!animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER, rect, &placeholder, static_cast<UINT>(nPlaceholderID)))
        return;   // no animation control: the placeholder stays empty
    animate.Open(nClipID);
    animate.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
}

// ---------------------------------------------------------------- CAboutDlg

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_PAINT()   // CWnd::OnPaint, the default painting: the entry the box's design names
    ON_WM_RBUTTONDBLCLK()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

// The framework's data exchange; the box has no fields.
void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    CString strFileVersion;
    CString strProductVersion;
    CString strComment;
    CString strCopyright;
    theApp.GetVersionInfo(strFileVersion, strProductVersion, strComment, strCopyright);

    CString strText;
    strText.Format("Version (%s)", static_cast<LPCTSTR>(strFileVersion));
    SetDlgItemText(IDC_VERSION, strText);
    SetDlgItemText(IDC_COPYRIGHT, strCopyright);
    SetDlgItemText(IDC_COMMENTS, strComment);
    SetDlgItemText(IDC_FEEDBACK, KAVRIN_FEEDBACK_ADDRESS);   // what the template holds already
    strText.Format(KAVRIN_ABOUT_TITLE "%s", AfxGetAppName());
    SetWindowText(strText);

    PlayInPlaceholder(*this, m_animate, IDC_ANIMATION, IDR_AVI_ABOUT);
    return TRUE;   // focus to the OK button
}

// Runs the dedication box, then lets the double-click take its default course.
// cppcheck-suppress duplInheritedMember ; hides the default on purpose: the message map names this one
void CAboutDlg::OnRButtonDblClk(UINT nFlags, CPoint point)
{
    CWidmungDlg dlgWidmung;
    dlgWidmung.DoModal();
    CWnd::OnRButtonDblClk(nFlags, point);
}

// ---------------------------------------------------------------- CWidmungDlg

BEGIN_MESSAGE_MAP(CWidmungDlg, CDialog)
END_MESSAGE_MAP()

CWidmungDlg::CWidmungDlg(CWnd* pParent) : CDialog(IDD_WIDMUNG, pParent) {}

// The framework's data exchange; the box has no fields.
void CWidmungDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CWidmungDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    PlayInPlaceholder(*this, m_animate, IDC_WIDMUNG_ANIMATION, IDR_AVI_WIDMUNG);
    return TRUE;
}
