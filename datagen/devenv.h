// The console background "PCX/DEVENV.PCX", which also marks the runtime
// directory: a dark procedural picture on which white text reads
// everywhere.
#pragma once
#include "datagen/pcxwrite.h"

namespace datagen {

constexpr int kDevEnvWidth = 640;
constexpr int kDevEnvHeight = 480;
// Palette entry 0 is black, 255 white (the last of the colour cube); the
// picture uses only its dark ramp.
constexpr int kDevEnvWhite = 255;

Picture8 DevEnvPicture();

}  // namespace datagen
