#include "SysInfoDlg.h"

#include "AboutDlg.h"
#include "Layout.h"
#include "SysInfoApp.h"
#include "Win32Platform.h"
#include "resource.h"

#include <new>
#include <utility>

BEGIN_MESSAGE_MAP(CSysInfoDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYDRAGICON()
    ON_WM_PAINT()
    ON_COMMAND(ID_COPY, OnCopy)
    ON_WM_SIZE()
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

CSysInfoDlg::CSysInfoDlg(CWnd* pParent)
    : CDialog(IDD_SYSINFO_DIALOG, pParent), CReport(Win32Platform()),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME))
{
    m_strReport = "";   // a no-op (the report starts empty) that the constructor's design names
}

// The framework's data exchange; the window has no fields.
void CSysInfoDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CSysInfoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bInitialized = true;
    AddAboutItemToSystemMenu();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    FillReport();
    return TRUE;   // focus to the first control, the OK button
}

void CSysInfoDlg::ShowReport(LPCTSTR pszText)
{
    SetDlgItemText(IDC_REPORT, pszText);
}

// Appends a separator and the About item, unless the menu or the item's text is missing.
void CSysInfoDlg::AddAboutItemToSystemMenu()
{
    CMenu menu = GetSystemMenu(FALSE);
    if (!menu.m_hMenu)
        return;
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (!strAboutMenu.IsEmpty()) {
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
    }
}

void CSysInfoDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        ShowAboutBox();
    else
        Default();
}

// ID_HELP, whatever its notification code, opens the About box before any routing.
BOOL CSysInfoDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == ID_HELP) {
        ShowAboutBox();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CSysInfoDlg::ShowAboutBox()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

// cppcheck-suppress duplInheritedMember ; hides the default on purpose: the message map names this one
void CSysInfoDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    int x = 0;
    int y = 0;
    layout::IconOrigin(rect.Width(), rect.Height(), cxIcon, cyIcon, x, y);
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSysInfoDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

// Copies the report as built, never what the control shows.
void CSysInfoDlg::OnCopy()
{
    CString strCopy;
    try {
        strCopy = m_strReport;
    } catch (const std::bad_alloc&) {
        return;   // no memory for the copy: like a failed block, the clipboard is not touched
    }
    theApp.CopyToClipboard(this, std::move(strCopy));   // moved: no second copy that could fail
}

void CSysInfoDlg::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/)
{
    CRect rect;
    GetClientRect(&rect);
    Default();
    if (!m_bInitialized)
        return;

    const int dpi = static_cast<int>(GetDpi());
    const CRect report = layout::ReportRect(rect.right, rect.bottom, dpi);
    GetDlgItem(IDC_REPORT).MoveWindow(report.left, report.top, report.Width(), report.Height(), TRUE);

    CWnd button = GetDlgItem(IDOK);
    CRect rcButton;
    button.GetClientRect(&rcButton);
    const CRect ok = layout::OkButtonRect(rect.right, rect.bottom, rcButton.Width(), rcButton.Height(), dpi);
    button.MoveWindow(ok.left, ok.top, ok.Width(), ok.Height(), TRUE);
}

// The smallest window at the DPI the window has now; it changes when the window moves to a
// monitor of another scale.
void CSysInfoDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    const int dpi = static_cast<int>(GetDpi());
    lpMMI->ptMinTrackSize.x = layout::Scale(layout::kMinTrackWidth, dpi);
    lpMMI->ptMinTrackSize.y = layout::Scale(layout::kMinTrackHeight, dpi);
    Default();
}
