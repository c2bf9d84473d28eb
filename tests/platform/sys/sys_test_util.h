#pragma once
// A scratch folder per test, with the registry pointed into it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pvsys-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        m_dir = tmpl;
        m_regDir = m_dir + "/registry";
        setenv("PV_REGISTRY_DIR", m_regDir.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("PV_REGISTRY_DIR");
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void writeFile(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::string m_dir;
    std::string m_regDir;
};
