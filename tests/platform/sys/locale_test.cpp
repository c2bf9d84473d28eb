#include "platform/sys/locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override { PvSetTestLocale(PvLocalePreset::EnglishUS); }
    void TearDown() override { PvResetLocale(); }
};

std::string info(LCTYPE type, LCID lcid = LOCALE_USER_DEFAULT)
{
    char buf[256];
    int n = GetLocaleInfo(lcid, type, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

TEST_F(LocaleTest, BufferRulesAreWin32s)
{
    // "M/d/yyyy": 8 characters and the terminator.
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 0), 9);
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, 9), 9);
    EXPECT_STREQ(buf, "M/d/yyyy");
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, 8), 0);
    EXPECT_EQ(buf[8], 'x');  // nothing written past the buffer
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, -1), 0);
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, nullptr, 5), 0);
    // An empty item still counts its terminator.
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SPOSITIVESIGN, nullptr, 0), 1);
    // Unknown items and locales fail.
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, 0x7777, buf, sizeof buf), 0);
    EXPECT_EQ(GetLocaleInfo(0x0411, LOCALE_SDECIMAL, buf, sizeof buf), 0);
    // The no-user-override flag is accepted.
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE, buf, sizeof buf), 2);
    // Sizes are in bytes of UTF-8: the euro sign takes three.
    PvSetTestLocale(PvLocalePreset::German);
    EXPECT_EQ(GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SCURRENCY, nullptr, 0), 4);
}

TEST_F(LocaleTest, PresetsGiveEveryItemTheProgramReads)
{
    struct Case {
        LCTYPE type;
        const char* us;
        const char* de;
    };
    const Case cases[] = {
        {LOCALE_SSHORTDATE, "M/d/yyyy", "dd.MM.yyyy"},
        {LOCALE_SLONGDATE, "dddd, MMMM d, yyyy", "dddd, d. MMMM yyyy"},
        {LOCALE_STIMEFORMAT, "h:mm:ss tt", "HH:mm:ss"},
        {LOCALE_S1159, "AM", ""},
        {LOCALE_S2359, "PM", ""},
        {LOCALE_SDECIMAL, ".", ","},
        {LOCALE_STHOUSAND, ",", "."},
        {LOCALE_SGROUPING, "3;0", "3;0"},
        {LOCALE_SCURRENCY, "$", "\xE2\x82\xAC"},
        {LOCALE_SMONDECIMALSEP, ".", ","},
        {LOCALE_SMONTHOUSANDSEP, ",", "."},
        {LOCALE_SMONGROUPING, "3;0", "3;0"},
        {LOCALE_ICURRENCY, "0", "3"},
        {LOCALE_INEGCURR, "0", "8"},
        {LOCALE_ICURRDIGITS, "2", "2"},
        {LOCALE_IDIGITS, "2", "2"},
        {LOCALE_ILZERO, "1", "1"},
        {LOCALE_INEGNUMBER, "1", "1"},
        {LOCALE_IDATE, "0", "1"},
        {LOCALE_ITIME, "0", "1"},
        {LOCALE_STIME, ":", ":"},
        {LOCALE_SDATE, "/", "."},
        {LOCALE_IFIRSTDAYOFWEEK, "6", "0"},
        {LOCALE_SDAYNAME1, "Monday", "Montag"},
        {LOCALE_SDAYNAME7, "Sunday", "Sonntag"},
        {LOCALE_SABBREVDAYNAME3, "Wed", "Mi"},
        {LOCALE_SMONTHNAME1, "January", "Januar"},
        {LOCALE_SMONTHNAME12, "December", "Dezember"},
        {LOCALE_SABBREVMONTHNAME3, "Mar", "M\xC3\xA4r"},
        {LOCALE_SABBREVMONTHNAME10, "Oct", "Okt"},
    };
    for (const Case& c : cases) {
        PvSetTestLocale(PvLocalePreset::EnglishUS);
        EXPECT_EQ(info(c.type), c.us) << std::hex << c.type;
        EXPECT_EQ(info(c.type, LOCALE_SYSTEM_DEFAULT), c.us) << std::hex << c.type;
        PvSetTestLocale(PvLocalePreset::German);
        EXPECT_EQ(info(c.type), c.de) << std::hex << c.type;
        // A locale named by its id answers whatever the user default is.
        EXPECT_EQ(info(c.type, 0x0409), c.us) << std::hex << c.type;
    }
    EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
}

TEST_F(LocaleTest, SingleItemsCanBeOverridden)
{
    PvSetLocaleInfoForTest(LOCALE_SSHORTDATE, "yyyy-MM-dd");
    EXPECT_EQ(info(LOCALE_SSHORTDATE), "yyyy-MM-dd");
    EXPECT_EQ(info(LOCALE_SDECIMAL), ".");
    PvSetTestLocale(PvLocalePreset::EnglishUS);
    EXPECT_EQ(info(LOCALE_SSHORTDATE), "M/d/yyyy");
}

TEST_F(LocaleTest, EnvironmentLocaleOrUnitedStates)
{
    // The C locale keeps United States conventions.
    const char* saved = std::getenv("LC_ALL");
    std::string keep = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    PvResetLocale();
    EXPECT_EQ(info(LOCALE_SSHORTDATE), "M/d/yyyy");
    EXPECT_EQ(info(LOCALE_SCURRENCY), "$");
    // A locale that is not installed falls back the same way.
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    PvResetLocale();
    EXPECT_EQ(info(LOCALE_SDECIMAL), ".");
    if (saved)
        setenv("LC_ALL", keep.c_str(), 1);
    else
        unsetenv("LC_ALL");
    PvResetLocale();
}

// Compiles a German POSIX locale into a private directory; skipped where the locale sources
// are not installed.
TEST_F(LocaleTest, FollowsAnInstalledPosixLocale)
{
    std::string dir = ::testing::TempDir() + "pv_locale_test." + std::to_string(getpid());
    std::string cmd = "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir +
                      "/de_DE.UTF-8' >/dev/null 2>&1";
    int rc = std::system(cmd.c_str());
    (void)rc;  // localedef may warn and still build the locale
    if (access((dir + "/de_DE.UTF-8/LC_TIME").c_str(), R_OK) != 0)
        GTEST_SKIP() << "localedef or the de_DE sources are missing";
    struct Saved {
        const char* name;
        bool set;
        std::string value;
    } saved[] = {{"LOCPATH", false, ""}, {"LC_ALL", false, ""}};
    for (Saved& s : saved)
        if (const char* v = std::getenv(s.name))
            s.set = true, s.value = v;
    setenv("LOCPATH", dir.c_str(), 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    PvResetLocale();
    {
        // glibc keeps a copy of LOCPATH for good when it loads a locale from there.
#if defined(__SANITIZE_ADDRESS__)
        __lsan_disable();
#endif
        info(LOCALE_SDECIMAL);
#if defined(__SANITIZE_ADDRESS__)
        __lsan_enable();
#endif
    }
    EXPECT_EQ(info(LOCALE_SSHORTDATE), "dd.MM.yyyy");
    EXPECT_EQ(info(LOCALE_STIMEFORMAT), "HH:mm:ss");
    EXPECT_EQ(info(LOCALE_SDATE), ".");
    EXPECT_EQ(info(LOCALE_IDATE), "1");
    EXPECT_EQ(info(LOCALE_SDECIMAL), ",");
    EXPECT_EQ(info(LOCALE_STHOUSAND), ".");
    EXPECT_EQ(info(LOCALE_SGROUPING), "3;0");
    EXPECT_EQ(info(LOCALE_SCURRENCY), "\xE2\x82\xAC");
    EXPECT_EQ(info(LOCALE_ICURRENCY), "3");
    EXPECT_EQ(info(LOCALE_INEGCURR), "8");
    EXPECT_EQ(info(LOCALE_SDAYNAME1), "Montag");
    EXPECT_EQ(info(LOCALE_SMONTHNAME3), "M\xC3\xA4rz");
    EXPECT_EQ(info(LOCALE_IFIRSTDAYOFWEEK), "0");
    for (const Saved& s : saved) {
        if (s.set)
            setenv(s.name, s.value.c_str(), 1);
        else
            unsetenv(s.name);
    }
    PvResetLocale();
    rc = std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(LocaleTest, GetNumberFormatWithTheLocale)
{
    struct Case {
        PvLocalePreset locale;
        const char* value;
        const char* expect;  // null: fails
    };
    const PvLocalePreset US = PvLocalePreset::EnglishUS, DE = PvLocalePreset::German;
    const Case cases[] = {
        {US, "1234567.891", "1,234,567.89"},
        {US, "0", "0.00"},
        {US, ".5", "0.50"},
        {US, "-0.5", "-0.50"},
        {US, "-0.001", "0.00"},
        {US, "999.995", "1,000.00"},
        {US, "-999.994", "-999.99"},
        {US, "123", "123.00"},
        {US, "0001234", "1,234.00"},
        {US, "1.", "1.00"},
        {US, "abc", nullptr},
        {US, "", nullptr},
        {US, "-", nullptr},
        {US, ".", nullptr},
        {US, "1e5", nullptr},
        {US, "1,000", nullptr},
        {US, " 1", nullptr},
        {US, "--1", nullptr},
        {DE, "1234567.891", "1.234.567,89"},
        {DE, "-3.5", "-3,50"},
    };
    for (const Case& c : cases) {
        PvSetTestLocale(c.locale);
        char buf[64];
        int n = GetNumberFormat(LOCALE_USER_DEFAULT, 0, c.value, nullptr, buf, sizeof buf);
        if (!c.expect) {
            EXPECT_EQ(n, 0) << c.value;
            continue;
        }
        ASSERT_GT(n, 0) << c.value;
        EXPECT_STREQ(buf, c.expect) << c.value;
        EXPECT_EQ(n, int(std::strlen(c.expect)) + 1);
    }
    // Size query and a buffer one short.
    PvSetTestLocale(US);
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, "1234.5", nullptr, nullptr, 0), 9);
    char small[8];
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, "1234.5", nullptr, small, 8), 0);
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, small, 8), 0);
    EXPECT_EQ(GetNumberFormat(0x0411, 0, "1", nullptr, small, 8), 0);
    // A very long value is no trouble.
    std::string longValue(3000, '9');
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, longValue.c_str(), nullptr, nullptr, 0), 3000 + 999 + 3 + 1);
}

TEST_F(LocaleTest, GetNumberFormatWithAnExplicitFormat)
{
    char dot[] = ".", comma[] = ",", blank[] = " ";
    struct Case {
        NUMBERFMT fmt;
        const char* value;
        const char* expect;
    };
    const Case cases[] = {
        {{0, 1, 3, dot, comma, 1}, "1234567.5", "1,234,568"},
        {{2, 0, 3, dot, comma, 1}, "0.5", ".50"},
        {{0, 0, 3, dot, comma, 1}, "0.4", "0"},
        {{1, 1, 0, dot, comma, 1}, "1234567", "1234567.0"},
        {{0, 1, 32, dot, comma, 1}, "1234567890", "1,23,45,67,890"},
        {{0, 1, 30, dot, comma, 1}, "1234567", "1234,567"},
        {{2, 1, 3, comma, blank, 1}, "-1234.5", "-1 234,50"},
        {{1, 1, 3, dot, comma, 0}, "-1", "(1.0)"},
        {{1, 1, 3, dot, comma, 2}, "-1", "- 1.0"},
        {{1, 1, 3, dot, comma, 3}, "-1", "1.0-"},
        {{1, 1, 3, dot, comma, 4}, "-1", "1.0 -"},
    };
    for (const Case& c : cases) {
        char buf[64];
        ASSERT_GT(GetNumberFormat(LOCALE_USER_DEFAULT, 0, c.value, &c.fmt, buf, sizeof buf), 0) << c.expect;
        EXPECT_STREQ(buf, c.expect);
    }
    NUMBERFMT bad = {2, 1, 3, dot, comma, 5};
    char buf[64];
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, "1", &bad, buf, sizeof buf), 0);
    NUMBERFMT noSep = {2, 1, 3, nullptr, comma, 1};
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, 0, "1", &noSep, buf, sizeof buf), 0);
    NUMBERFMT ok = {2, 1, 3, dot, comma, 1};
    // Flags other than "no user override" are refused, and that one only without a format.
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, "1", &ok, buf, sizeof buf), 0);
    EXPECT_EQ(GetNumberFormat(LOCALE_USER_DEFAULT, LOCALE_NOUSEROVERRIDE, "1", nullptr, buf, sizeof buf), 5);
}

} // namespace
