#include "app/NotesIndicator.h"

void SetNotesIndicator(CStatusBar& bar, HICON hNotesIcon, BOOL bHasNotes)
{
    const int kPane = 3;
    if (!::IsWindow(bar.GetSafeHwnd())) return;
    bar.SetPaneText(kPane, bHasNotes ? "Notes" : "");
    bar.GetStatusBarCtrl().SetIcon(kPane, bHasNotes ? hNotesIcon : nullptr);
}
