#pragma once
// The window system: handles, messages and constants, CWnd and message maps, the window DCs,
// message boxes, and the back-end hooks for tests and scripts.

#include "platform/win/winuser.h"
#include "platform/win/pvwin.h"
#include "platform/win/cwnd.h"
