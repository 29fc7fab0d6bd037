// The main report window: the report control, OK below it, "&Copy" on the menu bar.
#pragma once

#include "Report.h"
#include "afxwin.h"

class CSysInfoDlg : public CDialog, public CReport {
public:
    explicit CSysInfoDlg(CWnd* pParent = nullptr);

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    // cppcheck-suppress duplInheritedMember ; hides the default on purpose: the message map names this one
    void OnPaint();
    void OnCopy();
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

    void ShowAboutBox();

    HICON m_hIcon;
    bool m_bInitialized = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void ShowReport(LPCTSTR pszText) override;

    DECLARE_MESSAGE_MAP()

private:
    void AddAboutItemToSystemMenu();
};
