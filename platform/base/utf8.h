#pragma once
// The program's one UTF-8 encoder of code points (typed characters, RTF escapes, glyph lookups).

#include <cstdint>
#include <cstddef>
#include <string>

// Writes cp as 1 to 4 bytes; answers their count, or 0 (nothing written) for a surrogate or a
// value past U+10FFFF, which no UTF-8 text may hold.
int PvEncodeUtf8(uint32_t cp, char out[4]);

// Appends cp to s; answers false and appends nothing when it cannot be encoded.
bool PvAppendUtf8(std::string& s, uint32_t cp);

// Characters (not continuation bytes) in p[0, n): what a limit in characters counts.
int PvUtf8CharCount(const char* p, size_t n);

// Byte offset of character nChar of the NUL-ended text p; its length when nChar lies past the end.
int PvUtf8ByteOffset(const char* p, int nChar);
