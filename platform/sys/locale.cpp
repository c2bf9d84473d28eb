#include "platform/sys/locale.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace {

typedef std::map<LCTYPE, std::string> LocaleItems;

struct LocaleTable {
    LCID id = 0x0409;
    LocaleItems items;
};

const char* const kEnDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kEnAbDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kEnMonths[12] = {"January", "February", "March", "April", "May", "June",
                                   "July", "August", "September", "October", "November", "December"};
const char* const kEnAbMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kDeDays[7] = {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"};
const char* const kDeAbDays[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
const char* const kDeMonths[12] = {"Januar", "Februar", "M\xC3\xA4rz", "April", "Mai", "Juni",
                                   "Juli", "August", "September", "Oktober", "November", "Dezember"};
const char* const kDeAbMonths[12] = {"Jan", "Feb", "M\xC3\xA4r", "Apr", "Mai", "Jun",
                                     "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};

void setNames(LocaleItems& t, const char* const days[7], const char* const abDays[7],
              const char* const months[12], const char* const abMonths[12])
{
    for (int i = 0; i < 7; ++i) {
        t[LOCALE_SDAYNAME1 + i] = days[i];
        t[LOCALE_SABBREVDAYNAME1 + i] = abDays[i];
    }
    for (int i = 0; i < 12; ++i) {
        t[LOCALE_SMONTHNAME1 + i] = months[i];
        t[LOCALE_SABBREVMONTHNAME1 + i] = abMonths[i];
    }
}

LocaleTable englishUS()
{
    LocaleTable l;
    l.id = 0x0409;
    LocaleItems& t = l.items;
    t[LOCALE_ILANGUAGE] = "0409";
    t[LOCALE_SLANGUAGE] = "English (United States)";
    t[LOCALE_SENGLANGUAGE] = "English";
    t[LOCALE_SABBREVLANGNAME] = "ENU";
    t[LOCALE_SNATIVELANGNAME] = "English";
    t[LOCALE_ICOUNTRY] = "1";
    t[LOCALE_SCOUNTRY] = "United States";
    t[LOCALE_SENGCOUNTRY] = "United States";
    t[LOCALE_SABBREVCTRYNAME] = "USA";
    t[LOCALE_SNATIVECTRYNAME] = "United States";
    t[LOCALE_IDEFAULTLANGUAGE] = "0409";
    t[LOCALE_IDEFAULTCOUNTRY] = "1";
    t[LOCALE_IDEFAULTCODEPAGE] = "437";
    t[LOCALE_IDEFAULTANSICODEPAGE] = "1252";
    t[LOCALE_SLIST] = ",";
    t[LOCALE_IMEASURE] = "1";
    t[LOCALE_SDECIMAL] = ".";
    t[LOCALE_STHOUSAND] = ",";
    t[LOCALE_SGROUPING] = "3;0";
    t[LOCALE_IDIGITS] = "2";
    t[LOCALE_ILZERO] = "1";
    t[LOCALE_INEGNUMBER] = "1";
    t[LOCALE_SNATIVEDIGITS] = "0123456789";
    t[LOCALE_SCURRENCY] = "$";
    t[LOCALE_SINTLSYMBOL] = "USD";
    t[LOCALE_SMONDECIMALSEP] = ".";
    t[LOCALE_SMONTHOUSANDSEP] = ",";
    t[LOCALE_SMONGROUPING] = "3;0";
    t[LOCALE_ICURRDIGITS] = "2";
    t[LOCALE_IINTLCURRDIGITS] = "2";
    t[LOCALE_ICURRENCY] = "0";
    t[LOCALE_INEGCURR] = "0";
    t[LOCALE_SDATE] = "/";
    t[LOCALE_STIME] = ":";
    t[LOCALE_SSHORTDATE] = "M/d/yyyy";
    t[LOCALE_SLONGDATE] = "dddd, MMMM d, yyyy";
    t[LOCALE_STIMEFORMAT] = "h:mm:ss tt";
    t[LOCALE_IDATE] = "0";
    t[LOCALE_ILDATE] = "0";
    t[LOCALE_ITIME] = "0";
    t[LOCALE_ITIMEMARKPOSN] = "0";
    t[LOCALE_ICENTURY] = "1";
    t[LOCALE_ITLZERO] = "0";
    t[LOCALE_IDAYLZERO] = "0";
    t[LOCALE_IMONLZERO] = "0";
    t[LOCALE_S1159] = "AM";
    t[LOCALE_S2359] = "PM";
    t[LOCALE_ICALENDARTYPE] = "1";
    t[LOCALE_IFIRSTDAYOFWEEK] = "6";
    t[LOCALE_IFIRSTWEEKOFYEAR] = "0";
    t[LOCALE_SPOSITIVESIGN] = "";
    t[LOCALE_SNEGATIVESIGN] = "-";
    t[LOCALE_SISO639LANGNAME] = "en";
    t[LOCALE_SISO3166CTRYNAME] = "US";
    setNames(t, kEnDays, kEnAbDays, kEnMonths, kEnAbMonths);
    return l;
}

LocaleTable german()
{
    LocaleTable l = englishUS();
    l.id = 0x0407;
    LocaleItems& t = l.items;
    t[LOCALE_ILANGUAGE] = "0407";
    t[LOCALE_SLANGUAGE] = "Deutsch (Deutschland)";
    t[LOCALE_SENGLANGUAGE] = "German";
    t[LOCALE_SABBREVLANGNAME] = "DEU";
    t[LOCALE_SNATIVELANGNAME] = "Deutsch";
    t[LOCALE_ICOUNTRY] = "49";
    t[LOCALE_SCOUNTRY] = "Deutschland";
    t[LOCALE_SENGCOUNTRY] = "Germany";
    t[LOCALE_SABBREVCTRYNAME] = "DEU";
    t[LOCALE_SNATIVECTRYNAME] = "Deutschland";
    t[LOCALE_IDEFAULTLANGUAGE] = "0407";
    t[LOCALE_IDEFAULTCOUNTRY] = "49";
    t[LOCALE_IDEFAULTCODEPAGE] = "850";
    t[LOCALE_SLIST] = ";";
    t[LOCALE_IMEASURE] = "0";
    t[LOCALE_SDECIMAL] = ",";
    t[LOCALE_STHOUSAND] = ".";
    t[LOCALE_SCURRENCY] = "\xE2\x82\xAC";
    t[LOCALE_SINTLSYMBOL] = "EUR";
    t[LOCALE_SMONDECIMALSEP] = ",";
    t[LOCALE_SMONTHOUSANDSEP] = ".";
    t[LOCALE_ICURRENCY] = "3";
    t[LOCALE_INEGCURR] = "8";
    t[LOCALE_SDATE] = ".";
    t[LOCALE_SSHORTDATE] = "dd.MM.yyyy";
    t[LOCALE_SLONGDATE] = "dddd, d. MMMM yyyy";
    t[LOCALE_STIMEFORMAT] = "HH:mm:ss";
    t[LOCALE_IDATE] = "1";
    t[LOCALE_ILDATE] = "1";
    t[LOCALE_ITIME] = "1";
    t[LOCALE_ITLZERO] = "1";
    t[LOCALE_IDAYLZERO] = "1";
    t[LOCALE_IMONLZERO] = "1";
    t[LOCALE_S1159] = "";
    t[LOCALE_S2359] = "";
    t[LOCALE_IFIRSTDAYOFWEEK] = "0";
    t[LOCALE_IFIRSTWEEKOFYEAR] = "2";
    t[LOCALE_SISO639LANGNAME] = "de";
    t[LOCALE_SISO3166CTRYNAME] = "DE";
    setNames(t, kDeDays, kDeAbDays, kDeMonths, kDeAbMonths);
    return l;
}

// A strftime date or time format as a picture ("%d.%m.%Y" -> "dd.MM.yyyy"); literal letters
// are quoted so that they do not read as picture letters.
std::string pictureFromStrftime(const char* fmt)
{
    std::string out;
    std::string literal;
    auto flush = [&] {
        if (literal.empty())
            return;
        bool letters = false;
        for (char c : literal)
            letters |= (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '\'';
        if (letters) {
            out += '\'';
            for (char c : literal)
                out += (c == '\'') ? std::string("''") : std::string(1, c);
            out += '\'';
        } else {
            out += literal;
        }
        literal.clear();
    };
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%' || !p[1]) {
            literal += *p;
            continue;
        }
        ++p;
        while (*p == '-' || *p == '_' || *p == '0' || *p == '^' || *p == '#' || *p == 'E' || *p == 'O')
            ++p;
        const char* pic = nullptr;
        switch (*p) {
        case 'd': pic = "dd"; break;
        case 'e': pic = "d"; break;
        case 'm': pic = "MM"; break;
        case 'Y': pic = "yyyy"; break;
        case 'y': pic = "yy"; break;
        case 'b': case 'h': pic = "MMM"; break;
        case 'B': pic = "MMMM"; break;
        case 'a': pic = "ddd"; break;
        case 'A': pic = "dddd"; break;
        case 'H': pic = "HH"; break;
        case 'k': pic = "H"; break;
        case 'I': pic = "hh"; break;
        case 'l': pic = "h"; break;
        case 'M': pic = "mm"; break;
        case 'S': pic = "ss"; break;
        case 'p': case 'P': pic = "tt"; break;
        case 'r': pic = "hh:mm:ss tt"; break;
        case 'T': pic = "HH:mm:ss"; break;
        case 'R': pic = "HH:mm"; break;
        case 'D': pic = "MM/dd/yy"; break;
        case 'F': pic = "yyyy-MM-dd"; break;
        case '%': literal += '%'; continue;
        case '\0': --p; continue;
        default: continue;  // time zones and the like have no picture
        }
        flush();
        out += pic;
    }
    flush();
    return out;
}

// The first character of a picture that is not a picture letter or inside quotes.
std::string separatorOf(const std::string& picture, const char* fallback)
{
    bool quoted = false;
    for (char c : picture) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || std::strchr("dMyhHmstg ", c))
            continue;
        return std::string(1, c);
    }
    return fallback;
}

std::string groupingFromPosix(const char* g)
{
    // POSIX: byte values, CHAR_MAX ends grouping, 0 repeats the last. Win32: "3;0" repeats.
    if (!g || !*g || *g == CHAR_MAX)
        return "0";
    std::string out;
    const char* p = g;
    for (; *p && *p != CHAR_MAX; ++p) {
        if (!out.empty())
            out += ';';
        out += std::to_string(int(*p));
    }
    if (!*p) {
        // The last size repeats: "3;3" is "3;0" in the Win32 form.
        size_t cut;
        while ((cut = out.rfind(';')) != std::string::npos && cut > 0) {
            size_t prev = out.rfind(';', cut - 1);
            std::string before = out.substr(prev == std::string::npos ? 0 : prev + 1, cut - (prev == std::string::npos ? 0 : prev + 1));
            if (before != out.substr(cut + 1))
                break;
            out.erase(cut);
        }
        out += ";0";
    }
    return out;
}

// Builds the user default from the environment's POSIX locale; the C locale (or a locale that
// is not installed) keeps United States English.
LocaleTable fromEnvironment()
{
    LocaleTable l = englishUS();
    const char* name = nullptr;
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) {
            name = v;
            break;
        }
    }
    if (!name || !std::strcmp(name, "C") || !std::strcmp(name, "POSIX") || !std::strncmp(name, "C.", 2) ||
        !std::strncmp(name, "en_US", 5))
        return l;
    locale_t loc = newlocale(LC_ALL_MASK, "", locale_t(nullptr));
    if (!loc)
        return l;
    LocaleItems& t = l.items;
    auto info = [&](nl_item item) -> std::string {
        const char* s = nl_langinfo_l(item, loc);
        return s ? s : "";
    };
    static const nl_item days[7] = {DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7, DAY_1};
    static const nl_item abDays[7] = {ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7, ABDAY_1};
    static const nl_item months[12] = {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6,
                                       MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item abMonths[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4, ABMON_5, ABMON_6,
                                         ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    for (int i = 0; i < 7; ++i) {
        t[LOCALE_SDAYNAME1 + i] = info(days[i]);
        t[LOCALE_SABBREVDAYNAME1 + i] = info(abDays[i]);
    }
    for (int i = 0; i < 12; ++i) {
        t[LOCALE_SMONTHNAME1 + i] = info(months[i]);
        t[LOCALE_SABBREVMONTHNAME1 + i] = info(abMonths[i]);
    }
    t[LOCALE_S1159] = info(AM_STR);
    t[LOCALE_S2359] = info(PM_STR);
    std::string shortDate = pictureFromStrftime(info(D_FMT).c_str());
    std::string timeFormat = pictureFromStrftime(info(T_FMT).c_str());
    if (!shortDate.empty()) {
        t[LOCALE_SSHORTDATE] = shortDate;
        t[LOCALE_SDATE] = separatorOf(shortDate, "/");
        char first = 0;
        for (char c : shortDate)
            if (c == 'd' || c == 'M' || c == 'y') {
                first = c;
                break;
            }
        const char* order = first == 'd' ? "1" : first == 'y' ? "2" : "0";
        t[LOCALE_IDATE] = order;
        t[LOCALE_ILDATE] = order;
        t[LOCALE_SLONGDATE] = first == 'd'   ? "dddd d MMMM yyyy"
                              : first == 'y' ? "yyyy MMMM d, dddd"
                                             : "dddd, MMMM d, yyyy";
    }
    if (!timeFormat.empty()) {
        t[LOCALE_STIMEFORMAT] = timeFormat;
        t[LOCALE_STIME] = separatorOf(timeFormat, ":");
        t[LOCALE_ITIME] = timeFormat.find('H') != std::string::npos ? "1" : "0";
    }
    const char* firstWeekday = nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, loc);
    if (firstWeekday && *firstWeekday >= 1 && *firstWeekday <= 7)
        t[LOCALE_IFIRSTDAYOFWEEK] = std::to_string((*firstWeekday + 5) % 7);

    locale_t old = uselocale(loc);
    const lconv* lc = localeconv();
    if (lc) {
        if (lc->decimal_point && *lc->decimal_point)
            t[LOCALE_SDECIMAL] = lc->decimal_point;
        t[LOCALE_STHOUSAND] = lc->thousands_sep ? lc->thousands_sep : "";
        t[LOCALE_SGROUPING] = groupingFromPosix(lc->grouping);
        if (lc->currency_symbol && *lc->currency_symbol)
            t[LOCALE_SCURRENCY] = lc->currency_symbol;
        if (lc->mon_decimal_point && *lc->mon_decimal_point)
            t[LOCALE_SMONDECIMALSEP] = lc->mon_decimal_point;
        t[LOCALE_SMONTHOUSANDSEP] = lc->mon_thousands_sep ? lc->mon_thousands_sep : "";
        t[LOCALE_SMONGROUPING] = groupingFromPosix(lc->mon_grouping);
        if (lc->frac_digits >= 0 && lc->frac_digits < 10)
            t[LOCALE_ICURRDIGITS] = std::to_string(int(lc->frac_digits));
        if (lc->p_cs_precedes == 0 || lc->p_cs_precedes == 1) {
            bool space = lc->p_sep_by_space == 1;
            t[LOCALE_ICURRENCY] = lc->p_cs_precedes ? (space ? "2" : "0") : (space ? "3" : "1");
            // The common negative layouts: symbol before or after, with or without a blank.
            t[LOCALE_INEGCURR] = lc->n_cs_precedes ? (lc->n_sep_by_space == 1 ? "9" : "1")
                                                   : (lc->n_sep_by_space == 1 ? "8" : "5");
        }
    }
    uselocale(old);
    freelocale(loc);
    return l;
}

std::mutex g_mutex;
std::optional<LocaleTable> g_environment;  // computed on first use
std::optional<LocaleTable> g_override;     // set by tests

const LocaleTable& current()
{
    if (g_override)
        return *g_override;
    if (!g_environment)
        g_environment = fromEnvironment();
    return *g_environment;
}

// The table an LCID names, or null.
const LocaleTable* tableFor(LCID lcid)
{
    const LocaleTable& cur = current();
    switch (lcid & 0xFFFF) {
    case LOCALE_USER_DEFAULT:
    case LOCALE_SYSTEM_DEFAULT:
    case LOCALE_NEUTRAL:
        return &cur;
    case LOCALE_INVARIANT:
    case 0x0409: {
        static const LocaleTable us = englishUS();
        return cur.id == 0x0409 ? &cur : &us;
    }
    case 0x0407: {
        static const LocaleTable de = german();
        return cur.id == 0x0407 ? &cur : &de;
    }
    default:
        return (lcid & 0xFFFF) == cur.id ? &cur : nullptr;
    }
}

// Win32 result rules for a text answer.
int copyOut(const std::string& value, LPTSTR buffer, int cch)
{
    int needed = int(value.size()) + 1;
    if (cch == 0)
        return needed;
    if (cch < 0 || !buffer || cch < needed)
        return 0;
    std::memcpy(buffer, value.c_str(), size_t(needed));
    return needed;
}

bool lookup(LCID lcid, LCTYPE type, std::string& out)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const LocaleTable* t = tableFor(lcid);
    if (!t)
        return false;
    auto it = t->items.find(type & ~(LCTYPE(LOCALE_NOUSEROVERRIDE) | LOCALE_USE_CP_ACP));
    if (it == t->items.end())
        return false;
    out = it->second;
    return true;
}

// Win32 grouping text ("3;0", "3;2;0", "3") as the NUMBERFMT number (3, 32, 30).
UINT groupingNumber(const std::string& s)
{
    UINT n = 0;
    for (char c : s)
        if (c >= '0' && c <= '9' && n < 100000)
            n = n * 10 + UINT(c - '0');
    // "3;0" means repeat the three: the trailing zero is dropped.
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, ";0") == 0)
        n /= 10;
    else if (n != 0)
        n *= 10;
    return n;
}

} // namespace

int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPTSTR lpLCData, int cchData)
{
    std::string value;
    if (!lookup(Locale, LCType, value))
        return 0;
    return copyOut(value, lpLCData, cchData);
}

LCID GetUserDefaultLCID()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return current().id;
}

LCID GetSystemDefaultLCID() { return GetUserDefaultLCID(); }

std::string PvLocaleString(LCID lcid, LCTYPE type)
{
    std::string value;
    lookup(lcid, type, value);
    return value;
}

void PvSetTestLocale(PvLocalePreset preset)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = preset == PvLocalePreset::German ? german() : englishUS();
}

void PvSetLocaleInfoForTest(LCTYPE type, LPCTSTR value)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_override)
        g_override = current();
    g_override->items[type] = value ? value : "";
}

void PvResetLocale()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override.reset();
    g_environment.reset();
}

int GetNumberFormat(LCID Locale, DWORD dwFlags, LPCTSTR lpValue, const NUMBERFMT* lpFormat,
                    LPTSTR lpNumberStr, int cchNumber)
{
    if (!lpValue || (dwFlags & ~DWORD(LOCALE_NOUSEROVERRIDE)) || (lpFormat && dwFlags))
        return 0;
    if (cchNumber < 0 || (cchNumber > 0 && !lpNumberStr))
        return 0;

    UINT digits, leadingZero, grouping, negOrder;
    std::string decimalSep, thousandSep;
    if (lpFormat) {
        if (lpFormat->NumDigits > 9 || lpFormat->NegativeOrder > 4 || !lpFormat->lpDecimalSep ||
            !lpFormat->lpThousandSep)
            return 0;
        digits = lpFormat->NumDigits;
        leadingZero = lpFormat->LeadingZero ? 1 : 0;
        grouping = lpFormat->Grouping;
        negOrder = lpFormat->NegativeOrder;
        decimalSep = lpFormat->lpDecimalSep;
        thousandSep = lpFormat->lpThousandSep;
    } else {
        std::string s;
        if (!lookup(Locale, LOCALE_IDIGITS, s))
            return 0;
        digits = UINT(std::min(9, std::max(0, std::atoi(s.c_str()))));
        leadingZero = std::atoi(PvLocaleString(Locale, LOCALE_ILZERO).c_str()) ? 1 : 0;
        grouping = groupingNumber(PvLocaleString(Locale, LOCALE_SGROUPING));
        negOrder = UINT(std::min(4, std::max(0, std::atoi(PvLocaleString(Locale, LOCALE_INEGNUMBER).c_str()))));
        decimalSep = PvLocaleString(Locale, LOCALE_SDECIMAL);
        thousandSep = PvLocaleString(Locale, LOCALE_STHOUSAND);
    }

    // Parse: optional '-', digits, optional '.' and digits; at least one digit.
    const char* p = lpValue;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    std::string intPart, fracPart;
    while (*p >= '0' && *p <= '9')
        intPart += *p++;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            fracPart += *p++;
    }
    if (*p || (intPart.empty() && fracPart.empty()))
        return 0;

    // Round half away from zero to the wanted number of fraction digits.
    bool roundUp = fracPart.size() > digits && fracPart[digits] >= '5';
    fracPart.resize(digits, '0');
    if (roundUp) {
        std::string all = intPart + fracPart;
        int i = int(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[size_t(i)] == '9') {
                all[size_t(i)] = '0';
            } else {
                ++all[size_t(i)];
                break;
            }
        }
        if (i < 0)
            all.insert(all.begin(), '1');
        intPart = all.substr(0, all.size() - digits);
        fracPart = all.substr(all.size() - digits);
    }
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    if (intPart.empty() && fracPart.find_first_not_of('0') == std::string::npos)
        negative = false;  // no "-0.00"
    if (intPart.empty() && (leadingZero || digits == 0))
        intPart = "0";

    // Group sizes from the least significant end; a last size other than 0 repeats.
    std::string groups = grouping ? std::to_string(grouping) : std::string();
    std::string grouped;
    {
        size_t gi = 0;
        int size = groups.empty() ? 0 : groups[0] - '0';
        int count = 0;
        for (size_t i = intPart.size(); i-- > 0;) {
            if (size > 0 && count == size) {
                grouped.insert(0, thousandSep);
                count = 0;
                if (gi + 1 < groups.size()) {
                    ++gi;
                    size = groups[gi] - '0';
                }
            }
            grouped.insert(grouped.begin(), intPart[i]);
            ++count;
        }
    }
    std::string number = grouped;
    if (digits > 0)
        number += decimalSep + fracPart;
    if (negative) {
        switch (negOrder) {
        case 0: number = "(" + number + ")"; break;
        case 1: number = "-" + number; break;
        case 2: number = "- " + number; break;
        case 3: number += "-"; break;
        default: number += " -"; break;
        }
    }
    return copyOut(number, lpNumberStr, cchNumber);
}
