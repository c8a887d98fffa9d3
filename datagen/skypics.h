// The pictures of the sky, the ground, the stars and the sun's lens flare:
// "MISCPICT>CIELFON1.TGA" (a tileable sky of clouds, 256 x 256),
// "MISCPICT>LESOL.TGA" (a tileable field, 128 x 128), "MISCPICT>ETOILES.TGA"
// (a few stars on black, 64 x 64), and the flare's 32-bit pictures with
// their opacity: the glow "MISCPICT>LENS1.TGA" (64 x 64) and the eight
// sprites "MISCPICT>FLARE011.TGA" .. "FLARE081.TGA" (32 x 32).
#pragma once
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kSkySide = 256;
constexpr int kGroundSide = 128;
constexpr int kStarsSide = 64;
constexpr int kGlowSide = 64;
constexpr int kFlareSide = 32;
constexpr int kNbFlareSprites = 8;

Picture24 SkyPicture();
Picture24 GroundPicture();
Picture24 StarsPicture();
// The glow (index 0) or sprite 1..8, as 32-bit pixels with alpha.
TgaImage FlareImage(int index);

}  // namespace datagen
