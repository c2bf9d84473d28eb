// Scrolling: top row and left column, scroll bars and scrolling the window contents.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"

BOOL CGXGridCore::SetTopRow(ROWCOL, UINT, BOOL) { return 0; }
BOOL CGXGridCore::SetLeftCol(ROWCOL, UINT, BOOL) { return 0; }
BOOL CGXGridCore::ScrollToCell(ROWCOL, ROWCOL, int, BOOL) { return 0; }
BOOL CGXGridCore::ScrollCells(int, ROWCOL, UINT) { return 0; }
void CGXGridCore::UpdateScrollBars(BOOL, BOOL) {}
void CGXGridCore::SetScrollBarMode(int, int, BOOL) {}
int CGXGridCore::GetScrollBarMode(int) { return 0; }
BOOL CGXGridCore::ScrollWithHint(int, ROWCOL, UINT, BOOL) { return 0; }
void CGXGridCore::ScrollWindowContents(int, int, const CRect*) {}
BOOL CGXGridCore::CanChangeTopRow(ROWCOL) { return TRUE; }
BOOL CGXGridCore::CanChangeLeftCol(ROWCOL) { return TRUE; }
void CGXGridCore::SetGridScrollPos(int, int, BOOL) {}
int CGXGridCore::GetGridScrollPos(int) { return 0; }
void CGXGridCore::SetGridScrollRange(int, int, int, BOOL) {}
void CGXGridCore::GetGridScrollRange(int, int&, int&) {}
void CGXGridCore::StartAutoScroll(BOOL, BOOL, int) {}
void CGXGridCore::LockScrollBars(BOOL) {}
BOOL CGXGridCore::OnGridVScroll(UINT, UINT, CScrollBar*) { return 0; }
BOOL CGXGridCore::OnGridHScroll(UINT, UINT, CScrollBar*) { return 0; }
void CGXGridCore::OnGridSize(UINT, int, int) {}
CScrollBar* CGXGridCore::GetScrollBarCtrl(int) const { return nullptr; }
void CGXGridCore::ShowScrollBar(int, BOOL) {}
