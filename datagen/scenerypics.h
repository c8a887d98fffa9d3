// The scenery's pictures: the window clouds "MISCPICT>NUAGE.TGA" and
// "MISCPICT>NUAGE2.TGA" (tileable, 64 x 64), the smoke puff
// "MISCPICT>FUMEE.TGA" (64 x 64), and the LED dots
// "MISCPICT>DIODEon.TGA" and "MISCPICT>DIODEoff.TGA" (4 x 4); the default
// circuit's displays: LED panels (256 x 64, unlit dots), the start lamps
// unlit and lit (256 x 128) and the road-light row (128 x 32), drawn for
// what the card keeps at texture scale 2; the backdrop panoramas
// "TXT>TRAVUN>DECOFON2" (green hills) and "DECOFON" (rocky mountains), 640 x
// 480, sky above the view's middle row and land below.
#pragma once
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kCloudSide = 64;
constexpr int kDiodeSide = 4;
constexpr int kFumeeSide = 64;
constexpr int kDecofonWidth = 640, kDecofonHeight = 480;

// variant 0: white clouds on a blue sky; 1: the paler pair of the cars
// drawn in full white.
Picture24 CloudPicture(int variant);
// A soft round puff: grey-white at the centre fading to black at the rim,
// with a little noise so that it does not look drawn with a compass.
Picture24 FumeePicture();
Picture24 DiodePicture(bool lit);
Picture24 LedPanelPicture();
Picture24 StartLampsPicture(bool lit);
Picture24 RoadLightPicture();
// variant 0: "DECOFON2", 1: "DECOFON". The top rows are one flat sky
// colour, the one that fills the band above a panorama, and the ridge
// repeats every 128 columns, so that the slices the game lays side by side
// (640, 640 and 384 columns) join without a seam.
Picture24 DecofonPicture(int variant);
// A picture in the 3D palette of the default texture path, nearest colours.
Picture8 InTexturePalette(const Picture24& picture);

}  // namespace datagen
