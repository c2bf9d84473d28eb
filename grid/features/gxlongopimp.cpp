#include "grid/features/gxlongopimp.h"

#include <algorithm>
#include <cstdio>

#include "grid/core/gxstate.h"
#include "platform/sys/system.h"
#include "platform/ui/afxres.h"
#include "platform/ui/frame.h"
#include "platform/ui/winapp.h"
#include "platform/win/win.h"

namespace {

// Messages a long operation swallows: keyboard, client and non-client mouse, and commands.
bool IsInputMessage(UINT m)
{
    return (m >= WM_KEYFIRST && m <= 0x0108) || (m >= 0x0200 && m <= 0x0209) || (m >= 0x00A0 && m <= 0x00A9)
           || m == WM_COMMAND;
}

// A window whose paint never validates must not keep the pump busy for ever.
constexpr int kMaxPumpedMessages = 10000;
constexpr LONG kMaxIdleCounts = 1000;
constexpr char const* kTurningMarks[4] = {"  -", "  \\", "  |", "  /"};

CGXLongOperationState& State() { return GXGetLongOperationState(); }
int Slot(int nDepth) { return std::min(nDepth, CGXLongOperationState::kMaxLevels - 1); }

// The frame receives the texts; a status window that went away falls back to it.
void FindStatusWindow()
{
    CGXLongOperationState& st = State();
    if (st.m_hStatusWnd && ::IsWindow(st.m_hStatusWnd))
        return;
    st.m_hStatusWnd = nullptr;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->GetSafeHwnd() && pMain->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        st.m_hStatusWnd = pMain->GetSafeHwnd();
}

const CString& LongOpText(int n) { return GXGetLibraryState().m_astrLongOpTexts[n]; }

void WaitCursor(int nCode)
{
    if (CWinApp* pApp = AfxGetApp())
        pApp->DoWaitCursor(nCode);
}

}  // namespace

CGXLongOperationImp::Level& CGXLongOperationImp::LevelAt(int nDepth)
{
    while (int(m_levels.size()) <= nDepth)
        m_levels.emplace_back();
    return m_levels[size_t(nDepth)];
}

void CGXLongOperationImp::PublishLevel(int nDepth)
{
    CGXLongOperationState& st = State();
    const Level& level = LevelAt(nDepth);
    st.m_apszLevelTexts[Slot(nDepth)] = level.Text();
    st.m_abLevelTextOwned[Slot(nDepth)] = level.bOwned;
}

void CGXLongOperationImp::Start(CGXLongOperation* pOp)
{
    CGXLongOperationState& st = State();
    const int nLevel = st.m_nDepth++;
    Level& level = LevelAt(st.m_nDepth);
    level.strCopy.clear();
    level.pszShared = nullptr;
    level.bOwned = false;
    if (nLevel > 0) {
        // Inherit the enclosing text: share what is shared, copy what the parent owns, so that
        // the parent may change its text while this level runs.
        const Level& parent = LevelAt(nLevel);
        if (parent.pszShared)
            level.pszShared = parent.pszShared;
        else
            level.strCopy = parent.strCopy;
    } else {
        st.m_nPercentOwner = -1;
        st.m_nPercent = -1;
        st.m_bFeedbackShown = FALSE;
        st.m_bCancelKey = FALSE;
        st.m_bCanCancel = TRUE;
        st.m_bRollbackPossible = FALSE;
        level.pszShared = LongOpText(gxLongOpProcessing);
        FindStatusWindow();
    }
    PublishLevel(st.m_nDepth);
    pOp->m_pszStatusText = level.Text();
    st.m_bAnswered = FALSE;
    st.m_bRollbackRequested = FALSE;
    pOp->m_nStartTick = pOp->m_nLastFeedbackTick = GetTickCount();
    pOp->m_bShowDone = TRUE;
    pOp->m_bShowFeedback = TRUE;
}

void CGXLongOperationImp::End(CGXLongOperation* pOp)
{
    CGXLongOperationState& st = State();
    FreeLevelText(pOp);
    if (st.m_nDepth <= 0)
        return;
    --st.m_nDepth;
    if (st.m_nDepth == 0 && st.m_bFeedbackShown) {
        WaitCursor(-1);
        st.m_bFeedbackShown = FALSE;
        if (pOp->m_bShowDone && st.m_hStatusWnd && ::IsWindow(st.m_hStatusWnd))
            SendStatus(LongOpText(gxLongOpDone));
    }
}

void CGXLongOperationImp::FreeLevelText(CGXLongOperation* pOp)
{
    CGXLongOperationState& st = State();
    Level& level = LevelAt(st.m_nDepth);
    if (!level.bOwned)
        return;
    const bool bShown = pOp->m_pszStatusText == level.strCopy.c_str();
    level.strCopy.clear();
    level.pszShared = "";
    level.bOwned = false;
    if (bShown)
        pOp->m_pszStatusText = level.pszShared;
    PublishLevel(st.m_nDepth);
}

void CGXLongOperationImp::SetStatusText(CGXLongOperation* pOp, LPCTSTR pszText, BOOL bCopy)
{
    CGXLongOperationState& st = State();
    FreeLevelText(pOp);
    if (st.m_nPercentOwner != -1 && st.m_nPercentOwner < st.m_nDepth - 1)
        return;  // an outer level reports its percentage under its own text
    Level& level = LevelAt(st.m_nDepth);
    level.bOwned = bCopy;
    if (bCopy) {
        level.strCopy = pszText ? pszText : "";
        level.pszShared = nullptr;
    } else {
        level.pszShared = pszText ? pszText : "";
    }
    pOp->m_pszStatusText = level.Text();
    PublishLevel(st.m_nDepth);
}

BOOL CGXLongOperationImp::WaitHasPassed(const CGXLongOperation* pOp, DWORD nNow) const
{
    const CGXLongOperationState& st = State();
    if (!st.m_bFeedbackShown)
        return nNow - pOp->m_nStartTick >= st.m_nFirstWait;
    return nNow - pOp->m_nLastFeedbackTick >= st.m_nLaterWait;
}

BOOL CGXLongOperationImp::MayShow(const CGXLongOperation* pOp) const
{
    const CGXLongOperationState& st = State();
    return pOp->m_bShowFeedback && (st.m_nPercentOwner == -1 || st.m_nPercentOwner >= st.m_nDepth - 1)
           && st.m_hStatusWnd && ::IsWindow(st.m_hStatusWnd);
}

void CGXLongOperationImp::AppendTurningMark()
{
    CGXLongOperationState& st = State();
    m_strBuffer += kTurningMarks[st.m_nTurningMark & 3];
    st.m_nTurningMark = (st.m_nTurningMark + 1) & 3;
}

void CGXLongOperationImp::SendStatus(LPCTSTR pszText)
{
    m_strBuffer = pszText ? pszText : "";
    ::SendMessage(State().m_hStatusWnd, WM_SETMESSAGESTRING, 0, LPARAM(m_strBuffer.c_str()));
}

BOOL CGXLongOperationImp::ProcessMessages(CGXLongOperation* pOp)
{
    const DWORD nNow = GetTickCount();
    if (!WaitHasPassed(pOp, nNow))
        return FALSE;
    const CGXLongOperationState& st = State();
    if (MayShow(pOp)) {
        std::string text = pOp->m_pszStatusText ? pOp->m_pszStatusText : "";
        m_strBuffer = text;
        if (st.m_nPercent < 0) {
            AppendTurningMark();
        } else {
            char sz[16];
            std::snprintf(sz, sizeof sz, " %3d%%. ", st.m_nPercent);
            m_strBuffer += sz;
        }
        text = m_strBuffer;
        SendStatus(text.c_str());
    }
    PumpMessages(pOp);
    pOp->m_nLastFeedbackTick = nNow;
    return TRUE;
}

BOOL CGXLongOperationImp::ProcessMessagesQueryAbort(CGXLongOperation* pOp, BOOL& bAbort)
{
    bAbort = FALSE;
    const DWORD nNow = GetTickCount();
    if (!WaitHasPassed(pOp, nNow))
        return FALSE;
    CGXLongOperationState& st = State();
    if (MayShow(pOp)) {
        m_strBuffer = pOp->m_pszStatusText ? pOp->m_pszStatusText : "";
        if (st.m_nPercent >= 0) {
            char sz[16];
            std::snprintf(sz, sizeof sz, " %3d%%. ", st.m_nPercent);
            m_strBuffer += sz;
        }
        if (st.m_bCanCancel) {
            m_strBuffer += "   ";
            m_strBuffer += LongOpText(gxLongOpPressEsc);
        }
        if (st.m_nPercent < 0)
            AppendTurningMark();
        const std::string text = m_strBuffer;
        SendStatus(text.c_str());
    }
    PumpMessages(pOp);
    if (st.m_bCanCancel && st.m_bCancelKey && !st.m_bAnswered) {
        const CString& question = LongOpText(gxLongOpAbortQuestion);
        if (st.m_bAskQuestion && st.m_bRollbackPossible) {
            switch (AfxMessageBox(question, MB_ABORTRETRYIGNORE)) {
            case IDABORT:
                st.m_bAnswered = TRUE;
                bAbort = TRUE;
                break;
            case IDRETRY:
                st.m_bRollbackRequested = TRUE;
                st.m_bAnswered = TRUE;
                bAbort = TRUE;
                break;
            default: break;  // Ignore: the question can come again
            }
            st.m_bCancelKey = FALSE;
        } else if (st.m_bAskQuestion) {
            bAbort = AfxMessageBox(question, MB_YESNO) == IDYES;
            st.m_bAnswered = bAbort;
            st.m_bCancelKey = FALSE;
        } else {
            st.m_bAnswered = TRUE;
            st.m_bRollbackRequested = st.m_bRollbackPossible;
            bAbort = TRUE;
        }
    }
    pOp->m_nLastFeedbackTick = nNow;
    return TRUE;
}

void CGXLongOperationImp::PumpMessages(CGXLongOperation*)
{
    CGXLongOperationState& st = State();
    if (!st.m_bFeedbackShown) {
        WaitCursor(1);
        st.m_bFeedbackShown = TRUE;
    }
    CWinApp* pApp = AfxGetApp();
    MSG msg;
    for (int n = 0; n < kMaxPumpedMessages && ::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE); ++n) {
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_CANCEL))
            st.m_bCancelKey = TRUE;
        if (IsInputMessage(msg.message)) {
            WaitCursor(0);
            ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
            continue;
        }
        if (msg.message == WM_QUIT) {
            // Keep the quit, with its code, for the loop that owns it.
            ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
            ::PostQuitMessage(int(msg.wParam));
            break;
        }
        if (!(pApp ? pApp->PumpMessage() : AfxPumpMessage()))
            break;
    }
    if (pApp)
        for (LONG nCount = 0; nCount < kMaxIdleCounts && pApp->OnIdle(nCount); ++nCount) {
        }
}

void GXInstallLongOperationImp()
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (st.m_pImp)
        return;
    auto* pImp = new CGXLongOperationImp;
    st.m_pImp = pImp;
    GXGetLibraryState().AddImpToDeleteList(pImp);
}
