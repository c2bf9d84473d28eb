#pragma once
// The cell-control fixture with its window shown, for the combo cells: keys pressed as the
// user presses them (to whichever window has the focus, the pop-up list included) and the
// text a cell shows.

#include "gxcellctlfixture.h"

#include "platform/win/pvwin.h"

class ComboFixture : public CellCtlFixture {
protected:
    void SetUp() override
    {
        CellCtlFixture::SetUp();
        m_wnd.ShowWindow(SW_SHOW);
        m_wnd.UpdateWindow();
    }
    void Press(UINT vk, bool alt = false)
    {
        PvInputKeyStroke(vk, false, false, alt);
        PvPumpMessages();
    }
    CString Shown(ROWCOL r, ROWCOL c)
    {
        CGXStyle style;
        m_grid->ComposeCellStyle(r, c, style);
        CString s;
        m_grid->GetRegisteredControl(style.GetControl())->GetDisplayText(s, r, c, nullptr, style);
        return s;
    }
};
