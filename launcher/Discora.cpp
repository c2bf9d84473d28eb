#include "launcher/Discora.h"

#include "platform/sys/registry.h"
#include "platform/win/winuser.h"

#include <cstring>

const char* const kDiscoraAlreadyRunning = "Discora is already running.";
const char* const kDiscoraCannotStart = "Discora could not start the program:\n";
const char* const kDiscoraCommandTooLong =
    "Discora could not start the program: its command line is longer than 259 characters.";

namespace {

// Every path, key and command Discora builds fits the system's path length, terminator included.
constexpr DWORD kPathSize = MAX_PATH;
// Window class and title.
constexpr DWORD kWindowTextSize = 80;

bool isSeparator(char c) { return c == '\\' || c == '/'; }

CString readProfileString(IDiscoraProfile& profile, LPCTSTR section, LPCTSTR key, DWORD size,
    const CString& file)
{
    char buffer[kPathSize] = {};
    if (size > kPathSize)
        size = kPathSize;
    profile.GetPrivateProfileString(section, key, "", buffer, size, file);
    buffer[size - 1] = '\0';
    return CString(buffer);
}

// The key's default value as a string. A value that is not a string, does not fit, or has no
// terminating zero is refused rather than read past its end.
bool readDefaultValue(IDiscoraRegistry& registry, HKEY key, CString& value)
{
    BYTE data[kPathSize];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    if (registry.QueryValue(key, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > sizeof data)
        return false;
    const void* end = std::memchr(data, 0, size);
    if (!end)
        return false;
    value = CString(reinterpret_cast<const char*>(data),
        int(static_cast<const BYTE*>(end) - data));
    return true;
}

// A command as the process starter needs it: the program path with the system's separators,
// and in quotes when it holds blanks, so that paths with blanks work. When the text holds
// blanks, the program is the shortest run of words that names an existing file and the rest
// are its arguments (as written); when no run does, the whole text is the program. A text that
// is already quoted is taken as a complete command and left alone.
CString commandForProgram(IDiscoraProcess& process, const CString& command)
{
    if (!command.IsEmpty() && command[0] == '"')
        return command;
    CString path = command;
    path.Replace('\\', '/');
    auto quoted = [](const CString& program) {
        return program.FindOneOf(" \t") >= 0 ? "\"" + program + "\"" : program;
    };
    for (int i = 0; i < path.GetLength(); ++i) {
        if ((path[i] == ' ' || path[i] == '\t') && i > 0 && process.IsFile(path.Left(i)))
            return quoted(path.Left(i)) + command.Mid(i);
    }
    return quoted(path);
}

void startCommand(DiscoraSystem& sys, const CString& commandLine)
{
    if (DWORD(commandLine.GetLength()) >= kPathSize) {
        sys.windows.MessageBox(kDiscoraCommandTooLong, "Error", MB_OK | MB_ICONERROR);
        return;
    }
    if (sys.process.WinExec(commandLine, SW_SHOW) <= 31)
        sys.windows.MessageBox(kDiscoraCannotStart + commandLine, "Error", MB_OK | MB_ICONERROR);
}

void startInstalled(DiscoraSystem& sys, HKEY key, const CString& iniPath, const CString& arguments)
{
    if (sys.profile.GetPrivateProfileInt("Application", "Start", 0, iniPath) == 0)
        return;
    CString value;
    if (readDefaultValue(sys.registry, key, value) && !value.IsEmpty())
        startCommand(sys, commandForProgram(sys.process, value) + " " + arguments);
}

void startSetup(DiscoraSystem& sys, const CString& folder, const CString& iniPath,
    const CString& arguments)
{
    const CString windowClass = readProfileString(sys.profile, "Setup", "WindowClass", kWindowTextSize, iniPath);
    const CString windowTitle = readProfileString(sys.profile, "Setup", "WindowTitle", kWindowTextSize, iniPath);
    // No window has an empty class, so an empty class never finds a running setup.
    if (!windowClass.IsEmpty()
        && sys.windows.FindWindow(windowClass, windowTitle.IsEmpty() ? nullptr : windowTitle.GetString()))
        return;

    const CString run = readProfileString(sys.profile, "Setup", "Run", kPathSize, iniPath);
    if (run.IsEmpty())
        return;
    const CString base = isSeparator(run[0]) ? sys.process.GetVolumeRoot(folder) : folder;
    startCommand(sys, commandForProgram(sys.process, base + run) + " " + arguments);
}

} // namespace

int DiscoraMain(DiscoraSystem& sys, bool hasPreviousInstance, const CString& arguments)
{
    if (hasPreviousInstance) {
        sys.windows.MessageBox(kDiscoraAlreadyRunning, "Error", MB_OK | MB_ICONERROR);
        return 0;
    }

    char modulePath[kPathSize] = {};
    const DWORD length = sys.process.GetModuleFileName(modulePath, kPathSize);
    // A path cut to fit would name some other folder.
    if (length == 0 || length >= kPathSize)
        return 0;
    CString folder(modulePath, int(length));
    for (int i = folder.GetLength() - 1; i >= 0; --i) {
        if (isSeparator(folder[i])) {
            folder = folder.Left(i + 1);
            break;
        }
    }
    const CString iniPath = folder + "Discora.ini";
    if (DWORD(iniPath.GetLength()) >= kPathSize)
        return 0;

    const CString regKey = readProfileString(sys.profile, "Application", "RegKey", kPathSize, iniPath);
    HKEY key = nullptr;
    if (!regKey.IsEmpty() && sys.registry.OpenLocalMachineKey(regKey, &key) == ERROR_SUCCESS) {
        startInstalled(sys, key, iniPath, arguments);
        sys.registry.CloseKey(key);
    } else {
        startSetup(sys, folder, iniPath, arguments);
    }
    return 0;
}

CString DiscoraJoinArguments(int argc, const char* const* argv)
{
    CString line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        const char* arg = argv[i] ? argv[i] : "";
        if (*arg && !std::strpbrk(arg, " \t\n\v\"")) {
            line += arg;
            continue;
        }
        // Quoted: backslashes are literal except in front of a quote, where they double.
        line += '"';
        int backslashes = 0;
        for (const char* p = arg; ; ++p) {
            if (*p == '\\') {
                ++backslashes;
                continue;
            }
            if (*p == '\0') {
                line += CString('\\', backslashes * 2);
                break;
            }
            if (*p == '"')
                line += CString('\\', backslashes * 2 + 1);
            else
                line += CString('\\', backslashes);
            backslashes = 0;
            line += *p;
        }
        line += '"';
    }
    return line;
}
