// The shadow meshes of the stock car: its hull, body, cabin and wheel as
// convex blocks and a prism.
#include "datagen/carshadows.h"

#include <cmath>

namespace datagen {

namespace {

constexpr double kUnits = 60000.0;

// A point given in the car's axes (x right, y down, z forward), metres.
std::array<double, 3> Car(double x, double y, double z) { return {-y * kUnits, z * kUnits, -x * kUnits}; }

// A block of eight corners: a base (half width, height, rear, front) and
// a top; corner bits: 1 top, 2 front, 4 left.
struct Level {
  double halfWidth, y, rear, front;
};
PlgMesh Block(const Level& base, const Level& top) {
  std::vector<std::array<double, 3>> corners;
  for (int i = 0; i < 8; ++i) {
    const Level& l = i & 1 ? top : base;
    corners.push_back(Car(i & 4 ? -l.halfWidth : l.halfWidth, l.y, i & 2 ? l.front : l.rear));
  }
  return ConvexPlg(corners,
                   {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}});
}

// The body below the belt line and the cabin on it, as one hull: the
// floor, the belt line and the roof, four corners each.
PlgMesh Hull() {
  const Level levels[3] = {{0.95, 0.35, -2.3, 2.3}, {0.95, -0.05, -2.3, 2.3}, {0.8, -0.55, -0.9, 0.4}};
  std::vector<std::array<double, 3>> corners;
  for (const Level& l : levels)  // 0 right rear, 1 right front, 2 left front, 3 left rear
    for (const auto& [side, end] : {std::pair(1, 0), {1, 1}, {-1, 1}, {-1, 0}})
      corners.push_back(Car(side * l.halfWidth, l.y, end ? l.front : l.rear));
  std::vector<std::vector<uint32_t>> faces = {{0, 1, 2, 3}, {8, 9, 10, 11}};  // floor, roof
  for (uint32_t level = 0; level < 2; ++level)
    for (uint32_t k = 0; k < 4; ++k) {
      const uint32_t a = 4 * level + k, b = 4 * level + (k + 1) % 4;
      faces.push_back({a, b, b + 4, a + 4});
    }
  return ConvexPlg(corners, faces);
}

// A wheel of radius 0.32 m and width 0.26 m about the model z axis, as an
// eight-sided prism.
PlgMesh Wheel() {
  constexpr int kSides = 8;
  const double r = 0.32 * kUnits, half = 0.13 * kUnits;
  std::vector<std::array<double, 3>> corners;
  std::vector<std::vector<uint32_t>> faces(2);
  for (uint32_t i = 0; i < kSides; ++i) {
    const double a = 2 * M_PI * i / kSides;
    corners.push_back({r * std::cos(a), r * std::sin(a), -half});
    corners.push_back({r * std::cos(a), r * std::sin(a), half});
    faces[0].push_back(2 * i), faces[1].push_back(2 * i + 1);
    const uint32_t next = (i + 1) % kSides;
    faces.push_back({2 * i, 2 * next, 2 * next + 1, 2 * i + 1});
  }
  return ConvexPlg(corners, faces);
}

}  // namespace

std::vector<NamedPlg> ShadowMeshes() {
  return {{"PLG/CARENV.PLG", Hull()},
          {"PLG/CAISSE.PLG", Block({0.95, 0.35, -2.3, 2.3}, {0.95, -0.05, -2.3, 2.3})},
          {"PLG/TOIT.PLG", Block({0.9, -0.05, -1.2, 1.0}, {0.8, -0.55, -0.9, 0.4})},
          {"PLG/ROUE.PLG", Wheel()}};
}

}  // namespace datagen
