// A keyed table shaped like the directory's Data: twelve enciphered-looking text columns, each
// with a rank column that is a permutation of the rows (the first may repeat, as last names do).
#pragma once

#include "bench/support/scratch.h"
#include "platform/dao/dao.h"

#include <map>
#include <string>

inline constexpr char kBenchTableKey[] = "KvRtWmPnoQaz";
inline constexpr int kBenchTextFields = 12;

struct BenchTableShape {
    int rows = 0;
    int firstRankValues = 0; // distinct values of [_IF1]; 0: one per row
    bool indexEveryRank = false; // else only [_IF1]
};

// Written once per shape and run; answers the file's path.
inline const std::string& BenchKeyedTable(const BenchTableShape& shape)
{
    static std::map<std::string, std::string> paths;
    const std::string name = "Data" + std::to_string(shape.rows) + "_" + std::to_string(shape.firstRankValues) +
                             (shape.indexEveryRank ? "i" : "") + ".mdb";
    auto it = paths.find(name);
    if (it != paths.end())
        return it->second;
    const std::string p = BenchScratchDir() + "/" + name;
    CDaoDatabase db;
    db.Create(p.c_str(), (std::string(dbLangGeneral) + ";PWD=" + kBenchTableKey).c_str());
    std::string create = "CREATE TABLE Data ([_IKEY] LONG";
    std::string select = "SELECT x";
    for (int f = 1; f <= kBenchTextFields; ++f) {
        const std::string n = "F" + std::to_string(f);
        const int values = f == 1 && shape.firstRankValues ? shape.firstRankValues : shape.rows;
        create += ", [" + n + "] TEXT(50), [_I" + n + "] LONG";
        select += ", hex(randomblob(" + std::to_string(8 + f % 3 * 4) + ")), (x * " + std::to_string(7919 + f * 2) +
                  ") % " + std::to_string(values) + " + 2";
    }
    db.Execute((create + ")").c_str());
    db.m_pWorkspace->BeginTrans();
    db.Execute(("INSERT INTO Data WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < " +
                std::to_string(shape.rows) + ") " + select + " FROM c")
                   .c_str());
    db.m_pWorkspace->CommitTrans();
    for (int f = 1; f <= (shape.indexEveryRank ? kBenchTextFields : 1); ++f) {
        const std::string n = "[_IF" + std::to_string(f) + "]";
        db.Execute(("CREATE INDEX " + n + " ON Data (" + n + ")").c_str());
    }
    return paths[name] = p;
}
