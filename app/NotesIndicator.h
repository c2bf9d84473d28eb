#pragma once
// The status bar's notes indicator (pane 3): "Notes" with the notes icon while the record whose
// details page is shown has a note, empty otherwise.

#include "platform/ui/ctrlbar.h"

void SetNotesIndicator(CStatusBar& bar, HICON hNotesIcon, BOOL bHasNotes);
