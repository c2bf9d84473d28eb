#pragma once
// The real frame over a sample installation whose custom database is a copy of its own, and the
// means to drive the favorites dialogs: steps run one per idle moment of whatever modal loop is
// up, and a reader of table Tree, the outline, a dialog's tree and the Favorites menu in one form.

#include "tests/app/sample_frame_fixture.h"

#include "app/AddToFavoritesDlg.h"
#include "app/Config.h"
#include "app/DetailsDlg.h"
#include "app/History.h"
#include "app/OrganizeFavoritesDlg.h"
#include "app/SelectOneDlg.h"
#include "app/ViewerDoc.h"
#include "platform/sys/shell.h"
#include "resources/directory_ids.h"
#include "resources/favorites_ids.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleWriter.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <string>

// Runs queued steps in the idle moments of modal loops; with none left, a dialog still up is
// cancelled, so that a test that went wrong ends instead of waiting for a user.
class DialogSteps {
public:
    using Step = std::function<void()>;
    DialogSteps() { PvSetIdleHook(&onIdle); }
    ~DialogSteps()
    {
        PvSetIdleHook(nullptr);
        queue().clear();
    }
    DialogSteps& then(Step step)
    {
        queue().push_back(std::move(step));
        return *this;
    }
    static bool done() { return queue().empty(); }

    // The open dialog of that class: the active window, else the visible one with the caption
    // the class shows; null when there is none.
    template <class T>
    static T* top()
    {
        if (T* active = dynamic_cast<T*>(CWnd::FromHandlePermanent(::GetActiveWindow())))
            return active;
        for (const char* caption : {"Add to Favorites List.....", "Select Folder", "Organize Favorites", "Select One",
                                    "Organize Saved Directory Lists"}) {
            HWND h = ::FindWindow(nullptr, caption);
            if (T* dlg = h && ::IsWindowVisible(h) ? dynamic_cast<T*>(CWnd::FromHandlePermanent(h)) : nullptr)
                return dlg;
        }
        return nullptr;
    }
    static void click(CWnd* dlg, int id)
    {
        if (dlg)
            dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg->m_hWnd, id)));
    }
    // Selects the item with the text (any depth); false when there is none.
    static bool select(CTreeCtrl& tree, const char* text)
    {
        HTREEITEM h = find(tree, tree.GetRootItem(), text);
        return h && tree.SelectItem(h);
    }
    static HTREEITEM find(CTreeCtrl& tree, HTREEITEM h, const char* text)
    {
        for (; h; h = tree.GetNextSiblingItem(h)) {
            if (tree.GetItemText(h) == text)
                return h;
            if (HTREEITEM in = find(tree, tree.GetChildItem(h), text))
                return in;
        }
        return nullptr;
    }
    // Answers the name prompt with a name.
    static Step name(const char* text)
    {
        return [text] {
            CWnd* dlg = CWnd::FromHandle(::GetActiveWindow());
            ::SetDlgItemText(dlg->m_hWnd, IDC_SAVE_NAME, text);
            click(dlg, IDOK);
        };
    }
    static Step cancel()
    {
        return [] { click(CWnd::FromHandle(::GetActiveWindow()), IDCANCEL); };
    }

private:
    static std::deque<Step>& queue()
    {
        static std::deque<Step> q;
        return q;
    }
    static void onIdle()
    {
        HWND active = ::GetActiveWindow();
        if (queue().empty()) {
            if (active && dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(active)))
                ::PostMessage(active, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        Step step = std::move(queue().front());
        queue().pop_front();
        step();
        // A step that posts nothing would leave the headless desktop with nothing to wait for,
        // which it answers by closing the program; the next step needs another idle moment.
        if (HWND h = ::GetActiveWindow())
            ::PostMessage(h, WM_NULL, 0, 0);
    }
};

class FavoritesFrameTest : public SampleFrameTest {
protected:
    bool OpensAtSetUp() const override { return false; }
    void SetUp() override
    {
        SampleFrameTest::SetUp();
        if (HasFatalFailure())
            return;
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_custom = (*s_root / ("Custom_" + name + ".mdb")).string();
        std::filesystem::copy_file(s_paths->customPath, m_custom, std::filesystem::copy_options::overwrite_existing);
        PvSetOutlinePathsForTest(GetDataPath(), m_custom.c_str());
    }
    // Builds the frame over the custom database as it stands.
    void Open()
    {
        OpenFrame();
        outline = frame->m_pNavigateView;
        ASSERT_NE(outline, nullptr);
        frame->SwitchLayout(ID_LAYOUT_DIRECTORY);
        Pump();
    }
    void TearDown() override
    {
        SampleFrameTest::TearDown();
        std::filesystem::remove(m_custom);
    }
    void Execute(const std::string& sql)
    {
        CDaoDatabase db;
        db.Open(m_custom.c_str());
        db.Execute(sql.c_str());
        db.Close();
    }

    // ---- One form for the four places that show the favorites ----
    // "Teachers[Kai Larsen#3,Yuki Müller#0],School Calendar#0": folders with their contents,
    // favorites with their picture (when bImages) in the order shown.
    struct Row {
        std::string key, parent, text, type;
        long order = 0, image = 0;
    };
    std::vector<Row> tableRows()
    {
        std::vector<Row> out;
        CDaoDatabase db;
        db.Open(m_custom.c_str());
        CTreeRecordset rs(&db);
        rs.Open(dbOpenDynaset, "Select * from Tree order by Tree.Order");
        for (; !rs.IsEOF(); rs.MoveNext())
            out.push_back({std::string(rs.m_Key), std::string(rs.m_Parent), std::string(rs.m_Text),
                           std::string(rs.m_Type), rs.m_Order, rs.m_Image});
        rs.Close();
        db.Close();
        return out;
    }
    std::string tableState(bool bImages = true)
    {
        const auto rows = tableRows();
        std::string out;
        for (const Row& top : rows) {
            if (top.parent != "Favorites")
                continue;
            out += (out.empty() ? "" : ",") + entry(top.text, top.image, bImages && !top.type.empty());
            if (!top.type.empty())
                continue;
            std::string inner;
            for (const Row& r : rows)
                if (r.parent == top.key)
                    inner += (inner.empty() ? "" : ",") + entry(r.text, r.image, bImages);
            out += "[" + inner + "]";
        }
        return out;
    }
    static std::string entry(const std::string& text, long image, bool bImage)
    {
        return bImage ? text + "#" + std::to_string(image) : text;
    }
    // A tree whose top item (or the item of a Key) is "Favorites"; folders are the items with
    // children or with folder pictures.
    static std::string treeState(CTreeCtrl& tree, HTREEITEM hFavorites, bool bImages = true)
    {
        std::string out;
        for (HTREEITEM h = tree.GetChildItem(hFavorites); h; h = tree.GetNextSiblingItem(h)) {
            int image = 0, selected = 0;
            tree.GetItemImage(h, image, selected);
            const bool folder = image == 2 || tree.GetChildItem(h);
            out += (out.empty() ? "" : ",") + entry(std::string(tree.GetItemText(h)), image, bImages && !folder);
            if (!folder)
                continue;
            std::string inner;
            for (HTREEITEM c = tree.GetChildItem(h); c; c = tree.GetNextSiblingItem(c)) {
                tree.GetItemImage(c, image, selected);
                inner += (inner.empty() ? "" : ",") + entry(std::string(tree.GetItemText(c)), image, bImages);
            }
            out += "[" + inner + "]";
        }
        return out;
    }
    std::string outlineState(bool bImages = true)
    {
        return treeState(outline->GetTreeCtrl(), outline->FindItem("Favorites"), bImages);
    }
    // The menu after its fixed commands and separator; ids when bIds.
    static std::string menuState(CMenu* menu, bool bIds = false)
    {
        std::string out;
        if (!menu)
            return "no menu";
        for (int i = 3; i < int(menu->GetMenuItemCount()); ++i) {
            CString text;
            menu->GetMenuString(UINT(i), text, MF_BYPOSITION);
            out += (out.empty() ? "" : ",") + std::string(text);
            if (CMenu* sub = menu->GetSubMenu(i)) {
                std::string inner;
                for (int j = 0; j < int(sub->GetMenuItemCount()); ++j) {
                    CString t;
                    sub->GetMenuString(UINT(j), t, MF_BYPOSITION);
                    if (t == "(Empty)")
                        continue;
                    inner += (inner.empty() ? "" : ",") + std::string(t);
                    if (bIds)
                        inner += ":" + std::to_string(sub->GetMenuItemID(j));
                }
                out += "[" + inner + "]";
            } else if (bIds) {
                out += ":" + std::to_string(menu->GetMenuItemID(i));
            }
        }
        return out;
    }
    // Table, outline and menu (and a dialog's tree, when one is given) show the same favorites.
    void ExpectAgree(const char* step, CTreeCtrl* pDialogTree = nullptr)
    {
        SCOPED_TRACE(step);
        const std::string table = tableState();
        EXPECT_EQ(outlineState(), table);
        EXPECT_EQ(menuState(frame->GetFavoritesMenu()), tableState(false));
        if (pDialogTree) {
            EXPECT_EQ(treeState(*pDialogTree, pDialogTree->GetRootItem()), table);
        }
    }

    // Adds the person under the folder through the dialog, as the frame's command does.
    void AddFavorite(long nKey, BOOL bHasNotes, const char* name, const char* folder)
    {
        DialogSteps steps;
        steps.then([=] {
            auto* dlg = DialogSteps::top<CAddToFavoritesDlg>();
            ASSERT_NE(dlg, nullptr);
            dlg->SetDlgItemText(IDC_FAVORITES_NAME, name);
            EXPECT_TRUE(DialogSteps::select(dlg->m_tree, folder)) << folder;
            DialogSteps::click(dlg, IDOK);
        });
        RunAdd(nKey, bHasNotes);
        EXPECT_TRUE(DialogSteps::done());
    }
    void RunAdd(long nKey, BOOL bHasNotes)
    {
        CAddToFavoritesArgs args;
        args.m_pOutline = outline;
        args.m_nRecordKey = nKey;
        args.m_bAddMode = 1;
        args.m_strPrompt = "Paravel will add this page to your Favorites List...";
        args.m_bHasNotes = bHasNotes;
        args.m_pFavoritesMenu = frame->GetFavoritesMenu();
        frame->RunAddToFavorites(args, frame);
        Pump();
    }

    std::string m_custom;
    CNavigateView* outline = nullptr;
};
