#pragma once
// CObject and runtime-class records: type tests, creation by class name, and the schema number
// an archive writes for each class.

#include "platform/base/pvdefs.h"

class CObject;
class CArchive;

// Any schema is accepted on load when a class's schema carries this flag; the class then asks
// the archive for the stored number with CArchive::GetObjectSchema.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                  // 0xFFFF for classes that cannot be archived
    CObject* (*m_pfnCreateObject)(); // null for classes without dynamic creation
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;     // registration chain, filled at start-up

    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    static CRuntimeClass* FromName(LPCSTR lpszClassName);
    static CObject* CreateObject(LPCSTR lpszClassName);

    // The class record of an archive: WORD schema, WORD name length, name.
    void Store(CArchive& ar) const;
    // Reads a class record and finds the class; null when no class of that name is registered.
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

// Links a class record into the list that FromName searches.
struct PvClassInit {
    explicit PvClassInit(CRuntimeClass* pNewClass);
};

class CObject {
public:
    static CRuntimeClass classCObject;

    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const {}

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define PV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, int(sizeof(class_name)), UINT(wSchema), pfnNew, RUNTIME_CLASS(base_class_name), nullptr}; \
    static PvClassInit _pv_init_##class_name(&class_name::class##class_name); \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    PV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    PV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema) \
    CObject* class_name::CreateObject() { return new class_name; } \
    PV_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    CArchive& operator>>(CArchive& ar, class_name*& pOb) \
    { \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name))); \
        return ar; \
    }
