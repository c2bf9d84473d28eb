#pragma once
// Auto-scroll: while a drag (selecting, moving, resizing) is held outside the cells, the grid
// scrolls towards the mouse, faster the longer and the farther it is held; a keyboard drag
// repeats its key. The grid starts the timer (StartAutoScroll) with the drag's settings.

#include "grid/core/gxfeature.h"
#include "grid/core/gxgrid.h"

// The grid's auto-scroll timer.
constexpr UINT_PTR GX_AUTOSCROLL_TIMER = 992;

class CGXAutoScrollPlugin : public CGXPluginComponent {
public:
    explicit CGXAutoScrollPlugin(CGXGridCore* pGrid) : m_pGrid(pGrid) {}
    ~CGXAutoScrollPlugin() override;

    BOOL IsRunning() const { return m_bRunning; }
    int GetSpeed() const { return m_nSpeed; }
    int GetStepInterval() const { return m_nStepInterval; }
    // Kills the timer and tells the grid that the drag ended.
    void Stop();

    static constexpr int kStartInterval = 80;  // ms between steps at first
    static constexpr int kMaxSpeed = 80;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnCancelMode();
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    void Begin();
    // Scrolls by one step where the drag asks; the distance that drives the acceleration, or -1
    // when nothing could scroll.
    int Step(int& nDivisor);
    void Accelerate(int nDistance, int nDivisor);
    void SendMouseMove(CPoint ptScreen);
    BOOL ScrollGrid(int nDirection);

    CGXGridCore* m_pGrid;
    BOOL m_bRunning = FALSE;
    BOOL m_bVert = TRUE;
    BOOL m_bHorz = TRUE;
    int m_nDirection = -1;
    BOOL m_bKeyboard = FALSE;
    UINT m_nKey = 0;
    CRect m_rectInner;
    DWORD m_nStartTick = 0;
    DWORD m_nLastStepTick = 0;
    DWORD m_nLastMoveTick = 0;
    int m_nStepInterval = kStartInterval;
    int m_nMoveInterval = kStartInterval;
    int m_nSpeed = 1;
    int m_nLastDistance = 0;
    CPoint m_ptLast;
};
