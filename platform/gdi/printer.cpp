// Printer contexts that render pages into a PDF file.

#include <cairo-pdf.h>

#include <cmath>
#include <cstdio>

#include "platform/gdi/gdi_internal.h"

using namespace pvgdi;

HDC PvCreatePdfPrinterDC(const PvPrinterSettings& settings)
{
    if (settings.dpiX < 36 || settings.dpiY < 36 || settings.dpiX > 4800 || settings.dpiY > 4800) return nullptr;
    if (settings.paperWidth <= 0 || settings.paperHeight <= 0 || settings.paperWidth > 50000 || settings.paperHeight > 50000)
        return nullptr;
    HDC dc = NewDC(DCKind::Printer);
    dc->printer = settings;
    CDC tmp;
    tmp.Attach(dc);
    dc->bounds = RECT{0, 0, tmp.GetDeviceCaps(HORZRES), tmp.GetDeviceCaps(VERTRES)};
    tmp.Detach();
    return dc;
}

BOOL PvCreatePdfPrinterDC(CDC& dc, const PvPrinterSettings& settings)
{
    HDC h = PvCreatePdfPrinterDC(settings);
    if (!h) return FALSE;
    if (!dc.Attach(h)) {
        DeleteDC(h);
        return FALSE;
    }
    return TRUE;
}

int CDC::StartDoc(LPCTSTR lpszDocName)
{
    DOCINFO di{int(sizeof(DOCINFO)), lpszDocName, nullptr, nullptr, 0};
    return StartDoc(&di);
}

int CDC::StartDoc(const DOCINFO* lpDocInfo)
{
    HDC dc = m_hDC;
    if (!dc || dc->kind != DCKind::Printer || dc->inDoc) return SP_ERROR;
    const char* path = lpDocInfo && lpDocInfo->lpszOutput ? lpDocInfo->lpszOutput : dc->printer.outputPath.GetString();
    if (!path || !*path) return SP_ERROR;
    const double wPt = GetDeviceCaps(PHYSICALWIDTH) * 72.0 / dc->printer.dpiX;
    const double hPt = GetDeviceCaps(PHYSICALHEIGHT) * 72.0 / dc->printer.dpiY;
    cairo_surface_t* s = cairo_pdf_surface_create(path, wPt, hPt);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return SP_ERROR;
    }
    if (lpDocInfo && lpDocInfo->lpszDocName) cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_TITLE, lpDocInfo->lpszDocName);
    dc->docPath = path;
    SetTarget(dc, s, POINT{GetDeviceCaps(PHYSICALOFFSETX), GetDeviceCaps(PHYSICALOFFSETY)},
              RECT{0, 0, GetDeviceCaps(HORZRES), GetDeviceCaps(VERTRES)});
    cairo_surface_destroy(s);
    dc->inDoc = true;
    return 1;
}

int CDC::StartPage()
{
    HDC dc = m_hDC;
    if (!dc || !dc->inDoc || dc->inPage) return SP_ERROR;
    dc->inPage = true;
    dc->crClipValid = false;
    return 1;
}

int CDC::EndPage()
{
    HDC dc = m_hDC;
    if (!dc || !dc->inPage) return SP_ERROR;
    cairo_show_page(dc->cr);
    dc->inPage = false;
    return cairo_status(dc->cr) == CAIRO_STATUS_SUCCESS ? 1 : SP_ERROR;
}

int CDC::EndDoc()
{
    HDC dc = m_hDC;
    if (!dc || !dc->inDoc) return SP_ERROR;
    if (dc->inPage) EndPage();
    cairo_surface_finish(dc->surface);
    const bool ok = cairo_surface_status(dc->surface) == CAIRO_STATUS_SUCCESS;
    dc->inDoc = false;
    SetTarget(dc, nullptr, POINT{0, 0}, dc->bounds);
    return ok ? 1 : SP_ERROR;
}

int CDC::AbortDoc()
{
    HDC dc = m_hDC;
    if (!dc || !dc->inDoc) return SP_ERROR;
    cairo_surface_finish(dc->surface);
    dc->inDoc = dc->inPage = false;
    SetTarget(dc, nullptr, POINT{0, 0}, dc->bounds);
    std::remove(dc->docPath.c_str());
    return 1;
}
