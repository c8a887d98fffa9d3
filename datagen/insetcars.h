// The car-position inset's pictures, SCARS.TGA: 128 x 128 at 32 bits with
// alpha (opaque on the cars), 2 columns x 4 rows of top-down cars, front
// up, each in a cell of 64 x 29 pixels; picture p in column p / 4, row p % 4.
#pragma once
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kInsetCarsSide = 128;
TgaImage InsetCarsPicture();

}  // namespace datagen
