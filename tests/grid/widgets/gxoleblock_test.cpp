// Stored object bytes: the exact layout written, and blocks that must be refused.

#include "grid/widgets/gxoleblock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes sketch()
{
    Bytes v;
    EXPECT_TRUE(GXEncodeObjectBlock({"Sketch Drawing", "Sketch.Drawing.1", {7, 8, 9}}, v));
    return v;
}

TEST(ObjectBlock, WritesTheHeaderNamesDataAndTrailer)
{
    Bytes want = {0x15, 0x1C, 20, 0, 2, 0, 0, 0, 15, 0, 17, 0, 20, 0, 35, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    for (char c : std::string("Sketch Drawing")) want.push_back(uint8_t(c));
    want.push_back(0);
    for (char c : std::string("Sketch.Drawing.1")) want.push_back(uint8_t(c));
    want.insert(want.end(), {0, 7, 8, 9, 0, 0, 0, 0});
    Bytes got = sketch();
    EXPECT_EQ(got, want);

    GXObjectBlock b;
    ASSERT_TRUE(GXDecodeObjectBlock(got.data(), got.size(), b));
    EXPECT_EQ(b.typeName, "Sketch Drawing");
    EXPECT_EQ(b.progId, "Sketch.Drawing.1");
    EXPECT_EQ(b.data, (Bytes{7, 8, 9}));
}

TEST(ObjectBlock, RefusesWhatDoesNotHold)
{
    struct Case {
        const char* what;
        void (*damage)(Bytes&);
        bool ok;
    };
    const Case cases[] = {
        {.what = "intact", .damage = [](Bytes&) {}, .ok = true},
        {.what = "23 bytes", .damage = [](Bytes& v) { v.resize(23); }, .ok = false},
        {.what = "signature", .damage = [](Bytes& v) { v[0] = 0x16; }, .ok = false},
        {.what = "header size 19", .damage = [](Bytes& v) { v[2] = 19; }, .ok = false},
        {.what = "name past end", .damage = [](Bytes& v) { v[12] = 0xF0; v[13] = 0xFF; }, .ok = false},
        {.what = "class past end", .damage = [](Bytes& v) { v[14] = 0xF0; }, .ok = false},
        {.what = "name unterminated", .damage = [](Bytes& v) { v[8] = 14; }, .ok = false},
        {.what = "class unterminated", .damage = [](Bytes& v) { v[10] = 16; }, .ok = false},
        {.what = "class end past size-4", .damage = [](Bytes& v) { v[10] = 21; }, .ok = false},
        {.what = "name offset inside header", .damage = [](Bytes& v) { v[12] = 4; }, .ok = false},
        {.what = "empty data", .damage = [](Bytes& v) { v.erase(v.begin() + 52, v.begin() + 55); }, .ok = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes v = sketch();
        c.damage(v);
        GXObjectBlock b;
        EXPECT_EQ(GXDecodeObjectBlock(v.data(), v.size(), b), c.ok);
    }
}

TEST(ObjectBlock, ProgIdMustBeWellFormed)
{
    struct Case {
        std::string progId;
        bool ok;
    };
    const Case cases[] = {
        {.progId = "1abc", .ok = false},
        {.progId = "a b", .ok = false},
        {.progId = std::string(40, 'a'), .ok = false},
        {.progId = std::string(39, 'a'), .ok = true},
        {.progId = "", .ok = false},
        {.progId = "Paint.Picture", .ok = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.progId);
        Bytes v;
        ASSERT_TRUE(GXEncodeObjectBlock({"X", c.progId, {}}, v));
        GXObjectBlock b;
        EXPECT_EQ(GXDecodeObjectBlock(v.data(), v.size(), b), c.ok);
    }
}

TEST(ObjectBlock, NamesNotInUtf8AreReadAsWindows1252)
{
    Bytes v;
    ASSERT_TRUE(GXEncodeObjectBlock({"Caf\xE9 \x80", "Cafe.Doc", {}}, v));
    GXObjectBlock b;
    ASSERT_TRUE(GXDecodeObjectBlock(v.data(), v.size(), b));
    EXPECT_EQ(b.typeName, "Caf\xC3\xA9 \xE2\x82\xAC");
}

}  // namespace
