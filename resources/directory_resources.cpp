// The directory pane's dialogs: please wait (158), the name prompt (134), the Hints (168) and
// Search Directory (201), and their pictures (157, 278).

#include "resources/directory_ids.h"

#include "platform/controls/ctldefs.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/resources.h"
#include "platform/win/pvwin.h"

namespace {

const UINT kStatic = 0xFFFF; // labels nobody addresses

const PvDialogItemTemplate kPleaseWaitItems[] = {
    {"STATIC", "", IDC_PLEASE_WAIT_PICTURE, WS_VISIBLE | SS_BITMAP, 0, 8, 8, 21, 20},
    {"STATIC", "Please wait while Paravel searches the directory.", kStatic, WS_VISIBLE | SS_LEFT, 0, 36, 13, 180, 9},
};
const PvDialogTemplate kPleaseWait = {
    WS_POPUP | WS_BORDER | DS_CENTER, 0, 0, 0, 224, 36, nullptr, nullptr, 0, kPleaseWaitItems, std::size(kPleaseWaitItems),
};

const PvDialogItemTemplate kSaveResultsItems[] = {
    {"STATIC", "Please enter a name for the results of your search.", IDC_SAVE_PROMPT, WS_VISIBLE | SS_LEFT, 0, 7, 7, 180, 18},
    {"EDIT", "", IDC_SAVE_NAME, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 7, 28, 180, 12},
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 194, 7, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 194, 24, 50, 14},
};
const PvDialogTemplate kSaveResults = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 251, 48, "Save Your Results", nullptr, 0,
    kSaveResultsItems, std::size(kSaveResultsItems),
};

const PvDialogItemTemplate kHintsItems[] = {
    {"STATIC", "Browsing the directory", kStatic, WS_VISIBLE | SS_LEFT, 0, 10, 8, 200, 10},
    {"STATIC", "Click a name to see that person's details page below the list.", kStatic, WS_VISIBLE | SS_LEFT, 0, 10, 26,
     150, 18},
    {"STATIC", "Click a column heading to sort the directory by that column.", kStatic, WS_VISIBLE | SS_LEFT, 0, 10, 48, 150,
     18},
    {"STATIC", "Right-click the list to choose which columns are shown.", kStatic, WS_VISIBLE | SS_LEFT, 0, 10, 70, 150, 18},
    {"STATIC", "Type the first letters of a name in the Scroll To box to jump to it.", kStatic, WS_VISIBLE | SS_LEFT, 0, 10,
     92, 150, 18},
    {"BUTTON", "Do not show this hint again", IDC_HINTS_CHECK, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 10, 122, 150, 10},
    {"BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 196, 119, 50, 14},
};
const PvDialogTemplate kHints = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 256, 142, "Hints", nullptr, 0, kHintsItems,
    std::size(kHintsItems),
};

const DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
const DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const PvDialogItemTemplate kSearchItems[] = {
    {"BUTTON", "Search Criteria", kStatic, WS_VISIBLE | BS_GROUPBOX, 0, 7, 5, 136, 166},
    {"STATIC", "Pick a criterion and click Add to give it a value.", kStatic, WS_VISIBLE | SS_LEFT, 0, 14, 17, 122, 18},
    {"LISTBOX", "", IDC_SEARCH_CRITERIA, kList, 0, 14, 38, 122, 126},
    {"BUTTON", "&Add >>", IDC_SEARCH_ADD, kPush, 0, 152, 44, 60, 14},
    {"BUTTON", "<< &Remove", IDC_SEARCH_REMOVE, kPush, 0, 152, 64, 60, 14},
    {"BUTTON", "Remove &All", IDC_SEARCH_REMOVE_ALL, kPush, 0, 152, 84, 60, 14},
    {"BUTTON", "&Find Now", IDC_SEARCH_FIND_NOW, kPush, 0, 152, 130, 60, 14},
    {"BUTTON", "&Cancel", IDCANCEL, kPush, 0, 152, 150, 60, 14},
    {"BUTTON", "Find People That Meet These Conditions", kStatic, WS_VISIBLE | BS_GROUPBOX, 0, 221, 5, 166, 166},
    {"STATIC", "Every criterion must hold; values of one criterion are alternatives.", kStatic, WS_VISIBLE | SS_LEFT, 0,
     228, 17, 152, 18},
    {"LISTBOX", "", IDC_SEARCH_CONDITIONS, kList | WS_HSCROLL, 0, 228, 38, 152, 126},
    {"STATIC", "To find all entries starting with D, type D*.  To find all entries with data, type *.", IDC_SEARCH_HINT,
     SS_LEFT, 0, 14, 176, 300, 9},
};
const PvDialogTemplate kSearch = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 0, 394, 178, "Search Directory", nullptr, 0, kSearchItems,
    std::size(kSearchItems),
};

// ---- Pictures ----
// The please-wait picture is drawn in the four button colours only, so that the mapped-bitmap
// service can give it the user's colour scheme: an hourglass on a face-coloured ground.
constexpr COLORREF kBlack = RGB(0, 0, 0), kShadow = RGB(128, 128, 128), kFace = RGB(192, 192, 192),
                   kWhite = RGB(255, 255, 255);

void paintPleaseWait(CDC& dc)
{
    dc.FillSolidRect(0, 0, 32, 32, kFace);
    dc.FillSolidRect(8, 3, 16, 2, kBlack);
    dc.FillSolidRect(8, 27, 16, 2, kBlack);
    for (int y = 5; y < 27; ++y) {
        const int half = y < 16 ? 16 - y : y - 15; // the glass narrows to the waist
        const int w = std::max(1, std::min(7, half / 2 + 1));
        dc.FillSolidRect(16 - w - 1, y, 1, 1, kBlack);
        dc.FillSolidRect(16 + w, y, 1, 1, kBlack);
        const bool sand = (y > 8 && y < 15) || y > 20;
        dc.FillSolidRect(16 - w, y, 2 * w, 1, sand ? kShadow : kWhite);
    }
}

// The Hints picture lies under the dialog's texts: a light ground with a small banded list in
// the corner, drawn in its own colours.
constexpr int kHintsCx = 520, kHintsCy = 320;

void paintHints(CDC& dc)
{
    for (int y = 0; y < kHintsCy; ++y) {
        const int t = y * 40 / kHintsCy;
        dc.FillSolidRect(0, y, kHintsCx, 1, RGB(250 - t, 250 - t / 2, 255));
    }
    const int left = 336, top = 40, cols[] = {0, 50, 110, 160};
    dc.FillSolidRect(left, top, 160, 14, RGB(192, 192, 192));
    for (int c : cols)
        dc.FillSolidRect(left + c, top, 1, 14, RGB(128, 128, 128));
    for (int r = 0; r < 9; ++r) {
        const COLORREF band = (r / 3) % 2 ? RGB(224, 224, 224) : RGB(255, 255, 255);
        dc.FillSolidRect(left, top + 14 + r * 12, 160, 12, band);
        dc.FillSolidRect(left + 6, top + 18 + r * 12, 30 + (r * 7) % 12, 3, RGB(90, 90, 110));
        dc.FillSolidRect(left + 56, top + 18 + r * 12, 40 - (r * 5) % 14, 3, RGB(90, 90, 110));
    }
    dc.FillSolidRect(left, top + 14 + 4 * 12, 160, 12, RGB(24, 56, 128));
    dc.FrameRect(CRect(left - 1, top - 1, left + 161, top + 14 + 9 * 12 + 1), CBrush::FromHandle(GetSysColorBrush(COLOR_WINDOWFRAME)));
}

} // namespace

bool PvDirectoryPicture(UINT nID, int& cx, int& cy, void (*&pfnPaint)(CDC&))
{
    switch (nID) {
    case IDB_PLEASE_WAIT: cx = cy = 32; pfnPaint = &paintPleaseWait; return true;
    case IDB_HINTS: cx = kHintsCx; cy = kHintsCy; pfnPaint = &paintHints; return true;
    default: return false;
    }
}

void PvRegisterDirectoryResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PvRegisterDialog(IDD_PLEASE_WAIT, kPleaseWait);
    PvRegisterDialog(IDD_SAVE_RESULTS, kSaveResults);
    PvRegisterDialog(IDD_HINTS, kHints);
    PvRegisterDialog(IDD_SEARCH_DIRECTORY, kSearch);
}
