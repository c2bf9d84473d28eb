// A headless desktop with one grid over a 1280×1000 window, for benches that drive the grid's own
// operations rather than its paint.
#pragma once

#include <cstdlib>
#include <memory>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

struct BenchGridWindow {
    CWnd wnd;
    std::unique_ptr<CGXGridCore> grid;
    BenchGridWindow(ROWCOL nRows, ROWCOL nCols)
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1280, 1000, nullptr, nullptr);
        grid = std::make_unique<CGXGridCore>(&wnd);
        grid->Initialize();
        grid->SetRowCount(nRows, GX_NOREDRAW);
        grid->SetColCount(nCols, GX_NOREDRAW);
    }
    ~BenchGridWindow()
    {
        grid.reset();
        wnd.DestroyWindow();
    }
    BenchGridWindow(const BenchGridWindow&) = delete;
    BenchGridWindow& operator=(const BenchGridWindow&) = delete;
};
