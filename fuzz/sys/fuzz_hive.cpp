// Hive files come from disk and may be damaged or hand-edited: parsing must never crash, and
// whatever parses must write back to a text that parses to the same text again.

#include "platform/sys/hive.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    pvreg::RegKey root;
    std::string error;
    if (!pvreg::parseHive(text, root, &error)) {
        if (error.rfind("line ", 0) != 0 || !root.subkeys.empty() || !root.values.empty())
            std::abort();
        return 0;
    }
    std::string once = pvreg::serializeHive(root);
    pvreg::RegKey again;
    if (!pvreg::parseHive(once, again, &error))
        std::abort();
    if (pvreg::serializeHive(again) != once)
        std::abort();
    return 0;
}
