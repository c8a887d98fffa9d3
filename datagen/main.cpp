// Builds the default data tree: copies the text files of the repository's
// data folder and draws the pictures the program loads; with a CD folder,
// writes the CD's audio tracks there.
//
//   datagen <output folder> <text data folder> [<CD folder>]
#include <cstdio>
#include <filesystem>
#include <string>

#include "datagen/pcxwrite.h"
#include "datagen/tune.h"
#include "datagen/wavwrite.h"

namespace fs = std::filesystem;

namespace {

// The console background, which also marks the runtime directory: a dark
// blue vertical gradient.
datagen::Picture8 ConsoleBackground() {
  datagen::Picture8 picture;
  picture.width = 640;
  picture.height = 480;
  picture.palette.assign(768, 0);
  for (int i = 0; i < 256; ++i) {
    picture.palette[i * 3 + 0] = static_cast<uint8_t>(i / 8);
    picture.palette[i * 3 + 1] = static_cast<uint8_t>(i / 5);
    picture.palette[i * 3 + 2] = static_cast<uint8_t>(40 + i * 3 / 4);
  }
  picture.pixels.resize(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) picture.pixels[y * 640 + x] = static_cast<uint8_t>(y * 255 / 479);
  return picture;
}

bool CopyTextTree(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (!fs::is_directory(from, ec)) return true;
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
  if (ec) std::fprintf(stderr, "datagen: cannot copy %s: %s\n", from.c_str(), ec.message().c_str());
  return !ec;
}

// The CD: its folder "CDAUDIO" holds track 2, the race music.
bool WriteCd(const fs::path& cd) {
  std::error_code ec;
  fs::create_directories(cd / "CDAUDIO", ec);
  if (ec || !datagen::WriteWave((cd / "CDAUDIO" / "TRACK02.WAV").string(), datagen::MakeTune())) {
    std::fprintf(stderr, "datagen: cannot write the CD's tracks in %s\n", cd.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: datagen <output folder> <text data folder> [<CD folder>]\n");
    return 2;
  }
  const fs::path out = argv[1];
  std::error_code ec;
  fs::create_directories(out / "pcx", ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  if (!CopyTextTree(argv[2], out)) return 1;
  if (!datagen::WritePcx((out / "pcx" / "devenv.pcx").string(), ConsoleBackground())) {
    std::fprintf(stderr, "datagen: cannot write pcx/devenv.pcx\n");
    return 1;
  }
  if (argc == 4 && !WriteCd(argv[3])) return 1;
  return 0;
}
