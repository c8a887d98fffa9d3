// The car shadow volumes on the accelerator: the meshes of the shadow
// level and their edge tables, each near car's parts brought into view
// space and classified by the sun, and the volumes' side and cap planes
// submitted as shadow volumes.
#include "scenery/shadows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "platform/accel/sgl.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/lensflare.h"
#include "scenery/nearplane.h"
#include "scenery/plg.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace {

constexpr float kToView = 0.005263158f;  // object units to 1/320 m: 1/190
constexpr double kExtrusion = 1500.0;
constexpr double kNearest = 1.0;  // depth the box projects from
constexpr int32_t kInCar = 2;
constexpr int32_t kNoShadowFlag = 2;  // the third surface flag

TSHADOWSLOT g_slots[SB_NBSHADOWSLOTS];
bool g_planReported = false;

// The slot each part casts with: body or hull, roof, four wheels.
constexpr int32_t kSlotOfPart[SB_SHADOWPARTS] = {0, 1, 2, 2, 2, 2};

void ClearSlots() {
  for (TSHADOWSLOT& s : g_slots) {
    s.Mesh = nullptr;
    s.NbEdges = s.NbVertices = 0;
  }
}

// The mesh's edges, each stored once as its first polygon walks it; false
// when there are more than the table holds.
bool BuildEdges(TSHADOWSLOT& s) {
  for (TSHADOWEDGE& e : s.Edges) e = {-1, -1, -1, -1, -1};
  s.NbEdges = 0;
  const TPLG& m = *s.Mesh;
  for (uint32_t p = 0; p < m.NbPolygons; ++p) {
    const TPLGPOLY& poly = m.Polygons[p];
    for (uint32_t i = 0; i < poly.NbIndices; ++i) {
      const auto current = static_cast<int32_t>(poly.Indices[i]);
      const auto next = static_cast<int32_t>(poly.Indices[(i + 1) % poly.NbIndices]);
      TSHADOWEDGE* back = nullptr;
      for (int32_t k = 0; k < s.NbEdges && !back; ++k)
        if (s.Edges[k].A == next && s.Edges[k].B == current) back = &s.Edges[k];
      if (back) {
        back->Second = static_cast<int32_t>(p);
        continue;
      }
      if (s.NbEdges >= SB_SHADOWMAXEDGES) return false;
      s.Edges[s.NbEdges++] = {current, next, static_cast<int32_t>(p), -1, 0};
    }
  }
  return true;
}

void LoadSlot(TSHADOWSLOT& s, const char* path) {
  TPLG* mesh = LoadPlg(path);
  if (!mesh) return;
  s.Mesh = mesh;
  if (mesh->NbVertices > SB_SHADOWMAXVERTICES || mesh->NbPolygons > SB_SHADOWMAXPOLYGONS || !BuildEdges(s)) {
    SB_ConsolePrintf("Shadow mesh %s too large !", path);
    FreePlg(mesh);
    s.Mesh = nullptr;
    s.NbEdges = 0;
  }
}

void Turn(const float* m, const int32_t* v, float* out) {
  for (int32_t row = 0; row < 3; ++row)
    out[row] = m[row] * static_cast<float>(v[0]) + m[row + 3] * static_cast<float>(v[1]) +
               m[row + 6] * static_cast<float>(v[2]);
}

void BuildPart(const TSHADOWSLOT& s, const TPARTFRAME& f, const TVECTOR& light, TSHADOWVOLUME& v) {
  const TPLG& m = *s.Mesh;
  for (uint32_t i = 0; i < m.NbVertices; ++i) {
    float p[3];
    Turn(f.M, m.Vertices[i], p);
    for (int32_t c = 0; c < 3; ++c) v.View[i][c] = (p[c] + f.T[c]) * kToView;
  }
  v.Light[0] = light.x, v.Light[1] = light.y, v.Light[2] = light.z;
  for (uint32_t p = 0; p < m.NbPolygons; ++p) {
    float n[3];
    Turn(f.M, m.Polygons[p].Vector, n);
    const double* corner = v.View[m.Polygons[p].Indices[0]];
    double dot = 0.0;
    for (int32_t c = 0; c < 3; ++c) dot += (v.Light[c] - corner[c]) * (n[c] * kToView);
    v.Facing[p] = dot > 0.0 ? 1 : 0;
  }
}

// A triangle's corrected plane appended as three projected slots; false
// when it cannot be corrected or the volume is full.
bool AddPlane(const double* a, const double* b, const double* c, TSHADOWVOLUME& v, int32_t& next,
              int32_t (*faces)[3], int32_t& nbFaces) {
  if (next + 2 > SB_SHADOWMAXVERTICES || nbFaces >= SB_SHADOWMAXPOLYGONS) return false;
  TTRIANGLE t = {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}, {c[0], c[1], c[2]}};
  if (!E3D_CorrectTrianglePlane(t)) {
    if (!g_planReported) SB_ConsolePrintf("cannot correct plan");
    g_planReported = true;
    return false;
  }
  for (int32_t k = 0; k < 3; ++k) {
    POWER_ShadowProjectPoint(t[k], &v.Projected[next + k]);
    faces[nbFaces][k] = next + k;
  }
  next += 3, ++nbFaces;
  return true;
}

// The volume's planes: the silhouette's sides toward the light, then the
// lit polygons; false when the volume is dropped for the frame.
bool VolumePlanes(const TSHADOWSLOT& s, TSHADOWVOLUME& v, int32_t (*faces)[3], int32_t& nbFaces) {
  const TPLG& m = *s.Mesh;
  int32_t next = s.NbVertices;
  nbFaces = 0;
  for (int32_t k = 0; k < s.NbEdges; ++k) {
    const TSHADOWEDGE& e = s.Edges[k];
    const bool lit = v.Facing[e.First] != 0;
    // An open edge bounds the volume where its one polygon faces the light.
    if (e.Second >= 0 ? lit == (v.Facing[e.Second] != 0) : !lit) continue;
    const double* A = v.View[lit ? e.A : e.B];
    const double* B = v.View[lit ? e.B : e.A];
    if (!AddPlane(A, B, v.Light, v, next, faces, nbFaces)) return false;
  }
  for (uint32_t p = 0; p < m.NbPolygons; ++p) {
    if (!v.Facing[p]) continue;
    const uint32_t* i = m.Polygons[p].Indices;
    if (!AddPlane(v.View[i[0]], v.View[i[1]], v.View[i[2]], v, next, faces, nbFaces)) return false;
  }
  return true;
}

int32_t Clamp(double v) {
  if (!(v == v)) return 0;
  return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

}  // namespace

const TSHADOWSLOT& SB_ShadowSlot(int32_t slot) { return g_slots[slot]; }

TPARTFRAME SB_PartViewFrame(const OBJECT* part, const TCAMERA* camera) {
  TPARTFRAME f{};
  const double* k = camera->Matrix;
  for (int32_t col = 0; col < 3; ++col)
    for (int32_t row = 0; row < 3; ++row) {
      double sum = 0.0;
      for (int32_t j = 0; j < 3; ++j) sum += k[row + 3 * j] * part->Orientation[j + 3 * col];
      f.M[row + 3 * col] = static_cast<float>(sum);
    }
  const double d[3] = {part->Position[0] - camera->PosX * 60800.0, part->Position[1] - camera->PosY * 60800.0,
                       part->Position[2] - camera->PosZ * 60800.0};
  for (int32_t row = 0; row < 3; ++row)
    f.T[row] = static_cast<float>(k[row] * d[0] + k[row + 3] * d[1] + k[row + 6] * d[2]);
  return f;
}

__attribute__((weak)) void POWER_InitShadow() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  ClearSlots();
  g_planReported = false;
  static const char* const kLow[SB_NBSHADOWSLOTS] = {"PLG>CARENV.PLG", nullptr, nullptr};
  static const char* const kHigh[SB_NBSHADOWSLOTS] = {"PLG>CAISSE.PLG", "PLG>TOIT.PLG", "PLG>ROUE.PLG"};
  const char* const* list = SB_Var.Shadow == 2 ? kLow : SB_Var.Shadow == 3 ? kHigh : nullptr;
  if (!list) return;
  for (int32_t i = 0; i < SB_NBSHADOWSLOTS; ++i)
    if (list[i]) LoadSlot(g_slots[i], list[i]);
}

__attribute__((weak)) void POWER_CloseShadow() {
  for (TSHADOWSLOT& s : g_slots) FreePlg(s.Mesh);
  ClearSlots();
}

__attribute__((weak)) void POWER_BuildCarShadow(TSOFTSCENE* scene, TCAMERA* camera, TCAR* car,
                                                int32_t index) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !scene || !camera || !car || SB_Var.HeadlightsOn) return;
  if (car->SurfaceFlags[kNoShadowFlag] || scene->NbShadowVolumes >= SB_SHADOWCARS) return;
  if (SB_Var.CameraMode == kInCar && (index == SB_Var.DrivenCar || index == SB_Var.ReplayCar)) return;
  const TVECTOR light = SB_SunInView(*camera);
  for (int32_t k = 0; k < SB_SHADOWPARTS; ++k) {
    TSHADOWSLOT& s = g_slots[kSlotOfPart[k]];
    const OBJECT* part = k < 2 ? car->Object : car->Wheels[k - 2];
    TSHADOWVOLUME& v = scene->ShadowVolumes[k * SB_SHADOWCARS + scene->NbShadowVolumes];
    if (!s.Mesh) continue;
    if (!part) {
      // A missing part lights nothing, so that no earlier frame's volume is drawn.
      std::memset(v.Facing, 0, sizeof v.Facing);
      continue;
    }
    s.NbVertices = static_cast<int32_t>(s.Mesh->NbVertices);
    BuildPart(s, SB_PartViewFrame(part, camera), light, v);
  }
  ++scene->NbShadowVolumes;
}

__attribute__((weak)) void POWER_DrawShadows(TSOFTSCENE* scene) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !scene) return;
  static int32_t faces[SB_SHADOWMAXPOLYGONS][3];
  for (int32_t j = 0; j < scene->NbShadowVolumes && j < SB_SHADOWCARS; ++j)
    for (int32_t k = 0; k < SB_SHADOWPARTS; ++k) {
      const TSHADOWSLOT& s = g_slots[kSlotOfPart[k]];
      if (!s.Mesh) continue;
      TSHADOWVOLUME& v = scene->ShadowVolumes[k * SB_SHADOWCARS + j];
      int32_t nbFaces = 0;
      if (!VolumePlanes(s, v, faces, nbFaces) || nbFaces == 0) continue;
      SB_Var.SglContext.VolumeKind = 1;
      POWER_ShadowBoundingBox(s, v);
      const float box[4] = {static_cast<float>(v.Box[0]), static_cast<float>(v.Box[1]),
                            static_cast<float>(v.Box[2]), static_cast<float>(v.Box[3])};
      sgltri_shadow(&SB_Var.SglContext, nbFaces, faces, v.Projected, box);
    }
}

void POWER_ShadowBoundingBox(const TSHADOWSLOT& slot, TSHADOWVOLUME& v) {
  v.Box[0] = v.Box[1] = INT32_MAX;
  v.Box[2] = v.Box[3] = 0;
  const TPLG& m = *slot.Mesh;
  double d[3] = {v.View[0][0] - v.Light[0], v.View[0][1] - v.Light[1], v.View[0][2] - v.Light[2]};
  const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  for (double& c : d) c = length > 0.0 ? c / length : 0.0;
  for (uint32_t p = 0; p < m.NbPolygons; ++p) {
    if (!v.Facing[p]) continue;
    for (uint32_t i = 0; i < m.Polygons[p].NbIndices; ++i) {
      const double* x = v.View[m.Polygons[p].Indices[i]];
      const double e[3] = {x[0] + kExtrusion * d[0], x[1] + kExtrusion * d[1], x[2] + kExtrusion * d[2]};
      for (const double* q : {x, e}) {
        if (!(q[2] >= kNearest)) continue;
        TSGLVERTEX projected;
        POWER_ShadowProjectPoint(q, &projected);
        POWER_ShadowGrowBox(projected, v);
      }
    }
  }
  const int32_t w = SB_Var.ScreenWindow.W_WIDTH, h = SB_Var.ScreenWindow.W_HEIGHT;
  for (int32_t i = 0; i < 4; ++i) v.Box[i] = std::max(v.Box[i], 0);
  v.Box[0] = std::min(v.Box[0], w), v.Box[2] = std::min(v.Box[2], w);
  v.Box[1] = std::min(v.Box[1], h), v.Box[3] = std::min(v.Box[3], h);
  v.Box[2] = std::max(v.Box[2], v.Box[0]);
  v.Box[3] = std::max(v.Box[3], v.Box[1]);
}

void POWER_ShadowGrowBox(const TSGLVERTEX& point, TSHADOWVOLUME& v) {
  const int32_t x = Clamp(point.X), y = Clamp(point.Y);
  v.Box[0] = std::min(v.Box[0], x), v.Box[1] = std::min(v.Box[1], y);
  v.Box[2] = std::max(v.Box[2], x), v.Box[3] = std::max(v.Box[3], y);
}

void POWER_ShadowProjectPoint(const double* p, TSGLVERTEX* out) {
  const double w = 1.0 / p[2];
  out->X = static_cast<float>(SB_Var.CenterX + p[0] * SB_Var.FocalF * w);
  out->Y = static_cast<float>(SB_Var.CenterY + p[1] * SB_Var.FocalF * w);
  out->Depth = static_cast<float>(p[2] * SB_Var.DepthScale);
  out->InvW = static_cast<float>(w * SB_Var.ProjFactor);
  // Only the plane matters to the card; the rest is cleared, not left to
  // whatever the view's memory held.
  out->Colour = out->Specular = 0;
  out->U = out->V = 0.0f;
}
