#include "grid/formula/gxformulasheet.h"

#include <cstdio>
#include <cstdlib>

#include "grid/formula/gxerror.h"
#include "grid/formula/gxparse.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"
#include "platform/base/textcase.h"

IMPLEMENT_SERIAL(CGXFormulaSheet, CGXData, 1)

namespace {
int EngineRow(ROWCOL r) { return r < 1 ? 1 : int(r); }
int EngineCol(ROWCOL c) { return c < 1 ? 0 : int(c - 1); }
bool InGrid(ROWCOL r, ROWCOL c) { return r >= 1 && c >= 1 && r <= ROWCOL(GX_MAX_ROW) && c <= ROWCOL(GX_MAX_COL) + 1; }

std::string Number(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14g", d);
    return buf;
}

bool ParseNumber(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    const char* p = text.c_str();
    char* end = nullptr;
    out = std::strtod(p, &end);
    return end && end != p && *end == '\0';
}
}  // namespace

CGXFormulaSheet::CGXFormulaSheet()
{
    m_nSheet = gx_create_sheet();
    if (GXSheet* s = gx_sheet(m_nSheet)) {
        s->owner = this;
        s->message_free = 1;
    }
    if (!gx_engine_state()->function_table)
        gx_set_function_table(gx_new_standard_function_table().release());
}

CGXFormulaSheet::~CGXFormulaSheet() { gx_destroy_sheet(m_nSheet); }

BOOL CGXFormulaSheet::SetTextRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text)
{
    if (!InGrid(nRow, nCol))
        return FALSE;
    return gx_set_plain_text_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol), text.c_str()) != 0;
}

BOOL CGXFormulaSheet::SetNumberRowCol(ROWCOL nRow, ROWCOL nCol, double number)
{
    if (!InGrid(nRow, nCol))
        return FALSE;
    return gx_set_number_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol), number) != 0;
}

BOOL CGXFormulaSheet::SetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text)
{
    if (!InGrid(nRow, nCol) || text.empty() || text[0] != '=')
        return FALSE;
    const int r = EngineRow(nRow), c = EngineCol(nCol);
    if (gx_set_formula_cell(m_nSheet, r, c, text.c_str()) == 1) {
        gx_recalc_sheet(m_nSheet);
        return TRUE;
    }
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s)
        return FALSE;
    char inner[512];
    std::snprintf(inner, sizeof inner, "ERROR: %s (Pos %d)", gx_error_text(gx_get_last_error_code()),
                  gx_get_error_position());
    s->message = std::string("Cell ") + gx_col_name(c) + std::to_string(r) + ": " + inner;
    s->message_free = 0;
    return FALSE;
}

BOOL CGXFormulaSheet::SetValueRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text)
{
    if (text.empty())
        return SetTextRowCol(nRow, nCol, text);
    double d = 0;
    if (ParseNumber(text, d))
        return SetNumberRowCol(nRow, nCol, d);
    if (PvCompareNoCase(text, "#N/A") == 0)
        return SetExpressionRowCol(nRow, nCol, "=NA()");
    if (text[0] == '\'')
        return SetTextRowCol(nRow, nCol, text.substr(1));
    if (text[0] == '=')
        return SetExpressionRowCol(nRow, nCol, text);
    return SetTextRowCol(nRow, nCol, text);
}

BOOL CGXFormulaSheet::GetValueRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out)
{
    out.clear();
    if (!InGrid(nRow, nCol))
        return FALSE;
    GXCell* cell = gx_find_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol));
    if (!cell)
        return FALSE;
    GXSheet* s = gx_sheet(m_nSheet);
    if (cell->formula && !(cell->flags & GX_CELL_VISITED))
        gx_recalc_cell(m_nSheet, cell);
    if ((cell->flags & GX_CELL_CYCLE) && s && s->iterations == 0) {
        out = "Cycle!";
        return TRUE;
    }
    switch (cell->Kind()) {
    case gxEmpty: break;
    case gxNotAvailable: out = "#N/A"; break;
    case gxError: out = "Error!"; break;
    case gxValNumber: out = Number(cell->value.number); break;
    case gxLongText:
    case gxShortText: out = cell->Text(); break;
    default: out = "Value?"; break;
    }
    return TRUE;
}

BOOL CGXFormulaSheet::GetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out)
{
    out.clear();
    if (!InGrid(nRow, nCol))
        return FALSE;
    GXCell* cell = gx_find_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol));
    if (!cell)
        return FALSE;
    if (cell->formula) {
        // Whole text: a cut formula would commit as another one.
        gx_formula_to_text(m_nSheet, *cell->formula, out);
        return TRUE;
    }
    switch (cell->Kind()) {
    case gxEmpty: break;
    case gxNotAvailable: out = "#N/A"; break;
    case gxError: out = "Error!"; break;
    case gxValNumber: out = Number(cell->value.number); break;
    case gxLongText:
    case gxShortText: out = "'" + cell->Text(); break;
    default: out = "Value?"; break;
    }
    return TRUE;
}

BOOL CGXFormulaSheet::Recalc(BOOL bForce)
{
    return (bForce ? gx_recalc_sheet_forced(m_nSheet) : gx_recalc_sheet(m_nSheet)) != 0;
}

void CGXFormulaSheet::ResetError()
{
    if (GXSheet* s = gx_sheet(m_nSheet))
        s->message_free = 1;
}

BOOL CGXFormulaSheet::GetLastError(std::string& out) const
{
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s || s->message_free)
        return FALSE;
    out = s->message;
    return TRUE;
}
