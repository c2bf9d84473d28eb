// Feeds arbitrary text to the Jet SQL translator and to JetLike, which receives the user's
// search text. The first byte picks the entry point; for the two-part ones the rest is split
// at the first NUL (pattern and value; statement and filter, the filter split again for the
// sort).

#include "platform/dao/jetsql.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::pair<std::string_view, std::string_view> Split(std::string_view s)
{
    const size_t nul = s.find('\0');
    if (nul == std::string_view::npos) return {s, {}};
    return {s.substr(0, nul), s.substr(nul + 1)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0: {
        (void)pvjet::Translate(text);
        std::vector<pvjet::Token> toks;
        if (pvjet::Tokenize(text, toks)) {
            for (const pvjet::Token& t : toks)
                if (t.pos > t.end || t.end > text.size()) __builtin_trap();
            (void)pvjet::AnalyzeSelect(toks);
        }
        break;
    }
    case 1: {
        const auto [pattern, value] = Split(text);
        const bool hit = pvjet::JetLike(pattern, value);
        // a value always matches itself when it holds no wildcard or set
        if (pattern == value && pattern.find_first_of("*?#[") == std::string_view::npos && !hit) __builtin_trap();
        if (!pvjet::JetLike("*", value)) __builtin_trap();
        break;
    }
    case 2: {
        const auto [sql, rest] = Split(text);
        const auto [filter, sort] = Split(rest);
        const std::string joined = pvjet::ApplyFilterAndSort(std::string(sql), std::string(filter), std::string(sort));
        (void)pvjet::Translate(joined);
        break;
    }
    default: {
        double d = 0;
        (void)pvjet::ParseJetDate(text, d);
        break;
    }
    }
    return 0;
}
