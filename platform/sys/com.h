#pragma once
// The least of COM the program calls: reference-counted interfaces found by interface id, a
// per-thread initialisation count, and memory streams over global memory blocks.

#include "platform/base/pvdefs.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/ole.h"

#include <cstdint>

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
inline bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           __builtin_memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}
inline bool IsEqualGUID(const GUID& a, const GUID& b) { return a == b; }
#define IsEqualIID IsEqualGUID

#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)(int32_t)0x80004002)
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL ((HRESULT)(int32_t)0x80004001)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)(int32_t)0x80004005)
#endif
#ifndef E_UNEXPECTED
#define E_UNEXPECTED ((HRESULT)(int32_t)0x8000FFFF)
#endif
#ifndef STG_E_INVALIDFUNCTION
#define STG_E_INVALIDFUNCTION ((HRESULT)(int32_t)0x80030001)
#endif
#ifndef CO_E_NOTINITIALIZED
#define CO_E_NOTINITIALIZED ((HRESULT)(int32_t)0x800401F0)
#endif

extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_ISequentialStream;
extern const IID IID_IStream;
extern const IID IID_IPersistStreamInit;
extern const IID IID_IHTMLDocument2;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

// Automation objects; the program reaches their members through the wrappers' dispatch ids.
struct IDispatch : IUnknown {};
typedef IDispatch* LPDISPATCH;

#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2

struct ISequentialStream : IUnknown {
    virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    virtual HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
};
struct IStream : ISequentialStream {
    virtual HRESULT Seek(LONGLONG dlibMove, DWORD dwOrigin, ULONGLONG* plibNewPosition) = 0;
    virtual HRESULT SetSize(ULONGLONG libNewSize) = 0;
};
typedef IStream* LPSTREAM;

struct IPersistStreamInit : IUnknown {
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IStream* pStm) = 0;
};

// The count of CoInitialize calls not yet undone on this thread; S_FALSE when already initialised.
HRESULT CoInitialize(LPVOID pvReserved);
void CoUninitialize();
// Whether COM is initialised on this thread (what tests check after a view's destruction).
BOOL PvCoIsInitialized();

// A stream over the global memory block (a new, growable one when hGlobal is null). With
// fDeleteOnRelease the stream owns the block and frees it on its last release; the caller must
// then not free it too.
HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm);
HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal);
// Streams alive now (tests check that every stream was released).
long PvLiveStreamCount();
