// The films, their waves and the pictures shown over a race: the logo film
// "INTRO>TAMRISK.FLC" with its jingle, the network start's film
// "INTRO>ZENTRACE.FLC" with its countdown, the attract cycle's word
// pictures and banners under "COMDEX>", and the HUD's box and radar
// textures under "MISCPICT>".
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct DataFile {
  std::string path;  // below the data tree, "/" separated
  std::vector<uint8_t> bytes;
};

// Every file, or false with the reason when the font cannot be used.
bool IntroArt(const std::string& fontFile, std::vector<DataFile>* out, std::string* error);

}  // namespace datagen
