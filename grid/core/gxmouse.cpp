// Mouse handling, cell clicks and cursors. The defaults below are the bare interface.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"

void CGXGridCore::Activate(BOOL) {}
void CGXGridCore::MouseOverCell(ROWCOL, ROWCOL) {}
void CGXGridCore::OnMouseEnterCell(ROWCOL, ROWCOL) {}
BOOL CGXGridCore::OnLeftCellClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnMiddleCellClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnRightCellClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnLeftCellDoubleClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnMiddleCellDoubleClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnRightCellDoubleClick(ROWCOL, ROWCOL, UINT) { return 0; }
BOOL CGXGridCore::OnCellButtonClicked(ROWCOL, ROWCOL) { return 0; }
BOOL CGXGridCore::OnLeftCellMouse(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnMiddleCellMouse(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnRightCellMouse(ROWCOL, ROWCOL, UINT, CPoint) { return 0; }
void CGXGridCore::SetGridCursor(UINT) {}
UINT CGXGridCore::CursorForPoint(CPoint) { return 0; }
void CGXGridCore::ForceCursor(UINT) {}
BOOL CGXGridCore::OnGridSetCursor(CWnd*, UINT, UINT) { return 0; }
BOOL CGXGridCore::OnGridMouseMove(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridLButtonDblClk(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridLButtonDown(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridLButtonUp(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridMButtonDblClk(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridMButtonDown(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridMButtonUp(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridRButtonDblClk(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridRButtonDown(UINT, CPoint) { return 0; }
BOOL CGXGridCore::OnGridRButtonUp(UINT, CPoint) { return 0; }
void CGXGridCore::OnGridCancelMode() {}
int CGXGridCore::OnGridMouseActivate(CWnd*, UINT, UINT) { return 0; }
