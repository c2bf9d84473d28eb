// The grid demo's formula sheet driven by PV_SCRIPT: a sum typed and edited, a precedent changed,
// Undo and Redo, a bad formula's one message, and a relative reference moved by copy and paste.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(GridDemoFormulaE2E, TypingEditingUndoAMessageAndAPaste)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-formula-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path script = dir / "script.txt", out = dir / "out.txt", boxes = dir / "boxes.log";
    const fs::path sum = dir / "1-sum.png", edit = dir / "2-formula.png", seven = dir / "3-seven.png",
                   undone = dir / "4-undone.png", pasted = dir / "5-pasted.png";
    // Columns A to E at x 118, 198, 278, 358 and 438; rows 1 and 3 at y 69 and 101.
    auto type = [](const char* at, const char* text) {
        return std::string("click ") + at + "\nwait 600\nchar " + text + "\nkey ENTER\nwait 200\n";
    };
    std::ofstream(script) << "wait 300\n" << type("118 69", "1") << type("198 69", "2") << type("278 69", "=A1+B1")
                          << "screenshot " << sum.string() << "\n"
                          << "click 278 69\nwait 600\nkey F2\nwait 200\nscreenshot " << edit.string() << "\nkey ESC\n"
                          << type("118 69", "5") << "screenshot " << seven.string() << "\n"
                          << "key Z ctrl\nwait 200\nscreenshot " << undone.string() << "\n"
                          << "key R ctrl\nwait 200\n"
                          << type("358 69", "=1+") << type("438 69", "=A1*2")
                          << "click 438 69\nwait 600\nkey C ctrl\nclick 438 101\nwait 600\nkey V ctrl\nwait 200\n"
                          << "screenshot " << pasted.string() << "\nquit\n";
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + script.string() + "' PV_MSGBOX_LOG='" + boxes.string()
                            + "' '" + PV_GRIDDEMO_PATH + "' formula > '" + out.string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string text = FileText(out);
    EXPECT_NE(text.find("data CGXFormulaSheet\n"), std::string::npos) << text;
    for (const char* line : {"cell A1 \"5\" \"5\"", "cell B1 \"2\" \"2\"", "cell C1 \"=A1+B1\" \"7\"", "cell D1 \"\" \"\"",
                             "cell E1 \"=A1*2\" \"10\"", "cell E3 \"=A3*2\" \"Error!\""})
        EXPECT_NE(text.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << text;
    const std::string log = FileText(boxes);
    EXPECT_NE(log.find("Cell D1: ERROR: expected to find an operand here (Pos 3)"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << "one box: " << log;
    for (const fs::path& p : {sum, edit, seven, undone, pasted})
        EXPECT_TRUE(fs::exists(p)) << p;
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}
