#pragma once
// A cell store that keeps the cells of rows and columns 1 and up in one formula-engine sheet;
// row and column base styles stay in the plain store.

#include <string>

#include "grid/core/gxdata.h"

class CGXFormulaSheet : public CGXData {
    DECLARE_SERIAL(CGXFormulaSheet)
public:
    CGXFormulaSheet();
    ~CGXFormulaSheet() override;

    int GetSheetHandle() const { return m_nSheet; }

    // Typed text: numbers, "#N/A", 'text, =formula, else text as typed.
    BOOL SetValueRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetTextRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text);
    BOOL SetNumberRowCol(ROWCOL nRow, ROWCOL nCol, double number);
    BOOL GetValueRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out);
    BOOL GetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out);
    BOOL Recalc(BOOL bForce) override;
    void ResetError();
    BOOL GetLastError(std::string& out) const;

private:
    int m_nSheet = 0;
};
