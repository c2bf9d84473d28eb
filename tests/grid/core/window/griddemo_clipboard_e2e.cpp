// The grid demo's clipboard end to end. Headless: Ctrl+C of a 2 x 2 block, Ctrl+V at another
// cell, Delete, Ctrl+Z and a drag of the fill handle, checked through the values the demo prints
// at exit, with screenshots of each step. Under Xvfb with the SDL2 back end: the demo copies
// B2:D4 and xclip reads its exact bytes from the desktop's clipboard; text set with xclip (LF
// ends, a trailing LF) pastes into the demo. Without Xvfb or xclip that test is skipped.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunHeadless(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' timeout 120 '" + PV_GRIDDEMO_PATH + "' > '" +
                            out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadFile(out);
}

std::map<std::string, std::string> Points(const std::string& out)
{
    std::map<std::string, std::string> points;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        std::string kind, cell, at, x, y;
        if (l >> kind >> cell >> at >> x >> y && at == "at")
            points[kind + " " + cell] = x + " " + y;
    }
    return points;
}

TEST(GridDemoClipboardE2E, CopyPasteDeleteUndoAndAFillHandleDrag)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-clip-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto p = Points(RunHeadless(dir, "quit\n"));
    for (const char* k : {"cell 50001,2", "cell 50002,3", "cell 50002,2", "cell 50006,2", "cell 50010,2", "handle 50002,2"})
        ASSERT_EQ(p.count(k), 1u) << k;
    const fs::path copied = dir / "1-copied.png", pasted = dir / "2-pasted.png", deleted = dir / "3-deleted.png",
                   undone = dir / "4-undone.png", filled = dir / "5-filled.png";
    const std::string out = RunHeadless(dir,
        "click " + p["cell 50001,2"] + "\n" +
        "drag " + p["cell 50001,2"] + " " + p["cell 50002,3"] + "\n" +
        "key C ctrl\n"
        "screenshot " + copied.string() + "\n" +
        "click " + p["cell 50010,2"] + "\n" +
        "key V ctrl\n"
        "screenshot " + pasted.string() + "\n" +
        "key DELETE\n"
        "screenshot " + deleted.string() + "\n" +
        "key Z ctrl\n"
        "screenshot " + undone.string() + "\n" +
        "click " + p["cell 50001,2"] + "\n" +
        "drag " + p["cell 50001,2"] + " " + p["cell 50002,2"] + "\n" +
        "drag " + p["handle 50002,2"] + " " + p["cell 50006,2"] + "\n" +
        "screenshot " + filled.string() + "\n" +
        "quit\n");
    // Pasted: the 2 x 2 block of made-up values; Delete cleared the current cell and Ctrl+Z
    // brought it back; the fill repeats rows 50,001 and 50,002 of column 2 four times.
    const char* const expected[] = {
        "value 50003,2: Gia\n", "value 50004,2: Hal\n", "value 50005,2: Gia\n", "value 50006,2: Hal\n",
        "value 50010,2: Gia\n", "value 50010,3: 10\n",  "value 50011,2: Hal\n", "value 50011,3: 11\n",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    EXPECT_EQ(out.find("value 50007,2"), std::string::npos) << out;
    // Paste and the fill on the undo list; the Clear was taken back, and the fill, a new step,
    // emptied the redo list.
    EXPECT_NE(out.find("undo 2 redo 0\n"), std::string::npos) << out;
    for (const fs::path& shot : {copied, pasted, deleted, undone, filled})
        EXPECT_GT(fs::file_size(shot), 1000u) << shot;
    EXPECT_EQ(ReadFile(dir / "boxes.log"), "") << "no message box";
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

bool HaveTool(const char* name)
{
    for (const char* d : {"/usr/bin/", "/bin/", "/usr/local/bin/"})
        if (fs::exists(std::string(d) + name))
            return true;
    return false;
}

// Keys to (row, column): Esc drops the demo's selection, Ctrl+Home goes to the first cell below
// the frozen row 1, (2, 1).
std::string KeysTo(int nRow, int nCol)
{
    std::string s = "key ESC\nkey HOME ctrl\n";
    for (int r = 2; r < nRow; ++r)
        s += "key DOWN\n";
    for (int c = 1; c < nCol; ++c)
        s += "key RIGHT\n";
    return s;
}

TEST(GridDemoClipboardE2E, TheDesktopsClipboardUnderXvfbWithSdl)
{
    if (!HaveTool("xvfb-run") || !HaveTool("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    if (!HaveTool("xclip"))
        GTEST_SKIP() << "xclip is not installed";
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-xclip-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path copyScript = dir / "copy.txt", pasteScript = dir / "paste.txt", copied = dir / "copied.bin",
                   out1 = dir / "out1.txt", out2 = dir / "out2.txt", shell = dir / "run.sh";
    // B2:D4 selected with the keys, copied; the demo keeps running while xclip reads it.
    std::ofstream(copyScript) << "wait 300\n" << KeysTo(2, 2) << "key DOWN shift\nkey DOWN shift\n"
                              << "key RIGHT shift\nkey RIGHT shift\nkey C ctrl\nwait 4000\nquit\n";
    std::ofstream(pasteScript) << "wait 500\n" << KeysTo(6, 2) << "key V ctrl\nwait 300\nquit\n";
    // Every wait is bounded: the demos by timeout, the polling loop by its count, xclip's
    // serving by timeout.
    std::ofstream(shell) << "#!/bin/sh\n"
                         << "export PV_BACKEND=sdl ASAN_OPTIONS=detect_leaks=0\n"
                         << "PV_SCRIPT='" << copyScript.string() << "' timeout 30 '" << PV_GRIDDEMO_PATH << "' > '"
                         << out1.string() << "' 2>&1 &\n"
                         << "demo=$!\n"
                         << "i=0\n"
                         << "while [ $i -lt 60 ]; do\n"
                         << "  timeout 2 xclip -o -selection clipboard > '" << copied.string() << "' 2>/dev/null\n"
                         << "  if [ -s '" << copied.string() << "' ]; then break; fi\n"
                         << "  sleep 0.1; i=$((i+1))\n"
                         << "done\n"
                         << "wait $demo\n"
                         << "printf 'p1\\tq1\\np2\\tq2\\n' | timeout 20 xclip -i -selection clipboard &\n"
                         << "sleep 0.3\n"
                         << "PV_SCRIPT='" << pasteScript.string() << "' timeout 30 '" << PV_GRIDDEMO_PATH << "' > '"
                         << out2.string() << "' 2>&1\n"
                         << "status=$?\n"
                         << "kill %1 2>/dev/null\n"
                         << "exit $status\n";
    const std::string cmd = "timeout 90 xvfb-run -a -s '-screen 0 1280x800x24' sh '" + shell.string() + "' > '" +
                            (dir / "run.log").string() + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << ReadFile(dir / "run.log") << ReadFile(out1) << ReadFile(out2);
    EXPECT_EQ(ReadFile(copied), "Cleo\t3\tB-02\r\nDan\t4\tB-03\r\nEve\t5\tB-04\r\n") << ReadFile(out1);
    const std::string pastedOut = ReadFile(out2);
    for (const char* line : {"value 6,2: p1\n", "value 6,3: q1\n", "value 7,2: p2\n", "value 7,3: q2\n"})
        EXPECT_NE(pastedOut.find(line), std::string::npos) << line << pastedOut;
    EXPECT_EQ(pastedOut.find("value 8,"), std::string::npos) << "the trailing LF adds no row\n" << pastedOut;
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
