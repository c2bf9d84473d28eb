#pragma once
// CGXProgressCtrl: a cell's number as a horizontal bar between a lower and an upper bound,
// with a caption formatted from the number. Windowless, display only.

#include "grid/core/gxctrl.h"

// User attributes of progress cells.
enum : WORD {
    GX_IDS_UA_PROGRESS_LOWER = 51025,
    GX_IDS_UA_PROGRESS_UPPER = 51026,
    GX_IDS_UA_PROGRESS_CAPTION = 51027,
};

class CGXProgressCtrl : public CGXControl {
public:
    explicit CGXProgressCtrl(CGXGridCore* pGrid) : CGXControl(pGrid) {}

    static const CGXControlClass classCGXProgressCtrl;
    const CGXControlClass* GetControlClass() const override { return &classCGXProgressCtrl; }
    void Draw(CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
              const CGXStyle* pStandardStyle) override;
    // Values outside the bounds are stored at the nearer bound.
    BOOL StoreStyleRange(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mt, int nType,
                         const CGXStyle* pOldStyle) override;

    virtual void FormatCaption(CString& sCaption, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style);
    virtual COLORREF GetBarColor(BOOL bBar, const CGXStyle& style);
    virtual COLORREF GetCaptionColor(BOOL bBar, const CGXStyle& style);

    static void AddUserAttributes(CGXStylesMap* pStylesMap);
    // The caption of a value: the format's text with "%%" as '%' and its first integer
    // conversion (d, i, u, x, X with flags, a width and l) filled with the value; any other
    // '%' sequence, and any further conversion, is shown as written. A caption is a stored
    // style text, so it is never handed to printf as it stands.
    static CString FormatValue(LPCTSTR pszFormat, long nValue);
    // The bar's width in pixels for a cell cx wide; 0 when the bounds leave no range.
    static int BarWidth(long nValue, long nLower, long nUpper, int cx);

    // The scale of the last bar drawn: value units per pixel.
    double GetScale() const { return m_dScale; }

private:
    double m_dScale = 1.0;
};
