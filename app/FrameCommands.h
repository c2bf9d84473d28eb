#pragma once
// The main frame's command logic that needs no window: which commands are enabled in which
// state, the Scroll To text, the Show All query, and the copyright and help commands.

#include "platform/base/CString.h"

// What the update handlers look at.
struct FrameCommandState {
    bool recordMode = false;      // the outline's record-mode flag: Back/Forward walk our history
    bool browserCanGoBack = false;
    bool browserCanGoForward = false;
    bool historyCanGoBack = false;
    bool historyCanGoForward = false;
    bool detailsPageShown = false; // the HTML pane shows a details page
};

// Whether a command with an update rule is enabled in the state; TRUE for commands without one.
BOOL IsFrameCommandEnabled(UINT nID, const FrameCommandState& state);

// The text Scroll To jumps with: cut before the first "*" when that lies after the first
// character; a text beginning with "*" is used unchanged.
CString ScrollToJumpText(const CString& typed);

// The letter of a letter-bar command, or 0.
char LetterForCommand(UINT nID);

// "SELECT * FROM Data" with " ORDER BY " + the default sort when there is one.
CString ShowAllQuery(const CString& defaultSort);

// Opens the copyright text (cpyright.rtf, else cpyright.txt, in the data folder) with its
// program, offering Retry and Cancel while neither exists. FALSE when the user cancelled.
BOOL OpenCopyrightText(HWND hOwner, const CString& dataPath);

// Starts the desktop's help viewer on the data folder's help file; its success is not tested.
void StartHelpViewer(const CString& dataPath);
