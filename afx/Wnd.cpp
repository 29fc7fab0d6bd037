#include "afxwin.h"

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

CMenu CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu(::GetSystemMenu(m_hWnd, bRevert));
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
    const AFX_MSGMAP_ENTRY* pEntry = FindEntry(nMessage, 0);
    if (!pEntry)
        return false;

    m_bDefault = false;
    *pResult = pEntry->pfnThunk(this, wParam, lParam);
    const bool bHandled = !m_bDefault;
    m_bDefault = false;
    return bHandled;
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
    if (!InitAnimateClass())
        return FALSE;
    m_hWnd = ::CreateWindowExA(0, ANIMATE_CLASSA, "", dwStyle, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, pParentWnd->m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetResourceHandle(), nullptr);
    return m_hWnd != nullptr ? TRUE : FALSE;
}
