#pragma once
// CGXObjectViewerWnd: the window an object opens in, standing in for the object's server
// application. A modeless tool window owned by the grid's window: the viewer's icon, the
// object's type name, ProgID and data size, and a Close button. Close, Escape and the
// window's close box tell the listener (the viewer), which closes the object.

#include "grid/widgets/gxoleblock.h"
#include "platform/gdi/gdiobj.h"
#include "platform/ui/dialog.h"

class CGXObjectViewerWnd : public CDialog {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnViewerWndClose() = 0;
    };

    enum : UINT { kTypeNameId = 101, kProgIdId = 102, kSizeId = 103, kCloseId = IDCANCEL };
    // Posted to itself when it opens: it takes the focus once the opening click is done, as a
    // server's window comes forward after the verb that started it.
    enum : UINT { WM_GX_VIEWER_TAKEFOCUS = WM_USER + 0x152 };
    // The icon's place and size in pixels.
    enum : int { kIconLeft = 11, kIconTop = 11, kIconSize = 32 };

    // Creates the window (or fills the one open) for the object, its top left at ptScreen, and
    // shows it in front.
    BOOL Open(CWnd* pOwner, const GXObjectBlock& object, CPoint ptScreen, Listener* pListener);
    // Destroys the window; the focus goes back to the owner when the window had it.
    void Shut();
    void BringForward();

    // What the window shows.
    CString GetItemText(UINT nID) const;
    static CString SizeText(size_t nBytes);

protected:
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Fill(const GXObjectBlock& object);
    void PaintIcon(CDC& dc);

    Listener* m_pListener = nullptr;
    HWND m_hOwner = nullptr;
    BOOL m_bDestroying = FALSE;
    CBitmap m_icon;
};
