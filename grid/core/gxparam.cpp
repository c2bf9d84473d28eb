#include "grid/core/gxparam.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"

IMPLEMENT_SERIAL(CGXGridParam, CObject, 1)
IMPLEMENT_SERIAL(CGXRecSetInfo, CObject, 0)

CGXGridParam::CGXGridParam()
{
    m_RowHeights[0] = 1400;
    m_ColWidths[0] = 6000;
    CreateCoveredCellPool();
}

CGXGridParam::~CGXGridParam()
{
    ClearUndoList();
    ClearRedoList();
    SetProperties(nullptr, FALSE);
    SetStylesMap(nullptr, FALSE);
    SetData(nullptr, FALSE);
    SetPrintDevice(nullptr, FALSE);
    GXDeleteAllObjects(m_apOwned1);
    GXDeleteAllObjects(m_apOwned2);
    GXDeleteAllObjects(m_OwnedMap);
}

void CGXGridParam::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeParam(*this, ar);
}

void CGXGridParam::Assign(const CGXGridParam& other)
{
    if (&other == this)
        return;
    if (CGXAbstractGridParamCopyOperatorImp* imp = GXGetAppData()->m_pParamCopyOperatorImp)
        imp->CopyParam(*this, other);
}

template <class T>
static void Replace(T*& current, DWORD& owned, T* p, BOOL bOwned)
{
    // Deleting the object being set again would leave the pointer dangling.
    if (p != current) {
        if (owned)
            delete current;
        current = p;
    }
    owned = bOwned ? 1 : 0;
}

void CGXGridParam::SetStylesMap(CGXStylesMap* p, BOOL bOwned) { Replace(m_pStylesMap, m_bOwnStylesMap, p, bOwned); }
void CGXGridParam::SetProperties(CGXProperties* p, BOOL bOwned) { Replace(m_pProperties, m_bOwnProperties, p, bOwned); }
void CGXGridParam::SetData(CGXData* p, BOOL bOwned) { Replace(m_pData, m_bOwnData, p, bOwned); }
void CGXGridParam::SetPrintDevice(CGXPrintDevice* p, BOOL bOwned) { Replace(m_pPD, m_bOwnPD, p, bOwned); }

void CGXGridParam::ClearUndoList()
{
    GXDeleteAllObjects(m_UndoList);
    m_nUndoCount = 0;
}

void CGXGridParam::ClearRedoList() { GXDeleteAllObjects(m_RedoList); }

void CGXGridParam::CreateCoveredCellPool()
{
    if (m_pCoveredCellPool)
        return;
    if (CGXAbstractCoveredCellPoolImp* imp = GXGetAppData()->m_pCoveredCellPoolImp)
        m_pCoveredCellPool.reset(imp->CreateCoveredCellPool());
}

void CGXGridParam::RebuildCoveredCellPool()
{
    if (CGXAbstractCoveredCellPoolImp* imp = GXGetAppData()->m_pCoveredCellPoolImp)
        imp->RebuildCoveredCellPool(m_pCoveredCellPool.get(), m_CoveredCellsList);
}

void CGXRecSetInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_sText2 << m_sText3 << m_sText1;
    else
        ar >> m_sText2 >> m_sText3 >> m_sText1;
}

void CGXSortInfoArray::SetSize(int nCount, int nGrowBy)
{
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nCount <= 0) {
        m_pData.reset();
        m_nCount = m_nCapacity = 0;
        return;
    }
    if (!m_pData) {
        m_pData = std::make_unique<GXSortInfo[]>(size_t(nCount));
        std::memset(m_pData.get(), 0, sizeof(GXSortInfo) * size_t(nCount));
        m_nCount = m_nCapacity = nCount;
        return;
    }
    if (nCount > m_nCapacity) {
        int step = m_nGrowBy;
        if (step == 0)
            step = std::clamp(nCount / 8, 4, 1024);
        const int nNew = std::max(nCount, m_nCapacity + step);
        auto p = std::make_unique<GXSortInfo[]>(size_t(nNew));
        std::memset(p.get(), 0, sizeof(GXSortInfo) * size_t(nNew));
        std::memcpy(p.get(), m_pData.get(), sizeof(GXSortInfo) * size_t(m_nCount));
        m_pData = std::move(p);
        m_nCapacity = nNew;
    } else if (nCount > m_nCount) {
        std::memset(&m_pData[m_nCount], 0, sizeof(GXSortInfo) * size_t(nCount - m_nCount));
    }
    m_nCount = nCount;
}

BOOL GXGetHiddenBit(const CByteArray& bits, ROWCOL n)
{
    const INT_PTR i = INT_PTR(n / 8);
    return i < bits.GetSize() && (bits[i] >> (n % 8)) & 1;
}

BOOL GXSetHiddenBit(CByteArray& bits, ROWCOL n, BOOL bHidden)
{
    if (GXGetHiddenBit(bits, n) == (bHidden != FALSE))
        return FALSE;
    const INT_PTR i = INT_PTR(n / 8);
    if (i >= bits.GetSize())
        bits.SetSize(i + 1);
    const BYTE mask = BYTE(1u << (n % 8));
    bits[i] = bHidden ? BYTE(bits[i] | mask) : BYTE(bits[i] & ~mask);
    return TRUE;
}

ROWCOL GXCountHiddenBits(const CByteArray& bits, ROWCOL nFirst, ROWCOL nLast)
{
    const uint64_t nEnd = std::min<uint64_t>(uint64_t(nLast) + 1, uint64_t(bits.GetSize()) * 8);
    ROWCOL nCount = 0;
    for (uint64_t n = nFirst; n < nEnd;) {
        // Whole zero bytes are passed in one step.
        if (n % 8 == 0 && bits[INT_PTR(n / 8)] == 0) {
            n += 8;
            continue;
        }
        nCount += GXGetHiddenBit(bits, ROWCOL(n));
        ++n;
    }
    return nCount;
}
