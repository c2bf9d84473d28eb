#pragma once
// CGXFormulaSheet: the grid's cell store for grids whose cells hold formulas. Row and
// column base styles stay in the plain store; every cell of rows and columns 1 and up lives in one
// formula-engine sheet with its value, its formula and its style. Grid row r is engine row r, grid
// column c engine column c - 1 (grid column 1 is column A).

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/gxdata.h"
#include "grid/formula/gxengine.h"
#include "grid/formula/gxparse.h"

// One engine cell as a value of its own, apart from any sheet's pools: what undo records, sheet
// copies and archives carry. Named nodes keep their name and are pointed at the entries of the
// sheet they are restored into.
struct GXCellImage {
    GXCellImage() = default;
    GXCellImage(const GXCellImage& other) { *this = other; }
    GXCellImage& operator=(const GXCellImage& other);
    GXCellImage(GXCellImage&&) = default;
    GXCellImage& operator=(GXCellImage&&) = default;

    int row = 0;
    int column = 0;
    bool present = false;  // false: no cell stood at the place
    uint32_t flags = 0;    // cell type, value kind and the bits 15-22
    double number = 0;
    std::string text;
    int error_code = 0;
    std::unique_ptr<GXFormula> formula;
    std::unique_ptr<CGXStyle> style;

    int Type() const { return int(flags & 0xF); }
    int Kind() const { return int((flags >> 4) & 0xF); }
};

// Everything a sheet holds: its stored cells and its named ranges, in order.
struct GXSheetImage {
    std::vector<GXCellImage> cells;
    std::vector<std::pair<std::string, GXRange>> names;
};

// The undo information of one change of a formula sheet. A cell change keeps the cells it
// touched as they were (old_cells); a structure change keeps the whole sheet as it was, because
// its inverse (inserting removed rows again, moving back, sorting back) cannot bring back what the
// change did to references by itself. When the grid runs the inverse after handing the record back
// (the command factory applies a command's record first), the whole image waits for that inverse and
// replaces the sheet right after it; a removal's record is handed back after the rows exist again
// and applies at once.
class CGXUndoEngineCellsInfo : public CObject {
    DECLARE_DYNAMIC(CGXUndoEngineCellsInfo)
public:
    CGXUndoEngineCellsInfo() = default;
    CGXUndoEngineCellsInfo(const CGXUndoEngineCellsInfo& other);
    CGXUndoEngineCellsInfo& operator=(const CGXUndoEngineCellsInfo&) = delete;
    ~CGXUndoEngineCellsInfo() override = default;

    // The structure change a waiting whole image belongs after.
    enum Kind { gxNone = 0, gxRemoveRows, gxRemoveCols, gxMoveRows, gxMoveCols, gxSortRows, gxSortCols };
    struct Expected {
        int kind = gxNone;
        ROWCOL a = 0, b = 0, c = 0;
        std::vector<DWORD> order;
        bool operator==(const Expected&) const = default;
    };

    std::vector<GXCellImage> old_cells;  // each place touched, as it was before the change
    std::vector<GXCellImage> new_cells;  // kept for the Part's record; recalculation refills values
    GXRange range;                       // the changed range (engine coordinates)
    int recalc_needed = 0;
    std::unique_ptr<GXSheetImage> whole;  // the sheet before a structure change
    Expected expected;                    // whole waits for this change when its kind is set
    std::set<std::pair<int, int>> captured;  // places already in old_cells
};

class CGXFormulaSheet : public CGXData {
    DECLARE_SERIAL(CGXFormulaSheet)
public:
    CGXFormulaSheet();
    ~CGXFormulaSheet() override;

    int GetSheetHandle() const { return m_nSheet; }

    // ---- Overrides of the plain store ----
    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    void Assign(const CGXData& other) override;
    void InitParam(CObject* pParam) override;
    BOOL InsertRows(ROWCOL nRow, ROWCOL nCount) override;
    BOOL InsertCols(ROWCOL nCol, ROWCOL nCount) override;
    BOOL RemoveRows(ROWCOL nFirst, ROWCOL nLast) override;
    BOOL RemoveCols(ROWCOL nFirst, ROWCOL nLast) override;
    BOOL MoveRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    BOOL MoveCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest) override;
    BOOL CopyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nDestRow, ROWCOL nDestCol) override;
    BOOL MoveCells(const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                   BOOL bKeepUndo) override;
    BOOL StoreStyleRowCol(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mode, int nType = 0) override;
    BOOL GetStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType = 0) const override;
    BOOL MoveRowsForSort(const CGXCellRange& range, const CDWordArray& order) override;
    BOOL MoveColsForSort(const CGXCellRange& range, const CDWordArray& order) override;

    // ---- The eleven engine operations of the store ----
    CObject* GetUndoInfo() override;
    BOOL ApplyUndoInfo(CObject* pInfo, BOOL bRecord, BOOL bRedo) override;
    BOOL EnableUndoInfo(BOOL bOn) override;
    void DiscardUndoInfo() override;
    void AnnounceRange(const CGXCellRange& range) override;
    BOOL Recalc(BOOL bForce) override;
    void RequestRecalc(int nMode) override;
    BOOL EvaluateCell(ROWCOL nRow, ROWCOL nCol) override;
    void CellShown(ROWCOL nRow, ROWCOL nCol) override;
    void ResetError() override;
    BOOL GetLastError(CString& out) override;

    // ---- Cells ----
    // Typed text: numbers, "#N/A", 'text, =formula, dates and times, else text as typed.
    BOOL SetValueRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetTextRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetNumberRowCol(ROWCOL nRow, ROWCOL nCol, double number);
    BOOL SetFormatRowCol(ROWCOL nRow, ROWCOL nCol, unsigned nFormat, unsigned nPlaces);
    unsigned GetFormatRowCol(ROWCOL nRow, ROWCOL nCol, unsigned* pPlaces = nullptr) const;
    BOOL GetNumberRowCol(ROWCOL nRow, ROWCOL nCol, double& out);
    BOOL GetValueRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out);
    BOOL GetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out);
    void GetValueText(GXCell* cell, std::string& out);
    void GetExpressionText(GXCell* cell, std::string& out) const;
    BOOL EvaluateExpression(ROWCOL nRow, const std::string& text, std::string& out);
    BOOL NeedsRecalc(ROWCOL nRow, ROWCOL nCol) const;
    GXCell* SetCellChanged(ROWCOL nRow, ROWCOL nCol, BOOL bOn);
    void AddRecalcRange(const CGXCellRange& range);
    // The old state of undo recording.
    int SetUndoRecording(int bOn);
    BOOL GetLastError(std::string& out);

    // ---- Named ranges (grid coordinates) ----
    BOOL SetRangeName(const std::string& name, const CGXCellRange& range);
    BOOL GetRangeName(const std::string& name, CGXCellRange& range) const;
    BOOL DeleteRangeName(const std::string& name);

    // ---- Options ----
    BOOL SetIterationLimit(int n) { return gx_set_iterations(m_nSheet, n); }
    int GetIterationLimit() const { return gx_get_iterations(m_nSheet); }
    BOOL SetBlanksAreZero(int b) { return gx_set_blank_is_zero(m_nSheet, b); }
    int GetBlanksAreZero() const { return gx_get_blank_is_zero(m_nSheet); }
    BOOL SetRecalcMode(int b) { return gx_set_manual_recalc(m_nSheet, b); }
    int GetRecalcMode() const { return gx_get_manual_recalc(m_nSheet); }
    BOOL SetRecalcMethod(int n) { return gx_set_recalc_method(m_nSheet, n); }
    int GetRecalcMethod() const { return gx_get_recalc_method(m_nSheet); }
    BOOL SetConstraintCheck(int b);
    int GetConstraintCheck() const { return gx_get_constraint_check(m_nSheet); }

    // The whole sheet as a value, and back (names and cells; the options stay).
    std::unique_ptr<GXSheetImage> TakeImage() const;
    void RestoreImage(const GXSheetImage& image);

    // The id of "Constraint Violation" in the grid's styles map (0 before first use).
    WORD m_nConstraintStyleId = 0;

private:
    using Expected = CGXUndoEngineCellsInfo::Expected;

    GXCell* FindCell(ROWCOL nRow, ROWCOL nCol) const;
    void RemoveCell(int row, int column);
    void CaptureCell(int row, int column);
    void CaptureRange(const GXRange& range);
    void CaptureWhole(const Expected& inverse);
    // After a structure change: a whole image waiting for exactly this change replaces the sheet.
    void ApplyPending(const Expected& done);
    void RestoreCell(const GXCellImage& image);
    void MergeConstraintStyle(CGXStyle& style) const;
    BOOL MoveForSort(bool bRows, const CGXCellRange& range, const CDWordArray& order);

    int m_nSheet = 0;
    int m_nUndoSwitch = 0;
    std::unique_ptr<CGXUndoEngineCellsInfo> m_pUndoInfo;
    std::unique_ptr<CGXUndoEngineCellsInfo> m_pPending;
    // A parse message stays until GetLastError has handed it out, whatever clears errors before.
    bool m_bKeepMessage = false;
};

// Image of a stored cell, and a cell made from an image (not stored; named nodes re-pointed).
GXCellImage gx_cell_image(const GXCell* cell);
GXCell* gx_cell_from_image(int handle, const GXCellImage& image);
// Keeps the class in every program that links the engine (a grid-settings archive may name it).
void GXForceLinkFormulaSheet();
