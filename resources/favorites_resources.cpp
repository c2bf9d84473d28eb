// The favorites dialogs: Select One (148), Organize Favorites (282) and Add to Favorites (284).

#include "resources/favorites_ids.h"

#include "platform/controls/ctldefs.h"
#include "platform/ui/resources.h"
#include "platform/win/pvwin.h"

namespace {

const DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kTree =
    WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
const DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

const PvDialogItemTemplate kSelectOneItems[] = {
    {"STATIC",
     "Please select one item from the list below and then click a button to display the saved information, assign a "
     "new name to the item, or delete it from the list.",
     0xFFFF, WS_VISIBLE | SS_LEFT, 0, 7, 7, 246, 26},
    {"LISTBOX", "", IDC_SELECT_LIST, WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS, 0,
     7, 38, 180, 112},
    {"BUTTON", "Dis&play", IDC_SELECT_DISPLAY, kPush, 0, 196, 38, 57, 14},
    {"BUTTON", "&Rename", IDC_SELECT_RENAME, kPush, 0, 196, 56, 57, 14},
    {"BUTTON", "&Delete", IDC_SELECT_DELETE, kPush, 0, 196, 74, 57, 14},
    {"BUTTON", "&Close", IDOK, kPush, 0, 196, 136, 57, 14},
};
const PvDialogTemplate kSelectOne = {
    kModal, 0, 0, 0, 260, 157, "Select One", nullptr, 0, kSelectOneItems, std::size(kSelectOneItems),
};

const PvDialogItemTemplate kOrganizeItems[] = {
    {"SysTreeView32", "", IDC_ORGANIZE_TREE, kTree, 0, 7, 7, 170, 160},
    {"BUTTON", "Display", IDC_ORGANIZE_DISPLAY, kPush, 0, 186, 7, 76, 14},
    {"BUTTON", "Rename", IDC_ORGANIZE_RENAME, kPush, 0, 186, 25, 76, 14},
    {"BUTTON", "Move To Folder.....", IDC_ORGANIZE_MOVE, kPush, 0, 186, 43, 76, 14},
    {"BUTTON", "Delete", IDC_ORGANIZE_DELETE, kPush, 0, 186, 61, 76, 14},
    {"BUTTON", "Close", IDC_ORGANIZE_CLOSE, kPush, 0, 186, 153, 76, 14},
};
const PvDialogTemplate kOrganize = {
    kModal, 0, 0, 0, 269, 174, "Organize Favorites", nullptr, 0, kOrganizeItems, std::size(kOrganizeItems),
};

// The name comes first: the user types it before anything else.
const PvDialogItemTemplate kAddItems[] = {
    {"STATIC", "Paravel will add this page to your Favorites List.", IDC_FAVORITES_PROMPT, WS_VISIBLE | SS_LEFT, 0, 7, 7,
     190, 18},
    {"EDIT", "", IDC_FAVORITES_NAME, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 7, 28, 190, 12},
    {"SysTreeView32", "", IDC_FAVORITES_TREE, kTree, 0, 7, 46, 190, 110},
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 206, 7, 64, 14},
    {"BUTTON", "Close", IDCANCEL, kPush, 0, 206, 25, 64, 14},
    {"BUTTON", "New Folder...", IDC_FAVORITES_NEW_FOLDER, kPush, 0, 206, 46, 64, 14},
};
const PvDialogTemplate kAdd = {
    kModal, 0, 0, 0, 277, 163, "Add to Favorites List.....", nullptr, 0, kAddItems, std::size(kAddItems),
};

} // namespace

void PvRegisterFavoritesResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PvRegisterDialog(IDD_SELECT_ONE, kSelectOne);
    PvRegisterDialog(IDD_ORGANIZE_FAVORITES, kOrganize);
    PvRegisterDialog(IDD_ADD_FAVORITES, kAdd);
}
