// The grid demo's rich text window driven by PV_SCRIPT: two lines typed into the auto-sizing
// cell, joined by Ctrl+Enter, grow its row while they are edited and are stored as RTF on Enter.

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

std::string RunRichText(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_SCREENSHOT='" +
                            (dir / "start.png").string() + "' '" + PV_GRIDDEMO_PATH + "' richtext > '" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(out);
}

// "Note at 338 86" lines, and "default height 19".
std::map<std::string, std::string> Named(const std::string& out)
{
    std::map<std::string, std::string> m;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, at, x, y;
        if (words >> name >> at >> x && at == "at" && words >> y)
            m[name] = x + " " + y;
        else if (name == "default" && at == "height")
            m["default"] = x;
    }
    return m;
}

TEST(GridDemoRichTextE2E, TypedLinesGrowTheRowAndAreStoredAsRtf)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-richtext-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto p = Named(RunRichText(dir, "quit\n"));
    ASSERT_EQ(p.count("AutoSize"), 1u);
    ASSERT_EQ(p.count("default"), 1u);
    const int nDefault = std::atoi(p["default"].c_str());

    const fs::path shot = dir / "typed.png";
    const std::string out = RunRichText(dir,
                                        "click " + p["AutoSize"] + "\n"
                                        "char First line\n"
                                        "key ENTER ctrl\n"
                                        "char second {line}\n"
                                        "screenshot " + shot.string() + "\n"
                                        "key ENTER\n"
                                        "quit\n");
    const char* const expected[] = {
        "cell Bold: height", "rtf yes \"A bold remark\"",
        "rtf yes \"Plain text, {braces} and C:\\temp\\new\"",
        "rtf yes \"A longer note with bold, italic and blue words",
        "cell AutoSize: height",
        "rtf yes \"First line\\nsecond {line}\"",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    // The row kept the height the two lines needed.
    const size_t at = out.find("cell AutoSize: height ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GT(std::atoi(out.c_str() + at + 22), nDefault + 5) << out;
    EXPECT_GT(fs::file_size(shot), 1000u);
    EXPECT_GT(fs::file_size(dir / "start.png"), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
