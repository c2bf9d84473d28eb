#pragma once
// A test's engine sheet with the NA and SUM table installed, and cells named by reference.

#include <gtest/gtest.h>

#include "grid/formula/gxengine.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxref.h"

class FormulaSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        gx_set_function_table(gx_new_standard_function_table().release());
        h = gx_create_sheet();
    }
    void TearDown() override
    {
        gx_destroy_sheet(h);
        gx_set_function_table(nullptr);
    }
    static GXRange Ref(const char* text)
    {
        GXRange r;
        EXPECT_TRUE(gx_parse_range(text, &r)) << text;
        return r;
    }
    GXCell* Cell(const char* ref)
    {
        GXRange r = Ref(ref);
        return gx_find_cell(h, r.Top(), r.Left());
    }
    void Set(const char* ref, const char* formula)
    {
        GXRange r = Ref(ref);
        ASSERT_EQ(gx_set_formula_cell(h, r.Top(), r.Left(), formula), 1)
            << formula << " " << gx_get_last_error_code() << "@" << gx_get_error_position();
    }
    int h = 0;
};
