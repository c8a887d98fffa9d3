// Visibility sets: for every small cube, the small cubes hidden from it on
// the track's top-view occlusion picture (a cell of 4 x 4 pixels per small
// cube, every non-zero pixel blocking), as lists of relative codes; and the
// check of a loaded map's big-cube faces for a vertex number 255.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <string>
#include <vector>

#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "track/cubes.h"
#include "track/decor.h"
#include "track/track.h"

namespace {

constexpr const char* kOwner = "SB_3D_BuildPvs";
constexpr uint16_t kEndOfList = 65535;
constexpr int32_t kSamples[4] = {-2, 0, 2, 4};  // offsets of a cell's sample points
constexpr int32_t kSpreadLow = -2, kSpreadHigh = 4;

// A small cube's cell: its cube numbers on x and z and the pixel of its
// corner; Inside when every sample point lies on the picture.
struct TCELL {
  int32_t CubeX, CubeZ, X, Y;
  bool Inside;
};

TCELL CellOf(const TBIGENTITY& big, const TSMALLENTITY& small, const BMAP* picture) {
  TCELL c;
  c.CubeX = 4 * big.KeyX - 256 + small.X - 64;
  c.CubeZ = 4 * big.KeyZ - 256 + small.Z - 64;
  c.X = 4 * c.CubeX + 314;
  c.Y = 242 - 4 * c.CubeZ;
  c.Inside = c.X + kSpreadLow >= 0 && c.Y + kSpreadLow >= 0 && c.X + kSpreadHigh < picture->SizeX &&
             c.Y + kSpreadHigh < picture->SizeY;
  return c;
}

bool Visible(const BMAP* picture, const TCELL& a, const TCELL& b) {
  if (!a.Inside || !b.Inside) return true;
  for (int32_t ax : kSamples)
    for (int32_t ay : kSamples)
      for (int32_t bx : kSamples)
        for (int32_t by : kSamples)
          if (SB_PvsLineClear(picture, a.X + ax, a.Y + ay, b.X + bx, b.Y + by)) return true;
  return false;
}

// The small entitys in big-entity order, with their cells.
struct TENTRY {
  int32_t Index;  // into the small-entity array
  TCELL Cell;
};

// Whether the code of a cube dx, dz cells away can be listed: beyond, codes
// alias, and such a cube is counted visible.
bool InReach(int32_t dx, int32_t dz) { return dx >= -127 && dx <= 126 && dz >= -127 && dz <= 126; }

// Whether no line joins the two cells, for cells that either could list. A
// line's pixels do not depend on which end it starts from, so this is the
// same both ways.
bool Hidden(const BMAP* picture, const TCELL& a, const TCELL& b) {
  const int32_t dx = b.CubeX - a.CubeX, dz = b.CubeZ - a.CubeZ;
  if (!InReach(dx, dz) && !InReach(-dx, -dz)) return false;
  return !Visible(picture, a, b);
}

// The hidden pairs a < b of the entries, one bit each, found by worker
// threads taking rows in turn; the bits do not depend on the thread count.
class THIDDENPAIRS {
 public:
  THIDDENPAIRS(const BMAP* picture, const std::vector<TENTRY>& entries) : n_(entries.size()), start_(n_ + 1) {
    for (size_t a = 0; a < n_; ++a) start_[a + 1] = start_[a] + (n_ - a - 1);
    bits_.assign((start_[n_] + 63) / 64, 0);
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t a; (a = next.fetch_add(1)) < n_;)
        for (size_t b = a + 1; b < n_; ++b)
          if (Hidden(picture, entries[a].Cell, entries[b].Cell)) Set(a, b);
    };
    const size_t threads = std::max<size_t>(1, std::min<size_t>(std::thread::hardware_concurrency(), n_ / 16 + 1));
    std::vector<std::thread> workers;
    for (size_t t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
  }
  bool Get(size_t a, size_t b) const {
    if (a == b) return false;
    if (a > b) std::swap(a, b);
    const uint64_t bit = start_[a] + (b - a - 1);
    return bits_[bit / 64] >> (bit % 64) & 1;
  }

 private:
  // Rows are taken whole by one thread, but two rows may share a word.
  void Set(size_t a, size_t b) {
    const uint64_t bit = start_[a] + (b - a - 1);
    std::atomic_ref<uint64_t>(bits_[bit / 64]).fetch_or(uint64_t{1} << (bit % 64));
  }
  size_t n_;
  std::vector<uint64_t> start_;  // the first bit of each row
  std::vector<uint64_t> bits_;
};

struct TPVSBUILD {
  const BMAP* Picture;
  std::vector<TENTRY> Entries;
  const THIDDENPAIRS* Hidden = nullptr;
  bool Full = false;
};

// Appends the code unless the list from first holds it already; false when
// no room is left for it and the list's end.
bool AddCode(uint32_t first, uint16_t code) {
  TDECOR& d = SB_Var.Decor;
  for (int32_t i = static_cast<int32_t>(first); i < d.NbSeenEntitysList; ++i)
    if (d.SeenEntitysList[i] == code) return true;
  if (d.NbSeenEntitysList + 2 > SB_MapCapacities.SeenList) return false;
  d.SeenEntitysList[d.NbSeenEntitysList++] = code;
  return true;
}

// Builds the list of entry a: the hidden cubes' codes, ended by 65535.
void BuildList(TPVSBUILD* build, size_t entry) {
  TDECOR& d = SB_Var.Decor;
  const TENTRY& a = build->Entries[entry];
  uint32_t& seen = d.SeenEntitys[a.Index];
  seen = 0;
  if (build->Full) return;
  const uint32_t first = static_cast<uint32_t>(d.NbSeenEntitysList);
  for (size_t other = 0; other < build->Entries.size(); ++other) {
    const TENTRY& b = build->Entries[other];
    const int32_t dx = b.Cell.CubeX - a.Cell.CubeX, dz = b.Cell.CubeZ - a.Cell.CubeZ;
    if (!InReach(dx, dz) || !build->Hidden->Get(entry, other)) continue;
    seen = first * sizeof(uint16_t);
    if (!AddCode(first, SB_PvsCode(dx, dz))) {
      if (static_cast<uint32_t>(d.NbSeenEntitysList) == first) seen = 0;  // nothing of it stored
      build->Full = true;
      SB_ConsolePrintf("PVS list full...");
      break;
    }
  }
  if (seen) d.SeenEntitysList[d.NbSeenEntitysList++] = kEndOfList;
}

bool AllocateSets() {
  TDECOR& d = SB_Var.Decor;
  d.SeenEntitys = static_cast<uint32_t*>(SB_GetMemHeap(SB_MAXSMALLENTITYS * sizeof(uint32_t), kOwner));
  d.SeenEntitysList = static_cast<uint16_t*>(SB_GetMemHeap(SB_MapCapacities.SeenList * static_cast<int32_t>(sizeof(uint16_t)), kOwner));
  d.NbSeenEntitysList = 1;
  if (d.SeenEntitys && d.SeenEntitysList) return true;
  SB_ConsolePrintf("Memory allocation error...");
  return false;
}

void WalkEntities(TPVSBUILD* build, BMAP* test) {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    const TBIGENTITY& big = d.BigEntitys[i];
    const uint32_t first = big.SmallEntitys / sizeof(TSMALLENTITY);
    for (uint32_t s = first; s < first + big.NbSmallEntitys; ++s)
      build->Entries.push_back({static_cast<int32_t>(s), CellOf(big, d.SmallEntitys[s], build->Picture)});
  }
  const THIDDENPAIRS hidden(build->Picture, build->Entries);
  build->Hidden = &hidden;
  size_t next = 0;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    for (int32_t s = 0; s < d.BigEntitys[i].NbSmallEntitys; ++s, ++next) {
      const TENTRY& a = build->Entries[next];
      BuildList(build, next);
      if (a.Cell.Inside)
        SB_Bitmove(const_cast<BMAP*>(build->Picture), test, a.Cell.X, a.Cell.Y, a.Cell.X + 3, a.Cell.Y + 3, a.Cell.X,
                   a.Cell.Y);
    }
    if (i % 3 == 0)
      SB_ConsoleStatus("PVS progress: %ld/%ld  Hidden: %ld", long{i}, long{d.NbBigEntitys}, long{d.NbSeenEntitysList});
  }
}

}  // namespace

uint16_t SB_PvsCode(int32_t dx, int32_t dz) { return static_cast<uint16_t>((dz * 256 + dx - 32640) & 0xFFFF); }

int32_t SB_PvsLineClear(const BMAP* picture, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const bool xMajor = std::abs(y2 - y1) <= std::abs(x2 - x1);
  // Walk along the major axis a from the end with the smaller a; b is the minor axis.
  int32_t a0 = xMajor ? x1 : y1, b0 = xMajor ? y1 : x1, a1 = xMajor ? x2 : y2, b1 = xMajor ? y2 : x2;
  if (a1 < a0) std::swap(a0, a1), std::swap(b0, b1);
  const int32_t da = a1 - a0, db = std::abs(b1 - b0), step = b1 > b0 ? 1 : -1;
  int32_t e = 2 * db - da, b = b0;
  for (int32_t a = a0 + 1; a <= a1; ++a) {
    if (e >= 0) {
      e += 2 * (db - da);
      b += step;
    } else {
      e += 2 * db;
    }
    const int32_t x = xMajor ? a : b, y = xMajor ? b : a;
    if (x < 0 || y < 0 || x >= picture->SizeX || y >= picture->SizeY) continue;
    if (picture->Start[static_cast<size_t>(y) * picture->ByteLen + x]) return 0;
  }
  return 1;
}

// Weak, as SB_CheckFacePoints, so that tests of the callers can record them.
__attribute__((weak)) void SB_3D_BuildPvs() {
  if (!AllocateSets() || !SB_Var.UsingPvs) return;
  SB_ConsolePrintf("Building PVS...");
  const std::string path = std::string("txt>") + SB_Var.TexturePath + "pvs.pcx";
  BMAP* picture = SB_LoadPcx(path.c_str(), 0);
  if (!picture || picture->Depth != 8) {
    SB_ConsolePrintf("Error while loading bmap in %s...", path.c_str());
    if (picture) SB_FreeBmap(picture);
    return;
  }
  PALETTE* palette = SB_LoadPalette(path.c_str());
  if (!palette) {
    SB_ConsolePrintf("Error while loading pal in %s...", path.c_str());
    SB_FreeBmap(picture);
    return;
  }
  BMAP* test = SB_CreateBmap(SB_PVSWIDTH, SB_PVSHEIGHT, 8, 0, "Pvs Test");
  if (!test) {
    SB_ConsolePrintf("Memory error...");
    SB_FreePalette(palette);
    SB_FreeBmap(picture);
    return;
  }
  TPVSBUILD build;
  build.Picture = picture;
  if (SB_Var.Decor.NbBigEntitys == 0) SB_ConsoleStatus("Error no cubes...");
  WalkEntities(&build, test);
  SB_ConsolePrintf("%s", SB_LastStatusLine().c_str());
  SB_FreePalette(palette);
  SB_FreeBmap(test);
  SB_FreeBmap(picture);
  SB_ConsolePrintf("PVS ok...");
}

__attribute__((weak)) void SB_CheckFacePoints() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    const TBIGENTITY& big = d.BigEntitys[i];
    const TMAPFACE* faces = SB_DecorFaceRun(big.Faces, big.NbFaces);
    for (int32_t f = 0; faces && f < big.NbFaces; ++f)
      for (int32_t k = 0; k < 3; ++k)
        if (faces[f].Vertex[k] == 255) {
          LS_Message("Face with pnt number 255");
          return;
        }
  }
}
