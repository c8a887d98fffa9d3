// The car stickers of "INTERFAC/STICKER/": race numbers 1 to 9 on white
// discs and three emblems (a star, a lightning bolt, a chequered shield),
// each on a uniform black background that the game's alpha fill removes.
#pragma once
#include <string>
#include <vector>

#include "datagen/tgawrite.h"

namespace datagen {

struct StickerFile {
  std::string name;  // file name in the sticker folder
  TgaImage image;    // 24 bits, or 32 for the emblems
};

std::vector<StickerFile> Stickers();

}  // namespace datagen
