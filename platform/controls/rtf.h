#pragma once
// The rich text document of the rich edit control, and its RTF subset reader and writer:
// groups, font and colour tables, \b \i \ul \strike \fs \f \cf \par \pard \ql \qc \qr \plain,
// \tab \line, escapes \\ \{ \} \'hh (Windows-1252) and \uN. Anything else is skipped.

#include "platform/base/pvdefs.h"

#include <string>
#include <vector>

namespace pvrtf {

struct CharFmt {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int twips = 200;            // character height in twips (10 pt)
    std::string face = "Arial";
    COLORREF color = 0;
    bool autoColor = true;
    bool operator==(const CharFmt& o) const
    {
        return bold == o.bold && italic == o.italic && underline == o.underline && strike == o.strike &&
               twips == o.twips && face == o.face && color == o.color && autoColor == o.autoColor;
    }
};

enum Align : unsigned char { AlignLeft = 1, AlignRight = 2, AlignCenter = 3 };

// Text is UTF-8 with '\n' ending each paragraph but the last; fmt holds one format index per byte
// of text (the break included) into formats; paras one alignment per paragraph.
struct Doc {
    std::string text;
    std::vector<unsigned short> fmt;
    std::vector<CharFmt> formats;
    std::vector<unsigned char> paras;

    Doc() { clear(CharFmt {}); }
    void clear(const CharFmt& base)
    {
        text.clear();
        fmt.clear();
        formats.assign(1, base);
        paras.assign(1, AlignLeft);
    }
    unsigned short intern(const CharFmt& f);
    int paraCount() const { return int(paras.size()); }
    int paraOf(int pos) const;          // the paragraph that holds byte pos
    // Inserts text (with '\n' for paragraph breaks) in one format; paragraphs split by it take
    // the alignment of the one they came from.
    void insert(int pos, const std::string& s, unsigned short f);
    void erase(int pos, int len);
    // A slice as a document of its own (for streaming out a selection).
    Doc slice(int from, int to) const;
    // Replaces [from, to) by another document's content.
    void splice(int from, int to, const Doc& d);
    bool consistent() const;
};

// Reads RTF (or, when the data is not RTF, plain text) into a document. Never fails: damaged
// input gives whatever text could be read. Depth and sizes are bounded.
Doc ReadRtf(const std::string& data, const CharFmt& base);
// Plain text, CR LF and lone CR or LF ending paragraphs.
Doc ReadPlain(const std::string& data, const CharFmt& base);
std::string WriteRtf(const Doc& doc);
// The plain text with CR LF line ends.
std::string PlainText(const Doc& doc);

} // namespace pvrtf
