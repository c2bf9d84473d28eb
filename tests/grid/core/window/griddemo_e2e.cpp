// The grid demo driven by PV_SCRIPT: a click and typed text are stored when Enter leaves the
// cell; "25" in the cell that takes 10 to 20 shows one warning and stays in its editor.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/gdi/gdi.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Runs the demo headless with a script; answers its standard output.
std::string RunDemo(const fs::path& dir, const std::string& script, const fs::path& msgboxLog)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            msgboxLog.string() + "' '" + PV_GRIDDEMO_PATH + "' > '" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(out);
}

// "cell 50001,2 at 276 126" lines: where the demo says its cells lie on the screen.
std::map<std::string, std::string> CellPoints(const std::string& out)
{
    std::map<std::string, std::string> points;
    std::istringstream in(out);
    std::string kind, cell, at, x, y;
    while (in >> kind >> cell >> at >> x >> y)
        if (at == "at")
            points[kind + " " + cell] = x + " " + y;
    return points;
}

TEST(GridDemoE2E, TypedTextIsStoredAndAnInvalidGradeStaysWithOneWarning)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto points = CellPoints(RunDemo(dir, "quit\n", dir / "layout-boxes.log"));
    ASSERT_EQ(points.count("cell 50001,2"), 1u);
    ASSERT_EQ(points.count("graded 50001,3"), 1u);

    const fs::path boxes = dir / "boxes.log", shot = dir / "editing.png";
    const std::string out = RunDemo(dir,
                                    "click " + points["cell 50001,2"] + "\n" +
                                        "char Hello\n"
                                        "key ENTER\n"
                                        "click " + points["graded 50001,3"] + "\n" +
                                        "char 25\n"
                                        "screenshot " + shot.string() + "\n" +
                                        "key ENTER\n"
                                        "quit\n",
                                    boxes);
    EXPECT_NE(out.find("value 50001,2: Hello\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("value 50001,3"), std::string::npos) << "the refused grade is not stored\n" << out;
    const std::string log = ReadAll(boxes);
    EXPECT_NE(log.find("\"text\": \"Grades run from 10 to 20.\""), std::string::npos) << log;
    EXPECT_EQ(log.find('\n'), log.size() - 1) << "exactly one box\n" << log;
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

// Ctrl+Z takes the typed value back and Ctrl+R brings it again; the screenshots show both.
TEST(GridDemoE2E, CtrlZTakesTypedTextBackAndCtrlRBringsItAgain)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-undo-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto points = CellPoints(RunDemo(dir, "quit\n", dir / "layout-boxes.log"));
    ASSERT_EQ(points.count("cell 50001,2"), 1u);
    const std::string typed = "click " + points["cell 50001,2"] + "\nchar Hello\nkey ENTER\n";
    const fs::path undone = dir / "undone.png", redone = dir / "redone.png";
    const std::string afterUndo =
        RunDemo(dir, typed + "key Z ctrl\nscreenshot " + undone.string() + "\nquit\n", dir / "boxes1.log");
    // The demo makes its values up in FetchStoredStyle, so Undo stores back the one shown before.
    EXPECT_NE(afterUndo.find("current 50001,2: \"Gia\"\nundo 0 redo 1\n"), std::string::npos) << afterUndo;
    const std::string afterRedo = RunDemo(
        dir, typed + "key Z ctrl\nscreenshot " + undone.string() + "\nkey R ctrl\nscreenshot " + redone.string() + "\nquit\n",
        dir / "boxes2.log");
    EXPECT_NE(afterRedo.find("current 50001,2: \"Hello\"\nundo 1 redo 0\n"), std::string::npos) << afterRedo;
    EXPECT_GT(fs::file_size(undone), 1000u);
    EXPECT_GT(fs::file_size(redone), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

// The screenshot's pixels (0x00RRGGBB) that have the colour of a tip's background.
int TipBackgroundPixels(const fs::path& png)
{
    CBitmap bm;
    if (!bm.PvLoadImageFile(png.c_str()))
        return -1;
    BITMAP info {};
    bm.GetBitmap(&info);
    std::vector<uint32_t> px(size_t(info.bmWidth) * size_t(info.bmHeight));
    bm.GetBitmapBits(DWORD(px.size() * 4), px.data());
    const COLORREF c = GetSysColor(COLOR_INFOBK);
    const uint32_t want = (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    int n = 0;
    for (uint32_t v : px)
        n += (v & 0xFFFFFF) == want;
    return n;
}

// Resting on the cut-off text shows it whole in a tip; two wheel notches toward the user
// scroll six rows and take the tip away, leaving no trace of it.
TEST(GridDemoE2E, TipOverACutOffTextAndTheWheelScrollsItAway)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-tip-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto points = CellPoints(RunDemo(dir, "quit\n", dir / "layout-boxes.log"));
    ASSERT_EQ(points.count("long 50002,4"), 1u);
    const fs::path tip = dir / "tip.png", wheeled = dir / "wheeled.png";
    const std::string out = RunDemo(dir,
                                    "move " + points["long 50002,4"] + "\nwait 600\nscreenshot " + tip.string() +
                                        "\nwheel " + points["long 50002,4"] + " -2\nscreenshot " + wheeled.string() +
                                        "\nquit\n",
                                    dir / "boxes.log");
    EXPECT_NE(out.find("top 50006\n"), std::string::npos) << out;
    EXPECT_GT(TipBackgroundPixels(tip), 1000);
    EXPECT_EQ(TipBackgroundPixels(wheeled), 0);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace

namespace {

// The "scores [a] [b] ..." line at exit: the scores of the first rows shown.
std::vector<std::string> Scores(const std::string& out)
{
    std::vector<std::string> v;
    const size_t at = out.find("scores ");
    if (at == std::string::npos)
        return v;
    std::istringstream in(out.substr(at + 7, out.find('\n', at) - at - 7));
    std::string item;
    while (in >> item)
        v.push_back(item.substr(1, item.size() - 2));
    return v;
}

double Number(const std::string& s) { return s.empty() ? 0.0 : std::stod(s); }

// A double click on the Score header sorts by the numbers (a second one reverses); Ctrl+Z brings
// the first order back. The screenshots show the sorted rows and the first order again.
TEST(GridDemoE2E, HeaderDoubleClickSortsTheScoresAndCtrlZTakesItBack)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-sort-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto points = CellPoints(RunDemo(dir, "quit\n", dir / "layout-boxes.log"));
    ASSERT_EQ(points.count("header 0,7"), 1u);
    const std::string top = "key HOME ctrl\n", header = "click " + points["header 0,7"] + " double\n";
    const std::vector<std::string> first = Scores(RunDemo(dir, top + "quit\n", dir / "boxes0.log"));
    ASSERT_EQ(first.size(), 6u);

    const std::string up = RunDemo(dir, top + header + "quit\n", dir / "boxes1.log");
    const std::vector<std::string> ascending = Scores(up);
    ASSERT_EQ(ascending.size(), 6u) << up;
    EXPECT_EQ(ascending[0], "-49998.5") << "numbers as numbers: the least after row 1's";
    for (size_t i = 1; i < ascending.size(); ++i)
        EXPECT_LE(Number(ascending[i - 1]), Number(ascending[i])) << up;
    EXPECT_NE(up.find("undo 1 redo 0\n"), std::string::npos) << up;

    const std::string down = RunDemo(dir, top + header + "wait 50\n" + header + "quit\n", dir / "boxes2.log");
    const std::vector<std::string> descending = Scores(down);
    ASSERT_EQ(descending.size(), 6u) << down;
    for (size_t i = 1; i < descending.size(); ++i)
        EXPECT_GE(Number(descending[i - 1]), Number(descending[i])) << down;

    const fs::path sorted = dir / "sorted.png", undone = dir / "undone.png";
    const std::string back = RunDemo(dir,
                                     top + header + "screenshot " + sorted.string() + "\nkey Z ctrl\nscreenshot " +
                                         undone.string() + "\nquit\n",
                                     dir / "boxes3.log");
    EXPECT_EQ(Scores(back), first) << back;
    EXPECT_NE(back.find("undo 0 redo 1\n"), std::string::npos) << back;
    EXPECT_EQ(ReadAll(dir / "boxes3.log"), "") << "no message";
    EXPECT_GT(fs::file_size(sorted), 1000u);
    EXPECT_GT(fs::file_size(undone), 1000u);
    EXPECT_NE(ReadAll(sorted), ReadAll(undone));
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

std::string Shell(const std::string& cmd)
{
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// Printed straight to a PDF file: the page tree counts the pages the demo printed, every page
// repeats the column headers and the frozen row, and the footer numbers the pages.
TEST(GridDemoE2E, PrintsToAPdfInPages)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-print-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path pdf = dir / "demo.pdf";
    const std::string out = Shell("PV_BACKEND=headless '" + std::string(PV_GRIDDEMO_PATH) + "' print '" + pdf.string() + "'");
    unsigned nPages = 0;
    ASSERT_EQ(std::sscanf(out.c_str(), "pages %u", &nPages), 1) << out;
    EXPECT_GT(nPages, 4u);
    const std::string bytes = ReadAll(pdf);
    EXPECT_NE(bytes.find("/Count " + std::to_string(nPages)), std::string::npos);
    if (Shell("command -v pdftotext").empty())
        GTEST_SKIP() << "poppler-utils is not installed";
    auto pageText = [&](unsigned n) {
        return Shell("pdftotext -layout -f " + std::to_string(n) + " -l " + std::to_string(n) + " '" + pdf.string() + "' -");
    };
    const std::string first = pageText(1), second = pageText(2), fourth = pageText(4);
    EXPECT_NE(first.find("Grid demo"), std::string::npos) << "the grid's name heads the page";
    EXPECT_NE(first.find("1/" + std::to_string(nPages)), std::string::npos);
    EXPECT_NE(second.find("2/" + std::to_string(nPages)), std::string::npos);
    EXPECT_NE(second.find("Street"), std::string::npos) << "the next columns, headers repeated";
    EXPECT_NE(fourth.find("Last name"), std::string::npos);
    EXPECT_NE(fourth.find("Baker"), std::string::npos) << "the frozen row on a later page row";
    EXPECT_EQ(fourth.find(" 54 "), std::string::npos) << "the rows of the first page row stay there";
    EXPECT_EQ(std::system(("pdftoppm -f 1 -l 2 -r 50 -png '" + pdf.string() + "' '" + (dir / "page").string() + "'").c_str()), 0);
    EXPECT_TRUE(fs::exists(dir / "page-01.png") || fs::exists(dir / "page-1.png"));
    fs::remove_all(dir);
}

}  // namespace
