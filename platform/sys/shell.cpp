#include "platform/sys/shell.h"

#include "platform/base/textcase.h"
#include "platform/sys/fileio.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>

extern char** environ;

namespace {

// A started child. A detached thread waits for it, so no child is ever left a zombie, and
// process handles only read what that thread recorded.
struct ProcessState {
    pid_t pid = 0;
    std::mutex mutex;
    std::condition_variable done;
    bool exited = false;
    DWORD exitCode = 0;
};

struct ProcessHandle {
    std::shared_ptr<ProcessState> state;
};

std::mutex g_handleMutex;
std::unordered_set<ProcessHandle*> g_handles;

std::mutex g_openerMutex;
std::string g_opener; // empty: PV_SHELL_OPENER, else xdg-open

void watch(const std::shared_ptr<ProcessState>& st)
{
    std::thread([st] {
        int status = 0;
        pid_t r;
        do
            r = ::waitpid(st->pid, &status, 0);
        while (r < 0 && errno == EINTR);
        std::lock_guard<std::mutex> lock(st->mutex);
        st->exited = true;
        if (r < 0)
            st->exitCode = 1;
        else if (WIFEXITED(status))
            st->exitCode = static_cast<DWORD>(WEXITSTATUS(status));
        else
            st->exitCode = 128u + static_cast<DWORD>(WTERMSIG(status));
        st->done.notify_all();
    }).detach();
}

bool isFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return true;
    struct stat st {};
    return ::stat(path.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The full path of a bare program name on PATH, or empty.
std::string searchPath(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::string();
    const char* env = std::getenv("PATH");
    std::string path = env && *env ? env : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= path.size()) {
        size_t colon = path.find(':', start);
        if (colon == std::string::npos)
            colon = path.size();
        std::string dir = path.substr(start, colon - start);
        start = colon + 1;
        std::string cand = (dir.empty() ? std::string(".") : dir) + "/" + name;
        if (isFile(cand) && ::access(cand.c_str(), X_OK) == 0)
            return cand;
    }
    return std::string();
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Splits a command line into the program and the text of its arguments.
void splitProgram(std::string_view cmd, std::string& program, std::string_view& rest)
{
    size_t i = 0;
    while (i < cmd.size() && isBlank(cmd[i]))
        ++i;
    if (i < cmd.size() && cmd[i] == '"') {
        size_t close = cmd.find('"', i + 1);
        size_t end = close == std::string_view::npos ? cmd.size() : close;
        program = pvsys::osPath(cmd.substr(i + 1, end - i - 1));
        rest = close == std::string_view::npos ? std::string_view() : cmd.substr(close + 1);
        return;
    }
    // Unquoted: the shortest run of words that names a file, so "/opt/My App/run arg" works.
    size_t firstEnd = i;
    while (firstEnd < cmd.size() && !isBlank(cmd[firstEnd]))
        ++firstEnd;
    size_t end = firstEnd;
    while (true) {
        std::string cand = pvsys::osPath(cmd.substr(i, end - i));
        if (cand.find('/') != std::string::npos ? isFile(cand) : !searchPath(cand).empty()) {
            program = cand;
            rest = cmd.substr(end);
            return;
        }
        size_t next = end;
        while (next < cmd.size() && isBlank(cmd[next]))
            ++next;
        if (next >= cmd.size())
            break;
        end = next;
        while (end < cmd.size() && !isBlank(cmd[end]))
            ++end;
    }
    program = pvsys::osPath(cmd.substr(i, firstEnd - i));
    rest = cmd.substr(firstEnd);
}

DWORD spawnErrorToWin32(int e, const std::string& program)
{
    switch (e) {
    case ENOENT: return folderExists(program) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EISDIR: return ERROR_ACCESS_DENIED;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    case ENOMEM: case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

struct SpawnRequest {
    std::string program;            // path, or a bare name looked up on PATH
    std::vector<std::string> argv;  // argv[0] first
    std::string directory;          // empty: ours
    const char* environment = nullptr; // "k=v\0k=v\0\0", or null for ours
    bool inheritHandles = false;
};

// Starts the child; 0 and its watched state, or an errno value.
int spawn(const SpawnRequest& req, std::shared_ptr<ProcessState>& out)
{
    std::vector<char*> argv;
    for (const std::string& a : req.argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    std::vector<char*> envp;
    if (req.environment) {
        for (const char* p = req.environment; *p; p += std::strlen(p) + 1)
            envp.push_back(const_cast<char*>(p));
        envp.push_back(nullptr);
    }

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    if (!req.directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, req.directory.c_str());
    if (!req.inheritHandles)
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : { SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2 })
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // Its own session: a started program lives on when we end, as on the original system.
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    char** env = req.environment ? envp.data() : environ;
    int rc = req.program.find('/') == std::string::npos
        ? posix_spawnp(&pid, req.program.c_str(), &actions, &attr, argv.data(), env)
        : posix_spawn(&pid, req.program.c_str(), &actions, &attr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        return rc;
    out = std::make_shared<ProcessState>();
    out->pid = pid;
    watch(out);
    return 0;
}

// Waits up to `ms` for the child; true with its exit code when it ended.
bool waitFor(ProcessState& st, DWORD ms, DWORD& exitCode)
{
    std::unique_lock<std::mutex> lock(st.mutex);
    if (ms == INFINITE)
        st.done.wait(lock, [&] { return st.exited; });
    else
        st.done.wait_for(lock, std::chrono::milliseconds(ms), [&] { return st.exited; });
    exitCode = st.exitCode;
    return st.exited;
}

bool isAddress(std::string_view s)
{
    // A scheme of two or more characters, so "C:\..." stays a path.
    size_t colon = s.find(':');
    if (colon == std::string_view::npos || colon < 2)
        return false;
    if (!((s[0] >= 'a' && s[0] <= 'z') || (s[0] >= 'A' && s[0] <= 'Z')))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        char c = s[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-'
            || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

// A file we may run ourselves: executable and a real program, not a document that merely
// carries the execute bit (every file on some CD file systems does).
bool isProgram(const std::string& path)
{
    if (!isFile(path) || ::access(path.c_str(), X_OK) != 0)
        return false;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char magic[4] = {};
    size_t n = std::fread(magic, 1, 4, f);
    std::fclose(f);
    return (n >= 2 && magic[0] == '#' && magic[1] == '!') || (n == 4 && std::memcmp(magic, "\x7f" "ELF", 4) == 0);
}

std::string opener()
{
    {
        std::lock_guard<std::mutex> lock(g_openerMutex);
        if (!g_opener.empty())
            return g_opener;
    }
    const char* env = std::getenv("PV_SHELL_OPENER");
    if (env && *env)
        return env;
    return searchPath("xdg-open");
}

HINSTANCE result(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

// How long the desktop's handler may take to say whether it could open the file; a handler
// still running after that has evidently started.
constexpr DWORD kOpenerWaitMs = 5000;

} // namespace

std::vector<std::string> PvSplitCommandArguments(std::string_view s)
{
    std::vector<std::string> out;
    std::string cur;
    bool inArg = false, inQuotes = false;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (isBlank(c) && !inQuotes) {
            if (inArg) {
                out.push_back(std::move(cur));
                cur.clear();
                inArg = false;
            }
            ++i;
            continue;
        }
        inArg = true;
        if (c == '\\') {
            size_t k = 0;
            while (i + k < s.size() && s[i + k] == '\\')
                ++k;
            if (i + k < s.size() && s[i + k] == '"') {
                cur.append(k / 2, '\\');
                if (k % 2) {
                    cur += '"';
                    i += k + 1;
                } else
                    i += k; // the quote then opens or closes
            } else {
                cur.append(k, '\\');
                i += k;
            }
            continue;
        }
        if (c == '"') {
            if (inQuotes && i + 1 < s.size() && s[i + 1] == '"') {
                cur += '"';
                i += 2;
                continue;
            }
            inQuotes = !inQuotes;
            ++i;
            continue;
        }
        cur += c;
        ++i;
    }
    if (inArg)
        out.push_back(std::move(cur));
    return out;
}

void PvSetShellOpener(LPCTSTR program)
{
    std::lock_guard<std::mutex> lock(g_openerMutex);
    g_opener = program ? program : "";
}

BOOL PvNamesProgram(LPCTSTR lpFile)
{
    if (!lpFile || !*lpFile)
        return FALSE;
    std::string target = lpFile;
    const std::string_view fileScheme = "file://";
    if (target.size() > fileScheme.size() && PvCompareNoCase(target.substr(0, fileScheme.size()).c_str(), "file://") == 0)
        target.erase(0, fileScheme.size());
    else if (isAddress(target))
        return FALSE;
    return isProgram(pvsys::osPath(target)) ? TRUE : FALSE;
}

HINSTANCE ShellExecute(HWND hwnd, LPCTSTR lpOperation, LPCTSTR lpFile, LPCTSTR lpParameters, LPCTSTR lpDirectory,
    INT nShowCmd)
{
    (void)hwnd;
    (void)nShowCmd;
    if (lpOperation && *lpOperation && PvCompareNoCase(lpOperation, "open") != 0
        && PvCompareNoCase(lpOperation, "explore") != 0)
        return result(SE_ERR_NOASSOC);
    if (!lpFile || !*lpFile)
        return result(SE_ERR_FNF);

    std::string target = lpFile;
    std::string dir = lpDirectory && *lpDirectory ? pvsys::osPath(lpDirectory) : std::string();
    if (!isAddress(target)) {
        target = pvsys::osPath(target);
        if (target[0] != '/' && !dir.empty())
            target = dir + "/" + target;
        struct stat st {};
        if (::stat(target.c_str(), &st) != 0)
            return result(folderExists(target) ? SE_ERR_FNF : SE_ERR_PNF);
        if (isProgram(target)) {
            SpawnRequest req;
            req.program = target;
            req.argv.push_back(target);
            for (std::string& a : PvSplitCommandArguments(lpParameters ? lpParameters : ""))
                req.argv.push_back(std::move(a));
            req.directory = dir;
            std::shared_ptr<ProcessState> st2;
            int e = spawn(req, st2);
            if (e == 0)
                return result(42);
            DWORD w = spawnErrorToWin32(e, target);
            return result(w == ERROR_ACCESS_DENIED ? SE_ERR_ACCESSDENIED : w == ERROR_NOT_ENOUGH_MEMORY ? SE_ERR_OOM
                                                                                                      : SE_ERR_FNF);
        }
    }

    std::string program = opener();
    if (program.empty())
        return result(SE_ERR_NOASSOC);
    SpawnRequest req;
    req.program = program;
    req.argv = { program, target };
    req.directory = dir;
    std::shared_ptr<ProcessState> st;
    int e = spawn(req, st);
    if (e == ENOENT || e == EACCES || e == ENOEXEC)
        return result(SE_ERR_NOASSOC);
    if (e)
        return result(SE_ERR_OOM);
    DWORD code = 0;
    if (!waitFor(*st, kOpenerWaitMs, code))
        return result(42);
    switch (code) {
    case 0: return result(42);
    case 2: return result(SE_ERR_FNF);
    case 3: return result(SE_ERR_NOASSOC); // no tool can open it
    default: return result(SE_ERR_ASSOCINCOMPLETE);
    }
}

BOOL CreateProcess(LPCTSTR lpApplicationName, LPTSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
    LPCTSTR lpCurrentDirectory, LPSTARTUPINFO lpStartupInfo, LPPROCESS_INFORMATION lpProcessInformation)
{
    (void)lpProcessAttributes;
    (void)lpThreadAttributes;
    (void)dwCreationFlags;
    (void)lpStartupInfo;
    std::string_view cmd = lpCommandLine ? lpCommandLine : "";
    SpawnRequest req;
    std::string_view rest;
    if (lpApplicationName && *lpApplicationName) {
        req.program = pvsys::osPath(lpApplicationName);
        std::string first;
        splitProgram(cmd, first, rest);
        req.argv.push_back(first.empty() ? req.program : first);
    } else {
        splitProgram(cmd, req.program, rest);
        req.argv.push_back(req.program);
    }
    if (req.program.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    for (std::string& a : PvSplitCommandArguments(rest))
        req.argv.push_back(std::move(a));
    if (lpCurrentDirectory && *lpCurrentDirectory)
        req.directory = pvsys::osPath(lpCurrentDirectory);
    req.environment = static_cast<const char*>(lpEnvironment);
    req.inheritHandles = bInheritHandles != FALSE;

    std::shared_ptr<ProcessState> st;
    if (int e = spawn(req, st)) {
        SetLastError(spawnErrorToWin32(e, req.program));
        return FALSE;
    }
    if (lpProcessInformation) {
        auto* h = new ProcessHandle { st };
        {
            std::lock_guard<std::mutex> lock(g_handleMutex);
            g_handles.insert(h);
        }
        lpProcessInformation->hProcess = h;
        lpProcessInformation->hThread = nullptr;
        lpProcessInformation->dwProcessId = static_cast<DWORD>(st->pid);
        lpProcessInformation->dwThreadId = 0;
    }
    return TRUE;
}

UINT WinExec(LPCSTR lpCmdLine, UINT uCmdShow)
{
    (void)uCmdShow;
    if (!lpCmdLine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR_FILE_NOT_FOUND;
    }
    std::string cmd = lpCmdLine;
    if (CreateProcess(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, nullptr))
        return 33;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND: return ERROR_FILE_NOT_FOUND;
    case ERROR_PATH_NOT_FOUND: return ERROR_PATH_NOT_FOUND;
    case ERROR_NOT_ENOUGH_MEMORY: return 0;
    default: return ERROR_BAD_FORMAT; // not a program we can run
    }
}

namespace {

std::shared_ptr<ProcessState> processOf(HANDLE h)
{
    std::lock_guard<std::mutex> lock(g_handleMutex);
    auto* ph = static_cast<ProcessHandle*>(h);
    if (!g_handles.count(ph))
        return nullptr;
    return ph->state;
}

} // namespace

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    auto st = processOf(hHandle);
    if (!st) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    DWORD code = 0;
    return waitFor(*st, dwMilliseconds, code) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode)
{
    auto st = processOf(hProcess);
    if (!st || !lpExitCode) {
        SetLastError(st ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(st->mutex);
    *lpExitCode = st->exited ? st->exitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL CloseHandle(HANDLE hObject)
{
    std::lock_guard<std::mutex> lock(g_handleMutex);
    auto* ph = static_cast<ProcessHandle*>(hObject);
    if (!g_handles.erase(ph)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete ph;
    return TRUE;
}

DWORD GetModuleFileName(HMODULE hModule, LPTSTR lpFilename, DWORD nSize)
{
    (void)hModule;
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::vector<char> buf(PATH_MAX);
    while (true) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) {
            SetLastError(ERROR_GEN_FAILURE);
            lpFilename[0] = '\0';
            return 0;
        }
        if (static_cast<size_t>(n) < buf.size()) {
            buf.resize(static_cast<size_t>(n));
            break;
        }
        if (buf.size() > (1u << 20)) {
            SetLastError(ERROR_GEN_FAILURE);
            lpFilename[0] = '\0';
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
    if (buf.size() + 1 > nSize) {
        std::memcpy(lpFilename, buf.data(), nSize - 1);
        lpFilename[nSize - 1] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    std::memcpy(lpFilename, buf.data(), buf.size());
    lpFilename[buf.size()] = '\0';
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(buf.size());
}
