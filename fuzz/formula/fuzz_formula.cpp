// Formula texts, reference texts and escaped texts from untrusted input: whatever parses
// must write back to a text that parses to the same nodes and writes identically.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "grid/formula/gxname.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"

namespace {

bool SameFormula(const GXFormula& a, const GXFormula& b)
{
    return a.nodes == b.nodes && a.root == b.root && a.constraint == b.constraint && a.deps == b.deps &&
           a.has_comment == b.has_comment && a.comment == b.comment;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool installed = [] {
        gx_set_function_table(gx_new_standard_function_table().release());
        return true;
    }();
    (void)installed;
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string cstr = text.substr(0, text.find('\0'));

    GXFormula f;
    bool parsed = gx_parse_formula(1, cstr.c_str(), &f);
    if (parsed) {
        std::string out;
        gx_formula_to_text(1, f, out);
        GXFormula again;
        if (!gx_parse_formula(1, out.c_str(), &again) || !SameFormula(f, again))
            std::abort();
        std::string out2;
        gx_formula_to_text(1, again, out2);
        if (out2 != out)
            std::abort();
    } else if (!f.nodes.empty() || f.root != -1 || gx_get_last_error_code() == 0) {
        std::abort();
    }

    // Evaluated in a small sheet beside numbers, a text, an error, itself and a name, then
    // recalculated across a row inserted and removed.
    if (parsed || cstr.find('n') != std::string::npos) {
        int h = gx_create_sheet();
        gx_set_recalc_method(h, 1);
        gx_set_iterations(h, 2);
        gx_set_number_cell(h, 1, 0, 3);
        gx_set_text_cell(h, 1, 1, "text");
        gx_set_formula_cell(h, 3, 0, "=1/0");
        gx_set_formula_cell(h, 3, 1, "=B2+1");
        GXRange name;
        gx_make_range(&name, 1, 0, 3, 1, 0);
        gx_define_name(h, "n", name);
        if (gx_set_formula_cell(h, 2, 1, cstr.c_str())) {
            gx_recalc_sheet(h);
            gx_insert_rows(h, 2, 1);
            gx_remove_rows(h, 1, 2);
            gx_recalc_sheet_forced(h);
        }
        gx_destroy_sheet(h);
    }

    GXRange r;
    if (gx_parse_range(text, &r)) {
        GXRange back;
        if (!gx_parse_range(gx_range_string(r), &back) || !(back == r))
            std::abort();
    }

    std::string decoded, escaped, again;
    gx_unescape_text(decoded, text);
    gx_escape_text(escaped, decoded, true);
    gx_unescape_text(again, escaped);
    if (again != decoded)
        std::abort();
    return 0;
}
