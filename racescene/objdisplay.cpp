// Object display: cars, decor and background objects culled by distance
// and, for cars, by the view pyramid, drawn at a level of detail or burned,
// each point transformed, lit and projected once, back faces culled, and
// the faces listed by depth for the renderer's emitters.
#include <cmath>
#include <cstring>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "engine3d/sort.h"
#include "racescene/powerscene.h"
#include "racescene/race3d.h"
#include "scenery/framefx.h"
#include "scenery/types.h"
#include "shell/sbvar.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kMaxVertices = 16384, kMaxFaces = 8192;
constexpr uint32_t kTransformed = 1u << 29, kProjected = 1u << 30;
constexpr int32_t kBackCullFlag = 1 << 5, kNoGouraudFlag = 1 << 6, kNearFlag = 0x80000;
constexpr int32_t kDirectBias = 30400000;
constexpr double kPlaneMargin = -2.5;

struct TFACEENTRY {
  int32_t Key;  // first word: the sort key
  TGRAF* Face;
  TOBJVERTEX** Vertices;
};

TOBJVERTEX gVertices[kMaxVertices];
int32_t gNbVertices;
TFACEENTRY gFaces[kMaxFaces];
TFACEENTRY* gFaceOrder[kMaxFaces];
TOBJVERTEX* gFaceVertices[kMaxFaces][5];
int32_t gNbFaces;

struct Frame {
  double R[9];  // column after column
  double T[3];
};

// An integer coordinate from a double, held at the ends of the range
// (a NaN gives 0): a converted value beyond them would be undefined.
int32_t Saturate(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// A part whose place relative to the camera is not a finite number of
// object units within the integer range cannot be drawn.
bool Placeable(const Frame& f) {
  for (double t : f.T)
    if (!(std::fabs(t) < 2147483647.0)) return false;
  return true;
}

void Turn(const double* m, const double* in, double* out) {
  out[0] = m[0] * in[0] + m[3] * in[1] + m[6] * in[2];
  out[1] = m[1] * in[0] + m[4] * in[1] + m[7] * in[2];
  out[2] = m[2] * in[0] + m[5] * in[1] + m[8] * in[2];
}

// The part's orientation and position composed with the camera's.
Frame PartFrame(const OBJECT* part, const TCAMERA* camera) {
  Frame f;
  double o[9];
  for (int32_t k = 0; k < 9; ++k) o[k] = part->Orientation[k];
  for (int32_t col = 0; col < 3; ++col) Turn(camera->Matrix, o + 3 * col, f.R + 3 * col);
  const double d[3] = {part->Position[0] - camera->PosX * 60800.0, part->Position[1] - camera->PosY * 60800.0,
                       part->Position[2] - camera->PosZ * 60800.0};
  Turn(camera->Matrix, d, f.T);
  return f;
}

uint32_t Shade(const double* normal, const double* r) {
  double n[3];
  Turn(r, normal, n);
  const TVECTOR& l = SB_Var.LightCam;
  double s = 100.0 * (n[0] * l.x + n[1] * l.y + n[2] * l.z) + 100.0;
  s = s > 150.0 ? 150.0 : s < 0.0 ? 0.0 : s;
  const TCAR* car = SB_Var.ObjectCar;
  return SB_Var.LightTables[car && car->LightTable ? 0 : 1][static_cast<int32_t>(s)];
}

// The point's transformed vertex, made on its first use this frame; null
// when the work array is full.
TOBJVERTEX* Vertex(TPOINT3D* p, const Frame& f, bool gouraud) {
  if (p->WorkFlags & kTransformed) return &gVertices[p->Transformed];
  if (gNbVertices >= kMaxVertices) return nullptr;
  TOBJVERTEX& v = gVertices[gNbVertices];
  v = {};
  const double in[3] = {static_cast<double>(p->X), static_cast<double>(p->Y), static_cast<double>(p->Z)};
  double c[3];
  Turn(f.R, in, c);
  v.X = Saturate(c[0] + f.T[0]), v.Y = Saturate(c[1] + f.T[1]);
  v.Z = Saturate(c[2] + f.T[2]);
  if (gouraud) {
    const double n[3] = {static_cast<double>(p->Normal[0]), static_cast<double>(p->Normal[1]),
                         static_cast<double>(p->Normal[2])};
    v.Colour = Shade(n, f.R);
  }
  if (v.Z >= SB_OBJECTNEAR) {
    const double focal = SB_Var.Focal;
    v.ScreenX = Saturate(SB_Var.CenterX + std::rint(v.X * focal / v.Z));
    v.ScreenY = Saturate(SB_Var.CenterY + std::rint(v.Y * focal / v.Z));
    const _WINDOW* w = SB_Var.ObjectWindow;
    const int32_t width = w ? w->W_WIDTH : 0, height = w ? w->W_HEIGHT : 0;
    v.Code = (v.ScreenX < 0       ? 2
              : v.ScreenX > width ? 4
                                  : 0) |
             (v.ScreenY < 0        ? 8
              : v.ScreenY > height ? 16
                                   : 0);
  } else {
    v.Code = 32;
  }
  p->Transformed = gNbVertices++;
  p->WorkFlags |= kTransformed | kProjected;
  return &v;
}

// Lists the faces of one atom; false once the face list is full.
bool ListAtomFaces(TATOM* atom, const Frame& f) {
  for (int32_t i = 0; i < atom->NbPoints; ++i) atom->Points[i].WorkFlags &= ~(kTransformed | kProjected);
  const bool gouraudLight = SB_Var.Light == 3;
  for (int32_t i = 0; i < atom->NbFaces; ++i) {
    TGRAF* face = &atom->Faces[i];
    const int32_t n = face->NbPoints;
    if (n < 3 || n > 4) continue;
    bool inside = true;
    for (int32_t k = 0; k < n; ++k) inside &= face->Points[k] >= 0 && face->Points[k] < atom->NbPoints;
    if (!inside) continue;
    if (gNbFaces >= kMaxFaces) return false;
    face->G_COLOR = SB_Var.ObjectColour;
    const double normal[3] = {static_cast<double>(face->Normal[0]), static_cast<double>(face->Normal[1]),
                              static_cast<double>(face->Normal[2])};
    const bool gouraud = gouraudLight && !(face->G_FLAGS & kNoGouraudFlag);
    TOBJVERTEX** list = gFaceVertices[gNbFaces];
    bool made = true;
    for (int32_t k = 0; k < n && made; ++k)
      made = (list[k] = Vertex(&atom->Points[face->Points[k]], f, gouraud));
    if (!made) continue;
    if (face->G_FLAGS & kBackCullFlag) {
      double nc[3];
      Turn(f.R, normal, nc);
      const double facing = nc[0] * list[0]->X + nc[1] * list[0]->Y + nc[2] * list[0]->Z;
      if (!(facing < 0.0)) continue;
    }
    if (!SB_Var.HeadlightsOn && SB_Var.Light == 2) face->G_COLOR = Shade(normal, f.R);
    double key = 0.0;
    for (int32_t k = 0; k < n; ++k) key += list[k]->Z;
    if (n == 4) key *= 0.75;
    if (face->G_FLAGS & kNearFlag) key += 32000.0;
    gFaces[gNbFaces] = {Saturate(key), face, list};
    gFaceOrder[gNbFaces] = &gFaces[gNbFaces];
    ++gNbFaces;
  }
  return true;
}

// The software list's place for a key: before the first entry whose key
// is smaller.
void FindInsertPlace(TSOFTSCENE* s, int32_t key) {
  TSOFTPOLY* after = nullptr;
  TSOFTPOLY* p = static_cast<TSOFTPOLY*>(s->FirstPolygon);
  for (int32_t guard = s->NbPolygons; p && guard > 0 && p->Key >= key; --guard) after = p, p = p->Next;
  SB_Var.ObjectInsertAfter = after;
  SB_Var.ObjectInsertBefore = s->NbPolygons > 0 ? p : nullptr;
}

void ObjectStart(const Frame& f) {
  SB_Var.ObjectKey = 3 * static_cast<int32_t>(f.T[2] * 320.0 / 60800.0) - 49152 + SB_Var.ObjectKeyBias;
  TSOFTSCENE* s = SB_Var.EmitScene;
  if (SB_Var.Renderer != SB_RENDERER_PVR && s) FindInsertPlace(s, SB_Var.ObjectKey);
  if (TCAR* car = SB_Var.ObjectCar) {
    SB_EmitCarShadowSoft(SB_Var.ObjectWindow, SB_Var.ObjectCamera, car, s, SB_Var.ObjectKey);
    SB_UpdateBrakeLights(s, SB_Var.ObjectGlass);
    SB_UpdateGlassClouds(s, SB_Var.ObjectGlass);
  }
}

void SwapAtoms(OBJECT* list, int32_t slot) {
  for (OBJECT* part = list; part; part = part->Next) std::swap(part->Atoms[OBJ_MAIN], part->Atoms[slot]);
}

// Steps 6 and 7: the faces listed, sorted off the accelerator, emitted.
void ListAndEmit(OBJECT* list, int32_t variant) {
  if (variant != OBJ_MAIN) SwapAtoms(list, variant);
  const int32_t count = SB_DrawAtom(list);
  if (variant != OBJ_MAIN) SwapAtoms(list, variant);
  if (count == 0) return;
  const bool pvr = SB_Var.Renderer == SB_RENDERER_PVR;
  if (!pvr) E3D_SortByKey(reinterpret_cast<void**>(gFaceOrder), count);
  if (!pvr && !SB_Var.ObjectCar && SB_Var.ObjectKeyBias == 0 && SB_Var.EmitScene) {
    // An object without a car (a decor object) stands off the road: put at
    // its nearest face's depth, it is drawn before the map's faces in front
    // of it. The car's rule, its centre pulled a big cell (51 m) nearer,
    // would draw it over every face within that reach (a windmill over
    // the gantry before it).
    SB_Var.ObjectKey = static_cast<int32_t>(gFaceOrder[count - 1]->Key / SB_OBJECTUNITS);
    FindInsertPlace(SB_Var.EmitScene, SB_Var.ObjectKey);
  }
  for (int32_t i = 0; i < count; ++i) {
    const TFACEENTRY* e = gFaceOrder[i];
    if (e->Face->NbPoints == 3)
      pvr ? POWER_EmitObjectTriangle(e->Face, e->Vertices) : SB_EmitObjectTriangleSoft(e->Vertices, e->Face);
    else
      pvr ? POWER_EmitObjectQuad(e->Face, e->Vertices) : SB_EmitObjectQuadSoft(e->Vertices, e->Face);
  }
}

bool InPyramid(const TCAR* car, const TCAMERA* camera) {
  TVECTOR p{car->Position[0] - camera->PosX, car->Position[1] - camera->PosY,
            car->Position[2] - camera->PosZ};
  E3D_MatMulVec(camera->Matrix, &p);
  for (int32_t plane : {0, 1, 3, 2}) {
    const TVECTOR& n = SB_Var.ViewPyramid[plane];
    if (n.x * p.x + n.y * p.y + n.z * p.z < kPlaneMargin) return false;
  }
  return true;
}

int32_t DetailVariant(const OBJECT* list, double d2) {
  if (IsAtom(list->Atoms[OBJ_SIMPLIFIED]) && d2 > 225.0 && d2 <= 900.0) return OBJ_SIMPLIFIED;
  if (IsAtom(list->Atoms[OBJ_REDUCED1]) && d2 > 900.0 && d2 <= 2025.0) return OBJ_REDUCED1;
  if (IsAtom(list->Atoms[OBJ_REDUCED2]) && d2 > 2025.0) return OBJ_REDUCED2;
  return OBJ_MAIN;
}

}  // namespace

int32_t SB_DrawAtom(OBJECT* list) {
  gNbVertices = gNbFaces = 0;
  const TCAMERA* camera = SB_Var.ObjectCamera;
  if (!camera) return 0;
  const OBJECT* keyPart = SB_Var.ObjectCar && SB_Var.ObjectCar->Body ? SB_Var.ObjectCar->Body : list;
  bool started = false;
  for (OBJECT* part = list; part; part = part->Next) {
    TATOM* atom = part->Atoms[OBJ_MAIN];
    if (!IsAtom(atom)) continue;
    const Frame f = PartFrame(part, camera);
    if (!Placeable(f)) continue;
    if (!started) {
      const Frame key = keyPart == list ? f : PartFrame(keyPart, camera);
      ObjectStart(Placeable(key) ? key : f);
      started = true;
    }
    if (atom->NbPoints <= 0 || !atom->Points || !atom->Faces) continue;
    if (!ListAtomFaces(atom, f)) break;
  }
  SB_Var.NbObjectFaces = gNbFaces;
  return gNbFaces;
}

__attribute__((weak)) void SB_DrawObject(TSOFTSCENE* scene, _WINDOW* window, OBJECT* list, TCAMERA* camera,
                                         TCAR* car, const double* position, int32_t detail, int32_t glass,
                                         uint32_t colour) {
  if (!list || !camera) return;
  SB_Var.EmitScene = scene, SB_Var.ObjectWindow = window, SB_Var.ObjectCamera = camera;
  SB_Var.ObjectCar = car, SB_Var.ObjectColour = colour, SB_Var.ObjectGlass = glass;
  SB_Var.ObjectKeyBias = 0;
  if (SB_Var.Light != 1) {
    const double k = -1.0 / 16384.0;
    SB_Var.LightCam = {SB_Var.LightDir.x * k, SB_Var.LightDir.y * k, SB_Var.LightDir.z * k};
    E3D_MatMulVec(camera->Matrix, &SB_Var.LightCam);
  }
  const double* at = car ? car->Position : position;
  double d2 = 0.0;
  if (at) {
    const double dx = at[0] - camera->PosX, dy = at[1] - camera->PosY, dz = at[2] - camera->PosZ;
    d2 = dx * dx + dy * dy + dz * dz;
    const double limit = static_cast<double>(SB_Var.DrawDistance) * SB_Var.DrawDistance;
    if (d2 > limit) return;
  }
  int32_t variant = OBJ_MAIN;
  if (car) {
    if (!InPyramid(car, camera)) return;
    if (car->Burned && IsAtom(list->Atoms[OBJ_BURNED])) variant = OBJ_BURNED;
  }
  if (variant == OBJ_MAIN && detail && car) variant = DetailVariant(list, d2);
  ListAndEmit(list, variant);
}

__attribute__((weak)) void SB_DrawObjectDirect(TSOFTSCENE* scene, _WINDOW* window, OBJECT* list,
                                               TCAMERA* camera, TCAR* car, int32_t) {
  if (!list || !camera) return;
  SB_Var.EmitScene = scene, SB_Var.ObjectWindow = window, SB_Var.ObjectCamera = camera,
  SB_Var.ObjectCar = car;
  SB_Var.ObjectKeyBias = kDirectBias;
  ListAndEmit(list, OBJ_MAIN);
}

__attribute__((weak)) void SB_DrawDecorObjects(TSOFTSCENE* view) {
  if (!view || !SB_Var.DecorObjects || SB_Var.NbDecorObjects < 1) return;
  for (int32_t i = 0; i < SB_Var.NbDecorObjects; ++i) {
    const TDECOROBJ& entry = SB_Var.DecorObjects[i];
    if (!entry.Object) continue;
    const double* position = entry.Blocks && entry.NbBlocks > 0 ? entry.Blocks[0].Position : nullptr;
    SB_DrawObject(view, &SB_Var.ScreenWindow, entry.Object, &SB_Var.Camera, nullptr, position, 0, 0,
                  SB_Var.LightColor);
  }
}
