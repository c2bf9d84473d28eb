// Font realisation on Pango: face-name mapping, metrics, per-character advances and a cache of
// shaped strings, so that measuring and drawing the same text costs no shaping after the first time.

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/base/utf8.h"
#include "platform/gdi/fonts.h"

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps the insides of its patterns as offsets rather than pointers, so the leak
// checker cannot follow them and reports the font caches as lost. They are not.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif

namespace pvgdi {

namespace {

struct Engine {
    PangoFontMap* map = nullptr;
    PangoContext* ctx[2] = {nullptr, nullptr};  // left-to-right, right-to-left
    PangoAttrList* attrs = nullptr;
    std::map<std::string, PangoFontFamily*> families;  // lower-case name -> family
    std::vector<std::string> familyNames;              // as installed, sorted
    std::unordered_map<std::string, std::unique_ptr<FontFace>> faces;
    std::unordered_map<std::string, double> cellRatio;  // (ascent + descent) / em per style

    Engine()
    {
        map = pango_cairo_font_map_new();
        pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map), 96.0);
        cairo_font_options_t* opts = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_ON);
        cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
        for (int i = 0; i < 2; ++i) {
            ctx[i] = pango_font_map_create_context(map);
            pango_cairo_context_set_font_options(ctx[i], opts);
            pango_context_set_round_glyph_positions(ctx[i], TRUE);
            pango_context_set_base_dir(ctx[i], i ? PANGO_DIRECTION_RTL : PANGO_DIRECTION_LTR);
        }
        cairo_font_options_destroy(opts);
        // Whole-pixel advances that add up: no kerning, no ligatures.
        attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_font_features_new("kern 0, liga 0, clig 0, dlig 0"));

        PangoFontFamily** fams = nullptr;
        int n = 0;
        pango_font_map_list_families(map, &fams, &n);
        for (int i = 0; i < n; ++i) {
            std::string name = pango_font_family_get_name(fams[i]);
            familyNames.push_back(name);
            families[lower(name)] = fams[i];
        }
        g_free(fams);
        std::sort(familyNames.begin(), familyNames.end());
    }

    static std::string lower(std::string s)
    {
        for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
        return s;
    }
};

Engine& engine()
{
    static Engine* e = new Engine();  // kept for the process
    return *e;
}

struct Alias {
    const char* face;
    const char* family;
};
const char* genericOf(const char* family)
{
    return std::strcmp(family, "DejaVu Serif") == 0 ? "Serif"
         : std::strcmp(family, "DejaVu Sans Mono") == 0 ? "Monospace" : "Sans";
}
const Alias kAliases[] = {
    {"arial", "DejaVu Sans"},           {"ms sans serif", "DejaVu Sans"},  {"ms shell dlg", "DejaVu Sans"},
    {"ms shell dlg 2", "DejaVu Sans"},  {"microsoft sans serif", "DejaVu Sans"},
    {"tahoma", "DejaVu Sans"},          {"verdana", "DejaVu Sans"},        {"helvetica", "DejaVu Sans"},
    {"segoe ui", "DejaVu Sans"},        {"system", "DejaVu Sans"},         {"small fonts", "DejaVu Sans"},
    {"times new roman", "DejaVu Serif"}, {"times", "DejaVu Serif"},        {"ms serif", "DejaVu Serif"},
    {"georgia", "DejaVu Serif"},        {"courier new", "DejaVu Sans Mono"}, {"courier", "DejaVu Sans Mono"},
    {"lucida console", "DejaVu Sans Mono"}, {"fixedsys", "DejaVu Sans Mono"}, {"terminal", "DejaVu Sans Mono"},
    {"consolas", "DejaVu Sans Mono"},
};

std::string installedOr(const char* family, const char* generic)
{
    auto& e = engine();
    return e.families.count(Engine::lower(family)) ? family : generic;
}

}  // namespace

std::string ResolveFamily(const char* face, BYTE pitchAndFamily)
{
    auto& e = engine();
    const std::string key = Engine::lower(face ? face : "");
    if (!key.empty()) {
        for (const Alias& a : kAliases)
            if (key == a.face) return installedOr(a.family, genericOf(a.family));
        auto it = e.families.find(key);
        if (it != e.families.end()) return pango_font_family_get_name(it->second);
    }
    if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == FF_MODERN)
        return installedOr("DejaVu Sans Mono", "Monospace");
    if ((pitchAndFamily & 0xF0) == FF_ROMAN) return installedOr("DejaVu Serif", "Serif");
    return installedOr("DejaVu Sans", "Sans");
}

const std::vector<std::string>& InstalledFamilies()
{
    return engine().familyNames;
}

bool FamilyIsMonospace(const std::string& family)
{
    auto& e = engine();
    auto it = e.families.find(Engine::lower(family));
    return it != e.families.end() && pango_font_family_is_monospace(it->second);
}

namespace {

PangoWeight pangoWeight(LONG w)
{
    if (w <= 0) return PANGO_WEIGHT_NORMAL;
    return PangoWeight(std::clamp<LONG>(w, 100, 1000));
}

void loadMetrics(FontFace& f)
{
    cairo_scaled_font_t* sf = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(f.font));
    cairo_font_extents_t fe{};
    if (sf) cairo_scaled_font_extents(sf, &fe);
    f.ascent = int(std::lround(fe.ascent));
    f.descent = int(std::lround(fe.descent));
    if (f.ascent + f.descent <= 0) {
        f.ascent = f.em;
        f.descent = 0;
    }
    f.height = f.ascent + f.descent;
    f.intLeading = std::max(0, f.height - f.em);
    f.extLeading = std::max(0, int(std::lround(fe.height)) - f.height);
    PangoFontMetrics* m = pango_font_get_metrics(f.font, nullptr);
    f.aveWidth = std::max(1, int(std::lround(pango_font_metrics_get_approximate_char_width(m) / double(PANGO_SCALE))));
    f.underlinePos = std::max(1, int(std::lround(-pango_font_metrics_get_underline_position(m) / double(PANGO_SCALE))));
    f.lineThickness = std::max(1, int(std::lround(pango_font_metrics_get_underline_thickness(m) / double(PANGO_SCALE))));
    f.strikePos = std::max(1, int(std::lround(pango_font_metrics_get_strikethrough_position(m) / double(PANGO_SCALE))));
    pango_font_metrics_unref(m);
    f.maxWidth = std::max(f.aveWidth, int(std::lround(fe.max_x_advance)));
    f.fixedPitch = FamilyIsMonospace(f.family);
    if (f.fixedPitch) f.maxWidth = f.aveWidth = std::max(1, f.Advance('0'));
}

// Ratio of the cell height (ascent + descent) to the em size, for positive LOGFONT heights.
double cellRatio(const std::string& family, LONG weight, bool italic)
{
    auto& e = engine();
    std::string key = family + "|" + std::to_string(weight) + (italic ? "i" : "");
    auto it = e.cellRatio.find(key);
    if (it != e.cellRatio.end()) return it->second;
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, family.c_str());
    pango_font_description_set_weight(d, pangoWeight(weight));
    pango_font_description_set_style(d, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(d, 1000.0 * PANGO_SCALE);
    double ratio = 1.15;
    if (PangoFont* font = pango_font_map_load_font(e.map, e.ctx[0], d)) {
        PangoFontMetrics* m = pango_font_get_metrics(font, nullptr);
        const double cell = (pango_font_metrics_get_ascent(m) + pango_font_metrics_get_descent(m)) / double(PANGO_SCALE);
        if (cell > 0) ratio = cell / 1000.0;
        pango_font_metrics_unref(m);
        g_object_unref(font);
    }
    pango_font_description_free(d);
    e.cellRatio[key] = ratio;
    return ratio;
}

}  // namespace

FontFace::~FontFace()
{
    ClearShapes();
    if (font) g_object_unref(font);
    if (desc) pango_font_description_free(desc);
}

namespace {

void releaseFonts(Shaped& s)
{
    for (ShapedRun& run : s.runs) cairo_scaled_font_destroy(run.font);
    s.runs.clear();
}

}  // namespace

const Shaped* ShapeCache::Find(const std::string& text)
{
    auto it = m_index.find(text);
    if (it == m_index.end()) return nullptr;
    m_lru.splice(m_lru.begin(), m_lru, it->second);
    return &it->second->shaped;
}

const Shaped& ShapeCache::Insert(const std::string& text, Shaped shaped)
{
    if (m_index.size() >= kCapacity) {
        Entry& last = m_lru.back();
        m_index.erase(std::string_view(last.text));
        releaseFonts(last.shaped);
        m_lru.pop_back();
    }
    m_lru.push_front(Entry{text, std::move(shaped)});
    m_index.emplace(std::string_view(m_lru.front().text), m_lru.begin());
    return m_lru.front().shaped;
}

void ShapeCache::Clear()
{
    for (Entry& e : m_lru) releaseFonts(e.shaped);
    m_index.clear();
    m_lru.clear();
}

void FontFace::ClearShapes()
{
    for (Glyph& g : glyphs) {
        if (g.font) cairo_scaled_font_destroy(g.font);
        g = Glyph{};
    }
    for (ShapeCache& c : shapes) c.Clear();
}

int FontFace::Advance(uint32_t cp)
{
    if (cp < 128 && ascii[cp] >= 0) return ascii[cp];
    if (cp >= 128) {
        auto it = advances.find(cp);
        if (it != advances.end()) return it->second;
    }
    char buf[4];
    const int n = PvEncodeUtf8(cp, buf);
    const Shaped& s = Shape(std::string(buf, size_t(n)), false);
    if (cp < 128) ascii[cp] = int16_t(s.width);
    else if (advances.size() < 65536) advances[cp] = s.width;
    return s.width;
}

const FontFace::Glyph& FontFace::AsciiGlyph(unsigned char c)
{
    Glyph& g = glyphs[c & 0x7F];
    if (g.ready) return g;
    g.ready = true;
    g.advance = Advance(c);
    const Shaped& s = Shape(std::string(1, char(c)), false);
    if (!s.runs.empty() && s.runs[0].glyphs.size() == 1) {
        g.empty = false;
        g.font = cairo_scaled_font_reference(s.runs[0].font);
        g.index = s.runs[0].glyphs[0].index;
        g.dx = s.runs[0].glyphs[0].x;
        g.dy = s.runs[0].glyphs[0].y;
    }
    return g;
}

const Shaped& FontFace::Shape(const std::string& text, bool rtl)
{
    ShapeCache& cache = shapes[rtl ? 1 : 0];
    if (const Shaped* hit = cache.Find(text)) return *hit;
    auto& e = engine();
    Shaped out;
    PangoLayout* layout = pango_layout_new(e.ctx[rtl ? 1 : 0]);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_attributes(layout, e.attrs);
    pango_layout_set_auto_dir(layout, FALSE);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    pango_layout_set_text(layout, text.data(), int(text.size()));
    PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
    double x = 0;
    for (GSList* l = line ? line->runs : nullptr; l; l = l->next) {
        auto* run = static_cast<PangoGlyphItem*>(l->data);
        cairo_scaled_font_t* sf = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(run->item->analysis.font));
        ShapedRun r;
        r.font = sf ? cairo_scaled_font_reference(sf) : nullptr;
        PangoGlyphString* gs = run->glyphs;
        for (int i = 0; i < gs->num_glyphs; ++i) {
            const PangoGlyphInfo& gi = gs->glyphs[i];
            if (gi.glyph != PANGO_GLYPH_EMPTY && !(gi.glyph & PANGO_GLYPH_UNKNOWN_FLAG)) {
                r.glyphs.push_back(cairo_glyph_t{gi.glyph, x + gi.geometry.x_offset / double(PANGO_SCALE),
                                                 gi.geometry.y_offset / double(PANGO_SCALE)});
            }
            x += gi.geometry.width / double(PANGO_SCALE);
        }
        if (r.font) out.runs.push_back(std::move(r));
        else cairo_scaled_font_destroy(r.font);
    }
    out.width = int(std::lround(x));
    g_object_unref(layout);
    return cache.Insert(text, std::move(out));
}

FontFace* RealizeFont(const LOGFONT& lf, double scaleY)
{
    auto& e = engine();
    char face[LF_FACESIZE + 1];
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    face[LF_FACESIZE] = 0;
    const std::string family = ResolveFamily(face, lf.lfPitchAndFamily);
    const bool italic = lf.lfItalic != 0;
    const LONG weight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    double h = std::fabs(double(lf.lfHeight) * scaleY);
    if (lf.lfHeight == 0) h = 12 * std::fabs(scaleY);
    int em = lf.lfHeight > 0 ? int(std::lround(h / cellRatio(family, weight, italic))) : int(std::lround(h));
    em = std::clamp(em, 1, 4000);

    std::string key = family + "|" + std::to_string(weight) + "|" + (italic ? "i" : "r") + "|" + std::to_string(em);
    auto it = e.faces.find(key);
    if (it != e.faces.end()) return it->second.get();

    auto f = std::make_unique<FontFace>();
    f->family = family;
    f->em = em;
    f->weight = weight;
    f->italic = italic;
    f->desc = pango_font_description_new();
    pango_font_description_set_family(f->desc, family.c_str());
    pango_font_description_set_weight(f->desc, pangoWeight(weight));
    pango_font_description_set_style(f->desc, italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(f->desc, double(em) * PANGO_SCALE);
    f->font = pango_font_map_load_font(e.map, e.ctx[0], f->desc);
    std::fill(std::begin(f->ascii), std::end(f->ascii), int16_t(-1));
    if (f->font) loadMetrics(*f);
    else {
        f->ascent = em;
        f->height = em;
        f->aveWidth = f->maxWidth = std::max(1, em / 2);
    }
    // Faces live for the process (DCs keep pointers to them); their string caches are what grows.
    if (e.faces.size() % 256 == 255)
        for (auto& [k, face] : e.faces) face->ClearShapes();
    return e.faces.emplace(key, std::move(f)).first->second.get();
}

int DecodeUtf8(const char* s, int n, int i, uint32_t& cp)
{
    const auto b = [&](int k) { return static_cast<unsigned char>(s[k]); };
    const unsigned c = b(i);
    int len = 1;
    uint32_t v = c;
    // 0xC0/0xC1 could only start overlong forms and 0xF5..0xFF nothing at all: stray bytes.
    if (c >= 0xF0 && c < 0xF5) len = 4, v = c & 0x07;
    else if (c >= 0xE0 && c < 0xF0) len = 3, v = c & 0x0F;
    else if (c >= 0xC2 && c < 0xE0) len = 2, v = c & 0x1F;
    else if (c >= 0x80) len = 0;
    if (len == 0 || i + len > n) {
        cp = '?';  // a stray byte stands for itself, one byte wide
        return 1;
    }
    for (int k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) {
            cp = '?';
            return 1;
        }
        v = (v << 6) | (b(i + k) & 0x3F);
    }
    if ((len == 3 && (v < 0x800 || (v >= 0xD800 && v < 0xE000))) || (len == 4 && (v < 0x10000 || v > 0x10FFFF))) {
        cp = '?';
        return 1;
    }
    cp = v;
    return len;
}

std::string ValidUtf8(const char* s, int n)
{
    std::string out;
    out.reserve(size_t(n));
    for (int i = 0; i < n;) {
        uint32_t cp;
        const int len = DecodeUtf8(s, n, i, cp);
        if (len == 1 && static_cast<unsigned char>(s[i]) >= 0x80) out += '?';
        else out.append(s + i, size_t(len));
        i += len;
    }
    return out;
}

}  // namespace pvgdi
