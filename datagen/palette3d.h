// The default texture path "TXT>TRAVUN>": its 3D palette "PALETTE.PCX" (a
// colour cube and a grey ramp for the textures, and the HUD fonts'
// reserved background colour at entry 255), and the default circuit's
// road picture in the palette (8-bit modes) and at 24 bits (the others).
#pragma once
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kPaletteCubeFirst = 0;    // 6 reds x 8 greens x 4 blues
constexpr int kPaletteGreyFirst = 192;  // 63 greys from black to white
constexpr int kPaletteReserved = 255;

// 256 x (r, g, b), 0..255.
std::vector<uint8_t> TexturePalette();
// A 16 x 16 picture of every entry, with that palette.
Picture8 TexturePalettePicture();
// 64 x 64 texels of asphalt: greys of the ramp from the given step with a
// fine grain (the default circuit's road; lighter for the road
// generator's gutter and second strip).
constexpr int kRoadGrey = 20, kSecondStripGrey = 26, kGutterGrey = 40;
Picture8 RoadPicture(int grey = kRoadGrey);
Picture24 RoadPicture24(int grey = kRoadGrey);

}  // namespace datagen
