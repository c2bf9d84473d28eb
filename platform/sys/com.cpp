// Reference-counted memory streams and the thread's COM initialisation count.

#include "platform/sys/com.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_ISequentialStream = {0x0c733a30, 0x2a1c, 0x11ce, {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
const IID IID_IStream = {0x0000000c, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistStreamInit = {0x7FD52380, 0x4E07, 0x101B, {0xAE, 0x2D, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13}};
const IID IID_IHTMLDocument2 = {0x332c4425, 0x26cb, 0x11d0, {0xb4, 0x83, 0x00, 0xc0, 0x4f, 0xd9, 0x01, 0x19}};

namespace {

thread_local int t_initCount = 0;
std::atomic<long> g_liveStreams {0};

class HGlobalStream final : public PvComObject<IStream> {
public:
    HGlobalStream(HGLOBAL hGlobal, bool owns) : m_hGlobal(hGlobal), m_owns(owns) { ++g_liveStreams; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
            *ppv = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        if (!pv && cb)
            return E_POINTER;
        const size_t size = GlobalSize(m_hGlobal);
        const size_t n = m_pos < size ? std::min<size_t>(cb, size - m_pos) : 0;
        if (n) {
            auto* p = static_cast<const BYTE*>(GlobalLock(m_hGlobal));
            if (!p)
                return E_UNEXPECTED;
            std::memcpy(pv, p + m_pos, n);
            GlobalUnlock(m_hGlobal);
            m_pos += n;
        }
        if (pcbRead)
            *pcbRead = ULONG(n);
        return n < cb ? S_FALSE : S_OK;
    }
    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        if (!pv && cb)
            return E_POINTER;
        if (m_pos + cb > GlobalSize(m_hGlobal)) {
            HGLOBAL h = GlobalReAlloc(m_hGlobal, m_pos + cb, GMEM_MOVEABLE | GMEM_ZEROINIT);
            if (!h)
                return E_OUTOFMEMORY;
            m_hGlobal = h;
        }
        if (cb) {
            auto* p = static_cast<BYTE*>(GlobalLock(m_hGlobal));
            if (!p)
                return E_UNEXPECTED;
            std::memcpy(p + m_pos, pv, cb);
            GlobalUnlock(m_hGlobal);
            m_pos += cb;
        }
        if (pcbWritten)
            *pcbWritten = cb;
        return S_OK;
    }
    HRESULT Seek(LONGLONG move, DWORD origin, ULONGLONG* pNew) override
    {
        LONGLONG base = 0;
        switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = LONGLONG(m_pos); break;
        case STREAM_SEEK_END: base = LONGLONG(GlobalSize(m_hGlobal)); break;
        default: return STG_E_INVALIDFUNCTION;
        }
        if (base + move < 0)
            return STG_E_INVALIDFUNCTION;
        m_pos = size_t(base + move);
        if (pNew)
            *pNew = m_pos;
        return S_OK;
    }
    HRESULT SetSize(ULONGLONG size) override
    {
        HGLOBAL h = GlobalReAlloc(m_hGlobal, SIZE_T(size), GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (!h)
            return E_OUTOFMEMORY;
        m_hGlobal = h;
        return S_OK;
    }

    HGLOBAL Handle() const { return m_hGlobal; }

private:
    ~HGlobalStream() override
    {
        if (m_owns)
            GlobalFree(m_hGlobal);
        --g_liveStreams;
    }
    HGLOBAL m_hGlobal;
    bool m_owns;
    size_t m_pos = 0;
};

} // namespace

HRESULT CoInitialize(LPVOID)
{
    return t_initCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_initCount > 0)
        --t_initCount;
}

BOOL PvCoIsInitialized() { return t_initCount > 0; }

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm)
{
    if (!ppstm)
        return E_INVALIDARG;
    *ppstm = nullptr;
    if (!hGlobal) {
        hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!hGlobal)
            return E_OUTOFMEMORY;
    } else if (!GlobalLock(hGlobal)) {
        return E_INVALIDARG;  // not a live block
    } else {
        GlobalUnlock(hGlobal);
    }
    *ppstm = new HGlobalStream(hGlobal, fDeleteOnRelease != FALSE);
    return S_OK;
}

HRESULT GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal)
{
    auto* s = dynamic_cast<HGlobalStream*>(pstm);
    if (!s || !phglobal)
        return E_INVALIDARG;
    *phglobal = s->Handle();
    return S_OK;
}

long PvLiveStreamCount() { return g_liveStreams; }

BOOL COleDispatchException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = m_dwHelpContext;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    std::snprintf(lpszError, nMaxError, "%s", static_cast<LPCTSTR>(m_strDescription));
    return TRUE;
}

CString PvGuidText(const GUID& g)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1),
                  unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4],
                  g.Data4[5], g.Data4[6], g.Data4[7]);
    return CString(buf);
}
