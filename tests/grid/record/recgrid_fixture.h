#pragma once
// A DAO grid over a keyed database made in the test, in a headless window.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxlibdata.h"
#include "grid/record/gxdaogrid.h"
#include "platform/dao/dao.h"
#include "platform/gdi/recording.h"
#include "platform/win/pvwin.h"
#include "platform/win/win.h"
#include "tests/grid/controls/gxgridfixture.h"

inline const char* kRecKey = ";PWD=KvRtWmPnoQaz";

// Counts what the grid asks of its recordset.
class CCountingRecordset : public CDaoRecordset {
public:
    using CDaoRecordset::CDaoRecordset;
    using CDaoRecordset::GetFieldValue;
    void GetFieldValue(int nIndex, COleVariant& var) override
    {
        ++m_nFieldReads;
        CDaoRecordset::GetFieldValue(nIndex, var);
    }
    long m_nFieldReads = 0;
};

// An application object that counts the wait cursors shown while it lives (waitapp.cpp).
class WaitCursorCounter {
public:
    WaitCursorCounter();
    ~WaitCursorCounter();
    WaitCursorCounter(const WaitCursorCounter&) = delete;
    WaitCursorCounter& operator=(const WaitCursorCounter&) = delete;
    int Count() const;
    void Reset();

private:
    struct App;
    std::unique_ptr<App> m_pApp;
};

class RecordGridTest : public ::testing::Test {
protected:
    static inline std::vector<std::string> s_boxes;
    static void OnBox(LPCTSTR text, UINT) { s_boxes.emplace_back(text ? text : ""); }

    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
        InitGridLibraryWithFactory();
        s_boxes.clear();
        PvSetMessageBoxObserver(&RecordGridTest::OnBox);
        char tmpl[] = "/tmp/pvrecXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }

    void TearDown() override
    {
        m_wnd.m_pGrid = nullptr;
        m_grid.reset();
        if (m_wnd.GetSafeHwnd())
            m_wnd.DestroyWindow();
        m_recordsets.clear();
        if (m_db)
            m_db->Close();
        m_db.reset();
        PvSetMessageBoxObserver(nullptr);
        std::filesystem::remove_all(m_dir);
        PvResetWindowSystem();
    }

    // A keyed database holding the statements' tables, kept open by the test.
    CDaoDatabase& MakeDb(std::initializer_list<std::string> statements)
    {
        const std::string path = m_dir + "/test.mdb";
        {
            CDaoDatabase db;
            db.Create(path.c_str(), (std::string(dbLangGeneral) + kRecKey).c_str());
            for (const std::string& s : statements)
                db.Execute(s.c_str(), dbFailOnError);
            db.Close();
        }
        m_db = std::make_unique<CDaoDatabase>();
        m_db->Open(path.c_str(), FALSE, FALSE, kRecKey);
        return *m_db;
    }

    // n rows of Data (Id LONG, [Last Name] TEXT(30), [First Name] TEXT(30), Notes MEMO).
    static std::string FillData(int n)
    {
        return "INSERT INTO Data WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < " +
               std::to_string(n) + ") SELECT x, 'Last' || x, 'First' || x, 'note' FROM c";
    }
    static const char* DataTable()
    {
        return "CREATE TABLE Data (Id LONG, [Last Name] TEXT(30), [First Name] TEXT(30), Notes MEMO)";
    }

    template <class RS = CDaoRecordset>
    RS& OpenRecordset(const char* sql, int nType = dbOpenDynaset)
    {
        auto rs = std::make_unique<RS>(m_db.get());
        rs->Open(nType, sql);
        RS& r = *rs;
        m_recordsets.push_back(std::move(rs));
        return r;
    }

    // The grid in a visible 640 x 480 window over the recordset, initialised.
    CGXDaoGrid& MakeGrid(CDaoRecordset* pRecordset)
    {
        m_wnd.CreateEx(0, GX_WNDCLASS, "grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 0, 0, 640, 480, nullptr, nullptr);
        m_grid = std::make_unique<CGXDaoGrid>(&m_wnd);
        m_wnd.m_pGrid = m_grid.get();
        m_grid->SetRecordset(pRecordset);
        m_grid->Initialize();
        m_wnd.SetFocus();
        return *m_grid;
    }

    std::unique_ptr<CRecordingDC> Paint()
    {
        CRect client;
        m_wnd.GetClientRect(&client);
        auto dc = std::make_unique<CRecordingDC>(client.Width(), client.Height());
        m_grid->OnGridDraw(dc.get());
        return dc;
    }

    BOOL Key(UINT vk, bool ctrl = false, bool shift = false)
    {
        auto set = [](UINT k, bool down) {
            if (((GetKeyState(int(k)) & 0x8000) != 0) != down)
                PvInputKey(k, down);
        };
        set(VK_CONTROL, ctrl);
        set(VK_SHIFT, shift);
        PvPumpMessages();
        const BOOL b = m_grid->ProcessKeyMessage(WM_KEYDOWN, vk, 1);
        set(VK_CONTROL, false);
        set(VK_SHIFT, false);
        PvPumpMessages();
        return b;
    }

    CGXDaoParam& Param() { return *m_grid->DaoParamObject(); }
    CString Text(ROWCOL r, ROWCOL c) { return m_grid->CellValueText(r, c); }
    BOOL Store(ROWCOL r, ROWCOL c, const char* text) { return m_grid->SetValueRange(CGXCellRange(r, c), text); }

    // A field of a table as the database holds it now, read through a fresh recordset.
    CString DbText(const std::string& sql)
    {
        CDaoRecordset rs(m_db.get());
        rs.Open(dbOpenSnapshot, sql.c_str());
        if (rs.IsEOF())
            return "<none>";
        COleVariant v = rs.GetFieldValue(0);
        if (v.vt == VT_NULL)
            return "<null>";
        v.ChangeType(VT_BSTR);
        return CString(v.bstrVal);
    }

    std::string m_dir;
    std::unique_ptr<CDaoDatabase> m_db;
    std::vector<std::unique_ptr<CDaoRecordset>> m_recordsets;
    GXTestHostWnd m_wnd;
    std::unique_ptr<CGXDaoGrid> m_grid;
};
