#pragma once
// The application's profile, behind the framework application object's profile functions:
// with a registry key set, values live under
// HKEY_CURRENT_USER\Software\<registry key>\<application>\<section>; without one, in the
// application's INI file. Both stores take the same sections and entries.

#include "platform/sys/system.h"

#include <string>

class PvAppProfile {
public:
    // A null or empty key means the INI file is used.
    void SetRegistryKey(LPCTSTR company) { m_company = company ? company : ""; }
    void SetApplicationName(LPCTSTR app) { m_app = app ? app : ""; }
    void SetProfileFile(LPCTSTR path) { m_iniFile = path ? path : ""; }
    bool UsesRegistry() const { return !m_company.empty(); }
    const std::string& ProfileFile() const { return m_iniFile; }

    // Opened (created when missing) with read and write rights; the caller closes it.
    // Null without a registry key or when it cannot be opened.
    HKEY GetAppRegistryKey() const;
    HKEY GetSectionKey(LPCTSTR section) const;

    // A missing entry, or one of another type, gives the default.
    std::string GetProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR defaultValue = nullptr) const;
    UINT GetProfileInt(LPCTSTR section, LPCTSTR entry, int defaultValue) const;
    // A null value deletes the entry, a null entry the section (with the registry: a section
    // key that has sub-keys stays, as the system's key deletion does).
    BOOL WriteProfileString(LPCTSTR section, LPCTSTR entry, LPCTSTR value);
    BOOL WriteProfileInt(LPCTSTR section, LPCTSTR entry, int value);

private:
    std::string appKeyPath() const;
    HKEY openSection(LPCTSTR section, bool create, DWORD access) const;

    std::string m_company;
    std::string m_app;
    std::string m_iniFile;
};
