// The About box and, behind its right double-click, the dedication box.
#pragma once

#include "afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    // cppcheck-suppress duplInheritedMember ; hides the default on purpose: the message map names this one
    void OnRButtonDblClk(UINT nFlags, CPoint point);

    CAnimateCtrl m_animate;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};

class CWidmungDlg : public CDialog {
public:
    explicit CWidmungDlg(CWnd* pParent = nullptr);

    CAnimateCtrl m_animate;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};

// Creates the animation as a child covering the placeholder's client area and plays
// clip nClipID from the first frame to the last, without end.
void PlayInPlaceholder(CDialog& dlg, CAnimateCtrl& animate, int nPlaceholderID, UINT nClipID);
