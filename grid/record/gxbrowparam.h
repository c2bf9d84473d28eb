#pragma once
// The parameter objects of the record grids. A record grid keeps its record state here, so that
// every view of one grid shares it; the persistent part (header set-up, record-set texts, the
// DAO grid's column order) is archived after the grid parameter object's own record.

#include <memory>
#include <vector>

#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "platform/sys/ole.h"

// A pending binary value of an edit-buffer entry.
class CGXAbstractBlob : public CObject {
public:
    virtual void Clear() = 0;
};

// A pending long-binary value of the DAO grid.
class CGXDaoBlob : public CGXAbstractBlob {
public:
    void Clear() override { m_var.Clear(); }
    COleVariant m_var;
};

// One field's pending change while a record is edited.
struct CGXBrowseEditEntry {
    BOOL bModified = FALSE;
    CString sText;
    std::unique_ptr<CGXAbstractBlob> pBlob;
};

// Edit modes of a record grid.
enum : DWORD { gxNoEdit = 0, gxEditRecord = 1, gxAddNewRecord = 2 };

class CGXBrowseParam : public CGXGridParam {
    DECLARE_SERIAL(CGXBrowseParam)
public:
    CGXBrowseParam();
    ~CGXBrowseParam() override;

    void Serialize(CArchive& ar) override;
    // The grid parameter part and the browse options; record state, orders and the edit buffer
    // stay as they are.
    virtual void CopyBrowseSettings(const CGXBrowseParam& other);
    CGXRecSetInfo* GetRecSetInfo();
    // A fresh buffer of nFields entries: nothing modified, no texts, no blobs.
    void ResetEditBuffer(size_t nFields);

    DWORD m_bRangePasteEnabled = 0;
    DWORD m_bStoreCellFormatting = 0;
    DWORD m_nMaxColumnChars = 255;
    DWORD m_bAllowAppend = 1;
    DWORD m_bUpdateAfterStore = 0;
    DWORD m_bUpdateEachChange = 0;
    DWORD m_bHeaderSetupDone = 0;
    CDWordArray m_RowOrder;  // grid row -> record row, 0 = the row itself
    CDWordArray m_ColOrder;  // grid column -> field column, 0 = the column itself
    std::vector<CGXBrowseEditEntry> m_EditBuffer;
    WORD m_nFieldCount = 0;
    DWORD m_nEditMode = gxNoEdit;
    ROWCOL m_nCurrentRecordRow = 0;
    std::unique_ptr<CGXStyle> m_pRecordStyle;
    DWORD m_bLastRecordSeen = 1;
    LONG m_nLastFetchedRecord = -1;
    LONG m_nFetchStartCount = -1;
    LONG m_nFetchBlock = 1;
    LONG m_nCacheSize = -1;
    LONG m_nCacheTopRow = -1;
    LONG m_nWaitCursorThreshold = 0x7fffffff;

protected:
    std::unique_ptr<CGXRecSetInfo> m_pRecSetInfo;
};

// The DAO grid's base styles, in the order the parameter object keeps their ids.
enum GXDaoFieldStyle : int {
    gxDaoBoolean,
    gxDaoNumeric,
    gxDaoCurrency,
    gxDaoDate,
    gxDaoText,
    gxDaoBinary,
    gxDaoMemo,
    gxDaoGUID,
    gxDaoDeletedRows,
    gxDaoStyleCount
};

// String ids of those base styles: their names, and how they are found again after loading.
constexpr UINT GX_IDS_STYLE_DAO_FIRST = 52771;

class CGXDaoParam : public CGXBrowseParam {
    DECLARE_SERIAL(CGXDaoParam)
public:
    CGXDaoParam();

    void Serialize(CArchive& ar) override;
    virtual void SetPlainBinaryCells(DWORD b) { m_bPlainBinaryCells = b; }
    virtual DWORD GetPlainBinaryCells() const { return m_bPlainBinaryCells; }
    virtual void CopyDaoSettings(const CGXDaoParam& other);

    WORD m_awFieldStyleIds[gxDaoStyleCount] = {};
    DWORD m_bMemoAsText = 1;
    DWORD m_bPlainBinaryCells = 1;
    // The direction of the last sort's first key (its column is m_nLastSortedCol).
    DWORD m_nLastSortDirection = 0;
};
