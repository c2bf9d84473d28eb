#pragma once
// The Undo item's text as a menu shows it once the grid's update handler has run.

#include <string>

#include "grid/core/gxgrid.h"
#include "platform/ui/cmdui.h"
#include "platform/ui/menu.h"

class TextCmdUI : public CCmdUI {
public:
    std::string m_text;
    void SetText(LPCTSTR psz) override { m_text = psz ? psz : ""; }
};

// An id with no string resource: the menu item's own text decides.
constexpr UINT kUndoMenuId = 40123;

inline std::string GridUndoMenuText(CGXGridCore& grid)
{
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, kUndoMenuId, "");
    TextCmdUI ui;
    ui.m_nID = kUndoMenuId;
    ui.m_pMenu = &menu;
    grid.CanUndo(&ui);
    return ui.m_text;
}
