#pragma once
// CGXMaskData: the model behind a masked edit. A mask becomes a row of positions, each a fixed
// literal or an input slot for one class of characters; each position holds one whole UTF-8
// character. With an empty mask (and the free-text flag) it is a plain text buffer.

#include <string>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CGXMaskData : public CObject {
    DECLARE_DYNCREATE(CGXMaskData)
public:
    CGXMaskData() = default;
    void Serialize(CArchive&) override {}

    virtual void ClearMask();
    virtual void SetMask(LPCTSTR pszMask);
    virtual void GetValueText(CString& sOut, int nFirst, int nLast, BOOL bTrim);
    virtual int SetValueText(LPCTSTR pszText, int nPos, BOOL bInsert);
    virtual void GetMaskedText(CString& sOut, int nFirst, int nLast);
    virtual int SetMaskedText(LPCTSTR pszText, int nPos, BOOL bInsert);
    virtual BOOL IsValidChar(int nPos, CString& sChar);
    virtual int NextInputPos(int nPos);
    virtual int PrevInputPos(int nPos);
    virtual int GetEndOfInput(int nPos);
    virtual BOOL InsertChar(int nPos, const CString& sChar, int& nNext);
    virtual void DeleteRange(int nEnd, int nStart);
    virtual BOOL IsValid();
    virtual BOOL IsMaskEmpty() { return m_mask.empty(); }
    virtual int GetLength() { return int(m_input.size()); }
    virtual int PosToByteOffset(int nPos);
    virtual int ByteOffsetToPos(int nOffset);
    virtual void ResetInput();
    virtual int GetMaxLength() { return m_nMaxLength; }
    virtual void SetMaxLength(int n) { m_nMaxLength = n; }
    virtual BOOL IsMaskChar(TCHAR c);
    virtual BOOL IsLiteral(int nPos);

    BOOL SetPromptChar(LPCTSTR pszPrompt, BOOL bUpdate);
    const CString& GetPromptChar() const { return m_sPrompt; }
    int GetPosCount() const { return int(m_mask.size()); }

    // Splits UTF-8 text into whole characters; a stray byte counts as one.
    static std::vector<std::string> SplitChars(const char* psz);

protected:
    BOOL IsFreeText() const { return m_bFreeText && m_mask.empty(); }
    BOOL IsInputPos(int nPos) const;
    int LastInputPos() const;

    std::vector<std::string> m_mask;
    std::vector<BYTE> m_literal;
    std::vector<std::string> m_input;
    CString m_sPrompt = "_";
    BOOL m_bFreeText = TRUE;
    int m_nMaxLength = 2147483647;
};
