#include "afxwin.h"

#include "SystemLibrary.h"

#include <cassert>
#include <new>

// ---------------------------------------------------------------- run-time classes

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pfnGetBaseClass ? p->m_pfnGetBaseClass() : nullptr) {
        if (p == pBaseClass)
            return true;
    }
    return false;
}

CRuntimeClass* CObject::GetThisClass()
{
    static CRuntimeClass rc = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr, nullptr, nullptr};
    return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return GetThisClass();
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

// ---------------------------------------------------------------- message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindEntry(UINT nMessage, UINT nID) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfnThunk; ++p) {
            if (p->nMessage == nMessage && p->nID == nID)
                return p;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT nID)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindEntry(WM_COMMAND, nID);
    if (!pEntry)
        return false;
    pEntry->pfnThunk(this, 0, 0);
    return true;
}

// ---------------------------------------------------------------- CWnd

namespace {

[[maybe_unused]] bool IsWindowHandle(HWND hWnd)
{
    return ::IsWindow(hWnd) != FALSE;
}

}  // namespace

void CWnd::Attach(HWND hWnd)
{
    assert(!m_hWnd);
    m_hWnd = hWnd;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    m_hWnd = nullptr;
    return h;
}

CWnd CWnd::GetDlgItem(int nID) const
{
    assert(IsWindowHandle(m_hWnd));
    return CWnd(::GetDlgItem(m_hWnd, nID));
}

BOOL CWnd::SetDlgItemText(int nID, LPCTSTR pszText)
{
    assert(IsWindowHandle(m_hWnd));
    return ::SetDlgItemTextA(m_hWnd, nID, pszText);
}

BOOL CWnd::SetWindowText(LPCTSTR pszText)
{
    assert(IsWindowHandle(m_hWnd));
    return ::SetWindowTextA(m_hWnd, pszText);
}

BOOL CWnd::GetClientRect(LPRECT pRect) const
{
    assert(IsWindowHandle(m_hWnd) && pRect);
    return ::GetClientRect(m_hWnd, pRect);
}

BOOL CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    assert(IsWindowHandle(m_hWnd));
    return ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

BOOL CWnd::IsIconic() const
{
    assert(IsWindowHandle(m_hWnd));
    return ::IsIconic(m_hWnd);
}

UINT CWnd::GetDpi() const
{
    assert(IsWindowHandle(m_hWnd));
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static const auto pfn = AfxSystemProc<GetDpiForWindowProc>("user32.dll", "GetDpiForWindow");
    if (pfn) {
        if (const UINT dpi = pfn(m_hWnd))
            return dpi;
    }
    HDC hDC = ::GetDC(nullptr);
    const int dpi = hDC ? ::GetDeviceCaps(hDC, LOGPIXELSX) : 0;
    if (hDC)
        ::ReleaseDC(nullptr, hDC);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) const
{
    assert(IsWindowHandle(m_hWnd));
    return ::SendMessageA(m_hWnd, nMsg, wParam, lParam);
}

BOOL CWnd::OpenClipboard()
{
    assert(IsWindowHandle(m_hWnd));
    return ::OpenClipboard(m_hWnd);
}

CMenu CWnd::GetSystemMenu(BOOL bRevert) const
{
    assert(IsWindowHandle(m_hWnd));
    return CMenu(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::Default()
{
    assert(m_pbDefault);
    if (m_pbDefault)
        *m_pbDefault = true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    const UINT nID = LOWORD(wParam);
    if (OnCmdMsg(nID))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return (pApp != nullptr && pApp->OnCmdMsg(nID)) ? TRUE : FALSE;
}

bool CWnd::OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    // This message's own request; a message sent while its handler runs gets another.
    bool bDefault = false;
    bool* const pbOuter = m_pbDefault;
    m_pbDefault = &bDefault;

    bool bFound = false;
    if (nMessage == WM_COMMAND) {
        bFound = OnCommand(wParam, lParam) != FALSE;
        *pResult = 0;
    } else if (const AFX_MSGMAP_ENTRY* pEntry = FindEntry(nMessage, 0)) {
        *pResult = pEntry->pfnThunk(this, wParam, lParam);
        bFound = true;
    }

    m_pbDefault = pbOuter;
    return bFound && !bDefault;
}

// ---------------------------------------------------------------- menus and painting

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    assert(::IsMenu(m_hMenu) != FALSE);
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon)
{
    assert(m_hDC && hIcon);
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    assert(IsWindowHandle(m_hWnd));
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

// ---------------------------------------------------------------- CAnimateCtrl

namespace {

// Registers the animation class once, from the system's common-controls DLL.
bool InitAnimateClass()
{
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    static const bool bDone = [] {
        auto pfnInit = AfxSystemProc<InitFn>("comctl32.dll", "InitCommonControlsEx");
        INITCOMMONCONTROLSEX icc = {sizeof(INITCOMMONCONTROLSEX), ICC_ANIMATE_CLASS};
        return pfnInit != nullptr && pfnInit(&icc) != FALSE;
    }();
    return bDone;
}

}  // namespace

BOOL CAnimateCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    assert(pParentWnd && IsWindowHandle(pParentWnd->m_hWnd));
    if (!InitAnimateClass())
        return FALSE;
    Attach(::CreateWindowExA(0, ANIMATE_CLASSA, "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, pParentWnd->m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetResourceHandle(), nullptr));
    return m_hWnd != nullptr ? TRUE : FALSE;
}
