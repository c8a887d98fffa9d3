// Race maps built in code: faces given in map or world coordinates are
// sorted into the loaded map's records (small and big cubes, polygon cells
// with their shared points), then installed as the loaded map, as a load
// would leave it. Used by datagen for the default circuit and by the tests
// and benchmarks for their maps.
#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "track/types.h"

namespace datagen {

// The up-facing normals of a flat floor in the two forms.
constexpr std::array<uint8_t, 3> kCubeUp = {64, 128, 64};
constexpr std::array<uint16_t, 3> kPolyUp = {8256, 16448, 8256};

// A map position: cube faces in map units (one world unit of 1/320 m is
// 1/32 of them; map 64 is world 0), polygon faces in world units.
struct Point3 {
  int32_t x, y, z;
};

class MapBuilder {
 public:
  // Texture names (cube faces) and material names (polygons), 15
  // characters at most; their indices.
  int32_t Texture(const std::string& name);
  int32_t Material(const std::string& name);

  // A triangle or quadrangle of the cube map, corners in map units, all in
  // the small cube of the first corner (0..128 from its corner).
  void CubeFace(const std::vector<Point3>& corners, std::array<uint8_t, 3> normal, int32_t texture);
  // A reduced face of a big cube, corners relative to the big cube's corner,
  // its first corner flagged for the eager transform.
  void BigCubeFace(Point3 bigCube, const std::vector<Point3>& corners, int32_t texture,
                   std::array<uint8_t, 3> normal = kCubeUp);
  // The list of small cubes hidden from a small cube (map units of any of
  // its points); a small cube without one has none.
  void SeenList(Point3 mapPoint, const std::vector<uint16_t>& codes);

  // A convex polygon of one run of the cell holding its first corner,
  // corners in world units (heights on the polygon map's origin).
  void PolyFace(int32_t run, const std::vector<Point3>& corners, std::array<uint16_t, 3> normal, int32_t material);

  // A flat square of the map in both forms, side small cubes of 128 map
  // units from map (x0, z0), at map height y: one quadrangle per small cube,
  // and the same square on the polygon map (0.2 m off in x and z, 4 world
  // units off in height, as the polygon map lies), cut at cell edges, in
  // the ground, wheel and body runs.
  void FlatSquare(int32_t x0, int32_t z0, int32_t side, int32_t y, int32_t texture, int32_t material);

  // Frees the loaded map and installs this one as loaded and newly loaded:
  // owner-tagged arrays, names, published copies.
  void Install() const;

 private:
  struct SmallCube {
    std::vector<TMAPVERTEX> vertices;
    std::vector<TMAPFACE> faces;
    std::vector<uint16_t> seen;
  };
  struct BigCube {
    std::vector<TWORDVERTEX> vertices;
    std::vector<TMAPFACE> faces;
  };
  struct PolyFaceData {
    std::vector<uint16_t> corners;  // indices into the cell's points
    TFFACEPOLY face;
  };
  struct Cell {
    std::vector<TFPOINTOFFSET> points;
    std::vector<PolyFaceData> faces[SB_CELLRUNS];
  };
  using Key = std::tuple<int32_t, int32_t, int32_t>;  // x, y, z numbers
  struct Layout;

  void Lay(Layout* out) const;
  std::vector<std::string> textures_, materials_;
  std::map<Key, SmallCube> smalls_;
  std::map<Key, BigCube> bigs_;
  std::map<Key, Cell> cells_;
};

}  // namespace datagen
