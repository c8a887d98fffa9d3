// Welding nearly equal corners of the raw triangles: every corner, in face
// order, pulls the corners of later faces that lie within 0.2 units onto
// itself. The plain comparison and the hashed one give the same result.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "shell/console.h"
#include "track/scene.h"

namespace {

constexpr double kWeldDistance2 = 0.04;  // squared distance below which a corner is pulled
constexpr double kBox = 512.0;           // a later face's first corner must lie this near
constexpr double kCell = 0.25;           // hash cell edge, above the weld distance

// The progress on the status line, shown whenever it changes.
struct Progress {
  uint32_t n;
  long value = -1;
  void Step(uint32_t i) {
    const long now = static_cast<long>((static_cast<uint64_t>(i) + 1) * 100 / n);
    if (now != value) SB_ConsoleStatus("Welding nearest vertices %ld/100...", now);
    value = now;
  }
};

bool InBox(const TLMAPVERTEX& first, const TLMAPVERTEX& p) {
  const double dx = first.X - p.X, dy = first.Y - p.Y, dz = first.Z - p.Z;
  return dx > -kBox && dx < kBox && dy > -kBox && dy < kBox && dz > -kBox && dz < kBox;
}

bool Near(const TLMAPVERTEX& q, const TLMAPVERTEX& p) {
  const double dx = q.X - p.X, dy = q.Y - p.Y, dz = q.Z - p.Z;
  return dx * dx + dy * dy + dz * dz < kWeldDistance2;
}

void Pull(TLMAPVERTEX& q, const TLMAPVERTEX& p) { q.X = p.X, q.Y = p.Y, q.Z = p.Z; }

void Finish(const Progress& progress, long welded) {
  SB_ConsolePrintf("Welding nearest vertices %ld/100 welded %ld vertices...", progress.value < 0 ? 0 : progress.value,
                   welded);
}

// Corners by hash cell; a corner is face index x 3 + corner.
class CornerHash {
 public:
  explicit CornerHash(const TLMAP* map) {
    cells_.reserve(map->NbFaces * 3);
    for (uint32_t i = 0; i < map->NbFaces; ++i)
      for (uint32_t k = 0; k < 3; ++k) cells_[Key(map->Faces[i].V[k])].push_back(i * 3 + k);
  }
  // The corners in the 27 cells around p.
  void Around(const TLMAPVERTEX& p, std::vector<uint32_t>* out) const {
    out->clear();
    const int64_t cx = Coord(p.X), cy = Coord(p.Y), cz = Coord(p.Z);
    for (int64_t x = cx - 1; x <= cx + 1; ++x)
      for (int64_t y = cy - 1; y <= cy + 1; ++y)
        for (int64_t z = cz - 1; z <= cz + 1; ++z) {
          const auto it = cells_.find(Pack(x, y, z));
          if (it != cells_.end()) out->insert(out->end(), it->second.begin(), it->second.end());
        }
  }
  void Move(uint32_t corner, const TLMAPVERTEX& from, const TLMAPVERTEX& to) {
    const uint64_t a = Key(from), b = Key(to);
    if (a == b) return;
    std::vector<uint32_t>& old = cells_[a];
    old.erase(std::find(old.begin(), old.end(), corner));
    cells_[b].push_back(corner);
  }

 private:
  static int64_t Coord(double v) { return static_cast<int64_t>(std::floor(v / kCell)); }
  static uint64_t Pack(int64_t x, int64_t y, int64_t z) {
    return (static_cast<uint64_t>(x) & 0x1FFFFF) | (static_cast<uint64_t>(y) & 0x1FFFFF) << 21 |
           (static_cast<uint64_t>(z) & 0x1FFFFF) << 42;
  }
  static uint64_t Key(const TLMAPVERTEX& v) { return Pack(Coord(v.X), Coord(v.Y), Coord(v.Z)); }
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;
};

}  // namespace

int32_t SB_WeldMapVerticesReference(TLMAP* map) {
  Progress progress{map->NbFaces};
  long welded = 0;
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    progress.Step(i);
    for (int k = 0; k < 3; ++k) {
      const TLMAPVERTEX p = map->Faces[i].V[k];
      for (uint32_t j = i + 1; j < map->NbFaces; ++j) {
        TLMAPFACE& f = map->Faces[j];
        if (!InBox(f.V[0], p)) continue;
        for (TLMAPVERTEX& q : f.V)
          if (Near(q, p)) Pull(q, p), ++welded;
      }
    }
  }
  Finish(progress, welded);
  return static_cast<int32_t>(welded);
}

int32_t SB_WeldMapVerticesHashed(TLMAP* map) {
  Progress progress{map->NbFaces};
  CornerHash hash(map);
  std::vector<uint32_t> around, pulled;
  long welded = 0;
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    progress.Step(i);
    for (int k = 0; k < 3; ++k) {
      const TLMAPVERTEX p = map->Faces[i].V[k];
      hash.Around(p, &around);
      // Every test first, as the plain loop makes them before it moves
      // anything: a face's box test sees its first corner unmoved.
      pulled.clear();
      for (const uint32_t corner : around) {
        const uint32_t j = corner / 3;
        if (j <= i) continue;
        const TLMAPFACE& f = map->Faces[j];
        if (InBox(f.V[0], p) && Near(f.V[corner % 3], p)) pulled.push_back(corner);
      }
      for (const uint32_t corner : pulled) {
        TLMAPVERTEX& q = map->Faces[corner / 3].V[corner % 3];
        const TLMAPVERTEX from = q;
        Pull(q, p);
        hash.Move(corner, from, q);
      }
      welded += static_cast<long>(pulled.size());
    }
  }
  Finish(progress, welded);
  return static_cast<int32_t>(welded);
}

void SB_WeldMapVertices(TLMAP* map) { SB_WeldMapVerticesHashed(map); }
