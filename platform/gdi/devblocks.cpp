#include "platform/gdi/devblocks.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sys/globalmem.h"

namespace {

constexpr const char* kPdfDriver = "PDF";
constexpr const char* kPdfDevice = "PDF";
// DEVMODE fields up to the print quality are the least a printer set-up must carry.
constexpr size_t kMinDevModeSize = offsetof(DEVMODE, dmColor);

// The name at an offset, when it starts inside the block and ends inside it.
bool NameAt(const BYTE* p, size_t n, WORD offset, std::string* out)
{
    if (offset < sizeof(DEVNAMES) || offset >= n)
        return false;
    const void* end = std::memchr(p + offset, 0, n - offset);
    if (!end)
        return false;
    if (out)
        out->assign(reinterpret_cast<const char*>(p + offset), static_cast<const BYTE*>(end) - (p + offset));
    return true;
}

} // namespace

bool PvCheckDevNames(const void* pBlock, size_t nSize)
{
    if (!pBlock || nSize < sizeof(DEVNAMES))
        return false;
    DEVNAMES dn;
    std::memcpy(&dn, pBlock, sizeof(dn));
    const auto* p = static_cast<const BYTE*>(pBlock);
    return NameAt(p, nSize, dn.wDriverOffset, nullptr) && NameAt(p, nSize, dn.wDeviceOffset, nullptr) &&
           NameAt(p, nSize, dn.wOutputOffset, nullptr);
}

bool PvCheckDevMode(const void* pBlock, size_t nSize)
{
    if (!pBlock || nSize < kMinDevModeSize)
        return false;
    WORD size, extra;
    std::memcpy(&size, static_cast<const BYTE*>(pBlock) + offsetof(DEVMODE, dmSize), sizeof(size));
    std::memcpy(&extra, static_cast<const BYTE*>(pBlock) + offsetof(DEVMODE, dmDriverExtra), sizeof(extra));
    return size >= kMinDevModeSize && size_t(size) + extra <= nSize;
}

std::vector<BYTE> PvMakeDevNames(const PvPrinterSettings& settings)
{
    const std::string output(settings.outputPath);
    std::vector<BYTE> b(sizeof(DEVNAMES));
    auto add = [&](const std::string& s) {
        const WORD at = WORD(b.size());
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
        return at;
    };
    DEVNAMES dn {};
    dn.wDriverOffset = add(kPdfDriver);
    dn.wDeviceOffset = add(kPdfDevice);
    // Offsets are words: a path too long for one is left out rather than cut.
    dn.wOutputOffset = add(b.size() + output.size() < 0xFFFF ? output : std::string());
    dn.wDefault = DN_DEFAULTPRN;
    std::memcpy(b.data(), &dn, sizeof(dn));
    return b;
}

std::vector<BYTE> PvMakeDevMode(const PvPrinterSettings& s)
{
    DEVMODE dm {};
    std::strncpy(dm.dmDeviceName, kPdfDevice, CCHDEVICENAME - 1);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODE);
    dm.dmFields = DM_ORIENTATION | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_PRINTQUALITY | DM_YRESOLUTION;
    dm.dmOrientation = s.landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.dmPaperLength = short(std::clamp(s.paperHeight, 1, 0x7FFF));
    dm.dmPaperWidth = short(std::clamp(s.paperWidth, 1, 0x7FFF));
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmPrintQuality = short(std::clamp(s.dpiX, 1, 0x7FFF));
    dm.dmYResolution = short(std::clamp(s.dpiY, 1, 0x7FFF));
    std::vector<BYTE> b(sizeof(dm));
    std::memcpy(b.data(), &dm, sizeof(dm));
    return b;
}

bool PvSettingsFromDevBlocks(const BYTE* pNames, size_t nNames, const BYTE* pMode, size_t nMode, PvPrinterSettings& s)
{
    if (!PvCheckDevNames(pNames, nNames))
        return false;
    if (pMode && nMode && !PvCheckDevMode(pMode, nMode))
        return false;
    DEVNAMES dn;
    std::memcpy(&dn, pNames, sizeof(dn));
    std::string output;
    NameAt(pNames, nNames, dn.wOutputOffset, &output);
    if (!output.empty())
        s.outputPath = output.c_str();
    if (pMode && nMode) {
        DEVMODE dm {};
        WORD size;
        std::memcpy(&size, pMode + offsetof(DEVMODE, dmSize), sizeof(size));
        std::memcpy(&dm, pMode, std::min<size_t>(size, sizeof(dm)));
        // Only sensible values are taken: a page of at least a centimetre, at least 72 dpi.
        if (dm.dmFields & DM_ORIENTATION)
            s.landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
        if ((dm.dmFields & DM_PAPERLENGTH) && dm.dmPaperLength >= 100)
            s.paperHeight = dm.dmPaperLength;
        if ((dm.dmFields & DM_PAPERWIDTH) && dm.dmPaperWidth >= 100)
            s.paperWidth = dm.dmPaperWidth;
        if ((dm.dmFields & DM_PRINTQUALITY) && dm.dmPrintQuality >= 72)
            s.dpiX = s.dpiY = dm.dmPrintQuality;
        if (size >= offsetof(DEVMODE, dmTTOption) && (dm.dmFields & DM_YRESOLUTION) && dm.dmYResolution >= 72)
            s.dpiY = dm.dmYResolution;
    }
    return true;
}

HDC PvCreateDCFromDevBlocks(const BYTE* pNames, size_t nNames, const BYTE* pMode, size_t nMode)
{
    PvPrinterSettings s;
    if (!PvSettingsFromDevBlocks(pNames, nNames, pMode, nMode, s))
        return nullptr;
    return PvCreatePdfPrinterDC(s);
}

HGLOBAL PvGlobalCopy(const void* pBytes, size_t nSize)
{
    if (!pBytes || !nSize)
        return nullptr;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nSize);
    if (!h)
        return nullptr;
    std::memcpy(GlobalLock(h), pBytes, nSize);
    GlobalUnlock(h);
    return h;
}

std::vector<BYTE> PvGlobalBytes(HGLOBAL h)
{
    std::vector<BYTE> out;
    if (!h)
        return out;
    const void* p = GlobalLock(h);
    if (!p)
        return out;
    const BYTE* b = static_cast<const BYTE*>(p);
    out.assign(b, b + GlobalSize(h));
    GlobalUnlock(h);
    return out;
}
