// Feeds arbitrary bytes to the stored-object reader, as a database field would bring them. A
// block that reads must write back and read again to the same names and data.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "grid/widgets/gxoleblock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GXObjectBlock b;
    if (!GXDecodeObjectBlock(data, size, b))
        return 0;
    std::vector<uint8_t> again;
    if (!GXEncodeObjectBlock(b, again))
        abort();
    GXObjectBlock c;
    if (!GXDecodeObjectBlock(again.data(), again.size(), c) || c.typeName != b.typeName ||
        c.progId != b.progId || c.data != b.data)
        abort();
    return 0;
}
