#pragma once
// Locale information in the Win32 shape: GetLocaleInfo items by their documented numbers and
// GetNumberFormat. The user default follows the POSIX locale of the environment where it names
// one; otherwise (and for the C locale) United States English conventions apply. Tests fix every
// item with PvSetTestLocale.

#include "platform/base/pvdefs.h"

#include <string>

typedef DWORD LCID;
typedef DWORD LCTYPE;

#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_GERMAN 0x07
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define SORT_DEFAULT 0x0

#define LANG_USER_DEFAULT 0x0400
#define LANG_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F

// Flags or-ed into an LCTYPE.
#define LOCALE_NOUSEROVERRIDE 0x80000000
#define LOCALE_USE_CP_ACP 0x40000000

#define LOCALE_ILANGUAGE 0x0001
#define LOCALE_SLANGUAGE 0x0002
#define LOCALE_SENGLANGUAGE 0x1001
#define LOCALE_SABBREVLANGNAME 0x0003
#define LOCALE_SNATIVELANGNAME 0x0004
#define LOCALE_ICOUNTRY 0x0005
#define LOCALE_SCOUNTRY 0x0006
#define LOCALE_SENGCOUNTRY 0x1002
#define LOCALE_SABBREVCTRYNAME 0x0007
#define LOCALE_SNATIVECTRYNAME 0x0008
#define LOCALE_IDEFAULTLANGUAGE 0x0009
#define LOCALE_IDEFAULTCOUNTRY 0x000A
#define LOCALE_IDEFAULTCODEPAGE 0x000B
#define LOCALE_IDEFAULTANSICODEPAGE 0x1004
#define LOCALE_SLIST 0x000C
#define LOCALE_IMEASURE 0x000D
#define LOCALE_SDECIMAL 0x000E
#define LOCALE_STHOUSAND 0x000F
#define LOCALE_SGROUPING 0x0010
#define LOCALE_IDIGITS 0x0011
#define LOCALE_ILZERO 0x0012
#define LOCALE_INEGNUMBER 0x1010
#define LOCALE_SNATIVEDIGITS 0x0013
#define LOCALE_SCURRENCY 0x0014
#define LOCALE_SINTLSYMBOL 0x0015
#define LOCALE_SMONDECIMALSEP 0x0016
#define LOCALE_SMONTHOUSANDSEP 0x0017
#define LOCALE_SMONGROUPING 0x0018
#define LOCALE_ICURRDIGITS 0x0019
#define LOCALE_IINTLCURRDIGITS 0x001A
#define LOCALE_ICURRENCY 0x001B
#define LOCALE_INEGCURR 0x001C
#define LOCALE_SDATE 0x001D
#define LOCALE_STIME 0x001E
#define LOCALE_SSHORTDATE 0x001F
#define LOCALE_SLONGDATE 0x0020
#define LOCALE_STIMEFORMAT 0x1003
#define LOCALE_IDATE 0x0021
#define LOCALE_ILDATE 0x0022
#define LOCALE_ITIME 0x0023
#define LOCALE_ITIMEMARKPOSN 0x1005
#define LOCALE_ICENTURY 0x0024
#define LOCALE_ITLZERO 0x0025
#define LOCALE_IDAYLZERO 0x0026
#define LOCALE_IMONLZERO 0x0027
#define LOCALE_S1159 0x0028
#define LOCALE_S2359 0x0029
#define LOCALE_ICALENDARTYPE 0x1009
#define LOCALE_IFIRSTDAYOFWEEK 0x100C
#define LOCALE_IFIRSTWEEKOFYEAR 0x100D
// Day 1 is Monday, 7 Sunday.
#define LOCALE_SDAYNAME1 0x002A
#define LOCALE_SDAYNAME2 0x002B
#define LOCALE_SDAYNAME3 0x002C
#define LOCALE_SDAYNAME4 0x002D
#define LOCALE_SDAYNAME5 0x002E
#define LOCALE_SDAYNAME6 0x002F
#define LOCALE_SDAYNAME7 0x0030
#define LOCALE_SABBREVDAYNAME1 0x0031
#define LOCALE_SABBREVDAYNAME2 0x0032
#define LOCALE_SABBREVDAYNAME3 0x0033
#define LOCALE_SABBREVDAYNAME4 0x0034
#define LOCALE_SABBREVDAYNAME5 0x0035
#define LOCALE_SABBREVDAYNAME6 0x0036
#define LOCALE_SABBREVDAYNAME7 0x0037
#define LOCALE_SMONTHNAME1 0x0038
#define LOCALE_SMONTHNAME2 0x0039
#define LOCALE_SMONTHNAME3 0x003A
#define LOCALE_SMONTHNAME4 0x003B
#define LOCALE_SMONTHNAME5 0x003C
#define LOCALE_SMONTHNAME6 0x003D
#define LOCALE_SMONTHNAME7 0x003E
#define LOCALE_SMONTHNAME8 0x003F
#define LOCALE_SMONTHNAME9 0x0040
#define LOCALE_SMONTHNAME10 0x0041
#define LOCALE_SMONTHNAME11 0x0042
#define LOCALE_SMONTHNAME12 0x0043
#define LOCALE_SABBREVMONTHNAME1 0x0044
#define LOCALE_SABBREVMONTHNAME2 0x0045
#define LOCALE_SABBREVMONTHNAME3 0x0046
#define LOCALE_SABBREVMONTHNAME4 0x0047
#define LOCALE_SABBREVMONTHNAME5 0x0048
#define LOCALE_SABBREVMONTHNAME6 0x0049
#define LOCALE_SABBREVMONTHNAME7 0x004A
#define LOCALE_SABBREVMONTHNAME8 0x004B
#define LOCALE_SABBREVMONTHNAME9 0x004C
#define LOCALE_SABBREVMONTHNAME10 0x004D
#define LOCALE_SABBREVMONTHNAME11 0x004E
#define LOCALE_SABBREVMONTHNAME12 0x004F
#define LOCALE_SPOSITIVESIGN 0x0050
#define LOCALE_SNEGATIVESIGN 0x0051
#define LOCALE_SISO639LANGNAME 0x0059
#define LOCALE_SISO3166CTRYNAME 0x005A

// Win32 buffer rules: the result counts characters including the terminating zero; with
// cchData 0 only the needed size is returned; a buffer too small gives 0 and is left untouched.
int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPTSTR lpLCData, int cchData);

LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();

struct NUMBERFMT {
    UINT NumDigits;      // fraction digits
    UINT LeadingZero;    // 1: "0.5", 0: ".5"
    UINT Grouping;       // 0, 3 (groups of three) or 32 (three, then twos)
    LPTSTR lpDecimalSep;
    LPTSTR lpThousandSep;
    UINT NegativeOrder;  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
};

// lpValue: optional "-", digits, optional "." and digits. Formats it with lpFormat, or with the
// locale's number items when lpFormat is null. Same buffer rules as GetLocaleInfo; 0 for a
// value that is not such a number.
int GetNumberFormat(LCID Locale, DWORD dwFlags, LPCTSTR lpValue, const NUMBERFMT* lpFormat,
                    LPTSTR lpNumberStr, int cchNumber);

// Whole-locale presets for tests and for the C-locale fallback.
enum class PvLocalePreset { EnglishUS, German };

// Fixes every item to a preset until PvResetLocale; the user and system defaults both answer it.
void PvSetTestLocale(PvLocalePreset preset);
// Overrides one item of the current locale (after PvSetTestLocale, or of the environment's).
void PvSetLocaleInfoForTest(LCTYPE type, LPCTSTR value);
// Back to the locale of the environment.
void PvResetLocale();

// One item of a locale as text; empty for an unknown item or locale. For the platform's own
// parsing and formatting code.
std::string PvLocaleString(LCID lcid, LCTYPE type);
