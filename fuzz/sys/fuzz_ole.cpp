// Dates, currency amounts and numbers typed by the user or read from files: the parsers must
// never crash, and what they accept must format and read back to the same value.

#include "platform/sys/ole.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);  // stops at an embedded NUL
    const char* s = text.c_str();

    COleDateTime dt;
    if (dt.ParseDateTime(s) && dt.GetStatus() == COleDateTime::valid) {
        (void)dt.Format();
        (void)dt.Format("%A, %B %d, %Y %H:%M:%S");
    }
    COleDateTime dateOnly;
    (void)dateOnly.ParseDateTime(s, VAR_DATEVALUEONLY);

    COleCurrency cy;
    if (cy.ParseCurrency(s) && cy.GetStatus() == COleCurrency::valid) {
        const CString shown = cy.Format();
        COleCurrency back;
        if (!back.ParseCurrency(shown) || !(back == cy)) std::abort();
    }

    DOUBLE d = 0;
    if (SUCCEEDED(VarR8FromStr(s, LANG_USER_DEFAULT, 0, &d)) && std::isfinite(d)) {
        BSTR b = nullptr;
        if (SUCCEEDED(VarBstrFromR8(d, LANG_USER_DEFAULT, 0, &b))) SysFreeString(b);
    }
    LONG l = 0;
    (void)VarI4FromStr(s, LANG_USER_DEFAULT, 0, &l);
    SHORT sh = 0;
    (void)VarI2FromStr(s, LANG_USER_DEFAULT, 0, &sh);
    BYTE by = 0;
    (void)VarUI1FromStr(s, LANG_USER_DEFAULT, 0, &by);
    VARIANT_BOOL vb = 0;
    (void)VarBoolFromStr(s, LANG_USER_DEFAULT, 0, &vb);
    DATE date = 0;
    (void)VarDateFromStr(s, LANG_USER_DEFAULT, 0, &date);
    CY c {};
    (void)VarCyFromStr(s, LANG_USER_DEFAULT, 0, &c);
    return 0;
}
