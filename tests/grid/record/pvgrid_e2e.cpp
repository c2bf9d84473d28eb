// pvgrid over a generated sample directory, headless: the first screen shows deciphered names
// with the current record in the first row; Ctrl+End reaches the last record with no append row;
// a folder without a directory gives one message and a failing exit.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const fs::path& p)
{
    std::vector<std::string> lines;
    std::ifstream in(p);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class PvGridE2E : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_root = fs::temp_directory_path() / ("pvgrid-e2e-" + std::to_string(::getpid()));
        fs::remove_all(s_root);
        fs::create_directories(s_root);
        const std::string cmd = std::string("'") + PVSAMPLE_BIN + "' '" + (s_root / "sample").string() +
                                "' --people 2000 > /dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static void TearDownTestSuite() { fs::remove_all(s_root); }

    // Runs pvgrid headless with the script; answers its exit status.
    int Run(const std::string& args, const std::string& script)
    {
        const fs::path scriptFile = s_root / "script.txt";
        std::ofstream(scriptFile) << script;
        fs::remove(Boxes());
        const std::string cmd = "env PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() + "' PV_MSGBOX_LOG='" +
                                Boxes().string() + "' timeout 120 '" + PVGRID_BIN + "' " + args + " > '" +
                                Out().string() + "' 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static fs::path Boxes() { return s_root / "boxes.log"; }
    static fs::path Out() { return s_root / "out.txt"; }

    static inline fs::path s_root;
};

TEST_F(PvGridE2E, ShowsNamesThenTheLastRecordWithoutAppendRow)
{
    const fs::path first = s_root / "first.png", last = s_root / "last.png";
    const fs::path db = s_root / "sample" / "Data" / "Directory.mdb";
    const std::string before = ReadAll(db);
    ASSERT_EQ(Run("'" + (s_root / "sample").string() + "'",
                  "screenshot " + first.string() + "\nkey END ctrl\nscreenshot " + last.string() + "\nquit\n"),
              0)
        << ReadAll(Out());
    EXPECT_FALSE(fs::exists(Boxes())) << ReadAll(Boxes());
    EXPECT_TRUE(fs::exists(first));
    EXPECT_TRUE(fs::exists(last));
    const std::string out = ReadAll(Out());
    // The record key, then the entry "Last, First" in plain letters.
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(first record: \[\d+\] \[[^\],]+, [^\],]+\])"))) << out;
    // The current cell ends in the last of 2000 records: there is no append row below it.
    EXPECT_TRUE(std::regex_search(out, std::regex(R"(current 2000,\d+ of 2000 rows)"))) << out;
    // Opened read-only: the directory is left as it was.
    EXPECT_TRUE(ReadAll(db) == before);
}

// Edit > Find on the Entry column: typed text and Enter make the first match down the column
// current; the print preview then opens on the page that holds the screen's first cell.
TEST_F(PvGridE2E, FindMakesTheFoundCellCurrentAndThePreviewShowsThePage)
{
    const fs::path found = s_root / "found.png", preview = s_root / "preview.png";
    // Row 1's Entry cell, then Ctrl+F over it; the dialog's text is replaced by what is typed.
    const std::string script = "click 330 202\nwait 50\nkey F ctrl\nwait 50\nchar haddad, g\nkey RETURN\nwait 50\n"
                               "screenshot " + found.string() + "\nkey ESCAPE\nkey F2 ctrl\nwait 100\nscreenshot " +
                               preview.string() + "\nkey ESCAPE\nquit\n";
    ASSERT_EQ(Run("'" + (s_root / "sample").string() + "'", script), 0) << ReadAll(Out());
    EXPECT_FALSE(fs::exists(Boxes())) << ReadAll(Boxes());
    EXPECT_TRUE(fs::exists(found));
    EXPECT_TRUE(fs::exists(preview));
    // Sorted by name, the first Haddad whose first name starts with G, in the Entry column.
    const std::string out = ReadAll(Out());
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex(R"(current (\d+),2 of \d+ rows)"))) << out;
    EXPECT_GT(std::stoi(m[1]), 1);
}

TEST_F(PvGridE2E, AMissingFolderShowsOneMessageAndFails)
{
    EXPECT_NE(Run("'" + (s_root / "missing").string() + "'", "quit\n"), 0);
    const std::vector<std::string> boxes = Lines(Boxes());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Directory.mdb"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("\\n(Jet Error Number 3024)"), std::string::npos) << boxes[0];
}

TEST_F(PvGridE2E, AnUnknownTableShowsTheEnginesMessage)
{
    EXPECT_NE(Run("'" + (s_root / "sample").string() + "' NoSuchTable", "quit\n"), 0);
    const std::vector<std::string> boxes = Lines(Boxes());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("\\n(Jet Error Number 3078)"), std::string::npos) << boxes[0];
}

}  // namespace
