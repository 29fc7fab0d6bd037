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

namespace {

// Owns a moveable global memory block until the clipboard takes it.
class CGlobalBlock {
public:
    CGlobalBlock(const void* pData, SIZE_T nSize) : m_hBlock(::GlobalAlloc(GMEM_MOVEABLE, nSize))
    {
        void* pBytes = m_hBlock ? ::GlobalLock(m_hBlock) : nullptr;
        if (!pBytes) {
            Free();
            return;
        }
        std::memcpy(pBytes, pData, nSize);
        ::GlobalUnlock(m_hBlock);
    }
    ~CGlobalBlock() { Free(); }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;

    explicit operator bool() const { return m_hBlock != nullptr; }
    // Hands the block to the open clipboard; on success the system owns it.
    bool SetAs(UINT uFormat)
    {
        if (!::SetClipboardData(uFormat, m_hBlock))
            return false;
        m_hBlock = nullptr;
        return true;
    }

private:
    void Free()
    {
        if (m_hBlock)
            ::GlobalFree(m_hBlock);
        m_hBlock = nullptr;
    }

    HGLOBAL m_hBlock;
};

// The clipboard, open for one window for the object's life.
class CClipboardOpen {
public:
    explicit CClipboardOpen(CWnd* pWnd) : m_bOpen(pWnd->OpenClipboard() != FALSE) {}
    ~CClipboardOpen()
    {
        if (m_bOpen)
            ::CloseClipboard();
    }
    CClipboardOpen(const CClipboardOpen&) = delete;
    CClipboardOpen& operator=(const CClipboardOpen&) = delete;

    explicit operator bool() const { return m_bOpen; }

private:
    bool m_bOpen;
};

}  // namespace

// The text is taken by value: the operation works on its own copy. CF_LOCALE names the system's
// default locale, in whose ANSI code page the text was built: without it Windows converts the
// bytes for Unicode readers with the keyboard layout active at the copy.
// cppcheck-suppress passedByValue ; the operation works on its own copy, as said above
bool CApplikation::CopyToClipboard(CWnd* pWnd, CString strText)  // NOLINT(performance-unnecessary-value-param)
{
    const LCID lcid = ::GetSystemDefaultLCID();
    CGlobalBlock text(static_cast<LPCTSTR>(strText), static_cast<SIZE_T>(strText.GetLength()) + 1);
    CGlobalBlock locale(&lcid, sizeof lcid);
    if (!text || !locale)
        return false;
    const CClipboardOpen clipboard(pWnd);
    if (!clipboard || !::EmptyClipboard())
        return false;
    if (text.SetAs(CF_TEXT) && locale.SetAs(CF_LOCALE))
        return true;
    ::EmptyClipboard();   // both formats or none
    return false;
}

bool CApplikation::GetVersionInfo(CString& strFileVersion, CString& strProductVersion, CString& strComment,
                                  CString& strCopyright)
{
    return ReadVersionInfo(Win32Platform(), AfxGetAppName(), strFileVersion, strProductVersion, strComment,
                           strCopyright);
}
