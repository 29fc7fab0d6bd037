// The thin window layer over Win32: run-time class records, message maps, CWnd and
// friends. Only what the program uses. Windows only.
#pragma once

#include "CString.h"
#include "Geometry.h"
#include "SystemLibrary.h"
#include "afxres.h"

#include <windows.h>
#include <commctrl.h>

class CObject;
class CCmdTarget;
class CWnd;
class CWinApp;

// ---------------------------------------------------------------- run-time classes

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* (*m_pfnGetBaseClass)();
    CRuntimeClass* m_pNextClass;

    // A new object of this class on the heap, or null when it has no factory or
    // the allocation fails. The caller owns it.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())  // NOLINT(bugprone-macro-parentheses): a class name

#define DECLARE_DYNAMIC(class_name)                    \
public:                                                \
    static CRuntimeClass* GetThisClass();              \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                      \
    static CRuntimeClass* _GetBaseClass_##class_name() { return RUNTIME_CLASS(base_class_name); } \
    CRuntimeClass* class_name::GetThisClass()                                                \
    {                                                                                        \
        static CRuntimeClass rc = {#class_name, static_cast<int>(sizeof(class_name)), 0xFFFF, \
                                   pfnNew, &_GetBaseClass_##class_name, nullptr};            \
        return &rc;                                                                          \
    }                                                                                        \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

// class_name is a type: it takes no parentheses.
#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                               \
    CObject* class_name::CreateObject() { return new (std::nothrow) class_name; } /* NOLINT(bugprone-macro-parentheses) */ \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)

class CObject {
public:
    virtual ~CObject() = default;
    static CRuntimeClass* GetThisClass();
    virtual CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};

// ---------------------------------------------------------------- small value types

// CRect, the one rectangle type, is portable: Geometry.h.
struct CPoint : POINT {
    CPoint(int px = 0, int py = 0) { x = px; y = py; }  // NOLINT(google-explicit-constructor)
};

// ---------------------------------------------------------------- message maps

// A map entry calls its handler through a thunk that unpacks the message's parameters
// into the handler's typed arguments; the thunk's result is the message's result.
using AFX_THUNK = LRESULT (*)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // 0 ends the map
    UINT nID;        // command ID for WM_COMMAND entries, else 0
    AFX_THUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
public:                                           \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                             \
            {0, 0, nullptr}};                                                         \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &map;                                                                  \
    }

#define AFX_THIS (static_cast<ThisClass*>(p))
#define AFX_ENTRY(msg, id, call) \
    {msg, id, [](CCmdTarget* p, WPARAM w, LPARAM l) -> LRESULT { (void)p; (void)w; (void)l; call; }},

// void fn()
#define ON_COMMAND(id, fn) AFX_ENTRY(WM_COMMAND, id, AFX_THIS->fn(); return 0)
// void OnPaint()
#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, AFX_THIS->OnPaint(); return 0)
// void OnSysCommand(UINT nID, LPARAM lParam)
#define ON_WM_SYSCOMMAND() AFX_ENTRY(WM_SYSCOMMAND, 0, AFX_THIS->OnSysCommand(static_cast<UINT>(w), l); return 0)
// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON() \
    AFX_ENTRY(WM_QUERYDRAGICON, 0, return reinterpret_cast<LRESULT>(AFX_THIS->OnQueryDragIcon()))
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                              \
    AFX_ENTRY(WM_SIZE, 0,                                                                         \
              AFX_THIS->OnSize(static_cast<UINT>(w), static_cast<short>(LOWORD(l)),                \
                               static_cast<short>(HIWORD(l))); return 0)
// void OnGetMinMaxInfo(MINMAXINFO* lpMMI)
#define ON_WM_GETMINMAXINFO() \
    AFX_ENTRY(WM_GETMINMAXINFO, 0, AFX_THIS->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(l)); return 0)
// BOOL OnHelpInfo(HELPINFO* pHelpInfo)
#define ON_WM_HELPINFO() AFX_ENTRY(WM_HELP, 0, return AFX_THIS->OnHelpInfo(reinterpret_cast<HELPINFO*>(l)))
// void OnRButtonDblClk(UINT nFlags, CPoint point)
#define ON_WM_RBUTTONDBLCLK()                                                                     \
    AFX_ENTRY(WM_RBUTTONDBLCLK, 0,                                                                \
              AFX_THIS->OnRButtonDblClk(static_cast<UINT>(w),                                     \
                                        CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)))); \
              return 0)

class CCmdTarget : public CObject {
public:
    DECLARE_DYNAMIC(CCmdTarget)

    // Runs the handler of command nID from this object's map chain; false if none.
    virtual bool OnCmdMsg(UINT nID);

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    // The first entry of the map chain for nMessage (and nID for commands), or null.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT nMessage, UINT nID) const;
};

// ---------------------------------------------------------------- windows

class CMenu;
class CDC;

// A non-owning holder of a window handle. It never destroys the window. The wrappers
// are defined in the library, not here, so that a checked build of the layer
// (afx_win_checked) asserts their preconditions whatever its callers were built with.
class CWnd : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWnd)

    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    ~CWnd() override = default;

    operator HWND() const { return m_hWnd; }  // NOLINT(google-explicit-constructor)
    // Starts holding hWnd; the holder must be empty.
    void Attach(HWND hWnd);
    // Stops holding the window and returns it; the window lives on.
    HWND Detach();

    // Each needs a window (asserted) and returns what Win32 returns.
    CWnd GetDlgItem(int nID) const;
    BOOL SetDlgItemText(int nID, LPCTSTR pszText);
    BOOL SetWindowText(LPCTSTR pszText);
    BOOL GetClientRect(LPRECT pRect) const;
    BOOL MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL IsIconic() const;
    // The window's DPI now (GetDpiForWindow); the screen's where the system lacks it.
    UINT GetDpi() const;
    // The icon that was set before, or null.
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL OpenClipboard();
    // The window menu as a copy that may be changed, not owned by the caller.
    CMenu GetSystemMenu(BOOL bRevert) const;

    // Asks for the platform's default processing of the message being handled, which
    // runs once the handler returns. Only a handler of this window may ask (asserted);
    // the request belongs to that one message, not to messages it causes meanwhile.
    void Default();

    // Routes a command through this window's map chain, then the application's.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Default handlers a map may name: they ask for the default processing.
    void OnPaint() { Default(); }
    void OnRButtonDblClk(UINT, CPoint) { Default(); }

    HWND m_hWnd = nullptr;

protected:
    // The one dispatch path: WM_COMMAND through OnCommand, every other message through
    // the map chain. True when a handler took the message and did not ask for the
    // default processing; *pResult is then the message's result.
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    // The request flag of the innermost message being handled, or null between messages.
    bool* m_pbDefault = nullptr;
};

// A menu handle that the holder does not own.
class CMenu {
public:
    explicit CMenu(HMENU hMenu) : m_hMenu(hMenu) {}
    // Needs a menu (asserted).
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    HMENU m_hMenu;
};

class CDC {
public:
    // Needs a device context and an icon (asserted).
    BOOL DrawIcon(int x, int y, HICON hIcon);
    HDC GetSafeHdc() const { return m_hDC; }
    HDC m_hDC = nullptr;

    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

protected:
    CDC() = default;
};

// BeginPaint on construction, EndPaint on destruction, for a window (asserted).
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};

// The animation common control. Its window is a child of the window passed to Create
// and is destroyed with it.
class CAnimateCtrl : public CWnd {
public:
    // FALSE when the control class or the window cannot be made; the holder stays empty.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL Open(UINT nID) { return static_cast<BOOL>(SendMessage(ACM_OPENA, 0, static_cast<LPARAM>(nID))); }
    BOOL Play(UINT nFrom, UINT nTo, UINT nRep)
    {
        return static_cast<BOOL>(SendMessage(ACM_PLAY, static_cast<WPARAM>(nRep), MAKELONG(nFrom, nTo)));
    }
};

// What DoDataExchange receives. The program's boxes exchange no data, so it carries none.
struct CDataExchange {};

// A modal dialog on a template of the program's resources. Its own map handles
// WM_INITDIALOG, OK, Cancel and WM_HELP.
class CDialog : public CWnd {
public:
    DECLARE_DYNAMIC(CDialog)

    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Runs the box until it ends; IDOK, IDCANCEL or -1 when it could not be created.
    // The object must not be running already (asserted).
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // F1: the main window, while enabled, takes it as the help command ID_HELP. Every box
    // takes it, so the dialog manager never passes it on to the box's owner.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    // Places the box centred over its owner, or over the work area without one.
    void CenterWindow();

protected:
    // Required by the framework's initialisation; the program exchanges no data.
    virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
    DECLARE_MESSAGE_MAP()

private:
    // Binds the object at WM_INITDIALOG, dispatches, unbinds at WM_NCDESTROY. An
    // exception cannot leave it: it ends the program instead of crossing system frames.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) noexcept;
    // WM_INITDIALOG: centres the box, then the result of OnInitDialog.
    LRESULT HandleInitDialog();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};

// ---------------------------------------------------------------- the application

class CWinApp : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWinApp)

    // Registers the object as the module's application; a null name means the
    // executable's file name.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Runs the program; the result is not used, as there is no message loop after it.
    virtual BOOL InitInstance() { return TRUE; }
    // The process's exit code.
    virtual int ExitInstance() { return 0; }

    // Icon resource nID of the program at the system's standard icon size (shared handle).
    HICON LoadIcon(UINT nIDResource) const;
    // Kept for the start-up sequence the program follows: controls are drawn 3-D anyway.
    BOOL Enable3dControls() { return TRUE; }
    // There is no help file: the help command does nothing.
    void OnHelp() {}

    LPCTSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    void SetAppName(const CString& strName)
    {
        m_strAppName = strName;
        m_pszAppName = m_strAppName;
    }

private:
    CString m_strAppName;
};

CWinApp* AfxGetApp();
LPCTSTR AfxGetAppName();
HINSTANCE AfxGetResourceHandle();
// Kept for the start-up sequence the program follows: it hosts no ActiveX controls.
inline void AfxEnableControlContainer() {}
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
