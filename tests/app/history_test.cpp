#include "app/History.h"

#include <gtest/gtest.h>

namespace {

struct HistoryFixture : ::testing::Test {
    void SetUp() override { HistoryInit(); }
    void TearDown() override { HistoryFree(); }
};

enum class Op { Push, Back, Forward };
struct Step {
    Op op;
    long key;          // pushed key, or the key Back/Forward must return
    int current, top;  // indexes after the step
    bool canBack, canForward;
};

} // namespace

TEST_F(HistoryFixture, StartsWithBothDirectionsDisabled)
{
    EXPECT_EQ(HistoryCurrentIndex(), 0);
    EXPECT_EQ(HistoryTopIndex(), 0);
    EXPECT_FALSE(HistoryCanGoBack());
    EXPECT_FALSE(HistoryCanGoForward());
    EXPECT_EQ(HistorySize(), 50);
    ASSERT_NE(HistoryCurrent(), nullptr);
    EXPECT_EQ(HistoryCurrent()->m_lKey, 0);
}

TEST_F(HistoryFixture, PushBackForwardAndDiscardForwardPart)
{
    const Step steps[] = {
        {Op::Push, 7, 1, 1, false, false},
        {Op::Push, 9, 2, 2, true, false},
        {Op::Push, 12, 3, 3, true, false},
        {Op::Back, 9, 2, 3, true, true},
        {Op::Back, 7, 1, 3, false, true},
        {Op::Forward, 9, 2, 3, true, true},
        {Op::Push, 9, 2, 3, true, true},   // the same record twice in a row is pushed once
        {Op::Back, 7, 1, 3, false, true},
        {Op::Push, 15, 2, 2, true, false}, // 9 and 12 are gone
        {Op::Push, 15, 2, 2, true, false},
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(n++);
        if (s.op == Op::Push) {
            HistoryPushRecord(s.key);
        } else {
            CHistoryEntry* e = s.op == Op::Back ? HistoryBack() : HistoryForward();
            ASSERT_NE(e, nullptr);
            EXPECT_EQ(e->m_lKey, s.key);
        }
        EXPECT_EQ(HistoryCurrentIndex(), s.current);
        EXPECT_EQ(HistoryTopIndex(), s.top);
        EXPECT_EQ(bool(HistoryCanGoBack()), s.canBack);
        EXPECT_EQ(bool(HistoryCanGoForward()), s.canForward);
        EXPECT_EQ(HistoryCurrent()->m_lKey, s.op == Op::Push ? s.key : HistoryCurrent()->m_lKey);
    }
    // Slots above the top were cleared.
    HistoryForward();
    EXPECT_EQ(HistoryCurrent()->m_lKey, 0);
}

TEST_F(HistoryFixture, GrowsPastFiftyWithoutLosingEntries)
{
    for (long key = 1; key <= 60; ++key)
        HistoryPushRecord(key * 10);
    EXPECT_EQ(HistoryCurrentIndex(), 60);
    EXPECT_EQ(HistoryTopIndex(), 60);
    EXPECT_GE(HistorySize(), 61);
    for (long key = 59; key >= 1; --key)
        EXPECT_EQ(HistoryBack()->m_lKey, key * 10);
    EXPECT_FALSE(HistoryCanGoBack());
}

TEST(History, UninitialisedHistoryAnswersNothing)
{
    HistoryFree();
    EXPECT_EQ(HistoryBack(), nullptr);
    EXPECT_EQ(HistoryForward(), nullptr);
    HistoryPushRecord(5); // no entry to compare with: ignored
    EXPECT_EQ(HistoryCurrentIndex(), 0);
}
