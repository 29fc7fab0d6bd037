// A reusable application base: clipboard export and the program's own version strings.
#pragma once

#include "afxwin.h"

class CApplikation : public CWinApp {
public:
    DECLARE_DYNCREATE(CApplikation)

    CApplikation() : CWinApp(nullptr) {}

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Puts strText on the clipboard as CF_TEXT with CF_LOCALE beside it, opened for pWnd;
    // true once the system took both blocks. On failure the clipboard holds neither, and is
    // left as it was when it could not be opened or no memory was left. No retry when
    // another program holds the clipboard.
    bool CopyToClipboard(CWnd* pWnd, CString strText);

    // Reads the file and product version, the comment and the copyright line from the
    // version resource of "<application name>.exe". Each output is replaced whole or
    // left untouched; true when both version texts were written.
    bool GetVersionInfo(CString& strFileVersion, CString& strProductVersion, CString& strComment,
                        CString& strCopyright);

    DECLARE_MESSAGE_MAP()
};
