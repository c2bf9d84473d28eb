#pragma once
// Discora, the CD's start program: reads "Discora.ini" beside itself and starts either the
// installed program named in the registry or the setup program. Its logic runs against the
// small interfaces below, so that the real system and a test's fakes are interchangeable.

#include "platform/base/CString.h"

// The INI-file functions, with the platform's semantics (at most nSize - 1 characters copied).
class IDiscoraProfile
{
public:
    virtual ~IDiscoraProfile() = default;
    virtual DWORD GetPrivateProfileString(LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpDefault,
        LPTSTR lpReturnedString, DWORD nSize, LPCTSTR lpFileName) = 0;
    virtual UINT GetPrivateProfileInt(LPCTSTR lpAppName, LPCTSTR lpKeyName, INT nDefault,
        LPCTSTR lpFileName) = 0;
};

// HKEY_LOCAL_MACHINE, read only.
class IDiscoraRegistry
{
public:
    virtual ~IDiscoraRegistry() = default;
    virtual LONG OpenLocalMachineKey(LPCTSTR lpSubKey, HKEY* phkResult) = 0;
    // A null value name is the key's default value; Win32 results and ERROR_MORE_DATA.
    virtual LONG QueryValue(HKEY hKey, LPCTSTR lpValueName, LPDWORD lpType, LPBYTE lpData,
        LPDWORD lpcbData) = 0;
    virtual LONG CloseKey(HKEY hKey) = 0;
};

class IDiscoraWindows
{
public:
    virtual ~IDiscoraWindows() = default;
    // Whether a top-level window of that class exists, with that title unless it is null.
    virtual bool FindWindow(LPCTSTR lpClassName, LPCTSTR lpWindowName) = 0;
    virtual int MessageBox(LPCTSTR lpText, LPCTSTR lpCaption, UINT uType) = 0;
};

class IDiscoraProcess
{
public:
    virtual ~IDiscoraProcess() = default;
    // Full path of the running program; the platform's GetModuleFileName (0 on failure, nSize
    // when the path was cut to fit).
    virtual DWORD GetModuleFileName(LPTSTR lpFilename, DWORD nSize) = 0;
    // The root of the file system that holds the folder, without a trailing separator (empty
    // for "/"): where a Run value beginning with "\" is taken from.
    virtual CString GetVolumeRoot(const CString& strFolder) = 0;
    // Whether the path names an existing file (not a folder).
    virtual bool IsFile(const CString& strPath) = 0;
    // Starts the command line (Windows-style splitting); more than 31 on success.
    virtual UINT WinExec(LPCTSTR lpCmdLine, UINT uCmdShow) = 0;
};

struct DiscoraSystem {
    IDiscoraProfile& profile;
    IDiscoraRegistry& registry;
    IDiscoraWindows& windows;
    IDiscoraProcess& process;
};

// The program's entry. arguments is the part of the command line after the program name,
// passed on unchanged. Always returns 0.
int DiscoraMain(DiscoraSystem& sys, bool hasPreviousInstance, const CString& arguments);

// Joins program arguments into one command-line tail that Windows-style splitting takes apart
// into the same arguments again.
CString DiscoraJoinArguments(int argc, const char* const* argv);

// The messages Discora shows.
extern const char* const kDiscoraAlreadyRunning;
extern const char* const kDiscoraCannotStart;
extern const char* const kDiscoraCommandTooLong;
