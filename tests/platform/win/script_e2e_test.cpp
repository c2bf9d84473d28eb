// The demo program driven from outside: PV_SCRIPT clicks its button and types, the message box
// lands in PV_MSGBOX_LOG, and PV_SCREENSHOT and the script's screenshot are written.

#include "platform/win/win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ScriptEndToEnd, ClickTypeScreenshotAndQuit)
{
    fs::path dir = fs::temp_directory_path() / ("pvwin-e2e-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // The demo's client area starts below the caption and frame of a window placed at (100, 100).
    RECT frame {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    int cx = 100 - frame.left, cy = 100 - frame.top;
    {
        std::ofstream s(dir / "script.txt");
        s << "# press the button, then type\n"
          << "click " << cx + 80 << " " << cy + 35 << "\n"
          << "char Hi there\n"
          << "key A shift\n"
          << "wait 100\n"
          << "screenshot " << (dir / "mid.png").string() << "\n"
          << "quit\n";
    }
    std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + (dir / "script.txt").string() + "' PV_MSGBOX_LOG='" +
                      (dir / "boxes.jsonl").string() + "' PV_SCREENSHOT='" + (dir / "final.png").string() + "' '" +
                      PV_WINDEMO_PATH + "'";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(readAll(dir / "boxes.jsonl"),
              "{\"caption\": \"Window Test\", \"text\": \"The button was pressed.\", \"buttons\": \"ok\", "
              "\"icon\": \"information\", \"answer\": \"ok\"}\n");
    EXPECT_GT(fs::file_size(dir / "mid.png"), 1000u);
    EXPECT_GT(fs::file_size(dir / "final.png"), 1000u);
    if (!std::getenv("PV_KEEP_E2E")) fs::remove_all(dir);
}

// A script that ends while a Retry box keeps coming back, with no answers left: the box gets
// Cancel, so the run ends by itself instead of retrying for ever.
TEST(ScriptEndToEnd, ExhaustedScriptAnswersCancel)
{
    fs::path dir = fs::temp_directory_path() / ("pvwin-exhausted-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "script.txt") << "key F9\n";
    std::string cmd = "PV_BACKEND=headless PV_SCRIPT='" + (dir / "script.txt").string() + "' PV_MSGBOX_LOG='" +
                      (dir / "boxes.jsonl").string() + "' timeout 60 '" + PV_WINDEMO_PATH + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(readAll(dir / "boxes.jsonl"),
              "{\"caption\": \"Window Test\", \"text\": \"The file is not there yet.\", \"buttons\": \"retrycancel\", "
              "\"icon\": \"warning\", \"answer\": \"cancel\"}\n");
    fs::remove_all(dir);
}

// The same program on a real X server (Xvfb) with the SDL2 back end: native windows, the same
// script and hooks.
TEST(ScriptEndToEnd, RunsUnderXvfbWithTheSdlBackEnd)
{
    if (!fs::exists("/usr/bin/xvfb-run")) GTEST_SKIP() << "xvfb-run is not installed";
    fs::path dir = fs::temp_directory_path() / ("pvwin-xvfb-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    RECT frame {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    int cx = 100 - frame.left, cy = 100 - frame.top;
    {
        std::ofstream s(dir / "script.txt");
        s << "wait 200\n"
          << "click " << cx + 80 << " " << cy + 35 << "\n"
          << "char Xvfb\n"
          << "wait 200\n"
          << "quit\n";
    }
    // X11's own allocations are not ours to account for in a sanitizer build.
    std::string cmd = "ASAN_OPTIONS=detect_leaks=0 timeout 60 xvfb-run -a -s '-screen 0 1024x768x24' env PV_BACKEND=sdl "
                      "PV_SCRIPT='" + (dir / "script.txt").string() + "' PV_MSGBOX_LOG='" +
                      (dir / "boxes.jsonl").string() + "' PV_SCREENSHOT='" + (dir / "final.png").string() + "' '" +
                      PV_WINDEMO_PATH + "' > '" + (dir / "out.txt").string() + "' 2>&1";
    int rc = std::system(cmd.c_str());
    EXPECT_EQ(rc, 0) << readAll(dir / "out.txt");
    EXPECT_NE(readAll(dir / "boxes.jsonl").find("\"text\": \"The button was pressed.\""), std::string::npos);
    EXPECT_TRUE(fs::exists(dir / "final.png"));
    if (!std::getenv("PV_KEEP_E2E")) fs::remove_all(dir);
}

} // namespace
