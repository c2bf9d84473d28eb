#pragma once
// Private to platform/gdi: realised fonts (a family at a pixel size) and shaped strings.

#include <cairo.h>
#include <pango/pango.h>

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdidefs.h"

namespace pvgdi {

struct ShapedRun {
    cairo_scaled_font_t* font = nullptr;  // referenced
    std::vector<cairo_glyph_t> glyphs;    // x from the string's start, y from the baseline
};

struct Shaped {
    std::vector<ShapedRun> runs;
    int width = 0;
};

// Shaped strings of one face and direction, the least recently used dropped first: a long scroll
// over distinct names keeps what is on screen instead of starting over.
class ShapeCache {
public:
    static constexpr size_t kCapacity = 8192;  // a few screens of a wide grid, a few MB at most

    ShapeCache() = default;
    ShapeCache(const ShapeCache&) = delete;
    ShapeCache& operator=(const ShapeCache&) = delete;
    ~ShapeCache() { Clear(); }

    // The cached string, now the most recently used; null when not cached.
    const Shaped* Find(const std::string& text);
    // Adds a string not yet cached; may drop the least recently used one.
    const Shaped& Insert(const std::string& text, Shaped shaped);
    void Clear();
    size_t size() const { return m_index.size(); }

private:
    struct Entry {
        std::string text;
        Shaped shaped;
    };
    std::list<Entry> m_lru;  // most recently used first
    std::unordered_map<std::string_view, std::list<Entry>::iterator> m_index;  // views into m_lru
};

struct FontFace {
    ~FontFace();
    std::string family;
    int em = 0;
    LONG weight = FW_NORMAL;
    bool italic = false;
    PangoFontDescription* desc = nullptr;
    PangoFont* font = nullptr;
    // Device pixels
    int ascent = 0, descent = 0, height = 0, intLeading = 0, extLeading = 0;
    int aveWidth = 0, maxWidth = 0;
    int underlinePos = 1, strikePos = 1, lineThickness = 1;
    bool fixedPitch = false;

    int Advance(uint32_t cp);

    // Printable ASCII drawn glyph by glyph, without shaping: one glyph per character, each
    // advancing by exactly its measured width.
    struct Glyph {
        bool ready = false;
        bool empty = true;
        cairo_scaled_font_t* font = nullptr;  // referenced: outlives its shaped string
        unsigned long index = 0;
        double dx = 0, dy = 0;
        int advance = 0;
    };
    const Glyph& AsciiGlyph(unsigned char c);
    Glyph glyphs[128];
    const Shaped& Shape(const std::string& text, bool rtl);
    void ClearShapes();

    int16_t ascii[128];
    std::unordered_map<uint32_t, int> advances;
    ShapeCache shapes[2];
};

// The realised font of a LOGFONT whose height is scaled by scaleY (device units per logical unit).
FontFace* RealizeFont(const LOGFONT& lf, double scaleY);
std::string ResolveFamily(const char* face, BYTE pitchAndFamily);
const std::vector<std::string>& InstalledFamilies();
bool FamilyIsMonospace(const std::string& family);

// Decodes one character at s[i]; answers its length in bytes (a bad byte counts as one '?').
int DecodeUtf8(const char* s, int n, int i, uint32_t& cp);
// The same bytes with every bad byte replaced by '?', so offsets stay the same.
std::string ValidUtf8(const char* s, int n);

}  // namespace pvgdi
