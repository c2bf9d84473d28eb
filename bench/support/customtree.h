// A custom database of n rows for the outline and favorites benches: the two roots, then folders of
// ten favorites, written once per size and run.
#pragma once

#include "bench/support/scratch.h"
#include "platform/dao/dao.h"

#include <filesystem>
#include <string>

inline std::string BenchCustomTree(int rows, bool expanded)
{
    const std::string path = BenchScratchDir() + "/Custom" + std::to_string(rows) + (expanded ? "x" : "") + ".mdb";
    if (std::filesystem::exists(path))
        return path;
    CDaoDatabase db;
    db.Create(path.c_str());
    db.Execute("CREATE TABLE [Tree] ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(255), "
               "[Image] LONG, [Selected Image] LONG, [Type] TEXT(50), [Link] MEMO, [Expanded] LONG)");
    db.Execute("CREATE INDEX [Order] ON [Tree] ([Order])");
    db.Execute("CREATE TABLE [Annotations] ([_IKEY] LONG, [MEMO] TEXT(255))");
    const std::string tail = expanded ? "', 1)" : "', 0)";
    auto insert = [&](int order, const std::string& key, const std::string& parent, const char* type, int link) {
        db.Execute(("INSERT INTO [Tree] VALUES ('" + key + "', " + std::to_string(order) + ", '" + parent + "', '" +
                    key + "', 0, 0, '" + type + "', '" + std::to_string(link) + tail)
                       .c_str());
    };
    db.m_pWorkspace->BeginTrans();
    insert(1, "Views", "", "", 0);
    insert(2, "Favorites", "", "", 0);
    std::string folder;
    for (int i = 3; i <= rows; ++i) {
        if ((i - 3) % 11 == 0) {
            folder = "Folder " + std::to_string(i);
            insert(i, folder, "Favorites", "", 0);
        } else {
            insert(i, "Person " + std::to_string(i), folder, "Details", i);
        }
    }
    db.m_pWorkspace->CommitTrans();
    db.Close();
    return path;
}
