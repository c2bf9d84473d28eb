// Feeds arbitrary text to the currency format's reader, as a paste or a WM_SETTEXT would bring
// it. The first byte picks the Format (its layouts, separators, padding and digit limits). A text
// that reads must give a finite value whose shown text reads back to the same shown text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "grid/widgets/gxbcurfmt.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

CGXBCurrencyFormat formatFor(uint8_t pick)
{
    CGXBCurrencyFormat f(FALSE);
    f.SetPositiveFormat(pick & 3);
    f.SetNegativeFormat((pick >> 2) & 15);
    switch (pick >> 6) {
    case 1:  // "1.234,50 €"
        f.SetMonetarySymbol("\xE2\x82\xAC");
        f.SetGroupingSeparator('.');
        f.SetDecimalSeparator(',');
        break;
    case 2:  // a narrow no-break space between groups, no leading zero
        f.SetGroupingSeparator(0x202F);
        f.SetDecimalSeparator(',');
        f.SetLeadingZero(FALSE);
        break;
    case 3:  // five integer digits padded with zeros, before grouping
        f.SetIntegerDigits(5);
        f.SetPaddingChar('0');
        f.SetPadBeforeGrouping(TRUE);
        f.SetDecimalDigits(3);
        break;
    default: break;
    }
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const CGXBCurrencyFormat f = formatFor(data[0]);
    const CString text(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    double d = 0;
    bool bNegative = false;
    if (!f.ParseValue(text, d, bNegative))
        return 0;
    if (!std::isfinite(d) || d < 0)
        __builtin_trap();
    CString shown;
    f.FormatValue(d, shown, bNegative);
    double again = 0;
    bool bAgainNegative = false;
    if (!f.ParseValue(shown, again, bAgainNegative))
        __builtin_trap();
    CString shownAgain;
    f.FormatValue(again, shownAgain, bAgainNegative);
    if (shownAgain != shown)
        __builtin_trap();
    return 0;
}
