#include "grid/formula/gxformulasheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "grid/core/gxarchive.h"
#include "grid/core/gxformat.h"
#include "grid/core/gxgrid.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxstate.h"
#include "grid/formula/gxerror.h"
#include "grid/formula/gxeval.h"
#include "grid/formula/gxname.h"
#include "grid/formula/gxrecalc.h"
#include "grid/formula/gxref.h"
#include "platform/base/exceptions.h"
#include "platform/base/textcase.h"
#include "platform/sys/ole.h"

IMPLEMENT_SERIAL(CGXFormulaSheet, CGXData, 1)
IMPLEMENT_DYNAMIC(CGXUndoEngineCellsInfo, CObject)

namespace {

// "Constraint Violation": the base style merged into a cell that violates its constraint.
constexpr UINT GX_IDS_STYLE_CONSTRAINT = 52780;
// Pure red.
constexpr COLORREF kConstraintColor = 255;
// The archive's schema of the sheet's own part.
constexpr WORD kSheetSchema = 1;
// The archive's cell list: each cell begins with 1, the list ends with 0.
constexpr BYTE kCellMark = 1, kEndMark = 0;
// Flag bits of a cell that the archive keeps (bits 15-22 as one byte).
constexpr int kArchivedFlagsShift = 15;
// The flag bits an image keeps: needs recalculation, value changed, cycle, constraint violated.
constexpr uint32_t kImageFlags = GX_CELL_NEEDS_RECALC | GX_CELL_CHANGED | GX_CELL_CYCLE | GX_CELL_CONSTRAINT;

bool InGrid(ROWCOL r, ROWCOL c)
{
    return r >= 1 && c >= 1 && r <= ROWCOL(GX_MAX_ROW) && c - 1 <= ROWCOL(GX_MAX_COL);
}
int EngineRow(ROWCOL r) { return r < 1 ? 1 : int(r); }
int EngineCol(ROWCOL c) { return c < 1 ? 0 : int(c - 1); }

std::string Number(double d)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14g", d);
    return buf;
}

// The grid's number parser when one is installed, else a whole decimal number.
bool ParseNumber(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    if (GXGetAppData()->m_pNumberFormattingImp)
        return GXParseNumber(text.c_str(), out) != FALSE;
    const char* p = text.c_str();
    char* end = nullptr;
    out = std::strtod(p, &end);
    return end && end != p && *end == '\0' && std::isfinite(out);
}

bool IsDateFormat(unsigned f)
{
    return f == GX_FMT_DAY_MONTH_YEAR || f == GX_FMT_DAY_MONTH || f == GX_FMT_MONTH_YEAR || f == GX_FMT_DATE
           || f == GX_FMT_DATETIME;
}
bool IsDateOrTimeFormat(unsigned f) { return IsDateFormat(f) || f == GX_FMT_TIME; }

// Every stored cell of the selected pools, collected before any is changed.
std::vector<GXCell*> StoredCells(GXSheet* s, int poolMask)
{
    std::vector<GXCell*> out;
    for (int p = 0; p < 3; ++p) {
        if (!(poolMask & (1 << p)))
            continue;
        GXPoolIter it;
        gx_pool_iter_init(&s->pools[p], &it);
        while (GXCell* c = gx_pool_iter_next(&it))
            if (c->Stored())
                out.push_back(c);
    }
    return out;
}

// A grid range in engine coordinates; rows, columns and table ranges span the sheet.
bool EngineRange(const CGXCellRange& range, GXRange& out)
{
    ROWCOL top = range.top, bottom = range.bottom, left = range.left, right = range.right;
    if (range.IsTable() || range.IsCols()) {
        top = 1;
        bottom = GX_MAX_ROW;
    }
    if (range.IsTable() || range.IsRows()) {
        left = 1;
        right = ROWCOL(GX_MAX_COL) + 1;
    }
    top = std::clamp<ROWCOL>(top, 1, GX_MAX_ROW);
    bottom = std::clamp<ROWCOL>(bottom, 1, GX_MAX_ROW);
    left = std::clamp<ROWCOL>(left, 1, ROWCOL(GX_MAX_COL) + 1);
    right = std::clamp<ROWCOL>(right, 1, ROWCOL(GX_MAX_COL) + 1);
    if (bottom < top || right < left)
        return false;
    return gx_make_range(&out, int(top), int(left - 1), int(bottom), int(right - 1), 0) != 0;
}

// Turns a named node whose name the sheet does not hold into the invalid-reference marker.
void PointNamedNodes(int handle, GXFormula& f)
{
    for (GXNode& n : f.nodes) {
        if (n.kind != gxNodeNamedCell && n.kind != gxNodeNamedRange)
            continue;
        GXRange r;
        n.named = gx_find_name(handle, n.text.c_str(), &r);
        if (!n.named) {
            n.kind = gxNodeOperator;
            n.op = 26;  // "??"
            n.first = -1;
            n.range = GXRange{};
            n.text.clear();
        }
    }
}

// The recalculation method 1 for the duration of a change (all affected cells in each pass).
class RecalcMethodScope {
public:
    explicit RecalcMethodScope(int handle) : m_handle(handle), m_old(gx_get_recalc_method(handle))
    {
        gx_set_recalc_method(handle, 1);
    }
    ~RecalcMethodScope() { gx_set_recalc_method(m_handle, m_old); }
    RecalcMethodScope(const RecalcMethodScope&) = delete;
    RecalcMethodScope& operator=(const RecalcMethodScope&) = delete;

private:
    int m_handle;
    int m_old;
};

// A deferred-free bracket over all pools.
class IterationScope {
public:
    explicit IterationScope(int handle) : m_handle(handle), m_pools(gx_begin_iteration(handle, GX_POOL_ALL)) {}
    ~IterationScope() { gx_end_iteration(m_handle, m_pools); }
    IterationScope(const IterationScope&) = delete;
    IterationScope& operator=(const IterationScope&) = delete;

private:
    int m_handle;
    int m_pools;
};

// What a whole image waits for, or a structure change that was done.
CGXUndoEngineCellsInfo::Expected Expect(int kind, ROWCOL a = 0, ROWCOL b = 0, ROWCOL c = 0,
                                        std::vector<DWORD> order = {})
{
    CGXUndoEngineCellsInfo::Expected e;
    e.kind = kind;
    e.a = a;
    e.b = b;
    e.c = c;
    e.order = std::move(order);
    return e;
}

void ThrowBadArchive() { AfxThrowArchiveException(CArchiveException::badIndex); }

}  // namespace

// ---- Images ----

GXCellImage& GXCellImage::operator=(const GXCellImage& other)
{
    if (this == &other)
        return *this;
    row = other.row;
    column = other.column;
    present = other.present;
    flags = other.flags;
    number = other.number;
    text = other.text;
    error_code = other.error_code;
    formula.reset(other.formula ? new GXFormula(*other.formula) : nullptr);
    style.reset(other.style ? other.style->Clone() : nullptr);
    return *this;
}

GXCellImage gx_cell_image(const GXCell* cell)
{
    GXCellImage img;
    if (!cell)
        return img;
    img.row = cell->row;
    img.column = cell->column;
    img.present = true;
    img.flags = cell->flags & (0xFFu | kImageFlags);
    switch (cell->Kind()) {
    case gxValNumber: img.number = cell->value.number; break;
    case gxLongText:
    case gxShortText: img.text = cell->Text(); break;
    case gxError: img.error_code = cell->value.error.code; break;
    default: break;
    }
    if (cell->formula) {
        img.formula = std::make_unique<GXFormula>(*cell->formula);
        for (GXNode& n : img.formula->nodes)
            n.named = nullptr;
    }
    if (cell->style)
        img.style.reset(cell->style->Clone());
    return img;
}

GXCell* gx_cell_from_image(int handle, const GXCellImage& img)
{
    if (!img.present)
        return nullptr;
    GXCell* c = gx_new_cell(handle, img.row, img.column, img.Type(), gxEmpty);
    if (!c)
        return nullptr;
    c->flags |= img.flags & kImageFlags;
    switch (img.Kind()) {
    case gxValNumber:
        c->value.number = img.number;
        c->flags |= uint32_t(gxValNumber) << 4;
        break;
    case gxLongText:
    case gxShortText: gx_set_cell_text(c, img.text); break;
    case gxError:
        c->value.error.code = img.error_code;
        c->flags |= uint32_t(gxError) << 4;
        break;
    case gxNotAvailable: c->flags |= uint32_t(gxNotAvailable) << 4; break;
    default: break;
    }
    if (img.formula && (img.Type() == gxFormulaRefs || img.Type() == gxFormulaPlain)) {
        c->formula = new GXFormula(*img.formula);
        PointNamedNodes(handle, *c->formula);
        c->flags |= GX_CELL_NEEDS_RECALC;
    }
    if (img.style)
        c->style = img.style->Clone();
    return c;
}

CGXUndoEngineCellsInfo::CGXUndoEngineCellsInfo(const CGXUndoEngineCellsInfo& other)
    : CObject(), old_cells(other.old_cells), new_cells(other.new_cells), range(other.range),
      recalc_needed(other.recalc_needed), whole(other.whole ? std::make_unique<GXSheetImage>(*other.whole) : nullptr),
      expected(other.expected), captured(other.captured)
{
}

// ---- Life ----

CGXFormulaSheet::CGXFormulaSheet()
{
    m_nDefaultValueType = 1;
    m_nSheet = gx_create_sheet();
    if (GXSheet* s = gx_sheet(m_nSheet)) {
        s->owner = this;
        s->message_free = 1;
    }
    if (!gx_engine_state()->function_table)
        gx_set_function_table(gx_new_standard_function_table().release());
}

CGXFormulaSheet::~CGXFormulaSheet()
{
    m_pUndoInfo.reset();
    m_pPending.reset();
    gx_destroy_sheet(m_nSheet);
}

void GXForceLinkFormulaSheet() { (void)RUNTIME_CLASS(CGXFormulaSheet); }

void CGXFormulaSheet::InitParam(CObject* pObject)
{
    auto* pParam = dynamic_cast<CGXGridParam*>(pObject);
    if (!pParam)
        return;
    // A paste inside the grid runs CopyCells / MoveCells here, so references move with the cells.
    pParam->m_bDirectCopyPaste = 1;
    pParam->m_bDirectCutPaste = 1;
    pParam->m_bCutPending = 1;
    pParam->m_wSizingOptions = 1;
}

namespace {

// Empties a sheet of its cells and its names.
void RemoveCellsAndNames(GXSheet* s, int nSheet)
{
    {
        IterationScope bracket(nSheet);
        for (GXCell* c : StoredCells(s, GX_POOL_ALL))
            gx_remove_cell(nSheet, c);
    }
    gx_free_names(nSheet);
}

}  // namespace

void CGXFormulaSheet::DeleteContents()
{
    CGXData::DeleteContents();
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s)
        return;
    RemoveCellsAndNames(s, m_nSheet);
    gx_clear_changed_ranges(m_nSheet);
    s->extent_valid = 0;
    s->top = s->bottom = s->left = s->right = 0;
}

// ---- Images of the whole sheet ----

std::unique_ptr<GXSheetImage> CGXFormulaSheet::TakeImage() const
{
    auto img = std::make_unique<GXSheetImage>();
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s)
        return img;
    for (const GXName* n = s->names; n; n = n->next)
        img->names.emplace_back(n->name, n->range);
    for (GXCell* c : StoredCells(s, GX_POOL_ALL))
        img->cells.push_back(gx_cell_image(c));
    return img;
}

void CGXFormulaSheet::RestoreImage(const GXSheetImage& image)
{
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s)
        return;
    RemoveCellsAndNames(s, m_nSheet);
    GXName** tail = &s->names;
    for (const auto& [name, range] : image.names) {
        auto* n = new GXName;
        n->name = name;
        n->range = range;
        *tail = n;
        tail = &n->next;
    }
    for (const GXCellImage& img : image.cells) {
        GXCell* c = gx_cell_from_image(m_nSheet, img);
        if (!c)
            continue;
        if (GXCell* old = gx_find_cell(m_nSheet, img.row, img.column))
            gx_remove_cell(m_nSheet, old);
        gx_insert_cell(m_nSheet, c);
    }
    gx_deps_invalidate(m_nSheet);
    s->dirty = 1;
    gx_recalc_sheet_forced(m_nSheet);
}

// ---- Undo collection ----

void CGXFormulaSheet::CaptureCell(int row, int column)
{
    if (!m_nUndoSwitch)
        return;
    if (!m_pUndoInfo)
        m_pUndoInfo = std::make_unique<CGXUndoEngineCellsInfo>();
    if (m_pUndoInfo->whole || !m_pUndoInfo->captured.insert({row, column}).second)
        return;
    GXCellImage img = gx_cell_image(gx_find_cell(m_nSheet, row, column));
    img.row = row;
    img.column = column;
    m_pUndoInfo->old_cells.push_back(std::move(img));
}

void CGXFormulaSheet::CaptureRange(const GXRange& range)
{
    if (!m_nUndoSwitch)
        return;
    GXRangeIter it;
    gx_range_iter_init(m_nSheet, range, &it, GX_POOL_ALL);
    std::vector<std::pair<int, int>> places;
    while (GXCell* c = gx_range_iter_next(&it))
        places.emplace_back(c->row, c->column);
    for (const auto& [r, c] : places)
        CaptureCell(r, c);
}

void CGXFormulaSheet::CaptureWhole(const Expected& inverse)
{
    if (!m_nUndoSwitch)
        return;
    if (!m_pUndoInfo)
        m_pUndoInfo = std::make_unique<CGXUndoEngineCellsInfo>();
    if (m_pUndoInfo->whole)
        return;
    m_pUndoInfo->whole = TakeImage();
    m_pUndoInfo->expected = inverse;
}

void CGXFormulaSheet::ApplyPending(const Expected& done)
{
    std::unique_ptr<CGXUndoEngineCellsInfo> pending = std::move(m_pPending);
    if (pending && pending->whole && pending->expected == done) {
        RestoreImage(*pending->whole);
        return;
    }
    // References moved: every formula is brought up to date, not only those the change reached.
    IterationScope bracket(m_nSheet);
    gx_recalc_sheet_forced(m_nSheet);
}

CObject* CGXFormulaSheet::GetUndoInfo() { return m_pUndoInfo.release(); }

void CGXFormulaSheet::DiscardUndoInfo() { m_pUndoInfo.reset(); }

BOOL CGXFormulaSheet::EnableUndoInfo(BOOL bOn) { return SetUndoRecording(bOn ? 1 : 0); }

int CGXFormulaSheet::SetUndoRecording(int bOn)
{
    const int nOld = m_nUndoSwitch;
    // Switching on begins a collection: whatever an earlier change left untaken is not its part.
    if (!nOld && bOn)
        m_pUndoInfo.reset();
    m_nUndoSwitch = bOn;
    return nOld;
}

void CGXFormulaSheet::RestoreCell(const GXCellImage& img)
{
    RemoveCell(img.row, img.column);
    if (GXCell* c = gx_cell_from_image(m_nSheet, img)) {
        c->flags |= GX_CELL_CHANGED;
        gx_insert_cell(m_nSheet, c);
    }
    GXRange r;
    if (gx_make_range(&r, img.row, img.column, 0, 0, GX_MAKE_SINGLE))
        gx_record_changed_range(m_nSheet, r);
}

BOOL CGXFormulaSheet::ApplyUndoInfo(CObject* pObject, BOOL bRecord, BOOL /*bRedo*/)
{
    auto* pInfo = dynamic_cast<CGXUndoEngineCellsInfo*>(pObject);
    if (!pInfo)
        return FALSE;
    // A structure change's image waits for the inverse change the grid runs next.
    if (pInfo->whole && pInfo->expected.kind != CGXUndoEngineCellsInfo::gxNone) {
        m_pPending = std::make_unique<CGXUndoEngineCellsInfo>(*pInfo);
        return TRUE;
    }
    const int nOld = m_nUndoSwitch;
    m_nUndoSwitch = nOld || bRecord;
    IterationScope bracket(m_nSheet);
    if (pInfo->whole) {
        CaptureWhole(Expected {});
        RestoreImage(*pInfo->whole);
    }
    for (const GXCellImage& img : pInfo->old_cells) {
        CaptureCell(img.row, img.column);
        RestoreCell(img);
    }
    m_nUndoSwitch = nOld;
    return TRUE;
}

// ---- Recalculation and errors ----

void CGXFormulaSheet::AnnounceRange(const CGXCellRange& range) { AddRecalcRange(range); }

void CGXFormulaSheet::AddRecalcRange(const CGXCellRange& range)
{
    GXRange r;
    if (EngineRange(range, r))
        gx_record_changed_range(m_nSheet, r);
}

BOOL CGXFormulaSheet::Recalc(BOOL bForce)
{
    {
        IterationScope bracket(m_nSheet);
        bForce ? gx_recalc_sheet_forced(m_nSheet) : gx_recalc_sheet(m_nSheet);
    }
    GXSheet* s = gx_sheet(m_nSheet);
    return !s || s->message_free;
}

void CGXFormulaSheet::RequestRecalc(int nMode)
{
    if (nMode)
        Recalc(nMode > 1);
}

BOOL CGXFormulaSheet::NeedsRecalc(ROWCOL nRow, ROWCOL nCol) const
{
    GXCell* c = FindCell(nRow, nCol);
    if (!c || !c->formula)
        return FALSE;
    if (c->flags & GX_CELL_CHANGED)
        return TRUE;
    return c->Type() == gxFormulaRefs && !(c->flags & GX_CELL_VISITED);
}

BOOL CGXFormulaSheet::EvaluateCell(ROWCOL nRow, ROWCOL nCol)
{
    GXCell* c = FindCell(nRow, nCol);
    if (!c || !NeedsRecalc(nRow, nCol))
        return FALSE;
    if (!(c->flags & GX_CELL_VISITED))
        gx_recalc_cell(m_nSheet, c);
    return (c->flags & GX_CELL_CHANGED) != 0;
}

void CGXFormulaSheet::CellShown(ROWCOL nRow, ROWCOL nCol) { SetCellChanged(nRow, nCol, FALSE); }

GXCell* CGXFormulaSheet::SetCellChanged(ROWCOL nRow, ROWCOL nCol, BOOL bOn)
{
    GXCell* c = FindCell(nRow, nCol);
    if (c)
        c->flags = bOn ? (c->flags | GX_CELL_CHANGED) : (c->flags & ~GX_CELL_CHANGED);
    return c;
}

void CGXFormulaSheet::ResetError()
{
    // A parse message waits for GetLastError: the recalculation after a commit clears errors
    // before the grid asks for the message.
    if (m_bKeepMessage)
        return;
    if (GXSheet* s = gx_sheet(m_nSheet))
        s->message_free = 1;
}

BOOL CGXFormulaSheet::GetLastError(std::string& out)
{
    GXSheet* s = gx_sheet(m_nSheet);
    if (!s || s->message_free)
        return FALSE;
    out = s->message;
    m_bKeepMessage = false;
    return TRUE;
}

BOOL CGXFormulaSheet::GetLastError(CString& out)
{
    std::string text;
    if (!GetLastError(text))
        return FALSE;
    out = text.c_str();
    return TRUE;
}

// ---- Cells ----

GXCell* CGXFormulaSheet::FindCell(ROWCOL nRow, ROWCOL nCol) const
{
    return InGrid(nRow, nCol) ? gx_find_cell(m_nSheet, EngineRow(nRow), EngineCol(nCol)) : nullptr;
}

void CGXFormulaSheet::RemoveCell(int row, int column)
{
    if (GXCell* c = gx_find_cell(m_nSheet, row, column)) {
        GXRange r;
        gx_make_range(&r, row, column, 0, 0, GX_MAKE_SINGLE);
        gx_remove_cell(m_nSheet, c);
        gx_record_changed_range(m_nSheet, r);
    }
}

BOOL CGXFormulaSheet::SetTextRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text)
{
    if (!InGrid(nRow, nCol))
        return FALSE;
    const int r = EngineRow(nRow), c = EngineCol(nCol);
    if (!gx_set_plain_text_cell(m_nSheet, r, c, text.c_str()))
        return FALSE;
    if (text.empty())
        if (GXCell* cell = gx_find_cell(m_nSheet, r, c))
            cell->flags &= ~0xF0u;  // the empty value kind
    return TRUE;
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
        GXCell* cell = gx_find_cell(m_nSheet, r, c);
        if (cell && cell->Type() == gxFormulaRefs) {
            IterationScope bracket(m_nSheet);
            gx_recalc_sheet(m_nSheet);
        }
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
    m_bKeepMessage = true;
    return FALSE;
}

BOOL CGXFormulaSheet::SetFormatRowCol(ROWCOL nRow, ROWCOL nCol, unsigned nFormat, unsigned nPlaces)
{
    if (!InGrid(nRow, nCol))
        return FALSE;
    GXCell* c = FindCell(nRow, nCol);
    if (!c) {
        SetTextRowCol(nRow, nCol, "");
        c = FindCell(nRow, nCol);
    }
    if (!c)
        return FALSE;
    if (!c->style)
        c->style = new CGXStyle;
    c->style->SetFormat(nFormat).SetPlaces(nPlaces);
    return TRUE;
}

unsigned CGXFormulaSheet::GetFormatRowCol(ROWCOL nRow, ROWCOL nCol, unsigned* pPlaces) const
{
    GXCell* c = FindCell(nRow, nCol);
    if (pPlaces)
        *pPlaces = c && c->style && c->style->GetIncludePlaces() ? unsigned(c->style->GetPlaces()) : 0;
    if (!c || !c->style || !c->style->GetIncludeFormat())
        return 0;
    return unsigned(c->style->GetFormat());
}

BOOL CGXFormulaSheet::SetValueRowCol(ROWCOL nRow, ROWCOL nCol, const std::string& text)
{
    if (!InGrid(nRow, nCol))
        return FALSE;
    if (text.empty())
        return SetTextRowCol(nRow, nCol, text);
    double d = 0;
    if (ParseNumber(text, d)) {
        if (!SetNumberRowCol(nRow, nCol, d))
            return FALSE;
        unsigned nPlaces = 0;
        if (IsDateOrTimeFormat(GetFormatRowCol(nRow, nCol, &nPlaces)))
            SetFormatRowCol(nRow, nCol, GX_FMT_GEN, 15);
        return TRUE;
    }
    if (PvCompareNoCase(text, "#N/A") == 0)
        return SetExpressionRowCol(nRow, nCol, "=NA()");
    if (text[0] == '\'')
        return SetTextRowCol(nRow, nCol, text.substr(1));
    if (text[0] == '=')
        return SetExpressionRowCol(nRow, nCol, text);
    COleDateTime dt;
    if (dt.ParseDateTime(text.c_str()) && dt.GetStatus() == COleDateTime::valid) {
        const double v = double(dt.m_dt);
        if (!SetNumberRowCol(nRow, nCol, v))
            return FALSE;
        if (!IsDateFormat(GetFormatRowCol(nRow, nCol))) {
            const unsigned f = v == std::floor(v) ? GX_FMT_DATE : (v >= 0 && v < 1) ? GX_FMT_TIME : GX_FMT_DATETIME;
            SetFormatRowCol(nRow, nCol, f, 0);
        }
        return TRUE;
    }
    return SetTextRowCol(nRow, nCol, text);
}

BOOL CGXFormulaSheet::GetNumberRowCol(ROWCOL nRow, ROWCOL nCol, double& out)
{
    out = 0;
    GXCell* c = FindCell(nRow, nCol);
    if (!c)
        return FALSE;
    if (c->formula && !(c->flags & GX_CELL_VISITED))
        gx_recalc_cell(m_nSheet, c);
    if (c->Kind() == gxValNumber)
        out = c->value.number;
    return TRUE;
}

void CGXFormulaSheet::GetValueText(GXCell* cell, std::string& out)
{
    out.clear();
    if (!cell)
        return;
    if (cell->formula && !(cell->flags & GX_CELL_VISITED))
        gx_recalc_cell(m_nSheet, cell);
    GXSheet* s = gx_sheet(m_nSheet);
    if ((cell->flags & GX_CELL_CYCLE) && s && s->iterations == 0) {
        out = "Cycle!";
        return;
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
}

void CGXFormulaSheet::GetExpressionText(GXCell* cell, std::string& out) const
{
    out.clear();
    if (!cell)
        return;
    if (cell->formula) {
        // The whole text: a cut formula would commit as another one.
        gx_formula_to_text(m_nSheet, *cell->formula, out);
        return;
    }
    switch (cell->Kind()) {
    case gxEmpty: break;
    case gxNotAvailable: out = "#N/A"; break;
    case gxError: out = "Error!"; break;
    case gxValNumber:
        if (cell->style && cell->style->GetIncludeFormat() && IsDateOrTimeFormat(unsigned(cell->style->GetFormat()))) {
            const unsigned nPlaces = cell->style->GetIncludePlaces() ? unsigned(cell->style->GetPlaces()) : 0;
            out = LPCTSTR(CGXNumberFormattingImp::FormatValue(cell->value.number, unsigned(cell->style->GetFormat()),
                                                               nPlaces));
        } else {
            out = Number(cell->value.number);
        }
        break;
    case gxLongText:
    case gxShortText: out = "'" + cell->Text(); break;
    default: out = "Value?"; break;
    }
}

BOOL CGXFormulaSheet::GetValueRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out)
{
    out.clear();
    GXCell* c = FindCell(nRow, nCol);
    if (!c)
        return FALSE;
    GetValueText(c, out);
    return TRUE;
}

BOOL CGXFormulaSheet::GetExpressionRowCol(ROWCOL nRow, ROWCOL nCol, std::string& out)
{
    out.clear();
    GXCell* c = FindCell(nRow, nCol);
    if (!c)
        return FALSE;
    GetExpressionText(c, out);
    return TRUE;
}

BOOL CGXFormulaSheet::EvaluateExpression(ROWCOL nRow, const std::string& text, std::string& out)
{
    out.clear();
    GXFormula f;
    if (!gx_parse_formula(m_nSheet, text.c_str(), &f) || f.root < 0)
        return FALSE;
    GXValue v = gx_eval_expression(m_nSheet, EngineRow(nRow), 0, f, f.root);
    gx_deref(v);
    switch (v.type) {
    case gxvNumber: out = Number(v.number); break;
    case gxvText: out = v.text; break;
    case gxvNotAvailable: out = "#N/A"; break;
    case gxvError: out = "Error!"; return FALSE;
    default: out = "Value?"; break;
    }
    return TRUE;
}

// ---- Named ranges ----

BOOL CGXFormulaSheet::SetRangeName(const std::string& name, const CGXCellRange& range)
{
    GXRange r;
    if (!EngineRange(range, r))
        return FALSE;
    if (range.top == range.bottom && range.left == range.right)
        gx_make_range(&r, r.Top(), r.Left(), 0, 0, GX_MAKE_SINGLE);
    if (!gx_define_name(m_nSheet, name.c_str(), r))
        return FALSE;
    const int nOldManual = gx_get_manual_recalc(m_nSheet);
    gx_set_manual_recalc(m_nSheet, 0);
    Recalc(FALSE);
    gx_set_manual_recalc(m_nSheet, nOldManual);
    return TRUE;
}

BOOL CGXFormulaSheet::GetRangeName(const std::string& name, CGXCellRange& range) const
{
    GXRange r;
    if (!gx_find_name(m_nSheet, name.c_str(), &r) || !gx_normalize_range(&r))
        return FALSE;
    const int bottom = r.Single() ? r.Top() : r.Bottom(), right = r.Single() ? r.Left() : r.Right();
    range = CGXCellRange(ROWCOL(r.Top()), ROWCOL(r.Left() + 1), ROWCOL(bottom), ROWCOL(right + 1));
    return TRUE;
}

BOOL CGXFormulaSheet::DeleteRangeName(const std::string& name)
{
    return gx_delete_name(m_nSheet, name.c_str()) != 0;
}

// ---- Constraints ----

BOOL CGXFormulaSheet::SetConstraintCheck(int b)
{
    if (b) {
        CGXStyle scratch;
        MergeConstraintStyle(scratch);  // registers the base style in an attached grid
    }
    return gx_set_constraint_check(m_nSheet, b);
}

void CGXFormulaSheet::MergeConstraintStyle(CGXStyle& style) const
{
    CGXStyle red;
    red.SetInterior(CGXPackedBrush(GX_BS_SOLID, kConstraintColor));
    CGXGridCore* pGrid = GXGetLibraryState().LookupGridOfData(this);
    CGXStylesMap* pMap = pGrid && pGrid->GetParam() ? pGrid->GetParam()->GetStylesMap() : nullptr;
    if (!pMap) {
        style.ChangeStyle(red, gxOverride);
        return;
    }
    auto* self = const_cast<CGXFormulaSheet*>(this);
    const CGXStyle* pBase = nullptr;
    if (!m_nConstraintStyleId || !pMap->LookupStyleEntry(m_nConstraintStyleId, pBase)) {
        GXRegisterLibraryStrings();
        WORD id = pMap->LookupStyleIdByResource(GX_IDS_STYLE_CONSTRAINT);
        if (!id)
            id = pMap->RegisterStyleByResource(GX_IDS_STYLE_CONSTRAINT, red);
        self->m_nConstraintStyleId = id;
        pMap->LookupStyleEntry(id, pBase);
    }
    style.ChangeStyle(pBase ? *pBase : red, gxOverride);
}

// ---- Storing and reading styles ----

BOOL CGXFormulaSheet::StoreStyleRowCol(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int mode, int nType)
{
    if (nType < 0 || nRow == 0 || nCol == 0)
        return CGXData::StoreStyleRowCol(nRow, nCol, pStyle, mode, nType);
    if (!InGrid(nRow, nCol))
        return FALSE;
    m_nRows = std::max(m_nRows, nRow);
    m_nCols = std::max(m_nCols, nCol);
    const int r = EngineRow(nRow), c = EngineCol(nCol);
    CaptureCell(r, c);
    GXCell* cell = gx_find_cell(m_nSheet, r, c);

    if (!pStyle || mode == gxRemove) {
        RemoveCell(r, c);
        return TRUE;
    }
    CGXStyle rest(*pStyle);
    rest.SetIncludeValue(FALSE);
    const bool bValue = pStyle->GetIncludeValue() != FALSE;
    const bool bOnlyValue = bValue && rest.IsEmpty();

    if (mode == gxCopy) {
        if (pStyle->IsEmpty()) {
            RemoveCell(r, c);
            return TRUE;
        }
        if (bOnlyValue && cell) {
            delete gx_take_cell_style(cell);
        }
    } else if (mode == gxExclude) {
        if (!cell)
            return TRUE;
        if (bValue) {
            if (!cell->style) {
                RemoveCell(r, c);
                return TRUE;
            }
            SetTextRowCol(nRow, nCol, "");
        }
        cell = gx_find_cell(m_nSheet, r, c);
        if (cell && cell->style && !rest.IsEmpty())
            cell->style->ChangeStyle(rest, gxExclude);
        return TRUE;
    }

    if (bValue) {
        const std::string value = LPCTSTR(pStyle->GetValue());
        if (pStyle->GetValueType() == GX_VT_NUMBER)
            SetNumberRowCol(nRow, nCol, std::atof(value.c_str()));
        else if (!value.empty() && nType == 1)
            SetValueRowCol(nRow, nCol, value);  // a formula that does not parse keeps the cell
        else
            SetTextRowCol(nRow, nCol, value);
    }
    if (!bOnlyValue) {
        cell = gx_find_cell(m_nSheet, r, c);
        if (!cell) {
            SetTextRowCol(nRow, nCol, "");
            cell = gx_find_cell(m_nSheet, r, c);
        }
        if (cell) {
            if (cell->style && mode != gxCopy)
                cell->style->ChangeStyle(rest, mode);
            else {
                delete cell->style;
                cell->style = rest.Clone();
            }
        }
    }
    return TRUE;
}

BOOL CGXFormulaSheet::GetStyleRowCol(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mode, int nType) const
{
    if (nType < 0 || nRow == 0 || nCol == 0)
        return CGXData::GetStyleRowCol(nRow, nCol, style, mode, nType);
    GXCell* cell = FindCell(nRow, nCol);
    if (!cell)
        return FALSE;
    if (mode == gxCopy)
        style.FreeParts();
    if (cell->style)
        style.ChangeStyle(*cell->style, mode == gxCopy ? gxOverride : mode);
    std::string text;
    auto* self = const_cast<CGXFormulaSheet*>(this);
    if (nType == 1) {
        GetExpressionText(cell, text);
        style.SetValue(text.c_str());
        style.SetValueType(2);
    } else {
        self->GetValueText(cell, text);
        style.SetValue(text.c_str());
        style.SetValueType(cell->Kind() == gxError ? 3 : cell->Kind() == gxValNumber ? 1 : 0);
    }
    if (gx_get_constraint_check(m_nSheet) && (cell->flags & GX_CELL_CONSTRAINT)) {
        MergeConstraintStyle(style);
        cell->flags |= GX_CELL_CHANGED;
    }
    return TRUE;
}

// ---- Structure changes ----

BOOL CGXFormulaSheet::InsertRows(ROWCOL nRow, ROWCOL nCount)
{
    const int first = EngineRow(nRow);
    CaptureWhole(Expect(CGXUndoEngineCellsInfo::gxRemoveRows, ROWCOL(first), ROWCOL(first) + nCount - 1));
    if (nCount > 0 && nCount <= ROWCOL(GX_MAX_ROW))
        gx_insert_rows(m_nSheet, first, int(nCount));
    ApplyPending({});
    return CGXData::InsertRows(nRow, nCount);
}

BOOL CGXFormulaSheet::InsertCols(ROWCOL nCol, ROWCOL nCount)
{
    const ROWCOL first = std::max<ROWCOL>(nCol, 1);
    CaptureWhole(Expect(CGXUndoEngineCellsInfo::gxRemoveCols, first, first + nCount - 1));
    if (nCount > 0 && nCount <= ROWCOL(GX_MAX_COL) + 1)
        gx_insert_cols(m_nSheet, EngineCol(first), int(nCount));
    ApplyPending({});
    return CGXData::InsertCols(nCol, nCount);
}

BOOL CGXFormulaSheet::RemoveRows(ROWCOL nFirst, ROWCOL nLast)
{
    // The grid hands a removal's record back after inserting the rows again: it applies at once.
    CaptureWhole({});
    if (nLast >= nFirst && nFirst >= 1 && nFirst <= ROWCOL(GX_MAX_ROW)) {
        const ROWCOL last = std::min<ROWCOL>(nLast, GX_MAX_ROW);
        gx_remove_rows(m_nSheet, int(nFirst), int(last - nFirst + 1));
    }
    ApplyPending(Expect(CGXUndoEngineCellsInfo::gxRemoveRows, nFirst, nLast));
    return CGXData::RemoveRows(nFirst, nLast);
}

BOOL CGXFormulaSheet::RemoveCols(ROWCOL nFirst, ROWCOL nLast)
{
    CaptureWhole({});
    const ROWCOL first = std::max<ROWCOL>(nFirst, 1);
    if (nLast >= first && first - 1 <= ROWCOL(GX_MAX_COL)) {
        const ROWCOL last = std::min<ROWCOL>(nLast, ROWCOL(GX_MAX_COL) + 1);
        gx_remove_cols(m_nSheet, int(first - 1), int(last - first + 1));
    }
    ApplyPending(Expect(CGXUndoEngineCellsInfo::gxRemoveCols, nFirst, nLast));
    return CGXData::RemoveCols(nFirst, nLast);
}

BOOL CGXFormulaSheet::MoveRows(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (nLast < nFirst)
        return FALSE;
    CaptureWhole(Expect(CGXUndoEngineCellsInfo::gxMoveRows, nDest, nDest + (nLast - nFirst), nFirst));
    if (nFirst >= 1 && nDest >= 1)
        gx_move_rows(m_nSheet, int(nFirst), int(std::min<ROWCOL>(nLast, GX_MAX_ROW)), int(nDest));
    ApplyPending(Expect(CGXUndoEngineCellsInfo::gxMoveRows, nFirst, nLast, nDest));
    return CGXData::MoveRows(nFirst, nLast, nDest);
}

BOOL CGXFormulaSheet::MoveCols(ROWCOL nFirst, ROWCOL nLast, ROWCOL nDest)
{
    if (nLast < nFirst)
        return FALSE;
    CaptureWhole(Expect(CGXUndoEngineCellsInfo::gxMoveCols, nDest, nDest + (nLast - nFirst), nFirst));
    if (nFirst >= 1 && nDest >= 1)
        gx_move_cols(m_nSheet, EngineCol(nFirst), EngineCol(nLast), EngineCol(nDest));
    ApplyPending(Expect(CGXUndoEngineCellsInfo::gxMoveCols, nFirst, nLast, nDest));
    return CGXData::MoveCols(nFirst, nLast, nDest);
}

BOOL CGXFormulaSheet::MoveRowsForSort(const CGXCellRange& range, const CDWordArray& order)
{
    return MoveForSort(true, range, order);
}

BOOL CGXFormulaSheet::MoveColsForSort(const CGXCellRange& range, const CDWordArray& order)
{
    return MoveForSort(false, range, order);
}

BOOL CGXFormulaSheet::MoveForSort(bool bRows, const CGXCellRange& range, const CDWordArray& order)
{
    const INT_PTR n = order.GetSize();
    // Entry i names the offset of the line that goes to offset i.
    std::vector<DWORD> fwd(static_cast<size_t>(n));
    std::vector<DWORD> inv(static_cast<size_t>(n), DWORD(-1));
    for (INT_PTR i = 0; i < n; ++i) {
        const DWORD k = order[i];
        if (k >= DWORD(n) || inv[k] != DWORD(-1))
            return FALSE;
        fwd[size_t(i)] = k;
        inv[k] = DWORD(i);
    }
    const ROWCOL first = std::max<ROWCOL>(bRows ? range.top : range.left, 1);
    const int kind = bRows ? CGXUndoEngineCellsInfo::gxSortRows : CGXUndoEngineCellsInfo::gxSortCols;
    CaptureWhole(Expect(kind, first, ROWCOL(n), 0, inv));

    // Lines first..first+n-1 (engine numbers), and the other bounds unless whole lines are sorted.
    const int lo = bRows ? int(first) : EngineCol(first);
    const int hi = lo + int(n) - 1;
    const bool whole = bRows ? (range.IsRows() || range.IsTable()) : (range.IsCols() || range.IsTable());
    int otherLo = 0, otherHi = bRows ? GX_MAX_COL : GX_MAX_ROW;
    if (!whole) {
        otherLo = bRows ? EngineCol(range.left) : EngineRow(range.top);
        otherHi = bRows ? EngineCol(range.right) : EngineRow(range.bottom);
    }
    auto newLine = [&](int v) { return lo + int(inv[size_t(v - lo)]); };
    auto inLines = [&](int v) { return v >= lo && v <= hi; };

    GXSheet* s = gx_sheet(m_nSheet);
    if (s && n > 0) {
        IterationScope bracket(m_nSheet);
        std::vector<GXCell*> moving;
        for (GXCell* c : StoredCells(s, GX_POOL_ALL)) {
            const int line = bRows ? c->row : c->column, other = bRows ? c->column : c->row;
            if (inLines(line) && other >= otherLo && other <= otherHi)
                moving.push_back(c);
        }
        for (GXCell* c : moving)
            gx_unlink_cell(m_nSheet, c);
        for (GXCell* c : moving) {
            // References of a moved formula to a cell of one sorted line follow that line.
            if (c->formula) {
                for (GXNode& node : c->formula->nodes) {
                    if (node.kind != gxNodeCell && node.kind != gxNodeRange)
                        continue;
                    GXRange& rg = node.range;
                    const int a = bRows ? rg.Top() : rg.Left();
                    const int b = rg.Single() ? a : (bRows ? rg.Bottom() : rg.Right());
                    if (a != b || !inLines(a))
                        continue;
                    const int to = newLine(a);
                    if (bRows) {
                        rg.top = (rg.top & ~0xFFFFFFu) | uint32_t(to);
                        if (!rg.Single())
                            rg.bottom = (rg.bottom & ~0xFFFFFFu) | uint32_t(to);
                    } else {
                        rg.cols = (rg.cols & ~0x1FFFu) | uint32_t(to);
                        if (!rg.Single())
                            rg.cols = (rg.cols & ~(0x1FFFu << 15)) | uint32_t(to) << 15;
                    }
                }
                c->flags |= GX_CELL_NEEDS_RECALC;
            }
            const int line = bRows ? c->row : c->column;
            gx_place_cell(c, bRows ? newLine(line) : c->row, bRows ? c->column : newLine(line));
            if (GXCell* old = gx_find_cell(m_nSheet, c->row, c->column))
                gx_remove_cell(m_nSheet, old);
            gx_insert_cell(m_nSheet, c);
        }
        gx_deps_invalidate(m_nSheet);
        GXRange band;
        if (bRows ? gx_make_range(&band, lo, 0, hi, GX_MAX_COL, 0) : gx_make_range(&band, 1, lo, GX_MAX_ROW, hi, 0))
            gx_record_changed_range(m_nSheet, band);
    }
    ApplyPending(Expect(kind, first, ROWCOL(n), 0, fwd));
    return bRows ? CGXData::MoveRowsForSort(range, order) : CGXData::MoveColsForSort(range, order);
}

// ---- Copying and moving cells ----

BOOL CGXFormulaSheet::CopyCells(ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nDestRow,
                                ROWCOL nDestCol)
{
    GXRange src;
    if (!EngineRange(CGXCellRange(nTop, nLeft, nBottom, nRight), src) || !InGrid(nDestRow, nDestCol))
        return FALSE;
    const int top = EngineRow(nDestRow), left = EngineCol(nDestCol);
    const GXRange dest = gx_dest_range(src, top, left);
    CaptureRange(dest);
    {
        GXRangeIter it;
        gx_range_iter_init(m_nSheet, src, &it, GX_POOL_ALL);
        std::vector<std::pair<int, int>> places;
        while (GXCell* c = gx_range_iter_next(&it))
            places.emplace_back(c->row - src.Top() + top, c->column - src.Left() + left);
        for (const auto& [r, c] : places)
            CaptureCell(r, c);
    }
    RecalcMethodScope method(m_nSheet);
    if (!gx_copy_range(m_nSheet, src, top, left, 0))
        return FALSE;
    gx_record_changed_range(m_nSheet, dest);
    gx_recalc_sheet(m_nSheet);
    m_nRows = std::max(m_nRows, ROWCOL(dest.Bottom()));
    m_nCols = std::max(m_nCols, ROWCOL(dest.Right()) + 1);
    return TRUE;
}

BOOL CGXFormulaSheet::MoveCells(const CGXCellRange& range, ROWCOL nDestRow, ROWCOL nDestCol, CObject*& pUndoInfo,
                                BOOL bKeepUndo)
{
    GXRange src;
    if (!EngineRange(range, src) || !InGrid(nDestRow, nDestCol))
        return FALSE;
    auto* pIncoming = dynamic_cast<CGXUndoEngineCellsInfo*>(pUndoInfo);
    // A move changes references everywhere: its undo keeps the whole sheet.
    std::unique_ptr<GXSheetImage> before = bKeepUndo ? TakeImage() : nullptr;
    {
        RecalcMethodScope method(m_nSheet);
        IterationScope bracket(m_nSheet);
        if (!gx_move_range(m_nSheet, src, EngineRow(nDestRow), EngineCol(nDestCol), 0))
            return FALSE;
        gx_record_changed_range(m_nSheet, gx_dest_range(src, EngineRow(nDestRow), EngineCol(nDestCol)));
        // Taking a move back: the sheet as it was before the move.
        if (pIncoming && pIncoming->whole)
            RestoreImage(*pIncoming->whole);
        gx_recalc_sheet_forced(m_nSheet);
    }
    if (before) {
        if (!pIncoming) {
            pIncoming = new CGXUndoEngineCellsInfo;
            pUndoInfo = pIncoming;
        }
        pIncoming->old_cells.clear();
        pIncoming->captured.clear();
        pIncoming->whole = std::move(before);
        pIncoming->expected = {};
    }
    return TRUE;
}

// ---- Copying a whole store ----

void CGXFormulaSheet::Assign(const CGXData& other)
{
    if (&other == this)
        return;
    if (const auto* pSheet = dynamic_cast<const CGXFormulaSheet*>(&other)) {
        DeleteContents();
        CGXData::Assign(other);
        gx_set_iterations(m_nSheet, pSheet->GetIterationLimit());
        gx_set_blank_is_zero(m_nSheet, pSheet->GetBlanksAreZero());
        gx_set_manual_recalc(m_nSheet, pSheet->GetRecalcMode());
        gx_set_recalc_method(m_nSheet, pSheet->GetRecalcMethod());
        gx_set_constraint_check(m_nSheet, pSheet->GetConstraintCheck());
        // Through images: named nodes are pointed at this sheet's own entries.
        RestoreImage(*pSheet->TakeImage());
        return;
    }
    DeleteContents();
    CGXData::Assign(other);
    // Cells of rows and columns 1 and up move into the engine; column 0 keeps its styles here.
    for (INT_PTR r = 1; r < m_pStyleMap.GetSize(); ++r) {
        CGXStylePtrArray* row = m_pStyleMap.GetRow(r);
        if (!row)
            continue;
        bool bLeft = false;
        for (INT_PTR c = 1; c < row->GetSize(); ++c) {
            CGXStyle* p = row->GetStyle(c);
            if (!p)
                continue;
            std::unique_ptr<CGXStyle> style(p);
            row->SetAt(c, nullptr);
            if (!InGrid(ROWCOL(r), ROWCOL(c)))
                continue;
            if (style->GetIncludeValue()) {
                const std::string value = LPCTSTR(style->GetValue());
                value.empty() ? SetTextRowCol(ROWCOL(r), ROWCOL(c), value) : SetValueRowCol(ROWCOL(r), ROWCOL(c), value);
            }
            style->SetIncludeValue(FALSE);
            if (style->IsEmpty())
                continue;
            GXCell* cell = FindCell(ROWCOL(r), ROWCOL(c));
            if (!cell) {
                SetTextRowCol(ROWCOL(r), ROWCOL(c), "");
                cell = FindCell(ROWCOL(r), ROWCOL(c));
            }
            if (cell) {
                delete cell->style;
                cell->style = style.release();
            }
        }
        for (INT_PTR c = 0; c < row->GetSize(); ++c)
            bLeft |= row->GetStyle(c) != nullptr;
        if (!bLeft) {
            delete row;
            m_pStyleMap.SetAt(r, nullptr);
        }
    }
    Recalc(FALSE);
}

// ---- The archive ----

void CGXFormulaSheet::Serialize(CArchive& ar)
{
    GXSheet* s = gx_sheet(m_nSheet);
    if (ar.IsStoring()) {
        ar << kSheetSchema;
        CGXData::Serialize(ar);
        ar << WORD(gx_get_iterations(m_nSheet)) << WORD(gx_get_blank_is_zero(m_nSheet))
           << WORD(gx_get_manual_recalc(m_nSheet)) << WORD(gx_get_recalc_method(m_nSheet))
           << WORD(gx_get_constraint_check(m_nSheet));
        CStringArray names;
        for (const GXName* n = s ? s->names : nullptr; n; n = n->next)
            names.Add((n->name + "=" + gx_range_string(n->range)).c_str());
        names.Serialize(ar);
        for (GXCell* c : s ? StoredCells(s, GX_POOL_ALL) : std::vector<GXCell*>()) {
            if (c->formula && !(c->flags & GX_CELL_VISITED))
                gx_recalc_cell(m_nSheet, c);
            ar << kCellMark << BYTE(c->Type()) << BYTE(c->Kind()) << BYTE((c->flags >> kArchivedFlagsShift) & 0xFF)
               << DWORD(c->row) << DWORD(c->column);
            ar.WriteObject(c->style);
            if (c->Type() == gxFormulaRefs || c->Type() == gxFormulaPlain) {
                std::string text;
                if (c->formula)
                    gx_formula_to_text(m_nSheet, *c->formula, text);
                ar << CString(text.c_str());
            }
            switch (c->Kind()) {
            case gxError: ar << WORD(c->value.error.code); break;
            case gxValNumber: ar << c->value.number; break;
            case gxLongText:
            case gxShortText: ar << CString(c->Text().c_str()); break;
            default: break;
            }
        }
        ar << kEndMark;
        return;
    }

    // Loading reads everything aside first: a damaged archive leaves the sheet as it was.
    WORD nSchema = 0;
    ar >> nSchema;
    if (nSchema != kSheetSchema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    CGXData base;
    base.Serialize(ar);
    WORD options[5] = {};
    for (WORD& w : options)
        ar >> w;
    if (options[0] > 100 || options[1] > 1 || options[2] > 1 || options[3] > 1 || options[4] > 1)
        ThrowBadArchive();
    CStringArray names;
    names.Serialize(ar);
    GXSheetImage image;
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
        const std::string entry = LPCTSTR(names[i]);
        const size_t eq = entry.find('=');
        if (eq == std::string::npos || eq == 0 || eq > GX_MAX_NAME || !gx_scans_as_name(entry.substr(0, eq)))
            ThrowBadArchive();
        GXRange r;
        const std::string ref = entry.substr(eq + 1);
        if (!ref.empty() && !gx_parse_range(ref.c_str(), &r))
            ThrowBadArchive();
        image.names.emplace_back(entry.substr(0, eq), ref.empty() ? GXRange {} : r);
    }
    // A scratch sheet parses the formulas, so that named nodes find the archive's names.
    CGXFormulaSheet scratch;
    for (const auto& [name, range] : image.names)
        if (!gx_find_name(scratch.m_nSheet, name.c_str(), nullptr)) {
            GXSheet* ss = gx_sheet(scratch.m_nSheet);
            auto* n = new GXName;
            n->name = name;
            n->range = range;
            n->next = ss->names;
            ss->names = n;
        }
    std::set<std::pair<int, int>> places;
    for (;;) {
        BYTE mark = 0;
        ar >> mark;
        if (mark == kEndMark)
            break;
        if (mark != kCellMark)
            ThrowBadArchive();
        BYTE type = 0, kind = 0, bits = 0;
        DWORD row = 0, column = 0;
        ar >> type >> kind >> bits >> row >> column;
        if (type > gxFormulaPlain || kind > gxShortText || row < 1 || row > DWORD(GX_MAX_ROW)
            || column > DWORD(GX_MAX_COL))
            ThrowBadArchive();
        GXCellImage img;
        img.row = int(row);
        img.column = int(column);
        img.present = true;
        img.style.reset(GXAdoptObject(CGXStyle, ar));
        std::string formulaText;
        if (type == gxFormulaRefs || type == gxFormulaPlain) {
            CString t;
            ar >> t;
            formulaText = LPCTSTR(t);
        }
        switch (kind) {
        case gxError: {
            WORD code = 0;
            ar >> code;
            img.error_code = code;
            break;
        }
        case gxValNumber: ar >> img.number; break;
        case gxLongText:
        case gxShortText: {
            CString t;
            ar >> t;
            img.text = LPCTSTR(t);
            break;
        }
        default: break;
        }
        img.flags = uint32_t(type) | uint32_t(kind) << 4 | ((uint32_t(bits) << kArchivedFlagsShift) & kImageFlags);
        if (type == gxFormulaRefs || type == gxFormulaPlain) {
            auto f = std::make_unique<GXFormula>();
            if (gx_parse_formula(scratch.m_nSheet, formulaText.c_str(), f.get())) {
                img.formula = std::move(f);
                for (GXNode& n : img.formula->nodes)
                    n.named = nullptr;
            } else {
                // A formula that does not parse is kept as its text.
                img.flags = uint32_t(gxText) | uint32_t(gxLongText) << 4;
                img.text = formulaText;
            }
        }
        if (img.Kind() == gxLongText && img.text.size() <= 8)
            img.flags = (img.flags & ~0xF0u) | uint32_t(gxShortText) << 4;
        if (img.Kind() == gxShortText && img.text.size() > 8)
            img.flags = (img.flags & ~0xF0u) | uint32_t(gxLongText) << 4;
        if (!places.insert({img.row, img.column}).second) {
            // A cell already stored at the same place is replaced.
            std::erase_if(image.cells, [&](const GXCellImage& c) { return c.row == img.row && c.column == img.column; });
        }
        image.cells.push_back(std::move(img));
    }

    DeleteContents();
    CGXData::Assign(base);
    gx_set_iterations(m_nSheet, options[0]);
    gx_set_blank_is_zero(m_nSheet, options[1]);
    gx_set_manual_recalc(m_nSheet, options[2]);
    gx_set_recalc_method(m_nSheet, options[3]);
    gx_set_constraint_check(m_nSheet, options[4]);
    RestoreImage(image);
}
