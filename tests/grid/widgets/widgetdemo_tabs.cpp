// `widgetdemo tabs`: a frame holding a tab window of twelve sheets, two of them grid windows and
// the rest plain windows that show their name. At the start it prints where the tabs (label start,
// width and middle line), the strip's scroll buttons, the splitter box and the vertical bar's lower arrow lie on the screen; at exit,
// the labels, the current and first visible tab, the selected tabs, the split position and the
// grids' names and top rows.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxwnd.h"
#include "grid/widgets/gxtabwnd.h"
#include "platform/ui/frame.h"
#include "platform/win/win.h"

namespace {

const char* const kLabels[] = {"Staff", "Grades", "Rooms", "Clubs", "Sports", "Music",
                               "Library", "Buses", "Meals", "Events", "Alumni", "Notes"};
constexpr int kGridTabs[] = {1, 2};

// A plain sheet: its name in the middle; it lets its tab be renamed.
class SheetWnd : public CWnd {
public:
    explicit SheetWnd(const char* name) : m_name(name) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GX_TABCANRENAME)
            return 1;
        if (message == WM_PAINT) {
            CPaintDC dc(this);
            CRect rc;
            GetClientRect(&rc);
            dc.FillSolidRect(&rc, RGB(250, 250, 240));
            dc.SetBkMode(TRANSPARENT);
            dc.DrawText(m_name.c_str(), int(m_name.size()), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::string m_name;
};

// A grid sheet: row and column numbers in its cells.
class DemoGrid : public CGXGridWnd {
public:
    BOOL FetchStoredStyle(ROWCOL nRow, ROWCOL nCol, CGXStyle& style, int mt, int nType) override
    {
        const BOOL b = CGXGridWnd::FetchStoredStyle(nRow, nCol, style, mt, nType);
        if (nRow > 0 && nCol > 0 && nType == 0 && !style.GetIncludeValue())
            style.SetValue((std::to_string(nRow) + "," + std::to_string(nCol)).c_str());
        return b || (nRow > 0 && nCol > 0);
    }
};

class TabsFrame : public CFrameWnd {
public:
    CGXTabWnd m_tabs;
    std::vector<std::unique_ptr<CWnd>> m_sheets;

    void PrintState()
    {
        CGXTabBeam* pBeam = m_tabs.GetBeam();
        std::string labels, selected;
        for (int i = 0; i < pBeam->GetCount(); ++i) {
            labels += (i ? "," : "") + std::string(pBeam->GetTab(i).sLabel.GetString());
            selected += pBeam->GetTab(i).bSel ? '1' : '0';
        }
        std::printf("labels %s\n", labels.c_str());
        std::printf("current %d first %d selected %s\n", pBeam->GetCurSel(), pBeam->GetFirstTab(), selected.c_str());
        std::printf("split %d\n", m_tabs.GetSplitPos());
        for (int n : kGridTabs) {
            auto* pGrid = static_cast<DemoGrid*>(m_sheets[size_t(n)].get());
            std::printf("grid %d \"%s\" top %u left %u\n", n, pGrid->GetParam()->m_sText.GetString(),
                        unsigned(pGrid->GetTopRow()), unsigned(pGrid->GetLeftCol()));
        }
        std::fflush(stdout);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DESTROY) {
            PrintState();
            ::PostQuitMessage(0);
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

void printAt(const char* name, int x, int y) { std::printf("%s %d %d\n", name, x, y); }

}  // namespace

int runTabs()
{
    InitGridLibraryWithFactory();
    auto* pFrame = new TabsFrame;
    if (!pFrame->Create(nullptr, "Widgets: tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 840, 540))) {
        std::fprintf(stderr, "the frame could not be created\n");
        return 1;
    }
    PvSetMainWindow(pFrame->m_hWnd);
    CGXTabWnd& tabs = pFrame->m_tabs;
    if (!tabs.Create(pFrame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, AFX_IDW_PANE_FIRST)) {
        std::fprintf(stderr, "the tab window could not be created\n");
        return 1;
    }
    pFrame->RecalcLayout();
    for (int i = 0; i < 12; ++i) {
        const bool bGrid = i == kGridTabs[0] || i == kGridTabs[1];
        std::unique_ptr<CWnd> pSheet;
        if (bGrid) {
            auto pGrid = std::make_unique<DemoGrid>();
            pGrid->CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &tabs, 100 + i);
            pSheet = std::move(pGrid);
        } else {
            pSheet = std::make_unique<SheetWnd>(kLabels[i]);
            pSheet->CreateEx(0, AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW), nullptr, WS_CHILD, 0, 0, 10, 10,
                             tabs.m_hWnd, nullptr);
        }
        tabs.AttachWnd(pSheet.get(), kLabels[i]);
        if (bGrid) {
            auto* pGrid = static_cast<DemoGrid*>(pSheet.get());
            pGrid->Initialize();
            pGrid->SetScrollBarMode(SB_BOTH, 1, TRUE);
            pGrid->SetRowCount(i == kGridTabs[0] ? 120 : 40);
            pGrid->SetColCount(i == kGridTabs[0] ? 12 : 30);
        }
        pFrame->m_sheets.push_back(std::move(pSheet));
    }
    pFrame->m_sheets[0]->SetFocus();

    // Where the script finds things, with the first tab leftmost.
    CGXTabBeam* pBeam = tabs.GetBeam();
    CRect rcBeam;
    pBeam->GetWindowRect(&rcBeam);
    const int yBeam = rcBeam.top + pBeam->GetBarHeight() / 2;
    // Each tab: where its label starts, how wide it is, and its middle line.
    for (int i = 0; i < pBeam->GetCount(); ++i)
        std::printf("tab %d %d %d %d\n", i, int(rcBeam.left + pBeam->GetTabX(i) + pBeam->GetOverlap()),
                    pBeam->GetTab(i).nWidth, yBeam);
    printAt("prev", rcBeam.left + pBeam->GetBarHeight() / 2, yBeam);
    printAt("next", rcBeam.left + pBeam->GetBarHeight() * 3 / 2, yBeam);
    CRect rcSplit = tabs.GetSplitterRect();
    tabs.ClientToScreen(&rcSplit);
    printAt("splitter", rcSplit.left + 3, rcSplit.CenterPoint().y);
    CRect rcVert;
    tabs.GetTabScrollBar(SB_VERT)->GetWindowRect(&rcVert);
    printAt("vdown", rcVert.CenterPoint().x, rcVert.bottom - 5);
    std::fflush(stdout);

    // The frame deletes itself with its window.
    const HWND hFrame = pFrame->m_hWnd;
    MSG msg;
    while (::GetMessage(&msg, nullptr, 0, 0)) {
        if (CWnd::WalkPreTranslateTree(hFrame, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    return int(msg.wParam);
}
