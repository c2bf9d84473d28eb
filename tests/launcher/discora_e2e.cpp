// discora as a user meets it: copied onto a "CD" beside its Discora.ini, with the registry
// written by pvreg, starting a program whose path holds a blank.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string quoteShell(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void writeFile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Waits for a file that a started program writes; the start does not wait for the program.
bool waitForFile(const fs::path& path, int tries = 200)
{
    for (int i = 0; i < tries; ++i) {
        if (fs::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class DiscoraEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("discora_e2e_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "cd" / "setup");
        fs::create_directories(root / "Program Files" / "Paravel");
        fs::create_directories(root / "registry");
        fs::copy_file(PV_DISCORA_EXE, root / "cd" / "discora");
        fs::permissions(root / "cd" / "discora", fs::perms::owner_exec, fs::perm_options::add);
        // Stand-ins for the viewer and the setup program: each records its arguments.
        for (const fs::path& program : { root / "Program Files" / "Paravel" / "paravel", root / "cd" / "setup" / "setup" }) {
            writeFile(program, "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.args.tmp\" && mv \"$0.args.tmp\" \"$0.args\"\n");
            fs::permissions(program, fs::perms::owner_all);
        }
        env = "PV_REGISTRY_DIR=" + quoteShell((root / "registry").string()) + " PV_BACKEND=headless PV_MSGBOX_LOG="
            + quoteShell((root / "msgbox.log").string()) + " ";
    }
    // A viewer that Discora started may still be closing (storing its outline and layout) when
    // the test ends; its folder goes once it has.
    void TearDown() override
    {
        std::error_code ec;
        for (int i = 0; i < 100 && (fs::remove_all(root, ec), ec); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(ec) << ec.message();
    }

    int run(const std::string& command) { return std::system((env + command).c_str()); }
    int pvreg(const std::string& args) { return run(quoteShell(PV_PVREG_EXE) + " " + args); }
    int discora(const std::string& args) { return run(quoteShell((root / "cd" / "discora").string()) + " " + args); }

    fs::path root;
    std::string env;
};

} // namespace

TEST_F(DiscoraEndToEnd, StartsTheInstalledProgramFromTheRegistry)
{
    writeFile(root / "cd" / "Discora.ini",
        "[Application]\r\nRegKey=SOFTWARE\\Paravel\\Start\r\nStart=1\r\n[Setup]\r\nRun=setup\\setup\r\n");
    const fs::path viewer = root / "Program Files" / "Paravel" / "paravel";
    ASSERT_EQ(pvreg("set 'HKLM\\SOFTWARE\\Paravel\\Start' '' " + quoteShell(viewer.string())), 0);

    EXPECT_EQ(discora("--demo 'two words'"), 0);
    ASSERT_TRUE(waitForFile(viewer.string() + ".args"));
    EXPECT_EQ(readFile(viewer.string() + ".args"), "--demo|two words|");
    EXPECT_FALSE(fs::exists(root / "cd" / "setup" / "setup.args"));
}

TEST_F(DiscoraEndToEnd, NotInstalledStartsSetupAndReportsAFailedStart)
{
    writeFile(root / "cd" / "Discora.ini",
        "[Application]\r\nRegKey=SOFTWARE\\Paravel\\Start\r\nStart=1\r\n[Setup]\r\nRun=setup\\setup\r\n");
    EXPECT_EQ(discora("-q"), 0);
    ASSERT_TRUE(waitForFile(root / "cd" / "setup" / "setup.args"));
    EXPECT_EQ(readFile(root / "cd" / "setup" / "setup.args"), "-q|");

    writeFile(root / "cd" / "Discora.ini", "[Setup]\r\nRun=setup\\missing\r\n");
    EXPECT_EQ(discora(""), 0);
    const std::string log = readFile(root / "msgbox.log");
    EXPECT_NE(log.find("Discora could not start the program:"), std::string::npos) << log;
    EXPECT_NE(log.find("setup/missing"), std::string::npos) << log;
}

TEST_F(DiscoraEndToEnd, StartsTheViewerOfTheSampleInstallation)
{
    ASSERT_EQ(run(quoteShell(PV_PVSAMPLE_EXE) + " " + quoteShell((root / "sample").string()) + " --people 50 --register > /dev/null"), 0);
    const char* appPaths = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\paravel";
    ASSERT_EQ(pvreg(std::string("set ") + quoteShell(appPaths) + " '' " + quoteShell(PV_PARAVEL_EXE)), 0);
    writeFile(root / "cd" / "Discora.ini",
        "[Application]\r\nRegKey=SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\paravel\r\nStart=1\r\n");
    // The viewer runs headless, quits when it first goes idle and leaves a screenshot at exit.
    writeFile(root / "quit.script", "quit\n");
    env += "PV_SCRIPT=" + quoteShell((root / "quit.script").string()) + " PV_SCREENSHOT="
        + quoteShell((root / "viewer.png").string()) + " ";

    EXPECT_EQ(discora(""), 0);
    // The start itself must not have been refused.
    EXPECT_EQ(readFile(root / "msgbox.log").find("Discora could not start"), std::string::npos);
    // A viewer that draws writes its exit screenshot; then it found its whole installation
    // without a single complaint.
    if (waitForFile(root / "viewer.png", 100)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_EQ(readFile(root / "msgbox.log"), "");
    }
}

TEST_F(DiscoraEndToEnd, FileNamesAreMatchedAsOnACd)
{
    // The disc was mastered in capitals; the settings name the files as Windows users write them.
    fs::rename(root / "cd" / "setup", root / "cd" / "SETUP");
    fs::rename(root / "cd" / "SETUP" / "setup", root / "cd" / "SETUP" / "SETUP");
    writeFile(root / "cd" / "DISCORA.INI", "[Setup]\r\nRun=Setup\\Setup\r\n");
    EXPECT_EQ(discora("-x"), 0);
    ASSERT_TRUE(waitForFile(root / "cd" / "SETUP" / "SETUP.args"));
    EXPECT_EQ(readFile(root / "cd" / "SETUP" / "SETUP.args"), "-x|");
    EXPECT_EQ(readFile(root / "msgbox.log"), "");
}
