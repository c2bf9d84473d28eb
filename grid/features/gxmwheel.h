#pragma once
// The mouse wheel and the wheel button: the wheel scrolls (a page, when so set) and, with Ctrl,
// zooms; the wheel button pans, held down or clicked once, with a mark at the origin and a
// cursor that shows the direction. Without a grid the plug-ins drive a window through its
// scroll and zoom messages.

#include <memory>

#include "grid/core/gxfeature.h"
#include "grid/core/gxgrid.h"
#include "platform/win/cwnd.h"

// Timer of panning on the grid window.
constexpr UINT_PTR GX_PANNING_TIMER = 991;
// Zoom messages of a window without a grid: get (answers the percent), set (wParam percent).
constexpr UINT WM_GX_GETZOOM = 2015;
constexpr UINT WM_GX_SETZOOM = 2016;
// The origin mark (red pixels are transparent) and the panning cursors.
constexpr UINT GX_IDB_WHEELORIGIN = 20033;
enum : UINT {
    GX_IDC_PAN_UP = 20198,
    GX_IDC_PAN_LEFT = 20199,
    GX_IDC_PAN_RIGHT = 20200,
    GX_IDC_PAN_DOWN = 20201,
    GX_IDC_PAN_NONE = 20202,
};

// Lines one wheel notch scrolls (-1: a page), read once and again when bForce is set.
int GXGetMouseWheelScrollLines(BOOL bForce = FALSE);

// Timings and distances of panning, one set for the process.
struct GX_INTELLI_STATE {
    DWORD nClickTime = 400;   // a wheel-button release this soon without moving ends panning
    DWORD nPacingBase = 600;  // ms between steps at the slowest speed
    int nStepDivisor = 2;     // pixels per extra step beyond the threshold
    int nStepThreshold = 40;  // distance where the steps start to grow
    HCURSOR hCursor = nullptr;
    UINT nCursorId = 0;
};
GX_INTELLI_STATE* GXGetIntelliState();

// The mark at the panning origin: a 30 x 30 child window of the scrolled window.
class CGXMouseWheelOriginWnd : public CWnd {
public:
    static constexpr int kSize = 30;
    // Shows the mark centred on the point (client coordinates of pParent).
    BOOL CreateAt(CWnd* pParent, CPoint point);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

class CGXMouseWheelPlugin : public CGXPluginComponent {
public:
    ~CGXMouseWheelPlugin() override = default;
    // Zoom in percent, 0 when the window has none.
    virtual int GetZoom();
    virtual void SetZoom(int nZoom);
    // Codes 0 up (left) by nCount, 1 down (right) by nCount, 2 a page up (left), 3 a page down (right).
    virtual void VScroll(int nCode, int nCount);
    virtual void HScroll(int nCode, int nCount);

    enum : int { kLineBack = 0, kLineForward = 1, kPageBack = 2, kPageForward = 3 };

protected:
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    DECLARE_MESSAGE_MAP()

    // Whether the window has a scroll bar in that direction (its style or a bar control).
    BOOL HasScrollBar(int nBar);
    // Sends nCount scroll messages of nCode and one end-scroll, to the window or to the splitter
    // that owns its bar.
    void SendScroll(UINT message, int nBar, int nCode, int nCount);
};

class CGXIntelliMousePlugin : public CGXMouseWheelPlugin {
public:
    ~CGXIntelliMousePlugin() override;
    BOOL IsPanning() const { return m_bPanning; }
    UINT GetCursorId() const { return m_nCursorId; }
    CGXMouseWheelOriginWnd* GetOriginWnd() const { return m_pOriginWnd.get(); }
    CPoint GetOrigin() const { return m_ptOrigin; }
    // Ends panning: the mark goes, capture and timer are released, the cursor moves back.
    void StopPanning();

    BOOL m_bHorzPanning = TRUE;
    BOOL m_bVertPanning = TRUE;

protected:
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnOtherButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnCancelMode();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    void StartPanning();
    void ShowOrigin();
    void HideOrigin();
    void SetPanningCursor(UINT nId);

    BOOL m_bPanning = FALSE;
    DWORD m_nStartTick = 0;  // 0 once the cursor moved away: the release no longer ends panning
    int m_nLastDirection = 0;
    DWORD m_nLastScrollTick = 0;
    DWORD m_nMinInterval = 0;
    UINT_PTR m_nTimer = 0;
    CPoint m_ptOrigin;
    std::unique_ptr<CGXMouseWheelOriginWnd> m_pOriginWnd;
    UINT m_nCursorId = 0;
};

// Wheel and panning over a grid: its own zoom and scrolling.
class CGXGridIntelliMousePlugin : public CGXIntelliMousePlugin {
public:
    explicit CGXGridIntelliMousePlugin(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    int GetZoom() override;
    void SetZoom(int nZoom) override;
    void VScroll(int nCode, int nCount) override;
    void HScroll(int nCode, int nCount) override;

protected:
    void Scroll(BOOL bRows, int nCode, int nCount);
    CGXGridCore* m_pGrid;
};
