// The race fonts' strips "MISCPICT>FONT.TGA", "FONT2.TGA" and "FONT3.TGA":
// the glyphs of the character map rasterised from a TrueType font, one row
// each, on the reserved background colour.
#pragma once
#include <string>

#include "datagen/tgawrite.h"

namespace datagen {

// The strip of font slot 0..2; false with a reason when the font file
// cannot be used or a glyph breaks the strip's rules.
bool HudFontStrip(const std::string& fontFile, int slot, Picture24* strip, std::string* error);

}  // namespace datagen
