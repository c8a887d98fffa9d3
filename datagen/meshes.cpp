// Procedural meshes: corners and faces of simple solids with unit normals
// (16384 = 1.0) and texture coordinates over their texture's rectangle.
#include "datagen/meshes.h"

#include <cmath>
#include <initializer_list>

#include "datagen/tgawrite.h"

namespace datagen {

namespace {

constexpr double kUnit = 16384.0;
constexpr double kPi = 3.14159265358979323846;

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

// A point whose normal points away from the mesh's centre.
ModelPoint Point(int32_t x, int32_t y, int32_t z) {
  ModelPoint p{x, y, z, {}};
  const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  if (length > 0) {
    p.normal[0] = Round(x * kUnit / length);
    p.normal[1] = Round(y * kUnit / length);
    p.normal[2] = Round(z * kUnit / length);
  }
  return p;
}

// A face over the given points with the face normal of its first three
// and its corners at the texture's corners (a triangle leaves out the last).
ModelFace Face(const ModelAtom& atom, const MeshSpec& spec, std::initializer_list<int32_t> corners) {
  ModelFace f = FaceOver(atom, corners);
  f.material = spec.material;
  const int32_t right = (spec.textureWidth - 1) * 256, bottom = (spec.textureHeight - 1) * 256;
  const int32_t uv[8] = {0, 0, right, 0, right, bottom, 0, bottom};
  for (int k = 0; k < 2 * f.nbPoints; ++k) f.coords[k] = uv[k];
  f.flags = 1 << 5;  // one-sided
  return f;
}

}  // namespace

ModelFace FaceOver(const ModelAtom& atom, std::initializer_list<int32_t> corners) {
  ModelFace f;
  f.nbPoints = static_cast<int32_t>(corners.size());
  int32_t i = 0;
  for (int32_t c : corners) f.points[i++] = c;
  const ModelPoint &a = atom.points[f.points[0]], &b = atom.points[f.points[1]],
                   &c = atom.points[f.points[2]];
  const double u[3] = {double(b.x - a.x), double(b.y - a.y), double(b.z - a.z)};
  const double v[3] = {double(c.x - a.x), double(c.y - a.y), double(c.z - a.z)};
  const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
  const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  for (int k = 0; length > 0 && k < 3; ++k) f.normal[k] = Round(n[k] * kUnit / length);
  return f;
}

ModelAtom BoxMesh(const MeshSpec& spec) {
  ModelAtom atom;
  atom.name = spec.name;
  const int32_t s = spec.size;
  for (int32_t i = 0; i < 8; ++i)
    atom.points.push_back(Point(i & 1 ? s : -s, i & 2 ? s : -s, i & 4 ? s : -s));
  for (auto corners : {std::initializer_list<int32_t>{0, 1, 3, 2},
                       {4, 6, 7, 5},
                       {0, 4, 5, 1},
                       {2, 3, 7, 6},
                       {0, 2, 6, 4},
                       {1, 5, 7, 3}})
    atom.faces.push_back(Face(atom, spec, corners));
  return atom;
}

ModelAtom WedgeMesh(const MeshSpec& spec) {
  ModelAtom atom;
  atom.name = spec.name;
  const int32_t s = spec.size;
  // A triangle (-s,-s) (s,-s) (-s,s) in x, y, pulled along z.
  for (int32_t z : {-s, s})
    for (auto xy : {std::pair{-s, -s}, std::pair{s, -s}, std::pair{-s, s}})
      atom.points.push_back(Point(xy.first, xy.second, z));
  for (auto corners :
       {std::initializer_list<int32_t>{0, 2, 1}, {3, 4, 5}, {0, 1, 4, 3}, {1, 2, 5, 4}, {2, 0, 3, 5}})
    atom.faces.push_back(Face(atom, spec, corners));
  return atom;
}

ModelAtom CardMesh(const MeshSpec& spec) {
  ModelAtom atom;
  atom.name = spec.name;
  const int32_t s = spec.size;
  for (auto xy : {std::pair{-s, -s}, std::pair{s, -s}, std::pair{s, s}, std::pair{-s, s}})
    atom.points.push_back(Point(xy.first, xy.second, 0));
  atom.faces.push_back(Face(atom, spec, {0, 1, 2, 3}));
  atom.faces.back().flags = 0;  // seen from both sides
  return atom;
}

ModelAtom CylinderMesh(const MeshSpec& spec, int32_t segments) {
  ModelAtom atom;
  atom.name = spec.name;
  const int32_t s = spec.size, n = segments < 3 ? 3 : segments;
  for (int32_t i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n;
    const int32_t x = Round(s * std::cos(a)), z = Round(s * std::sin(a));
    atom.points.push_back(Point(x, -s, z));
    atom.points.push_back(Point(x, s, z));
  }
  atom.points.push_back(Point(0, -s, 0));
  atom.points.push_back(Point(0, s, 0));
  for (int32_t i = 0; i < n; ++i) {
    const int32_t a = 2 * i, b = 2 * ((i + 1) % n);
    atom.faces.push_back(Face(atom, spec, {a, b, b + 1, a + 1}));
    atom.faces.push_back(Face(atom, spec, {2 * n, b, a}));
    atom.faces.push_back(Face(atom, spec, {2 * n + 1, a + 1, b + 1}));
  }
  return atom;
}

bool WriteTexturedBox(const std::string& folder, const std::string& name, int32_t w, int32_t h) {
  MeshSpec spec{name, 1000, 0, w, h};
  Model model;
  model.objects.push_back({name, 0, {}, kNoIndex});
  model.atomNames.push_back(name);
  model.library = name + ".MTL";
  MaterialLibrary library{name + ".MTL", {{name + ".TGA", w, 0}}, {{{0, 0}, 0, 0}}, "MATR", {}, {}};
  Picture24 picture(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) picture.Set(x, y, ((x / 8 + y / 8) & 1) ? 0xE0C020u : 0x2040A0u);
  const ModelFormat format{"v1.3", false};
  return WriteBytes(folder + "/" + name + ".OBC", ObcBytes(model, {})) &&
         WriteBytes(folder + "/" + name + ".ATM", AtmBytes(BoxMesh(spec), {})) &&
         WriteBytes(folder + "/" + name + ".MTL", MaterialBytes(library, format)) &&
         WriteTga(folder + "/" + name + ".TGA", picture);
}

}  // namespace datagen
