// ".PLG" bytes, and closed convex meshes wound outward for them.
#include "datagen/plgwrite.h"

#include <algorithm>
#include <cmath>

namespace datagen {

namespace {

void Put(Bytes& out, uint32_t v) {
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

using Vec = std::array<double, 3>;
Vec Sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec Cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec Centre(const std::vector<Vec>& corners, const std::vector<uint32_t>& which) {
  Vec c{};
  for (uint32_t i : which)
    for (int k = 0; k < 3; ++k) c[k] += corners[i][k] / static_cast<double>(which.size());
  return c;
}

}  // namespace

Bytes PlgBytes(const PlgMesh& mesh) {
  Bytes out;
  Put(out, mesh.vertexCount.value_or(static_cast<uint32_t>(mesh.vertices.size())));
  for (const auto& v : mesh.vertices)
    for (int32_t c : v) Put(out, static_cast<uint32_t>(c));
  Put(out, mesh.polygonCount.value_or(static_cast<uint32_t>(mesh.polygons.size())));
  for (const PlgPolygon& p : mesh.polygons) {
    Put(out, p.count.value_or(static_cast<uint32_t>(p.indices.size())));
    for (int32_t c : p.vector) Put(out, static_cast<uint32_t>(c));
    for (uint32_t i : p.indices) Put(out, i);
  }
  return out;
}

PlgMesh ConvexPlg(const std::vector<std::array<double, 3>>& corners,
                  const std::vector<std::vector<uint32_t>>& faces) {
  PlgMesh mesh;
  for (const Vec& c : corners)
    mesh.vertices.push_back({static_cast<int32_t>(std::lround(c[0])), static_cast<int32_t>(std::lround(c[1])),
                             static_cast<int32_t>(std::lround(c[2]))});
  std::vector<uint32_t> all(corners.size());
  for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
  const Vec middle = Centre(corners, all);
  for (const auto& face : faces) {
    const Vec c = Centre(corners, face);
    Vec n = Cross(Sub(corners[face[1]], corners[face[0]]), Sub(corners[face[2]], corners[face[0]]));
    if (Dot(n, Sub(c, middle)) < 0) n = {-n[0], -n[1], -n[2]};
    const double length = std::sqrt(Dot(n, n));
    // Two axes of the face's plane: corners in turn by their angle.
    const Vec u = Sub(corners[face[0]], c), v = Cross(n, u);
    std::vector<uint32_t> order = face;
    auto angle = [&](uint32_t i) {
      const Vec d = Sub(corners[i], c);
      return std::atan2(Dot(d, v), Dot(d, u));
    };
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return angle(a) < angle(b); });
    PlgPolygon p;
    for (int k = 0; k < 3; ++k) p.vector[k] = static_cast<int32_t>(std::lround(n[k] * 16384 / length));
    p.indices = order;
    mesh.polygons.push_back(p);
  }
  return mesh;
}

}  // namespace datagen
