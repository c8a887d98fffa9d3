// The software path's mip levels: every texture page shrunk by 2, 4, 8 and
// 16, each level's shrunk pages packed together into 256 x 256 level pages
// of one 64 KB-aligned block. Each texel is the average of its block (8-bit
// texels through the 3D palette), or, once Escape was held, its block's
// first texel; the status line shows the progress once a second. A
// rectangle of a page whose texels were written during a race is
// resampled again into the levels.
#include <cstring>

#include "engine3d/texpages.h"
#include "engine3d/videotable.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/palette.h"

namespace {

constexpr uint32_t kBlockAlign = 65536;
constexpr uint32_t kLevelHeapSlack = 0x10100;
constexpr int32_t kEscape = 27;
constexpr int32_t kSide = SB_TEXTUREPAGESIDE;

// Recent nearest-colour answers, one slot per hashed colour; an answer
// is the one the search gives, cached or not.
class ColourCache {
 public:
  ColourCache() { std::memset(keys_, 0xFF, sizeof keys_); }
  uint8_t Nearest(int32_t r, int32_t g, int32_t b) {
    const int32_t key = r << 12 | g << 6 | b;
    const int32_t slot = (key ^ key >> 7) & (kSlots - 1);
    if (keys_[slot] != key) {
      keys_[slot] = key;
      values_[slot] = static_cast<uint8_t>(LS_FindNearestColor(r, g, b));
    }
    return values_[slot];
  }

 private:
  static constexpr int32_t kSlots = 4096;
  int32_t keys_[kSlots];
  uint8_t values_[kSlots];
};

// Texel formats for the averages: how a texel adds to three channel sums
// and how the sums' means pack back into a texel.
struct Indexed {  // 8-bit, through the 3D palette, matched to its nearest colour
  using Texel = uint8_t;
  const PALETTE* palette;
  ColourCache* cache;
  void Add(int32_t* sum, Texel v) const {
    const LS_RGB& c = palette->Entry[v];
    sum[0] += c.Red, sum[1] += c.Green, sum[2] += c.Blue;
  }
  Texel Pack(const int32_t* a) const { return cache->Nearest(a[0], a[1], a[2]); }
};
struct Rgb555 {
  using Texel = uint16_t;
  static void Add(int32_t* sum, Texel v) {
    sum[0] += (v >> 10 & 31) * 2, sum[1] += (v >> 5 & 31) * 2, sum[2] += (v & 31) * 2;
  }
  static Texel Pack(const int32_t* a) {
    return static_cast<Texel>(((a[0] & 62) << 9) + ((a[1] & 62) << 4) + a[2] / 2);
  }
};
struct Rgb565 {
  using Texel = uint16_t;
  static void Add(int32_t* sum, Texel v) {
    sum[0] += (v >> 11 & 31) * 2, sum[1] += v >> 5 & 63, sum[2] += (v & 31) * 2;
  }
  static Texel Pack(const int32_t* a) {
    return static_cast<Texel>(((a[0] & 0xFFFE) << 10) + (a[1] << 5) + a[2] / 2);
  }
};

template <typename T>
T Load(const uint8_t* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// One output row of one level of a page: each texel the mean of its s x s
// block (s = 2^level), or the block's first texel.
template <typename Format>
void ShrinkRow(const Format& f, const uint8_t* block, uint8_t* out, int32_t level, int32_t side,
               bool pointSample) {
  using Texel = typename Format::Texel;
  const int32_t s = 1 << level;
  for (int32_t x = 0; x < side; ++x, block += s * sizeof(Texel), out += sizeof(Texel)) {
    Texel v = Load<Texel>(block);
    if (!pointSample) {
      int32_t sum[3] = {0, 0, 0};
      for (int32_t dy = 0; dy < s; ++dy)
        for (int32_t dx = 0; dx < s; ++dx) f.Add(sum, Load<Texel>(block + (dy * kSide + dx) * sizeof(Texel)));
      for (int32_t& c : sum) c >>= 2 * level;
      v = f.Pack(sum);
    }
    std::memcpy(out, &v, sizeof v);
  }
}

// Texels of three or four bytes: the mean of each byte.
void ShrinkRowBytes(int32_t bytes, const uint8_t* block, uint8_t* out, int32_t level, int32_t side,
                    bool pointSample) {
  const int32_t s = 1 << level;
  for (int32_t x = 0; x < side; ++x, block += s * bytes, out += bytes)
    for (int32_t c = 0; c < bytes; ++c) {
      int32_t sum = 0;
      for (int32_t dy = 0; dy < s && !pointSample; ++dy)
        for (int32_t dx = 0; dx < s; ++dx) sum += block[(dy * kSide + dx) * bytes + c];
      out[c] = pointSample ? block[c] : static_cast<uint8_t>(sum >> 2 * level);
    }
}

// The shrink of the pages' format.
struct Shrink {
  int32_t bytes, format;
  Indexed indexed;
  void Row(const uint8_t* block, uint8_t* out, int32_t level, int32_t side, bool pointSample) const {
    if (bytes == 1)
      ShrinkRow(indexed, block, out, level, side, pointSample);
    else if (bytes == 2 && format == BMAP_RGB555)
      ShrinkRow(Rgb555{}, block, out, level, side, pointSample);
    else if (bytes == 2)
      ShrinkRow(Rgb565{}, block, out, level, side, pointSample);
    else
      ShrinkRowBytes(bytes, block, out, level, side, pointSample);
  }
};

// The progress: work units done (one per output row), Escape seen, and the
// status line once the elapsed whole seconds change.
struct Progress {
  int64_t total = 0, done = 0;
  uint32_t start = 0;
  uint32_t shownSeconds = 0;
  bool escaped = false;

  void Line(bool print) const {
    const long percent = total ? static_cast<long>(done * 100 / total) : 100;
    const long seconds = static_cast<long>((SB_GetTime() - start) / 1000);
    const char* format = escaped ? "Resizing textures for mipmapping: %ld/100  %lds"
                                 : "Resampling textures for mipmapping: %ld/100  %lds";
    if (print)
      SB_ConsolePrintf(format, percent, seconds);
    else
      SB_ConsoleStatus(format, percent, seconds);
  }
  // After an output row: the key, then the line when a second has passed.
  void Row() {
    ++done;
    if (SB_KeyDown(kEscape)) escaped = true;
    const uint32_t seconds = (SB_GetTime() - start) / 1000;
    if (seconds != shownSeconds) {
      shownSeconds = seconds;
      Line(false);
    }
  }
};

// The level's block and its level pages, cleared; null when refused.
uint8_t* AllocLevel(int32_t level, int32_t levelPages, int32_t bytes) {
  const uint32_t pagesBytes = static_cast<uint32_t>(levelPages + 1) * bytes * kBlockAlign;
  const HHEAP heap = LS_GetHeap(pagesBytes + kLevelHeapSlack);
  if (!heap) return nullptr;
  auto* block = static_cast<uint8_t*>(LS_GetMemHeap(heap, pagesBytes + kBlockAlign));
  if (!block) {
    LS_ReleaseHeap(heap);
    return nullptr;
  }
  SB_Var.MipHeaps[level - 1] = heap;
  SB_Var.TextureMemory += static_cast<int32_t>(pagesBytes + kBlockAlign);
  uint8_t* first = block - reinterpret_cast<uintptr_t>(block) % kBlockAlign + kBlockAlign;
  std::memset(first, 0, static_cast<size_t>(levelPages) * bytes * kBlockAlign);
  return first;
}

// The shrink of the selected mode's pages.
Shrink PageShrink(ColourCache* cache) {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  return Shrink{SB_TextureBytes(), mode ? mode->TextureFormat : 0, {SB_Var.Pal3d, cache}};
}

}  // namespace

void SB_ResampleTextureArea(int32_t page, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (page < 0 || page >= SB_Var.NbTexturePages || page >= SB_MAXTEXTTRI || !SB_Var.TexturePages[page]) return;
  const int32_t x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  const int32_t x1 = static_cast<int32_t>(int64_t{x} + w > kSide ? kSide : int64_t{x} + w);
  const int32_t y1 = static_cast<int32_t>(int64_t{y} + h > kSide ? kSide : int64_t{y} + h);
  if (x1 <= x0 || y1 <= y0) return;
  ColourCache cache;
  const Shrink shrink = PageShrink(&cache);
  if (shrink.bytes == 1 && SB_Var.Pal3d) LS_InitColorSearch(SB_Var.Pal3d);
  const bool pointSample = shrink.bytes == 1 && !SB_Var.Pal3d;
  const uint8_t* source = SB_Var.TexturePages[page]->Start;
  for (int32_t level = 1; level <= SB_NBMIPLEVELS; ++level) {
    const TMIPPAGE& mip = SB_Var.MipPages[level - 1][page];
    if (!mip.Texels) continue;
    // Every texel of this level whose block holds a changed texel: the
    // last ones from the rectangle's last column and row on.
    const int32_t s = 1 << level, first = x0 >> level, columns = ((x1 - 1) >> level) - first + 1;
    for (int32_t row = y0 >> level; row <= (y1 - 1) >> level; ++row) {
      uint8_t* out = mip.Texels + (static_cast<ptrdiff_t>(mip.Y + row) * kSide + mip.X + first) * shrink.bytes;
      shrink.Row(source + (static_cast<ptrdiff_t>(row) * s * kSide + first * s) * shrink.bytes, out, level, columns,
                 pointSample);
    }
  }
}

void SB_ResampleTextures() {
  const int32_t pages = SB_Var.NbTexturePages;
  const int32_t bytes = SB_TextureBytes();
  ColourCache cache;
  const Shrink shrink = PageShrink(&cache);
  if (bytes == 1 && SB_Var.Pal3d) LS_InitColorSearch(SB_Var.Pal3d);
  Progress progress;
  for (int32_t level = 1; level <= SB_NBMIPLEVELS; ++level) progress.total += int64_t{kSide >> level} * pages;
  progress.start = SB_GetTime();

  for (int32_t level = 1; level <= SB_NBMIPLEVELS && pages > 0; ++level) {
    const int32_t s = 1 << level, side = kSide >> level, perPage = s * s;
    const int32_t levelPages = (pages + perPage - 1) / perPage;
    uint8_t* first = AllocLevel(level, levelPages, bytes);
    if (!first) break;
    for (int32_t p = 0; p < pages; ++p) {
      TMIPPAGE& mip = SB_Var.MipPages[level - 1][p];
      mip = {first + static_cast<ptrdiff_t>(p / perPage) * bytes * kBlockAlign, p % s * side,
             p / s % s * side};
      const uint8_t* source = SB_Var.TexturePages[p] ? SB_Var.TexturePages[p]->Start : nullptr;
      // Without the 3D palette, 8-bit texels can only be picked, not mixed.
      const bool pointSample = progress.escaped || (bytes == 1 && !SB_Var.Pal3d);
      for (int32_t y = 0; y < side; ++y) {
        uint8_t* out = mip.Texels + (static_cast<ptrdiff_t>(mip.Y + y) * kSide + mip.X) * bytes;
        if (source)
          shrink.Row(source + static_cast<ptrdiff_t>(y) * s * kSide * bytes, out, level, side, pointSample);
        progress.Row();
      }
    }
  }
  progress.Line(true);
}
