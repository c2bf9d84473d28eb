#pragma once
// CGXTabbedComboBox: a combo cell over a multi-column choice list (fields separated by tabs).
// One column is the key the cell stores, another the text it shows; the drop-down shows all
// or some columns side by side, optionally under a line of titles. Cells that share a
// "TabList: Unique choicelist id" share lookup maps kept in the grid parameter object, so an
// inactive cell turns its key into its text without scanning the list.

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "grid/controls/gxcombo.h"

class CGXStylesMap;

// User attributes of the tabbed combo cell.
enum : WORD {
    GX_IDS_UA_TABLIST_KEYCOL = 51028,
    GX_IDS_UA_TABLIST_TEXTCOL = 51029,
    GX_IDS_UA_TABLIST_SHOWALLCOLS = 51030,
    GX_IDS_UA_TABLIST_TITLES = 51031,
    GX_IDS_UA_TABLIST_COLWIDTHS = 51032,
    GX_IDS_UA_TABLIST_SORTCOL = 51033,
    GX_IDS_UA_TABLIST_UNIQUEID = 51055,
};

// The lookup maps of the choice lists with a unique id: key-column text and text-column text
// to the whole line. Keyed by the id itself (a number any stored style may carry), so an id of
// two billion costs one map entry. Every drop increments the generation.
class CGXTabbedComboCache : public CObject {
public:
    struct Maps {
        std::unordered_map<std::string, CString> byKey;
        std::unordered_map<std::string, CString> byText;
    };
    // The cache of the parameter object, made on first use.
    static CGXTabbedComboCache* Get(CGXGridCore* pGrid);
    Maps* Find(long nId);
    Maps& Add(long nId) { return m_maps[nId]; }
    // Drops the maps of nId, or all of them with -1.
    void Drop(long nId);
    DWORD GetGeneration() const { return m_nGeneration; }
    size_t GetMapCount() const { return m_maps.size(); }

private:
    std::map<long, Maps> m_maps;
    DWORD m_nGeneration = 0;
};

class CGXTabbedComboBox;

// The owner-drawn list of the tabbed cell: the columns over the control's tab stops.
class CGXTabbedComboLBox : public CGXComboListBox {
public:
    explicit CGXTabbedComboLBox(CGXTabbedComboBox* pOwner);
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    // Forgets a key or mouse press of the last opening.
    void ResetInput()
    {
        m_bKeyUsed = FALSE;
        m_bMousePressed = FALSE;
        m_nKeys = 0;
    }

private:
    CGXTabbedComboBox* m_pTabbed;
};

class CGXTabbedComboBox : public CGXComboBox {
public:
    CGXTabbedComboBox(CGXGridCore* pGrid, UINT nEditID, UINT nListBoxID, UINT nFlags = GXCOMBO_NOTEXTFIT);
    ~CGXTabbedComboBox() override;

    static const CGXControlClass classCGXTabbedComboBox;
    const CGXControlClass* GetControlClass() const override { return &classCGXTabbedComboBox; }
    static void AddUserAttributes(CGXStylesMap* pStylesMap);

    void InitForCell(ROWCOL nRow, ROWCOL nCol) override;
    BOOL Validate() override;
    void SetCellValue(LPCTSTR pszText) override;
    BOOL GetEditText(CString& sText) override;
    BOOL GetDisplayText(CString& sResult, ROWCOL nRow, ROWCOL nCol, LPCTSTR pszValue, const CGXStyle& style) override;
    BOOL ConvertDisplayText(CString& sText, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style) override;
    BOOL ValidateText(const CString& sText) override;
    BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType, const CGXStyle* pOldStyle) override;
    CSize ComputeContentSize(CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, BOOL bVert = FALSE) override;
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    BOOL HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT flags) override;
    BOOL OnEditChar(UINT nChar, UINT nRepCnt, UINT nFlags, LRESULT& result) override;

    CGXGridCombo* CreateDropDownWindow(CWnd* pParent, const CRect& rect) override;
    CListBox* CreateListBox(CWnd* pParent, UINT nID) override;
    void DropDown(BOOL bShow) override;
    void DestroyDropDown(CGXGridCombo* pDropDown) override;
    void ComputeListRect(CRect& rect, const CRect& rectCell) override;
    void TakeListSelection(CListBox* pListBox) override;
    void FillListBox(CListBox* pListBox) override;
    int ListLineHeight(CListBox*) override { return m_nLineHeight; }
    int HeaderHeight() override;
    void PlaceHeader(const CRect& rect) override;
    virtual void AutoComplete();

    // The settings a cell's style gives.
    struct Settings {
        int nKeyCol = 0;
        int nTextCol = 0;
        BOOL bShowAllCols = TRUE;
        BOOL bTitles = FALSE;
        CString strWidths;
        int nSortCol = -1;
        long nUniqueId = 0;  // below 1: no cache
    };
    static Settings ReadSettings(const CGXStyle& style);
    // The line whose key (or text) column equals sValue, through the shared maps when the
    // style has a unique id.
    BOOL LookupKey(const CGXStyle& style, const CString& sKey, CString& sLine);
    BOOL LookupText(const CGXStyle& style, const CString& sText, CString& sLine);
    static CString Field(const CString& sLine, int nField);
    // The widest and tallest entry of the style's list in its font (a picture entry by its
    // size), borders not added; both tabbed cells size to it.
    static CSize ChoiceListExtent(CDC* pDC, CGXGridCore* pGrid, const CGXStyle& style);

    // At most this many columns are measured and shown; a measured column gets room beside its
    // widest field, and the title strip above and below its text.
    enum : int { kMaxColumns = 10, kColumnPadding = 4, kHeaderPadding = 4 };

    int GetColumnCount() const { return m_nColCount; }
    const int* GetTabStops() const { return m_anTabStops; }
    int GetTotalWidth() const { return m_nTotalWidth; }
    CGXTabbedLBoxHeader* GetHeader() const { return m_pHeader.get(); }
    const Settings& GetSettings() const { return m_settings; }
    int GetLineHeight() const { return m_nLineHeight; }
    COLORREF GetCellBackColor() const { return m_rgbBack; }
    COLORREF GetCellTextColor() const { return m_rgbText; }

    BOOL m_bAutoComplete = TRUE;
    COLORREF m_rgbSeparator = RGB(192, 192, 192);

private:
    CGXTabbedComboCache::Maps* CacheMaps(const CGXStyle& style, const Settings& s);
    void SelectEntryOfText(CListBox* pList, const CString& sText);
    void RebuildList(CListBox* pList);

    Settings m_settings;
    int m_nColCount = 0;
    int m_anTabStops[kMaxColumns] = {};
    int m_nTotalWidth = 0;
    std::unique_ptr<CGXTabbedLBoxHeader> m_pHeader;
    int m_nLineHeight = 10;
    BOOL m_bListFilled = FALSE;
    long m_nFilledId = 0;
    DWORD m_nFilledGeneration = 0;
    BOOL m_bEverFilled = FALSE;
    COLORREF m_rgbBack = RGB(255, 255, 255);
    COLORREF m_rgbText = RGB(0, 0, 0);
    std::unique_ptr<CGXGridCombo> m_pKeptDropDown;
};
