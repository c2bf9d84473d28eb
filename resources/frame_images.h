#pragma once
// The frame's pictures, icons and toolbar images, drawn by the program itself.

#include <cstdint>
#include <vector>

#include "platform/base/pvdefs.h"

class CBitmap;

// Pixels outside an icon's shape carry this colour in the bitmaps below (the image lists' mask).
#define PV_ICON_MASK_COLOR RGB(255, 0, 255)

// The pixels (0x00RRGGBB, top-down; PV_ICON_MASK_COLOR's pixel value where transparent) of a
// picture or icon resource; false for an id that is not ours.
bool PvFrameImagePixels(UINT nID, int& cx, int& cy, std::vector<uint32_t>& pixels);
// A 32-bit bitmap of icon or picture nID; FALSE when there is no such resource.
BOOL PvLoadFrameImage(UINT nID, CBitmap& bitmap);
// Makes our pictures loadable through CBitmap::LoadBitmap and our icons drawable in the bars.
void PvInstallFrameImages();
