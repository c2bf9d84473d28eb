#pragma once
// Cell tips: when the mouse rests on a cell whose content is cut off, or runs outside the grid
// or the screen, a small pop-up shows the whole content over the cell. The plug-in follows the
// mouse over the grid window; the cell's control decides whether a tip is needed and prepares
// the tip window that the window manager keeps per tip kind.

#include <map>
#include <memory>

#include "grid/core/gxctrl.h"
#include "grid/core/gxfeature.h"
#include "grid/core/gxgrid.h"
#include "platform/gdi/gdiobj.h"
#include "platform/win/cwnd.h"

// The timer of the cell-tip plug-in on the grid window.
constexpr UINT_PTR GX_CELLTIP_TIMER = 993;

// A tip window: a tool-window pop-up of the desktop. Mouse messages that reach it go to the
// grid window at the same screen point, other input unchanged, so the tip never gets in the way.
class CGXCellTipWnd : public CWnd {
    DECLARE_DYNAMIC(CGXCellTipWnd)
public:
    explicit CGXCellTipWnd(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    ~CGXCellTipWnd() override;
    virtual BOOL CreateTipWnd();
    // Shows the tip at its rectangle without taking the focus; hides it. Both only change state.
    virtual void ShowTip();
    virtual void HideTip();
    // Where the tip shows, in screen coordinates.
    void SetTipRect(const CRect& rect) { m_rectTip = rect; }
    const CRect& GetTipRect() const { return m_rectTip; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CGXGridCore* m_pGrid;
    CRect m_rectTip;
};

// The tip of a text: the cell's text in the cell's font at the grid's zoom.
class CGXTextCellTipWnd : public CGXCellTipWnd {
    DECLARE_DYNAMIC(CGXTextCellTipWnd)
public:
    explicit CGXTextCellTipWnd(CGXGridCore* pGrid) : CGXCellTipWnd(pGrid) {}
    // The text, its font and the tip's rectangle (screen); the text sits 3 pixels in from the
    // left and 1 from the top.
    void PrepareText(const CString& sText, const LOGFONT& font, const CRect& rectTip);
    static constexpr int kPadX = 6;  // the tip is this much wider than its text
    static constexpr int kPadY = 2;  // and this much taller
    const CRect& GetTextRect() const { return m_rectText; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    CFont m_font;
    CRect m_rectText;
};

// The tip of a "#BMP" picture at its own size.
class CGXStaticBitmapCellTipWnd : public CGXCellTipWnd {
    DECLARE_DYNAMIC(CGXStaticBitmapCellTipWnd)
public:
    explicit CGXStaticBitmapCellTipWnd(CGXGridCore* pGrid) : CGXCellTipWnd(pGrid) {}
    // The picture (a packed DIB of the process-wide pool, not owned) and the tip's rectangle.
    void PrepareBitmap(HGLOBAL hDIB, const CRect& rectTip);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    HGLOBAL m_hDIB = nullptr;
};

// Makes the tip window of a kind, created at once; null for a kind it does not know.
class CGXCellTipWndFactory : public CObject {
    DECLARE_DYNCREATE(CGXCellTipWndFactory)
public:
    ~CGXCellTipWndFactory() override = default;
    virtual CGXCellTipWnd* CreateTipWnd(int nTipId);
    void SetGrid(CGXGridCore* pGrid) { m_pGrid = pGrid; }

protected:
    CGXGridCore* m_pGrid = nullptr;
};

// The tip windows by kind, and the factory that makes them on first use.
class CGXCellTipWndManager {
public:
    CGXCellTipWndManager(CGXGridCore* pGrid, CRuntimeClass* pFactoryClass);
    ~CGXCellTipWndManager();
    CGXCellTipWndManager(const CGXCellTipWndManager&) = delete;
    CGXCellTipWndManager& operator=(const CGXCellTipWndManager&) = delete;
    // The window of a kind, made on first use; null when the factory makes none.
    CGXCellTipWnd* GetTipWnd(int nTipId);
    // The window of a kind already made, or null.
    CGXCellTipWnd* FindTipWnd(int nTipId) const;

private:
    CGXGridCore* m_pGrid;
    CRuntimeClass* m_pFactoryClass;
    std::unique_ptr<CGXCellTipWndFactory> m_pFactory;
    std::map<int, std::unique_ptr<CGXCellTipWnd>> m_tips;
};

// Follows the mouse over the grid: a cell that rests under it for the delay gets its tip.
class CGXCellTipPlugin : public CGXPluginComponent {
public:
    CGXCellTipPlugin(CGXGridCore* pGrid, CRuntimeClass* pFactoryClass, BOOL bHeaderTips, BOOL bEditTips, UINT nDelay);
    ~CGXCellTipPlugin() override;

    virtual BOOL NeedsCellTip(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl);
    virtual int GetTipId(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl);
    virtual void PrepareTipWnd(ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, CGXControl* pControl,
                               CGXCellTipWnd* pTipWnd);
    // Shows the tip of the current cell when it needs one; hides the tip shown.
    virtual void ShowTip();
    virtual void HideTip();
    virtual void StartTimer();
    virtual void StopTimer();
    // Header cells (without the header option), the edited cell (without the edit option),
    // hidden and zero-size rows and columns get no tip.
    virtual BOOL IsExcluded(ROWCOL nRow, ROWCOL nCol);

    BOOL IsTipShown() const { return m_nShownTipId != GX_NO_CELLTIP; }
    int GetShownTipId() const { return m_nShownTipId; }
    CGXCellTipWnd* GetShownTipWnd() const;
    ROWCOL GetTipRow() const { return m_nRow; }
    ROWCOL GetTipCol() const { return m_nCol; }
    BOOL IsTimerRunning() const { return m_nTimer != 0; }

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnContentMoved();
    DECLARE_MESSAGE_MAP()

    // Forgets the cell under the mouse and hides its tip: the next move starts the delay again.
    void ForgetCell();
    BOOL HasCell() const { return m_nRow != GX_NOCELL; }

    static constexpr ROWCOL GX_NOCELL = ROWCOL(-1);
    CGXGridCore* m_pGrid;
    CGXCellTipWndManager m_manager;
    ROWCOL m_nRow = GX_NOCELL;
    ROWCOL m_nCol = GX_NOCELL;
    int m_nShownTipId = GX_NO_CELLTIP;
    UINT_PTR m_nTimer = 0;
    BOOL m_bHeaderTips;
    BOOL m_bEditTips;
    UINT m_nDelay;
};
