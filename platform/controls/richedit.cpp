// The rich edit control: styled text from the RTF subset, laid out in wrapped lines, edited with
// the keyboard and mouse, streamed in and out, and rendered into other DCs (EM_FORMATRANGE).

#include "platform/controls/ctlimpl.h"
#include "platform/controls/rtf.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace pvctl {

using pvrtf::CharFmt;
using pvrtf::Doc;

static const size_t kMaxStream = 16u << 20;   // what a stream may bring in at most

// Registered by name, so every window and the grid agree on the number.
static UINT RtfClipboardFormat() { return RegisterClipboardFormat("Rich Text Format"); }

static const int kDefaultLimit = 32767;   // characters, until EM_EXLIMITTEXT
static const int kLimitForZero = 65536;   // what EM_EXLIMITTEXT(0) sets

// The bytes of the first `room` characters of s.
static int fitBytes(const std::string& s, int room) { return ByteOfChar(s, std::max(0, room)); }
static int chars(const std::string& s) { return CountChars(s.data(), s.size()); }

struct RichCtl : Control {
    struct Seg { int start; int len; int x; int w; unsigned short f; };
    struct Line { int start; int end; int y; int h; int ascent; std::vector<Seg> segs; };

    Doc doc;
    CharFmt base;
    int anchor = 0, caret = 0;
    int limit = kDefaultLimit;
    bool modified = false;
    bool plain = false;
    DWORD eventMask = 0;
    DWORD options = 0;
    COLORREF bk = CLR_NONE;
    bool focused = false, tracking = false;
    int scrollY = 0;
    int targetWidth = 0;        // twips; 0 wraps to the window
    Doc undoDoc;
    int undoCaret = 0;
    bool canUndo = false;
    std::vector<Line> lines;
    bool dirty = true;
    int contentH = 0;
    std::map<unsigned short, HFONT> fonts;
    bool wantV = false;     // WS_VSCROLL asked for: the bar comes and goes with the text

    RichCtl(HWND hw, const CREATESTRUCT* cs) : Control(hw)
    {
        doc.clear(base);
        wantV = cs && (cs->style & WS_VSCROLL);
        if (cs && cs->lpszName && *cs->lpszName) doc.insert(0, cs->lpszName, 0);
    }
    ~RichCtl() override { dropFonts(); }

    void dropFonts()
    {
        for (auto& f : fonts) DeleteObject(f.second);
        fonts.clear();
    }
    HFONT fontOf(unsigned short f)
    {
        auto it = fonts.find(f);
        if (it != fonts.end()) return it->second;
        const CharFmt& cf = doc.formats[f < doc.formats.size() ? f : 0];
        LOGFONT lf {};
        // Rounded as point sizes become pixels everywhere else: 8 pt is 11 pixels, not 10.
        lf.lfHeight = -std::max(1, (cf.twips * 96 + 720) / 1440);
        lf.lfWeight = cf.bold ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = cf.italic;
        lf.lfUnderline = cf.underline;
        lf.lfStrikeOut = cf.strike;
        strncpy(lf.lfFaceName, cf.face.c_str(), sizeof lf.lfFaceName - 1);
        HFONT hf = CreateFontIndirect(&lf);
        fonts[f] = hf;
        return hf;
    }
    bool readOnly() const { return (style() & ES_READONLY) != 0; }
    int selMin() const { return std::min(anchor, caret); }
    // Positions outside are characters; inside, bytes of the UTF-8 text.
    int toChars(int pos) const { return CountChars(doc.text.data(), size_t(std::clamp(pos, 0, len()))); }
    int toBytes(long chars) const { return chars < 0 ? len() : ByteOfChar(doc.text, int(std::min<long>(chars, len()))); }
    int selMax() const { return std::max(anchor, caret); }
    int len() const { return int(doc.text.size()); }
    unsigned short fmtAt(int pos) const
    {
        if (doc.fmt.empty()) return 0;
        int i = std::clamp(pos > 0 ? pos - 1 : 0, 0, len() - 1);
        return doc.fmt[size_t(i)];
    }

    // ---- Layout ----
    int wrapWidth()
    {
        if (targetWidth > 0) return targetWidth * 96 / 1440;
        RECT rc;
        GetClientRect(h, &rc);
        return std::max<LONG>(1, rc.right - rc.left - 4);
    }

    // One line from ls within the paragraph [.., pend) of alignment `align`, wrapped greedily at
    // `width` pixels: its extent depends on the text from ls to the paragraph's end only.
    Line layLine(CDC& dc, int ls, int pend, int y, int width, unsigned char align)
    {
        auto measure = [&](int a, int b, unsigned short f) {
            dc.SelectObject(reinterpret_cast<HGDIOBJ>(fontOf(f)));
            std::string s = doc.text.substr(size_t(a), size_t(b - a));
            std::replace(s.begin(), s.end(), '\t', ' ');
            return int(dc.GetTextExtent(s.c_str(), int(s.size())).cx);
        };
        const int n = len();
        Line line {ls, ls, y, 0, 0, {}};
        int x = 0;
        int k = ls;
        int lastBreak = -1;
        while (k < pend) {
            unsigned short f = doc.fmt[size_t(k)];
            int nk = NextChar(doc.text, k);
            int w = measure(k, nk, f);
            if (x + w > width && k > ls) break;
            if (doc.text[size_t(k)] == ' ') lastBreak = nk;
            x += w;
            k = nk;
        }
        if (k < pend && lastBreak > ls) k = lastBreak;
        line.end = k;
        // Segments of one format each.
        int sx = 0;
        for (int a = ls; a < k;) {
            unsigned short f = doc.fmt[size_t(a)];
            int b = a;
            while (b < k && doc.fmt[size_t(b)] == f) ++b;
            int w = measure(a, b, f);
            line.segs.push_back({a, b - a, sx, w, f});
            sx += w;
            a = b;
        }
        // Height from the tallest font on the line (or the one at its start when empty).
        std::vector<unsigned short> used;
        for (const Seg& sg : line.segs) used.push_back(sg.f);
        if (used.empty()) used.push_back(ls < n ? doc.fmt[size_t(ls)] : fmtAt(ls));
        for (unsigned short f : used) {
            dc.SelectObject(reinterpret_cast<HGDIOBJ>(fontOf(f)));
            TEXTMETRIC tm {};
            dc.GetTextMetrics(&tm);
            line.h = std::max<int>(line.h, tm.tmHeight);
            line.ascent = std::max<int>(line.ascent, tm.tmAscent);
        }
        int shift = align == pvrtf::AlignCenter ? (width - sx) / 2 : align == pvrtf::AlignRight ? width - sx : 0;
        if (shift > 0) for (Seg& sg : line.segs) sg.x += shift;
        return line;
    }
    int paraEnd(int pos) const
    {
        size_t e = doc.text.find('\n', size_t(pos));
        return e == std::string::npos ? len() : int(e);
    }
    unsigned char alignOf(int para) const
    {
        return para < int(doc.paras.size()) ? doc.paras[size_t(para)] : (unsigned char)pvrtf::AlignLeft;
    }

    // Lays lines out from pos, a line start in paragraph `para`, at height y, until `stop`
    // accepts the start of the next line (-1 after the last) and the height below; answers
    // whether it stopped before the text's end.
    template <class Stop>
    bool layFrom(int pos, int y, int para, int width, std::vector<Line>& out, Stop stop)
    {
        CDC& dc = MeasureDC(nullptr);
        const int n = len();
        for (;;) {
            const int pend = paraEnd(pos);
            int ls = pos;
            do {
                out.push_back(layLine(dc, ls, pend, y, width, alignOf(para)));
                y += out.back().h;
                ls = out.back().end;
                const int next = ls < pend ? ls : pend < n ? pend + 1 : -1;
                if (stop(next, y)) return true;
            } while (ls < pend);
            if (pend >= n) return false;
            pos = pend + 1;
            ++para;
        }
    }

    // Lays the document out in lines of at most `width` pixels; measuring with the screen.
    std::vector<Line> layoutDoc(int width, int from = 0)
    {
        std::vector<Line> out;
        layFrom(from, 0, from ? doc.paraOf(from) : 0, width, out, [](int, int) { return false; });
        return out;
    }

    // After one replacement of [a, a + oldLen) by newLen bytes: lays out again from the line
    // before the change until a line starts where an old one did, past the change; the old
    // lines from there on only move. Typing in a long text costs a few lines, not the text.
    bool relayoutEdit(int a, int oldLen, int newLen, int width)
    {
        if (lines.empty() || a < 0 || a > len()) return false;
        const int delta = newLen - oldLen;
        const int editEnd = a + newLen;
        // The first line to lay again: the one before the line that held a (a shorter first
        // word may move up to it).
        size_t i0 = size_t(std::upper_bound(lines.begin(), lines.end(), a,
                                            [](int v, const Line& l) { return v < l.start; }) - lines.begin());
        i0 = i0 >= 2 ? i0 - 2 : 0;
        const int pos = lines[i0].start;
        if (pos > len()) return false;
        std::vector<Line> mid;
        auto same = lines.end();
        int dy = 0;
        // An old line starting at the same text (moved by delta) past the change: the rest is the same.
        auto sync = [&](int next, int y) {
            if (next <= editEnd) return false;
            const int oldStart = next - delta;
            auto it = std::lower_bound(lines.begin() + long(i0), lines.end(), oldStart,
                                       [](const Line& l, int v) { return l.start < v; });
            if (it == lines.end() || it->start != oldStart || oldStart < a + oldLen) return false;
            same = it;
            dy = y - it->y;
            return true;
        };
        layFrom(pos, lines[i0].y, doc.paraOf(pos), width, mid, sync);
        std::vector<Line> out;
        out.reserve(i0 + mid.size() + size_t(lines.end() - same));
        out.insert(out.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.begin() + long(i0)));
        out.insert(out.end(), std::make_move_iterator(mid.begin()), std::make_move_iterator(mid.end()));
        for (auto t = same; t != lines.end(); ++t) {
            Line l = std::move(*t);
            l.start += delta;
            l.end += delta;
            l.y += dy;
            for (Seg& sg : l.segs) sg.start += delta;
            out.push_back(std::move(l));
        }
        lines = std::move(out);
        return true;
    }

    struct PendingEdit { int a = -1; int oldLen = 0; int newLen = 0; };
    PendingEdit pending;    // the one replacement since the last layout, when there is one
    int laidWidth = -1;

    void layout()
    {
        if (!dirty) return;
        dirty = false;
        const int width = wrapWidth();
        const PendingEdit e = pending;
        pending = PendingEdit {};
        if (!(e.a >= 0 && width == laidWidth && relayoutEdit(e.a, e.oldLen, e.newLen, width)))
            lines = layoutDoc(width);
        laidWidth = width;
        contentH = lines.empty() ? 0 : lines.back().y + lines.back().h;
        scrollY = std::clamp(scrollY, 0, std::max(0, contentH - pageH()));
        updateScroll();
    }
    int lineOf(int pos)
    {
        layout();
        auto it = std::upper_bound(lines.begin(), lines.end(), pos, [](int v, const Line& l) { return v < l.start; });
        return std::max(0, int(it - lines.begin()) - 1);
    }
    int xOf(const Line& l, int pos)
    {
        CDC& dc = MeasureDC(nullptr);
        int x = l.segs.empty() ? 0 : l.segs.front().x;
        for (const Seg& s : l.segs) {
            if (pos >= s.start + s.len) { x = s.x + s.w; continue; }
            if (pos <= s.start) return s.x;
            dc.SelectObject(reinterpret_cast<HGDIOBJ>(fontOf(s.f)));
            std::string t = doc.text.substr(size_t(s.start), size_t(pos - s.start));
            return s.x + int(dc.GetTextExtent(t.c_str(), int(t.size())).cx);
        }
        return x;
    }
    int posAt(POINT p)
    {
        layout();
        if (lines.empty()) return 0;
        int y = p.y + scrollY;
        size_t li = 0;
        while (li + 1 < lines.size() && y >= lines[li].y + lines[li].h) ++li;
        const Line& l = lines[li];
        int best = l.start;
        for (int k = l.start; k < l.end;) {
            int nk = NextChar(doc.text, k);
            int a = xOf(l, k) + 2, b = xOf(l, nk) + 2;
            if (p.x < (a + b) / 2) break;
            best = nk;
            k = nk;
        }
        return best;
    }
    void placeCaret()
    {
        if (!focused) return;
        layout();
        if (lines.empty()) return;
        const Line& l = lines[size_t(lineOf(caret))];
        SetCaretPos(2 + xOf(l, caret), l.y - scrollY);
    }
    void scrollCaret()
    {
        layout();
        if (lines.empty()) return;
        const Line& l = lines[size_t(lineOf(caret))];
        RECT rc;
        GetClientRect(h, &rc);
        if (l.y < scrollY) setScrollY(l.y);
        else if (l.y + l.h > scrollY + rc.bottom) setScrollY(l.y + l.h - rc.bottom);
        placeCaret();
    }

    // ---- Vertical scrolling, in pixels ----
    int pageH() const
    {
        RECT rc;
        GetClientRect(h, &rc);
        return std::max<int>(1, rc.bottom - rc.top);
    }
    int lineStep()
    {
        layout();
        return lines.empty() ? 16 : std::max(1, lines.front().h);
    }
    void updateScroll()
    {
        if (!wantV) return;
        SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, contentH - 1), UINT(pageH()), scrollY, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }
    void setScrollY(int y)
    {
        layout();
        y = std::clamp(y, 0, std::max(0, contentH - pageH()));
        if (y != scrollY) {
            scrollY = y;
            InvalidateRect(h, nullptr, TRUE);
        }
        updateScroll();
        placeCaret();
    }
    void onVScroll(UINT code)
    {
        SCROLLINFO si {sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(h, SB_VERT, &si);
        switch (code) {
        case SB_LINEUP: setScrollY(scrollY - lineStep()); break;
        case SB_LINEDOWN: setScrollY(scrollY + lineStep()); break;
        case SB_PAGEUP: setScrollY(scrollY - pageH()); break;
        case SB_PAGEDOWN: setScrollY(scrollY + pageH()); break;
        // The track position, not the message's 16 bits: a long text is taller than that.
        case SB_THUMBTRACK: case SB_THUMBPOSITION: setScrollY(si.nTrackPos); break;
        case SB_TOP: setScrollY(0); break;
        case SB_BOTTOM: setScrollY(contentH); break;
        default: break;
        }
    }

    // ---- Changes ----
    void notifyChange()
    {
        dirty = true;
        layout();
        InvalidateRect(h, nullptr, TRUE);
        if (eventMask & ENM_UPDATE) NotifyParent(h, EN_UPDATE);
        if (eventMask & ENM_CHANGE) NotifyParent(h, EN_CHANGE);
        if (IsWindow(h) && (eventMask & ENM_REQUESTRESIZE)) requestResize();
    }
    void requestResize()
    {
        layout();
        REQRESIZE rr {};
        GetClientRect(h, &rr.rc);
        rr.rc.bottom = rr.rc.top + contentH;
        NotifyParentNM(h, &rr.nmhdr, EN_REQUESTRESIZE);
    }
    void selChanged()
    {
        if (!(eventMask & ENM_SELCHANGE)) return;
        SELCHANGE sc {};
        sc.chrg = CHARRANGE {toChars(selMin()), toChars(selMax())};
        sc.seltyp = selMin() == selMax() ? 0 : 1;
        NotifyParentNM(h, &sc.nmhdr, EN_SELCHANGE);
    }
    void saveUndo()
    {
        undoDoc = doc;
        undoCaret = caret;
        canUndo = true;
    }
    void replaceSel(std::string s, bool undoable)
    {
        s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
        int a = selMin(), b = selMax();
        int room = limit - (chars(doc.text) - CountChars(doc.text.data() + a, size_t(b - a)));
        if (chars(s) > room) {
            s.resize(size_t(fitBytes(s, room)));
            NotifyParent(h, EN_MAXTEXT);
        }
        if (s.empty() && a == b) return;
        if (undoable) saveUndo();
        // Typed text takes the format of what it replaces; at a paragraph's start, that
        // paragraph's; else that of the character before it.
        bool paraStart = a == 0 || doc.text[size_t(a) - 1] == '\n';
        unsigned short f = a < b || (paraStart && a < len()) ? doc.fmt[size_t(a)] : (len() ? fmtAt(a) : doc.intern(base));
        doc.erase(a, b - a);
        doc.insert(a, s, f);
        if (!dirty) pending = PendingEdit {a, b - a, int(s.size())};
        anchor = caret = a + int(s.size());
        modified = true;
        notifyChange();
        scrollCaret();
        selChanged();
    }
    // Pasted rich text: the selection's place, up to the limit, as one undo step.
    void replaceDoc(Doc d)
    {
        int a = selMin(), b = selMax();
        int room = limit - (chars(doc.text) - CountChars(doc.text.data() + a, size_t(b - a)));
        if (chars(d.text) > room) {
            d = d.slice(0, fitBytes(d.text, room));
            NotifyParent(h, EN_MAXTEXT);
        }
        if (d.text.empty() && a == b) return;
        saveUndo();
        doc.splice(a, b, d);
        anchor = caret = a + int(d.text.size());
        dropFonts();
        modified = true;
        notifyChange();
        scrollCaret();
        selChanged();
    }
    void setSel(int a, int c)
    {
        a = std::clamp(a, 0, len());
        c = std::clamp(c, 0, len());
        if (a == anchor && c == caret) return;
        anchor = a;
        caret = c;
        InvalidateRect(h, nullptr, TRUE);
        placeCaret();
        selChanged();
    }

    // Plain text streamed in is not held to the limit; typed, pasted and RTF text is.
    void setDoc(Doc d, bool limited = true)
    {
        if (limited && chars(d.text) > limit) d = d.slice(0, fitBytes(d.text, limit));
        doc = std::move(d);
        dropFonts();
        anchor = caret = 0;
        scrollY = 0;
        canUndo = false;
    }

    // ---- Formats ----
    void applyChar(const CHARFORMAT* cf, int from, int to)
    {
        auto apply = [&](CharFmt f) {
            DWORD m = cf->dwMask;
            if (m & CFM_BOLD) f.bold = cf->dwEffects & CFE_BOLD;
            if (m & CFM_ITALIC) f.italic = cf->dwEffects & CFE_ITALIC;
            if (m & CFM_UNDERLINE) f.underline = cf->dwEffects & CFE_UNDERLINE;
            if (m & CFM_STRIKEOUT) f.strike = cf->dwEffects & CFE_STRIKEOUT;
            if ((m & CFM_SIZE) && cf->yHeight > 0) f.twips = std::clamp<int>(cf->yHeight, 20, 32760);
            if (m & CFM_FACE) f.face = std::string(cf->szFaceName, strnlen(cf->szFaceName, sizeof cf->szFaceName));
            if (m & CFM_COLOR) {
                f.autoColor = (cf->dwEffects & CFE_AUTOCOLOR) != 0;
                f.color = f.autoColor ? 0 : cf->crTextColor;
            }
            return f;
        };
        for (int i = from; i < to; ++i) doc.fmt[size_t(i)] = doc.intern(apply(doc.formats[doc.fmt[size_t(i)]]));
        if (from == to) {
            // An empty selection formats what is typed next: the insertion point's format.
            base = apply(base);
            if (doc.text.empty()) doc.formats[0] = base;
        }
        dropFonts();
    }
    void fillChar(CHARFORMAT* out, const CharFmt& f)
    {
        out->dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SIZE | CFM_FACE | CFM_COLOR;
        out->dwEffects = (f.bold ? CFE_BOLD : 0) | (f.italic ? CFE_ITALIC : 0) | (f.underline ? CFE_UNDERLINE : 0) |
                         (f.strike ? CFE_STRIKEOUT : 0) | (f.autoColor ? CFE_AUTOCOLOR : 0);
        out->yHeight = f.twips;
        out->crTextColor = f.color;
        memset(out->szFaceName, 0, sizeof out->szFaceName);
        strncpy(out->szFaceName, f.face.c_str(), sizeof out->szFaceName - 1);
    }

    // ---- Drawing ----
    void drawLines(CDC* dc, const std::vector<Line>& ls, int x0, int y0, int clipBottom, bool showSel, int firstY)
    {
        COLORREF def = GetSysColor(COLOR_WINDOWTEXT);
        dc->SetBkMode(TRANSPARENT);
        for (const Line& l : ls) {
            int y = y0 + l.y - firstY;
            if (y + l.h <= 0) continue;
            if (y >= clipBottom) break;
            for (const Seg& s : l.segs) {
                const CharFmt& cf = doc.formats[s.f < doc.formats.size() ? s.f : 0];
                dc->SelectObject(reinterpret_cast<HGDIOBJ>(fontOf(s.f)));
                TEXTMETRIC tm {};
                dc->GetTextMetrics(&tm);
                int by = y + l.ascent - tm.tmAscent;
                std::string t = doc.text.substr(size_t(s.start), size_t(s.len));
                std::replace(t.begin(), t.end(), '\t', ' ');
                int a = std::clamp(selMin(), s.start, s.start + s.len), b = std::clamp(selMax(), s.start, s.start + s.len);
                if (showSel && a < b) {
                    int xa = xOf(l, a), xb = xOf(l, b);
                    dc->FillSolidRect(x0 + xa, y, xb - xa, l.h, GetSysColor(COLOR_HIGHLIGHT));
                }
                dc->SetTextColor(cf.autoColor ? def : cf.color);
                dc->TextOut(x0 + s.x, by, t.c_str(), int(t.size()));
                if (showSel && a < b) {
                    // The selected part again, in the highlight text colour, clipped to itself.
                    int xa = xOf(l, a), xb = xOf(l, b);
                    dc->SaveDC();
                    dc->IntersectClipRect(x0 + xa, y, x0 + xb, y + l.h);
                    dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
                    dc->TextOut(x0 + s.x, by, t.c_str(), int(t.size()));
                    dc->RestoreDC(-1);
                }
            }
        }
    }

    void paint(HDC hdc)
    {
        layout();
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        dc->FillSolidRect(&rc, bk != CLR_NONE ? bk : GetSysColor(COLOR_WINDOW));
        bool showSel = focused || (options & ECO_NOHIDESEL);
        drawLines(dc, lines, 2, 0, rc.bottom, showSel, scrollY);
    }

    LRESULT formatRange(WPARAM render, FORMATRANGE* fr)
    {
        if (!fr) return 0;   // flushing: nothing is cached between calls
        CDC* dc = CDC::FromHandle(fr->hdc);
        if (!dc) return 0;
        int dpx = dc->GetDeviceCaps(LOGPIXELSX), dpy = dc->GetDeviceCaps(LOGPIXELSY);
        if (dpx <= 0) dpx = 96;
        if (dpy <= 0) dpy = 96;
        int from = toBytes(std::max<LONG>(0, fr->chrg.cpMin));
        RECT r {fr->rc.left * dpx / 1440, fr->rc.top * dpy / 1440, fr->rc.right * dpx / 1440, fr->rc.bottom * dpy / 1440};
        int width = std::max<LONG>(1, (fr->rc.right - fr->rc.left) * 96 / 1440);
        std::vector<Line> ls = layoutDoc(width, doc.text.empty() ? 0 : std::min(from, len()));
        // Keep the lines that fit; the answer is the first character that did not.
        int heightPx = (fr->rc.bottom - fr->rc.top) * 96 / 1440;
        std::vector<Line> fit;
        int next = len();
        for (const Line& l : ls) {
            if (l.y + l.h > heightPx && !fit.empty()) { next = l.start; break; }
            fit.push_back(l);
        }
        next = toChars(next);
        if (render && !fit.empty()) {
            dc->SaveDC();
            // Lines were measured at screen resolution; scale them onto the target.
            if (dpx != 96 || dpy != 96) {
                dc->SetMapMode(MM_ANISOTROPIC);
                dc->SetWindowExt(96, 96);
                dc->SetViewportExt(dpx, dpy);
                dc->SetViewportOrg(r.left, r.top);
                dc->SetWindowOrg(0, 0);
                drawLines(dc, fit, 0, 0, heightPx, false, 0);
            } else {
                dc->IntersectClipRect(r.left, r.top, r.right, r.bottom);
                drawLines(dc, fit, r.left, r.top, r.bottom, false, 0);
            }
            dc->RestoreDC(-1);
        }
        return next;
    }

    // ---- Streams ----
    LRESULT streamIn(WPARAM flags, EDITSTREAM* es)
    {
        if (!es || !es->pfnCallback) return 0;
        std::string data;
        BYTE buf[4096];
        for (;;) {
            LONG got = 0;
            es->dwError = es->pfnCallback(es->dwCookie, buf, LONG(sizeof buf), &got);
            if (es->dwError || got <= 0) break;
            data.append(reinterpret_cast<char*>(buf), size_t(std::min<LONG>(got, LONG(sizeof buf))));
            if (data.size() > kMaxStream) break;
        }
        bool rtf = (flags & SF_RTF) && !plain;
        Doc d = rtf ? pvrtf::ReadRtf(data, base) : pvrtf::ReadPlain(data, base);
        LRESULT n = 0;
        if (flags & SFF_SELECTION) {
            int a = selMin();
            if (rtf) {
                int room = limit - (chars(doc.text) - CountChars(doc.text.data() + a, size_t(selMax() - a)));
                if (chars(d.text) > room) d = d.slice(0, fitBytes(d.text, room));
            }
            n = chars(d.text);
            doc.splice(a, selMax(), d);
            anchor = caret = a + int(d.text.size());
            dropFonts();
        } else {
            setDoc(std::move(d), rtf);
            n = chars(doc.text);
        }
        modified = false;
        notifyChange();
        return n;
    }
    LRESULT streamOut(WPARAM flags, EDITSTREAM* es)
    {
        if (!es || !es->pfnCallback) return 0;
        Doc d = (flags & SFF_SELECTION) ? doc.slice(selMin(), selMax()) : doc;
        std::string out = ((flags & SF_RTF) && !plain) ? pvrtf::WriteRtf(d) : pvrtf::PlainText(d);
        size_t done = 0;
        while (done < out.size()) {
            LONG n = LONG(std::min<size_t>(out.size() - done, 4096));
            LONG took = 0;
            es->dwError = es->pfnCallback(es->dwCookie, reinterpret_cast<LPBYTE>(&out[done]), n, &took);
            if (es->dwError || took <= 0) break;
            done += size_t(std::min(took, n));
        }
        return LRESULT(done);
    }

    // Other rich text windows (and other programs) take the formats; everyone else the text.
    void copy()
    {
        if (selMin() == selMax()) return;
        Doc d = doc.slice(selMin(), selMax());
        ClipboardPut(h, {{RtfClipboardFormat(), pvrtf::WriteRtf(d)}, {CF_TEXT, pvrtf::PlainText(d)}});
    }
    void paste()
    {
        if (readOnly()) return;
        std::string s;
        if (ClipboardGet(h, RtfClipboardFormat(), &s) && !s.empty()) {
            replaceDoc(pvrtf::ReadRtf(s, base));
            return;
        }
        if (ClipboardGetText(h, &s)) replaceSel(s, true);
    }

    void keyDown(UINT vk)
    {
        bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
        layout();
        int to = caret;
        switch (vk) {
        case VK_LEFT: to = (!shift && anchor != caret) ? selMin() : PrevChar(doc.text, caret); break;
        case VK_RIGHT: to = (!shift && anchor != caret) ? selMax() : NextChar(doc.text, caret); break;
        case VK_HOME: to = ctrl ? 0 : lines[size_t(lineOf(caret))].start; break;
        case VK_END: to = ctrl ? len() : lines[size_t(lineOf(caret))].end; break;
        case VK_UP: case VK_DOWN: {
            int li = lineOf(caret) + (vk == VK_UP ? -1 : 1);
            if (li < 0 || li >= int(lines.size())) return;
            const Line& cl = lines[size_t(lineOf(caret))];
            to = posAt(POINT {2 + xOf(cl, caret), lines[size_t(li)].y - scrollY + 1});
            break;
        }
        case VK_DELETE:
            if (readOnly()) return;
            if (shift && anchor != caret) { copy(); replaceSel("", true); return; }
            if (anchor == caret) { if (caret >= len()) return; anchor = NextChar(doc.text, caret); }
            replaceSel("", true);
            return;
        case VK_INSERT:
            if (ctrl) copy();
            else if (shift) SendMessage(h, WM_PASTE, 0, 0);
            return;
        default: return;
        }
        setSel(shift ? anchor : to, to);
        scrollCaret();
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r, focused))
            return r;
        switch (msg) {
        case WM_SIZE: dirty = true; InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFONT: {
            HFONT hf = reinterpret_cast<HFONT>(wp);
            LOGFONT lf {};
            if (hf && GetObject(hf, sizeof lf, &lf)) {
                base.face = lf.lfFaceName;
                base.twips = std::max(20, std::abs(int(lf.lfHeight)) * 1440 / 96);
                for (CharFmt& f : doc.formats) { f.face = base.face; f.twips = base.twips; }
                dropFonts();
                dirty = true;
                InvalidateRect(h, nullptr, TRUE);
            }
            font = hf;
            return 0;
        }
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_SETTEXT: {
            std::string s = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
            setDoc(plain ? pvrtf::ReadPlain(s, base) : pvrtf::ReadRtf(s, base));
            modified = false;
            notifyChange();
            return TRUE;
        }
        case WM_GETTEXT: {
            std::string t = pvrtf::PlainText(doc);
            char* buf = reinterpret_cast<char*>(lp);
            if (!buf || int(wp) <= 0) return 0;
            size_t n = std::min(t.size(), size_t(wp) - 1);
            while (n > 0 && n < t.size() && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
            memcpy(buf, t.data(), n);
            buf[n] = 0;
            return LRESULT(n);
        }
        case WM_GETTEXTLENGTH: return LRESULT(pvrtf::PlainText(doc).size());
        case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL | ((style() & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
        case WM_SETFOCUS:
            focused = true;
            CreateCaret(h, nullptr, 1, lines.empty() ? 16 : lines[size_t(lineOf(caret))].h);
            placeCaret();
            ShowCaret(h);
            InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            focused = false;
            DestroyCaret();
            InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, EN_KILLFOCUS);
            return 0;
        case WM_KEYDOWN: keyDown(UINT(wp)); return 0;
        case WM_CHAR: {
            UINT ch = UINT(wp);
            if (ch == 3) { copy(); return 0; }
            if (ch == 22) { SendMessage(h, WM_PASTE, 0, 0); return 0; }
            if (ch == 24) { if (!readOnly()) { copy(); replaceSel("", true); } return 0; }
            if (ch == 26) { SendMessage(h, EM_UNDO, 0, 0); return 0; }
            if (ch == 1) { setSel(0, len()); return 0; }
            if (readOnly()) return 0;
            if (ch == 8) {
                if (anchor == caret) { if (!caret) return 0; anchor = PrevChar(doc.text, caret); }
                replaceSel("", true);
                return 0;
            }
            if (ch == '\r' || ch == '\n') {
                if (style() & ES_MULTILINE) replaceSel("\n", true);
                return 0;
            }
            if (ch < 32 && ch != '\t') return 0;
            std::string s;
            PvAppendUtf8(s, ch);
            replaceSel(s, true);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (GetFocus() != h) SetFocus(h);
            if (!IsWindow(h)) return 0;
            setSel((wp & MK_SHIFT) ? anchor : posAt(lpPoint(lp)), posAt(lpPoint(lp)));
            SetCapture(h);
            tracking = true;
            return 0;
        case WM_MOUSEMOVE: if (tracking) setSel(anchor, posAt(lpPoint(lp))); return 0;
        case WM_LBUTTONUP: if (tracking) { tracking = false; ReleaseCapture(); } return 0;
        case WM_CAPTURECHANGED: tracking = false; return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) { SetCursor(LoadCursor(nullptr, IDC_IBEAM)); return TRUE; }
            return DefWindowProc(h, msg, wp, lp);
        case WM_MOUSEWHEEL: setScrollY(scrollY - 3 * lineStep() * short(HIWORD(wp)) / WHEEL_DELTA); return 0;
        case WM_VSCROLL: onVScroll(LOWORD(wp)); return 0;
        case WM_COPY: copy(); return 0;
        case WM_CUT: if (!readOnly()) { copy(); replaceSel("", true); } return 0;
        case WM_PASTE: paste(); return 0;
        case WM_CLEAR: if (!readOnly()) replaceSel("", true); return 0;
        case WM_UNDO: case EM_UNDO: {
            if (!canUndo) return FALSE;
            std::swap(doc, undoDoc);
            std::swap(caret, undoCaret);
            caret = std::clamp(caret, 0, len());
            anchor = caret;
            dropFonts();
            notifyChange();
            return TRUE;
        }
        case EM_CANUNDO: return canUndo;
        case EM_EMPTYUNDOBUFFER: canUndo = false; return 0;
        case EM_GETSEL: {
            const int a = toChars(selMin()), b = toChars(selMax());
            if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(a);
            if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(b);
            // The packed answer cannot hold larger positions: -1 tells the caller to use the pointers.
            if (a > 0xFFFF || b > 0xFFFF) return -1;
            return MAKELONG(a, b);
        }
        case EM_SETSEL: {
            long a = long(int(wp)), b = long(int(lp));
            if (a == -1) { setSel(caret, caret); return 0; }
            setSel(toBytes(a), toBytes(b));
            return 0;
        }
        case EM_EXGETSEL: if (lp) *reinterpret_cast<CHARRANGE*>(lp) = CHARRANGE {toChars(selMin()), toChars(selMax())}; return 0;
        case EM_EXSETSEL: {
            auto* cr = reinterpret_cast<CHARRANGE*>(lp);
            if (!cr) return toChars(selMax());
            if (cr->cpMin == -1) setSel(caret, caret);
            else setSel(toBytes(cr->cpMin), toBytes(cr->cpMax));
            return toChars(selMax());
        }
        case EM_REPLACESEL: replaceSel(lp ? reinterpret_cast<LPCTSTR>(lp) : "", wp != 0); return 0;
        case EM_GETSELTEXT: {
            if (!lp) return 0;
            std::string t = pvrtf::PlainText(doc.slice(selMin(), selMax()));
            memcpy(reinterpret_cast<char*>(lp), t.c_str(), t.size() + 1);
            return LRESULT(t.size());
        }
        case EM_GETTEXTRANGE: {
            auto* tr = reinterpret_cast<TEXTRANGE*>(lp);
            if (!tr || !tr->lpstrText) return 0;
            int a = toBytes(std::max<LONG>(0, tr->chrg.cpMin));
            int b = std::max(a, toBytes(tr->chrg.cpMax));
            std::string t = doc.text.substr(size_t(a), size_t(b - a));
            memcpy(tr->lpstrText, t.c_str(), t.size() + 1);
            return LRESULT(t.size());
        }
        case EM_GETMODIFY: return modified;
        case EM_SETMODIFY: modified = wp != 0; return 0;
        case EM_SETREADONLY: {
            DWORD st = style();
            SetWindowLong(h, GWL_STYLE, LONG_PTR(wp ? (st | ES_READONLY) : (st & ~DWORD(ES_READONLY))));
            if (wp) options |= ECO_READONLY;
            else options &= ~DWORD(ECO_READONLY);
            return TRUE;
        }
        case EM_LIMITTEXT: case EM_EXLIMITTEXT: {
            long v = msg == EM_LIMITTEXT ? long(wp) : long(lp);
            limit = v <= 0 ? kLimitForZero : int(std::min<long>(v, 0x7FFFFFFE));
            return 0;
        }
        case EM_GETLIMITTEXT: return limit;
        case EM_SETEVENTMASK: { DWORD old = eventMask; eventMask = DWORD(lp); return LRESULT(old); }
        case EM_GETEVENTMASK: return LRESULT(eventMask);
        case EM_SETOPTIONS: {
            DWORD v = DWORD(lp);
            switch (wp) {
            case ECOOP_SET: options = v; break;
            case ECOOP_OR: options |= v; break;
            case ECOOP_AND: options &= v; break;
            case ECOOP_XOR: options ^= v; break;
            default: break;
            }
            DWORD st = style();
            st = (options & ECO_READONLY) ? (st | ES_READONLY) : (st & ~DWORD(ES_READONLY));
            st = (options & ECO_WANTRETURN) ? (st | ES_WANTRETURN) : (st & ~DWORD(ES_WANTRETURN));
            SetWindowLong(h, GWL_STYLE, LONG_PTR(st));
            return LRESULT(options);
        }
        case EM_GETOPTIONS: return LRESULT(options);
        case EM_SETBKGNDCOLOR: {
            COLORREF old = bk == CLR_NONE ? GetSysColor(COLOR_WINDOW) : bk;
            bk = wp ? CLR_NONE : COLORREF(lp);
            InvalidateRect(h, nullptr, TRUE);
            return LRESULT(old);
        }
        case EM_SETTARGETDEVICE: targetWidth = int(lp) > 0 ? int(lp) : 0; dirty = true; InvalidateRect(h, nullptr, TRUE); return TRUE;
        case EM_SETTEXTMODE:
            if (len()) return 1;   // only an empty control changes mode
            plain = (wp & TM_PLAINTEXT) != 0;
            return 0;
        case EM_GETTEXTMODE: return plain ? TM_PLAINTEXT : TM_RICHTEXT;
        case EM_SETCHARFORMAT: {
            auto* cf = reinterpret_cast<const CHARFORMAT*>(lp);
            if (!cf) return FALSE;
            if (wp & SCF_ALL) applyChar(cf, 0, len());
            else if (wp & SCF_SELECTION) applyChar(cf, selMin(), selMax());
            else {
                // The default format: everything that has no other.
                CHARFORMAT c = *cf;
                applyChar(&c, 0, 0);
                if (len()) applyChar(cf, 0, len());
            }
            notifyChange();
            return TRUE;
        }
        case EM_GETCHARFORMAT: {
            auto* cf = reinterpret_cast<CHARFORMAT*>(lp);
            if (!cf) return 0;
            const CharFmt& f = (wp & SCF_SELECTION) && len() ? doc.formats[doc.fmt[size_t(std::min(selMin(), len() - 1))]] : base;
            fillChar(cf, f);
            return LRESULT(cf->dwMask);
        }
        case EM_SETPARAFORMAT: {
            auto* pf = reinterpret_cast<const PARAFORMAT*>(lp);
            if (!pf) return FALSE;
            if (pf->dwMask & PFM_ALIGNMENT) {
                unsigned char a = pf->wAlignment == PFA_CENTER ? pvrtf::AlignCenter : pf->wAlignment == PFA_RIGHT ? pvrtf::AlignRight : pvrtf::AlignLeft;
                for (int p = doc.paraOf(selMin()); p <= doc.paraOf(selMax()); ++p) doc.paras[size_t(p)] = a;
                notifyChange();
            }
            return TRUE;
        }
        case EM_GETPARAFORMAT: {
            auto* pf = reinterpret_cast<PARAFORMAT*>(lp);
            if (!pf) return 0;
            unsigned char a = doc.paras[size_t(doc.paraOf(selMin()))];
            pf->dwMask = PFM_ALIGNMENT;
            pf->wAlignment = a == pvrtf::AlignCenter ? PFA_CENTER : a == pvrtf::AlignRight ? PFA_RIGHT : PFA_LEFT;
            return LRESULT(pf->dwMask);
        }
        case EM_STREAMIN: return streamIn(wp, reinterpret_cast<EDITSTREAM*>(lp));
        case EM_STREAMOUT: return streamOut(wp, reinterpret_cast<EDITSTREAM*>(lp));
        case EM_FORMATRANGE: return formatRange(wp, reinterpret_cast<FORMATRANGE*>(lp));
        case EM_REQUESTRESIZE: requestResize(); return 0;
        case EM_CANPASTE: return IsClipboardFormatAvailable(RtfClipboardFormat()) || IsClipboardFormatAvailable(CF_TEXT);
        case EM_HIDESELECTION: options = wp ? (options & ~DWORD(ECO_NOHIDESEL)) : (options | ECO_NOHIDESEL); InvalidateRect(h, nullptr, TRUE); return 0;
        case EM_GETLINECOUNT: layout(); return std::max<LRESULT>(1, LRESULT(lines.size()));
        case EM_LINEFROMCHAR: case EM_EXLINEFROMCHAR: {
            long pos = msg == EM_EXLINEFROMCHAR ? long(lp) : long(int(wp));
            return lineOf(pos < 0 ? selMin() : toBytes(pos));
        }
        case EM_LINEINDEX: {
            layout();
            int li = int(wp) < 0 ? lineOf(caret) : int(wp);
            return li < int(lines.size()) ? toChars(lines[size_t(li)].start) : -1;
        }
        case EM_GETFIRSTVISIBLELINE: {
            layout();
            int i = 0;
            while (i + 1 < int(lines.size()) && lines[size_t(i)].y + lines[size_t(i)].h <= scrollY) ++i;
            return i;
        }
        case EM_LINESCROLL: case EM_SCROLL: {
            int lh = lineStep();
            int d = msg == EM_LINESCROLL ? int(lp) * lh
                  : wp == SB_PAGEUP ? -pageH() : wp == SB_PAGEDOWN ? pageH() : wp == SB_LINEUP ? -lh : wp == SB_LINEDOWN ? lh : 0;
            setScrollY(scrollY + d);
            return msg == EM_SCROLL ? MAKELONG(d / std::max(1, lh), TRUE) : TRUE;
        }
        case EM_SCROLLCARET: scrollCaret(); return 0;
        case EM_SETRECT: case EM_SETRECTNP: dirty = true; InvalidateRect(h, nullptr, TRUE); return 0;
        case EM_POSFROMCHAR: {
            // The rich edit form: wParam points to the answer.
            layout();
            int pos = toBytes(std::max<long>(0, long(lp)));
            auto* pt = reinterpret_cast<POINT*>(wp);
            const Line& l = lines[size_t(lineOf(pos))];
            if (pt) *pt = POINT {2 + xOf(l, pos), l.y - scrollY};
            return 0;
        }
        case EM_CHARFROMPOS: { auto* pt = reinterpret_cast<POINT*>(lp); return pt ? toChars(posAt(*pt)) : 0; }
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterRichEdit()
{
    RegisterControlClass(RICHEDIT_CLASS, CtlProc<RichCtl>, CS_DBLCLKS | CS_GLOBALCLASS, IDC_IBEAM);
    RegisterControlClass("RICHEDIT", CtlProc<RichCtl>, CS_DBLCLKS | CS_GLOBALCLASS, IDC_IBEAM);
}

} // namespace pvctl
