// What the primary surface shows, as 0xRRGGBB pixels for the presenter:
// 8-bit pixels through the palette, others through their colour masks;
// and whether it changed since the presenter last looked.
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

// The part of area on the surface.
Rect OnSurface(const Surface* s, const Rect& area) {
  return {std::clamp(area.left, 0, s->width), std::clamp(area.top, 0, s->height),
          std::clamp(area.right, 0, s->width), std::clamp(area.bottom, 0, s->height)};
}

// Copies bytes into last at offset, noting whether they differed.
void Take(std::vector<uint8_t>& last, size_t offset, const void* bytes, size_t count, bool* differs) {
  if (std::memcmp(last.data() + offset, bytes, count) == 0) return;
  std::memcpy(last.data() + offset, bytes, count);
  *differs = true;
}

}  // namespace

bool FrontDiffers(const Rect& area, std::vector<uint8_t>& last) {
  const Surface* s = FindPrimary();
  if (!s || s->lost) {
    const bool differs = !last.empty();
    last.clear();
    return differs;
  }
  const Rect r = OnSurface(s, area);
  const size_t bytes = (s->format.bitsPerPixel + 7) / 8;
  const size_t rowBytes = static_cast<size_t>(std::max(r.right - r.left, 0)) * bytes;
  const size_t rows = static_cast<size_t>(std::max(r.bottom - r.top, 0));
  // What the frame is: its place, format and colours, then its rows.
  uint32_t head[5 + kPaletteSize] = {s->format.bitsPerPixel, static_cast<uint32_t>(r.left),
                                     static_cast<uint32_t>(r.top), static_cast<uint32_t>(r.right),
                                     static_cast<uint32_t>(r.bottom)};
  if (s->format.bitsPerPixel == 8) {
    uint32_t rgb[kPaletteSize];
    Colours8(s, rgb);
    std::copy(rgb, rgb + kPaletteSize, head + 5);
  } else {
    head[5] = s->format.redMask, head[6] = s->format.greenMask, head[7] = s->format.blueMask;
  }
  bool differs = last.size() != sizeof head + rowBytes * rows;
  if (differs) last.assign(sizeof head + rowBytes * rows, 0);
  Take(last, 0, head, sizeof head, &differs);
  for (size_t y = 0; y < rows; ++y)
    Take(last, sizeof head + y * rowBytes,
         &s->pixels[(static_cast<size_t>(r.top) + y) * static_cast<size_t>(s->pitch) +
                    static_cast<size_t>(r.left) * bytes],
         rowBytes, &differs);
  return differs;
}

bool ReadFront(const Rect& area, std::vector<uint32_t>& pixels, int32_t* width, int32_t* height) {
  const Surface* s = FindPrimary();
  if (!s || s->lost) return false;
  const Rect on = OnSurface(s, area);
  const int32_t left = on.left, right = on.right, top = on.top, bottom = on.bottom;
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
