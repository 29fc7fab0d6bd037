#include "AppName.h"
#include "afxwin.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (!g_pApp)
        g_pApp = this;
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetResourceHandle()
{
    CWinApp* pApp = AfxGetApp();
    return pApp && pApp->m_hInstance ? pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

// The application's name; without one given, the executable's file name without
// directory and extension.
LPCTSTR AfxGetAppName()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return "";
    if (!pApp->m_pszAppName) {
        char szPath[MAX_PATH + 1] = {};
        const DWORD n = ::GetModuleFileNameA(pApp->m_hInstance, szPath, MAX_PATH);
        pApp->SetAppName(CString(afx::AppNameFromPath(std::string(szPath, n < MAX_PATH ? n : MAX_PATH)).c_str()));
    }
    return pApp->m_pszAppName;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    AfxGetAppName();
    // The program runs inside InitInstance, its main window modal there; no message loop follows.
    pApp->InitInstance();
    return pApp->ExitInstance();
}
