// Static text and buttons, driven by the mouse and keyboard.

#include "ctltest.h"

TEST_F(CtlTest, ButtonsClickAndCheck)
{
    HWND push = make(WC_BUTTON, "OK", BS_DEFPUSHBUTTON, 10, 10, 80, 24, 1);
    HWND check = make(WC_BUTTON, "Check", BS_AUTOCHECKBOX, 10, 40, 100, 20, 2);
    HWND tri = make(WC_BUTTON, "Three", BS_AUTO3STATE, 10, 70, 100, 20, 3);
    HWND r1 = make(WC_BUTTON, "One", BS_AUTORADIOBUTTON | WS_GROUP, 10, 100, 100, 20, 4);
    HWND r2 = make(WC_BUTTON, "Two", BS_AUTORADIOBUTTON, 10, 120, 100, 20, 5);
    HWND other = make(WC_BUTTON, "Other group", BS_AUTORADIOBUTTON | WS_GROUP, 10, 140, 100, 20, 6);
    SendMessage(other, BM_SETCHECK, BST_CHECKED, 0);

    click(push, 5, 5);
    EXPECT_TRUE(noted(1, BN_CLICKED));
    EXPECT_EQ(SendMessage(push, BM_GETCHECK, 0, 0), 0);

    click(check, 5, 5);
    EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    key(VK_SPACE);  // the check box has the focus now
    EXPECT_EQ(SendMessage(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    for (int expect : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
        click(tri, 5, 5);
        EXPECT_EQ(SendMessage(tri, BM_GETCHECK, 0, 0), expect);
    }

    click(r1, 5, 5);
    click(r2, 5, 5);
    EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(other, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group keeps its choice";

    // A press released outside the button is no click.
    notes.clear();
    POINT p {5, 5};
    ClientToScreen(push, &p);
    PvInputMouseMove(p.x, p.y);
    PvInputMouseButton(PV_BUTTON_LEFT, true);
    PvInputMouseMove(p.x + 300, p.y + 200);
    PvInputMouseButton(PV_BUTTON_LEFT, false);
    PvPumpMessages();
    EXPECT_FALSE(noted(1, BN_CLICKED));
}

TEST_F(CtlTest, StaticNotifiesOnlyWithNotifyStyle)
{
    HWND quiet = make(WC_STATIC, "Label", SS_LEFT, 10, 10, 100, 20, 7);
    HWND loud = make(WC_STATIC, "Link", SS_NOTIFY, 10, 40, 100, 20, 8);
    click(quiet, 5, 5);
    click(loud, 5, 5);
    EXPECT_FALSE(noted(7, STN_CLICKED));
    EXPECT_TRUE(noted(8, STN_CLICKED));
    SetWindowText(quiet, "Changed");
    EXPECT_EQ(text(quiet), "Changed");
}

TEST_F(CtlTest, GroupBoxLeavesItsControlsVisible)
{
    HWND group = make(WC_BUTTON, "Group", BS_GROUPBOX, 10, 10, 200, 100, 90);
    HWND inside = make(WC_BUTTON, "Inside", BS_AUTOCHECKBOX, 20, 30, 100, 20, 91);
    POINT p {30, 40};
    ClientToScreen(parent, &p);
    EXPECT_EQ(WindowFromPoint(p), inside);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), inside) << "the group box went to the bottom";
    EXPECT_EQ(GetWindow(inside, GW_HWNDNEXT), group);
}
