#pragma once
// The grid fixture with a grid that logs its button hook, and helpers the cell-control tests
// share: clicks at a point, the clipboard's text.

#include <cstring>
#include <utility>
#include <vector>

#include "gxgridfixture.h"
#include "platform/sys/globalmem.h"

class HookGrid : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    BOOL OnCellButtonClicked(ROWCOL nRow, ROWCOL nCol) override
    {
        m_clicks.emplace_back(nRow, nCol);
        return CGXGridCore::OnCellButtonClicked(nRow, nCol);
    }
    std::vector<std::pair<ROWCOL, ROWCOL>> m_clicks;
};

class CellCtlFixture : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_wnd.m_pGrid = nullptr;
        m_grid = std::make_unique<HookGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->Initialize();
        m_grid->SetRowCount(20);
        m_grid->SetColCount(6);
        m_wnd.SetFocus();
    }

    HookGrid& Hook() { return static_cast<HookGrid&>(*m_grid); }
    CGXControl* Control() { return m_grid->CurrentCellControl(); }

    // A cell of control nID (and more of the style), made current.
    void Place(ROWCOL r, ROWCOL c, WORD nID, CGXStyle style = CGXStyle())
    {
        style.SetControl(nID);
        SetStyle(r, c, style);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r, c, 0));
    }
    void Down(CPoint pt) { m_grid->OnGridLButtonDown(MK_LBUTTON, pt); }
    void Up(CPoint pt) { m_grid->OnGridLButtonUp(0, pt); }
    void Click(CPoint pt)
    {
        Down(pt);
        Up(pt);
    }
    // A character and a key as the grid window receives them.
    BOOL Char(UINT ch) { return m_grid->ProcessKeyMessage(WM_CHAR, ch, 1); }
    BOOL KeyUp(UINT vk) { return m_grid->ProcessKeyMessage(WM_KEYUP, vk, 1); }

    static CString ClipboardText()
    {
        CString s;
        if (!::OpenClipboard(nullptr))
            return s;
        if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(GlobalLock(h))) {
                s = CString(p, int(strnlen(p, GlobalSize(h))));
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
        return s;
    }
    static void PutOnClipboard(const char* pszText)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        EmptyClipboard();
        const size_t n = std::strlen(pszText) + 1;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
        std::memcpy(GlobalLock(h), pszText, n);
        GlobalUnlock(h);
        SetClipboardData(CF_TEXT, h);
        CloseClipboard();
    }
};
