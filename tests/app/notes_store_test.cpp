// A notes window on its own over a custom database of the test's: a database that refuses
// writes keeps the window and its text until the user gives it up or the file takes the note,
// and a process killed while it stores leaves the old note or the new one.
#include <gtest/gtest.h>

#include "app/Config.h"
#include "app/OrganizeNotesDlg.h"
#include "platform/controls/controls.h"
#include "platform/ui/ui.h"
#include "tests/app/msgbox_log.h"
#include "tests/app/outline_fixture.h"

#include <csignal>
#include <filesystem>
#include <random>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

void PvRegisterAppResources();

namespace {

namespace fs = std::filesystem;

constexpr long kWithNote = 5;

class NotesStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        PvRegisterStandardControls();
        PvRegisterAppResources();
        m_folder.WriteCustom({{.key = "Favorites", .parent = "", .text = "Favorites", .image = 1}}, {kWithNote});
        PvSetOutlinePathsForTest(m_folder.data().c_str(), m_folder.custom().c_str());
    }
    void TearDown() override
    {
        PvResetWindowSystem();
        PvSetOutlinePathsForTest("", "");
    }
    static void pump()
    {
        for (int i = 0; i < 8 && PvUiPumpMessages() > 0; ++i) {
        }
    }
    void setWritable(bool writable)
    {
        fs::permissions(m_folder.custom(),
                        writable ? fs::perms::owner_read | fs::perms::owner_write
                                 : fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }
    // The rows of the key and the MEMO of the last.
    std::pair<int, std::string> rowsOf(long key)
    {
        CDaoDatabase db;
        db.Open(m_folder.custom().c_str());
        CNotesRecordset rs(&db);
        CString sql;
        sql.Format("SELECT * FROM Annotations WHERE [_IKEY] = %ld", key);
        rs.Open(dbOpenDynaset, sql);
        std::pair<int, std::string> out {0, ""};
        for (; !rs.IsEOF(); rs.MoveNext()) {
            ++out.first;
            out.second = rs.m_MEMO.str();
        }
        rs.Close();
        db.Close();
        return out;
    }
    static std::string editText(COrganizeNotesDlg* dlg)
    {
        CString s;
        dlg->m_edit.GetWindowText(s);
        return s.str();
    }

    OutlineFolder m_folder {"notes_store"};
    MsgBoxLog boxes;
};

} // namespace

// Edit, add and delete on a read-only file: the Part's message with the path and 3027, the
// window and its text stay, nothing is stored. Close again with the same text asks whether to
// give the note up; No keeps it, and once the file is writable Close stores it.
TEST_F(NotesStoreTest, ReadOnlyDatabaseKeepsTheWindowUntilTheNoteIsStored)
{
    const std::string tail = m_folder.custom() + "\nPlease re-install this program and try again\n(Jet Error Number 3027)";
    const struct Case {
        const char* name;
        long key;
        const char* memo;
        const char* message;
        std::pair<int, std::string> before, after;
    } cases[] = {
        {.name = "edit", .key = kWithNote, .memo = "Changed",
         .message = "Error editing in the Annotation table! This program was unable to edit the note in Annotations "
                    "table in the custom database ",
         .before = {1, "Call back"}, .after = {1, "Changed"}},
        {.name = "add", .key = 6, .memo = "First",
         .message = "Error adding to the Annotation table! This program was unable to add the new note in Annotations "
                    "table in the custom database ",
         .before = {0, ""}, .after = {1, "First"}},
        {.name = "delete", .key = kWithNote, .memo = "",
         .message = "Error deleting from the Annotation table! This program was unable to add the new note in "
                    "Annotations table in the custom database ",
         .before = {1, "Changed"}, .after = {0, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setWritable(false);
        COrganizeNotesDlg* dlg = COrganizeNotesDlg::CreateNotesWindow(nullptr, c.key, "Kai Larsen", nullptr);
        ASSERT_NE(dlg, nullptr);
        HWND hWnd = dlg->m_hWnd;
        dlg->m_edit.SetWindowText(c.memo);
        boxes.clear();
        EXPECT_FALSE(dlg->CloseStoringNote(TRUE));
        auto shown = boxes.entries();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, c.message + tail);
        EXPECT_EQ(shown[0].icon, "warning");
        ASSERT_TRUE(::IsWindow(hWnd));
        EXPECT_EQ(editText(dlg), c.memo);
        EXPECT_EQ(rowsOf(c.key), c.before);

        boxes.clear();
        boxes.answers("no");
        EXPECT_FALSE(dlg->CloseStoringNote(TRUE));
        shown = boxes.entries();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].text, "Your note could not be saved. Close this window and lose it?");
        EXPECT_EQ(shown[0].buttons, "yesno");
        ASSERT_TRUE(::IsWindow(hWnd));

        setWritable(true);
        boxes.clear();
        EXPECT_TRUE(dlg->CloseStoringNote(TRUE));
        pump();
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_TRUE(boxes.entries().empty());
        EXPECT_EQ(rowsOf(c.key), c.after);
    }
}

// Yes gives the note up; a text changed since the failure is tried with the Part's message again.
TEST_F(NotesStoreTest, TheUserMayGiveUpAnUnstorableNote)
{
    setWritable(false);
    COrganizeNotesDlg* dlg = COrganizeNotesDlg::CreateNotesWindow(nullptr, 6, "Kai Larsen", nullptr);
    ASSERT_NE(dlg, nullptr);
    HWND hWnd = dlg->m_hWnd;
    dlg->m_edit.SetWindowText("One");
    EXPECT_FALSE(dlg->CloseStoringNote(TRUE));
    dlg->m_edit.SetWindowText("Two");
    boxes.clear();
    EXPECT_FALSE(dlg->CloseStoringNote(TRUE));
    ASSERT_EQ(boxes.entries().size(), 1u);
    EXPECT_EQ(boxes.entries()[0].text.rfind("Error adding to the Annotation table!", 0), 0u);
    boxes.clear();
    boxes.answers("yes");
    EXPECT_TRUE(dlg->CloseStoringNote(TRUE));
    pump();
    EXPECT_FALSE(::IsWindow(hWnd));
    setWritable(true);
    EXPECT_EQ(rowsOf(6).first, 0);
}

// A child stores two notes in turn through the window, again and again, and is killed at a
// random moment; the file stays sound with one row holding one of the two notes.
TEST_F(NotesStoreTest, KilledWhileStoringLeavesTheOldNoteOrTheNew)
{
    const std::string a(255, 'A');
    std::string b;
    for (int line = 0; line < 5; ++line)
        b += std::string(49, 'b') + "\r\n";
    ASSERT_EQ(NotesStoredLength(b.c_str()), 255);
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> pause(200, 50000);  // microseconds before the kill
    // The old note is one of the two from the start.
    COrganizeNotesDlg* first = COrganizeNotesDlg::CreateNotesWindow(nullptr, kWithNote, "Kai Larsen", nullptr);
    ASSERT_NE(first, nullptr);
    first->m_edit.SetWindowText(a.c_str());
    ASSERT_TRUE(first->CloseStoringNote(FALSE));
    pump();
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (long i = 0;; ++i) {
                COrganizeNotesDlg* dlg = COrganizeNotesDlg::CreateNotesWindow(nullptr, kWithNote, "Kai Larsen", nullptr);
                if (!dlg)
                    ::_exit(2);
                dlg->m_edit.SetWindowText(i % 2 ? a.c_str() : b.c_str());
                if (!dlg->CloseStoringNote(FALSE))
                    ::_exit(3);
            }
        }
        ::usleep(useconds_t(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << WEXITSTATUS(status);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_folder.custom().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), "ok");
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    const auto rows = rowsOf(kWithNote);
    EXPECT_EQ(rows.first, 1);
    EXPECT_TRUE(rows.second == a || rows.second == b) << rows.second;
}
