// The car-position inset's pictures.
#include "datagen/insetcars.h"

namespace datagen {

TgaImage InsetCarsPicture() {
  static constexpr uint32_t kBodies[8] = {0xD02020, 0x2050D0, 0xE0C020, 0x20A040,
                                          0xE8E8E8, 0xE07010, 0x8030B0, 0x20B8C8};
  constexpr int kCellWidth = kInsetCarsSide / 2, kCellHeight = 29;
  TgaImage image;
  image.width = image.height = kInsetCarsSide, image.depth = 32;
  image.pixels.assign(static_cast<size_t>(kInsetCarsSide) * kInsetCarsSide * 4, 0);
  auto put = [&](int x, int y, uint32_t rgb) {
    uint8_t* p = &image.pixels[(static_cast<size_t>(y) * kInsetCarsSide + x) * 4];
    p[0] = rgb & 0xFF, p[1] = rgb >> 8 & 0xFF, p[2] = rgb >> 16 & 0xFF, p[3] = 0xFF;
  };
  for (int picture = 0; picture < 8; ++picture) {
    const int x0 = picture / 4 * kCellWidth, y0 = picture % 4 * kCellHeight;
    // A body of 12 x 25 in the middle of the cell, front up: the bonnet,
    // the windscreen, the roof and the rear window.
    for (int y = 2; y < 27; ++y)
      for (int x = kCellWidth / 2 - 6; x < kCellWidth / 2 + 6; ++x) {
        const bool corner = (y == 2 || y == 26) && (x == kCellWidth / 2 - 6 || x == kCellWidth / 2 + 5);
        if (corner) continue;
        const bool glass = (y >= 9 && y < 12) || (y >= 20 && y < 22);
        put(x0 + x, y0 + y, glass ? 0x2A3A50 : kBodies[picture]);
      }
  }
  return image;
}

}  // namespace datagen
