#include "dao_fixture.h"

namespace {

CString Str(const COleVariant& v)
{
    if (v.vt == VT_NULL) return "<null>";
    COleVariant c(v);
    c.ChangeType(VT_BSTR);
    return CString(c.bstrVal);
}

long Num(const COleVariant& v)
{
    COleVariant c(v);
    c.ChangeType(VT_I4);
    return c.lVal;
}

}  // namespace

class RecordsetTest : public DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        m_path = MakeDb("rs.mdb",
                        {"CREATE TABLE Numbers (n LONG, label TEXT(20))",
                         "INSERT INTO Numbers (n, label) WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1200) "
                         "SELECT x, 'row ' || x FROM c",
                         "CREATE TABLE Tree ([Key] TEXT(50), [Order] LONG, Parent TEXT(50), [Text] TEXT(255), Image LONG, "
                         "[Selected Image] LONG, Type TEXT(20), Link MEMO, Expanded LONG)",
                         "CREATE INDEX [Order] ON Tree ([Order])",
                         "INSERT INTO Tree VALUES ('Favorites', 20, '', 'Favorites', 1, 1, '', '', 0)",
                         "INSERT INTO Tree VALUES ('Views', 10, '', 'Directory Views', 0, 0, '', '', 1)",
                         "INSERT INTO Tree VALUES ('Smith', 30, 'Favorites', 'John Smith', 0, 0, 'Details', '7', 0)"});
        m_db.Open(m_path.c_str(), FALSE, FALSE, kTestKey);
    }
    std::string m_path;
    CDaoDatabase m_db;
};

TEST_F(RecordsetTest, DynasetCountsRecordsAccessedUntilTheEnd)
{
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Numbers ORDER BY n");
    EXPECT_EQ(rs.GetRecordCount(), 1);
    rs.Move(499);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 500);
    EXPECT_EQ(rs.GetRecordCount(), 500);
    EXPECT_EQ(rs.GetAbsolutePosition(), 499);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 1200);
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 1200);
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_EQ(DaoErrorOf([&] { rs.MoveNext(); }), 3021);
    EXPECT_EQ(DaoErrorOf([&] { rs.GetFieldValue(0); }), 3021);
    rs.MovePrev();
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 1200);
    rs.MoveFirst();
    rs.MovePrev();
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_FALSE(rs.IsEOF());
    rs.MoveNext();
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 1);
    // a move from BOF or EOF back into the records
    rs.MovePrev();
    rs.Move(3);
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 3);
    rs.MoveLast();
    rs.MoveNext();
    rs.Move(-2);
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 1199);
    rs.MoveFirst();
    rs.MovePrev();
    EXPECT_EQ(DaoErrorOf([&] { rs.Move(-1); }), 3021);
    rs.SetAbsolutePosition(41);
    EXPECT_EQ(Str(rs.GetFieldValue("label")), "row 42");
    EXPECT_EQ(DaoErrorOf([&] { rs.SetAbsolutePosition(1200); }), 3001);
    EXPECT_EQ(DaoErrorOf([&] { rs.GetFieldValue("nope"); }), 3265);

    // the sort applies at Open and Requery
    rs.m_strSort = "n DESC";
    rs.m_strFilter = "n <= 10";
    rs.Requery();
    EXPECT_EQ(rs.GetSQL(), "SELECT * FROM Numbers WHERE n <= 10 ORDER BY n DESC");
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 10);
    rs.MoveLast();
    EXPECT_EQ(rs.GetRecordCount(), 10);

    CDaoRecordset empty(&m_db);
    empty.Open(dbOpenSnapshot, "SELECT * FROM Numbers WHERE n > 5000");
    EXPECT_TRUE(empty.IsBOF());
    EXPECT_TRUE(empty.IsEOF());
    EXPECT_EQ(empty.GetRecordCount(), 0);
    EXPECT_EQ(DaoErrorOf([&] { empty.MoveFirst(); }), 3021);
    EXPECT_EQ(DaoErrorOf([&] { empty.MoveLast(); }), 3021);
}

TEST_F(RecordsetTest, BookmarksSurviveRequeryAndRefuseDeletedRows)
{
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Numbers ORDER BY n DESC");
    rs.Move(10);
    const COleVariant bm = rs.GetBookmark();
    rs.Move(25);
    const COleVariant bm2 = rs.GetBookmark();
    rs.Requery();
    rs.SetBookmark(bm);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 1190);
    EXPECT_EQ(rs.GetAbsolutePosition(), 10);
    // deleted elsewhere: the cached row is seen to be gone
    m_db.Execute("DELETE FROM Numbers WHERE n = 1165");
    EXPECT_EQ(DaoErrorOf([&] { rs.SetBookmark(bm2); }), 3167);
    rs.Requery();
    EXPECT_EQ(DaoErrorOf([&] { rs.SetBookmark(bm2); }), 3159);
    rs.SetBookmark(bm);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 1190);
    // deleted through the recordset
    rs.Delete();
    EXPECT_TRUE(rs.IsDeleted());
    EXPECT_EQ(DaoErrorOf([&] { rs.GetFieldValue(0); }), 3167);
    EXPECT_EQ(DaoErrorOf([&] { rs.SetBookmark(bm); }), 3159);
    rs.MoveNext();
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 1189);

    // a join carries no rowid: its bookmarks are positions
    CDaoRecordset join(&m_db);
    join.Open(dbOpenSnapshot, "SELECT a.n, b.n FROM Numbers AS a LEFT JOIN Numbers AS b ON a.n = b.n + 1 ORDER BY a.n");
    join.Move(3);
    const COleVariant pos = join.GetBookmark();
    join.MoveLast();
    join.SetBookmark(pos);
    EXPECT_EQ(join.GetAbsolutePosition(), 3);
    EXPECT_EQ(DaoErrorOf([&] { join.SetBookmark(bm); }), 3159);
    EXPECT_FALSE(join.CanUpdate());
}

TEST_F(RecordsetTest, TableRecordsetFollowsItsIndexAndSeeks)
{
    CDaoTableDef td(&m_db);
    td.Open("Tree");
    CDaoRecordset rs(&m_db);
    rs.Open(&td);
    EXPECT_EQ(rs.GetType(), dbOpenTable);
    EXPECT_EQ(rs.GetRecordCount(), 3);
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Favorites");  // table order
    EXPECT_EQ(DaoErrorOf([&] { rs.SetCurrentIndex("Nope"); }), 3800);
    COleVariant key(20L);
    EXPECT_EQ(DaoErrorOf([&] { rs.Seek("=", &key); }), 3019);
    rs.SetCurrentIndex("Order");
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Views");
    rs.Move(2);
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Smith");
    struct Case {
        const char* cmp;
        long key;
        const char* found;  // null: no match
    };
    const Case cases[] = {{"=", 20, "Favorites"}, {"=", 25, nullptr},    {">=", 11, "Favorites"}, {">", 20, "Smith"},
                          {"<", 20, "Views"},     {"<=", 20, "Favorites"}, {"<", 10, nullptr},    {">", 30, nullptr}};
    for (const Case& c : cases) {
        rs.MoveFirst();
        COleVariant k(c.key);
        EXPECT_EQ(rs.Seek(c.cmp, &k), c.found != nullptr) << c.cmp << c.key;
        if (c.found) EXPECT_EQ(Str(rs.GetFieldValue("Key")), c.found) << c.cmp << c.key;
        else EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Views") << "a failed Seek keeps the current record";
    }
    // the table recordset sees a change made elsewhere
    m_db.Execute("UPDATE Tree SET [Order] = 5 WHERE [Key] = 'Smith'");
    rs.MoveFirst();
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Smith");
    EXPECT_EQ(DaoErrorOf([&] { CDaoRecordset(&m_db).Open(dbOpenTable, "Nowhere"); }), 3078);
    CDaoTableDef missing(&m_db);
    EXPECT_EQ(DaoErrorOf([&] { missing.Open("Nowhere"); }), 3265);
}

// A sought record is read where the index finds it; moves, positions, edits and deletes
// start from its place in the order all the same.
TEST_F(RecordsetTest, SoughtRecordTakesItsPlaceWhenAsked)
{
    CDaoTableDef td(&m_db);
    td.Open("Tree");
    CDaoRecordset rs(&m_db);
    rs.Open(&td);
    rs.SetCurrentIndex("Order");
    COleVariant k20(20L), k30(30L), k10(10L);
    ASSERT_TRUE(rs.Seek("=", &k20));
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Favorites");
    EXPECT_EQ(rs.GetAbsolutePosition(), 1);
    ASSERT_TRUE(rs.Seek(">", &k20));
    rs.MovePrev();
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Favorites");
    ASSERT_TRUE(rs.Seek("=", &k10));
    rs.MoveNext();
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Favorites");
    ASSERT_TRUE(rs.Seek("=", &k30));
    rs.Move(-2);
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Views");
    // A bookmark of a sought record leads back to it.
    ASSERT_TRUE(rs.Seek("=", &k20));
    const COleVariant mark = rs.GetBookmark();
    rs.MoveFirst();
    rs.SetBookmark(mark);
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Favorites");
    // Edits and deletes reach the sought record, and the next move starts from its place.
    ASSERT_TRUE(rs.Seek("=", &k30));
    rs.Edit();
    rs.SetFieldValue("Text", "Jon Smith");
    rs.Update();
    EXPECT_EQ(Str(rs.GetFieldValue("Text")), "Jon Smith");
    ASSERT_TRUE(rs.Seek("=", &k20));
    rs.Delete();
    rs.MoveNext();
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "Smith");
    EXPECT_EQ(rs.GetAbsolutePosition(), 1);
}

TEST_F(RecordsetTest, ChangesInsideAndOutsideTransactions)
{
    CDaoWorkspace* ws = m_db.m_pWorkspace;
    ASSERT_NE(ws, nullptr);
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Tree ORDER BY [Order]");
    ASSERT_TRUE(rs.CanUpdate());
    auto add = [&](const char* key, long order) {
        rs.AddNew();
        rs.SetFieldValue("Key", key);
        rs.SetFieldValue("Order", COleVariant(order));
        rs.Update();
    };
    auto count = [&] {
        CDaoTableDef td(&m_db);
        td.Open("Tree");
        return td.GetRecordCount();
    };
    add("A", 40);
    EXPECT_EQ(count(), 4);
    rs.SetBookmark(rs.GetLastModifiedBookmark());
    EXPECT_EQ(Str(rs.GetFieldValue("Key")), "A");
    EXPECT_EQ(rs.GetFieldValue("Parent").vt, VT_NULL);

    ws->BeginTrans();
    add("B", 50);
    rs.MoveFirst();
    rs.Edit();
    rs.SetFieldValue("Text", "Renamed");
    rs.Update();
    EXPECT_EQ(count(), 5);
    ws->Rollback();
    EXPECT_EQ(count(), 4);
    rs.Requery();
    EXPECT_EQ(Str(rs.GetFieldValue("Text")), "Directory Views");

    ws->BeginTrans();
    rs.MoveFirst();
    rs.Delete();
    add("C", 60);
    ws->CommitTrans();
    EXPECT_EQ(count(), 4);
    EXPECT_EQ(DaoErrorOf([&] { ws->CommitTrans(); }), 3034);

    // nested: the inner commit is undone by the outer rollback
    ws->BeginTrans();
    add("D", 70);
    ws->BeginTrans();
    add("E", 80);
    ws->CommitTrans();
    EXPECT_EQ(count(), 6);
    ws->Rollback();
    EXPECT_EQ(count(), 4);
    ws->BeginTrans();
    add("F", 90);
    ws->BeginTrans();
    add("G", 100);
    ws->Rollback();
    ws->CommitTrans();
    EXPECT_EQ(count(), 5);
    m_db.Execute("DELETE FROM Tree WHERE [Key] = 'F'");

    rs.Requery();
    rs.MoveFirst();
    rs.Delete();
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(DaoErrorOf([&] { rs.Update(); }), 3020);
    EXPECT_EQ(DaoErrorOf([&] { rs.SetFieldValue("Key", "x"); }), 3020);
    rs.MoveNext();
    rs.Edit();
    rs.CancelUpdate();
    EXPECT_EQ(rs.GetEditMode(), dbEditNone);

    CDaoRecordset snap(&m_db);
    snap.Open(dbOpenSnapshot, "SELECT * FROM Tree");
    EXPECT_FALSE(snap.CanUpdate());
    EXPECT_EQ(DaoErrorOf([&] { snap.Edit(); }), 3027);
}

TEST_F(RecordsetTest, FindWalksCriteria)
{
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Numbers ORDER BY n");
    EXPECT_TRUE(rs.FindFirst("[n] = 300"));
    EXPECT_EQ(rs.GetAbsolutePosition(), 299);
    EXPECT_EQ(rs.GetRecordCount(), 300);
    EXPECT_TRUE(rs.FindNext("n > 1000 AND label LIKE '*5'"));
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 1005);
    EXPECT_TRUE(rs.FindPrev("[Numbers].[n] < 3"));
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 2);
    EXPECT_TRUE(rs.FindLast("label = \"row 7\" OR n = 8"));
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 8);
    EXPECT_FALSE(rs.FindFirst("n = -1"));
    EXPECT_EQ(Num(rs.GetFieldValue(0)), 8);
    EXPECT_EQ(DaoErrorOf([&] { rs.FindFirst("[nope] = 1"); }), 3070);
    EXPECT_EQ(DaoErrorOf([&] { rs.FindFirst("n = "); }), 3075);

    // a snapshot, and a field made by an expression, are searched row by row
    CDaoRecordset snap(&m_db);
    snap.Open(dbOpenSnapshot, "SELECT n, n * 2 AS twice FROM Numbers WHERE n > 100 ORDER BY n DESC");
    EXPECT_TRUE(snap.FindFirst("twice = 1000"));
    EXPECT_EQ(Num(snap.GetFieldValue("n")), 500);
    EXPECT_TRUE(snap.FindNext("twice < 300 AND n Mod 2 = 1"));
    EXPECT_EQ(Num(snap.GetFieldValue("n")), 149);
    EXPECT_FALSE(snap.FindNext("n = 500"));
    CDaoRecordset dyn(&m_db);
    dyn.Open(dbOpenDynaset, "SELECT label, n FROM Numbers WHERE n < 4 ORDER BY 2 DESC");
    EXPECT_EQ(Num(dyn.GetFieldValue("n")), 3);
    dyn.Open(dbOpenDynaset, "SELECT n, n * 2 AS twice FROM Numbers ORDER BY n");
    EXPECT_TRUE(dyn.FindLast("twice < 7"));
    EXPECT_EQ(Num(dyn.GetFieldValue("n")), 3);
}

TEST_F(RecordsetTest, FavoritesStatementReturnsItsRows)
{
    m_db.Execute("INSERT INTO Tree VALUES ('Jones', 25, 'Favorites', 'Ann Jones', 0, 0, 'Details', '9', 0)");
    for (int type : {dbOpenDynaset, dbOpenSnapshot}) {
        CDaoRecordset rs(&m_db);
        rs.Open(type, "Select * from Tree Where Parent='Favorites' order by Tree.Order");
        std::string keys;
        for (; !rs.IsEOF(); rs.MoveNext()) keys += Str(rs.GetFieldValue("Key")).GetString() + std::string("|");
        EXPECT_EQ(keys, "Jones|Smith|");
    }
}

TEST_F(RecordsetTest, TextComparesWithoutCaseForEveryLetterAlike)
{
    m_db.Execute("CREATE TABLE People (id LONG, name TEXT(50))");
    const char* names[] = {"Mum", "Müller", "Muller", "Ecker", "Ébert", "Eber"};
    for (int i = 0; i < 6; ++i)
        m_db.Execute(("INSERT INTO People VALUES (" + std::to_string(i + 1) + ", '" + names[i] + "')").c_str());
    // every way of reaching the rows: a keyset over one table, a snapshot, a join
    const char* queries[] = {
        "SELECT * FROM People ORDER BY id",
        "SELECT id, name FROM People WHERE id > 0 ORDER BY id",
        "SELECT People.id, People.name, Numbers.label FROM People INNER JOIN Numbers ON People.id = Numbers.n ORDER BY People.id",
    };
    for (const char* q : queries) {
        for (int type : {dbOpenDynaset, dbOpenSnapshot}) {
            CDaoRecordset rs(&m_db);
            rs.Open(type, q);
            SCOPED_TRACE(q);
            EXPECT_TRUE(rs.FindFirst("name = 'MÜLLER'"));
            EXPECT_EQ(Num(rs.GetFieldValue("id")), 2);
            EXPECT_FALSE(rs.FindNext("name = 'MÜLLER'"));  // the accent still counts
            EXPECT_TRUE(rs.FindFirst("name = 'éBERT' AND name LIKE 'ÉB*'"));
            EXPECT_EQ(Num(rs.GetFieldValue("id")), 5);
            EXPECT_TRUE(rs.FindFirst("name > 'MULLER' AND name < 'MUM'"));
            EXPECT_EQ(Num(rs.GetFieldValue("id")), 2);
        }
    }
    // the statement's own comparisons and its order follow the same rule
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenSnapshot, "SELECT * FROM People WHERE name = 'müller' OR name = 'EBERT' ORDER BY name");
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(Str(rs.GetFieldValue("name")), "Müller");
    rs.MoveNext();
    EXPECT_TRUE(rs.IsEOF());
    rs.Open(dbOpenSnapshot, "SELECT * FROM People ORDER BY name");
    std::string order;
    for (; !rs.IsEOF(); rs.MoveNext()) order += Str(rs.GetFieldValue("name")).GetString() + std::string("|");
    EXPECT_EQ(order, "Eber|Ébert|Ecker|Muller|Müller|Mum|");
}

// A dynaset over a whole table with no order of its own runs in rowid order, whatever index
// the engine counts it from, and learns each record's place only when it is read.
TEST_F(RecordsetTest, UnorderedDynasetRunsInRowidOrderAndPlacesRecordsWhenRead)
{
    m_db.Execute("CREATE INDEX Label ON Numbers (label)");  // 'row 1', 'row 10', 'row 100', ...
    m_db.Execute("CREATE TABLE Big (n LONG, tag TEXT(10))");
    m_db.Execute("INSERT INTO Big WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000) "
                 "SELECT x, 't' || (3000 - x) FROM c");
    m_db.Execute("CREATE INDEX Tag ON Big (tag)");

    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenDynaset, "SELECT * FROM Numbers");
    for (long i = 1; i <= 3; ++i, rs.MoveNext()) EXPECT_EQ(Num(rs.GetFieldValue("n")), i);
    // a block walked without reading: its last bookmark finds the record later
    rs.Move(496);
    EXPECT_EQ(rs.GetRecordCount(), 500);
    const COleVariant bm500 = rs.GetBookmark();
    rs.Move(-489);
    const COleVariant bm11 = rs.GetBookmark();
    rs.MoveFirst();
    rs.SetBookmark(bm500);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 500);
    rs.SetAbsolutePosition(1100);  // beyond what was read in order
    EXPECT_EQ(Str(rs.GetFieldValue("label")), "row 1101");
    // a record deleted before it moves the bookmarked one up; the deleted one's is refused
    rs.SetBookmark(bm11);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 11);
    rs.Delete();
    rs.SetBookmark(bm500);
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 500);
    EXPECT_EQ(rs.GetAbsolutePosition(), 498);
    EXPECT_EQ(DaoErrorOf([&] { rs.SetBookmark(bm11); }), 3159);
    // changes and additions land where the order says
    rs.Edit();
    rs.SetFieldValue("label", COleVariant("five hundred"));
    rs.Update();
    const COleVariant bmEdited = rs.GetBookmark();
    rs.AddNew();
    rs.SetFieldValue("n", COleVariant(long(5000)));
    rs.Update();
    rs.MoveLast();
    EXPECT_EQ(Num(rs.GetFieldValue("n")), 5000);
    EXPECT_EQ(rs.GetRecordCount(), 1200);
    // after Requery a read record's bookmark holds; a place never read is refused, never misread
    rs.Requery();
    rs.SetBookmark(bmEdited);
    EXPECT_EQ(Str(rs.GetFieldValue("label")), "five hundred");
    EXPECT_EQ(rs.GetAbsolutePosition(), 498);
    rs.Requery();
    rs.Move(700);
    const COleVariant unread = rs.GetBookmark();
    rs.Requery();
    EXPECT_EQ(DaoErrorOf([&] { rs.SetBookmark(unread); }), 3159);

    // a jump far past the records read in order reads the rest of the count instead
    CDaoRecordset big(&m_db);
    big.Open(dbOpenDynaset, "SELECT * FROM Big");
    EXPECT_EQ(Num(big.GetFieldValue("n")), 1);
    big.Move(2600);
    EXPECT_EQ(Num(big.GetFieldValue("n")), 2601);
    big.MovePrev();
    EXPECT_EQ(Str(big.GetFieldValue("tag")), "t400");
    big.MoveLast();
    EXPECT_EQ(big.GetRecordCount(), 3000);
    EXPECT_EQ(Num(big.GetFieldValue("n")), 3000);
}
