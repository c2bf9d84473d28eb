#pragma once
// A grid window in a headless top-level window, with the grid library initialised and the
// standard controls registered, and a recorder for what its paints draw.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/gdi/recording.h"
#include "platform/win/win.h"

// A grid whose cells show "r,c" from FetchStoredStyle and whose counts are its own.
class CTestGridWnd : public CGXGridWnd {
public:
    ROWCOL m_nRows = 20;
    ROWCOL m_nCols = 5;
    BOOL m_bRefuseTopRow = FALSE;
    std::vector<CRect> m_paintClips;

    ROWCOL RowCount() override { return m_nRows; }
    ROWCOL ColCount() override { return m_nCols; }
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override
    {
        const BOOL b = CGXGridWnd::FetchStoredStyle(nRow, nCol, style, mt, nType);
        if (nRow > 0 && nCol > 0 && nType == 0 && !style.GetIncludeValue())
            style.SetValue((std::to_string(nRow) + "," + std::to_string(nCol)).c_str());
        return b || (nRow > 0 && nCol > 0);
    }
    BOOL CanChangeTopRow(ROWCOL) override { return !m_bRefuseTopRow; }
    void OnGridDraw(CDC* pDC) override
    {
        CRect clip;
        pDC->GetClipBox(&clip);
        m_paintClips.push_back(clip);
        CGXGridWnd::OnGridDraw(pDC);
    }
};

class GridWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        m_frame = std::make_unique<CWnd>();
        ASSERT_TRUE(m_frame->CreateEx(0, AfxRegisterWndClass(0), "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1700,
                                      1100, nullptr, nullptr));
    }
    void TearDown() override
    {
        m_grid.reset();
        if (m_frame && m_frame->GetSafeHwnd())
            m_frame->DestroyWindow();
        m_frame.reset();
        PvResetWindowSystem();
    }

    // A grid of the given size in a child window of w x h pixels, initialised and (when visible)
    // painted once.
    CTestGridWnd& MakeGrid(ROWCOL nRows, ROWCOL nCols, int w = 600, int h = 400, DWORD dwStyle = WS_VISIBLE)
    {
        m_grid = std::make_unique<CTestGridWnd>();
        m_grid->m_nRows = nRows;
        m_grid->m_nCols = nCols;
        EXPECT_TRUE(m_grid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | dwStyle, CRect(0, 0, w, h),
                                     m_frame.get(), 100));
        m_grid->Initialize();
        m_grid->UpdateWindow();
        return *m_grid;
    }

    // Draws the whole client area of the grid into a recording DC.
    std::unique_ptr<CRecordingDC> DrawAll(CRect clip = CRect())
    {
        CRect client;
        m_grid->GetClientRect(&client);
        auto dc = std::make_unique<CRecordingDC>(client.Width(), client.Height());
        if (!clip.IsRectEmpty())
            dc->IntersectClipRect(&clip);
        m_grid->OnGridDraw(dc.get());
        return dc;
    }

    std::unique_ptr<CWnd> m_frame;
    std::unique_ptr<CTestGridWnd> m_grid;
};
