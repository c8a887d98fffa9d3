// The two user views with their polygon and vertex arrays, the triangle
// work buffers, and a view's preparation for a frame: rotation lookup
// tables, projection slopes and the window's size.
#include "racescene/views.h"

#include <cmath>
#include <cstring>

#include "engine3d/power.h"
#include "racescene/powerscene.h"
#include "scenery/framefx.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"

namespace {

constexpr const char* kSceneOwners[2] = {"SB_AllocUserViews1", "SB_AllocUserViews2"};
constexpr const char* kFaceOwners[2] = {"SB_AllocUserViews1 faces", "SB_AllocUserViews2 faces"};
constexpr const char* kVertexOwners[2] = {"SB_AllocUserViews1 vertices", "SB_AllocUserViews2 vertices"};
constexpr int32_t kTriBufferSizes[3] = {24000, 84000, 42000};

struct Limits {
  int32_t drawDistance, faces, vertices;
};
constexpr Limits kLimits[] = {{300, 2500, 9000}, {225, 2100, 8000}, {150, 1700, 7000}};

void SetLimits() {
  for (const Limits& l : kLimits)
    if (SB_Var.DrawDistance == l.drawDistance) {
      SB_Var.MaxFaces = l.faces;
      SB_Var.MaxVertices = l.vertices;
    }
}

void* Take(size_t bytes, const char* owner) { return SB_GetMem(static_cast<int32_t>(bytes), owner); }

void Give(void*& block) {
  if (block) SB_Release(block);
  block = nullptr;
}

// Empties a view for the renderer of the race.
void EmptyView(TSOFTSCENE* view) {
  if (SB_Var.Renderer == SB_RENDERER_PVR)
    POWER_ResetScene(view);
  else
    SB_ResetUserView(view);
}

}  // namespace

size_t SB_ViewVertexBytes() {
  constexpr size_t kSoft = sizeof(TSOFTVERTEX), kSgl = sizeof(TSGLVERTEX) + sizeof(TSGLCLIP);
  return static_cast<size_t>(SB_Var.MaxVertices > 0 ? SB_Var.MaxVertices : 0) * (kSoft > kSgl ? kSoft : kSgl);
}

void SB_FreeUserViews() {
  for (TSOFTSCENE*& view : SB_Var.UserView) {
    if (!view) continue;
    Give(view->Polygons);
    Give(view->Vertices);
    SB_Release(view);
    view = nullptr;
  }
  SB_Var.CurrentView = SB_Var.PreviousView = nullptr;
}

void SB_AllocUserViews() {
  SB_FreeUserViews();
  SetLimits();
  const size_t faces = static_cast<size_t>(SB_Var.MaxFaces > 0 ? SB_Var.MaxFaces : 0) * sizeof(TSOFTPOLY);
  for (int32_t i = 0; i < 2; ++i) {
    auto* view = static_cast<TSOFTSCENE*>(Take(sizeof(TSOFTSCENE), kSceneOwners[i]));
    if (!view) continue;
    view->Polygons = Take(faces, kFaceOwners[i]);
    view->Vertices = Take(SB_ViewVertexBytes(), kVertexOwners[i]);
    SB_Var.UserView[i] = view;
    EmptyView(view);
  }
}

void SB_ResetUserView(TSOFTSCENE* view) {
  if (!view) return;
  view->FirstPolygon = view->PolygonCursor = view->Polygons;
  view->VertexCursor = view->Vertices;
  view->NbPolygons = view->NbVertices = 0;
}

void POWER_ResetScene(TSOFTSCENE* scene) {
  if (!scene) return;
  scene->FirstPolygon = scene->PolygonCursor = scene->Polygons;
  scene->ResetWord = 0;
  scene->VertexCursor = scene->Vertices;
  const size_t vertices = static_cast<size_t>(SB_Var.MaxVertices > 0 ? SB_Var.MaxVertices : 0);
  scene->ClipCursor = scene->Vertices ? static_cast<uint8_t*>(scene->Vertices) + vertices * sizeof(TSGLVERTEX)
                                      : nullptr;
  scene->NbPolygons = scene->NbVertices = 0;
  std::memset(scene->TextureUses, 0, sizeof scene->TextureUses);
  scene->EndCounter = 0;
  scene->NbShadowVolumes = 0;
}

void SB_Free3dBuffersTria() {
  for (void*& buffer : SB_Var.TriBuffers) Give(buffer);
}

void SB_Alloc3dBuffersTria() {
  SB_Free3dBuffersTria();
  for (int32_t i = 0; i < 3; ++i) SB_Var.TriBuffers[i] = Take(kTriBufferSizes[i], "SB_Alloc3dBuffersTria");
}

void SB_FillRotationTable(int32_t* table, int32_t coefficient) {
  for (int32_t i = 0; i < SB_ROTTABLESIZE; ++i) table[i] = (i - 64) * coefficient;
}

void SB_UpdateRotationTable(int32_t coefficient, int32_t* cached, int32_t* table) {
  if (*cached == coefficient) return;
  *cached = coefficient;
  SB_FillRotationTable(table, coefficient);
}

void SB_UpdateRotationTables(const FIXFRAME* frame) {
  const int32_t* words = &frame->Rotation[0][0];
  for (int32_t n = 0; n < 9; ++n) {
    TROTATIONTABLE& t = SB_Var.RotationTables[n];
    SB_UpdateRotationTable(words[n], &t.Coefficient, t.Entries);
  }
}

// Weak, so that the race tests can record the call in its place.
__attribute__((weak)) void SB_SetView(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window, int32_t focal, int32_t far, int32_t) {
  SB_UpdateRotationTables(&camera->Frame);
  SB_Var.ViewFar = far;
  // The beam volumes and the software renderer's perspective fillers both
  // project with the view's negated focal length and centre.
  const float negFocal = static_cast<float>(-focal);
  const float negX = static_cast<float>(-SB_Var.CenterX), negY = static_cast<float>(-SB_Var.CenterY);
  POWER_SetPhareFocal(negFocal);
  POWER_SetPhareCentre(negX, negY);
  E3D_SetPerspFocal(negFocal);
  E3D_SetPerspCentre(negX, negY);
  const float kx = static_cast<float>(SB_Var.CenterX) / static_cast<float>(focal);
  const float ky = static_cast<float>(SB_Var.CenterY) / static_cast<float>(focal);
  SB_Var.SlopeCosX = 1.0f / std::sqrt(1.0f + kx * kx);
  SB_Var.SlopeSinX = kx * SB_Var.SlopeCosX;
  SB_Var.SlopeCosY = 1.0f / std::sqrt(1.0f + ky * ky);
  SB_Var.SlopeSinY = ky * SB_Var.SlopeCosY;
  SB_Var.ViewWidth = window->W_WIDTH;
  SB_Var.ViewHeight = window->W_HEIGHT;
  SB_Var.ViewWidthF = window->W_WIDTH;
  SB_Var.ViewHeightF = window->W_HEIGHT;
  EmptyView(view);
}

void SB_ResetViewState() {
  for (TROTATIONTABLE& t : SB_Var.RotationTables) t.Coefficient = SB_ROTTABLESTALE;
  SB_Var.PreviousView = nullptr;
  SB_Var.CurrentView = SB_Var.UserView[0];
  SB_Var.FarDistance = 38400;
  E3D_SoftMapState[0] = E3D_SoftMapState[1] = 0;
  E3D_SoftMapState[2] = 1;
}

TSOFTSCENE* SB_DrawnView() { return SB_Var.PreviousView ? SB_Var.PreviousView : SB_Var.UserView[1]; }

void SB_SwapViewBuffers() {
  TSOFTSCENE* next = SB_DrawnView();
  SB_Var.PreviousView = SB_Var.CurrentView;
  SB_Var.CurrentView = next;
}
