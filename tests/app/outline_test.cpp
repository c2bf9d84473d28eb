// The outline on its own: loading table Tree, its pictures, adding items, and the rules for
// names and keys.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "app/NavigateView.h"
#include "platform/controls/controls.h"
#include "platform/ui/ui.h"
#include "platform/win/pvwin.h"
#include "tests/app/msgbox_log.h"
#include "tests/app/outline_fixture.h"

void PvRegisterAppResources();

namespace {

// The sample's outline, with a favorite whose folder comes after it.
const std::vector<OutlineRow> kSampleRows = {
    {.key = "Views", .parent = "", .text = "Directory Lists"},
    {.key = "Favorites", .parent = "", .text = "Favorites", .image = 1},
    {.key = "People with E-Mail Addresses", .parent = "Views", .text = "People with E-Mail Addresses", .image = 18,
     .type = "Query", .link = "SELECT * FROM Data"},
    {.key = "Class of 2027", .parent = "Views", .text = "Class of 2027", .image = 18, .type = "Query",
     .link = "SELECT * FROM Data WHERE 1", .expanded = 1},
    {.key = "Teachers", .parent = "Favorites", .text = "Teachers", .image = 2},
    {.key = "Classmates", .parent = "Favorites", .text = "Classmates", .image = 2},
    {.key = "Kai Larsen", .parent = "Teachers", .text = "Kai Larsen", .image = 3, .type = "Details", .link = "12",
     .expanded = 1},
    {.key = "Early", .parent = "Later", .text = "Early Bird", .type = "Details", .link = "5"},
    {.key = "Later", .parent = "Favorites", .text = "Later"},
    {.key = "Mia Lee", .parent = "Classmates", .text = "Mia Lee", .type = "Details", .link = "31"},
};

class OutlineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        m_folder.WriteImageList();
        m_folder.WriteCustom(kSampleRows);
        m_folder.Use();
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "Outline", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 500,
                                      nullptr, nullptr));
    }
    void TearDown() override
    {
        if (m_view && ::IsWindow(m_view->m_hWnd))
            m_view->DestroyWindow();
        m_parent.DestroyWindow();
        PvMessageBoxObserverReset();
        PvResetWindowSystem();
        PvSetOutlinePathsForTest("", "");
    }
    static void PvMessageBoxObserverReset() { PvSetMessageBoxObserver(nullptr); }

    // Creates the view as the splitter does: a visible child, loaded at its first showing.
    CNavigateView* Open()
    {
        m_view = new CNavigateView; // deletes itself with its window
        if (!m_view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 500), &m_parent, 1, nullptr))
            return nullptr;
        return m_view;
    }
    CTreeCtrl& tree() { return m_view->GetTreeCtrl(); }
    std::string text(HTREEITEM h) { return std::string(tree().GetItemText(h)); }
    // Every item as "parent/text" -> item.
    std::map<std::string, HTREEITEM> items()
    {
        std::map<std::string, HTREEITEM> out;
        std::function<void(HTREEITEM, const std::string&)> walk = [&](HTREEITEM h, const std::string& path) {
            for (; h; h = tree().GetNextSiblingItem(h)) {
                const std::string name = path.empty() ? text(h) : path + "/" + text(h);
                out[name] = h;
                walk(tree().GetChildItem(h), name);
            }
        };
        walk(tree().GetRootItem(), "");
        return out;
    }
    bool expanded(HTREEITEM h) { return (tree().GetItemState(h, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
    int image(HTREEITEM h)
    {
        int n = -1, sel = -1;
        tree().GetItemImage(h, n, sel);
        return n;
    }
    // The table's rows by Key: Order, Text, Image.
    struct Stored {
        long order;
        std::string text;
        long image;
    };
    std::map<std::string, Stored> rows()
    {
        std::map<std::string, Stored> out;
        CDaoDatabase db;
        db.Open(m_folder.custom().c_str());
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "SELECT * FROM Tree");
        for (; !rs.IsEOF(); rs.MoveNext())
            out[std::string(rs.m_Key)] = {rs.m_Order, std::string(rs.m_Text), rs.m_Image};
        rs.Close();
        db.Close();
        return out;
    }

    OutlineFolder m_folder {"view"};
    CWnd m_parent;
    CNavigateView* m_view = nullptr;
};

} // namespace

TEST_F(OutlineTest, LoadsRowsInOrderWithPicturesAndExpandedParents)
{
    MsgBoxLog log;
    ASSERT_NE(Open(), nullptr);
    const auto all = items();
    const char* const shown[] = {"Directory Lists", "Directory Lists/People with E-Mail Addresses",
                                 "Directory Lists/Class of 2027", "Favorites", "Favorites/Teachers",
                                 "Favorites/Teachers/Kai Larsen", "Favorites/Classmates",
                                 "Favorites/Classmates/Mia Lee", "Favorites/Later"};
    EXPECT_EQ(all.size(), std::size(shown));
    for (const char* name : shown)
        EXPECT_EQ(all.count(name), 1u) << name;
    EXPECT_EQ(image(all.at("Favorites")), 1);
    EXPECT_EQ(image(all.at("Directory Lists/Class of 2027")), 18);
    EXPECT_EQ(image(all.at("Favorites/Teachers")), 2);
    EXPECT_EQ(image(all.at("Favorites/Teachers/Kai Larsen")), 3);
    // The first root always; the others where a child was showing.
    EXPECT_TRUE(expanded(all.at("Directory Lists")));
    EXPECT_TRUE(expanded(all.at("Favorites/Teachers")));
    EXPECT_FALSE(expanded(all.at("Favorites")));
    EXPECT_FALSE(expanded(all.at("Favorites/Classmates")));
    EXPECT_NE(tree().GetImageList(TVSIL_NORMAL), nullptr);
    EXPECT_EQ(m_view->m_nViewCount, 2);
    EXPECT_EQ(m_view->m_nFavoriteCount, 3);
    EXPECT_EQ(m_view->GetItemKey(m_view->FindItem("Kai Larsen")), "Kai Larsen");

    // The child that came before its parent is reported and left out.
    const auto boxes = log.entries();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "There is an error in the table named Tree in the custom database " + m_folder.custom() +
                                 "\nError adding Early Bird to the outline, the parent node Later was not found."
                                 "\nPlease re-install this program and try again.  If the problem persists, please "
                                 "call the toll free number found in the about dialog in the help menu of this "
                                 "program.");
}

namespace {
std::string* g_imageListPath = nullptr;
void insertTheCd(LPCTSTR, UINT type)
{
    if ((type & MB_TYPEMASK) == MB_RETRYCANCEL && g_imageListPath)
        std::filesystem::rename(*g_imageListPath + ".away", *g_imageListPath);
}
} // namespace

TEST_F(OutlineTest, MissingPicturesCanBeRetriedOrSkipped)
{
    const std::string path = m_folder.data() + "TreeList.bma";
    const std::string message = "The file " + m_folder.data() +
                                "TreeList.bma could not be found.\nIf this path is to your CD-ROM drive, make sure the "
                                "program CD is in the drive.\nIf this path is to your hard drive, please re-install "
                                "this program and try again";
    struct Case {
        const char* name;
        const char* answers;
        bool appears;
        bool pictures;
    };
    const Case cases[] = {
        {.name = "retry after the file appears", .answers = "retry", .appears = true, .pictures = true},
        {.name = "cancel goes on without", .answers = "cancel", .appears = false, .pictures = false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::rename(path, path + ".away");
        std::string p = path;
        g_imageListPath = c.appears ? &p : nullptr;
        PvSetMessageBoxObserver(&insertTheCd);
        MsgBoxLog log;
        log.answers(c.answers);
        ASSERT_NE(Open(), nullptr);
        const auto boxes = log.entries();
        ASSERT_EQ(boxes.size(), 2u); // the second is the misplaced row's
        EXPECT_EQ(boxes[0].text, message);
        EXPECT_EQ(boxes[0].buttons, "retrycancel");
        EXPECT_EQ(tree().GetImageList(TVSIL_NORMAL) != nullptr, c.pictures);
        EXPECT_EQ(items().size(), 9u); // the texts load either way
        m_view->DestroyWindow();
        m_view = nullptr;
        PvSetMessageBoxObserver(nullptr);
        g_imageListPath = nullptr;
        if (!c.appears)
            std::filesystem::rename(path + ".away", path);
    }
}

TEST_F(OutlineTest, NamesAndKeys)
{
    m_folder.WriteCustom({{.key = "Views", .parent = "", .text = "Directory Lists"},
                          {.key = "Faculty", .parent = "Views", .text = "Faculty", .image = 18, .type = "Query"},
                          {.key = "Teachers", .parent = "Views", .text = "Teachers"},
                          {.key = "Abcdefghij_1", .parent = "Views", .text = "Taken stem"}});
    ASSERT_NE(Open(), nullptr);
    const std::string a255(255, 'a');
    const std::string e255 = [] {
        std::string s;
        for (int i = 0; i < 255; ++i)
            s += "\xC3\xA9";
        return s;
    }();
    struct NameCase {
        const char* name;
        std::string text, old;
        bool unique;
    };
    const NameCase names[] = {
        {"empty", "", "", false},
        {"255 characters", a255, "", true},
        {"255 accented characters", e255, "", true},
        {"256 characters", a255 + "a", "", false},
        {"another row's text in other case", "FACULTY", "", false},
        {"its own text in other case", "FACULTY", "Faculty", true},
        {"a root's text", "directory lists", "", false},
        {"free", "Seniors", "", true},
    };
    for (const NameCase& c : names) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_view->IsNameUnique(c.text.c_str(), c.old.c_str()), c.unique);
    }
    const std::string k51 = "Abcdefghij" + std::string(41, 'k');
    struct KeyCase {
        const char* name;
        std::string key, made;
        bool unused;
    };
    const KeyCase keys[] = {
        {"empty", "", "_1", false},
        {"a root's key in other case", "views", "views_1", false},
        {"taken", "Teachers", "Teachers_1", false},
        {"50 characters", std::string(50, 'z'), std::string(50, 'z'), true},
        {"51 characters", "Zyxwvutsrq" + std::string(41, 'k'), "Zyxwvutsrq_1", false},
        {"51 characters, first made key taken", k51, "Abcdefghij_2", false},
        {"free", "Seniors", "Seniors", true},
    };
    for (const KeyCase& c : keys) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_view->IsKeyUnused(c.key.c_str()), c.unused);
        CString key = c.key.c_str();
        m_view->MakeUniqueKey(key);
        EXPECT_EQ(std::string(key), c.made);
    }
}

TEST_F(OutlineTest, AddingCreatesMissingRootsAndStoresRows)
{
    m_folder.WriteCustom({});
    MsgBoxLog log;
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(m_view->AddOutlineItem("Jo Smith", "Favorites", "Jo Smith", 0, 0, "44", "Details"));
    EXPECT_TRUE(m_view->AddOutlineItem("Seniors", "Views", "Seniors", 18, 18, "SELECT * FROM Data", "Query"));
    EXPECT_TRUE(log.entries().empty());
    const auto all = items();
    ASSERT_EQ(all.count("Favorites/Jo Smith"), 1u);
    ASSERT_EQ(all.count("Directory Lists/Seniors"), 1u);
    EXPECT_EQ(image(all.at("Favorites")), 1);
    EXPECT_EQ(image(all.at("Directory Lists")), 0);
    EXPECT_EQ(m_view->m_nFavoriteCount, 1);
    EXPECT_EQ(m_view->m_nViewCount, 1);
    const auto stored = rows();
    EXPECT_EQ(stored.at("Favorites").order, 1);
    EXPECT_EQ(stored.at("Jo Smith").order, 2);
    EXPECT_EQ(stored.at("Views").text, "Directory Lists");
    EXPECT_EQ(stored.at("Seniors").order, 4);
    EXPECT_EQ(stored.at("Seniors").image, 18);
}

TEST_F(OutlineTest, ReadOnlyDatabaseRefusesAdditionAndTheTreeStays)
{
    ASSERT_NE(Open(), nullptr);
    const size_t before = items().size();
    m_view->DestroyWindow();
    std::filesystem::permissions(m_folder.custom(), std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::group_read |
                                                        std::filesystem::perms::others_read);
    MsgBoxLog log;
    ASSERT_NE(Open(), nullptr);
    EXPECT_FALSE(m_view->AddOutlineItem("Seniors", "Views", "Seniors", 18, 18, "SELECT * FROM Data", "Query"));
    EXPECT_EQ(items().size(), before);
    EXPECT_EQ(m_view->FindItem("Seniors"), nullptr);
    const auto boxes = log.entries();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text.rfind("Error writing data to the table named Tree in the custom database.\n(Jet Error "
                                      "Number ", 0), 0u);
    EXPECT_EQ(rows().count("Seniors"), 0u);
}
