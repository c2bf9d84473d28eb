// The grid parameter archive: byte forms built here from the record layouts, and the cases
// that once lost a file (fill kinds, far cell indexes, big size maps, fonts of a script).

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "../core/gxtesthelp.h"
#include "grid/core/gxdata.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstate.h"
#include "grid/core/gxstyle.h"

extern char** environ;

namespace {

void Install()
{
    GXRegisterLibraryStrings();
    GXInstallDocSerializeImp();
}

CGXStyleSerializeImp& StyleImp() { return *static_cast<CGXStyleSerializeImp*>(GXGetAppData()->m_pStyleSerializeImp); }

// ---- fill kinds: 1 solid, 0 hollow on disk ----

TEST(GXArchiveBrush, FillKindsMapBothWays)
{
    Install();
    struct Case {
        const char* name;
        DWORD storedKind;
        UINT brushStyle;
        DWORD pattern;
    };
    const Case cases[] = {
        {.name = "solid", .storedKind = 1, .brushStyle = GX_BS_SOLID, .pattern = 0},
        {.name = "hollow", .storedKind = 0, .brushStyle = GX_BS_HOLLOW, .pattern = 0},
        {.name = "hatch", .storedKind = 2, .brushStyle = GX_BS_HATCHED, .pattern = 0},
        {.name = "pattern", .storedKind = 3, .brushStyle = GX_BS_PATTERN, .pattern = 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes record = ByteBuilder().dword(c.storedKind).dword(0x00030201).dword(0).dword(c.pattern).dword(0x00FFFFFF).b;
        CGXPackedBrush b;
        LoadBytes(record, [&](CArchive& ar) { StyleImp().SerializeBrush(ar, b); });
        EXPECT_EQ(b.GetStyle(), c.brushStyle);
        EXPECT_EQ(b.GetColor() & 0xFFFFFF, 0x030201u);
        EXPECT_EQ(StoreBytes([&](CArchive& ar) { StyleImp().SerializeBrush(ar, b); }), record);
    }
    // A pattern number beyond the 41 patterns turns into a solid fill.
    CGXPackedBrush b;
    LoadBytes(ByteBuilder().dword(3).dword(0).dword(0).dword(50).dword(0).b,
              [&](CArchive& ar) { StyleImp().SerializeBrush(ar, b); });
    EXPECT_EQ(b.GetStyle(), GX_BS_SOLID);
}

// ---- cell data: any index the writer writes loads again; one slot budget per file ----

Bytes StoreData(CGXData& d) { return StoreBytes([&](CArchive& ar) { d.Serialize(ar); }); }

TEST(GXArchiveData, FarRowsAndMovedRowsRoundTrip)
{
    Install();
    CGXStyle s;
    s.SetValue("far");
    CGXData far;
    far.SetRowCount(4194305);
    far.SetColCount(3);
    ASSERT_TRUE(far.StoreStyleRowCol(4194305, 2, &s, gxOverride));
    CGXData back;
    LoadBytes(StoreData(far), [&](CArchive& ar) { back.Serialize(ar); });
    ASSERT_NE(back.LookupStyleRowCol(4194305, 2), nullptr);
    EXPECT_EQ(back.LookupStyleRowCol(4194305, 2)->GetValue(), "far");

    // A move may leave a style beyond the row count; the file still loads.
    CGXData moved;
    moved.SetRowCount(5);
    moved.SetColCount(3);
    moved.StoreStyleRowCol(2, 1, &s, gxOverride);
    moved.MoveRows(2, 2, 8);
    const Bytes bytes = StoreData(moved);
    CGXData back2;
    LoadBytes(bytes, [&](CArchive& ar) { back2.Serialize(ar); });
    EXPECT_EQ(StoreData(back2), bytes);
}

Bytes SixtyFarRows()
{
    ByteBuilder b;
    WriteRefSixtyFarRows(b);
    return b.b;
}

TEST(GXArchiveData, SlotBudgetRefusesBothWays)
{
    Install();
    const Bytes sixty = SixtyFarRows();
    EXPECT_LT(sixty.size(), 2100u);
    LoadBytes(sixty, [](CArchive& ar) {
        CGXData d;
        EXPECT_THROW(d.Serialize(ar), CArchiveException);
    });
    // The writer keeps to the same budget, so nothing it writes is refused on load.
    CGXStyle s;
    CGXData big;
    big.SetRowCount(4);
    big.SetColCount(4194305);
    for (ROWCOL r = 1; r <= 4; r++)
        big.StoreStyleRowCol(r, 4194305, &s, gxOverride);
    EXPECT_THROW(StoreData(big), CArchiveException);
}

// ---- size maps beyond a word's count ----

TEST(GXArchiveSizes, MapsOfAnySizeRoundTrip)
{
    Install();
    struct Case {
        DWORD entries;
        Bytes head;
    };
    const Case cases[] = {
        {.entries = 3, .head = {3, 0}},
        {.entries = 65534, .head = {0xFE, 0xFF}},
        {.entries = 65535, .head = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
        {.entries = 65536, .head = {0xFF, 0xFF, 0, 0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        CGXMapDWordToLong m(1021);
        for (DWORD i = 0; i < c.entries; i++)
            m[i] = LONG(i * 3);
        const Bytes bytes = StoreBytes([&](CArchive& ar) { m.Serialize(ar); });
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + c.head.size()), c.head);
        CGXMapDWordToLong back(1021);
        LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
        EXPECT_EQ(back.GetCount(), INT_PTR(c.entries));
        LONG v = 0;
        EXPECT_TRUE(back.Lookup(c.entries - 1, v));
        EXPECT_EQ(v, LONG((c.entries - 1) * 3));
    }
}

// ---- fonts of a script ----

// The font record with face "Arial" and the Greek character set, as another program writes it.
Bytes GreekArialRecord() { return ByteBuilder().word(2).dword(512).text("Arial").byte(161).byte(0).b; }

void CheckGreekArial(const Bytes& record)
{
    CGXFont f;
    LoadBytes(record, [&](CArchive& ar) { StyleImp().SerializeFont(f, ar); });
    CGXFontNameTable& table = CGXFontNameTable::Instance();
    EXPECT_EQ(table.GetCharSet(f.GetFaceNameIndex()), 161);
    EXPECT_EQ(table.GetPlainFaceName(f.GetFaceNameIndex()), "Arial");
    EXPECT_EQ(f.GetLogFontZoomed(100).lfCharSet, 161);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { StyleImp().SerializeFont(f, ar); }), GreekArialRecord());
}

TEST(GXArchiveFont, ScriptFacesWriteThePlainFaceAndReadEitherForm)
{
    Install();
    CheckGreekArial(GreekArialRecord());
    // Files saved before carry the table's name; they read the same.
    CheckGreekArial(ByteBuilder().word(2).dword(512).text("Arial (Greek)").byte(161).byte(0).b);
}

// Runs in a fresh process, where no "Arial (Greek)" has been entered yet.
TEST(GXArchiveFontChild, GreekArialInAFreshProcess)
{
    if (!std::getenv("PV_FONT_CHILD"))
        GTEST_SKIP() << "run by ScriptFacesReadInAFreshProcess";
    Install();
    CheckGreekArial(GreekArialRecord());
}

TEST(GXArchiveFont, ScriptFacesReadInAFreshProcess)
{
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
    std::string filter = "--gtest_filter=GXArchiveFontChild.GreekArialInAFreshProcess";
    char* argv[] = {self, filter.data(), nullptr};
    std::vector<std::string> env {"PV_FONT_CHILD=1"};
    for (char** e = environ; *e; e++)
        env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, self, nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
