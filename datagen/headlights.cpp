// The headlight beams' wedges: the far end's four points first, then the
// two near points between the headlamps, faces wound outward.
#include "datagen/headlights.h"

#include <cmath>
#include <filesystem>

#include "datagen/meshes.h"
#include "datagen/modelwrite.h"

namespace datagen {

namespace {

constexpr double kUnits = 60000.0;

ModelPoint At(double up, double forward, double left) {
  return {static_cast<int32_t>(std::lround(up * kUnits)),
          static_cast<int32_t>(std::lround(forward * kUnits)),
          static_cast<int32_t>(std::lround(left * kUnits)),
          {}};
}

// A triangle turned so that its normal points away from the centre.
void Face(ModelAtom& atom, int32_t a, int32_t b, int32_t c, const double centre[3]) {
  ModelFace f = FaceOver(atom, {a, b, c});
  const ModelPoint& p = atom.points[a];
  const double out =
      (p.x - centre[0]) * f.normal[0] + (p.y - centre[1]) * f.normal[1] + (p.z - centre[2]) * f.normal[2];
  if (out < 0) f = FaceOver(atom, {a, c, b});
  f.type = 0;  // untextured
  atom.faces.push_back(f);
}

// The far end (stored at the car's front, moved on by the game) from
// `bottom` to `top` metres and `half` metres to each side; the near edge
// at `nearUp` and `nearForward`.
ModelAtom Wedge(const char* name, double nearUp, double nearForward) {
  ModelAtom atom;
  atom.name = name;
  const double front = 2.3, top = 1.0, bottom = -4.5, half = 7.0, lamps = 0.6;
  atom.points = {At(top, front, half),    At(top, front, -half),          At(bottom, front, -half),
                 At(bottom, front, half), At(nearUp, nearForward, lamps), At(nearUp, nearForward, -lamps)};
  // The faces are turned as the wedge stands once its far end is moved.
  ModelAtom placed = atom;
  for (int i = 0; i < 4; ++i) placed.points[i].y += 4000000;
  double centre[3] = {};
  for (const ModelPoint& p : placed.points)
    centre[0] += p.x / 6.0, centre[1] += p.y / 6.0, centre[2] += p.z / 6.0;
  const int32_t faces[8][3] = {{0, 1, 2}, {0, 2, 3}, {4, 5, 1}, {4, 1, 0},
                               {5, 4, 3}, {5, 3, 2}, {4, 0, 3}, {5, 2, 1}};
  for (const auto& f : faces) Face(placed, f[0], f[1], f[2], centre);
  atom.faces = placed.faces;
  return atom;
}

}  // namespace

bool WriteBeamObject(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) return false;
  Model model;
  model.atomNames = {"PHARE", "PHARE2"};
  for (uint32_t i = 0; i < 2; ++i) {
    ModelObject o;
    o.name = i == 0 ? "phare" : "phare2";
    o.atom = i;
    o.next = i == 0 ? 1 : kNoIndex;
    model.objects.push_back(o);
  }
  // The in-car wedge starts lower and further on, where the game's move
  // back puts it at the front of the car.
  const ModelAtom atoms[2] = {Wedge("PHARE", -0.1, 2.3), Wedge("PHARE2", -0.3, 2.3 + 100000 / kUnits)};
  if (!WriteBytes((fs::path(folder) / "PHARE.OBC").string(), ObcBytes(model, {}))) return false;
  for (int i = 0; i < 2; ++i)
    if (!WriteBytes((fs::path(folder) / (model.atomNames[i] + ".ATM")).string(), AtmBytes(atoms[i], {})))
      return false;
  return true;
}

}  // namespace datagen
