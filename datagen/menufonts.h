// The interface's fonts "INTER>FONTES>NETBIG.TGA", "NETSMALL.TGA",
// "NETSMAL2.TGA" and "NETSMAL3.TGA", rasterised from a TrueType font, and
// its arrow "INTER>BMAPS>CURSOR.TGA".
#pragma once
#include <cstdint>
#include <string>

#include "datagen/tgawrite.h"

namespace datagen {

struct MenuFont {
  const char* path;  // below the data tree
  int cellWidth, cellHeight;
  int first, count;  // characters first .. first + count - 1
  uint32_t colour;   // 0xRRGGBB of the ink
};
// The big font, then the small ones: highlighted line, list lines and the
// presets' columns.
extern const MenuFont kMenuFonts[4];

// The font's 32-bit picture: 16 cells a row, each glyph's ink at its
// cell's left edge in the font's colour with its coverage as alpha, and 0
// everywhere else; false with a reason when the font file cannot be used
// or no size puts every glyph inside its cell.
bool MenuFontImage(const std::string& fontFile, const MenuFont& font, TgaImage* image, std::string* error);

// The arrow: white with a dark grey edge, on black.
TgaImage MenuArrowImage();

}  // namespace datagen
