// The rich text document and the RTF subset reader and writer.

#include "platform/base/utf8.h"
#include "platform/controls/rtf.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pvrtf {

static const int kMaxDepth = 200;
static const size_t kMaxFormats = 60000;

unsigned short Doc::intern(const CharFmt& f)
{
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i] == f) return static_cast<unsigned short>(i);
    if (formats.size() >= kMaxFormats) return 0;
    formats.push_back(f);
    return static_cast<unsigned short>(formats.size() - 1);
}

int Doc::paraOf(int pos) const
{
    pos = std::clamp(pos, 0, int(text.size()));
    return int(std::count(text.begin(), text.begin() + pos, '\n'));
}

void Doc::insert(int pos, const std::string& s, unsigned short f)
{
    pos = std::clamp(pos, 0, int(text.size()));
    int p = paraOf(pos);
    int breaks = int(std::count(s.begin(), s.end(), '\n'));
    unsigned char a = paras[size_t(p)];
    paras.insert(paras.begin() + p + 1, size_t(breaks), a);
    text.insert(size_t(pos), s);
    fmt.insert(fmt.begin() + pos, s.size(), f);
}

void Doc::erase(int pos, int len)
{
    pos = std::clamp(pos, 0, int(text.size()));
    len = std::clamp(len, 0, int(text.size()) - pos);
    int p = paraOf(pos);
    int breaks = int(std::count(text.begin() + pos, text.begin() + pos + len, '\n'));
    // Joined paragraphs keep the first one's alignment.
    paras.erase(paras.begin() + p + 1, paras.begin() + p + 1 + breaks);
    text.erase(size_t(pos), size_t(len));
    fmt.erase(fmt.begin() + pos, fmt.begin() + pos + len);
}

Doc Doc::slice(int from, int to) const
{
    from = std::clamp(from, 0, int(text.size()));
    to = std::clamp(to, from, int(text.size()));
    Doc d;
    d.formats = formats;
    d.text = text.substr(size_t(from), size_t(to - from));
    d.fmt.assign(fmt.begin() + from, fmt.begin() + to);
    int p0 = paraOf(from), p1 = paraOf(to);
    d.paras.assign(paras.begin() + p0, paras.begin() + p1 + 1);
    return d;
}

void Doc::splice(int from, int to, const Doc& d)
{
    from = std::clamp(from, 0, int(text.size()));
    to = std::clamp(to, from, int(text.size()));
    erase(from, to - from);
    int p = paraOf(from);
    std::vector<unsigned short> map(d.formats.size());
    for (size_t i = 0; i < d.formats.size(); ++i) map[i] = intern(d.formats[i]);
    int breaks = int(std::count(d.text.begin(), d.text.end(), '\n'));
    if (!d.paras.empty()) paras[size_t(p)] = d.paras.front();
    for (int k = 1; k <= breaks; ++k)
        paras.insert(paras.begin() + p + k, k < int(d.paras.size()) ? d.paras[size_t(k)] : static_cast<unsigned char>(AlignLeft));
    text.insert(size_t(from), d.text);
    std::vector<unsigned short> f;
    f.reserve(d.fmt.size());
    for (unsigned short x : d.fmt) f.push_back(x < map.size() ? map[x] : 0);
    fmt.insert(fmt.begin() + from, f.begin(), f.end());
}

bool Doc::consistent() const
{
    if (fmt.size() != text.size()) return false;
    if (int(paras.size()) != int(std::count(text.begin(), text.end(), '\n')) + 1) return false;
    for (unsigned short f : fmt) if (f >= formats.size()) return false;
    return true;
}

// ---- Reading ----
// What cannot be held (NUL, surrogates, past U+10FFFF) reads as the replacement character.
static void appendUtf8(std::string& s, unsigned cp)
{
    if (cp == 0 || !PvAppendUtf8(s, cp)) PvAppendUtf8(s, 0xFFFD);
}

// Windows-1252 for the bytes 0x80..0x9F; the rest is Latin-1.
static unsigned cp1252(unsigned char b)
{
    static const unsigned short hi[32] = {0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                          0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};
    return (b >= 0x80 && b < 0xA0) ? hi[b - 0x80] : b;
}

namespace {
enum class Dest { Text, FontTable, ColorTable, Skip };

struct State {
    CharFmt cf;
    int font = -1;
    Dest dest = Dest::Text;
    int uc = 1;
};

struct Reader {
    const std::string& in;
    size_t i = 0;
    Doc doc;
    std::vector<State> stack;
    State st;
    std::vector<std::pair<int, std::string>> fonts;
    std::vector<COLORREF> colors;
    int red = 0, green = 0, blue = 0;
    bool colorSet = false;
    std::string fontName;
    int fontNum = -1;
    unsigned char align = AlignLeft;
    int skipChars = 0;          // characters after \uN still to skip
    unsigned highSurrogate = 0; // the first half of a pair written as two \uN

    Reader(const std::string& s, const CharFmt& base) : in(s) { st.cf = base; doc.clear(base); }

    void emitText(const std::string& s)
    {
        if (s.empty()) return;
        if (st.dest == Dest::FontTable) { fontName += s; return; }
        if (st.dest != Dest::Text) return;
        if (highSurrogate) {
            // A first half with no second one stands for a character that cannot be shown.
            highSurrogate = 0;
            emitChar(0xFFFD);
        }
        doc.paras.back() = align;
        unsigned short f = doc.intern(st.cf);
        doc.text += s;
        doc.fmt.insert(doc.fmt.end(), s.size(), f);
    }
    void emitChar(unsigned cp)
    {
        if (skipChars > 0) { --skipChars; return; }
        // Characters beyond the basic plane come as a pair of \uN halves.
        if (cp >= 0xD800 && cp < 0xDC00) { highSurrogate = cp; return; }
        if (cp >= 0xDC00 && cp < 0xE000 && highSurrogate) {
            cp = 0x10000 + ((highSurrogate - 0xD800) << 10) + (cp - 0xDC00);
            highSurrogate = 0;
        } else if (highSurrogate) {
            highSurrogate = 0;
            emitChar(0xFFFD);
        }
        // Line breaks written as escapes still break paragraphs; the text never holds a bare one.
        if (cp == '\n' || cp == '\r') { par(); return; }
        std::string s;
        appendUtf8(s, cp);
        emitText(s);
    }
    void par()
    {
        if (st.dest != Dest::Text) return;
        doc.paras.back() = align;
        doc.text += '\n';
        doc.fmt.push_back(doc.intern(st.cf));
        doc.paras.push_back(align);
    }
    std::string faceOf(int n) const
    {
        for (const auto& f : fonts) if (f.first == n) return f.second;
        return {};
    }

    void control(const std::string& word, bool hasArg, long arg)
    {
        bool on = !hasArg || arg != 0;
        if (word == "rtf" || word == "ansi" || word == "deff") return;
        if (word == "fonttbl") { st.dest = Dest::FontTable; return; }
        if (word == "colortbl") { st.dest = Dest::ColorTable; return; }
        if (word == "stylesheet" || word == "info" || word == "pict" || word == "object" || word == "header" ||
            word == "footer" || word == "listtable" || word == "listoverridetable" || word == "generator" ||
            word == "themedata" || word == "latentstyles" || word == "datastore" || word == "xmlnstbl") {
            st.dest = Dest::Skip;
            return;
        }
        if (st.dest == Dest::ColorTable) {
            int v = int(std::clamp(arg, 0L, 255L));
            if (word == "red") { red = v; colorSet = true; }
            else if (word == "green") { green = v; colorSet = true; }
            else if (word == "blue") { blue = v; colorSet = true; }
            return;
        }
        if (st.dest == Dest::FontTable) {
            if (word == "f") fontNum = int(std::clamp(arg, -1L, 100000L));
            return;
        }
        if (st.dest == Dest::Skip) return;
        if (word == "b") st.cf.bold = on;
        else if (word == "i") st.cf.italic = on;
        else if (word == "ul") st.cf.underline = on;
        else if (word == "ulnone") st.cf.underline = false;
        else if (word == "strike") st.cf.strike = on;
        else if (word == "fs") { if (hasArg && arg > 0) st.cf.twips = int(std::clamp(arg, 2L, 3276L)) * 10; }
        else if (word == "f") {
            std::string face = faceOf(int(std::clamp(arg, -1L, 100000L)));
            if (!face.empty()) st.cf.face = face;
        } else if (word == "cf") {
            long n = hasArg ? arg : 0;
            // Entry 0 is the automatic colour.
            if (n <= 0 || n >= long(colors.size())) { st.cf.autoColor = true; st.cf.color = 0; }
            else { st.cf.autoColor = false; st.cf.color = colors[size_t(n)]; }
        } else if (word == "plain") {
            CharFmt base = doc.formats.front();
            st.cf.bold = st.cf.italic = st.cf.underline = st.cf.strike = false;
            st.cf.twips = base.twips;
            st.cf.autoColor = true;
            st.cf.color = 0;
        } else if (word == "par") par();
        else if (word == "line") par();
        else if (word == "pard") align = AlignLeft;
        else if (word == "ql") align = AlignLeft;
        else if (word == "qc") align = AlignCenter;
        else if (word == "qr") align = AlignRight;
        else if (word == "qj") align = AlignLeft;
        else if (word == "tab") emitChar('\t');
        else if (word == "uc") st.uc = int(std::clamp(arg, 0L, 10L));
        else if (word == "u") {
            long v = arg < 0 ? arg + 65536 : arg;
            skipChars = 0;
            emitChar(unsigned(std::clamp(v, 0L, 0x10FFFFL)));
            skipChars = st.uc;
        } else if (word == "emdash") emitChar(0x2014);
        else if (word == "endash") emitChar(0x2013);
        else if (word == "bullet") emitChar(0x2022);
        else if (word == "lquote") emitChar(0x2018);
        else if (word == "rquote") emitChar(0x2019);
        else if (word == "ldblquote") emitChar(0x201C);
        else if (word == "rdblquote") emitChar(0x201D);
    }

    void endFontEntry()
    {
        std::string name = fontName;
        size_t semi = name.find(';');
        if (semi != std::string::npos) name.resize(semi);
        while (!name.empty() && name.front() == ' ') name.erase(name.begin());
        if (fontNum >= 0 && !name.empty() && fonts.size() < 4096) fonts.emplace_back(fontNum, name);
        fontName.clear();
        fontNum = -1;
    }

    void run()
    {
        int depth = 0;
        while (i < in.size()) {
            char c = in[i];
            if (c == '{') {
                ++i;
                if (depth >= kMaxDepth) {
                    // Too deep to be a real document: skip the group whole.
                    int d = 1;
                    while (i < in.size() && d > 0) {
                        if (in[i] == '\\') { i += 2; continue; }
                        if (in[i] == '{') ++d;
                        else if (in[i] == '}') --d;
                        ++i;
                    }
                    continue;
                }
                stack.push_back(st);
                ++depth;
                skipChars = 0;
                continue;
            }
            if (c == '}') {
                ++i;
                if (st.dest == Dest::FontTable && !fontName.empty()) endFontEntry();
                if (stack.empty()) break;   // the document's own group ends it
                Dest was = st.dest;
                st = stack.back();
                stack.pop_back();
                --depth;
                if (was == Dest::FontTable && st.dest == Dest::FontTable) endFontEntry();
                continue;
            }
            if (c == '\\') {
                ++i;
                if (i >= in.size()) break;
                char n = in[i];
                if (n == '\\' || n == '{' || n == '}') { ++i; emitChar(unsigned(static_cast<unsigned char>(n))); continue; }
                if (n == '\'') {
                    ++i;
                    unsigned v = 0;
                    int digits = 0;
                    while (digits < 2 && i < in.size() && isxdigit(static_cast<unsigned char>(in[i]))) {
                        char h = in[i++];
                        v = v * 16 + unsigned(isdigit(static_cast<unsigned char>(h)) ? h - '0' : (tolower(h) - 'a' + 10));
                        ++digits;
                    }
                    if (digits) emitChar(cp1252(static_cast<unsigned char>(v)));
                    continue;
                }
                if (n == '*') { ++i; st.dest = Dest::Skip; continue; }
                if (n == '~') { ++i; emitChar(0xA0); continue; }
                if (n == '-' || n == '_') { ++i; continue; }
                if (n == '\n' || n == '\r') { ++i; par(); continue; }
                if (!isalpha(static_cast<unsigned char>(n))) { ++i; continue; }
                std::string word;
                while (i < in.size() && isalpha(static_cast<unsigned char>(in[i])) && word.size() < 32) word += in[i++];
                while (i < in.size() && isalpha(static_cast<unsigned char>(in[i]))) ++i;
                bool hasArg = false, neg = false;
                long arg = 0;
                if (i < in.size() && in[i] == '-') { neg = true; ++i; }
                int digits = 0;
                while (i < in.size() && isdigit(static_cast<unsigned char>(in[i]))) {
                    if (digits < 9) arg = arg * 10 + (in[i] - '0');
                    ++digits;
                    ++i;
                    hasArg = true;
                }
                if (neg) arg = -arg;
                if (i < in.size() && in[i] == ' ') ++i;
                control(word, hasArg, arg);
                continue;
            }
            if (c == '\r' || c == '\n') { ++i; continue; }
            if (st.dest == Dest::ColorTable) {
                if (c == ';') {
                    if (colors.size() < 4096) colors.push_back(colorSet ? RGB(red, green, blue) : 0);
                    red = green = blue = 0;
                    colorSet = false;
                }
                ++i;
                continue;
            }
            // A run of plain bytes.
            size_t j = i;
            while (j < in.size() && in[j] != '\\' && in[j] != '{' && in[j] != '}' && in[j] != '\r' && in[j] != '\n') ++j;
            std::string chunk = in.substr(i, j - i);
            i = j;
            while (skipChars > 0 && !chunk.empty()) {
                chunk.erase(0, 1);
                --skipChars;
            }
            if (st.dest == Dest::FontTable) {
                fontName += chunk;
                if (chunk.find(';') != std::string::npos) endFontEntry();
                continue;
            }
            // Bytes that are not valid UTF-8 are read as Windows-1252.
            std::string out;
            for (size_t k = 0; k < chunk.size();) {
                unsigned char b = static_cast<unsigned char>(chunk[k]);
                int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
                bool ok = len > 0 && k + size_t(len) <= chunk.size();
                for (int m = 1; ok && m < len; ++m) ok = (static_cast<unsigned char>(chunk[k + size_t(m)]) & 0xC0) == 0x80;
                if (ok) { out.append(chunk, k, size_t(len)); k += size_t(len); }
                else { appendUtf8(out, cp1252(b)); ++k; }
            }
            emitText(out);
        }
        doc.paras.back() = align;
    }
};
} // namespace

// Text in one pair of braces with no RTF header is how plain text travels as RTF: the braces
// go, \\ \{ \} stand for themselves, and every other backslash is the text's own (a path).
static Doc ReadBraced(const std::string& data, size_t open, const CharFmt& base)
{
    size_t close = data.find_last_of('}');
    if (close == std::string::npos || close <= open) close = data.size();
    std::string t;
    t.reserve(close - open);
    for (size_t k = open + 1; k < close; ++k) {
        if (data[k] == '\\' && k + 1 < close && (data[k + 1] == '\\' || data[k + 1] == '{' || data[k + 1] == '}')) ++k;
        t += data[k];
    }
    return ReadPlain(t, base);
}

Doc ReadRtf(const std::string& data, const CharFmt& base)
{
    size_t start = 0;
    while (start < data.size() && isspace(static_cast<unsigned char>(data[start]))) ++start;
    if (data.compare(start, 5, "{\\rtf") != 0) {
        if (start < data.size() && data[start] == '{') return ReadBraced(data, start, base);
        return ReadPlain(data, base);
    }
    Reader r(data, base);
    r.i = start + 1;
    r.run();
    // A last paragraph mark only closes the last paragraph.
    if (!r.doc.text.empty() && r.doc.text.back() == '\n') {
        r.doc.text.pop_back();
        r.doc.fmt.pop_back();
        r.doc.paras.pop_back();
    }
    return r.doc;
}

Doc ReadPlain(const std::string& data, const CharFmt& base)
{
    Doc d;
    d.clear(base);
    std::string t;
    t.reserve(data.size());
    for (size_t k = 0; k < data.size(); ++k) {
        if (data[k] == '\r') { t += '\n'; if (k + 1 < data.size() && data[k + 1] == '\n') ++k; }
        else if (data[k] != 0) t += data[k];
    }
    d.insert(0, t, 0);
    return d;
}

// ---- Writing ----
static void writeEscaped(std::string& out, const std::string& s)
{
    for (size_t k = 0; k < s.size();) {
        unsigned char b = static_cast<unsigned char>(s[k]);
        unsigned cp = b;
        int len = 1;
        if (b >= 0x80) {
            len = (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
            if (k + size_t(len) > s.size()) len = 1;
            cp = len == 1 ? 0xFFFD : (b & (0x7F >> len));
            for (int m = 1; m < len; ++m) cp = (cp << 6) | (static_cast<unsigned char>(s[k + size_t(m)]) & 0x3F);
        }
        k += size_t(len);
        char buf[24];
        if (cp == '\\' || cp == '{' || cp == '}') { out += '\\'; out += char(cp); }
        else if (cp == '\t') out += "\\tab ";
        else if (cp < 0x80) out += char(cp);
        else if (cp < 0x100 && cp >= 0xA0) { std::snprintf(buf, sizeof buf, "\\'%02x", cp); out += buf; }
        else if (cp < 0x10000) { std::snprintf(buf, sizeof buf, "\\u%d?", int(short(cp))); out += buf; }
        else {
            // Outside the basic plane: a surrogate pair, as readers of RTF expect.
            unsigned v = cp - 0x10000;
            std::snprintf(buf, sizeof buf, "\\u%d?\\u%d?", int(short(0xD800 + (v >> 10))), int(short(0xDC00 + (v & 0x3FF))));
            out += buf;
        }
    }
}

std::string WriteRtf(const Doc& doc)
{
    std::vector<std::string> faces;
    std::vector<COLORREF> colors;
    for (const CharFmt& f : doc.formats) {
        if (std::find(faces.begin(), faces.end(), f.face) == faces.end()) faces.push_back(f.face);
        if (!f.autoColor && std::find(colors.begin(), colors.end(), f.color) == colors.end()) colors.push_back(f.color);
    }
    std::string out = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (size_t k = 0; k < faces.size(); ++k) {
        out += "{\\f" + std::to_string(k) + "\\fnil ";
        writeEscaped(out, faces[k]);
        out += ";}";
    }
    out += "}";
    if (!colors.empty()) {
        out += "{\\colortbl ;";
        for (COLORREF c : colors)
            out += "\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" + std::to_string(GetBValue(c)) + ";";
        out += "}";
    }
    out += "\n";
    const char* alignWord[4] = {"\\ql", "\\ql", "\\qr", "\\qc"};
    int para = 0;
    int cur = -1;
    size_t k = 0;
    auto startPara = [&](int p) {
        unsigned char a = p < int(doc.paras.size()) ? doc.paras[size_t(p)] : static_cast<unsigned char>(AlignLeft);
        out += "\\pard";
        out += alignWord[a < 4 ? a : 1];
        out += " ";
        cur = -1;
    };
    startPara(0);
    while (k < doc.text.size()) {
        int f = k < doc.fmt.size() && doc.fmt[k] < doc.formats.size() ? doc.fmt[k] : 0;
        if (doc.text[k] == '\n') {
            out += "\\par\n";
            ++k;
            startPara(++para);
            continue;
        }
        if (f != cur) {
            const CharFmt& cf = doc.formats[size_t(f)];
            size_t fi = size_t(std::find(faces.begin(), faces.end(), cf.face) - faces.begin());
            out += "\\plain\\f" + std::to_string(fi) + "\\fs" + std::to_string(std::max(1, cf.twips / 10));
            if (cf.bold) out += "\\b";
            if (cf.italic) out += "\\i";
            if (cf.underline) out += "\\ul";
            if (cf.strike) out += "\\strike";
            if (!cf.autoColor) out += "\\cf" + std::to_string(std::find(colors.begin(), colors.end(), cf.color) - colors.begin() + 1);
            out += " ";
            cur = f;
        }
        size_t j = k;
        while (j < doc.text.size() && doc.text[j] != '\n' && (j < doc.fmt.size() ? doc.fmt[j] : 0) == cur) ++j;
        writeEscaped(out, doc.text.substr(k, j - k));
        k = j;
    }
    out += "\\par\n}\n";
    return out;
}

std::string PlainText(const Doc& doc)
{
    std::string out;
    out.reserve(doc.text.size() + size_t(doc.paraCount()));
    for (char c : doc.text) {
        if (c == '\n') out += "\r\n";
        else out += c;
    }
    return out;
}

} // namespace pvrtf
