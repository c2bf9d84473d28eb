#pragma once
// Base styles, fonts, single styles and display and print properties kept in the application's
// profile: the registry when the application has a registry key, else its INI file.

#include "grid/core/gxstate.h"

class CGXGridProfileImp : public CGXAbstractGridProfileImp {
public:
    void WriteStylesMap(CGXStylesMap& map) override;
    void WriteFont(const CGXFont& font, const char* pszSection, const char* pszEntry) override;
    void WriteStyle(const CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) override;
    void WriteStyleEntry(const char* pszSection, const char* pszEntry, const char* pszValue) override;
    void WriteProperties(CGXProperties& props) override;
    BOOL ReadStylesMap(CGXStylesMap& map) override;
    BOOL ReadFont(CGXFont& font, const char* pszSection, const char* pszEntry) override;
    BOOL ReadStyle(CGXStyle& style, const char* pszSection, const CGXStylesMap* pMap) override;
    BOOL ReadProperties(CGXProperties& props) override;
};

// Installs the service once; a second call does nothing.
void GXInstallProfileImp();

// Text values as stored: a plain text as it is; any other (line breaks, blanks at an end,
// enclosing quotes, a leading backslash) as a backslash and the text with those characters
// written \xHH, so that both stores give back exactly what was written.
CString GXProfileEncodeValue(const CString& text);
CString GXProfileDecodeValue(const CString& stored);
// Style names as keys: '%', '=', '\', control characters and blanks at an end as %HH.
CString GXProfileEncodeKey(const CString& name);
CString GXProfileDecodeKey(const CString& key);
