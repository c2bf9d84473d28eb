#include "platform/sys/ole.h"

#include "platform/base/textcase.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

// ===================================================================== BSTR

// Layout: a 32-bit byte length, the bytes, a terminating zero. The BSTR points at the bytes.
BSTR SysAllocStringLen(LPCOLESTR pch, UINT cch)
{
    if (cch > 0x7FFFFFF0u)
        return nullptr;
    char* block = new (std::nothrow) char[sizeof(uint32_t) + size_t(cch) + 1];
    if (!block)
        return nullptr;
    uint32_t len = cch;
    std::memcpy(block, &len, sizeof len);
    char* text = block + sizeof(uint32_t);
    if (pch)
        std::memcpy(text, pch, cch);
    else
        std::memset(text, 0, cch);
    text[cch] = 0;
    return text;
}

BSTR SysAllocString(LPCOLESTR psz)
{
    if (!psz)
        return nullptr;
    return SysAllocStringLen(psz, UINT(std::strlen(psz)));
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        delete[] (bstr - sizeof(uint32_t));
}

UINT SysStringLen(BSTR bstr)
{
    if (!bstr)
        return 0;
    uint32_t len;
    std::memcpy(&len, bstr - sizeof(uint32_t), sizeof len);
    return len;
}

namespace {

std::string_view bstrView(BSTR b) { return b ? std::string_view(b, SysStringLen(b)) : std::string_view(); }

BSTR allocString(std::string_view s) { return SysAllocStringLen(s.data(), UINT(s.size())); }

} // namespace

// ===================================================================== SAFEARRAY

namespace {

struct PvByteArray : SAFEARRAY {
    std::vector<BYTE> bytes;
};

PvByteArray* asByteArray(SAFEARRAY* psa) { return static_cast<PvByteArray*>(psa); }

SAFEARRAY* newByteArray(LONG lLbound, ULONG cElements, const BYTE* data)
{
    try {
        auto* a = new PvByteArray();
        a->cDims = 1;
        a->fFeatures = 0;
        a->cbElements = 1;
        a->cLocks = 0;
        a->rgsabound[0].cElements = cElements;
        a->rgsabound[0].lLbound = lLbound;
        try {
            if (data)
                a->bytes.assign(data, data + cElements);
            else
                a->bytes.assign(cElements, 0);
        } catch (...) {
            delete a;
            return nullptr;
        }
        a->pvData = a->bytes.data();
        return a;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound)
{
    if (vt != VT_UI1 || cDims != 1 || !rgsabound)
        return nullptr;
    return newByteArray(rgsabound[0].lLbound, rgsabound[0].cElements, nullptr);
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements)
{
    if (vt != VT_UI1)
        return nullptr;
    return newByteArray(lLbound, cElements, nullptr);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa)
{
    if (!psa)
        return S_OK;
    if (psa->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    delete asByteArray(psa);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut)
{
    if (!ppsaOut)
        return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa)
        return S_OK;
    PvByteArray* src = asByteArray(psa);
    *ppsaOut = newByteArray(src->rgsabound[0].lLbound, src->rgsabound[0].cElements, src->bytes.data());
    return *ppsaOut ? S_OK : E_OUTOFMEMORY;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound)
{
    if (!psa || !plLbound || nDim != 1)
        return E_INVALIDARG;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound)
{
    if (!psa || !plUbound || nDim != 1)
        return E_INVALIDARG;
    *plUbound = LONG(int64_t(psa->rgsabound[0].lLbound) + int64_t(psa->rgsabound[0].cElements) - 1);
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData)
{
    if (!psa || !ppvData)
        return E_INVALIDARG;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa)
{
    if (!psa || psa->cLocks == 0)
        return E_INVALIDARG;
    --psa->cLocks;
    return S_OK;
}

namespace {

bool elementIndex(SAFEARRAY* psa, LONG* rgIndices, size_t& index)
{
    if (!psa || !rgIndices)
        return false;
    int64_t i = int64_t(rgIndices[0]) - psa->rgsabound[0].lLbound;
    if (i < 0 || i >= int64_t(psa->rgsabound[0].cElements))
        return false;
    index = size_t(i);
    return true;
}

} // namespace

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv)
{
    size_t i;
    if (!pv || !elementIndex(psa, rgIndices, i))
        return E_INVALIDARG;
    *static_cast<BYTE*>(pv) = asByteArray(psa)->bytes[i];
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv)
{
    size_t i;
    if (!pv || !elementIndex(psa, rgIndices, i))
        return E_INVALIDARG;
    asByteArray(psa)->bytes[i] = *static_cast<const BYTE*>(pv);
    return S_OK;
}

// ===================================================================== calendar

namespace {

constexpr long kMinDate = -657434;  // 100-01-01
constexpr long kMaxDate = 2958465;  // 9999-12-31
constexpr double kMaxSpan = 3615897.0;

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[m - 1] + (m == 2 && isLeap(y) ? 1 : 0);
}

bool inDateRange(double dt) { return dt > double(kMinDate) - 1.0 && dt < double(kMaxDate) + 1.0; }

struct DateParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int dayOfWeek = 0;  // 1 = Sunday
    int dayOfYear = 0;
    long long serialDays = 0;  // whole days of the serial (after rounding to the second)
    long seconds = 0;          // time of day
};

// The moment a serial stands for, as a number that grows with time.
double linearFromSerial(double dt)
{
    double whole = std::trunc(dt);
    return whole + std::fabs(dt - whole);
}

double serialFromLinear(double x)
{
    double days = std::floor(x);
    double frac = x - days;
    return days < 0 ? days - frac : days + frac;
}

bool splitSerial(double dt, DateParts& p)
{
    if (!inDateRange(dt))
        return false;
    double whole = std::trunc(dt);
    long long days = (long long)whole;
    long long secs = std::llround(std::fabs(dt - whole) * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    long long z = kEpoch + days;
    civilFromDays(z, p.year, p.month, p.day);
    p.hour = int(secs / 3600);
    p.minute = int(secs / 60 % 60);
    p.second = int(secs % 60);
    p.dayOfWeek = int(((z % 7) + 7 + 4) % 7) + 1;
    p.dayOfYear = int(z - daysFromCivil(p.year, 1, 1)) + 1;
    p.serialDays = days;
    p.seconds = long(secs);
    return true;
}

bool validParts(int y, int mo, int d, int h, int mi, int s)
{
    return y >= 100 && y <= 9999 && mo >= 1 && mo <= 12 && d >= 1 && d <= daysInMonth(y, mo) && h >= 0 &&
           h <= 23 && mi >= 0 && mi <= 59 && s >= 0 && s <= 59;
}

double serialFromParts(int y, int mo, int d, int h, int mi, int s)
{
    long long days = daysFromCivil(y, mo, d) - kEpoch;
    double t = (h * 3600 + mi * 60 + s) / 86400.0;
    return days >= 0 ? double(days) + t : double(days) - t;
}

int currentYear()
{
    time_t now = time(nullptr);
    struct tm tmNow {};
    localtime_r(&now, &tmNow);
    return tmNow.tm_year + 1900;
}

// ===================================================================== locale helpers

std::string loc(LCID lcid, LCTYPE type) { return PvLocaleString(lcid, type); }

// 1-based weekday with 1 = Sunday, as the calendar functions count; the locale counts from Monday.
std::string dayName(LCID lcid, int dayOfWeek, bool abbreviated)
{
    int monFirst = (dayOfWeek + 5) % 7;  // Sunday -> 6
    return loc(lcid, (abbreviated ? LOCALE_SABBREVDAYNAME1 : LOCALE_SDAYNAME1) + LCTYPE(monFirst));
}

std::string monthName(LCID lcid, int month, bool abbreviated)
{
    return loc(lcid, (abbreviated ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) + LCTYPE(month - 1));
}

std::string twoDigits(int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// A Win32 date/time picture ("M/d/yyyy", "h:mm:ss tt", "dddd, d. MMMM yyyy") applied to a date.
std::string formatPicture(std::string_view pic, const DateParts& p, LCID lcid)
{
    std::string out;
    size_t i = 0;
    while (i < pic.size()) {
        char c = pic[i];
        if (c == '\'') {
            ++i;
            while (i < pic.size()) {
                if (pic[i] == '\'') {
                    if (i + 1 < pic.size() && pic[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += pic[i++];
            }
            continue;
        }
        size_t n = 1;
        while (i + n < pic.size() && pic[i + n] == c)
            ++n;
        switch (c) {
        case 'd':
            if (n == 1) out += std::to_string(p.day);
            else if (n == 2) out += twoDigits(p.day);
            else out += dayName(lcid, p.dayOfWeek, n == 3);
            break;
        case 'M':
            if (n == 1) out += std::to_string(p.month);
            else if (n == 2) out += twoDigits(p.month);
            else out += monthName(lcid, p.month, n == 3);
            break;
        case 'y':
            if (n == 1) out += std::to_string(p.year % 100);
            else if (n == 2) out += twoDigits(p.year % 100);
            else {
                char buf[16];
                std::snprintf(buf, sizeof buf, "%04d", p.year);
                out += buf;
            }
            break;
        case 'h': {
            int h = p.hour % 12 == 0 ? 12 : p.hour % 12;
            out += n == 1 ? std::to_string(h) : twoDigits(h);
            break;
        }
        case 'H': out += n == 1 ? std::to_string(p.hour) : twoDigits(p.hour); break;
        case 'm': out += n == 1 ? std::to_string(p.minute) : twoDigits(p.minute); break;
        case 's': out += n == 1 ? std::to_string(p.second) : twoDigits(p.second); break;
        case 't': {
            std::string marker = loc(lcid, p.hour < 12 ? LOCALE_S1159 : LOCALE_S2359);
            out += n == 1 ? marker.substr(0, marker.empty() ? 0 : 1) : marker;
            break;
        }
        case 'g': break;  // era: the Gregorian calendar has none worth showing
        default: out.append(n, c); break;
        }
        i += n;
    }
    return out;
}

// The text of a date in the default form: the short date, the time, or both. A serial whose
// day part is 0 shows only its time.
std::string formatDefault(double dt, ULONG flags, LCID lcid)
{
    DateParts p;
    splitSerial(dt, p);
    std::string date = formatPicture(loc(lcid, LOCALE_SSHORTDATE), p, lcid);
    std::string time = formatPicture(loc(lcid, LOCALE_STIMEFORMAT), p, lcid);
    if (flags & VAR_DATEVALUEONLY)
        return date;
    if (flags & VAR_TIMEVALUEONLY)
        return time;
    if (p.serialDays == 0)
        return time;
    if (p.seconds == 0)
        return date;
    return date + " " + time;
}

bool startsWithAt(std::string_view s, size_t pos, std::string_view token)
{
    return !token.empty() && s.size() - pos >= token.size() && s.compare(pos, token.size(), token) == 0;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (static_cast<unsigned char>(c) >= 0x80);
}

// ===================================================================== number text

struct NumberText {
    bool negative = false;
    std::string intDigits;
    std::string fracDigits;
    long exponent = 0;
};

// Reads a number written with the locale's separators: blanks around it, a sign before or
// after, parentheses for a negative, the currency symbol before or after, thousands separators
// between digits, a decimal separator and an exponent.
bool lexNumber(std::string_view s, LCID lcid, NumberText& out)
{
    std::string decimal = loc(lcid, LOCALE_SDECIMAL);
    std::string monDecimal = loc(lcid, LOCALE_SMONDECIMALSEP);
    std::string thousand = loc(lcid, LOCALE_STHOUSAND);
    std::string monThousand = loc(lcid, LOCALE_SMONTHOUSANDSEP);
    std::string currency = loc(lcid, LOCALE_SCURRENCY);
    std::string negSign = loc(lcid, LOCALE_SNEGATIVESIGN);
    if (decimal.empty())
        decimal = ".";
    if (thousand == decimal)
        thousand.clear();
    if (monThousand == decimal)
        monThousand.clear();

    size_t i = 0;
    bool sign = false, paren = false, symbol = false;
    auto skipSpaces = [&] {
        while (i < s.size() && isSpace(s[i]))
            ++i;
    };
    auto takeSign = [&]() -> bool {
        if (sign || i >= s.size())
            return false;
        if (s[i] == '+' || s[i] == '-') {
            out.negative = s[i] == '-';
            ++i;
        } else if (negSign != "-" && startsWithAt(s, i, negSign)) {
            out.negative = true;
            i += negSign.size();
        } else {
            return false;
        }
        sign = true;
        return true;
    };
    auto takeSymbol = [&]() -> bool {
        if (symbol || !startsWithAt(s, i, currency))
            return false;
        i += currency.size();
        symbol = true;
        return true;
    };

    for (;;) {
        skipSpaces();
        if (takeSign() || takeSymbol())
            continue;
        if (!paren && !sign && i < s.size() && s[i] == '(') {
            paren = true;
            ++i;
            continue;
        }
        break;
    }
    bool digits = false;
    while (i < s.size()) {
        if (isDigit(s[i])) {
            out.intDigits += s[i++];
            digits = true;
            continue;
        }
        // A thousands separator counts only between digits.
        const std::string* sep = startsWithAt(s, i, thousand)      ? &thousand
                                 : startsWithAt(s, i, monThousand) ? &monThousand
                                                                   : nullptr;
        if (sep && digits && i + sep->size() < s.size() && isDigit(s[i + sep->size()])) {
            i += sep->size();
            continue;
        }
        break;
    }
    if (startsWithAt(s, i, decimal) || startsWithAt(s, i, monDecimal)) {
        i += startsWithAt(s, i, decimal) ? decimal.size() : monDecimal.size();
        while (i < s.size() && isDigit(s[i])) {
            out.fracDigits += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNeg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            expNeg = s[i++] == '-';
        if (i >= s.size() || !isDigit(s[i]))
            return false;
        long e = 0;
        while (i < s.size() && isDigit(s[i])) {
            if (e < 100000)
                e = e * 10 + (s[i] - '0');
            ++i;
        }
        out.exponent = expNeg ? -e : e;
    }
    for (;;) {
        skipSpaces();
        if (i >= s.size())
            break;
        if (takeSymbol())
            continue;
        if (!paren && takeSign())
            continue;
        if (paren && s[i] == ')') {
            paren = false;
            out.negative = true;
            ++i;
            skipSpaces();
            if (i < s.size() && !symbol && takeSymbol())
                continue;
            break;
        }
        return false;
    }
    return !paren && i >= s.size();
}

HRESULT doubleFromNumberText(const NumberText& n, double& out)
{
    std::string text = (n.intDigits.empty() ? std::string("0") : n.intDigits);
    if (!n.fracDigits.empty())
        text += "." + n.fracDigits;
    text += "e" + std::to_string(n.exponent);
    double v = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // Tiny values become zero; huge ones do not fit.
        bool tiny = n.exponent < 0 && (long(n.intDigits.find_first_not_of('0') == std::string::npos
                                                 ? 0
                                                 : n.intDigits.size()) +
                                       n.exponent) < 0;
        if (!tiny)
            return DISP_E_OVERFLOW;
        v = 0;
    } else if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        return DISP_E_TYPEMISMATCH;
    }
    out = n.negative ? -v : v;
    return S_OK;
}

// Exact conversion to ten-thousandths, rounding half to even.
HRESULT currencyFromNumberText(const NumberText& n, LONGLONG& out)
{
    std::string all = n.intDigits + n.fracDigits;
    long point = long(n.intDigits.size()) + n.exponent + 4;  // digits before the cut
    size_t nz = all.find_first_not_of('0');
    if (nz == std::string::npos) {
        out = 0;
        return S_OK;
    }
    if (point - long(nz) > 20)
        return DISP_E_OVERFLOW;
    unsigned __int128 value = 0;
    for (long k = 0; k < point; ++k) {
        int digit = (k >= 0 && size_t(k) < all.size()) ? all[size_t(k)] - '0' : 0;
        value = value * 10 + unsigned(digit);
    }
    bool roundUp = false;
    if (point >= 0 && size_t(point) < all.size()) {
        int first = all[size_t(point)] - '0';
        bool rest = all.find_first_not_of('0', size_t(point) + 1) != std::string::npos;
        roundUp = first > 5 || (first == 5 && (rest || (value & 1)));
    }
    if (roundUp)
        ++value;
    unsigned __int128 limit = n.negative ? (unsigned __int128)(INT64_MAX) + 1 : (unsigned __int128)INT64_MAX;
    if (value > limit)
        return DISP_E_OVERFLOW;
    out = n.negative ? LONGLONG(-(__int128)value) : LONGLONG(value);
    return S_OK;
}

std::string replaceDecimal(std::string text, LCID lcid)
{
    std::string decimal = loc(lcid, LOCALE_SDECIMAL);
    size_t dot = text.find('.');
    if (dot != std::string::npos && !decimal.empty())
        text.replace(dot, 1, decimal);
    return text;
}

// Up to 15 significant digits, the exponent form for very large or small values ("1E+20").
std::string textFromDouble(double v, int precision, LCID lcid)
{
    if (v == 0)
        return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, precision);
    std::string text(buf, r.ptr);
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return replaceDecimal(text, lcid);
}

std::string textFromCurrency(LONGLONG v, LCID lcid)
{
    bool negative = v < 0;
    unsigned long long a = negative ? 0ull - (unsigned long long)v : (unsigned long long)v;
    std::string text = std::to_string(a / 10000);
    unsigned frac = unsigned(a % 10000);
    if (frac) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", frac);
        std::string f(buf);
        while (!f.empty() && f.back() == '0')
            f.pop_back();
        std::string decimal = loc(lcid, LOCALE_SDECIMAL);
        text += (decimal.empty() ? std::string(".") : decimal) + f;
    }
    return negative ? "-" + text : text;
}

// ===================================================================== date text

struct DateToken {
    enum Kind { Number, Word, Separator } kind;
    std::string text;
    char sep = 0;  // for separators: the character (' ' for blanks and commas)
};

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && PvCompareNoCase(a, b) == 0;
}

// 1-12 for a month name or abbreviation of the locale (or of English), else 0.
int matchMonth(const std::string& word, LCID lcid)
{
    for (int m = 1; m <= 12; ++m)
        if (equalsNoCase(word, monthName(lcid, m, false)) || equalsNoCase(word, monthName(lcid, m, true)))
            return m;
    for (int m = 1; m <= 12; ++m)
        if (equalsNoCase(word, monthName(0x0409, m, false)) || equalsNoCase(word, monthName(0x0409, m, true)))
            return m;
    return 0;
}

bool matchDayName(const std::string& word, LCID lcid)
{
    for (int d = 1; d <= 7; ++d)
        for (LCID l : {lcid, LCID(0x0409)})
            if (equalsNoCase(word, dayName(l, d, false)) || equalsNoCase(word, dayName(l, d, true)))
                return true;
    return false;
}

// 1 for an AM marker, 2 for PM, 0 otherwise.
int matchMarker(const std::string& word, LCID lcid)
{
    std::string am = loc(lcid, LOCALE_S1159), pm = loc(lcid, LOCALE_S2359);
    if ((!am.empty() && equalsNoCase(word, am)) || equalsNoCase(word, "AM") || equalsNoCase(word, "A"))
        return 1;
    if ((!pm.empty() && equalsNoCase(word, pm)) || equalsNoCase(word, "PM") || equalsNoCase(word, "P"))
        return 2;
    return 0;
}

// 0 month-day-year, 1 day-month-year, 2 year-month-day, from the short date picture.
int dateOrder(LCID lcid)
{
    std::string pic = loc(lcid, LOCALE_SSHORTDATE);
    bool quoted = false;
    for (char c : pic) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted && (c == 'M' || c == 'd' || c == 'y'))
            return c == 'M' ? 0 : c == 'd' ? 1 : 2;
    }
    return 0;
}

int expandYear(const std::string& digits)
{
    int y = std::atoi(digits.c_str());
    if (digits.size() <= 2)
        y += y < 30 ? 2000 : 1900;
    return y;
}

bool parseDate(std::string_view text, ULONG flags, LCID lcid, double& out)
{
    std::string timeSep = loc(lcid, LOCALE_STIME);
    std::string dateSep = loc(lcid, LOCALE_SDATE);
    std::vector<DateToken> tokens;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (isDigit(c)) {
            size_t j = i;
            while (j < text.size() && isDigit(text[j]))
                ++j;
            if (j - i > 9)
                return false;
            tokens.push_back({DateToken::Number, std::string(text.substr(i, j - i))});
            i = j;
        } else if (isWordByte(c)) {
            size_t j = i;
            while (j < text.size() && isWordByte(text[j]))
                ++j;
            tokens.push_back({DateToken::Word, std::string(text.substr(i, j - i))});
            i = j;
        } else if (isSpace(c) || c == ',') {
            if (tokens.empty() || tokens.back().kind != DateToken::Separator)
                tokens.push_back({DateToken::Separator, "", ' '});
            ++i;
        } else if (c == ':' || startsWithAt(text, i, timeSep)) {
            tokens.push_back({DateToken::Separator, "", ':'});
            i += c == ':' ? 1 : timeSep.size();
        } else if (c == '/' || c == '-' || c == '.' || startsWithAt(text, i, dateSep)) {
            if (!tokens.empty() && tokens.back().kind == DateToken::Separator && tokens.back().sep == ' ')
                tokens.back().sep = '/';
            else
                tokens.push_back({DateToken::Separator, "", '/'});
            i += (c == '/' || c == '-' || c == '.') ? 1 : dateSep.size();
        } else {
            return false;
        }
    }

    // A date or time separator stands between two numbers or words: "-1.25" or "12:30:" is no date.
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].kind != DateToken::Separator || tokens[k].sep == ' ')
            continue;
        DateToken::Kind need = tokens[k].sep == ':' ? DateToken::Number : DateToken::Word;
        auto fits = [&](size_t j) {
            return tokens[j].kind == DateToken::Number || tokens[j].kind == need;
        };
        if (k == 0 || k + 1 >= tokens.size() || !fits(k - 1) || !fits(k + 1))
            return false;
    }

    // The time: numbers joined by time separators, and an optional AM/PM marker.
    int timeParts[3] = {0, 0, 0};
    int timeCount = 0;
    int marker = 0;
    std::vector<std::string> dateNumbers;
    int month = 0;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const DateToken& t = tokens[k];
        if (t.kind == DateToken::Separator)
            continue;
        if (t.kind == DateToken::Word) {
            if (int mk = matchMarker(t.text, lcid)) {
                if (marker)
                    return false;
                marker = mk;
            } else if (int m = matchMonth(t.text, lcid)) {
                if (month)
                    return false;
                month = m;
            } else if (!matchDayName(t.text, lcid)) {
                return false;
            }
            continue;
        }
        bool startsTime = k + 2 < tokens.size() && tokens[k + 1].kind == DateToken::Separator &&
                          tokens[k + 1].sep == ':' && tokens[k + 2].kind == DateToken::Number;
        // "3 PM": an hour alone before a marker.
        bool hourBeforeMarker = !startsTime && timeCount == 0 && k + 1 < tokens.size() &&
                                ((tokens[k + 1].kind == DateToken::Word && matchMarker(tokens[k + 1].text, lcid)) ||
                                 (k + 2 < tokens.size() && tokens[k + 1].kind == DateToken::Separator &&
                                  tokens[k + 1].sep == ' ' && tokens[k + 2].kind == DateToken::Word &&
                                  matchMarker(tokens[k + 2].text, lcid)));
        if (startsTime || hourBeforeMarker) {
            if (timeCount)
                return false;
            timeParts[timeCount++] = std::atoi(t.text.c_str());
            while (k + 2 < tokens.size() && tokens[k + 1].kind == DateToken::Separator && tokens[k + 1].sep == ':' &&
                   tokens[k + 2].kind == DateToken::Number) {
                if (timeCount == 3)
                    return false;
                timeParts[timeCount++] = std::atoi(tokens[k + 2].text.c_str());
                k += 2;
            }
            continue;
        }
        dateNumbers.push_back(t.text);
    }
    if (marker && !timeCount)
        return false;

    int hour = timeParts[0], minute = timeParts[1], second = timeParts[2];
    if (marker) {
        if (hour > 12)
            return false;
        if (marker == 1 && hour == 12)
            hour = 0;
        else if (marker == 2 && hour < 12)
            hour += 12;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;

    bool hasDate = month || !dateNumbers.empty();
    int year = 1899, mon = 12, day = 30;
    if (hasDate) {
        const size_t n = dateNumbers.size();
        auto isYearLike = [](const std::string& s) { return s.size() >= 3 || std::atoi(s.c_str()) > 31; };
        if (month) {
            mon = month;
            if (n == 0)
                return false;
            if (n == 1) {
                day = std::atoi(dateNumbers[0].c_str());
                year = currentYear();
            } else if (n == 2) {
                bool yearFirst = isYearLike(dateNumbers[0]);
                day = std::atoi(dateNumbers[yearFirst ? 1 : 0].c_str());
                year = expandYear(dateNumbers[yearFirst ? 0 : 1]);
            } else {
                return false;
            }
        } else if (n == 3) {
            int order = isYearLike(dateNumbers[0]) ? 2 : dateOrder(lcid);
            const std::string *y, *m, *d;
            if (order == 0) { m = &dateNumbers[0]; d = &dateNumbers[1]; y = &dateNumbers[2]; }
            else if (order == 1) { d = &dateNumbers[0]; m = &dateNumbers[1]; y = &dateNumbers[2]; }
            else { y = &dateNumbers[0]; m = &dateNumbers[1]; d = &dateNumbers[2]; }
            year = expandYear(*y);
            mon = std::atoi(m->c_str());
            day = std::atoi(d->c_str());
        } else if (n == 2) {
            if (isYearLike(dateNumbers[1])) {
                // month and year
                mon = std::atoi(dateNumbers[0].c_str());
                year = expandYear(dateNumbers[1]);
                day = 1;
            } else {
                bool dayFirst = dateOrder(lcid) == 1;
                day = std::atoi(dateNumbers[dayFirst ? 0 : 1].c_str());
                mon = std::atoi(dateNumbers[dayFirst ? 1 : 0].c_str());
                year = currentYear();
            }
        } else {
            return false;  // a lone number is not a date
        }
    } else if (!timeCount) {
        return false;
    }
    if (!validParts(year, mon, day, hour, minute, second))
        return false;
    if (flags & VAR_TIMEVALUEONLY)
        year = 1899, mon = 12, day = 30;
    if (flags & VAR_DATEVALUEONLY)
        hour = minute = second = 0;
    out = serialFromParts(year, mon, day, hour, minute, second);
    return true;
}

} // namespace

// ===================================================================== Var* conversions

HRESULT VarR8FromStr(LPCOLESTR strIn, LCID lcid, ULONG, DOUBLE* pdblOut)
{
    if (!strIn || !pdblOut)
        return E_INVALIDARG;
    NumberText n;
    if (!lexNumber(strIn, lcid, n))
        return DISP_E_TYPEMISMATCH;
    double v;
    HRESULT hr = doubleFromNumberText(n, v);
    if (SUCCEEDED(hr))
        *pdblOut = v;
    return hr;
}

HRESULT VarR4FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, FLOAT* pfltOut)
{
    if (!pfltOut)
        return E_INVALIDARG;
    double v;
    HRESULT hr = VarR8FromStr(strIn, lcid, dwFlags, &v);
    if (FAILED(hr))
        return hr;
    if (std::fabs(v) > FLT_MAX)
        return DISP_E_OVERFLOW;
    *pfltOut = float(v);
    return S_OK;
}

namespace {

// Rounds half to even and checks the range of the target integer type.
HRESULT integerFromDouble(double v, double lo, double hi, long long& out)
{
    if (std::isnan(v))
        return DISP_E_OVERFLOW;
    double r = std::nearbyint(v);
    if (r < lo || r > hi)
        return DISP_E_OVERFLOW;
    out = (long long)r;
    return S_OK;
}

} // namespace

HRESULT VarI4FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, LONG* plOut)
{
    if (!plOut)
        return E_INVALIDARG;
    double v;
    long long r;
    HRESULT hr = VarR8FromStr(strIn, lcid, dwFlags, &v);
    if (SUCCEEDED(hr))
        hr = integerFromDouble(v, INT32_MIN, INT32_MAX, r);
    if (SUCCEEDED(hr))
        *plOut = LONG(r);
    return hr;
}

HRESULT VarI2FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, SHORT* psOut)
{
    if (!psOut)
        return E_INVALIDARG;
    double v;
    long long r;
    HRESULT hr = VarR8FromStr(strIn, lcid, dwFlags, &v);
    if (SUCCEEDED(hr))
        hr = integerFromDouble(v, SHRT_MIN, SHRT_MAX, r);
    if (SUCCEEDED(hr))
        *psOut = SHORT(r);
    return hr;
}

HRESULT VarUI1FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, BYTE* pbOut)
{
    if (!pbOut)
        return E_INVALIDARG;
    double v;
    long long r;
    HRESULT hr = VarR8FromStr(strIn, lcid, dwFlags, &v);
    if (SUCCEEDED(hr))
        hr = integerFromDouble(v, 0, 255, r);
    if (SUCCEEDED(hr))
        *pbOut = BYTE(r);
    return hr;
}

HRESULT VarBoolFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, VARIANT_BOOL* pboolOut)
{
    if (!strIn || !pboolOut)
        return E_INVALIDARG;
    std::string s(strIn);
    size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
    std::string word = b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    if (equalsNoCase(word, "True")) {
        *pboolOut = VARIANT_TRUE;
        return S_OK;
    }
    if (equalsNoCase(word, "False")) {
        *pboolOut = VARIANT_FALSE;
        return S_OK;
    }
    double v;
    HRESULT hr = VarR8FromStr(strIn, lcid, dwFlags, &v);
    if (SUCCEEDED(hr))
        *pboolOut = v != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
}

HRESULT VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE* pdateOut)
{
    if (!strIn || !pdateOut)
        return E_INVALIDARG;
    double v;
    if (!parseDate(strIn, dwFlags, lcid, v))
        return DISP_E_TYPEMISMATCH;
    *pdateOut = v;
    return S_OK;
}

HRESULT VarCyFromStr(LPCOLESTR strIn, LCID lcid, ULONG, CY* pcyOut)
{
    if (!strIn || !pcyOut)
        return E_INVALIDARG;
    NumberText n;
    if (!lexNumber(strIn, lcid, n))
        return DISP_E_TYPEMISMATCH;
    LONGLONG v;
    HRESULT hr = currencyFromNumberText(n, v);
    if (SUCCEEDED(hr))
        pcyOut->int64 = v;
    return hr;
}

HRESULT VarCyFromR8(DOUBLE dblIn, CY* pcyOut)
{
    if (!pcyOut)
        return E_INVALIDARG;
    double scaled = std::nearbyint(dblIn * 10000.0);
    if (std::isnan(scaled) || scaled < -9223372036854775808.0 || scaled >= 9223372036854775808.0)
        return DISP_E_OVERFLOW;
    pcyOut->int64 = LONGLONG(scaled);
    return S_OK;
}

HRESULT VarR8FromCy(CY cyIn, DOUBLE* pdblOut)
{
    if (!pdblOut)
        return E_INVALIDARG;
    *pdblOut = double(cyIn.int64) / 10000.0;
    return S_OK;
}

HRESULT VarBstrFromR8(DOUBLE dblIn, LCID lcid, ULONG, BSTR* pbstrOut)
{
    if (!pbstrOut)
        return E_INVALIDARG;
    *pbstrOut = allocString(textFromDouble(dblIn, 15, lcid));
    return *pbstrOut ? S_OK : E_OUTOFMEMORY;
}

HRESULT VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut)
{
    if (!pbstrOut)
        return E_INVALIDARG;
    if (!inDateRange(dateIn))
        return E_INVALIDARG;
    *pbstrOut = allocString(formatDefault(dateIn, dwFlags, lcid));
    return *pbstrOut ? S_OK : E_OUTOFMEMORY;
}

HRESULT VarBstrFromCy(CY cyIn, LCID lcid, ULONG, BSTR* pbstrOut)
{
    if (!pbstrOut)
        return E_INVALIDARG;
    *pbstrOut = allocString(textFromCurrency(cyIn.int64, lcid));
    return *pbstrOut ? S_OK : E_OUTOFMEMORY;
}

// ===================================================================== VARIANT

void VariantInit(VARIANT* pvarg)
{
    if (!pvarg)
        return;
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
    pvarg->llVal = 0;
}

HRESULT VariantClear(VARIANT* pvarg)
{
    if (!pvarg)
        return E_INVALIDARG;
    if (pvarg->vt == VT_BSTR) {
        SysFreeString(pvarg->bstrVal);
    } else if (pvarg->vt == (VT_ARRAY | VT_UI1)) {
        // An array still accessed is freed all the same: holding on to it would leak.
        if (pvarg->parray)
            delete asByteArray(pvarg->parray);
    }
    VariantInit(pvarg);
    return S_OK;
}

namespace {

bool knownType(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY:
    case VT_DATE: case VT_BSTR: case VT_ERROR: case VT_BOOL: case VT_UI1: case VT_ARRAY | VT_UI1:
        return true;
    default:
        return false;
    }
}

// Copies src into dst, which holds nothing that needs freeing.
HRESULT copyInto(VARIANT& dst, const VARIANT& src)
{
    if (!knownType(src.vt))
        return DISP_E_BADVARTYPE;
    VARIANT tmp = src;
    if (src.vt == VT_BSTR && src.bstrVal) {
        tmp.bstrVal = allocString(bstrView(src.bstrVal));
        if (!tmp.bstrVal)
            return E_OUTOFMEMORY;
    } else if (src.vt == (VT_ARRAY | VT_UI1) && src.parray) {
        HRESULT hr = SafeArrayCopy(src.parray, &tmp.parray);
        if (FAILED(hr))
            return hr;
    }
    dst = tmp;
    return S_OK;
}

// The numeric value of a number-like variant (or a failure for others).
HRESULT numberOf(const VARIANT& v, double& out)
{
    switch (v.vt) {
    case VT_EMPTY: out = 0; return S_OK;
    case VT_I2: out = v.iVal; return S_OK;
    case VT_I4: out = v.lVal; return S_OK;
    case VT_UI1: out = v.bVal; return S_OK;
    case VT_R4: out = v.fltVal; return S_OK;
    case VT_R8: out = v.dblVal; return S_OK;
    case VT_DATE: out = v.date; return S_OK;
    case VT_BOOL: out = v.boolVal ? -1 : 0; return S_OK;
    case VT_CY: out = double(v.cyVal.int64) / 10000.0; return S_OK;
    default: return DISP_E_TYPEMISMATCH;
    }
}

HRESULT convert(const VARIANT& src, VARTYPE vt, LCID lcid, USHORT flags, VARIANT& out)
{
    VariantInit(&out);
    if (!knownType(vt))
        return DISP_E_BADVARTYPE;
    if (!knownType(src.vt))
        return DISP_E_BADVARTYPE;
    if (vt == src.vt)
        return copyInto(out, src);
    if (vt == VT_EMPTY)
        return S_OK;
    if (vt == VT_NULL) {
        if (src.vt != VT_EMPTY)
            return DISP_E_TYPEMISMATCH;
        out.vt = VT_NULL;
        return S_OK;
    }
    if (src.vt == VT_NULL || src.vt == VT_ERROR || vt == VT_ERROR || src.vt == (VT_ARRAY | VT_UI1) ||
        vt == (VT_ARRAY | VT_UI1))
        return DISP_E_TYPEMISMATCH;

    if (vt == VT_BSTR) {
        std::string text;
        switch (src.vt) {
        case VT_EMPTY: break;
        case VT_I2: text = std::to_string(src.iVal); break;
        case VT_I4: text = std::to_string(src.lVal); break;
        case VT_UI1: text = std::to_string(src.bVal); break;
        case VT_R4: text = textFromDouble(src.fltVal, 7, lcid); break;
        case VT_R8: text = textFromDouble(src.dblVal, 15, lcid); break;
        case VT_CY: text = textFromCurrency(src.cyVal.int64, lcid); break;
        case VT_BOOL:
            text = (flags & VARIANT_ALPHABOOL) ? (src.boolVal ? "True" : "False") : (src.boolVal ? "-1" : "0");
            break;
        case VT_DATE:
            if (!inDateRange(src.date))
                return E_INVALIDARG;
            text = formatDefault(src.date, 0, lcid);
            break;
        default: return DISP_E_TYPEMISMATCH;
        }
        out.bstrVal = allocString(text);
        if (!out.bstrVal)
            return E_OUTOFMEMORY;
        out.vt = VT_BSTR;
        return S_OK;
    }

    if (src.vt == VT_BSTR) {
        LPCOLESTR s = src.bstrVal ? src.bstrVal : "";
        HRESULT hr;
        switch (vt) {
        case VT_I2: hr = VarI2FromStr(s, lcid, 0, &out.iVal); break;
        case VT_I4: hr = VarI4FromStr(s, lcid, 0, &out.lVal); break;
        case VT_UI1: hr = VarUI1FromStr(s, lcid, 0, &out.bVal); break;
        case VT_R4: hr = VarR4FromStr(s, lcid, 0, &out.fltVal); break;
        case VT_R8: hr = VarR8FromStr(s, lcid, 0, &out.dblVal); break;
        case VT_CY: hr = VarCyFromStr(s, lcid, 0, &out.cyVal); break;
        case VT_DATE: hr = VarDateFromStr(s, lcid, 0, &out.date); break;
        case VT_BOOL: hr = VarBoolFromStr(s, lcid, 0, &out.boolVal); break;
        default: hr = DISP_E_TYPEMISMATCH; break;
        }
        if (SUCCEEDED(hr))
            out.vt = vt;
        else
            VariantInit(&out);
        return hr;
    }

    double v;
    HRESULT hr = numberOf(src, v);
    if (FAILED(hr))
        return hr;
    long long n;
    switch (vt) {
    case VT_I2:
        if (FAILED(hr = integerFromDouble(v, SHRT_MIN, SHRT_MAX, n)))
            return hr;
        out.iVal = SHORT(n);
        break;
    case VT_I4:
        if (src.vt == VT_CY) {
            // Exact: no detour through a double for large amounts.
            LONGLONG c = src.cyVal.int64, q = c / 10000, r = c % 10000;
            if (r > 5000 || (r == 5000 && (q & 1)))
                ++q;
            else if (r < -5000 || (r == -5000 && (q & 1)))
                --q;
            if (q < INT32_MIN || q > INT32_MAX)
                return DISP_E_OVERFLOW;
            out.lVal = LONG(q);
            break;
        }
        if (FAILED(hr = integerFromDouble(v, INT32_MIN, INT32_MAX, n)))
            return hr;
        out.lVal = LONG(n);
        break;
    case VT_UI1:
        if (FAILED(hr = integerFromDouble(v, 0, 255, n)))
            return hr;
        out.bVal = BYTE(n);
        break;
    case VT_R4:
        if (std::fabs(v) > FLT_MAX)
            return DISP_E_OVERFLOW;
        out.fltVal = float(v);
        break;
    case VT_R8: out.dblVal = v; break;
    case VT_DATE:
        if (!inDateRange(v))
            return DISP_E_OVERFLOW;
        out.date = v;
        break;
    case VT_BOOL: out.boolVal = v != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_CY:
        if (FAILED(hr = VarCyFromR8(v, &out.cyVal)))
            return hr;
        break;
    default: return DISP_E_TYPEMISMATCH;
    }
    out.vt = vt;
    return S_OK;
}

} // namespace

HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc)
{
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    VARIANT tmp;
    VariantInit(&tmp);
    HRESULT hr = copyInto(tmp, *pvargSrc);
    if (FAILED(hr))
        return hr;
    VariantClear(pvargDest);
    *pvargDest = tmp;
    return S_OK;
}

HRESULT VariantChangeTypeEx(VARIANT* pvargDest, const VARIANT* pvarg, LCID lcid, USHORT wFlags, VARTYPE vt)
{
    if (!pvargDest || !pvarg)
        return E_INVALIDARG;
    VARIANT result;
    HRESULT hr = convert(*pvarg, vt, lcid, wFlags, result);
    if (FAILED(hr))
        return hr;
    VariantClear(pvargDest);
    *pvargDest = result;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* pvargDest, const VARIANT* pvarg, USHORT wFlags, VARTYPE vt)
{
    return VariantChangeTypeEx(pvargDest, pvarg, LOCALE_USER_DEFAULT, wFlags, vt);
}

// ===================================================================== COleException

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    const char* text;
    switch (m_sc) {
    case DISP_E_TYPEMISMATCH: text = "Type mismatch."; break;
    case DISP_E_OVERFLOW: text = "Out of present range."; break;
    case DISP_E_BADVARTYPE: text = "Bad variable type."; break;
    case E_OUTOFMEMORY: text = "Out of memory."; break;
    case E_INVALIDARG: text = "Invalid argument."; break;
    default: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "OLE error 0x%08lX.", (unsigned long)(uint32_t)m_sc);
        return CopyMessage(buf, lpszError, nMaxError);
    }
    }
    return CopyMessage(text, lpszError, nMaxError);
}

void AfxThrowOleException(SCODE sc) { throw COleException(sc); }

// ===================================================================== COleDateTimeSpan

void COleDateTimeSpan::CheckRange()
{
    if (std::isnan(m_span) || m_span < -kMaxSpan || m_span > kMaxSpan)
        m_status = invalid;
}

double COleDateTimeSpan::GetTotalHours() const { return m_span * 24.0; }
double COleDateTimeSpan::GetTotalMinutes() const { return m_span * 24.0 * 60.0; }
double COleDateTimeSpan::GetTotalSeconds() const { return m_span * 24.0 * 60.0 * 60.0; }

namespace {
long long spanSeconds(double span) { return std::llround(span * 86400.0); }
} // namespace

long COleDateTimeSpan::GetDays() const { return long(spanSeconds(m_span) / 86400); }
long COleDateTimeSpan::GetHours() const { return long(spanSeconds(m_span) / 3600 % 24); }
long COleDateTimeSpan::GetMinutes() const { return long(spanSeconds(m_span) / 60 % 60); }
long COleDateTimeSpan::GetSeconds() const { return long(spanSeconds(m_span) % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& o) const
{
    COleDateTimeSpan r;
    if (m_status != valid || o.m_status != valid) {
        r.m_status = (m_status == null || o.m_status == null) ? null : invalid;
        return r;
    }
    r.m_span = m_span + o.m_span;
    r.CheckRange();
    return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& o) const { return *this + (-o); }

COleDateTimeSpan COleDateTimeSpan::operator-() const
{
    COleDateTimeSpan r(*this);
    r.m_span = -m_span;
    return r;
}

void COleDateTimeSpan::SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs)
{
    m_span = double(lDays) + nHours / 24.0 + nMins / (24.0 * 60) + nSecs / (24.0 * 60 * 60);
    m_status = valid;
    CheckRange();
}

// ===================================================================== COleDateTime

void COleDateTime::CheckRange()
{
    if (!inDateRange(m_dt))
        m_status = invalid;
}

COleDateTime COleDateTime::GetCurrentTime() { return COleDateTime(time(nullptr)); }

COleDateTime& COleDateTime::operator=(const VARIANT& varSrc)
{
    if (varSrc.vt == VT_DATE) {
        m_dt = varSrc.date;
        m_status = valid;
        CheckRange();
        return *this;
    }
    VARIANT tmp;
    VariantInit(&tmp);
    if (varSrc.vt == VT_NULL) {
        m_dt = 0;
        m_status = null;
    } else if (SUCCEEDED(VariantChangeType(&tmp, &varSrc, 0, VT_DATE))) {
        m_dt = tmp.date;
        m_status = valid;
    } else {
        m_dt = 0;
        m_status = invalid;
    }
    VariantClear(&tmp);
    return *this;
}

COleDateTime& COleDateTime::operator=(time_t timeSrc)
{
    struct tm t {};
    if (!localtime_r(&timeSrc, &t)) {
        m_dt = 0;
        m_status = invalid;
        return *this;
    }
    SetDateTime(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return *this;
}

int COleDateTime::GetYear() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.year : -1;
}

int COleDateTime::GetMonth() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.month : -1;
}

int COleDateTime::GetDay() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.day : -1;
}

int COleDateTime::GetHour() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.hour : -1;
}

int COleDateTime::GetMinute() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.minute : -1;
}

int COleDateTime::GetSecond() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.second : -1;
}

int COleDateTime::GetDayOfWeek() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.dayOfWeek : -1;
}

int COleDateTime::GetDayOfYear() const
{
    DateParts p;
    return m_status == valid && splitSerial(m_dt, p) ? p.dayOfYear : -1;
}

bool COleDateTime::operator<(const COleDateTime& o) const
{
    return linearFromSerial(m_dt) < linearFromSerial(o.m_dt);
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    COleDateTime r;
    if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
        r.m_status = m_status == null ? null : invalid;
        return r;
    }
    r.m_dt = serialFromLinear(linearFromSerial(m_dt) + span.m_span);
    r.CheckRange();
    return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const { return *this + (-span); }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const
{
    COleDateTimeSpan r;
    if (m_status != valid || date.m_status != valid) {
        r.m_status = (m_status == null || date.m_status == null) ? COleDateTimeSpan::null : COleDateTimeSpan::invalid;
        return r;
    }
    r.m_span = linearFromSerial(m_dt) - linearFromSerial(date.m_dt);
    return r;
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    if (!validParts(nYear, nMonth, nDay, nHour, nMin, nSec)) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    m_dt = serialFromParts(nYear, nMonth, nDay, nHour, nMin, nSec);
    m_status = valid;
    return 0;
}

bool COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID lcid)
{
    double v;
    if (!lpszDate || !parseDate(lpszDate, dwFlags, lcid, v)) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = v;
    m_status = valid;
    return true;
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid || !inDateRange(m_dt))
        return CString("Invalid DateTime");
    return CString(formatDefault(m_dt, dwFlags, lcid));
}

CString COleDateTime::Format(LPCTSTR lpszFormat) const
{
    if (m_status == null)
        return CString();
    DateParts p;
    if (m_status != valid || !splitSerial(m_dt, p))
        return CString("Invalid DateTime");
    if (!lpszFormat)
        return CString();
    const LCID lcid = LOCALE_USER_DEFAULT;
    std::string out;
    for (const char* s = lpszFormat; *s; ++s) {
        if (*s != '%' || !s[1]) {
            out += *s;
            continue;
        }
        ++s;
        bool alt = false;
        if (*s == '#' && s[1]) {
            alt = true;
            ++s;
        }
        auto num = [&](int v, int width) {
            char buf[16];
            if (alt)
                std::snprintf(buf, sizeof buf, "%d", v);
            else
                std::snprintf(buf, sizeof buf, "%0*d", width, v);
            out += buf;
        };
        switch (*s) {
        case 'a': out += dayName(lcid, p.dayOfWeek, true); break;
        case 'A': out += dayName(lcid, p.dayOfWeek, false); break;
        case 'b': case 'h': out += monthName(lcid, p.month, true); break;
        case 'B': out += monthName(lcid, p.month, false); break;
        case 'c':
            out += formatPicture(loc(lcid, alt ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE), p, lcid);
            out += ' ';
            out += formatPicture(loc(lcid, LOCALE_STIMEFORMAT), p, lcid);
            break;
        case 'x': out += formatPicture(loc(lcid, alt ? LOCALE_SLONGDATE : LOCALE_SSHORTDATE), p, lcid); break;
        case 'X': out += formatPicture(loc(lcid, LOCALE_STIMEFORMAT), p, lcid); break;
        case 'd': num(p.day, 2); break;
        case 'H': num(p.hour, 2); break;
        case 'I': num(p.hour % 12 == 0 ? 12 : p.hour % 12, 2); break;
        case 'j': num(p.dayOfYear, 3); break;
        case 'm': num(p.month, 2); break;
        case 'M': num(p.minute, 2); break;
        case 'S': num(p.second, 2); break;
        case 'p': out += loc(lcid, p.hour < 12 ? LOCALE_S1159 : LOCALE_S2359); break;
        case 'w': out += std::to_string(p.dayOfWeek - 1); break;
        case 'U':  // week of the year, weeks starting on Sunday
            num((p.dayOfYear + 6 - (p.dayOfWeek - 1)) / 7, 2);
            break;
        case 'W':  // weeks starting on Monday
            num((p.dayOfYear + 6 - (p.dayOfWeek + 5) % 7) / 7, 2);
            break;
        case 'y': num(p.year % 100, 2); break;
        case 'Y': num(p.year, 4); break;
        case 'z': case 'Z': break;
        case '%': out += '%'; break;
        default:
            out += '%';
            out += *s;
            break;
        }
    }
    return CString(out);
}

// ===================================================================== COleCurrency

COleCurrency& COleCurrency::operator=(const VARIANT& varSrc)
{
    if (varSrc.vt == VT_CY) {
        m_cur = varSrc.cyVal;
        m_status = valid;
        return *this;
    }
    VARIANT tmp;
    VariantInit(&tmp);
    if (varSrc.vt == VT_NULL) {
        m_cur.int64 = 0;
        m_status = null;
    } else if (SUCCEEDED(VariantChangeType(&tmp, &varSrc, 0, VT_CY))) {
        m_cur = tmp.cyVal;
        m_status = valid;
    } else {
        m_cur.int64 = 0;
        m_status = invalid;
    }
    VariantClear(&tmp);
    return *this;
}

namespace {

COleCurrency currencyResult(const COleCurrency& a, const COleCurrency& b, bool ok, LONGLONG v)
{
    COleCurrency r;
    if (a.m_status != COleCurrency::valid || b.m_status != COleCurrency::valid) {
        r.m_status = (a.m_status == COleCurrency::null || b.m_status == COleCurrency::null) ? COleCurrency::null
                                                                                             : COleCurrency::invalid;
        return r;
    }
    if (!ok) {
        r.m_status = COleCurrency::invalid;
        return r;
    }
    r.m_cur.int64 = v;
    return r;
}

} // namespace

COleCurrency COleCurrency::operator+(const COleCurrency& o) const
{
    LONGLONG v = 0;
    bool ok = !__builtin_add_overflow(m_cur.int64, o.m_cur.int64, &v);
    return currencyResult(*this, o, ok, v);
}

COleCurrency COleCurrency::operator-(const COleCurrency& o) const
{
    LONGLONG v = 0;
    bool ok = !__builtin_sub_overflow(m_cur.int64, o.m_cur.int64, &v);
    return currencyResult(*this, o, ok, v);
}

COleCurrency COleCurrency::operator-() const
{
    LONGLONG v = 0;
    bool ok = !__builtin_sub_overflow(LONGLONG(0), m_cur.int64, &v);
    return currencyResult(*this, *this, ok, v);
}

COleCurrency COleCurrency::operator*(long nOperand) const
{
    LONGLONG v = 0;
    bool ok = !__builtin_mul_overflow(m_cur.int64, LONGLONG(nOperand), &v);
    return currencyResult(*this, *this, ok, v);
}

COleCurrency COleCurrency::operator/(long nOperand) const
{
    bool ok = nOperand != 0 && !(m_cur.int64 == INT64_MIN && nOperand == -1);
    return currencyResult(*this, *this, ok, ok ? m_cur.int64 / nOperand : 0);
}

void COleCurrency::SetCurrency(long nUnits, long nFractionalUnits)
{
    LONGLONG v = 0;
    bool ok = nFractionalUnits > -10000 && nFractionalUnits < 10000 &&
              !__builtin_mul_overflow(LONGLONG(nUnits), LONGLONG(10000), &v) &&
              !__builtin_add_overflow(v, LONGLONG(nFractionalUnits), &v);
    m_cur.int64 = ok ? v : 0;
    m_status = ok ? valid : invalid;
}

bool COleCurrency::ParseCurrency(LPCTSTR lpszCurrency, DWORD dwFlags, LCID lcid)
{
    CY cy;
    if (!lpszCurrency || FAILED(VarCyFromStr(lpszCurrency, lcid, dwFlags, &cy))) {
        m_cur.int64 = 0;
        m_status = invalid;
        return false;
    }
    m_cur = cy;
    m_status = valid;
    return true;
}

CString COleCurrency::Format(DWORD, LCID lcid) const
{
    if (m_status == null)
        return CString();
    if (m_status != valid)
        return CString("Invalid Currency");
    return CString(textFromCurrency(m_cur.int64, lcid));
}

// ===================================================================== COleVariant

COleVariant::COleVariant(const VARIANT& varSrc)
{
    VariantInit(this);
    if (FAILED(VariantCopy(this, &varSrc)))
        AfxThrowMemoryException();
}

COleVariant::COleVariant(LPCVARIANT pSrc)
{
    VariantInit(this);
    if (pSrc && FAILED(VariantCopy(this, pSrc)))
        AfxThrowMemoryException();
}

COleVariant::COleVariant(const COleVariant& varSrc) : VARIANT()
{
    VariantInit(this);
    if (FAILED(VariantCopy(this, &varSrc)))
        AfxThrowMemoryException();
}

COleVariant::COleVariant(COleVariant&& varSrc) noexcept : VARIANT(varSrc)
{
    VariantInit(&varSrc);
}

COleVariant::COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc)
{
    VariantInit(this);
    SetString(lpszSrc, vtSrc);
}

COleVariant::COleVariant(const CString& strSrc)
{
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = allocString(strSrc.view());
    if (!bstrVal) {
        vt = VT_EMPTY;
        AfxThrowMemoryException();
    }
}

COleVariant::COleVariant(BYTE nSrc)
{
    VariantInit(this);
    vt = VT_UI1;
    bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc)
{
    VariantInit(this);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        vt = VT_I2;
        iVal = nSrc;
    }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc)
{
    VariantInit(this);
    switch (vtSrc) {
    case VT_I2:
        vt = VT_I2;
        iVal = SHORT(lSrc);
        break;
    case VT_BOOL:
        vt = VT_BOOL;
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_ERROR:
        vt = VT_ERROR;
        scode = lSrc;
        break;
    default:
        vt = VT_I4;
        lVal = lSrc;
        break;
    }
}

COleVariant::COleVariant(bool bSrc)
{
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = bSrc ? VARIANT_TRUE : VARIANT_FALSE;
}

COleVariant::COleVariant(float fltSrc)
{
    VariantInit(this);
    vt = VT_R4;
    fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc, VARTYPE vtSrc)
{
    VariantInit(this);
    if (vtSrc == VT_DATE) {
        vt = VT_DATE;
        date = dblSrc;
    } else {
        vt = VT_R8;
        dblVal = dblSrc;
    }
}

COleVariant::COleVariant(const COleCurrency& curSrc)
{
    VariantInit(this);
    vt = VT_CY;
    cyVal = curSrc.m_cur;
}

COleVariant::COleVariant(const COleDateTime& dateSrc)
{
    VariantInit(this);
    vt = VT_DATE;
    date = dateSrc.m_dt;
}

COleVariant::COleVariant(const BYTE* pData, size_t nBytes)
{
    VariantInit(this);
    if (nBytes > 0x7FFFFFFFu)
        AfxThrowMemoryException();
    SAFEARRAY* a = newByteArray(0, ULONG(nBytes), pData);
    if (!a)
        AfxThrowMemoryException();
    vt = VT_ARRAY | VT_UI1;
    parray = a;
}

COleVariant& COleVariant::operator=(const VARIANT& varSrc)
{
    if (FAILED(VariantCopy(this, &varSrc)))
        AfxThrowMemoryException();
    return *this;
}

COleVariant& COleVariant::operator=(LPCVARIANT pSrc)
{
    if (!pSrc)
        Clear();
    else if (FAILED(VariantCopy(this, pSrc)))
        AfxThrowMemoryException();
    return *this;
}

COleVariant& COleVariant::operator=(const COleVariant& varSrc)
{
    return *this = static_cast<const VARIANT&>(varSrc);
}

COleVariant& COleVariant::operator=(COleVariant&& varSrc) noexcept
{
    if (this != &varSrc) {
        VariantClear(this);
        static_cast<VARIANT&>(*this) = static_cast<VARIANT&>(varSrc);
        VariantInit(&varSrc);
    }
    return *this;
}

COleVariant& COleVariant::operator=(LPCTSTR lpszSrc)
{
    SetString(lpszSrc, VT_BSTR);
    return *this;
}

COleVariant& COleVariant::operator=(const CString& strSrc)
{
    BSTR b = allocString(strSrc.view());
    if (!b)
        AfxThrowMemoryException();
    Clear();
    vt = VT_BSTR;
    bstrVal = b;
    return *this;
}

COleVariant& COleVariant::operator=(BYTE nSrc) { return *this = COleVariant(nSrc); }
COleVariant& COleVariant::operator=(short nSrc) { return *this = COleVariant(nSrc); }
COleVariant& COleVariant::operator=(long lSrc) { return *this = COleVariant(lSrc); }
COleVariant& COleVariant::operator=(bool bSrc) { return *this = COleVariant(bSrc); }
COleVariant& COleVariant::operator=(float fltSrc) { return *this = COleVariant(fltSrc); }
COleVariant& COleVariant::operator=(double dblSrc) { return *this = COleVariant(dblSrc); }
COleVariant& COleVariant::operator=(const COleCurrency& curSrc) { return *this = COleVariant(curSrc); }
COleVariant& COleVariant::operator=(const COleDateTime& dateSrc) { return *this = COleVariant(dateSrc); }
COleVariant& COleVariant::operator=(const CByteArray& arrSrc) { return *this = COleVariant(arrSrc); }

bool COleVariant::operator==(const VARIANT& o) const
{
    if (vt != o.vt)
        return false;
    switch (vt) {
    case VT_EMPTY: case VT_NULL: return true;
    case VT_I2: return iVal == o.iVal;
    case VT_I4: return lVal == o.lVal;
    case VT_UI1: return bVal == o.bVal;
    case VT_R4: return fltVal == o.fltVal;
    case VT_R8: return dblVal == o.dblVal;
    case VT_DATE: return date == o.date;
    case VT_CY: return cyVal.int64 == o.cyVal.int64;
    case VT_BOOL: return boolVal == o.boolVal;
    case VT_ERROR: return scode == o.scode;
    case VT_BSTR: return bstrView(bstrVal) == bstrView(o.bstrVal);
    case VT_ARRAY | VT_UI1: {
        if (!parray || !o.parray)
            return parray == o.parray;
        return asByteArray(parray)->bytes == asByteArray(o.parray)->bytes &&
               parray->rgsabound[0].lLbound == o.parray->rgsabound[0].lLbound;
    }
    default: return false;
    }
}

void COleVariant::Clear() { VariantClear(this); }

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc)
{
    if (!pSrc)
        pSrc = this;
    if (pSrc == this && vartype == vt)
        return;
    HRESULT hr = VariantChangeType(this, pSrc, 0, vartype);
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

void COleVariant::Attach(VARIANT& varSrc)
{
    VariantClear(this);
    static_cast<VARIANT&>(*this) = varSrc;
    VariantInit(&varSrc);
}

VARIANT COleVariant::Detach()
{
    VARIANT v = *this;
    VariantInit(this);
    return v;
}

void COleVariant::SetString(LPCTSTR lpszSrc, VARTYPE)
{
    BSTR b = allocString(lpszSrc ? std::string_view(lpszSrc) : std::string_view());
    if (!b)
        AfxThrowMemoryException();
    Clear();
    vt = VT_BSTR;
    bstrVal = b;
}

bool COleVariant::GetByteArray(std::vector<BYTE>& out) const
{
    out.clear();
    if (vt != (VT_ARRAY | VT_UI1) || !parray)
        return false;
    out = asByteArray(parray)->bytes;
    return true;
}

void COleVariant::GetByteArrayFromVariantArray(CByteArray& arr) const
{
    std::vector<BYTE> bytes;
    if (!GetByteArray(bytes))
        AfxThrowOleException(DISP_E_TYPEMISMATCH);
    arr.SetSize(INT_PTR(bytes.size()));
    if (!bytes.empty())
        std::memcpy(arr.GetData(), bytes.data(), bytes.size());
}
