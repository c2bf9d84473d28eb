#pragma once
// The top-level windows of every program of this user's session, so that FindWindow also finds
// another process's window (the CD start program looks for a running setup that way). Each
// process keeps its own lines of a small shared file current; lines of dead processes are
// ignored and dropped.

#include <string>

#include "platform/win/winuser.h"

namespace pvwin {

// Rewrites this process's lines when its top-level windows or their titles changed since the
// last call. Cheap when nothing changed; called when the message loop goes idle.
void PublishSessionWindows();
// A top-level window of another live process: class compared case-blind, title exactly (any
// title when null). The handle only says "found": no call of this process can use it.
HWND FindSessionWindow(LPCTSTR lpClassName, LPCTSTR lpWindowName);
// The shared file (in the registry folder).
std::string SessionWindowsFile();

}  // namespace pvwin
