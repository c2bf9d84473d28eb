// The grid demo's cell-control window driven by PV_SCRIPT: typing into the password cell and
// copying leaves the clipboard alone, the spin arrows step, check boxes and radio buttons take
// clicks and Space, the editing kinds store on Enter, and the push button and the hot spot
// reach the grid's button hook.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunControlsDemo(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' '" + PV_GRIDDEMO_PATH + "' controls > '" +
                            out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadFile(out);
}

// "Spin at 338 86" lines.
std::map<std::string, std::string> Points(const std::string& out)
{
    std::map<std::string, std::string> points;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, at, x, y;
        if (words >> name >> at >> x >> y && at == "at")
            points[name] = x + " " + y;
    }
    return points;
}

TEST(GridDemoControlsE2E, EveryKindTakesItsInput)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-controls-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto p = Points(RunControlsDemo(dir, "quit\n"));
    for (const char* name : {"Password", "spinup", "spindown", "hotspot", "boxCheck", "Check3D", "boxCheckEx",
                             "firstRadio3D", "RadioEx", "Push"})
        ASSERT_EQ(p.count(name), 1u) << name;

    const fs::path shot = dir / "controls.png";
    const std::string out = RunControlsDemo(dir,
                                            "click " + p["Password"] + "\n"
                                            "char pw1\n"
                                            "key C ctrl\n"
                                            "key X ctrl\n"
                                            "key DELETE shift\n"
                                            "key ENTER\n"
                                            "click " + p["spinup"] + "\n"
                                            "click " + p["spinup"] + "\n"
                                            "click " + p["spindown"] + "\n"
                                            "key ENTER\n"
                                            "click " + p["hotspot"] + "\n"
                                            "click " + p["boxCheck"] + "\n"
                                            "click " + p["Check3D"] + "\n"
                                            "key SPACE\n"
                                            "click " + p["boxCheckEx"] + "\n"
                                            "key ENTER\n"
                                            "key DOWN\n"
                                            "key SPACE\n"
                                            "key ENTER\n"
                                            "key DOWN\n"
                                            "key SPACE\n"
                                            "click " + p["firstRadio3D"] + "\n"
                                            "click " + p["RadioEx"] + "\n"
                                            "key SPACE\n"
                                            "key ENTER\n"
                                            "click " + p["Push"] + "\n"
                                            "screenshot " + shot.string() + "\n"
                                            "quit\n");
    const char* const expected[] = {
        "cell Password: \"pw1\"\n", "cell Spin: \"6\"\n",       "cell Check: \"1\"\n",    "cell Check3D: \"0\"\n",
        "cell CheckEx: \"1\"\n",    "cell Check3DEx: \"1\"\n",  "cell Radio: \"1\"\n",    "cell Radio3D: \"0\"\n",
        "cell RadioEx: \"1\"\n",    "clipboard \"\"\n",         "button 3,2\n",           "button 12,2\n",
        "button 6,2\nbutton 7,2\nbutton 9,2\nbutton 12,2\n",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    EXPECT_EQ(out.find("pw1\"\nclip"), std::string::npos);
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
