#pragma once
// Private messages between a combo box and its list. Internal to platform/controls.

#include "platform/win/winuser.h"

namespace pvctl {
#define PVM_LISTNOTIFY 0x1FF0   // list -> combo: an LBN_ code in wParam
#define PVM_LISTPICK 0x1FF1     // list -> combo: the item clicked (wParam, -1 outside)
#define PVM_LISTSELECT 0x1FF2   // combo -> list: mark an item without notifying
#define PVM_LISTDOWN 0x1FF3     // list -> combo: a button press while dropped (screen point)
LRESULT ListBoxProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
} // namespace pvctl
