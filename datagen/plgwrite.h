// Writes ".PLG" polygon files (the car shadows' meshes): the vertex count,
// the vertices (three i32), the polygon count, then per polygon its index
// count, its outward vector (three i32) and its indices, little-endian.
// Every count can be set by hand, so that the reader's tests can make bad
// files too.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datagen/modelwrite.h"

namespace datagen {

struct PlgPolygon {
  std::array<int32_t, 3> vector{};
  std::vector<uint32_t> indices;
  std::optional<uint32_t> count;  // stored index count, else the indices'
};

struct PlgMesh {
  std::vector<std::array<int32_t, 3>> vertices;
  std::vector<PlgPolygon> polygons;
  std::optional<uint32_t> vertexCount, polygonCount;  // stored counts, else the real ones
};

Bytes PlgBytes(const PlgMesh& mesh);

// A closed convex mesh from its corners and each face's corner set: each
// face's corners put in turn about its outward direction (right-handed)
// and that direction, 16384 long, as its vector.
PlgMesh ConvexPlg(const std::vector<std::array<double, 3>>& corners,
                  const std::vector<std::vector<uint32_t>>& faces);

}  // namespace datagen
