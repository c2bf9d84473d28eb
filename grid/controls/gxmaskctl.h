#pragma once
// CGXMaskControl: the masked edit cell. The edit window shows the mask with its literals in place
// and the prompt in each empty input position; every key goes through the mask model, so the
// window never holds a text the mask refuses. The cell stores the value text: the input
// positions only, trailing blanks removed. Without a mask the cell is a plain text cell limited
// by the style's maximum length.
//
// Positions of the model are whole characters, and the window counts characters too, so
// selections pass between them unchanged.

#include <memory>

#include "grid/controls/gxedit.h"
#include "grid/controls/gxmaskdata.h"

class CGXStylesMap;

enum : WORD {
    GX_IDS_UA_INPUTMASK = 51023,
    GX_IDS_UA_INPUTPROMPT = 51024,
};

class CGXMaskControl : public CGXEditControl {
public:
    CGXMaskControl(CGXGridCore* pGrid, UINT nID, CRuntimeClass* pDataClass = nullptr);
    ~CGXMaskControl() override;

    static const CGXControlClass classCGXMaskControl;
    const CGXControlClass* GetControlClass() const override { return &classCGXMaskControl; }

    // "GX_MASKDATA", registered once when the library starts.
    static UINT RegisterClipboardFormat();
    static UINT GetClipboardFormat();
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    // A model class of its own (CGXMaskData or derived); the old models go.
    void SetDataClass(CRuntimeClass* pDataClass);
    CGXMaskData* GetMaskData() { EnsureModels(); return m_pData.get(); }
    virtual void ApplyMaskStyle(CGXMaskData* pData, const CGXStyle& style);
    BOOL GetInsertMode() const { return m_bInsert; }

    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL CommitValue() override;
    BOOL Validate() override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL GetCellValueText(CString& sText) override;
    void SetEditText(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL OnLeftButtonUp(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnLeftButtonDblClk(ROWCOL nRow, ROWCOL nCol, UINT flags, CPoint point) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL OnCharText(LPCTSTR pszText, UINT nRepCnt, UINT flags) override;
    BOOL CopyText() override;
    BOOL PasteText() override;
    BOOL CanPaste() override;
    void ReplaceSelection(LPCTSTR pszText) override;
    BOOL ReplaceInCell(const void* pFindParams, ROWCOL nRow, ROWCOL nCol) override;
    BOOL CanPasteText(LPCTSTR) override { return TRUE; }

    DWORD ComputeEditStyle(CRect& rectFormat, int& nNeededHeight) override;
    BOOL OnEditKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result) override;
    BOOL OnEditChar(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result) override;
    BOOL OnEditWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void EnsureModels();
    void GetSelPos(int& nStart, int& nEnd);
    void SetSelPos(int nStart, int nEnd);
    // The window shows the model's masked text; the cell counts as modified.
    void UpdateWindowText();
    // EN_CHANGE to the grid window.
    void NotifyChange();
    void RestoreFromWindow();
    // The caret position for a hit at p: on an input position, not past the entered text.
    int CaretForHit(int p, BOOL bLimit);
    BOOL RefusesPaste();

    CRuntimeClass* m_pDataClass = nullptr;
    std::unique_ptr<CGXMaskData> m_pData;
    std::unique_ptr<CGXMaskData> m_pScratch;
    BOOL m_bInsert = TRUE;
    BOOL m_bMaskPaste = FALSE;
};
