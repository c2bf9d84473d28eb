#include "platform/sys/profile.h"

#include "platform/sys/fileio.h"
#include "platform/sys/ini.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Larger files are refused rather than read whole.
constexpr size_t kMaxIniSize = 16u << 20;

DWORD errnoToWin32(int e)
{
    switch (e) {
    case ENOENT: case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: return ERROR_ACCESS_DENIED;
    case EFBIG: return ERROR_INVALID_DATA;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_WRITE_FAULT;
    }
}

// Where the bytes really live: a link is followed so that the rename replaces its target.
std::string resolvePath(LPCTSTR fileName)
{
    std::string path = pvsys::osPath(fileName);
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
    }
    return path;
}

// A missing or unreadable file reads as empty, as the original functions behave.
bool load(const std::string& path, pvini::IniDocument& doc, int* error = nullptr)
{
    std::string text;
    int e = pvsys::readWholeFile(path, text, kMaxIniSize);
    if (error)
        *error = e;
    if (e && e != ENOENT)
        return false;
    doc.parse(text);
    return true;
}

// Moves back from `n` to the start of a UTF-8 character, so a cut never splits one.
size_t utf8Boundary(const char* s, size_t n)
{
    size_t k = n;
    while (k > 0 && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80)
        --k;
    return k;
}

DWORD copyString(std::string_view value, LPTSTR out, DWORD nSize)
{
    if (value.size() + 1 <= nSize) {
        std::memcpy(out, value.data(), value.size());
        out[value.size()] = '\0';
        return static_cast<DWORD>(value.size());
    }
    size_t n = utf8Boundary(value.data(), nSize - 1);
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return nSize - 1;
}

DWORD copyList(const std::vector<std::string>& names, LPTSTR out, DWORD nSize)
{
    if (nSize == 1) {
        out[0] = '\0';
        return 0;
    }
    size_t pos = 0;
    for (const std::string& n : names) {
        if (pos + n.size() + 2 <= nSize) {
            std::memcpy(out + pos, n.data(), n.size());
            pos += n.size();
            out[pos++] = '\0';
            continue;
        }
        if (pos + 2 > nSize) { // only the final zero fits: the list ends at the last whole name
            out[pos] = '\0';
            return nSize - 2;
        }
        size_t room = nSize - 2 - pos;
        size_t k = utf8Boundary(n.data(), room);
        std::memcpy(out + pos, n.data(), k);
        out[pos + k] = '\0';
        out[pos + k + 1] = '\0';
        return nSize - 2;
    }
    out[pos] = '\0';
    if (pos == 0)
        out[1] = '\0';
    return static_cast<DWORD>(pos);
}

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool breaksLines(LPCTSTR s) { return s && std::strpbrk(s, "\r\n") != nullptr; }

// A key line starting so would read back as a section, a comment, or a key without its blank.
bool unwritableKey(LPCTSTR key)
{
    return key && (std::strchr(key, '=') || *key == '[' || *key == ';' || *key == ' ' || *key == '\t');
}

// Reading leaves ERROR_FILE_NOT_FOUND behind for a missing file, as callers may check.
bool loadForReading(LPCTSTR fileName, pvini::IniDocument& doc)
{
    int error = 0;
    const bool readable = load(resolvePath(fileName), doc, &error);
    if (error == ENOENT || error == ENOTDIR)
        SetLastError(ERROR_FILE_NOT_FOUND);
    return readable;
}

} // namespace

DWORD pvini::ProfileString(const IniDocument* doc, LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpDefault,
    LPTSTR lpReturnedString, DWORD nSize)
{
    if (!lpReturnedString || nSize == 0)
        return 0;
    if (!lpAppName)
        return copyList(doc ? doc->sectionNames() : std::vector<std::string>(), lpReturnedString, nSize);
    if (!lpKeyName)
        return copyList(doc ? doc->keyNames(lpAppName) : std::vector<std::string>(), lpReturnedString, nSize);
    if (doc) {
        if (auto v = doc->get(lpAppName, lpKeyName))
            return copyString(unquote(*v), lpReturnedString, nSize);
    }
    std::string_view def = lpDefault ? lpDefault : "";
    while (!def.empty() && def.back() == ' ')
        def.remove_suffix(1);
    return copyString(def, lpReturnedString, nSize);
}

UINT pvini::ProfileInt(const IniDocument& doc, LPCTSTR lpAppName, LPCTSTR lpKeyName, INT nDefault)
{
    if (!lpAppName || !lpKeyName)
        return static_cast<UINT>(nDefault);
    auto v = doc.get(lpAppName, lpKeyName);
    if (!v)
        return static_cast<UINT>(nDefault);
    std::string_view s = unquote(*v);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    // Wraps like the 32-bit original rather than overflowing.
    UINT value = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        value = value * 10u + static_cast<UINT>(s[i++] - '0');
    return negative ? 0u - value : value;
}

DWORD GetPrivateProfileString(LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpDefault, LPTSTR lpReturnedString,
    DWORD nSize, LPCTSTR lpFileName)
{
    if (!lpReturnedString || nSize == 0)
        return 0;
    pvini::IniDocument doc;
    bool readable = lpFileName && loadForReading(lpFileName, doc);
    return pvini::ProfileString(readable ? &doc : nullptr, lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize);
}

UINT GetPrivateProfileInt(LPCTSTR lpAppName, LPCTSTR lpKeyName, INT nDefault, LPCTSTR lpFileName)
{
    if (!lpAppName || !lpKeyName || !lpFileName)
        return static_cast<UINT>(nDefault);
    pvini::IniDocument doc;
    if (!loadForReading(lpFileName, doc))
        return static_cast<UINT>(nDefault);
    return pvini::ProfileInt(doc, lpAppName, lpKeyName, nDefault);
}

BOOL WritePrivateProfileString(LPCTSTR lpAppName, LPCTSTR lpKeyName, LPCTSTR lpString, LPCTSTR lpFileName)
{
    if (!lpFileName || !*lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!lpAppName) {
        if (!lpKeyName && !lpString)
            return TRUE; // a flush: every write is already on disk
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A line break would turn a value into lines of its own; '=' would move the key's end.
    if (breaksLines(lpAppName) || breaksLines(lpKeyName) || breaksLines(lpString) || unwritableKey(lpKeyName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = resolvePath(lpFileName);
    pvsys::FileLock lock(path);
    if (lock.error()) {
        SetLastError(errnoToWin32(lock.error()));
        return FALSE;
    }
    pvini::IniDocument doc;
    int readError = 0;
    if (!load(path, doc, &readError)) {
        SetLastError(errnoToWin32(readError));
        return FALSE;
    }
    bool changed;
    if (!lpKeyName)
        changed = doc.removeSection(lpAppName);
    else if (!lpString)
        changed = doc.removeKey(lpAppName, lpKeyName);
    else
        changed = doc.set(lpAppName, lpKeyName, lpString);
    if (!changed) {
        if (lock.created())
            ::unlink(path.c_str());
        return TRUE;
    }
    if (int e = pvsys::writeFileAtomic(path, doc.serialize())) {
        if (lock.created())
            ::unlink(path.c_str());
        SetLastError(errnoToWin32(e));
        return FALSE;
    }
    return TRUE;
}
