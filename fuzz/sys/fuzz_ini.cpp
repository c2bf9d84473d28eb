// INI files are outside input: the line model must keep every byte it does not change, and
// the profile functions must stay inside the caller's buffer whatever the file holds.

#include "platform/sys/ini.h"
#include "platform/sys/profile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Reads through the profile functions (in memory: no file per input) into buffers of exactly
// nSize bytes, so that ASan catches any write past them.
void readAll(const pvini::IniDocument& doc, DWORD nSize)
{
    auto buf = std::make_unique<char[]>(nSize);
    DWORD n = pvini::ProfileString(&doc, nullptr, nullptr, "", buf.get(), nSize);
    if (nSize && n >= nSize)
        std::abort();
    std::vector<std::string> sections;
    for (const char* p = buf.get(); nSize && p < buf.get() + n && *p; p += std::strlen(p) + 1)
        sections.emplace_back(p);
    for (const std::string& s : sections) {
        DWORD k = pvini::ProfileString(&doc, s.c_str(), nullptr, "", buf.get(), nSize);
        if (k >= nSize)
            std::abort();
        std::vector<std::string> keys;
        for (const char* p = buf.get(); p < buf.get() + k && *p; p += std::strlen(p) + 1)
            keys.emplace_back(p);
        for (const std::string& key : keys) {
            if (pvini::ProfileString(&doc, s.c_str(), key.c_str(), "d", buf.get(), nSize) >= nSize)
                std::abort();
            pvini::ProfileInt(doc, s.c_str(), key.c_str(), 5);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    pvini::IniDocument doc;
    doc.parse(text);
    if (doc.serialize() != text)
        std::abort();

    // An edit changes only what it names and reads back.
    auto sections = doc.sectionNames();
    std::string section = sections.empty() ? "S" : sections.front();
    std::string key = "Fuzz Key";
    if (!sections.empty()) {
        auto keys = doc.keyNames(section);
        if (!keys.empty())
            key = keys.back();
    }
    if (key.find('=') == std::string::npos && key.find_first_of("\r\n") == std::string::npos
        && section.find_first_of("\r\n") == std::string::npos) {
        doc.set(section, key, "new value");
        pvini::IniDocument back;
        back.parse(doc.serialize());
        auto v = back.get(section, key);
        if (!v || *v != "new value")
            std::abort();
        back.removeSection(section);
        if (back.hasSection(section))
            std::abort();
    }

    pvini::IniDocument original;
    original.parse(text);
    readAll(original, size ? 1 + data[0] % 64 : 1);
    return 0;
}
