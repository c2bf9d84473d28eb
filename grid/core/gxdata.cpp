#include "grid/core/gxdata.h"

#include <algorithm>

#include "grid/core/gxarchive.h"
#include "grid/core/gxstate.h"

IMPLEMENT_SERIAL(CGXStylePtrArray, CPtrArray, 0)
IMPLEMENT_SERIAL(CGXStylePtrArrayPtrArray, CPtrArray, 0)
IMPLEMENT_SERIAL(CGXData, CObject, 0)

// ---- owning arrays ----

void CGXStylePtrArray::DeleteAll()
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        delete GetStyle(i);
    RemoveAll();
}

void CGXStylePtrArray::DeleteRange(INT_PTR nFirst, INT_PTR nCount)
{
    if (nFirst < 0 || nFirst >= GetSize() || nCount <= 0)
        return;
    nCount = std::min(nCount, GetSize() - nFirst);
    for (INT_PTR i = nFirst; i < nFirst + nCount; i++)
        delete GetStyle(i);
    RemoveAt(nFirst, nCount);
}

void CGXStylePtrArray::Assign(const CGXStylePtrArray& other)
{
    if (&other == this)
        return;
    DeleteAll();
    SetSize(other.GetSize());
    for (INT_PTR i = 0; i < other.GetSize(); i++)
        if (const CGXStyle* s = other.GetStyle(i))
            SetAt(i, s->Clone());
}

void CGXStylePtrArray::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeStylePtrArray(*this, ar);
}

void CGXStylePtrArrayPtrArray::DeleteAll()
{
    for (INT_PTR i = 0; i < GetSize(); i++)
        delete GetRow(i);
    RemoveAll();
}

void CGXStylePtrArrayPtrArray::DeleteRange(INT_PTR nFirst, INT_PTR nCount)
{
    if (nFirst < 0 || nFirst >= GetSize() || nCount <= 0)
        return;
    nCount = std::min(nCount, GetSize() - nFirst);
    for (INT_PTR i = nFirst; i < nFirst + nCount; i++)
        delete GetRow(i);
    RemoveAt(nFirst, nCount);
}

void CGXStylePtrArrayPtrArray::Assign(const CGXStylePtrArrayPtrArray& other)
{
    if (&other == this)
        return;
    DeleteAll();
    SetSize(other.GetSize());
    for (INT_PTR i = 0; i < other.GetSize(); i++)
        if (const CGXStylePtrArray* row = other.GetRow(i)) {
            auto* copy = new CGXStylePtrArray;
            SetAt(i, copy);
            copy->Assign(*row);
        }
}

void CGXStylePtrArrayPtrArray::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeCellTable(*this, ar);
}

void GXMoveArrayBlock(CPtrArray& a, INT_PTR first, INT_PTR n, INT_PTR d)
{
    const INT_PTR size = a.GetSize();
    if (first == d || n <= 0 || (first >= size && d >= size))
        return;
    if (d < first)
        first += n;
    else
        d += n;
    a.InsertAt(d, nullptr, n);
    for (INT_PTR i = 0; i < n && first + i < a.GetSize(); i++)
        if (void* p = a[first + i])
            a[d + i] = p;
    if (first < a.GetSize())
        a.RemoveAt(first, std::min(n, a.GetSize() - first));
}

// ---- data store ----

void CGXData::Serialize(CArchive& ar)
{
    if (CGXAbstractGridDocSerializeImp* imp = GXGetAppData()->m_pDocSerializeImp)
        imp->SerializeData(*this, ar);
}

void CGXData::DeleteContents()
{
    m_pStyleMap.DeleteAll();
    m_apRowBaseStyles.DeleteAll();
    m_apColBaseStyles.DeleteAll();
}

void CGXData::Assign(const CGXData& other)
{
    if (&other == this)
        return;
    m_pStyleMap.Assign(other.m_pStyleMap);
    m_apRowBaseStyles.Assign(other.m_apRowBaseStyles);
    m_apColBaseStyles.Assign(other.m_apColBaseStyles);
    m_nRows = other.m_nRows;
    m_nCols = other.m_nCols;
}

BOOL CGXData::SetRowCount(ROWCOL nRows)
{
    if (nRows < m_nRows)
        RemoveRows(nRows + 1, m_nRows);
    else if (nRows > m_nRows)
        InsertRows(m_nRows + 1, nRows - m_nRows);
    return TRUE;
}

BOOL CGXData::SetColCount(ROWCOL nCols)
{
    if (nCols < m_nCols)
        RemoveCols(nCols + 1, m_nCols);
    else if (nCols > m_nCols)
        InsertCols(m_nCols + 1, nCols - m_nCols);
    return TRUE;
}

BOOL CGXData::InsertRows(ROWCOL nRow, ROWCOL nCount)
{
    // Slots beyond the arrays are empty already; only what lies behind the row shifts.
    if (INT_PTR(nRow) < m_apRowBaseStyles.GetSize())
        m_apRowBaseStyles.InsertAt(INT_PTR(nRow), nullptr, INT_PTR(nCount));
    if (INT_PTR(nRow) < m_pStyleMap.GetSize())
        m_pStyleMap.InsertAt(INT_PTR(nRow), nullptr, INT_PTR(nCount));
    m_nRows += nCount;
    return TRUE;
}

BOOL CGXData::InsertCols(ROWCOL nCol, ROWCOL nCount)
{
    if (INT_PTR(nCol) < m_apColBaseStyles.GetSize())
        m_apColBaseStyles.InsertAt(INT_PTR(nCol), nullptr, INT_PTR(nCount));
    for (INT_PTR r = 0; r < m_pStyleMap.GetSize(); r++)
        if (CGXStylePtrArray* row = m_pStyleMap.GetRow(r))
            if (INT_PTR(nCol) < row->GetSize())
                row->InsertAt(INT_PTR(nCol), nullptr, INT_PTR(nCount));
    m_nCols += nCount;
    return TRUE;
}

BOOL CGXData::RemoveRows(ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > m_nRows || nLast < nFirst)
        return TRUE;
    const INT_PTR n = INT_PTR(nLast) - INT_PTR(nFirst) + 1;
    m_apRowBaseStyles.DeleteRange(INT_PTR(nFirst), n);
    m_pStyleMap.DeleteRange(INT_PTR(nFirst), n);
    // Only rows that exist can go: a range past the end shrinks the count by what it covered.
    m_nRows -= std::min(nLast, m_nRows) - nFirst + 1;
    return TRUE;
}

BOOL CGXData::RemoveCols(ROWCOL nFirst, ROWCOL nLast)
{
    if (nFirst > m_nCols || nLast < nFirst)
        return TRUE;
    const INT_PTR n = INT_PTR(nLast) - INT_PTR(nFirst) + 1;
    m_apColBaseStyles.DeleteRange(INT_PTR(nFirst), n);
    for (INT_PTR r = 0; r < m_pStyleMap.GetSize(); r++)
        if (CGXStylePtrArray* row = m_pStyleMap.GetRow(r))
            row->DeleteRange(INT_PTR(nFirst), n);
    m_nCols -= std::min(nLast, m_nCols) - nFirst + 1;
    return TRUE;
}

BOOL CGXData::MoveRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (nLast < nFirst)
        return FALSE;
    const INT_PTR n = INT_PTR(nLast) - INT_PTR(nFirst) + 1;
    GXMoveArrayBlock(m_apRowBaseStyles, INT_PTR(nFirst), n, INT_PTR(nDest));
    GXMoveArrayBlock(m_pStyleMap, INT_PTR(nFirst), n, INT_PTR(nDest));
    return TRUE;
}

BOOL CGXData::MoveCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (nLast < nFirst)
        return FALSE;
    const INT_PTR n = INT_PTR(nLast) - INT_PTR(nFirst) + 1;
    GXMoveArrayBlock(m_apColBaseStyles, INT_PTR(nFirst), n, INT_PTR(nDest));
    for (INT_PTR r = 0; r < m_pStyleMap.GetSize(); r++)
        if (CGXStylePtrArray* row = m_pStyleMap.GetRow(r))
            GXMoveArrayBlock(*row, INT_PTR(nFirst), n, INT_PTR(nDest));
    return TRUE;
}

BOOL CGXData::CopyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nDestRow, ROWCOL nDestCol)
{
    CGXAbstractDataCopyMoveCellsImp* imp = GXGetAppData()->m_pDataCopyMoveCellsImp;
    return imp ? imp->CopyCells(*this, nTop, nLeft, nBottom, nRight, nDestRow, nDestCol) : FALSE;
}

BOOL CGXData::MoveCells(const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                        BOOL bKeepUndo)
{
    CGXAbstractDataCopyMoveCellsImp* imp = GXGetAppData()->m_pDataCopyMoveCellsImp;
    return imp ? imp->MoveCells(*this, range, nDestRow, nDestCol, pUndoInfo, bKeepUndo) : FALSE;
}

BOOL CGXData::MoveRowsForSort(const CGXCellRange& range, const CDWordArray& order)
{
    CGXAbstractGridSortMoveDataImp* imp = GXGetAppData()->m_pSortMoveDataImp;
    return imp ? imp->MoveDataRows(*this, range, order) : FALSE;
}

BOOL CGXData::MoveColsForSort(const CGXCellRange& range, const CDWordArray& order)
{
    CGXAbstractGridSortMoveDataImp* imp = GXGetAppData()->m_pSortMoveDataImp;
    return imp ? imp->MoveDataCols(*this, range, order) : FALSE;
}

int CGXData::ClearEmbeddedStyle()
{
    m_styleScratch2.SetIncludeValue(FALSE);
    return 0;
}

const CGXStyle* CGXData::LookupStyleRowCol(ROWCOL nRow, ROWCOL nCol, int nType) const
{
    if (nType == -1)
        return nRow != 0 ? m_apRowBaseStyles.GetStyle(INT_PTR(nRow)) : m_apColBaseStyles.GetStyle(INT_PTR(nCol));
    const CGXStylePtrArray* row = m_pStyleMap.GetRow(INT_PTR(nRow));
    return row ? row->GetStyle(INT_PTR(nCol)) : nullptr;
}

BOOL CGXData::StoreStyleRowCol(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mode, int nType)
{
    m_nRows = std::max(m_nRows, nRow);
    m_nCols = std::max(m_nCols, nCol);

    if (nType == -1) {
        CGXStylePtrArray& bases = nRow != 0 ? m_apRowBaseStyles : m_apColBaseStyles;
        const INT_PTR i = INT_PTR(nRow != 0 ? nRow : nCol);
        CGXStyle* existing = bases.GetStyle(i);
        if (!pStyle) {
            delete existing;
            if (existing)
                bases.SetAt(i, nullptr);
        } else if (existing) {
            existing->ChangeStyle(*pStyle, mode);
        } else if (mode != gxExclude) {
            bases.SetAtGrow(i, pStyle->Clone());
        }
        return TRUE;
    }

    CGXStylePtrArray* row = m_pStyleMap.GetRow(INT_PTR(nRow));
    if (!pStyle) {
        if (CGXStyle* existing = row ? row->GetStyle(INT_PTR(nCol)) : nullptr) {
            delete existing;
            row->SetAt(INT_PTR(nCol), nullptr);
        }
        return TRUE;
    }
    if (INT_PTR(nRow) >= m_pStyleMap.GetSize())
        m_pStyleMap.SetSize(INT_PTR(m_nRows) + 1);
    if (!row) {
        row = new CGXStylePtrArray;
        m_pStyleMap.SetAt(INT_PTR(nRow), row);
    }
    if (INT_PTR(nCol) >= row->GetSize())
        row->SetSize(INT_PTR(m_nCols) + 1);

    double d;
    const bool bNumber = mode != gxExclude && nType == 1 && pStyle->GetIncludeValue() && pStyle->GetValueType() != 1
        && GXParseNumber(pStyle->GetValue(), d);

    CGXStyle* existing = row->GetStyle(INT_PTR(nCol));
    if (existing) {
        existing->ChangeStyle(*pStyle, mode);
    } else if (mode != gxExclude) {
        existing = pStyle->Clone();
        row->SetAt(INT_PTR(nCol), existing);
    }
    if (existing && bNumber)
        existing->SetValueType(1);
    return TRUE;
}

BOOL CGXData::GetStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType) const
{
    if (nRow > m_nRows || nCol > m_nCols)
        return FALSE;
    const CGXStyle* stored = LookupStyleRowCol(nRow, nCol, nType);
    if (!stored)
        return FALSE;
    if (mode == gxCopy)
        style.Assign(*stored);
    else
        style.ChangeStyle(*stored, mode);
    return TRUE;
}

BOOL CGXData::StoreValueRowCol(ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, int mode, int nType, CGXStyle* pStyle)
{
    CGXStyle& s = pStyle ? *pStyle : m_styleScratch1;
    s.FreeParts();
    s.SetValue(pszValue);
    return StoreStyleRowCol(nRow, nCol, &s, mode, nType);
}
