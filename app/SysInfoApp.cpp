#include "SysInfoApp.h"

#include "SysInfoDlg.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSysInfoApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CSysInfoApp theApp;

// Runs the main window modally and returns FALSE, so no message loop follows.
BOOL CSysInfoApp::InitInstance()
{
    CApplikation::InitInstance();
    AfxEnableControlContainer();
    Enable3dControls();

    CSysInfoDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
