// discora: the CD's start program. Binds Discora's logic to the platform: the INI functions,
// the registry, the process starter, and the window system for FindWindow and message boxes.

#include "launcher/Discora.h"

#include "platform/win/winuser.h"
#include "platform/sys/fileio.h"
#include "platform/sys/profile.h"
#include "platform/sys/registry.h"
#include "platform/sys/shell.h"

#include <filesystem>
#include <string>

#include <sys/stat.h>

namespace {

// Names on a CD are matched without regard to case ("DISCORA.INI", "SETUP\\SETUP.EXE").
std::string onDisc(LPCTSTR path)
{
    return pvsys::findPathNoCase(pvsys::osPath(path ? path : ""));
}

class PlatformSystem : public IDiscoraProfile, public IDiscoraRegistry, public IDiscoraWindows, public IDiscoraProcess
{
public:
    DWORD GetPrivateProfileString(LPCTSTR app, LPCTSTR key, LPCTSTR def, LPTSTR out, DWORD size, LPCTSTR file) override
    {
        return ::GetPrivateProfileString(app, key, def, out, size, onDisc(file).c_str());
    }
    UINT GetPrivateProfileInt(LPCTSTR app, LPCTSTR key, INT def, LPCTSTR file) override
    {
        return ::GetPrivateProfileInt(app, key, def, onDisc(file).c_str());
    }

    LONG OpenLocalMachineKey(LPCTSTR subKey, HKEY* result) override
    {
        return ::RegOpenKeyEx(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, result);
    }
    LONG QueryValue(HKEY key, LPCTSTR name, LPDWORD type, LPBYTE data, LPDWORD size) override
    {
        return ::RegQueryValueEx(key, name, nullptr, type, data, size);
    }
    LONG CloseKey(HKEY key) override { return ::RegCloseKey(key); }

    bool FindWindow(LPCTSTR cls, LPCTSTR title) override { return ::FindWindow(cls, title) != nullptr; }
    int MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) override
    {
        return ::MessageBox(nullptr, text, caption, type);
    }

    DWORD GetModuleFileName(LPTSTR out, DWORD size) override { return ::GetModuleFileName(nullptr, out, size); }
    // The program is the command's first word (or quoted words), found as on a CD.
    UINT WinExec(LPCTSTR cmd, UINT show) override
    {
        const std::string line = cmd ? cmd : "";
        const bool quoted = !line.empty() && line[0] == '"';
        size_t end = quoted ? line.find('"', 1) : line.find_first_of(" \t");
        if (end == std::string::npos)
            end = line.size();
        const std::string program = line.substr(quoted ? 1 : 0, end - (quoted ? 1 : 0));
        const std::string found = onDisc(program.c_str());
        const bool needsQuotes = quoted || found.find_first_of(" \t") != std::string::npos;
        const std::string rest = line.substr(std::min(line.size(), end + (quoted ? 1 : 0)));
        const std::string command = (needsQuotes ? "\"" + found + "\"" : found) + rest;
        return ::WinExec(command.c_str(), show);
    }
    bool IsFile(const CString& path) override
    {
        std::error_code ec;
        return std::filesystem::is_regular_file(onDisc(path.GetString()), ec);
    }

    // Climbs from the folder while the parent lies on the same file system; the last folder
    // reached is the mount point, which stands in for the drive's root.
    CString GetVolumeRoot(const CString& strFolder) override
    {
        std::string folder = strFolder.str();
        for (char& c : folder)
            if (c == '\\')
                c = '/';
        std::error_code ec;
        std::filesystem::path current = std::filesystem::weakly_canonical(folder, ec);
        struct stat st;
        if (ec || stat(current.c_str(), &st) != 0)
            return CString();
        const dev_t device = st.st_dev;
        while (current.has_relative_path()) {
            const std::filesystem::path parent = current.parent_path();
            if (parent == current || stat(parent.c_str(), &st) != 0 || st.st_dev != device)
                break;
            current = parent;
        }
        std::string root = current.string();
        while (!root.empty() && root.back() == '/')
            root.pop_back();
        return CString(root);
    }
};

} // namespace

int main(int argc, char** argv)
{
    PlatformSystem platform;
    DiscoraSystem sys { platform, platform, platform, platform };
    return DiscoraMain(sys, false, DiscoraJoinArguments(argc, argv));
}
