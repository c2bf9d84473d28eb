// `widgetdemo objects`: a record grid over a keyed table of four objects in a fresh database: an
// object, an empty cell, bytes with a wrong signature, bytes whose offsets run past the end. At
// the start it prints where each row's hot spot ("button N X Y") and object cell ("cell N X Y")
// lie on the screen; at exit, each record's stored length and hash as the table holds it then.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxbutton.h"
#include "grid/controls/gxctlfactory.h"
#include "grid/controls/gxolepreview.h"
#include "grid/core/gxlibdata.h"
#include "grid/core/gxwnd.h"
#include "grid/record/gxdaogrid.h"
#include "platform/dao/dao.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"

namespace {

constexpr const char* kKey = ";PWD=ObjDemo4Rows";
constexpr ROWCOL kObjCol = 2;

std::string Hex(const std::vector<BYTE>& b)
{
    std::string s;
    char sz[3];
    for (BYTE c : b) {
        std::snprintf(sz, sizeof sz, "%02X", c);
        s += sz;
    }
    return s;
}

// FNV-1a over the stored bytes.
unsigned Hash(const std::vector<BYTE>& b)
{
    unsigned h = 2166136261u;
    for (BYTE c : b)
        h = (h ^ c) * 16777619u;
    return h;
}

// A window that is the DAO grid's: it hands its messages to the grid as a grid window does.
class DaoGridHost : public CWnd {
public:
    CGXDaoGrid* m_pGrid = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!m_pGrid)
            return CWnd::WindowProc(message, wParam, lParam);
        const CPoint pt(short(LOWORD(lParam)), short(HIWORD(lParam)));
        switch (message) {
        case WM_PAINT: {
            CPaintDC dc(this);
            m_pGrid->OnGridDraw(&dc);
            return 0;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
            if (m_pGrid->ProcessKeyMessage(message, wParam, lParam))
                return 0;
            break;
        case WM_LBUTTONDOWN:
            SetFocus();
            m_pGrid->OnGridLButtonDown(UINT(wParam), pt);
            return 0;
        case WM_LBUTTONUP: m_pGrid->OnGridLButtonUp(UINT(wParam), pt); return 0;
        case WM_MOUSEMOVE: m_pGrid->OnGridMouseMove(UINT(wParam), pt); return 0;
        case WM_CANCELMODE: m_pGrid->OnGridCancelMode(); return 0;
        case WM_SETFOCUS: m_pGrid->OnGridSetFocus(CWnd::FromHandle(HWND(wParam))); return 0;
        case WM_KILLFOCUS: m_pGrid->OnGridKillFocus(CWnd::FromHandle(HWND(wParam))); return 0;
        default: break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

struct ObjectsDemo {
    std::string dir;
    CDaoDatabase db;
    std::unique_ptr<CDaoRecordset> rs;
    DaoGridHost host;
    std::unique_ptr<CGXDaoGrid> grid;

    void PrintRecords()
    {
        CDaoRecordset check(&db);
        check.Open(dbOpenSnapshot, "SELECT Id, Obj FROM T ORDER BY Id");
        for (; !check.IsEOF(); check.MoveNext()) {
            COleVariant id = check.GetFieldValue(0), obj = check.GetFieldValue(1);
            std::vector<BYTE> bytes;
            GXObjectBytesOfVariant(obj, bytes);
            std::printf("record %ld length %zu hash %08x\n", long(id.lVal), bytes.size(), Hash(bytes));
        }
        std::fflush(stdout);
    }
};

ObjectsDemo* g_demo = nullptr;

LRESULT FrameProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_SIZE && g_demo && g_demo->host.GetSafeHwnd())
        g_demo->host.MoveWindow(0, 0, LOWORD(l), HIWORD(l));
    if (m == WM_CLOSE && g_demo && g_demo->grid) {
        // Closing keeps what the user did, as leaving the record would.
        g_demo->grid->StoreCurrentCellEdit(TRUE);
        if (g_demo->grid->EditMode() != gxNoEdit)
            g_demo->grid->UpdateRecord();
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

std::vector<std::string> TableRows()
{
    std::vector<BYTE> object, wrong, past;
    GXEncodeObjectBlock({"Sketch Drawing", "Sketch.Drawing.1", {7, 8, 9}}, object);
    wrong = object;
    wrong[0] = 0x16;
    past = object;
    past[14] = 0xF0;  // the ProgID's offset
    return {"CREATE TABLE T (Id LONG, Obj LONGBINARY)", "INSERT INTO T VALUES (1, x'" + Hex(object) + "')",
            "INSERT INTO T VALUES (2, NULL)", "INSERT INTO T VALUES (3, x'" + Hex(wrong) + "')",
            "INSERT INTO T VALUES (4, x'" + Hex(past) + "')"};
}

}  // namespace

int RunObjectsDemo()
{
    InitGridLibraryWithFactory();
    ObjectsDemo demo;
    g_demo = &demo;
    char tmpl[] = "/tmp/pvobjectsXXXXXX";
    if (!mkdtemp(tmpl)) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    demo.dir = tmpl;
    const std::string path = demo.dir + "/objects.mdb";
    {
        CDaoDatabase create;
        create.Create(path.c_str(), (std::string(dbLangGeneral) + kKey).c_str());
        for (const std::string& s : TableRows())
            create.Execute(s.c_str(), dbFailOnError);
        create.Close();
    }
    demo.db.Open(path.c_str(), FALSE, FALSE, kKey);
    demo.rs = std::make_unique<CDaoRecordset>(&demo.db);
    demo.rs->Open(dbOpenDynaset, "SELECT * FROM T");

    WNDCLASS wc {};
    wc.lpfnWndProc = FrameProc;
    wc.lpszClassName = "WidgetDemoObjects";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    RegisterClass(&wc);
    HWND hFrame = CreateWindowEx(0, "WidgetDemoObjects", "Widgets: objects", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 520, 320, nullptr, nullptr, nullptr, nullptr);
    PvSetMainWindow(hFrame);
    CRect client;
    ::GetClientRect(hFrame, &client);
    demo.host.CreateEx(0, GX_WNDCLASS, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, client.Width(), client.Height(), hFrame,
                       nullptr);
    demo.grid = std::make_unique<CGXDaoGrid>(&demo.host);
    demo.host.m_pGrid = demo.grid.get();
    CGXDaoGrid& grid = *demo.grid;
    grid.SetRecordset(demo.rs.get());
    grid.Initialize();
    grid.DaoParamObject()->m_bPlainBinaryCells = FALSE;
    grid.SetColWidths(kObjCol, kObjCol, 200);
    grid.Redraw();
    demo.host.SetFocus();

    // Where the script finds each row's hot spot and a point of its text.
    for (ROWCOL r = 1; r <= 4; ++r) {
        auto* pCell = dynamic_cast<CGXOlePreview*>(grid.GetRegisteredControl(WORD(GX_IDS_CTRL_OLEPREVIEW)));
        CRect rc = grid.CellToRect(r, kObjCol);
        if (!pCell || rc.IsRectEmpty())
            continue;
        pCell->LayoutChildren(nullptr, pCell->CGXControl::ComputeInnerRect(r, kObjCol, &rc));
        CPoint button = pCell->GetButton()->GetRect().CenterPoint(), text(rc.left + 12, rc.CenterPoint().y);
        demo.host.ClientToScreen(&button);
        demo.host.ClientToScreen(&text);
        std::printf("button %u %d %d\ncell %u %d %d\n", unsigned(r), int(button.x), int(button.y), unsigned(r),
                    int(text.x), int(text.y));
    }
    std::fflush(stdout);

    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        if (CWnd::WalkPreTranslateTree(nullptr, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    demo.PrintRecords();
    // What was copied goes with the program.
    if (::OpenClipboard(nullptr)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    demo.host.m_pGrid = nullptr;
    demo.grid.reset();
    demo.rs->Close();
    demo.db.Close();
    g_demo = nullptr;
    std::filesystem::remove_all(demo.dir);
    return int(msg.wParam);
}
