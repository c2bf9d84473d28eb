#include "grid/widgets/gxoleviewer.h"

#include <cstring>

#include "grid/core/gxctrl.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/sys/globalmem.h"
#include "platform/win/cwnd.h"

namespace {

// The clipboard block: the byte count (32 bits, little-endian) and the bytes, so that a reader
// never takes a block's rounded-up size for the object's.
constexpr size_t kCountBytes = 4;

void ShowViewerMessage(UINT nID)
{
    GXRegisterLibraryStrings();
    AfxMessageBox(nID, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

// ---- Clipboard and variants ----

UINT GXObjectBytesClipboardFormat()
{
    static const UINT s_nFormat = ::RegisterClipboardFormat("GX_OBJECTBYTES");
    return s_nFormat;
}

BOOL GXPutObjectBytesOnClipboard(HWND hOwner, const std::vector<BYTE>& bytes)
{
    if (bytes.size() > 0xFFFFFFFFu - kCountBytes)
        return FALSE;
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, kCountBytes + bytes.size());
    BYTE* p = h ? static_cast<BYTE*>(::GlobalLock(h)) : nullptr;
    if (!p) {
        if (h)
            ::GlobalFree(h);
        return FALSE;
    }
    const uint32_t n = uint32_t(bytes.size());
    for (size_t i = 0; i < kCountBytes; ++i)
        p[i] = BYTE(n >> (8 * i));
    if (!bytes.empty())
        std::memcpy(p + kCountBytes, bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    if (!::OpenClipboard(hOwner)) {
        ::GlobalFree(h);
        return FALSE;
    }
    ::EmptyClipboard();
    const BOOL bSet = ::SetClipboardData(GXObjectBytesClipboardFormat(), h) != nullptr;
    if (!bSet)
        ::GlobalFree(h);
    ::CloseClipboard();
    return bSet;
}

BOOL GXGetObjectBytesFromClipboard(HWND hOwner, std::vector<BYTE>& bytes)
{
    bytes.clear();
    if (!::OpenClipboard(hOwner))
        return FALSE;
    BOOL bOk = FALSE;
    if (HGLOBAL h = ::GetClipboardData(GXObjectBytesClipboardFormat())) {
        const SIZE_T nSize = ::GlobalSize(h);
        if (const BYTE* p = static_cast<const BYTE*>(::GlobalLock(h))) {
            uint32_t n = 0;
            if (nSize >= kCountBytes) {
                for (size_t i = 0; i < kCountBytes; ++i)
                    n |= uint32_t(p[i]) << (8 * i);
                if (n <= nSize - kCountBytes) {
                    bytes.assign(p + kCountBytes, p + kCountBytes + n);
                    bOk = TRUE;
                }
            }
            ::GlobalUnlock(h);
        }
    }
    ::CloseClipboard();
    return bOk;
}

BOOL GXIsObjectBytesOnClipboard() { return ::IsClipboardFormatAvailable(GXObjectBytesClipboardFormat()); }

BOOL GXObjectBytesOfVariant(const VARIANT& var, std::vector<BYTE>& bytes)
{
    if (var.vt != (VT_ARRAY | VT_UI1)) {
        bytes.clear();
        return FALSE;
    }
    return COleVariant(var).GetByteArray(bytes);
}

// ---- The pop-up flag ----

void CGXPopupFlagKeeper::Begin()
{
    if (!m_bBegun) {
        m_nSaved = GetGridPopupActive();
        m_bBegun = TRUE;
    }
    SetGridPopupActive(TRUE);
}

void CGXPopupFlagKeeper::End()
{
    if (!m_bBegun)
        return;
    m_bBegun = FALSE;
    SetGridPopupActive(m_nSaved);
}

// ---- The manager ----

CGXOleViewer* CGXViewerCreator::CreateViewer(int) { return new CGXGenericViewerImpl; }

CGXViewerManager::CGXViewerManager(CGXViewerCreator* pCreator)
    : m_pCreator(pCreator ? pCreator : new CGXViewerCreator)
{
}

CGXOleViewer* CGXViewerManager::GetViewer(int nTypeId)
{
    auto it = m_viewers.find(nTypeId);
    if (it != m_viewers.end())
        return it->second.get();
    std::unique_ptr<CGXOleViewer> pViewer(m_pCreator->CreateViewer(nTypeId));
    if (!pViewer)
        return nullptr;
    CGXOleViewer* p = pViewer.get();
    m_viewers.emplace(nTypeId, std::move(pViewer));
    return p;
}

// ---- The generic viewer ----

CGXGenericViewerImpl::CGXGenericViewerImpl() = default;

CGXGenericViewerImpl::~CGXGenericViewerImpl()
{
    // The host may be going too: the window goes without telling anyone.
    m_pHost = nullptr;
    m_wnd.Shut();
}

CWnd* CGXGenericViewerImpl::OwnerWnd() const
{
    CGXControl* pControl = m_pHost ? m_pHost->GetHostControl() : nullptr;
    return pControl ? pControl->GetGridWnd() : nullptr;
}

// The object bytes: the viewer's own, else the cell's attribute 52794. False (with 20134) when
// the attribute holds something else than bytes; an empty cell gives no bytes.
static BOOL SourceBytes(const COleVariant& own, const CGXStyle& style, std::vector<BYTE>& bytes)
{
    if (GXObjectBytesOfVariant(own, bytes) && !bytes.empty())
        return TRUE;
    bytes.clear();
    if (!style.HasUserAttribute(GX_IDS_UA_OLEOBJECT))
        return TRUE;
    const auto* pAttr = dynamic_cast<const CGXOleVarUserAttribute*>(&style.GetUserAttribute(GX_IDS_UA_OLEOBJECT));
    const VARIANT* pVar = pAttr ? pAttr->GetVariant() : nullptr;
    if (pAttr && (!pVar || pVar->vt == VT_EMPTY || pVar->vt == VT_NULL))
        return TRUE;
    if (pVar && GXObjectBytesOfVariant(*pVar, bytes))
        return TRUE;
    ShowViewerMessage(GX_IDS_INVALIDBINARY);
    return FALSE;
}

BOOL CGXGenericViewerImpl::Load(const CGXStyle& style, CGXGridCore*, CGXOleViewerHost* pHost, BOOL bActivate)
{
    m_pHost = pHost;
    std::vector<BYTE> bytes;
    BOOL bOk = SourceBytes(m_var, style, bytes);
    if (bOk)
        bOk = bytes.empty() ? InsertObject() : LoadFromData(bytes.data(), bytes.size(), bActivate);
    if (!bOk)
        m_pHost = nullptr;
    return bOk;
}

BOOL CGXGenericViewerImpl::LoadFromData(const BYTE* pData, size_t nBytes, BOOL bActivate)
{
    try {
        GXObjectBlock object;
        if (!GXDecodeObjectBlock(pData, nBytes, object))
            throw eInvalidData;
        m_object = std::move(object);
        if (bActivate && !OpenWindow())
            throw eStreamFailure;
        return TRUE;
    } catch (eViewerFlags) {
        m_object.reset();
        ShowViewerMessage(GX_IDS_INVALIDBINARY);
        return FALSE;
    }
}

BOOL CGXGenericViewerImpl::OpenWindow()
{
    if (!m_object)
        return FALSE;
    CWnd* pOwner = OwnerWnd();
    CPoint pt(100, 100);
    if (CGXControl* pControl = m_pHost ? m_pHost->GetHostControl() : nullptr; pControl && pOwner) {
        // Just below the cell, as far as the screen allows.
        CRect rc = pControl->GetGrid()->CellToRect(pControl->GetRow(), pControl->GetCol());
        pOwner->ClientToScreen(&rc);
        pt = CPoint(rc.left, rc.bottom + 2);
    }
    return m_wnd.Open(pOwner, *m_object, pt, this);
}

BOOL CGXGenericViewerImpl::Activate()
{
    if (!m_pHost || !m_object)
        return FALSE;
    m_pHost->BeginPopup();
    if (OpenWindow())
        return TRUE;
    m_pHost->EndPopup();
    return FALSE;
}

void CGXGenericViewerImpl::Close()
{
    m_wnd.Shut();
    m_object.reset();
    if (m_pHost)
        m_pHost->EndPopup();
}

void CGXGenericViewerImpl::NotifyChanged()
{
    CGXControl* pControl = m_pHost ? m_pHost->GetHostControl() : nullptr;
    if (!pControl)
        return;
    pControl->GetGrid()->RedrawCells(pControl->GetRow(), pControl->GetCol(), pControl->GetRow(), pControl->GetCol(),
                                     GX_INVALIDATE);
    pControl->SetModified(TRUE);
}

void CGXGenericViewerImpl::Clear()
{
    if (IsOpen())
        Close();
    m_var.Clear();
    m_object.reset();
}

BOOL CGXGenericViewerImpl::Save()
{
    std::vector<BYTE> bytes;
    if (!m_object || !GXEncodeObjectBlock(*m_object, bytes))
        return FALSE;  // the header could not be written
    m_var = COleVariant(bytes);
    if (CGXControl* pControl = m_pHost ? m_pHost->GetHostControl() : nullptr)
        pControl->SetModified(TRUE);
    return TRUE;
}

BOOL CGXGenericViewerImpl::CanPaste() { return GXIsObjectBytesOnClipboard(); }

const COleVariant* CGXGenericViewerImpl::CreateFromClipboard(CGXOleViewerHost* pHost)
{
    m_pHost = pHost;
    CWnd* pOwner = OwnerWnd();
    std::vector<BYTE> bytes;
    GXObjectBlock object;
    if (!GXGetObjectBytesFromClipboard(pOwner ? pOwner->GetSafeHwnd() : nullptr, bytes)
        || !GXDecodeObjectBlock(bytes.data(), bytes.size(), object))
        return nullptr;
    m_object = std::move(object);
    if (!Save()) {
        m_object.reset();
        return nullptr;
    }
    return &m_var;
}

BOOL CGXGenericViewerImpl::CanCopy()
{
    std::vector<BYTE> bytes;
    return m_object.has_value() || (GXObjectBytesOfVariant(m_var, bytes) && !bytes.empty());
}

BOOL CGXGenericViewerImpl::GetDataObject(const CGXStyle& style, CGXGridCore*, CGXOleViewerHost* pHost,
                                         std::vector<BYTE>& bytes)
{
    m_pHost = pHost;
    // An empty cell has nothing to copy and asks for no new object.
    if (!SourceBytes(m_var, style, bytes) || bytes.empty() || !LoadFromData(bytes.data(), bytes.size(), FALSE)) {
        bytes.clear();
        return FALSE;
    }
    return TRUE;
}

BOOL CGXGenericViewerImpl::GetDataObjectForCut(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost,
                                               std::vector<BYTE>& bytes)
{
    return GetDataObject(style, pGrid, pHost, bytes);
}

BOOL CGXGenericViewerImpl::InsertObject()
{
    // No Insert Object dialog exists here: it fails as the dialog failing to start does.
    ShowViewerMessage(GX_IDS_INSERTOBJECTFAILED);
    return FALSE;
}
