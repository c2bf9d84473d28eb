// The outline in the main frame over a sample installation: opening items by type, the context
// menus, renaming and deleting with the user's answers, and Save Current Directory List.
#include "tests/app/sample_frame_fixture.h"

#include "app/Config.h"
#include "app/History.h"
#include "app/ViewerDoc.h"
#include "platform/sys/shell.h"
#include "resources/outline_ids.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleWriter.h"

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

const char kClassQuery[] = "SELECT DATA.* FROM DATA WHERE ([DATA].[_IKEY] BETWEEN 1 AND 9)";

class OutlineFrameTest : public SampleFrameTest {
protected:
    bool OpensAtSetUp() const override { return false; }
    void SetUp() override
    {
        SampleFrameTest::SetUp();
        if (HasFatalFailure())
            return;
        m_tool = m_outline.data() + "tool.sh";
        m_marker = m_outline.data() + "tool-ran";
        std::ofstream(m_tool) << "#!/bin/sh\ntouch '" << m_marker << "'\n";
        fs::permissions(m_tool, fs::perms::owner_all);
        m_athletics = std::string(GetMediaPath()) + "athletics.htm";
        m_outline.WriteCustom(
            {
                {.key = "Views", .parent = "", .text = "Directory Lists"},
                {.key = "Favorites", .parent = "", .text = "Favorites", .image = 1},
                {.key = "People with E-Mail Addresses", .parent = "Views", .text = "People with E-Mail Addresses",
                 .image = 18, .type = "Query", .link = "SELECT * FROM Data"},
                {.key = "Class of 2027", .parent = "Views", .text = "Class of 2027", .image = 18, .type = "Query",
                 .link = kClassQuery},
                {.key = "Faculty", .parent = "Views", .text = "Faculty", .image = 18, .type = "Query",
                 .link = "SELECT * FROM Data"},
                {.key = "Teachers", .parent = "Favorites", .text = "Teachers", .image = 2},
                {.key = "Pat One", .parent = "Teachers", .text = "Pat One", .image = 3, .type = "Details",
                 .link = "3", .expanded = 1},
                {.key = "Classmates", .parent = "Favorites", .text = "Classmates", .image = 2},
                {.key = "Pat Again", .parent = "Classmates", .text = "Pat Again", .image = 3, .type = "Details",
                 .link = "3", .expanded = 1},
                {.key = "Sam Two", .parent = "Classmates", .text = "Sam Two", .type = "Details", .link = "4"},
                {.key = "School Calendar", .parent = "Favorites", .text = "School Calendar", .type = "Media",
                 .link = "calendar.htm"},
                {.key = "Athletics", .parent = "Favorites", .text = "Athletics", .type = "EmbedWeb",
                 .link = m_athletics.c_str()},
                {.key = "Missing Page", .parent = "Favorites", .text = "Missing Page", .type = "Web",
                 .link = "/nonexistent/pv_missing.htm"},
                {.key = "Tool", .parent = "Favorites", .text = "Tool", .type = "Web", .link = m_tool.c_str()},
                {.key = "Lee Gone", .parent = "Favorites", .text = "Lee Gone", .type = "Details", .link = "99999"},
            },
            {3});
        PvSetOutlinePathsForTest(GetDataPath(), m_outline.custom().c_str());
    }
    void Open()
    {
        OpenFrame();
        nav = frame->m_pNavigateView;
        ASSERT_NE(nav, nullptr);
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        Pump();
    }

    CTreeCtrl& tree() { return nav->GetTreeCtrl(); }
    HTREEITEM item(const char* key)
    {
        HTREEITEM h = nav->FindItem(key);
        EXPECT_NE(h, nullptr) << key;
        return h;
    }
    CPoint screenPointOf(const char* key)
    {
        CRect rc;
        tree().EnsureVisible(item(key));
        tree().GetItemRect(item(key), &rc, TRUE);
        CPoint pt = rc.CenterPoint();
        nav->ClientToScreen(&pt);
        return pt;
    }
    void click(const char* key)
    {
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        Pump();
        const CPoint pt = screenPointOf(key);
        PvInputClick(pt.x, pt.y);
        Pump();
    }
    // Runs an outline command on an item; the name prompt reads what was typed before.
    void command(const char* key, UINT nID)
    {
        tree().SelectItem(item(key));
        nav->SendMessage(WM_COMMAND, nID);
        Pump();
    }
    // Replaces the prompt's name.
    void type(const char* text)
    {
        PvInputText(text);
        PvInputKeyStroke(VK_RETURN);
    }
    struct Stored {
        std::string key, text;
        long image = -1;
    };
    std::map<std::string, Stored> rows()
    {
        std::map<std::string, Stored> out;
        CDaoDatabase db;
        db.Open(m_outline.custom().c_str());
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "SELECT * FROM Tree");
        for (; !rs.IsEOF(); rs.MoveNext())
            out[std::string(rs.m_Key)] = {std::string(rs.m_Key), std::string(rs.m_Text), rs.m_Image};
        rs.Close();
        db.Close();
        return out;
    }
    int image(const char* key)
    {
        int n = -1, sel = -1;
        tree().GetItemImage(item(key), n, sel);
        return n;
    }
    bool expanded(const char* key) { return (tree().GetItemState(item(key), TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
    CViewerDoc* doc() { return static_cast<CViewerDoc*>(frame->GetActiveDocument()); }
    std::string location() { return std::string(frame->m_pMediaView->GetBrowser()->GetLocationURL()); }

    std::string m_tool, m_marker, m_athletics;
    CNavigateView* nav = nullptr;
};

} // namespace

TEST_F(OutlineFrameTest, ClickOpensByType)
{
    MsgBoxLog log;
    Open();
    click("Class of 2027");
    EXPECT_EQ(frame->m_nLayout, ID_LAYOUT_DIRECTORY);
    EXPECT_STREQ(doc()->m_strQuery, kClassQuery);
    EXPECT_EQ(frame->m_pQueryView->GetTotalRecords(), 9);
    EXPECT_TRUE(nav->m_bDetailsHistory);

    click("School Calendar");
    EXPECT_EQ(frame->m_nLayout, ID_LAYOUT_HOME);
    EXPECT_EQ(location(), std::string(GetMediaPath()) + "calendar.htm");
    EXPECT_FALSE(nav->m_bDetailsHistory);

    click("Athletics");
    EXPECT_EQ(frame->m_nLayout, ID_LAYOUT_HOME);
    EXPECT_EQ(location(), m_athletics);

    const bool wasOpen = expanded("Classmates");
    click("Classmates");
    EXPECT_NE(expanded("Classmates"), wasOpen);
    EXPECT_TRUE(log.entries().empty());

    // A page that is not there, and a program, which a link never runs.
    click("Missing Page");
    click("Tool");
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Unable to find /nonexistent/pv_missing.htm");
    EXPECT_EQ(boxes[0].icon, "information");
    EXPECT_EQ(boxes[1].text, "Unable to find " + m_tool);
    EXPECT_FALSE(fs::exists(m_marker));
}

TEST_F(OutlineFrameTest, DetailsOfThePersonShownDoNotRequery)
{
    MsgBoxLog log;
    Open();
    click("Class of 2027");
    frame->m_nCurrentKey = 3;
    nav->m_bDetailsHistory = FALSE;
    click("Pat One");
    EXPECT_TRUE(nav->m_bDetailsHistory);
    EXPECT_STREQ(frame->m_pQueryView->GetRecordset()->GetSQL(), kClassQuery);
    EXPECT_TRUE(log.entries().empty());

    // Another person: the whole directory, that person's row current and details shown.
    click("Sam Two");
    EXPECT_EQ(frame->m_nCurrentKey, 4);
    EXPECT_EQ(frame->GetCurrentRecordKey(), 4);
    EXPECT_TRUE(nav->m_bDetailsHistory);
    EXPECT_TRUE(log.entries().empty());

    click("Lee Gone");
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "This person does not exist in the database.");
    EXPECT_TRUE(nav->m_bDetailsHistory);
}

TEST_F(OutlineFrameTest, RightClickChoosesTheMenu)
{
    Open();
    tree().Expand(item("Favorites"), TVE_EXPAND);
    tree().Expand(item("Classmates"), TVE_EXPAND);
    struct Case {
        const char* key;
        UINT menu;
    };
    const Case cases[] = {
        {"Faculty", IDR_DIRECTORY_LIST_MENU},   {"Class of 2027", IDR_DIRECTORY_LIST_MENU},
        {"People with E-Mail Addresses", 0}, {"Teachers", 0},
        {"School Calendar", IDR_FAVORITE_MENU}, {"Sam Two", IDR_FAVORITE_MENU},
        {"Views", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(nav->ChooseContextMenu(screenPointOf(c.key)), c.menu);
        EXPECT_EQ(tree().GetSelectedItem(), item(c.key));
    }
    CRect rc;
    nav->GetClientRect(&rc);
    CPoint below(10, rc.bottom - 5);
    nav->ClientToScreen(&below);
    EXPECT_EQ(nav->ChooseContextMenu(below), 0u);
}

TEST_F(OutlineFrameTest, RenameKeepsOrRefusesNames)
{
    MsgBoxLog log;
    Open();
    const char* const refused = "The name you entered is either not unique or too long, please try another name";

    type("FACULTY"); // only the case changes
    command("Faculty", ID_RENAME_DIRECTORY_LIST);
    EXPECT_EQ(rows().at("Faculty").text, "FACULTY");
    EXPECT_STREQ(tree().GetItemText(item("Faculty")), "FACULTY");
    EXPECT_TRUE(log.entries().empty());

    type("class of 2027"); // another list's name: refused, then cancelled
    PvInputKeyStroke(VK_ESCAPE);
    command("Faculty", ID_RENAME_DIRECTORY_LIST);
    auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, refused);
    EXPECT_EQ(rows().at("Faculty").text, "FACULTY");

    // A favorite's name becomes its key: a root's key is refused, a free name moves the key.
    log.clear();
    type("views");
    type("Sam 2");
    command("Sam Two", ID_RENAME_FAVORITE);
    boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, refused);
    const auto stored = rows();
    EXPECT_EQ(stored.count("Sam Two"), 0u);
    EXPECT_EQ(stored.at("Sam 2").text, "Sam 2");
    EXPECT_EQ(stored.at("Views").text, "Directory Lists");
    EXPECT_EQ(nav->FindItem("Sam Two"), nullptr);
    EXPECT_EQ(nav->GetItemKey(item("Sam 2")), "Sam 2");
    EXPECT_STREQ(tree().GetItemText(item("Sam 2")), "Sam 2");
}

TEST_F(OutlineFrameTest, DeleteAsksAndTakesTheNoteAlong)
{
    MsgBoxLog log;
    Open();
    const int favorites = nav->m_nFavoriteCount;
    const int lists = nav->m_nViewCount;

    log.answers("no");
    command("Faculty", ID_DELETE_DIRECTORY_LIST);
    EXPECT_EQ(rows().count("Faculty"), 1u);
    EXPECT_NE(nav->FindItem("Faculty"), nullptr);

    log.answers("yes,yes,yes");
    command("Faculty", ID_DELETE_DIRECTORY_LIST);
    command("Pat One", ID_DELETE_FAVORITE);
    command("School Calendar", ID_DELETE_FAVORITE);
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].text, "Are you sure you want to delete this item from your list of saved views?");
    EXPECT_EQ(boxes[0].buttons, "yesno");
    EXPECT_EQ(boxes[0].icon, "question");
    EXPECT_EQ(boxes[2].text, "Are you sure you want to delete this item from your list of saved Favorites?\nNote : "
                             "This Item contains Notes, they will also be deleted");
    EXPECT_EQ(boxes[3].text, "Are you sure you want to delete this item from your list of saved Favorites?");

    const auto stored = rows();
    for (const char* gone : {"Faculty", "Pat One", "School Calendar"}) {
        EXPECT_EQ(stored.count(gone), 0u) << gone;
        EXPECT_EQ(nav->FindItem(gone), nullptr) << gone;
    }
    EXPECT_EQ(stored.at("Pat Again").image, 0);
    EXPECT_EQ(image("Pat Again"), 0);
    EXPECT_FALSE(frame->RecordHasNotes(3));
    EXPECT_EQ(nav->m_nViewCount, lists - 1);
    EXPECT_EQ(nav->m_nFavoriteCount, favorites - 2);
}

TEST_F(OutlineFrameTest, ReadOnlyDatabaseKeepsTheTree)
{
    fs::permissions(m_outline.custom(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    MsgBoxLog log;
    Open();
    log.clear();
    log.answers("yes,ok,yes");
    type("Staff");
    command("Faculty", ID_RENAME_DIRECTORY_LIST);
    command("Faculty", ID_DELETE_DIRECTORY_LIST);
    type("Samuel");
    command("Sam Two", ID_RENAME_FAVORITE);
    command("Pat One", ID_DELETE_FAVORITE);
    const auto boxes = log.entries();
    int refusals = 0;
    for (const auto& b : boxes)
        refusals += b.text.rfind("Error reading the outline! This program was unable to read from the table named "
                                 "Tree in the custom database " + m_outline.custom(), 0) == 0;
    EXPECT_EQ(refusals, 4);
    EXPECT_STREQ(tree().GetItemText(item("Faculty")), "Faculty");
    EXPECT_STREQ(tree().GetItemText(item("Sam Two")), "Sam Two");
    EXPECT_NE(nav->FindItem("Pat One"), nullptr);
    EXPECT_EQ(image("Pat Again"), 3);
    EXPECT_TRUE(frame->RecordHasNotes(3));
}

TEST_F(OutlineFrameTest, SaveCurrentDirectoryListAddsTheGridsQuery)
{
    MsgBoxLog log;
    Open();
    click("Class of 2027");
    const std::string sql = std::string(doc()->m_recordset.GetSQL());
    type("Faculty"); // taken
    type("O'Neil's class");
    frame->SendMessage(WM_COMMAND, ID_SAVE_LIST);
    Pump();
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The name you entered is either not unique or too long, please try another name");
    CDaoDatabase db;
    db.Open(m_outline.custom().c_str());
    CTreeRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Tree WHERE Text = 'O''Neil''s class'");
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.m_Key, "O'Neil's class");
    EXPECT_EQ(rs.m_Parent, "Views");
    EXPECT_EQ(rs.m_Order, 16);
    EXPECT_EQ(rs.m_Type, "Query");
    EXPECT_EQ(rs.m_Image, 18);
    EXPECT_EQ(rs.m_Selected_Image, 18);
    EXPECT_EQ(std::string(rs.m_Link), sql);
    rs.Close();
    db.Close();
    EXPECT_STREQ(tree().GetItemText(tree().GetParentItem(item("O'Neil's class"))), "Directory Lists");
}
