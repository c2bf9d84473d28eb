#pragma once
// The application framework: application object, frame/document/view, menus and accelerators,
// control bars, splitter, dialogs with data exchange, common dialogs, and our resource format.

#include "platform/ui/afxres.h"
#include "platform/ui/resources.h"
#include "platform/ui/menu.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/winapp.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/frame.h"
#include "platform/ui/ctrlbar.h"
#include "platform/ui/splitter.h"
#include "platform/ui/dialog.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/msgbox.h"
#include "platform/base/stringtable.h"
#include "platform/win/cwnd.h"
