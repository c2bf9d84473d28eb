#pragma once
// Value formatting services of the grid: dates and times (through COleDateTime, or by hand from
// the user's locale settings), the number formats of a cell style, and rotated text. Each is a
// process-wide object installed once by the control factory; callers that find a slot empty
// fall back to plain text.

#include <ctime>

#include "grid/core/gxstate.h"
#include "platform/base/CString.h"
#include "platform/base/geometry.h"

class CDC;
class CGXStyle;

// Calendar record exchanged with callers: year, month, day, hour, minute, second; the rest 0.
struct GXCALENDAR {
    WORD wYear;
    WORD wMonth;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wReserved1;
    WORD wReserved2;
};

// Date orders of the short-date pattern.
enum : int {
    gxDateDMY = 0,
    gxDateMDY = 1,
    gxDateYMD = 2,
    gxDateOrderUnknown = 3,
};

class CGXAbstractDateTimeImp {
public:
    virtual ~CGXAbstractDateTimeImp() = default;
    virtual void RefreshSettings() = 0;
    virtual int GetDateOrder(BOOL bRecompute, BOOL* pbFourDigitYear, TCHAR* pcSeparator) = 0;
    virtual TCHAR GetTimeSeparator(BOOL bRecompute) = 0;
    virtual BOOL ParseToCalendar(GXCALENDAR& cal, LPCTSTR pszText) = 0;
    virtual BOOL ParseToTm(struct tm& t, LPCTSTR pszText) = 0;
    virtual void FormatCalendar(CString& strResult, const GXCALENDAR& cal) = 0;
    // A calendar time (seconds since 1970, shown in local time).
    virtual void FormatTime(CString& strResult, time_t t) = 0;
};

// Parses and formats through the framework's OLE date in the user's default locale.
class CGXOleDateTimeImp : public CGXAbstractDateTimeImp {
public:
    static void ImplementDateTime();

    void RefreshSettings() override {}
    int GetDateOrder(BOOL, BOOL*, TCHAR*) override { return gxDateOrderUnknown; }
    TCHAR GetTimeSeparator(BOOL) override { return 0; }
    BOOL ParseToCalendar(GXCALENDAR& cal, LPCTSTR pszText) override;
    BOOL ParseToTm(struct tm& t, LPCTSTR pszText) override;
    void FormatCalendar(CString& strResult, const GXCALENDAR& cal) override;
    void FormatTime(CString& strResult, time_t t) override;
};

// Parses and formats by hand from the locale's short-date pattern and time separator.
class CGXNoOleDateTimeImp : public CGXAbstractDateTimeImp {
public:
    static void ImplementNoOleDateTime();

    void RefreshSettings() override;
    int GetDateOrder(BOOL bRecompute, BOOL* pbFourDigitYear, TCHAR* pcSeparator) override;
    TCHAR GetTimeSeparator(BOOL bRecompute) override;
    BOOL ParseToCalendar(GXCALENDAR& cal, LPCTSTR pszText) override;
    BOOL ParseToTm(struct tm& t, LPCTSTR pszText) override;
    void FormatCalendar(CString& strResult, const GXCALENDAR& cal) override;
    void FormatTime(CString& strResult, time_t t) override;

private:
    BOOL Parse(LPCTSTR pszText, GXCALENDAR* pCal, struct tm* pTm);
};

// Format numbers of a cell style.
enum : unsigned {
    GX_FMT_DEFAULT = 0,
    GX_FMT_SCIENTIFIC = 1,
    GX_FMT_FIXED = 2,
    GX_FMT_GEN = 3,
    GX_FMT_DOLLARS = 4,
    GX_FMT_COMMA = 5,
    GX_FMT_HEX = 6,
    GX_FMT_LOGIC = 7,
    GX_FMT_DAY_MONTH_YEAR = 8,
    GX_FMT_DAY_MONTH = 9,
    GX_FMT_MONTH_YEAR = 10,
    GX_FMT_DATE = 11,
    GX_FMT_HIDDEN = 12,
    GX_FMT_TIME = 13,
    GX_FMT_PERCENT = 14,
    GX_FMT_TEXT = 15,
    GX_FMT_INTL_DATE = 16,
    GX_FMT_ISO8061_DATE = 17,
    GX_FMT_DATETIME = 18,
    GX_FMT_USER1 = 19,
    GX_FMT_USER4 = 22,
    GX_FMT_COMMA_BLANK = 23,
    GX_FMT_FRACTION = 24,
    GX_FMT_TIME_AMPM = 25,
    GX_FMT_TIME_AMPM_SECONDS = 26,
    GX_FMT_TIME_24 = 27,
    GX_FMT_NUMBERFORMAT = 28,
};

// Value type of a style's value that number formats apply to.
constexpr unsigned GX_VT_NUMBER = 1;
// "Take it from the style" for the format and places arguments.
constexpr unsigned GX_FMT_FROM_STYLE = unsigned(-1);

class CGXNumberFormattingImp : public CGXAbstractNumberFormattingImp {
public:
    static void ImplementNumberFormatting();

    // pszValue null: the style's value and value type. nFormat / nPlaces GX_FMT_FROM_STYLE: the
    // style's; a style without a Format shows the value text unchanged.
    virtual void FormatNumber(CString& strResult, const CGXStyle& style, LPCTSTR pszValue = nullptr,
                              unsigned nValueType = 0, unsigned nFormat = GX_FMT_FROM_STYLE,
                              unsigned nPlaces = GX_FMT_FROM_STYLE);
    // Suggests the Format and Places that would show the text as typed; FALSE for anything
    // that is not a number.
    virtual BOOL ParseNumber(LPCTSTR pszText, double& value, unsigned& nFormat, unsigned& nPlaces);
    BOOL ParseNumber(const char* pszText, double& value) override;

    // Applies one format to a number; the core of FormatNumber.
    static CString FormatValue(double value, unsigned nFormat, unsigned nPlaces);
};

class CGXAbstractDrawRotatedTextImp {
public:
    virtual ~CGXAbstractDrawRotatedTextImp() = default;
    // nAngle in tenths of a degree; the rotation itself comes from the selected font's escapement.
    virtual BOOL DrawRotated(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, int nAngle,
                             UINT nFormat, const CRect* pClipRect) = 0;
};

class CGXDrawRotatedTextImp : public CGXAbstractDrawRotatedTextImp {
public:
    static void ImplementDrawRotatedText();

    BOOL DrawRotated(CDC* pDC, LPCTSTR pszText, int nLength, const CRect& rect, int nAngle, UINT nFormat,
                     const CRect* pClipRect) override;
    // Where TextOut must start so that the rotated text box sits in rect by the alignment flags.
    static CPoint ComputeOrigin(const CSize& extent, const CRect& rect, double degrees, UINT nFormat);
};

// The installed objects (null when not installed).
CGXAbstractDateTimeImp* GXGetDateTimeImp();
CGXNumberFormattingImp* GXGetNumberFormattingImp();
CGXAbstractDrawRotatedTextImp* GXGetDrawRotatedTextImp();

// The installed date-time service's date order (gxDateOrderUnknown without one) and time
// separator (':' without one).
int GXGetDateOrder(BOOL bRecompute, BOOL* pbFourDigitYear = nullptr, TCHAR* pcSeparator = nullptr);
TCHAR GXGetTimeSeparator(BOOL bRecompute);
