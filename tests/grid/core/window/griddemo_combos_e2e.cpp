// The grid demo's combo window driven by PV_SCRIPT: each kind of combo cell opened by its
// button or Alt+Down, a choice made by keys or by a click in the list, and committed with
// Enter; typed text that the list completes; ticks in the check list; the stored values printed.

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

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunCombos(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' '" + PV_GRIDDEMO_PATH + "' combos > '" + out.string() +
                            "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(out);
}

struct Spot {
    int x = 0, y = 0, step = 0;
};

// "Combo at 288 70", "buttonCombo at 379 70", "list TextFit at 287 102 step 15".
std::map<std::string, Spot> Spots(const std::string& out)
{
    std::map<std::string, Spot> spots;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, name, at, step;
        Spot s;
        if (!(words >> first))
            continue;
        if (first == "list") {
            if (words >> name >> at >> s.x >> s.y >> step >> s.step && at == "at")
                spots["list" + name] = s;
        } else if (words >> at >> s.x >> s.y && at == "at") {
            spots[first] = s;
        }
    }
    return spots;
}

std::string At(const Spot& s, int nEntry = 0)
{
    return std::to_string(s.x) + " " + std::to_string(s.y + nEntry * s.step);
}

TEST(GridDemoCombosE2E, EachKindOpensPicksAndCommits)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-combos-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Where the cells and buttons are, and where the lists open.
    auto p = Spots(RunCombos(dir, "quit\n"));
    for (const char* name : {"Combo", "buttonTextFit", "ZeroBased", "OneChoice", "buttonZeroChoice", "buttonTabbed",
                             "buttonCheckList"})
        ASSERT_EQ(p.count(name), 1u) << name;
    auto lists = Spots(RunCombos(dir, "click " + At(p["buttonTextFit"]) + "\nkey ESCAPE\nclick " +
                                          At(p["buttonZeroChoice"]) + "\nkey ESCAPE\nquit\n"));
    ASSERT_EQ(lists.count("listTextFit"), 1u);
    ASSERT_EQ(lists.count("listZeroChoice"), 1u);
    ASSERT_GT(lists["listTextFit"].step, 0);

    const fs::path shot = dir / "tabbed.png";
    const std::string out = RunCombos(dir,
                                      // Alt+Down, two entries down, Enter picks, Enter stores.
                                      "click " + At(p["Combo"]) + "\n"
                                      "key DOWN alt\nkey DOWN\nkey DOWN\nkey ENTER\nkey ENTER\n"
                                      // The button opens; a click on "apple" picks it.
                                      "click " + At(p["buttonTextFit"]) + "\n"
                                      "click " + At(lists["listTextFit"], 1) + "\n"
                                      "key ENTER\n"
                                      "click " + At(p["ZeroBased"]) + "\n"
                                      "key DOWN alt\nkey DOWN\nkey DOWN\nkey ENTER\nkey ENTER\n"
                                      // Typed text shows "Banana" and stores its one-based index.
                                      "click " + At(p["OneChoice"]) + "\n"
                                      "char ban\nkey ENTER\n"
                                      // A click on "apple" stores its index, not that of "1st".
                                      "click " + At(p["buttonZeroChoice"]) + "\n"
                                      "click " + At(lists["listZeroChoice"], 1) + "\n"
                                      "key ENTER\n"
                                      "click " + At(p["buttonTabbed"]) + "\n"
                                      "screenshot " + shot.string() + "\n"
                                      "key DOWN\nkey ENTER\nkey ENTER\n"
                                      "click " + At(p["buttonCheckList"]) + "\n"
                                      "key DOWN\nkey SPACE\nkey ENTER\n"
                                      "quit\n");
    const char* const expected[] = {
        "cell Combo: \"Banana\"\n", "cell TextFit: \"apple\"\n", "cell ZeroBased: \"2\"\n", "cell OneBased: \"\"\n",
        "cell ZeroChoice: \"1\"\n", "cell OneChoice: \"3\"\n",   "cell Tabbed: \"2\"\n",    "cell CheckList: \"3\"\n",
        "list Tabbed at ",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

// The system combo box cells: opened by a click, Alt+Down and the button, picks by keys and by
// the mouse, typing that completes, Esc, Enter and Tab; the list box cell only visited keeps its
// value; a screenshot with the multi-column list dropped under its title strip.
TEST(GridDemoCombosE2E, SystemComboCellsOpenPickAndCommit)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-wndcombos-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto p = Spots(RunCombos(dir, "quit\n"));
    for (const char* name : {"WndCombo", "WndList", "WndTabbed", "buttonWndTabbed", "WndTabbedList", "ListBox"})
        ASSERT_EQ(p.count(name), 1u) << name;
    // Where the lists open.
    auto lists = Spots(RunCombos(dir, "click " + At(p["WndList"]) + "\nkey ESCAPE\nclick " + At(p["WndTabbedList"]) +
                                          "\nkey ESCAPE\nquit\n"));
    ASSERT_EQ(lists.count("listWndList"), 1u);
    ASSERT_EQ(lists.count("listWndTabbedList"), 1u);
    ASSERT_GT(lists["listWndList"].step, 0);
    EXPECT_GT(lists["listWndTabbedList"].y, p["WndTabbedList"].y + 10) << "the titles lie between the cell and the list";

    const fs::path shot = dir / "tabbedwnd.png";
    const std::string out = RunCombos(
        dir,
        // A click activates the drop-down; Alt+Down opens it; two entries down; Enter closes the
        // list, Enter stores.
        "click " + At(p["WndCombo"]) + "\n"
        "key DOWN alt\nkey DOWN\nkey DOWN\nkey ENTER\nkey ENTER\n"
        // Alt+Down and Esc: the list closes, the value stays.
        "click " + At(p["WndCombo"]) + "\n"
        "key DOWN alt\nkey DOWN\nkey ESCAPE\nkey ESCAPE\n"
        // A click opens the drop-down list; a click on "Banana" picks it; Enter stores.
        "click " + At(p["WndList"]) + "\n"
        "click " + At(lists["listWndList"], 2) + "\n"
        "key ENTER\n"
        // The button opens the multi-column drop-down; typing completes "Cherry"; Tab stores its key.
        "click " + At(p["buttonWndTabbed"]) + "\n"
        "char ch\nkey TAB\n"
        // A click opens the multi-column list under its titles; Down, Enter, Enter store "2".
        "click " + At(p["WndTabbedList"]) + "\n"
        "screenshot " + shot.string() + "\n"
        "key DOWN\nkey ENTER\nkey ENTER\n"
        // Esc with the list open: one press closes and cancels.
        "click " + At(p["WndTabbedList"]) + "\n"
        "key DOWN\nkey ESCAPE\n"
        // The list box cell is visited by keys only, and left.
        "click " + At(p["WndTabbedList"]) + "\nkey ESCAPE\nkey DOWN\nkey TAB\n"
        "quit\n");
    const char* const expected[] = {
        "cell WndCombo: \"apple\"\n", "cell WndList: \"Banana\"\n", "cell WndTabbed: \"3\"\n",
        "cell WndTabbedList: \"2\"\n", "cell ListBox: \"gr\"\n",    "list WndTabbedList at ",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
