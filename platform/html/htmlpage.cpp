// The page container: litehtml asks, platform/gdi draws and measures.

#include "platform/html/htmlpage.h"

#include "platform/base/textcase.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dcguard.h"
#include "platform/gdi/gdiobj.h"
#include "platform/sys/fileio.h"

#include <litehtml/litehtml.h>
#include <litehtml/el_body.h>
#include <litehtml/el_image.h>
#include <litehtml/el_table.h>
#include <litehtml/el_td.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace pvhtml {

// ---- Addresses ----

std::string SchemeOf(const std::string& address)
{
    size_t i = 0;
    while (i < address.size() && (std::isalnum(static_cast<unsigned char>(address[i])) || address[i] == '+' ||
                                  address[i] == '-' || address[i] == '.'))
        ++i;
    // One letter before ':' is a drive, not a scheme.
    if (i < 2 || i >= address.size() || address[i] != ':' || !std::isalpha(static_cast<unsigned char>(address[0])))
        return {};
    return PvLowerCase(address.substr(0, i));
}

static bool isAbsolutePath(const std::string& s)
{
    return !s.empty() && (s[0] == '/' || s[0] == '\\' ||
                          (s.size() > 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':' &&
                           (s[2] == '\\' || s[2] == '/')));
}

std::string ResolveAddress(const std::string& base, const std::string& address)
{
    if (address.empty())
        return base;
    if (address[0] == '#')  // a place in the same page
        return base.substr(0, base.find('#')) + address;
    if (!SchemeOf(address).empty() || isAbsolutePath(address))
        return address;
    const size_t slash = base.find_last_of("/\\");
    if (slash == std::string::npos)
        return address;
    return base.substr(0, slash + 1) + address;
}

std::string FilePathOf(const std::string& address)
{
    std::string s = address;
    const std::string scheme = SchemeOf(s);
    if (scheme == "file") {
        s.erase(0, 5);
        while (s.size() > 1 && (s[0] == '/' || s[0] == '\\') && (s[1] == '/' || s[1] == '\\'))
            s.erase(0, 1);
    } else if (!scheme.empty()) {
        return {};
    }
    const size_t hash = s.find('#');
    if (hash != std::string::npos)
        s.erase(hash);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += char(std::strtol(s.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return pvsys::osPath(out);
}

// ---- Presentational attributes litehtml leaves alone ----

namespace {

std::string attr(const litehtml::element& el, const char* name)
{
    const char* v = el.get_attr(name);
    return v ? std::string(v) : std::string();
}

// A length attribute: "10" is pixels, "50%" stays a percentage; anything else is ignored.
std::string lengthOf(const std::string& v)
{
    if (v.empty() || !std::isdigit(static_cast<unsigned char>(v[0])))
        return {};
    const int n = std::atoi(v.c_str());
    return v.find('%') != std::string::npos ? std::to_string(n) + "%" : std::to_string(n) + "px";
}

void addStyle(litehtml::element& el, const std::string& css)
{
    if (!css.empty())
        el.add_style(css, "");
}

void mapBody(litehtml::element& el)
{
    std::string css;
    if (auto v = attr(el, "bgcolor"); !v.empty()) css += "background-color:" + v + ";";
    if (auto v = attr(el, "text"); !v.empty()) css += "color:" + v + ";";
    if (auto v = attr(el, "background"); !v.empty()) css += "background-image:url('" + v + "');";
    if (auto v = lengthOf(attr(el, "leftmargin")); !v.empty()) css += "margin-left:" + v + ";margin-right:" + v + ";";
    if (auto v = lengthOf(attr(el, "topmargin")); !v.empty()) css += "margin-top:" + v + ";margin-bottom:" + v + ";";
    if (auto v = lengthOf(attr(el, "marginwidth")); !v.empty()) css += "margin-left:" + v + ";margin-right:" + v + ";";
    if (auto v = lengthOf(attr(el, "marginheight")); !v.empty()) css += "margin-top:" + v + ";margin-bottom:" + v + ";";
    addStyle(el, css);
    // The link colour reaches the links themselves; a page's own stylesheet still wins.
    if (auto v = attr(el, "link"); !v.empty())
        for (auto& a : el.select_all("a[href]"))
            addStyle(*a, "color:" + v + ";");
}

void mapImage(litehtml::element& el)
{
    std::string css;
    const std::string align = PvLowerCase(attr(el, "align"));
    if (align == "left" || align == "right")
        css += "float:" + align + ";";
    else if (align == "middle" || align == "absmiddle" || align == "center")
        css += "vertical-align:middle;";
    else if (align == "top" || align == "texttop")
        css += "vertical-align:top;";
    if (auto v = lengthOf(attr(el, "hspace")); !v.empty()) css += "margin-left:" + v + ";margin-right:" + v + ";";
    if (auto v = lengthOf(attr(el, "vspace")); !v.empty()) css += "margin-top:" + v + ";margin-bottom:" + v + ";";
    if (auto v = lengthOf(attr(el, "border")); !v.empty()) css += "border-width:" + v + ";border-style:solid;";
    addStyle(el, css);
}

// Cells of this table (not of tables nested in it).
void forOwnCells(litehtml::element& table, const std::function<void(litehtml::element&)>& fn)
{
    for (size_t i = 0; i < table.get_children_count(); ++i) {
        auto child = table.get_child(int(i));
        const std::string tag = child->get_tagName();
        if (tag == "tr") {
            for (size_t j = 0; j < child->get_children_count(); ++j) {
                auto cell = child->get_child(int(j));
                const std::string ct = cell->get_tagName();
                if (ct == "td" || ct == "th")
                    fn(*cell);
            }
        } else if (tag == "tbody" || tag == "thead" || tag == "tfoot") {
            forOwnCells(*child, fn);
        }
    }
}

void mapTable(litehtml::element& el)
{
    std::string css;
    const std::string align = PvLowerCase(attr(el, "align"));
    if (align == "center")
        css += "margin-left:auto;margin-right:auto;";
    else if (align == "left" || align == "right")
        css += "float:" + align + ";";
    if (auto v = lengthOf(attr(el, "height")); !v.empty()) css += "height:" + v + ";";
    if (auto v = attr(el, "background"); !v.empty()) css += "background-image:url('" + v + "');";
    const std::string border = attr(el, "border");
    const int nBorder = border.empty() ? 0 : (std::isdigit(static_cast<unsigned char>(border[0])) ? std::atoi(border.c_str()) : 1);
    if (nBorder > 0)
        css += "border:" + std::to_string(nBorder) + "px outset gray;";
    addStyle(el, css);
    std::string cellCss;
    if (nBorder > 0)
        cellCss += "border:1px inset gray;";
    if (auto v = lengthOf(attr(el, "cellpadding")); !v.empty())
        cellCss += "padding:" + v + ";";
    if (!cellCss.empty())
        forOwnCells(el, [&](litehtml::element& cell) { addStyle(cell, cellCss); });
}

void mapCell(litehtml::element& el)
{
    std::string css;
    if (auto v = lengthOf(attr(el, "height")); !v.empty()) css += "height:" + v + ";";
    if (auto v = attr(el, "background"); !v.empty()) css += "background-image:url('" + v + "');";
    addStyle(el, css);
}

template <class Base, void (*Map)(litehtml::element&)>
class Presentational : public Base {
public:
    using Base::Base;
    void parse_attributes() override
    {
        Map(*this);
        Base::parse_attributes();
    }
};

} // namespace

// ---- The container ----

class Page::Container final : public litehtml::document_container {
public:
    Container()
    {
        m_measure.CreateCompatibleDC(nullptr);
        m_context.load_master_stylesheet(DefaultStylesheet());
    }
    ~Container()
    {
        m_doc.reset();  // fonts go back through delete_font first
    }

    litehtml::document::ptr m_doc;
    litehtml::context m_context;
    int m_viewWidth = 800, m_viewHeight = 600;
    CString m_title;
    std::string m_base;
    CDC* m_pDrawDC = nullptr;
    std::vector<int> m_clipSaves;

    struct Font {
        CFont font;
        litehtml::font_metrics fm;
        bool overline = false;
    };
    struct Image {
        CBitmap bitmap;
        CSize size;
        bool ok = false;
    };

    // ---- document_container ----
    litehtml::uint_ptr create_font(const char* faceName, int size, int weight, litehtml::font_style italic,
                                   unsigned int decoration, litehtml::font_metrics* fm) override
    {
        auto f = std::make_unique<Font>();
        LOGFONT lf {};
        lf.lfHeight = -std::max(1, size);
        lf.lfWeight = weight;
        lf.lfItalic = italic == litehtml::fontStyleItalic;
        lf.lfUnderline = (decoration & litehtml::font_decoration_underline) != 0;
        lf.lfStrikeOut = (decoration & litehtml::font_decoration_linethrough) != 0;
        const std::string face = firstFamily(faceName ? faceName : "");
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face.c_str());
        f->font.CreateFontIndirect(&lf);
        f->overline = (decoration & litehtml::font_decoration_overline) != 0;
        CDCStateGuard guard(&m_measure);
        guard.SelectFont(&f->font);
        TEXTMETRIC tm {};
        m_measure.GetTextMetrics(&tm);
        f->fm.ascent = tm.tmAscent;
        f->fm.descent = tm.tmDescent;
        f->fm.height = tm.tmHeight;
        f->fm.x_height = m_measure.GetTextExtent("x", 1).cy > 0 ? tm.tmAscent / 2 : 0;
        f->fm.draw_spaces = lf.lfUnderline || lf.lfStrikeOut;
        if (fm)
            *fm = f->fm;
        Font* raw = f.get();
        m_fonts.emplace(raw, std::move(f));
        return reinterpret_cast<litehtml::uint_ptr>(raw);
    }
    void delete_font(litehtml::uint_ptr hFont) override { m_fonts.erase(reinterpret_cast<Font*>(hFont)); }

    int text_width(const char* text, litehtml::uint_ptr hFont) override
    {
        auto* f = reinterpret_cast<Font*>(hFont);
        if (!f || !text)
            return 0;
        CDCStateGuard guard(&m_measure);
        guard.SelectFont(&f->font);
        return m_measure.GetTextExtent(text, int(std::strlen(text))).cx;
    }

    void draw_text(litehtml::uint_ptr hdc, const char* text, litehtml::uint_ptr hFont, litehtml::web_color color,
                   const litehtml::position& pos) override
    {
        auto* dc = reinterpret_cast<CDC*>(hdc);
        auto* f = reinterpret_cast<Font*>(hFont);
        if (!dc || !f || !text)
            return;
        CDCStateGuard guard(dc);
        guard.SelectFont(&f->font);
        guard.SetTextColor(rgb(color));
        guard.SetBkMode(TRANSPARENT);
        guard.SetTextAlign(TA_LEFT | TA_TOP);
        dc->TextOut(pos.x, pos.y, text, int(std::strlen(text)));
        if (f->overline)
            dc->FillSolidRect(pos.x, pos.y, pos.width, 1, rgb(color));
    }

    int pt_to_px(int pt) const override { return pt * 96 / 72; }
    int get_default_font_size() const override { return 16; }
    const char* get_default_font_name() const override { return "Times New Roman"; }

    void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override
    {
        auto* dc = reinterpret_cast<CDC*>(hdc);
        if (!dc)
            return;
        const auto& p = marker.pos;
        const COLORREF c = rgb(marker.color);
        switch (marker.marker_type) {
        case litehtml::list_style_type_disc:
        case litehtml::list_style_type_circle: {
            CBrush brush(c);
            CPen pen(PS_SOLID, 1, c);
            CDCStateGuard guard(dc);
            guard.SelectPen(&pen);
            if (marker.marker_type == litehtml::list_style_type_disc)
                guard.SelectBrush(&brush);
            else
                dc->SelectStockObject(NULL_BRUSH);
            dc->Ellipse(p.x, p.y, p.right(), p.bottom());
            break;
        }
        case litehtml::list_style_type_square: dc->FillSolidRect(p.x, p.y, p.width, p.height, c); break;
        case litehtml::list_style_type_none: break;
        default: {
            // Numbered and lettered lists: the number right-aligned before the item.
            std::string text;
            if (marker.marker_type == litehtml::list_style_type_lower_alpha ||
                marker.marker_type == litehtml::list_style_type_upper_alpha) {
                const char first = marker.marker_type == litehtml::list_style_type_lower_alpha ? 'a' : 'A';
                text = std::string(1, char(first + (std::max(1, marker.index) - 1) % 26));
            } else {
                text = std::to_string(marker.index);
            }
            text += ".";
            auto* f = reinterpret_cast<Font*>(marker.font);
            if (!f)
                return;
            const int w = text_width(text.c_str(), marker.font);
            litehtml::position tp(p.x - w + p.width - 2, p.y - (f->fm.height - p.height) / 2 - f->fm.descent / 2, w,
                                  f->fm.height);
            draw_text(hdc, text.c_str(), marker.font, marker.color, tp);
            break;
        }
        }
    }

    void load_image(const char* src, const char* baseurl, bool) override { image(src, baseurl); }

    void get_image_size(const char* src, const char* baseurl, litehtml::size& sz) override
    {
        const Image& img = image(src, baseurl);
        sz.width = img.size.cx;
        sz.height = img.size.cy;
    }

    void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override
    {
        auto* dc = reinterpret_cast<CDC*>(hdc);
        if (!dc)
            return;
        const auto& cb = bg.clip_box;
        if (bg.color.alpha > 0)
            dc->FillSolidRect(cb.x, cb.y, cb.width, cb.height, rgb(bg.color));
        if (bg.image.empty())
            return;
        Image& img = image(bg.image.c_str(), bg.baseurl.c_str());
        if (!img.ok || bg.image_size.width <= 0 || bg.image_size.height <= 0)
            return;
        CDC mem;
        if (!mem.CreateCompatibleDC(dc))
            return;
        CBitmap* old = mem.SelectObject(&img.bitmap);
        const int saved = dc->SaveDC();
        dc->IntersectClipRect(cb.x, cb.y, cb.right(), cb.bottom());
        const int w = bg.image_size.width, h = bg.image_size.height;
        int x0 = bg.position_x, y0 = bg.position_y;
        int x1 = x0 + w, y1 = y0 + h;
        using R = litehtml::background_repeat;
        if (bg.repeat == R::background_repeat_repeat || bg.repeat == R::background_repeat_repeat_x) {
            while (x0 > cb.x) x0 -= w;
            x1 = cb.right();
        }
        if (bg.repeat == R::background_repeat_repeat || bg.repeat == R::background_repeat_repeat_y) {
            while (y0 > cb.y) y0 -= h;
            y1 = cb.bottom();
        }
        for (int y = y0; y < y1; y += h)
            for (int x = x0; x < x1; x += w) {
                if (img.size.cx == w && img.size.cy == h)
                    dc->BitBlt(x, y, w, h, &mem, 0, 0, SRCCOPY);
                else
                    dc->StretchBlt(x, y, w, h, &mem, 0, 0, img.size.cx, img.size.cy, SRCCOPY);
            }
        dc->RestoreDC(saved);
        mem.SelectObject(old);
    }

    void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& b, const litehtml::position& p, bool) override
    {
        auto* dc = reinterpret_cast<CDC*>(hdc);
        if (!dc)
            return;
        // inset and outset: the light and the dark side of a raised or sunken edge.
        auto shade = [](const litehtml::border& side, bool topLeft) {
            COLORREF c = rgb(side.color);
            const bool dark = (side.style == litehtml::border_style_inset) == topLeft;
            if (side.style != litehtml::border_style_inset && side.style != litehtml::border_style_outset)
                return c;
            if (dark)
                return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
            return RGB(std::min(255, GetRValue(c) + 64), std::min(255, GetGValue(c) + 64), std::min(255, GetBValue(c) + 64));
        };
        auto visible = [](const litehtml::border& side) {
            return side.width > 0 && side.style > litehtml::border_style_hidden;
        };
        if (visible(b.top)) dc->FillSolidRect(p.x, p.y, p.width, b.top.width, shade(b.top, true));
        if (visible(b.bottom)) dc->FillSolidRect(p.x, p.bottom() - b.bottom.width, p.width, b.bottom.width, shade(b.bottom, false));
        if (visible(b.left)) dc->FillSolidRect(p.x, p.y, b.left.width, p.height, shade(b.left, true));
        if (visible(b.right)) dc->FillSolidRect(p.right() - b.right.width, p.y, b.right.width, p.height, shade(b.right, false));
    }

    void set_caption(const char* caption) override { m_title = caption ? caption : ""; }
    void set_base_url(const char* base_url) override
    {
        if (base_url && *base_url)
            m_base = ResolveAddress(m_base, base_url);
    }
    void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
    void on_anchor_click(const char*, const litehtml::element::ptr&) override {}
    void set_cursor(const char*) override {}
    void transform_text(litehtml::tstring& text, litehtml::text_transform tt) override
    {
        if (tt == litehtml::text_transform_uppercase)
            text = PvUpperCase(text);
        else if (tt == litehtml::text_transform_lowercase)
            text = PvLowerCase(text);
    }
    void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) override
    {
        const std::string address = ResolveAddress(baseurl.empty() ? m_base : baseurl, url);
        const std::string path = FilePathOf(address);
        text.clear();
        if (!path.empty())
            pvsys::readWholeFile(pvsys::findPathNoCase(path), text, kMaxStylesheet);
        baseurl = address;
    }
    void set_clip(const litehtml::position& pos, const litehtml::border_radiuses&, bool, bool) override
    {
        if (!m_pDrawDC)
            return;
        m_clipSaves.push_back(m_pDrawDC->SaveDC());
        m_pDrawDC->IntersectClipRect(pos.x, pos.y, pos.right(), pos.bottom());
    }
    void del_clip() override
    {
        if (!m_pDrawDC || m_clipSaves.empty())
            return;
        m_pDrawDC->RestoreDC(m_clipSaves.back());
        m_clipSaves.pop_back();
    }
    void get_client_rect(litehtml::position& client) const override
    {
        client = litehtml::position(0, 0, m_viewWidth, m_viewHeight);
    }
    std::shared_ptr<litehtml::element> create_element(const char* tag, const litehtml::string_map&,
                                                      const std::shared_ptr<litehtml::document>& doc) override
    {
        const std::string t = PvLowerCase(tag ? tag : "");
        if (t == "body") return std::make_shared<Presentational<litehtml::el_body, mapBody>>(doc);
        if (t == "img") return std::make_shared<Presentational<litehtml::el_image, mapImage>>(doc);
        if (t == "table") return std::make_shared<Presentational<litehtml::el_table, mapTable>>(doc);
        if (t == "td" || t == "th") return std::make_shared<Presentational<litehtml::el_td, mapCell>>(doc);
        return nullptr;
    }
    void get_media_features(litehtml::media_features& media) const override
    {
        media.type = litehtml::media_type_screen;
        media.width = m_viewWidth;
        media.height = m_viewHeight;
        media.device_width = m_viewWidth;
        media.device_height = m_viewHeight;
        media.color = 8;
        media.monochrome = 0;
        media.color_index = 256;
        media.resolution = 96;
    }
    void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override
    {
        language = "en";
        culture.clear();
    }

private:
    static constexpr size_t kMaxStylesheet = 4u << 20;  // a page's stylesheet, never a whole disk

    static COLORREF rgb(const litehtml::web_color& c) { return RGB(c.red, c.green, c.blue); }

    // The first family of a CSS list, generic names mapped onto the faces the platform renders.
    static std::string firstFamily(const std::string& list)
    {
        std::string f = list.substr(0, list.find(','));
        f.erase(std::remove(f.begin(), f.end(), '"'), f.end());
        f.erase(std::remove(f.begin(), f.end(), '\''), f.end());
        while (!f.empty() && f.front() == ' ') f.erase(0, 1);
        while (!f.empty() && f.back() == ' ') f.pop_back();
        const std::string g = PvLowerCase(f);
        if (g == "serif" || g.empty()) return "Times New Roman";
        if (g == "sans-serif") return "Arial";
        if (g == "monospace") return "Courier New";
        return f;
    }

    Image& image(const char* src, const char* baseurl)
    {
        const std::string address = ResolveAddress(baseurl && *baseurl ? baseurl : m_base, src ? src : "");
        auto it = m_images.find(address);
        if (it != m_images.end())
            return *it->second;
        auto img = std::make_unique<Image>();
        const std::string path = FilePathOf(address);
        if (!path.empty() && img->bitmap.PvLoadImageFile(pvsys::findPathNoCase(path).c_str())) {
            BITMAP bm {};
            img->bitmap.GetBitmap(&bm);
            img->size = CSize(bm.bmWidth, bm.bmHeight);
            img->ok = bm.bmWidth > 0 && bm.bmHeight > 0;
        }
        return *m_images.emplace(address, std::move(img)).first->second;
    }

    CDC m_measure;
    std::map<Font*, std::unique_ptr<Font>> m_fonts;
    std::map<std::string, std::unique_ptr<Image>> m_images;
};

Page::Page() : m_container(std::make_unique<Container>()) {}
Page::~Page() = default;

void Page::Load(const std::string& html, const std::string& address)
{
    m_address = address;
    m_container->m_base = address;
    m_container->m_title.Empty();
    m_container->m_doc.reset();
    m_container->m_doc = litehtml::document::createFromUTF8(html.c_str(), m_container.get(), &m_container->m_context);
}

int Page::Layout(int width, int height)
{
    m_container->m_viewWidth = std::max(1, width);
    m_container->m_viewHeight = std::max(1, height);
    if (!m_container->m_doc)
        return 0;
    m_container->m_doc->media_changed();
    m_container->m_doc->render(m_container->m_viewWidth);
    return m_container->m_doc->height();
}

int Page::Width() const { return m_container->m_doc ? m_container->m_doc->width() : 0; }
int Page::Height() const { return m_container->m_doc ? m_container->m_doc->height() : 0; }

void Page::Draw(CDC* pDC, int x, int y, const CRect& clip)
{
    if (!m_container->m_doc || !pDC)
        return;
    m_container->m_pDrawDC = pDC;
    litehtml::position c(clip.left, clip.top, clip.Width(), clip.Height());
    m_container->m_doc->draw(reinterpret_cast<litehtml::uint_ptr>(pDC), x, y, &c);
    while (!m_container->m_clipSaves.empty())
        m_container->del_clip();
    m_container->m_pDrawDC = nullptr;
}

std::string Page::LinkAt(int x, int y) const
{
    if (!m_container->m_doc || !m_container->m_doc->root())
        return {};
    for (auto el = m_container->m_doc->root()->get_element_by_point(x, y, x, y); el; el = el->parent()) {
        const char* tag = el->get_tagName();
        const char* href = el->get_attr("href");
        if (tag && PvCompareNoCase(tag, "a") == 0 && href)
            return ResolveAddress(m_container->m_base, href);
    }
    return {};
}

CString Page::Title() const { return m_container->m_title; }

std::string Page::Text() const
{
    std::string text;
    if (m_container->m_doc && m_container->m_doc->root())
        m_container->m_doc->root()->get_text(text);
    return text;
}

} // namespace pvhtml
