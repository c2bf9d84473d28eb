// The main frame's resources: menu, accelerators and toolbar 128, the letter bar (133), the About
// dialog (100), the command prompts and the program cursors.

#include "resources/frame_ids.h"
#include "resources/frame_images.h"

#include "platform/base/stringtable.h"
#include "platform/controls/ctldefs.h"
#include "platform/html/browser.h" // the browser control's class name
#include "platform/ui/resources.h"
#include "platform/win/pvwin.h"

#include <cstdio>

const UINT g_nLetterCommandIds[26] = {
    ID_LETTER_A, ID_LETTER_B, ID_LETTER_C, ID_LETTER_D, ID_LETTER_E, ID_LETTER_F, ID_LETTER_G,
    ID_LETTER_H, ID_LETTER_I, ID_LETTER_J, ID_LETTER_K, ID_LETTER_L, ID_LETTER_M, ID_LETTER_N,
    ID_LETTER_O, ID_LETTER_P, ID_LETTER_Q, ID_LETTER_R, ID_LETTER_S, ID_LETTER_T, ID_LETTER_U,
    ID_LETTER_V, ID_LETTER_W, ID_LETTER_X, ID_LETTER_Y, ID_LETTER_Z,
};

namespace {

const UINT kStatic = 0xFFFF;  // labels nobody addresses

const PvMenuTemplateItem kMainMenu[] = {
    {MF_POPUP, 0, "&File"},
    {0, ID_PRINT_DETAILS, "&Print Details Page"},
    {0, ID_PRINT_MEDIA, "Print Media page"},
    {0, ID_PRINT_PREVIEW_PAGE, "Print P&review"},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_APP_EXIT, "E&xit"},
    {MF_POPUP, 0, "&Directory"},
    {0, ID_SEARCH_DIRECTORY, "&Search Directory...    F3"},
    {0, ID_CONTINUE_SEARCH, "&Continue Previous Search"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_SHOW_ALL, "Show &All Entries    F5"},
    {0, ID_SAVE_LIST, "&Save Current Directory List    F10"},
    {0, ID_DIRECTORY_LISTS, "&Directory Lists..."},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_RECORD_FIRST, "&First Entry"},
    {0, ID_RECORD_PREV, "&Previous Entry"},
    {0, ID_RECORD_NEXT, "&Next Entry"},
    {MF_END, ID_RECORD_LAST, "&Last Entry"},
    {MF_POPUP, 0, "&View"},
    {0, ID_SHOW_DETAILS, "Show &Details Page   F2"},
    {0, ID_NORMAL_VIEW, "&Normal View"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_GO_BACK, "&Back"},
    {0, ID_GO_FORWARD, "&Forward"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_ZOOM_ENLARGE, "&Enlarge"},
    {0, ID_ZOOM_REDUCE, "&Reduce"},
    {MF_END, ID_ZOOM_100, "&100%"},
    {MF_POPUP, 0, "F&avorites"},
    {0, ID_ADD_FAVORITES, "&Add to Favorites..."},
    {MF_END, ID_ORGANIZE_FAVORITES, "&Organize Favorites..."},
    {MF_POPUP, 0, "&Window"},
    {0, ID_ADD_NOTES, "Add/View &Notes"},
    {MF_SEPARATOR, 0, nullptr},
    {0, ID_WINDOW_CASCADE, "&Cascade"},
    {MF_END, ID_CLOSE_ALL, "Close A&ll"},
    {MF_POPUP | MF_END, 0, "&Help"},
    {0, ID_HELP_TOPICS, "Paravel Help &Topics...  F1"},
    {0, ID_COPYRIGHT_INFO, "&Copyright Information"},
    {0, ID_WEB_LINK, "&Brisco Connect on the Web..."},
    {MF_SEPARATOR, 0, nullptr},
    {MF_END, ID_APP_ABOUT, "&About Paravel..."},
};

const ACCEL kMainAccel[] = {
    {FVIRTKEY | FCONTROL, 'S', ID_SAVE_LIST},
    {FVIRTKEY, VK_F10, ID_SAVE_LIST},
    {FVIRTKEY, VK_F1, ID_HELP_TOPICS},
    {FVIRTKEY, VK_F2, ID_SHOW_DETAILS},
    {FVIRTKEY, VK_F3, ID_SEARCH_DIRECTORY},
    {FVIRTKEY, VK_F4, ID_TOGGLE_VIEW},
    {FVIRTKEY, VK_F5, ID_SHOW_ALL},
    {FVIRTKEY, VK_F6, ID_NEXT_PANE},
    {FVIRTKEY | FSHIFT, VK_F6, ID_PREV_PANE},
    {FVIRTKEY, VK_DOWN, ID_KEY_DOWN},
    {FVIRTKEY, VK_UP, ID_KEY_UP},
    {FVIRTKEY, VK_END, ID_KEY_END},
    {FVIRTKEY, VK_HOME, ID_KEY_HOME},
    {FVIRTKEY, VK_PRIOR, ID_KEY_PAGEUP},
    {FVIRTKEY, VK_NEXT, ID_KEY_PAGEDOWN},
    {FVIRTKEY, VK_LEFT, ID_KEY_LEFT},
    {FVIRTKEY, VK_RIGHT, ID_KEY_RIGHT},
    {FVIRTKEY | FCONTROL, 'C', ID_KEY_COPY},
    {FVIRTKEY | FCONTROL, VK_INSERT, ID_KEY_COPY_INSERT},
    {FVIRTKEY | FCONTROL, 'A', ID_KEY_SELECT_ALL},
};

// One button per toolbar icon, in the order of the image lists; gaps between the groups.
const UINT kToolBarIds[] = {
    ID_HOME, ID_SEARCH_DIRECTORY, ID_SEPARATOR,
    ID_GO_BACK, ID_GO_FORWARD, ID_SEPARATOR,
    ID_SHOW_ALL, ID_SAVE_LIST, ID_SEPARATOR,
    ID_PRINT_DETAILS, ID_PRINT_MEDIA, ID_SEPARATOR,
    ID_ADD_FAVORITES, ID_ORGANIZE_FAVORITES, ID_ADD_NOTES, ID_SEPARATOR,
    ID_CLOSE_ALL, ID_WINDOW_CASCADE, ID_SEPARATOR,
    ID_PRINT_PREVIEW_PAGE, ID_HELP_TOPICS,
};

// ---- Letter bar ----
#define LETTER(ch, id, n) {"BUTTON", ch, id, WS_VISIBLE | BS_PUSHBUTTON, 0, short(156 + (n) * 15), 3, 14, 13}
const PvDialogItemTemplate kLetterBarItems[] = {
    {"BUTTON", "Scroll To", IDC_SCROLL_TO, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 4, 3, 42, 13},
    {"COMBOBOX", "", IDC_SCROLL_COMBO, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0, 50, 3, 100, 90},
    LETTER("A", ID_LETTER_A, 0), LETTER("B", ID_LETTER_B, 1), LETTER("C", ID_LETTER_C, 2),
    LETTER("D", ID_LETTER_D, 3), LETTER("E", ID_LETTER_E, 4), LETTER("F", ID_LETTER_F, 5),
    LETTER("G", ID_LETTER_G, 6), LETTER("H", ID_LETTER_H, 7), LETTER("I", ID_LETTER_I, 8),
    LETTER("J", ID_LETTER_J, 9), LETTER("K", ID_LETTER_K, 10), LETTER("L", ID_LETTER_L, 11),
    LETTER("M", ID_LETTER_M, 12), LETTER("N", ID_LETTER_N, 13), LETTER("O", ID_LETTER_O, 14),
    LETTER("P", ID_LETTER_P, 15), LETTER("Q", ID_LETTER_Q, 16), LETTER("R", ID_LETTER_R, 17),
    LETTER("S", ID_LETTER_S, 18), LETTER("T", ID_LETTER_T, 19), LETTER("U", ID_LETTER_U, 20),
    LETTER("V", ID_LETTER_V, 21), LETTER("W", ID_LETTER_W, 22), LETTER("X", ID_LETTER_X, 23),
    LETTER("Y", ID_LETTER_Y, 24), LETTER("Z", ID_LETTER_Z, 25),
};
#undef LETTER
const PvDialogTemplate kLetterBar = {
    WS_CHILD, 0, 0, 0, 550, 19, nullptr, nullptr, 0, kLetterBarItems, sizeof kLetterBarItems / sizeof kLetterBarItems[0],
};

// ---- About dialog ----
const PvDialogItemTemplate kAboutItems[] = {
    {"STATIC", "", IDC_ABOUT_BANNER, WS_VISIBLE | SS_BITMAP, 0, 0, 0, 250, 34},
    {"STATIC", "", IDC_ABOUT_LOGO, WS_VISIBLE | SS_BITMAP, 0, 10, 42, 32, 32},
    {"STATIC", "Paravel - School Directory Viewer", kStatic, WS_VISIBLE | SS_LEFT, 0, 52, 42, 150, 9},
    {"STATIC", "Version: 3.2.0.3", IDC_ABOUT_VERSION, WS_VISIBLE | SS_LEFT, 0, 52, 53, 150, 9},
    {"STATIC", "Copyright \xC2\xA9 Morlow Systems, Inc.  All rights reserved.", kStatic, WS_VISIBLE | SS_LEFT, 0, 52, 64, 190, 9},
    {"STATIC", "Technical support: call Morlow Systems, Inc. on school days between 8 am and 5 pm, or write to support through the web site below.",
     kStatic, WS_VISIBLE | SS_LEFT, 0, 52, 80, 150, 26},
    {"STATIC", "Visit the Paravel web site", IDC_ABOUT_LINK, WS_VISIBLE | SS_LEFT | SS_NOTIFY, 0, 52, 110, 110, 9},
    {"STATIC", "This program is protected by copyright law and international treaties. Unauthorized copying of this program or of the directory it shows is prohibited.",
     kStatic, WS_VISIBLE | SS_LEFT, 0, 10, 126, 186, 26},
    {"STATIC", "", IDC_ABOUT_SEAL, WS_VISIBLE | SS_BITMAP, 0, 208, 80, 32, 32},
    {"BUTTON", "Close", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 198, 136, 44, 14},
};
const PvDialogTemplate kAbout = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 250, 158, "About Paravel", nullptr, 0,
    kAboutItems, sizeof kAboutItems / sizeof kAboutItems[0],
};

// The HTML link dialog: a browser control over a Close button.
const PvDialogItemTemplate kHtmlPageItems[] = {
    {PV_CLSID_WEBBROWSER, "", IDC_BROWSER, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 360, 230},
    {"BUTTON", "&Close", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 155, 236, 50, 14},
};
const PvDialogTemplate kHtmlPage = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 360, 256, "Paravel", nullptr, 0,
    kHtmlPageItems, sizeof kHtmlPageItems / sizeof kHtmlPageItems[0],
};

// The details pop-up: no caption until its page is in; the page over a band of buttons 35
// pixels high at the default dialog font.
const PvDialogItemTemplate kDetailsPopupItems[] = {
    {PV_CLSID_WEBBROWSER, "", IDC_BROWSER, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 320, 248},
    {"BUTTON", "Add/View &Notes", IDC_DETAILS_NOTES, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 6, 252, 70, 14},
    {"BUTTON", "&Add To Favorites", IDC_DETAILS_FAVORITES, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 82, 252, 70, 14},
    {"STATIC", "", IDC_DETAILS_SPARE, SS_LEFT, 0, 158, 255, 44, 9},
    {"BUTTON", "&Print", IDC_DETAILS_PRINT, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 208, 252, 50, 14},
    {"BUTTON", "&Close", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 264, 252, 50, 14},
};
const PvDialogTemplate kDetailsPopup = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_VISIBLE, 0, 330, 10, 320, 270, nullptr,
    nullptr, 0, kDetailsPopupItems, sizeof kDetailsPopupItems / sizeof kDetailsPopupItems[0],
};

// ---- Strings: the product page, status-bar panes and the command prompts ("prompt\ntip") ----
const PvStringResource kStrings[] = {
    {IDS_PRODUCT_PAGE, "https://www.morlowsystems.example.com/paravel/"},
    {ID_INDICATOR_COLUMN, ""},
    {ID_INDICATOR_RECORDS, ""},
    {ID_INDICATOR_NOTES, ""},
    {ID_HOME, "Show the home page\nHome"},
    {ID_SEARCH_DIRECTORY, "Search the directory for people who meet your conditions\nSearch Directory (F3)"},
    {ID_CONTINUE_SEARCH, "Search again, starting from the previous conditions\nContinue Previous Search"},
    {ID_GO_BACK, "Go back to the previous page\nBack"},
    {ID_GO_FORWARD, "Go forward to the next page\nForward"},
    {ID_SHOW_ALL, "Show every entry of the directory\nShow All Entries (F5)"},
    {ID_SAVE_LIST, "Save the entries shown as a directory list\nSave Current Directory List (F10)"},
    {ID_DIRECTORY_LISTS, "Open, rename or delete your saved directory lists\nDirectory Lists"},
    {ID_PRINT_DETAILS, "Print the details page\nPrint Details Page"},
    {ID_PRINT_MEDIA, "Print the page shown\nPrint Media Page"},
    {ID_PRINT_PREVIEW_PAGE, "Show how the page will look when printed\nPrint Preview"},
    {ID_ADD_FAVORITES, "Add this page to your favorites\nAdd to Favorites"},
    {ID_ORGANIZE_FAVORITES, "Rename, move or delete your favorites\nOrganize Favorites"},
    {ID_ADD_NOTES, "Write or read your notes about this person\nAdd/View Notes"},
    {ID_NOTES_PANE, "Write or read your notes about this person\nAdd/View Notes"},
    {ID_CLOSE_ALL, "Close every notes window and details window\nClose All"},
    {ID_WINDOW_CASCADE, "Bring every notes window and details window to the front\nCascade"},
    {ID_HELP_TOPICS, "Show the help topics\nHelp Topics (F1)"},
    {ID_COPYRIGHT_INFO, "Show the copyright information of the directory\nCopyright Information"},
    {ID_SHOW_DETAILS, "Show the details page of the selected entry\nShow Details Page (F2)"},
    {ID_NORMAL_VIEW, "Show the outline, the directory and the page together\nNormal View"},
    {ID_TOGGLE_VIEW, "Open or close the outline and directory panes\nToggle View (F4)"},
    {IDC_SCROLL_TO, "Jump to the first entry that starts with the text typed beside it\nScroll To"},
};

} // namespace

void PvRegisterFrameResources()
{
    static bool done = false;
    if (done) return;
    done = true;
    PvRegisterMenu(IDR_MAINFRAME, kMainMenu);
    PvRegisterAccelerators(IDR_MAINFRAME, kMainAccel);
    PvRegisterToolBar(IDR_MAINFRAME, PvToolBarTemplate {16, 16, kToolBarIds, sizeof kToolBarIds / sizeof kToolBarIds[0]});
    PvRegisterDialog(IDD_LETTERBAR, kLetterBar);
    PvRegisterDialog(IDD_ABOUTBOX, kAbout);
    PvRegisterDialog(IDD_HTML_PAGE, kHtmlPage);
    PvRegisterDialog(IDD_DETAILS_POPUP, kDetailsPopup);
    PvRegisterStringTable(kStrings);
    for (UINT i = 0; i < 26; ++i) {
        // Every letter's prompt and tip name its letter.
        static char texts[26][64];
        static PvStringResource letters[26];
        snprintf(texts[i], sizeof texts[i], "Jump to the first entry starting with %c\nJump to %c", char('A' + i),
                 char('A' + i));
        letters[i] = PvStringResource {g_nLetterCommandIds[i], texts[i]};
        if (i == 25) PvRegisterStringTable(letters);
    }
    PvRegisterCursorResource(IDC_LINK_HAND, IDC_HAND);
    PvInstallFrameImages();
}
