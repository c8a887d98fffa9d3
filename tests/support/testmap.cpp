// The ring map of the tests and benchmarks, built with the map builder of
// datagen and given its centre line.
#include "tests/support/testmap.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "datagen/mapbuild.h"
#include "datagen/tgawrite.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "track/decor.h"

namespace ztest {

namespace {

constexpr double kUnits = 320.0;  // world units a metre
constexpr double kTurn = 6.283185307179586;

constexpr double kCell = 16384.0;  // world units of a polygon cell, whose first starts at -8192

struct P {
  double x, y, z;
};
using Poly = std::vector<P>;

P At(double angle, double radius, double height) {
  return {std::cos(angle) * radius * kUnits, height * kUnits, std::sin(angle) * radius * kUnits};
}

// The part of the polygon on the kept side of x (axis 0) or z (axis 2) = v.
Poly Cut(const Poly& in, int axis, double v, bool keepAbove) {
  Poly out;
  auto coord = [axis](const P& p) { return axis == 0 ? p.x : p.z; };
  auto inside = [&](const P& p) { return keepAbove ? coord(p) >= v : coord(p) <= v; };
  for (size_t i = 0; i < in.size(); ++i) {
    const P &a = in[i], &b = in[(i + 1) % in.size()];
    if (inside(a)) out.push_back(a);
    if (inside(a) != inside(b)) {
      const double t = (v - coord(a)) / (coord(b) - coord(a));
      out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t});
    }
  }
  return out;
}

// Adds the polygon to a run, cut at the cells' edges, each piece in its own cell.
void AddCut(datagen::MapBuilder& b, int32_t run, const Poly& poly, std::array<uint16_t, 3> normal,
            int32_t material) {
  double x0 = 1e18, x1 = -1e18, z0 = 1e18, z1 = -1e18;
  for (const P& p : poly)
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), z0 = std::min(z0, p.z), z1 = std::max(z1, p.z);
  for (double cx = std::floor((x0 + kCell / 2) / kCell); cx * kCell - kCell / 2 < x1; ++cx)
    for (double cz = std::floor((z0 + kCell / 2) / kCell); cz * kCell - kCell / 2 < z1; ++cz) {
      const double lx = cx * kCell - kCell / 2, lz = cz * kCell - kCell / 2;
      Poly piece = Cut(Cut(Cut(Cut(poly, 0, lx, true), 0, lx + kCell - 1, false), 2, lz, true), 2,
                       lz + kCell - 1, false);
      std::vector<datagen::Point3> corners;
      for (const P& p : piece) {
        const datagen::Point3 q{static_cast<int32_t>(std::lround(p.x)),
                                static_cast<int32_t>(std::lround(p.y)),
                                static_cast<int32_t>(std::lround(p.z))};
        if (corners.empty() || q.x != corners.back().x || q.y != corners.back().y || q.z != corners.back().z)
          corners.push_back(q);
      }
      while (corners.size() > 1 && corners.front().x == corners.back().x &&
             corners.front().z == corners.back().z && corners.front().y == corners.back().y)
        corners.pop_back();
      if (corners.size() >= 3 && corners.size() <= 8) b.PolyFace(run, corners, normal, material);
    }
}

void AddCut(datagen::MapBuilder& b, const Poly& poly, std::array<uint16_t, 3> normal, int32_t material) {
  AddCut(b, SB_GROUNDRUN, poly, normal, material);
}

void CentreLine(const RingMap& ring) {
  const int32_t n = static_cast<int32_t>(kTurn * ring.radius);
  auto* points =
      static_cast<TVECTOR*>(SB_GetMem(n * static_cast<int32_t>(sizeof(TVECTOR)), "ring centre line"));
  for (int32_t i = 0; i < n; ++i) {
    const double a = kTurn * i / n;
    points[i] = {std::cos(a) * ring.radius, 0.0, std::sin(a) * ring.radius};
  }
  SB_Var.BsplinePoints = points;
  SB_Var.NbBsplinePoints = n;
  SB_Var.BsplineValid = 1;
  // Each cell's nearest centre-line index by its angle around the ring.
  for (int32_t i = 0; i < SB_Var.NbCube10Polys; ++i) {
    TFCUBE10POLY& c = SB_Var.Cube10Polys[i];
    double a = std::atan2((c.Z - 64) * 51.2, (c.X - 64) * 51.2);
    if (a < 0) a += kTurn;
    const auto index = static_cast<uint16_t>(static_cast<int32_t>(a / kTurn * n) % n);
    c.BsplineIndices[0] = c.BsplineIndices[1] = index;
  }
}

}  // namespace

std::array<uint16_t, 3> PolyNormal(double x, double y, double z) {
  auto word = [](double c) { return static_cast<uint16_t>(std::floor(c * 8192.0 + 8256.5)); };
  return {word(x), word(y), word(z)};
}

void AddCutFace(datagen::MapBuilder& b, int32_t run, const std::vector<std::array<double, 3>>& corners,
                std::array<uint16_t, 3> normal, int32_t material) {
  Poly poly;
  for (const auto& c : corners) poly.push_back({c[0], c[1], c[2]});
  AddCut(b, run, poly, normal, material);
}

void BuildRingMap(const RingMap& ring) {
  datagen::MapBuilder b;
  const int32_t road = b.Material(kRingRoad), kerb = b.Material(kRingKerb), wall = b.Material(kRingWall);
  b.Texture(kRingRoad), b.Texture(kRingKerb), b.Texture(kRingWall);
  const double in = ring.radius - ring.roadHalfWidth, out = ring.radius + ring.roadHalfWidth;
  const double rims[4] = {in - ring.kerbWidth, in, out, out + ring.kerbWidth};
  for (int32_t s = 0; s < ring.segments; ++s) {
    const double a0 = kTurn * s / ring.segments, a1 = kTurn * (s + 1) / ring.segments;
    auto strip = [&](double r0, double r1, int32_t material) {
      AddCut(b, {At(a0, r0, 0), At(a1, r0, 0), At(a1, r1, 0), At(a0, r1, 0)}, datagen::kPolyUp, material);
    };
    strip(rims[0], rims[1], kerb);
    strip(rims[1], rims[2], road);
    strip(rims[2], rims[3], kerb);
    // Walls face away from the road; y points down, so the top is at -height.
    const double mid = (a0 + a1) / 2;
    for (const auto& [r, sign] : {std::pair{rims[0], -1.0}, std::pair{rims[3], 1.0}})
      AddCut(b, {At(a0, r, 0), At(a1, r, 0), At(a1, r, -ring.wallHeight), At(a0, r, -ring.wallHeight)},
             PolyNormal(sign * std::cos(mid), 0.0, sign * std::sin(mid)), wall);
  }
  (void)road;
  b.Install();
  SB_Var.Decor.NbNames2 = SB_Var.NbTextures;
  CentreLine(ring);
}

void FreeRingMap() {
  SB_FreeDecor();
  if (SB_Var.BsplinePoints) SB_Release(SB_Var.BsplinePoints);
  SB_Var.BsplinePoints = nullptr;
  SB_Var.NbBsplinePoints = SB_Var.BsplineValid = 0;
}

void WriteRingTextures(const std::string& folder) {
  std::filesystem::create_directories(folder);
  datagen::Picture24 road(64, 64), kerb(64, 64), wall(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const uint8_t grain = static_cast<uint8_t>(80 + (x * 7 + y * 13) % 16);
      road.Set(x, y, grain, grain, grain);
      if (x >= 30 && x < 34 && y < 32) road.Set(x, y, 230, 230, 230);  // the dashed middle line
      kerb.Set(x, y, (y / 16) % 2 ? 0xE0E0E0u : 0xC02020u);
      wall.Set(x, y, (y % 16 == 0 || x % 32 == 0) ? 0x303050u : 0x6070A0u);
    }
  // A texture's picture is named by the first 8 characters of its name.
  datagen::WriteTga(folder + "/ROAD.TGA", road);
  datagen::WriteTga(folder + "/KERB____.TGA", kerb);
  datagen::WriteTga(folder + "/WALL____.TGA", wall);
}

}  // namespace ztest
