#include "grid/widgets/gxbres.h"

#include "grid/core/gxdrawsvc.h"
#include "platform/base/stringtable.h"
#include "platform/sys/system.h"

#include <cstring>
#include <vector>

namespace {

const PvStringResource kWidgetTexts[] = {
    {GXB_IDS_CALC_ENTER, "Enter"},
    {GXB_IDS_CALC_ERROR, "Error "},
};

// Pictures in button colours: K text, S shadow, W highlight, '.' face; B the selection colour.
struct Picture {
    UINT nID;
    int cx;
    int cy;
    const char* const* rows;
};

const char* const kCalculatorRows[] = {
    "KKKKKKKKK",
    "K.......K",
    "K.KKKKK.K",
    "K.KWWWK.K",
    "K.KKKKK.K",
    "K.......K",
    "K.K.K.K.K",
    "K.......K",
    "K.K.K.K.K",
    "K.......K",
    "KKKKKKKKK",
};

const char* const kEnterRows[] = {
    "..........K.",
    "..........K.",
    "..K.......K.",
    ".KK.......K.",
    "KKKKKKKKKKK.",
    ".KK.........",
    "..K.........",
};

// The date-time control's drop button: a small downward arrow.
const char* const kDropDownRows[] = {
    "KKKKKKK",
    ".KKKKK.",
    "..KKK..",
    "...K...",
};

// The object viewer's icon: a page holding a shape, its corner folded.
const char* const kObjectRows[] = {
    "................................",
    "................................",
    ".....KKKKKKKKKKKKKKK............",
    ".....KWWWWWWWWWWWWWKK...........",
    ".....KWWWWWWWWWWWWWKSK..........",
    ".....KWWWWWWWWWWWWWKSSK.........",
    ".....KWWWWWWWWWWWWWKSSSK........",
    ".....KWWWWWWWWWWWWWKSSSSK.......",
    ".....KWWWWWWWWWWWWWKSSSSSK......",
    ".....KWWWWWWWWWWWWWKKKKKKKK.....",
    ".....KWWWWWWWWWWWWWWWWWWWWKS....",
    ".....KWWWWWWWWWWWWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBWWWWWWWWWKS....",
    ".....KWWWBBBBBBBBKKKKKWWWWKS....",
    ".....KWWWBBBBBBBKKSSSKKWWWKS....",
    ".....KWWWBBBBBBKKSSSSSKKWWKS....",
    ".....KWWWWWWWWWKSSSSSSSKWWKS....",
    ".....KWWWWWWWWWKSSSSSSSKWWKS....",
    ".....KWWWWWWWWWKSSSSSSSKWWKS....",
    ".....KWWWWWWWWWKKSSSSSKKWWKS....",
    ".....KWWWWWWWWWWKKSSSKKWWWKS....",
    ".....KWWWWWWWWWWWKKKKKWWWWKS....",
    ".....KWWWWWWWWWWWWWWWWWWWWKS....",
    ".....KWWWWWWWWWWWWWWWWWWWWKS....",
    ".....KWWWWWWWWWWWWWWWWWWWWKS....",
    ".....KKKKKKKKKKKKKKKKKKKKKKS....",
    ".......SSSSSSSSSSSSSSSSSSSSS....",
    "................................",
};

const Picture kPictures[] = {
    {GXB_IDB_CALCULATOR, 9, 11, kCalculatorRows},
    {GXB_IDB_CALC_ENTER, 12, 7, kEnterRows},
    {GXB_IDB_DROPDOWN, 7, 4, kDropDownRows},
    {GXB_IDB_OBJECT, 32, 32, kObjectRows},
};

uint32_t pixelOf(char c)
{
    int nIndex = COLOR_BTNFACE;
    switch (c) {
    case 'K': nIndex = COLOR_BTNTEXT; break;
    case 'S': nIndex = COLOR_BTNSHADOW; break;
    case 'W': nIndex = COLOR_BTNHIGHLIGHT; break;
    case 'B': nIndex = COLOR_HIGHLIGHT; break;
    default: break;
    }
    const COLORREF cr = GetSysColor(nIndex);
    return uint32_t(GetRValue(cr)) << 16 | uint32_t(GetGValue(cr)) << 8 | GetBValue(cr);
}

}  // namespace

void GXBRegisterWidgetResources()
{
    static const bool once = (PvRegisterStringTable(kWidgetTexts), true);
    (void)once;
}

BOOL GXBLoadSysColorMappedBitmap(CBitmap& bitmap, UINT nID)
{
    if (LoadSysColorMappedBitmap(bitmap, nID))
        return TRUE;
    bitmap.DeleteObject();
    for (const Picture& p : kPictures) {
        if (p.nID != nID)
            continue;
        std::vector<uint32_t> pixels;
        pixels.reserve(size_t(p.cx) * size_t(p.cy));
        for (int y = 0; y < p.cy; ++y)
            for (int x = 0; x < p.cx; ++x)
                pixels.push_back(pixelOf(p.rows[y][x]));
        return bitmap.CreateBitmap(p.cx, p.cy, 1, 32, pixels.data());
    }
    return FALSE;
}
