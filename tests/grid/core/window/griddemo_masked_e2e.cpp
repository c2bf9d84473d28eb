// The grid demo's masked window driven by PV_SCRIPT: a phone number typed through its mask, an
// amount typed and its sign flipped with Space, a date typed field by field after its calendar
// was dropped by Alt+Down and by its button, a time's hour typed; Enter after each, and the
// stored values printed. The screenshot shows the inactive cells drawn gadget by gadget.

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

std::string RunMasked(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                            (dir / "boxes.log").string() + "' '" + PV_GRIDDEMO_PATH + "' masked > '" + out.string() +
                            "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadAll(out);
}

// "Phone at 208 74".
std::map<std::string, std::string> Spots(const std::string& out)
{
    std::map<std::string, std::string> spots;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, at;
        int x = 0, y = 0;
        if (words >> name >> at >> x >> y && at == "at")
            spots[name] = std::to_string(x) + " " + std::to_string(y);
    }
    return spots;
}

TEST(GridDemoMaskedE2E, TypesIntoEachCellAndStoresPlainValues)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-griddemo-masked-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto p = Spots(RunMasked(dir, "quit\n"));
    for (const char* name : {"Phone", "Currency", "Date", "Time", "buttonDate"})
        ASSERT_EQ(p.count(name), 1u) << name;
    // A click on the kind and Right make each cell current without editing it, so the first
    // character typed replaces its value.
    auto enter = [&](const char* name) {
        std::istringstream xy(p[name]);
        int x = 0, y = 0;
        xy >> x >> y;
        return "click 100 " + std::to_string(y) + "\nkey RIGHT\n";
    };
    const fs::path shot = dir / "masked.png";
    const std::string out = RunMasked(dir, enter("Phone") + "char 5551234567\nkey ENTER\n" +
                                               enter("Currency") + "char 42\nkey SPACE\nkey ENTER\n" +
                                               enter("Date") + "key DOWN alt\nwait 100\nkey ESCAPE\n"
                                               "click " + p["buttonDate"] + "\nwait 100\nkey ESCAPE\n"
                                               "char 1\nkey RIGHT\nchar 2\nkey RIGHT\nchar 2001\nkey ENTER\n" +
                                               enter("Time") + "char 9\nkey ENTER\n" +
                                               enter("Date") + "wait 100\nscreenshot " + shot.string() + "\nquit\n");
    const char* const expected[] = {
        "cell Phone: \"5551234567\"\n", "cell Currency: \"-42.00\"\n", "cell Date: \"36893\"\n",
        "cell Time: \"0.875\"\n",
    };
    for (const char* line : expected)
        EXPECT_NE(out.find(line), std::string::npos) << line << out;
    // Alt+Down and the button each opened the calendar.
    const size_t first = out.find("calendar open");
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_NE(out.find("calendar open", first + 1), std::string::npos) << out;
    EXPECT_GT(fs::file_size(shot), 1000u);
    EXPECT_TRUE(ReadAll(dir / "boxes.log").empty());
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
