#include "platform/dao/daorecordset.h"

#include "platform/base/collections.h"
#include "platform/base/textcase.h"
#include "platform/dao/daoengine.h"
#include "platform/dao/daotabledef.h"
#include "platform/dao/jetsql.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unordered_map>

IMPLEMENT_DYNAMIC(CDaoRecordset, CObject)

using pvdao::DbValue;

namespace {

enum DfxKind { kText, kLong32, kLong64, kShort, kBool, kByte, kSingle, kDouble, kCurrency, kDate, kBinary };

struct FieldMeta {
    std::string name;    // as the program sees it
    std::string origin;  // column of the table it comes from, empty for an expression
    std::string table;   // that table
    short type = dbText;
    long size = 255;
    bool typed = false;  // type from a declared column type
};

// A cached row keeps its values in one compact byte string: per value a kind byte, then
// 8 bytes for numbers or a 4-byte length and the bytes for text and blobs.
struct Row {
    std::string data;
    int64_t rowid = 0;
    uint64_t gen = 0;
    uint64_t serial = 0;  // changes whenever `data` is written: what a cached offset is tied to
    bool loaded = false;
    bool deleted = false;

    DbValue Get(size_t index) const;
    DbValue ValueAt(size_t offset) const;
    bool TextAt(size_t offset, std::string_view& out) const;
    std::vector<DbValue> All(size_t n) const;
};

// Appends one value: its kind byte, then 8 bytes for a number, or a 4-byte length and the
// bytes for text and blobs, written in place.
void PutEncoded(std::string& out, int kind, const void* p, uint32_t n)
{
    const bool sized = kind == SQLITE_TEXT || kind == SQLITE_BLOB;
    const bool fixed = kind == SQLITE_INTEGER || kind == SQLITE_FLOAT;
    const size_t at = out.size();
    out.resize(at + 1 + (sized ? 4 + size_t(n) : fixed ? 8 : 0));
    char* d = out.data() + at;
    d[0] = char(kind);
    if (fixed) std::memcpy(d + 1, p, 8);
    if (sized) {
        std::memcpy(d + 1, &n, 4);
        if (n) std::memcpy(d + 5, p, n);
    }
}

void Put(std::string& out, const DbValue& v)
{
    switch (v.kind) {
    case SQLITE_INTEGER: PutEncoded(out, v.kind, &v.i, 8); break;
    case SQLITE_FLOAT: PutEncoded(out, v.kind, &v.d, 8); break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: PutEncoded(out, v.kind, v.s.data(), uint32_t(v.s.size())); break;
    default: PutEncoded(out, v.kind, nullptr, 0); break;
    }
}

void PutColumn(std::string& out, sqlite3_stmt* st, int col)
{
    // One look-up of the column's value, not one per call: a screen copies thousands.
    sqlite3_value* v = sqlite3_column_value(st, col);
    const int kind = sqlite3_value_type(v);
    switch (kind) {
    case SQLITE_INTEGER: {
        const int64_t i = sqlite3_value_int64(v);
        PutEncoded(out, kind, &i, 8);
        break;
    }
    case SQLITE_FLOAT: {
        const double x = sqlite3_value_double(v);
        PutEncoded(out, kind, &x, 8);
        break;
    }
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const void* p = kind == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(v)) : sqlite3_value_blob(v);
        PutEncoded(out, kind, p, p ? uint32_t(sqlite3_value_bytes(v)) : 0);
        break;
    }
    default: PutEncoded(out, kind, nullptr, 0); break;
    }
}

// Offset of value `index`, walking on from value `from` at offset `p`; the row's own encoding
// guarantees the bounds.
size_t SkipFrom(const std::string& d, size_t from, size_t p, size_t index)
{
    for (size_t k = from; k < index && p < d.size(); ++k) {
        const int kind = (unsigned char)d[p++];
        if (kind == SQLITE_INTEGER || kind == SQLITE_FLOAT) p += 8;
        else if (kind == SQLITE_TEXT || kind == SQLITE_BLOB) {
            uint32_t n = 0;
            std::memcpy(&n, d.data() + p, 4);
            p += 4 + n;
        }
    }
    return p;
}

DbValue Row::Get(size_t index) const { return ValueAt(SkipFrom(data, 0, 0, index)); }

DbValue Row::ValueAt(size_t p) const
{
    DbValue v;
    if (p >= data.size()) return v;
    v.kind = (unsigned char)data[p++];
    switch (v.kind) {
    case SQLITE_INTEGER: std::memcpy(&v.i, data.data() + p, 8); break;
    case SQLITE_FLOAT: std::memcpy(&v.d, data.data() + p, 8); break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        uint32_t n = 0;
        std::memcpy(&n, data.data() + p, 4);
        v.s.assign(data.data() + p + 4, n);
        break;
    }
    default: v.kind = SQLITE_NULL; break;
    }
    return v;
}

// The text value at offset p where it lies; false for a value of any other kind.
bool Row::TextAt(size_t p, std::string_view& out) const
{
    if (p + 5 > data.size() || (unsigned char)data[p] != SQLITE_TEXT) return false;
    uint32_t n = 0;
    std::memcpy(&n, data.data() + p + 1, 4);
    if (n > data.size() - p - 5) return false;
    out = std::string_view(data.data() + p + 5, n);
    return true;
}

std::vector<DbValue> Row::All(size_t n) const
{
    std::vector<DbValue> out;
    out.reserve(n);
    for (size_t i = 0, p = 0; i < n; p = SkipFrom(data, i, p, i + 1), ++i) out.push_back(ValueAt(p));
    return out;
}

std::string StripBrackets(std::string_view s)
{
    std::string r;
    for (char c : s)
        if (c != '[' && c != ']') r += c;
    return r;
}

bool Truthy(const DbValue& v)
{
    switch (v.kind) {
    case SQLITE_INTEGER: return v.i != 0;
    case SQLITE_FLOAT: return v.d != 0;
    case SQLITE_TEXT: return std::strtod(v.s.c_str(), nullptr) != 0;
    default: return false;
    }
}

int64_t AsInt(const DbValue& v)
{
    switch (v.kind) {
    case SQLITE_INTEGER: return v.i;
    case SQLITE_FLOAT: return std::isfinite(v.d) ? (int64_t)std::llround(v.d) : 0;
    case SQLITE_TEXT: return std::strtoll(v.s.c_str(), nullptr, 10);
    default: return 0;
    }
}

double AsReal(const DbValue& v)
{
    switch (v.kind) {
    case SQLITE_INTEGER: return double(v.i);
    case SQLITE_FLOAT: return v.d;
    case SQLITE_TEXT: return std::strtod(v.s.c_str(), nullptr);
    default: return 0;
    }
}

std::string AsText(const DbValue& v)
{
    char buf[64];
    switch (v.kind) {
    case SQLITE_INTEGER: return std::to_string(v.i);
    case SQLITE_FLOAT: std::snprintf(buf, sizeof buf, "%.15g", v.d); return buf;
    case SQLITE_TEXT:
    case SQLITE_BLOB: return v.s;
    default: return {};
    }
}

DbValue Int(int64_t i)
{
    DbValue v;
    v.kind = SQLITE_INTEGER;
    v.i = i;
    return v;
}
DbValue Real(double d)
{
    DbValue v;
    v.kind = SQLITE_FLOAT;
    v.d = d;
    return v;
}
DbValue Text(std::string s, int kind = SQLITE_TEXT)
{
    DbValue v;
    v.kind = kind;
    v.s = std::move(s);
    return v;
}

COleVariant NullVariant()
{
    COleVariant v;
    v.vt = VT_NULL;
    return v;
}

COleVariant ToVariant(const DbValue& v, short type)
{
    if (v.IsNull()) return NullVariant();
    switch (type) {
    case dbBoolean: return COleVariant(short(Truthy(v) ? -1 : 0), VT_BOOL);
    case dbByte: return COleVariant(BYTE(AsInt(v)));
    case dbInteger: return COleVariant(short(AsInt(v)), VT_I2);
    case dbLong: return COleVariant(long(int32_t(AsInt(v))), VT_I4);
    case dbCurrency: {
        CY cy;
        cy.int64 = v.kind == SQLITE_INTEGER ? v.i * 10000 : (int64_t)std::llround(AsReal(v) * 10000.0);
        return COleVariant(COleCurrency(cy));
    }
    case dbSingle: return COleVariant(float(AsReal(v)));
    case dbDouble: return COleVariant(AsReal(v));
    case dbDate: return COleVariant(AsReal(v), VT_DATE);
    case dbLongBinary:
    case dbBinary: return COleVariant(reinterpret_cast<const BYTE*>(v.s.data()), v.s.size());
    default: return COleVariant(CString(AsText(v)));
    }
}

// The types ToVariant answers as text.
bool IsTextType(short type)
{
    switch (type) {
    case dbBoolean: case dbByte: case dbInteger: case dbLong: case dbCurrency: case dbSingle: case dbDouble:
    case dbDate: case dbLongBinary: case dbBinary: return false;
    default: return true;
    }
}

[[noreturn]] void ThrowConversion(const std::string& field)
{
    PvThrowDaoError(JET_ERR_CONVERSION, "Data type conversion error: field '" + field + "'.");
}

// The value a variant gives a field of the type, as the engine stores it.
DbValue FromVariant(const VARIANT& var, const FieldMeta& f)
{
    if (var.vt == VT_NULL || var.vt == VT_EMPTY) return DbValue();
    COleVariant v(var);
    try {
        switch (f.type) {
        case dbBoolean: v.ChangeType(VT_BOOL); return Int(v.boolVal ? -1 : 0);
        case dbByte: v.ChangeType(VT_UI1); return Int(v.bVal);
        case dbInteger: v.ChangeType(VT_I2); return Int(v.iVal);
        case dbLong: v.ChangeType(VT_I4); return Int(v.lVal);
        case dbCurrency: v.ChangeType(VT_CY); return Real(double(v.cyVal.int64) / 10000.0);
        case dbSingle: v.ChangeType(VT_R4); return Real(v.fltVal);
        case dbDouble: v.ChangeType(VT_R8); return Real(v.dblVal);
        case dbDate: v.ChangeType(VT_DATE); return Real(v.date);
        case dbLongBinary:
        case dbBinary: {
            std::vector<BYTE> bytes;
            if (v.GetByteArray(bytes)) return Text(std::string(bytes.begin(), bytes.end()), SQLITE_BLOB);
            v.ChangeType(VT_BSTR);
            return Text(std::string(v.bstrVal, SysStringLen(v.bstrVal)), SQLITE_BLOB);
        }
        default: {
            v.ChangeType(VT_BSTR);
            std::string s(v.bstrVal ? v.bstrVal : "", v.bstrVal ? SysStringLen(v.bstrVal) : 0);
            if (f.type == dbText && f.size > 0 && pvdao::CharCount(s) > size_t(f.size))
                PvThrowDaoError(JET_ERR_FIELD_TOO_SMALL, "The field is too small to accept the amount of data you attempted to "
                                                         "add.  Try inserting or pasting less data. (field '" + f.name + "')");
            return Text(std::move(s));
        }
        }
    } catch (const COleException&) {
        ThrowConversion(f.name);
    }
}

[[noreturn]] void NoCurrentRecord() { PvThrowDaoError(JET_ERR_NO_CURRENT_RECORD, "No current record."); }
[[noreturn]] void RecordDeleted() { PvThrowDaoError(JET_ERR_RECORD_DELETED, "Record is deleted."); }
[[noreturn]] void NotOpen() { PvThrowDaoError(JET_ERR_OBJECT_CLOSED, "Object invalid or no longer set: the recordset is not open."); }

bool IsSelectText(const std::string& sql)
{
    std::vector<pvjet::Token> toks;
    pvjet::Tokenize(sql, toks);
    for (const auto& t : toks) {
        if (t.kind == pvjet::TokKind::Space || (t.kind == pvjet::TokKind::Punct && t.text == "(")) continue;
        if (t.kind != pvjet::TokKind::Word) return false;
        const std::string u = pvjet::UpperWord(t.text);
        return u == "SELECT" || u == "TRANSFORM" || u == "PARAMETERS";
    }
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------

struct CDaoRecordset::Impl : pvdao::LiveCursor {
    enum State { BOF, ON, AT_EOF };

    pvdao::Connection* conn = nullptr;
    bool tableMode = false;
    bool keyset = false;       // a dynaset that reads rowids first and each row when needed
    bool refreshable = false;  // rows are re-read after changes (dynasets and tables)
    bool updatable = false;
    std::string jetText;       // GetSQL
    std::string baseText;      // statement or table as opened, before filter and sort
    bool baseIsTable = false;
    std::string table;         // the one table rows come from, when there is one
    bool hasRowid = false;
    std::vector<FieldMeta> fields;
    std::vector<bool> fromTable;  // field is a plain column of `table`

    pvdao::Stmt live;          // rows (dynaset, snapshot) or rowids (table) still to read
    bool endSeen = false;
    // A deque: growing to the last of 100,000 rows never copies the ones before, and a
    // reference to a row stays good while more are read.
    std::deque<Row> rows;
    size_t rowSizeHint = 64;
    uint64_t serials = 0;
    // Where the last field read lies: a screen reads a row's fields in turn, and each walk
    // then goes on from there instead of from the row's first field.
    struct FieldCursor {
        const Row* row = nullptr;
        uint64_t serial = 0;
        size_t index = 0, offset = 0;
    } fieldCursor;
    pvdao::Stmt rowStmt;       // one row by rowid
    std::string rowSql;        // its text, where it is made when first needed

    // A keyset over a whole table with no order of its own counts its records from the
    // narrowest index but places them in rowid order, so its first screen reads the table's
    // first pages instead of a page per row; a position learns its rowid when first needed.
    bool rowidOrder = false;
    pvdao::Stmt ordered;            // the rowid, then the fields, ascending: places positions
    size_t placed = 0;              // rows[0, placed) know their rowid while the count runs
    std::vector<int64_t> counted;   // what the count has read, in its own order
    // Positions deleted once the order was whole, in turn: a bookmark taken by position
    // before then finds its record through them.
    std::vector<long> erased;

    State state = BOF;
    long cur = -1;
    bool curDeleted = false;   // the current record was deleted through this recordset
    long maxAccessed = -1;

    // A record Seek found before its place in the order is known: reading its fields never
    // walks the order up to it; whatever needs the place finds it first (Settle).
    bool floating = false;
    Row floatRow;

    std::string index;
    std::vector<std::pair<std::string, bool>> indexCols;
    uint64_t keysetGen = 0;
    uint64_t openSerial = 0;

    int editMode = dbEditNone;
    std::vector<DbValue> buf;
    std::vector<bool> dirty;
    bool hasLastModified = false;
    int64_t lastModified = 0;

    std::unordered_map<int64_t, long> rowIndex;
    size_t indexedUpTo = 0;

    struct Binding {
        int field;
        int kind;
        void* pv;
        DbValue saved;
    };
    std::vector<Binding> bindings;

    ~Impl() override
    {
        if (conn) conn->Unregister(this);
    }

    void DrainLive() override
    {
        while (FetchOne()) {
        }
    }

    // Reads one more row (or rowid) from the live statement; false at the end.
    bool FetchOne()
    {
        if (endSeen) return false;
        const int rc = sqlite3_step(live);
        if (rc == SQLITE_ROW) {
            Row r;
            if (rowidOrder) {
                counted.push_back(sqlite3_column_int64(live, 0));
            } else if (tableMode || keyset) {
                r.rowid = sqlite3_column_int64(live, 0);
            } else {
                const int n = int(fields.size());
                r.data.reserve(rowSizeHint);
                for (int i = 0; i < n; ++i) PutColumn(r.data, live, i);
                rowSizeHint = std::max(rowSizeHint, r.data.size());
                if (hasRowid) r.rowid = sqlite3_column_int64(live, n);
                r.loaded = true;
                r.gen = conn->generation;
                r.serial = ++serials;
            }
            rows.push_back(std::move(r));
            return true;
        }
        endSeen = true;
        live.reset(nullptr);  // ends the read and frees the statement
        if (rowidOrder) PlaceAll();
        if (rc != SQLITE_DONE) conn->Fail(rc, jetText);
        return false;
    }

    // The count has read every rowid: sorted, they are the whole order.
    void PlaceAll()
    {
        ordered.reset(nullptr);
        std::sort(counted.begin(), counted.end());
        for (size_t k = 0; k < rows.size() && k < counted.size(); ++k) {
            if (rows[k].rowid == counted[k] && k < placed) continue;
            rows[k].rowid = counted[k];
            rows[k].loaded = false;
        }
        placed = rows.size();
        std::vector<int64_t>().swap(counted);
    }

    // Steps the ascending read up to position i; a far jump reads the rest of the count
    // instead, which costs an index page where the ascending read costs a table page.
    void Place(size_t i)
    {
        constexpr size_t kFarJump = 2000;
        if (i - placed > kFarJump) {
            DrainLive();
            return;
        }
        while (placed <= i) {
            const int rc = sqlite3_step(ordered);
            if (rc != SQLITE_ROW) {
                if (rc != SQLITE_DONE) conn->Fail(rc, jetText);
                DrainLive();  // the two reads disagree: the sorted count settles it
                return;
            }
            Row& r = rows[placed++];
            r.rowid = sqlite3_column_int64(ordered, 0);
            r.loaded = false;
            if (placed <= i) continue;
            // The row asked for: its fields are under the cursor already.
            r.data.clear();
            r.data.reserve(rowSizeHint);
            for (int f = 0; f < int(fields.size()); ++f) PutColumn(r.data, ordered, f + 1);
            rowSizeHint = std::max(rowSizeHint, r.data.size());
            r.loaded = true;
            r.gen = conn->generation;
            r.serial = ++serials;
        }
    }

    size_t OffsetOf(const Row& r, size_t index)
    {
        FieldCursor& c = fieldCursor;
        const bool onward = c.row == &r && r.serial != 0 && c.serial == r.serial && index >= c.index;
        const size_t p = SkipFrom(r.data, onward ? c.index : 0, onward ? c.offset : 0, index);
        c = FieldCursor{&r, r.serial, index, p};
        return p;
    }

    // The row at a position that exists, its rowid known.
    Row& RowAt(long i)
    {
        if (rowidOrder && !endSeen && size_t(i) >= placed) Place(size_t(i));
        return rows[size_t(i)];
    }

    bool Ensure(long i)
    {
        while (long(rows.size()) <= i && FetchOne()) {
        }
        return i >= 0 && i < long(rows.size());
    }

    bool Empty()
    {
        SyncTable();
        return !Ensure(0);
    }

    void GoTo(long i)
    {
        floating = false;
        curDeleted = false;
        if (i < 0) {
            state = BOF;
            cur = -1;
        } else if (!Ensure(i)) {
            state = AT_EOF;
            cur = long(rows.size());
        } else {
            state = ON;
            cur = i;
            maxAccessed = std::max(maxAccessed, i);
        }
    }

    // Loads a table row, or re-reads a cached one that a change may have touched.
    void EnsureRow(Row& r)
    {
        if (r.deleted) return;
        if (r.loaded && (!refreshable || r.gen == conn->generation)) return;
        if (!rowStmt.st && !rowSql.empty()) rowStmt.reset(conn->Prepare(rowSql, jetText));
        if (!rowStmt.st) return;
        sqlite3_reset(rowStmt);
        sqlite3_bind_int64(rowStmt, 1, r.rowid);
        const int rc = sqlite3_step(rowStmt);
        if (rc == SQLITE_ROW) {
            const int n = int(fields.size());
            std::string fresh;
            for (int i = 0; i < n; ++i) {
                if (tableMode || keyset || fromTable[size_t(i)]) PutColumn(fresh, rowStmt, i);
                else Put(fresh, r.loaded ? r.Get(size_t(i)) : DbValue());  // an expression keeps its value
            }
            r.data.swap(fresh);
            r.serial = ++serials;
        } else if (rc == SQLITE_DONE) {
            r.deleted = true;
        } else {
            sqlite3_reset(rowStmt);
            conn->Fail(rc, jetText);
        }
        sqlite3_reset(rowStmt);
        r.loaded = true;
        r.gen = conn->generation;
    }

    Row& Current()
    {
        if (floating) {
            EnsureRow(floatRow);
            if (floatRow.deleted) RecordDeleted();
            return floatRow;
        }
        SyncTable();
        if (curDeleted) RecordDeleted();
        if (state != ON) NoCurrentRecord();
        Row& r = RowAt(cur);
        EnsureRow(r);
        if (r.deleted) RecordDeleted();
        return r;
    }

    long FindRowid(int64_t id)
    {
        if (rowidOrder && !endSeen) {
            // The placed positions ascend: a rowid among them is found there, one past them
            // needs the rest of the order.
            const auto end = rows.begin() + long(placed);
            const auto it = std::lower_bound(rows.begin(), end, id, [](const Row& r, int64_t v) { return r.rowid < v; });
            if (it != end) return it->rowid == id ? long(it - rows.begin()) : -1;
            DrainLive();
        }
        for (; indexedUpTo < rows.size(); ++indexedUpTo) rowIndex[rows[indexedUpTo].rowid] = long(indexedUpTo);
        auto it = rowIndex.find(id);
        if (it != rowIndex.end()) return it->second;
        while (FetchOne()) {
            const long i = long(rows.size()) - 1;
            rowIndex[rows.back().rowid] = i;
            indexedUpTo = rows.size();
            if (rows.back().rowid == id) return i;
        }
        return -1;
    }

    void ForgetRowIndex()
    {
        rowIndex.clear();
        indexedUpTo = 0;
    }

    // Table recordsets see every change: after one, the order is read again and the
    // current record found by its rowid.
    // The sought record takes its place in the order.
    void Settle()
    {
        if (!floating) return;
        floating = false;
        if (keysetGen != conn->generation) StartKeyset();
        const long i = FindRowid(floatRow.rowid);
        state = ON;
        curDeleted = i < 0;
        cur = i < 0 ? 0 : i;
    }

    void SyncTable()
    {
        Settle();
        if (!tableMode || keysetGen == conn->generation) return;
        const bool had = state == ON && !curDeleted;
        const int64_t id = had ? rows[size_t(cur)].rowid : 0;
        StartKeyset();
        if (had) {
            const long i = FindRowid(id);
            if (i >= 0) {
                state = ON;
                cur = i;
            } else {
                curDeleted = true;
            }
        } else if (state == AT_EOF) {
            DrainLive();
            cur = long(rows.size());
        }
    }

    void StartKeyset()
    {
        std::string sql = "SELECT _ROWID_ FROM " + pvjet::QuoteName(table) + " ORDER BY ";
        for (const auto& c : indexCols) sql += pvjet::QuoteName(c.first) + (c.second ? " DESC, " : ", ");
        sql += "_ROWID_";
        live.reset(nullptr);
        live.reset(conn->Prepare(sql, table));
        rows.clear();
        endSeen = false;
        ForgetRowIndex();
        keysetGen = conn->generation;
    }

    int FieldIndex(std::string_view nameIn) const
    {
        const std::string name = StripBrackets(nameIn);
        for (size_t i = 0; i < fields.size(); ++i)
            if (PvCompareNoCase(fields[i].name, name) == 0) return int(i);
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos) {
            const std::string t = name.substr(0, dot), f = name.substr(dot + 1);
            for (size_t i = 0; i < fields.size(); ++i)
                if (PvCompareNoCase(fields[i].origin, f) == 0 && PvCompareNoCase(fields[i].table, t) == 0) return int(i);
            for (size_t i = 0; i < fields.size(); ++i)
                if (PvCompareNoCase(fields[i].name, f) == 0) return int(i);
        }
        return -1;
    }

    int RequireField(std::string_view name) const
    {
        const int i = FieldIndex(name);
        if (i < 0) PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: field '" + std::string(name) + "'.");
        return i;
    }

    void RequireIndex(int i) const
    {
        if (i < 0 || i >= int(fields.size()))
            PvThrowDaoError(JET_ERR_ITEM_NOT_FOUND, "Item not found in this collection: field number " + std::to_string(i) + ".");
    }

    // Describes the fields from columns first .. first + n - 1 of a statement.
    void ReadFields(sqlite3_stmt* st, int n, int first = 0)
    {
        fields.clear();
        fromTable.clear();
        for (int k = 0; k < n; ++k) {
            const int i = first + k;
            FieldMeta f;
            const char* nm = sqlite3_column_name(st, i);
            f.name = nm ? nm : "";
            const char* org = sqlite3_column_origin_name(st, i);
            const char* tbl = sqlite3_column_table_name(st, i);
            f.origin = org ? org : "";
            f.table = tbl ? tbl : "";
            const char* decl = sqlite3_column_decltype(st, i);
            const pvdao::DaoType t = pvdao::DaoTypeFromDecl(decl, SQLITE_TEXT);
            f.type = t.type;
            f.size = t.size;
            f.typed = decl != nullptr;
            fromTable.push_back(!f.origin.empty() && !table.empty() && PvCompareNoCase(f.table, table) == 0);
            fields.push_back(std::move(f));
        }
        // Jet names a column "table.field" where two tables give the same name.
        std::vector<std::string> upper;
        std::unordered_map<std::string, int> uses;
        for (const auto& f : fields) ++uses[upper.emplace_back(PvUpperCase(f.name))];
        for (size_t i = 0; i < fields.size(); ++i) {
            if (uses[upper[i]] > 1 && !fields[i].table.empty())
                fields[i].name = fields[i].table + "." + fields[i].origin;
        }
    }

    // Fields without a declared type take the type of their first value.
    void SettleTypes()
    {
        if (rows.empty() || tableMode) return;
        if (std::all_of(fields.begin(), fields.end(), [](const FieldMeta& f) { return f.typed; })) return;
        Row& first = RowAt(0);
        EnsureRow(first);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].typed) continue;
            const DbValue v = first.Get(i);
            if (v.IsNull()) continue;
            const pvdao::DaoType t = pvdao::DaoTypeFromDecl(nullptr, v.kind);
            fields[i].type = t.type;
            fields[i].size = t.size;
        }
    }
};

// ---------------------------------------------------------------------------------------

CDaoRecordset::CDaoRecordset(CDaoDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CDaoRecordset::~CDaoRecordset() { Close(); }

CString CDaoRecordset::GetDefaultDBName() { return CString(); }
CString CDaoRecordset::GetDefaultSQL() { return CString(); }
void CDaoRecordset::DoFieldExchange(CDaoFieldExchange* pFX) { (void)pFX; }

BOOL CDaoRecordset::IsOpen() const { return m_pImpl != nullptr; }

void CDaoRecordset::Close()
{
    if (!m_pImpl) return;
    if (m_pDatabase) m_pDatabase->PvDetach(this);
    m_pImpl.reset();
    m_nOpenType = 0;
    if (m_bOwnDatabase) {
        delete m_pDatabase;
        m_pDatabase = nullptr;
        m_bOwnDatabase = FALSE;
    }
}

void CDaoRecordset::Open(CDaoTableDef* pTableDef, int nOpenType, int nOptions)
{
    (void)nOptions;
    if (!pTableDef || !pTableDef->IsOpen()) NotOpen();
    Close();
    m_pDatabase = pTableDef->m_pDatabase;
    OpenSQL(nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? dbOpenTable : nOpenType, pTableDef->GetName(), true);
}

void CDaoRecordset::Open(int nOpenType, LPCTSTR lpszSQL, int nOptions)
{
    (void)nOptions;
    Close();
    if (!m_pDatabase) {
        auto db = std::make_unique<CDaoDatabase>();
        db->Open(GetDefaultDBName());
        m_pDatabase = db.release();
        m_bOwnDatabase = TRUE;
    }
    CString sql = lpszSQL ? CString(lpszSQL) : GetDefaultSQL();
    sql.Trim();
    const bool isTable = !IsSelectText(sql.str());
    try {
        OpenSQL(nOpenType == AFX_DAO_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType, isTable ? CString(StripBrackets(sql.view())) : sql, isTable);
    } catch (...) {
        Close();
        if (m_bOwnDatabase) {
            delete m_pDatabase;
            m_pDatabase = nullptr;
            m_bOwnDatabase = FALSE;
        }
        throw;
    }
}

void CDaoRecordset::OpenSQL(int nOpenType, const CString& text, bool isTable)
{
    pvdao::Connection& c = m_pDatabase->PvRequireOpen();
    if (nOpenType != dbOpenTable && nOpenType != dbOpenDynaset && nOpenType != dbOpenSnapshot && nOpenType != dbOpenForwardOnly)
        PvThrowDaoError(JET_ERR_INVALID_ARGUMENT, "Invalid argument: recordset type " + std::to_string(nOpenType) + ".");
    if (nOpenType == dbOpenForwardOnly) nOpenType = dbOpenSnapshot;
    auto impl = std::make_unique<Impl>();
    impl->conn = &c;
    impl->baseText = text.str();
    impl->baseIsTable = isTable;
    static uint64_t serial = 0;
    impl->openSerial = ++serial;

    if (nOpenType == dbOpenTable) {
        if (!isTable) PvThrowDaoError(3219, "Invalid operation: a table recordset needs a table name, not '" + text.str() + "'.");
        impl->table = pvdao::FindTable(c, text.str());
        if (impl->table.empty())
            PvThrowDaoError(JET_ERR_TABLE_NOT_FOUND, "The database engine cannot find the input table or query '" +
                                                         text.str() + "'.  Make sure it exists and that its name is spelled correctly.");
        impl->tableMode = true;
        impl->refreshable = true;
        impl->hasRowid = true;
        impl->updatable = !c.readOnly;
        impl->jetText = impl->table;
        const std::string all = "SELECT * FROM " + pvjet::QuoteName(impl->table);
        pvdao::Stmt meta(c.Prepare(all, all));
        impl->ReadFields(meta, sqlite3_column_count(meta));
        impl->rowStmt.reset(c.Prepare(all + " WHERE _ROWID_ = ?", all));
        impl->StartKeyset();
    } else {
        const std::string base = isTable ? "SELECT * FROM " + pvjet::QuoteName(text.str()) : text.str();
        impl->jetText = pvjet::ApplyFilterAndSort(base, m_strFilter.str(), m_strSort.str());
        std::vector<pvjet::Token> toks;
        std::string why;
        if (!pvjet::Tokenize(impl->jetText, toks, &why))
            PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (" + why + ") in query expression '" + impl->jetText + "'.");
        const pvjet::SelectShape sh = pvjet::AnalyzeSelect(toks);
        const bool oneTable = sh.isSelect && sh.singleTable && !sh.distinct && !sh.compound && !sh.aggregate &&
                              sh.groupTok == pvjet::SelectShape::npos;
        // A dynaset over one table is a keyset, as Jet's are: the statement yields rowids in
        // its order (often from an index alone), and a row's fields are read when it is shown.
        // ORDER BY 2 names a column of the select list, which the keyset statement lacks
        bool ordinalOrder = false;
        if (sh.orderTok != pvjet::SelectShape::npos) {
            const pvjet::Token* prevTok = nullptr;
            for (size_t k = sh.orderTok + 1; k < toks.size(); ++k) {
                if (toks[k].kind == pvjet::TokKind::Space) continue;
                if (toks[k].kind == pvjet::TokKind::Number && prevTok &&
                    (pvjet::IsWord(*prevTok, "BY") || prevTok->text == ","))
                    ordinalOrder = true;
                prevTok = &toks[k];
            }
        }
        if (oneTable && !ordinalOrder && nOpenType == dbOpenDynaset) {
            const std::string& jet = impl->jetText;
            const size_t fromPos = toks[sh.fromTok].pos;
            size_t fromEnd = jet.size();
            for (size_t k : {sh.whereTok, sh.groupTok, sh.havingTok, sh.orderTok})
                if (k != pvjet::SelectShape::npos && toks[k].pos > fromPos && toks[k].pos < fromEnd) fromEnd = toks[k].pos;
            size_t selectEnd = 0;
            for (const pvjet::Token& t : toks)
                if (t.kind == pvjet::TokKind::Word) {
                    selectEnd = t.end;
                    break;
                }
            const std::string rowid = pvjet::QuoteName(sh.qualifier) + "._ROWID_";
            const pvjet::Translation keys = pvjet::Translate("SELECT " + rowid + " " + jet.substr(fromPos));
            const pvjet::Translation one = pvjet::Translate("SELECT" + jet.substr(selectEnd, fromPos - selectEnd) + " " +
                                                            jet.substr(fromPos, fromEnd - fromPos) + " WHERE " + rowid + " = ?");
            const pvjet::Translation all = pvjet::Translate(jet);
            const bool unordered = sh.whereTok == pvjet::SelectShape::npos && sh.orderTok == pvjet::SelectShape::npos;
            const pvjet::Translation ordered =
                unordered ? pvjet::Translate("SELECT " + rowid + "," + jet.substr(selectEnd, fromPos - selectEnd) + " " +
                                             jet.substr(fromPos, fromEnd - fromPos) + " ORDER BY " + rowid)
                          : pvjet::Translation{};
            const bool byRowid = unordered && ordered.error.empty();
            // The statement that reads rows has the whole statement's fields: it describes them.
            sqlite3_stmt *ks = nullptr, *fs = nullptr;
            if (keys.error.empty() && one.error.empty() && all.error.empty() &&
                sqlite3_prepare_v2(c.db, keys.sql.c_str(), -1, &ks, nullptr) == SQLITE_OK &&
                sqlite3_prepare_v2(c.db, (byRowid ? ordered.sql : one.sql).c_str(), -1, &fs, nullptr) == SQLITE_OK && ks && fs) {
                const int first = byRowid ? 1 : 0;
                const int n = sqlite3_column_count(fs) - first;
                // A field of the table names it as stored, which spares a look in the schema.
                for (int i = 0; i < n && impl->table.empty(); ++i) {
                    const char* t = sqlite3_column_table_name(fs, first + i);
                    if (t && PvCompareNoCase(t, sh.table) == 0) impl->table = t;
                }
                if (impl->table.empty()) impl->table = pvdao::FindTable(c, sh.table);
                impl->keyset = impl->hasRowid = true;
                impl->live.reset(ks);
                impl->ReadFields(fs, n, first);
                impl->rowSql = one.sql;
                impl->refreshable = !impl->table.empty();
                impl->updatable = impl->refreshable && !c.readOnly;
                impl->rowidOrder = byRowid && impl->refreshable;
                if (impl->rowidOrder) impl->ordered.reset(fs);
                else if (!byRowid) impl->rowStmt.reset(fs);
                else sqlite3_finalize(fs);
            } else {
                for (sqlite3_stmt* x : {ks, fs})
                    if (x) sqlite3_finalize(x);
            }
        }
        sqlite3_stmt* st = nullptr;
        // A query over one table carries the rowid along: it is what bookmarks, Edit and
        // Delete find the row by.
        if (!impl->keyset && oneTable) {
            std::string withRowid = impl->jetText;
            withRowid.insert(toks[sh.fromTok].pos, ", " + pvjet::QuoteName(sh.qualifier) + "._ROWID_ ");
            const pvjet::Translation tr = pvjet::Translate(withRowid);
            if (tr.error.empty() && sqlite3_prepare_v2(c.db, tr.sql.c_str(), -1, &st, nullptr) == SQLITE_OK && st) {
                impl->hasRowid = true;
                impl->table = pvdao::FindTable(c, sh.table);
            } else if (st) {
                sqlite3_finalize(st);
                st = nullptr;
            }
        }
        if (!st && !impl->keyset) {
            const pvjet::Translation tr = pvjet::Translate(impl->jetText);
            if (!tr.error.empty())
                PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (" + tr.error + ") in query expression '" + impl->jetText + "'.");
            if (!sh.isSelect && !tr.verb.empty() && tr.verb != "TRANSFORM" && tr.verb != "PARAMETERS")
                PvThrowDaoError(3129, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.");
            st = c.Prepare(tr.sql, impl->jetText);
        }
        if (!impl->keyset) {
            impl->live.reset(st);
            const int n = sqlite3_column_count(st) - (impl->hasRowid ? 1 : 0);
            impl->ReadFields(st, n);
            impl->refreshable = nOpenType == dbOpenDynaset && impl->hasRowid && !impl->table.empty();
            impl->updatable = impl->refreshable && !c.readOnly;
        }
        if (!impl->keyset && impl->hasRowid && !impl->table.empty()) {
            std::string sql = "SELECT ";
            for (size_t i = 0; i < impl->fields.size(); ++i) {
                if (i) sql += ", ";
                sql += impl->fromTable[i] ? pvjet::QuoteName(impl->fields[i].origin) : std::string("NULL");
            }
            if (impl->fields.empty()) sql += "NULL";
            sql += " FROM " + pvjet::QuoteName(impl->table) + " WHERE _ROWID_ = ?";
            sqlite3_stmt* rs = nullptr;
            if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &rs, nullptr) == SQLITE_OK) impl->rowStmt.reset(rs);
            else if (rs) sqlite3_finalize(rs);
            if (!impl->rowStmt.st) impl->refreshable = impl->updatable = false;
        }
    }
    m_nOpenType = nOpenType;
    c.Register(impl.get());
    m_pImpl = std::move(impl);
    m_pDatabase->PvAttach(this);
    try {
        m_pImpl->GoTo(0);
        m_pImpl->SettleTypes();
        if (m_nFields > 0) RunFieldExchange(CDaoFieldExchange::BindField);
        AfterMove();
    } catch (...) {
        Close();
        throw;
    }
}

void CDaoRecordset::Requery()
{
    if (!m_pImpl) NotOpen();
    const std::string base = m_pImpl->baseText;
    const bool isTable = m_pImpl->baseIsTable;
    const int type = m_nOpenType;
    const std::string index = m_pImpl->index;
    const bool hadLast = m_pImpl->hasLastModified;
    const int64_t last = m_pImpl->lastModified;
    m_pDatabase->PvDetach(this);
    m_pImpl.reset();
    OpenSQL(type, CString(base), isTable);
    m_pImpl->hasLastModified = hadLast;
    m_pImpl->lastModified = last;
    if (!index.empty()) SetCurrentIndex(index.c_str());
}

CString CDaoRecordset::GetSQL() const { return m_pImpl ? CString(m_pImpl->jetText) : CString(); }

CString CDaoRecordset::GetName() const
{
    if (!m_pImpl) return CString();
    return CString(m_pImpl->tableMode || m_pImpl->baseIsTable ? m_pImpl->baseText : m_pImpl->jetText);
}

BOOL CDaoRecordset::CanUpdate() const { return m_pImpl && m_pImpl->updatable; }
BOOL CDaoRecordset::CanAppend() const { return CanUpdate(); }

// ---- navigation ----

// Asked twice for every cell a grid shows: on a record of a query there is nothing to settle.
BOOL CDaoRecordset::IsBOF() const
{
    if (!m_pImpl) NotOpen();
    const Impl& m = *m_pImpl;
    if (m.state == Impl::ON && !m.curDeleted && !m.floating && !m.tableMode) return FALSE;
    return m.state == Impl::BOF || m_pImpl->Empty();
}

BOOL CDaoRecordset::IsEOF() const
{
    if (!m_pImpl) NotOpen();
    const Impl& m = *m_pImpl;
    if (m.state == Impl::ON && !m.curDeleted && !m.floating && !m.tableMode) return FALSE;
    return m.state == Impl::AT_EOF || m_pImpl->Empty();
}

BOOL CDaoRecordset::IsDeleted() const
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.SyncTable();
    if (m.curDeleted) return TRUE;
    if (m.state != Impl::ON) return FALSE;
    Row& r = m.RowAt(m.cur);
    m.EnsureRow(r);
    return r.deleted;
}

void CDaoRecordset::MoveFirst()
{
    if (!m_pImpl) NotOpen();
    m_pImpl->floating = false;
    if (m_pImpl->Empty()) NoCurrentRecord();
    m_pImpl->GoTo(0);
    AfterMove();
}

void CDaoRecordset::MoveLast()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.floating = false;
    m.SyncTable();
    m.DrainLive();
    if (m.rows.empty()) NoCurrentRecord();
    m.GoTo(long(m.rows.size()) - 1);
    AfterMove();
}

void CDaoRecordset::MoveNext()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.SyncTable();
    if (m.state == Impl::AT_EOF || m.Empty()) NoCurrentRecord();
    m.GoTo(m.state == Impl::BOF ? 0 : m.curDeleted ? m.cur : m.cur + 1);
    AfterMove();
}

void CDaoRecordset::MovePrev()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.SyncTable();
    if (m.state == Impl::BOF || m.Empty()) NoCurrentRecord();
    if (m.state == Impl::AT_EOF) {
        m.DrainLive();
        m.GoTo(long(m.rows.size()) - 1);
    } else {
        m.GoTo(m.cur - 1);
    }
    AfterMove();
}

void CDaoRecordset::Move(long lRows)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.SyncTable();
    // From BOF or EOF a move back into the records is allowed; further past them is not.
    if (m.Empty() || (m.state == Impl::BOF && lRows <= 0) || (m.state == Impl::AT_EOF && lRows >= 0)) NoCurrentRecord();
    if (lRows == 0 && m.curDeleted) RecordDeleted();
    long base = m.cur;
    if (m.state == Impl::BOF) base = -1;
    if (m.state == Impl::AT_EOF) {
        m.DrainLive();
        base = long(m.rows.size());
    }
    long target = base + lRows;
    if (m.curDeleted && lRows > 0) --target;
    m.GoTo(target < 0 ? -1 : target);
    AfterMove();
}

long CDaoRecordset::GetRecordCount()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (m.tableMode) {
        m.SyncTable();
        if (m.endSeen) return long(m.rows.size());
        pvdao::Stmt st(m.conn->Prepare("SELECT count(*) FROM " + pvjet::QuoteName(m.table), m.table));
        return sqlite3_step(st) == SQLITE_ROW ? long(sqlite3_column_int64(st, 0)) : 0;
    }
    return m.maxAccessed + 1;
}

long CDaoRecordset::GetAbsolutePosition()
{
    if (!m_pImpl) NotOpen();
    m_pImpl->SyncTable();
    return m_pImpl->state == Impl::ON && !m_pImpl->curDeleted && m_pImpl->editMode != dbEditAdd ? m_pImpl->cur : -1;
}

void CDaoRecordset::SetAbsolutePosition(long lPosition)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.floating = false;
    m.SyncTable();
    if (lPosition < 0 || !m.Ensure(lPosition))
        PvThrowDaoError(JET_ERR_INVALID_ARGUMENT, "Invalid argument: there is no record at position " + std::to_string(lPosition) + ".");
    m.GoTo(lPosition);
    AfterMove();
}

// ---- bookmarks: the row's rowid where it has one, else its position ----

COleVariant CDaoRecordset::GetBookmark()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (m.rowidOrder && !m.endSeen && !m.floating && m.state == Impl::ON && !m.curDeleted && size_t(m.cur) >= m.placed) {
        // Not placed yet: the position serves, tied to this opening of the recordset, so
        // walking a block of records never reads their table pages.
        BYTE data[17];
        data[0] = 'L';
        const int64_t pos = m.cur;
        std::memcpy(data + 1, &pos, 8);
        std::memcpy(data + 9, &m.openSerial, 8);
        return COleVariant(data, sizeof data);
    }
    const Row& r = m.Current();
    BYTE data[9];
    data[0] = m.hasRowid ? 'R' : 'P';
    const int64_t v = m.hasRowid ? r.rowid : int64_t(m.cur);
    std::memcpy(data + 1, &v, 8);
    return COleVariant(data, sizeof data);
}

void CDaoRecordset::SetBookmark(COleVariant varBookmark)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    std::vector<BYTE> data;
    const bool bytes = varBookmark.GetByteArray(data);
    const bool byPlace = bytes && m.rowidOrder && data.size() == 17 && data[0] == 'L';
    if (!byPlace && (!bytes || data.size() != 9 || data[0] != (m.hasRowid ? 'R' : 'P')))
        PvThrowDaoError(JET_ERR_BAD_BOOKMARK, "Not a valid bookmark.");
    int64_t v = 0;
    std::memcpy(&v, data.data() + 1, 8);
    m.floating = false;
    m.SyncTable();
    long i = -1;
    if (byPlace) {
        uint64_t serial = 0;
        std::memcpy(&serial, data.data() + 9, 8);
        if (serial != m.openSerial || v < 0 || v > 0x7fffffff) PvThrowDaoError(JET_ERR_BAD_BOOKMARK, "Not a valid bookmark.");
        for (const long e : m.erased) {
            if (v == e) PvThrowDaoError(JET_ERR_BAD_BOOKMARK, "Not a valid bookmark.");  // as a deleted row's rowid
            if (v > e) --v;
        }
        if (m.Ensure(long(v))) i = long(v);
    } else if (m.hasRowid) i = m.FindRowid(v);
    else if (v >= 0 && v <= 0x7fffffff && m.Ensure(long(v))) i = long(v);
    if (i < 0) PvThrowDaoError(JET_ERR_BAD_BOOKMARK, "Not a valid bookmark.");
    Row& r = m.RowAt(i);
    m.EnsureRow(r);
    if (r.deleted) RecordDeleted();
    m.GoTo(i);
    AfterMove();
}

COleVariant CDaoRecordset::GetLastModifiedBookmark()
{
    if (!m_pImpl) NotOpen();
    if (!m_pImpl->hasLastModified) NoCurrentRecord();
    BYTE data[9];
    data[0] = 'R';
    std::memcpy(data + 1, &m_pImpl->lastModified, 8);
    return COleVariant(data, sizeof data);
}

// ---- Find: the criteria run as an SQLite expression, the row's fields bound as parameters ----

namespace {

const char* const kExprWords[] = {"AND", "OR", "NOT", "LIKE", "BETWEEN", "IN", "IS", "NULL", "TRUE", "FALSE", "MOD", "ESCAPE",
                                  "GLOB", "CASE", "WHEN", "THEN", "ELSE", "END", "COLLATE", "CAST", "AS", "NOCASE", "XOR", "EQV"};

bool IsExprWord(const std::string& w)
{
    const std::string u = pvjet::UpperWord(w);
    for (const char* k : kExprWords)
        if (u == k) return true;
    return false;
}

}  // namespace

// which: 0 first, 1 next, 2 last, 3 previous
BOOL CDaoRecordset::FindWith(LPCTSTR lpszFilter, int which)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.SyncTable();
    const std::string criteria = lpszFilter ? lpszFilter : "";
    std::vector<pvjet::Token> toks;
    std::string why;
    if (!pvjet::Tokenize(criteria, toks, &why) || criteria.find_first_not_of(' ') == std::string::npos)
        PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (missing operator) in query expression '" + criteria + "'.");
    // Field names become parameters ?N (N = field number + 1).
    std::string jet;
    std::string onTable;     // the same criteria over the table's own columns
    bool tableOnly = m.refreshable && (m.keyset || m.tableMode);
    std::vector<int> used;
    for (size_t k = 0; k < toks.size(); ++k) {
        const pvjet::Token& t = toks[k];
        auto next = [&](size_t from) {
            size_t j = from;
            while (j < toks.size() && toks[j].kind == pvjet::TokKind::Space) ++j;
            return j;
        };
        const bool nameTok = t.kind == pvjet::TokKind::Bracket || (t.kind == pvjet::TokKind::Word && !IsExprWord(t.text));
        if (!nameTok) {
            const std::string text = t.kind == pvjet::TokKind::String ? pvjet::QuoteString(t.text)
                                   : t.kind == pvjet::TokKind::Date   ? "#" + t.text + "#"
                                                                      : t.text;
            jet += text;
            onTable += text;
            continue;
        }
        const size_t j = next(k + 1);
        if (t.kind == pvjet::TokKind::Word && j < toks.size() && toks[j].kind == pvjet::TokKind::Punct && toks[j].text == "(") {
            jet += t.text;  // a function
            onTable += t.text;
            continue;
        }
        std::string name = t.text;
        size_t last = k;
        if (j < toks.size() && toks[j].kind == pvjet::TokKind::Punct && toks[j].text == ".") {
            const size_t j2 = next(j + 1);
            if (j2 < toks.size() && (toks[j2].kind == pvjet::TokKind::Bracket || toks[j2].kind == pvjet::TokKind::Word)) {
                name += "." + toks[j2].text;
                last = j2;
            }
        }
        const int f = m.FieldIndex(name);
        if (f < 0)
            PvThrowDaoError(JET_ERR_UNKNOWN_FIELD, "The database engine does not recognize '" + name +
                                                       "' as a valid field name or expression.");
        // Text compares without regard to case whichever way the row is reached: a bound
        // value has no collation of its own.
        jet += " ?" + std::to_string(f + 1) + " COLLATE NOCASE ";
        if (m.fromTable[size_t(f)])
            onTable += " " + pvjet::QuoteName(m.table) + "." + pvjet::QuoteName(m.fields[size_t(f)].origin) + " COLLATE NOCASE ";
        else tableOnly = false;
        if (std::find(used.begin(), used.end(), f) == used.end()) used.push_back(f);
        k = last;
    }
    const pvjet::Translation tr = pvjet::Translate(jet);
    if (!tr.error.empty()) PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (" + tr.error + ") in query expression '" + criteria + "'.");
    pvdao::Stmt st;
    const std::string sql = "SELECT (" + tr.sql + ")";
    if (sqlite3_prepare_v2(m.conn->db, sql.c_str(), -1, &st.st, nullptr) != SQLITE_OK || !st)
        PvThrowDaoError(JET_ERR_SYNTAX, "Syntax error (missing operator) in query expression '" + criteria + "'.");

    long i = 0;
    int dir = 1;
    switch (which) {
    case 0: i = 0; break;
    case 1: i = m.state == Impl::BOF ? 0 : m.state == Impl::AT_EOF ? -1 : m.curDeleted ? m.cur : m.cur + 1; break;
    case 2:
        m.DrainLive();
        i = long(m.rows.size()) - 1;
        dir = -1;
        break;
    default:
        dir = -1;
        if (m.state == Impl::AT_EOF) {
            m.DrainLive();
            i = long(m.rows.size()) - 1;
        } else {
            i = m.state == Impl::BOF ? -1 : m.cur - 1;
        }
        break;
    }
    if (which == 1 && m.state == Impl::AT_EOF) return FALSE;

    // Rows that are read one by one (keysets, tables): let the engine find the matching
    // rowids in one pass, then walk the order without reading the rows themselves.
    if (tableOnly) {
        const pvjet::Translation ttr = pvjet::Translate(onTable);
        pvdao::Stmt query;
        const std::string qsql = "SELECT _ROWID_ FROM " + pvjet::QuoteName(m.table) + " WHERE (" + ttr.sql + ")";
        if (ttr.error.empty() && sqlite3_prepare_v2(m.conn->db, qsql.c_str(), -1, &query.st, nullptr) == SQLITE_OK && query) {
            std::unordered_map<int64_t, bool> hits;
            int rc;
            while ((rc = sqlite3_step(query)) == SQLITE_ROW) hits[sqlite3_column_int64(query, 0)] = true;
            if (rc != SQLITE_DONE) m.conn->Fail(rc, criteria);
            m.SyncTable();
            for (; !hits.empty() && i >= 0 && m.Ensure(i); i += dir) {
                if (hits.count(m.RowAt(i).rowid) == 0) continue;
                m.GoTo(i);
                AfterMove();
                return TRUE;
            }
            return FALSE;
        }
    }
    for (; i >= 0 && m.Ensure(i); i += dir) {
        Row& r = m.RowAt(i);
        m.EnsureRow(r);
        if (r.deleted) continue;
        for (int f : used) r.Get(size_t(f)).Bind(st, f + 1);
        const int rc = sqlite3_step(st);
        const bool hit = rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL && sqlite3_column_double(st, 0) != 0;
        sqlite3_reset(st);
        if (rc != SQLITE_ROW) m.conn->Fail(rc, criteria);
        if (hit) {
            m.GoTo(i);
            AfterMove();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CDaoRecordset::FindFirst(LPCTSTR lpszFilter) { return FindWith(lpszFilter, 0); }
BOOL CDaoRecordset::FindNext(LPCTSTR lpszFilter) { return FindWith(lpszFilter, 1); }
BOOL CDaoRecordset::FindLast(LPCTSTR lpszFilter) { return FindWith(lpszFilter, 2); }
BOOL CDaoRecordset::FindPrev(LPCTSTR lpszFilter) { return FindWith(lpszFilter, 3); }

// ---- indexes ----

void CDaoRecordset::SetCurrentIndex(LPCTSTR lpszIndex)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (!m.tableMode) PvThrowDaoError(JET_ERR_NOT_SUPPORTED, "Operation is not supported for this type of object.");
    const std::string name = StripBrackets(lpszIndex ? lpszIndex : "");
    if (name.empty()) {
        m.index.clear();
        m.indexCols.clear();
    } else {
        bool found = false;
        for (const pvdao::IndexDesc& d : pvdao::ListIndexes(*m.conn, m.table)) {
            if (PvCompareNoCase(d.name, name) == 0) {
                m.index = d.name;
                m.indexCols = d.cols;
                found = true;
                break;
            }
        }
        if (!found) PvThrowDaoError(JET_ERR_NOT_AN_INDEX, "'" + name + "' is not an index in this table.");
    }
    m.StartKeyset();
    m.GoTo(0);
    AfterMove();
}

CString CDaoRecordset::GetCurrentIndex()
{
    if (!m_pImpl) NotOpen();
    return CString(m_pImpl->index);
}

BOOL CDaoRecordset::Seek(LPCTSTR lpszComparison, COleVariant* pKey1, COleVariant* pKey2, COleVariant* pKey3)
{
    const COleVariant* keys[3] = {pKey1, pKey2, pKey3};
    int n = 0;
    while (n < 3 && keys[n]) ++n;
    return SeekKeys(lpszComparison, keys, n);
}

BOOL CDaoRecordset::Seek(LPCTSTR lpszComparison, COleVariant* pKeyArray, WORD nKeys)
{
    std::vector<const COleVariant*> keys;
    for (WORD i = 0; i < nKeys; ++i) keys.push_back(pKeyArray + i);
    return SeekKeys(lpszComparison, keys.data(), int(keys.size()));
}

BOOL CDaoRecordset::SeekKeys(LPCTSTR lpszComparison, const COleVariant* const* keys, int nKeys)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (!m.tableMode) PvThrowDaoError(JET_ERR_NOT_SUPPORTED, "Operation is not supported for this type of object.");
    if (m.indexCols.empty()) PvThrowDaoError(JET_ERR_NO_CURRENT_INDEX, "Operation invalid without a current index.");
    const std::string cmp = lpszComparison ? lpszComparison : "";
    if (cmp != "=" && cmp != ">" && cmp != ">=" && cmp != "<" && cmp != "<=")
        PvThrowDaoError(JET_ERR_INVALID_ARGUMENT, "Invalid argument: comparison '" + cmp + "'.");
    if (nKeys < 1 || nKeys > int(m.indexCols.size()))
        PvThrowDaoError(JET_ERR_INVALID_ARGUMENT, "Invalid argument: " + std::to_string(nKeys) + " keys for index '" + m.index + "'.");
    std::vector<DbValue> vals;
    for (int k = 0; k < nKeys; ++k) {
        const int f = m.FieldIndex(m.indexCols[size_t(k)].first);
        FieldMeta meta;
        if (f >= 0) meta = m.fields[size_t(f)];
        vals.push_back(FromVariant(*keys[k], meta));
    }
    const bool up = cmp[0] == '>' || cmp == "=";
    auto col = [&](int k) { return pvjet::QuoteName(m.indexCols[size_t(k)].first); };
    auto param = [](int k) { return "?" + std::to_string(k + 1); };
    std::string where;
    if (cmp == "=") {
        for (int k = 0; k < nKeys; ++k) where += (k ? " AND " : "") + col(k) + " = " + param(k);
    } else {
        // lexicographic over the key columns, each in its own direction
        for (int j = 0; j < nKeys; ++j) {
            std::string term;
            for (int k = 0; k < j; ++k) term += col(k) + " = " + param(k) + " AND ";
            const bool desc = m.indexCols[size_t(j)].second;
            term += col(j) + ((cmp[0] == '>') != desc ? " > " : " < ") + param(j);
            where += (j ? " OR (" : "(") + term + ")";
        }
        if (cmp.size() == 2) {
            std::string eq;
            for (int k = 0; k < nKeys; ++k) eq += (k ? " AND " : "") + col(k) + " = " + param(k);
            where += " OR (" + eq + ")";
        }
    }
    std::string order;
    for (const auto& c : m.indexCols) order += pvjet::QuoteName(c.first) + ((c.second != !up) ? " DESC, " : ", ");
    order += up ? "_ROWID_" : "_ROWID_ DESC";
    const std::string sql = "SELECT _ROWID_ FROM " + pvjet::QuoteName(m.table) + " WHERE " + where + " ORDER BY " + order + " LIMIT 1";
    pvdao::Stmt st(m.conn->Prepare(sql, sql));
    for (int k = 0; k < nKeys; ++k) vals[size_t(k)].Bind(st, k + 1);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return FALSE;
    if (rc != SQLITE_ROW) m.conn->Fail(rc, sql);
    const int64_t id = sqlite3_column_int64(st, 0);
    // Found through the index alone: its place in the order is learnt only when asked for.
    m.floatRow = Row();
    m.floatRow.rowid = id;
    m.EnsureRow(m.floatRow);
    if (m.floatRow.deleted) return FALSE;
    m.floating = true;
    m.state = Impl::ON;
    m.curDeleted = false;
    AfterMove();
    return TRUE;
}

// ---- fields ----

short CDaoRecordset::GetFieldCount()
{
    if (!m_pImpl) NotOpen();
    return short(m_pImpl->fields.size());
}

void CDaoRecordset::GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info, DWORD dwInfoOptions)
{
    if (!m_pImpl) NotOpen();
    GetFieldInfo(m_pImpl->RequireField(lpszName ? lpszName : ""), info, dwInfoOptions);
}

void CDaoRecordset::GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.RequireIndex(nIndex);
    const FieldMeta& f = m.fields[size_t(nIndex)];
    info = CDaoFieldInfo();
    info.m_strName = f.name.c_str();
    info.m_nType = f.type;
    info.m_lSize = f.size;
    const bool variable = f.type == dbText || f.type == dbMemo || f.type == dbLongBinary;
    info.m_lAttributes = (variable ? dbVariableField : dbFixedField) | (m.updatable && m.fromTable[size_t(nIndex)] ? dbUpdatableField : 0);
    info.m_nOrdinalPosition = short(nIndex);
    info.m_strSourceField = f.origin.c_str();
    info.m_strSourceTable = f.table.c_str();
    if ((dwInfoOptions & AFX_DAO_SECONDARY_INFO) && !f.table.empty() && !f.origin.empty()) {
        for (const pvdao::ColumnDesc& c : pvdao::ListColumns(*m.conn, f.table)) {
            if (PvCompareNoCase(c.name, f.origin) != 0) continue;
            info.m_bRequired = c.notNull;
            std::string d = c.dflt;
            // Jet writes text defaults in double quotes
            if (d.size() >= 2 && d.front() == '\'' && d.back() == '\'') {
                std::string inner;
                for (size_t k = 1; k + 1 < d.size(); ++k) {
                    inner += d[k];
                    if (d[k] == '\'' && d[k + 1] == '\'') ++k;
                }
                d = "\"" + inner + "\"";
            }
            info.m_strDefaultValue = d.c_str();
            if (c.pk == 1 && PvUpperCase(c.decl) == "INTEGER") info.m_lAttributes |= dbAutoIncrField;
        }
    }
}

COleVariant CDaoRecordset::GetFieldValue(LPCTSTR lpszName)
{
    if (!m_pImpl) NotOpen();
    return GetFieldValue(m_pImpl->RequireField(lpszName ? lpszName : ""));
}

COleVariant CDaoRecordset::GetFieldValue(int nIndex)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.RequireIndex(nIndex);
    const short type = m.fields[size_t(nIndex)].type;
    if (m.editMode != dbEditNone) return ToVariant(m.buf[size_t(nIndex)], type);
    const Row& r = m.Current();
    std::string_view text;
    const size_t offset = m.OffsetOf(r, size_t(nIndex));
    if (IsTextType(type) && r.TextAt(offset, text)) {
        // Text goes to the variant in one copy: a screen of cells asks for hundreds.
        COleVariant v;
        v.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
        if (v.bstrVal) v.vt = VT_BSTR;
        return v;
    }
    return ToVariant(r.ValueAt(offset), type);
}

void CDaoRecordset::GetFieldValue(LPCTSTR lpszName, COleVariant& varValue) { varValue = GetFieldValue(lpszName); }
void CDaoRecordset::GetFieldValue(int nIndex, COleVariant& varValue) { varValue = GetFieldValue(nIndex); }

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, const COleVariant& varValue)
{
    if (!m_pImpl) NotOpen();
    SetFieldValue(m_pImpl->RequireField(lpszName ? lpszName : ""), varValue);
}

void CDaoRecordset::SetFieldValue(int nIndex, const COleVariant& varValue)
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    m.RequireIndex(nIndex);
    if (m.editMode == dbEditNone) PvThrowDaoError(JET_ERR_UPDATE_WITHOUT_EDIT, "Update or CancelUpdate without AddNew or Edit.");
    if (!m.fromTable[size_t(nIndex)])
        PvThrowDaoError(3164, "Field cannot be updated: '" + m.fields[size_t(nIndex)].name + "'.");
    m.buf[size_t(nIndex)] = FromVariant(varValue, m.fields[size_t(nIndex)]);
    m.dirty[size_t(nIndex)] = true;
}

void CDaoRecordset::SetFieldValue(LPCTSTR lpszName, LPCTSTR lpszValue) { SetFieldValue(lpszName, COleVariant(lpszValue)); }
void CDaoRecordset::SetFieldValue(int nIndex, LPCTSTR lpszValue) { SetFieldValue(nIndex, COleVariant(lpszValue)); }

void CDaoRecordset::SetFieldValueNull(int nIndex) { SetFieldValue(nIndex, NullVariant()); }
void CDaoRecordset::SetFieldValueNull(LPCTSTR lpszName) { SetFieldValue(lpszName, NullVariant()); }

// ---- changes ----

short CDaoRecordset::GetEditMode() const { return m_pImpl ? short(m_pImpl->editMode) : short(dbEditNone); }

void CDaoRecordset::AddNew()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (!m.updatable) PvThrowDaoError(JET_ERR_READ_ONLY, "Cannot update.  Database or object is read-only.");
    m.buf.assign(m.fields.size(), DbValue());
    m.dirty.assign(m.fields.size(), false);
    m.editMode = dbEditAdd;
    RunFieldExchange(CDaoFieldExchange::MarkForAddNew);
}

void CDaoRecordset::Edit()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (!m.updatable) PvThrowDaoError(JET_ERR_READ_ONLY, "Cannot update.  Database or object is read-only.");
    m.editMode = dbEditNone;
    m.SyncTable();  // Update finds the record by its place
    const Row& r = m.Current();
    m.buf = r.All(m.fields.size());
    m.dirty.assign(m.fields.size(), false);
    m.editMode = dbEditInProgress;
    RunFieldExchange(CDaoFieldExchange::MarkForEdit);
}

void CDaoRecordset::CancelUpdate()
{
    if (!m_pImpl) NotOpen();
    if (m_pImpl->editMode == dbEditNone) return;
    m_pImpl->editMode = dbEditNone;
    m_pImpl->buf.clear();
    m_pImpl->dirty.clear();
    AfterMove();
}

void CDaoRecordset::Update()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (m.editMode == dbEditNone) PvThrowDaoError(JET_ERR_UPDATE_WITHOUT_EDIT, "Update or CancelUpdate without AddNew or Edit.");
    RunFieldExchange(CDaoFieldExchange::StoreField);
    pvdao::Connection& c = *m.conn;
    const std::string tq = pvjet::QuoteName(m.table);
    std::vector<size_t> cols;
    for (size_t i = 0; i < m.fields.size(); ++i)
        if (m.dirty[i]) cols.push_back(i);
    int64_t id = 0;
    if (m.editMode == dbEditInProgress) {
        if (m.state != Impl::ON || m.curDeleted) RecordDeleted();
        id = m.RowAt(m.cur).rowid;
        if (!cols.empty()) {
            std::string sql = "UPDATE " + tq + " SET ";
            for (size_t k = 0; k < cols.size(); ++k) sql += (k ? ", " : "") + pvjet::QuoteName(m.fields[cols[k]].origin) + " = ?";
            sql += " WHERE _ROWID_ = ?";
            c.BeforeWrite();
            sqlite3_stmt* st = c.Cached(sql, sql);
            for (size_t k = 0; k < cols.size(); ++k) m.buf[cols[k]].Bind(st, int(k + 1));
            sqlite3_bind_int64(st, int(cols.size() + 1), id);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            c.AfterWrite();
            if (rc != SQLITE_DONE) c.Fail(rc, "UPDATE " + m.table);
            if (sqlite3_changes(c.db) == 0) RecordDeleted();
        }
    } else {
        std::string sql = "INSERT INTO " + tq;
        if (cols.empty()) {
            sql += " DEFAULT VALUES";
        } else {
            std::string names, params;
            for (size_t k = 0; k < cols.size(); ++k) {
                names += (k ? ", " : "") + pvjet::QuoteName(m.fields[cols[k]].origin);
                params += k ? ", ?" : "?";
            }
            sql += " (" + names + ") VALUES (" + params + ")";
        }
        c.BeforeWrite();
        sqlite3_stmt* st = c.Cached(sql, sql);
        for (size_t k = 0; k < cols.size(); ++k) m.buf[cols[k]].Bind(st, int(k + 1));
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        c.AfterWrite();
        if (rc != SQLITE_DONE) c.Fail(rc, "INSERT INTO " + m.table);
        id = sqlite3_last_insert_rowid(c.db);
        if (!m.tableMode) {
            // Added records join the end of a dynaset, as Jet's do.
            const bool allSeen = m.maxAccessed == long(m.rows.size()) - 1;
            Row r;
            r.rowid = id;
            m.rows.push_back(std::move(r));
            m.EnsureRow(m.rows.back());
            if (allSeen) m.maxAccessed = long(m.rows.size()) - 1;
            if (m.state == Impl::AT_EOF) m.cur = long(m.rows.size());
        }
    }
    m.hasLastModified = true;
    m.lastModified = id;
    m.editMode = dbEditNone;
    m.buf.clear();
    m.dirty.clear();
    if (m.state == Impl::ON && !m.curDeleted && !m.tableMode) m.EnsureRow(m.RowAt(m.cur));
    AfterMove();
}

void CDaoRecordset::Delete()
{
    if (!m_pImpl) NotOpen();
    Impl& m = *m_pImpl;
    if (!m.updatable) PvThrowDaoError(JET_ERR_READ_ONLY, "Cannot update.  Database or object is read-only.");
    m.SyncTable();  // the records after this one move up into its place
    const Row& r = m.Current();
    const int64_t id = r.rowid;
    pvdao::Connection& c = *m.conn;
    const std::string sql = "DELETE FROM " + pvjet::QuoteName(m.table) + " WHERE _ROWID_ = ?";
    c.BeforeWrite();
    sqlite3_stmt* st = c.Cached(sql, sql);
    sqlite3_bind_int64(st, 1, id);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    c.AfterWrite();
    if (rc != SQLITE_DONE) c.Fail(rc, "DELETE FROM " + m.table);
    m.SyncTable();  // a table recordset rereads its order (this row is gone from it)
    if (m.tableMode) {
        // SyncTable did not find the row again: the rows after it moved up by one.
        m.cur = std::min(m.cur, long(m.rows.size()));
    } else {
        m.rows.erase(m.rows.begin() + m.cur);
        m.ForgetRowIndex();
        if (m.rowidOrder) m.erased.push_back(m.cur);
        if (m.maxAccessed >= m.cur) --m.maxAccessed;
    }
    m.state = Impl::ON;
    m.curDeleted = true;
    m.editMode = dbEditNone;
}

// ---- field exchange ----

void CDaoRecordset::RunFieldExchange(UINT nOperation)
{
    if (m_nFields <= 0 || !m_pImpl) return;
    if (nOperation != CDaoFieldExchange::BindField && m_pImpl->bindings.empty()) return;
    CDaoFieldExchange fx(nOperation, this);
    DoFieldExchange(&fx);
}

void CDaoRecordset::AfterMove()
{
    if (!m_pImpl || m_pImpl->bindings.empty()) return;
    Impl& m = *m_pImpl;
    if (m.state != Impl::ON || m.curDeleted) return;
    Row& r = m.floating ? m.floatRow : m.RowAt(m.cur);
    m.EnsureRow(r);
    if (r.deleted) return;
    RunFieldExchange(CDaoFieldExchange::Fixup);
}

namespace {

DbValue MemberValue(int kind, void* pv)
{
    switch (kind) {
    case kText: return Text(static_cast<CString*>(pv)->str());
    case kLong32: return Int(*static_cast<LONG*>(pv));
    case kLong64: return Int(*static_cast<long*>(pv));
    case kShort: return Int(*static_cast<short*>(pv));
    case kBool: return Int(*static_cast<BOOL*>(pv) ? -1 : 0);
    case kByte: return Int(*static_cast<BYTE*>(pv));
    case kSingle: return Real(*static_cast<float*>(pv));
    case kDouble: return Real(*static_cast<double*>(pv));
    case kCurrency: {
        const COleCurrency& c = *static_cast<COleCurrency*>(pv);
        return c.GetStatus() == COleCurrency::valid ? Real(double(c.m_cur.int64) / 10000.0) : DbValue();
    }
    case kDate: {
        const COleDateTime& d = *static_cast<COleDateTime*>(pv);
        return d.GetStatus() == COleDateTime::valid ? Real(d.m_dt) : DbValue();
    }
    case kBinary: {
        CByteArray& a = *static_cast<CByteArray*>(pv);
        const BYTE* p = a.GetData();
        return Text(p ? std::string(reinterpret_cast<const char*>(p), size_t(a.GetSize())) : std::string(), SQLITE_BLOB);
    }
    default: return DbValue();
    }
}

void SetMember(int kind, void* pv, const DbValue& v)
{
    switch (kind) {
    case kText: *static_cast<CString*>(pv) = CString(AsText(v)); break;
    case kLong32: *static_cast<LONG*>(pv) = LONG(AsInt(v)); break;
    case kLong64: *static_cast<long*>(pv) = long(AsInt(v)); break;
    case kShort: *static_cast<short*>(pv) = short(AsInt(v)); break;
    case kBool: *static_cast<BOOL*>(pv) = Truthy(v) ? TRUE : FALSE; break;
    case kByte: *static_cast<BYTE*>(pv) = BYTE(AsInt(v)); break;
    case kSingle: *static_cast<float*>(pv) = float(AsReal(v)); break;
    case kDouble: *static_cast<double*>(pv) = AsReal(v); break;
    case kCurrency: {
        COleCurrency& c = *static_cast<COleCurrency*>(pv);
        CY cy;
        cy.int64 = (int64_t)std::llround(AsReal(v) * 10000.0);
        c = cy;
        if (v.IsNull()) c.SetStatus(COleCurrency::null);
        break;
    }
    case kDate: {
        COleDateTime& d = *static_cast<COleDateTime*>(pv);
        d = COleDateTime(AsReal(v));
        if (v.IsNull()) d.SetStatus(COleDateTime::null);
        break;
    }
    case kBinary: {
        CByteArray& a = *static_cast<CByteArray*>(pv);
        const std::string s = v.kind == SQLITE_BLOB || v.kind == SQLITE_TEXT ? v.s : std::string();
        a.SetSize(static_cast<decltype(a.GetSize())>(s.size()));
        if (!s.empty()) std::memcpy(a.GetData(), s.data(), s.size());
        break;
    }
    default: break;
    }
}

}  // namespace

void CDaoRecordset::PvExchange(CDaoFieldExchange* pFX, LPCTSTR lpszName, int kind, void* pv)
{
    if (!m_pImpl || pFX->m_nFieldType != CDaoFieldExchange::outputColumn) return;
    Impl& m = *m_pImpl;
    if (pFX->m_nOperation == CDaoFieldExchange::BindField) {
        const int f = m.RequireField(lpszName ? lpszName : "");
        m.bindings.push_back({f, kind, pv, DbValue()});
        return;
    }
    const size_t k = size_t(pFX->m_nField++);
    if (k >= m.bindings.size()) return;
    Impl::Binding& b = m.bindings[k];
    b.pv = pv;
    switch (pFX->m_nOperation) {
    case CDaoFieldExchange::Fixup:
        SetMember(kind, pv, (m.floating ? m.floatRow : m.RowAt(m.cur)).Get(size_t(b.field)));
        break;
    case CDaoFieldExchange::MarkForAddNew:
        SetMember(kind, pv, DbValue());
        b.saved = MemberValue(kind, pv);
        break;
    case CDaoFieldExchange::MarkForEdit:
        b.saved = MemberValue(kind, pv);
        break;
    case CDaoFieldExchange::StoreField: {
        // A new record takes every bound member; an edited one those that changed.
        const DbValue now = MemberValue(kind, pv);
        if (m.editMode == dbEditAdd || !(now == b.saved)) {
            const FieldMeta& meta = m.fields[size_t(b.field)];
            if (kind == kText && meta.type == dbText && meta.size > 0 && pvdao::CharCount(now.s) > size_t(meta.size))
                PvThrowDaoError(JET_ERR_FIELD_TOO_SMALL, "The field is too small to accept the amount of data you attempted to "
                                                         "add.  Try inserting or pasting less data. (field '" + meta.name + "')");
            m.buf[size_t(b.field)] = now;
            m.dirty[size_t(b.field)] = true;
        }
        break;
    }
    case CDaoFieldExchange::SetFieldNull:
        SetMember(kind, pv, DbValue());
        break;
    default: break;
    }
}

void DFX_Text(CDaoFieldExchange* pFX, LPCTSTR lpszName, CString& value, int nPreAllocSize, DWORD dwBindOptions)
{
    (void)dwBindOptions;
    if (pFX->m_nOperation == CDaoFieldExchange::BindField && nPreAllocSize > 0) value.Preallocate(nPreAllocSize);
    pFX->m_prs->PvExchange(pFX, lpszName, kText, &value);
}
void DFX_Long(CDaoFieldExchange* pFX, LPCTSTR lpszName, long& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kLong64, &value); }
void DFX_Long(CDaoFieldExchange* pFX, LPCTSTR lpszName, LONG& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kLong32, &value); }
void DFX_Short(CDaoFieldExchange* pFX, LPCTSTR lpszName, short& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kShort, &value); }
void DFX_Bool(CDaoFieldExchange* pFX, LPCTSTR lpszName, BOOL& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kBool, &value); }
void DFX_Byte(CDaoFieldExchange* pFX, LPCTSTR lpszName, BYTE& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kByte, &value); }
void DFX_Single(CDaoFieldExchange* pFX, LPCTSTR lpszName, float& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kSingle, &value); }
void DFX_Double(CDaoFieldExchange* pFX, LPCTSTR lpszName, double& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kDouble, &value); }
void DFX_Currency(CDaoFieldExchange* pFX, LPCTSTR lpszName, COleCurrency& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kCurrency, &value); }
void DFX_DateTime(CDaoFieldExchange* pFX, LPCTSTR lpszName, COleDateTime& value, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kDate, &value); }
void DFX_Binary(CDaoFieldExchange* pFX, LPCTSTR lpszName, CByteArray& value, int, DWORD) { pFX->m_prs->PvExchange(pFX, lpszName, kBinary, &value); }
