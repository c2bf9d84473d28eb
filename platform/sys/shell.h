#pragma once
// Starting other programs: opening a document or link with the desktop's handler, and
// running a command line. A start that fails is always reported through the result.

#include "platform/sys/system.h"

#include <string>
#include <string_view>
#include <vector>

#ifndef SW_HIDE
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#endif

// ShellExecute failure results (32 and below); success is above 32.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

// Opens lpFile ("open", "explore" or no verb) with the desktop's handler, xdg-open: a path
// (relative to lpDirectory when given) or an address such as "http://..." or "mailto:...".
// An executable file is run with lpParameters instead. The result, read as an integer, is
// above 32 on success, SE_ERR_FNF / SE_ERR_PNF when the file or folder is missing,
// SE_ERR_NOASSOC when nothing can open it (no handler, unknown verb), else another code of 32
// or less.
HINSTANCE ShellExecute(HWND hwnd, LPCTSTR lpOperation, LPCTSTR lpFile, LPCTSTR lpParameters, LPCTSTR lpDirectory,
    INT nShowCmd);

// Runs a command line; above 31 on success, else ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND,
// ERROR_BAD_FORMAT or 0 (out of resources). Does not wait for the program.
UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow);

struct STARTUPINFO {
    DWORD cb;
    LPTSTR lpReserved;
    LPTSTR lpDesktop;
    LPTSTR lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};
typedef STARTUPINFO* LPSTARTUPINFO;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_NEW_CONSOLE 0x00000010
#define STILL_ACTIVE 259
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu

// Starts a program: lpApplicationName when given, else the first part of lpCommandLine
// (quoted, or the shortest run of blank-separated words that names an existing file, else
// the first word looked up on PATH). The rest is split into arguments the Windows way.
// FALSE with GetLastError on failure. When lpProcessInformation is given, its hProcess must
// be closed with CloseHandle (hThread is null).
BOOL CreateProcess(LPCTSTR lpApplicationName, LPTSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
    LPCTSTR lpCurrentDirectory, LPSTARTUPINFO lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation);

// For process handles from CreateProcess.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
BOOL CloseHandle(HANDLE hObject);

// The running program's full path (the module handle is not consulted: there is one module).
// Answers the length copied; nSize, with the path cut and ended by a zero, when it did not fit.
DWORD GetModuleFileName(HMODULE hModule, LPTSTR lpFilename, DWORD nSize);

// ---- Beyond Win32 ----
// Splits the part of a command line after the program name as the Windows run-time does:
// blanks separate, "..." groups, 2n backslashes before a quote give n and the quote acts,
// 2n+1 give n and a literal quote, other backslashes are literal.
std::vector<std::string> PvSplitCommandArguments(std::string_view args);
// Whether ShellExecute would run lpFile as a program rather than hand it to the desktop: a path
// (or "file:" address) of an executable file. Callers that only mean to show a document ask
// first.
BOOL PvNamesProgram(LPCTSTR lpFile);
// Test hook: the program that opens documents instead of xdg-open (null restores it). The
// environment variable PV_SHELL_OPENER does the same for a whole run.
void PvSetShellOpener(LPCTSTR program);
