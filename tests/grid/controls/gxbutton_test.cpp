// Cell buttons: the click cycle, Space, the arrows' repeat and their faces.

#include "grid/controls/gxbutton.h"

#include <vector>

#include "gxcellctlfixture.h"
#include "platform/gdi/recording.h"
#include "platform/sys/system.h"

namespace {

// An owner that counts the clicks of its children (and when they came).
class ClickCounter : public CGXControl {
public:
    using CGXControl::CGXControl;
    void OnChildButtonClicked(CGXChild*) override { m_times.push_back(GetTickCount()); }
    std::vector<DWORD> m_times;
};

class ButtonTest : public CellCtlFixture {
protected:
    void TearDown() override
    {
        PvClearTestClock();
        CellCtlFixture::TearDown();
    }
};

TEST_F(ButtonTest, ClicksOnlyWhenReleasedOverTheButton)
{
    ClickCounter owner(m_grid.get());
    auto* pButton = new CGXButton(&owner);
    owner.AddChildObject(pButton);
    pButton->SetRect(CRect(10, 10, 50, 30));
    const CPoint in(20, 20), out(80, 20);

    pButton->OnLButtonDown(0, in);
    pButton->OnMouseMove(0, out);
    EXPECT_FALSE(pButton->IsPressed());
    pButton->OnLButtonUp(0, out);
    EXPECT_TRUE(owner.m_times.empty()) << "released off the button";

    pButton->OnLButtonDown(0, in);
    pButton->OnMouseMove(0, out);
    pButton->OnMouseMove(0, in);
    pButton->OnLButtonUp(0, in);
    EXPECT_EQ(owner.m_times.size(), 1u) << "moved back before the release";
    EXPECT_FALSE(pButton->IsPressed());
}

TEST_F(ButtonTest, SpaceDownAndUpOnTheCapturedButtonClicksOnce)
{
    ClickCounter owner(m_grid.get());
    auto* pButton = new CGXButton(&owner);
    owner.AddChildObject(pButton);
    owner.SetCapturedChild(pButton);
    EXPECT_TRUE(owner.HandleKeyMessage(WM_KEYDOWN, VK_SPACE, 1, 0));
    EXPECT_TRUE(pButton->IsPressed());
    EXPECT_TRUE(owner.HandleKeyMessage(WM_KEYUP, VK_SPACE, 1, 0));
    EXPECT_EQ(owner.m_times.size(), 1u);
    EXPECT_FALSE(owner.HandleKeyMessage(WM_KEYUP, VK_SPACE, 1, 0)) << "no second click without a press";
    EXPECT_FALSE(owner.HandleKeyMessage(WM_KEYDOWN, VK_RETURN, 1, 0));
    EXPECT_EQ(owner.m_times.size(), 1u);
}

TEST_F(ButtonTest, AHeldArrowRepeatsFasterOnlyWhileMovesArrive)
{
    ClickCounter owner(m_grid.get());
    auto* pArrow = new CGXUpArrowButton(&owner);
    owner.AddChildObject(pArrow);
    pArrow->SetRect(CRect(0, 0, 14, 8));
    const CPoint in(5, 4);
    const DWORD t0 = 100000;
    PvSetTestClock(t0);
    pArrow->OnLButtonDown(0, in);
    for (DWORD t = 1; t <= 9000; ++t) {
        PvSetTestClock(t0 + t);
        pArrow->OnMouseMove(0, in);
    }
    ASSERT_GE(owner.m_times.size(), 6u);
    const std::vector<DWORD> first = {0, 500, 650, 795, 935};
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(owner.m_times[i] - t0, first[i]) << "click " << i;
    // 5 ms sooner each time, then steady at 50.
    DWORD expected = 145;
    for (size_t i = 3; i < owner.m_times.size(); ++i) {
        EXPECT_EQ(owner.m_times[i] - owner.m_times[i - 1], expected) << "click " << i;
        if (expected > 50)
            expected -= 5;
    }
    EXPECT_EQ(owner.m_times.back() - owner.m_times[owner.m_times.size() - 2], 50u);

    // Released: moves click no more, and the release itself did not click.
    const size_t n = owner.m_times.size();
    pArrow->OnLButtonUp(0, in);
    PvSetTestClock(t0 + 20000);
    pArrow->OnMouseMove(0, in);
    EXPECT_EQ(owner.m_times.size(), n);
}

TEST_F(ButtonTest, ArrowFacesDrawRowsTheHeightAllows)
{
    ClickCounter owner(m_grid.get());
    struct Case {
        int nHeight;
        int nRows;
    };
    const Case cases[] = {{8, 4}, {6, 3}, {4, 0}};
    for (BOOL bUp : {TRUE, FALSE}) {
        for (const Case& c : cases) {
            std::unique_ptr<CGXArrowButton> pArrow;
            if (bUp)
                pArrow = std::make_unique<CGXUpArrowButton>(&owner);
            else
                pArrow = std::make_unique<CGXDownArrowButton>(&owner);
            pArrow->SetRect(CRect(0, 0, 14, c.nHeight));
            CRecordingDC dc;
            pArrow->DrawFace(&dc, TRUE);
            int nRows = 0;
            std::vector<int> widths;
            for (const PvGdiRecord& r : dc.Find("FillSolidRect"))
                if (r.color == RGB(0, 0, 0) && r.rect.Height() == 1) {
                    ++nRows;
                    widths.push_back(r.rect.Width());
                }
            EXPECT_EQ(nRows, c.nRows) << "height " << c.nHeight << (bUp ? " up" : " down") << "\n" << dc.Dump();
            if (nRows > 1) {
                EXPECT_EQ(widths.front() < widths.back(), bool(bUp)) << "the narrow row leads in an up arrow";
            }
            dc.ClearRecords();
            pArrow->DrawFace(&dc, FALSE);
            EXPECT_EQ(dc.Records().size(), 0u) << "only the cell with the focus shows arrows";
        }
    }
}

}  // namespace
