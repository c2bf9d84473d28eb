#include "platform/base/stringtable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const PvStringResource kTable[] = {
    {61000, "Standard"},
    {61001, "Caf\xC3\xA9"},  // "Café": the é is two bytes
    {61002, ""},
};
const PvStringResource kOverride[] = {
    {61000, "Standard style"},
};

} // namespace

TEST(StringTable, LookupThroughEveryEntry)
{
    PvRegisterStringTable(kTable);

    CString s("unchanged");
    EXPECT_FALSE(s.LoadString(61999));
    EXPECT_EQ(s, "unchanged");
    EXPECT_TRUE(s.LoadString(61000));
    EXPECT_EQ(s, "Standard");
    EXPECT_TRUE(AfxLoadStringResource(61002, s));
    EXPECT_EQ(s, "");

    struct Case {
        UINT id;
        int size;
        const char* want;
        int result;
    };
    const Case cases[] = {
        {61000, 64, "Standard", 8},
        {61000, 9, "Standard", 8},
        {61000, 8, "Standar", 7},
        {61000, 1, "", 0},
        {61001, 6, "Caf\xC3\xA9", 5},
        {61001, 5, "Caf", 3},  // never half a character
        {61999, 16, "", 0},
    };
    for (const Case& c : cases) {
        char buf[64];
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(LoadString(nullptr, c.id, buf, c.size), c.result) << c.id << "/" << c.size;
        EXPECT_STREQ(buf, c.want) << c.id << "/" << c.size;
    }
    EXPECT_EQ(LoadString(nullptr, 61000, nullptr, 10), 0);

    PvRegisterStringTable(kOverride);
    EXPECT_TRUE(s.LoadString(61000));
    EXPECT_EQ(s, "Standard style");
}
