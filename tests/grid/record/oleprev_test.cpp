// The object cell on a DAO grid over a keyed table with a long-binary field: the hot-spot button
// opens each row's object (or refuses it), the pop-up flag across re-activations, copy and paste
// of whole objects between records, cut and Delete, and the clipboard failing.

#include "recgrid_fixture.h"

#include <cstdio>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxolepreview.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxuattr.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Sketch()
{
    Bytes v;
    EXPECT_TRUE(GXEncodeObjectBlock({"Sketch Drawing", "Sketch.Drawing.1", {7, 8, 9}}, v));
    return v;
}

std::string Hex(const Bytes& b)
{
    std::string s;
    char sz[3];
    for (BYTE c : b) {
        std::snprintf(sz, sizeof sz, "%02X", c);
        s += sz;
    }
    return s;
}

// Rows: an object, an empty cell, a wrong signature, offsets past the end.
std::vector<std::string> ObjectRows()
{
    Bytes wrong = Sketch();
    wrong[0] = 0x16;
    Bytes past = Sketch();
    past[14] = 0xF0;
    return {"CREATE TABLE T (Id LONG, Obj LONGBINARY)", "INSERT INTO T VALUES (1, x'" + Hex(Sketch()) + "')",
            "INSERT INTO T VALUES (2, NULL)", "INSERT INTO T VALUES (3, x'" + Hex(wrong) + "')",
            "INSERT INTO T VALUES (4, x'" + Hex(past) + "')"};
}

constexpr ROWCOL kObjCol = 2;

class ObjectCellTest : public RecordGridTest {
protected:
    void SetUp() override
    {
        RecordGridTest::SetUp();
        const std::vector<std::string> rows = ObjectRows();
        {
            CDaoDatabase db;
            const std::string path = m_dir + "/test.mdb";
            db.Create(path.c_str(), (std::string(dbLangGeneral) + kRecKey).c_str());
            for (const std::string& s : rows)
                db.Execute(s.c_str(), dbFailOnError);
            db.Close();
            m_db = std::make_unique<CDaoDatabase>();
            m_db->Open(path.c_str(), FALSE, FALSE, kRecKey);
        }
        CGXDaoGrid& grid = MakeGrid(&OpenRecordset("SELECT * FROM T"));
        Param().m_bPlainBinaryCells = FALSE;
        grid.Redraw();
        SetGridPopupActive(FALSE);
    }
    void TearDown() override
    {
        PvSetClipboardFails(false);
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        SetGridPopupActive(FALSE);
        RecordGridTest::TearDown();
    }

    CGXOlePreview* Cell(ROWCOL r)
    {
        EXPECT_TRUE(m_grid->PlaceCurrentCell(r, kObjCol, 0));
        return dynamic_cast<CGXOlePreview*>(m_grid->CurrentCellControl());
    }
    // A click on the row's hot spot, as the mouse gives it.
    CGXOlePreview* ClickButton(ROWCOL r)
    {
        CGXOlePreview* p = Cell(r);
        if (!p)
            return nullptr;
        const CPoint pt = p->GetButton()->GetRect().CenterPoint();
        m_grid->OnGridLButtonDown(MK_LBUTTON, pt);
        m_grid->OnGridLButtonUp(0, pt);
        PvPumpMessages();
        return p;
    }
    CGXGenericViewerImpl* Open(CGXOlePreview* p) { return p ? dynamic_cast<CGXGenericViewerImpl*>(p->GetKeptViewer()) : nullptr; }
    // The field as the table holds it now: "<null>" or the bytes in hex.
    std::string Stored(int nId)
    {
        CDaoRecordset rs(m_db.get());
        rs.Open(dbOpenSnapshot, ("SELECT Obj FROM T WHERE Id = " + std::to_string(nId)).c_str());
        COleVariant v = rs.GetFieldValue(0);
        Bytes b;
        if (v.vt == VT_NULL)
            return "<null>";
        return GXObjectBytesOfVariant(v, b) ? Hex(b) : "<other>";
    }
    void LeaveRow()
    {
        ROWCOL r = 0, c = 0;
        m_grid->QueryCurrentCell(r, c);
        ASSERT_TRUE(m_grid->PlaceCurrentCell(r == 1 ? 2 : 1, 1, 0));
    }
};

TEST_F(ObjectCellTest, TheFactoryMakesThePreviewForRecordGridsOnly)
{
    CGXControlFactory factory;
    std::unique_ptr<CGXControl> pMade(factory.CreateControl(GX_IDS_CTRL_OLEPREVIEW, m_grid.get()));
    EXPECT_NE(dynamic_cast<CGXOlePreview*>(pMade.get()), nullptr);
    EXPECT_EQ(pMade->GetCellTipProvider(), nullptr) << "draws no text tip";
    CGXGridCore plain(&m_wnd);
    EXPECT_EQ(factory.CreateControl(GX_IDS_CTRL_OLEPREVIEW, &plain), nullptr);
    CGXOlePreview* p = Cell(1);
    ASSERT_NE(p, nullptr) << "the binary column's cells";
    EXPECT_TRUE(p->IsControlKindOf(&CGXStatic::classCGXStatic));
    EXPECT_TRUE(p->IsObjectCell(m_grid->GetCellStyleCached(1, kObjCol))) << "the current cell carries the bytes";
    EXPECT_STREQ(Text(1, kObjCol), "Binary");
}

TEST_F(ObjectCellTest, TheButtonSitsTopRightAndTheCellIsWiderByIt)
{
    CGXOlePreview* p = Cell(1);
    ASSERT_NE(p, nullptr);
    p->LayoutChildren(nullptr, CRect(0, 0, 100, 10));
    EXPECT_EQ(p->GetButton()->GetRect(), CRect(86, 0, 99, 10)) << "13 wide, clipped to a low cell";
    p->LayoutChildren(nullptr, CRect(10, 20, 110, 40));
    EXPECT_EQ(p->GetButton()->GetRect(), CRect(96, 21, 109, 34)) << "13 x 13, below the cell's top line";
    const CGXStyle& style = m_grid->GetCellStyleCached(1, kObjCol);
    CGXStatic plain(m_grid.get());
    EXPECT_EQ(p->AddBorderToSize(CSize(40, 10), 1, kObjCol, style).cx,
              plain.AddBorderToSize(CSize(40, 10), 1, kObjCol, style).cx + 13) << "a static cell's and the button";
}

TEST_F(ObjectCellTest, EachRowsButtonOpensItsObjectOrSaysWhyNot)
{
    struct Case {
        ROWCOL row;
        const char* box;  // null: the viewer opens
    };
    const Case cases[] = {
        {.row = 1, .box = nullptr},
        {.row = 2, .box = "Failed to invoke insert object dialog."},
        {.row = 3, .box = "The binary data is not valid."},
        {.row = 4, .box = "The binary data is not valid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        s_boxes.clear();
        CGXOlePreview* p = ClickButton(c.row);
        ASSERT_NE(p, nullptr);
        if (c.box) {
            EXPECT_EQ(s_boxes, std::vector<std::string> {c.box});
            EXPECT_FALSE(p->IsViewerOpen());
            EXPECT_FALSE(p->IsActive());
            EXPECT_EQ(GetGridPopupActive(), FALSE) << "nothing opened keeps the flag";
            continue;
        }
        EXPECT_TRUE(s_boxes.empty());
        ASSERT_TRUE(p->IsViewerOpen());
        CGXObjectViewerWnd& wnd = Open(p)->GetViewerWnd();
        EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kTypeNameId), "Sketch Drawing");
        EXPECT_STREQ(wnd.GetItemText(CGXObjectViewerWnd::kSizeId), "Object data: 3 bytes");
        EXPECT_EQ(::GetWindow(wnd.GetSafeHwnd(), GW_OWNER), m_wnd.GetSafeHwnd());
        // Escape in the viewer closes it; the grid has the focus again.
        MSG msg {::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
        ASSERT_TRUE(::IsChild(wnd.GetSafeHwnd(), msg.hwnd));
        EXPECT_TRUE(CWnd::WalkPreTranslateTree(nullptr, &msg));
        EXPECT_FALSE(p->IsViewerOpen());
        EXPECT_EQ(::GetFocus(), m_wnd.GetSafeHwnd());
        EXPECT_EQ(GetGridPopupActive(), FALSE);
    }
    EXPECT_EQ(Stored(1), Hex(Sketch())) << "looking changes nothing";
}

TEST_F(ObjectCellTest, ThePopupFlagHoldsWhileTheViewerIsOpenAndComesBackAfter)
{
    for (int former : {FALSE, TRUE}) {
        SCOPED_TRACE(former);
        SetGridPopupActive(former);
        CGXOlePreview* p = ClickButton(1);
        ASSERT_TRUE(p && p->IsViewerOpen());
        EXPECT_EQ(GetGridPopupActive(), TRUE);
        // Two re-activations: the button again, and an action on the open viewer.
        s_boxes.clear();
        ClickButton(1);
        EXPECT_EQ(GetGridPopupActive(), TRUE);
        m_wnd.SetFocus();
        EXPECT_TRUE(Key(VK_DELETE));
        EXPECT_EQ(s_boxes, std::vector<std::string> {"You have already spawned a viewer. Please use this for editing"});
        EXPECT_EQ(GetGridPopupActive(), TRUE);
        EXPECT_EQ(Stored(1), Hex(Sketch())) << "Delete only brought the viewer forward";
        Open(p)->Close();
        EXPECT_EQ(GetGridPopupActive(), former);
        // The grid commits on focus loss again.
        SetGridPopupActive(FALSE);
    }
}

TEST_F(ObjectCellTest, AnOpenViewerTurnsCopyCutPasteAndDeleteIntoBringingItForward)
{
    CGXOlePreview* p = ClickButton(1);
    ASSERT_TRUE(p && p->IsViewerOpen());
    m_wnd.SetFocus();
    struct Case {
        const char* what;
        BOOL (*act)(CGXOlePreview*);
    };
    const Case cases[] = {
        {.what = "copy", .act = [](CGXOlePreview* c) -> BOOL { return c->CanCopy() && (c->CopyText(), TRUE); }},
        {.what = "cut", .act = [](CGXOlePreview* c) -> BOOL { return c->CanCut() && c->CutText(); }},
        {.what = "paste", .act = [](CGXOlePreview* c) -> BOOL { return c->CanPaste() && c->PasteText(); }},
        {.what = "delete", .act = [](CGXOlePreview* c) -> BOOL { return c->OnKeyDown(VK_DELETE, 1, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        s_boxes.clear();
        m_wnd.SetFocus();
        EXPECT_TRUE(c.act(p));
        EXPECT_EQ(s_boxes, std::vector<std::string> {"You have already spawned a viewer. Please use this for editing"});
        PvPumpMessages();
        const HWND hFocus = ::GetFocus();
        EXPECT_TRUE(::IsChild(Open(p)->GetViewerWnd().GetSafeHwnd(), hFocus)) << "the viewer came forward";
    }
    EXPECT_FALSE(p->IsModified());
    EXPECT_FALSE(GXIsObjectBytesOnClipboard());
}

TEST_F(ObjectCellTest, CopyOneRowsObjectIntoAnotherAndLeaveTheRow)
{
    Cell(1);
    ASSERT_TRUE(m_grid->CanCopy());
    EXPECT_TRUE(m_grid->Copy());
    EXPECT_TRUE(GXIsObjectBytesOnClipboard());
    EXPECT_TRUE(s_boxes.empty());
    CGXOlePreview* p = Cell(2);
    ASSERT_TRUE(m_grid->CanPaste());
    EXPECT_TRUE(m_grid->Paste());
    EXPECT_TRUE(p->IsModified());
    EXPECT_TRUE(p->CanCopy()) << "the pasted object before it is committed";
    LeaveRow();
    EXPECT_TRUE(s_boxes.empty());
    EXPECT_EQ(Stored(2), Hex(Sketch()));
    EXPECT_EQ(Stored(1), Hex(Sketch())) << "a copy leaves the source";
    // Reopened, the record's cell shows the object.
    m_grid->Requery();
    CGXOlePreview* q = ClickButton(2);
    ASSERT_TRUE(q && q->IsViewerOpen());
    EXPECT_STREQ(Open(q)->GetViewerWnd().GetItemText(CGXObjectViewerWnd::kProgIdId), "ProgID: Sketch.Drawing.1");
    Open(q)->Close();
}

TEST_F(ObjectCellTest, CutClearsTheObjectOnlyOnceTheClipboardHoldsIt)
{
    CGXOlePreview* p = Cell(1);
    PvSetClipboardFails(true);
    ASSERT_TRUE(m_grid->CanCut());
    m_grid->Cut();
    EXPECT_EQ(s_boxes, std::vector<std::string> {"The cut operation failed"});
    EXPECT_FALSE(p->IsModified());
    EXPECT_TRUE(p->CanCopy()) << "the object is still there";
    LeaveRow();
    EXPECT_EQ(Stored(1), Hex(Sketch())) << "bytes kept";

    PvSetClipboardFails(false);
    s_boxes.clear();
    p = Cell(1);
    m_grid->Cut();
    EXPECT_TRUE(s_boxes.empty());
    EXPECT_TRUE(GXIsObjectBytesOnClipboard());
    EXPECT_TRUE(p->IsModified());
    EXPECT_FALSE(p->CanCopy());
    LeaveRow();
    EXPECT_EQ(Stored(1), "<null>");
    // What was cut goes into another record.
    Cell(2);
    m_grid->Paste();
    LeaveRow();
    EXPECT_EQ(Stored(2), Hex(Sketch()));
}

TEST_F(ObjectCellTest, DeleteAndLeaveStoresTheCellEmpty)
{
    CGXOlePreview* p = Cell(1);
    m_wnd.SetFocus();
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_TRUE(p->IsModified());
    EXPECT_FALSE(p->CanCopy());
    // Opening the deleted object finds an empty cell.
    s_boxes.clear();
    ClickButton(1);
    EXPECT_EQ(s_boxes, std::vector<std::string> {"Failed to invoke insert object dialog."});
    LeaveRow();
    EXPECT_EQ(Stored(1), "<null>");
    EXPECT_EQ(Stored(3).substr(0, 4), "161C") << "the other records keep theirs";
}

TEST_F(ObjectCellTest, CopyFailuresSay20203AndPastingNoObjectSays20134)
{
    Cell(1);
    PvSetClipboardFails(true);
    m_grid->Copy();
    EXPECT_EQ(s_boxes, std::vector<std::string> {"The copy operation failed"});
    PvSetClipboardFails(false);

    s_boxes.clear();
    Cell(3);
    m_grid->Copy();
    EXPECT_EQ(s_boxes, (std::vector<std::string> {"The binary data is not valid.", "The copy operation failed"}));
    EXPECT_FALSE(GXIsObjectBytesOnClipboard());

    // Bytes under the format that are no object.
    const Bytes junk = {0x15, 0x1C, 1, 2};
    ASSERT_TRUE(GXPutObjectBytesOnClipboard(m_wnd.GetSafeHwnd(), junk));
    s_boxes.clear();
    CGXOlePreview* p = Cell(2);
    m_grid->Paste();
    EXPECT_EQ(s_boxes, std::vector<std::string> {"The binary data is not valid."});
    EXPECT_FALSE(p->IsModified());
    LeaveRow();
    EXPECT_EQ(Stored(2), "<null>");
}

}  // namespace

namespace {

TEST_F(ObjectCellTest, EscapeAfterARefusedObjectLeavesTheNextButtonWorking)
{
    ClickButton(2);
    EXPECT_EQ(m_grid->EditMode(), DWORD(gxNoEdit)) << "nothing opened, no record edit left open";
    m_wnd.SetFocus();
    PvInputKeyStroke(VK_ESCAPE);
    PvPumpMessages();
    s_boxes.clear();
    ROWCOL r = 0, c = 0;
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(r, 2u);
    CGXOlePreview* p = ClickButton(3);
    ASSERT_NE(p, nullptr);
    m_grid->QueryCurrentCell(r, c);
    EXPECT_EQ(r, 3u);
    EXPECT_EQ(s_boxes, std::vector<std::string> {"The binary data is not valid."});
}
}  // namespace
