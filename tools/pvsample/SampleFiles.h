#pragma once
// The sample installation's files beside its databases: the details template, the home and
// media pages, the pages behind "ext://" links, photos and pictures, the copyright text and
// Settings.ini.

#include "tools/pvsample/SampleData.h"
#include "tools/pvsample/SampleWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pvsample {

void WriteSampleFiles(const SamplePaths& paths, const School& school);

// A 24-bit BMP of 0xRRGGBB pixels, row by row from the top.
std::string EncodeBmp(int width, int height, const std::vector<uint32_t>& pixels);

// A 24-bit BMP of the given size, drawn from the seed: a head and shoulders on a coloured
// ground, or a plain pattern when portrait is false.
std::string DrawBitmap(int width, int height, uint32_t seed, bool portrait);

// The details template, in lines as stored (the builder joins them without separators).
extern const char* const kDetailsTemplate[];

} // namespace pvsample
