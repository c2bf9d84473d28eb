#pragma once
// The seam between the window layer and drawing.
//
// A window keeps an off-screen image: a Cairo image surface in CAIRO_FORMAT_RGB24 (or ARGB32),
// created with PvCreateWindowSurface and owned by the window layer. Its paint, client and window
// DCs are CDCs that draw into that image:
//
//     class CClientDC : public CDC {
//         CClientDC(CWnd* pWnd) {
//             PvAttachSurface(image, clientOriginInImage, clientRectInClientCoords);
//         }
//     };
//
// - origin: where the DC's device point (0, 0) lies in the image (the client area's top-left).
// - clip:   device coordinates; nothing is drawn outside it (the paint DC passes its update
//           rectangle, or calls PvSetSystemClipRgn with the update region afterwards).
// - The CDC's destructor (DeleteDC) detaches; the surface is flushed, so the window layer can
//   read the pixels (cairo_image_surface_get_data) right after.
// GetClipBox, SelectClipRgn(NULL) and RectVisible all work within that system clip.

#include "platform/gdi/dc.h"

// A white RGB24 image surface for a window of the given size (at least 1 x 1).
cairo_surface_t* PvCreateWindowSurface(int width, int height);
void PvDestroyWindowSurface(cairo_surface_t* surface);
// Writes a surface as PNG (screenshots); FALSE on failure.
BOOL PvWriteSurfacePng(cairo_surface_t* surface, LPCTSTR lpszPath);
