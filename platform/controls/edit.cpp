// The edit control, single- and multi-line. Text is UTF-8; inside, positions are byte offsets
// that always fall on whole characters, and a CR LF pair counts as one step. The messages speak
// in characters, as the program's callers count them.

#include "platform/controls/ctlimpl.h"
#include "platform/base/textcase.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pvctl {

static const int kDefaultLimit = 32767;      // characters a user may type before EM_LIMITTEXT
static const int kMaxLimit = 0x7FFFFFFE;
static const int kTabChars = 8;              // default tab stops: every eight average characters
static const int kSelectionWordMax = 0xFFFF; // EM_GETSEL's packed answer holds 16-bit positions

struct EditCtl : Control {
    struct Line {
        int start;
        int len;      // without the line break
    };

    std::string text;
    int anchor = 0;
    int caret = 0;
    int limit = kDefaultLimit;
    bool modified = false;
    UINT pwChar = 0;
    int marginL = 1;
    int marginR = 1;
    RECT fmt {};
    bool fmtSet = false;
    int firstLine = 0;
    int xOff = 0;
    std::string undoText;
    int undoAnchor = 0;
    int undoCaret = 0;
    bool canUndo = false;
    bool typing = false;    // consecutive typing is one undo step
    std::vector<Line> lines;
    bool dirty = true;
    int lineH = 16;
    int tabW = 8 * kTabChars;
    bool focused = false;
    bool tracking = false;
    int goalX = -1;         // column kept while moving up and down
    bool wantV = false;     // WS_VSCROLL asked for: the bar shows whenever the text needs it

    EditCtl(HWND hw, const CREATESTRUCT* cs) : Control(hw)
    {
        if (cs && cs->lpszName) text = cs->lpszName;
        if (cs && (cs->style & ES_PASSWORD) && !(cs->style & ES_MULTILINE)) pwChar = '*';
        wantV = cs && (cs->style & WS_VSCROLL) && (cs->style & ES_MULTILINE);
        measureFont();
    }

    bool multi() const { return (style() & ES_MULTILINE) != 0; }
    bool wraps() const { return multi() && !(style() & (ES_AUTOHSCROLL | WS_HSCROLL)); }
    bool readOnly() const { return (style() & ES_READONLY) != 0; }
    int selMin() const { return std::min(anchor, caret); }
    int selMax() const { return std::max(anchor, caret); }

    void measureFont()
    {
        TEXTMETRIC tm {};
        MeasureDC(currentFont()).GetTextMetrics(&tm);
        lineH = std::max<int>(1, tm.tmHeight);
        tabW = std::max<int>(1, tm.tmAveCharWidth) * kTabChars;
    }

    // ---- Characters, for the messages ----
    int charIndex(int pos) const { return CountChars(text.data(), size_t(std::clamp(pos, 0, int(text.size())))); }
    int charCount() const { return CountChars(text.data(), text.size()); }
    int charsIn(int from, int to) const { return CountChars(text.data() + from, size_t(to - from)); }
    int bytePos(int chars) const { return ByteOfChar(text, chars); }

    RECT fmtRect()
    {
        if (fmtSet) return fmt;
        RECT rc;
        GetClientRect(h, &rc);
        rc.left += marginL;
        rc.right -= marginR;
        if (!multi()) {
            // One line, centred in what the client area leaves.
            int room = rc.bottom - rc.top - lineH;
            if (room > 0) rc.top += room / 2;
            rc.bottom = rc.top + lineH;
        }
        if (rc.right < rc.left) rc.right = rc.left;
        return rc;
    }

    // ---- Text positions ----
    int next(int i) const
    {
        int n = int(text.size());
        if (i >= n) return n;
        if (text[size_t(i)] == '\r' && i + 1 < n && text[size_t(i) + 1] == '\n') return i + 2;
        return NextChar(text, i);
    }
    int prev(int i) const
    {
        if (i <= 0) return 0;
        if (i >= 2 && text[size_t(i) - 1] == '\n' && text[size_t(i) - 2] == '\r') return i - 2;
        return PrevChar(text, i);
    }
    int snap(int i) const
    {
        i = std::clamp(i, 0, int(text.size()));
        while (i > 0 && i < int(text.size()) && (static_cast<unsigned char>(text[size_t(i)]) & 0xC0) == 0x80) --i;
        if (i > 0 && i < int(text.size()) && text[size_t(i)] == '\n' && text[size_t(i) - 1] == '\r') --i;
        return i;
    }

    std::string shown(int start, int len) const
    {
        if (!pwChar) return text.substr(size_t(start), size_t(len));
        std::string s;
        for (int i = start; i < start + len; i = NextChar(text, i)) PvAppendUtf8(s, pwChar);
        return s;
    }
    int extent(int start, int len) const
    {
        if (len <= 0) return 0;
        std::string s = shown(start, len);
        return MeasureDC(currentFont()).GetTextExtent(s.c_str(), int(s.size())).cx;
    }
    // The runs of text between tabs in [from, to), each with its x from `lineStart`: what is
    // measured is what is drawn, so the caret and the selection sit on the text.
    template <class F> int runs(int lineStart, int from, int to, F each) const
    {
        int x = 0;
        for (int a = lineStart; a < to;) {
            int b = a;
            if (!pwChar) while (b < to && text[size_t(b)] != '\t') ++b;
            else b = to;
            int w = extent(a, b - a);
            if (b > from && b > a) each(std::max(a, from), x + (a < from ? extent(a, from - a) : 0), b);
            x += w;
            if (b < to) x = (x / tabW + 1) * tabW, ++b;
            a = b;
        }
        return x;
    }
    // Width of the line's text from its start to pos.
    int span(int lineStart, int pos) const
    {
        return runs(lineStart, pos, pos, [](int, int, int) {});
    }

    // ---- Layout ----
    // Where the hard line break at or after `from` begins, looking no further than `upto`
    // (one more byte, so a CR LF pair split by `upto` is still seen); `upto` when none.
    int hardEnd(int from, int upto) const
    {
        int n = int(text.size());
        int lim = std::min(n, upto + 1);
        if (from >= lim) return std::min(upto, n);
        const void* p = memchr(text.data() + from, '\n', size_t(lim - from));
        if (!p) return std::min(upto, n);
        int k = int(static_cast<const char*>(p) - text.data());
        if (k > from && text[size_t(k) - 1] == '\r') --k;
        return std::min(k, std::min(upto, n));
    }

    // The line that starts at pos; *next gets where the following one starts, -1 after the last.
    // Only the text one line needs is measured, so the cost follows the line, not the paragraph.
    Line lineAt(int pos, int* next) const
    {
        int n = int(text.size());
        if (!multi()) { *next = -1; return {pos, n - pos}; }
        int e = 0;
        if (!wraps()) {
            e = hardEnd(pos, n);
        } else {
            RECT fr = const_cast<EditCtl*>(this)->fmtRect();
            int maxW = std::max<LONG>(1, fr.right - fr.left);
            int good = pos;
            int step = std::max(16, 2 * maxW / std::max(1, tabW / kTabChars));
            for (;;) {
                int probe = snapForward(std::min(n, good + step));
                int cand = hardEnd(good, probe);
                if (span(pos, cand) <= maxW) {
                    good = cand;
                    if (cand < probe || cand >= n) break;       // the rest of the paragraph fits
                    step *= 2;
                    continue;
                }
                // Too wide: the largest fitting prefix lies in (good, cand).
                int lo = good, hi = cand;
                while (NextChar(text, lo) < hi) {
                    int mid = snapForward(lo + (hi - lo) / 2);
                    if (mid <= lo) mid = NextChar(text, lo);
                    if (mid >= hi) break;
                    if (span(pos, mid) <= maxW) lo = mid;
                    else hi = mid;
                }
                int fit = lo > pos ? lo : NextChar(text, pos);   // at least one character, so lines advance
                // Back up to the last blank so words stay whole.
                int b = fit;
                while (b > pos && text[size_t(b) - 1] != ' ' && text[size_t(b) - 1] != '\t') --b;
                if (b > pos) fit = b;
                *next = fit;
                return {pos, fit - pos};
            }
            e = good;
        }
        *next = e >= n ? -1 : e + (text[size_t(e)] == '\r' ? 2 : 1);
        return {pos, e - pos};
    }
    int snapForward(int i) const
    {
        int n = int(text.size());
        while (i < n && (static_cast<unsigned char>(text[size_t(i)]) & 0xC0) == 0x80) ++i;
        return i;
    }

    void layout()
    {
        if (!dirty) return;
        dirty = false;
        lines.clear();
        for (int pos = 0, next = 0; next >= 0; pos = next) lines.push_back(lineAt(pos, &next));
        updateScrollBars();
    }

    // After [a, oldEnd) became [a, newEnd): lays out again from the line before the change until
    // a line starts where one started before, and keeps the rest shifted. A keystroke costs a
    // few lines however long the paragraph.
    void relayout(int a, int oldEnd, int newEnd)
    {
        if (dirty || lines.empty()) { dirty = true; layout(); return; }
        int delta = newEnd - oldEnd;
        int li = lineIndexAt(a);
        if (li > 0) --li;    // a shortened word may now fit on the line before
        std::vector<Line> out(lines.begin(), lines.begin() + li);
        for (int pos = lines[size_t(li)].start, next = 0;; pos = next) {
            out.push_back(lineAt(pos, &next));
            if (next < 0) break;
            if (next < newEnd) continue;
            auto it = std::lower_bound(lines.begin() + li + 1, lines.end(), next - delta,
                                       [](const Line& l, int p) { return l.start < p; });
            if (it != lines.end() && it->start == next - delta) {
                for (; it != lines.end(); ++it) out.push_back({it->start + delta, it->len});
                break;
            }
        }
        lines.swap(out);
        updateScrollBars();
    }

    // The last line that starts at or before pos (a position at a wrap point belongs to the
    // next line).
    int lineIndexAt(int pos) const
    {
        auto it = std::upper_bound(lines.begin(), lines.end(), pos, [](int p, const Line& l) { return p < l.start; });
        return std::max(0, int(it - lines.begin()) - 1);
    }

    int lineOf(int pos)
    {
        layout();
        return lineIndexAt(pos);
    }

    int visibleLines()
    {
        RECT fr = fmtRect();
        return std::max<int>(1, (fr.bottom - fr.top) / lineH);
    }

    int lineX(int line)
    {
        const Line& l = lines[size_t(line)];
        RECT fr = fmtRect();
        int w = span(l.start, l.start + l.len);
        DWORD st = style();
        int avail = fr.right - fr.left;
        int x = fr.left - xOff;
        if (w < avail && (!(st & ES_AUTOHSCROLL) || multi() || xOff == 0)) {
            if (st & ES_RIGHT) x = fr.right - w - 1;
            else if (st & ES_CENTER) x = fr.left + (avail - w) / 2;
        }
        return x;
    }

    POINT posToPoint(int pos)
    {
        int li = lineOf(pos);
        const Line& l = lines[size_t(li)];
        RECT fr = fmtRect();
        int x = lineX(li) + span(l.start, std::min(pos, l.start + l.len));
        int y = fr.top + (li - firstLine) * lineH;
        return POINT {x, y};
    }

    int pointToPos(POINT p)
    {
        layout();
        RECT fr = fmtRect();
        int li = multi() ? firstLine + (p.y - fr.top) / lineH : 0;
        if (p.y < fr.top && multi()) li = firstLine - 1;
        li = std::clamp(li, 0, int(lines.size()) - 1);
        const Line& l = lines[size_t(li)];
        int x = p.x - lineX(li);
        // The character under x, by halving over character boundaries; then its nearer edge.
        int lo = l.start, hi = l.start + l.len;
        if (x <= 0) return lo;
        if (span(l.start, hi) <= x) return hi;
        while (NextChar(text, lo) < hi) {
            int mid = snapForward(lo + (hi - lo) / 2);
            if (mid >= hi) mid = PrevChar(text, hi);
            if (mid <= lo) break;
            if (span(l.start, mid) <= x) lo = mid;
            else hi = mid;
        }
        return x - span(l.start, lo) < span(l.start, hi) - x ? lo : hi;
    }

    // ---- Scrolling ----
    void updateScrollBars()
    {
        if (!wantV) return;
        SCROLLINFO si {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, int(lines.size()) - 1, UINT(visibleLines()), firstLine, 0};
        SetScrollInfo(h, SB_VERT, &si, TRUE);
    }

    void setFirstLine(int fl)
    {
        layout();
        fl = std::clamp(fl, 0, std::max(0, int(lines.size()) - 1));
        if (fl == firstLine) return;
        firstLine = fl;
        updateScrollBars();
        InvalidateRect(h, nullptr, TRUE);
        placeCaret();
    }

    void scrollCaret()
    {
        layout();
        int li = lineOf(caret);
        if (multi()) {
            int vis = visibleLines();
            if (li < firstLine) setFirstLine(li);
            else if (li >= firstLine + vis) setFirstLine(li - vis + 1);
        }
        if (!wraps()) {
            RECT fr = fmtRect();
            int avail = std::max<LONG>(1, fr.right - fr.left);
            const Line& l = lines[size_t(li)];
            int cx = span(l.start, caret);
            int old = xOff;
            if (cx - xOff > avail - 1) xOff = cx - avail + std::max(1, avail / 4);
            else if (cx < xOff) xOff = std::max(0, cx - avail / 4);
            if (xOff != old) InvalidateRect(h, nullptr, TRUE);
        }
        placeCaret();
    }

    void placeCaret()
    {
        if (!focused) return;
        layout();
        POINT p = posToPoint(caret);
        SetCaretPos(p.x, p.y);
    }

    // ---- Changes ----
    void saveUndo(bool merge)
    {
        if (merge && typing) return;
        undoText = text;
        undoAnchor = anchor;
        undoCaret = caret;
        canUndo = true;
        typing = merge;
    }

    // The text changed: a layout already brought up to date, or (dirty) made afresh.
    void changed(bool notify)
    {
        modified = true;
        layout();
        scrollCaret();
        InvalidateRect(h, nullptr, TRUE);
        if (notify) {
            NotifyParent(h, EN_UPDATE);
            NotifyParent(h, EN_CHANGE);
        }
    }

    // Replaces the selection; answers false when nothing of it fits the limit.
    bool replaceSel(std::string ins, bool undoable, bool merge = false)
    {
        DWORD st = style();
        if (!multi()) {
            size_t nl = ins.find_first_of("\r\n");
            if (nl != std::string::npos) ins.resize(nl);
        }
        if (st & ES_UPPERCASE) ins = PvUpperCase(ins);
        if (st & ES_LOWERCASE) ins = PvLowerCase(ins);
        int a = selMin(), b = selMax();
        // The limit counts characters; a CR LF pair counts two, as callers measure it.
        int room = limit - (charCount() - charsIn(a, b));
        bool cut = false;
        if (CountChars(ins.data(), ins.size()) > room) {
            int k = ByteOfChar(ins, std::max(0, room));
            // Never keep half a line break.
            if (k > 0 && ins[size_t(k) - 1] == '\r' && size_t(k) < ins.size() && ins[size_t(k)] == '\n') --k;
            ins.resize(size_t(k));
            cut = true;
        }
        if (cut) NotifyParent(h, EN_MAXTEXT);
        if (ins.empty() && a == b) return !cut;
        if (undoable) saveUndo(merge);
        else { canUndo = false; typing = false; }
        text.replace(size_t(a), size_t(b - a), ins);
        anchor = caret = a + int(ins.size());
        goalX = -1;
        relayout(a, b, caret);
        changed(true);
        return true;
    }

    void setSel(int a, int c, bool scroll)
    {
        a = snap(a);
        c = snap(c);
        if (a == anchor && c == caret) { if (scroll) scrollCaret(); return; }
        anchor = a;
        caret = c;
        typing = false;
        InvalidateRect(h, nullptr, TRUE);
        if (scroll) scrollCaret();
        else placeCaret();
    }

    // ---- Clipboard ----
    void copy()
    {
        if (pwChar || selMin() == selMax()) return;
        std::string s = text.substr(size_t(selMin()), size_t(selMax() - selMin()));
        ClipboardSetText(h, s);
    }
    void paste()
    {
        if (readOnly()) return;
        std::string s;
        if (!ClipboardGetText(h, &s)) return;
        if (multi()) {
            // Lone line feeds become CR LF, the form multi-line text keeps.
            std::string t;
            for (size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) t += '\r';
                t += s[i];
            }
            s.swap(t);
        }
        replaceSel(s, true);
    }

    // ---- Painting ----
    void paint(HDC hdc)
    {
        layout();
        CDC* dc = CDC::FromHandle(hdc);
        RECT rc;
        GetClientRect(h, &rc);
        bool grey = readOnly() || !IsWindowEnabled(h);
        HBRUSH br = ParentCtlColor(h, hdc, grey ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
        COLORREF fg = dc->GetTextColor();
        if (br) dc->FillRect(&rc, CBrush::FromHandle(br));
        if (!IsWindowEnabled(h)) fg = GetSysColor(COLOR_GRAYTEXT);
        dc->SelectObject(reinterpret_cast<HGDIOBJ>(currentFont()));
        dc->SetBkMode(TRANSPARENT);
        RECT fr = fmtRect();
        dc->SaveDC();
        dc->IntersectClipRect(fr.left, fr.top, fr.right, multi() ? fr.bottom : std::max(fr.bottom, rc.bottom));
        bool showSel = focused || (style() & ES_NOHIDESEL);
        int s0 = selMin(), s1 = selMax();
        int vis = visibleLines() + 1;
        for (int li = firstLine; li < int(lines.size()) && li < firstLine + vis; ++li) {
            const Line& l = lines[size_t(li)];
            int x = lineX(li);
            int y = fr.top + (li - firstLine) * lineH;
            int a = std::clamp(s0, l.start, l.start + l.len), b = std::clamp(s1, l.start, l.start + l.len);
            auto seg = [&](int from, int to, bool sel) {
                if (to <= from) return;
                if (sel) {
                    int x0 = x + span(l.start, from);
                    dc->FillSolidRect(x0, y, x + span(l.start, to) - x0, lineH, GetSysColor(COLOR_HIGHLIGHT));
                    dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
                } else {
                    dc->SetTextColor(fg);
                }
                runs(l.start, from, to, [&](int a, int ax, int b) {
                    std::string s = shown(a, b - a);
                    dc->TextOut(x + ax, y, s.c_str(), int(s.size()));
                });
            };
            if (showSel && s0 != s1) {
                seg(l.start, a, false);
                seg(a, b, true);
                seg(b, l.start + l.len, false);
                // A selected line break shows as a small block.
                if (s0 <= l.start + l.len && s1 > l.start + l.len && li + 1 < int(lines.size()))
                    dc->FillSolidRect(x + span(l.start, l.start + l.len), y, 4, lineH, GetSysColor(COLOR_HIGHLIGHT));
            } else {
                seg(l.start, l.start + l.len, false);
            }
        }
        dc->RestoreDC(-1);
    }

    // ---- Keys ----
    int wordLeft(int i) const
    {
        while (i > 0 && isspace(static_cast<unsigned char>(text[size_t(i) - 1]))) i = prev(i);
        while (i > 0 && !isspace(static_cast<unsigned char>(text[size_t(i) - 1]))) i = prev(i);
        return i;
    }
    int wordRight(int i) const
    {
        int n = int(text.size());
        while (i < n && !isspace(static_cast<unsigned char>(text[size_t(i)]))) i = next(i);
        while (i < n && isspace(static_cast<unsigned char>(text[size_t(i)]))) i = next(i);
        return i;
    }

    void keyDown(UINT vk)
    {
        bool shift = GetKeyState(VK_SHIFT) < 0;
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        layout();
        int to = caret;
        bool vertical = false;
        switch (vk) {
        case VK_LEFT:
            if (!shift && anchor != caret) to = selMin();
            else to = ctrl ? wordLeft(caret) : prev(caret);
            break;
        case VK_RIGHT:
            if (!shift && anchor != caret) to = selMax();
            else to = ctrl ? wordRight(caret) : next(caret);
            break;
        case VK_HOME: to = ctrl ? 0 : lines[size_t(lineOf(caret))].start; break;
        case VK_END: {
            if (ctrl) { to = int(text.size()); break; }
            const Line& l = lines[size_t(lineOf(caret))];
            to = l.start + l.len;
            break;
        }
        case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT: {
            if (!multi()) {
                if (vk == VK_UP || vk == VK_PRIOR) to = 0;
                else to = int(text.size());
                break;
            }
            vertical = true;
            int li = lineOf(caret);
            POINT p = posToPoint(caret);
            if (goalX < 0) goalX = p.x;
            int step = (vk == VK_UP || vk == VK_DOWN) ? 1 : std::max(1, visibleLines() - 1);
            int nl = li + ((vk == VK_UP || vk == VK_PRIOR) ? -step : step);
            nl = std::clamp(nl, 0, int(lines.size()) - 1);
            if (vk == VK_PRIOR || vk == VK_NEXT) setFirstLine(firstLine + (nl - li));
            RECT fr = fmtRect();
            to = pointToPos(POINT {goalX, fr.top + (nl - firstLine) * lineH + lineH / 2});
            break;
        }
        case VK_DELETE:
            if (readOnly()) return;
            if (shift) { if (selMin() != selMax()) { copy(); replaceSel("", true); } return; }
            if (anchor == caret) {
                if (caret >= int(text.size())) return;
                anchor = ctrl ? wordRight(caret) : next(caret);
            }
            replaceSel("", true);
            return;
        case VK_INSERT:
            if (ctrl) copy();
            else if (shift) paste();
            return;
        default: return;
        }
        if (!vertical) goalX = -1;
        setSel(shift ? anchor : to, to, true);
    }

    void charIn(UINT ch)
    {
        bool ctrl = GetKeyState(VK_CONTROL) < 0;
        switch (ch) {
        case 1: setSel(0, int(text.size()), true); return;        // Ctrl+A
        case 3: copy(); return;                                     // Ctrl+C
        case 22: paste(); return;                                   // Ctrl+V
        case 24: if (!readOnly() && !pwChar) { copy(); replaceSel("", true); } return;  // Ctrl+X
        case 26: undo(); return;                                    // Ctrl+Z
        default: break;
        }
        if (readOnly()) return;
        if (ch == 8) {
            if (anchor == caret) {
                if (caret == 0) return;
                anchor = ctrl ? wordLeft(caret) : prev(caret);
            }
            replaceSel("", true);
            return;
        }
        if (ch == 127) return;
        if (ch == '\r' || ch == '\n') {
            if (multi()) replaceSel("\r\n", true);
            return;
        }
        if (ch == '\t') {
            if (multi()) replaceSel("\t", true, true);
            return;
        }
        if (ch < 32) return;
        if ((style() & ES_NUMBER) && (ch < '0' || ch > '9')) { MessageBeep(0); return; }
        std::string s;
        PvAppendUtf8(s, ch);
        replaceSel(s, true, true);
    }

    bool undo()
    {
        if (!canUndo || readOnly()) return false;
        std::string t = text;
        int a = anchor, c = caret;
        text = undoText;
        anchor = undoAnchor;
        caret = undoCaret;
        undoText = t;
        undoAnchor = a;
        undoCaret = c;
        typing = false;
        dirty = true;
        changed(true);
        return true;
    }

    LRESULT proc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (LRESULT r; PaintMessage(*this, msg, wp, &r, focused))
            return r;
        switch (msg) {
        case WM_NCCREATE: return DefWindowProc(h, msg, wp, lp);
        case WM_SIZE: dirty = true; layout(); scrollCaret(); InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_SETFONT:
            font = reinterpret_cast<HFONT>(wp);
            measureFont();
            dirty = true;
            if (focused) { DestroyCaret(); CreateCaret(h, nullptr, 1, lineH); ShowCaret(h); }
            placeCaret();
            if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
        case WM_SETTEXT: {
            std::string s = lp ? reinterpret_cast<LPCTSTR>(lp) : "";
            text.swap(s);
            anchor = caret = 0;
            firstLine = 0;
            xOff = 0;
            canUndo = false;
            typing = false;
            modified = false;
            dirty = true;
            layout();
            placeCaret();
            InvalidateRect(h, nullptr, TRUE);
            // Multi-line edits stay quiet when the program sets their text.
            if (!multi()) {
                NotifyParent(h, EN_UPDATE);
                NotifyParent(h, EN_CHANGE);
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            char* buf = reinterpret_cast<char*>(lp);
            int n = int(wp);
            if (!buf || n <= 0) return 0;
            int len = std::min<int>(int(text.size()), n - 1);
            while (len > 0 && len < int(text.size()) && (static_cast<unsigned char>(text[size_t(len)]) & 0xC0) == 0x80) --len;
            memcpy(buf, text.data(), size_t(len));
            buf[len] = 0;
            return len;
        }
        case WM_GETTEXTLENGTH: return LRESULT(text.size());
        case WM_GETDLGCODE: {
            LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
            if (multi()) code |= DLGC_WANTALLKEYS;
            // In a dialog, Tab and Esc stay the dialog's, and so does Enter without ES_WANTRETURN.
            if (const MSG* m = reinterpret_cast<const MSG*>(lp); multi() && m && m->message == WM_KEYDOWN &&
                (m->wParam == VK_TAB || m->wParam == VK_ESCAPE || (m->wParam == VK_RETURN && !(style() & ES_WANTRETURN))))
                code &= ~LRESULT(DLGC_WANTALLKEYS);
            return code;
        }
        case WM_SETFOCUS:
            focused = true;
            CreateCaret(h, nullptr, 1, lineH);
            placeCaret();
            ShowCaret(h);
            if (!(style() & ES_NOHIDESEL)) InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            focused = false;
            if (tracking) { tracking = false; ReleaseCapture(); }
            DestroyCaret();
            if (!(style() & ES_NOHIDESEL)) InvalidateRect(h, nullptr, TRUE);
            NotifyParent(h, EN_KILLFOCUS);
            return 0;
        case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
        case WM_KEYDOWN: keyDown(UINT(wp)); return 0;
        case WM_CHAR: charIn(UINT(wp)); return 0;
        case WM_LBUTTONDOWN: {
            if (GetFocus() != h) SetFocus(h);
            if (!IsWindow(h)) return 0;
            int pos = pointToPos(lpPoint(lp));
            bool shift = (wp & MK_SHIFT) != 0;
            goalX = -1;
            setSel(shift ? anchor : pos, pos, true);
            SetCapture(h);
            tracking = true;
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            int pos = pointToPos(lpPoint(lp));
            int a = pos, b = pos;
            while (a > 0 && !isspace(static_cast<unsigned char>(text[size_t(a) - 1]))) a = prev(a);
            while (b < int(text.size()) && !isspace(static_cast<unsigned char>(text[size_t(b)]))) b = next(b);
            while (b < int(text.size()) && text[size_t(b)] == ' ') ++b;  // the word and its trailing blanks
            setSel(a, b, true);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (tracking) setSel(anchor, pointToPos(lpPoint(lp)), true);
            return 0;
        case WM_LBUTTONUP:
            if (tracking) { tracking = false; ReleaseCapture(); }
            return 0;
        case WM_CAPTURECHANGED: tracking = false; return 0;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) { SetCursor(LoadCursor(nullptr, IDC_IBEAM)); return TRUE; }
            return DefWindowProc(h, msg, wp, lp);
        case WM_VSCROLL: {
            int fl = firstLine;
            switch (LOWORD(wp)) {
            case SB_LINEUP: --fl; break;
            case SB_LINEDOWN: ++fl; break;
            case SB_PAGEUP: fl -= visibleLines(); break;
            case SB_PAGEDOWN: fl += visibleLines(); break;
            case SB_THUMBTRACK: case SB_THUMBPOSITION: fl = HIWORD(wp); break;
            case SB_TOP: fl = 0; break;
            case SB_BOTTOM: fl = int(lines.size()); break;
            default: break;
            }
            setFirstLine(std::min(fl, std::max(0, int(lines.size()) - visibleLines())));
            return 0;
        }
        case WM_MOUSEWHEEL:
            if (multi()) setFirstLine(std::min(firstLine - 3 * short(HIWORD(wp)) / WHEEL_DELTA, std::max(0, int(lines.size()) - visibleLines())));
            return 0;
        case WM_COPY: copy(); return 0;
        case WM_CUT: if (!readOnly() && !pwChar) { copy(); replaceSel("", true); } return 0;
        case WM_PASTE: paste(); return 0;
        case WM_CLEAR: if (!readOnly()) replaceSel("", true); return 0;
        case WM_UNDO: case EM_UNDO: return undo();
        case EM_CANUNDO: return canUndo;
        case EM_EMPTYUNDOBUFFER: canUndo = false; typing = false; return 0;
        case EM_GETSEL: {
            int a = charIndex(selMin()), b = charIndex(selMax());
            if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(a);
            if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(b);
            // The packed answer cannot hold larger positions: -1 tells the caller to use the pointers.
            if (a > kSelectionWordMax || b > kSelectionWordMax) return -1;
            return MAKELONG(a, b);
        }
        case EM_SETSEL: {
            int a = int(wp), b = int(lp);
            if (a == -1) { setSel(caret, caret, false); return 0; }
            int n = charCount();
            if (b < 0 || b > n) b = n;
            if (a < 0 || a > n) a = n;
            goalX = -1;
            setSel(bytePos(a), bytePos(b), false);
            return 0;
        }
        case EM_REPLACESEL: {
            replaceSel(lp ? reinterpret_cast<LPCTSTR>(lp) : "", wp != 0);
            return 0;
        }
        case EM_GETMODIFY: return modified;
        case EM_SETMODIFY: modified = wp != 0; return 0;
        case EM_LIMITTEXT:
            limit = (wp == 0 || wp > WPARAM(kMaxLimit)) ? kMaxLimit : int(wp);   // characters
            return 0;
        case EM_GETLIMITTEXT: return limit;
        case EM_SETREADONLY: {
            DWORD st = style();
            SetWindowLong(h, GWL_STYLE, LONG_PTR(wp ? (st | ES_READONLY) : (st & ~DWORD(ES_READONLY))));
            InvalidateRect(h, nullptr, TRUE);
            return TRUE;
        }
        case EM_SETPASSWORDCHAR:
            if (multi()) return 0;
            pwChar = UINT(wp);
            {
                DWORD st = style();
                SetWindowLong(h, GWL_STYLE, LONG_PTR(pwChar ? (st | ES_PASSWORD) : (st & ~DWORD(ES_PASSWORD))));
            }
            dirty = true;
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        case EM_GETPASSWORDCHAR: return pwChar;
        case EM_SETRECT: case EM_SETRECTNP: {
            const RECT* r = reinterpret_cast<const RECT*>(lp);
            if (r) { fmt = *r; fmtSet = true; }
            else fmtSet = false;
            dirty = true;
            layout();
            if (msg == EM_SETRECT) InvalidateRect(h, nullptr, TRUE);
            placeCaret();
            return 0;
        }
        case EM_GETRECT: if (lp) *reinterpret_cast<RECT*>(lp) = fmtRect(); return 0;
        case EM_SETMARGINS: {
            int avg = MeasureDC(currentFont()).GetTextExtent("x", 1).cx / 2 + 1;
            if (wp & EC_LEFTMARGIN) marginL = LOWORD(lp) == EC_USEFONTINFO ? avg : LOWORD(lp);
            if (wp & EC_RIGHTMARGIN) marginR = HIWORD(lp) == EC_USEFONTINFO ? avg : HIWORD(lp);
            dirty = true;
            InvalidateRect(h, nullptr, TRUE);
            return 0;
        }
        case EM_GETMARGINS: return MAKELONG(marginL, marginR);
        case EM_GETLINECOUNT: layout(); return LRESULT(lines.size());
        case EM_GETFIRSTVISIBLELINE: return multi() ? firstLine : 0;
        case EM_LINEFROMCHAR: return lineOf(int(wp) < 0 ? selMin() : bytePos(int(wp)));
        case EM_LINEINDEX: {
            layout();
            int li = int(wp) < 0 ? lineOf(caret) : int(wp);
            if (li >= int(lines.size())) return -1;
            return charIndex(lines[size_t(li)].start);
        }
        case EM_LINELENGTH: {
            layout();
            const Line& l = lines[size_t(lineOf(int(wp) < 0 ? caret : bytePos(int(wp))))];
            return charsIn(l.start, l.start + l.len);
        }
        case EM_GETLINE: {
            layout();
            char* buf = reinterpret_cast<char*>(lp);
            if (!buf || int(wp) < 0 || int(wp) >= int(lines.size())) return 0;
            WORD room;
            memcpy(&room, buf, sizeof room);
            const Line& l = lines[wp];
            int n = std::min<int>(l.len, room);
            memcpy(buf, text.data() + l.start, size_t(n));
            return n;
        }
        case EM_LINESCROLL:
            if (multi()) setFirstLine(std::min(firstLine + int(lp), std::max(0, int(lines.size()) - visibleLines())));
            return TRUE;
        case EM_SCROLL: {
            if (!multi()) return 0;
            int before = firstLine;
            int d = 0;
            switch (wp) {
            case SB_LINEUP: d = -1; break;
            case SB_LINEDOWN: d = 1; break;
            case SB_PAGEUP: d = -visibleLines(); break;
            case SB_PAGEDOWN: d = visibleLines(); break;
            default: return 0;
            }
            setFirstLine(std::min(firstLine + d, std::max(0, int(lines.size()) - visibleLines())));
            return MAKELONG(firstLine - before, TRUE);
        }
        case EM_SCROLLCARET: scrollCaret(); return TRUE;
        case EM_POSFROMCHAR: {
            POINT p = posToPoint(bytePos(std::max(0, int(wp))));
            return MAKELONG(p.x, p.y);
        }
        case EM_CHARFROMPOS: {
            POINT p = lpPoint(lp);
            int pos = pointToPos(p);
            return MAKELONG(charIndex(pos), lineOf(pos));
        }
        default: return DefWindowProc(h, msg, wp, lp);
        }
    }
};

void RegisterEdit()
{
    RegisterControlClass(WC_EDIT, CtlProc<EditCtl>, CS_DBLCLKS | CS_GLOBALCLASS, IDC_IBEAM);
}

} // namespace pvctl
