// A race map made in memory for the tests and benchmarks: a closed ring
// road of polygon cells (road, kerbs on both sides and walls, corners
// shared between neighbouring faces), texture names with flag letters, a
// centre line of one point per metre and the cells' centre-line indices;
// and the TGA pictures of its textures.
#pragma once
#include <cstdint>
#include <string>

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

// Installs the ring as the loaded map (newly loaded) with its centre line.
void BuildRingMap(const RingMap& ring = {});
// Frees the map and the centre line.
void FreeRingMap();
// Writes their pictures ROAD.TGA, KERB____.TGA and WALL____.TGA (64 x 64,
// 24-bit) into the folder.
void WriteRingTextures(const std::string& folder);

}  // namespace ztest
