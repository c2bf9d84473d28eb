#pragma once
// User attributes: values a style carries under 16-bit ids (string-table ids) for the cell
// controls and drawing code, and the sorted map in which a style keeps them.

#include <memory>
#include <string>
#include <vector>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/sys/ole.h"
#include "grid/core/gxarchive.h"

class CGXAbstractUserAttribute : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXAbstractUserAttribute)
public:
    CGXAbstractUserAttribute() = default;
    CGXAbstractUserAttribute(const CGXAbstractUserAttribute&) = default;

    void Serialize(CArchive& ar) override;
    virtual CGXAbstractUserAttribute& SetValueText(LPCTSTR pszValue);
    virtual CGXAbstractUserAttribute& SetValueString(const CString& strValue) { return SetValueText(strValue); }
    // The value as text; each call gives its own copy.
    virtual CString GetValueText() const { return CString(); }
    virtual LONG GetLong() const;
    virtual DWORD GetDWord() const { return DWORD(GetLong()); }
    virtual double GetDouble() const;
    virtual CGXAbstractUserAttribute* Clone() const { return nullptr; }
    virtual BOOL IsEqual(const CGXAbstractUserAttribute& other) const;
    virtual BOOL IsEmpty() const { return GetValueText().IsEmpty(); }

    WORD m_nId = 0;
};

class CGXUserAttribute : public CGXAbstractUserAttribute {
    DECLARE_SERIAL(CGXUserAttribute)
public:
    enum ValueKind : DWORD { vtEmpty = 0, vtDWord = 1, vtLong = 2, vtShortText = 3, vtLongText = 4, vtDouble = 5, vtBinary = 6 };

    CGXUserAttribute() = default;
    explicit CGXUserAttribute(LONG lValue);
    explicit CGXUserAttribute(LPCTSTR pszValue);
    CGXUserAttribute(const CGXUserAttribute& other) = default;
    CGXUserAttribute& operator=(const CGXUserAttribute& other) = default;

    void Serialize(CArchive& ar) override;
    CGXAbstractUserAttribute& SetValueText(LPCTSTR pszValue) override;
    CString GetValueText() const override;
    LONG GetLong() const override;
    DWORD GetDWord() const override;
    double GetDouble() const override;
    CGXAbstractUserAttribute* Clone() const override { return new CGXUserAttribute(*this); }
    BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;

    DWORD GetKind() const { return m_nKind; }
    void SetDWord(DWORD dw);
    void SetLong(LONG l);
    void SetDouble(double d);
    void SetBinary(ULONGLONG v);
    // Text the number test would leave as text (used for values read back from archives).
    void SetText(const char* psz, size_t nLength);

private:
    void Clear() { m_nKind = vtEmpty; std::fill(std::begin(m_value), std::end(m_value), BYTE(0)); m_strLong.clear(); }
    DWORD ReadDWord(int offset) const;
    CString ShortText() const;

    DWORD m_nKind = vtEmpty;
    BYTE m_value[8] = {};
    std::string m_strLong; // kind 4
};

class CGXEllipseUserAttribute : public CGXAbstractUserAttribute {
    DECLARE_SERIAL(CGXEllipseUserAttribute)
public:
    CGXEllipseUserAttribute() = default;
    explicit CGXEllipseUserAttribute(DWORD dwValue) : m_dwValue(dwValue) {}

    void Serialize(CArchive& ar) override;
    CGXAbstractUserAttribute& SetValueText(LPCTSTR) override { return *this; }
    CGXAbstractUserAttribute& SetValueString(const CString&) override { return *this; }
    CString GetValueText() const override { return CString(); }
    LONG GetLong() const override { return LONG(m_dwValue); }
    DWORD GetDWord() const override { return m_dwValue; }
    double GetDouble() const override { return double(m_dwValue); }
    CGXAbstractUserAttribute* Clone() const override { return new CGXEllipseUserAttribute(*this); }
    BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;
    BOOL IsEmpty() const override { return TRUE; }

    virtual void SetValue(DWORD dwValue) { m_dwValue = dwValue; }
    virtual DWORD GetValue() const { return m_dwValue; }

private:
    DWORD m_dwValue = 0;
};

// A variant value (an object's bytes in a record grid). Its value belongs to this run only:
// it is never archived, and archived ones read back empty.
class CGXOleVarUserAttribute : public CGXAbstractUserAttribute {
    DECLARE_SERIAL(CGXOleVarUserAttribute)
public:
    CGXOleVarUserAttribute() = default;
    CGXOleVarUserAttribute(const CGXOleVarUserAttribute& other);

    void Serialize(CArchive& ar) override;
    CGXAbstractUserAttribute& SetValueText(LPCTSTR) override { return *this; }
    CGXAbstractUserAttribute& SetValueString(const CString&) override { return *this; }
    CString GetValueText() const override { return CString(); }
    CGXAbstractUserAttribute* Clone() const override { return new CGXOleVarUserAttribute(*this); }
    BOOL IsEqual(const CGXAbstractUserAttribute& other) const override;
    BOOL IsEmpty() const override;

    void SetVariant(const VARIANT& var);
    // Null when no value was ever set.
    const VARIANT* GetVariant() const { return m_pVariant.get(); }
    // Same id and an equal value.
    virtual BOOL IsSameVariant(const CGXOleVarUserAttribute& other) const;
    // Set by a control that took a new value for the cell; a record grid takes a marked value
    // into the record's edit and clears the mark.
    BOOL IsChanged() const { return m_bChanged; }
    void SetChanged(BOOL bChanged) { m_bChanged = bChanged; }

private:
    std::unique_ptr<COleVariant> m_pVariant;
    BOOL m_bChanged = FALSE;
};

// Owned attributes sorted by id, at most one per id.
class CGXUserAttributeMap : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXUserAttributeMap)
public:
    CGXUserAttributeMap() = default;
    CGXUserAttributeMap(const CGXUserAttributeMap&) = delete;
    CGXUserAttributeMap& operator=(const CGXUserAttributeMap&) = delete;
    ~CGXUserAttributeMap() override { DeleteAll(); }

    const CGXAbstractUserAttribute* Lookup(WORD nId) const;
    CGXAbstractUserAttribute* Lookup(WORD nId);
    // Takes ownership; an attribute already held under nId is deleted.
    void SetAttribute(WORD nId, CGXAbstractUserAttribute* pAttribute);
    void SetAttributeCopy(WORD nId, const CGXAbstractUserAttribute& attribute);
    void RemoveAttribute(WORD nId);
    void ChangeAttributes(const CGXUserAttributeMap& other, int mode);
    BOOL IsEmpty() const { return m_attributes.empty(); }
    int GetSize() const { return int(m_attributes.size()); }
    CGXAbstractUserAttribute* GetAt(int i) const { return m_attributes[size_t(i)]; }
    void DeleteAll();
    void SortById();
    void Serialize(CArchive& ar) override;

private:
    std::vector<CGXAbstractUserAttribute*> m_attributes;
};
