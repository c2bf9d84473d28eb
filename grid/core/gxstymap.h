#pragma once
// CGXStylesMap: a grid's named base styles (with the standard "Standard", "Column Header" and
// "Row Header"), the registry of user attributes the cell controls understand, and the names
// of the registered cell controls.

#include <map>
#include <memory>

#include "grid/core/gxstyle.h"
#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/base/collections.h"

// What the id lookups answer for a style that is not registered (never a valid base-style id).
constexpr WORD GX_INVALID_STYLEID = 0xFFFF;

struct CGXStylesMapEntry {
    WORD nId = 0;
    UINT nResourceId = 0; // 0 for a style registered by name
    CString sName;
    std::unique_ptr<CGXStyle> pStyle;
    DWORD dwFlags = 0;    // 1 for the styles the library creates itself
};

struct CGXUserAttributeEntry {
    WORD nId = 0;
    CString sName;
    std::unique_ptr<CGXStyle> pStyle; // how the attribute is edited
};

class CGXStylesMap : public CObject, public GXArchiveAdoptable {
    DECLARE_SERIAL(CGXStylesMap)
public:
    explicit CGXStylesMap(CRuntimeClass* pStyleClass = nullptr);
    CGXStylesMap(const CGXStylesMap& other);
    CGXStylesMap& operator=(const CGXStylesMap& other) { Assign(other); return *this; }
    ~CGXStylesMap() override { RemoveAll(); }

    void Serialize(CArchive& ar) override;
    virtual void WriteProfile();
    virtual BOOL ReadProfile();
    void Assign(const CGXStylesMap& other);

    void CreateStandardStyles();
    WORD RegisterStyleByResource(UINT nResourceId, const CGXStyle& style, DWORD dwFlags = 0);
    WORD RegisterStyleByName(LPCTSTR pszName, const CGXStyle& style, DWORD dwFlags = 0);
    // Re-enters an entry exactly as stored (used when loading and copying).
    void RestoreStyleEntry(WORD nId, UINT nResourceId, LPCTSTR pszName, CGXStyle* pStyle, DWORD dwFlags);

    // GX_INVALID_STYLEID when none is registered, so an unknown name is not taken for "Standard".
    WORD LookupStyleIdByName(LPCTSTR pszName) const;
    WORD LookupStyleIdByResource(UINT nResourceId) const;
    BOOL LookupStyleId(LPCTSTR pszName, WORD& nId) const;
    // The name (null when the id is unknown) and the string-table id.
    LPCTSTR LookupStyleName(WORD nId, UINT& nResourceId) const;
    BOOL LookupStyleEntry(WORD nId, const CGXStyle*& pStyle) const;
    BOOL LookupStyleEntry(WORD nId, CGXStyle*& pStyle);
    const CGXStylesMapEntry* LookupEntry(WORD nId) const;

    // Iteration over the base styles in id order.
    POSITION GetStartPosition() const;
    void GetNextStyle(POSITION& pos, CString& sName, WORD& nId, const CGXStyle*& pStyle, UINT& nResourceId) const;
    int GetStyleCount() const { return int(m_styles.size()); }

    void RegisterControl(UINT nControlId);
    LPCTSTR GetControlName(UINT nControlId) const;
    const std::map<UINT, CString>& GetControlNames() const { return m_controlNames; }
    void SetControlName(UINT nControlId, LPCTSTR pszName) { m_controlNames[nControlId] = pszName; }
    void AddUserAttribute(WORD nId, const CGXStyle* pEditStyle = nullptr);
    // Enters an attribute without the string table (loading and copying).
    void RestoreUserAttribute(WORD nId, LPCTSTR pszName, CGXStyle* pEditStyle);
    const std::map<WORD, std::unique_ptr<CGXUserAttributeEntry>>& GetUserAttributeMap() const { return m_userAttributes; }

    void RemoveAll();
    void RemoveAllStyles();
    void RemoveAllTexts() { m_controlNames.clear(); }

    // Objects kept beside the base styles and deleted with them; ownership passes here.
    void SetFurtherObject(WORD nKey, CObject* pObject);

    CGXStyle* CreateStyle() const;
    const CRuntimeClass* GetStyleClass() const { return m_pStyleClass; }
    void SetStyleClass(const CRuntimeClass* p) { m_pStyleClass = p ? p : RUNTIME_CLASS(CGXStyle); }
    // Re-reads the ids of the three standard styles from their string ids.
    void UpdateStandardStyleIds();

    WORD m_wStyleStandard = 0;
    WORD m_wStyleColHeader = 0;
    WORD m_wStyleRowHeader = 0;
    WORD m_nNextId = 0;
    CString m_sSection {"Styles"};

    const std::map<UINT, WORD>& GetResourceIds() const { return m_resourceIds; }

private:
    WORD NewStyleId();
    void StoreEntry(WORD nId, UINT nResourceId, const CString& sName, const CGXStyle& style, DWORD dwFlags);

    const CRuntimeClass* m_pStyleClass = nullptr;
    std::map<WORD, std::unique_ptr<CGXStylesMapEntry>> m_styles;
    std::map<WORD, std::unique_ptr<CObject>> m_furtherObjects;
    std::map<UINT, WORD> m_resourceIds;
    std::map<CString, WORD> m_names;
    std::map<UINT, CString> m_controlNames;
    std::map<WORD, std::unique_ptr<CGXUserAttributeEntry>> m_userAttributes;
};

// String ids of the standard base styles.
enum : UINT { GX_IDS_STYLE_STANDARD = 52768, GX_IDS_STYLE_ROWHEADER = 52769, GX_IDS_STYLE_COLHEADER = 52770 };

// Reads an archived styles-map pointer (null allowed).
void ArchiveExtractStylesMap(CArchive& ar, CGXStylesMap*& pMap);
