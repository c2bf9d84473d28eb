// The frame's lists of modeless windows, with stand-in windows that behave as the notes windows
// and details pop-ups do: they leave their list and delete themselves when destroyed.

#include <gtest/gtest.h>

#include "app/WindowLists.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

namespace {

int g_live = 0;

class FakeModeless : public CWnd {
public:
    FakeModeless(CModelessWindowLists& lists, BOOL bNotes) : m_lists(lists), m_bNotes(bNotes) { ++g_live; }
    ~FakeModeless() override { --g_live; }
    void PostNcDestroy() override
    {
        m_lists.RemoveFromWindowList(this, m_bNotes);
        delete this;
    }
    static CWnd* Make(CModelessWindowLists& lists, BOOL bNotes, CWnd* pParent = nullptr)
    {
        auto* p = new FakeModeless(lists, bNotes);
        if (!p->CreateEx(0, nullptr, bNotes ? "Notes" : "Details", WS_POPUP | WS_VISIBLE | WS_CAPTION, 10, 10, 200,
                         150, pParent ? pParent->GetSafeHwnd() : nullptr, nullptr)) {
            delete p;
            return nullptr;
        }
        return p;
    }

private:
    CModelessWindowLists& m_lists;
    BOOL m_bNotes;
};

class ListsWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        g_live = 0;
    }
    void TearDown() override
    {
        lists.CloseAll();
        PvResetWindowSystem();
        EXPECT_EQ(g_live, 0);
    }
    CWnd* notes(long key, CWnd* pParent = nullptr)
    {
        return lists.OpenNotesWindow(key, frame, [&] { return FakeModeless::Make(lists, TRUE, pParent); });
    }
    CWnd* popup(long key)
    {
        return lists.OpenDetailsPopup(key, frame, [&] { return FakeModeless::Make(lists, FALSE); });
    }
    CModelessWindowLists lists;
    CRect frame { 0, 0, 800, 600 };
};

}  // namespace

TEST_F(ListsWindows, ReopeningAKeyBringsTheSameWindowUp)
{
    for (BOOL bNotes : { TRUE, FALSE }) {
        CWnd* first = bNotes ? notes(7) : popup(7);
        ASSERT_NE(first, nullptr);
        first->ShowWindow(SW_MINIMIZE);
        ASSERT_TRUE(first->IsIconic());
        int created = 0;
        auto make = [&] { ++created; return FakeModeless::Make(lists, bNotes); };
        CWnd* again = bNotes ? lists.OpenNotesWindow(7, frame, make) : lists.OpenDetailsPopup(7, frame, make);
        EXPECT_EQ(again, first);
        EXPECT_EQ(created, 0);
        EXPECT_FALSE(first->IsIconic());
        EXPECT_EQ(lists.GetList(bNotes).size(), 1u);
    }
    EXPECT_EQ(lists.m_nNotesCascade, 1);
    EXPECT_EQ(lists.m_nPopupCascade, 1);
}

TEST_F(ListsWindows, CascadePositionsWrapAndFailuresAddNothing)
{
    std::vector<int> notesSeen, popupSeen;
    for (long key = 1; key <= 8; ++key)
        lists.OpenNotesWindow(key, frame, [&] {
            notesSeen.push_back(lists.m_nNotesCascade);  // what the new dialog places itself from
            return FakeModeless::Make(lists, TRUE);
        });
    for (long key = 1; key <= 7; ++key)
        lists.OpenDetailsPopup(key, frame, [&] {
            popupSeen.push_back(lists.m_nPopupCascade);
            return FakeModeless::Make(lists, FALSE);
        });
    EXPECT_EQ(notesSeen, (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 0 }));
    EXPECT_EQ(popupSeen, (std::vector<int> { 0, 1, 2, 3, 4, 5, 0 }));
    EXPECT_EQ(lists.m_rcCascadeBase, frame);

    // A window that could not be created is not listed and does not move the cascade.
    EXPECT_EQ(lists.OpenNotesWindow(99, frame, [] { return nullptr; }), nullptr);
    EXPECT_EQ(lists.OpenDetailsPopup(99, frame, [] { return nullptr; }), nullptr);
    EXPECT_EQ(lists.GetList(TRUE).size(), 8u);
    EXPECT_EQ(lists.GetList(FALSE).size(), 7u);
    EXPECT_EQ(lists.m_nNotesCascade, 1);
    EXPECT_EQ(lists.m_nPopupCascade, 1);

    // Closing windows does not move the positions back.
    lists.CloseAll();
    EXPECT_EQ(lists.m_nNotesCascade, 1);
    EXPECT_EQ(lists.m_nPopupCascade, 1);
}

TEST_F(ListsWindows, CloseAllAndSelfClosingInEitherOrder)
{
    CWnd* p1 = popup(1);
    CWnd* p2 = popup(2);
    notes(1, p1);  // a notes window opened from a pop-up
    CWnd* n2 = notes(2);
    CWnd* n3 = notes(3);
    ASSERT_TRUE(p1 && p2 && n2 && n3);
    EXPECT_EQ(g_live, 5);
    EXPECT_TRUE(lists.CanCloseAll() && lists.CanCascade() && lists.CanClosePopups());

    // Windows that close themselves first leave exactly their own entry.
    lists.SetLastActiveWindow(n2);
    n2->DestroyWindow();
    EXPECT_EQ(lists.GetList(TRUE).size(), 2u);
    EXPECT_EQ(lists.FindWindowOf(2, TRUE), nullptr);
    EXPECT_EQ(lists.FindWindowOf(3, TRUE), n3);
    EXPECT_EQ(lists.m_pLastActiveWindow, nullptr);
    p2->DestroyWindow();
    EXPECT_EQ(lists.FindWindowOf(1, FALSE), p1);
    EXPECT_EQ(g_live, 3);

    lists.RemoveFromWindowList(n3, FALSE);  // wrong list: nothing happens
    EXPECT_EQ(lists.FindWindowOf(3, TRUE), n3);

    lists.CloseAll();
    EXPECT_TRUE(lists.GetList(TRUE).empty());
    EXPECT_TRUE(lists.GetList(FALSE).empty());
    EXPECT_FALSE(lists.CanCloseAll() || lists.CanCascade() || lists.CanClosePopups());
    EXPECT_EQ(g_live, 0);
    lists.CloseAll();  // nothing left to free
}

TEST_F(ListsWindows, CloseNotesWindowOfOneRecord)
{
    notes(4);
    CWnd* n5 = notes(5);
    lists.CloseNotesWindowOf(4);
    lists.CloseNotesWindowOf(42);
    EXPECT_EQ(g_live, 1);
    ASSERT_EQ(lists.GetList(TRUE).size(), 1u);
    EXPECT_EQ(lists.GetList(TRUE).front()->m_pWnd, n5);
}

TEST_F(ListsWindows, FrameFocusMinimisesTheCurrentRecordsAndTheLastActiveWindows)
{
    CWnd* pCur = popup(10);
    CWnd* pOther = popup(11);
    CWnd* pLast = popup(12);
    CWnd* nCur = notes(10);
    CWnd* nOther = notes(13);

    EXPECT_FALSE(lists.OnFrameSetFocus());  // no details page shown yet: nothing happens
    EXPECT_FALSE(pCur->IsIconic());

    lists.SetCurrentRecord(10);
    lists.SetLastActiveWindow(pLast);
    EXPECT_TRUE(lists.OnFrameSetFocus());
    EXPECT_TRUE(pCur->IsIconic());
    EXPECT_TRUE(pLast->IsIconic());
    EXPECT_TRUE(nCur->IsIconic());
    EXPECT_FALSE(pOther->IsIconic());
    EXPECT_FALSE(nOther->IsIconic());

    // A notes window may spare the pop-ups once.
    lists.CascadeAll();
    for (CWnd* w : { pCur, pOther, pLast, nCur, nOther })
        EXPECT_FALSE(w->IsIconic());
    lists.m_bMinimizePopups = FALSE;
    EXPECT_TRUE(lists.OnFrameSetFocus());
    EXPECT_FALSE(pCur->IsIconic());
    EXPECT_TRUE(nCur->IsIconic());
    EXPECT_TRUE(lists.m_bMinimizePopups);
}
