#pragma once
// Stored object bytes: a 20-byte header (signature 0x1C15), the short type name and the ProgID,
// both zero-terminated, the object's opaque data, and four zero bytes. The bytes come from a
// database field, so reading checks every offset and length against the block.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct GXObjectBlock {
    std::string typeName;  // UTF-8
    std::string progId;
    std::vector<uint8_t> data;
};

// Answers false (the block is invalid) rather than ever reading outside [p, p + n).
bool GXDecodeObjectBlock(const uint8_t* p, size_t n, GXObjectBlock& out);

// Answers false when a name does not fit the header's 16-bit lengths and offsets.
bool GXEncodeObjectBlock(const GXObjectBlock& in, std::vector<uint8_t>& out);

// 1 to 39 letters, digits and periods, not starting with a digit.
bool GXIsWellFormedProgId(const std::string& s);
