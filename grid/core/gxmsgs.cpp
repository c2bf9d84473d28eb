// The grid window's messages and the private messages. Each handler answers whether it handled
// the message, so the host falls back to default processing. Defaults: not handled.

#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"

#include "grid/core/gxctrl.h"
#include "platform/win/win.h"

LRESULT CGXGridCore::OnGridRecordNav(WPARAM, LPARAM) { return 0; }
LRESULT CGXGridCore::OnGridValidate(WPARAM, LPARAM) { return 0; }
LRESULT CGXGridCore::OnGridQueryCell(WPARAM, LPARAM) { return 0; }
LRESULT CGXGridCore::OnGridTabName(WPARAM, LPARAM) { return 0; }
void CGXGridCore::NotifyGridListeners() {}
void CGXGridCore::OnGridShowWindow(BOOL, UINT) {}
HBRUSH CGXGridCore::OnGridCtlColor(CDC*, CWnd*, UINT) { return 0; }
void CGXGridCore::OnGridDestroy()
{
    GridFindReplaceState::Get().OnGridWindowDestroyed(m_pGridWnd ? m_pGridWnd->GetSafeHwnd() : nullptr);
}
BOOL CGXGridCore::OnGridCommand(WPARAM, LPARAM) { return 0; }
void CGXGridCore::OnGridWinIniChange(LPCTSTR) {}
void CGXGridCore::OnGridSysColorChange() {}
UINT CGXGridCore::OnGridGetDlgCode() { return 0; }
BOOL CGXGridCore::OnGridPreTranslateMessage(MSG*) { return 0; }
BOOL CGXGridCore::OnGridPluginMessage(UINT, WPARAM, LPARAM, LRESULT&) { return 0; }
void CGXGridCore::OnGridTimer(UINT_PTR) {}
