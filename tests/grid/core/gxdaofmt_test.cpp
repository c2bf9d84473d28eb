#include "grid/core/gxdaofmt.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

#include "platform/dao/dao.h"

namespace {

TEST(FormatFieldValue, TextsByFieldType)
{
    char tmpl[] = "/tmp/gxdaofmtXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/t.mdb";
    const std::string connect = std::string(dbLangGeneral) + ";PWD=GridFieldTexts";
    {
        CDaoDatabase db;
        db.Create(path.c_str(), connect.c_str());
        db.Execute("CREATE TABLE T (S SHORT, L LONG, B BYTE, F SINGLE, D DOUBLE, T TEXT(20), Y BOOLEAN, "
                   "M MEMO, N LONG, G LONGBINARY)");
        db.Execute("INSERT INTO T (S, L, B, F, D, T, Y, M, N) VALUES (-3, 123456, 7, 1.5, 0.1, 'Hello', TRUE, 'memo', NULL)");
        db.Close();
    }
    CDaoDatabase db;
    db.Open(path.c_str(), FALSE, TRUE, ";PWD=GridFieldTexts");
    CDaoRecordset rs(&db);
    rs.Open(dbOpenDynaset, "SELECT * FROM T");
    struct Case {
        int field;
        BOOL memo;
        BOOL result;
        const char* text;
    };
    const Case cases[] = {
        {0, FALSE, TRUE, "-3"}, {1, FALSE, TRUE, "123456"}, {2, FALSE, TRUE, "7"}, {3, FALSE, TRUE, "1.5"},
        {4, FALSE, TRUE, "0.1"}, {5, FALSE, TRUE, "Hello"}, {6, FALSE, TRUE, "TRUE"}, {7, FALSE, FALSE, "unchanged"},
        {7, TRUE, TRUE, "memo"}, {8, FALSE, TRUE, ""}, {9, FALSE, FALSE, "unchanged"},
    };
    for (const Case& c : cases) {
        CString text("unchanged");
        EXPECT_EQ(FormatFieldValue(text, &rs, c.field, c.memo), c.result) << c.field;
        EXPECT_EQ(text, c.text) << c.field;
    }
    CString text;
    EXPECT_THROW(FormatFieldValue(text, &rs, 99, FALSE), CDaoException);
    rs.Close();
    db.Close();
    std::filesystem::remove_all(tmpl);
}

} // namespace
