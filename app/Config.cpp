#include "app/Config.h"

#include "platform/base/CFile.h"
#include "platform/sys/profile.h"
#include "platform/win/win.h"
#include "resources/resource.h"

#include <cstring>

namespace {

struct Configuration {
    CString databasePath;
    CString dataPath;
    CString mediaPath;
    CString customPath;
    CString homePagePath;
    CString ieVersion;
    int gridHint = 0;
};

Configuration g_config;

const DWORD kValueBufferSize = 256;
const char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer";
const CString kReinstallTail = CString(" could not be found.\n") + kReinstallAdvice;


CString rootMessage(const CString& keyPath)
{
    return "This program has not been properly installed!\nRegistry root " + keyPath +
           " does not exist.\nPlease re-install the program and try again.\nThis program will shut down.";
}

CString keyMessage(const CString& keyPath, const CString& valueName)
{
    return "This program has not been properly installed!\nRegistry key " + keyPath + "\\" + valueName +
           " does not exist.\nPlease re-install the program and try again.\nThis program will shut down.";
}

// Reads a string value into a 256-byte buffer; a value that does not fit counts as missing.
CString readString(HKEY key, LPCTSTR name)
{
    BYTE buffer[kValueBufferSize + 1] = {};
    DWORD size = kValueBufferSize;
    QueryRegistryValue(key, name, buffer, &size);
    size = size > kValueBufferSize ? kValueBufferSize : size;
    return CString(reinterpret_cast<const char*>(buffer), int(strnlen(reinterpret_cast<const char*>(buffer), size)));
}

// Shows the retry text until the check passes; FALSE when the user cancels.
template <typename Check>
BOOL retryLoop(Check check, const CString& text)
{
    while (!check()) {
        if (AfxMessageBox(text, MB_RETRYCANCEL) != IDRETRY)
            return FALSE;
    }
    return TRUE;
}

// Leading digits with at most one decimal point, as the version check reads "4.72" or "10.0".
double leadingDecimal(const CString& text)
{
    double value = 0, scale = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.' && scale == 0) {
            scale = 0.1;
        } else {
            break;
        }
    }
    return value;
}

// Closes a key on every way out of a scope.
struct KeyCloser {
    HKEY key = nullptr;
    ~KeyCloser() { if (key) RegCloseKey(key); }
};

BOOL loadProgramKey()
{
    const CString keyPath = GetMainKeyPath();
    KeyCloser main;
    CString valueName;
    try {
        OpenRegistryKey(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &main.key);
    } catch (const CRegException&) {
        AfxMessageBox(rootMessage(keyPath), MB_OK);
        return FALSE;
    }
    try {
        valueName = "DatabasePath";
        g_config.databasePath = readString(main.key, valueName);
        if (!retryLoop([] { return FileOpensForReading(g_config.databasePath); }, "The file " + g_config.databasePath + kReinstallTail))
            return FALSE;

        valueName = "DataPath";
        g_config.dataPath = readString(main.key, valueName);
        const CString& data = g_config.dataPath;
        if (!retryLoop([&] { return FileOpensForReading(data + "treelist.bma"); }, "The file " + data + "treelist.bma" + kReinstallTail))
            return FALSE;
        if (!retryLoop([&] { return FileOpensForReading(data + "cpyright.rtf") || FileOpensForReading(data + "cpyright.txt"); },
                       "The files " + data + "cpyright.txt or " + data + "cpyright.rtf" + kReinstallTail))
            return FALSE;

        valueName = "MediaPath";
        g_config.mediaPath = readString(main.key, valueName);
        if (!retryLoop([] { return !GetHomePagePath().IsEmpty(); },
                       "The file " + g_config.mediaPath + "home.htm" + kReinstallTail + "."))
            return FALSE;

        valueName = "CustomPath";
        g_config.customPath = readString(main.key, valueName);
        if (!FileOpensForReading(g_config.customPath)) {
            AfxMessageBox("The file " + g_config.customPath + " could not be found.\nPlease re-install this program and try again", MB_OK);
            return FALSE;
        }
    } catch (const CRegException&) {
        AfxMessageBox(keyMessage(keyPath, valueName), MB_OK);
        return FALSE;
    }
    return TRUE;
}

void loadGridHint()
{
    char text[2] = {};
    GetPrivateProfileString("Section1", "GridHint", "1", text, sizeof text, g_config.dataPath + "Settings.ini");
    g_config.gridHint = (text[0] >= '0' && text[0] <= '9') ? text[0] - '0' : 0;
}

BOOL loadBrowserVersion()
{
    const CString keyPath = kBrowserKey;
    KeyCloser browser;
    try {
        OpenRegistryKey(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &browser.key);
    } catch (const CRegException&) {
        AfxMessageBox("Internet Explorer version 5.0 is not installed!\nRegistry root " + keyPath +
                      " does not exist.\nPlease re-install Internet Explorer 5.0 and try again.\nThis program will shut down.", MB_OK);
        return FALSE;
    }
    try {
        g_config.ieVersion = readString(browser.key, "Version");
    } catch (const CRegException&) {
        AfxMessageBox("Internet Explorer version 5.0 is not installed!\nRegistry key " + keyPath + "\\" + "Version" +
                      " does not exist.\nPlease re-install Internet Explorer 5.0 and try again.\nThis program will shut down.", MB_OK);
        return FALSE;
    }
    if (!g_config.ieVersion.IsEmpty() && BrowserVersionNumber(g_config.ieVersion) < 5.0) {
        AfxMessageBox("You need at least Internet Explorer version 5.0 to run this program properly!\n"
                      "Please install Internet Explorer 5.0 from the Paravel CD and try again.\nThis program will shut down.", MB_OK);
        return FALSE;
    }
    return TRUE;
}

} // namespace

const char kReinstallAdvice[] =
    "If this path is to your CD-ROM drive, make sure the program CD is in the drive.\n"
    "If this path is to your hard drive, please re-install this program and try again";

BOOL FileOpensForReading(const CString& path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return FALSE;
    file.Close();
    return TRUE;
}

CString GetMainKeyPath()
{
    // The framework's application name is string AFX_IDS_APP_TITLE.
    CString appName;
    if (!appName.LoadString(AFX_IDS_APP_TITLE))
        appName = "Paravel";
    return CString("SOFTWARE\\Morlow Systems, Inc.\\") + appName + "\\3.0\\main";
}

void OpenRegistryKey(HKEY parent, LPCTSTR subKey, DWORD options, REGSAM access, HKEY* result)
{
    if (RegOpenKeyEx(parent, subKey, options, access, result) != ERROR_SUCCESS)
        throw CRegException(0, parent, subKey);
}

void QueryRegistryValue(HKEY key, LPCTSTR name, BYTE* buffer, DWORD* size)
{
    *size = kValueBufferSize;
    if (RegQueryValueEx(key, name, nullptr, nullptr, buffer, size) != ERROR_SUCCESS)
        throw CRegException(1, key, name);
}

void SetRegistryValue(HKEY key, LPCTSTR name, const BYTE* data, DWORD size)
{
    if (RegSetValueEx(key, name, 0, REG_SZ, data, size) != ERROR_SUCCESS)
        throw CRegException(1, key, name);
}

BOOL WriteMainKeyValue(LPCTSTR name, LPCTSTR text)
{
    const CString keyPath = GetMainKeyPath();
    KeyCloser main;
    try {
        OpenRegistryKey(HKEY_CURRENT_USER, keyPath, 0, KEY_WRITE, &main.key);
    } catch (const CRegException&) {
        AfxMessageBox(rootMessage(keyPath), MB_OK);
        return FALSE;
    }
    char buffer[kValueBufferSize] = {};
    std::strncpy(buffer, text ? text : "", kValueBufferSize - 1);
    try {
        SetRegistryValue(main.key, name, reinterpret_cast<const BYTE*>(buffer), DWORD(std::strlen(buffer) + 1));
    } catch (const CRegException&) {
        AfxMessageBox(keyMessage(keyPath, name), MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL LoadConfiguration()
{
    if (!loadProgramKey())
        return FALSE;
    loadGridHint();
    return loadBrowserVersion();
}

CString GetHomePagePath()
{
    if (FileOpensForReading(g_config.mediaPath + "home.htm"))
        g_config.homePagePath = g_config.mediaPath + "home.htm";
    else if (FileOpensForReading(g_config.dataPath + "home.htm"))
        g_config.homePagePath = g_config.dataPath + "home.htm";
    else
        g_config.homePagePath.Empty();
    return g_config.homePagePath;
}

void WriteGridHintSetting(int flag)
{
    g_config.gridHint = flag;
    WritePrivateProfileString("Section1", "GridHint", flag ? "1" : "0", g_config.dataPath + "Settings.ini");
}

CString GetDatabasePath() { return g_config.databasePath; }
CString GetDataPath() { return g_config.dataPath; }
CString GetMediaPath() { return g_config.mediaPath; }
CString GetCustomPath() { return g_config.customPath; }
CString GetIEVersion() { return g_config.ieVersion; }
double BrowserVersionNumber(const CString& version) { return leadingDecimal(version.Left(4)); }
int GetGridHint() { return g_config.gridHint; }

void PvSetDatabasePathForTest(const CString& path)
{
    g_config.databasePath = path;
}

void PvSetOutlinePathsForTest(const CString& dataPath, const CString& customPath)
{
    g_config.dataPath = dataPath;
    g_config.customPath = customPath;
}

void ResetConfiguration()
{
    g_config = Configuration();
}
