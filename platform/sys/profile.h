#pragma once
// The INI-file functions. Every call reads the file as it is on disk; every change rewrites
// it whole through a temporary file and a rename, keeping all other lines as they were.
// File names may use '\' or '/'.

#include "platform/sys/ini.h"
#include "platform/sys/system.h"

// Copies at most nSize - 1 bytes and a zero, never splitting a UTF-8 character; answers the
// count copied, or nSize - 1 when the value was cut. A null section lists the section names,
// a null key the section's key names: each name ended by a zero, then a final zero (nSize - 2
// when the list was cut). A missing key gives the default, less its trailing blanks.
DWORD GetPrivateProfileString(LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpDefault, LPTSTR lpReturnedString,
    DWORD nSize, LPCTSTR lpFileName);

// The leading decimal number of the value (0 when there is none); nDefault when the key is missing.
UINT GetPrivateProfileInt(LPCTSTR lpAppName, LPCTSTR lpKeyName, INT nDefault, LPCTSTR lpFileName);

// A null value deletes the key, a null key the whole section; all three null only flushes
// (nothing is cached, so it just succeeds). Fails (FALSE, GetLastError) when the file cannot
// be written (ERROR_ACCESS_DENIED for a read-only file), or when a name or value would break the
// file's lines (a line break anywhere, '=' in a key, a key starting with '[', ';' or a blank).
BOOL WritePrivateProfileString(LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpString, LPCTSTR lpFileName);

namespace pvini {
// The reading functions over a document already in memory (null: no file).
DWORD ProfileString(const IniDocument* doc, LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpDefault,
    LPTSTR lpReturnedString, DWORD nSize);
UINT ProfileInt(const IniDocument& doc, LPCTSTR lpAppName, LPCTSTR lpKeyName, INT nDefault);
} // namespace pvini
