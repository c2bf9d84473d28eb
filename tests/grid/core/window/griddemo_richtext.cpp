// The grid demo's rich text window, "pv_griddemo richtext": one row per kind of formatted
// value (bold, coloured, centred, plain, a note wrapping over three lines) and an empty
// auto-sizing row to type into. At the start it prints where each cell lies on the screen; at
// exit each cell's row height, whether its stored value is RTF, and its text read back from it.

#include <cstdio>
#include <string>

#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxrichedit.h"
#include "grid/core/gxfactory.h"
#include "grid/core/gxfont.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "platform/controls/rtf.h"
#include "platform/win/win.h"

int RunRichTextDemo();

namespace {

constexpr UINT kGridId = 102;
constexpr ROWCOL kCellCol = 2;

const char kNote[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Arial;}}{\\colortbl ;\\red0\\green0\\blue160;}\n"
    "\\pard\\plain\\f0\\fs20 A longer note with \\b bold\\b0 , \\i italic\\i0  and \\cf1 blue\\cf0  words, long enough "
    "to wrap over three lines of its cell, as notes about people do.\\par\n}";

struct Row {
    const char* name;
    const char* text;  // stored as typed text
    CGXStyle format;   // applied afterwards: it goes into the text
};

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

// The text of an RTF value on one line, its line breaks written as \n.
std::string OneLine(const CString& rtf)
{
    const std::string plain = pvrtf::PlainText(pvrtf::ReadRtf(std::string(rtf, size_t(rtf.GetLength())), pvrtf::CharFmt {}));
    std::string out;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '\r')
            continue;
        out += plain[i] == '\n' ? std::string("\\n") : std::string(1, plain[i]);
    }
    return out;
}

}  // namespace

int RunRichTextDemo()
{
    InitGridLibraryWithFactory();
    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "GridRichTextDemo";
    RegisterClass(&wc);
    HWND frame = CreateWindowEx(0, "GridRichTextDemo", "Grid: rich text cells", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                20, 520, 400, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(frame);
    CGXGridWnd grid;
    RECT rc;
    GetClientRect(frame, &rc);
    grid.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, CRect(rc), CWnd::FromHandle(frame), kGridId);
    grid.Initialize();
    const Row rows[] = {
        {"Bold", "A bold remark", CGXStyle().SetFont(CGXFont().SetBold(TRUE))},
        {"Coloured", "In dark red, and larger", CGXStyle().SetTextColor(RGB(170, 0, 0)).SetFont(CGXFont().SetSize(12))},
        {"Centred", "Centred in its cell", CGXStyle().SetHorizontalAlignment(1)},
        {"Plain", "Plain text, {braces} and C:\\temp\\new", CGXStyle()},
        {"Note", nullptr, CGXStyle()},
        {"AutoSize", "", CGXStyle()},
    };
    const ROWCOL nRows = ROWCOL(sizeof(rows) / sizeof(rows[0]));
    grid.SetRowCount(nRows);
    grid.SetColCount(kCellCol);
    grid.SetColWidths(1, 1, 90);
    grid.SetColWidths(kCellCol, kCellCol, 320);
    grid.SetStyleRange(CGXCellRange(0, 1), CGXStyle().SetValue("Kind"));
    grid.SetStyleRange(CGXCellRange(0, kCellCol), CGXStyle().SetValue("Rich text"));
    for (ROWCOL n = 1; n <= nRows; ++n) {
        const Row& r = rows[n - 1];
        grid.SetStyleRange(CGXCellRange(n, 1), CGXStyle().SetControl(WORD(GX_IDS_CTRL_STATIC)).SetValue(r.name));
        grid.SetStyleRange(CGXCellRange(n, kCellCol), CGXStyle().SetControl(WORD(GX_IDS_CTRL_RICHEDIT)));
        if (r.text)
            grid.StoreValueText(n, kCellCol, r.text);
        else
            grid.SetValueRange(CGXCellRange(n, kCellCol), kNote);
        if (!r.format.IsEmpty())
            grid.SetStyleRange(CGXCellRange(n, kCellCol), r.format);
    }
    grid.SetRowHeights(2, 2, 22);  // the larger text
    grid.SetRowHeights(5, 5, 52);  // the note's three lines
    grid.SetStyleRange(CGXCellRange(nRows, kCellCol), CGXStyle().SetAutoSize(TRUE));
    grid.GetParam()->ClearUndoList();
    grid.SetFocus();
    grid.UpdateWindow();
    for (ROWCOL n = 1; n <= nRows; ++n) {
        CPoint pt = grid.CellToRect(n, kCellCol).CenterPoint();
        grid.ClientToScreen(&pt);
        std::printf("%s at %d %d\n", rows[n - 1].name, int(pt.x), int(pt.y));
    }
    std::printf("default height %d\n", grid.DefaultRowHeight());
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    for (ROWCOL n = 1; n <= nRows; ++n) {
        const CString value = grid.StoredCellValueText(n, kCellCol);
        std::printf("cell %s: height %d rtf %s \"%s\"\n", rows[n - 1].name, grid.RowHeight(n),
                    CGXRichEditCtrl::IsRtfText(value) ? "yes" : "no", OneLine(value).c_str());
    }
    return int(msg.wParam);
}
