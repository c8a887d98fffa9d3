// The menus' pictures under "INTER>BMAPS>": the background and its two
// glass panes, the two splashes, the buttons labelled in the interface's
// glyphs, the pictograms, the dialogue frames and the trade-show page's
// buttons. The two compositions of the background with its panes are made
// by the game itself from these (CALC_VITRE).
#pragma once
#include <string>
#include <vector>

#include "datagen/tgawrite.h"

namespace datagen {

struct MenuPicture {
  std::string path;  // below the data tree, "/" separated
  TgaImage image;
};

// Every picture, or false with the reason when the font cannot be used.
bool MenuPictures(const std::string& fontFile, std::vector<MenuPicture>* pictures, std::string* error);

}  // namespace datagen
