// The interface's busy cursor: the frames of a spoked wheel turning.
#pragma once
#include "datagen/tgawrite.h"

namespace datagen {

// Frames "INTER>BMAPS>roue0000.TGA" on: a 32 x 32 spoked wheel on black,
// turned by frame / kBusyCursorFrames of one spoke period.
constexpr int kBusyCursorFrames = 12;
TgaImage BusyCursorImage(int frame);

}  // namespace datagen
