#pragma once
// Temporary keyed database files for the database layer's tests.

#include "platform/dao/dao.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline const char* kTestKey = ";PWD=KvRtWmPnoQaz";

class DaoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/pvdaoXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string PathOf(const char* name) const { return m_dir + "/" + name; }

    // Creates a keyed database holding the given statements' tables.
    std::string MakeDb(const char* name, std::initializer_list<const char*> statements, const char* key = kTestKey)
    {
        const std::string path = PathOf(name);
        CDaoDatabase db;
        db.Create(path.c_str(), (std::string(dbLangGeneral) + key).c_str());
        for (const char* s : statements) db.Execute(s, dbFailOnError);
        db.Close();
        return path;
    }

    std::string m_dir;
};

// The Jet error number a statement raises, or 0.
template <class F>
long DaoErrorOf(F&& f)
{
    try {
        f();
    } catch (CDaoException& e) {
        return e.m_pErrorInfo->m_lErrorCode;
    }
    return 0;
}
