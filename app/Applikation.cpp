#include "Applikation.h"

#include "VersionReader.h"
#include "Win32Platform.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CApplikation, CWinApp)

BEGIN_MESSAGE_MAP(CApplikation, CWinApp)
END_MESSAGE_MAP()

// The framework's initialisation only; the override is part of the reusable base.
BOOL CApplikation::InitInstance()
{
    CWinApp::InitInstance();
    return TRUE;
}

// The framework's exit code only; the override is part of the reusable base.
int CApplikation::ExitInstance()
{
    return CWinApp::ExitInstance();
}

// The text is taken by value: the operation works on its own copy.
// cppcheck-suppress passedByValue ; the operation works on its own copy, as the comment above says
bool CApplikation::CopyToClipboard(CWnd* pWnd, CString strText)  // NOLINT(performance-unnecessary-value-param)
{
    const auto nLength = static_cast<SIZE_T>(strText.GetLength());
    HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nLength + 1);
    if (!hBlock)
        return false;
    auto* pBytes = static_cast<char*>(::GlobalLock(hBlock));
    if (!pBytes) {
        ::GlobalFree(hBlock);
        return false;
    }
    std::memcpy(pBytes, static_cast<LPCTSTR>(strText), nLength);   // byte n stays 0
    ::GlobalUnlock(hBlock);

    if (!pWnd->OpenClipboard()) {
        ::GlobalFree(hBlock);
        return false;
    }
    if (!::EmptyClipboard() || !::SetClipboardData(CF_TEXT, hBlock)) {
        ::CloseClipboard();
        // cppcheck-suppress doubleFree ; the system took nothing, the block is still ours
        ::GlobalFree(hBlock);
        return false;
    }
    ::CloseClipboard();
    return true;
}

bool CApplikation::GetVersionInfo(CString& strFileVersion, CString& strProductVersion, CString& strComment,
                                  CString& strCopyright)
{
    return ReadVersionInfo(Win32Platform(), AfxGetAppName(), strFileVersion, strProductVersion, strComment,
                           strCopyright);
}
