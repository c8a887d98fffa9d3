// A race map made in memory for the tests and benchmarks: a closed ring
// road of polygon cells (road, kerbs on both sides and walls, corners
// shared between neighbouring faces), texture names with flag letters, a
// centre line of one point per metre and the cells' centre-line indices;
// and the TGA pictures of its textures.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {
class MapBuilder;
}

namespace ztest {

struct RingMap {
  double radius = 150.0;  // metres, of the road's middle
  double roadHalfWidth = 6.0;
  double kerbWidth = 0.6;
  double wallHeight = 1.0;
  int32_t segments = 48;
};

// The texture names, in their index order: the road, the kerbs (letter
// O: colour entry 0), the walls (letter D: drawn from both sides).
constexpr const char* kRingRoad = "ROAD";
constexpr const char* kRingKerb = "KERB____O";
constexpr const char* kRingWall = "WALL____D";

// A polygon map's normal word triple from a unit normal.
std::array<uint16_t, 3> PolyNormal(double x, double y, double z);
// A convex polygon (corners in world units) added to one run of the
// builder's polygon map, cut at the cells' edges, each piece in its cell.
void AddCutFace(datagen::MapBuilder& b, int32_t run, const std::vector<std::array<double, 3>>& corners,
                std::array<uint16_t, 3> normal, int32_t material);

// Installs the ring as the loaded map (newly loaded) with its centre line.
void BuildRingMap(const RingMap& ring = {});
// Frees the map and the centre line.
void FreeRingMap();
// Writes their pictures ROAD.TGA, KERB____.TGA and WALL____.TGA (64 x 64,
// 24-bit) into the folder.
void WriteRingTextures(const std::string& folder);

}  // namespace ztest
