#pragma once
// A data folder with the outline's image list and a custom database whose table Tree holds the
// rows a test gives, for the outline and the frame that shows it.

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/Config.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/controls/imagelist.h"
#include "platform/dao/dao.h"
#include "platform/gdi/gdi.h"

struct OutlineRow {
    const char* key;
    const char* parent;
    const char* text;
    int image = 0;
    const char* type = "";
    const char* link = "";
    int expanded = 0;
};

class OutlineFolder {
public:
    explicit OutlineFolder(const char* name)
    {
        m_dir = std::filesystem::temp_directory_path() / ("pv_outline_" + std::to_string(::getpid()) + "_" + name);
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
    }
    ~OutlineFolder()
    {
        std::error_code ec;
        std::filesystem::permissions(custom(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                     ec);
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string data() const { return m_dir.string() + "/"; }
    std::string custom() const { return m_dir.string() + "/Custom.mdb"; }

    // 19 pictures of 16 by 16, as the program's list has.
    void WriteImageList() const
    {
        std::vector<uint32_t> strip(size_t(16 * 19) * 16, 0x00336699);
        CBitmap bm;
        bm.CreateBitmap(16 * 19, 16, 1, 32, strip.data());
        CImageList list;
        list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 19, 1);
        list.Add(&bm, RGB(255, 0, 255));
        CFile file;
        file.Open((data() + "TreeList.bma").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        list.Write(&ar);
        ar.Close();
        file.Close();
    }
    // The rows in Order; a note for each record key in notes.
    void WriteCustom(const std::vector<OutlineRow>& rows, const std::vector<long>& notes = {}) const
    {
        std::filesystem::remove(custom());
        CDaoDatabase db;
        db.Create(custom().c_str());
        db.Execute("CREATE TABLE [Tree] ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(255), "
                   "[Image] LONG, [Selected Image] LONG, [Type] TEXT(50), [Link] MEMO, [Expanded] LONG)");
        db.Execute("CREATE INDEX [Order] ON [Tree] ([Order])");
        db.Execute("CREATE TABLE [Annotations] ([_IKEY] LONG, [MEMO] TEXT(255))");
        int order = 1;
        for (const OutlineRow& r : rows) {
            CString sql;
            sql.Format("INSERT INTO [Tree] ([Key], [Order], [Parent], [Text], [Image], [Selected Image], [Type], "
                       "[Link], [Expanded]) VALUES ('%s', %d, '%s', '%s', %d, %d, '%s', '%s', %d)",
                       quoted(r.key).c_str(), order++, quoted(r.parent).c_str(), quoted(r.text).c_str(), r.image,
                       r.image, r.type, quoted(r.link).c_str(), r.expanded);
            db.Execute(sql);
        }
        for (long key : notes) {
            CString sql;
            sql.Format("INSERT INTO [Annotations] ([_IKEY], [MEMO]) VALUES (%ld, 'Call back')", key);
            db.Execute(sql);
        }
        db.Close();
    }
    // Points the configuration at this folder.
    void Use() const { PvSetOutlinePathsForTest(data().c_str(), custom().c_str()); }

private:
    static std::string quoted(const char* s)
    {
        std::string out;
        for (; *s; ++s)
            out += *s == '\'' ? std::string("''") : std::string(1, *s);
        return out;
    }
    std::filesystem::path m_dir;
};
