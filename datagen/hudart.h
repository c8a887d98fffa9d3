// The HUD's drawn pictures: the dashboard dial "MISCPICT>COMPTEUR.TGA" and
// the finishing list's cars "MISCPICT>CARCOT1.TGA" to "CARCOT8.TGA", all on
// black, which the game leaves transparent.
#pragma once
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kCounterWidth = 184;
constexpr int kCounterHeight = 112;
constexpr int kCarPictureWidth = 72;
constexpr int kCarPictureHeight = 20;

// A rev counter (0 to 8000 rpm, left) under a speedometer (0 to 300 km/h,
// right), their needles turning from straight down as the game turns them.
Picture24 CounterPicture();
// Car 1..8, each in its own colour.
Picture24 CarPicture(int number);

}  // namespace datagen
