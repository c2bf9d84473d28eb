#pragma once
// The OLE value types: VARIANT with its BSTR and byte SAFEARRAY payloads, COleVariant,
// COleDateTime / COleDateTimeSpan and COleCurrency, and the text <-> number/date conversions.
// Text is UTF-8 throughout; a BSTR is a UTF-8 string with its byte length kept in front, owned
// by whoever holds the VARIANT (VariantClear frees it). COleVariant does that bookkeeping itself.

#include "platform/base/CString.h"
#include "platform/base/collections.h"
#include "platform/base/exceptions.h"
#include "platform/base/pvdefs.h"
#include "platform/sys/locale.h"

#include <ctime>
#include <vector>

typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
typedef double DATE;
typedef char* BSTR;
typedef char OLECHAR;
typedef LPSTR LPOLESTR;
typedef LPCSTR LPCOLESTR;
typedef long SCODE;

struct CY {
    LONGLONG int64;
};
typedef CY CURRENCY;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_TYPEMASK = 0x0FFF,
};

#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef S_FALSE
#define S_FALSE ((HRESULT)1)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)(int32_t)0x80070057)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY ((HRESULT)(int32_t)0x8007000E)
#endif
#ifndef E_POINTER
#define E_POINTER ((HRESULT)(int32_t)0x80004003)
#endif
#ifndef DISP_E_TYPEMISMATCH
#define DISP_E_TYPEMISMATCH ((HRESULT)(int32_t)0x80020005)
#endif
#ifndef DISP_E_BADVARTYPE
#define DISP_E_BADVARTYPE ((HRESULT)(int32_t)0x80020008)
#endif
#ifndef DISP_E_OVERFLOW
#define DISP_E_OVERFLOW ((HRESULT)(int32_t)0x8002000A)
#endif
#ifndef DISP_E_ARRAYISLOCKED
#define DISP_E_ARRAYISLOCKED ((HRESULT)(int32_t)0x8002000D)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#endif
#ifndef FAILED
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif

// Conversion flags.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02
#define VAR_TIMEVALUEONLY 0x00000001
#define VAR_DATEVALUEONLY 0x00000002

// ---- BSTR ----
BSTR SysAllocString(LPCOLESTR psz);
BSTR SysAllocStringLen(LPCOLESTR pch, UINT cch);  // cch bytes; pch may be null (zero-filled)
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);  // bytes, without the terminator

// ---- SAFEARRAY: one-dimensional arrays of bytes (VT_UI1), which is what the program stores ----
struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};
typedef SAFEARRAY* LPSAFEARRAY;

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
HRESULT SafeArrayDestroy(SAFEARRAY* psa);
HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut);
UINT SafeArrayGetDim(SAFEARRAY* psa);
UINT SafeArrayGetElemsize(SAFEARRAY* psa);
HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);
HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv);

// ---- VARIANT ----
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        SAFEARRAY* parray;
    };
};
typedef VARIANT VARIANTARG;
typedef VARIANT* LPVARIANT;
typedef const VARIANT* LPCVARIANT;

void VariantInit(VARIANT* pvarg);
HRESULT VariantClear(VARIANT* pvarg);
// Deep copy: the destination is cleared first; strings and arrays are duplicated.
HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc);
// Converts in the user default locale. pvargDest may equal pvarg; on failure the destination is
// left unchanged.
HRESULT VariantChangeType(VARIANT* pvargDest, const VARIANT* pvarg, USHORT wFlags, VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANT* pvargDest, const VARIANT* pvarg, LCID lcid, USHORT wFlags, VARTYPE vt);

// Text to number, date and currency, and back, following the locale's separators and date order.
HRESULT VarR8FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DOUBLE* pdblOut);
HRESULT VarR4FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, FLOAT* pfltOut);
HRESULT VarI4FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, LONG* plOut);
HRESULT VarI2FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, SHORT* psOut);
HRESULT VarUI1FromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, BYTE* pbOut);
HRESULT VarBoolFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, VARIANT_BOOL* pboolOut);
HRESULT VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE* pdateOut);
HRESULT VarCyFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, CY* pcyOut);
HRESULT VarCyFromR8(DOUBLE dblIn, CY* pcyOut);
HRESULT VarR8FromCy(CY cyIn, DOUBLE* pdblOut);
HRESULT VarBstrFromR8(DOUBLE dblIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
HRESULT VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
HRESULT VarBstrFromCy(CY cyIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);

// ---- exceptions ----
class COleException : public CException {
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
    SCODE m_sc;
};
[[noreturn]] void AfxThrowOleException(SCODE sc);

class COleDateTime;
class COleCurrency;

// ---- COleDateTimeSpan: a signed number of days with the time as fraction ----
class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() = default;
    COleDateTimeSpan(double dblSpanSrc) : m_span(dblSpanSrc) { CheckRange(); }
    COleDateTimeSpan(long lDays, int nHours, int nMins, int nSecs) { SetDateTimeSpan(lDays, nHours, nMins, nSecs); }

    void SetStatus(DateTimeSpanStatus status) { m_status = status; }
    DateTimeSpanStatus GetStatus() const { return m_status; }

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const;
    double GetTotalMinutes() const;
    double GetTotalSeconds() const;
    long GetDays() const;
    long GetHours() const;    // -23..23
    long GetMinutes() const;  // -59..59
    long GetSeconds() const;  // -59..59

    operator double() const { return m_span; }
    COleDateTimeSpan& operator=(double dblSpanSrc) { m_span = dblSpanSrc; m_status = valid; CheckRange(); return *this; }

    bool operator==(const COleDateTimeSpan& o) const { return m_status == o.m_status && m_span == o.m_span; }
    bool operator!=(const COleDateTimeSpan& o) const { return !(*this == o); }
    bool operator<(const COleDateTimeSpan& o) const { return m_span < o.m_span; }
    bool operator>(const COleDateTimeSpan& o) const { return m_span > o.m_span; }
    bool operator<=(const COleDateTimeSpan& o) const { return m_span <= o.m_span; }
    bool operator>=(const COleDateTimeSpan& o) const { return m_span >= o.m_span; }

    COleDateTimeSpan operator+(const COleDateTimeSpan& o) const;
    COleDateTimeSpan operator-(const COleDateTimeSpan& o) const;
    COleDateTimeSpan& operator+=(const COleDateTimeSpan& o) { return *this = *this + o; }
    COleDateTimeSpan& operator-=(const COleDateTimeSpan& o) { return *this = *this - o; }
    COleDateTimeSpan operator-() const;

    void SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);

    double m_span = 0;
    DateTimeSpanStatus m_status = valid;

private:
    void CheckRange();
};

// ---- COleDateTime: days since 1899-12-30 with the time of day as fraction ----
// A negative serial counts its whole days backwards but its fraction forwards: -1.25 is
// 1899-12-29 06:00. Valid values lie in 1 January 100 (-657434) to 31 December 9999 (2958465).
class COleDateTime {
public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    static COleDateTime GetCurrentTime();

    COleDateTime() = default;
    COleDateTime(const VARIANT& varSrc) { *this = varSrc; }
    COleDateTime(DATE dtSrc) : m_dt(dtSrc) { CheckRange(); }
    COleDateTime(time_t timeSrc) { *this = timeSrc; }
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
    {
        SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
    }

    COleDateTime& operator=(const VARIANT& varSrc);
    COleDateTime& operator=(DATE dtSrc) { m_dt = dtSrc; m_status = valid; CheckRange(); return *this; }
    COleDateTime& operator=(time_t timeSrc);  // local time

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // -1 (AFX_OLE_DATETIME_ERROR) when the value is not valid.
    int GetYear() const;
    int GetMonth() const;      // 1-12
    int GetDay() const;        // 1-31
    int GetHour() const;       // 0-23
    int GetMinute() const;     // 0-59
    int GetSecond() const;     // 0-59
    int GetDayOfWeek() const;  // 1 = Sunday ... 7 = Saturday
    int GetDayOfYear() const;  // 1 = 1 January

    operator DATE() const { return m_dt; }

    bool operator==(const COleDateTime& o) const { return m_status == o.m_status && m_dt == o.m_dt; }
    bool operator!=(const COleDateTime& o) const { return !(*this == o); }
    // Ordering follows the moment in time, so negative serials compare correctly.
    bool operator<(const COleDateTime& o) const;
    bool operator>(const COleDateTime& o) const { return o < *this; }
    bool operator<=(const COleDateTime& o) const { return !(o < *this); }
    bool operator>=(const COleDateTime& o) const { return !(*this < o); }

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
    COleDateTimeSpan operator-(const COleDateTime& date) const;

    // 0 on success; otherwise 1 and the status becomes invalid.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
    int SetTime(int nHour, int nMin, int nSec) { return SetDateTime(1899, 12, 30, nHour, nMin, nSec); }

    // Reads a date and/or time written the locale's way ("1/15/2001 3:04 PM", "15.01.2001",
    // "January 15, 2001", "13:30"). A time alone gives 1899-12-30; a date without a year the
    // current year. On failure returns false and the status becomes invalid.
    bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    // In the locale's short date and time form; VAR_DATEVALUEONLY / VAR_TIMEVALUEONLY pick one
    // part. "" for a null value, "Invalid DateTime" for an invalid one.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // strftime-style codes; %x, %X and %c use the locale's forms, %#x the long date, and the
    // # flag drops leading zeros from numbers.
    CString Format(LPCTSTR lpszFormat) const;

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;

private:
    void CheckRange();
};

// ---- COleCurrency: a fixed-point amount, 1/10000 units, in 64 bits ----
class COleCurrency {
public:
    enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

    COleCurrency() { m_cur.int64 = 0; }
    COleCurrency(CURRENCY cySrc) : m_cur(cySrc) {}
    COleCurrency(const VARIANT& varSrc) { *this = varSrc; }
    COleCurrency(long nUnits, long nFractionalUnits) { SetCurrency(nUnits, nFractionalUnits); }

    CurrencyStatus GetStatus() const { return m_status; }
    void SetStatus(CurrencyStatus status) { m_status = status; }

    COleCurrency& operator=(CURRENCY cySrc) { m_cur = cySrc; m_status = valid; return *this; }
    COleCurrency& operator=(const VARIANT& varSrc);

    bool operator==(const COleCurrency& o) const { return m_status == o.m_status && m_cur.int64 == o.m_cur.int64; }
    bool operator!=(const COleCurrency& o) const { return !(*this == o); }
    bool operator<(const COleCurrency& o) const { return m_cur.int64 < o.m_cur.int64; }
    bool operator>(const COleCurrency& o) const { return m_cur.int64 > o.m_cur.int64; }
    bool operator<=(const COleCurrency& o) const { return m_cur.int64 <= o.m_cur.int64; }
    bool operator>=(const COleCurrency& o) const { return m_cur.int64 >= o.m_cur.int64; }

    // Overflow makes the result invalid rather than wrapping.
    COleCurrency operator+(const COleCurrency& o) const;
    COleCurrency operator-(const COleCurrency& o) const;
    COleCurrency& operator+=(const COleCurrency& o) { return *this = *this + o; }
    COleCurrency& operator-=(const COleCurrency& o) { return *this = *this - o; }
    COleCurrency operator-() const;
    COleCurrency operator*(long nOperand) const;
    COleCurrency operator/(long nOperand) const;  // dividing by 0 gives an invalid value
    COleCurrency& operator*=(long nOperand) { return *this = *this * nOperand; }
    COleCurrency& operator/=(long nOperand) { return *this = *this / nOperand; }

    operator CURRENCY() const { return m_cur; }

    // nFractionalUnits in 1/10000, -9999..9999; out of range gives an invalid value.
    void SetCurrency(long nUnits, long nFractionalUnits);
    // Reads an amount written the locale's way, with or without the currency symbol, grouping,
    // a sign or parentheses; rounds to four decimals. False (and invalid) when it is not one.
    bool ParseCurrency(LPCTSTR lpszCurrency, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);
    // The amount with the locale's decimal separator, as few decimals as needed, no symbol.
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;

    CURRENCY m_cur;
    CurrencyStatus m_status = valid;
};

// ---- COleVariant: a VARIANT that owns its payload ----
class COleVariant : public VARIANT {
public:
    COleVariant() { VariantInit(this); }
    ~COleVariant() { VariantClear(this); }

    COleVariant(const VARIANT& varSrc);
    COleVariant(LPCVARIANT pSrc);
    COleVariant(const COleVariant& varSrc);
    COleVariant(COleVariant&& varSrc) noexcept;

    // vtSrc VT_BSTR.
    COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc = VT_BSTR);
    COleVariant(const CString& strSrc);

    COleVariant(BYTE nSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);          // VT_I2 or VT_BOOL
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);           // VT_I2, VT_I4, VT_BOOL or VT_ERROR
    COleVariant(int nSrc, VARTYPE vtSrc = VT_I4) : COleVariant(long(nSrc), vtSrc) {}
    COleVariant(bool bSrc);                                  // VT_BOOL
    COleVariant(float fltSrc);
    COleVariant(double dblSrc, VARTYPE vtSrc = VT_R8);       // VT_R8 or VT_DATE
    COleVariant(const COleCurrency& curSrc);
    COleVariant(const COleDateTime& dateSrc);
    // VT_ARRAY | VT_UI1 of the bytes.
    COleVariant(const BYTE* pData, size_t nBytes);
    explicit COleVariant(const std::vector<BYTE>& bytes) : COleVariant(bytes.data(), bytes.size()) {}
    COleVariant(const CByteArray& arrSrc) : COleVariant(arrSrc.GetData(), size_t(arrSrc.GetSize())) {}

    COleVariant& operator=(const VARIANT& varSrc);
    COleVariant& operator=(LPCVARIANT pSrc);
    COleVariant& operator=(const COleVariant& varSrc);
    COleVariant& operator=(COleVariant&& varSrc) noexcept;
    COleVariant& operator=(LPCTSTR lpszSrc);
    COleVariant& operator=(const CString& strSrc);
    COleVariant& operator=(BYTE nSrc);
    COleVariant& operator=(short nSrc);
    COleVariant& operator=(long lSrc);
    COleVariant& operator=(int nSrc) { return *this = long(nSrc); }
    COleVariant& operator=(bool bSrc);
    COleVariant& operator=(float fltSrc);
    COleVariant& operator=(double dblSrc);
    COleVariant& operator=(const COleCurrency& curSrc);
    COleVariant& operator=(const COleDateTime& dateSrc);
    COleVariant& operator=(const CByteArray& arrSrc);

    // Same type and the same value (strings and byte arrays by content).
    bool operator==(const VARIANT& varSrc) const;
    bool operator==(const COleVariant& varSrc) const { return *this == static_cast<const VARIANT&>(varSrc); }
    bool operator==(LPCVARIANT pSrc) const { return pSrc && *this == *pSrc; }
    bool operator!=(const VARIANT& varSrc) const { return !(*this == varSrc); }

    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }

    void Clear();
    // Converts in place (or from pSrc into this); throws COleException when it cannot.
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);
    void Attach(VARIANT& varSrc);
    VARIANT Detach();
    void SetString(LPCTSTR lpszSrc, VARTYPE vtSrc);

    // Copies the bytes of a VT_ARRAY | VT_UI1 value; false (and out emptied) for any other type.
    bool GetByteArray(std::vector<BYTE>& out) const;
    // The same into a CByteArray; throws COleException (type mismatch) for any other type.
    void GetByteArrayFromVariantArray(CByteArray& arr) const;
};
