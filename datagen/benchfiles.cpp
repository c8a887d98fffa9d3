// The benchmarks' scenes (integer arithmetic only, so that every build
// makes the same bytes) and their busy module.
#include "datagen/benchfiles.h"

#include <algorithm>
#include <string>

namespace datagen {
namespace {

uint32_t Next(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// The flat scene: 160 x 120 blocks of eight colours and a disc in the middle.
int FlatRegion(int x, int y, int width, int height) {
  const int dx = x - width / 2, dy = y - height / 2;
  if (dx * dx + dy * dy < (height / 4) * (height / 4)) return 8;
  return (x / 160 + (y / 120) * 3) % 8;
}

constexpr uint32_t kFlatColours[9] = {0x204080, 0xE0C020, 0x30A050, 0xF0F0F0, 0x101010,
                                      0xC03030, 0x6040A0, 0x80D0E0, 0xFF8000};
constexpr uint8_t kFlatIndices[9] = {0x13, 0xA6, 0x5D, 0xE2, 0x30, 0x8F, 0x6B, 0xD4, 0x47};

}  // namespace

const char* SceneName(Scene scene) { return scene == Scene::kPhoto ? "photo" : "flat"; }

Picture24 SceneRgb(Scene scene, int width, int height) {
  Picture24 p(width, height);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (scene == Scene::kFlat) {
        p.Set(x, y, kFlatColours[FlatRegion(x, y, width, height)]);
        continue;
      }
      const int noise = static_cast<int>((Next(seed) >> 24) % 7) - 3;
      const int dx = x - width / 2, dy = y - height / 2;
      p.Set(x, y, Clamp(x * 255 / std::max(1, width - 1) + noise),
            Clamp(y * 255 / std::max(1, height - 1) + ((x * y) >> 12 & 31) + noise),
            Clamp(255 - (dx * dx + dy * dy) / std::max(1, width * width / 1020) + noise));
    }
  return p;
}

Picture8 SceneIndexed(Scene scene, int width, int height, int bits) {
  Picture8 p{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height), {}};
  for (int i = 0; i < 256; ++i) p.palette.insert(p.palette.end(), {Clamp(i), Clamp((i * 7) & 255), Clamp(255 - i)});
  uint32_t seed = 777;
  const int shift = 8 - std::clamp(bits, 1, 8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int v;
      if (scene == Scene::kFlat) {
        v = kFlatIndices[FlatRegion(x, y, width, height)] >> shift;
      } else {
        const int noise = static_cast<int>((Next(seed) >> 24) % 5) - 2;
        v = Clamp((x + y) * 255 / std::max(1, width + height - 2) + 4 * noise) >> shift;
      }
      p.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(v);
    }
  return p;
}

TgaImage SceneTga(Scene scene, int width, int height, int depth) {
  TgaImage t{width, height, depth, {}, {}};
  if (depth == 8) {
    const Picture8 p = SceneIndexed(scene, width, height, 8);
    t.pixels = p.pixels;
    for (size_t i = 0; i < p.palette.size(); i += 3)
      t.map.insert(t.map.end(), {p.palette[i + 2], p.palette[i + 1], p.palette[i]});
    return t;
  }
  const Picture24 p = SceneRgb(scene, width, height);
  for (size_t i = 0; i < p.rgb.size(); i += 3) {
    const uint8_t r = p.rgb[i], g = p.rgb[i + 1], b = p.rgb[i + 2];
    if (depth == 16) {
      const uint32_t v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
      t.pixels.insert(t.pixels.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    } else {
      t.pixels.insert(t.pixels.end(), {b, g, r});
      if (depth == 32) t.pixels.push_back(255);
    }
  }
  return t;
}

Module BusySong(uint32_t channels) {
  Module m;
  m.channels = channels;
  m.tag = channels == 4 ? "M.K." : std::to_string(channels) + "CH";
  for (uint32_t i = 0; i < 8; ++i) {
    ModSample s;
    const uint32_t period = 32u << (i % 3);
    s.data = i % 3 == 0   ? SawSample(period, 4)
             : i % 3 == 1 ? SquareSample(period, 4, 90, -90)
                          : SineSample(period, 4);
    s.loopLength = static_cast<uint32_t>(s.data.size());
    m.samples.push_back(s);
  }
  m.orders = {0, 1};
  for (uint32_t p = 0; p < 2; ++p)
    for (uint32_t row = 0; row < kModRows; ++row)
      for (uint32_t ch = 0; ch < channels; ++ch) {
        ModCell& c = m.At(p, row, ch);
        if ((row + ch) % 4 == 0 || row == 0)
          c = {ModPeriod(1 + (ch + row / 8) % 3, static_cast<int>((ch * 5 + row) % 12)),
               static_cast<uint8_t>(1 + ch % 8), 0, 0};
        else if (ch % 3 == 0)
          c = {0, 0, 4, 0x46};
        else if (ch % 3 == 1)
          c = {0, 0, 0, 0x37};
        else
          c = {0, 0, 0xA, static_cast<uint8_t>(row % 8 < 4 ? 0x02 : 0x20)};
      }
  return m;
}

}  // namespace datagen
