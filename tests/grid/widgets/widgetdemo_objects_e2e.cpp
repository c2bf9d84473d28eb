// The object cells driven by PV_SCRIPT: each row's hot spot clicked (an object opens in its
// viewer, an empty cell, a wrong signature and offsets past the end are refused), Escape, copy,
// cut and Delete against an open viewer and on refused bytes, row 1's object copied into row 2,
// then deleted from row 1. The message boxes and the records at exit show each step.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunObjects(const fs::path& dir, const std::string& script, const fs::path& log)
{
    const fs::path scriptFile = dir / "objects-script.txt", out = dir / "objects-out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" + log.string() +
                            "' '" + PV_WIDGETDEMO_PATH + "' objects > '" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadText(out);
}

// "button N X Y" and "cell N X Y" lines, as "X Y" by "buttonN" and "cellN".
std::map<std::string, std::string> Places(const std::string& out)
{
    std::map<std::string, std::string> places;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        std::istringstream l(line);
        std::string what, n, x, y;
        if ((l >> what >> n >> x >> y) && (what == "button" || what == "cell"))
            places[what + n] = x + " " + y;
    }
    return places;
}

TEST(WidgetDemoE2E, ObjectCellsOpenRefuseCopyAndDelete)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-widgetdemo-objects-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string first = RunObjects(dir, "quit\n", dir / "first.log");
    auto at = Places(first);
    ASSERT_EQ(at.count("button4"), 1u) << first;
    // At the start: the object's record and three damaged or empty ones.
    EXPECT_NE(first.find("record 1 length 59 hash"), std::string::npos) << first;
    EXPECT_NE(first.find("record 2 length 0 hash 811c9dc5\n"), std::string::npos) << first;

    const fs::path shot = dir / "viewer.png", log = dir / "boxes.log";
    const std::string out = RunObjects(dir,
                                       "click " + at["button1"] + "\n"   // the object opens
                                       "wait 800\n"
                                       "screenshot " + shot.string() + "\n"
                                       "key ESCAPE\n"                    // and closes
                                       "wait 800\nclick " + at["button2"] + "\n"  // 20207
                                       "wait 800\nclick " + at["button3"] + "\n"  // 20134
                                       "wait 800\nclick " + at["button4"] + "\n"  // 20134
                                       "wait 800\nclick " + at["cell3"] + "\n"     // copy: 20134, 20203
                                       "key C ctrl\n"
                                       "wait 800\nclick " + at["cell4"] + "\n"  // cut: 20134, 20204
                                       "key X ctrl\n"
                                       "wait 800\nclick " + at["button1"] + "\n"  // open again
                                       "wait 800\nclick " + at["cell1"] + "\n"    // back in the grid
                                       "key DELETE\n"                    // 20206, the viewer forward
                                       "key ESCAPE\n"                    // closes it
                                       "wait 800\nclick " + at["cell1"] + "\n"
                                       "key C ctrl\n"                    // row 1's object
                                       "key DOWN\n"
                                       "key V ctrl\n"                    // into row 2
                                       "key UP\n"                        // leaving row 2 stores it
                                       "key DELETE\n"                    // row 1's object goes
                                       "quit\n",
                                       log);
    // Every message box of the run, as the log has it, with what made it.
    struct Box {
        const char* trigger;
        const char* text;
        const char* icon;
    };
    const Box boxes[] = {
        {"row 2's hot spot: an empty cell", "Failed to invoke insert object dialog.", "warning"},
        {"row 3's hot spot: a wrong signature", "The binary data is not valid.", "warning"},
        {"row 4's hot spot: offsets past the end", "The binary data is not valid.", "warning"},
        {"Ctrl+C on row 3: its bytes are read", "The binary data is not valid.", "warning"},
        {"Ctrl+C on row 3: nothing to copy", "The copy operation failed", "warning"},
        {"Ctrl+X on row 4: its bytes are read", "The binary data is not valid.", "warning"},
        {"Ctrl+X on row 4: nothing to cut", "The cut operation failed", "warning"},
        {"Delete while row 1's viewer is open", "You have already spawned a viewer. Please use this for editing",
         "information"},
    };
    std::vector<std::string> want;
    for (const Box& b : boxes)
        want.push_back(std::string("{\"caption\": \"pv_widgetdemo\", \"text\": \"") + b.text +
                       "\", \"buttons\": \"ok\", \"icon\": \"" + b.icon + "\", \"answer\": \"ok\"}");
    std::vector<std::string> got;
    {
        std::istringstream in(ReadText(log));
        for (std::string line; std::getline(in, line);)
            got.push_back(line);
    }
    ASSERT_EQ(got.size(), std::size(boxes)) << ReadText(log);
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], want[i]) << boxes[i].trigger;
    // Row 1's object now in row 2, row 1 empty, the damaged records as they were.
    const auto line = [&](const std::string& s, int n) {
        const size_t p = s.find("record " + std::to_string(n) + " ");
        return p == std::string::npos ? std::string() : s.substr(p, s.find('\n', p) - p);
    };
    const std::string object = line(first, 1).substr(std::string("record 1").size());
    EXPECT_EQ(line(out, 2), "record 2" + object) << out;
    EXPECT_EQ(line(out, 1), "record 1 length 0 hash 811c9dc5") << out;
    EXPECT_EQ(line(out, 3), line(first, 3));
    EXPECT_EQ(line(out, 4), line(first, 4));
    ASSERT_TRUE(fs::exists(shot));
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
