#include "grid/core/gxformat.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "grid/core/gxlibdata.h"
#include "grid/core/gxstyle.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/locale.h"
#include "platform/sys/ole.h"

// ---- Installers ----

void CGXOleDateTimeImp::ImplementDateTime()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (state.m_pDateTimeImp)
        return;
    auto* p = new CGXOleDateTimeImp;
    state.m_pDateTimeImp = p;
    state.AddImpToDeleteList(p);
}

void CGXNoOleDateTimeImp::ImplementNoOleDateTime()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (state.m_pDateTimeImp)
        return;
    auto* p = new CGXNoOleDateTimeImp;
    state.m_pDateTimeImp = p;
    state.AddImpToDeleteList(p);
}

void CGXNumberFormattingImp::ImplementNumberFormatting()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (state.m_pNumberFormattingImp)
        return;
    auto* p = new CGXNumberFormattingImp;
    state.m_pNumberFormattingImp = p;
    // The cell data store tells numbers from text through the core's slot.
    GXGetAppData()->m_pNumberFormattingImp = p;
    state.AddImpToDeleteList(p);
}

void CGXDrawRotatedTextImp::ImplementDrawRotatedText()
{
    CGXGridLibraryState& state = GXGetLibraryState();
    if (state.m_pDrawRotatedTextImp)
        return;
    auto* p = new CGXDrawRotatedTextImp;
    state.m_pDrawRotatedTextImp = p;
    state.AddImpToDeleteList(p);
}

CGXAbstractDateTimeImp* GXGetDateTimeImp() { return GXGetLibraryState().m_pDateTimeImp; }
CGXNumberFormattingImp* GXGetNumberFormattingImp() { return GXGetLibraryState().m_pNumberFormattingImp; }
CGXAbstractDrawRotatedTextImp* GXGetDrawRotatedTextImp() { return GXGetLibraryState().m_pDrawRotatedTextImp; }

int GXGetDateOrder(BOOL bRecompute, BOOL* pbFourDigitYear, TCHAR* pcSeparator)
{
    CGXAbstractDateTimeImp* p = GXGetDateTimeImp();
    return p ? p->GetDateOrder(bRecompute, pbFourDigitYear, pcSeparator) : gxDateOrderUnknown;
}

TCHAR GXGetTimeSeparator(BOOL bRecompute)
{
    CGXAbstractDateTimeImp* p = GXGetDateTimeImp();
    TCHAR c = p ? p->GetTimeSeparator(bRecompute) : 0;
    return c ? c : ':';
}

// ---- Shared helpers ----

namespace {

const int kDaysPerMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int month, int year)
{
    if (month < 1 || month > 12)
        return 0;
    return kDaysPerMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void FormatLocalTime(CString& strResult, time_t t)
{
    struct tm local {};
    if (!localtime_r(&t, &local)) {
        strResult.Empty();
        return;
    }
    COleDateTime dt(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                    local.tm_sec);
    bool bDateOnly = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    strResult = dt.Format(bDateOnly ? "%x" : "%c");
}

}  // namespace

// ---- COleDateTime variant ----

BOOL CGXOleDateTimeImp::ParseToCalendar(GXCALENDAR& cal, LPCTSTR pszText)
{
    memset(&cal, 0, sizeof(cal));
    COleDateTime dt;
    if (!pszText || !dt.ParseDateTime(pszText, 0, LOCALE_USER_DEFAULT) || dt.GetStatus() != COleDateTime::valid)
        return FALSE;
    cal.wYear = WORD(dt.GetYear());
    cal.wMonth = WORD(dt.GetMonth());
    cal.wDay = WORD(dt.GetDay());
    cal.wHour = WORD(dt.GetHour());
    cal.wMinute = WORD(dt.GetMinute());
    cal.wSecond = WORD(dt.GetSecond());
    return TRUE;
}

BOOL CGXOleDateTimeImp::ParseToTm(struct tm& t, LPCTSTR pszText)
{
    memset(&t, 0, sizeof(t));
    COleDateTime dt;
    if (!pszText || !dt.ParseDateTime(pszText, 0, LOCALE_USER_DEFAULT) || dt.GetStatus() != COleDateTime::valid)
        return FALSE;
    t.tm_year = dt.GetYear() - 1900;
    t.tm_mon = dt.GetMonth() - 1;
    t.tm_mday = dt.GetDay();
    t.tm_hour = dt.GetHour();
    t.tm_min = dt.GetMinute();
    t.tm_sec = dt.GetSecond();
    return TRUE;
}

void CGXOleDateTimeImp::FormatCalendar(CString& strResult, const GXCALENDAR& cal)
{
    bool bTime = cal.wHour || cal.wMinute || cal.wSecond;
    if (bTime && cal.wMonth == 0) {
        COleDateTime dt;
        dt.SetTime(cal.wHour, cal.wMinute, cal.wSecond);
        strResult = dt.Format("%X");
        return;
    }
    COleDateTime dt(cal.wYear, cal.wMonth, cal.wDay, cal.wHour, cal.wMinute, cal.wSecond);
    strResult = dt.Format(bTime ? "%c" : "%x");
}

void CGXOleDateTimeImp::FormatTime(CString& strResult, time_t t) { FormatLocalTime(strResult, t); }

// ---- Locale-settings variant ----

namespace {

// Process-wide, as every grid reads the same user settings.
struct NoOleSettings {
    int nOrder = gxDateOrderUnknown;
    BOOL bFourDigitYear = FALSE;
    TCHAR cDateSep = '/';
    TCHAR cTimeSep = ':';
    bool bTimeSepRead = false;
};

NoOleSettings& Settings()
{
    static NoOleSettings s;
    return s;
}

}  // namespace

void CGXNoOleDateTimeImp::RefreshSettings()
{
    GetDateOrder(TRUE, nullptr, nullptr);
    GetTimeSeparator(TRUE);
}

int CGXNoOleDateTimeImp::GetDateOrder(BOOL bRecompute, BOOL* pbFourDigitYear, TCHAR* pcSeparator)
{
    NoOleSettings& s = Settings();
    if (s.nOrder == gxDateOrderUnknown || bRecompute) {
        char buf[128] = {};
        GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, int(sizeof(buf)));
        buf[sizeof(buf) - 1] = 0;
        s.nOrder = gxDateMDY;
        s.bFourDigitYear = FALSE;
        if (buf[0]) {
            for (char* p = buf; *p; ++p)
                if (*p >= 'a' && *p <= 'z')
                    *p = char(*p - 'a' + 'A');
            if (buf[0] == 'M')
                s.nOrder = gxDateMDY;
            else if (buf[0] == 'D')
                s.nOrder = gxDateDMY;
            else if (buf[0] == 'Y')
                s.nOrder = gxDateYMD;
            s.bFourDigitYear = strstr(buf, "YYYY") != nullptr;
            const char* p = buf;
            while (*p && *p != ' ' && ((*p >= 'A' && *p <= 'Z') || IsDigit(*p)))
                ++p;
            if (*p)
                s.cDateSep = *p;
        }
    }
    if (pbFourDigitYear)
        *pbFourDigitYear = s.bFourDigitYear;
    if (pcSeparator)
        *pcSeparator = s.cDateSep;
    return s.nOrder;
}

TCHAR CGXNoOleDateTimeImp::GetTimeSeparator(BOOL bRecompute)
{
    NoOleSettings& s = Settings();
    if (!s.bTimeSepRead || bRecompute) {
        char buf[16] = {};
        GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_STIME, buf, int(sizeof(buf)));
        s.cTimeSep = buf[0] ? buf[0] : ':';
        s.bTimeSepRead = true;
    }
    return s.cTimeSep;
}

namespace {

// Reads up to nMaxDigits digits after leading blanks and one separator; false without a digit.
bool ReadDateNumber(const char*& p, const char* end, int nMaxDigits, int& value)
{
    while (p < end && *p == ' ')
        ++p;
    if (p < end && !IsDigit(*p))
        ++p;
    int n = 0;
    value = 0;
    while (p < end && n < nMaxDigits && IsDigit(*p)) {
        value = value * 10 + (*p - '0');
        ++p;
        ++n;
    }
    return n > 0;
}

// Up to two digit characters of a minute or second field; absent gives 0.
bool ReadTimePair(const char*& p, const char* end, int& value)
{
    value = 0;
    int n = 0;
    while (p < end && n < 2 && IsDigit(*p)) {
        value = value * 10 + (*p - '0');
        ++p;
        ++n;
    }
    return n > 0 || p == end || *p == ' ';
}

bool EndsWithNoCase(const CString& text, const char* suffix)
{
    int n = int(strlen(suffix));
    if (text.GetLength() < n)
        return false;
    return strcasecmp(LPCTSTR(text) + text.GetLength() - n, suffix) == 0;
}

CString TrimLeft(const char* begin, const char* end)
{
    while (begin < end && *begin == ' ')
        ++begin;
    return CString(begin, int(end - begin));
}

}  // namespace

BOOL CGXNoOleDateTimeImp::Parse(LPCTSTR pszText, GXCALENDAR* pCal, struct tm* pTm)
{
    if (pCal)
        memset(pCal, 0, sizeof(*pCal));
    if (pTm)
        memset(pTm, 0, sizeof(*pTm));
    if (!pszText)
        return FALSE;

    const char cTimeSep = GetTimeSeparator(FALSE);
    const char* text = pszText;
    const char* textEnd = text + strlen(text);
    const char* sep = strchr(text, cTimeSep);
    const char* blank = strchr(text, ' ');

    CString strDate, strTime;
    if (blank && sep && blank < sep) {
        strDate = TrimLeft(text, blank);
        strTime = TrimLeft(blank + 1, textEnd);
    } else if (!sep) {
        strDate = TrimLeft(text, textEnd);
    } else {
        strTime = TrimLeft(text, textEnd);
    }

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    if (!strTime.IsEmpty()) {
        year = 70;
        month = 0;
        day = 1;
        CString t = strTime;
        t.TrimRight();
        const char* p = t;
        const char* end = p + t.GetLength();
        int nHourDigits = 0;
        while (p < end && IsDigit(*p) && nHourDigits < 3) {
            hour = hour * 10 + (*p - '0');
            ++p;
            ++nHourDigits;
        }
        if (nHourDigits == 0 || p >= end || *p != cTimeSep)
            return FALSE;
        ++p;
        // "12:" has nothing after the separator: the minutes are 0, nothing is read beyond it.
        if (!ReadTimePair(p, end, minute) || minute > 59)
            return FALSE;
        if (p < end && *p == cTimeSep) {
            ++p;
            if (!ReadTimePair(p, end, second) || second > 59)
                return FALSE;
        }
        // What may follow: blanks and an AM/PM marker.
        while (p < end && *p == ' ')
            ++p;
        CString strRest(p, int(end - p));
        if (EndsWithNoCase(t, "PM") || EndsWithNoCase(t, "P")) {
            if (strRest.CompareNoCase("PM") != 0 && strRest.CompareNoCase("P") != 0)
                return FALSE;
            hour += 12;
            if (hour == 24)
                hour = 12;
        } else if (EndsWithNoCase(t, "AM") || EndsWithNoCase(t, "A")) {
            if (strRest.CompareNoCase("AM") != 0 && strRest.CompareNoCase("A") != 0)
                return FALSE;
            if (hour >= 13)
                return FALSE;
            if (hour == 12)
                hour = 0;
        } else if (!strRest.IsEmpty()) {
            return FALSE;
        }
        if (hour < 0 || hour > 24)
            return FALSE;
    }

    if (!strDate.IsEmpty()) {
        for (const char* q = strDate; *q; ++q)
            if (!strchr("0123456789/-. ", *q))
                return FALSE;
        CString d = strDate;
        d.TrimRight();
        if (d.GetLength() == 6) {
            bool bAllDigits = true;
            for (int i = 0; i < 6; ++i)
                bAllDigits = bAllDigits && IsDigit(d[i]);
            if (bAllDigits)
                d = d.Left(2) + "/" + d.Mid(2, 2) + "/" + d.Mid(4, 2);
        }
        int nOrder = GetDateOrder(FALSE, nullptr, nullptr);
        const char* p = d;
        const char* end = p + d.GetLength();
        int nYearDigits = 0;
        auto readDay = [&] { return ReadDateNumber(p, end, 2, day) && day >= 1 && day <= 31; };
        auto readMonth = [&] { return ReadDateNumber(p, end, 2, month) && month >= 1 && month <= 12; };
        auto readYear = [&] {
            const char* start = p;
            if (!ReadDateNumber(p, end, 4, year))
                return false;
            nYearDigits = 0;
            for (const char* q = start; q < p; ++q)
                nYearDigits += IsDigit(*q) ? 1 : 0;
            return true;
        };
        bool ok;
        if (nOrder == gxDateDMY)
            ok = readDay() && readMonth() && readYear();
        else if (nOrder == gxDateYMD)
            ok = readYear() && readMonth() && readDay();
        else
            ok = readMonth() && readDay() && readYear();
        if (!ok)
            return FALSE;
        while (p < end && *p == ' ')
            ++p;
        if (p != end)
            return FALSE;
        if (nYearDigits <= 2 && year >= 1 && year <= 99)
            year += 1900;
        if (day > DaysInMonth(month, year))
            return FALSE;
    }

    if (pCal) {
        pCal->wYear = WORD(year);
        pCal->wMonth = WORD(month);
        pCal->wDay = WORD(day);
        pCal->wHour = WORD(hour);
        pCal->wMinute = WORD(minute);
        pCal->wSecond = WORD(second);
    }
    if (pTm) {
        pTm->tm_mon = month > 0 ? month - 1 : 0;
        if (year >= 1900)
            pTm->tm_year = year - 1900;
        else if (year <= 37)
            pTm->tm_year = year + 100;
        else
            pTm->tm_year = year - 1900;
        if (!strTime.IsEmpty() && strDate.IsEmpty())
            pTm->tm_year = 70;
        pTm->tm_mday = day;
        pTm->tm_hour = hour;
        pTm->tm_min = minute;
        pTm->tm_sec = second;
    }
    return TRUE;
}

BOOL CGXNoOleDateTimeImp::ParseToCalendar(GXCALENDAR& cal, LPCTSTR pszText) { return Parse(pszText, &cal, nullptr); }

BOOL CGXNoOleDateTimeImp::ParseToTm(struct tm& t, LPCTSTR pszText) { return Parse(pszText, nullptr, &t); }

void CGXNoOleDateTimeImp::FormatCalendar(CString& strResult, const GXCALENDAR& cal)
{
    BOOL bFour = FALSE;
    TCHAR cSep = '/';
    int nOrder = GetDateOrder(FALSE, &bFour, &cSep);
    TCHAR cTimeSep = GetTimeSeparator(FALSE);
    CString strDate, strTime;
    if (cal.wMonth != 0) {
        int y = bFour ? cal.wYear : cal.wYear % 100;
        if (nOrder == gxDateYMD)
            strDate.Format(bFour ? "%04d%c%02d%c%02d" : "%02d%c%02d%c%02d", y, cSep, cal.wMonth, cSep, cal.wDay);
        else if (nOrder == gxDateDMY)
            strDate.Format(bFour ? "%02d%c%02d%c%04d" : "%02d%c%02d%c%02d", cal.wDay, cSep, cal.wMonth, cSep, y);
        else
            strDate.Format(bFour ? "%02d%c%02d%c%04d" : "%02d%c%02d%c%02d", cal.wMonth, cSep, cal.wDay, cSep, y);
    }
    if (cal.wHour || cal.wMinute || cal.wSecond)
        strTime.Format("%02d%c%02d%c%02d", cal.wHour, cTimeSep, cal.wMinute, cTimeSep, cal.wSecond);
    if (!strDate.IsEmpty() && !strTime.IsEmpty())
        strResult = strDate + " " + strTime;
    else
        strResult = strDate.IsEmpty() ? strTime : strDate;
}

void CGXNoOleDateTimeImp::FormatTime(CString& strResult, time_t t) { FormatLocalTime(strResult, t); }

// ---- Number formats ----

namespace {

// printf of a double with the C library's decimal point turned into '.'.
CString PrintDouble(const char* fmt, int places, double v)
{
    char buf[512];
    snprintf(buf, sizeof(buf), fmt, places, v);
    const char* dp = localeconv()->decimal_point;
    if (dp && dp[0] && dp[0] != '.' && !dp[1])
        for (char* p = buf; *p; ++p)
            if (*p == dp[0])
                *p = '.';
    return CString(buf);
}

// Fixed notation of |v| with a ',' before every three digits of the integer part.
CString Grouped(double v, unsigned places)
{
    CString digits = PrintDouble("%.*f", int(places), std::fabs(v));
    int point = digits.Find('.');
    int intLen = point < 0 ? digits.GetLength() : point;
    CString out;
    for (int i = 0; i < intLen; ++i) {
        if (i > 0 && (intLen - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    out += digits.Mid(intLen);
    return out;
}

CString FormatOleDate(double v, const char* fmt)
{
    COleDateTime dt(v);
    if (dt.GetStatus() != COleDateTime::valid)
        return CString();
    return dt.Format(fmt);
}

CString FormatFraction(double v, unsigned places)
{
    int q = (places >= 1 && places <= 6) ? int(places) : 3;
    long long denominator = 1;
    for (int i = 0; i < q + 2; ++i)
        denominator *= 10;
    double a = std::fabs(v);
    double whole = std::floor(a);
    long long numerator = (long long)std::llround((a - whole) * double(denominator));
    if (numerator >= denominator) {
        numerator -= denominator;
        whole += 1;
    }
    // The denominator is a power of ten: 2 and 5 are the only primes that can reduce it.
    static const int kPrimes[] = {2, 5};
    for (int prime : kPrimes)
        while (numerator > 0 && numerator % prime == 0 && denominator % prime == 0) {
            numerator /= prime;
            denominator /= prime;
        }
    CString out(v < 0 ? "-" : " ");
    if (a >= 1) {
        CString s;
        s.Format("%.0f", whole);
        out += s;
    }
    CString s;
    s.Format(" %lld/%lld", numerator, denominator);
    return out + s;
}

}  // namespace

CString CGXNumberFormattingImp::FormatValue(double v, unsigned nFormat, unsigned p)
{
    CString s;
    switch (nFormat) {
    case GX_FMT_SCIENTIFIC:
        return PrintDouble("%.*le", int(p), v);
    case GX_FMT_FIXED:
        return PrintDouble("%.*lf", int(p), v);
    case GX_FMT_GEN:
        return PrintDouble("%.*lg", int(p), v);
    case GX_FMT_DOLLARS:
        s.Format(v < 0 ? "($%s)" : "$%s ", LPCTSTR(Grouped(v, p)));
        return s;
    case GX_FMT_COMMA:
        s.Format(v < 0 ? "(%s)" : "%s ", LPCTSTR(Grouped(v, p)));
        return s;
    case GX_FMT_COMMA_BLANK:
        s.Format(v < 0 ? "(%s)" : " %s ", LPCTSTR(Grouped(v, p)));
        return s;
    case GX_FMT_HEX: {
        double a = std::trunc(std::fabs(v));
        // Beyond 64 bits there is no integer to show.
        if (!(a < 18446744073709551616.0))
            return CString("?");
        s.Format("0x%llX", (unsigned long long)a);
        return s;
    }
    case GX_FMT_LOGIC:
        if (v >= 0 && v < 2)
            return CString(v < 1 ? "0" : "1");
        return CString("?");
    case GX_FMT_DAY_MONTH_YEAR:
        return FormatOleDate(v, "%d-%b-%y");
    case GX_FMT_DAY_MONTH:
        return FormatOleDate(v, "%d-%b");
    case GX_FMT_MONTH_YEAR:
        return FormatOleDate(v, "%b-%y");
    case GX_FMT_DATE: {
        COleDateTime dt(std::trunc(v));
        return dt.GetStatus() == COleDateTime::valid ? dt.Format(VAR_DATEVALUEONLY, LOCALE_USER_DEFAULT) : CString();
    }
    case GX_FMT_HIDDEN:
        return CString();
    case GX_FMT_TIME: {
        COleDateTime dt(std::fabs(v - std::trunc(v)));
        return dt.GetStatus() == COleDateTime::valid ? dt.Format(VAR_TIMEVALUEONLY, LOCALE_USER_DEFAULT) : CString();
    }
    case GX_FMT_PERCENT:
        if (v >= 1.7976931348623156e306)
            return CString(" Percent! ");
        return PrintDouble("%.*lf%%", int(p), v * 100);
    case GX_FMT_INTL_DATE:
        return FormatOleDate(v, "%d.%m.%Y");
    case GX_FMT_ISO8061_DATE:
        return FormatOleDate(v, "%Y-%m-%d");
    case GX_FMT_DATETIME: {
        COleDateTime dt(v);
        return dt.GetStatus() == COleDateTime::valid ? dt.Format(0, LOCALE_USER_DEFAULT) : CString();
    }
    case GX_FMT_FRACTION:
        return FormatFraction(v, p);
    case GX_FMT_TIME_AMPM:
        return FormatOleDate(v, "%I:%M %p");
    case GX_FMT_TIME_AMPM_SECONDS:
        return FormatOleDate(v, "%I:%M:%S %p");
    case GX_FMT_TIME_24:
        return FormatOleDate(v, "%H:%M");
    case GX_FMT_NUMBERFORMAT: {
        CString plain = PrintDouble("%.*g", 14, v);
        char buf[256];
        if (GetNumberFormat(LOCALE_USER_DEFAULT, 0, plain, nullptr, buf, int(sizeof(buf))) > 0) {
            buf[sizeof(buf) - 1] = 0;
            CString out(buf);
            if (!out.IsEmpty() && IsDigit(out[out.GetLength() - 1]))
                out += ' ';
            return out;
        }
        return plain;
    }
    default:
        if (nFormat > GX_FMT_NUMBERFORMAT)
            return CString(" Format? ");
        return CString();  // the formats that show the text unchanged are handled by the caller
    }
}

void CGXNumberFormattingImp::FormatNumber(CString& strResult, const CGXStyle& style, LPCTSTR pszValue,
                                          unsigned nValueType, unsigned nFormat, unsigned nPlaces)
{
    CString strValue;
    if (pszValue) {
        strValue = pszValue;
    } else {
        strValue = style.GetValueRef();
        nValueType = style.GetValueType();
    }
    if (nFormat == GX_FMT_FROM_STYLE) {
        if (!style.GetIncludeFormat()) {
            strResult = strValue;
            return;
        }
        nFormat = style.GetFormat();
    }
    if (nPlaces == GX_FMT_FROM_STYLE)
        nPlaces = style.GetPlaces();

    if (nFormat == GX_FMT_HIDDEN) {
        strResult.Empty();
        return;
    }
    bool bAsText = nValueType != GX_VT_NUMBER || nFormat == GX_FMT_DEFAULT || nFormat == GX_FMT_TEXT ||
                   (nFormat >= GX_FMT_USER1 && nFormat <= GX_FMT_USER4);
    if (bAsText) {
        strResult = strValue;
        return;
    }
    strResult = FormatValue(atof(strValue), nFormat, nPlaces);
}

BOOL CGXNumberFormattingImp::ParseNumber(LPCTSTR pszText, double& value, unsigned& nFormat, unsigned& nPlaces)
{
    value = 0;
    nFormat = GX_FMT_DEFAULT;
    nPlaces = 0;
    if (!pszText || strlen(pszText) > 256)
        return FALSE;

    const char* p = pszText;
    while (*p == ' ')
        ++p;
    bool bParen = false, bDollar = false;
    if (*p == '(') {
        bParen = true;
        ++p;
    }
    if (*p == '$') {
        bDollar = true;
        ++p;
    }

    const char* start = p;
    int commas[20];
    int nCommas = 0;
    int pointPos = -1, expPos = -1, closePos = -1, endPos = -1;
    int nDigits = 0, nDecimals = 0;
    char clean[260];
    int nClean = 0;
    for (; *p; ++p) {
        char c = *p;
        int pos = int(p - start);
        if (closePos >= 0 || endPos >= 0) {
            // Only blanks may follow the closing parenthesis or the first trailing blank.
            if (c != ' ')
                return FALSE;
            continue;
        }
        if (c == '+' || c == '-') {
            if (bParen)
                return FALSE;
        } else if (c == ',') {
            if (nCommas >= 20 || pointPos >= 0 || expPos >= 0)
                return FALSE;
            commas[nCommas++] = pos;
            continue;
        } else if (c == '.') {
            if (pointPos >= 0 || expPos >= 0)
                return FALSE;
            pointPos = pos;
        } else if (c == 'E' || c == 'e') {
            if (expPos >= 0 || bParen)
                return FALSE;
            expPos = pos;
        } else if (IsDigit(c)) {
            if (expPos < 0) {
                nDigits++;
                if (pointPos >= 0)
                    nDecimals++;
            }
        } else if (c == ')') {
            if (!bParen)
                return FALSE;
            closePos = pos;
            continue;
        } else if (c == ' ') {
            endPos = pos;
            continue;
        } else {
            return FALSE;
        }
        clean[nClean++] = c;
    }
    clean[nClean] = 0;
    if (bParen && closePos < 0)
        return FALSE;

    int anchor = pointPos >= 0 ? pointPos
                 : closePos >= 0 ? closePos
                 : expPos >= 0   ? expPos
                 : endPos >= 0   ? endPos
                                 : int(p - start);
    // The exponent and the end mark positions in the text without the trailing blanks.
    if (pointPos < 0 && closePos < 0 && expPos < 0 && endPos < 0)
        anchor = int(strlen(start));
    for (int i = 0; i < nCommas; ++i) {
        int dist = anchor - commas[i];
        if (dist <= 0 || dist % 4 != 0)
            return FALSE;
    }

    if (nClean == 0)
        return FALSE;
    errno = 0;
    char* stop = nullptr;
    double v = strtod(clean, &stop);
    if (stop != clean + nClean || errno == ERANGE || !std::isfinite(v))
        return FALSE;
    value = bParen ? -v : v;

    if (nDigits > 16)
        nDigits = 16;
    if (expPos >= 0) {
        nFormat = GX_FMT_SCIENTIFIC;
        nPlaces = nDigits > 0 ? unsigned(nDigits - 1) : 0;
    } else {
        if (bDollar)
            nFormat = GX_FMT_DOLLARS;
        else if (nCommas > 0 || bParen)
            nFormat = GX_FMT_COMMA;
        else
            nFormat = GX_FMT_FIXED;
        nPlaces = unsigned(nDecimals);
    }
    if (nPlaces > 15)
        nPlaces = 15;
    return TRUE;
}

BOOL CGXNumberFormattingImp::ParseNumber(const char* pszText, double& value)
{
    unsigned nFormat = 0, nPlaces = 0;
    return ParseNumber(pszText, value, nFormat, nPlaces);
}

// ---- Rotated text ----

CPoint CGXDrawRotatedTextImp::ComputeOrigin(const CSize& extent, const CRect& rect, double degrees, UINT nFormat)
{
    const double rad = degrees * 0.017453292519444445;
    const double c = std::cos(rad), s = std::sin(rad);
    const double w = extent.cx, h = extent.cy;
    // Corners of the text box relative to the start point (y grows downward; the text runs
    // along (cos, -sin) and its cell height along (sin, cos)).
    const double xs[4] = {0, w * c, w * c + h * s, h * s};
    const double ys[4] = {0, -w * s, -w * s + h * c, h * c};
    double minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int i = 1; i < 4; ++i) {
        minX = std::min(minX, xs[i]);
        maxX = std::max(maxX, xs[i]);
        minY = std::min(minY, ys[i]);
        maxY = std::max(maxY, ys[i]);
    }
    const double boxW = maxX - minX, boxH = maxY - minY;
    double left = rect.left, top = rect.top;
    if (nFormat & DT_CENTER)
        left = rect.left + (rect.Width() - boxW) / 2;
    else if (nFormat & DT_RIGHT)
        left = rect.right - boxW;
    if (nFormat & DT_VCENTER)
        top = rect.top + (rect.Height() - boxH) / 2;
    else if (nFormat & DT_BOTTOM)
        top = rect.bottom - boxH;
    return CPoint(int(std::lround(left - minX)), int(std::lround(top - minY)));
}

BOOL CGXDrawRotatedTextImp::DrawRotated(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, int nAngle,
                                        UINT nFormat, const CRect* pClipRect)
{
    if (!pDC || !pszText)
        return FALSE;
    if (nLength < 0)
        nLength = int(strlen(pszText));
    CSize extent = pDC->GetTextExtent(pszText, nLength);
    double degrees = std::fmod(nAngle * 0.1, 360.0);
    if (degrees < 0)
        degrees += 360.0;
    CPoint pt = ComputeOrigin(extent, rect, degrees, nFormat);
    int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(pClipRect ? pClipRect : &rect);
    BOOL ok = pDC->TextOut(pt.x, pt.y, pszText, nLength);
    pDC->RestoreDC(nSaved);
    return ok;
}
