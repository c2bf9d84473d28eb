// Starts the viewer as a user would, headless, and reads what it showed.
#include "tests/app/msgbox_log.h"
#include "platform/base/textcase.h"
#include "platform/gdi/dc.h"
#include "tests/grid/gxrefstream.h"
#include "tools/pvsample/SampleData.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sqlite3.h>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ParavelE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("pv_e2e_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "registry");
    }
    void TearDown() override { fs::remove_all(root); }

    // Runs a command with the test's registry and message-box log; answers its exit status.
    int run(const std::string& command, const std::string& extraEnv = "")
    {
        const std::string line = "env PV_BACKEND=headless PV_REGISTRY_DIR='" + (root / "registry").string() +
                                 "' PV_MSGBOX_LOG='" + (root / "boxes.log").string() + "' " + extraEnv + " timeout 120 " +
                                 command + " >'" + (root / "out.txt").string() + "' 2>&1";
        int status = std::system(line.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<std::string> boxes() const
    {
        std::vector<std::string> lines;
        std::ifstream in(root / "boxes.log");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path root;
};

} // namespace

TEST_F(ParavelE2E, EmptyRegistryShowsOneMessageAndEnds)
{
    const fs::path shot = root / "shot.png";
    run(PARAVEL_BIN, "PV_SCREENSHOT='" + shot.string() + "'");
    const auto lines = boxes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("Registry root SOFTWARE\\\\Morlow Systems, Inc.\\\\Paravel\\\\3.0\\\\main does not exist."),
              std::string::npos)
        << lines[0];
    EXPECT_FALSE(fs::exists(shot)); // no window was ever shown
    EXPECT_EQ(lines[0].rfind("{\"caption\": \"Paravel\", ", 0), 0u) << lines[0];
}

TEST_F(ParavelE2E, SampleInstallationStartsAndQuitsCleanly)
{
    ASSERT_EQ(run(std::string(PVSAMPLE_BIN) + " '" + (root / "sample").string() + "' --people 200 --register"), 0);
    const fs::path script = root / "script.txt";
    const fs::path shot = root / "main.png";
    std::ofstream(script) << "wait 1000\nscreenshot " << shot.string() << "\nquit\n";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + script.string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(fs::exists(shot));
}

namespace {

const char kMainKey[] = "HKCU\\SOFTWARE\\Morlow Systems, Inc.\\Paravel\\3.0\\main";
const char kBrowserKey[] = "HKLM\\Software\\Microsoft\\Internet Explorer";
const char kInUse[] = "Another program is currently using the directory database.  Please close all programs and try again.";

class ParavelSampleE2E : public ParavelE2E {
protected:
    void SetUp() override
    {
        ParavelE2E::SetUp();
        ASSERT_EQ(run(std::string(PVSAMPLE_BIN) + " '" + (root / "sample").string() + "' --people 200 --register"), 0);
    }
    int pvreg(const std::string& args) { return run(std::string(PVREG_BIN) + " " + args); }
};

// Starts the program in the background; it stops at its script's screenshot into a pipe until
// the test reads the pipe, so it holds whatever it opened at start-up meanwhile.
class HeldCopy {
public:
    HeldCopy(const fs::path& root, const std::string& env) : m_root(root)
    {
        m_fifo = root / "held.fifo";
        m_shown = root / "held.png";
        ::mkfifo(m_fifo.c_str(), 0600);
        std::ofstream(root / "held.txt") << "screenshot " << m_shown.string() << "\nscreenshot " << m_fifo.string()
                                         << "\nquit\n";
        const std::string line = "env PV_BACKEND=headless PV_REGISTRY_DIR='" + (root / "registry").string() +
                                 "' PV_SCRIPT='" + (root / "held.txt").string() + "' " + env +
                                 " timeout 120 " + PARAVEL_BIN + " >/dev/null 2>&1";
        m_pid = ::fork();
        if (m_pid == 0) {
            ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~HeldCopy() { release(); }
    // True once the program has shown its first window and is waiting at the pipe.
    bool waitShown()
    {
        for (int i = 0; i < 600 && !fs::exists(m_shown); ++i)
            ::usleep(50 * 1000);
        return fs::exists(m_shown);
    }
    // Lets the program go on to its end; answers its exit status.
    int release()
    {
        if (m_pid <= 0)
            return -1;
        // The program may not have reached its screenshot into the pipe yet: an empty read before
        // any writer came is no end. Read until the picture was written whole or the program ended.
        int status = 0;
        bool ended = false;
        if (int fd = ::open(m_fifo.c_str(), O_RDONLY | O_NONBLOCK); fd >= 0) {
            char buf[4096];
            bool got = false;
            for (int i = 0; i < 2400; ++i) {  // 120 s, as the program's own timeout
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0) {
                    got = true;
                    continue;
                }
                if (n == 0 && got)
                    break;
                if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    ended = true;
                    break;
                }
                ::usleep(50 * 1000);
            }
            ::close(fd);
        }
        if (!ended)
            ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    fs::path m_root, m_fifo, m_shown;
    pid_t m_pid = -1;
};

} // namespace

// Every way start-up can refuse names the program in its box's caption.
TEST_F(ParavelSampleE2E, StartupMessagesAreCaptionedWithTheProgramsName)
{
    const fs::path data = root / "sample" / "Data", media = root / "sample" / "Media";
    struct Case {
        const char* name;
        std::string undo;  // shell command that breaks the installation; its reverse follows
        std::string redo;
        const char* text;  // the start of the one box start-up shows, as logged
    };
    auto mv = [](const fs::path& a, const fs::path& b) { return "mv '" + a.string() + "' '" + b.string() + "'"; };
    const std::string reg = std::string(PVREG_BIN);
    const Case cases[] = {
        {"no DatabasePath value", reg + " delete '" + kMainKey + "' DatabasePath",
         reg + " set '" + kMainKey + "' DatabasePath '" + (data / "Directory.mdb").string() + "'",
         "This program has not been properly installed!\\nRegistry key "},
        {"no directory database", mv(data / "Directory.mdb", data / "x"), mv(data / "x", data / "Directory.mdb"), "The file "},
        {"no outline file", mv(data / "treelist.bma", data / "x"), mv(data / "x", data / "treelist.bma"), "The file "},
        {"no copyright text", mv(data / "cpyright.rtf", data / "x"), mv(data / "x", data / "cpyright.rtf"), "The files "},
        {"no home page", mv(media / "home.htm", media / "x"), mv(media / "x", media / "home.htm"), "The file "},
        {"no custom database", mv(root / "sample" / "User" / "Custom.mdb", data / "x"),
         mv(data / "x", root / "sample" / "User" / "Custom.mdb"), "The file "},
        {"old browser", reg + " set '" + kBrowserKey + "' Version 4.72.3110.8",
         reg + " set '" + kBrowserKey + "' Version 6.0.2900.2180", "You need at least Internet Explorer version 5.0"},
        {"no browser", reg + " delete '" + kBrowserKey + "' Version", reg + " set '" + kBrowserKey + "' Version 6.0",
         "Internet Explorer version 5.0 is not installed!"},
        {"no program key", reg + " delete '" + kMainKey + "'", "", "This program has not been properly installed!\\nRegistry root "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(root / "boxes.log");
        ASSERT_EQ(run(c.undo), 0);
        run(PARAVEL_BIN, "PV_MSGBOX_ANSWERS=cancel");
        const auto lines = boxes();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("{\"caption\": \"Paravel\", \"text\": \"", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(c.text), std::string::npos) << lines[0];
        if (!c.redo.empty()) {
            ASSERT_EQ(run(c.redo), 0);
        }
    }
}

// The first copy holds the directory database from start-up on: a second copy is told at once.
TEST_F(ParavelSampleE2E, SecondCopyIsToldTheDatabaseIsInUse)
{
    HeldCopy first(root, "PV_MSGBOX_LOG='" + (root / "first.log").string() + "'");
    ASSERT_TRUE(first.waitShown());
    const fs::path shot = root / "second.png";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_MSGBOX_ANSWERS=cancel PV_SCREENSHOT='" + shot.string() + "'"), 0);
    const auto lines = boxes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(std::string("\"text\": \"") + kInUse + "\""), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("\"answer\": \"cancel\""), std::string::npos);
    EXPECT_FALSE(fs::exists(shot)); // Cancel ended it before any window was shown
    EXPECT_EQ(first.release(), 0);
    EXPECT_FALSE(fs::exists(root / "first.log")); // the first copy saw no box
}

// A scripted run left with a box that keeps coming back (Retry on a held database) and nobody
// to answer it ends by itself, and its log stays small.
TEST_F(ParavelSampleE2E, UnansweredRetryBoxEndsTheRun)
{
    HeldCopy first(root, "");
    ASSERT_TRUE(first.waitShown());
    std::ofstream(root / "script.txt") << "wait 100\nkey F5\n";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    const auto lines = boxes();
    ASSERT_FALSE(lines.empty());
    EXPECT_LE(lines.size(), 100u);
    EXPECT_NE(lines.back().find(kInUse), std::string::npos);
    EXPECT_NE(lines.back().find("\"answer\": \"cancel\""), std::string::npos) << lines.back();
    EXPECT_EQ(first.release(), 0);
}

// F5 shows the Hints and then the directory; the column menu hides E-Mail, and the layout file
// brings it back hidden in the next run. Nothing along the way is a message box.
TEST_F(ParavelSampleE2E, DirectoryPaneKeepsItsLayoutAcrossRuns)
{
    const fs::path settings = root / "sample" / "Data" / "GridSettings.dat";
    // The grid lies right of the outline and above the HTML pane; the menu opens at the click,
    // E-Mail its eighth item.
    std::ofstream(root / "first.txt") << "wait 1000\nkey F5\nscreenshot " << (root / "hints.png").string()
                                      << "\nkey ENTER\nwait 300\nscreenshot " << (root / "grid.png").string()
                                      << "\nclick 730 313 right\nwait 300\nclick 770 481\nwait 300\nquit\n";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "first.txt").string() + "'"), 0);
    EXPECT_TRUE(fs::exists(root / "hints.png"));
    EXPECT_TRUE(fs::exists(root / "grid.png"));
    ASSERT_TRUE(fs::exists(settings));
    const auto firstSize = fs::file_size(settings);

    std::ofstream(root / "second.txt") << "wait 1000\nkey F5\nkey ENTER\nwait 300\nscreenshot "
                                       << (root / "again.png").string() << "\nquit\n";
    EXPECT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "second.txt").string() + "'"), 0);
    EXPECT_TRUE(fs::exists(root / "again.png"));
    EXPECT_EQ(fs::file_size(settings), firstSize); // the same layout, written again
    EXPECT_TRUE(boxes().empty());
}

namespace {

// The pixels of a screenshot's HTML pane (below the bars, above the status bar).
std::vector<uint32_t> panePixels(const fs::path& png)
{
    CBitmap bm;
    if (!bm.PvLoadImageFile(png.c_str()))
        return {};
    BITMAP info {};
    bm.GetBitmap(&info);
    std::vector<uint32_t> all(size_t(info.bmWidth) * size_t(info.bmHeight));
    bm.GetBitmapBits(DWORD(all.size() * 4), all.data());
    std::vector<uint32_t> pane;
    for (int y = 130; y < info.bmHeight - 80; ++y)
        for (int x = 20; x < info.bmWidth - 40; ++x)
            pane.push_back(all[size_t(y) * size_t(info.bmWidth) + size_t(x)]);
    return pane;
}

} // namespace

// The viewer opens on the home page; Home, a link and Back walk the pane's own history.
TEST_F(ParavelSampleE2E, HomePageLinkAndBack)
{
    const fs::path home = root / "home.png", calendar = root / "calendar.png", back = root / "back.png";
    // Screen points: the Home and Back buttons of the toolbar, the "School calendar" link.
    std::ofstream(root / "script.txt") << "wait 1500\nscreenshot " << home.string() << "\nclick 27 94\nwait 200\n"
                                       << "click 125 243\nwait 300\nscreenshot " << calendar.string()
                                       << "\nclick 82 94\nwait 300\nscreenshot " << back.string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    const auto a = panePixels(home), b = panePixels(calendar), c = panePixels(back);
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b) << "the link showed another page";
    EXPECT_EQ(a, c) << "Back showed the home page again";
}

// Print Media page goes through the print dialog to the PDF printer; Print Preview hands a PDF
// of the same page to the desktop's viewer.
TEST_F(ParavelSampleE2E, PrintMediaPageAndPreview)
{
    const fs::path opened = root / "opened.log", opener = root / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\necho \"$@\" >> '" << opened.string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    // Screen points: the toolbar's Print Media page and Print Preview buttons.
    std::ofstream(root / "script.txt") << "wait 1500\nclick 211 94\nwait 300\nkey ENTER\nwait 300\nclick 374 94\nwait 1000\nquit\n";
    const std::string program = "sh -c \"cd '" + root.string() + "' && exec '" + PARAVEL_BIN + "'\"";
    ASSERT_EQ(run(program, "PV_SCREEN=1280x1024 PV_SHELL_OPENER='" + opener.string() + "' PV_SCRIPT='" +
                               (root / "script.txt").string() + "'"),
              0);
    EXPECT_TRUE(boxes().empty());
    const fs::path pdf = root / "Paravel.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + (root / "page.txt").string() + "'").c_str()), 0);
        std::ifstream in(root / "page.txt");
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(text.find("Browse the directory on the left"), std::string::npos) << text;
    }
    std::string line;
    for (int i = 0; i < 100 && line.empty(); ++i) {
        std::ifstream in(opened);
        std::getline(in, line);
        if (line.empty())
            ::usleep(20 * 1000);
    }
    ASSERT_NE(line.find(".pdf"), std::string::npos) << line;
    std::ifstream preview(line, std::ios::binary);
    std::string head(4, '\0');
    preview.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    fs::remove(line);
}

// Show All, the Hints closed, a click on the fifth row: the details page below is that person's
// (its printout names them), and no message box comes up on the way.
TEST_F(ParavelSampleE2E, ClickedRowShowsThatPersonsDetails)
{
    // Rows stand in the default order: last name, then first name, by rank (upper-cased bytes),
    // records of equal names in key order.
    const pvsample::School school = pvsample::MakeSchool(200, 1);
    const auto& d = school.data;
    std::vector<size_t> order(d.rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const size_t last = d.FieldIndex("Last Name"), first = d.FieldIndex("First Name");
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::pair(PvUpperCase(d.rows[a][last]), PvUpperCase(d.rows[a][first])) <
               std::pair(PvUpperCase(d.rows[b][last]), PvUpperCase(d.rows[b][first]));
    });
    const std::string person = d.rows[order[4]][first] + " " + d.rows[order[4]][last];

    const fs::path shot = root / "details.png";
    // Screen points: the fifth row's Entry cell, then the toolbar's Print Details Page button.
    std::ofstream(root / "script.txt") << "wait 1000\nkey F5\nwait 300\nkey ENTER\nwait 300\nclick 360 204\nwait 300\n"
                                       << "screenshot " << shot.string() << "\nclick 188 94\nwait 300\nkey ENTER\nwait 500\nquit\n";
    const std::string program = "sh -c \"cd '" + root.string() + "' && exec '" + PARAVEL_BIN + "'\"";
    ASSERT_EQ(run(program, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(fs::exists(shot));
    const fs::path pdf = root / "Paravel.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + (root / "page.txt").string() + "'").c_str()), 0);
        std::ifstream in(root / "page.txt");
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_NE(text.find(person), std::string::npos) << person << "\n" << text;
    }
}

// F3 through the keyboard: Last Name "Sm*" (Enter adds it, no search yet), Activity with the
// list's first item, Chess Club, then Find Now; then Show All and the "O" button. No message box
// on the way.
TEST_F(ParavelSampleE2E, SearchDirectoryAndLetterJump)
{
    const fs::path found = root / "found.png", letter = root / "letter.png";
    std::ofstream script(root / "script.txt");
    script << "wait 1000\nkey F5\nwait 300\nkey ENTER\nwait 300\nkey F3\nwait 300\n"
           << "key DOWN\nkey ENTER\nchar Sm*\nkey ENTER\n";
    for (int i = 0; i < 7; ++i) // Activity, the eighth criterion
        script << "key DOWN\n";
    script << "key ENTER\nwait 200\nkey ENTER\nkey TAB\nkey TAB\nkey TAB\nkey TAB\nkey ENTER\nwait 500\n"
           << "screenshot " << found.string() << "\nkey F5\nwait 300\nclick 652 61\nwait 500\nscreenshot " << letter.string() << "\nquit\n";
    script.close();
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(fs::exists(found));
    EXPECT_TRUE(fs::exists(letter));
    EXPECT_NE(panePixels(found), panePixels(letter)) << "the letter jump showed another person";
}

namespace {

// The top left corner of the first active caption (navy) below the frame's own caption, or
// (-1, -1) when the screenshot shows none.
CPoint activeCaptionCorner(const fs::path& png)
{
    CBitmap bm;
    if (!bm.PvLoadImageFile(png.c_str()))
        return CPoint(-1, -1);
    BITMAP info {};
    bm.GetBitmap(&info);
    std::vector<uint32_t> all(size_t(info.bmWidth) * size_t(info.bmHeight));
    bm.GetBitmapBits(DWORD(all.size() * 4), all.data());
    for (int y = 30; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            if ((all[size_t(y) * size_t(info.bmWidth) + size_t(x)] & 0xFFFFFF) == 0x000080)
                return CPoint(x, y);
    return CPoint(-1, -1);
}

std::string fileBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

// Show Details Page on two rows: each opens a pop-up with the person's page, the second 12
// pixels right and 18 lower; Esc closes it and the program ends without a message.
TEST_F(ParavelSampleE2E, DetailsPopupsCascade)
{
    const fs::path one = root / "one.png", two = root / "two.png", closed = root / "closed.png";
    // Screen points: the Entry cells of the directory's third and fourth rows.
    std::ofstream(root / "script.txt") << "wait 1000\nkey F5\nkey ENTER\nwait 300\nclick 355 182\nwait 200\nkey F2\n"
                                       << "wait 300\nscreenshot " << one.string() << "\nclick 355 198\nwait 200\nkey F2\n"
                                       << "wait 300\nscreenshot " << two.string() << "\nkey ESC\nwait 200\nscreenshot "
                                       << closed.string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    const CPoint first = activeCaptionCorner(one), second = activeCaptionCorner(two);
    ASSERT_NE(first, CPoint(-1, -1));
    EXPECT_EQ(second, first + CPoint(12, 18));
    EXPECT_EQ(activeCaptionCorner(closed), CPoint(-1, -1)) << "no pop-up left";
}

// One wheel notch down over the directory moves its top row by three: the picture is the one
// that three clicks on the scroll bar's down arrow give.
TEST_F(ParavelSampleE2E, OneWheelNotchScrollsTheDirectoryThreeRows)
{
    const fs::path before = root / "before.png", wheeled = root / "wheeled.png", arrows = root / "arrows.png";
    // Screen points: a cell of the directory grid, the down arrow of its vertical scroll bar.
    std::ofstream(root / "wheel.txt") << "wait 1000\nkey F5\nkey ENTER\nwait 300\nscreenshot " << before.string()
                                      << "\nwheel 700 300 -1\nwait 100\nscreenshot " << wheeled.string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "wheel.txt").string() + "'"), 0);
    std::ofstream(root / "arrows.txt") << "wait 1000\nkey F5\nkey ENTER\nwait 300\n"
                                       << "click 1265 512\nclick 1265 512\nclick 1265 512\nwait 100\nscreenshot "
                                       << arrows.string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "arrows.txt").string() + "'"), 0);
    const std::string a = fileBytes(before), w = fileBytes(wheeled), s = fileBytes(arrows);
    ASSERT_FALSE(w.empty());
    EXPECT_NE(w, a) << "the notch scrolled nothing";
    EXPECT_EQ(w, s) << "the notch did not scroll what three line steps scroll";
    EXPECT_TRUE(boxes().empty());
}

namespace {

Bytes readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& p, const Bytes& b)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

std::vector<DWORD> hiddenCols(const RefGridSettings& g)
{
    std::vector<DWORD> v;
    for (DWORD c = 0; c < g.hiddenCols.size() * 8; ++c)
        if (g.IsColHidden(c))
            v.push_back(c);
    return v;
}

} // namespace

// The layout file from end to end: the column menu hides First Name, the file the program leaves
// reads record by record with the tests' own reader, and the next start shows the column hidden.
// A cut file, or one whose cell data claims more style slots than any file may hold, gives the
// default layout without a word, costs no more memory than one file's slot budget, and is replaced
// whole at exit.
TEST_F(ParavelSampleE2E, LayoutFileReadsByItsRecordsAndDamagedOnesFallBack)
{
    const fs::path settings = root / "sample" / "Data" / "GridSettings.dat";
    // Runs the viewer on a script; answers its exit status and the peak memory of the run in KB.
    auto measured = [&](const std::string& script, long& maxRssKb) {
        std::ofstream(root / "script.txt") << script;
        const std::string line = "env PV_BACKEND=headless PV_SCREEN=1280x1024 PV_REGISTRY_DIR='" + (root / "registry").string() +
                                 "' PV_MSGBOX_LOG='" + (root / "boxes.log").string() + "' PV_SCRIPT='" +
                                 (root / "script.txt").string() + "' timeout 120 " + PARAVEL_BIN + " >/dev/null 2>&1";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        if (::wait4(pid, &status, 0, &usage) != pid)
            return -1;
        maxRssKb = usage.ru_maxrss;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    auto showDirectory = [&](const fs::path& shot) {
        return "wait 1000\nkey F5\nkey ENTER\nwait 300\nscreenshot " + shot.string() + "\n";
    };

    long baseRss = 0, rss = 0;
    ASSERT_EQ(measured(showDirectory(root / "default.png") + "quit\n", baseRss), 0);
    ASSERT_TRUE(fs::exists(settings));
    const RefGridSettings plain = RefReadGridSettings(readBytes(settings));
    EXPECT_EQ(plain.topClass, "CGXDaoParam");

    // The column menu opens at the click on the header; First Name is its third item.
    ASSERT_EQ(measured(showDirectory(root / "shown.png") + "click 730 313 right\nwait 300\nclick 770 371\nwait 300\nscreenshot " +
                           (root / "hidden.png").string() + "\nquit\n",
                       rss),
              0);
    const Bytes hiddenFile = readBytes(settings);
    const RefGridSettings hidden = RefReadGridSettings(hiddenFile);
    EXPECT_EQ(hidden.topClass, "CGXDaoParam");
    EXPECT_TRUE(hidden.hasStylesMap);
    EXPECT_EQ(hidden.head[30 - 2], 15u) << "the directory's option mask";
    std::vector<DWORD> more = hiddenCols(hidden);
    const std::vector<DWORD> before = hiddenCols(plain);
    EXPECT_EQ(more.size(), before.size() + 1) << "one more column hidden";
    EXPECT_NE(fileBytes(root / "hidden.png"), fileBytes(root / "shown.png"));

    ASSERT_EQ(measured(showDirectory(root / "again.png") + "quit\n", rss), 0);
    EXPECT_EQ(fileBytes(root / "again.png"), fileBytes(root / "hidden.png")) << "the next start shows the column hidden";
    EXPECT_EQ(hiddenCols(RefReadGridSettings(readBytes(settings))), more);
    EXPECT_TRUE(boxes().empty());

    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"cut in half", Bytes(hiddenFile.begin(), hiddenFile.begin() + ptrdiff_t(hiddenFile.size() / 2))},
        {"sixty rows far out", RefDaoFileWithData(WriteRefSixtyFarRows)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(settings, c.file);
        const fs::path shot = root / (std::string(c.name) + ".png");
        ASSERT_EQ(measured(showDirectory(shot) + "quit\n", rss), 0);
        EXPECT_TRUE(boxes().empty());
        EXPECT_EQ(fileBytes(shot), fileBytes(root / "default.png")) << "the default layout";
        // A file may make the reader hold 16 million style pointers (128 MB) before it is refused;
        // the sixty rows claim fifteen times that.
        EXPECT_LT(rss, baseRss + 192 * 1024) << "peak " << rss << " KB against " << baseRss << " KB";
        RefGridSettings after;
        ASSERT_NO_THROW(after = RefReadGridSettings(readBytes(settings))) << "a whole file after exit";
        EXPECT_EQ(hiddenCols(after), before);
    }
}

// The directory's columns are sized and moved with the mouse: "Last Name" is made 40 pixels wider
// by its header's border, selected by a click on its header and dragged two columns right; the
// next run shows the same order and width.
TEST_F(ParavelSampleE2E, ColumnsSizedAndMovedByMouseKeepTheirPlaceAcrossRuns)
{
    const fs::path settings = root / "sample" / "Data" / "GridSettings.dat";
    const std::string show = "wait 1000\nkey F5\nkey ENTER\nwait 300\n";
    std::ofstream(root / "plain.txt") << show << "quit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "plain.txt").string() + "'"), 0);
    const RefGridSettings plain = RefReadGridSettings(readBytes(settings));
    // Column 4 is "Last Name": its border lies at x 768 on the header row, its face at 640; the
    // left edge of "Class" two visible columns further right at 1218 once it is wider. The pause
    // after the click keeps the press that starts the drag from being a double click.
    std::ofstream(root / "moved.txt") << show << "drag 768 122 808 122\nwait 200\nclick 640 122\nwait 800\n"
                                      << "drag 640 122 1218 122\nwait 300\nscreenshot "
                                      << (root / "moved.png").string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "moved.txt").string() + "'"), 0);
    const RefGridSettings moved = RefReadGridSettings(readBytes(settings));
    ASSERT_GT(moved.colOrder.size(), 9u);
    EXPECT_EQ(moved.colOrder[9], 4u) << "Last Name now stands after First Name and Section";
    EXPECT_EQ(moved.colOrder[4], 5u);
    ASSERT_TRUE(plain.colWidths.count(4) && moved.colWidths.count(9));
    EXPECT_GT(moved.colWidths.at(9), plain.colWidths.at(4)) << "and keeps the width it was given";

    std::ofstream(root / "again.txt") << show << "screenshot " << (root / "again.png").string() << "\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCRIPT='" + (root / "again.txt").string() + "'"), 0);
    const RefGridSettings again = RefReadGridSettings(readBytes(settings));
    EXPECT_EQ(again.colOrder, moved.colOrder);
    EXPECT_EQ(again.colWidths, moved.colWidths);
    EXPECT_TRUE(fs::exists(root / "again.png"));
    EXPECT_TRUE(boxes().empty());
}

namespace {

// The sample's custom database, read with the engine itself: each note's key and text.
std::map<long, std::string> notesIn(const fs::path& custom)
{
    std::map<long, std::string> notes;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(custom.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT [_IKEY], [MEMO] FROM [Annotations]", -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW)
                notes[long(sqlite3_column_int64(stmt, 0))] += reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(db);
    return notes;
}

// How many favorites of the person table Tree holds.
int favoritesIn(const fs::path& custom, long key)
{
    int count = -1;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(custom.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = "SELECT COUNT(*) FROM [Tree] WHERE [Type] = 'Details' AND [Link] = '" + std::to_string(key) + "'";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            count = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return count;
}

uint32_t pixelAt(const fs::path& png, int x, int y)
{
    CBitmap bm;
    if (!bm.PvLoadImageFile(png.c_str()))
        return 0;
    BITMAP info {};
    bm.GetBitmap(&info);
    std::vector<uint32_t> all(size_t(info.bmWidth) * size_t(info.bmHeight));
    bm.GetBitmapBits(DWORD(all.size() * 4), all.data());
    return all[size_t(y) * size_t(info.bmWidth) + size_t(x)] & 0xFFFFFF;
}

const char kSampleNote[] = "Met at the open house; ask about the volunteer list.";
// Screen points at 1280 x 1024: the sample's favorite Kai Larsen (key 1, with a note) in the
// outline, the toolbar's Add/View Notes, the notes window's Close and its edit, and the Entry
// cell of the directory's sixth row once the outline has shown Kai Larsen (a person with
// neither a note nor a favorite).
const char kOpenKaisNotes[] = "wait 1000\nkey F5\nkey ENTER\nwait 300\nclick 110 220\nwait 500\nclick 289 94\nwait 500\n"
                              "key END ctrl\nkey RETURN\nchar Second line typed in the test.\nclick 377 255\nwait 500\n";
constexpr uint32_t kNoteColour = 0xFFFFCC;  // the edit's background, as red-green-blue

} // namespace

// Kai Larsen's note gets a second line; a first note of someone else stays when the offer to add
// a favorite (the Add to Favorites dialog) is cancelled with Esc.
TEST_F(ParavelSampleE2E, NotesAreStoredAndAFirstNoteSurvivesTheOffersCancel)
{
    const fs::path kai = root / "kai.png", offer = root / "offer.png";
    std::ofstream(root / "script.txt") << kOpenKaisNotes << "screenshot " << kai.string()
                                       << "\nclick 355 230\nwait 500\nclick 289 94\nwait 500\nchar A first note.\n"
                                       << "click 377 255\nwait 500\nscreenshot " << offer.string()
                                       << "\nkey ESC\nwait 300\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "script.txt").string() + "'"), 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_NE(pixelAt(kai, 200, 150), kNoteColour) << "Close took Kai's window away";
    EXPECT_TRUE(fs::exists(offer));
    const auto notes = notesIn(root / "sample" / "User" / "Custom.mdb");
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes.at(1), std::string(kSampleNote) + "\r\nSecond line typed in the test.");
    int firstNotes = 0;
    for (const auto& [key, memo] : notes)
        if (memo == "A first note.") {
            ++firstNotes;
            EXPECT_NE(key, 1);
            EXPECT_NE(key, 5);
            EXPECT_EQ(favoritesIn(root / "sample" / "User" / "Custom.mdb", key), 0) << "the offer was cancelled";
        }
    EXPECT_EQ(firstNotes, 1);
}

// On a read-only custom database Close shows why the note was not stored and keeps the window
// with its text; a second Close asks, and Yes lets it go so that the program can end.
TEST_F(ParavelSampleE2E, ReadOnlyCustomDatabaseKeepsTheNoteWindowOpen)
{
    const fs::path custom = root / "sample" / "User" / "Custom.mdb";
    fs::permissions(custom, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path failed = root / "failed.png", gone = root / "gone.png";
    std::ofstream(root / "script.txt") << kOpenKaisNotes << "screenshot " << failed.string()
                                       << "\nclick 377 255\nwait 500\nscreenshot " << gone.string() << "\nquit\n";
    const int status = run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_MSGBOX_ANSWERS=ok,yes,ok PV_SCRIPT='" +
                                            (root / "script.txt").string() + "'");
    fs::permissions(custom, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(status, 0);
    const auto lines = boxes();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("Error editing in the Annotation table! This program was unable to edit the note in "
                            "Annotations table in the custom database " + custom.string() +
                            "\\nPlease re-install this program and try again\\n(Jet Error Number 3027)"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("\"text\": \"Your note could not be saved. Close this window and lose it?\""),
              std::string::npos)
        << lines[1];
    EXPECT_EQ(pixelAt(failed, 200, 150), kNoteColour) << "the window is open after the failed store";
    EXPECT_NE(pixelAt(gone, 200, 150), kNoteColour) << "the window went after Yes";
    EXPECT_EQ(notesIn(custom).at(1), kSampleNote);
}

namespace {

// The favorites of the sample's custom database as "Parent/Text" in Order, read with the engine.
std::vector<std::string> favoritesIn(const fs::path& custom)
{
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(custom.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT [Parent], [Text], [Key] FROM [Tree] WHERE [Parent] <> 'Views' AND "
                                   "[Parent] <> '' ORDER BY [Order]",
                               -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                const std::string text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
                const std::string key = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
                rows.push_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) + "/" + text +
                               (key == text ? "" : " (key " + key + ")"));
            }
            sqlite3_finalize(stmt);
        }
    }
    sqlite3_close(db);
    return rows;
}

// The pixels of a rectangle of a screenshot.
std::vector<uint32_t> regionOf(const fs::path& png, const CRect& rc)
{
    CBitmap bm;
    if (!bm.PvLoadImageFile(png.c_str()))
        return {};
    BITMAP info {};
    bm.GetBitmap(&info);
    std::vector<uint32_t> all(size_t(info.bmWidth) * size_t(info.bmHeight));
    bm.GetBitmapBits(DWORD(all.size() * 4), all.data());
    std::vector<uint32_t> out;
    for (int y = rc.top; y < rc.bottom && y < info.bmHeight; ++y)
        for (int x = rc.left; x < rc.right && x < info.bmWidth; ++x)
            out.push_back(all[size_t(y) * size_t(info.bmWidth) + size_t(x)]);
    return out;
}

// Screen points at 1280 x 1024: the directory's seventh row (John Adams in the 200-person
// sample), the Favorites menu's "Add to Favorites..." and "Organize Favorites...", and in the
// dialogs (centred, so fixed): Add's New Folder and OK, Organize's tree rows and buttons, the
// folder picker's "Favorites".
const char kShowJohnAdams[] = "wait 1000\nkey F5\nkey ENTER\nwait 300\nclick 355 230\nwait 500\n";
const char kOpenFavoritesMenu[] = "key A alt\nwait 300\n";
// Where the Favorites pop-up lies; its entries end above y 250 in both runs.
const CRect kFavoritesPopup(148, 47, 300, 250);

} // namespace

// Add to Favorites into a new folder, then Organize Favorites moves the favorite out, renames the
// folder with a quote and deletes a favorite; table Tree keeps it all and the next run's menu
// shows the same.
TEST_F(ParavelSampleE2E, FavoritesAddedAndOrganizedSurviveTheRun)
{
    const fs::path added = root / "added.png", organized = root / "organized.png", menu = root / "menu.png",
                   again = root / "again.png";
    std::ofstream(root / "script.txt")
        << kShowJohnAdams << kOpenFavoritesMenu << "click 220 58\nwait 500\n"
        << "click 813 457\nwait 300\nchar Tennis Team\nkey RETURN\nwait 300\nclick 813 388\nwait 300\n"
        << kOpenFavoritesMenu << "screenshot " << added.string() << "\nkey ESCAPE\nwait 200\n"
        << kOpenFavoritesMenu << "click 228 80\nwait 500\n"
        // Expand Tennis Team, move John Adams to "Favorites".
        << "click 446 494\nwait 200\nclick 530 511\nclick 795 441\nwait 300\nclick 476 453\nclick 813 388\nwait 300\n"
        // Rename the emptied folder, delete School Website.
        << "click 512 494\nclick 795 410\nwait 300\nchar Racket Club's\nkey RETURN\nwait 300\n"
        << "click 519 461\nclick 795 472\nwait 300\nscreenshot " << organized.string() << "\nclick 795 633\nwait 300\n"
        << kOpenFavoritesMenu << "screenshot " << menu.string() << "\nkey ESCAPE\nwait 200\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_MSGBOX_ANSWERS=yes PV_SCRIPT='" +
                                   (root / "script.txt").string() + "'"),
              0);
    const auto lines = boxes();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("\"text\": \"Are you sure you want to delete this item from your list of saved "
                            "Favorites?\\nNote: If this item contains notes, they will also be deleted.\""),
              std::string::npos)
        << lines[0];
    EXPECT_TRUE(fs::exists(added));
    EXPECT_TRUE(fs::exists(organized));

    const std::vector<std::string> expected = {
        "Favorites/Teachers", "Favorites/Classmates", "Favorites/School Calendar", "Favorites/Athletics",
        "Teachers/Kai Larsen", "Teachers/Yuki M\xC3\xBCller", "Classmates/John D'Angelo", "Classmates/Yuki Brown",
        "Favorites/Mia Hern\xC3\xA1ndez", "Favorites/Racket Club's", "Favorites/John Adams",
    };
    EXPECT_EQ(favoritesIn(root / "sample" / "User" / "Custom.mdb"), expected);

    std::ofstream(root / "again.txt") << kShowJohnAdams << kOpenFavoritesMenu << "screenshot " << again.string()
                                      << "\nkey ESCAPE\nwait 200\nquit\n";
    ASSERT_EQ(run(PARAVEL_BIN, "PV_SCREEN=1280x1024 PV_SCRIPT='" + (root / "again.txt").string() + "'"), 0);
    const auto first = regionOf(menu, kFavoritesPopup), second = regionOf(again, kFavoritesPopup);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the menu built at start-up shows what the first run left";
}
