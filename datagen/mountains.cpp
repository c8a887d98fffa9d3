// Mountains for the far scenery: a cone of two jagged rings and a peak,
// its faces textured with one rock-and-grass picture.
#include "datagen/mountains.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "datagen/meshes.h"
#include "datagen/modelwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

namespace {

constexpr int32_t kUnitsPerMetre = 60800;  // as the game places background objects
constexpr int32_t kSegments = 9;
constexpr int32_t kTextureSide = 64;
constexpr double kPi = 3.14159265358979323846;

// A repeatable jitter in -1..1.
double Jitter(int32_t i, int32_t seed) {
  uint32_t h = static_cast<uint32_t>(i) * 2654435761u ^ static_cast<uint32_t>(seed) * 40503u;
  h = (h ^ (h >> 15)) * 2246822519u;
  return ((h ^ (h >> 13)) & 0xFFFF) / 32767.5 - 1.0;
}

// A point given in the world's level axes x and z and its height above the
// foot, written in the display axes the game places background objects
// with (the cars' and props': +x up, +y along the world's z, +z along the
// world's -x), so that the mountain stands upright where it is placed.
ModelPoint At(double worldX, double up, double worldZ) {
  const double x = up, y = worldZ, z = -worldX;
  ModelPoint p;
  p.x = static_cast<int32_t>(std::lround(x)), p.y = static_cast<int32_t>(std::lround(y));
  p.z = static_cast<int32_t>(std::lround(z));
  // The normal points away from the mountain's foot and upward.
  const double n[3] = {x, y, z}, length = std::sqrt(x * x + y * y + z * z);
  for (int k = 0; length > 0 && k < 3; ++k) p.normal[k] = static_cast<int32_t>(std::lround(n[k] * 16384.0 / length));
  return p;
}

ModelFace Textured(const ModelAtom& atom, std::initializer_list<int32_t> corners) {
  ModelFace f = FaceOver(atom, corners);
  f.material = 0;
  const int32_t right = (kTextureSide - 1) * 256, bottom = (kTextureSide - 1) * 256;
  const int32_t uv[8] = {0, bottom, right, bottom, right / 2, 0, 0, 0};
  const int32_t quad[8] = {0, bottom, right, bottom, right, 0, 0, 0};
  for (int k = 0; k < 2 * f.nbPoints; ++k) f.coords[k] = f.nbPoints == 3 ? uv[k] : quad[k];
  f.flags = 0;  // seen from both sides
  return f;
}

// Base ring, shoulder ring and peak, the base at height 0.
ModelAtom MountainMesh(const BackObject& object, int32_t seed) {
  ModelAtom atom;
  atom.name = object.name;
  const double r = object.radius * double(kUnitsPerMetre), h = object.height * double(kUnitsPerMetre);
  for (int32_t ring = 0; ring < 2; ++ring)
    for (int32_t i = 0; i < kSegments; ++i) {
      const double a = 2 * kPi * (i + 0.3 * Jitter(i, seed + ring)) / kSegments;
      const double reach = r * (ring ? 0.45 : 1.0) * (1.0 + 0.15 * Jitter(i + 50, seed));
      const double up = ring ? h * (0.5 + 0.12 * Jitter(i + 90, seed)) : 0.0;
      atom.points.push_back(At(reach * std::cos(a), up, reach * std::sin(a)));
    }
  atom.points.push_back(At(r * 0.08 * Jitter(7, seed), h, r * 0.08 * Jitter(8, seed)));
  const int32_t peak = 2 * kSegments;
  for (int32_t i = 0; i < kSegments; ++i) {
    const int32_t j = (i + 1) % kSegments;
    atom.faces.push_back(Textured(atom, {i, j, kSegments + j, kSegments + i}));
    atom.faces.push_back(Textured(atom, {kSegments + i, kSegments + j, peak}));
  }
  return atom;
}

// Grass at the foot, grey rock above, a little noise.
Picture24 MountainPicture(int32_t seed) {
  Picture24 p(kTextureSide, kTextureSide);
  for (int y = 0; y < kTextureSide; ++y)
    for (int x = 0; x < kTextureSide; ++x) {
      const double t = static_cast<double>(y) / (kTextureSide - 1);  // 0 at the top
      const double n = 0.9 + 0.2 * Jitter(x + y * kTextureSide, seed);
      const double grass[3] = {70, 110, 55}, rock[3] = {120, 112, 104};
      uint8_t c[3];
      for (int k = 0; k < 3; ++k)
        c[k] = static_cast<uint8_t>(std::lround(std::min(255.0, (rock[k] + (grass[k] - rock[k]) * t) * n)));
      p.Set(x, y, c[0], c[1], c[2]);
    }
  return p;
}

}  // namespace

std::vector<BackObject> BackObjects() {
  return {{"MONT1", 2000.0, 0.0, 400.0, 700, 420},
          {"MONT2", -1800.0, 0.0, 1200.0, 900, 520},
          {"MONT3", 300.0, 0.0, -2100.0, 800, 360}};
}

bool WriteBackObject(const std::string& folder, const BackObject& object) {
  const int32_t seed = object.name.back() - '0';
  const std::string& name = object.name;
  Model model;
  model.objects.push_back({name, 0, {}, kNoIndex});
  model.atomNames.push_back(name);
  model.library = name + ".MTL";
  const MaterialLibrary library{name + ".MTL", {{name + ".TGA", kTextureSide, 0}}, {{{0, 0}, 0, 0}}, "MATR", {}, {}};
  return WriteBytes(folder + "/" + name + ".OBC", ObcBytes(model, {})) &&
         WriteBytes(folder + "/" + name + ".ATM", AtmBytes(MountainMesh(object, seed), {})) &&
         WriteBytes(folder + "/" + name + ".MTL", MaterialBytes(library, {"v1.3", false})) &&
         WriteTga(folder + "/" + name + ".TGA", MountainPicture(seed));
}

std::string BackObcList() {
  std::string out;
  char line[128];
  for (const BackObject& o : BackObjects()) {
    std::snprintf(line, sizeof line, "OBC>BACKOBC>%s.OBC %.1f %.1f %.1f\r\n", o.name.c_str(), o.x, o.y, o.z);
    out += line;
  }
  return out;
}

}  // namespace datagen
