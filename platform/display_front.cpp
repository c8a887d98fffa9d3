// What the primary surface shows, as 0xRRGGBB pixels for the presenter:
// 8-bit pixels through the palette, others through their colour masks.
#include <algorithm>
#include <cstring>

#include "platform/display.h"
#include "platform/display_state.h"

namespace plat {
namespace {

// One colour component: where it lies in a pixel and how wide it is.
struct Channel {
  uint32_t shift = 0, bits = 0;
};

Channel Measure(uint32_t mask) {
  Channel c;
  if (!mask) return c;
  while (!(mask & 1)) mask >>= 1, ++c.shift;
  while (mask & 1) mask >>= 1, ++c.bits;
  return c;
}

// A component widened (or narrowed) to 8 bits, its top bits repeated
// below so that full scale gives 255.
uint32_t To8(uint32_t pixel, const Channel& c) {
  if (!c.bits) return 0;
  const uint32_t v = (pixel >> c.shift) & ((1u << c.bits) - 1);
  if (c.bits >= 8) return v >> (c.bits - 8);
  uint32_t out = 0;
  for (int32_t have = 0; have < 8; have += static_cast<int32_t>(c.bits))
    out |= have + static_cast<int32_t>(c.bits) <= 8 ? v << (8 - have - c.bits) : v >> (have + c.bits - 8);
  return out;
}

struct Converter {
  Channel red, green, blue;
  explicit Converter(const PixelFormat& f)
      : red(Measure(f.redMask)), green(Measure(f.greenMask)), blue(Measure(f.blueMask)) {}
  uint32_t operator()(uint32_t pixel) const {
    return To8(pixel, red) << 16 | To8(pixel, green) << 8 | To8(pixel, blue);
  }
};

// The 65,536 colours of the last 16-bit format asked for.
struct Table16 {
  PixelFormat format;
  bool built = false;
  uint32_t rgb[65536];
};

const uint32_t* Colours16(const PixelFormat& f) {
  static Table16 table;
  const PixelFormat& t = table.format;
  if (!table.built || t.redMask != f.redMask || t.greenMask != f.greenMask || t.blueMask != f.blueMask) {
    const Converter convert(f);
    for (uint32_t v = 0; v < 65536; ++v) table.rgb[v] = convert(v);
    table.format = f;
    table.built = true;
  }
  return table.rgb;
}

void Colours8(const Surface* s, uint32_t (&rgb)[kPaletteSize]) {
  PaletteEntry entries[kPaletteSize];
  if (s->palette)
    std::copy(s->palette->entries, s->palette->entries + kPaletteSize, entries);
  else
    GetSystemPaletteEntries(entries);
  for (int32_t i = 0; i < kPaletteSize; ++i)
    rgb[i] = static_cast<uint32_t>(entries[i].red) << 16 | static_cast<uint32_t>(entries[i].green) << 8 |
             entries[i].blue;
}

// A row of 16, 24 or 32-bit pixels.
void ConvertRow(const Surface* s, const uint8_t* in, uint32_t* out, int32_t width) {
  if (s->format.bitsPerPixel == 16) {
    const uint32_t* rgb = Colours16(s->format);
    for (int32_t x = 0; x < width; ++x) out[x] = rgb[in[2 * x] | in[2 * x + 1] << 8];
    return;
  }
  const Converter convert(s->format);
  const int32_t bytes = static_cast<int32_t>(s->format.bitsPerPixel / 8);
  for (int32_t x = 0; x < width; ++x) {
    uint32_t v = 0;
    for (int32_t b = 0; b < bytes; ++b) v |= static_cast<uint32_t>(in[x * bytes + b]) << (8 * b);
    out[x] = convert(v);
  }
}

}  // namespace

bool ReadFront(const Rect& area, std::vector<uint32_t>& pixels, int32_t* width, int32_t* height) {
  const Surface* s = FindPrimary();
  if (!s || s->lost) return false;
  const int32_t left = std::clamp(area.left, 0, s->width), right = std::clamp(area.right, 0, s->width);
  const int32_t top = std::clamp(area.top, 0, s->height), bottom = std::clamp(area.bottom, 0, s->height);
  if (left >= right || top >= bottom) return false;
  const int32_t w = right - left, h = bottom - top;
  pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  const int32_t bytes = static_cast<int32_t>((s->format.bitsPerPixel + 7) / 8);
  // An 8-bit surface's palette is read once, not per row.
  if (s->format.bitsPerPixel == 8) {
    uint32_t rgb[kPaletteSize];
    Colours8(s, rgb);
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* in = &s->pixels[static_cast<size_t>((top + y) * s->pitch + left)];
      uint32_t* out = &pixels[static_cast<size_t>(y) * static_cast<size_t>(w)];
      for (int32_t x = 0; x < w; ++x) out[x] = rgb[in[x]];
    }
  } else {
    for (int32_t y = 0; y < h; ++y)
      ConvertRow(s, &s->pixels[static_cast<size_t>((top + y) * s->pitch + left * bytes)],
                 &pixels[static_cast<size_t>(y) * static_cast<size_t>(w)], w);
  }
  if (width) *width = w;
  if (height) *height = h;
  return true;
}

}  // namespace plat
