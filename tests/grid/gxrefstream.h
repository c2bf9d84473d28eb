#pragma once
// "GridSettings.dat" as the tests know it from its record layouts alone: a builder that spells
// records out byte by byte, and a reader that walks a whole file record by record. Neither uses
// the grid's archive code, so they can judge it; the reader also serves the end-to-end tests.

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/pvdefs.h"

using Bytes = std::vector<BYTE>;

// Schema numbers written with each runtime class.
inline WORD RefSchemaOf(const std::string& name)
{
    static const std::map<std::string, WORD> schemas {
        {"CGXGridParam", 1}, {"CGXPrintDevice", 1}, {"CGXDelayedRangePool", 1}, {"CGXDelayedRange", 1}, {"CGXSpanCellPool", 1},
    };
    const auto it = schemas.find(name);
    return it == schemas.end() ? 0 : it->second;
}

// Appends little-endian values in the archive's forms. Objects are numbered as the archive
// numbers them (classes and objects share one count from 1), so a stream may name a class once
// and refer back to it after.
struct ByteBuilder {
    Bytes b;
    std::map<std::string, DWORD> classIndex;
    DWORD nextIndex = 1;

    ByteBuilder& byte(BYTE v) { b.push_back(v); return *this; }
    ByteBuilder& word(WORD v) { byte(BYTE(v)); return byte(BYTE(v >> 8)); }
    ByteBuilder& dword(DWORD v) { word(WORD(v)); return word(WORD(v >> 16)); }
    ByteBuilder& bytes(const Bytes& v) { b.insert(b.end(), v.begin(), v.end()); return *this; }
    ByteBuilder& count(DWORD n) { return n < 0xFFFF ? word(WORD(n)) : word(0xFFFF).dword(n); }
    ByteBuilder& text(const std::string& s)
    {
        const size_t n = s.size();
        if (n < 0xFF)
            byte(BYTE(n));
        else if (n < 0xFFFF)
            byte(0xFF).word(WORD(n));
        else
            byte(0xFF).word(0xFFFF).dword(DWORD(n));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // The header of an object of a class not seen before in this stream.
    ByteBuilder& newClass(const std::string& name, WORD schema = 0)
    {
        word(0xFFFF).word(schema).word(WORD(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        classIndex[name] = nextIndex++;
        nextIndex++;
        return *this;
    }
    // The header of a new object: its class's name the first time, a reference to it after.
    ByteBuilder& object(const std::string& name)
    {
        const auto it = classIndex.find(name);
        if (it == classIndex.end())
            return newClass(name, RefSchemaOf(name));
        nextIndex++;
        return word(WORD(0x8000 | it->second));
    }
    ByteBuilder& null() { return word(0); }
    ByteBuilder& dwordArray(const std::vector<DWORD>& v)
    {
        count(DWORD(v.size()));
        for (DWORD d : v)
            dword(d);
        return *this;
    }
    ByteBuilder& byteArray(const Bytes& v) { count(DWORD(v.size())); return bytes(v); }
};

// ---- the parameter record's items, with the defaults of a new parameter object ----

// Items 2 to 34.
struct RefParamHead {
    BYTE c1 = 0, b1 = 1, c2 = 0, b2 = 1;    // items 4 and 3, and their second copies 8 and 9
    BYTE ownData = 0, ownPD = 0, ownProps = 0, ownMap = 0;
    WORD optionMask = 0;                    // item 30
    DWORD colWidth = 10000, rowHeight = 1200;
    std::string text {};
};

inline void WriteRefParamHead(ByteBuilder& b, const RefParamHead& h)
{
    b.word(10).byte(1).byte(h.b1).byte(h.c1).byte(1).byte(1).byte(1).byte(h.c2).byte(h.b2);
    b.byte(1).byte(1);                                  // drag columns, drag rows
    b.byte(h.ownData).byte(h.ownPD).byte(h.ownProps).byte(h.ownMap);
    b.byte(0).byte(0).byte(1).byte(1);                  // F, older drawing, H, immediate scroll
    b.word(255).word(178).word(178);
    b.dword(0).dword(0).dword(h.colWidth).dword(h.rowHeight);
    b.text(h.text);
    b.word(1).word(2).word(h.optionMask).word(0).word(0);
    b.dword(0).dword(0);
}

struct RefRange {
    DWORD top, left, bottom, right;
    BYTE kind = 0;
};

// Items 39 to 72; size maps of one entry each keep the bytes free of the hash order.
struct RefParamTail {
    std::vector<RefRange> selected {};
    LONG row0Height = 1400, col0Width = 6000;
    Bytes hiddenRows {}, hiddenCols {};
    BYTE y2 = 0;
    DWORD undoLimit = 512;
};

inline void WriteRefRange(ByteBuilder& b, const RefRange& r)
{
    b.dword(r.top).dword(r.left).dword(r.bottom).dword(r.right).byte(r.kind).byte(1);
}

inline void WriteRefParamTail(ByteBuilder& b, const RefParamTail& t)
{
    b.word(1).dword(DWORD(t.selected.size()));
    for (const RefRange& r : t.selected)
        WriteRefRange(b, r);
    b.word(1).dword(0);                                 // covered cells
    b.word(1).dword(0).dword(DWORD(t.row0Height));
    b.word(1).dword(0).dword(DWORD(t.col0Width));
    b.byteArray(t.hiddenRows).byteArray(t.hiddenCols);
    b.byte(1);                                          // P
    b.byte(0).byte(0).dword(0).dword(0).dword(0);       // Q, R, S, T, U
    b.word(0);                                          // activate-cell mask
    b.byte(0).word(4).dword(t.undoLimit);               // V, W, undo limit
    b.byte(0).byte(t.y2).byte(0).byte(0).byte(0);       // Y1-Y5
    b.word(0).null().null();                            // float mode, two null pools
    b.word(0).null().null().null();                     // merge mode, three null pools
    b.word(0);                                          // grid-line drawing
    b.byte(0).byte(0).byte(0).word(0).byte(0);          // Z1-Z3, AA, AB
}

// A cell data record of 60 rows, each with one empty style at column 3,999,999: about 2 KB that
// claims 240 million style slots, far beyond what one file may hold.
inline void WriteRefSixtyFarRows(ByteBuilder& b)
{
    b.word(1).dword(60).dword(4000000);
    b.word(1).dword(61);
    for (DWORD r = 1; r <= 60; r++) {
        b.dword(r).word(1).dword(4000000).dword(3999999);
        b.object("CGXStyle").word(6).dword(0).word(0).null();  // empty: no borders, no user attributes
        b.dword(0xFFFFFFFF);
    }
    b.dword(0xFFFFFFFF);
    b.word(1).dword(0).dword(0xFFFFFFFF);
    b.word(1).dword(0).dword(0xFFFFFFFF);
}

// A whole DAO grid settings file whose one owned object is the cell data that `data` writes.
inline Bytes RefDaoFileWithData(const std::function<void(ByteBuilder&)>& data)
{
    ByteBuilder b;
    b.object("CGXDaoParam");
    WriteRefParamHead(b, {.ownData = 1});
    b.object("CGXData");
    data(b);
    WriteRefParamTail(b, {});
    b.word(2).byte(0).null();                           // browser record without record-set info
    b.word(2).dword(1).dwordArray({});                  // DAO record: option, no column order
    return b.b;
}

// ---- reading a whole file ----

// What the reader saw of one style record.
struct RefStyle {
    DWORD mask = 0;
    std::string value;
    std::string fontFace;
    bool hasUserAttributes = false;
};

struct RefStylesMap {
    std::string section;
    std::vector<std::pair<DWORD, std::string>> baseStyles;  // resource id (0 when named by text), name
    size_t userAttributes = 0;
};

struct RefData {
    DWORD rows = 0, cols = 0;
    std::map<std::pair<DWORD, DWORD>, RefStyle> cells;      // (row, column) in the cell table
    std::map<DWORD, RefStyle> rowBase, colBase;
};

// The top-level parameter object of a file, as far as the tests look at it.
struct RefGridSettings {
    std::string topClass;
    WORD version = 0;
    std::vector<DWORD> head;         // items 2 to 34 as read (text item 27 as its length)
    BYTE ownData = 0, ownPD = 0, ownProps = 0, ownMap = 0;
    bool hasStylesMap = false, hasData = false, hasProperties = false, hasPrinter = false;
    RefStylesMap stylesMap;
    RefData data;
    std::string propertiesSection;
    std::vector<DWORD> propertyColors;
    DWORD devNamesSize = 0, devModeSize = 0;
    std::vector<RefRange> selected, covered;
    std::map<DWORD, LONG> rowHeights, colWidths;
    Bytes hiddenRows, hiddenCols;
    WORD browseVersion = 0, daoVersion = 0;
    std::vector<std::string> recSetInfo;
    std::vector<DWORD> colOrder;
    size_t nObjects = 0;             // objects the file holds, the top one included
    std::vector<std::string> classes;  // in the order the file names them

    // Hidden columns are bits, eight to a byte, least significant first.
    bool IsColHidden(DWORD nCol) const { return nCol / 8 < hiddenCols.size() && (hiddenCols[nCol / 8] >> (nCol % 8)) & 1; }
};

// Walks the records strictly; any byte out of place throws std::runtime_error naming where.
class RefReader {
public:
    explicit RefReader(const Bytes& bytes) : m_b(bytes) {}

    RefGridSettings ReadFile()
    {
        RefGridSettings g;
        const std::string cls = ObjectHeader();
        if (cls != "CGXGridParam" && cls != "CGXBrowseParam" && cls != "CGXDaoParam")
            Fail("top-level class " + cls);
        g.topClass = cls;
        ++g.nObjects;
        Param(g);
        if (cls != "CGXGridParam") {
            g.browseVersion = Version(2);
            Byte();
            if (g.browseVersion >= 2) {
                const std::string info = ObjectHeader();
                if (!info.empty()) {
                    Expect(info == "CGXRecSetInfo", "record-set info class");
                    for (int i = 0; i < 3; i++)
                        g.recSetInfo.push_back(Text());
                }
            }
        }
        if (cls == "CGXDaoParam") {
            g.daoVersion = Version(2);
            if (g.daoVersion >= 2)
                DWord();
            g.colOrder = DWordArray();
        }
        if (m_pos != m_b.size())
            Fail(std::to_string(m_b.size() - m_pos) + " bytes after the top-level object");
        g.nObjects = m_nObjects;
        for (const auto& [index, name] : m_classes)
            g.classes.push_back(name);
        return g;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw std::runtime_error("offset " + std::to_string(m_pos) + ": " + what);
    }
    void Expect(bool ok, const char* what) const
    {
        if (!ok)
            Fail(std::string("bad ") + what);
    }
    void Need(size_t n) const
    {
        if (m_b.size() - m_pos < n)
            Fail("the file ends");
    }
    BYTE Byte() { Need(1); return m_b[m_pos++]; }
    WORD Word() { const WORD lo = Byte(); return WORD(lo | (Byte() << 8)); }
    DWORD DWord() { const DWORD lo = Word(); return lo | (DWORD(Word()) << 16); }
    DWORD Count() { const WORD w = Word(); return w == 0xFFFF ? DWord() : w; }
    std::string Text()
    {
        DWORD n = Byte();
        if (n == 0xFF) {
            n = Word();
            if (n == 0xFFFF)
                n = DWord();
        }
        Need(n);
        std::string s(m_b.begin() + ptrdiff_t(m_pos), m_b.begin() + ptrdiff_t(m_pos + n));
        m_pos += n;
        return s;
    }
    WORD Version(WORD newest)
    {
        const WORD v = Word();
        if (v == 0 || v > newest)
            Fail("version " + std::to_string(v));
        return v;
    }
    void One() { Expect(Word() == 1, "marker word"); }
    std::vector<DWORD> DWordArray()
    {
        const DWORD n = Count();
        Need(size_t(n) * 4);
        std::vector<DWORD> v(n);
        for (DWORD& d : v)
            d = DWord();
        return v;
    }
    Bytes ByteArray()
    {
        const DWORD n = Count();
        Need(n);
        Bytes v(m_b.begin() + ptrdiff_t(m_pos), m_b.begin() + ptrdiff_t(m_pos + n));
        m_pos += n;
        return v;
    }

    // An object reference: the class name of a new object ("" for null or a back-reference, whose
    // bytes are all read here).
    std::string ObjectHeader()
    {
        const WORD tag = Word();
        if (tag == 0)
            return "";
        if (tag == 0xFFFF) {
            const WORD schema = Word();
            const WORD n = Word();
            Need(n);
            const std::string name(m_b.begin() + ptrdiff_t(m_pos), m_b.begin() + ptrdiff_t(m_pos + n));
            m_pos += n;
            if (schema != RefSchemaOf(name))
                Fail("schema " + std::to_string(schema) + " of " + name);
            m_classes[m_nextIndex++] = name;
            m_nextIndex++;
            m_nObjects++;
            return name;
        }
        if (tag & 0x8000) {
            const auto it = m_classes.find(tag & 0x7FFF);
            if (it == m_classes.end())
                Fail("class reference " + std::to_string(tag & 0x7FFF));
            m_nextIndex++;
            m_nObjects++;
            return it->second;
        }
        if (tag == 0x7FFF)
            Fail("a big object tag");  // more than 32,766 objects: not in a settings file
        if (tag >= m_nextIndex || m_classes.count(tag))
            Fail("object reference " + std::to_string(tag));
        return "";
    }
    std::string ExpectObject(const char* cls)
    {
        const std::string got = ObjectHeader();
        if (!got.empty() && got != cls)
            Fail("class " + got + " where " + cls + " belongs");
        return got;
    }

    void Param(RefGridSettings& g)
    {
        g.version = Version(10);
        for (int item = 2; item <= 34; item++) {
            if (item >= 2 && item <= 19)
                g.head.push_back(Byte());
            else if ((item >= 20 && item <= 22) || (item >= 28 && item <= 32))
                g.head.push_back(Word());
            else if (item == 27)
                g.head.push_back(DWORD(Text().size()));
            else
                g.head.push_back(DWord());
        }
        g.ownData = BYTE(g.head[12 - 2]);
        g.ownPD = BYTE(g.head[13 - 2]);
        g.ownProps = BYTE(g.head[14 - 2]);
        g.ownMap = BYTE(g.head[15 - 2]);
        if (g.ownMap && !ExpectObject("CGXStylesMap").empty()) {
            g.hasStylesMap = true;
            StylesMap(g.stylesMap);
        }
        if (g.ownData && !ExpectObject("CGXData").empty()) {
            g.hasData = true;
            Data(g.data);
        }
        if (g.ownProps && !ExpectObject("CGXProperties").empty()) {
            g.hasProperties = true;
            Properties(g);
        }
        if (g.ownPD && !ExpectObject("CGXPrintDevice").empty()) {
            g.hasPrinter = true;
            One();
            g.devNamesSize = DWord();
            Skip(g.devNamesSize);
            g.devModeSize = DWord();
            Skip(g.devModeSize);
        }
        g.selected = RangeList();
        g.covered = RangeList();
        g.rowHeights = SizeMap();
        g.colWidths = SizeMap();
        g.hiddenRows = ByteArray();
        g.hiddenCols = ByteArray();
        const WORD v = g.version;
        if (v >= 2) Byte();
        if (v >= 3) { Byte(); Byte(); DWord(); DWord(); DWord(); }
        if (v >= 4) Word();
        if (v >= 5) { Byte(); Word(); DWord(); }
        if (v >= 6) {
            for (int i = 0; i < 5; i++)
                Byte();
            Word();
            DelayedPool();
            SpanPool();
            Word();
            DelayedPool();
            SpanPool();
            SpanPool();
            Word();
        }
        if (v >= 8) { Byte(); Byte(); Byte(); }
        if (v >= 9) Word();
        if (v >= 10) Byte();
    }

    void Skip(DWORD n)
    {
        Need(n);
        m_pos += n;
    }

    std::vector<RefRange> RangeList()
    {
        One();
        const DWORD n = DWord();
        Need(size_t(n) * 18);
        std::vector<RefRange> v;
        for (DWORD i = 0; i < n; i++) {
            RefRange r {DWord(), DWord(), DWord(), DWord()};
            r.kind = Byte();
            Expect(r.kind <= 3, "range kind");
            Byte();
            v.push_back(r);
        }
        return v;
    }

    std::map<DWORD, LONG> SizeMap()
    {
        const DWORD n = Count();
        Need(size_t(n) * 8);
        std::map<DWORD, LONG> m;
        for (DWORD i = 0; i < n; i++) {
            const DWORD k = DWord();
            m[k] = LONG(DWord());
        }
        Expect(m.size() == n, "size map (a key twice)");
        return m;
    }

    void StylesMap(RefStylesMap& m)
    {
        const WORD v = Version(2);
        m.section = Text();
        for (WORD n = Word(), i = 0; i < n; i++) {
            DWord();
            Text();
        }
        for (WORD n = Word(), i = 0; i < n; i++) {
            Word();
            Text();
        }
        for (WORD n = Word(), i = 0; i < n; i++) {
            Word();
            const DWORD res = DWord();
            m.baseStyles.emplace_back(res, Text());
            Byte();
            Style();
        }
        Word();
        if (v >= 2)
            for (WORD n = Word(), i = 0; i < n; i++) {
                DWord();
                Style();
                m.userAttributes++;
            }
    }

    void StyleArray(std::map<DWORD, RefStyle>* pOut)
    {
        One();
        const DWORD nSlots = DWord();
        for (;;) {
            const DWORD i = DWord();
            if (i == 0xFFFFFFFF)
                return;
            Expect(i < nSlots, "slot index");
            RefStyle s;
            if (!ExpectObject("CGXStyle").empty())
                s = Style();
            if (pOut)
                (*pOut)[i] = s;
        }
    }

    void Data(RefData& d)
    {
        One();
        d.rows = DWord();
        d.cols = DWord();
        One();
        const DWORD nRows = DWord();
        for (;;) {
            const DWORD r = DWord();
            if (r == 0xFFFFFFFF)
                break;
            Expect(r < nRows, "row slot");
            std::map<DWORD, RefStyle> row;
            StyleArray(&row);
            for (auto& [c, s] : row)
                d.cells[{r, c}] = s;
        }
        StyleArray(&d.rowBase);
        StyleArray(&d.colBase);
    }

    void Properties(RefGridSettings& g)
    {
        const WORD v = Version(4);
        g.propertyColors = DWordArray();
        for (DWORD n = Count(), i = 0; i < n; i++)
            Text();
        for (int i = 0; i < 5; i++)
            Byte();
        g.propertiesSection = Text();
        DWord();
        while (DWord() != 0) {
            Text();
            if (!ExpectObject("CGXStyle").empty())
                Style();
        }
        for (int i = 0; i < 15; i++)
            DWord();
        Word();
        Word();
        if (v >= 3) {
            DWordArray();
            DWordArray();
        }
        RefData footer, header;
        Data(footer);
        Data(header);
        if (v == 2 || v == 4)
            DWord();
    }

    void Brush() { for (int i = 0; i < 5; i++) DWord(); }

    std::string Font()
    {
        const WORD v = Version(2);
        std::string face;
        if (v == 1) {
            DWord(); DWord(); Byte(); Byte(); Byte();
            face = Text();
            if (DWord() & 64)
                DWord();
            return face;
        }
        const DWORD flags = DWord();
        if (flags & 64) Word();
        if (flags & 128) Word();
        if (flags & 256) Word();
        if (flags & 512) {
            face = Text();
            Byte();
            Byte();
        }
        return face;
    }

    void UserAttributeMap()
    {
        for (WORD n = Word(), i = 0; i < n; i++) {
            if (!ExpectObject("CGXUserAttribute").empty()) {
                const BYTE kind = Byte();
                Expect(kind <= 5, "user attribute kind");
                if (kind == 3 || kind == 4)
                    Text();
                else
                    Skip(8);
            }
            Word();
        }
    }

    // A style record of version 5 or 6 (the older ones are not written any more).
    RefStyle Style()
    {
        RefStyle s;
        const WORD v = Version(6);
        Expect(v >= 5, "style version (older than 5)");
        s.mask = DWord();
        Expect((s.mask >> 26) == 0, "include mask");
        const DWORD m = s.mask;
        if (m & 0x1) DWord();
        if (m & 0x2) DWord();
        if (m & 0x4) Byte();
        if (m & 0x8) DWord();
        if (m & 0x10) Brush();
        if (m & 0x20) DWord();
        if (m & 0x40) Byte();
        if (m & 0x80) Byte();
        if ((m & 0x200) && !ExpectObject("CGXFont").empty())
            s.fontFace = Font();
        if (m & 0x400) s.value = Text();
        if (m & 0x800) Text();
        if (m & 0x1000) Byte();
        if (m & 0x2000) Word();
        if (m & 0x8000) Byte();
        if (m & 0x10000) Byte();
        if (m & 0x20000) Byte();
        if (m & 0x80000) Byte();
        if (Word() == 1) {
            for (int i = 0; i < 4; i++)
                if (Word() == 1)
                    Text();
        }
        if (m & 0x4000) {
            if (DWord() == 0)
                Text();
        }
        if (!ExpectObject("CGXUserAttributeMap").empty()) {
            s.hasUserAttributes = true;
            UserAttributeMap();
        }
        if (m & 0x200000) Byte();       // float cell (bit 21 on disk)
        if (m & 0x400000) Byte();       // flood cell
        if (m & 0x800000) Byte();
        if (m & 0x100000) DWord();
        if (v >= 6) {
            if (m & 0x1000000) Byte();
            if (m & 0x2000000) Byte();
        } else if (m & 0x1000000) {
            Byte();
            Byte();
        }
        if (m & 0x400) Byte();
        return s;
    }

    void DelayedPool()
    {
        if (ExpectObject("CGXDelayedRangePool").empty())
            return;
        for (DWORD n = Count(), i = 0; i < n; i++) {
            if (ExpectObject("CGXDelayedRange").empty())
                continue;
            Skip(4 * 4 + 2);  // the range
            DWordArray();
            DWordArray();
        }
    }

    void SpanPool()
    {
        if (ExpectObject("CGXSpanCellPool").empty())
            return;
        for (int t = 0; t < 2; t++) {
            One();
            const DWORD nSlots = DWord();
            for (;;) {
                const DWORD i = DWord();
                if (i == 0xFFFFFFFF)
                    break;
                Expect(i < nSlots, "span slot");
                DWordArray();
            }
        }
    }

    const Bytes& m_b;
    size_t m_pos = 0;
    std::map<DWORD, std::string> m_classes;
    DWORD m_nextIndex = 1;
    size_t m_nObjects = 0;
};

inline RefGridSettings RefReadGridSettings(const Bytes& bytes) { return RefReader(bytes).ReadFile(); }
