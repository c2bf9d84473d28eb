// Recording of drawing calls.

#include <cstring>
#include <sstream>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

namespace {

std::vector<PvGdiRecord>* g_global = nullptr;

}  // namespace

namespace pvgdi {

RecordScope::RecordScope(HDC dc, const char* call) : m_dc(dc)
{
    if (dc->depth++ == 0 && (dc->recorder || g_global)) {
        m_rec = new PvGdiRecord;
        m_rec->call = call;
    }
}

RecordScope::~RecordScope()
{
    --m_dc->depth;
    if (!m_rec) return;
    if (m_dc->recorder) m_dc->recorder->push_back(*m_rec);
    if (g_global && g_global != m_dc->recorder) g_global->push_back(*m_rec);
    delete m_rec;
}

void RecordScope::set(const RECT& r, COLORREF c1, COLORREF c2, UINT flags, LPCTSTR text, int n)
{
    if (!m_rec) return;
    PvGdiRecord& rec = *m_rec;
    const DCState& s = m_dc->st;
    rec.rect = r;
    rec.color = c1;
    rec.color2 = c2;
    rec.flags = flags;
    if (text) rec.text = n < 0 ? CString(text) : CString(text, n);
    rec.textColor = s.textColor;
    rec.bkColor = s.bkColor;
    rec.bkMode = s.bkMode;
    rec.textAlign = s.textAlign;
    if (s.pen) {
        rec.penColor = s.pen->color;
        rec.penStyle = int(s.pen->style & PS_STYLE_MASK);
    }
    if (s.brush) {
        rec.brushColor = s.brush->color;
        rec.brushStyle = int(s.brush->style);
    }
    if (s.font) {
        rec.fontFace = CString(std::string(s.font->lf.lfFaceName, strnlen(s.font->lf.lfFaceName, LF_FACESIZE)));
        rec.fontHeight = s.font->lf.lfHeight;
        rec.fontWeight = s.font->lf.lfWeight;
        rec.fontItalic = s.font->lf.lfItalic;
    }
}

}  // namespace pvgdi

std::string PvGdiRecord::ToString() const
{
    std::ostringstream o;
    o << call << " (" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << ")";
    if (!text.IsEmpty()) o << " \"" << text.GetString() << "\"";
    o << std::hex << " flags=0x" << flags << " color=0x" << color;
    if (color2) o << " color2=0x" << color2;
    o << " text=0x" << textColor << " bk=0x" << bkColor << std::dec << " mode=" << bkMode;
    if (!fontFace.IsEmpty()) o << " font=" << fontFace.GetString() << "/" << fontHeight << "/" << fontWeight;
    return o.str();
}

CRecordingDC::CRecordingDC(int width, int height)
{
    CreateCompatibleDC(nullptr);
    CDC screen;
    screen.CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    m_bitmap.CreateCompatibleBitmap(&screen, std::max(1, width), std::max(1, height));
    m_pOldBitmap = SelectObject(&m_bitmap);
    PatBlt(0, 0, width, height, WHITENESS);
    m_hDC->recorder = &m_records;
}

CRecordingDC::~CRecordingDC()
{
    if (m_hDC) {
        m_hDC->recorder = nullptr;
        if (m_pOldBitmap) SelectObject(m_pOldBitmap);
        DeleteDC();
    }
}

std::vector<PvGdiRecord> CRecordingDC::Find(std::string_view call) const
{
    std::vector<PvGdiRecord> out;
    for (const auto& r : m_records)
        if (r.call == call) out.push_back(r);
    return out;
}

int CRecordingDC::Count(std::string_view call) const
{
    int n = 0;
    for (const auto& r : m_records) n += r.call == call;
    return n;
}

std::string CRecordingDC::Dump() const
{
    std::string s;
    for (const auto& r : m_records) s += r.ToString() + "\n";
    return s;
}

void PvSetGlobalGdiRecorder(std::vector<PvGdiRecord>* sink)
{
    g_global = sink;
}

void PvSetDCRecorder(CDC* pDC, std::vector<PvGdiRecord>* sink)
{
    if (pDC && pDC->m_hDC) pDC->m_hDC->recorder = sink;
}
