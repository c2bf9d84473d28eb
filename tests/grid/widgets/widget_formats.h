#pragma once
// Fixed currency formats that the widget tests and the demo share.

#include "grid/widgets/gxbcurfmt.h"

// $1,234.50 and ($1,234.50).
inline CGXBCurrencyFormat EnglishCurrencyFormat()
{
    return CGXBCurrencyFormat(FALSE);
}

// "1.234,50 €" and "-1.234,50 €".
inline CGXBCurrencyFormat GermanCurrencyFormat()
{
    CGXBCurrencyFormat f(FALSE);
    f.SetMonetarySymbol("\xE2\x82\xAC");
    f.SetGroupingSeparator('.');
    f.SetDecimalSeparator(',');
    f.SetPositiveFormat(3);
    f.SetNegativeFormat(8);
    return f;
}
