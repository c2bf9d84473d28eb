#pragma once
// CGXOlePreview: the cell of a record grid's object field. It shows its text like a static cell,
// with a hot-spot button at its top right that opens the object in its viewer. Copy, cut, paste
// and Delete move whole objects. The viewer that holds the cell's new bytes until the cell is
// committed is the kept viewer; while its window is open, every further action only brings it
// forward.

#include <memory>
#include <vector>

#include "grid/controls/gxstatic.h"
#include "grid/widgets/gxoleviewer.h"

class CGXHotSpotButton;

class CGXOlePreview : public CGXStatic, public CGXOleViewerHost {
public:
    // Takes the creator (null: viewers of the one generic kind).
    explicit CGXOlePreview(CGXGridCore* pGrid, CGXViewerCreator* pCreator = nullptr);
    ~CGXOlePreview() override;

    static const CGXControlClass classCGXOlePreview;
    const CGXControlClass* GetControlClass() const override { return &classCGXOlePreview; }

    void SetActive(BOOL bActive) override { m_bActive = bActive; }
    BOOL IsActive() override { return m_bActive; }
    void SetModified(BOOL bModified) override { m_bModified = bModified; }
    BOOL IsModified() override { return m_bModified; }
    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    CSize AddBorderToSize(CSize size, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    void LayoutChildren(CDC* pDC, const CRect& rect, const CGXStyle* pStyle = nullptr) override;
    void OnChildButtonClicked(CGXChild* pChild) override;
    BOOL CommitValue() override;
    BOOL CancelEditing() override;
    BOOL LeaveCell(ROWCOL nNewRow, ROWCOL nNewCol) override;
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt, UINT flags) override;
    BOOL CopyText() override;
    BOOL CutText() override;
    BOOL PasteText() override;
    BOOL CanCopy() override;
    BOOL CanCut() override;
    BOOL CanPaste() override;

    // The style holds object bytes: attribute 52794 with a VT_ARRAY | VT_UI1 variant.
    BOOL IsObjectCell(const CGXStyle& style) const;
    // Drains the focus window's pending keys and answers it; RestoreFocus gives it back.
    CWnd* SaveFocus();
    void RestoreFocus(CWnd* pWnd);
    void BeginPopup() override { m_popup.Begin(); }
    void EndPopup() override { m_popup.End(); }
    // Message 20206, then the open viewer comes forward.
    void ShowOpenViewer();
    // The viewer for the cell's type id (attribute 52801); none outside record-browser grids.
    CGXOleViewer* GetViewer();
    CGXControl* GetHostControl() override { return this; }

    CGXHotSpotButton* GetButton() const { return m_pButton; }
    CGXOleViewer* GetKeptViewer() const { return m_pOpenViewer; }
    // The kept viewer's window is open.
    BOOL IsViewerOpen() const { return m_pOpenViewer && m_pOpenViewer->IsOpen(); }

    enum : int { kButtonSize = 13 };

private:
    BOOL MayEdit();
    // The kept viewer, else the cell's.
    CGXOleViewer* ViewerForAction();
    // The cell's style as the viewer is to read it: without the object once it was cut or
    // deleted and that is not committed yet.
    std::unique_ptr<CGXStyle> ObjectStyle();
    BOOL HasPendingValue() const { return m_bModified && m_pOpenViewer; }
    // Closes and clears the kept viewer and forgets it.
    void DropKeptViewer();
    void RedrawCell();
    // A record edit begun for an action that changed nothing ends with it.
    void EndUnchangedEdit();

    std::unique_ptr<CGXViewerManager> m_pManager;
    CGXOleViewer* m_pOpenViewer = nullptr;  // owned by the manager
    CGXHotSpotButton* m_pButton;            // a child: owned by the control
    BOOL m_bActive = FALSE;
    BOOL m_bModified = FALSE;
    CGXPopupFlagKeeper m_popup;
};
