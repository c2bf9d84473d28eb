// The one UTF-8 encoder: each length's boundaries, and what no UTF-8 text may hold.

#include <gtest/gtest.h>

#include "platform/base/utf8.h"

namespace {

TEST(Utf8, EncodesEachLengthAndRefusesWhatCannotBeHeld)
{
    struct Case {
        uint32_t cp;
        const char* bytes;  // nullptr: refused
    } cases[] = {
        {0x41, "A"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0xE9, "\xC3\xA9"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xD7FF, "\xED\x9F\xBF"},
        {0xD800, nullptr},
        {0xDFFF, nullptr},
        {0xE000, "\xEE\x80\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0x110000, nullptr},
        {0xFFFFFFFF, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cp);
        std::string s = "x";
        EXPECT_EQ(PvAppendUtf8(s, c.cp), c.bytes != nullptr);
        EXPECT_EQ(s, std::string("x") + (c.bytes ? c.bytes : ""));
    }
}

}  // namespace
