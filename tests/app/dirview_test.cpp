// The directory pane over a sample school: queries, the Blank fall-back, columns, bands, the
// status bar, the entry commands, the column menu and the layout file.

#include "app/MainFrm.h" // first: the controls' definitions before the framework's
#include "app/DaoqueryView.h"

#include "app/DirectoryQuery.h"
#include "app/FrameCommands.h"
#include "platform/base/textcase.h"
#include "app/PaneViews.h"
#include "app/Splash.h"
#include "app/ViewerDoc.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxcolor.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxparam.h"
#include "platform/ui/ui.h"
#include "resources/directory_ids.h"
#include "resources/frame_ids.h"
#include "tests/app/directory_fixture.h"
#include "tests/app/dirview_fixture.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleData.h"

#include <filesystem>
#include <fstream>

void PvRegisterAppResources();

namespace fs = std::filesystem;

namespace {

class DirectoryViewTest : public DirectoryViewFixture<60> {};

} // namespace

TEST_F(DirectoryViewTest, ShowAllDeciphersHidesRanksAndBands)
{
    MsgBoxLog boxes;
    ASSERT_NE(openFrame(), nullptr);
    EXPECT_TRUE(view->IsSettingsPending());
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_FALSE(view->IsSettingsPending());
    EXPECT_EQ(view->GetTotalRecords(), kPeople);
    EXPECT_STREQ(pane(2), "60 Total Records");
    EXPECT_STREQ(doc->m_strQuery, showAll());

    const int key = view->GetColumnIndex("_IKEY"), last = view->GetColumnIndex("Last Name");
    ASSERT_GT(key, 0);
    ASSERT_GT(last, 0);
    EXPECT_TRUE(view->IsColHidden(ROWCOL(key)));
    EXPECT_TRUE(view->IsColHidden(ROWCOL(view->GetColumnIndex("_ILast Name"))));
    EXPECT_FALSE(view->IsColHidden(ROWCOL(last)));
    // The current cell starts in Last Name, and pane 1 names it.
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(view->QueryCurrentCell(row, col));
    EXPECT_EQ(row, 1u);
    EXPECT_EQ(col, ROWCOL(last));
    EXPECT_STREQ(pane(1), "Current Column: Last Name");
    // Names shown as the school wrote them, in the default order.
    std::string previous;
    for (ROWCOL r = 1; r <= 5; ++r) {
        const long k = keyOfRow(r);
        const std::string name = view->CellValueText(r, ROWCOL(last)).str();
        EXPECT_EQ(name, plainOf(k, "Last Name"));
        EXPECT_LE(PvCompareNoCase(previous, name), 0);
        previous = name;
    }
    // Rows in bands of three; headers keep their own look.
    for (ROWCOL r = 1; r <= 9; ++r) {
        CGXStyle style;
        view->ComposeCellStyle(r, ROWCOL(last), style);
        const COLORREF band = (r >= 4 && r <= 6) ? GXSYSCOLOR(COLOR_SCROLLBAR) : RGB(255, 255, 255);
        EXPECT_EQ(style.GetInterior().GetColor(), CGXPackedBrush(GX_BS_SOLID, band).GetColor()) << r;
    }
    CGXStyle header;
    view->ComposeCellStyle(0, ROWCOL(last), header);
    EXPECT_NE(header.GetInterior().GetColor(), RGB(255, 255, 255));
    // Pane 1 is empty on a rank column.
    view->PlaceCurrentCell(1, ROWCOL(key));
    EXPECT_STREQ(pane(1), "");
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(DirectoryViewTest, FailedQueriesFallBackToBlank)
{
    MsgBoxLog boxes;
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    const CString kept = doc->m_strQuery;

    EXPECT_FALSE(view->RunQuery("SELECT * FROM Nowhere"));
    auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "No records were found that match your search.");
    EXPECT_EQ(entries[0].icon, "information");
    EXPECT_STREQ(pane(2), "No Records Found");
    EXPECT_TRUE(view->IsPlaceholderShown());
    const int placeholder = view->GetColumnIndex("No Records Found");
    ASSERT_GT(placeholder, 0);
    EXPECT_FALSE(view->IsColHidden(ROWCOL(placeholder)));
    EXPECT_STREQ(doc->m_strQuery, kept); // a failed statement is not the document's query

    // Without a Blank table the grid is empty over a closed recordset, with the same message.
    boxes.clear();
    doc->m_database.Execute("DROP TABLE [Blank]");
    EXPECT_FALSE(view->RunQuery("SELECT * FROM Nowhere"));
    entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "No records were found that match your search.");
    EXPECT_TRUE(!view->GetRecordset() || !view->GetRecordset()->IsOpen());
    EXPECT_EQ(view->ColCount(), 0u);
    EXPECT_STREQ(pane(2), "No Records Found");
    EXPECT_FALSE(view->PlaceCurrentCell(1, 1));
    view->Invalidate();
    view->UpdateWindow();
    doc->m_database.Execute("CREATE TABLE [Blank] ([No Records Found] TEXT(50))");
    // The next query works as before.
    EXPECT_TRUE(view->RunQuery(showAll()));
    EXPECT_STREQ(pane(2), "60 Total Records");

    // A result without records is no result: Blank, and the message.
    boxes.clear();
    EXPECT_FALSE(view->RunQuery("SELECT * FROM Data WHERE [_IKEY] < 0"));
    EXPECT_EQ(boxes.entries().size(), 1u);
    EXPECT_TRUE(view->IsPlaceholderShown());
}

TEST_F(DirectoryViewTest, OpenerFailureIsToldOnceAtTheNextDraw)
{
    MsgBoxLog boxes;
    ASSERT_NE(openFrame(), nullptr);
    frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
    doc->m_strQuery = "SELECT * FROM Nowhere";
    view->GetRecordset()->Close();
    EXPECT_TRUE(view->OpenQuery()); // the Blank table stands in
    EXPECT_STREQ(pane(2), "No Records Found");
    EXPECT_TRUE(boxes.entries().empty());
    for (int i = 0; i < 2; ++i) {
        view->Invalidate();
        view->UpdateWindow();
        Pump();
    }
    const auto entries = boxes.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "The directory contains no entries that match your criteria, please try again");
    EXPECT_EQ(entries[0].icon, "information");
}

TEST_F(DirectoryViewTest, ColumnMenuNamesAndCommands)
{
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    CMenu& menu = view->GetColumnMenu();
    EXPECT_EQ(menu.GetMenuItemCount(), 12u); // the text fields; no rank or key column
    UINT mail = 0;
    for (UINT i = 0; i < menu.GetMenuItemCount(); ++i) {
        CString text;
        menu.GetMenuString(i, text, MF_BYPOSITION);
        EXPECT_EQ(menu.GetMenuItemID(int(i)), ID_COLUMN_MENU_FIRST + i);
        EXPECT_FALSE(IsRankColumnName(text));
        if (text == "E-Mail")
            mail = menu.GetMenuItemID(int(i));
    }
    ASSERT_NE(mail, 0u);
    const ROWCOL col = ROWCOL(view->GetColumnIndex("E-Mail"));
    view->SendMessage(WM_COMMAND, mail);
    EXPECT_TRUE(view->IsColHidden(col));
    ASSERT_EQ(view->GetHiddenNames().GetSize(), 1);
    EXPECT_STREQ(view->GetHiddenNames()[0], "E-Mail");
    view->SendMessage(WM_COMMAND, mail);
    EXPECT_FALSE(view->IsColHidden(col));
    EXPECT_EQ(view->GetHiddenNames().GetSize(), 0);

    // Odd names: "&" doubled in the menu, a qualified key, a rank mark inside a name.
    doc->m_database.Execute("CREATE TABLE [Odd] ([A&B] TEXT(10), [DATA._IKEY] LONG, [x_iy] TEXT(5))");
    doc->m_database.Execute("INSERT INTO [Odd] VALUES ('a', 7, 'b')");
    ASSERT_TRUE(view->RunQuery("SELECT * FROM Odd"));
    ASSERT_EQ(menu.GetMenuItemCount(), 1u);
    CString text;
    menu.GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_STREQ(text, "A&&B");
    EXPECT_EQ(view->GetColumnIndex("A&&B"), 1);
    EXPECT_EQ(view->GetColumnIndex("_IKEY"), 2);
    EXPECT_TRUE(view->IsColHidden(3));
    EXPECT_EQ(view->GetCurrentRecordKey(), 7);

    // Sixty columns: items past 350 are listed but do nothing.
    CString create = "CREATE TABLE [Wide] ([C1] TEXT(10)", insert = "INSERT INTO [Wide] VALUES ('v'";
    for (int i = 2; i <= 60; ++i) {
        create.AppendFormat(", [C%d] TEXT(10)", i);
        insert += ", 'v'";
    }
    doc->m_database.Execute(create + ")");
    doc->m_database.Execute(insert + ")");
    ASSERT_TRUE(view->RunQuery("SELECT * FROM Wide"));
    ASSERT_EQ(menu.GetMenuItemCount(), 60u);
    EXPECT_EQ(menu.GetMenuItemID(59), ID_COLUMN_MENU_FIRST + 59);
    view->SendMessage(WM_COMMAND, ID_COLUMN_MENU_LAST + 1);
    EXPECT_FALSE(view->IsColHidden(52));
    view->SendMessage(WM_COMMAND, ID_COLUMN_MENU_LAST);
    EXPECT_TRUE(view->IsColHidden(51));
    doc->m_database.Execute("DROP TABLE [Odd]");
    doc->m_database.Execute("DROP TABLE [Wide]");
}

TEST_F(DirectoryViewTest, SelectionCurrentCellAndEntryCommands)
{
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_FALSE(view->CanSelectRange(CGXCellRange(1, 2, 2, 2)));   // two rows
    EXPECT_FALSE(view->CanSelectRange(CGXCellRange().SetRows(3, 4)));
    EXPECT_FALSE(view->CanSelectRange(CGXCellRange().SetCols(2, 3))); // two column headers
    EXPECT_FALSE(view->PlaceCurrentCell(0, 2));
    EXPECT_FALSE(view->PlaceCurrentCell(2, 0));
    EXPECT_FALSE(view->PlaceCurrentCell(2, 999));

    auto currentRow = [&] {
        ROWCOL r = 0, c = 0;
        view->QueryCurrentCell(r, c);
        return r;
    };
    struct Step {
        UINT id;
        ROWCOL row;
    };
    const Step steps[] = {{ID_RECORD_FIRST, 1}, {ID_RECORD_NEXT, 2}, {ID_RECORD_NEXT, 3},
                          {ID_RECORD_PREV, 2},  {ID_RECORD_LAST, 60}, {ID_RECORD_NEXT, 60}};
    for (const Step& s : steps) {
        view->SendMessage(WM_COMMAND, s.id);
        EXPECT_EQ(currentRow(), s.row) << s.id;
        EXPECT_EQ(frame->m_nCurrentKey, keyOfRow(s.row)) << s.id; // and its details were shown
    }
    // The arrow and page keys move the grid only while a details page is shown.
    view->SendMessage(WM_COMMAND, ID_RECORD_FIRST);
    frame->m_pMediaView->m_bDetailsPageShown = FALSE; // as after the pane navigates elsewhere
    view->SendMessage(WM_COMMAND, ID_KEY_DOWN);
    view->SendMessage(WM_COMMAND, ID_KEY_PAGEDOWN);
    EXPECT_EQ(currentRow(), 1u);
    frame->m_pMediaView->m_bDetailsPageShown = TRUE;
    view->SendMessage(WM_COMMAND, ID_KEY_DOWN);
    EXPECT_EQ(currentRow(), 2u);
    view->SendMessage(WM_COMMAND, ID_KEY_PAGEDOWN);
    EXPECT_EQ(currentRow(), 9u);
    view->SendMessage(WM_COMMAND, ID_KEY_END);
    EXPECT_EQ(currentRow(), 60u);
    view->SendMessage(WM_COMMAND, ID_KEY_HOME);
    EXPECT_EQ(currentRow(), 1u);
}

TEST_F(DirectoryViewTest, LayoutSurvivesANewView)
{
    MsgBoxLog boxes;
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    view->SendMessage(WM_COMMAND, ID_COLUMN_MENU_FIRST + 7); // the eighth text field: E-Mail
    ASSERT_TRUE(view->IsColHidden(ROWCOL(view->GetColumnIndex("E-Mail"))));
    closeFrame();
    ASSERT_TRUE(fs::exists(settingsPath()));

    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_TRUE(view->IsColHidden(ROWCOL(view->GetColumnIndex("E-Mail"))));
    EXPECT_FALSE(view->IsColHidden(ROWCOL(view->GetColumnIndex("Last Name"))));
    EXPECT_TRUE(view->IsColHidden(ROWCOL(view->GetColumnIndex("_IKEY"))));
    EXPECT_EQ(view->GetHiddenNames().GetSize(), 1);
    EXPECT_STREQ(pane(2), "60 Total Records");
    EXPECT_EQ(keyOfRow(1) > 0, true); // the records are this recordset's
    // The loaded layout keeps the directory read-only: no record edit opens on a cell.
    EXPECT_TRUE(view->IsReadOnly());
    EXPECT_FALSE(view->CanUpdate());
    closeFrame();

    // A layout written when hidden columns were kept one byte per column reads as it was meant.
    {
        std::unique_ptr<CGXGridParam> pOld(ReadGridParamFromFile(settingsPath().c_str()));
        ASSERT_NE(pOld, nullptr);
        CByteArray bytes;
        for (ROWCOL nCol = 0; nCol < ROWCOL(pOld->m_abHiddenCols.GetSize()) * 8; ++nCol)
            bytes.SetAtGrow(INT_PTR(nCol), BYTE(GXGetHiddenBit(pOld->m_abHiddenCols, nCol)));
        while (bytes.GetSize() > 0 && bytes[bytes.GetSize() - 1] == 0)
            bytes.SetSize(bytes.GetSize() - 1);
        ASSERT_GT(bytes.GetSize(), pOld->m_abHiddenCols.GetSize());
        pOld->m_abHiddenCols.Copy(bytes);
        ASSERT_TRUE(WriteObjectToFile(pOld.get(), settingsPath().c_str()));
    }
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_TRUE(view->IsColHidden(ROWCOL(view->GetColumnIndex("E-Mail"))));
    EXPECT_FALSE(view->IsColHidden(ROWCOL(view->GetColumnIndex("Last Name"))));
    ASSERT_EQ(view->GetHiddenNames().GetSize(), 1);
    EXPECT_STREQ(view->GetHiddenNames()[0], "E-Mail");
    closeFrame();

    // A short file is no layout: the reload's, and no message.
    const auto size = fs::file_size(settingsPath());
    fs::resize_file(settingsPath(), size / 2);
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery(showAll()));
    EXPECT_FALSE(view->IsColHidden(ROWCOL(view->GetColumnIndex("E-Mail"))));
    EXPECT_TRUE(boxes.entries().empty());

    // A Blank result is never kept.
    fs::remove(settingsPath());
    EXPECT_FALSE(view->RunQuery("SELECT * FROM Nowhere"));
    frame->DestroyWindow(); // the view goes without the frame's closing requery
    frame = nullptr;
    EXPECT_FALSE(fs::exists(settingsPath()));
}

TEST_F(DirectoryViewTest, RequeryKeepsWidthsAcrossMoreColumns)
{
    ASSERT_NE(openFrame(), nullptr);
    ASSERT_TRUE(view->RunQuery("SELECT [_IKEY], [Last Name] FROM Data"));
    ASSERT_EQ(view->ColCount(), 2u);
    view->SetColWidths(2, 2, 77, nullptr, GX_NOREDRAW, gxRollback);
    ASSERT_TRUE(view->RequeryAllEntries(TRUE));
    ASSERT_GT(view->ColCount(), 20u);
    EXPECT_EQ(view->ColWidth(2), 77);                 // kept by position
    EXPECT_TRUE(view->IsColHidden(1));                // hidden stays hidden
    const int city = view->GetColumnIndex("City");    // beyond the saved widths: the reload's
    const int reloadWidth = view->ColWidth(ROWCOL(city));
    EXPECT_GT(reloadWidth, 0);
    ASSERT_TRUE(view->RunQuery(kDirectoryQuery));
    EXPECT_EQ(view->ColWidth(ROWCOL(city)), reloadWidth);
}
