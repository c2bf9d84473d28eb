#include "dao_fixture.h"

namespace {

// Every row's values of one field, joined by "|".
std::string Column(CDaoRecordset& rs, const char* field)
{
    std::string out;
    if (rs.IsEOF()) return out;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        COleVariant v = rs.GetFieldValue(field);
        if (v.vt == VT_NULL) out += "null";
        else {
            v.ChangeType(VT_BSTR);
            out += v.bstrVal;
        }
        out += "|";
        rs.MoveNext();
    }
    return out;
}

}  // namespace

class StatementsTest : public DaoTest {
protected:
    void SetUp() override
    {
        DaoTest::SetUp();
        const std::string path = MakeDb(
            "dir.mdb",
            {"CREATE TABLE Data ([_IKEY] LONG, [Last Name] TEXT(50), [_ILast Name] LONG, [First Name] TEXT(50), [Order] LONG)",
             "CREATE INDEX [_ILast Name] ON Data ([_ILast Name])",
             "INSERT INTO Data VALUES (1, 'Smith', 4, 'Ann', 3)",
             "INSERT INTO Data VALUES (2, 'smythe', 5, 'Bob', 1)",
             "INSERT INTO Data VALUES (3, 'Adams', 2, 'Cy', 2)",
             "INSERT INTO Data VALUES (4, 'Baker9', 3, 'Di', 4)",
             "CREATE TABLE Phones ([_IKEY] LONG, Phone TEXT(20), [_IPhone] LONG)",
             "CREATE INDEX [_IPhone] ON Phones ([_IPhone])",  // the same index name in two tables
             "INSERT INTO Phones VALUES (1, '555-1', 2)",
             "INSERT INTO Phones VALUES (3, '555-3', 3)",
             "CREATE TABLE Cities ([_IKEY] LONG, City TEXT(20), [_ICity] LONG)",
             "CREATE INDEX [_IPhone] ON Cities ([_ICity])",
             "INSERT INTO Cities VALUES (1, 'Bonn', 2)",
             "INSERT INTO Cities VALUES (2, 'Kiel', 0)"});
        m_db.Open(path.c_str(), TRUE, FALSE, kTestKey);
    }
    CDaoDatabase m_db;
};

TEST_F(StatementsTest, JetStatementsReturnTheirRows)
{
    struct Case {
        const char* sql;
        const char* field;
        const char* rows;
    };
    const Case cases[] = {
        {"SELECT [Last Name] FROM Data WHERE [_IKEY] = 2", "Last Name", "smythe|"},
        {"SELECT * FROM Data ORDER BY [Order]", "_IKEY", "2|3|1|4|"},
        {"SELECT [Order] FROM [Data] WHERE [Order] > 2 ORDER BY [Order] DESC", "Order", "4|3|"},
        {"SELECT * FROM Data WHERE [Last Name] = \"Adams\"", "First Name", "Cy|"},
        {"SELECT * FROM Data WHERE [Last Name] LIKE 'sm*' ORDER BY [_IKEY]", "_IKEY", "1|2|"},
        {"SELECT * FROM Data WHERE [Last Name] LIKE \"S?ITH\"", "_IKEY", "1|"},
        {"SELECT * FROM Data WHERE [Last Name] LIKE '*#'", "_IKEY", "4|"},
        {"SELECT * FROM Data WHERE [Last Name] LIKE '[a-b]*' ORDER BY [_IKEY]", "_IKEY", "3|4|"},
        {"SELECT * FROM Data WHERE [Last Name] LIKE '[!a-b]*' ORDER BY [_IKEY]", "_IKEY", "1|2|"},
        {"SELECT * FROM Data WHERE Data.[_ILast Name] BETWEEN 3 AND 4 ORDER BY Data.[_ILast Name]", "Last Name", "Baker9|Smith|"},
        {"SELECT DATA.* , [PHONES].[Phone] , [PHONES].[_IPhone] FROM (DATA  ) LEFT JOIN [PHONES] ON DATA.[_IKEY] = "
         "[PHONES].[_IKEY] WHERE ([DATA].[_ILast Name] BETWEEN 2 AND 3 OR [DATA].[_ILast Name] BETWEEN 4 AND 4) AND "
         "([PHONES].[_IPhone] BETWEEN 2 AND 9999999) ORDER BY Data.[_ILast Name], Data.[_IKEY]",
         "Phone", "555-3|555-1|"},
        {"SELECT DATA.* , [CITIES].[City] FROM ((DATA ) LEFT JOIN [PHONES] ON DATA.[_IKEY] = [PHONES].[_IKEY] ) LEFT JOIN "
         "[CITIES] ON DATA.[_IKEY] = [CITIES].[_IKEY] WHERE ([CITIES].[_ICity] BETWEEN 0 AND 9999999) ORDER BY DATA.[_IKEY]",
         "City", "Bonn|Kiel|"},
        {"SELECT * FROM Data LEFT JOIN Phones ON Data.[_IKEY] = Phones.[_IKEY] ORDER BY Data.[_IKEY]", "Phones._IKEY",
         "1|null|3|null|"},
        {"SELECT * FROM Data LEFT JOIN Phones ON Data.[_IKEY] = Phones.[_IKEY] ORDER BY Data.[_IKEY]", "Data._IKEY", "1|2|3|4|"},
        {"SELECT [Last Name] & ', ' & [First Name] AS Full FROM Data WHERE [_IKEY] = 3", "Full", "Adams, Cy|"},
        {"SELECT * FROM Data WHERE [Last Name] = 'SMITH' OR [Last Name] = 'Smythe' ORDER BY [Last Name]", "_IKEY", "1|2|"},
    };
    for (const Case& c : cases) {
        CDaoRecordset rs(&m_db);
        try {
            rs.Open(dbOpenDynaset, c.sql);
            EXPECT_EQ(Column(rs, c.field), c.rows) << c.sql;
        } catch (CDaoException& e) {
            ADD_FAILURE() << c.sql << ": " << e.m_pErrorInfo->m_strDescription.GetString();
        }
    }
    m_db.Execute("UPDATE Data SET [First Name] = \"Zed\" WHERE [_IKEY] BETWEEN 2 AND 3", dbFailOnError);
    EXPECT_EQ(m_db.GetRecordsAffected(), 2);
    CDaoRecordset rs(&m_db);
    rs.Open(dbOpenSnapshot, "SELECT * FROM Data WHERE [First Name] = 'Zed' ORDER BY [_IKEY]");
    EXPECT_EQ(Column(rs, "_IKEY"), "2|3|");
}

TEST_F(StatementsTest, TableDefinitionsDescribeFieldsAndIndexes)
{
    CDaoTableDef td(&m_db);
    td.Open("data");
    EXPECT_EQ(td.GetName(), "Data");
    EXPECT_EQ(td.GetRecordCount(), 4);
    EXPECT_EQ(td.GetFieldCount(), 5);
    CDaoFieldInfo fi;
    td.GetFieldInfo("Last Name", fi, AFX_DAO_ALL_INFO);
    EXPECT_EQ(fi.m_nType, dbText);
    EXPECT_EQ(fi.m_lSize, 50);
    EXPECT_TRUE(td.FieldExists("_ilast name"));
    EXPECT_FALSE(td.FieldExists("_ISortOrder"));
    EXPECT_EQ(DaoErrorOf([&] { td.GetFieldInfo("Nope", fi); }), 3265);
    ASSERT_EQ(td.GetIndexCount(), 1);
    CDaoIndexInfo ii;
    td.GetIndexInfo(0, ii);
    EXPECT_EQ(ii.m_strName, "_ILast Name");
    ASSERT_EQ(ii.m_nFields, 1);
    EXPECT_EQ(ii.m_pFieldInfos[0].m_strName, "_ILast Name");

    // new tables, fields and indexes through the definition
    CDaoTableDef nt(&m_db);
    nt.Create("Lookup");
    nt.CreateField("Display", dbText, 40);
    CDaoFieldInfo sort;
    sort.m_strName = "_ISortOrder";
    sort.m_nType = dbLong;
    sort.m_strDefaultValue = "7";
    nt.CreateField(sort);
    CDaoIndexFieldInfo col;
    col.m_strName = "Display";
    CDaoIndexInfo idx;
    idx.m_strName = "Default";
    idx.m_pFieldInfos = &col;
    idx.m_nFields = 1;
    nt.CreateIndex(idx);
    nt.Append();
    EXPECT_TRUE(nt.IsOpen());
    nt.CreateField("Actual", dbMemo, 0);
    EXPECT_EQ(nt.GetFieldCount(), 3);
    nt.GetFieldInfo("_ISortOrder", fi, AFX_DAO_ALL_INFO);
    EXPECT_EQ(fi.m_strDefaultValue, "7");
    CDaoIndexInfo got;
    nt.GetIndexInfo("default", got);
    EXPECT_EQ(got.m_strName, "Default");
    EXPECT_EQ(m_db.GetTableDefCount(), 4);
    m_db.DeleteTableDef("Lookup");
    EXPECT_EQ(m_db.GetTableDefCount(), 3);
}

class TypesTest : public DaoTest {};

TEST_F(TypesTest, EveryFieldTypeToAndFromVariants)
{
    const std::string path = MakeDb("types.mdb", {"CREATE TABLE T (b BOOLEAN, y BYTE, i SHORT, l LONG, c CURRENCY, s SINGLE, d DOUBLE, "
                                                  "t DATETIME, x TEXT(5), bin LONGBINARY, m MEMO, g GUID, e)"});
    CDaoDatabase db;
    db.Open(path.c_str(), FALSE, FALSE, kTestKey);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");
    const BYTE blob[] = {0, 1, 2, 255};
    COleCurrency cy(12, 3400);
    struct Case {
        const char* field;
        short type;
        long size;
        COleVariant in;
        VARTYPE vt;
    };
    const Case cases[] = {
        {"b", dbBoolean, 1, COleVariant(short(-1), VT_BOOL), VT_BOOL},
        {"y", dbByte, 1, COleVariant(BYTE(200)), VT_UI1},
        {"i", dbInteger, 2, COleVariant(short(-1234)), VT_I2},
        {"l", dbLong, 4, COleVariant(123456789L), VT_I4},
        {"c", dbCurrency, 8, COleVariant(cy), VT_CY},
        {"s", dbSingle, 4, COleVariant(1.5f), VT_R4},
        {"d", dbDouble, 8, COleVariant(2.25), VT_R8},
        {"t", dbDate, 8, COleVariant(36906.75, VT_DATE), VT_DATE},
        {"x", dbText, 5, COleVariant("héllo"), VT_BSTR},
        {"bin", dbLongBinary, 0, COleVariant(blob, sizeof blob), VT_ARRAY | VT_UI1},
        {"m", dbMemo, 0, COleVariant(CString(std::string(5000, 'm'))), VT_BSTR},
        {"g", dbGUID, 16, COleVariant("{00000000-0000-0000-0000-000000000001}"), VT_BSTR},
    };
    rs.AddNew();
    for (const Case& c : cases) rs.SetFieldValue(c.field, c.in);
    rs.Update();
    rs.AddNew();
    for (const Case& c : cases) rs.SetFieldValueNull(c.field);
    rs.Update();
    rs.Requery();
    for (const Case& c : cases) {
        CDaoFieldInfo fi;
        rs.GetFieldInfo(c.field, fi);
        EXPECT_EQ(fi.m_nType, c.type) << c.field;
        EXPECT_EQ(fi.m_lSize, c.size) << c.field;
        const COleVariant out = rs.GetFieldValue(c.field);
        EXPECT_EQ(out.vt, c.vt) << c.field;
        EXPECT_TRUE(out == c.in) << c.field;
    }
    rs.MoveNext();
    for (const Case& c : cases) EXPECT_EQ(rs.GetFieldValue(c.field).vt, VT_NULL) << c.field;

    // conversions the way Jet makes them, and refusals
    rs.Edit();
    rs.SetFieldValue("l", "42");
    rs.SetFieldValue("b", "True");
    rs.SetFieldValue("x", "12345");
    EXPECT_EQ(DaoErrorOf([&] { rs.SetFieldValue("x", "123456"); }), 3163);
    EXPECT_EQ(DaoErrorOf([&] { rs.SetFieldValue("l", "forty"); }), 3421);
    EXPECT_EQ(DaoErrorOf([&] { rs.SetFieldValue("y", COleVariant(300L)); }), 3421);
    rs.Update();
    EXPECT_EQ(rs.GetFieldValue("l").lVal, 42);
    EXPECT_EQ(rs.GetFieldValue("b").boolVal, VARIANT_TRUE);
    // an untyped column takes the type of its value
    CDaoRecordset ex(&db);
    ex.Open(dbOpenSnapshot, "SELECT count(*) AS n, 1.5 AS r, 'a' AS s FROM T");
    CDaoFieldInfo fi;
    ex.GetFieldInfo("n", fi);
    EXPECT_EQ(fi.m_nType, dbLong);
    ex.GetFieldInfo(1, fi);
    EXPECT_EQ(fi.m_nType, dbDouble);
    ex.GetFieldInfo("s", fi);
    EXPECT_EQ(fi.m_nType, dbText);
    EXPECT_EQ(ex.GetFieldValue("n").lVal, 2);
}
