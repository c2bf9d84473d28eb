// The session's window list: one line per top-level window, "pid<TAB>class<TAB>title", with
// backslash, tab and line breaks escaped.

#include "platform/win/sessionwins.h"

#include "platform/base/textcase.h"
#include "platform/sys/fileio.h"
#include "platform/sys/registry.h"
#include "platform/win/wincore.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <signal.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace pvwin {

namespace {

constexpr size_t kMaxFileSize = 1u << 20;

struct Entry {
    pid_t pid = 0;
    std::string cls, title;
};

std::string escape(std::string_view s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string unescape(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

bool alive(pid_t pid)
{
    return pid > 0 && (::kill(pid, 0) == 0 || errno != ESRCH);
}

// Damaged lines are skipped: the file is only ever a hint.
std::vector<Entry> parse(const std::string& text)
{
    std::vector<Entry> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        const size_t t1 = line.find('\t');
        const size_t t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string_view::npos || t1 == 0 || t1 > 9) continue;
        const std::string digits(line.substr(0, t1));
        if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
        out.push_back(Entry{pid_t(std::atol(digits.c_str())), unescape(line.substr(t1 + 1, t2 - t1 - 1)),
                            unescape(line.substr(t2 + 1))});
    }
    return out;
}

std::vector<Entry> ownWindows()
{
    std::vector<Entry> out;
    const pid_t self = ::getpid();
    for (HWND t : Desktop()->children)
        if (const Wnd* w = W(t)) out.push_back(Entry{self, w->className, w->text});
    return out;
}

std::string serialize(const std::vector<Entry>& entries)
{
    std::string out;
    for (const Entry& e : entries)
        out += std::to_string(e.pid) + "\t" + escape(e.cls) + "\t" + escape(e.title) + "\n";
    return out;
}

// Replaces this process's lines by `own` and drops those of dead processes.
void rewrite(const std::vector<Entry>& own)
{
    const std::string path = SessionWindowsFile();
    if (pvsys::makeDirs(PvRegistryDir()) != 0) return;
    pvsys::FileLock lock(path);
    if (lock.error()) return;
    std::string text;
    if (int e = pvsys::readWholeFile(path, text, kMaxFileSize); e && e != ENOENT) text.clear();
    std::vector<Entry> kept;
    const pid_t self = ::getpid();
    for (Entry& e : parse(text))
        if (e.pid != self && alive(e.pid)) kept.push_back(std::move(e));
    kept.insert(kept.end(), own.begin(), own.end());
    if (kept.empty()) {
        ::unlink(path.c_str());
        return;
    }
    const std::string out = serialize(kept);
    if (out != text) pvsys::writeFileAtomic(path, out);
}

std::string g_published;  // this process's lines as last written
bool g_exitHook = false;

void withdrawAtExit()
{
    if (!g_published.empty()) rewrite({});
}

}  // namespace

std::string SessionWindowsFile()
{
    return PvRegistryDir() + "/session-windows";
}

void PublishSessionWindows()
{
    const std::vector<Entry> own = ownWindows();
    const std::string lines = serialize(own);
    if (lines == g_published) return;
    rewrite(own);
    g_published = lines;
    if (!g_exitHook) {
        g_exitHook = true;
        std::atexit(withdrawAtExit);
    }
}

HWND FindSessionWindow(LPCTSTR cls, LPCTSTR name)
{
    std::string text;
    if (pvsys::readWholeFile(SessionWindowsFile(), text, kMaxFileSize) != 0) return nullptr;
    const pid_t self = ::getpid();
    for (const Entry& e : parse(text)) {
        if (e.pid == self || !alive(e.pid)) continue;
        if (cls && PvCompareNoCase(e.cls, cls) != 0) continue;
        if (name && e.title != name) continue;
        // Local handles are multiples of 16; this one never names a window here.
        return reinterpret_cast<HWND>((uintptr_t(e.pid) << 4) | 1);
    }
    return nullptr;
}

}  // namespace pvwin
