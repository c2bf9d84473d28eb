#include "app/DetailsTemplate.h"

#include <array>
#include <vector>

namespace {

using std::string;
using std::string_view;
constexpr size_t npos = string_view::npos;

constexpr string_view kHtmlEnd = "</HTML>";
// Section tags in the order of their priority: the first "<UL>" wins over a nearer "<UR>".
constexpr std::array<string_view, 4> kOpeners = { "<UL>", "<UR>", "<LL>", "<LR>" };
constexpr std::array<string_view, 4> kClosers = { "</UL>", "</UR>", "</LL>", "</LR>" };
constexpr size_t kOpenerLength = 4, kCloserLength = 5;
static_assert(kOpeners[0].size() == kOpenerLength && kOpeners[1].size() == kOpenerLength &&
              kOpeners[2].size() == kOpenerLength && kOpeners[3].size() == kOpenerLength);
static_assert(kClosers[0].size() == kCloserLength && kClosers[1].size() == kCloserLength &&
              kClosers[2].size() == kCloserLength && kClosers[3].size() == kCloserLength);
constexpr string_view kIf = "<IF>";
constexpr string_view kEndIf = "</IF>";
constexpr string_view kTitleBar = "<TITLEBAR>";
constexpr string_view kEndTitleBar = "</TITLEBAR>";
constexpr string_view kRelTable = "<RELTABLE>";
constexpr string_view kEndRelTable = "</RELTABLE>";
constexpr string_view kData = "<DATA>";
constexpr string_view kEndData = "</DATA>";
constexpr string_view kOneRef = "<[";
constexpr string_view kListRef = "<,[";
constexpr string_view kNameSep = "].[";
constexpr string_view kOneRefEnd = "]>";
constexpr string_view kListRefEnd = "],>";

// One tag's next occurrence in a text searched from ever later positions. A section search
// tries every opener in turn, and a tag that is absent would otherwise be looked for through
// the rest of the template once per section; here each tag's occurrences are found once.
class ForwardFind {
public:
    ForwardFind(string_view text, string_view tag) : m_text(text), m_tag(tag) {}
    size_t From(size_t pos)
    {
        // The last result stands for pos when it was searched from at or before pos and lies
        // at or after it (or there was none).
        if (!m_searched || pos < m_from || (m_found != npos && m_found < pos)) {
            m_found = m_text.find(m_tag, pos);
            m_from = pos;
            m_searched = true;
        }
        return m_found;
    }

private:
    string_view m_text, m_tag;
    size_t m_from = 0, m_found = npos;
    bool m_searched = false;
};

// The text from `from` to `to`, or nothing when the range is missing or reversed.
string_view between(string_view text, size_t from, size_t to)
{
    if (from == npos || to == npos || from > to || to > text.size())
        return {};
    return text.substr(from, to - from);
}

// One reference "<[Table].[Field]>" or "<,[Table].[Field],>" inside an element's text.
struct Reference {
    bool list = false;
    string_view table, field;
    string_view before, after; // the element's text around the reference
};

Reference parseReference(string_view element)
{
    Reference r;
    size_t at = element.find(kListRef);
    size_t nameStart;
    if (at != npos) {
        r.list = true;
        nameStart = at + kListRef.size();
    } else {
        at = element.find(kOneRef);
        if (at == npos)
            return r; // no reference: no table name
        nameStart = at + kOneRef.size();
    }
    r.before = element.substr(0, at);
    const size_t sep = element.find(kNameSep, nameStart);
    if (sep == npos)
        return r;
    r.table = between(element, nameStart, sep);
    const size_t fieldStart = sep + kNameSep.size();
    size_t close = element.find(kListRefEnd, fieldStart);
    size_t closeLength = kListRefEnd.size();
    if (close == npos) {
        close = element.find(kOneRefEnd, fieldStart);
        closeLength = kOneRefEnd.size();
    }
    if (close == npos)
        return r;
    r.field = between(element, fieldStart, close);
    r.after = element.substr(close + closeLength);
    return r;
}

// The joining rule of value lists and related rows: a separator with a comma stands only
// between two values; any other separator (a label) stands before each value it precedes.
void join(string& out, bool& havePrevious, string_view separator, const string& value)
{
    if (separator.find(',') != npos) {
        if (havePrevious && !value.empty())
            out += separator;
        out += value;
    } else if (!value.empty()) {
        out += separator;
        out += value;
    }
    if (!value.empty())
        havePrevious = true;
}

// "<DATA>" ... "</DATA>" elements of a text, in order, with the text between them.
struct Element {
    size_t start = 0;    // of "<DATA>"
    size_t bodyEnd = 0;  // of "</DATA>"
    size_t end = 0;      // just after "</DATA>"
};

bool nextElement(string_view text, size_t pos, Element& e)
{
    const size_t open = text.find(kData, pos);
    if (open == npos)
        return false;
    const size_t close = text.find(kEndData, open + kData.size());
    if (close == npos)
        return false; // an unclosed element ends the list
    e.start = open;
    e.bodyEnd = close;
    e.end = close + kEndData.size();
    return true;
}

string_view elementBody(string_view text, const Element& e)
{
    return between(text, e.start + kData.size(), e.bodyEnd);
}

class Expander {
public:
    Expander(string_view text, DetailsSource& source) : m_text(text), m_source(source) {}

    string Page();
    const string& Title() const { return m_title; }

private:
    string Section(string_view body);
    string Block(string_view block, size_t tailEnd);
    string ValueList(string_view text, size_t tailEnd);
    string TitleBar(string_view text, size_t tailEnd);
    // Empty when a related table cannot be opened: the block then yields nothing.
    string RelTable(string_view text, size_t tailEnd);
    bool RelRows(string_view rel, string& rows);
    string ElementValue(string_view element);
    string Decoded(const string& stored);
    void ReportReadFailure(string_view field, string_view table);

    string_view m_text;
    DetailsSource& m_source;
    string m_title;
};

string Expander::Page()
{
    string page;
    const size_t htmlEnd = m_text.find(kHtmlEnd);
    if (htmlEnd == npos) {
        m_source.Report("Template Error: Unable to Find HTML end tag", false);
        return page;
    }
    std::vector<ForwardFind> openers, closers;
    for (string_view tag : kOpeners)
        openers.emplace_back(m_text, tag);
    for (string_view tag : kClosers)
        closers.emplace_back(m_text, tag);
    // The first tag of the list, in priority order, found at or after pos and before limit.
    // Text after the page end is no part of the page: a section tag there must not win over
    // a section of the page.
    auto firstOf = [](std::vector<ForwardFind>& finders, size_t pos, size_t limit) {
        for (ForwardFind& f : finders)
            if (const size_t at = f.From(pos); at < limit)
                return at;
        return npos;
    };

    size_t pos = 0;
    for (;;) {
        const size_t opener = firstOf(openers, pos, htmlEnd);
        if (opener == npos)
            break;
        page.append(m_text.substr(pos, opener - pos));
        const size_t bodyStart = opener + kOpenerLength;
        const size_t closer = firstOf(closers, bodyStart, npos);
        if (closer == npos) {
            m_source.Report("Template Error: Unable to Find Section end tag", false);
            return page;
        }
        const size_t bodyEnd = closer + kCloserLength;
        page += Section(between(m_text, bodyStart, bodyEnd));
        pos = bodyEnd;
    }
    // A section may close beyond the page end; then nothing of the page is left to copy.
    page.append(between(m_text, pos, htmlEnd + kHtmlEnd.size()));
    return page;
}

// A section's head and its blocks that have a value; nothing when no block has one.
string Expander::Section(string_view body)
{
    size_t open = body.find(kIf);
    if (open == npos)
        return string();
    string blocks;
    while (open != npos) {
        const size_t blockStart = open + kIf.size();
        const size_t close = body.find(kEndIf, blockStart);
        if (close == npos)
            break; // a block without "</IF>" yields nothing
        const size_t blockEnd = close + kEndIf.size();
        const string_view block = between(body, blockStart, blockEnd);
        blocks += Block(block, block.size() - kEndIf.size());
        open = body.find(kIf, blockEnd);
    }
    if (blocks.empty())
        return string();
    return string(body.substr(0, body.find(kIf))) + blocks;
}

// tailEnd: where the block's "</IF>" starts in text, or npos for the inner text of a title
// bar, which has none.
string Expander::Block(string_view block, size_t tailEnd)
{
    if (block.find(kTitleBar) != npos)
        return TitleBar(block, tailEnd);
    if (block.find(kRelTable) != npos)
        return RelTable(block, tailEnd);
    if (block.find(kData) != npos)
        return ValueList(block, tailEnd);
    return string();
}

string Expander::ValueList(string_view text, size_t tailEnd)
{
    string joined;
    bool havePrevious = false;
    size_t previousEnd = npos;
    Element e;
    for (size_t pos = 0; nextElement(text, pos, e); pos = e.end) {
        const string_view separator = between(text, previousEnd, e.start);
        join(joined, havePrevious, separator, ElementValue(elementBody(text, e)));
        previousEnd = e.end;
    }
    if (joined.empty())
        return string();
    return string(text.substr(0, text.find(kData))) + joined + string(between(text, previousEnd, tailEnd));
}

string Expander::TitleBar(string_view text, size_t tailEnd)
{
    string value;
    size_t lastEnd = npos;
    for (size_t open = text.find(kTitleBar); open != npos; open = text.find(kTitleBar, lastEnd)) {
        const size_t innerStart = open + kTitleBar.size();
        const size_t close = text.find(kEndTitleBar, innerStart);
        if (close == npos)
            break;
        const string_view inner = between(text, innerStart, close);
        lastEnd = close + kEndTitleBar.size();
        if (inner.find(kRelTable) != npos)
            value = RelTable(inner, npos);
        else if (inner.find(kData) != npos)
            value = ValueList(inner, npos);
    }
    if (value.empty())
        return string();
    // The title is shown as plain text (captions, favorite names): the values' own entities
    // are turned back.
    m_title.clear();
    for (size_t i = 0; i < value.size();) {
        if (value.compare(i, 4, "&lt;") == 0) {
            m_title += '<';
            i += 4;
        } else if (value.compare(i, 4, "&gt;") == 0) {
            m_title += '>';
            i += 4;
        } else if (value.compare(i, 6, "&quot;") == 0) {
            m_title += '"';
            i += 6;
        } else {
            m_title += value[i++];
        }
    }
    return string(text.substr(0, text.find(kTitleBar))) + value + string(between(text, lastEnd, tailEnd));
}

string Expander::RelTable(string_view text, size_t tailEnd)
{
    string rows;
    size_t lastEnd = npos;
    for (size_t open = text.find(kRelTable); open != npos; open = text.find(kRelTable, lastEnd)) {
        const size_t relStart = open + kRelTable.size();
        const size_t close = text.find(kEndRelTable, relStart);
        if (close == npos)
            break;
        lastEnd = close + kEndRelTable.size();
        if (!RelRows(between(text, relStart, lastEnd), rows))
            return string();
    }
    if (rows.empty())
        return string();
    return string(text.substr(0, text.find(kRelTable))) + rows + string(between(text, lastEnd, tailEnd));
}

// One "<RELTABLE>" element (through its "</RELTABLE>"), once per row of its table, appended to
// rows; false when the table cannot be opened.
bool Expander::RelRows(string_view rel, string& rows)
{
    const Reference table = parseReference(rel);
    if (table.table.empty()) {
        m_source.Report("Error! TABLE tag does not contain a table name.\n" + string(rel), false);
        return true;
    }
    struct RowElement {
        string_view separator;
        Reference ref;
        bool readable = true;
    };
    std::vector<RowElement> elements;
    size_t previousEnd = 0; // the first separator is the text before the first element
    Element e;
    for (size_t pos = 0; nextElement(rel, pos, e); pos = e.end) {
        RowElement row{ between(rel, previousEnd, e.start), parseReference(elementBody(rel, e)) };
        if (row.ref.field.empty()) {
            m_source.Report("Error! Tag does not contain a field name.\n" + string(elementBody(rel, e)), false);
            row.readable = false;
        }
        elements.push_back(row);
        previousEnd = e.end;
    }
    if (elements.empty())
        return true;
    const string_view rowTail = between(rel, previousEnd, rel.size() - kEndRelTable.size());

    const std::unique_ptr<DetailsRows> query = m_source.Query(string(table.table));
    if (!query) {
        m_source.Report("Couldn't open table!", true);
        return false;
    }
    const string tableName(table.table);
    for (; !query->IsEOF(); query->MoveNext()) {
        bool havePrevious = false;
        for (RowElement& element : elements) {
            if (!element.readable)
                continue;
            string stored, value;
            if (!query->Read(string(element.ref.field), stored)) {
                ReportReadFailure(element.ref.field, tableName);
                element.readable = false; // the field is missing from every row
            } else if (!stored.empty()) {
                value = string(element.ref.before) + Decoded(stored) + string(element.ref.after);
            }
            join(rows, havePrevious, element.separator, value);
        }
        if (!rows.empty())
            rows += rowTail;
    }
    return true;
}

string Expander::ElementValue(string_view element)
{
    const Reference ref = parseReference(element);
    // A broken reference keeps the one-value element's own text; a list element yields nothing.
    const string unchanged = ref.list ? string() : string(element);
    if (ref.table.empty()) {
        m_source.Report("Error! TABLE tag does not contain a table name.\n" + string(element), false);
        return unchanged;
    }
    if (ref.field.empty()) {
        m_source.Report("Error! Tag does not contain a field name.\n" + string(element), false);
        return unchanged;
    }
    const string table(ref.table), field(ref.field);
    const std::unique_ptr<DetailsRows> query = m_source.Query(table);
    if (!query) {
        m_source.Report("Error! Details could not query the table named " + table, false);
        return unchanged;
    }
    string stored;
    if (ref.list) {
        string list;
        for (; !query->IsEOF(); query->MoveNext()) {
            if (!query->Read(field, stored)) {
                ReportReadFailure(field, table); // the field is missing from every row
                break;
            }
            const string value = Decoded(stored);
            if (value.empty())
                continue;
            if (!list.empty())
                list += ", ";
            list += value;
        }
        return list;
    }
    if (query->IsEOF())
        return string();
    if (!query->Read(field, stored)) {
        ReportReadFailure(field, table);
        return string();
    }
    if (stored.empty())
        return string();
    return string(ref.before) + Decoded(stored) + string(ref.after);
}

string Expander::Decoded(const string& stored)
{
    if (stored.empty())
        return string();
    const string plain = m_source.Decode(stored);
    if (plain.empty()) {
        m_source.Report("Error! Unable to obtain text", false);
        return string();
    }
    return DetailsValueAsHtml(plain);
}

void Expander::ReportReadFailure(string_view field, string_view table)
{
    m_source.Report("Error! Unable to read from the field named " + string(field) + " in the table named " + string(table),
                    false);
}

void replaceAll(string& page, string_view placeholder, const string& value)
{
    if (page.find(placeholder) == npos)
        return;
    string out;
    out.reserve(page.size());
    size_t pos = 0;
    for (size_t at; (at = page.find(placeholder, pos)) != npos; pos = at + placeholder.size()) {
        out.append(page, pos, at - pos);
        out += value;
    }
    out.append(page, pos, npos);
    page.swap(out);
}

} // namespace

std::string ExpandDetailsTemplate(std::string_view text, DetailsSource& source, std::string& title)
{
    Expander expander(text, source);
    std::string page = expander.Page();
    title = expander.Title();
    return page;
}

void ReplaceDetailsPlaceholders(std::string& page, const DetailsPlaceholders& values)
{
    replaceAll(page, "<MEDIA>", values.media);
    replaceAll(page, "<DATAPATH>", values.dataPath);
    replaceAll(page, "<GRAPHIC>", values.graphic);
    replaceAll(page, "<IMAGE>", values.image);
    replaceAll(page, "<PHOTO>", values.photo);
}

std::string DetailsValueAsHtml(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\0': break;
        default: out += c; break;
        }
    }
    return out;
}
