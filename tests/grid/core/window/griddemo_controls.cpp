// The grid demo's second window, "pv_griddemo controls": one row per kind of cell control with
// the kind's name beside it. At the start it prints where each cell lies on the screen, and
// where the spin arrows, the hot-spot button, the check boxes and the first radio button of
// each radio cell lie; every click of a cell button prints "button R,C" when the grid's hook
// gets it; at exit it prints each control cell's stored value and the clipboard's text.

#include <cstdio>
#include <cstring>
#include <vector>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxcheckbox.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxhotspot.h"
#include "grid/controls/gxprogress.h"
#include "grid/controls/gxradio.h"
#include "grid/controls/gxspin.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxuattr.h"
#include "grid/core/gxwnd.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/ole.h"
#include "platform/win/win.h"

int RunControlsDemo();

namespace {

constexpr UINT kGridId = 101;
constexpr ROWCOL kCellCol = 2;

struct Kind {
    const char* name;
    UINT nID;
    const char* value;
    const char* choices;  // null: none
};
const Kind kKinds[] = {
    {"Password", GX_IDS_CTRL_PASSWORD, "secret", nullptr},
    {"Spin", GX_IDS_CTRL_SPINEDIT, "5", nullptr},
    {"HotSpot", GX_IDS_CTRL_HOTSPOT, "hot", nullptr},
    {"Check", GX_IDS_CTRL_CHECKBOX, "0", nullptr},
    {"Check3D", GX_IDS_CTRL_CHECKBOX3D, "1", "labelled"},
    {"CheckEx", GX_IDS_CTRL_CHECKBOX_EX, "0", nullptr},
    {"Check3DEx", GX_IDS_CTRL_CHECKBOX3D_EX, "0", nullptr},
    {"Radio", GX_IDS_CTRL_RADIOBTN, "0", "Red\nGreen\nBlue"},
    {"Radio3D", GX_IDS_CTRL_RADIOBTN3D, "1", "Yes\nNo"},
    {"RadioEx", GX_IDS_CTRL_RADIOBTN_EX, "0", "Left\nRight"},
    {"Radio3DEx", GX_IDS_CTRL_RADIOBTN3D_EX, "", "One\nTwo\nThree"},
    {"Push", GX_IDS_CTRL_PUSHBTN, "", "Press me"},
    {"Progress", GX_IDS_CTRL_PROGRESS, "42", nullptr},
    {"Bitmap", GX_IDS_CTRL_DAOBITMAP, "Binary", nullptr},
    {"ScrollEdit", GX_IDS_CTRL_SCROLLEDIT, "A scroll edit whose text wraps onto a second and third line", nullptr},
};
constexpr ROWCOL kKindCount = ROWCOL(sizeof(kKinds) / sizeof(kKinds[0]));

class CControlsGrid : public CGXGridWnd {
public:
    BOOL OnCellButtonClicked(ROWCOL nRow, ROWCOL nCol) override
    {
        std::printf("button %u,%u\n", unsigned(nRow), unsigned(nCol));
        std::fflush(stdout);
        return CGXGridWnd::OnCellButtonClicked(nRow, nCol);
    }
    void PrintPoint(const char* name, CPoint pt)
    {
        ClientToScreen(&pt);
        std::printf("%s at %d %d\n", name, int(pt.x), int(pt.y));
    }
};

// A 16 x 12 picture as a bitmap file, a blue-to-green gradient.
std::vector<BYTE> DemoBitmapFile()
{
    constexpr int w = 16, h = 12, stride = w * 3;
    std::vector<BYTE> f(54 + size_t(stride) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, uint32_t(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    f[26] = 1;
    f[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE* px = &f[54 + size_t(y) * stride + size_t(x) * 3];
            px[0] = BYTE(255 - x * 16);  // blue
            px[1] = BYTE(x * 16);        // green
            px[2] = BYTE(y * 20);        // red
        }
    return f;
}

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

void PrintLayout(CControlsGrid& grid)
{
    for (ROWCOL n = 1; n <= kKindCount; ++n)
        grid.PrintPoint(kKinds[n - 1].name, grid.CellToRect(n, kCellCol).CenterPoint());
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        const UINT nID = kKinds[n - 1].nID;
        const CGXStyle& style = grid.GetCellStyleCached(n, kCellCol);
        CGXControl* pControl = grid.GetRegisteredControl(WORD(nID));
        const CRect inner = pControl->CGXControl::ComputeInnerRect(n, kCellCol);
        if (auto* pSpin = dynamic_cast<CGXSpinEdit*>(pControl)) {
            pSpin->LayoutChildren(nullptr, inner);
            grid.PrintPoint("spinup", pSpin->GetUpButton()->GetRect().CenterPoint());
            grid.PrintPoint("spindown", pSpin->GetDownButton()->GetRect().CenterPoint());
        } else if (auto* pHot = dynamic_cast<CGXHotSpotEdit*>(pControl)) {
            pHot->LayoutChildren(nullptr, inner);
            grid.PrintPoint("hotspot", pHot->GetButton()->GetRect().CenterPoint());
        } else if (auto* pBox = dynamic_cast<CGXCheckBox*>(pControl)) {
            CDC* pDC = grid.GetMeasureDC();
            CFont* pOld = grid.SelectStyleFont(pDC, style);
            const CString sLabel = style.GetIncludeChoiceList() ? style.GetChoiceList() : CString();
            const CRect box = pBox->ComputeBoxRect(pDC, pBox->ComputeInnerRect(n, kCellCol), sLabel, 0);
            pDC->SelectObject(pOld);
            grid.ReleaseMeasureDC();
            char name[32];
            std::snprintf(name, sizeof name, "box%s", kKinds[n - 1].name);
            grid.PrintPoint(name, box.CenterPoint());
        } else if (dynamic_cast<CGXRadioButton*>(pControl)) {
            // The first entry's button: the entries start at the inner rectangle's top left.
            char name[32];
            std::snprintf(name, sizeof name, "first%s", kKinds[n - 1].name);
            grid.PrintPoint(name, CPoint(inner.left + 9, inner.top + 6));
        }
    }
}

}  // namespace

int RunControlsDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "GridControlsDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridControlsDemo", "Grid: cell controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                520, 620, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);
    CControlsGrid grid;
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(rc), CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    grid.SetRowCount(kKindCount);
    grid.SetColCount(kCellCol);
    grid.SetColWidths(1, 1, 110);
    grid.SetColWidths(kCellCol, kCellCol, 300);
    grid.SetStyleRange(CGXCellRange(0, 1), CGXStyle().SetValue("Kind"));
    grid.SetStyleRange(CGXCellRange(0, kCellCol), CGXStyle().SetValue("Cell"));
    const std::vector<BYTE> picture = DemoBitmapFile();
    for (ROWCOL n = 1; n <= kKindCount; ++n) {
        const Kind& k = kKinds[n - 1];
        grid.SetStyleRange(CGXCellRange(n, 1), CGXStyle().SetControl(WORD(GX_IDS_CTRL_STATIC)).SetValue(k.name));
        CGXStyle style;
        style.SetControl(WORD(k.nID)).SetValue(k.value);
        if (k.choices)
            style.SetChoiceList(k.choices);
        switch (k.nID) {
        case GX_IDS_CTRL_SPINEDIT:
            style.SetUserAttribute(GX_IDS_UA_SPINBOUND_MIN, "0").SetUserAttribute(GX_IDS_UA_SPINBOUND_MAX, "10");
            break;
        case GX_IDS_CTRL_RADIOBTN_EX:
        case GX_IDS_CTRL_RADIOBTN3D_EX:
            style.SetUserAttribute(GX_IDS_UA_RADIOBTN_ALIGN, "1").SetUserAttribute(GX_IDS_UA_RADIOBTN_TEXTALIGN, "1");
            break;
        case GX_IDS_CTRL_PROGRESS:
            style.SetUserAttribute(GX_IDS_UA_PROGRESS_LOWER, "0")
                .SetUserAttribute(GX_IDS_UA_PROGRESS_UPPER, "100")
                .SetUserAttribute(GX_IDS_UA_PROGRESS_CAPTION, "%ld%%")
                .SetTextColor(RGB(0, 0, 160))
                .SetInteriorColor(RGB(255, 255, 255));
            break;
        case GX_IDS_CTRL_DAOBITMAP: {
            CGXOleVarUserAttribute attr;
            attr.SetVariant(COleVariant(picture));
            style.SetUserAttribute(52794, attr);
            break;
        }
        case GX_IDS_CTRL_SCROLLEDIT: style.SetWrapText(TRUE); break;
        default: break;
        }
        grid.SetStyleRange(CGXCellRange(n, kCellCol), style);
    }
    grid.SetRowHeights(8, 8, 44);  // three radio entries
    grid.SetRowHeights(kKindCount, kKindCount, 40);
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();
    PrintLayout(grid);
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    for (ROWCOL n = 1; n <= kKindCount; ++n)
        std::printf("cell %s: \"%s\"\n", kKinds[n - 1].name, static_cast<LPCTSTR>(grid.StoredCellValueText(n, kCellCol)));
    CString sClip;
    if (::OpenClipboard(nullptr)) {
        if (HGLOBAL h = GetClipboardData(CF_TEXT)) {
            if (const char* p = static_cast<const char*>(GlobalLock(h))) {
                sClip = CString(p, int(strnlen(p, GlobalSize(h))));
                GlobalUnlock(h);
            }
        }
        CloseClipboard();
    }
    std::printf("clipboard \"%s\"\n", static_cast<LPCTSTR>(sClip));
    return int(msg.wParam);
}
