// Builds the default data tree: copies the text files of the repository's
// data folder, draws the pictures and writes the music the program loads.
//
//   datagen <output folder> <text data folder>
#include <cstdio>
#include <filesystem>
#include <string>

#include "datagen/modwrite.h"
#include "datagen/pcxwrite.h"
#include "datagen/testsong.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: datagen <output folder> <text data folder>\n");
    return 2;
  }
  const fs::path out = argv[1];
  std::error_code ec;
  fs::create_directories(out / "pcx", ec);
  if (!ec) fs::create_directories(out / "mod", ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  if (!CopyTextTree(argv[2], out)) return 1;
  if (!datagen::WritePcx((out / "pcx" / "devenv.pcx").string(), ConsoleBackground())) {
    std::fprintf(stderr, "datagen: cannot write pcx/devenv.pcx\n");
    return 1;
  }
  if (!datagen::WriteMod((out / "mod" / "test.mod").string(), datagen::TestSong())) {
    std::fprintf(stderr, "datagen: cannot write mod/test.mod\n");
    return 1;
  }
  return 0;
}
