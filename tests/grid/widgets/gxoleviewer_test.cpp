// Object viewers: one viewer per type id, the viewer window with the object's names and size,
// closing it by its button, Escape and its owner, the pop-up flag kept across re-activations, the
// refusals (20134, 20207) and the object bytes through the private clipboard format.

#include "grid/widgets/gxoleviewer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"
#include "platform/sys/globalmem.h"
#include "tests/grid/controls/gxgridfixture.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Sketch(Bytes data = {7, 8, 9})
{
    Bytes v;
    EXPECT_TRUE(GXEncodeObjectBlock({"Sketch Drawing", "Sketch.Drawing.1", std::move(data)}, v));
    return v;
}

// A style whose attribute 52794 holds the variant.
CGXStyle ObjectStyle(const VARIANT& var)
{
    auto* pAttr = new CGXOleVarUserAttribute;
    pAttr->SetVariant(var);
    CGXStyle style;
    style.SetUserAttributePtr(GX_IDS_UA_OLEOBJECT, pAttr);
    return style;
}
CGXStyle ObjectStyle(const Bytes& bytes) { return ObjectStyle(COleVariant(bytes)); }

// The control a viewer works for: it only keeps the modified mark.
class MarkControl : public CGXControl {
public:
    using CGXControl::CGXControl;
    void SetModified(BOOL b) override { m_bModified = b; }
    BOOL IsModified() override { return m_bModified; }
    BOOL m_bModified = FALSE;
};

// A host that keeps the pop-up flag as the object cell does, and counts.
class TestHost : public CGXOleViewerHost {
public:
    explicit TestHost(CGXControl* pControl) : m_pControl(pControl) {}
    CGXControl* GetHostControl() override { return m_pControl; }
    void BeginPopup() override
    {
        ++m_nBegins;
        m_keeper.Begin();
    }
    void EndPopup() override
    {
        ++m_nEnds;
        m_keeper.End();
    }
    CGXControl* m_pControl;
    CGXPopupFlagKeeper m_keeper;
    int m_nBegins = 0;
    int m_nEnds = 0;
};

class ViewerTest : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        m_pControl = std::make_unique<MarkControl>(m_grid.get());
        m_host = std::make_unique<TestHost>(m_pControl.get());
        SetGridPopupActive(FALSE);
    }
    void TearDown() override
    {
        m_viewer.reset();
        m_host.reset();
        m_pControl.reset();
        SetGridPopupActive(FALSE);
        GridFixture::TearDown();
    }
    // The viewer opened on the object as the cell's button does: the pop-up begun first.
    BOOL Open(const CGXStyle& style)
    {
        m_host->BeginPopup();
        const BOOL b = Viewer().Load(style, m_grid.get(), m_host.get(), TRUE);
        if (!b)
            m_host->EndPopup();
        PvPumpMessages();
        return b;
    }
    CGXGenericViewerImpl& Viewer()
    {
        if (!m_viewer)
            m_viewer = std::make_unique<CGXGenericViewerImpl>();
        return *m_viewer;
    }
    CGXObjectViewerWnd& Wnd() { return Viewer().GetViewerWnd(); }
    static BOOL FocusIn(CWnd& wnd)
    {
        const HWND h = ::GetFocus();
        return h && (h == wnd.GetSafeHwnd() || ::IsChild(wnd.GetSafeHwnd(), h));
    }

    std::unique_ptr<MarkControl> m_pControl;
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<CGXGenericViewerImpl> m_viewer;
};

TEST(ViewerManager, KeepsOneViewerPerTypeIdMadeByItsCreator)
{
    struct OnlyPositive : CGXViewerCreator {
        CGXOleViewer* CreateViewer(int nTypeId) override
        {
            ++m_nMade;
            return nTypeId >= 0 ? CGXViewerCreator::CreateViewer(nTypeId) : nullptr;
        }
        int m_nMade = 0;
    };
    auto* pCreator = new OnlyPositive;
    CGXViewerManager manager(pCreator);
    CGXOleViewer* p1 = manager.GetViewer(1);
    ASSERT_NE(p1, nullptr);
    EXPECT_NE(dynamic_cast<CGXGenericViewerImpl*>(p1), nullptr);
    EXPECT_EQ(manager.GetViewer(1), p1) << "one viewer per type id";
    EXPECT_NE(manager.GetViewer(2), p1);
    EXPECT_EQ(manager.GetViewer(-1), nullptr) << "the creator may make none";
    EXPECT_EQ(manager.GetCount(), 2u);
    EXPECT_EQ(pCreator->m_nMade, 3);

    CGXViewerManager plain;
    EXPECT_NE(dynamic_cast<CGXGenericViewerImpl*>(plain.GetViewer(-1)), nullptr) << "the empty creator";
}

TEST_F(ViewerTest, OpensAToolWindowWithTheObjectsIconNamesAndSize)
{
    ASSERT_TRUE(Open(ObjectStyle(Sketch())));
    ASSERT_TRUE(Viewer().IsOpen());
    ASSERT_NE(Viewer().GetObjectData(), nullptr);
    EXPECT_EQ(Viewer().GetObjectData()->progId, "Sketch.Drawing.1");
    CGXObjectViewerWnd& wnd = Wnd();
    EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kTypeNameId), "Sketch Drawing");
    EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kProgIdId), "ProgID: Sketch.Drawing.1");
    EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kSizeId), "Object data: 3 bytes");
    EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kCloseId), "Close");
    CString sCaption;
    wnd.GetWindowText(sCaption);
    EXPECT_STREQ(sCaption, "Sketch Drawing");
    EXPECT_EQ(::GetWindow(wnd.GetSafeHwnd(), GW_OWNER), m_wnd.GetSafeHwnd()) << "owned by the grid's window";
    EXPECT_NE(wnd.GetExStyle() & WS_EX_TOOLWINDOW, 0u);
    EXPECT_TRUE(wnd.IsWindowVisible());
    EXPECT_TRUE(FocusIn(wnd)) << "the window takes the focus once the opening is done";
    EXPECT_EQ(CGXObjectViewerWnd::SizeText(1), "Object data: 1 byte");

    // The icon: its page outline and the shape's selection colour, where the window paints it.
    wnd.Invalidate();
    wnd.UpdateWindow();
    CClientDC dc(&wnd);
    const int x = CGXObjectViewerWnd::kIconLeft, y = CGXObjectViewerWnd::kIconTop;
    EXPECT_EQ(dc.GetPixel(x + 5, y + 15), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(dc.GetPixel(x + 10, y + 13), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_TRUE(s_boxes.empty());
}

TEST_F(ViewerTest, CloseButtonEscapeAndTheCloseBoxCloseTheObject)
{
    struct Case {
        const char* what;
        void (*close)(CGXObjectViewerWnd&);
    };
    const Case cases[] = {
        {.what = "Close button",
         .close = [](CGXObjectViewerWnd& w) {
             CRect rc;
             w.GetDlgItem(CGXObjectViewerWnd::kCloseId)->GetWindowRect(&rc);
             PvInputClick(rc.CenterPoint().x, rc.CenterPoint().y);
             PvPumpMessages();
         }},
        {.what = "Escape",
         .close = [](CGXObjectViewerWnd& w) {
             MSG msg {::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
             ASSERT_TRUE(::IsChild(w.GetSafeHwnd(), msg.hwnd));
             EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
         }},
        {.what = "close box", .close = [](CGXObjectViewerWnd& w) { w.SendMessage(WM_CLOSE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(Open(ObjectStyle(Sketch())));
        ASSERT_TRUE(FocusIn(Wnd()));
        EXPECT_EQ(GetGridPopupActive(), TRUE);
        c.close(Wnd());
        EXPECT_FALSE(Viewer().IsOpen());
        EXPECT_FALSE(Viewer().HasObjectData()) << "the object is released";
        EXPECT_EQ(GetGridPopupActive(), FALSE) << "the former value";
        EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd()) << "the focus goes back to the grid";
    }
}

TEST_F(ViewerTest, PopupFlagIsSavedOnTheFirstBeginAndRestoredOnce)
{
    struct Case {
        const char* what;
        int former;
        int reactivations;
    };
    const Case cases[] = {
        {.what = "opened once", .former = FALSE, .reactivations = 0},
        {.what = "brought forward twice", .former = FALSE, .reactivations = 2},
        {.what = "set before", .former = TRUE, .reactivations = 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetGridPopupActive(c.former);
        ASSERT_TRUE(Open(ObjectStyle(Sketch())));
        EXPECT_EQ(GetGridPopupActive(), TRUE);
        for (int i = 0; i < c.reactivations; ++i) {
            EXPECT_TRUE(Viewer().Activate());
            EXPECT_EQ(GetGridPopupActive(), TRUE);
        }
        Viewer().Close();
        EXPECT_EQ(GetGridPopupActive(), c.former);
        // Restored once: a second end or a close without an open object changes nothing.
        SetGridPopupActive(7);
        Viewer().Close();
        m_host->EndPopup();
        EXPECT_EQ(GetGridPopupActive(), 7);
        SetGridPopupActive(FALSE);
    }
}

TEST_F(ViewerTest, ActivateBringsTheOpenWindowForward)
{
    ASSERT_TRUE(Open(ObjectStyle(Sketch())));
    m_wnd.SetFocus();
    ASSERT_FALSE(FocusIn(Wnd()));
    EXPECT_TRUE(Viewer().Activate());
    PvPumpMessages();
    EXPECT_TRUE(FocusIn(Wnd()));
    EXPECT_EQ(::GetWindow(m_wnd.GetSafeHwnd(), GW_HWNDFIRST), Wnd().GetSafeHwnd()) << "in front";

    // Without an object there is nothing to bring forward.
    Viewer().Close();
    EXPECT_FALSE(Viewer().Activate());
    EXPECT_EQ(GetGridPopupActive(), FALSE);
}

TEST_F(ViewerTest, BytesThatAreNoObjectShowTheInvalidDataMessage)
{
    Bytes wrongSignature = Sketch();
    wrongSignature[0] = 0x16;
    Bytes pastTheEnd = Sketch();
    pastTheEnd[14] = 0xF0;  // the ProgID's offset
    CGXStyle textAttribute;
    textAttribute.SetUserAttribute(GX_IDS_UA_OLEOBJECT, "Sketch");
    struct Case {
        const char* what;
        CGXStyle style;
    };
    const Case cases[] = {
        {.what = "wrong signature", .style = ObjectStyle(wrongSignature)},
        {.what = "offsets past the end", .style = ObjectStyle(pastTheEnd)},
        {.what = "23 bytes", .style = ObjectStyle(Bytes(23, 0))},
        {.what = "a text variant", .style = ObjectStyle(COleVariant("Sketch"))},
        {.what = "a number variant", .style = ObjectStyle(COleVariant(long(5)))},
        {.what = "a text attribute", .style = textAttribute},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s_boxes.clear();
        EXPECT_FALSE(Open(c.style));
        EXPECT_EQ(s_boxes, std::vector<std::string> {"The binary data is not valid."});
        EXPECT_FALSE(Viewer().IsOpen());
        EXPECT_FALSE(Viewer().HasObjectData());
        EXPECT_EQ(Viewer().GetHost(), nullptr) << "a failed load forgets the control";
        Bytes bytes;
        EXPECT_FALSE(Viewer().GetDataObject(c.style, m_grid.get(), m_host.get(), bytes));
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(GetGridPopupActive(), FALSE);
    }
}

TEST_F(ViewerTest, AnEmptyCellAsksForANewObjectWhichFails)
{
    const CGXStyle cases[] = {CGXStyle(), ObjectStyle(COleVariant()), ObjectStyle(Bytes())};
    for (const CGXStyle& style : cases) {
        s_boxes.clear();
        EXPECT_FALSE(Open(style));
        EXPECT_EQ(s_boxes, std::vector<std::string> {"Failed to invoke insert object dialog."});
        EXPECT_FALSE(Viewer().IsOpen());
        // Copying an empty cell asks for nothing.
        s_boxes.clear();
        Bytes bytes;
        EXPECT_FALSE(Viewer().GetDataObject(style, m_grid.get(), m_host.get(), bytes));
        EXPECT_TRUE(s_boxes.empty());
    }
}

TEST_F(ViewerTest, TheWholeBlockGoesThroughThePrivateClipboardFormat)
{
    const Bytes block = Sketch({1, 2, 3, 4, 5});
    Bytes bytes;
    ASSERT_TRUE(Viewer().GetDataObject(ObjectStyle(block), m_grid.get(), m_host.get(), bytes));
    EXPECT_EQ(bytes, block);
    EXPECT_FALSE(Viewer().IsOpen()) << "loaded without opening";
    EXPECT_EQ(m_host->m_nBegins, 0);
    ASSERT_TRUE(GXPutObjectBytesOnClipboard(m_wnd.GetSafeHwnd(), bytes));
    EXPECT_NE(GXObjectBytesClipboardFormat(), 0u);
    EXPECT_EQ(GXObjectBytesClipboardFormat(), ::RegisterClipboardFormat("GX_OBJECTBYTES"));
    EXPECT_TRUE(GXIsObjectBytesOnClipboard());
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_TEXT)) << "the only format";

    CGXGenericViewerImpl other;
    EXPECT_TRUE(other.CanPaste());
    const COleVariant* pVar = other.CreateFromClipboard(nullptr);
    ASSERT_NE(pVar, nullptr);
    Bytes pasted;
    ASSERT_TRUE(GXObjectBytesOfVariant(*pVar, pasted));
    EXPECT_EQ(pasted, block) << "header, object data and four zero bytes again";
    EXPECT_TRUE(other.HasObjectData());
    EXPECT_TRUE(other.CanCopy());

    // Blocks on the clipboard are outside input: a count past the block, or bytes that are
    // no object, make no object.
    struct Case {
        const char* what;
        Bytes raw;  // the clipboard block as is
    };
    Bytes junk = {3, 0, 0, 0, 'a', 'b', 'c'};
    const Case cases[] = {
        {.what = "count past the block", .raw = {0xFF, 0xFF, 0, 0, 1, 2}},
        {.what = "shorter than the count", .raw = {1, 2}},
        {.what = "no object", .raw = junk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, c.raw.size());
        std::memcpy(::GlobalLock(h), c.raw.data(), c.raw.size());
        ::GlobalUnlock(h);
        ASSERT_TRUE(::OpenClipboard(m_wnd.GetSafeHwnd()));
        ::EmptyClipboard();
        ::SetClipboardData(GXObjectBytesClipboardFormat(), h);
        ::CloseClipboard();
        CGXGenericViewerImpl v;
        EXPECT_EQ(v.CreateFromClipboard(nullptr), nullptr);
        EXPECT_FALSE(v.HasObjectData());
    }
}

TEST_F(ViewerTest, ClearForgetsTheBytesAndSaveWritesThemAgain)
{
    const Bytes block = Sketch();
    ASSERT_TRUE(Viewer().LoadFromData(block.data(), block.size(), FALSE));
    ASSERT_TRUE(Viewer().Save());
    Bytes saved;
    ASSERT_TRUE(GXObjectBytesOfVariant(Viewer().GetVariant(), saved));
    EXPECT_EQ(saved, block);
    EXPECT_TRUE(Viewer().CanCopy());
    Viewer().Clear();
    EXPECT_EQ(Viewer().GetVariant().vt, VT_EMPTY);
    EXPECT_FALSE(Viewer().HasObjectData());
    EXPECT_FALSE(Viewer().CanCopy());
    EXPECT_FALSE(Viewer().Save()) << "nothing loaded";
}

TEST_F(ViewerTest, TheWindowGoesWithItsOwnerAndTheObjectCloses)
{
    ASSERT_TRUE(Open(ObjectStyle(Sketch())));
    EXPECT_EQ(GetGridPopupActive(), TRUE);
    m_wnd.m_pGrid = nullptr;
    m_wnd.DestroyWindow();
    EXPECT_FALSE(Viewer().IsOpen());
    EXPECT_FALSE(Viewer().HasObjectData());
    EXPECT_EQ(GetGridPopupActive(), FALSE);
}

}  // namespace
