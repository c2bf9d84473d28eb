// The stand-alone widgets in one window: `widgetdemo currency` shows an English currency edit
// with its calculator button, German ones with the decimal line (one of them read-only), a
// drop-down edit and a calculator. Run it headless with PV_SCREENSHOT to see it, or drive it with
// PV_SCRIPT: the English edit has the focus at the start. At the start it prints where each edit
// lies on the screen; at exit, each edit's value and text and the calculator's display.

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "grid/widgets/gxbcalc.h"
#include "grid/widgets/gxbcuredit.h"
#include "grid/widgets/gxbdropedit.h"
#include "grid/widgets/gxbres.h"
#include "platform/controls/controls.h"
#include "platform/win/win.h"
#include "tests/grid/widgets/widget_formats.h"

namespace {

enum : UINT { kEnglishId = 101, kGermanId = 102, kReadOnlyId = 103, kDropId = 104, kCalculatorId = 105 };

// The German layout with the decimal separator drawn as a line.
CGXBCurrencyFormat germanFormat()
{
    CGXBCurrencyFormat f = GermanCurrencyFormat();
    f.SetDecimalLine(TRUE);
    return f;
}

// What the frame prints as it closes, while its children still exist.
std::function<void()> g_printValues;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_DESTROY) {
        if (g_printValues)
            g_printValues();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

void printAt(const char* name, CWnd& wnd)
{
    CRect rc;
    wnd.GetWindowRect(&rc);
    std::printf("%s at %d %d\n", name, int(rc.left + 12), int(rc.CenterPoint().y));
}

void printEdit(const char* name, const CGXBCurrencyEdit& edit)
{
    CString s;
    edit.GetWindowText(s);
    std::printf("%s %.2f \"%s\"\n", name, edit.GetValue(), static_cast<LPCTSTR>(s));
}

int runCurrency()
{
    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "WidgetDemo";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    RegisterClass(&wc);
    HWND hFrame = CreateWindowEx(0, "WidgetDemo", "Widgets: currency", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560,
                                 330, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(hFrame);
    CWnd* pFrame = CWnd::FromHandle(hFrame);
    CFont* pFont = CFont::FromHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));

    const char* const labels[] = {"English", "German", "Read-only", "Drop edit"};
    CStatic captions[4];
    for (int i = 0; i < 4; ++i) {
        captions[i].Create(labels[i], WS_CHILD | WS_VISIBLE, CRect(12, 22 + 40 * i, 90, 42 + 40 * i), pFrame);
        captions[i].SetFont(pFont);
    }

    CGXBCurrencyEdit english, german, readOnly;
    CGXBCurrencyEdit* const edits[] = {&english, &german, &readOnly};
    const UINT ids[] = {kEnglishId, kGermanId, kReadOnlyId};
    for (int i = 0; i < 3; ++i) {
        CGXBCurrencyEdit& e = *edits[i];
        e.Create(WS_VISIBLE | WS_BORDER | WS_TABSTOP, CRect(100, 18 + 40 * i, 300, 42 + 40 * i), pFrame, ids[i]);
        e.SetFont(pFont);
        e.SetFormat(i == 0 ? EnglishCurrencyFormat() : germanFormat());
        e.SetAlignment(2);
        e.SetButtonBitmap(GXB_IDB_CALCULATOR);
    }
    english.SetValue(1234.5);
    german.SetValue(1234.5);
    readOnly.SetValue(-987.65);
    readOnly.SetReadOnly(TRUE);
    for (CGXBCurrencyEdit* e : edits)
        e->SendMessage(EM_EMPTYUNDOBUFFER);

    CGXBDropEdit drop;
    drop.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(100, 138, 300, 162), pFrame, kDropId);
    drop.SetFont(pFont);
    drop.SetWindowText("Drop edit");
    drop.SetButtonBitmap(GXB_IDB_CALCULATOR);

    CGXBCalculator calculator;
    calculator.SetValue(12.5);
    calculator.Create(0, WS_CHILD | WS_VISIBLE | GXBCS_RAISEDFRAME, 330, 18, pFrame, kCalculatorId);

    g_printValues = [&] {
        printEdit("english", english);
        printEdit("german", german);
        printEdit("readonly", readOnly);
        std::printf("calculator \"%s\"\n", static_cast<LPCTSTR>(calculator.GetDisplayText()));
        std::fflush(stdout);
    };
    english.SetFocus();
    printAt("english", english);
    printAt("german", german);
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    g_printValues = nullptr;
    return int(msg.wParam);
}

}  // namespace

int RunCalendarDemo();
int runTabs();  // widgetdemo_tabs.cpp
int RunObjectsDemo();  // widgetdemo_objects.cpp

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "calendar") == 0)
        return RunCalendarDemo();
    if (argc >= 2 && std::strcmp(argv[1], "tabs") == 0)
        return runTabs();
    if (argc >= 2 && std::strcmp(argv[1], "objects") == 0)
        return RunObjectsDemo();
    if (argc < 2 || std::strcmp(argv[1], "currency") != 0) {
        std::fprintf(stderr, "usage: widgetdemo currency|calendar|tabs|objects\n");
        return 2;
    }
    return runCurrency();
}
