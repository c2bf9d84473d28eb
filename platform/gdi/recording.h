#pragma once
// Recording of what a DC draws: one record per top-level drawing call (calls that a call makes
// internally are not recorded again), with the DC's colours and font at the time. Drawing logic
// is tested by reading the records instead of comparing pixels; the pixels are drawn as well.

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/CString.h"
#include "platform/base/geometry.h"
#include "platform/gdi/dc.h"

struct PvGdiRecord {
    std::string call;      // the CDC member's name: "FillSolidRect", "ExtTextOut", "DrawText", ...
    CRect rect;            // logical coordinates as passed; a point is (x, y, x, y)
    CString text;          // text calls
    UINT flags = 0;        // DrawText format, ExtTextOut options, raster operation, DrawEdge edge | flags << 16, ...
    COLORREF color = 0;    // the call's colour: a fill colour, a top-left colour, else the text/pen/brush colour it draws with
    COLORREF color2 = 0;   // a second colour (Draw3dRect's bottom-right)
    // The DC's state when the call was made.
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    COLORREF penColor = 0;
    int penStyle = 0;
    COLORREF brushColor = 0;
    int brushStyle = 0;
    UINT textAlign = 0;
    CString fontFace;
    LONG fontHeight = 0;
    LONG fontWeight = 0;
    BYTE fontItalic = 0;

    std::string ToString() const;
};

// A memory DC with a white colour bitmap of the given size that records everything drawn on it.
class CRecordingDC : public CDC {
public:
    explicit CRecordingDC(int width = 800, int height = 600);
    ~CRecordingDC() override;

    const std::vector<PvGdiRecord>& Records() const { return m_records; }
    void ClearRecords() { m_records.clear(); }
    std::vector<PvGdiRecord> Find(std::string_view call) const;
    int Count(std::string_view call) const;
    // One line per record, for test failure messages.
    std::string Dump() const;
    CBitmap& Bitmap() { return m_bitmap; }

private:
    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    std::vector<PvGdiRecord> m_records;
};

// Also sends every DC's records to `sink` (nullptr stops), e.g. to watch a window's painting.
void PvSetGlobalGdiRecorder(std::vector<PvGdiRecord>* sink);
// Makes any DC record into `sink` (nullptr stops).
void PvSetDCRecorder(CDC* pDC, std::vector<PvGdiRecord>* sink);
