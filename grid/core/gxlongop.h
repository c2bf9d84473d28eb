#pragma once
// Feedback during a long grid operation: a scoped object on the caller's stack. The work (status
// text, message pumping, the cancel question) is done by a process-wide implementation in the
// library state; without one the objects only count nesting levels and every feedback request
// reports that nothing happened.

#include "platform/base/pvdefs.h"

class CGXLongOperation;

class CGXAbstractLongOperationImp {
public:
    virtual ~CGXAbstractLongOperationImp() = default;
    virtual void Start(CGXLongOperation* pOp) = 0;
    virtual void End(CGXLongOperation* pOp) = 0;
    virtual void FreeLevelText(CGXLongOperation* pOp) = 0;
    virtual void SetStatusText(CGXLongOperation* pOp, LPCTSTR pszText, BOOL bCopy) = 0;
    virtual BOOL ProcessMessagesQueryAbort(CGXLongOperation* pOp, BOOL& bAbort) = 0;
    virtual BOOL ProcessMessages(CGXLongOperation* pOp) = 0;
    virtual void PumpMessages(CGXLongOperation* pOp) = 0;
};

// The process-wide record every long operation shares.
struct CGXLongOperationState {
    // Wait before the first feedback of an outermost operation, and between later ones.
    static constexpr DWORD kFirstWaitMs = 750;
    static constexpr DWORD kLaterWaitMs = 1500;
    // Level texts are indexed by depth, so at most this many levels nest.
    static constexpr int kMaxLevels = 64;

    int m_nDepth = 0;
    int m_nPercentOwner = -1;  // level index that reports a percentage
    int m_nPercent = -1;       // 0..100, -1 none
    DWORD m_nFirstWait = kFirstWaitMs;
    DWORD m_nLaterWait = kLaterWaitMs;
    BOOL m_bAskQuestion = TRUE;
    BOOL m_bCanCancel = TRUE;
    BOOL m_bRollbackPossible = TRUE;
    BOOL m_bFeedbackShown = FALSE;
    BOOL m_bCancelKey = FALSE;
    BOOL m_bAnswered = FALSE;
    BOOL m_bRollbackRequested = FALSE;
    LPCTSTR m_apszLevelTexts[kMaxLevels] = {};
    BOOL m_abLevelTextOwned[kMaxLevels] = {};
    int m_nTurningMark = 0;
    HWND m_hStatusWnd = nullptr;
    CGXAbstractLongOperationImp* m_pImp = nullptr;
};

CGXLongOperationState& GXGetLongOperationState();

class CGXLongOperation {
public:
    CGXLongOperation();
    ~CGXLongOperation();
    CGXLongOperation(const CGXLongOperation&) = delete;
    CGXLongOperation& operator=(const CGXLongOperation&) = delete;

    void FreeLevelText();
    void SetStatusText(LPCTSTR pszText, BOOL bCopy = TRUE);
    // 1 when feedback was given; 0 while the wait has not passed or without an implementation.
    BOOL ProcessMessages();
    // Clears bAbort first; sets it when the user chose to cancel.
    BOOL ProcessMessagesQueryAbort(BOOL& bAbort);
    void PumpMessages();

    // The percentage protocol: a level claims the display unless an outer level holds it.
    static void ClaimPercent();
    static void SetPercentDone(int nPercent);
    static void ReleasePercent();
    static BOOL GetRollbackConfirmed() { return GXGetLongOperationState().m_bRollbackRequested; }
    static void SetCanCancel(BOOL b) { GXGetLongOperationState().m_bCanCancel = b; }
    static void SetRollbackPossible(BOOL b) { GXGetLongOperationState().m_bRollbackPossible = b; }
    static int GetDepth() { return GXGetLongOperationState().m_nDepth; }

    DWORD m_nStartTick = 0;
    DWORD m_nLastFeedbackTick = 0;
    LPCTSTR m_pszStatusText = nullptr;
    BOOL m_bShowDone = TRUE;
    BOOL m_bShowFeedback = TRUE;
};
