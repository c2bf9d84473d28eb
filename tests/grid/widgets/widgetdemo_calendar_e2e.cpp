// `widgetdemo calendar` driven by PV_SCRIPT: the short date takes a day clicked in its pop-up
// calendar, typed and stepped fields, a date moved to by keys in the calendar dropped with
// Alt+Down and Enter, and keeps its value on Escape; the time takes typed fields and a day half;
// the read-only date refuses a step; the month calendar selects, unmarks and pages. The values
// printed at exit show every step was taken.

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

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string RunCalendarDemo(const fs::path& dir, const std::string& script)
{
    const fs::path scriptFile = dir / "script.txt", out = dir / "out.txt";
    std::ofstream(scriptFile) << script;
    const std::string cmd = "LC_ALL=C LANG=C PV_BACKEND=headless PV_SCRIPT='" + scriptFile.string() +
                            "' PV_MSGBOX_LOG='" + (dir / "boxes.log").string() + "' '" + PV_WIDGETDEMO_PATH +
                            "' calendar > '" + out.string() + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadFile(out);
}

// "name at X Y" lines of the demo's start.
std::map<std::string, std::string> Positions(const std::string& out)
{
    std::map<std::string, std::string> at;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const size_t p = line.find(" at ");
        if (p != std::string::npos)
            at[line.substr(0, p)] = line.substr(p + 4);
    }
    return at;
}

TEST(WidgetDemoE2E, CalendarAndDateTimeControlsTakeScriptedInput)
{
    const fs::path dir = fs::temp_directory_path() / ("pv-widgetdemo-cal-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    auto at = Positions(RunCalendarDemo(dir, "quit\n"));
    for (const char* name : {"short", "time", "readonly", "month day 8", "month day 22", "popup day 20"})
        ASSERT_TRUE(at.count(name)) << name;
    const fs::path shot = dir / "calendar.png";
    const std::string out = RunCalendarDemo(dir,
                                            "key F4\n"
                                            "screenshot " + shot.string() + "\n"
                                            "click " + at["popup day 20"] + "\n"  // 3/20/2001
                                            "char 4\n"
                                            "key RIGHT\n"      // 4/20/2001, on the day
                                            "char 28\n"        // 4/28/2001, on the year
                                            "key UP\n"         // 4/28/2002
                                            "key LEFT\n"
                                            "key DOWN\n"       // 4/27/2002
                                            "key DOWN alt\n"   // the calendar on 27 April 2002
                                            "key RIGHT\n"
                                            "key DOWN\n"       // 5 May
                                            "key ENTER\n"      // 5/5/2002
                                            "key F4\n"
                                            "key ESCAPE\n"     // nothing changes
                                            "click " + at["time"] + "\n"
                                            "char 1145\n"      // 11 from noon: 23:45, on the seconds
                                            "key UP\n"         // :31
                                            "key RIGHT\n"
                                            "char a\n"         // 11:45:31 AM
                                            "click " + at["readonly"] + "\n"
                                            "key UP\n"         // refused
                                            "click " + at["month day 22"] + "\n"
                                            "click " + at["month day 8"] + " right\n"  // unmarked
                                            "key NEXT\n"       // 1 April
                                            "quit\n");
    EXPECT_NE(out.find("short 2002-05-05 00:00:00 \"5/5/2002\" modified\n"), std::string::npos) << out;
    EXPECT_NE(out.find("time 2001-03-15 11:45:31 \"11:45:31 AM\" modified\n"), std::string::npos) << out;
    EXPECT_NE(out.find("readonly 2001-03-15 00:00:00 \"Thursday, March 15, 2001\"\n"), std::string::npos) << out;
    EXPECT_NE(out.find("calendar selected 2001-04-01 12:00:00 shows 2001-04 marks 2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("popup flag 0\n"), std::string::npos) << out;
    EXPECT_TRUE(ReadFile(dir / "boxes.log").empty()) << "no message box";
    EXPECT_GT(fs::file_size(shot), 1000u);
    if (!std::getenv("PV_KEEP_E2E"))
        fs::remove_all(dir);
}

}  // namespace
