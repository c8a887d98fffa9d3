// The scenery's pictures: the window clouds "MISCPICT>NUAGE.TGA" and
// "MISCPICT>NUAGE2.TGA" (tileable, 64 x 64), and the LED dots
// "MISCPICT>DIODEon.TGA" and "MISCPICT>DIODEoff.TGA" (4 x 4).
#pragma once
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kCloudSide = 64;
constexpr int kDiodeSide = 4;

// variant 0: white clouds on a blue sky; 1: the paler pair of the cars
// drawn in full white.
Picture24 CloudPicture(int variant);
Picture24 DiodePicture(bool lit);

}  // namespace datagen
