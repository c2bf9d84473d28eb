#pragma once
// CCmdTarget and CWnd: window objects over window handles, message maps, command and
// notification routing with reflection, and the paint, client and window DCs.

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdi.h"
#include "platform/win/pvwin.h"
#include "platform/win/winuser.h"

class CWnd;
class CCmdTarget;
class CCmdUI;
class CScrollBar;
class CFrameWnd;
class CMenu;
struct CCreateContext;
class CDataExchange;
struct GUID;
typedef unsigned short VARTYPE;

// ---- Message maps ----
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define WM_REFLECT_BASE 0xBC00

struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
};

// One handler call: the message and, for commands and notifications, the id, code and extra.
struct AfxMsgCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    UINT nID;
    UINT nCode;
    void* pExtra;
};
typedef BOOL (*AfxMsgThunk)(CCmdTarget* pTarget, AfxMsgCall& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;          // window message, WM_COMMAND or WM_NOTIFY (+ WM_REFLECT_BASE when reflected)
    UINT nCode;             // control notification code, or the WM_CTLCOLOR kind
    UINT nID;               // first id of a command range
    UINT nLastID;           // last id of a command range
    const UINT* pRegistered;// a registered message's variable, read at dispatch
    AfxMsgThunk pfn;        // null ends the map
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define afx_msg

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        (void)sizeof(ThisClass*); \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            {0, 0, 0, 0, nullptr, nullptr}}; \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap; \
    }

// The general entry: `body` runs with `_p` (this class) and `_c` (the call) and answers handled.
#define PV_MSG_ENTRY(msg, code, id, lastId, reg, body) \
    {UINT(msg), UINT(code), UINT(id), UINT(lastId), reg, \
     [](CCmdTarget* _t, AfxMsgCall& _c) -> BOOL { \
         ThisClass* _p = static_cast<ThisClass*>(_t); \
         (void)_p; (void)_c; \
         body \
     }},
#define PV_WM(msg, body) PV_MSG_ENTRY(msg, 0, 0, 0, nullptr, body)
#define PV_PT(lp) CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))
#define PV_WND(h) CWnd::FromHandle(reinterpret_cast<HWND>(h))

#define ON_WM_CREATE() PV_WM(WM_CREATE, _c.result = _p->OnCreate(reinterpret_cast<LPCREATESTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_DESTROY() PV_WM(WM_DESTROY, _p->OnDestroy(); return TRUE;)
#define ON_WM_NCDESTROY() PV_WM(WM_NCDESTROY, _p->OnNcDestroy(); return TRUE;)
#define ON_WM_NCCREATE() PV_WM(WM_NCCREATE, _c.result = _p->OnNcCreate(reinterpret_cast<LPCREATESTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_PAINT() PV_WM(WM_PAINT, _p->OnPaint(); return TRUE;)
#define ON_WM_NCPAINT() PV_WM(WM_NCPAINT, _p->OnNcPaint(); return TRUE;)
#define ON_WM_ERASEBKGND() PV_WM(WM_ERASEBKGND, _c.result = _p->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(_c.wParam))); return TRUE;)
#define ON_WM_SIZE() PV_WM(WM_SIZE, _p->OnSize(UINT(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)); return TRUE;)
#define ON_WM_MOVE() PV_WM(WM_MOVE, _p->OnMove(GET_X_LPARAM(_c.lParam), GET_Y_LPARAM(_c.lParam)); return TRUE;)
#define ON_WM_SHOWWINDOW() PV_WM(WM_SHOWWINDOW, _p->OnShowWindow(BOOL(_c.wParam), UINT(_c.lParam)); return TRUE;)
#define ON_WM_CLOSE() PV_WM(WM_CLOSE, _p->OnClose(); return TRUE;)
#define ON_WM_SETFOCUS() PV_WM(WM_SETFOCUS, _p->OnSetFocus(PV_WND(_c.wParam)); return TRUE;)
#define ON_WM_KILLFOCUS() PV_WM(WM_KILLFOCUS, _p->OnKillFocus(PV_WND(_c.wParam)); return TRUE;)
#define ON_WM_ACTIVATE() PV_WM(WM_ACTIVATE, _p->OnActivate(LOWORD(_c.wParam), PV_WND(_c.lParam), HIWORD(_c.wParam)); return TRUE;)
#define ON_WM_NCACTIVATE() PV_WM(WM_NCACTIVATE, _c.result = _p->OnNcActivate(BOOL(_c.wParam)); return TRUE;)
#define ON_WM_MOUSEACTIVATE() PV_WM(WM_MOUSEACTIVATE, _c.result = _p->OnMouseActivate(PV_WND(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)); return TRUE;)
#define ON_WM_SETCURSOR() PV_WM(WM_SETCURSOR, _c.result = _p->OnSetCursor(PV_WND(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)); return TRUE;)
#define PV_KEY(msg, fn) PV_WM(msg, _p->fn(UINT(_c.wParam), LOWORD(_c.lParam), HIWORD(_c.lParam)); return TRUE;)
#define ON_WM_KEYDOWN() PV_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() PV_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() PV_KEY(WM_CHAR, OnChar)
#define ON_WM_DEADCHAR() PV_KEY(WM_DEADCHAR, OnDeadChar)
#define ON_WM_SYSKEYDOWN() PV_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() PV_KEY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_SYSCHAR() PV_KEY(WM_SYSCHAR, OnSysChar)
#define ON_WM_SYSDEADCHAR() PV_KEY(WM_SYSDEADCHAR, OnSysDeadChar)
#define PV_MOUSE(msg, fn) PV_WM(msg, _p->fn(UINT(_c.wParam), PV_PT(_c.lParam)); return TRUE;)
#define ON_WM_MOUSEMOVE() PV_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() PV_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() PV_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() PV_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() PV_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() PV_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() PV_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() PV_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() PV_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() PV_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_MOUSEWHEEL() PV_WM(WM_MOUSEWHEEL, _c.result = _p->OnMouseWheel(LOWORD(_c.wParam), short(HIWORD(_c.wParam)), PV_PT(_c.lParam)); return TRUE;)
#define PV_NCMOUSE(msg, fn) PV_WM(msg, _p->fn(UINT(_c.wParam), PV_PT(_c.lParam)); return TRUE;)
#define ON_WM_NCMOUSEMOVE() PV_NCMOUSE(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() PV_NCMOUSE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() PV_NCMOUSE(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() PV_NCMOUSE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() PV_NCMOUSE(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_NCMBUTTONDOWN() PV_NCMOUSE(WM_NCMBUTTONDOWN, OnNcMButtonDown)
#define ON_WM_NCHITTEST() PV_WM(WM_NCHITTEST, _c.result = _p->OnNcHitTest(PV_PT(_c.lParam)); return TRUE;)
#define ON_WM_NCCALCSIZE() PV_WM(WM_NCCALCSIZE, _p->OnNcCalcSize(BOOL(_c.wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(_c.lParam)); return TRUE;)
#define ON_WM_TIMER() PV_WM(WM_TIMER, _p->OnTimer(UINT_PTR(_c.wParam)); return TRUE;)
#define ON_WM_HSCROLL() PV_WM(WM_HSCROLL, _p->OnHScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), reinterpret_cast<CScrollBar*>(PV_WND(_c.lParam))); return TRUE;)
#define ON_WM_VSCROLL() PV_WM(WM_VSCROLL, _p->OnVScroll(LOWORD(_c.wParam), HIWORD(_c.wParam), reinterpret_cast<CScrollBar*>(PV_WND(_c.lParam))); return TRUE;)
#define ON_WM_CANCELMODE() PV_WM(WM_CANCELMODE, _p->OnCancelMode(); return TRUE;)
#define ON_WM_CAPTURECHANGED() PV_WM(WM_CAPTURECHANGED, _p->OnCaptureChanged(PV_WND(_c.lParam)); return TRUE;)
#define ON_WM_GETDLGCODE() PV_WM(WM_GETDLGCODE, _c.result = _p->OnGetDlgCode(); return TRUE;)
#define ON_WM_CTLCOLOR() PV_WM(WM_CTLCOLOR, _c.result = reinterpret_cast<LRESULT>(_p->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(_c.wParam)), PV_WND(_c.lParam), _c.nCode)); return TRUE;)
#define ON_WM_WININICHANGE() PV_WM(WM_WININICHANGE, _p->OnWinIniChange(reinterpret_cast<LPCTSTR>(_c.lParam)); return TRUE;)
#define ON_WM_SETTINGCHANGE() PV_WM(WM_SETTINGCHANGE, _p->OnSettingChange(UINT(_c.wParam), reinterpret_cast<LPCTSTR>(_c.lParam)); return TRUE;)
#define ON_WM_SYSCOLORCHANGE() PV_WM(WM_SYSCOLORCHANGE, _p->OnSysColorChange(); return TRUE;)
#define ON_WM_CONTEXTMENU() PV_WM(WM_CONTEXTMENU, _p->OnContextMenu(PV_WND(_c.wParam), PV_PT(_c.lParam)); return TRUE;)
#define ON_WM_STYLECHANGED() PV_WM(WM_STYLECHANGED, _p->OnStyleChanged(int(_c.wParam), reinterpret_cast<LPSTYLESTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_STYLECHANGING() PV_WM(WM_STYLECHANGING, _p->OnStyleChanging(int(_c.wParam), reinterpret_cast<LPSTYLESTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_WINDOWPOSCHANGED() PV_WM(WM_WINDOWPOSCHANGED, _p->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(_c.lParam)); return TRUE;)
#define ON_WM_WINDOWPOSCHANGING() PV_WM(WM_WINDOWPOSCHANGING, _p->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(_c.lParam)); return TRUE;)
#define ON_WM_GETMINMAXINFO() PV_WM(WM_GETMINMAXINFO, _p->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(_c.lParam)); return TRUE;)
#define ON_WM_ENABLE() PV_WM(WM_ENABLE, _p->OnEnable(BOOL(_c.wParam)); return TRUE;)
#define ON_WM_SYSCOMMAND() PV_WM(WM_SYSCOMMAND, _p->OnSysCommand(UINT(_c.wParam), _c.lParam); return TRUE;)
#define ON_WM_PARENTNOTIFY() PV_WM(WM_PARENTNOTIFY, _p->OnParentNotify(UINT(_c.wParam), _c.lParam); return TRUE;)
#define ON_WM_DRAWITEM() PV_WM(WM_DRAWITEM, _p->OnDrawItem(int(_c.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_MEASUREITEM() PV_WM(WM_MEASUREITEM, _p->OnMeasureItem(int(_c.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_DELETEITEM() PV_WM(WM_DELETEITEM, _p->OnDeleteItem(int(_c.wParam), reinterpret_cast<LPDELETEITEMSTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_COMPAREITEM() PV_WM(WM_COMPAREITEM, _c.result = _p->OnCompareItem(int(_c.wParam), reinterpret_cast<LPCOMPAREITEMSTRUCT>(_c.lParam)); return TRUE;)

// Reflected messages (handled by the control that sent them to its parent).
#define ON_WM_CTLCOLOR_REFLECT() PV_WM(WM_REFLECT_BASE + WM_CTLCOLOR, _c.result = reinterpret_cast<LRESULT>(_p->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(_c.wParam)), _c.nCode)); return TRUE;)
#define ON_WM_DRAWITEM_REFLECT() PV_WM(WM_REFLECT_BASE + WM_DRAWITEM, _p->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(_c.lParam)); _c.result = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT() PV_WM(WM_REFLECT_BASE + WM_MEASUREITEM, _p->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(_c.lParam)); _c.result = TRUE; return TRUE;)
#define ON_WM_DELETEITEM_REFLECT() PV_WM(WM_REFLECT_BASE + WM_DELETEITEM, _p->DeleteItem(reinterpret_cast<LPDELETEITEMSTRUCT>(_c.lParam)); _c.result = TRUE; return TRUE;)
#define ON_WM_COMPAREITEM_REFLECT() PV_WM(WM_REFLECT_BASE + WM_COMPAREITEM, _c.result = _p->CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(_c.lParam)); return TRUE;)
#define ON_WM_HSCROLL_REFLECT() PV_WM(WM_REFLECT_BASE + WM_HSCROLL, _p->HScroll(LOWORD(_c.wParam), HIWORD(_c.wParam)); return TRUE;)
#define ON_WM_VSCROLL_REFLECT() PV_WM(WM_REFLECT_BASE + WM_VSCROLL, _p->VScroll(LOWORD(_c.wParam), HIWORD(_c.wParam)); return TRUE;)
#define ON_WM_PARENTNOTIFY_REFLECT() PV_WM(WM_REFLECT_BASE + WM_PARENTNOTIFY, _p->ParentNotify(UINT(_c.wParam), _c.lParam); return TRUE;)

// Any message, and registered ones.
#define ON_MESSAGE(message, memberFxn) PV_WM(message, _c.result = _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    PV_MSG_ENTRY(0xC000, 0, 0, 0, &nMessageVariable, _c.result = _p->memberFxn(_c.wParam, _c.lParam); return TRUE;)

// Commands, control notifications and WM_NOTIFY.
#define ON_COMMAND(id, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, nullptr, _p->memberFxn(); return TRUE;)
#define ON_COMMAND_EX(id, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, id, nullptr, return _p->memberFxn(_c.nID);)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, nullptr, _p->memberFxn(_c.nID); return TRUE;)
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_COMMAND, id, idLast, nullptr, return _p->memberFxn(_c.nID);)
#define ON_UPDATE_COMMAND_UI(id, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, nullptr, _p->memberFxn(static_cast<CCmdUI*>(_c.pExtra)); return TRUE;)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) PV_MSG_ENTRY(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast, nullptr, _p->memberFxn(static_cast<CCmdUI*>(_c.pExtra)); return TRUE;)
#define ON_CONTROL(code, id, memberFxn) PV_MSG_ENTRY(WM_COMMAND, code, id, id, nullptr, _p->memberFxn(); return TRUE;)
#define ON_CONTROL_RANGE(code, id, idLast, memberFxn) PV_MSG_ENTRY(WM_COMMAND, code, id, idLast, nullptr, _p->memberFxn(_c.nID); return TRUE;)
#define ON_CONTROL_REFLECT(code, memberFxn) PV_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, nullptr, _p->memberFxn(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(code, memberFxn) PV_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, nullptr, return _p->memberFxn();)
// Notification codes are kept as the WORD that the routing compares (NM_ codes are negative).
#define ON_NOTIFY(code, id, memberFxn) PV_MSG_ENTRY(WM_NOTIFY, WORD(int(code)), id, id, nullptr, \
    AFX_NOTIFY* _n = static_cast<AFX_NOTIFY*>(_c.pExtra); _p->memberFxn(_n->pNMHDR, _n->pResult); return TRUE;)
#define ON_NOTIFY_RANGE(code, id, idLast, memberFxn) PV_MSG_ENTRY(WM_NOTIFY, WORD(int(code)), id, idLast, nullptr, \
    AFX_NOTIFY* _n = static_cast<AFX_NOTIFY*>(_c.pExtra); _p->memberFxn(_c.nID, _n->pNMHDR, _n->pResult); return TRUE;)
#define ON_NOTIFY_EX(code, id, memberFxn) PV_MSG_ENTRY(WM_NOTIFY, WORD(int(code)), id, id, nullptr, \
    AFX_NOTIFY* _n = static_cast<AFX_NOTIFY*>(_c.pExtra); return _p->memberFxn(_c.nID, _n->pNMHDR, _n->pResult);)
#define ON_NOTIFY_REFLECT(code, memberFxn) PV_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, WORD(int(code)), 0, 0, nullptr, \
    AFX_NOTIFY* _n = static_cast<AFX_NOTIFY*>(_c.pExtra); _p->memberFxn(_n->pNMHDR, _n->pResult); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(code, memberFxn) PV_MSG_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, WORD(int(code)), 0, 0, nullptr, \
    AFX_NOTIFY* _n = static_cast<AFX_NOTIFY*>(_c.pExtra); return _p->memberFxn(_n->pNMHDR, _n->pResult);)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)

// ---- CCmdTarget ----
class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Finds the handler of a command or notification in this object's message maps; with
    // pHandlerInfo it only reports the handler.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Wait cursor for long work on this target.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The entry of a message in this object's maps (most derived first), or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

protected:
    // The root of every map chain; derived classes override it through DECLARE_MESSAGE_MAP.
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// ---- CWnd ----
#define WF_CONTINUEMODAL 0x0001
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    WNDPROC m_pfnSuper = nullptr;   // the procedure this object subclassed
    HWND m_hWndOwner = nullptr;     // owner set with SetOwner
    UINT m_nFlags = 0;
    int m_nModalResult = 0;

    // Special positions for SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    bool operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
    bool operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }

    // ---- Handles ----
    // The window object of a handle: the permanent one, else a temporary one that lives as long as
    // the window does.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- Creation ----
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);

    // ---- Hosted controls (platform/win/ctlhost.cpp) ----
    // A control whose window class is registered under its class identifier's text
    // ("{8856F961-...}"); persisted state and licence keys are not used.
    BOOL CreateControl(const GUID& clsid, LPCTSTR pszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       UINT nID, void* pPersist = nullptr, BOOL bStorage = FALSE, char* bstrLicKey = nullptr);
    // Calls a member of the control by dispatch id; the arguments follow pbParamInfo (VTS_*).
    // Throws COleDispatchException when the control has no such member or refuses the call.
    void InvokeHelper(long dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);

    // ---- Messages ----
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);
    static const MSG* GetCurrentMessage();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers a message to the PreTranslateMessage of each window from its target up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    LRESULT Default();

    // ---- Modal loops ----
    int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // ---- Tree ----
    CWnd* GetParent() const;
    CWnd* SetParent(CWnd* pWndNewParent);
    CWnd* GetOwner() const;
    void SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr; }
    CWnd* GetTopLevelParent() const;
    CWnd* GetTopLevelOwner() const;
    CFrameWnd* GetParentFrame() const;
    CWnd* GetWindow(UINT nCmd) const;
    CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return GetWindow(nFlag); }
    CWnd* GetTopWindow() const;
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    CWnd* GetDescendantWindow(int nID, BOOL bOnlyPerm = FALSE) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    BOOL IsChild(const CWnd* pWnd) const;
    static CWnd* GetDesktopWindow();
    static CWnd* FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName);
    static CWnd* WindowFromPoint(POINT point);
    CWnd* ChildWindowFromPoint(POINT point) const;
    // Set by the framework: the runtime class that GetParentFrame looks for.
    static CRuntimeClass* s_pFrameWndClass;

    // ---- State ----
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    static BOOL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    static BOOL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsWindowEnabled() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsIconic() const;
    BOOL IsZoomed() const;
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    CFont* GetFont() const;
    void SetRedraw(BOOL bRedraw = TRUE);
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    // The next (or previous) visible, enabled WS_TABSTOP child after pWndCtl, wrapping around.
    CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
    // Dialog data exchange: UpdateData is the framework's (platform/ui), DoDataExchange the window's.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}

    // ---- Position ----
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void BringWindowToTop();
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // ---- Painting ----
    CDC* GetDC();
    CDC* GetWindowDC();
    int ReleaseDC(CDC* pDC);
    CDC* BeginPaint(LPPAINTSTRUCT lpPaint);
    void EndPaint(LPPAINTSTRUCT lpPaint);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void ValidateRgn(CRgn* pRgn);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    void UpdateWindow();
    BOOL RedrawWindow(LPCRECT lpRectUpdate = nullptr, CRgn* prgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, CRgn* prgnUpdate, LPRECT lpRectUpdate,
                       UINT flags);

    // ---- Input ----
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetActiveWindow();
    static CWnd* GetActiveWindow();
    BOOL SetForegroundWindow();
    static CWnd* GetForegroundWindow();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);
    void CreateSolidCaret(int nWidth, int nHeight);
    void CreateGrayCaret(int nWidth, int nHeight);
    void ShowCaret();
    void HideCaret();
    static void SetCaretPos(POINT point);
    static CPoint GetCaretPos();
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // ---- Scroll bars ----
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    int GetScrollLimit(int nBar);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
    BOOL EnableScrollBar(int nSBFlags, UINT nArrowFlags = ESB_ENABLE_BOTH);

protected:
    // ---- Default handlers (they run the default window procedure) ----
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnMove(int x, int y);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnClose();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnDeadChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysDeadChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDblClk(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcMButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnCancelMode();
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg UINT OnGetDlgCode();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnWinIniChange(LPCTSTR lpszSection);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg void OnSysColorChange();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg void OnStyleChanged(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
    afx_msg void OnStyleChanging(int nStyleType, LPSTYLESTRUCT lpStyleStruct);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnParentNotify(UINT message, LPARAM lParam);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg void OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct);
    afx_msg int OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every window that has a CWnd.
LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers (once) a window class with these attributes; the name stays valid for the process.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr,
                            HICON hIcon = nullptr);
// Retrieves and dispatches one message (after the pre-translation chain); FALSE on WM_QUIT.
BOOL AfxPumpMessage();
// The framework's application-level pre-translation (returns TRUE when it consumed the message).
typedef BOOL (*PvPreTranslateHook)(MSG* pMsg);
void PvSetPreTranslateHook(PvPreTranslateHook hook);

// Message boxes over the active window, captioned with the program's name.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
void PvSetMessageBoxCaption(LPCTSTR lpszCaption);
// Asked for the caption at each box, ahead of the fixed caption (empty answer: not known yet).
typedef LPCTSTR (*PvCaptionSource)();
void PvSetMessageBoxCaptionSource(PvCaptionSource source);

// ---- DCs of a window ----
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    HWND m_hWnd;
    PAINTSTRUCT m_ps {};
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;
    HWND m_hWnd;
};

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC() override;
    HWND m_hWnd;
};

// ---- The scroll-bar control ----
class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
    void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
    void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw); }
    void ShowScrollBar(BOOL bShow = TRUE) { ::ShowWindow(m_hWnd, bShow ? SW_SHOW : SW_HIDE); }
    BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) { return ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw) != 0 || lpScrollInfo; }
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int GetScrollLimit();
};
