// Golden pictures: a 24-bit bitmap compared byte for byte with a TGA kept
// in the source tree, which ZENTROVA_UPDATE_GOLDEN=1 writes (run-length
// coded) from the bitmap for review.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "system/bmap.h"
#include "system/picture.h"

namespace ztest {

// golden: the path below the source tree; root: the library's drive, where
// the golden picture is copied to be read by the library's own reader.
inline void ExpectGolden(BMAP* shot, const std::string& golden, const std::string& root) {
  ASSERT_NE(shot, nullptr);
  ASSERT_EQ(shot->Depth, 24);
  const std::string path = std::string(ZENTROVA_SOURCE_DIR) + "/" + golden;
  if (std::getenv("ZENTROVA_UPDATE_GOLDEN")) {
    datagen::TgaImage image{shot->SizeX, shot->SizeY, 24, {}, {}};
    for (int32_t y = 0; y < shot->SizeY; ++y)
      image.pixels.insert(image.pixels.end(), shot->Start + y * shot->ByteLen,
                          shot->Start + y * shot->ByteLen + shot->SizeX * 3);
    const std::vector<uint8_t> bytes = datagen::EncodeTga(image, true);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::copy_file(path, root + "/GOLDEN.TGA", std::filesystem::copy_options::overwrite_existing);
  BMAP* expected = LS_LoadTga("GOLDEN.TGA", 0);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(std::vector<int32_t>({shot->SizeX, shot->SizeY, shot->ByteLen}),
            std::vector<int32_t>({expected->SizeX, expected->SizeY, expected->ByteLen}));
  if (expected->ByteLen == shot->ByteLen && expected->SizeY == shot->SizeY) {
    EXPECT_EQ(std::memcmp(shot->Start, expected->Start, static_cast<size_t>(shot->ByteLen) * shot->SizeY), 0)
        << golden;
  }
  LS_FreeBmap(expected);
}

}  // namespace ztest
