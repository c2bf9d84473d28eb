// pvreg: adds, reads, deletes and lists registry values from the command line, for install
// scripts and tests. Exit status 0 on success; otherwise one line on stderr and 1 (2 for a
// usage error).

#include "platform/base/textcase.h"
#include "platform/sys/hive.h"
#include "platform/sys/registry.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] = "usage: pvreg set [-t sz|expand|dword|binary] KEY NAME VALUE | get KEY [NAME] | "
                      "delete KEY [NAME] | list KEY   (KEY begins with HKEY_CURRENT_USER\\, HKCU\\, "
                      "HKEY_LOCAL_MACHINE\\ or HKLM\\; NAME \"\" is the default value)";

int fail(const std::string& message)
{
    std::fprintf(stderr, "pvreg: %s\n", message.c_str());
    return 1;
}

int usage(const std::string& message)
{
    std::fprintf(stderr, "pvreg: %s; %s\n", message.c_str(), kUsage);
    return 2;
}

struct KeyPath {
    HKEY root = nullptr;
    std::string sub;
};

bool parseKey(const std::string& text, KeyPath& out)
{
    static const struct {
        const char* name;
        HKEY root;
    } roots[] = {
        { "HKEY_CURRENT_USER", HKEY_CURRENT_USER },
        { "HKCU", HKEY_CURRENT_USER },
        { "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE },
        { "HKLM", HKEY_LOCAL_MACHINE },
    };
    size_t slash = text.find('\\');
    std::string head = text.substr(0, slash);
    for (const auto& r : roots) {
        if (PvCompareNoCase(head, r.name) == 0) {
            out.root = r.root;
            out.sub = slash == std::string::npos ? std::string() : text.substr(slash + 1);
            return true;
        }
    }
    return false;
}

std::string describe(LONG rc, const std::string& what)
{
    std::string problem = PvRegLastProblem();
    if (!problem.empty())
        return problem;
    switch (rc) {
    case ERROR_FILE_NOT_FOUND: return what + " not found";
    case ERROR_ACCESS_DENIED: return what + ": access denied";
    case ERROR_INVALID_NAME: return what + ": invalid key name";
    case ERROR_INVALID_PARAMETER: return what + ": invalid argument";
    case ERROR_KEY_DELETED: return what + ": key was deleted";
    default: return what + ": registry error " + std::to_string(rc);
    }
}

// The value as the hive file writes it, for `list`.
std::string formatForList(const std::string& name, DWORD type, const std::string& data)
{
    pvreg::RegKey k;
    k.setValue(name, type, data);
    std::string text = pvreg::serializeHive(k);
    // Skip the header line and the "[]" line the root gets.
    size_t at = text.find("\n[]\n");
    return at == std::string::npos ? text : text.substr(at + 4);
}

int cmdSet(std::vector<std::string> args)
{
    DWORD type = REG_SZ;
    if (!args.empty() && args[0] == "-t") {
        if (args.size() < 2)
            return usage("-t needs a type");
        const std::string& t = args[1];
        if (t == "sz")
            type = REG_SZ;
        else if (t == "expand")
            type = REG_EXPAND_SZ;
        else if (t == "dword")
            type = REG_DWORD;
        else if (t == "binary")
            type = REG_BINARY;
        else
            return usage("unknown type '" + t + "'");
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 3)
        return usage("set takes KEY NAME VALUE");
    KeyPath kp;
    if (!parseKey(args[0], kp))
        return usage("unknown root in '" + args[0] + "'");
    const std::string& name = args[1];
    const std::string& value = args[2];
    std::string data;
    if (type == REG_DWORD) {
        errno = 0;
        char* end = nullptr;
        bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
        unsigned long long v = std::strtoull(value.c_str(), &end, hex ? 16 : 10);
        if (value.empty() || *end || errno || v > 0xFFFFFFFFull || value[0] == '-')
            return fail("'" + value + "' is not a number from 0 to 4294967295");
        DWORD d = static_cast<DWORD>(v);
        data.assign(reinterpret_cast<const char*>(&d), 4);
    } else if (type == REG_BINARY) {
        std::string digits;
        for (char c : value)
            if (c != ',' && c != ' ')
                digits.push_back(c);
        if (digits.size() % 2)
            return fail("binary data needs two hex digits per byte");
        for (size_t i = 0; i < digits.size(); i += 2) {
            char pair[3] = { digits[i], digits[i + 1], 0 };
            if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1])))
                return fail("'" + value + "' is not hex bytes");
            long b = std::strtol(pair, nullptr, 16);
            data.push_back(static_cast<char>(b));
        }
    } else {
        if (value.find('\0') != std::string::npos)
            return fail("value contains a zero byte");
        data = value;
        data.push_back('\0');
    }
    HKEY h = nullptr;
    LONG rc = RegCreateKeyEx(kp.root, kp.sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "key " + args[0]));
    rc = RegSetValueEx(h, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
        static_cast<DWORD>(data.size()));
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "value '" + name + "' under " + args[0]));
    return 0;
}

LONG readValue(HKEY h, const std::string& name, DWORD& type, std::string& data)
{
    DWORD size = 0;
    LONG rc = RegQueryValueEx(h, name.c_str(), nullptr, &type, nullptr, &size);
    for (int tries = 0; rc == ERROR_SUCCESS && tries < 4; ++tries) {
        data.assign(size, '\0');
        DWORD got = size;
        rc = RegQueryValueEx(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) { // changed under us: ask again
            size = got;
            rc = ERROR_SUCCESS;
            continue;
        }
        data.resize(got);
        break;
    }
    return rc;
}

int cmdGet(const std::vector<std::string>& args)
{
    if (args.empty() || args.size() > 2)
        return usage("get takes KEY [NAME]");
    KeyPath kp;
    if (!parseKey(args[0], kp))
        return usage("unknown root in '" + args[0] + "'");
    std::string name = args.size() > 1 ? args[1] : std::string();
    HKEY h = nullptr;
    LONG rc = RegOpenKeyEx(kp.root, kp.sub.c_str(), 0, KEY_READ, &h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "key " + args[0]));
    DWORD type = 0;
    std::string data;
    rc = readValue(h, name, type, data);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, (name.empty() ? std::string("default value") : "value '" + name + "'") + " under "
                                     + args[0]));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        size_t zero = data.find('\0');
        if (zero != std::string::npos)
            data.resize(zero);
        std::printf("%s\n", data.c_str());
    } else if (type == REG_DWORD && data.size() == 4) {
        DWORD d = 0;
        std::memcpy(&d, data.data(), 4);
        std::printf("%u\n", static_cast<unsigned>(d));
    } else {
        for (size_t i = 0; i < data.size(); ++i)
            std::printf("%s%02x", i ? "," : "", static_cast<unsigned char>(data[i]));
        std::printf("\n");
    }
    return 0;
}

int cmdDelete(const std::vector<std::string>& args)
{
    if (args.empty() || args.size() > 2)
        return usage("delete takes KEY [NAME]");
    KeyPath kp;
    if (!parseKey(args[0], kp))
        return usage("unknown root in '" + args[0] + "'");
    if (args.size() == 1) {
        std::vector<std::string> parts;
        if (!pvreg::splitKeyPath(kp.sub, parts) || parts.empty())
            return fail("will not delete a whole hive: " + args[0]);
        LONG rc = RegDeleteTree(kp.root, kp.sub.c_str());
        return rc == ERROR_SUCCESS ? 0 : fail(describe(rc, "key " + args[0]));
    }
    HKEY h = nullptr;
    LONG rc = RegOpenKeyEx(kp.root, kp.sub.c_str(), 0, KEY_ALL_ACCESS, &h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "key " + args[0]));
    rc = RegDeleteValue(h, args[1].c_str());
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "value '" + args[1] + "' under " + args[0]));
    return 0;
}

int cmdList(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usage("list takes KEY");
    KeyPath kp;
    if (!parseKey(args[0], kp))
        return usage("unknown root in '" + args[0] + "'");
    HKEY h = nullptr;
    LONG rc = RegOpenKeyEx(kp.root, kp.sub.c_str(), 0, KEY_READ, &h);
    if (rc != ERROR_SUCCESS)
        return fail(describe(rc, "key " + args[0]));
    std::string out;
    char name[pvreg::kMaxKeyNameLength + 1];
    for (DWORD i = 0;; ++i) {
        rc = RegEnumKey(h, i, name, sizeof name);
        if (rc != ERROR_SUCCESS)
            break;
        out += "[" + std::string(name) + "]\n";
    }
    if (rc == ERROR_NO_MORE_ITEMS) {
        std::vector<char> vname(pvreg::kMaxValueNameLength + 1);
        for (DWORD i = 0;; ++i) {
            DWORD cch = static_cast<DWORD>(vname.size());
            rc = RegEnumValue(h, i, vname.data(), &cch, nullptr, nullptr, nullptr, nullptr);
            if (rc != ERROR_SUCCESS)
                break;
            std::string vn(vname.data(), cch);
            DWORD type = 0;
            std::string data;
            rc = readValue(h, vn, type, data);
            if (rc != ERROR_SUCCESS)
                break;
            if (type == REG_SZ || type == REG_EXPAND_SZ)
                data.resize(data.empty() ? 0 : data.size() - 1); // the stored form has no zero
            out += formatForList(vn, type, data);
        }
    }
    RegCloseKey(h);
    if (rc != ERROR_NO_MORE_ITEMS)
        return fail(describe(rc, "key " + args[0]));
    std::fputs(out.c_str(), stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage("no command");
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    int rc;
    if (cmd == "set")
        rc = cmdSet(args);
    else if (cmd == "get")
        rc = cmdGet(args);
    else if (cmd == "delete")
        rc = cmdDelete(args);
    else if (cmd == "list")
        rc = cmdList(args);
    else if (cmd == "-h" || cmd == "--help" || cmd == "help") {
        std::printf("%s\n", kUsage);
        return 0;
    } else
        return usage("unknown command '" + cmd + "'");
    // A failed write may already have emptied the buffer: the error flag remembers it.
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && rc == 0)
        return fail("cannot write output");
    return rc;
}
