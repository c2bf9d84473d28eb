#pragma once
// The one upper/lower-casing rule of the program. Everything that orders or matches text
// without regard to case (sort ranks, key-range search, case-blind compares, the sample-data
// generator) goes through PvUpperCase, so that they all agree byte for byte.
//
// Works on UTF-8: ASCII, Latin-1 Supplement and Latin Extended-A letters change case; every
// other byte sequence is kept as it is. The mapping never changes the byte length.

#include <string>
#include <string_view>

std::string PvUpperCase(std::string_view text);
std::string PvLowerCase(std::string_view text);

// In-place forms over a byte range (length is preserved).
void PvUpperCaseInPlace(char* text, size_t length);
void PvLowerCaseInPlace(char* text, size_t length);

// Case-blind three-way comparison: compares the upper-cased forms bytewise.
// For matching (equal or not); for ordering text a person reads, use PvCollateNoCase.
int PvCompareNoCase(std::string_view a, std::string_view b);

// The program's one ordering rule for text shown to people: case-blind, with accented
// letters beside their base letter ("Ébert" between "Eber" and "Ecker", "ß" as "ss",
// "Æ" as "ae"); where two texts differ only by accents, the plain letter comes first.
// Texts that differ only by case compare equal. Returns -1, 0 or 1.
int PvCollateNoCase(std::string_view a, std::string_view b);
// A key whose plain byte order is PvCollateNoCase's order: made once per text where many texts
// are sorted, instead of a comparison that reads both texts again each time.
std::string PvCollationKeyNoCase(std::string_view text);

inline char PvUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
inline char PvLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
