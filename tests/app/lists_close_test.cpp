// Closing the frame stores the outline's visible items in table Tree; the custom database's
// failures are reported once and never keep the frame open.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

#include "app/FrameClose.h"
#include "app/NotesIndicator.h"
#include "app/NotesRecordset.h"
#include "app/TreeRecordset.h"
#include "msgbox_log.h"
#include "platform/controls/controls.h"
#include "platform/dao/dao.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"

namespace {

struct Row {
    const char *key, *parent, *text;
};
// Favorites > Open Folder (expanded) > O'Neil; Favorites > Shut Folder (collapsed) > Inner (expanded
// inside it) > Deep.
const Row kRows[] = {
    { "Favorites", "", "Favorites" },           { "Open", "Favorites", "Open Folder" },
    { "ONeil", "Open", "O'Neil" },              { "Shut", "Favorites", "Shut Folder" },
    { "Inner", "Shut", "Inner" },               { "Deep", "Inner", "Deep" },
};

class ListsClose : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvRegisterStandardControls();
        m_path = "/tmp/pv_lists_custom_" + std::to_string(::getpid()) + ".mdb";
        std::remove(m_path.c_str());
        CDaoDatabase db;
        db.Create(m_path.c_str());
        db.Execute("CREATE TABLE [Tree] ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(255), "
                   "[Image] LONG, [Selected Image] LONG, [Type] TEXT(50), [Link] TEXT(255), [Expanded] LONG)");
        db.Execute("CREATE INDEX [Order] ON [Tree] ([Order])");
        db.Execute("CREATE TABLE [Annotations] ([_IKEY] LONG, [MEMO] TEXT(255))");
        int order = 1;
        for (const Row& r : kRows) {
            CString text = r.text;
            text.Replace("'", "''");
            CString sql;
            sql.Format("INSERT INTO [Tree] ([Key], [Order], [Parent], [Text], [Image], [Selected Image], [Type], "
                       "[Link], [Expanded]) VALUES ('%s', %d, '%s', '%s', 0, 0, '', '', 1)",
                       r.key, order++, r.parent, static_cast<LPCTSTR>(text));
            db.Execute(sql);
        }
        db.Execute("INSERT INTO [Annotations] ([_IKEY], [MEMO]) VALUES (7, 'Call back')");
        db.Close();

        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "Outline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 400,
                                      nullptr, nullptr));
        ASSERT_TRUE(m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                  CRect(0, 0, 300, 400), &m_parent, 100));
        std::map<std::string, HTREEITEM> items;
        for (const Row& r : kRows)
            items[r.key] = m_tree.InsertItem(r.text, *r.parent ? items[r.parent] : TVI_ROOT);
        m_tree.Expand(items["Favorites"], TVE_EXPAND);
        m_tree.Expand(items["Open"], TVE_EXPAND);
        m_tree.Expand(items["Inner"], TVE_EXPAND);  // its parent stays collapsed
    }
    void TearDown() override
    {
        m_tree.DestroyWindow();
        m_parent.DestroyWindow();
        PvResetWindowSystem();
        std::remove(m_path.c_str());
    }
    std::map<std::string, long> expanded()
    {
        std::map<std::string, long> out;
        CDaoDatabase db;
        db.Open(m_path.c_str());
        CTreeRecordset rs(&db);
        rs.Open();
        for (; !rs.IsEOF(); rs.MoveNext())
            out[static_cast<LPCTSTR>(rs.m_Key)] = rs.m_Expanded;
        rs.Close();
        db.Close();
        return out;
    }
    std::string m_path;
    CWnd m_parent;
    CTreeCtrl m_tree;
};

}  // namespace

TEST_F(ListsClose, MarksExactlyTheVisibleRows)
{
    MsgBoxLog log;
    CTreeCtrlVisibleOutline outline(m_tree);
    EXPECT_TRUE(StoreOutlineState(m_path.c_str(), outline));
    EXPECT_TRUE(log.entries().empty());
    const std::map<std::string, long> want = { { "Favorites", 1 }, { "Open", 1 }, { "ONeil", 1 },
                                               { "Shut", 1 },      { "Inner", 0 }, { "Deep", 0 } };
    EXPECT_EQ(expanded(), want);
}

TEST_F(ListsClose, UnchangeableDatabaseIsReportedOnce)
{
    CTreeCtrlVisibleOutline outline(m_tree);
    const std::string tail = "\nPlease re-install this program and try again\n(Jet Error Number ";
    {
        MsgBoxLog log;  // read-only: the first update fails, nothing more is tried
        CDaoDatabase db;
        db.Open(m_path.c_str(), FALSE, TRUE);
        EXPECT_FALSE(StoreOutlineState(db, m_path.c_str(), outline));
        db.Close();
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("Error editing in the Tree table! This program was unable to Open Tree table in "
                                      "the custom database " + m_path + tail, 0), 0u) << boxes[0].text;
    }
    {
        MsgBoxLog log;  // held exclusively elsewhere: cannot be opened
        CDaoDatabase holder;
        holder.Open(m_path.c_str(), TRUE);
        EXPECT_FALSE(StoreOutlineState(m_path.c_str(), outline));
        holder.Close();
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Error opening the outline! This program was unable to open the table named Tree in "
                                 "the custom database " + m_path + tail + "3356)");
    }
    {
        MsgBoxLog log;
        EXPECT_FALSE(StoreOutlineState("/tmp/pv_lists_no_such_dir/Custom.mdb", outline));
        EXPECT_EQ(log.entries().size(), 1u);
    }
    for (const auto& [key, value] : expanded())
        EXPECT_EQ(value, 1) << key;  // untouched
}

TEST_F(ListsClose, RecordHasNotesAndAppendRow)
{
    EXPECT_TRUE(RecordHasNotes(m_path.c_str(), 7));
    EXPECT_FALSE(RecordHasNotes(m_path.c_str(), 8));
    {
        MsgBoxLog log;
        EXPECT_FALSE(RecordHasNotes("/tmp/pv_lists_no_such_dir/Custom.mdb", 7));
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("Error opening the outline! This program was unable to open the table named "
                                      "Annotations in the custom database /tmp/pv_lists_no_such_dir/Custom.mdb", 0), 0u);
    }

    CDaoDatabase db;
    db.Open(m_path.c_str());
    {
        CTreeRecordset rs(&db);
        rs.Open();
        rs.SetCurrentIndex("Order");
        const CString longText(std::string(255, 'x').c_str());
        rs.AppendRow("New1", "Favorites", longText, 0, 0, "12", "Details", 0);
        rs.AppendRow("New2", "Favorites", "Second", 0, 0, "13", "Details", 0);
        rs.Close();
        CTreeRecordset check(&db);
        check.Open(dbOpenDynaset, "SELECT * FROM Tree WHERE Key LIKE 'New*' ORDER BY [Order]");
        ASSERT_FALSE(check.IsEOF());
        EXPECT_EQ(check.m_Order, 7);
        EXPECT_EQ(check.m_Text, longText);
        check.MoveNext();
        ASSERT_FALSE(check.IsEOF());
        EXPECT_EQ(check.m_Order, 8);
        check.Close();
    }
    {
        // An empty table takes its first row at Order 1.
        db.Execute("DELETE FROM Tree");
        MsgBoxLog log;
        CTreeRecordset rs(&db);
        rs.Open();
        rs.SetCurrentIndex("Order");
        EXPECT_TRUE(rs.AppendRow("X", "", "X", 0, 0, "", "", 0));
        EXPECT_TRUE(rs.AppendRow("Y", "", "Y", 0, 0, "", "", 0));
        rs.Close();
        EXPECT_TRUE(log.entries().empty());
        CTreeRecordset check(&db);
        check.Open(dbOpenDynaset, "SELECT * FROM Tree ORDER BY [Order]");
        ASSERT_FALSE(check.IsEOF());
        EXPECT_EQ(check.m_Key, "X");
        EXPECT_EQ(check.m_Order, 1);
        check.MoveNext();
        ASSERT_FALSE(check.IsEOF());
        EXPECT_EQ(check.m_Order, 2);
        check.Close();
    }
    {
        // A failed append is shown, answers FALSE and leaves no transaction open.
        db.Execute("CREATE TABLE Narrow ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(5), "
                   "[Image] LONG, [Selected Image] LONG, [Type] TEXT(50), [Link] TEXT(255), [Expanded] LONG)");
        MsgBoxLog log;
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "SELECT * FROM Narrow");
        EXPECT_FALSE(rs.AppendRow("Z", "", "Too long for the column", 0, 0, "", "", 0));
        rs.Close();
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text.rfind("Error writing data to the table named Tree in the custom database.\n(Jet Error "
                                      "Number ", 0), 0u);
        db.Execute("INSERT INTO Tree ([Key], [Order]) VALUES ('After', 3)");
    }
    db.Close();
    EXPECT_EQ(expanded().count("After"), 1u);
}

TEST_F(ListsClose, NotesIndicatorFollowsTheShownRecord)
{
    CStatusBar bar;
    ASSERT_TRUE(bar.Create(&m_parent));
    const UINT panes[] = { ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR };
    ASSERT_TRUE(bar.SetIndicators(panes, 4));
    static int iconStandIn;
    HICON hIcon = reinterpret_cast<HICON>(&iconStandIn);
    for (long key : { 7L, 8L, 7L }) {
        const BOOL bHas = RecordHasNotes(m_path.c_str(), key);
        SetNotesIndicator(bar, hIcon, bHas);
        EXPECT_EQ(bar.GetPaneText(3), bHas ? "Notes" : "") << key;
        EXPECT_EQ(bar.GetStatusBarCtrl().GetIcon(3), bHas ? hIcon : nullptr) << key;
    }
    bar.DestroyWindow();
}

namespace {

// A frame that closes as the main frame does: the outline state first, then the framework's close.
class ClosingFrame : public CFrameWnd {
public:
    ClosingFrame(std::string path, IVisibleOutline& outline, bool& destroyed)
        : m_path(std::move(path)), m_outline(outline), m_destroyed(destroyed) {}
    ~ClosingFrame() override { m_destroyed = true; }
    afx_msg void OnClose()
    {
        StoreOutlineState(m_path.c_str(), m_outline);
        CFrameWnd::OnClose();
    }
    DECLARE_MESSAGE_MAP()

private:
    std::string m_path;
    IVisibleOutline& m_outline;
    bool& m_destroyed;
};

BEGIN_MESSAGE_MAP(ClosingFrame, CFrameWnd)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

}  // namespace

TEST_F(ListsClose, FrameClosesOverAReadOnlyDatabase)
{
    MsgBoxLog log;
    CTreeCtrlVisibleOutline outline(m_tree);
    CDaoDatabase holder;  // the custom database cannot be opened for the close
    holder.Open(m_path.c_str(), TRUE);
    bool destroyed = false;
    auto* frame = new ClosingFrame(m_path, outline, destroyed);
    ASSERT_TRUE(frame->Create(nullptr, "Paravel"));
    frame->SendMessage(WM_CLOSE);
    PvPumpMessages();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(log.entries().size(), 1u);
    holder.Close();
}
