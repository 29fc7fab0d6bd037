#include "Geometry.h"
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

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
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

LPCTSTR AfxGetAppName()
{
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->m_pszAppName : "";
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    if (!pApp->m_pszAppName) {
        // No name given: the executable's file name without directory and extension.
        char szPath[MAX_PATH + 1] = {};
        const DWORD n = ::GetModuleFileNameA(hInstance, szPath, MAX_PATH);
        CString strName(afx::AppNameFromPath(std::string(szPath, n < MAX_PATH ? n : MAX_PATH)).c_str());
        pApp->SetAppName(strName);
    }
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
