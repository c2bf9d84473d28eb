#pragma once
// Our resource format: menus, accelerator tables, toolbars and dialog templates are C++ data that
// a module registers by id at start-up. The data must live for the whole run (static tables).

#include <cstddef>

#include "platform/base/pvdefs.h"
#include "platform/ui/afxres.h"

// ---- Menus ----
// A flat list: an item with MF_POPUP opens a pop-up whose items follow; an item with MF_END is the
// last of its level (a pop-up item that is itself last carries MF_POPUP | MF_END).
struct PvMenuTemplateItem {
    UINT nFlags;       // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_CHECKED, MF_END
    UINT nID;          // command id (0 for pop-ups and separators)
    LPCTSTR lpszText;  // "&File", "&Open...\tCtrl+O"
};
void PvRegisterMenu(UINT nID, const PvMenuTemplateItem* pItems, size_t nCount);
template <size_t N>
void PvRegisterMenu(UINT nID, const PvMenuTemplateItem (&items)[N]) { PvRegisterMenu(nID, items, N); }
// The template of a menu id, or null.
const PvMenuTemplateItem* PvFindMenuTemplate(UINT nID, size_t* pCount);

// ---- Accelerators ----
struct ACCEL {
    BYTE fVirt;  // FVIRTKEY, FSHIFT, FCONTROL, FALT
    WORD key;    // virtual key (with FVIRTKEY) or character
    WORD cmd;
};
typedef ACCEL* LPACCEL;
void PvRegisterAccelerators(UINT nID, const ACCEL* pAccel, size_t nCount);
template <size_t N>
void PvRegisterAccelerators(UINT nID, const ACCEL (&accel)[N]) { PvRegisterAccelerators(nID, accel, N); }

// ---- Toolbars ----
// Button ids in order (ID_SEPARATOR for a gap); the images are bitmap nID (one strip of
// cx-wide images, one per non-separator button), loaded through the bitmap resource loader.
struct PvToolBarTemplate {
    int cxImage;
    int cyImage;
    const UINT* pIDs;
    size_t nCount;
};
void PvRegisterToolBar(UINT nID, const PvToolBarTemplate& tmpl);
const PvToolBarTemplate* PvFindToolBarTemplate(UINT nID);

// ---- Dialogs ----
// Positions and sizes in dialog units; items are created, and visited by Tab, in this order.
struct PvDialogItemTemplate {
    LPCTSTR lpszClass;  // "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", or any registered class
    LPCTSTR lpszText;
    UINT nID;
    DWORD dwStyle;      // WS_CHILD is implied
    DWORD dwExStyle;
    short x, y, cx, cy;
};
struct PvDialogTemplate {
    DWORD dwStyle;
    DWORD dwExStyle;
    short x, y, cx, cy;
    LPCTSTR lpszCaption;
    LPCTSTR lpszFontFace;   // null: the default dialog font
    WORD wPointSize;        // 0: 8 points
    const PvDialogItemTemplate* pItems;
    size_t nCount;
};
void PvRegisterDialog(UINT nID, const PvDialogTemplate& tmpl);
const PvDialogTemplate* PvFindDialogTemplate(UINT nID);

// Resource ids given as MAKEINTRESOURCE or as a decimal name "#128" resolve to a number; 0 if not.
UINT PvResourceId(LPCTSTR lpszName);
