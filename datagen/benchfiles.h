// The pictures and the module the benchmarks measure and the identity
// tests decode: a photo-like scene (smooth ramps with a little noise: short
// runs) and a scene of large flat areas (long runs), as TGA, PCX and ILBM
// files, and a four- or many-channel module whose every channel sounds.
#pragma once
#include <cstdint>
#include <vector>

#include "datagen/modwrite.h"
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

enum class Scene { kPhoto, kFlat };
const char* SceneName(Scene scene);

Picture24 SceneRgb(Scene scene, int width, int height);
// Indices below 2^bits into a palette of 256 different colours.
Picture8 SceneIndexed(Scene scene, int width, int height, int bits);
// The scene as TGA pixels of depth 8 (SceneIndexed's, with its palette as
// the map), 16, 24 or 32 (alpha 255).
TgaImage SceneTga(Scene scene, int width, int height, int depth);

// Every channel plays a looping sample from row 0, with a new note every
// four rows and vibrato, arpeggio or a volume slide on the others.
Module BusySong(uint32_t channels);

}  // namespace datagen
