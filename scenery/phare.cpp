// The headlight beams on the accelerator: the beam object and its two
// parts, each night car's beam brought into view space, corrected where it
// reaches behind the camera and projected, and the beams submitted as
// light volumes.
#include "scenery/phare.h"

#include <cmath>
#include <cstring>

#include "engine3d/object.h"
#include "platform/accel/sgl.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/nearplane.h"
#include "scenery/shadows.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace {

constexpr const char* kFile = "OBC>PHARE>PHARE.OBC";
constexpr float kToView = 0.005263158f;  // object units to 1/320 m: 1/190
constexpr int32_t kFarEnd = 4, kReach = 4000000, kInCarLift = -100000;
constexpr uint32_t kColour = 0x609880;
constexpr float kBox[4] = {0, 0, 800, 600};
constexpr int32_t kInCar = 2;
constexpr double kNearest = 1.0;

OBJECT* g_object = nullptr;
OBJECT* g_parts[2] = {};  // "phare", "phare2"
TPHAREVOLUME g_volumes[SB_NBPHAREVOLUMES];

TATOM* Mesh(const OBJECT* part) {
  return part && IsAtom(part->Atoms[OBJ_MAIN]) ? part->Atoms[OBJ_MAIN] : nullptr;
}

// A part found by name (on a copy, which the search upper-cases); null
// with a message when missing or over the volume's limits.
OBJECT* FindPart(const char* name) {
  char copy[E3D_NAMELEN + 1];
  std::strncpy(copy, name, sizeof copy - 1);
  copy[sizeof copy - 1] = 0;
  OBJECT* part = SB_FindObjectByName(g_object, copy);
  const TATOM* mesh = Mesh(part);
  if (!mesh) {
    SB_ConsolePrintf("Phare Object (%s) not found !", name);
    return nullptr;
  }
  if (mesh->NbPoints > SB_PHAREMAXPOINTS || mesh->NbFaces > SB_PHAREMAXFACES || mesh->NbFaces < 0) {
    SB_ConsolePrintf("Phare Object (%s) too large !", name);
    return nullptr;
  }
  return part;
}

// The beam's faces into the entry: projected corners as they are, or the
// corrected plane of a face that reaches behind; false when one cannot be.
bool FillFaces(const TATOM& mesh, const double (*view)[3], const bool* visible, const TSGLVERTEX* projected,
               TPHAREVOLUME& entry) {
  for (int32_t f = 0; f < mesh.NbFaces; ++f) {
    const int32_t* c = mesh.Faces[f].Points;
    for (int32_t k = 0; k < 3; ++k)
      if (c[k] < 0 || c[k] >= mesh.NbPoints) return false;
    TSGLVERTEX* out = &entry.Vertices[3 * f];
    if (visible[c[0]] && visible[c[1]] && visible[c[2]]) {
      for (int32_t k = 0; k < 3; ++k) out[k] = projected[c[k]];
      continue;
    }
    TTRIANGLE t;
    for (int32_t k = 0; k < 3; ++k) std::memcpy(t[k], view[c[k]], sizeof t[k]);
    if (!E3D_CorrectTrianglePlane(t)) return false;
    for (int32_t k = 0; k < 3; ++k)
      if (!POWER_ProjectPharePoint(t[k], &out[k])) return false;
  }
  return true;
}

}  // namespace

const TPHAREVOLUME& SB_PhareVolume(int32_t entry) { return g_volumes[entry]; }
OBJECT* SB_PharePart(int32_t inCar) { return g_parts[inCar ? 1 : 0]; }

__attribute__((weak)) void POWER_InitPhare() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  g_parts[0] = g_parts[1] = nullptr;
  g_object = LoadObject(kFile, 0, MLIB_NONE);
  if (!g_object) {
    SB_ConsolePrintf("Phares not found !");
    return;
  }
  g_parts[0] = FindPart("phare");
  g_parts[1] = FindPart("phare2");
  for (TPHAREVOLUME& v : g_volumes) v.InUse = 0, v.Object = nullptr;
}

__attribute__((weak)) void POWER_ClosePhare() {
  if (g_object) FreeObject(g_object);
  g_object = nullptr;
  g_parts[0] = g_parts[1] = nullptr;
  for (TPHAREVOLUME& v : g_volumes) v.InUse = 0, v.Object = nullptr;
}

__attribute__((weak)) void POWER_BuildPhareVolume(TCAMERA* camera, TCAR* car, int32_t index) {
  if (!SB_Var.HeadlightsOn || SB_Var.Renderer != SB_RENDERER_PVR || !g_object || !camera || !car ||
      !car->Object)
    return;
  TPHAREVOLUME* entry = nullptr;
  for (TPHAREVOLUME& v : g_volumes)
    if (!v.InUse && !entry) entry = &v;
  if (!entry) return;
  const bool inCar = SB_Var.CameraMode == kInCar && (index == SB_Var.DrivenCar || index == SB_Var.ReplayCar);
  entry->Object = g_parts[inCar ? 1 : 0];
  const TATOM* mesh = Mesh(entry->Object);
  if (!mesh) return;
  const int32_t lift = inCar ? kInCarLift : 0;
  const TPARTFRAME frame = SB_PartViewFrame(car->Object, camera);
  const float *m = frame.M, *t = frame.T;
  double view[SB_PHAREMAXPOINTS][3];
  TSGLVERTEX projected[SB_PHAREMAXPOINTS];
  bool visible[SB_PHAREMAXPOINTS];
  for (int32_t i = 0; i < mesh->NbPoints; ++i) {
    const TPOINT3D& p = mesh->Points[i];
    const float q[3] = {static_cast<float>(p.X), static_cast<float>(p.Y + lift + (i < kFarEnd ? kReach : 0)),
                        static_cast<float>(p.Z)};
    for (int32_t row = 0; row < 3; ++row)
      view[i][row] = (m[row] * q[0] + m[row + 3] * q[1] + m[row + 6] * q[2] + t[row]) * kToView;
    visible[i] = POWER_ProjectPharePoint(view[i], &projected[i]) != 0;
  }
  if (FillFaces(*mesh, view, visible, projected, *entry)) entry->InUse = 1;
}

__attribute__((weak)) void POWER_DrawPhareVolumes() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  static int32_t faces[SB_PHAREMAXFACES][3];
  for (TPHAREVOLUME& v : g_volumes) {
    if (!v.InUse) continue;
    v.InUse = 0;
    const TATOM* mesh = Mesh(v.Object);
    if (!mesh) continue;
    for (int32_t f = 0; f < mesh->NbFaces; ++f)
      for (int32_t k = 0; k < 3; ++k) faces[f][k] = 3 * f + k;
    SB_Var.SglContext.VolumeKind = 2;
    SB_Var.SglContext.LightColour = kColour;
    sgltri_shadow(&SB_Var.SglContext, mesh->NbFaces, faces, v.Vertices, kBox);
  }
}

int32_t POWER_ProjectPharePoint(const double* p, TSGLVERTEX* out) {
  if (!(p[2] >= kNearest)) return 0;
  const double s = SB_Var.Focal / p[2];
  out->X = static_cast<float>(SB_Var.CenterX + p[0] * s);
  out->Y = static_cast<float>(SB_Var.CenterY + p[1] * s);
  // A point barely in front of the camera, far aside, projects beyond what
  // the card takes: its face is corrected onto the near plane instead.
  if (!(std::fabs(out->X) <= SGL_MAX_COORDINATE && std::fabs(out->Y) <= SGL_MAX_COORDINATE)) return 0;
  out->Depth = static_cast<float>(SB_Var.DepthScale * p[2]);
  out->InvW = static_cast<float>(1.0 / p[2] * SB_Var.ProjFactor);
  out->Colour = out->Specular = 0;  // only the plane matters to the card
  out->U = out->V = 0.0f;
  return 1;
}
