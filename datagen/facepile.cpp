// Scenes of bad geometry: a pile of triangles in one cube, one triangle
// repeated; objects of 5,000 faces (an object holds at most 16,384 corners).
#include "datagen/facepile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

namespace datagen {

namespace {

using Triangle = std::array<std::array<double, 5>, 3>;  // x, y, z, u, v of each corner

std::string Scene(int32_t faces, const std::function<Triangle(int32_t)>& corners) {
  std::string out;
  char line[160];
  for (int32_t first = 0, object = 0; first < faces; first += 5000, ++object) {
    const int32_t n = std::min(5000, faces - first);
    std::snprintf(line, sizeof line, "Named object: \"PILE%d\"\r\nTri-mesh, Vertices: %d Faces: %d\r\nVertex list:\r\n",
                  object, 3 * n, n);
    out += line;
    for (int32_t i = 0; i < n; ++i) {
      const Triangle t = corners(first + i);
      for (int32_t k = 0; k < 3; ++k) {
        std::snprintf(line, sizeof line, "Vertex %d: X:%.4f Y:%.4f Z:%.4f U:%.3f V:%.3f\r\n", 3 * i + k, t[k][0],
                      t[k][1], t[k][2], t[k][3], t[k][4]);
        out += line;
      }
    }
    out += "Face list:\r\n";
    for (int32_t i = 0; i < n; ++i) {
      std::snprintf(line, sizeof line, "Face %d: A:%d B:%d C:%d AB:1 BC:1 CA:1\r\nMaterial:\"ROUT1 C\"\r\n", i, 3 * i,
                    3 * i + 1, 3 * i + 2);
      out += line;
    }
  }
  return out;
}

}  // namespace

std::string FacePileScene(int32_t faces, uint32_t seed) {
  auto next = [&seed](double span) {
    seed = seed * 1664525u + 1013904223u;
    return span * (seed >> 8) / double(1u << 24);
  };
  return Scene(faces, [&](int32_t) {
    Triangle t;
    const double x = 0.2 + next(11), y = 0.2 + next(11), z = 0.2 + next(11);
    for (auto& p : t) p = {x + next(1), y + next(1), z + next(1), next(1), next(1)};
    return t;
  });
}

std::string RepeatedFaceScene(int32_t faces) {
  return Scene(faces, [](int32_t) { return Triangle{{{1, 1, 0, 0, 0}, {2, 1, 0, 1, 0}, {1, 2, 0, 0, 1}}}; });
}

}  // namespace datagen
