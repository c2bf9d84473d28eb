#include "dao_fixture.h"

namespace {

std::string g_customPath;

// Record classes shaped like the outline's and the notes' ones.
class CTreeSet : public CDaoRecordset {
public:
    explicit CTreeSet(CDaoDatabase* pdb = nullptr) : CDaoRecordset(pdb)
    {
        m_nFields = 9;
        m_nDefaultType = dbOpenTable;
    }
    CString GetDefaultDBName() override { return g_customPath.c_str(); }
    CString GetDefaultSQL() override { return "[Tree]"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override
    {
        pFX->SetFieldType(CDaoFieldExchange::outputColumn);
        DFX_Text(pFX, "[Key]", m_Key, 255);
        DFX_Long(pFX, "[Order]", m_Order);
        DFX_Text(pFX, "[Parent]", m_Parent, 255);
        DFX_Text(pFX, "[Text]", m_Text, 255);
        DFX_Long(pFX, "[Image]", m_Image);
        DFX_Long(pFX, "[Selected Image]", m_SelectedImage);
        DFX_Text(pFX, "[Type]", m_Type, 255);
        DFX_Text(pFX, "[Link]", m_Link, 255);
        DFX_Long(pFX, "[Expanded]", m_Expanded);
    }

    // The outline's append: after the highest Order, inside a transaction.
    void AppendRow(const char* key, const char* parent, const char* text)
    {
        MoveLast();
        const long order = m_Order;
        m_pDatabase->m_pWorkspace->BeginTrans();
        AddNew();
        m_Key = key;
        m_Parent = parent;
        m_Text = text;
        m_Image = 4;
        m_SelectedImage = 5;
        m_Link = "";
        m_Type = "";
        m_Order = order + 1;
        m_Expanded = 0;
        Update();
        m_pDatabase->m_pWorkspace->CommitTrans();
    }

    CString m_Key, m_Parent, m_Text, m_Type, m_Link;
    long m_Order = 0, m_Image = 0, m_SelectedImage = 0, m_Expanded = 0;
};

class CNotesSet : public CDaoRecordset {
public:
    explicit CNotesSet(CDaoDatabase* pdb) : CDaoRecordset(pdb) { m_nFields = 2; }
    CString GetDefaultSQL() override { return "[Annotations]"; }
    void DoFieldExchange(CDaoFieldExchange* pFX) override
    {
        pFX->SetFieldType(CDaoFieldExchange::outputColumn);
        DFX_Long(pFX, "[_IKEY]", m_IKEY);
        DFX_Text(pFX, "[MEMO]", m_MEMO, 255);
    }
    LONG m_IKEY = 0;
    CString m_MEMO;
};

}  // namespace

class FieldExchangeTest : public DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        g_customPath = MakeDb("custom.mdb",
                              {"CREATE TABLE Tree ([Key] TEXT(50), [Order] LONG, Parent TEXT(50), [Text] TEXT(255), Image LONG, "
                               "[Selected Image] LONG, Type TEXT(20), Link MEMO, Expanded LONG)",
                               "CREATE INDEX [Order] ON Tree ([Order])",
                               "CREATE TABLE Annotations ([_IKEY] LONG, MEMO TEXT(255))",
                               "INSERT INTO Tree VALUES ('Favorites', 2, '', 'Favorites', 1, 1, '', '', 0)",
                               "INSERT INTO Tree VALUES ('Views', 1, '', 'Directory Views', 0, 0, '', '', 1)",
                               "INSERT INTO Annotations VALUES (7, 'likes tea')"},
                              "");
    }
};

TEST_F(FieldExchangeTest, TreeRecordsetWalksAndAppendsInOrder)
{
    CTreeSet set;  // opens the default database itself
    set.Open();
    EXPECT_EQ(set.GetType(), dbOpenTable);
    set.SetCurrentIndex("Order");
    set.SetLockingMode(FALSE);
    set.MoveFirst();
    std::string walked;
    while (!set.IsEOF()) {
        walked += set.m_Key.str() + ":" + std::to_string(set.m_Order) + " ";
        set.MoveNext();
    }
    EXPECT_EQ(walked, "Views:1 Favorites:2 ");
    set.AppendRow("A", "Favorites", "First");
    set.AppendRow("B", "Favorites", std::string(255, 'x').c_str());
    set.MoveLast();
    EXPECT_EQ(set.m_Key, "B");
    EXPECT_EQ(set.m_Order, 4);
    EXPECT_EQ(set.m_Text.GetLength(), 255);
    set.MovePrev();
    EXPECT_EQ(set.m_Key, "A");
    EXPECT_EQ(set.m_Order, 3);
    EXPECT_EQ(set.m_Image, 4);

    // editing through the members writes only what changed
    set.Edit();
    set.m_Text = "Renamed";
    set.Update();
    CDaoRecordset check(set.m_pDatabase);
    check.Open(dbOpenSnapshot, "Select * from Tree Where Parent='Favorites' ORDER BY [Order]");
    EXPECT_EQ(CString(check.GetFieldValue("Text").bstrVal), "Renamed");
    EXPECT_EQ(check.GetFieldValue("Link").vt, VT_BSTR);  // an empty member stores an empty text
    set.Close();

    // a text too long is refused, nothing stored
    CTreeSet again;
    again.Open();
    again.AddNew();
    again.m_Key = std::string(51, 'k').c_str();
    EXPECT_EQ(DaoErrorOf([&] { again.Update(); }), 3163);
    again.CancelUpdate();
    EXPECT_EQ(again.GetRecordCount(), 4);
}

TEST_F(FieldExchangeTest, AppendingToAnEmptyTableFails)
{
    {
        CDaoDatabase db;
        db.Open(g_customPath.c_str());
        db.Execute("DELETE FROM Tree");
    }
    CTreeSet set;
    set.Open();
    EXPECT_EQ(DaoErrorOf([&] { set.AppendRow("A", "", "x"); }), 3021);
    EXPECT_EQ(set.GetRecordCount(), 0);
}

TEST_F(FieldExchangeTest, NotesRecordsetReadsAddsEditsAndDeletes)
{
    CDaoDatabase db;
    db.Open(g_customPath.c_str());
    for (long key : {7L, 8L}) {
        CNotesSet notes(&db);
        notes.Open(dbOpenDynaset, ("SELECT * FROM Annotations WHERE ([Annotations].[_IKEY]=" + std::to_string(key) + ")").c_str());
        const bool found = notes.FindFirst(("[Annotations].[_IKEY] = " + std::to_string(key)).c_str());
        if (found) {
            EXPECT_EQ(notes.m_MEMO, "likes tea");
            notes.Edit();
            notes.m_MEMO = "likes coffee";
            notes.Update();
        } else {
            notes.AddNew();
            notes.m_IKEY = LONG(key);
            notes.m_MEMO = "new note";
            notes.Update();
        }
    }
    CNotesSet all(&db);
    all.Open(dbOpenDynaset, "SELECT * FROM Annotations ORDER BY [_IKEY]");
    EXPECT_EQ(all.m_MEMO, "likes coffee");
    all.MoveNext();
    EXPECT_EQ(all.m_IKEY, 8);
    EXPECT_EQ(all.m_MEMO, "new note");
    all.Delete();
    all.Requery();
    all.MoveLast();
    EXPECT_EQ(all.GetRecordCount(), 1);
}

TEST_F(FieldExchangeTest, SharedOpensOfOneFileDoNotLockEachOtherOut)
{
    // The outline keeps its table open while a notes window writes through its own database.
    CTreeSet outline;
    outline.Open();
    outline.SetCurrentIndex("Order");
    CDaoDatabase notesDb;
    notesDb.Open(g_customPath.c_str());
    CNotesSet notes(&notesDb);
    notes.Open(dbOpenDynaset, "SELECT * FROM Annotations");
    notes.AddNew();
    notes.m_IKEY = 9;
    notes.m_MEMO = "while the outline reads";
    EXPECT_EQ(DaoErrorOf([&] { notes.Update(); }), 0);
    outline.MoveNext();
    EXPECT_EQ(outline.m_Key, "Favorites");
    notesDb.m_pWorkspace->BeginTrans();
    outline.Edit();
    outline.m_Expanded = 1;
    outline.Update();
    notes.MoveFirst();
    notes.Delete();
    notesDb.m_pWorkspace->Rollback();
    CDaoRecordset check(&notesDb);
    check.Open(dbOpenSnapshot, "SELECT * FROM Annotations ORDER BY [_IKEY]");
    check.MoveLast();
    EXPECT_EQ(check.GetRecordCount(), 2);
    CDaoRecordset tree(&notesDb);
    tree.Open(dbOpenSnapshot, "SELECT Expanded FROM Tree WHERE [Key] = 'Favorites'");
    EXPECT_EQ(tree.GetFieldValue(0).lVal, 0);
}

TEST_F(FieldExchangeTest, TableRecordsetEditsAndDeletesInIndexOrder)
{
    CTreeSet set;
    set.Open();
    set.SetCurrentIndex("Order");
    set.AppendRow("A", "Favorites", "a");
    set.AppendRow("B", "Favorites", "b");
    // walk to a row and delete it: the next row follows
    set.MoveFirst();
    while (!set.IsEOF() && set.m_Key != "Favorites") set.MoveNext();
    ASSERT_FALSE(set.IsEOF());
    set.Delete();
    EXPECT_TRUE(set.IsDeleted());
    EXPECT_EQ(set.GetRecordCount(), 3);
    set.MoveNext();
    EXPECT_EQ(set.m_Key, "A");
    // a changed key moves the row in the index order, and the record stays current
    set.Edit();
    set.m_Order = 0;
    set.Update();
    EXPECT_EQ(set.m_Key, "A");
    EXPECT_EQ(set.GetAbsolutePosition(), 0);
    set.MoveNext();
    EXPECT_EQ(set.m_Key, "Views");
    set.MoveLast();
    EXPECT_EQ(set.m_Key, "B");
    set.Delete();
    set.MoveNext();
    EXPECT_TRUE(set.IsEOF());
    set.MovePrev();
    EXPECT_EQ(set.m_Key, "Views");
}
