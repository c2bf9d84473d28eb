// A window holding each standard control, written to a PNG: `pv_controlsdemo out.png`.
// Runs headless or on a display (PV_BACKEND=sdl, e.g. under Xvfb).

#include "platform/controls/controls.h"

#include <cstdio>

static LRESULT frameProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProc(h, m, w, l); }

static HWND child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy, UINT id)
{
    return CreateWindowEx(0, cls, text, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, parent,
                          reinterpret_cast<HMENU>(uintptr_t(id)), nullptr, nullptr);
}

// Four 16x16 pictures drawn here: a folder, an open folder, a page, a page with a note.
static void makeImages(CImageList& il)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap strip;
    strip.CreateBitmap(64, 16, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&strip);
    dc.FillSolidRect(0, 0, 64, 16, RGB(255, 0, 255));
    for (int k = 0; k < 2; ++k) {
        int x = k * 16;
        dc.FillSolidRect(x + 1, 3, 6, 2, RGB(200, 160, 40));
        dc.FillSolidRect(x + 1, 5, 14, 9, k ? RGB(255, 220, 110) : RGB(230, 190, 70));
        dc.Draw3dRect(x + 1, 5, 14, 9, RGB(150, 110, 20), RGB(150, 110, 20));
    }
    for (int k = 2; k < 4; ++k) {
        int x = k * 16;
        dc.FillSolidRect(x + 3, 1, 10, 14, RGB(255, 255, 255));
        dc.Draw3dRect(x + 3, 1, 10, 14, RGB(90, 90, 90), RGB(90, 90, 90));
        for (int y = 4; y < 13; y += 3) dc.FillSolidRect(x + 5, y, 6, 1, RGB(80, 80, 160));
        if (k == 3) dc.FillSolidRect(x + 9, 9, 5, 5, RGB(220, 40, 40));
    }
    dc.SelectObject(old);
    il.Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4);
    il.Add(&strip, RGB(255, 0, 255));
}

int main(int argc, char** argv)
{
    const char* out = argc > 1 ? argv[1] : "controls.png";
    PvRegisterStandardControls();
    WNDCLASS wc {};
    wc.lpfnWndProc = frameProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    wc.lpszClassName = "ControlsDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(WS_EX_DLGMODALFRAME, "ControlsDemo", "Standard controls",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 20, 20, 700, 470, nullptr,
                                nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);

    child(frame, WC_BUTTON, "Options", BS_GROUPBOX, 10, 8, 200, 150, 100);
    child(frame, WC_BUTTON, "Show &photos", BS_AUTOCHECKBOX | WS_TABSTOP, 22, 30, 170, 20, 101);
    HWND tri = child(frame, WC_BUTTON, "Mixed state", BS_AUTO3STATE, 22, 54, 170, 20, 102);
    HWND r1 = child(frame, WC_BUTTON, "Students", BS_AUTORADIOBUTTON | WS_GROUP, 22, 82, 170, 20, 103);
    child(frame, WC_BUTTON, "Staff", BS_AUTORADIOBUTTON, 22, 106, 170, 20, 104);
    HWND dis = child(frame, WC_BUTTON, "Disabled", BS_AUTOCHECKBOX, 22, 130, 170, 20, 105);
    SendMessage(GetDlgItem(frame, 101), BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(tri, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessage(r1, BM_SETCHECK, BST_CHECKED, 0);
    EnableWindow(dis, FALSE);

    child(frame, WC_STATIC, "&Last name:", SS_LEFT, 225, 14, 80, 18, 110);
    HWND edit = CreateWindowEx(WS_EX_CLIENTEDGE, WC_EDIT, "Smith, Ann", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                               310, 10, 170, 24, frame, reinterpret_cast<HMENU>(111), nullptr, nullptr);
    child(frame, WC_STATIC, "Password:", SS_LEFT, 225, 44, 80, 18, 112);
    HWND pw = child(frame, WC_EDIT, "secret", WS_BORDER | ES_PASSWORD, 310, 40, 170, 24, 113);
    (void)pw;
    child(frame, WC_STATIC, "Grade:", SS_LEFT, 225, 74, 80, 18, 114);
    HWND combo = child(frame, WC_COMBOBOX, nullptr, CBS_DROPDOWNLIST | WS_VSCROLL, 310, 70, 170, 160, 115);
    for (const char* s : {"Kindergarten", "Grade 1", "Grade 2", "Grade 3", "Grade 4", "Grade 5"})
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessage(combo, CB_SETCURSEL, 2, 0);
    child(frame, WC_STATIC, "Room:", SS_LEFT, 225, 104, 80, 18, 116);
    HWND combo2 = child(frame, WC_COMBOBOX, "B-12", CBS_DROPDOWN, 310, 100, 170, 120, 117);
    SendMessage(combo2, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("A-01"));
    child(frame, WC_STATIC, nullptr, SS_ETCHEDHORZ, 225, 136, 255, 2, 118);

    HWND notes = child(frame, WC_EDIT, "", WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 170, 200, 90, 120);
    SetWindowText(notes, "Multi-line notes wrap at the edge of the box and scroll when they grow longer than it.\r\nSecond paragraph.");

    HWND list = child(frame, WC_LISTBOX, nullptr, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 225, 150, 120, 110, 121);
    for (const char* s : {"Adams", "Baker", "Clark", "Davis", "Evans", "Foster", "Garcia", "Hughes"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessage(list, LB_SETCURSEL, 1, 0);

    CWnd host;
    host.Attach(frame);
    static CImageList images;
    makeImages(images);
    static CTreeCtrl tree;
    tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                CRect(355, 150, 480, 310), &host, 122);
    tree.SetImageList(&images, TVSIL_NORMAL);
    HTREEITEM views = tree.InsertItem("Directory Lists", 0, 1);
    tree.InsertItem("Staff", 2, 2, views);
    tree.InsertItem("Students", 2, 2, views);
    HTREEITEM favs = tree.InsertItem("Favorites", 0, 1);
    HTREEITEM ann = tree.InsertItem("Smith, Ann", 3, 3, favs);
    tree.InsertItem("Jones, Bo", 2, 2, favs);
    tree.Expand(views, TVE_EXPAND);
    tree.Expand(favs, TVE_EXPAND);
    tree.SelectItem(ann);

    HWND prog = child(frame, PROGRESS_CLASS, nullptr, 0, 10, 272, 200, 18, 123);
    SendMessage(prog, PBM_SETPOS, 60, 0);

    static CRichEditCtrl rich;
    rich.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(495, 10, 685, 310), &host, 124);
    rich.PvSetRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}{\\colortbl ;\\red0\\green0\\blue160;\\red170\\green0\\blue0;}"
                  "\\pard\\qc\\f1\\fs32\\b\\cf1 Paravel\\b0\\par"
                  "\\pard\\qc\\f0\\fs18\\cf0 Copyright \\'a9 2026\\par"
                  "\\pard\\ql\\fs20 This directory is for the use of {\\i families and staff} only. "
                  "{\\b\\cf2 Do not} copy or {\\ul distribute} it.\\par"
                  "\\pard\\qr\\fs16\\strike draft\\strike0  final\\par}");

    child(frame, WC_BUTTON, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 495, 400, 90, 28, IDOK);
    child(frame, WC_BUTTON, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 595, 400, 90, 28, IDCANCEL);
    child(frame, WC_STATIC, "Owner-drawn, bitmap and icon statics are drawn by their owners.", SS_LEFT | SS_NOPREFIX,
          10, 330, 470, 18, 125);

    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, 5);
    // The second combo shows its list dropped, over the window below it.
    SendMessage(combo2, CB_SHOWDROPDOWN, TRUE, 0);
    PvPumpMessages();
    if (!PvIsHeadless()) PvAdvanceTime(300);
    bool ok = PvWriteScreenshot(out);
    std::printf("%s: %s (%s)\n", ok ? "wrote" : "failed", out, PvBackendName());
    SendMessage(combo2, CB_SHOWDROPDOWN, FALSE, 0);
    host.Detach();
    DestroyWindow(frame);
    return ok ? 0 : 1;
}
