#pragma once
// A sample installation of a small school, written once per test suite, registered in a
// temporary registry and loaded as the program's configuration.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/Config.h"
#include "tools/pvsample/SampleWriter.h"

template <int People>
class DirectoryInstallationOf : public ::testing::Test {
protected:
    static constexpr int kPeople = People;

    static void SetUpTestSuite()
    {
        namespace fs = std::filesystem;
        s_root = new std::string(fs::temp_directory_path() / ("pv_dirpane_" + std::to_string(::getpid()) + "_" +
                                                              ::testing::UnitTest::GetInstance()->current_test_suite()->name()));
        fs::remove_all(*s_root);
        fs::create_directories(*s_root + "/registry");
        ::setenv("PV_REGISTRY_DIR", (*s_root + "/registry").c_str(), 1);
        pvsample::SampleOptions options;
        options.dir = *s_root + "/install";
        options.people = kPeople;
        options.seed = 3;
        s_paths = new pvsample::SamplePaths(pvsample::WriteSampleDirectory(options));
        pvsample::RegisterSampleDirectory(*s_paths);
    }
    static void TearDownTestSuite()
    {
        ::unsetenv("PV_REGISTRY_DIR");
        std::filesystem::remove_all(*s_root);
        delete s_paths;
        delete s_root;
        s_paths = nullptr;
        s_root = nullptr;
    }
    void SetUp() override
    {
        ResetConfiguration();
        ASSERT_TRUE(LoadConfiguration());
    }
    void TearDown() override { ResetConfiguration(); }

    static inline std::string* s_root = nullptr;
    static inline pvsample::SamplePaths* s_paths = nullptr;
};

using DirectoryInstallation = DirectoryInstallationOf<60>;
