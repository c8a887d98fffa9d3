// Palette remap with 2 x 2 dithering: each source colour becomes the
// mixture of four destination entries whose mean comes nearest to it,
// chosen among its ten nearest entries.
#include <algorithm>
#include <array>
#include <cstddef>

#include "shell/gamepicture.h"

namespace {

constexpr int32_t kKept = 10;  // nearest destination entries considered
constexpr int32_t kTopLeft = 0, kTopRight = 1, kBottomLeft = 2, kBottomRight = 3;

int64_t Distance(const LS_RGB& a, const LS_RGB& b) {
  const int64_t dr = a.Red - b.Red, dg = a.Green - b.Green, db = a.Blue - b.Blue;
  return dr * dr + dg * dg + db * db;
}

struct Candidate {
  int32_t entry;
  int64_t distance;
};

// The ten nearest entries, nearest first; of equal distances the one
// found first ranks first.
std::array<Candidate, kKept> Nearest(const LS_RGB& colour, const PALETTE& palette) {
  std::array<Candidate, 256> all;
  for (int32_t i = 0; i < 256; ++i) all[i] = {i, Distance(colour, palette.Entry[i])};
  std::stable_sort(all.begin(), all.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
  std::array<Candidate, kKept> kept;
  std::copy_n(all.begin(), kKept, kept.begin());
  return kept;
}

// The error of four entries' mean, times four, squared per component,
// plus their own distances.
int64_t MixtureCost(const LS_RGB& colour, const PALETTE& palette, const std::array<Candidate, kKept>& kept,
                    const int32_t (&rank)[4]) {
  int64_t r = -4 * colour.Red, g = -4 * colour.Green, b = -4 * colour.Blue, own = 0;
  for (int32_t k : rank) {
    const LS_RGB& e = palette.Entry[kept[k].entry];
    r += e.Red;
    g += e.Green;
    b += e.Blue;
    own += kept[k].distance;
  }
  return r * r + g * g + b * b + own;
}

// The four ranks of the cheapest mixture; choices are tried from the
// farthest ranks down and the first of equal cost wins.
void BestMixture(const LS_RGB& colour, const PALETTE& palette, const std::array<Candidate, kKept>& kept,
                 int32_t (&best)[4]) {
  int64_t bestCost = INT64_MAX;
  int32_t rank[4];
  for (rank[0] = kKept - 1; rank[0] >= 0; --rank[0])
    for (rank[1] = kKept - 1; rank[1] >= rank[0]; --rank[1])
      for (rank[2] = kKept - 1; rank[2] >= rank[1]; --rank[2])
        for (rank[3] = kKept - 1; rank[3] >= rank[2]; --rank[3]) {
          const int64_t cost = MixtureCost(colour, palette, kept, rank);
          if (cost < bestCost) {
            bestCost = cost;
            std::copy_n(rank, 4, best);
          }
        }
}

}  // namespace

void SB_BuildRemapPatterns(const PALETTE* sourcePalette, const PALETTE* destinationPalette,
                           SB_REMAPPATTERNS* out) {
  if (!sourcePalette || !destinationPalette || !out) return;
  const PALETTE& palette = *destinationPalette;
  for (int32_t c = 0; c < 256; ++c) {
    const LS_RGB& colour = sourcePalette->Entry[c];
    const std::array<Candidate, kKept> kept = Nearest(colour, palette);
    int32_t rank[4];
    BestMixture(colour, palette, kept, rank);
    int32_t cell[4];
    for (int32_t i = 0; i < 4; ++i) cell[i] = kept[rank[i]].entry;
    // The bottom-right cell takes the entry nearest to the top-left one,
    // so that the two like colours sit on a diagonal.
    const LS_RGB& first = palette.Entry[cell[kTopLeft]];
    const auto nearer = [&](int32_t a, int32_t b) {
      return Distance(palette.Entry[cell[a]], first) < Distance(palette.Entry[cell[b]], first);
    };
    if (nearer(kTopRight, kBottomRight)) std::swap(cell[kTopRight], cell[kBottomRight]);
    if (nearer(kBottomLeft, kBottomRight)) std::swap(cell[kBottomLeft], cell[kBottomRight]);
    for (int32_t i = 0; i < 4; ++i) out->Entry[i][c] = static_cast<uint8_t>(cell[i]);
  }
}

void SB_ApplyRemapPatterns(BMAP* source, BMAP* destination, const SB_REMAPPATTERNS* patterns) {
  if (!source || !destination || !patterns || source->Depth != 8 || destination->Depth != 8) return;
  const int32_t width = std::min(source->SizeX, destination->SizeX);
  const int32_t height = std::min(source->SizeY, destination->SizeY);
  LS_LockBmap(source);
  LS_LockBmap(destination);
  if (source->Start && destination->Start) {
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* from = source->Start + static_cast<ptrdiff_t>(y) * source->ByteLen;
      uint8_t* to = destination->Start + static_cast<ptrdiff_t>(y) * destination->ByteLen;
      const uint8_t* even = patterns->Entry[(y & 1) ? kBottomLeft : kTopLeft];
      const uint8_t* odd = patterns->Entry[(y & 1) ? kBottomRight : kTopRight];
      for (int32_t x = 0; x < width; ++x) to[x] = (x & 1) ? odd[from[x]] : even[from[x]];
    }
  }
  LS_UnlockBmap(destination);
  LS_UnlockBmap(source);
}

void SB_RemapBmap(BMAP* source, const PALETTE* sourcePalette, BMAP* destination,
                  const PALETTE* destinationPalette) {
  if (!source || !destination || !sourcePalette || !destinationPalette) return;
  if (source->Depth != 8 || destination->Depth != 8) return;
  SB_REMAPPATTERNS patterns;
  SB_BuildRemapPatterns(sourcePalette, destinationPalette, &patterns);
  SB_ApplyRemapPatterns(source, destination, &patterns);
}
