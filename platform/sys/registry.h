#pragma once
// The registry: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, each one text file under
// PV_REGISTRY_DIR (default $XDG_CONFIG_HOME/paravel/registry, else ~/.config/paravel/registry).
// Every call sees the file as it is on disk, so other processes (pvreg, an installer) and this
// one stay in step; every change is written whole to a temporary file and renamed over the
// old one. A damaged hive file is never emptied or overwritten: calls on that hive fail with
// ERROR_REGISTRY_CORRUPT and PvRegLastProblem() says which file and line.

#include "platform/sys/system.h"

#include <string>

typedef HKEY* PHKEY;
typedef DWORD REGSAM;

#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002u)
#define HKEY_USERS ((HKEY)(ULONG_PTR)0x80000003u)

// Value types
#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

// Access rights
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE KEY_READ
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_RESERVED 0x0000
#define REG_OPTION_NON_VOLATILE 0x0000
#define REG_OPTION_VOLATILE 0x0001
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// The Win32 calls; each returns ERROR_SUCCESS or a Win32 error number.
LONG RegOpenKeyEx(HKEY hKey, LPCTSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegOpenKey(HKEY hKey, LPCTSTR lpSubKey, PHKEY phkResult);
LONG RegCreateKeyEx(HKEY hKey, LPCTSTR lpSubKey, DWORD Reserved, LPTSTR lpClass, DWORD dwOptions,
    REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
LONG RegCreateKey(HKEY hKey, LPCTSTR lpSubKey, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);
LONG RegFlushKey(HKEY hKey);

// A null or empty value name is the key's default value. Too small a buffer gives
// ERROR_MORE_DATA with the needed size in *lpcbData; strings are answered with their zero.
LONG RegQueryValueEx(HKEY hKey, LPCTSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
    LPDWORD lpcbData);
// String types are stored up to their first zero byte.
LONG RegSetValueEx(HKEY hKey, LPCTSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
LONG RegDeleteValue(HKEY hKey, LPCTSTR lpValueName);

// Sub-keys come in case-blind alphabetical order; cchName counts the terminating zero.
LONG RegEnumKey(HKEY hKey, DWORD dwIndex, LPTSTR lpName, DWORD cchName);
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPTSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
    LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKey(HKEY hKey, LPCTSTR lpSubKey);
// Deletes a key with everything below it; a null sub-key empties hKey itself.
LONG RegDeleteTree(HKEY hKey, LPCTSTR lpSubKey);

// ---- Beyond Win32, for the registry tool and tests ----
// The folder holding the hive files, and the file of one predefined key ("" for others).
std::string PvRegistryDir();
std::string PvRegistryHivePath(HKEY hRoot);
// One line describing the last failure that came from a hive file (damaged, unreadable,
// unwritable) on this thread; empty when the last call had no such failure.
std::string PvRegLastProblem();
