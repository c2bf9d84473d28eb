// The widget demo driven by PV_SCRIPT: typed digits, the decimal separator, the sign, Backspace,
// Delete and Ctrl+Z edit the English currency edit; the calculator doubles its value; a second
// calculator is left with Escape. The values printed at exit show each step was taken.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunDemo(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' '" + PV_WIDGETDEMO_PATH + "' currency > '" +
                            out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(out);
}

TEST(WidgetDemoE2E, TypedEditsAndTheCalculatorReachTheValue)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-widgetdemo-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path shot = dir / "calculator.png";
    const std::string out = RunDemo(dir,
                                    "char 42\n"       // replaces the selected whole: $42.00
                                    "char .\n"        // past the separator
                                    "char 75\n"       // overtypes the decimals: $42.75
                                    "char -\n"        // ($42.75)
                                    "key BACK\n"      // the last decimal becomes 0: ($42.70)
                                    "key HOME\n"
                                    "key DELETE\n"    // the first digit goes: ($2.70)
                                    "key Z ctrl\n"    // back to ($42.70)
                                    "key F4\n"
                                    "char *2\n"
                                    "key ENTER\n"     // ($85.40)
                                    "key F4\n"
                                    "screenshot " + shot.string() + "\n"
                                    "key ESCAPE\n"    // nothing changes
                                    "quit\n");
    EXPECT_NE(out.find("english -85.40 \"($85.40)\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("german 1234.50 \"1.234,50 \xE2\x82\xAC\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("readonly -987.65 \"-987,65 \xE2\x82\xAC\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("calculator \"12.5\"\n"), std::string::npos) << out;
    EXPECT_TRUE(ReadAll(dir / "boxes.log").empty()) << "no message box";
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
