// Welding nearly equal corners of the raw triangles: every corner, in face
// order, pulls the corners of later faces that lie within 0.2 units onto
// itself. The plain comparison and the hashed one give the same result.
#include <algorithm>
#include <cmath>
#include <cstring>
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

// The corners by their exact point and the points by hash cell; a corner
// is face index x 3 + corner. Corners at one point are kept apart by whether
// their face's first corner lies within the box around that point, so that
// the corners a point welds without moving them are counted, not visited:
// a pile of equal faces welds in time near its size.
class CornerHash {
 public:
  explicit CornerHash(TLMAP* map) : map_(map), group_(map->NbFaces * 3) {
    // Room for every corner at a point of its own, so that the tables
    // are not grown and rehashed as the corners come in.
    byPoint_.reserve(group_.size()), cells_.reserve(group_.size());
    for (uint32_t c = 0; c < map->NbFaces * 3; ++c) Join(c, GroupAt(Corner(c)));
  }
  // The corners of faces after face i that p welds: those that move, and
  // how many are already at p.
  void Welded(uint32_t i, const TLMAPVERTEX& p, std::vector<uint32_t>* moved, long* still) const {
    moved->clear();
    *still = 0;
    const uint32_t after = (i + 1) * 3;
    const int64_t cx = Coord(p.X), cy = Coord(p.Y), cz = Coord(p.Z);
    for (int64_t x = cx - 1; x <= cx + 1; ++x)
      for (int64_t y = cy - 1; y <= cy + 1; ++y)
        for (int64_t z = cz - 1; z <= cz + 1; ++z) {
          const auto it = cells_.find(Pack(x, y, z));
          if (it == cells_.end()) continue;
          for (const uint32_t g : it->second) {
            const Group& group = groups_[g];
            if (SamePoint(group.point, p)) {
              // At p already, so within its box exactly when the first corner is.
              *still += group.boxed.end() - std::lower_bound(group.boxed.begin(), group.boxed.end(), after);
              continue;
            }
            if (!Near(group.point, p)) continue;
            for (const std::vector<uint32_t>* list : {&group.boxed, &group.other})
              for (auto c = std::lower_bound(list->begin(), list->end(), after); c != list->end(); ++c)
                if (InBox(map_->Faces[*c / 3].V[0], p)) moved->push_back(*c);
          }
        }
  }
  // Moves the corner to p.
  void Move(uint32_t corner, const TLMAPVERTEX& p) {
    Leave(corner);
    Pull(Corner(corner), p);
    Join(corner, GroupAt(p));
    if (corner % 3) return;
    // The face's first corner moved: its other corners' boxes with it.
    for (const uint32_t other : {corner + 1, corner + 2}) {
      const uint32_t g = group_[other];
      Leave(other);
      Join(other, g);
    }
  }

 private:
  struct Group {
    TLMAPVERTEX point;
    std::vector<uint32_t> boxed, other;  // ascending
  };
  TLMAPVERTEX& Corner(uint32_t c) { return map_->Faces[c / 3].V[c % 3]; }
  static bool SamePoint(const TLMAPVERTEX& a, const TLMAPVERTEX& b) {
    return std::memcmp(&a.X, &b.X, sizeof a.X) == 0 && std::memcmp(&a.Y, &b.Y, sizeof a.Y) == 0 &&
           std::memcmp(&a.Z, &b.Z, sizeof a.Z) == 0;
  }
  struct PointKey {
    uint64_t x, y, z;
    bool operator==(const PointKey& o) const { return x == o.x && y == o.y && z == o.z; }
  };
  struct PointHash {
    size_t operator()(const PointKey& k) const { return k.x * 0x9E3779B97F4A7C15u ^ k.y * 0xC2B2AE3D27D4EB4Fu ^ k.z; }
  };
  static PointKey KeyOf(const TLMAPVERTEX& v) {
    PointKey k;
    std::memcpy(&k.x, &v.X, 8), std::memcpy(&k.y, &v.Y, 8), std::memcpy(&k.z, &v.Z, 8);
    return k;
  }
  uint32_t GroupAt(const TLMAPVERTEX& p) {
    const auto [it, added] = byPoint_.try_emplace(KeyOf(p), static_cast<uint32_t>(groups_.size()));
    if (added) {
      groups_.push_back({p, {}, {}});
      cells_[Pack(Coord(p.X), Coord(p.Y), Coord(p.Z))].push_back(it->second);
    }
    return it->second;
  }
  std::vector<uint32_t>& ListOf(uint32_t corner, uint32_t g) {
    Group& group = groups_[g];
    return InBox(map_->Faces[corner / 3].V[0], group.point) ? group.boxed : group.other;
  }
  void Join(uint32_t corner, uint32_t g) {
    group_[corner] = g;
    std::vector<uint32_t>& l = ListOf(corner, g);
    l.insert(std::lower_bound(l.begin(), l.end(), corner), corner);
  }
  void Leave(uint32_t corner) {
    for (std::vector<uint32_t>* l : {&groups_[group_[corner]].boxed, &groups_[group_[corner]].other}) {
      const auto at = std::lower_bound(l->begin(), l->end(), corner);
      if (at != l->end() && *at == corner) l->erase(at);
    }
  }
  static int64_t Coord(double v) { return static_cast<int64_t>(std::floor(v / kCell)); }
  static uint64_t Pack(int64_t x, int64_t y, int64_t z) {
    return (static_cast<uint64_t>(x) & 0x1FFFFF) | (static_cast<uint64_t>(y) & 0x1FFFFF) << 21 |
           (static_cast<uint64_t>(z) & 0x1FFFFF) << 42;
  }

  TLMAP* map_;
  std::vector<uint32_t> group_;  // each corner's group
  std::vector<Group> groups_;
  std::unordered_map<PointKey, uint32_t, PointHash> byPoint_;
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;  // the groups of each cell
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
  std::vector<uint32_t> moved;
  long welded = 0;
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    progress.Step(i);
    for (int k = 0; k < 3; ++k) {
      const TLMAPVERTEX p = map->Faces[i].V[k];
      // Every test first, as the plain loop makes them before it moves
      // anything: a face's box test sees its first corner unmoved.
      long still = 0;
      hash.Welded(i, p, &moved, &still);
      for (const uint32_t corner : moved) hash.Move(corner, p);
      welded += still + static_cast<long>(moved.size());
    }
  }
  Finish(progress, welded);
  return static_cast<int32_t>(welded);
}

void SB_WeldMapVertices(TLMAP* map) { SB_WeldMapVerticesHashed(map); }
