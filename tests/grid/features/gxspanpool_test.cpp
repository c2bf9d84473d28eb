// The stores of floating and merged cells, and their archive inside the parameter object.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstyle.h"
#include "grid/features/gxspanpool.h"
#include "tests/grid/core/gxtesthelp.h"

namespace {

CGXCellRange SpanOf(const CGXSpanCellPool& pool, ROWCOL r, ROWCOL c)
{
    CGXCellRange s;
    return pool.FindSpan(r, c, s) ? s : CGXCellRange();
}

TEST(GXSpanCellPool, SetFindRemoveAndStructureChanges)
{
    CGXSpanCellPool pool;
    ASSERT_TRUE(pool.SetSpan(2, 2, 3, 4));
    struct Step {
        const char* name;
        void (*change)(CGXSpanCellPool&);
        ROWCOL r, c;
        CGXCellRange expected;
    } const steps[] = {
        {"found from an inner cell", [](CGXSpanCellPool&) {}, 3, 3, CGXCellRange(2, 2, 3, 4)},
        {"nothing outside", [](CGXSpanCellPool&) {}, 1, 1, CGXCellRange()},
        {"negative numbers find nothing", [](CGXSpanCellPool&) {}, ROWCOL(-1), 3, CGXCellRange()},
        {"two rows inserted above", [](CGXSpanCellPool& p) { p.InsertRows(1, 2); }, 4, 2, CGXCellRange(4, 2, 5, 4)},
        {"a column inserted inside", [](CGXSpanCellPool& p) { p.InsertCols(3, 1); }, 4, 2, CGXCellRange(4, 2, 5, 2)},
        {"rows removed from its top", [](CGXSpanCellPool& p) { p.RemoveRows(3, 4); }, 3, 2, CGXCellRange(3, 2, 3, 2)},
        {"a smaller span in its place", [](CGXSpanCellPool& p) { p.SetSpan(7, 1, 7, 6); p.SetSpan(7, 1, 7, 2); }, 7, 5,
         CGXCellRange()},
        {"removed at an inner cell", [](CGXSpanCellPool& p) { p.RemoveSpan(7, 2); }, 7, 1, CGXCellRange()},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change(pool);
        EXPECT_EQ(SpanOf(pool, s.r, s.c), s.expected);
    }
    EXPECT_FALSE(pool.SetSpan(1, 1, GX_MAX_SPAN_INDEX, 1)) << "beyond what a pool holds";
}

TEST(GXDelayedRangePool, QueuedRangesMergeAndFollowRemovals)
{
    CGXDelayedRangePool pool;
    pool.AddRange(CGXCellRange(5, 1, 6, 4));
    pool.AddRange(CGXCellRange(7, 1, 9, 4));  // continues it downwards: widened
    ASSERT_EQ(pool.GetRanges().size(), 1u);
    EXPECT_EQ(pool.GetRanges()[0]->m_range, CGXCellRange(5, 1, 9, 4));
    pool.AddRange(CGXCellRange(1, 1, 20, 8));  // covers it: reset to the new range
    ASSERT_EQ(pool.GetRanges().size(), 1u);
    EXPECT_EQ(pool.GetRanges()[0]->m_range, CGXCellRange(1, 1, 20, 8));
    pool.GetRanges()[0]->m_bDone = TRUE;
    pool.AddRange(CGXCellRange(30, 2, 30, 2));  // the done entry is reused
    ASSERT_EQ(pool.GetRanges().size(), 1u);
    EXPECT_EQ(pool.GetRanges()[0]->m_range, CGXCellRange(30, 2, 30, 2));
    EXPECT_FALSE(pool.GetRanges()[0]->m_bDone);
    pool.AddRange(CGXCellRange(40, 40, 41, 41));
    pool.LimitRows(35);
    EXPECT_EQ(pool.GetRanges()[1]->m_range, CGXCellRange(35, 40, 35, 41));
}

class PoolArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { InitGridLibraryWithFactory(); }

    // A parameter object in float and merge mode 1 with live spans and queues.
    static void Fill(CGXGridParam& p)
    {
        p.m_wFloatCellsMode = 1;
        p.m_wMergeCellsMode = 1;
        auto* fq = new CGXDelayedRangePool;
        fq->AddRange(CGXCellRange(3, 1, 3, 5));
        auto* fs = new CGXSpanCellPool;
        fs->SetSpan(4, 2, 4, 6);
        auto* mq = new CGXDelayedRangePool;
        mq->AddRange(CGXCellRange(1, 1, 9, 9));
        auto* m1 = new CGXSpanCellPool;
        m1->SetSpan(2, 3, 5, 3);
        auto* m2 = new CGXSpanCellPool;
        m2->SetSpan(6, 1, 6, 2);
        p.SetFeatureObject(CGXGridParam::nFloatDelayed, fq);
        p.SetFeatureObject(CGXGridParam::nFloatSpans, fs);
        p.SetFeatureObject(CGXGridParam::nMergeDelayed, mq);
        p.SetFeatureObject(CGXGridParam::nMergeSpans1, m1);
        p.SetFeatureObject(CGXGridParam::nMergeSpans2, m2);
    }
    static Bytes Store(CGXGridParam& p)
    {
        return StoreBytes([&](CArchive& ar) { ar.WriteObject(&p); });
    }
    static CGXGridParam* Load(const Bytes& bytes)
    {
        CGXGridParam* p = nullptr;
        LoadBytes(bytes, [&](CArchive& ar) { p = static_cast<CGXGridParam*>(ar.ReadObject(RUNTIME_CLASS(CGXGridParam))); });
        return p;
    }
    // The record rewritten as an older version: the version word after the class header, and
    // the six bytes of the items from version 8 on dropped.
    static Bytes AsVersion(Bytes bytes, WORD version)
    {
        const size_t at = 2 + 2 + 2 + std::strlen("CGXGridParam");
        bytes[at] = BYTE(version);
        bytes[at + 1] = 0;
        bytes.resize(bytes.size() - 6);
        return bytes;
    }
};

TEST_F(PoolArchiveTest, LiveSpansRoundTripByteForByte)
{
    CGXGridParam param;
    Fill(param);
    const Bytes first = Store(param);
    std::unique_ptr<CGXGridParam> back(Load(first));
    ASSERT_TRUE(back);
    EXPECT_EQ(Store(*back), first);
    auto* spans = dynamic_cast<CGXSpanCellPool*>(back->GetFeatureObject(CGXGridParam::nMergeSpans1));
    ASSERT_NE(spans, nullptr);
    EXPECT_EQ(SpanOf(*spans, 4, 3), CGXCellRange(2, 3, 5, 3));
}

TEST_F(PoolArchiveTest, AVersionSixRecordQueuesEverythingAndSevenKeepsSpans)
{
    CGXGridParam param;
    Fill(param);
    const Bytes bytes = Store(param);
    std::unique_ptr<CGXGridParam> six(Load(AsVersion(bytes, 6)));
    ASSERT_TRUE(six);
    for (int slot : {CGXGridParam::nFloatDelayed, CGXGridParam::nMergeDelayed}) {
        auto* q = dynamic_cast<CGXDelayedRangePool*>(six->GetFeatureObject(slot));
        ASSERT_NE(q, nullptr);
        ASSERT_EQ(q->GetRanges().size(), 1u);
        EXPECT_EQ(q->GetRanges()[0]->m_range, CGXCellRange(0, 0, 0xFFFFFFFE, 0xFFFFFFFE));
    }
    for (int slot : {CGXGridParam::nFloatSpans, CGXGridParam::nMergeSpans1, CGXGridParam::nMergeSpans2})
        EXPECT_EQ(dynamic_cast<CGXSpanCellPool*>(six->GetFeatureObject(slot))->GetRowSlots(), 0u) << slot;

    std::unique_ptr<CGXGridParam> seven(Load(AsVersion(bytes, 7)));
    ASSERT_TRUE(seven);
    auto* spans = dynamic_cast<CGXSpanCellPool*>(seven->GetFeatureObject(CGXGridParam::nFloatSpans));
    EXPECT_EQ(SpanOf(*spans, 4, 4), CGXCellRange(4, 2, 4, 6));
}

TEST_F(PoolArchiveTest, ASlotOfAnotherClassAndAnOverclaimingPoolAreRefused)
{
    CGXGridParam param;
    param.SetFeatureObject(CGXGridParam::nFloatDelayed, new CGXStyle);
    const Bytes bytes = Store(param);
    EXPECT_THROW(Load(bytes), CArchiveException);

    // A span pool that claims far more slots than it holds reads what it holds; an index or an
    // array beyond what a pool holds refuses the record.
    struct Case {
        const char* name;
        DWORD nSlots, nIndex, nCount;
        bool ok;
    } const cases[] = {
        {"many slots claimed", 0xFFFFFFF0, 5, 2, true},
        {"an index far out", 0xFFFFFFF0, 0x00F00000, 2, false},
        {"an array far longer than the record", 10, 1, 0x3FFFFFFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ByteBuilder b;
        b.word(1).dword(c.nSlots).dword(c.nIndex).count(c.nCount);
        b.dword(5).dword(5).dword(0xFFFFFFFF);
        b.word(1).dword(0).dword(0xFFFFFFFF);
        CGXSpanCellPool pool;
        if (c.ok) {
            LoadBytes(b.b, [&](CArchive& ar) { pool.Serialize(ar); });
            EXPECT_EQ(pool.GetRowSlots(), 0u) << "the first table read is the column table";
        } else {
            EXPECT_THROW(LoadBytes(b.b, [&](CArchive& ar) { pool.Serialize(ar); }), CArchiveException);
        }
    }
}

}  // namespace

TEST(GXSpanCellPool, MovedRowsDropTheSpansTheyTear)
{
    CGXSpanCellPool pool;
    ASSERT_TRUE(pool.SetSpan(2, 2, 3, 4));   // reaches into the rows passed over
    ASSERT_TRUE(pool.SetSpan(9, 1, 9, 3));   // beyond them
    ASSERT_TRUE(pool.SetSpan(5, 5, 5, 6));   // inside them
    pool.MoveRows(3, 4, 7);
    EXPECT_EQ(SpanOf(pool, 2, 3), CGXCellRange());
    EXPECT_EQ(SpanOf(pool, 5, 6), CGXCellRange());
    EXPECT_EQ(SpanOf(pool, 9, 2), CGXCellRange(9, 1, 9, 3)) << "untouched";
    ASSERT_TRUE(pool.SetSpan(1, 1, 1, 3));
    pool.MoveCols(3, 3, 5);
    EXPECT_EQ(SpanOf(pool, 1, 1), CGXCellRange());
}

TEST(GXDelayedRangePool, ThePendingPartIsTakenOnce)
{
    constexpr DWORD kNo = CGXDelayedRange::kNone;
    CGXDelayedRangePool pool;
    pool.AddRange(CGXCellRange(1, 1, 100000, 6));
    std::vector<DWORD> firsts, lasts;
    ASSERT_TRUE(pool.TakePending(CGXCellRange(1, 1, 30, 6), firsts, lasts));
    ASSERT_EQ(firsts.size(), 30u);
    EXPECT_EQ(firsts[0], 1u);
    EXPECT_EQ(lasts[29], 6u);
    EXPECT_FALSE(pool.TakePending(CGXCellRange(1, 1, 30, 6), firsts, lasts)) << "evaluated already";
    EXPECT_LE(pool.GetRanges()[0]->m_firsts.size(), 30u) << "records grow to the rows used";

    // A wider request takes only what is still pending, per row.
    ASSERT_TRUE(pool.TakePending(CGXCellRange(30, 1, 31, 6), firsts, lasts));
    EXPECT_EQ(firsts[0], kNo);
    EXPECT_EQ(firsts[1], 1u);
    ASSERT_TRUE(pool.TakePending(CGXCellRange(40, 4, 40, 6), firsts, lasts));
    ASSERT_TRUE(pool.TakePending(CGXCellRange(40, 1, 40, 6), firsts, lasts));
    EXPECT_EQ(firsts[0], 1u);
    EXPECT_EQ(lasts[0], 3u);

    // A stored value inside a range already evaluated there is queued on its own.
    pool.AddRange(CGXCellRange(5, 3, 5, 3));
    ASSERT_TRUE(pool.TakePending(CGXCellRange(1, 1, 30, 6), firsts, lasts));
    EXPECT_EQ(firsts[4], 3u);
    EXPECT_EQ(lasts[4], 3u);
    EXPECT_EQ(firsts[3], kNo);
    EXPECT_TRUE(pool.GetRanges()[1]->m_bDone);

    // Removing rows clips the records with the range.
    pool.LimitRows(20);
    EXPECT_EQ(pool.GetRanges()[0]->m_range, CGXCellRange(1, 1, 20, 6));
    EXPECT_FALSE(pool.TakePending(CGXCellRange(1, 1, 20, 6), firsts, lasts));
}
