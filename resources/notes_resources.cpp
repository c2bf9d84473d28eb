// The notes window: one person's note in a rich edit over its two buttons.

#include "resources/notes_ids.h"

#include "platform/controls/ctldefs.h"
#include "platform/ui/resources.h"

namespace {

const PvDialogItemTemplate kNotesItems[] = {
    {RICHEDIT_CLASS, "", IDC_NOTES_EDIT,
     WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 0, 7, 7, 226, 104},
    {"BUTTON", "&Close", IDC_NOTES_CLOSE, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 183, 116, 50, 14},
    {"BUTTON", "Cl&ear", IDC_NOTES_CLEAR, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 127, 116, 50, 14},
};
const PvDialogTemplate kNotes = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE, 0, 0, 0, 240, 137, "Organize Notes", nullptr, 0,
    kNotesItems, sizeof kNotesItems / sizeof kNotesItems[0],
};

} // namespace

void PvRegisterNotesResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PvRegisterDialog(IDD_ORGANIZE_NOTES, kNotes);
}
