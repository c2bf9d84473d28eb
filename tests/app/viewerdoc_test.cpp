#include "app/ViewerDoc.h"

#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "app/Config.h"
#include "platform/win/pvwin.h"
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Row { const char* key; const char* value; };

class ViewerDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvResetStartupAbandoned();
        dir = fs::temp_directory_path() / ("pv_doc_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "directory.mdb").string();
        PvSetDatabasePathForTest(path.c_str());
    }
    void TearDown() override
    {
        PvSetMessageBoxObserver(nullptr);
        fs::remove_all(dir);
        ResetConfiguration();
    }

    // A directory database with table Application and one enciphered value in table Data.
    void makeDatabase(std::initializer_list<Row> rows, bool withTable = true)
    {
        CDaoDatabase db;
        db.Create(path.c_str(), CString(dbLangGeneral) + kDirectoryConnect);
        if (withTable) {
            db.Execute("CREATE TABLE Application ([Key] TEXT(50), [Value] TEXT(255))");
            for (const Row& r : rows) {
                CString sql;
                sql.Format("INSERT INTO Application ([Key], [Value]) VALUES (\"%s\", \"%s\")", r.key, r.value);
                db.Execute(sql);
            }
        }
        db.Close();
    }

    fs::path dir;
    std::string path;
    MsgBoxLog boxes;
};

const std::initializer_list<Row> kFullTable = {
    {"DefaultSort1", "Last Name"}, {"DefaultSort2", "First Name"}, {"AppTitle", "Hillcrest School"}, {"Footnote", "2026-27"}};

CDaoDatabase* g_heldOpen = nullptr;

} // namespace

TEST_F(ViewerDocTest, FirstOpenAlreadyKeysTheCipher)
{
    makeDatabase(kFullTable);
    CBlowfishCipher reference;
    reference.SetKey(DeriveCipherKey("Last Name", "First Name"));
    CString stored;
    reference.Encrypt("O'Neil", stored);

    CViewerDoc doc;
    EXPECT_FALSE(doc.IsCipherKeyed());
    ASSERT_TRUE(doc.OpenDirectoryDatabase());
    EXPECT_TRUE(doc.m_database.IsOpen());
    EXPECT_TRUE(doc.IsCipherKeyed());
    CString plain;
    doc.GetCipher()->Decrypt(stored, plain);
    EXPECT_STREQ(plain, "O'Neil");

    // Later calls derive the same key again and change nothing.
    ASSERT_TRUE(doc.OpenDirectoryDatabase());
    doc.GetCipher()->Decrypt(stored, plain);
    EXPECT_STREQ(plain, "O'Neil");
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(ViewerDocTest, ApplicationValues)
{
    makeDatabase(kFullTable);
    CViewerDoc doc;
    CString sort;
    doc.GetDefaultSort(sort);
    EXPECT_STREQ(sort, "Data.[_ILast Name], Data.[_IFirst Name]");
    EXPECT_STREQ(doc.GetAppTitle(), "Hillcrest School");
    EXPECT_TRUE(doc.GetFootnote());
    EXPECT_STREQ(doc.m_strFootnote, "2026-27");
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(ViewerDocTest, MissingRowsGiveDefaultsAndOneMessageEach)
{
    makeDatabase({{"DefaultSort2", "First Name"}, {"DefaultSort1", "Last Name"}, {"Footnote", ""}});
    CViewerDoc doc;
    doc.OpenDirectoryDatabase(); // cannot key: DefaultSort2 precedes DefaultSort1
    EXPECT_FALSE(doc.IsCipherKeyed());
    EXPECT_TRUE(boxes.entries().empty()); // the keying on opening reports nothing yet

    EXPECT_STREQ(doc.GetAppTitle(), "Paravel");
    EXPECT_FALSE(doc.GetFootnote()); // empty footnote: false without a message
    CString sort = "x";
    doc.GetDefaultSort(sort);
    EXPECT_TRUE(sort.IsEmpty());
    doc.GetDefaultSort(sort);
    // Every call keys again and the default sort reads the same rows: the fault is told once.
    std::vector<std::string> texts;
    for (const auto& e : boxes.entries())
        texts.push_back(e.text);
    const std::vector<std::string> want = {
        "Error! The table named Application does not contain an entry for DefaultSort2",
        "Error while reading title! The table named Application does not contain an entry for AppTitle"};
    EXPECT_EQ(texts, want);
}

TEST_F(ViewerDocTest, NewDocumentKeepsTheDatabaseHeld)
{
    makeDatabase(kFullTable);
    CViewerDoc doc;
    EXPECT_STREQ(doc.GetAppTitle(), "Hillcrest School"); // the frame's title opens it
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.m_database.IsOpen());
    CDaoDatabase other;
    try {
        other.Open(path.c_str(), TRUE, FALSE, kDirectoryConnect);
        ADD_FAILURE() << "a second exclusive open succeeded";
    } catch (const CDaoException& e) {
        EXPECT_EQ(e.m_pErrorInfo->m_lErrorCode, 3356);
    }
    doc.DeleteContents(); // closing the document lets go of it
    EXPECT_FALSE(doc.m_database.IsOpen());
}

TEST_F(ViewerDocTest, NoApplicationTable)
{
    makeDatabase({}, false);
    CViewerDoc doc;
    CString sort = "x";
    doc.GetDefaultSort(sort);
    EXPECT_TRUE(sort.IsEmpty());
    EXPECT_STREQ(doc.GetAppTitle(), "Paravel");
    EXPECT_FALSE(doc.GetFootnote());
    for (const auto& e : boxes.entries())
        EXPECT_NE(e.text.find("unable to open the table named Application in the directory database " + path), std::string::npos);
}

TEST_F(ViewerDocTest, DatabaseInUseRetryAfterReleaseSucceeds)
{
    makeDatabase(kFullTable);
    CDaoDatabase holder;
    holder.Open(path.c_str(), TRUE, FALSE, kDirectoryConnect);
    g_heldOpen = &holder;
    // The user closes the other program while the box is up, then chooses Retry.
    PvSetMessageBoxObserver([](LPCTSTR, UINT) { g_heldOpen->Close(); });
    boxes.answers("retry");

    CViewerDoc doc;
    ASSERT_TRUE(doc.OpenDirectoryDatabase());
    EXPECT_TRUE(doc.IsCipherKeyed());
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text,
              "Another program is currently using the directory database.  Please close all programs and try again.");
    EXPECT_EQ(entries[0].buttons, "retrycancel");
    EXPECT_EQ(entries[0].icon, "warning");
}

TEST_F(ViewerDocTest, CancelAbandonsTheOperation)
{
    makeDatabase(kFullTable);
    CDaoDatabase holder;
    holder.Open(path.c_str(), TRUE, FALSE, kDirectoryConnect);
    boxes.answers("retry,cancel");

    CViewerDoc doc;
    EXPECT_THROW(doc.OpenDirectoryDatabase(), CViewerAbort);
    EXPECT_EQ(boxes.entries().size(), 2u);
    EXPECT_TRUE(PvStartupAbandoned()); // no main window yet: start-up ends quietly
    EXPECT_FALSE(doc.m_database.IsOpen());

    // The footnote reader swallows the abort; the title reader passes it on.
    boxes.answers("cancel");
    EXPECT_FALSE(doc.GetFootnote());
    EXPECT_THROW(doc.GetAppTitle(), CViewerAbort);
}

TEST_F(ViewerDocTest, MissingFileNamesPathAndJetError)
{
    boxes.answers("cancel");
    CViewerDoc doc;
    EXPECT_THROW(doc.OpenDirectoryDatabase(), CViewerAbort);
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "Error! Unable to open directory database " + path +
                                   ".\nIf this path is to your CD-ROM drive, make sure the program CD is in the drive.\n"
                                   "If this path is to your hard drive, please re-install this program and try again."
                                   "\n(Jet Error Number 3024)");
}
