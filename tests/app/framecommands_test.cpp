#include "app/FrameCommands.h"

#include "platform/sys/shell.h"
#include "resources/frame_ids.h"
#include "tests/app/msgbox_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

TEST(FrameCommands, UpdateRulesFollowTheState)
{
    struct Case {
        FrameCommandState state;
        std::vector<UINT> enabled, disabled;
    };
    FrameCommandState home;            // after Home: the browser drives Back and Forward
    home.browserCanGoBack = true;
    FrameCommandState record;          // a details page from the grid, two records back in history
    record.recordMode = true;
    record.detailsPageShown = true;
    record.historyCanGoBack = true;
    record.browserCanGoForward = true;
    const Case cases[] = {
        {FrameCommandState{}, {ID_PRINT_MEDIA, ID_SHOW_ALL, ID_HOME},
         {ID_GO_BACK, ID_GO_FORWARD, ID_ADD_FAVORITES, ID_ORGANIZE_FAVORITES, ID_ADD_NOTES, ID_NOTES_PANE, ID_PRINT_DETAILS,
          ID_SAVE_LIST}},
        {home, {ID_GO_BACK, ID_PRINT_MEDIA}, {ID_GO_FORWARD, ID_SAVE_LIST, ID_PRINT_DETAILS}},
        {record, {ID_GO_BACK, ID_ADD_FAVORITES, ID_ORGANIZE_FAVORITES, ID_ADD_NOTES, ID_NOTES_PANE, ID_PRINT_DETAILS, ID_SAVE_LIST},
         {ID_GO_FORWARD, ID_PRINT_MEDIA}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n++);
        for (UINT id : c.enabled)
            EXPECT_TRUE(IsFrameCommandEnabled(id, c.state)) << id;
        for (UINT id : c.disabled)
            EXPECT_FALSE(IsFrameCommandEnabled(id, c.state)) << id;
    }
}

TEST(FrameCommands, TextsOfScrollToShowAllAndLetters)
{
    EXPECT_STREQ(ScrollToJumpText("abc*xyz"), "abc");
    EXPECT_STREQ(ScrollToJumpText("*abc"), "*abc");
    EXPECT_STREQ(ScrollToJumpText("abc"), "abc");
    EXPECT_STREQ(ScrollToJumpText("a*b*c"), "a");
    EXPECT_STREQ(ShowAllQuery(""), "SELECT * FROM Data");
    EXPECT_STREQ(ShowAllQuery("Data.[_ILast Name], Data.[_IFirst Name]"),
                 "SELECT * FROM Data ORDER BY Data.[_ILast Name], Data.[_IFirst Name]");
    EXPECT_EQ(LetterForCommand(32798), 'J');
    EXPECT_EQ(LetterForCommand(32799), 'I');
    EXPECT_EQ(LetterForCommand(32819), 'Z');
    EXPECT_EQ(LetterForCommand(32820), 0);
}

namespace {

// A stand-in for the desktop's handler that records what it was asked to open.
struct OpenerLog {
    fs::path dir = fs::temp_directory_path() / ("pv_opener_" + std::to_string(::getpid()));
    fs::path script = dir / "opener.sh";
    fs::path log = dir / "opened.txt";
    OpenerLog()
    {
        fs::create_directories(dir / "data folder");
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << log.string() << "'\n";
        fs::permissions(script, fs::perms::owner_all);
        PvSetShellOpener(script.c_str());
    }
    ~OpenerLog()
    {
        PvSetShellOpener(nullptr);
        fs::remove_all(dir);
    }
    std::string opened()
    {
        for (int i = 0; i < 100 && !fs::exists(log); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::ifstream in(log);
        std::string line;
        std::getline(in, line);
        return line;
    }
};

} // namespace

TEST(FrameCommands, CopyrightOpensTheFirstTextFound)
{
    OpenerLog opener;
    const std::string data = (opener.dir / "data folder").string() + "/";
    MsgBoxLog boxes;
    boxes.answers("retry,cancel");
    EXPECT_FALSE(OpenCopyrightText(nullptr, data.c_str()));
    ASSERT_EQ(boxes.entries().size(), 2u);
    EXPECT_EQ(boxes.entries()[0].text, "The files " + data + "cpyright.txt or " + data +
                                           "cpyright.rtf could not be found.\nIf this path is to your CD-ROM drive, make "
                                           "sure the program CD is in the drive.\nIf this path is to your hard drive, "
                                           "please re-install this program and try again");

    std::ofstream(data + "cpyright.txt") << "(c)";
    EXPECT_TRUE(OpenCopyrightText(nullptr, data.c_str()));
    EXPECT_EQ(opener.opened(), data + "cpyright.txt");
}

TEST(FrameCommands, HelpViewerGetsThePathWithBlanksWhole)
{
    OpenerLog opener;
    const std::string data = (opener.dir / "data folder").string() + "/";
    std::ofstream(data + "pv.chm") << "help";
    StartHelpViewer(data.c_str());
    EXPECT_EQ(opener.opened(), data + "pv.chm");
}
