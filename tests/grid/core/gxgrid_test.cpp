#include "grid/core/gxgrid.h"

#include <gtest/gtest.h>

#include "grid/core/gxlibdata.h"
#include "grid/core/gxstate.h"
#include "platform/base/exceptions.h"

namespace {

// Each test runs in its own process, so the library is initialised only where a test asks.
void InitLibrary() { InitGridLibrary(nullptr); }

TEST(GXGridCore, InitializeBeforeTheLibraryThrows)
{
    CGXGridCore grid;
    EXPECT_THROW(grid.Initialize(), CNotSupportedException);
}

TEST(GXGridCore, InitializeAttachesParamPropertiesStylesAndData)
{
    InitLibrary();
    CGXGridCore grid;
    grid.Initialize();
    ASSERT_NE(grid.GetParam(), nullptr);
    EXPECT_TRUE(grid.IsParamOwned());
    EXPECT_NE(grid.GetProperties(), nullptr);
    EXPECT_NE(grid.GetStylesMap(), nullptr);
    EXPECT_NE(grid.GetData(), nullptr);
    EXPECT_TRUE(grid.IsInitialized());
    EXPECT_NE(grid.LookupStandardStyle(), nullptr);
    EXPECT_EQ(grid.GetTopRow(), 1u);
    EXPECT_EQ(GXGetLibraryState().LookupGridOfData(grid.GetParam()), &grid);
}

// Ownership: the grid deletes only what it owns; the leak checker of the sanitizer build and the
// survival of the shared object tell.
TEST(GXGridCore, AttachParamOwnSharedNullAndAgain)
{
    InitLibrary();
    struct Case {
        const char* name;
        bool shared;     // attach an object the test keeps
        BOOL bOwn;
        bool again;      // attach the object held a second time with the other flag
    };
    const Case cases[] = {
        {.name = "own", .shared = false, .bOwn = TRUE, .again = false},
        {.name = "shared", .shared = true, .bOwn = FALSE, .again = false},
        {.name = "null owned", .shared = false, .bOwn = TRUE, .again = false},
        {.name = "null not owned", .shared = false, .bOwn = FALSE, .again = false},
        {.name = "again: owned becomes shared", .shared = true, .bOwn = TRUE, .again = true},
        {.name = "again: shared becomes owned", .shared = false, .bOwn = FALSE, .again = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGXGridParam* pKept = c.shared ? new CGXGridParam : nullptr;
        CGXGridParam* pNotOwned = nullptr;
        {
            CGXGridCore grid;
            CGXGridParam* p = std::string(c.name).rfind("null", 0) == 0 ? nullptr : (pKept ? pKept : new CGXGridParam);
            grid.AttachParam(p, c.bOwn);
            ASSERT_NE(grid.GetParam(), nullptr);
            EXPECT_EQ(grid.IsParamOwned(), c.bOwn);
            if (c.again) {
                CGXGridParam* pHeld = grid.GetParam();
                grid.AttachParam(pHeld, !c.bOwn);
                EXPECT_EQ(grid.GetParam(), pHeld) << "re-attaching keeps the object";
                EXPECT_EQ(grid.IsParamOwned(), !c.bOwn);
            }
            grid.Initialize();
            if (!grid.IsParamOwned() && grid.GetParam() != pKept)
                pNotOwned = grid.GetParam();
        }
        delete pKept;  // never owned by the grid at its end
        delete pNotOwned;
    }
}

TEST(GXGridCore, AttachingAnotherParamDropsTheOldCachesAndMapEntry)
{
    InitLibrary();
    CGXGridCore grid;
    grid.Initialize();
    CGXGridParam* pOld = grid.GetParam();
    grid.GetCellStyleCached(1, 1);
    EXPECT_GT(grid.GetCachedStyleCount(), 0u);
    auto* pNew = new CGXGridParam;
    grid.AttachParam(pNew, TRUE);
    EXPECT_EQ(grid.GetCachedStyleCount(), 0u);
    EXPECT_EQ(GXGetLibraryState().LookupGridOfData(pOld), nullptr) << "the old object is gone";
    EXPECT_EQ(grid.GetParam(), pNew);
}

TEST(GXGridCore, DrawingAreaOverrideAndInvertedRectangle)
{
    CGXGridCore grid;
    const CRect r(10, 10, 110, 60);
    grid.SetDrawingAreaOverride(&r);
    EXPECT_EQ(grid.GetDrawingArea(), r);
    const CRect inverted(50, 50, 10, 10);
    grid.SetDrawingAreaOverride(&inverted);
    EXPECT_TRUE(grid.GetDrawingArea().IsRectEmpty());
}

}  // namespace

namespace {

// The names a styles map registers come from the library's own table, which its initialisation
// registers: a program has them, not only a test.
TEST(GXGridLibrary, InitialisationRegistersTheLibraryTexts)
{
    CString s;
    EXPECT_FALSE(s.LoadString(52768)) << "nothing registers the texts before the initialisation";
    InitGridLibrary(nullptr);
    struct Case {
        UINT id;
        const char* text;
    };
    const Case cases[] = {
        {52768, "Standard"}, {52779, "Deleted Rows Appearance"}, {52512, "Edit Control"}, {51019, "Checkbox: Checked Value"},
        {51005, "Current Cell."}, {20059, "No Border."}, {20133, "Binary"}, {20141, "Generating undo information ..."},
        {20082, "Operation is too large for the undo buffer. Do you want to continue?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_TRUE(s.LoadString(c.id));
        EXPECT_STREQ(s, c.text);
    }
    CGXStylesMap map;
    map.CreateStandardStyles();
    EXPECT_EQ(map.LookupStyleIdByName("Standard"), map.m_wStyleStandard);
    EXPECT_NO_THROW(map.RegisterControl(52512));
    EXPECT_NO_THROW(map.AddUserAttribute(51019));
    EXPECT_STREQ(GXGetLibraryState().m_astrTexts[gxTextGenUndo], "Generating undo information ...");
}

}  // namespace
