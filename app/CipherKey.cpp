#include "app/CipherKey.h"

#include <cstdint>
#include <string_view>

namespace {

// A bijection on 64-bit words with good avalanche (the splitmix64 finaliser).
uint64_t mix64(uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Each step is a bijection on the state for a fixed input byte and distinct for distinct bytes,
// so every byte reaches the result. The length prefix keeps ("ab", "c") apart from ("a", "bc").
void absorb(uint64_t& h, std::string_view text)
{
    h = mix64(h ^ uint64_t(text.size()));
    for (unsigned char c : text)
        h = (h ^ c) * 0x100000001B3ULL;
}

} // namespace

CString DeriveCipherKey(const CString& strDefaultSort1, const CString& strDefaultSort2)
{
    uint64_t h = 0xCBF29CE484222325ULL;
    absorb(h, strDefaultSort1.view());
    absorb(h, strDefaultSort2.view());
    h = mix64(h);

    char key[16];
    for (int i = 0; i < 16; ++i) {
        const uint64_t x = mix64(h + uint64_t(i + 1) * 0x9E3779B97F4A7C15ULL);
        key[i] = char(1 + x % 255);
    }
    return CString(key, 16);
}
