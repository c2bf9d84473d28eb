#include "grid/core/gxlongop.h"

#include <algorithm>

CGXLongOperationState& GXGetLongOperationState()
{
    static CGXLongOperationState state;
    return state;
}

CGXLongOperation::CGXLongOperation()
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (st.m_pImp)
        st.m_pImp->Start(this);
    else
        ++st.m_nDepth;
}

CGXLongOperation::~CGXLongOperation()
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (st.m_pImp)
        st.m_pImp->End(this);
    else if (st.m_nDepth > 0)
        --st.m_nDepth;
}

void CGXLongOperation::FreeLevelText()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationState().m_pImp)
        p->FreeLevelText(this);
}

void CGXLongOperation::SetStatusText(LPCTSTR pszText, BOOL bCopy)
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationState().m_pImp)
        p->SetStatusText(this, pszText, bCopy);
}

BOOL CGXLongOperation::ProcessMessages()
{
    CGXAbstractLongOperationImp* p = GXGetLongOperationState().m_pImp;
    return p ? p->ProcessMessages(this) : FALSE;
}

BOOL CGXLongOperation::ProcessMessagesQueryAbort(BOOL& bAbort)
{
    bAbort = FALSE;
    CGXAbstractLongOperationImp* p = GXGetLongOperationState().m_pImp;
    return p ? p->ProcessMessagesQueryAbort(this, bAbort) : FALSE;
}

void CGXLongOperation::PumpMessages()
{
    if (CGXAbstractLongOperationImp* p = GXGetLongOperationState().m_pImp)
        p->PumpMessages(this);
}

namespace {
// A caller at depth d speaks for level d - 1; an outer owner keeps the display.
bool MayOwnPercent(const CGXLongOperationState& st)
{
    const int level = st.m_nDepth - 1;
    return st.m_nPercentOwner == -1 || st.m_nPercentOwner >= level;
}
}  // namespace

void CGXLongOperation::ClaimPercent()
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (MayOwnPercent(st))
        st.m_nPercentOwner = st.m_nDepth - 1;
}

void CGXLongOperation::SetPercentDone(int nPercent)
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (MayOwnPercent(st))
        st.m_nPercent = std::min(nPercent, 100);
}

void CGXLongOperation::ReleasePercent()
{
    CGXLongOperationState& st = GXGetLongOperationState();
    if (MayOwnPercent(st)) {
        st.m_nPercent = -1;
        st.m_nPercentOwner = -1;
    }
}
