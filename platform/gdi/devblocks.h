#pragma once
// Printer set-up blocks in their documented layouts: DEVNAMES (driver, device and output names
// by offset) and DEVMODE (the ANSI form). Our one printer is the PDF writer, so the blocks
// carry its settings. Blocks can come from files, so every reader checks sizes, offsets and
// terminators before it trusts one.

#include <cstddef>
#include <vector>

#include "platform/gdi/dc.h"

struct DEVNAMES {
    WORD wDriverOffset;  // offsets in characters from the start of the block
    WORD wDeviceOffset;
    WORD wOutputOffset;
    WORD wDefault;
};
static_assert(sizeof(DEVNAMES) == 8);
#define DN_DEFAULTPRN 0x0001

#define CCHDEVICENAME 32
#define CCHFORMNAME 32
struct DEVMODE {
    char dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    char dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
static_assert(sizeof(DEVMODE) == 156);
typedef DEVMODE* LPDEVMODE;

#define DM_SPECVERSION 0x0401
#define DM_ORIENTATION 0x00000001
#define DM_PAPERLENGTH 0x00000004
#define DM_PAPERWIDTH 0x00000008
#define DM_PRINTQUALITY 0x00000400
#define DM_YRESOLUTION 0x00002000
#define DM_TTOPTION 0x00004000
#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMTT_BITMAP 1

// Whether a block of nSize bytes is a whole DEVNAMES: the header fits and each name starts
// inside the block and ends with a terminator inside it.
bool PvCheckDevNames(const void* pBlock, size_t nSize);
// Whether a block of nSize bytes is a whole DEVMODE: its own size reaches the orientation
// fields, and size plus driver extra fit in the block.
bool PvCheckDevMode(const void* pBlock, size_t nSize);

// The blocks of the PDF printer with these settings.
std::vector<BYTE> PvMakeDevNames(const PvPrinterSettings& settings);
std::vector<BYTE> PvMakeDevMode(const PvPrinterSettings& settings);
// Settings from checked blocks (a missing DEVMODE keeps the defaults); false for a damaged block.
bool PvSettingsFromDevBlocks(const BYTE* pNames, size_t nNames, const BYTE* pMode, size_t nMode, PvPrinterSettings& settings);
// A printer DC for the blocks; null when there is no DEVNAMES or a block is damaged.
HDC PvCreateDCFromDevBlocks(const BYTE* pNames, size_t nNames, const BYTE* pMode, size_t nMode);

// A new movable global block holding the bytes (null for none, or when memory runs out), and
// the bytes of a block (none for a null or stale handle).
HGLOBAL PvGlobalCopy(const void* pBytes, size_t nSize);
std::vector<BYTE> PvGlobalBytes(HGLOBAL h);
