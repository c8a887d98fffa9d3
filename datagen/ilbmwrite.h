// Writes IFF ILBM pictures: bit planes from 8-bit pixels, raw or ByteRun1.
#pragma once
#include <cstdint>
#include <vector>

#include "datagen/pcxwrite.h"

namespace datagen {

// The file's bytes: BMHD, the palette's first 2^planes colours as CMAP,
// and per row one plane of ((width + 15) / 16) x 2 bytes for each of the
// pixels' low `planes` bits (1 to 8), lowest first; ByteRun1 packets run on
// across rows. Empty when the sizes do not match.
std::vector<uint8_t> EncodeIlbm(const Picture8& picture, int planes, bool compress);

}  // namespace datagen
