#include "grid/core/gxuattr.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "grid/core/gxarchive.h"
#include "grid/core/gxstate.h"
#include "platform/base/CArchive.h"

namespace {

LONG TextToLong(const char* psz)
{
    const long long v = std::strtoll(psz, nullptr, 10);
    return LONG(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

LONG DoubleToLong(double d)
{
    if (!std::isfinite(d))
        return 0;
    return LONG(std::clamp(d, double(INT32_MIN), double(INT32_MAX)));
}

} // namespace

// ---- abstract base ----

IMPLEMENT_SERIAL(CGXAbstractUserAttribute, CObject, 0)

void CGXAbstractUserAttribute::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << GetValueText();
    } else {
        CString s;
        ar >> s;
        SetValueString(s);
    }
}

CGXAbstractUserAttribute& CGXAbstractUserAttribute::SetValueText(LPCTSTR) { return *this; }
LONG CGXAbstractUserAttribute::GetLong() const { return TextToLong(GetValueText()); }
double CGXAbstractUserAttribute::GetDouble() const { return std::atof(GetValueText()); }

BOOL CGXAbstractUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    return m_nId == other.m_nId && GetValueText() == other.GetValueText();
}

// ---- value attribute ----

IMPLEMENT_SERIAL(CGXUserAttribute, CGXAbstractUserAttribute, 0)

CGXUserAttribute::CGXUserAttribute(LONG lValue) { SetLong(lValue); }

CGXUserAttribute::CGXUserAttribute(LPCTSTR pszValue)
{
    if (!pszValue || !*pszValue)
        m_nKind = vtShortText;
    else
        SetValueText(pszValue);
}

void CGXUserAttribute::SetDWord(DWORD dw)
{
    Clear();
    m_nKind = vtDWord;
    std::memcpy(m_value, &dw, sizeof(dw));
}

void CGXUserAttribute::SetLong(LONG l)
{
    Clear();
    m_nKind = vtLong;
    std::memcpy(m_value, &l, sizeof(l));
}

void CGXUserAttribute::SetDouble(double d)
{
    Clear();
    m_nKind = vtDouble;
    std::memcpy(m_value, &d, sizeof(d));
}

void CGXUserAttribute::SetBinary(ULONGLONG v)
{
    Clear();
    m_nKind = vtBinary;
    std::memcpy(m_value, &v, sizeof(v));
}

void CGXUserAttribute::SetText(const char* psz, size_t nLength)
{
    Clear();
    if (nLength > sizeof(m_value)) {
        m_nKind = vtLongText;
        m_strLong.assign(psz, nLength);
    } else {
        m_nKind = vtShortText;
        std::memcpy(m_value, psz, nLength);
    }
}

CGXAbstractUserAttribute& CGXUserAttribute::SetValueText(LPCTSTR pszValue)
{
    Clear();
    if (!pszValue || !*pszValue)
        return *this;
    // A number only when it is written exactly as "%.13g" writes it back.
    double d;
    if (GXParseNumber(pszValue, d)) {
        CString s;
        s.Format("%.13g", d);
        if (s == pszValue) {
            SetDouble(d);
            return *this;
        }
    }
    SetText(pszValue, std::strlen(pszValue));
    return *this;
}

DWORD CGXUserAttribute::ReadDWord(int offset) const
{
    DWORD dw;
    std::memcpy(&dw, m_value + offset, sizeof(dw));
    return dw;
}

CString CGXUserAttribute::ShortText() const
{
    const char* p = reinterpret_cast<const char*>(m_value);
    return CString(p, int(strnlen(p, sizeof(m_value))));
}

CString CGXUserAttribute::GetValueText() const
{
    CString s;
    double d;
    switch (m_nKind) {
    case vtEmpty: break;
    case vtDWord: s.Format("%lu", (unsigned long)ReadDWord(0)); break;
    case vtLong: s.Format("%ld", (long)LONG(ReadDWord(0))); break;
    case vtShortText: s = ShortText(); break;
    case vtLongText: s = CString(m_strLong); break;
    case vtDouble: std::memcpy(&d, m_value, sizeof(d)); s.Format("%.13g", d); break;
    case vtBinary: s.Format("%08x%08x", (unsigned)ReadDWord(0), (unsigned)ReadDWord(4)); break;
    default: s = "Value?"; break;
    }
    return s;
}

LONG CGXUserAttribute::GetLong() const
{
    double d;
    switch (m_nKind) {
    case vtDWord:
    case vtLong: return LONG(ReadDWord(0));
    case vtShortText:
    case vtLongText: return TextToLong(GetValueText());
    case vtDouble: std::memcpy(&d, m_value, sizeof(d)); return DoubleToLong(d);
    default: return 0;
    }
}

DWORD CGXUserAttribute::GetDWord() const { return DWORD(GetLong()); }

double CGXUserAttribute::GetDouble() const
{
    double d;
    switch (m_nKind) {
    case vtDWord: return double(ReadDWord(0));
    case vtLong: return double(LONG(ReadDWord(0)));
    case vtShortText:
    case vtLongText: return std::atof(GetValueText());
    case vtDouble: std::memcpy(&d, m_value, sizeof(d)); return d;
    default: return 0;
    }
}

BOOL CGXUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    const auto* o = dynamic_cast<const CGXUserAttribute*>(&other);
    if (!o || m_nId != o->m_nId || m_nKind != o->m_nKind)
        return FALSE;
    switch (m_nKind) {
    case vtEmpty: return TRUE;
    case vtDWord:
    case vtLong: return ReadDWord(0) == o->ReadDWord(0);
    case vtShortText:
    case vtLongText: return GetValueText() == o->GetValueText();
    case vtDouble: return GetDouble() == o->GetDouble();
    default: return std::memcmp(m_value, o->m_value, sizeof(m_value)) == 0;
    }
}

void CGXUserAttribute::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << BYTE(m_nKind);
        if (m_nKind == vtShortText || m_nKind == vtLongText)
            ar << GetValueText();
        else
            ar.Write(m_value, sizeof(m_value));
    } else {
        BYTE kind;
        ar >> kind;
        if (kind == vtShortText || kind == vtLongText) {
            CString s;
            ar >> s;
            SetText(s, size_t(s.GetLength()));
        } else {
            Clear();
            ar.EnsureRead(m_value, sizeof(m_value));
            m_nKind = kind;
        }
    }
}

// ---- ellipsis mode ----

IMPLEMENT_SERIAL(CGXEllipseUserAttribute, CGXAbstractUserAttribute, 0)

BOOL CGXEllipseUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    const auto* o = dynamic_cast<const CGXEllipseUserAttribute*>(&other);
    return o && o->m_dwValue == m_dwValue;
}

void CGXEllipseUserAttribute::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << WORD(m_dwValue);
    } else {
        WORD w;
        ar >> w;
        m_dwValue = w;
    }
}

// ---- variant ----

IMPLEMENT_SERIAL(CGXOleVarUserAttribute, CGXAbstractUserAttribute, 0)

CGXOleVarUserAttribute::CGXOleVarUserAttribute(const CGXOleVarUserAttribute& other)
    : CGXAbstractUserAttribute(other), m_bChanged(other.m_bChanged)
{
    if (other.m_pVariant)
        m_pVariant = std::make_unique<COleVariant>(*other.m_pVariant);
}

void CGXOleVarUserAttribute::SetVariant(const VARIANT& var)
{
    if (!m_pVariant)
        m_pVariant = std::make_unique<COleVariant>(var);
    else
        *m_pVariant = COleVariant(var);
}

BOOL CGXOleVarUserAttribute::IsEmpty() const { return !m_pVariant || m_pVariant->vt == VT_EMPTY; }

BOOL CGXOleVarUserAttribute::IsSameVariant(const CGXOleVarUserAttribute& other) const
{
    if (m_nId != other.m_nId)
        return FALSE;
    if (!m_pVariant || !other.m_pVariant)
        return IsEmpty() && other.IsEmpty();
    return m_pVariant->operator==(static_cast<const VARIANT&>(*other.m_pVariant));
}

BOOL CGXOleVarUserAttribute::IsEqual(const CGXAbstractUserAttribute& other) const
{
    const auto* o = dynamic_cast<const CGXOleVarUserAttribute*>(&other);
    return o && IsSameVariant(*o);
}

void CGXOleVarUserAttribute::Serialize(CArchive& ar)
{
    // The 32-bit slot once held an address of the writing process; it means nothing to any
    // other run, so nothing is stored in it and whatever an old file holds reads as empty.
    if (ar.IsStoring()) {
        ar << DWORD(0);
    } else {
        DWORD dw;
        ar >> dw;
        m_pVariant.reset();
    }
}

// ---- map ----

IMPLEMENT_SERIAL(CGXUserAttributeMap, CObject, 0)

static bool IdLess(const CGXAbstractUserAttribute* a, WORD id) { return a->m_nId < id; }

const CGXAbstractUserAttribute* CGXUserAttributeMap::Lookup(WORD nId) const
{
    auto it = std::lower_bound(m_attributes.begin(), m_attributes.end(), nId, IdLess);
    return it != m_attributes.end() && (*it)->m_nId == nId ? *it : nullptr;
}

CGXAbstractUserAttribute* CGXUserAttributeMap::Lookup(WORD nId)
{
    return const_cast<CGXAbstractUserAttribute*>(static_cast<const CGXUserAttributeMap*>(this)->Lookup(nId));
}

void CGXUserAttributeMap::SetAttribute(WORD nId, CGXAbstractUserAttribute* pAttribute)
{
    if (!pAttribute)
        return;
    pAttribute->m_nId = nId;
    auto it = std::lower_bound(m_attributes.begin(), m_attributes.end(), nId, IdLess);
    if (it != m_attributes.end() && (*it)->m_nId == nId) {
        if (*it != pAttribute)
            delete *it;
        *it = pAttribute;
    } else {
        m_attributes.insert(it, pAttribute);
    }
}

void CGXUserAttributeMap::SetAttributeCopy(WORD nId, const CGXAbstractUserAttribute& attribute)
{
    SetAttribute(nId, attribute.Clone());
}

void CGXUserAttributeMap::RemoveAttribute(WORD nId)
{
    auto it = std::lower_bound(m_attributes.begin(), m_attributes.end(), nId, IdLess);
    if (it != m_attributes.end() && (*it)->m_nId == nId) {
        delete *it;
        m_attributes.erase(it);
    }
}

void CGXUserAttributeMap::ChangeAttributes(const CGXUserAttributeMap& other, int mode)
{
    if (&other == this)
        return;
    if (mode == 2)
        DeleteAll();
    if (mode == 3) {
        for (const CGXAbstractUserAttribute* a : other.m_attributes)
            RemoveAttribute(a->m_nId);
        return;
    }
    for (const CGXAbstractUserAttribute* a : other.m_attributes) {
        if (mode == 1 && Lookup(a->m_nId))
            continue;
        if (CGXAbstractUserAttribute* copy = a->Clone())
            SetAttribute(a->m_nId, copy);
    }
}

void CGXUserAttributeMap::DeleteAll()
{
    for (CGXAbstractUserAttribute* a : m_attributes)
        delete a;
    m_attributes.clear();
}

void CGXUserAttributeMap::SortById()
{
    std::stable_sort(m_attributes.begin(), m_attributes.end(),
                     [](const CGXAbstractUserAttribute* a, const CGXAbstractUserAttribute* b) { return a->m_nId < b->m_nId; });
}

void CGXUserAttributeMap::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        GXWriteWordCount(ar, m_attributes.size());
        for (const CGXAbstractUserAttribute* a : m_attributes) {
            ar.WriteObject(a);
            ar << a->m_nId;
        }
    } else {
        DeleteAll();
        WORD n;
        ar >> n;
        ar.CheckCount(n, 4);
        for (WORD i = 0; i < n; i++) {
            CGXAbstractUserAttribute* a = GXAdoptObject(CGXAbstractUserAttribute, ar);
            if (a)
                m_attributes.push_back(a); // owned from here on, so a failure below cannot lose it
            WORD id;
            ar >> id;
            if (a)
                a->m_nId = id;
        }
        // A damaged file may repeat an id: refuse it rather than free one of the two while the
        // archive may still refer to it.
        SortById();
        for (size_t i = 1; i < m_attributes.size(); i++) {
            if (m_attributes[i]->m_nId == m_attributes[i - 1]->m_nId)
                AfxThrowArchiveException(CArchiveException::badIndex);
        }
    }
}
