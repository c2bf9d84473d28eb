#include "platform/base/CObject.h"

#include <cstring>

#include "platform/base/CArchive.h"

namespace {
// Zero-initialised before any constructor runs, so registration order does not matter.
CRuntimeClass* g_pFirstClass = nullptr;
} // namespace

CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr, nullptr};
static PvClassInit _pv_init_CObject(&CObject::classCObject);

PvClassInit::PvClassInit(CRuntimeClass* pNewClass)
{
    pNewClass->m_pNextClass = g_pFirstClass;
    g_pFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (lpszClassName == nullptr)
        return nullptr;
    for (CRuntimeClass* p = g_pFirstClass; p != nullptr; p = p->m_pNextClass) {
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0)
            return p;
    }
    return nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR lpszClassName)
{
    CRuntimeClass* p = FromName(lpszClassName);
    return p ? p->CreateObject() : nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    const WORD nLen = WORD(std::strlen(m_lpszClassName));
    ar << WORD(m_wSchema & ~VERSIONABLE_SCHEMA);
    ar << nLen;
    ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema, nLen;
    ar >> wSchema >> nLen;
    *pwSchemaNum = wSchema;
    // Class names are short identifiers; a longer one is damage, not a class.
    char szClassName[64 + 1];
    if (nLen >= sizeof szClassName)
        return nullptr;
    ar.EnsureRead(szClassName, nLen);
    szClassName[nLen] = '\0';
    // A name with a zero byte inside is not the name of any class.
    if (std::strlen(szClassName) != nLen)
        return nullptr;
    return FromName(szClassName);
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &CObject::classCObject;
}

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const
{
    return (GetRuntimeClass()->m_wSchema & ~VERSIONABLE_SCHEMA) != 0xFFFF;
}
