#include "platform/sys/hive.h"

#include "platform/base/textcase.h"
#include "platform/sys/registry.h"

#include <cstdio>

namespace pvreg {

namespace {

constexpr std::string_view kHeader = "PVREG 1";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// A cursor over one line with the error it failed with.
struct LineParser {
    std::string_view s;
    size_t pos = 0;
    std::string err;

    bool atEnd() const { return pos >= s.size(); }
    char peek() const { return atEnd() ? '\0' : s[pos]; }
    void skipBlanks()
    {
        while (!atEnd() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
    }
    bool fail(std::string what)
    {
        if (err.empty())
            err = std::move(what);
        return false;
    }
    bool consume(std::string_view word)
    {
        if (s.substr(pos, word.size()) != word)
            return false;
        pos += word.size();
        return true;
    }

    bool quoted(std::string& out, size_t limit)
    {
        if (peek() != '"')
            return fail("expected '\"'");
        ++pos;
        out.clear();
        while (true) {
            if (atEnd())
                return fail("unterminated string");
            char c = s[pos++];
            if (c == '"')
                return true;
            if (isControl(static_cast<unsigned char>(c)))
                return fail("control character in string");
            if (c == '\\') {
                if (atEnd())
                    return fail("unterminated string");
                char e = s[pos++];
                switch (e) {
                case '\\': c = '\\'; break;
                case '"': c = '"'; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'x': {
                    int h = pos < s.size() ? hexDigit(s[pos]) : -1;
                    int l = pos + 1 < s.size() ? hexDigit(s[pos + 1]) : -1;
                    if (h < 0 || l < 0)
                        return fail("bad \\x escape");
                    pos += 2;
                    c = static_cast<char>(h * 16 + l);
                    if (c == '\0')
                        return fail("zero byte in string");
                    break;
                }
                default:
                    return fail("unknown escape in string");
                }
            }
            if (out.size() >= limit)
                return fail("string too long");
            out.push_back(c);
        }
    }

    bool hexBytes(std::string& out)
    {
        out.clear();
        skipBlanks();
        if (atEnd())
            return true;
        while (true) {
            skipBlanks();
            int h = pos < s.size() ? hexDigit(s[pos]) : -1;
            int l = pos + 1 < s.size() ? hexDigit(s[pos + 1]) : -1;
            if (h < 0 || l < 0)
                return fail("bad hex byte");
            pos += 2;
            if (out.size() >= kMaxValueSize)
                return fail("value too large");
            out.push_back(static_cast<char>(h * 16 + l));
            skipBlanks();
            if (atEnd())
                return true;
            if (s[pos] != ',')
                return fail("expected ',' between hex bytes");
            ++pos;
        }
    }

    bool hexNumber(DWORD& out, size_t maxDigits)
    {
        size_t n = 0;
        DWORD v = 0;
        while (!atEnd() && hexDigit(s[pos]) >= 0) {
            if (++n > maxDigits)
                return fail("number too long");
            v = v * 16 + static_cast<DWORD>(hexDigit(s[pos]));
            ++pos;
        }
        if (n == 0)
            return fail("expected a hex number");
        out = v;
        return true;
    }

    bool valueData(DWORD& type, std::string& data)
    {
        if (peek() == '"') {
            type = REG_SZ;
            return quoted(data, kMaxValueSize);
        }
        if (consume("expand:")) {
            type = REG_EXPAND_SZ;
            return quoted(data, kMaxValueSize);
        }
        if (consume("dword:")) {
            DWORD v = 0;
            if (!hexNumber(v, 8))
                return false;
            type = REG_DWORD;
            data.assign(4, '\0');
            for (int i = 0; i < 4; ++i)
                data[i] = static_cast<char>((v >> (8 * i)) & 0xff);
            return true;
        }
        if (consume("hex:")) {
            type = REG_BINARY;
            return hexBytes(data);
        }
        if (consume("hex(")) {
            if (!hexNumber(type, 8))
                return false;
            if (!consume("):"))
                return fail("expected \"):\" after the type");
            return hexBytes(data);
        }
        return fail("unknown value form");
    }
};

void appendHex(std::string& out, const std::string& data)
{
    static const char digits[] = "0123456789abcdef";
    out.reserve(out.size() + data.size() * 3);
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            out.push_back(',');
        unsigned char b = static_cast<unsigned char>(data[i]);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
}

void serializeKey(const RegKey& key, const std::string& path, bool isRoot, std::string& out)
{
    if (!isRoot || !key.values.empty()) {
        out += "\n[";
        out += path;
        out += "]\n";
    }
    for (const RegValue& v : key.values) {
        if (v.name.empty())
            out += '@';
        else {
            out += '"';
            out += escapeString(v.name);
            out += '"';
        }
        out += '=';
        bool text = (v.type == REG_SZ || v.type == REG_EXPAND_SZ) && v.data.find('\0') == std::string::npos;
        if (text) {
            if (v.type == REG_EXPAND_SZ)
                out += "expand:";
            out += '"';
            out += escapeString(v.data);
            out += '"';
        } else if (v.type == REG_DWORD && v.data.size() == 4) {
            DWORD d = 0;
            for (int i = 3; i >= 0; --i)
                d = (d << 8) | static_cast<unsigned char>(v.data[i]);
            char buf[20];
            std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(d));
            out += buf;
        } else {
            if (v.type == REG_BINARY)
                out += "hex:";
            else {
                char buf[24];
                std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
                out += buf;
            }
            appendHex(out, v.data);
        }
        out += '\n';
    }
    for (const auto& [upper, sub] : key.subkeys) {
        (void)upper;
        serializeKey(*sub, isRoot ? sub->name : path + "\\" + sub->name, false, out);
    }
}

} // namespace

RegKey* RegKey::findSubkey(std::string_view n) const
{
    auto it = subkeys.find(PvUpperCase(n));
    return it == subkeys.end() ? nullptr : it->second.get();
}

RegKey* RegKey::addSubkey(std::string_view n)
{
    auto& slot = subkeys[PvUpperCase(n)];
    if (!slot) {
        slot = std::make_unique<RegKey>();
        slot->name = std::string(n);
    }
    return slot.get();
}

bool RegKey::removeSubkey(std::string_view n) { return subkeys.erase(PvUpperCase(n)) > 0; }

RegValue* RegKey::findValue(std::string_view n)
{
    auto it = valueIndex.find(PvUpperCase(n));
    return it == valueIndex.end() ? nullptr : &values[it->second];
}

const RegValue* RegKey::findValue(std::string_view n) const
{
    auto it = valueIndex.find(PvUpperCase(n));
    return it == valueIndex.end() ? nullptr : &values[it->second];
}

void RegKey::setValue(std::string_view n, DWORD type, std::string data)
{
    if (RegValue* v = findValue(n)) {
        v->type = type;
        v->data = std::move(data);
        return;
    }
    valueIndex.emplace(PvUpperCase(n), values.size());
    values.push_back(RegValue { std::string(n), type, std::move(data) });
}

bool RegKey::removeValue(std::string_view n)
{
    auto it = valueIndex.find(PvUpperCase(n));
    if (it == valueIndex.end())
        return false;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(it->second));
    valueIndex.clear();
    for (size_t i = 0; i < values.size(); ++i)
        valueIndex.emplace(PvUpperCase(values[i].name), i);
    return true;
}

bool isValidKeyName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxKeyNameLength)
        return false;
    for (char c : name)
        if (c == '\\' || isControl(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool splitKeyPath(std::string_view path, std::vector<std::string>& parts)
{
    parts.clear();
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (!isValidKeyName(part) || parts.size() >= kMaxDepth)
                return false;
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return true;
}

std::string escapeString(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size() + 2);
    for (char c : raw) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (isControl(static_cast<unsigned char>(c))) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(c));
                out += buf;
            } else
                out.push_back(c);
        }
    }
    return out;
}

bool parseHive(std::string_view text, RegKey& root, std::string* error)
{
    root = RegKey {};
    if (text.empty())
        return true;
    auto failAt = [&](size_t line, const std::string& what) {
        if (error)
            *error = "line " + std::to_string(line) + ": " + what;
        root = RegKey {};
        return false;
    };
    if (text.size() > kMaxHiveFileSize)
        return failAt(1, "file too large");

    RegKey* current = &root;
    size_t lineNo = 0;
    size_t start = 0;
    std::vector<std::string> parts;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (lineNo == 1) {
            if (line != kHeader)
                return failAt(1, "not a registry hive (expected \"PVREG 1\")");
            continue;
        }
        LineParser p;
        p.s = line;
        p.skipBlanks();
        if (p.atEnd() || p.peek() == ';' || p.peek() == '#')
            continue;
        if (p.peek() == '[') {
            std::string_view rest = line.substr(p.pos);
            if (rest.size() < 2 || rest.back() != ']')
                return failAt(lineNo, "key line does not end with ']'");
            std::string_view path = rest.substr(1, rest.size() - 2);
            for (char c : path)
                if (isControl(static_cast<unsigned char>(c)))
                    return failAt(lineNo, "control character in key name");
            if (!path.empty() && (path.front() == '\\' || path.back() == '\\'
                                  || path.find("\\\\") != std::string_view::npos))
                return failAt(lineNo, "empty key name in path");
            if (!splitKeyPath(path, parts))
                return failAt(lineNo, "bad key name or path too deep");
            current = &root;
            for (const std::string& part : parts)
                current = current->addSubkey(part);
            continue;
        }
        std::string name;
        if (p.peek() == '@')
            ++p.pos;
        else if (p.peek() == '"') {
            if (!p.quoted(name, kMaxValueNameLength))
                return failAt(lineNo, p.err);
            if (name.empty())
                return failAt(lineNo, "empty value name (the default value is written @)");
        } else
            return failAt(lineNo, "expected a key line, a value line or a comment");
        p.skipBlanks();
        if (!p.consume("="))
            return failAt(lineNo, "expected '=' after the value name");
        p.skipBlanks();
        DWORD type = 0;
        std::string data;
        if (!p.valueData(type, data))
            return failAt(lineNo, p.err);
        p.skipBlanks();
        if (!p.atEnd())
            return failAt(lineNo, "unexpected text after the value");
        current->setValue(name, type, std::move(data));
    }
    return true;
}

std::string serializeHive(const RegKey& root)
{
    std::string out(kHeader);
    out += '\n';
    serializeKey(root, std::string(), true, out);
    return out;
}

} // namespace pvreg
