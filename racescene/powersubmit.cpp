// The accelerator's frame over a filled scene: the clip pass, the
// submission of the polygons as triangle batches per texture slot and
// variant and as single quads, the frame's start and render, the map slot
// and the debug outlines.
#include <cstring>

#include "engine3d/power.h"
#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "racescene/powerscene.h"
#include "racescene/race3d.h"
#include "scenery/framefx.h"
#include "shell/gameclock.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/input.h"

namespace {

constexpr int32_t kCodeNear = 32;
constexpr float kVariantDepth[SB_NBBATCHVARIANTS] = {800.0f, 500.0f, 100.0f};
constexpr float kCloseDepth = 900.0f;
constexpr uint32_t kBatchFlags = 0x1800, kTexturedFlag = 4, kBrightFlag = 1, kDimFlag = 0x4000;
constexpr int32_t kF9 = 120;

uint16_t gPool[SB_BATCHARRAYS][SB_BATCHFACES][4];

struct Quad {
  uint32_t Indices[4];
  int32_t Name;
};

TSGLPOLY* First(TSOFTSCENE* scene) { return static_cast<TSGLPOLY*>(scene->FirstPolygon); }

// Kinds the clip pass and the submission look at.
bool Handled(const TSGLPOLY* p) {
  return p->NbVertices >= 3 && p->NbVertices <= SB_MAXPOLYCORNERS &&
         (p->Kind == 1 || p->Kind == 3 || p->Kind == 5 || p->Kind == 7 || p->Kind == 11);
}

void ClipEntry(_WINDOW* window, TSOFTSCENE* scene, TSGLPOLY* p) {
  int32_t orCodes = 0, andCodes = ~0;
  for (int32_t i = 0; i < p->NbVertices; ++i) orCodes |= p->Clip[i].Code, andCodes &= p->Clip[i].Code;
  if (andCodes) {
    p->NbVertices = 0;
    return;
  }
  if (!(orCodes & kCodeNear)) return;
  TCLIPVERTEX in[SB_MAXPOLYCORNERS], out[2 * SB_MAXPOLYCORNERS + 4];
  for (int32_t i = 0; i < p->NbVertices; ++i) in[i] = {p->Vertices[i], p->Clip[i]};
  const int32_t n = POWER_ClipPolygon(window, in, out, p->NbVertices);
  andCodes = ~0;
  for (int32_t i = 0; i < n; ++i) andCodes &= out[i].C.Code;
  if (n < 3 || andCodes || n > SB_MAXPOLYCORNERS || SB_Var.MaxVertices - n <= scene->NbVertices) {
    p->NbVertices = 0;
    return;
  }
  auto* v = static_cast<TSGLVERTEX*>(scene->VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(scene->ClipCursor);
  for (int32_t i = 0; i < n; ++i) v[i] = out[i].V, c[i] = out[i].C;
  p->Vertices = v, p->Clip = c, p->NbVertices = static_cast<int8_t>(n);
  scene->VertexCursor = v + n, scene->ClipCursor = c + n;
  scene->NbVertices += n;
}

// The slot and variant of a map or object polygon; false when it is not drawn.
bool BatchOf(const TSGLPOLY* p, int32_t* slot, int32_t* variant) {
  if (p->Kind == 7) {
    *slot = static_cast<int32_t>(p->Texture), *variant = 0;
    return *slot > 0 && *slot < SB_NBTEXTURESLOTS;
  }
  if (p->TextureIndex >= SB_MAXTEXTURES) return false;
  const TTEXTUREPLACE& place = SB_Var.TexturePlaces[p->TextureIndex];
  if (!place.Loaded) return false;
  *slot = place.PageNumber;
  *variant = static_cast<int8_t>(place.Variant);
  if (*variant < 0 || *variant >= SB_NBBATCHVARIANTS) *variant = 0;
  return *slot > 0 && *slot < SB_NBTEXTURESLOTS;
}

void AddFan(const TSGLPOLY* p, int32_t slot, int32_t variant) {
  const int32_t n = p->NbVertices;
  TTRIBATCH* batch = &SB_Var.TriBatches[slot][variant];
  if (!batch->Faces) {
    if (SB_Var.TriBatchArrays >= SB_BATCHARRAYS) POWER_FlushAllTriangleBatches();
    batch->Faces = gPool[SB_Var.TriBatchArrays++];
    batch->NbFaces = 0;
  }
  if (batch->NbFaces + n - 2 >= SB_BATCHFACES) POWER_FlushTriangleBatch(slot, variant);
  const uint16_t base = static_cast<uint16_t>(p->Vertices - SB_Var.SglVertices);
  const uint16_t first = static_cast<uint16_t>(POWER_FanEdgeFlags(p->Vertices, n));
  const uint16_t later = n > 3 && first != 0 ? 31 : 0;
  for (int32_t k = 0; k < n - 2; ++k) {
    uint16_t* face = batch->Faces[batch->NbFaces++];
    face[0] = base, face[1] = static_cast<uint16_t>(base + k + 1),
    face[2] = static_cast<uint16_t>(base + k + 2);
    face[3] = k == 0 ? first : later;
  }
}

}  // namespace

int32_t POWER_FanEdgeFlags(const TSGLVERTEX* v, int32_t n) {
  if (n <= 3) return 0;
  double firstSign = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    const TSGLVERTEX &a = v[i], &b = v[(i + 1) % n], &c = v[(i + 2) % n];
    const double cross =
        static_cast<double>(c.X - b.X) * (b.Y - a.Y) - static_cast<double>(c.Y - b.Y) * (b.X - a.X);
    if (cross == 0.0) return 0;
    if (i == 0)
      firstSign = cross;
    else if ((cross > 0.0) != (firstSign > 0.0))
      return 0;
  }
  return n - 3;
}

void POWER_FlushTriangleBatch(int32_t slot, int32_t variant) {
  if (slot < 0 || slot >= SB_NBTEXTURESLOTS || variant < 0 || variant >= SB_NBBATCHVARIANTS) return;
  TTRIBATCH& batch = SB_Var.TriBatches[slot][variant];
  if (!batch.Faces || batch.NbFaces == 0) return;
  SGLCONTEXT& c = SB_Var.SglContext;
  const uint32_t kept = c.Flags;
  const uint32_t flags = POWER_SlotFlags(slot);
  c.Flags |= kBatchFlags;
  c.TextureName = POWER_SlotName(slot);
  if (c.TextureName == -1) c.Flags &= ~kTexturedFlag;
  c.LevelBias = flags & 1 ? -3 : 0;
  if (!SB_Var.HeadlightsOn) c.ShadeFactor = flags & 2 ? 1.0f : 0.5f;
  c.Flags |= flags & 2 ? kBrightFlag : kDimFlag;
  c.SortDepth = flags & 8 ? kCloseDepth : kVariantDepth[variant];
  sgltri_triangles(&c, batch.NbFaces, batch.Faces, SB_Var.SglVertices);
  batch.NbFaces = 0;
  c.Flags = kept;
}

void POWER_FlushAllTriangleBatches() {
  for (int32_t slot = 0; slot < SB_NBTEXTURESLOTS; ++slot)
    for (int32_t variant = 0; variant < SB_NBBATCHVARIANTS; ++variant)
      POWER_FlushTriangleBatch(slot, variant);
  SB_Var.TriBatchArrays = 0;
  std::memset(SB_Var.TriBatches, 0, sizeof SB_Var.TriBatches);
}

void POWER_SubmitViewPolygons(_WINDOW*, TSOFTSCENE* scene) {
  SB_Var.NbPolysDrawn = 0;
  SB_Var.NbVerticesDrawn = 0;
  SB_Var.TriBatchArrays = 0;
  std::memset(SB_Var.TriBatches, 0, sizeof SB_Var.TriBatches);
  SB_Var.SglVertices = static_cast<TSGLVERTEX*>(scene->Vertices);
  Quad quads[SB_MAXQUADS];
  int32_t nbQuads = 0;
  int32_t guard = scene->NbPolygons;  // a damaged list never loops
  for (TSGLPOLY* p = First(scene); p && guard-- > 0; p = p->Next) {
    if (!Handled(p) || p->Kind == 5) continue;
    if (p->Kind == 11) {
      const int32_t slot = static_cast<int32_t>(p->Texture);
      const int32_t name = POWER_SlotName(slot);
      if (name != -1 && p->NbVertices == 4 && nbQuads < SB_MAXQUADS) {
        const uint32_t base = static_cast<uint32_t>(p->Vertices - SB_Var.SglVertices);
        quads[nbQuads++] = {{base, base + 1, base + 2, base + 3}, name};
      }
      continue;
    }
    int32_t slot = 0, variant = 0;
    if (!BatchOf(p, &slot, &variant)) continue;
    ++SB_Var.NbPolysDrawn;
    SB_Var.NbVerticesDrawn += p->NbVertices;
    AddFan(p, slot, variant);
  }
  POWER_FlushAllTriangleBatches();
  SGLCONTEXT& c = SB_Var.SglContext;
  for (int32_t i = 0; i < nbQuads; ++i) {
    // Each quad is drawn with its own texture.
    c.TextureName = quads[i].Name;
    const float depth = SB_Var.SglVertices[quads[i].Indices[0]].Depth;
    c.SortDepth = depth != 0.0f ? 1.0f / depth : 0.0f;
    sgltri_quads(&c, 1, &quads[i].Indices, SB_Var.SglVertices);
  }
}

__attribute__((weak)) void POWER_ClipViewPolygons(_WINDOW* window, TSOFTSCENE* scene) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !scene || scene->NbPolygons <= 0) return;
  static_cast<TSGLPOLY*>(scene->PolygonCursor)[-1].Next = nullptr;
  int32_t guard = scene->NbPolygons;
  for (TSGLPOLY* p = First(scene); p && guard-- > 0; p = p->Next) {
    if (!Handled(p)) continue;
    if (p->Kind != 11) {
      ClipEntry(window, scene, p);
      continue;
    }
    bool coded = false;
    for (int32_t i = 0; i < p->NbVertices; ++i) coded |= p->Clip[i].Code != 0;
    if (coded || p->NbVertices < 4) p->NbVertices = 0;
  }
}

__attribute__((weak)) void POWER_BeginFrame(_WINDOW* window, TSOFTSCENE* scene) {
  POWER_CountInsetTextures(scene);
  SB_AnimateRoadLights(scene);
  SB_UpdatePanels(scene);
  SB_MarkPanelTextures(scene);
  SB_MarkSkyTextures(scene);
  SB_MarkLensFlareTextures(scene);
  SB_MarkRoadLightTextures(scene);
  if (!SB_Var.NoCache) POWER_UpdateTextureCache(scene);
  sgltri_startofframe(&SB_Var.SglContext);
  POWER_CheckErrors("sgltri_startofframe");
  POWER_SubmitViewPolygons(window, scene);
  SB_DrawLensFlare(scene);
  SB_DrawSky(&SB_Var.ScreenWindow);
  SB_DrawGround(&SB_Var.ScreenWindow);
  POWER_DrawCarsInset();
  POWER_DrawShadows(scene);
  POWER_DrawPhareVolumes();
  SB_Var.SglRendered = 0;
}

__attribute__((weak)) void POWER_RenderFrame(_WINDOW*, TSOFTSCENE* scene) {
  if (!scene || scene->NbPolygons <= 0 || SB_Var.SglRendered) return;
  SB_Var.SglRendered = 1;
  const uint32_t start = SB_GetTime();
  sgltri_render(&SB_Var.SglContext);
  SB_Var.SglRenderTime = static_cast<int32_t>(SB_GetTime() - start);
  POWER_CheckErrors("sgltri_render");
}

__attribute__((weak)) void POWER_RenderMap(TSOFTSCENE* scene, TCAMERA* camera, _WINDOW*) {
  const float far = static_cast<float>(SB_Var.ViewFar);
  SB_Var.FarDistanceSq = far * far;
  POWER_TransformMapSectors(scene, camera);
}

__attribute__((weak)) int32_t POWER_DrawPolygonOutlines(TSOFTSCENE* scene) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !LS_KeyDown(kF9) || !(SB_Var.DrawDevInfo || SB_Var.EditorMode))
    return 0;
  _WINDOW* w = &SB_Var.ScreenWindow;
  LS_LockWindow(w);
  int32_t guard = scene ? scene->NbPolygons : 0;
  for (TSGLPOLY* p = scene ? First(scene) : nullptr; p && guard-- > 0; p = p->Next) {
    const int32_t n = p->NbVertices;
    if (n < 3) continue;
    for (int32_t i = 0; i < n; ++i) {
      const TSGLVERTEX &a = p->Vertices[i], &b = p->Vertices[(i + 1) % n];
      LS_WinLine(w, static_cast<int32_t>(a.X), static_cast<int32_t>(a.Y), static_cast<int32_t>(b.X),
                 static_cast<int32_t>(b.Y), 0);
    }
  }
  LS_UnlockWindow(w);
  return 1;
}
