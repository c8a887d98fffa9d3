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
// The road pictures, 64 x 64 texels each; u (x) runs across the road or up
// the wall, v (y) along it:
// "ROAD    ": grey asphalt with a fine grain, white edge lines and a
// dashed white centre line;
// "ROUT1": the circuit's road, darker asphalt between red-and-white kerbs
// with a green verge strip outside each;
// "MUR1": a light concrete wall with dark joints every 16 rows (4 m along
// the circuit) and one across the wall;
// "CANIV1" and "ROUT2", the road generator's gutter and second strip:
// plain asphalt in lighter greys.
enum class RoadKind { Road, Kerb, Wall, Gutter, SecondStrip };
Picture8 RoadPicture(RoadKind kind = RoadKind::Road);
Picture24 RoadPicture24(RoadKind kind = RoadKind::Road);

}  // namespace datagen
