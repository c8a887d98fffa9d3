// The default data tree's animated props: their meshes, libraries and
// pictures, and the balloon's TABLE path.
#include "datagen/decorprops.h"

#include <cmath>
#include <cstring>

#include "datagen/meshes.h"
#include "datagen/netrace.h"

namespace datagen {

namespace {

constexpr double kUnits = 60000.0;  // model units per metre
constexpr int32_t kSide = 64;       // the pictures' side
constexpr double kPi = 3.14159265358979323846;

// A point of a prop given forward, up and side in metres (see the header
// for the model axes).
ModelPoint PropPoint(double forward, double up, double side) {
  ModelPoint p;
  p.x = static_cast<int32_t>(std::lround(up * kUnits));
  p.y = static_cast<int32_t>(std::lround(side * kUnits));
  p.z = static_cast<int32_t>(std::lround(-forward * kUnits));
  return p;
}

// A face over the atom's points showing the whole picture, seen from both
// sides so that no winding matters.
void AddFace(ModelAtom& atom, std::initializer_list<int32_t> corners, uint32_t material) {
  ModelFace f = FaceOver(atom, corners);
  f.material = material;
  const int32_t edge = (kSide - 1) * 256;
  const int32_t uv[8] = {0, 0, edge, 0, edge, edge, 0, edge};
  for (int32_t k = 0; k < 2 * f.nbPoints; ++k) f.coords[k] = uv[k];
  f.flags = 0;
  atom.faces.push_back(f);
}

// A box between two corners (forward, up, side), in metres.
void AddBox(ModelAtom& atom, const std::array<double, 3>& lo, const std::array<double, 3>& hi,
            uint32_t material) {
  const int32_t base = static_cast<int32_t>(atom.points.size());
  for (int32_t i = 0; i < 8; ++i)
    atom.points.push_back(PropPoint(i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]));
  for (auto c : {std::initializer_list<int32_t>{0, 1, 3, 2},
                 {4, 6, 7, 5},
                 {0, 4, 5, 1},
                 {2, 3, 7, 6},
                 {0, 2, 6, 4},
                 {1, 5, 7, 3}}) {
    const int32_t* q = c.begin();
    AddFace(atom, {base + q[0], base + q[1], base + q[2], base + q[3]}, material);
  }
}

// A solid of revolution about the up axis through rings of (up, radius),
// closed at the top.
void AddLathe(ModelAtom& atom, const std::vector<std::array<double, 2>>& rings, int32_t segments,
              uint32_t material) {
  const int32_t base = static_cast<int32_t>(atom.points.size());
  for (const auto& ring : rings)
    for (int32_t s = 0; s < segments; ++s) {
      const double a = 2 * kPi * s / segments;
      atom.points.push_back(PropPoint(ring[1] * std::cos(a), ring[0], ring[1] * std::sin(a)));
    }
  const int32_t top = static_cast<int32_t>(atom.points.size());
  atom.points.push_back(PropPoint(0, rings.back()[0] + 0.3, 0));
  const int32_t n = static_cast<int32_t>(rings.size());
  for (int32_t r = 0; r + 1 < n; ++r)
    for (int32_t s = 0; s < segments; ++s) {
      const int32_t a = base + r * segments + s, b = base + r * segments + (s + 1) % segments;
      AddFace(atom, {a, b, b + segments, a + segments}, material);
    }
  for (int32_t s = 0; s < segments; ++s)
    AddFace(atom, {base + (n - 1) * segments + s, base + (n - 1) * segments + (s + 1) % segments, top}, material);
}

ModelAtom Atom(const char* name) {
  ModelAtom atom;
  atom.name = name;
  return atom;
}

Picture24 Picture(uint32_t (*colour)(int32_t x, int32_t y)) {
  Picture24 p(kSide, kSide);
  for (int32_t y = 0; y < kSide; ++y)
    for (int32_t x = 0; x < kSide; ++x) p.Set(x, y, colour(x, y));
  return p;
}

// One prop: its parts (name, atom index, in list order), atoms, pictures
// and one material per picture.
CarModel Prop(const std::string& name, const std::vector<std::pair<std::string, uint32_t>>& parts,
              std::vector<ModelAtom> atoms, std::vector<CarPicture> pictures) {
  CarModel prop;
  prop.path = "OBC/DECOR/" + name + ".OBC";
  prop.model.library = name + ".MTL";
  for (const ModelAtom& a : atoms) prop.model.atomNames.push_back(a.name);
  for (size_t i = 0; i < parts.size(); ++i)
    prop.model.objects.push_back(
        {parts[i].first, parts[i].second, {}, i + 1 < parts.size() ? static_cast<uint32_t>(i + 1) : kNoIndex});
  prop.atoms = std::move(atoms);
  prop.library.name = name + ".MTL";
  for (size_t i = 0; i < pictures.size(); ++i) {
    prop.library.textures.push_back({pictures[i].name, kSide, 0});
    ModelMaterial m;
    m.texture = static_cast<int32_t>(i);
    prop.library.materials.push_back(m);
  }
  prop.pictures = std::move(pictures);
  return prop;
}

CarModel Windmill() {
  ModelAtom tower = Atom("MOULIN"), blades = Atom("PALES");
  AddBox(tower, {-2.2, 0, -2.2}, {2.2, 10, 2.2}, 0);
  AddBox(tower, {-2.6, 10, -2.6}, {2.6, 11.5, 2.6}, 0);
  AddBox(tower, {-2.9, 10.2, -0.3}, {-2.2, 10.8, 0.3}, 0);  // the axle, out of the back face
  for (int32_t k = 0; k < 4; ++k) {  // the blades, in the plane across the forward axis
    const double a = kPi / 2 * k, c = std::cos(a), s = std::sin(a);
    const int32_t base = static_cast<int32_t>(blades.points.size());
    for (auto [along, across] : {std::pair{0.6, -0.5}, {6.5, -0.5}, {6.5, 0.5}, {0.6, 0.5}})
      blades.points.push_back(PropPoint(0, along * c - across * s, along * s + across * c));
    AddFace(blades, {base, base + 1, base + 2, base + 3}, 1);
  }
  auto plaster = [](int32_t x, int32_t y) -> uint32_t {
    return (y % 16 == 0 || (x + (y / 16) * 8) % 16 == 0) ? 0x8C7A64u : 0xE8E0D0u;
  };
  auto canvas = [](int32_t x, int32_t y) -> uint32_t { return x % 16 < 2 || y % 16 < 2 ? 0x5A3A1Eu : 0xF0ECE0u; };
  return Prop("MOULIN", {{"MOULIN", 0}, {"PALES", 1}}, {tower, blades},
              {{"MOULIN.TGA", Picture(plaster)}, {"PALES.TGA", Picture(canvas)}});
}

CarModel Balloon() {
  ModelAtom balloon = Atom("BALLON");
  AddLathe(balloon, {{3.5, 1.4}, {5, 4.6}, {7.5, 6.6}, {10.5, 7.0}, {13.5, 6.3}, {16, 4.4}, {17.6, 1.8}}, 12, 0);
  AddBox(balloon, {-0.7, 0, -0.7}, {0.7, 1.2, 0.7}, 1);
  auto stripes = [](int32_t x, int32_t) -> uint32_t {
    static const uint32_t kColours[4] = {0xD02020u, 0xF0C020u, 0x2050D0u, 0xF0F0F0u};
    return kColours[x / 16];
  };
  auto wicker = [](int32_t x, int32_t y) -> uint32_t { return (x / 4 + y / 4) & 1 ? 0x8A5A2Au : 0x6A4020u; };
  return Prop("BALLON", {{"BALLON", 0}}, {balloon},
              {{"BALLON.TGA", Picture(stripes)}, {"NACELLE.TGA", Picture(wicker)}});
}

CarModel MarshalCar() {
  ModelAtom car = Atom("MARSHAL");
  AddBox(car, {-2.1, 0.25, -0.9}, {2.1, 1.0, 0.9}, 0);
  AddBox(car, {-1.3, 1.0, -0.8}, {0.6, 1.6, 0.8}, 0);
  AddBox(car, {-0.7, 1.6, -0.6}, {-0.3, 1.8, 0.6}, 1);  // the light bar
  auto livery = [](int32_t x, int32_t y) -> uint32_t {
    if (y >= 24 && y < 40) return ((x / 8 + y / 8) & 1) ? 0x101010u : 0xF0F0F0u;
    return 0xF0C818u;
  };
  auto lights = [](int32_t x, int32_t) -> uint32_t { return x < 32 ? 0xF06010u : 0x2060F0u; };
  return Prop("MARSHAL", {{"MARSHAL", 0}}, {car}, {{"MARSHAL.TGA", Picture(livery)}, {"GYRO.TGA", Picture(lights)}});
}

CarModel Flag() {
  ModelAtom pole = Atom("MAT"), cloth = Atom("DRAPEAU");
  AddBox(pole, {-0.12, 0, -0.12}, {0.12, 7, 0.12}, 0);
  AddBox(cloth, {-0.03, 5.0, 0.12}, {0.03, 6.8, 2.9}, 1);  // flying sideways, across the way ahead
  auto metal = [](int32_t, int32_t y) -> uint32_t { return y < 32 ? 0xC0C0C8u : 0xA0A0A8u; };
  auto chequer = [](int32_t x, int32_t y) -> uint32_t { return (x / 16 + y / 16) & 1 ? 0x101010u : 0xF8F8F8u; };
  return Prop("DRAPEAU", {{"MAT", 0}, {"DRAPEAU", 1}}, {pole, cloth},
              {{"MAT.TGA", Picture(metal)}, {"DRAPEAU.TGA", Picture(chequer)}});
}

}  // namespace

std::vector<CarModel> DecorProps() { return {Windmill(), Balloon(), MarshalCar(), Flag()}; }

std::vector<std::array<double, 3>> BalloonPath() {
  constexpr int32_t kPoints = 500;
  constexpr double kAlong = 125.0, kAcross = 72.0, kHeight = 25.0;  // scene metres
  constexpr double kFirst = -0.6;  // ahead of the start grid, in its view
  std::vector<std::array<double, 3>> points;
  for (int32_t i = 0; i <= kPoints; ++i) {  // the last point closes the loop on the first
    const double a = kFirst + 2 * kPi * i / kPoints;
    points.push_back(NetraceWorld(kAlong * std::cos(a), kAcross * std::sin(a), kHeight));
  }
  return points;
}

std::string TableBytes(const std::vector<std::array<double, 3>>& points) {
  std::string bytes;
  for (const auto& p : points)
    for (double v : p) {
      uint64_t bits;
      std::memcpy(&bits, &v, 8);
      for (int32_t k = 0; k < 8; ++k) bytes.push_back(static_cast<char>(bits >> (8 * k) & 0xFF));
    }
  return bytes;
}

}  // namespace datagen
