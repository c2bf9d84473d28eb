// Starts the viewer as a user would, headless, and reads what it showed.
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

class ParavelE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("pv_e2e_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "registry");
    }
    void TearDown() override { fs::remove_all(root); }

    // Runs a command with the test's registry and message-box log; answers its exit status.
    int run(const std::string& command, const std::string& extraEnv = "")
    {
        const std::string line = "env PV_BACKEND=headless PV_REGISTRY_DIR='" + (root / "registry").string() +
                                 "' PV_MSGBOX_LOG='" + (root / "boxes.log").string() + "' " + extraEnv + " timeout 120 " +
                                 command + " >'" + (root / "out.txt").string() + "' 2>&1";
        int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<std::string> boxes() const
    {
        std::vector<std::string> lines;
        std::ifstream in(root / "boxes.log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path root;
};

} // namespace

TEST_F(ParavelE2E, EmptyRegistryShowsOneMessageAndEnds)
{
    const fs::path shot = root / "shot.png";
    run(PARAVEL_BIN, "PV_SCREENSHOT='" + shot.string() + "'");
    const auto lines = boxes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Registry root SOFTWARE\\\\Morlow Systems, Inc.\\\\Paravel\\\\3.0\\\\main does not exist."),
              std::string::npos)
        << lines[0];
    EXPECT_FALSE(fs::exists(shot)); // no window was ever shown
}

TEST_F(ParavelE2E, SampleInstallationStartsAndQuitsCleanly)
{
    ASSERT_EQ(run(std::string(PVSAMPLE_BIN) + " '" + (root / "sample").string() + "' --people 200 --register"), 0);
    const fs::path script = root / "script.txt";
    const fs::path shot = root / "main.png";
    std::ofstream(script) << "wait 1000\nscreenshot " << shot.string() << "\nquit\n";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + script.string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(fs::exists(shot));
}
