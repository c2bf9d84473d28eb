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

// An object implementing the interfaces Bases, born with one reference; the last Release deletes it.
template <class... Bases>
class PvComObject : public Bases... {
public:
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        const ULONG n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }

private:
    ULONG m_refs = 1;
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

// ---- Automation calls into hosted controls ----
typedef long DISPID;
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#ifndef DISP_E_MEMBERNOTFOUND
#define DISP_E_MEMBERNOTFOUND ((HRESULT)(int32_t)0x80020003)
#endif
#ifndef DISP_E_BADPARAMCOUNT
#define DISP_E_BADPARAMCOUNT ((HRESULT)(int32_t)0x8002000E)
#endif
#ifndef DISP_E_EXCEPTION
#define DISP_E_EXCEPTION ((HRESULT)(int32_t)0x80020009)
#endif
#define VT_VARIANT_ARG 12
#define VT_DISPATCH_ARG 9
#define VT_BYREF_FLAG 0x40  // in a parameter byte: passed by pointer
// Parameter descriptions of InvokeHelper, one byte per argument, as strings.
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_PI4 "\x43"
#define VTS_PVARIANT "\x4C"
#define VTS_NONE ""

// One argument of a call as the control receives it; only the member for its type is set.
struct PvDispArg {
    VARTYPE vt = VT_EMPTY;
    long lVal = 0;                       // VTS_I2, VTS_I4, VTS_BOOL
    const char* pszVal = nullptr;        // VTS_BSTR
    const VARIANT* pvarVal = nullptr;    // VTS_VARIANT
    VARIANT* pvarRef = nullptr;          // VTS_PVARIANT
    long* plRef = nullptr;               // VTS_PI4
    IDispatch* pdispVal = nullptr;       // VTS_DISPATCH
};
// A call sent to a control's window as WM_PV_INVOKE (lParam). The control sets hr (S_OK once
// it took the call) and the result: text for VT_BSTR, lVal for VT_I4 and VT_BOOL, pdispVal
// (a reference the caller owns) for VT_DISPATCH, var for VT_VARIANT.
struct PvDispCall {
    DISPID dispid = 0;
    WORD wFlags = 0;
    VARTYPE vtRet = VT_EMPTY;
    PvDispArg args[8];
    int nArgs = 0;
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    CString strResult;
    long lResult = 0;
    IDispatch* pdispResult = nullptr;
    COleVariant varResult;
};
#define WM_PV_INVOKE 0x8F20  // WM_APP range

class COleDispatchException : public CException {
public:
    COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
        : m_wCode(wCode), m_strDescription(lpszDescription ? lpszDescription : ""), m_dwHelpContext(nHelpID)
    {
    }
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
    WORD m_wCode;
    CString m_strDescription;
    DWORD m_dwHelpContext;
    SCODE m_scError = 0;
};

// The text of a class identifier: "{8856F961-340A-11D0-A96B-00C04FD705A2}".
CString PvGuidText(const GUID& guid);
