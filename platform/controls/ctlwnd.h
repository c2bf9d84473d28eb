#pragma once
// The framework's wrappers of the standard controls: thin CWnd classes that create the control
// window and send it its messages.

#include "platform/controls/ctldefs.h"
#include "platform/win/cwnd.h"

// Creates a control window of a registered standard class (registering them first).
BOOL PvCreateControl(CWnd* pWnd, LPCTSTR lpszClass, LPCTSTR lpszText, DWORD dwStyle, const RECT& rect,
                     CWnd* pParentWnd, UINT nID, DWORD dwExStyle = 0);

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff)
    {
        return PvCreateControl(this, WC_STATIC, lpszText, dwStyle, rect, pParentWnd, nID);
    }
    HBITMAP SetBitmap(HBITMAP hBitmap) { return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap))); }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP)); }
    HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon))); }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, WC_BUTTON, lpszCaption, dwStyle, rect, pParentWnd, nID);
    }
    UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, WPARAM(nCheck)); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
    HBITMAP SetBitmap(HBITMAP hBitmap) { return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap))); }
    HBITMAP GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP)); }
    // Owner-drawn buttons override this.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, WC_EDIT, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    BOOL CanUndo() const { return BOOL(SendMessage(EM_CANUNDO)); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void GetRect(LPRECT lpRect) const { SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }
    DWORD GetSel() const { return DWORD(SendMessage(EM_GETSEL)); }
    void GetSel(int& nStartChar, int& nEndChar) const
    {
        DWORD a = 0, b = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        nStartChar = int(a);
        nEndChar = int(b);
    }
    int GetLine(int nIndex, LPTSTR lpszBuffer, int nMaxLength) const
    {
        if (nMaxLength < int(sizeof(WORD))) return 0;
        WORD n = WORD(nMaxLength);
        *reinterpret_cast<WORD*>(lpszBuffer) = n;
        return int(SendMessage(EM_GETLINE, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszBuffer)));
    }
    void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
    int LineFromChar(int nIndex = -1) const { return int(SendMessage(EM_LINEFROMCHAR, WPARAM(nIndex))); }
    int LineIndex(int nLine = -1) const { return int(SendMessage(EM_LINEINDEX, WPARAM(nLine))); }
    int LineLength(int nLine = -1) const { return int(SendMessage(EM_LINELENGTH, WPARAM(nLine))); }
    void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, WPARAM(nChars), nLines); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText)); }
    void SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, WPARAM(static_cast<unsigned char>(ch))); }
    TCHAR GetPasswordChar() const { return TCHAR(SendMessage(EM_GETPASSWORDCHAR)); }
    void SetRect(LPCRECT lpRect) { SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(lpRect)); }
    void SetRectNP(LPCRECT lpRect) { SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(lpRect)); }
    void SetSel(DWORD dwSelection, BOOL bNoScroll = FALSE) { SetSel(int(short(LOWORD(dwSelection))), int(short(HIWORD(dwSelection))), bNoScroll); }
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE)
    {
        SendMessage(EM_SETSEL, WPARAM(nStartChar), nEndChar);
        if (!bNoScroll) SendMessage(EM_SCROLLCARET);
    }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, bReadOnly)); }
    int GetFirstVisibleLine() const { return int(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, WPARAM(nChars)); }
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    UINT GetLimitText() const { return UINT(SendMessage(EM_GETLIMITTEXT)); }
    void SetMargins(UINT nLeft, UINT nRight) { SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight)); }
    DWORD GetMargins() const { return DWORD(SendMessage(EM_GETMARGINS)); }
    CPoint PosFromChar(UINT nChar) const
    {
        LRESULT r = SendMessage(EM_POSFROMCHAR, nChar);
        return CPoint(short(LOWORD(r)), short(HIWORD(r)));
    }
    int CharFromPos(CPoint pt) const { return int(SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(pt.x, pt.y))); }
    BOOL Undo() { return BOOL(SendMessage(EM_UNDO)); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
};

class CListBox : public CWnd {
    DECLARE_DYNAMIC(CListBox)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, WC_LISTBOX, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
    int GetHorizontalExtent() const { return 0; }
    void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, WPARAM(cxExtent)); }
    int GetTopIndex() const { return int(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int nIndex) { return int(SendMessage(LB_SETTOPINDEX, WPARAM(nIndex))); }
    DWORD_PTR GetItemData(int nIndex) const { return DWORD_PTR(SendMessage(LB_GETITEMDATA, WPARAM(nIndex))); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return int(SendMessage(LB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData))); }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int GetItemRect(int nIndex, LPRECT lpRect) const { return int(SendMessage(LB_GETITEMRECT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpRect))); }
    int GetSel(int nIndex) const { return int(SendMessage(LB_GETSEL, WPARAM(nIndex))); }
    int GetText(int nIndex, LPTSTR lpszBuffer) const { return int(SendMessage(LB_GETTEXT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszBuffer))); }
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const { return int(SendMessage(LB_GETTEXTLEN, WPARAM(nIndex))); }
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return int(SendMessage(LB_SETITEMHEIGHT, WPARAM(nIndex), MAKELONG(cyItemHeight, 0))); }
    int GetItemHeight(int nIndex) const { return int(SendMessage(LB_GETITEMHEIGHT, WPARAM(nIndex))); }
    int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return int(SendMessage(LB_SETCURSEL, WPARAM(nSelect))); }
    int SetSel(int nIndex, BOOL bSelect = TRUE) { return int(SendMessage(LB_SETSEL, bSelect, nIndex)); }
    int GetSelCount() const { return int(SendMessage(LB_GETSELCOUNT)); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const { return int(SendMessage(LB_GETSELITEMS, WPARAM(nMaxItems), reinterpret_cast<LPARAM>(rgIndex))); }
    int GetCaretIndex() const { return int(SendMessage(LB_GETCARETINDEX)); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE) { return int(SendMessage(LB_SETCARETINDEX, WPARAM(nIndex), bScroll)); }
    int AddString(LPCTSTR lpszItem) { return int(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszItem))); }
    int DeleteString(UINT nIndex) { return int(SendMessage(LB_DELETESTRING, nIndex)); }
    int InsertString(int nIndex, LPCTSTR lpszItem) { return int(SendMessage(LB_INSERTSTRING, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszItem))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int FindString(int nStartAfter, LPCTSTR lpszItem) const { return int(SendMessage(LB_FINDSTRING, WPARAM(nStartAfter), reinterpret_cast<LPARAM>(lpszItem))); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return int(SendMessage(LB_FINDSTRINGEXACT, WPARAM(nIndexStart), reinterpret_cast<LPARAM>(lpszFind))); }
    int SelectString(int nStartAfter, LPCTSTR lpszItem) { return int(SendMessage(LB_SELECTSTRING, WPARAM(nStartAfter), reinterpret_cast<LPARAM>(lpszItem))); }
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const
    {
        LRESULT r = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
        bOutside = HIWORD(r) != 0;
        return LOWORD(r);
    }
    // Owner-drawn list boxes override these.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    virtual int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
    virtual void DeleteItem(LPDELETEITEMSTRUCT) {}
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// A list box whose items carry a check box. Owner-drawn with strings; the check state lives
// beside each item's data, so the item data stays the caller's.
class CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)
public:
    CCheckListBox() = default;
    ~CCheckListBox() override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetCheckStyle(UINT nStyle) { m_nStyle = nStyle; }
    UINT GetCheckStyle() const { return m_nStyle; }
    void SetCheck(int nIndex, int nCheck);
    int GetCheck(int nIndex) const;
    void Enable(int nIndex, BOOL bEnabled = TRUE);
    BOOL IsEnabled(int nIndex) const;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    // Pressing the box or the space bar toggles; the parent gets CLBN_CHKCHANGE.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    static const UINT CLBN_CHKCHANGE = 40;
protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
private:
    struct State { int check = 0; bool enabled = true; };
    State* stateOf(int nIndex) const;
    void toggle(int nIndex);
    UINT m_nStyle = BS_AUTOCHECKBOX;
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, WC_COMBOBOX, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return int(SendMessage(CB_SETCURSEL, WPARAM(nSelect))); }
    DWORD GetEditSel() const { return DWORD(SendMessage(CB_GETEDITSEL)); }
    BOOL LimitText(int nMaxChars) { return BOOL(SendMessage(CB_LIMITTEXT, WPARAM(nMaxChars))); }
    BOOL SetEditSel(int nStartChar, int nEndChar) { return BOOL(SendMessage(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar))); }
    DWORD_PTR GetItemData(int nIndex) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, WPARAM(nIndex))); }
    int SetItemData(int nIndex, DWORD_PTR dwItemData) { return int(SendMessage(CB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData))); }
    void* GetItemDataPtr(int nIndex) const { return reinterpret_cast<void*>(GetItemData(nIndex)); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(pData)); }
    int GetLBText(int nIndex, LPTSTR lpszText) const { return int(SendMessage(CB_GETLBTEXT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszText))); }
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const { return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(nIndex))); }
    int SetItemHeight(int nIndex, UINT cyItemHeight) { return int(SendMessage(CB_SETITEMHEIGHT, WPARAM(nIndex), MAKELONG(cyItemHeight, 0))); }
    int GetItemHeight(int nIndex) const { return int(SendMessage(CB_GETITEMHEIGHT, WPARAM(nIndex))); }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const { return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(nIndexStart), reinterpret_cast<LPARAM>(lpszFind))); }
    int GetDroppedWidth() const { return int(SendMessage(CB_GETDROPPEDWIDTH)); }
    int SetDroppedWidth(UINT nWidth) { return int(SendMessage(CB_SETDROPPEDWIDTH, nWidth)); }
    void GetDroppedControlRect(LPRECT lprect) const { SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(lprect)); }
    BOOL GetDroppedState() const { return BOOL(SendMessage(CB_GETDROPPEDSTATE)); }
    int GetTopIndex() const { return int(SendMessage(CB_GETTOPINDEX)); }
    int SetTopIndex(int nIndex) { return int(SendMessage(CB_SETTOPINDEX, WPARAM(nIndex))); }
    void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
    int AddString(LPCTSTR lpszString) { return int(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString))); }
    int DeleteString(UINT nIndex) { return int(SendMessage(CB_DELETESTRING, nIndex)); }
    int InsertString(int nIndex, LPCTSTR lpszString) { return int(SendMessage(CB_INSERTSTRING, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszString))); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int FindString(int nStartAfter, LPCTSTR lpszString) const { return int(SendMessage(CB_FINDSTRING, WPARAM(nStartAfter), reinterpret_cast<LPARAM>(lpszString))); }
    int SelectString(int nStartAfter, LPCTSTR lpszString) { return int(SendMessage(CB_SELECTSTRING, WPARAM(nStartAfter), reinterpret_cast<LPARAM>(lpszString))); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    virtual int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }
    virtual void DeleteItem(LPDELETEITEMSTRUCT) {}
protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
    void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, WPARAM(nLower), nUpper); }
    void GetRange(int& nLower, int& nUpper) const
    {
        PBRANGE r {};
        SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
        nLower = r.iLow;
        nUpper = r.iHigh;
    }
    int GetPos() const { return int(SendMessage(PBM_GETPOS)); }
    int OffsetPos(int nPos) { return int(SendMessage(PBM_DELTAPOS, WPARAM(nPos))); }
    int SetPos(int nPos) { return int(SendMessage(PBM_SETPOS, WPARAM(nPos))); }
    int SetStep(int nStep) { return int(SendMessage(PBM_SETSTEP, WPARAM(nStep))); }
    int StepIt() { return int(SendMessage(PBM_STEPIT)); }
};

class CRichEditCtrl : public CWnd {
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return PvCreateControl(this, RICHEDIT_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    BOOL CanUndo() const { return BOOL(SendMessage(EM_CANUNDO)); }
    BOOL CanPaste(UINT nFormat = 0) const { return BOOL(SendMessage(EM_CANPASTE, nFormat)); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    void GetSel(long& nStartChar, long& nEndChar) const
    {
        CHARRANGE cr {};
        GetSel(cr);
        nStartChar = cr.cpMin;
        nEndChar = cr.cpMax;
    }
    void SetSel(long nStartChar, long nEndChar)
    {
        CHARRANGE cr {LONG(nStartChar), LONG(nEndChar)};
        SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    }
    void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    CString GetSelText() const;
    DWORD GetEventMask() const { return DWORD(SendMessage(EM_GETEVENTMASK)); }
    DWORD SetEventMask(DWORD dwEventMask) { return DWORD(SendMessage(EM_SETEVENTMASK, 0, LPARAM(dwEventMask))); }
    UINT GetOptions() const { return UINT(SendMessage(EM_GETOPTIONS)); }
    void SetOptions(WORD wOp, DWORD dwFlags) { SendMessage(EM_SETOPTIONS, wOp, LPARAM(dwFlags)); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, bReadOnly)); }
    void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
    long GetLimitText() const { return long(SendMessage(EM_GETLIMITTEXT)); }
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) { return COLORREF(SendMessage(EM_SETBKGNDCOLOR, bSysColor, LPARAM(cr))); }
    DWORD GetDefaultCharFormat(CHARFORMAT& cf) const { return DWORD(SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf))); }
    DWORD GetSelectionCharFormat(CHARFORMAT& cf) const { return DWORD(SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf))); }
    BOOL SetDefaultCharFormat(CHARFORMAT& cf) { return BOOL(SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf))); }
    BOOL SetSelectionCharFormat(CHARFORMAT& cf) { return BOOL(SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf))); }
    BOOL SetWordCharFormat(CHARFORMAT& cf) { return SetSelectionCharFormat(cf); }
    DWORD GetParaFormat(PARAFORMAT& pf) const { return DWORD(SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf))); }
    BOOL SetParaFormat(PARAFORMAT& pf) { return BOOL(SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf))); }
    BOOL SetTargetDevice(HDC hDC, long lLineWidth) { return BOOL(SendMessage(EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(hDC), lLineWidth)); }
    long StreamIn(int nFormat, EDITSTREAM& es) { return long(SendMessage(EM_STREAMIN, WPARAM(nFormat), reinterpret_cast<LPARAM>(&es))); }
    long StreamOut(int nFormat, EDITSTREAM& es) { return long(SendMessage(EM_STREAMOUT, WPARAM(nFormat), reinterpret_cast<LPARAM>(&es))); }
    long FormatRange(FORMATRANGE* pfr, BOOL bDisplay = TRUE) { return long(SendMessage(EM_FORMATRANGE, bDisplay, reinterpret_cast<LPARAM>(pfr))); }
    void RequestResize() { SendMessage(EM_REQUESTRESIZE); }
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText)); }
    int LineFromChar(long nIndex) const { return int(SendMessage(EM_EXLINEFROMCHAR, 0, nIndex)); }
    int LineIndex(int nLine = -1) const { return int(SendMessage(EM_LINEINDEX, WPARAM(nLine))); }
    int GetFirstVisibleLine() const { return int(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, WPARAM(nChars), nLines); }
    void HideSelection(BOOL bHide, BOOL) { SendMessage(EM_HIDESELECTION, bHide); }
    void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
    BOOL Undo() { return BOOL(SendMessage(EM_UNDO)); }
    void Clear() { SendMessage(WM_CLEAR); }
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
    // Streams RTF (or plain text) in and out of a string.
    void PvSetRtf(const CString& rtf, int nFormat = SF_RTF);
    CString PvGetRtf(int nFormat = SF_RTF);
};
