#pragma once
// Menus: the handle API (create, edit, query, load from a template, track a pop-up), the frame's
// menu bar, accelerator tables, and CMenu over a menu handle.

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/ui/afxres.h"
#include "platform/ui/resources.h"
#include "platform/win/cwnd.h"

// ---- Handle API ----
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);       // (UINT)-1 for a pop-up or a bad position
HMENU GetSubMenu(HMENU hMenu, int nPos);
int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int cchMax, UINT flags);
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags); // (UINT)-1 when there is no such item
UINT EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);  // previous state or -1
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);    // previous state or -1
BOOL CheckMenuRadioItem(HMENU hMenu, UINT first, UINT last, UINT check, UINT flags);
HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName);
// Shows a pop-up at (x, y) in screen coordinates and tracks it until the user chooses or cancels.
// With TPM_RETURNCMD the chosen id is returned (0 when cancelled); otherwise it is posted to hWnd
// as WM_COMMAND and the result says whether an item was chosen.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
// The menu bar of a top-level window. Frames draw it in their menu-bar window.
HMENU GetMenu(HWND hWnd);
BOOL SetMenu(HWND hWnd, HMENU hMenu);
BOOL DrawMenuBar(HWND hWnd);

// ---- Accelerators ----
HACCEL LoadAccelerators(HINSTANCE hInstance, LPCTSTR lpTableName);
HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel);
BOOL DestroyAcceleratorTable(HACCEL hAccel);
int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries);
// Turns a key message that matches an entry into WM_COMMAND (HIWORD 1) sent to hWnd.
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg);

// ---- The menu bar window (a child of a frame, id AFX_IDW_MENUBAR) ----
HWND PvCreateMenuBar(HWND hFrame);
int PvMenuBarHeight();
// Keyboard access from the frame's pre-translation: Alt alone, F10, Alt+mnemonic.
BOOL PvMenuBarPreTranslate(HWND hFrame, MSG* pMsg);
// Opens the bar's pop-up at a position (tests and Alt+mnemonic use it).
void PvMenuBarOpen(HWND hFrame, int nIndex, BOOL bKeyboard);
// Called when the menu of a window changes (the frame re-lays itself out).
typedef void (*PvMenuChangedHook)(HWND hWnd);
void PvSetMenuChangedHook(PvMenuChangedHook hook);

// ---- CMenu ----
class CMenu : public CObject {
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    bool operator==(const CMenu& m) const { return m.m_hMenu == m_hMenu; }
    bool operator!=(const CMenu& m) const { return m.m_hMenu != m_hMenu; }

    // A menu object for a handle: temporary ones live until the handle is destroyed.
    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);
    UINT GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const;
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};
