#pragma once
// Object viewers. A viewer holds the object of one object cell: the stored bytes
// (VT_ARRAY | VT_UI1) and, while it is loaded, the object read from them. With no object servers
// here, the one viewer kind, CGXGenericViewerImpl, opens an object in a tool window of its own
// that shows its icon, type name, ProgID and data size; the object data itself stays opaque.
// CGXViewerManager keeps one viewer per viewer type id. The cell control a viewer works for is
// reached through CGXOleViewerHost, so that the widgets never include the cell controls.

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "grid/widgets/gxoleblock.h"
#include "grid/widgets/gxoleviewwnd.h"
#include "platform/base/pvdefs.h"
#include "platform/sys/ole.h"

class CGXControl;
class CGXGridCore;
class CGXStyle;

// Texts of the object cells, in the grid library's string table.
enum : UINT {
    GX_IDS_INVALIDBINARY = 20134,        // "The binary data is not valid."
    GX_IDS_COPYFAILED = 20203,           // "The copy operation failed"
    GX_IDS_CUTFAILED = 20204,            // "The cut operation failed"
    GX_IDS_INSERTOBJECTTITLE = 20205,    // "Gridwerk Insert Object"
    GX_IDS_VIEWERSPAWNED = 20206,        // "You have already spawned a viewer. Please use this for editing"
    GX_IDS_INSERTOBJECTFAILED = 20207,   // "Failed to invoke insert object dialog."
};

// User attributes of object cells: the stored bytes and the viewer type id.
enum : WORD { GX_IDS_UA_OLEOBJECT = 52794, GX_IDS_UA_VIEWERTYPE = 52801 };

// The private clipboard format that carries a whole block of stored object bytes.
UINT GXObjectBytesClipboardFormat();
// Puts the bytes on the clipboard as the only format; false when the clipboard refuses.
BOOL GXPutObjectBytesOnClipboard(HWND hOwner, const std::vector<BYTE>& bytes);
// The bytes the clipboard holds in the private format; false when it has none.
BOOL GXGetObjectBytesFromClipboard(HWND hOwner, std::vector<BYTE>& bytes);
BOOL GXIsObjectBytesOnClipboard();
// The bytes of a VT_ARRAY | VT_UI1 variant; false for any other type.
BOOL GXObjectBytesOfVariant(const VARIANT& var, std::vector<BYTE>& bytes);

// The grid library's pop-up flag as an object cell holds it while its viewer runs: the former
// value is saved on the first Begin only, and End restores it once. Re-activating an open
// viewer begins again without saving over the value kept.
class CGXPopupFlagKeeper {
public:
    void Begin();
    void End();
    BOOL IsBegun() const { return m_bBegun; }

private:
    BOOL m_bBegun = FALSE;
    int m_nSaved = 0;
};

// What a viewer needs of the cell control it works for.
class CGXOleViewerHost {
public:
    virtual ~CGXOleViewerHost() = default;
    virtual CGXControl* GetHostControl() = 0;
    // Sets the grid library's pop-up flag, keeping its former value; EndPopup restores it.
    virtual void BeginPopup() = 0;
    virtual void EndPopup() = 0;
};

class CGXOleViewer {
public:
    // Errors of loading and saving, thrown inside the viewer and shown as message 20134.
    enum eViewerFlags { eOutOfMemory = 2, eInvalidData = 3, eStreamFailure = 4, eNoClientSite = 5, eHeaderFailure = 6 };

    virtual ~CGXOleViewer() = default;
    // The cell's object for the host: from the viewer's own bytes when it holds some, else from
    // the style's attribute 52794 (which must be VT_ARRAY | VT_UI1: otherwise 20134). Bytes are
    // loaded (and opened with bActivate); a cell without bytes asks for a new object.
    virtual BOOL Load(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost, BOOL bActivate) = 0;
    // Brings an open object forward (opening it when it is loaded but not shown).
    virtual BOOL Activate() = 0;
    // The loaded object; null when none is.
    virtual const GXObjectBlock* GetObjectData() const = 0;
    // Closes the object's window, releases the object and ends the host's pop-up.
    virtual void Close() = 0;
    virtual void NotifyChanged() = 0;
    // Forgets the bytes and the object.
    virtual void Clear() = 0;
    // Writes the loaded object into the viewer's bytes (header, data, trailer).
    virtual BOOL Save() = 0;
    virtual const COleVariant& GetVariant() const = 0;
    virtual BOOL CanPaste() = 0;
    // A new object from the clipboard, saved into the viewer's bytes; null when there is none.
    virtual const COleVariant* CreateFromClipboard(CGXOleViewerHost* pHost) = 0;
    virtual BOOL CanCopy() = 0;
    // The bytes to put on the clipboard: the cell's object loaded without opening it.
    virtual BOOL GetDataObject(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost,
                               std::vector<BYTE>& bytes) = 0;
    virtual BOOL CanCut() = 0;
    // As GetDataObject; the caller clears the object once the clipboard holds the bytes.
    virtual BOOL GetDataObjectForCut(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost,
                                     std::vector<BYTE>& bytes) = 0;
    // A new object for an empty cell: fails here (no Insert Object dialog), with message 20207.
    virtual BOOL InsertObject() = 0;
    virtual LONG GetVerb() const { return 0; }
    virtual BOOL LoadFromData(const BYTE* pData, size_t nBytes, BOOL bActivate) = 0;
    virtual BOOL HasObjectData() const = 0;
    // Whether the object is open in its window (the stand-in for running in its server).
    virtual BOOL IsOpen() const = 0;
};

// Makes the viewer of a viewer type id; the default one makes CGXGenericViewerImpl viewers.
class CGXViewerCreator {
public:
    virtual ~CGXViewerCreator() = default;
    virtual CGXOleViewer* CreateViewer(int nTypeId);
};

class CGXViewerManager {
public:
    // Takes the creator (null: the default one).
    explicit CGXViewerManager(CGXViewerCreator* pCreator = nullptr);
    CGXViewerManager(const CGXViewerManager&) = delete;
    CGXViewerManager& operator=(const CGXViewerManager&) = delete;

    // The viewer of the type id, made on first use; null when the creator makes none.
    CGXOleViewer* GetViewer(int nTypeId);
    size_t GetCount() const { return m_viewers.size(); }

private:
    std::unique_ptr<CGXViewerCreator> m_pCreator;
    std::map<int, std::unique_ptr<CGXOleViewer>> m_viewers;
};

class CGXGenericViewerImpl : public CGXOleViewer, private CGXObjectViewerWnd::Listener {
public:
    CGXGenericViewerImpl();
    ~CGXGenericViewerImpl() override;

    BOOL Load(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost, BOOL bActivate) override;
    BOOL Activate() override;
    const GXObjectBlock* GetObjectData() const override { return m_object ? &*m_object : nullptr; }
    void Close() override;
    void NotifyChanged() override;
    void Clear() override;
    BOOL Save() override;
    const COleVariant& GetVariant() const override { return m_var; }
    BOOL CanPaste() override;
    const COleVariant* CreateFromClipboard(CGXOleViewerHost* pHost) override;
    BOOL CanCopy() override;
    BOOL GetDataObject(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost,
                       std::vector<BYTE>& bytes) override;
    BOOL CanCut() override { return CanCopy(); }
    BOOL GetDataObjectForCut(const CGXStyle& style, CGXGridCore* pGrid, CGXOleViewerHost* pHost,
                             std::vector<BYTE>& bytes) override;
    BOOL InsertObject() override;
    BOOL LoadFromData(const BYTE* pData, size_t nBytes, BOOL bActivate) override;
    BOOL HasObjectData() const override { return m_object.has_value(); }
    BOOL IsOpen() const override { return m_wnd.GetSafeHwnd() != nullptr; }

    CGXOleViewerHost* GetHost() const { return m_pHost; }
    CGXObjectViewerWnd& GetViewerWnd() { return m_wnd; }

private:
    // The window's Close button and Escape.
    void OnViewerWndClose() override { Close(); }
    // Shows the loaded object's window (the server's primary verb).
    BOOL OpenWindow();
    CWnd* OwnerWnd() const;
    BOOL LoadBytes(const std::vector<BYTE>& bytes, BOOL bActivate);

    CGXOleViewerHost* m_pHost = nullptr;  // the control worked for; none while idle
    COleVariant m_var;                    // bytes written by Save
    std::optional<GXObjectBlock> m_object;  // the loaded object
    CGXObjectViewerWnd m_wnd;
};
