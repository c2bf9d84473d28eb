#pragma once
// Start-up configuration: the program's registry key, the files it needs, one preference from
// "Settings.ini" and the browser control's version. Filled once by LoadConfiguration.

#include "platform/base/CString.h"
#include "platform/base/exceptions.h"
#include "platform/sys/registry.h"

// Registry failure: code 0 when opening a key failed, 1 when reading or writing a value failed.
class CRegException : public CException {
public:
    CRegException(int code, HKEY key, LPCTSTR name) : m_nCode1(code), m_nCode2(code), m_hKey(key), m_strName(name) {}
    int m_nCode1;
    int m_nCode2;
    HKEY m_hKey;
    CString m_strName;
};

BOOL LoadConfiguration();

// The advice every missing-file and unopenable-database message ends with.
extern const char kReinstallAdvice[];

// A file is "found" when it opens for reading with sharing allowed.
BOOL FileOpensForReading(const CString& path);

CString GetDatabasePath();
CString GetDataPath();
CString GetMediaPath();
CString GetCustomPath();
CString GetIEVersion();
// The browser version's first four characters read as a decimal number ("6.0.2900" gives 6.0).
double BrowserVersionNumber(const CString& version);
int GetGridHint();
CString GetHomePagePath();
void WriteGridHintSetting(int flag);

// The program's key below HKEY_CURRENT_USER.
CString GetMainKeyPath();

void OpenRegistryKey(HKEY parent, LPCTSTR subKey, DWORD options, REGSAM access, HKEY* result);
void QueryRegistryValue(HKEY key, LPCTSTR name, BYTE* buffer, DWORD* size);
void SetRegistryValue(HKEY key, LPCTSTR name, const BYTE* data, DWORD size);
BOOL WriteMainKeyValue(LPCTSTR name, LPCTSTR text);

// Clears every value, as before the first LoadConfiguration (tests run it repeatedly).
void ResetConfiguration();
// Tests of the document point it at a database without a whole installation.
void PvSetDatabasePathForTest(const CString& path);
// Tests of the outline point it at a data folder and a custom database of their own.
void PvSetOutlinePathsForTest(const CString& dataPath, const CString& customPath);
