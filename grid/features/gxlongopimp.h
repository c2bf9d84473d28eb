#pragma once
// The long-operation feedback of the process: after a wait, a status text with a turning mark
// or a percentage in the main frame's status bar, painting kept alive by pumping non-input
// messages, input discarded, and Esc (or Ctrl+Break) asking whether to stop.

#include <deque>
#include <string>

#include "grid/core/gxlongop.h"

class CGXLongOperationImp : public CGXAbstractLongOperationImp {
public:
    void Start(CGXLongOperation* pOp) override;
    void End(CGXLongOperation* pOp) override;
    void FreeLevelText(CGXLongOperation* pOp) override;
    void SetStatusText(CGXLongOperation* pOp, LPCTSTR pszText, BOOL bCopy) override;
    BOOL ProcessMessagesQueryAbort(CGXLongOperation* pOp, BOOL& bAbort) override;
    BOOL ProcessMessages(CGXLongOperation* pOp) override;
    void PumpMessages(CGXLongOperation* pOp) override;

    // The text last sent to the status window.
    const std::string& GetStatusBuffer() const { return m_strBuffer; }

private:
    // The text of one nesting depth: a copy it owns (or inherited a copy of, which it does not
    // own), or a pointer whose owner outlives it.
    struct Level {
        std::string strCopy;
        LPCTSTR pszShared = nullptr;
        bool bOwned = false;
        LPCTSTR Text() const { return pszShared ? pszShared : strCopy.c_str(); }
    };
    Level& LevelAt(int nDepth);
    void PublishLevel(int nDepth);
    BOOL WaitHasPassed(const CGXLongOperation* pOp, DWORD nNow) const;
    BOOL MayShow(const CGXLongOperation* pOp) const;
    void AppendTurningMark();
    void SendStatus(LPCTSTR pszText);

    // By depth, unbounded: the state's 64-entry table mirrors the first ones, deeper levels
    // share its last entry. A deque keeps each level's text where it is while others grow.
    std::deque<Level> m_levels;
    std::string m_strBuffer;
};

// Installs the feedback once per process; the library state deletes it.
void GXInstallLongOperationImp();
