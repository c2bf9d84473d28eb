#include "platform/sys/appprofile.h"

#include "platform/sys/profile.h"
#include "platform/sys/registry.h"

#include <vector>

namespace {

// Longest INI value the profile functions hand back.
constexpr DWORD kIniBuffer = 4096;

} // namespace

std::string PvAppProfile::appKeyPath() const { return "Software\\" + m_company + "\\" + m_app; }

HKEY PvAppProfile::GetAppRegistryKey() const
{
    if (!UsesRegistry())
        return nullptr;
    HKEY h = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, appKeyPath().c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
            KEY_READ | KEY_WRITE, nullptr, &h, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return h;
}

HKEY PvAppProfile::openSection(LPCTSTR section, bool create, DWORD access) const
{
    if (!UsesRegistry() || !section)
        return nullptr;
    std::string path = appKeyPath() + "\\" + section;
    HKEY h = nullptr;
    LONG rc = create ? RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_READ | KEY_WRITE, nullptr, &h, nullptr)
                     : RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, access, &h);
    return rc == ERROR_SUCCESS ? h : nullptr;
}

HKEY PvAppProfile::GetSectionKey(LPCTSTR section) const { return openSection(section, true, KEY_READ | KEY_WRITE); }

std::string PvAppProfile::GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue) const
{
    std::string def = defaultValue ? defaultValue : "";
    if (!section || !entry)
        return def;
    if (!UsesRegistry()) {
        std::vector<char> buf(kIniBuffer);
        GetPrivateProfileString(section, entry, def.c_str(), buf.data(), kIniBuffer, m_iniFile.c_str());
        return buf.data();
    }
    HKEY h = openSection(section, false, KEY_READ);
    if (!h)
        return def;
    DWORD type = 0, size = 0;
    std::string value = def;
    if (RegQueryValueEx(h, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size > 0) {
        std::vector<char> buf(size);
        if (RegQueryValueEx(h, entry, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) == ERROR_SUCCESS) {
            buf.back() = '\0';
            value = buf.data();
        }
    }
    RegCloseKey(h);
    return value;
}

UINT PvAppProfile::GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue) const
{
    if (!section || !entry)
        return static_cast<UINT>(defaultValue);
    if (!UsesRegistry())
        return GetPrivateProfileInt(section, entry, defaultValue, m_iniFile.c_str());
    HKEY h = openSection(section, false, KEY_READ);
    if (!h)
        return static_cast<UINT>(defaultValue);
    DWORD type = 0, value = 0, size = sizeof value;
    LONG rc = RegQueryValueEx(h, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : static_cast<UINT>(defaultValue);
}

BOOL PvAppProfile::WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value)
{
    if (!section)
        return FALSE;
    if (!UsesRegistry())
        return WritePrivateProfileString(section, entry, value, m_iniFile.c_str());
    if (!entry) {
        HKEY app = GetAppRegistryKey();
        if (!app)
            return FALSE;
        LONG rc = RegDeleteKey(app, section);
        RegCloseKey(app);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    HKEY h = openSection(section, value != nullptr, KEY_READ | KEY_WRITE);
    if (!h)
        return value ? FALSE : TRUE; // nothing to delete
    LONG rc;
    if (!value) {
        rc = RegDeleteValue(h, entry);
        if (rc == ERROR_FILE_NOT_FOUND)
            rc = ERROR_SUCCESS;
    } else {
        std::string v = value;
        rc = RegSetValueEx(h, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
            static_cast<DWORD>(v.size() + 1));
    }
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

BOOL PvAppProfile::WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value)
{
    if (!section || !entry)
        return FALSE;
    if (!UsesRegistry()) {
        std::string text = std::to_string(value);
        return WritePrivateProfileString(section, entry, text.c_str(), m_iniFile.c_str());
    }
    HKEY h = openSection(section, true, KEY_READ | KEY_WRITE);
    if (!h)
        return FALSE;
    DWORD v = static_cast<DWORD>(value);
    LONG rc = RegSetValueEx(h, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}
