#include "app/FrameCommands.h"

#include "app/Config.h"
#include "platform/sys/shell.h"
#include "platform/win/win.h"
#include "resources/frame_ids.h"

BOOL IsFrameCommandEnabled(UINT nID, const FrameCommandState& s)
{
    switch (nID) {
    case ID_GO_BACK:
        return s.recordMode ? s.historyCanGoBack : s.browserCanGoBack;
    case ID_GO_FORWARD:
        return s.recordMode ? s.historyCanGoForward : s.browserCanGoForward;
    case ID_ADD_FAVORITES:
    case ID_ORGANIZE_FAVORITES:
    case ID_ADD_NOTES:
    case ID_NOTES_PANE:
        return s.detailsPageShown;
    case ID_PRINT_DETAILS:
    case ID_SAVE_LIST:
        return s.recordMode;
    case ID_PRINT_MEDIA:
        return !s.recordMode;
    default:
        return TRUE;
    }
}

CString ScrollToJumpText(const CString& typed)
{
    const int star = typed.Find('*');
    return star > 0 ? typed.Left(star) : typed;
}

char LetterForCommand(UINT nID)
{
    for (int i = 0; i < 26; ++i) {
        if (g_nLetterCommandIds[i] == nID)
            return char('A' + i);
    }
    return 0;
}

CString ShowAllQuery(const CString& defaultSort)
{
    CString sql = "SELECT * FROM Data";
    if (!defaultSort.IsEmpty())
        sql += " ORDER BY " + defaultSort;
    return sql;
}

BOOL OpenCopyrightText(HWND hOwner, const CString& dataPath)
{
    for (;;) {
        for (const char* name : {"cpyright.rtf", "cpyright.txt"}) {
            if (FileOpensForReading(dataPath + name)) {
                ShellExecute(hOwner, "open", dataPath + name, nullptr, nullptr, SW_SHOWNORMAL);
                return TRUE;
            }
        }
        const CString text = "The files " + dataPath + "cpyright.txt" + " or " + dataPath + "cpyright.rtf" +
                             " could not be found.\n" + kReinstallAdvice;
        if (AfxMessageBox(text, MB_RETRYCANCEL) != IDRETRY)
            return FALSE;
    }
}

void StartHelpViewer(const CString& dataPath)
{
    // The desktop's handler stands in for the help viewer. It gets the path as one argument,
    // never through a command line to split, so a data folder with blanks works unquoted.
    ShellExecute(nullptr, "open", dataPath + "pv.chm", nullptr, nullptr, SW_SHOWNORMAL);
}
