#include "platform/sys/registry.h"

#include "platform/sys/fileio.h"
#include "platform/sys/hive.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

// An open key: which hive, the path below its root, and the rights it was opened with.
// Keys are found again by path on every call, so a handle never points into a tree that a
// reload has replaced.
struct HKEY__ {
    int hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
};

namespace {

using pvreg::RegKey;
using pvreg::RegValue;

constexpr int kHiveCount = 2;
const char* const kHiveNames[kHiveCount] = { "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE" };

struct HiveCache {
    std::string file;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime {};
    bool valid = false;
    RegKey root;
};

std::mutex g_mutex;
std::unordered_set<HKEY__*> g_handles;
HiveCache g_cache[kHiveCount];
thread_local std::string t_problem;

int predefinedHive(HKEY h)
{
    if (h == HKEY_CURRENT_USER)
        return 0;
    if (h == HKEY_LOCAL_MACHINE)
        return 1;
    return -1;
}

std::string hiveFile(int hive) { return PvRegistryDir() + "/" + kHiveNames[hive] + ".hive"; }

// What a call works on: the hive and the full path of the key the handle names.
struct Target {
    int hive = 0;
    std::vector<std::string> path;
    REGSAM access = 0;
};

LONG resolve(HKEY h, Target& t)
{
    int hive = predefinedHive(h);
    if (hive >= 0) {
        t.hive = hive;
        t.path.clear();
        t.access = KEY_ALL_ACCESS;
        return ERROR_SUCCESS;
    }
    if (!h || !g_handles.count(h))
        return ERROR_INVALID_HANDLE;
    t.hive = h->hive;
    t.path = h->path;
    t.access = h->access;
    return ERROR_SUCCESS;
}

std::string describeErrno(int e) { return std::strerror(e); }

// Reads the hive (from the cache when the file has not changed). Never writes.
LONG loadHive(int hive, RegKey*& root)
{
    HiveCache& c = g_cache[hive];
    std::string file = hiveFile(hive);
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            c.file = file;
            c.valid = true;
            c.dev = 0;
            c.ino = 0;
            c.root = RegKey {};
            root = &c.root;
            return ERROR_SUCCESS;
        }
        t_problem = "cannot read registry file " + file + ": " + describeErrno(errno);
        return ERROR_CANTREAD;
    }
    if (c.valid && c.file == file && c.dev == st.st_dev && c.ino == st.st_ino && c.size == st.st_size
        && c.mtime.tv_sec == st.st_mtim.tv_sec && c.mtime.tv_nsec == st.st_mtim.tv_nsec) {
        root = &c.root;
        return ERROR_SUCCESS;
    }
    c.valid = false;
    std::string text;
    int e = pvsys::readWholeFile(file, text, pvreg::kMaxHiveFileSize);
    if (e == EFBIG) {
        t_problem = "registry file " + file + " is damaged (larger than any hive)";
        return ERROR_REGISTRY_CORRUPT;
    }
    if (e) {
        t_problem = "cannot read registry file " + file + ": " + describeErrno(e);
        return ERROR_CANTREAD;
    }
    std::string why;
    if (!pvreg::parseHive(text, c.root, &why)) {
        t_problem = "registry file " + file + " is damaged (" + why + ")";
        return ERROR_REGISTRY_CORRUPT;
    }
    c.file = file;
    c.dev = st.st_dev;
    c.ino = st.st_ino;
    c.size = st.st_size;
    c.mtime = st.st_mtim;
    c.valid = true;
    root = &c.root;
    return ERROR_SUCCESS;
}

RegKey* walk(RegKey* root, const std::vector<std::string>& path, size_t count)
{
    RegKey* k = root;
    for (size_t i = 0; i < count && k; ++i)
        k = k->findSubkey(path[i]);
    return k;
}

RegKey* walk(RegKey* root, const std::vector<std::string>& path) { return walk(root, path, path.size()); }

// Finds the key a handle names; ERROR_KEY_DELETED when it has gone since it was opened.
LONG lookup(const Target& t, RegKey*& key)
{
    RegKey* root = nullptr;
    LONG rc = loadHive(t.hive, root);
    if (rc != ERROR_SUCCESS)
        return rc;
    key = walk(root, t.path);
    return key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

enum class Change { None, Written };

// Read-modify-write of one hive under the file lock. `edit` returns an error, or success
// with whether it changed anything; only a change is written. A damaged file is left alone.
LONG modifyHive(int hive, const std::function<LONG(RegKey& root, Change& change)>& edit)
{
    std::string dir = PvRegistryDir();
    if (int e = pvsys::makeDirs(dir)) {
        t_problem = "cannot create registry folder " + dir + ": " + describeErrno(e);
        return ERROR_CANTWRITE;
    }
    std::string file = hiveFile(hive);
    pvsys::FileLock lock(file);
    if (lock.error()) {
        t_problem = "cannot lock registry file " + file + ": " + describeErrno(lock.error());
        return lock.error() == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
    }
    RegKey* root = nullptr;
    LONG rc = loadHive(hive, root);
    Change change = Change::None;
    if (rc == ERROR_SUCCESS)
        rc = edit(*root, change);
    if (rc == ERROR_SUCCESS && change == Change::Written) {
        std::string text = pvreg::serializeHive(*root);
        g_cache[hive].valid = false; // the next read takes the file as written
        if (text.size() > pvreg::kMaxHiveFileSize) {
            t_problem = "registry file " + file + " would grow beyond its size limit; nothing was written";
            return ERROR_CANTWRITE;
        }
        if (int e = pvsys::writeFileAtomic(file, text)) {
            t_problem = "cannot write registry file " + file + ": " + describeErrno(e);
            return e == EACCES ? ERROR_ACCESS_DENIED : ERROR_CANTWRITE;
        }
        return ERROR_SUCCESS;
    }
    if (lock.created())
        ::unlink(file.c_str());
    return rc;
}

bool parseSubKey(LPCTSTR sub, std::vector<std::string>& parts)
{
    if (!sub)
        return parts.clear(), true;
    return pvreg::splitKeyPath(sub, parts);
}

HKEY newHandle(const Target& base, const std::vector<std::string>& parts, REGSAM access)
{
    auto* h = new HKEY__;
    h->hive = base.hive;
    h->path = base.path;
    h->path.insert(h->path.end(), parts.begin(), parts.end());
    h->access = access;
    g_handles.insert(h);
    return h;
}

bool isStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

size_t storedSize(const RegValue& v) { return v.data.size() + (isStringType(v.type) ? 1 : 0); }

// Copies a value out the Win32 way: the size is always reported, the bytes only when they fit.
LONG copyValueOut(const RegValue& v, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpType)
        *lpType = v.type;
    size_t need = storedSize(v);
    if (!lpcbData)
        return ERROR_SUCCESS;
    if (!lpData) {
        *lpcbData = static_cast<DWORD>(need);
        return ERROR_SUCCESS;
    }
    if (*lpcbData < need) {
        *lpcbData = static_cast<DWORD>(need);
        return ERROR_MORE_DATA;
    }
    if (!v.data.empty())
        std::memcpy(lpData, v.data.data(), v.data.size());
    if (isStringType(v.type))
        lpData[v.data.size()] = 0;
    *lpcbData = static_cast<DWORD>(need);
    return ERROR_SUCCESS;
}

std::string valueName(LPCTSTR name) { return name ? std::string(name) : std::string(); }

} // namespace

std::string PvRegistryDir()
{
    const char* env = std::getenv("PV_REGISTRY_DIR");
    if (env && *env)
        return pvsys::osPath(env);
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return std::string(xdg) + "/paravel/registry";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return std::string(home && *home ? home : ".") + "/.config/paravel/registry";
}

std::string PvRegistryHivePath(HKEY hRoot)
{
    int hive = predefinedHive(hRoot);
    return hive < 0 ? std::string() : hiveFile(hive);
}

std::string PvRegLastProblem() { return t_problem; }

LONG RegOpenKeyEx(HKEY hKey, LPCTSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Target base;
    if (LONG rc = resolve(hKey, base))
        return rc;
    std::vector<std::string> parts;
    if (!parseSubKey(lpSubKey, parts))
        return ERROR_FILE_NOT_FOUND;
    RegKey* key = nullptr;
    if (LONG rc = lookup(base, key))
        return rc;
    if (!walk(key, parts))
        return ERROR_FILE_NOT_FOUND;
    *phkResult = newHandle(base, parts, samDesired);
    return ERROR_SUCCESS;
}

LONG RegOpenKey(HKEY hKey, LPCTSTR lpSubKey, PHKEY phkResult)
{
    return RegOpenKeyEx(hKey, lpSubKey, 0, KEY_ALL_ACCESS, phkResult);
}

LONG RegCreateKeyEx(HKEY hKey, LPCTSTR lpSubKey, DWORD Reserved, LPTSTR lpClass, DWORD dwOptions,
    REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    (void)Reserved;
    (void)lpClass;
    (void)dwOptions;
    (void)lpSecurityAttributes;
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Target base;
    if (LONG rc = resolve(hKey, base))
        return rc;
    std::vector<std::string> parts;
    // Deeper keys could be made from an open handle, but the file could not hold them.
    if (!parseSubKey(lpSubKey, parts) || base.path.size() + parts.size() > pvreg::kMaxDepth)
        return ERROR_INVALID_NAME;
    RegKey* key = nullptr;
    if (LONG rc = lookup(base, key))
        return rc;
    DWORD disposition = REG_OPENED_EXISTING_KEY;
    if (!walk(key, parts)) {
        if (!(base.access & KEY_CREATE_SUB_KEY))
            return ERROR_ACCESS_DENIED;
        LONG rc = modifyHive(base.hive, [&](RegKey& root, Change& change) -> LONG {
            RegKey* k = walk(&root, base.path);
            if (!k)
                return ERROR_KEY_DELETED;
            for (const std::string& p : parts)
                k = k->addSubkey(p);
            change = Change::Written;
            return ERROR_SUCCESS;
        });
        if (rc != ERROR_SUCCESS)
            return rc;
        disposition = REG_CREATED_NEW_KEY;
    }
    if (lpdwDisposition)
        *lpdwDisposition = disposition;
    *phkResult = newHandle(base, parts, samDesired);
    return ERROR_SUCCESS;
}

LONG RegCreateKey(HKEY hKey, LPCTSTR lpSubKey, PHKEY phkResult)
{
    return RegCreateKeyEx(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, phkResult,
        nullptr);
}

LONG RegCloseKey(HKEY hKey)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    if (predefinedHive(hKey) >= 0)
        return ERROR_SUCCESS;
    auto it = g_handles.find(hKey);
    if (it == g_handles.end())
        return ERROR_INVALID_HANDLE;
    g_handles.erase(it);
    delete hKey;
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY hKey)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    Target t;
    return resolve(hKey, t); // every change is already on disk
}

LONG RegQueryValueEx(HKEY hKey, LPCTSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
    LPDWORD lpcbData)
{
    (void)lpReserved;
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    if (!(t.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    RegKey* key = nullptr;
    if (LONG rc = lookup(t, key))
        return rc;
    const RegValue* v = key->findValue(valueName(lpValueName));
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    return copyValueOut(*v, lpType, lpData, lpcbData);
}

LONG RegSetValueEx(HKEY hKey, LPCTSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    (void)Reserved;
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    if ((!lpData && cbData) || cbData > pvreg::kMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    std::string name = valueName(lpValueName);
    if (name.size() > pvreg::kMaxValueNameLength)
        return ERROR_INVALID_PARAMETER;
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    if (!(t.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    std::string data;
    if (cbData)
        data.assign(reinterpret_cast<const char*>(lpData), cbData);
    if (isStringType(dwType)) {
        size_t zero = data.find('\0');
        if (zero != std::string::npos)
            data.resize(zero);
    }
    return modifyHive(t.hive, [&](RegKey& root, Change& change) -> LONG {
        RegKey* k = walk(&root, t.path);
        if (!k)
            return ERROR_KEY_DELETED;
        if (RegValue* old = k->findValue(name)) {
            if (old->type == dwType && old->data == data && old->name == name)
                return ERROR_SUCCESS; // nothing to write
            old->name = name; // the case the caller uses now
            old->type = dwType;
            old->data = std::move(data);
        } else
            k->setValue(name, dwType, std::move(data));
        change = Change::Written;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY hKey, LPCTSTR lpValueName)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    if (!(t.access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    std::string name = valueName(lpValueName);
    return modifyHive(t.hive, [&](RegKey& root, Change& change) -> LONG {
        RegKey* k = walk(&root, t.path);
        if (!k)
            return ERROR_KEY_DELETED;
        if (!k->removeValue(name))
            return ERROR_FILE_NOT_FOUND;
        change = Change::Written;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKey(HKEY hKey, DWORD dwIndex, LPTSTR lpName, DWORD cchName)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    if (!(t.access & KEY_ENUMERATE_SUB_KEYS))
        return ERROR_ACCESS_DENIED;
    RegKey* key = nullptr;
    if (LONG rc = lookup(t, key))
        return rc;
    if (dwIndex >= key->subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    if (!lpName)
        return ERROR_INVALID_PARAMETER;
    auto it = key->subkeys.begin();
    std::advance(it, dwIndex);
    const std::string& name = it->second->name;
    if (name.size() + 1 > cchName)
        return ERROR_MORE_DATA;
    std::memcpy(lpName, name.c_str(), name.size() + 1);
    return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPTSTR lpValueName, LPDWORD lpcchValueName, LPDWORD lpReserved,
    LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    (void)lpReserved;
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    if (!lpValueName || !lpcchValueName || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    if (!(t.access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    RegKey* key = nullptr;
    if (LONG rc = lookup(t, key))
        return rc;
    if (dwIndex >= key->values.size())
        return ERROR_NO_MORE_ITEMS;
    const RegValue& v = key->values[dwIndex];
    if (v.name.size() + 1 > *lpcchValueName)
        return ERROR_MORE_DATA;
    std::memcpy(lpValueName, v.name.c_str(), v.name.size() + 1);
    *lpcchValueName = static_cast<DWORD>(v.name.size());
    return copyValueOut(v, lpType, lpData, lpcbData);
}

namespace {

LONG deleteKey(HKEY hKey, LPCTSTR lpSubKey, bool tree)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    t_problem.clear();
    Target t;
    if (LONG rc = resolve(hKey, t))
        return rc;
    std::vector<std::string> parts;
    if (!parseSubKey(lpSubKey, parts))
        return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> full = t.path;
    full.insert(full.end(), parts.begin(), parts.end());
    bool emptyOnly = tree && !lpSubKey;
    return modifyHive(t.hive, [&](RegKey& root, Change& change) -> LONG {
        if (!walk(&root, t.path))
            return ERROR_KEY_DELETED;
        RegKey* k = walk(&root, full);
        if (!k)
            return ERROR_FILE_NOT_FOUND;
        if (emptyOnly) {
            if (k->values.empty() && k->subkeys.empty())
                return ERROR_SUCCESS;
            k->values.clear();
            k->valueIndex.clear();
            k->subkeys.clear();
            change = Change::Written;
            return ERROR_SUCCESS;
        }
        if (full.empty())
            return ERROR_ACCESS_DENIED; // a hive root cannot go
        if (!tree && !k->subkeys.empty())
            return ERROR_ACCESS_DENIED;
        RegKey* parent = walk(&root, full, full.size() - 1);
        parent->removeSubkey(full.back());
        change = Change::Written;
        return ERROR_SUCCESS;
    });
}

} // namespace

LONG RegDeleteKey(HKEY hKey, LPCTSTR lpSubKey)
{
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return deleteKey(hKey, lpSubKey, false);
}

LONG RegDeleteTree(HKEY hKey, LPCTSTR lpSubKey) { return deleteKey(hKey, lpSubKey, true); }
