// The grid demo's selection window driven by PV_SCRIPT: row headers selected by a click, a
// Shift-click and Ctrl-clicks (one adds a row, one takes a row back out), then rows 6-8 frozen
// at the top with F9, and column B dragged by its header to stand before E.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(GridDemoSelectE2E, CtrlAndShiftClicksThenFreezeRowsAndDragAColumn)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-select-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path script = dir / "script.txt", out = dir / "out.txt", clicked = dir / "clicked.png",
                   frozen = dir / "frozen.png";
    // Row headers at x 50; rows 3, 4, 5, 6 and 8 at y 101, 117, 133, 149 and 181; the column
    // headers at y 51, B's face at x 198, E's left edge at 398.
    std::ofstream(script) << "wait 300\nclick 50 101\nwait 600\nclick 50 133 shift\nwait 600\n"
                          << "click 50 181 ctrl\nwait 600\nclick 50 117 ctrl\nwait 600\nscreenshot " << clicked.string()
                          << "\nclick 50 149\nwait 600\nclick 50 181 shift\nwait 600\nkey F9\nwait 200\n"
                          << "click 198 51\nwait 600\ndrag 198 51 402 51\nwait 200\nscreenshot " << frozen.string()
                          << "\nquit\n";
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + script.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' '" + PV_GRIDDEMO_PATH + "' select > '" + out.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream in(out);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The dragged column stays selected where it went (B lands at D); the frozen rows lead.
    EXPECT_NE(text.find("selection C4-4\n"), std::string::npos) << text;
    EXPECT_NE(text.find("frozen 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("rows R6C1 R7C1 R8C1 R1C1 R2C1 R3C1 R4C1 R5C1 R9C1 R10C1 R11C1 R12C1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("undo 2\n"), std::string::npos) << "freezing and the move, one step each: " << text;
    EXPECT_TRUE(fs::exists(clicked));
    EXPECT_TRUE(fs::exists(frozen));
    EXPECT_FALSE(fs::exists(dir / "boxes.log"));
    fs::remove_all(dir);
}
