// The 3D palette of the default texture path, "TXT>TRAVUN>PALETTE.PCX": a
// colour cube and a grey ramp for the textures, and the HUD fonts'
// reserved background colour at entry 255.
#pragma once
#include "datagen/pcxwrite.h"

namespace datagen {

constexpr int kPaletteCubeFirst = 0;    // 6 reds x 8 greens x 4 blues
constexpr int kPaletteGreyFirst = 192;  // 63 greys from black to white
constexpr int kPaletteReserved = 255;

// 256 x (r, g, b), 0..255.
std::vector<uint8_t> TexturePalette();
// A 16 x 16 picture of every entry, with that palette.
Picture8 TexturePalettePicture();

}  // namespace datagen
