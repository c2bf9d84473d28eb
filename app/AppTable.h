#pragma once
// Reading the key/value table "Application" of the directory database: the default sort, the
// cipher key inputs, the window title and the footnote. Each reader has its own message texts.

#include "platform/base/CString.h"

class CDaoDatabase;
class COleVariant;

struct AppTableTexts {
    const char* openFailed; // followed by the database path and the re-install advice
    const char* noData;
    const char* noEntry;    // followed by the key
    const char* readFailed; // followed by the engine's description
};

extern const AppTableTexts kSortTexts;
extern const AppTableTexts kTitleTexts;
extern const AppTableTexts kFootnoteTexts;

// Reads the Value of each key in turn, each searched onwards from the row of the one before,
// comparing Key exactly. On failure shows one message (OK, warning icon) and returns FALSE.
// With pLastShown, a caller that reads the same rows again does not repeat the message it
// showed last time for the same fault; a successful read forgets it. bQuiet shows nothing.
BOOL ReadApplicationValues(CDaoDatabase& db, const CString& databasePath, const char* const* keys, int nKeys,
                           CString* values, const AppTableTexts& texts, CString* pLastShown = nullptr,
                           BOOL bQuiet = FALSE);

// "\n(Jet Error Number N)", the tail of every database message.
CString JetErrorSuffix(long errorCode);

// A field's value as text: empty for a null; throws COleException for a value without a text
// form (binary data).
CString VariantText(const COleVariant& value);
