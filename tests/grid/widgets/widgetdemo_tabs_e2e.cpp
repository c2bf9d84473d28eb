// The tab window demo driven by PV_SCRIPT: tabs clicked, Ctrl- and Shift-clicked, the strip
// scrolled, a grid's tab renamed, the splitter dragged and the grid scrolled; the state printed at
// exit shows each step was taken. The first run, without a script, says where things are.

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

std::string RunTabs(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "tabs-script.txt", out = dir / "tabs-out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "tabs-boxes.log").string() + "' '" + PV_WIDGETDEMO_PATH + "' tabs > '" +
                            out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadFile(out);
}

struct Place {
    int x = 0, y = 0, w = 0;
};

// "name X Y" and "tab N START WIDTH Y" lines.
std::map<std::string, Place> Places(const std::string& out)
{
    std::map<std::string, Place> places;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::string name;
        l >> name;
        Place p;
        if (name == "tab") {
            std::string n;
            l >> n >> p.x >> p.w >> p.y;
            name += n;
        } else {
            l >> p.x >> p.y;
        }
        if (l)
            places[name] = p;
    }
    return places;
}

TEST(WidgetDemoE2E, TabsAreSelectedScrolledRenamedAndSplit)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-widgetdemo-tabs-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto places = Places(RunTabs(dir, "quit\n"));
    ASSERT_EQ(places.count("tab11"), 1u);
    ASSERT_EQ(places.count("splitter"), 1u);
    auto at = [](int x, int y) { return std::to_string(x) + " " + std::to_string(y); };
    auto tab = [&](int n, int shiftTabs = 0) {
        const Place& p = places["tab" + std::to_string(n)];
        const int shift = places["tab" + std::to_string(shiftTabs)].x - places["tab0"].x;
        return at(p.x - shift + p.w / 2, p.y);
    };
    const Place next = places["next"], prev = places["prev"], split = places["splitter"], vdown = places["vdown"];
    const fs::path shot = dir / "renamed.png";
    const std::string out = RunTabs(dir,
                                    "click " + tab(3) + "\n"              // Clubs becomes current
                                    "wait 1000\nclick " + tab(5) + " ctrl\n"    // Music joins the selection
                                    "wait 1000\nclick " + tab(1) + " shift\n"   // Grades to Clubs
                                    "wait 1000\nclick " + at(next.x, next.y) + "\n"
                                    "wait 1000\nclick " + at(next.x, next.y) + "\n"
                                    "wait 1000\nclick " + at(prev.x, prev.y) + "\n"  // first visible: Grades
                                    "wait 1000\nclick " + tab(2, 1) + "\n"      // Rooms, a grid, is selected
                                    "wait 1000\nclick " + tab(2, 1) + " double\n"
                                    "char Classrooms\n"
                                    "key ENTER\n"
                                    "screenshot " + shot.string() + "\n"
                                    "drag " + at(split.x, split.y) + " " + at(split.x - 100, split.y) + "\n"
                                    "wait 1000\nclick " + at(vdown.x, vdown.y) + "\n"
                                    "wait 1000\nclick " + at(vdown.x, vdown.y) + "\n"
                                    "wait 1000\nclick " + at(vdown.x, vdown.y) + "\n"
                                    "quit\n");
    EXPECT_NE(out.find("labels Staff,Grades,Classrooms,Clubs,Sports,Music,Library,Buses,Meals,Events,Alumni,Notes\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("current 2 first 1 selected 011101000000\n"), std::string::npos) << out;
    EXPECT_NE(out.find("split 296\n"), std::string::npos) << out;
    EXPECT_NE(out.find("grid 2 \"Classrooms\" top 4 left 1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("grid 1 \"Grades\" top 1 left 1\n"), std::string::npos) << out;
    EXPECT_TRUE(ReadFile(dir / "tabs-boxes.log").empty()) << "no message box";
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
