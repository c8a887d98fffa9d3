// The car models: bodies of blocks (hull, cabin, spoiler) with rear-lamp
// cards, wheels as cylinders about the axle, at five levels of detail; and
// their pictures. Body paint is green, its HSV hue byte within 60..104;
// every other texel has another hue or none, glass is pure black and
// nothing else is darker than a value of 64, so that glass alone meets the
// 3D palette's black.
#include "datagen/carmodels.h"

#include <cmath>
#include <filesystem>
#include <initializer_list>

#include "datagen/meshes.h"

namespace datagen {

namespace {

constexpr double kUnits = 60000.0;  // model units per metre
constexpr double kUnit = 16384.0;   // a unit normal's length
constexpr double kPi = 3.14159265358979323846;

// A texture rectangle in texels, corners inclusive.
struct Rect {
  int x0, y0, x1, y1;
};

// The materials every set has, at the same indices, so that a variant's
// faces find theirs in whichever set's library they are loaded with.
enum Material {
  kPaint,
  kGrille,
  kRear,
  kLampLeft,
  kLampRight,
  kWindscreen,
  kWindows,
  kTyre,
  kBurned,
  kNbMaterials
};
constexpr const char* kMaterialNames[kNbMaterials] = {"caisse",   "calandre", "arriere", "feuga", "feudr",
                                                      "parebris", "vitres",   "pneu",    "brule"};
constexpr int kNone = -1;

struct SetLayout {
  int texture[kNbMaterials];
  Rect rect[kNbMaterials];
};

// The stock set: 0 the body with the lamps, 1 the glass, 2 the wheels, 3
// the burned body.
constexpr SetLayout kStockLayout = {{0, 0, 0, 0, 0, 1, 1, 2, 3},
                                    {{0, 0, 255, 159},
                                     {0, 160, 119, 239},
                                     {120, 160, 255, 239},
                                     {122, 181, 136, 186},
                                     {176, 181, 190, 186},
                                     {0, 0, 127, 63},
                                     {0, 64, 127, 127},
                                     {0, 0, 63, 63},
                                     {0, 0, 63, 63}}};
// The second set: 0 the body, 1 the lamps, 2 the glass, 3 the wheels, 4
// the burned body.
constexpr SetLayout kNetLayout = {{0, 1, 1, 1, 1, 2, 2, 3, 4},
                                  {{0, 0, 127, 127},
                                   {0, 80, 127, 127},
                                   {0, 56, 127, 79},
                                   {100, 63, 119, 71},
                                   {5, 63, 24, 71},
                                   {0, 0, 63, 31},
                                   {0, 32, 63, 63},
                                   {0, 0, 63, 63},
                                   {0, 0, 63, 63}}};

enum Detail { kFull, kSimplified, kBurnedBody, kReduced2, kReduced3 };

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

// Builds one atom; points in model units.
struct Mesh {
  ModelAtom atom;
  const SetLayout& layout;

  int Point(double x, double y, double z) {
    ModelPoint p{Round(x), Round(y), Round(z), {}};
    const double length = std::sqrt(x * x + y * y + z * z);
    for (int k = 0; length > 0 && k < 3; ++k)
      p.normal[k] = Round((k == 0 ? x : k == 1 ? y : z) * kUnit / length);
    atom.points.push_back(p);
    return static_cast<int>(atom.points.size()) - 1;
  }
  // A point given in the car's axes (x right, y down, z forward), metres.
  int CarPoint(double x, double y, double z) { return Point(-y * kUnits, z * kUnits, -x * kUnits); }

  // One-sided faces are drawn only from the side their normal points to.
  // The corners of the blocks' faces and of the lamp cards run so that
  // FaceOver's normal points into the solid: `inward` turns it out.
  void Face(std::initializer_list<int32_t> corners, int material, bool inward = false) {
    ModelFace f = FaceOver(atom, corners);
    if (inward)
      for (int32_t& n : f.normal) n = -n;
    f.material = static_cast<uint32_t>(material);
    const Rect& r = layout.rect[material];
    const int32_t uv[8] = {r.x0 * 256, r.y0 * 256, r.x1 * 256, r.y0 * 256,
                           r.x1 * 256, r.y1 * 256, r.x0 * 256, r.y1 * 256};
    for (int k = 0; k < 2 * f.nbPoints; ++k) f.coords[k] = uv[k];
    f.flags = 1 << 5;  // one-sided
    atom.faces.push_back(f);
  }
};

// A block in car axes: half width, top and bottom (y grows downward), rear
// and front; the roof corners may be drawn in. Faces in the order right,
// left, back, front, bottom, roof; kNone leaves a face out.
struct Block {
  double halfWidth, top, bottom, rear, front;
  double roofHalfWidth, roofRear, roofFront;
};

void AddBlock(Mesh& mesh, const Block& b, std::initializer_list<int> materials) {
  int corner[8];
  for (int i = 0; i < 8; ++i) {
    const bool roof = i & 1, front = i & 2, left = i & 4;
    const double w = roof ? b.roofHalfWidth : b.halfWidth;
    const double z = front ? (roof ? b.roofFront : b.front) : (roof ? b.roofRear : b.rear);
    corner[i] = mesh.CarPoint(left ? -w : w, roof ? b.top : b.bottom, z);
  }
  static constexpr int kFaces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                       {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  int k = 0;
  for (int material : materials) {
    const int* f = kFaces[k++];
    if (material != kNone) mesh.Face({corner[f[0]], corner[f[1]], corner[f[2]], corner[f[3]]}, material, true);
  }
}

// A lamp card just behind the hull's back, facing backward.
void AddLamp(Mesh& mesh, double x0, double x1, int material) {
  const double z = -2.31, top = 0.0, bottom = 0.14;
  mesh.Face({mesh.CarPoint(x1, bottom, z), mesh.CarPoint(x0, bottom, z), mesh.CarPoint(x0, top, z),
             mesh.CarPoint(x1, top, z)},
            material, true);
}

ModelAtom Body(Detail detail, const SetLayout& layout) {
  Mesh mesh{{}, layout};
  mesh.atom.name = "CAISSE";
  const bool burned = detail == kBurnedBody;
  const int paint = burned ? kBurned : kPaint;
  const int under = detail >= kReduced2 ? kNone : burned ? kBurned : kGrille;
  if (detail == kReduced3) {
    AddBlock(mesh, {0.95, -0.5, 0.35, -2.3, 2.3, 0.8, -1.4, 0.6},
             {paint, paint, kRear, kGrille, kNone, paint});
    return mesh.atom;
  }
  const int windows = burned ? kBurned : kWindows, windscreen = burned ? kBurned : kWindscreen;
  AddBlock(mesh, {0.95, -0.05, 0.35, -2.3, 2.3, 0.95, -2.3, 2.3},
           {paint, paint, burned ? kBurned : kRear, burned ? kBurned : kGrille, under, paint});
  AddBlock(mesh, {0.9, -0.55, -0.05, -1.2, 1.0, 0.8, -0.9, 0.4},
           {windows, windows, windows, windscreen, kNone, paint});
  if (detail == kFull)
    AddBlock(mesh, {0.9, -0.4, -0.3, -2.3, -2.05, 0.9, -2.3, -2.05},
             {paint, paint, paint, paint, paint, paint});
  if (detail <= kBurnedBody) {
    AddLamp(mesh, 0.45, 0.85, kLampRight);
    AddLamp(mesh, -0.85, -0.45, kLampLeft);
  }
  return mesh.atom;
}

// A wheel about the axle (model z), radius 0.32 m: its extent along model x
// is exactly twice the radius, as the segment count is even.
ModelAtom Wheel(Detail detail, const SetLayout& layout) {
  Mesh mesh{{}, layout};
  mesh.atom.name = "ROUE";
  const int n = detail == kFull ? 12 : detail <= kBurnedBody ? 8 : 6;
  const double r = 0.32 * kUnits, half = 0.13 * kUnits;
  for (int i = 0; i < n; ++i) {
    const double a = 2 * kPi * i / n;
    mesh.Point(r * std::cos(a), r * std::sin(a), -half);
    mesh.Point(r * std::cos(a), r * std::sin(a), half);
  }
  const int outer = mesh.Point(0, 0, -half), inner = mesh.Point(0, 0, half);
  for (int i = 0; i < n; ++i) {
    const int a = 2 * i, b = 2 * ((i + 1) % n);
    mesh.Face({a, b, b + 1, a + 1}, kTyre);
    mesh.Face({outer, b, a}, kTyre);
    mesh.Face({inner, a + 1, b + 1}, kTyre);
  }
  return mesh.atom;
}

// The objects as one chain in their order.
void Relink(Model& model) {
  for (size_t i = 0; i < model.objects.size(); ++i)
    model.objects[i].next = i + 1 < model.objects.size() ? static_cast<uint32_t>(i + 1) : kNoIndex;
}

// The body and four wheels, front right, front left, rear right, rear left.
Model Parts(const std::string& library) {
  Model model;
  model.atomNames = {"CAISSE", "ROUE"};
  model.library = library;
  const double x = 1.0, y = 0.25, z = 1.8;  // wheel centres in car axes
  auto at = [](double cx, double cy, double cz) {
    return std::vector<int32_t>{Round(-cy * kUnits), Round(cz * kUnits), Round(-cx * kUnits)};
  };
  struct Part {
    const char* name;
    uint32_t atom;
    std::vector<int32_t> position;
  };
  const Part parts[] = {{"caisse", 0, at(0, 0, 0)},
                        {"rouavdr", 1, at(x, y, z)},
                        {"rouavga", 1, at(-x, y, z)},
                        {"rouardr", 1, at(x, y, -z)},
                        {"rouarga", 1, at(-x, y, -z)}};
  for (const Part& p : parts) {
    ModelObject o;
    o.name = p.name;
    o.atom = p.atom;
    for (int k = 0; k < 3; ++k) o.position[k] = p.position[k];
    model.objects.push_back(o);
  }
  Relink(model);
  return model;
}

struct Rgb {
  int r, g, b;
};

void Fill(Picture24& p, const Rect& r, Rgb c) {
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x)
      p.Set(x, y, static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b));
}

Rgb Shade(Rgb c, double f) { return {Round(c.r * f), Round(c.g * f), Round(c.b * f)}; }

constexpr Rgb kPaintBase = {30, 150, 50}, kPaintStripe = {120, 230, 140};  // hue bytes 92 and 93
constexpr Rgb kTrim = {96, 96, 100}, kGrilleDark = {80, 80, 88}, kGrilleBar = {104, 104, 112};
constexpr Rgb kFrame = {112, 112, 120}, kGlass = {0, 0, 0}, kFiller = {128, 128, 128};
constexpr Rgb kLit = {255, 60, 40}, kUnlit = {120, 24, 20};

// Green paint over the rectangle, lighter toward its bottom, with a
// lighter stripe over the given columns.
void Paint(Picture24& p, const Rect& r, int stripe0, int stripe1) {
  for (int y = r.y0; y <= r.y1; ++y) {
    const double f = 0.8 + 0.2 * (y - r.y0) / (r.y1 - r.y0);
    for (int x = r.x0; x <= r.x1; ++x)
      Fill(p, {x, y, x, y}, Shade(x >= stripe0 && x <= stripe1 ? kPaintStripe : kPaintBase, f));
  }
}

void Grille(Picture24& p, const Rect& r) {
  for (int y = r.y0; y <= r.y1; ++y) Fill(p, {r.x0, y, r.x1, y}, (y / 4) % 2 ? kGrilleBar : kGrilleDark);
}

// Lamp images, unlit then lit, of lamps A and B, and the two lamp areas
// (showing the unlit images), all w x h texels.
struct Lamps {
  int unlitA[2], litA[2], unlitB[2], litB[2], areaA[2], areaB[2], w, h;
};
constexpr Lamps kStockLamps = {{176, 250}, {176, 244}, {122, 250}, {122, 244}, {176, 181}, {122, 181}, 15, 6};
constexpr Lamps kNetLamps = {{5, 40}, {5, 31}, {100, 40}, {100, 31}, {5, 63}, {100, 63}, 20, 9};

void PaintLamps(Picture24& p, const Lamps& l) {
  auto at = [&](const int* c, Rgb colour) { Fill(p, {c[0], c[1], c[0] + l.w - 1, c[1] + l.h - 1}, colour); };
  at(l.unlitA, kUnlit);
  at(l.unlitB, kUnlit);
  at(l.areaA, kUnlit);
  at(l.areaB, kUnlit);
  at(l.litA, kLit);
  at(l.litB, kLit);
}

// Glass is pure black inside a grey frame.
Picture24 GlassPicture(int size, const Rect& windscreen, const Rect& windows) {
  Picture24 p(size, size, kFrame.r, kFrame.g, kFrame.b);
  Fill(p, windscreen, kGlass);
  Fill(p, windows, kGlass);
  return p;
}

Picture24 WheelPicture() {
  Picture24 p(64, 64, 70, 70, 70);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x - 32) * (x - 32) + (y - 32) * (y - 32) <= 14 * 14) Fill(p, {x, y, x, y}, {180, 180, 186});
  return p;
}

Picture24 BurnedPicture() {
  Picture24 p(64, 64, 90, 74, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if ((x / 8 + y / 8) % 3 == 0) Fill(p, {x, y, x, y}, {70, 64, 60});
  return p;
}

std::vector<CarPicture> StockPictures() {
  Picture24 body(256, 256, kFiller.r, kFiller.g, kFiller.b);
  Paint(body, kStockLayout.rect[kPaint], 112, 143);
  Grille(body, kStockLayout.rect[kGrille]);
  Fill(body, kStockLayout.rect[kRear], kTrim);
  PaintLamps(body, kStockLamps);
  return {{"STOCKCAR.TGA", body},
          {"STOCKVIT.TGA", GlassPicture(128, {6, 6, 121, 57}, {6, 70, 121, 121})},
          {"ROUE.TGA", WheelPicture()},
          {"BRULE.TGA", BurnedPicture()}};
}

std::vector<CarPicture> NetPictures() {
  Picture24 body(128, 128);
  Paint(body, kNetLayout.rect[kPaint], 56, 71);
  Picture24 lamps(128, 128, kTrim.r, kTrim.g, kTrim.b);
  Grille(lamps, kNetLayout.rect[kGrille]);
  PaintLamps(lamps, kNetLamps);
  return {{"NETCAR1.TGA", body},
          {"NETFEUX.TGA", lamps},
          {"NETVITRE.TGA", GlassPicture(64, {3, 3, 60, 28}, {3, 35, 60, 60})},
          {"ROUE.TGA", WheelPicture()},
          {"BRULE.TGA", BurnedPicture()}};
}

void Darken(std::vector<CarPicture>& pictures) {
  for (CarPicture& p : pictures)
    for (uint8_t& c : p.picture.rgb) c = static_cast<uint8_t>(c / 2);
}

CarModel MakeCar(const std::string& path, Detail detail, const SetLayout& layout, const std::string& library,
                 std::vector<CarPicture> pictures) {
  CarModel car;
  car.path = path;
  car.model = Parts(library);
  car.atoms = {Body(detail, layout), Wheel(detail, layout)};
  car.library.name = library;
  for (const CarPicture& p : pictures) car.library.textures.push_back({p.name, p.picture.width, 0});
  for (int m = 0; m < kNbMaterials; ++m) {
    ModelMaterial material;
    material.texture = layout.texture[m];
    material.name = kMaterialNames[m];
    car.library.materials.push_back(material);
  }
  car.pictures = std::move(pictures);
  return car;
}

}  // namespace

std::vector<CarModel> CarModels() {
  std::vector<CarPicture> burned = StockPictures();
  Darken(burned);
  return {MakeCar("OBC/STOCKCAR/STOCKCAR.OBC", kFull, kStockLayout, "STOCKCAR.MTL", StockPictures()),
          MakeCar("OBC/SIMPLCAR/SIMLPKAR.OBC", kSimplified, kStockLayout, "STOCKCAR.MTL", StockPictures()),
          MakeCar("OBC/NETPOWER/BURNCAR/NETCAR1.OBC", kBurnedBody, kStockLayout, "STOCKCAR.MTL", burned),
          MakeCar("OBC/SIMPCAR2/SIMPCAR2.OBC", kReduced2, kStockLayout, "STOCKCAR.MTL", StockPictures()),
          MakeCar("OBC/SIMPCAR3/SIMPCAR3.OBC", kReduced3, kStockLayout, "STOCKCAR.MTL", StockPictures()),
          MakeCar("OBC/NETPOWER/NETCAR1.OBC", kFull, kNetLayout, "NETCAR1.MTL", NetPictures())};
}

void RemoveCarPart(CarModel& car, const std::string& part) {
  std::vector<ModelObject>& objects = car.model.objects;
  for (size_t i = 0; i < objects.size();) {
    if (objects[i].name == part)
      objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
  Relink(car.model);
}

bool WriteCarModel(const std::string& root, const CarModel& car) {
  namespace fs = std::filesystem;
  const fs::path object = fs::path(root) / car.path, folder = object.parent_path();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !WriteBytes(object.string(), ObcBytes(car.model, {}))) return false;
  for (size_t i = 0; i < car.atoms.size() && i < car.model.atomNames.size(); ++i)
    if (!WriteBytes((folder / (car.model.atomNames[i] + ".ATM")).string(), AtmBytes(car.atoms[i], {})))
      return false;
  if (!WriteBytes((folder / car.library.name).string(), MaterialBytes(car.library, {"v1.3", false})))
    return false;
  for (const CarPicture& p : car.pictures)
    if (!WriteTga((folder / p.name).string(), p.picture)) return false;
  return true;
}

}  // namespace datagen
