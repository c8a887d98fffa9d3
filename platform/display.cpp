// The in-memory display: surfaces, palettes and the controls tests use.
#include "platform/display.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/display_state.h"

namespace plat {

namespace {

bool LivePalette(const Palette* palette) {
  const auto& all = S().palettes;
  return palette && std::find(all.begin(), all.end(), palette) != all.end();
}

int32_t BytesPerPixel(const Surface* s) { return static_cast<int32_t>((s->format.bitsPerPixel + 7) / 8); }

Surface* NewSurface(int32_t width, int32_t height, const PixelFormat& format, bool systemMemory) {
  Surface* s = new Surface;
  s->width = width;
  s->height = height;
  s->format = format;
  s->systemMemory = systemMemory;
  const int32_t row = width * static_cast<int32_t>((format.bitsPerPixel + 7) / 8);
  s->pitch = ((row + 7) & ~7) + kPitchSlack;
  s->pixels.assign(static_cast<size_t>(s->pitch) * static_cast<size_t>(height), kGarbage);
  S().surfaces.push_back(s);
  return s;
}

void Destroy(Surface* s) {
  State& st = S();
  st.videoUsed -= s->videoBytes;
  st.surfaces.erase(std::find(st.surfaces.begin(), st.surfaces.end(), s));
  delete s;
}

uint64_t Footprint(int32_t width, int32_t height, const PixelFormat& format) {
  const uint64_t row = static_cast<uint64_t>(width) * ((format.bitsPerPixel + 7) / 8);
  return (((row + 7) & ~uint64_t{7}) + kPitchSlack) * static_cast<uint64_t>(height);
}

bool ValidFormat(const PixelFormat& f) {
  if (f.bitsPerPixel == 8) return true;
  if (f.bitsPerPixel != 16 && f.bitsPerPixel != 24 && f.bitsPerPixel != 32) return false;
  return f.redMask && f.greenMask && f.blueMask;
}

DisplayResult ChargeVideo(uint64_t bytes) {
  State& st = S();
  if (bytes > st.videoTotal - st.videoUsed) return kDisplayOutOfVideoMemory;
  st.videoUsed += static_cast<uint32_t>(bytes);
  return kDisplayOk;
}

DisplayResult CreatePrimary(int32_t backBuffers, Surface** out) {
  const DisplayMode& mode = S().mode;
  const uint64_t each = Footprint(mode.width, mode.height, mode.format);
  if (backBuffers < 0 || backBuffers > 8) return kDisplayInvalidParams;
  if (ChargeVideo(each * static_cast<uint64_t>(backBuffers + 1)) != kDisplayOk)
    return kDisplayOutOfVideoMemory;
  Surface* primary = NewSurface(mode.width, mode.height, mode.format, false);
  primary->primary = true;
  primary->videoBytes = static_cast<uint32_t>(each);
  for (int32_t i = 0; i < backBuffers; ++i) {
    Surface* back = NewSurface(mode.width, mode.height, mode.format, false);
    back->videoBytes = static_cast<uint32_t>(each);
    primary->chain.push_back(back);
  }
  *out = primary;
  return kDisplayOk;
}

DisplayResult CreateOffscreen(const SurfaceRequest& r, Surface** out) {
  if (r.width < 1 || r.height < 1 || r.width > 16384 || r.height > 16384) return kDisplayInvalidParams;
  if (!ValidFormat(r.format)) return kDisplayInvalidPixelFormat;
  const uint64_t bytes = Footprint(r.width, r.height, r.format);
  if (!r.systemMemory) {
    if (!S().hardware) return kDisplayNoHardware;
    if (ChargeVideo(bytes) != kDisplayOk) return kDisplayOutOfVideoMemory;
  }
  Surface* s = NewSurface(r.width, r.height, r.format, r.systemMemory);
  if (!r.systemMemory) s->videoBytes = static_cast<uint32_t>(bytes);
  *out = s;
  return kDisplayOk;
}

uint32_t ReadPixel(const uint8_t* at, int32_t bytes) {
  uint32_t value = 0;
  for (int32_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
  return value;
}

bool Inside(const Surface* s, const Rect& r) {
  return r.left >= 0 && r.top >= 0 && r.right <= s->width && r.bottom <= s->height && r.left < r.right &&
         r.top < r.bottom;
}

// Checks shared by blits and fills: both surfaces usable.
DisplayResult Usable(Surface* s) {
  if (!Live(s)) return kDisplayInvalidParams;
  if (s->lost) return kDisplaySurfaceLost;
  if (s->locked) return kDisplaySurfaceBusy;
  return kDisplayOk;
}

DisplayResult Copy(Surface* dst, int32_t x, int32_t y, Surface* src, const Rect& from, uint32_t flags) {
  if (DisplayResult r = Usable(dst); r != kDisplayOk) return r;
  if (DisplayResult r = Usable(src); r != kDisplayOk) return r;
  if (src->format.bitsPerPixel != dst->format.bitsPerPixel) return kDisplayInvalidPixelFormat;
  const Rect to{x, y, x + (from.right - from.left), y + (from.bottom - from.top)};
  if (!Inside(src, from) || !Inside(dst, to)) return kDisplayInvalidRect;
  const int32_t bpp = BytesPerPixel(src);
  const int32_t w = from.right - from.left;
  const int32_t h = from.bottom - from.top;
  // Through a copy of the source rows, so that overlapping rectangles of
  // one surface come out right.
  std::vector<uint8_t> rows(static_cast<size_t>(w * bpp) * static_cast<size_t>(h));
  for (int32_t j = 0; j < h; ++j)
    std::memcpy(&rows[static_cast<size_t>(j * w * bpp)],
                &src->pixels[static_cast<size_t>((from.top + j) * src->pitch + from.left * bpp)],
                static_cast<size_t>(w * bpp));
  const bool keyed = (flags & kBlitSourceKey) && src->keyed;
  for (int32_t j = 0; j < h; ++j) {
    uint8_t* out = &dst->pixels[static_cast<size_t>((y + j) * dst->pitch + x * bpp)];
    const uint8_t* in = &rows[static_cast<size_t>(j * w * bpp)];
    if (!keyed) {
      std::memcpy(out, in, static_cast<size_t>(w * bpp));
      continue;
    }
    for (int32_t i = 0; i < w; ++i) {
      const uint32_t v = ReadPixel(in + i * bpp, bpp);
      if (v < src->keyLow || v > src->keyHigh)
        std::memcpy(out + i * bpp, in + i * bpp, static_cast<size_t>(bpp));
    }
  }
  return kDisplayOk;
}

bool TakeBusy() {
  State& st = S();
  if (st.busyBlits <= 0) return false;
  --st.busyBlits;
  return true;
}

}  // namespace

DisplayResult CreateSurface(const SurfaceRequest& request, Surface** out) {
  if (!out) return kDisplayInvalidParams;
  *out = nullptr;
  State& st = S();
  if (st.failNext != kDisplayOk) {
    const DisplayResult r = st.failNext;
    st.failNext = kDisplayOk;
    return r;
  }
  return request.primary ? CreatePrimary(request.backBuffers, out) : CreateOffscreen(request, out);
}

DisplayResult GetBackBuffer(Surface* primary, Surface** out) {
  if (!out) return kDisplayInvalidParams;
  *out = nullptr;
  if (!Live(primary)) return kDisplayInvalidParams;
  if (primary->chain.empty()) return kDisplayGeneric;
  *out = primary->chain.front();
  ++(*out)->references;
  return kDisplayOk;
}

DisplayResult ReleaseSurface(Surface* surface) {
  if (!Live(surface)) return kDisplayInvalidParams;
  if (--surface->references > 0) return kDisplayOk;
  std::vector<Surface*> chain = surface->chain;
  Destroy(surface);
  for (Surface* back : chain)
    if (--back->references == 0) Destroy(back);
  return kDisplayOk;
}

DisplayResult DescribeSurface(Surface* surface, SurfaceInfo* out) {
  if (!Live(surface) || !out) return kDisplayInvalidParams;
  out->width = surface->width;
  out->height = surface->height;
  out->format = surface->format;
  out->primary = surface->primary;
  out->systemMemory = surface->systemMemory;
  return kDisplayOk;
}

bool IsInSystemMemory(Surface* surface) { return Live(surface) && surface->systemMemory; }

DisplayResult LockSurface(Surface* surface, uint8_t** pixels, int32_t* pitch) {
  if (!Live(surface) || !pixels || !pitch) return kDisplayInvalidParams;
  if (surface->lost) return kDisplaySurfaceLost;
  if (surface->locked) return kDisplaySurfaceBusy;
  surface->locked = true;
  *pixels = surface->pixels.data();
  *pitch = surface->pitch;
  return kDisplayOk;
}

DisplayResult UnlockSurface(Surface* surface) {
  if (!Live(surface)) return kDisplayInvalidParams;
  if (!surface->locked) return kDisplayNotLocked;
  surface->locked = false;
  NoteFrontChanged(surface);
  return kDisplayOk;
}

DisplayResult Blit(Surface* destination, const Rect& to, Surface* source, const Rect& from, uint32_t flags) {
  ++S().counters.blits;
  if (TakeBusy()) return kDisplaySurfaceBusy;
  if (to.right - to.left != from.right - from.left || to.bottom - to.top != from.bottom - from.top)
    return kDisplayInvalidRect;
  const DisplayResult result = Copy(destination, to.left, to.top, source, from, flags);
  if (result == kDisplayOk) NoteFrontChanged(destination);
  return result;
}

DisplayResult BlitFast(Surface* destination, int32_t x, int32_t y, Surface* source, const Rect& from,
                       uint32_t flags) {
  ++S().counters.fastBlits;
  if (TakeBusy()) return kDisplaySurfaceBusy;
  const DisplayResult result = Copy(destination, x, y, source, from, flags);
  if (result == kDisplayOk) NoteFrontChanged(destination);
  return result;
}

DisplayResult FillSurface(Surface* destination, const Rect& rect, uint32_t colour) {
  ++S().counters.fills;
  if (DisplayResult r = Usable(destination); r != kDisplayOk) return r;
  if (!Inside(destination, rect)) return kDisplayInvalidRect;
  const int32_t bpp = BytesPerPixel(destination);
  uint8_t bytes[4];
  for (int32_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(colour >> (8 * i));
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    uint8_t* row = &destination->pixels[static_cast<size_t>(y * destination->pitch)];
    for (int32_t x = rect.left; x < rect.right; ++x)
      std::memcpy(row + x * bpp, bytes, static_cast<size_t>(bpp));
  }
  NoteFrontChanged(destination);
  return kDisplayOk;
}

DisplayResult SetSourceColorKey(Surface* surface, uint32_t low, uint32_t high) {
  if (!Live(surface)) return kDisplayInvalidParams;
  surface->keyed = true;
  surface->keyLow = low;
  surface->keyHigh = high;
  return kDisplayOk;
}

DisplayResult IsSurfaceLost(Surface* surface) {
  if (!Live(surface)) return kDisplayInvalidParams;
  return surface->lost ? kDisplaySurfaceLost : kDisplayOk;
}

DisplayResult RestoreSurface(Surface* surface) {
  if (!Live(surface)) return kDisplayInvalidParams;
  ++S().counters.restores;
  if (!surface->lost) return kDisplayOk;
  if (S().restoreAnswer != kDisplayOk) return S().restoreAnswer;
  surface->lost = false;
  std::fill(surface->pixels.begin(), surface->pixels.end(), kGarbage);
  for (Surface* back : surface->chain) {
    back->lost = false;
    std::fill(back->pixels.begin(), back->pixels.end(), kGarbage);
  }
  NoteFrontChanged(surface);
  return kDisplayOk;
}

void AttachWindowClipper(Surface* surface) {
  if (Live(surface)) surface->clipper = true;
}

bool HasWindowClipper(Surface* surface) { return Live(surface) && surface->clipper; }

void FlipToGdiSurface() { ++S().counters.flipsToGdi; }

DisplayCaps GetDisplayCaps() {
  DisplayCaps caps;
  caps.videoMemoryTotal = S().videoTotal;
  caps.videoMemoryFree = S().videoTotal - S().videoUsed;
  caps.hardware = S().hardware;
  return caps;
}

DisplayResult CreatePalette(const PaletteEntry (&entries)[kPaletteSize], Palette** out) {
  if (!out) return kDisplayInvalidParams;
  Palette* palette = new Palette;
  std::copy(entries, entries + kPaletteSize, palette->entries);
  S().palettes.push_back(palette);
  *out = palette;
  return kDisplayOk;
}

DisplayResult SetPaletteEntries(Palette* palette, int32_t first, int32_t count, const PaletteEntry* entries) {
  if (!LivePalette(palette) || !entries || first < 0 || count < 0 || first > kPaletteSize - count)
    return kDisplayInvalidParams;
  std::copy(entries, entries + count, palette->entries + first);
  for (const Surface* s : S().surfaces)
    if (s->palette == palette) NoteFrontChanged(s);
  return kDisplayOk;
}

DisplayResult GetPaletteEntries(Palette* palette, int32_t first, int32_t count, PaletteEntry* entries) {
  if (!LivePalette(palette) || !entries || first < 0 || count < 0 || first > kPaletteSize - count)
    return kDisplayInvalidParams;
  std::copy(palette->entries + first, palette->entries + first + count, entries);
  return kDisplayOk;
}

DisplayResult AttachPalette(Surface* surface, Palette* palette) {
  if (!Live(surface) || (palette && !LivePalette(palette))) return kDisplayInvalidParams;
  surface->palette = palette;
  NoteFrontChanged(surface);
  return kDisplayOk;
}

Palette* AttachedPalette(Surface* surface) { return Live(surface) ? surface->palette : nullptr; }

void ReleasePalette(Palette* palette) {
  if (!LivePalette(palette)) return;
  for (Surface* s : S().surfaces)
    if (s->palette == palette) s->palette = nullptr;
  auto& all = S().palettes;
  all.erase(std::find(all.begin(), all.end(), palette));
  delete palette;
}

void GetSystemPaletteEntries(PaletteEntry (&entries)[kPaletteSize]) {
  for (int32_t i = 0; i < kPaletteSize; ++i) {
    entries[i].red = static_cast<uint8_t>(((i >> 5) & 7) * 255 / 7);
    entries[i].green = static_cast<uint8_t>(((i >> 2) & 7) * 255 / 7);
    entries[i].blue = static_cast<uint8_t>((i & 3) * 255 / 3);
    entries[i].flags = 0;
  }
}

void SetVideoMemory(uint32_t bytes) { S().videoTotal = std::max(bytes, S().videoUsed); }
void SetHardware(bool present) { S().hardware = present; }

void FailNextSurfaceCreation(DisplayResult result) { S().failNext = result; }

void MarkSurfaceLost(Surface* surface) {
  if (!Live(surface)) return;
  surface->lost = true;
  for (Surface* back : surface->chain) back->lost = true;
}

void SetRestoreAnswer(DisplayResult result) { S().restoreAnswer = result; }
void MakeNextBlitsBusy(int32_t count) { S().busyBlits = count; }

DisplayCounters GetDisplayCounters() { return S().counters; }
int32_t LiveSurfaceCount() { return static_cast<int32_t>(S().surfaces.size()); }
int32_t LivePaletteCount() { return static_cast<int32_t>(S().palettes.size()); }

}  // namespace plat
