// The interface's waves of "INTER>SONS>", synthesized at 22050 Hz, 16-bit:
// the menus' theme, engine idles and starts, stings, clicks, a swish,
// ticks and a silence, stereo for the full-quality names and mono for the
// low-memory names and the files both qualities share.
#pragma once
#include <string>
#include <vector>

#include "datagen/carsounds.h"

namespace datagen {

// The 24 files, each named as "MENU1.WAV".
std::vector<NamedWave> MenuSounds();

}  // namespace datagen
