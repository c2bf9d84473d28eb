// The notes demo driven by PV_SCRIPT: Tab leaves the notes field, Enter in the open grade list
// picks the grade and keeps the dialog, Alt+R ticks the check box, Enter then ends with OK.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(NotesDemo, ScriptedKeysFillTheDialog)
{
    fs::path dir = fs::temp_directory_path() / ("pv-notesdemo-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        std::ofstream s(dir / "script.txt");
        s << "wait 100\n"
          << "char Needs glasses\n"
          << "key TAB\n"
          << "key F4\n"
          << "key DOWN\n"
          << "screenshot " << (dir / "dropped.png").string() << "\n"
          << "key ENTER\n"
          << "screenshot " << (dir / "picked.png").string() << "\n"
          << "key R alt\n"
          << "key ENTER\n"
          << "wait 100\n"
          << "quit\n";
    }
    std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + (dir / "script.txt").string() + "' PV_SCREENSHOT='" +
                      (dir / "final.png").string() + "' '" + PV_NOTESDEMO_PATH + "' > '" + (dir / "out.txt").string() +
                      "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::string out = readAll(dir / "out.txt");
    // The Enter that picked the grade was the list's; only the second one ended the dialog.
    EXPECT_NE(out.find("heard: grade SELENDOK\nheard: grade CLOSEUP\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("heard: ok"), out.rfind("heard: ok")) << out;
    EXPECT_NE(out.find("OK: notes \"Needs glasses\", Grade 2, remind 1\n"), std::string::npos) << out;
    for (const char* png : {"dropped.png", "picked.png", "final.png"}) EXPECT_GT(fs::file_size(dir / png), 1000u) << png;
    if (!std::getenv("PV_KEEP_E2E")) fs::remove_all(dir);
}

} // namespace
