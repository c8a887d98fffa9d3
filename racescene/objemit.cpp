// The object faces handed to the renderers: as polygon entries with
// accelerator vertices, or as software polygons linked into the scene's
// depth-ordered list at the object's depth; and the 8-bit software car
// shadow, a flat quad laid on the ground under the car.
#include <cmath>
#include <utility>

#include "engine3d/matrix.h"
#include "engine3d/object.h"
#include "racescene/powerscene.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "track/ground.h"
#include "vehicles/types.h"

namespace {

constexpr uint32_t kWhiteFlag = 1 << 6;
constexpr int32_t kKindTriangle = 7, kKindSoftAlt = 8, kKindShadow = 0;
constexpr int32_t kAltFlag = 0x10000;

bool Textured(const TGRAF* face) { return (face->G_TYPE & G_TYPE_TEXTURE) == G_TYPE_TEXTURE; }

int32_t FaceSlot(const TGRAF* face) {
  const auto* material = reinterpret_cast<const TMATERIAL*>(face->G_TEXTURE);
  return material ? material->CardTexture : 0;
}

void SglVertex(const TGRAF* face, const TOBJVERTEX* v, int32_t k, TSGLVERTEX* out, TSGLCLIP* clip) {
  const float z = static_cast<float>(v->Z / SB_OBJECTUNITS);
  clip->Code = v->Code;
  clip->X = static_cast<float>(v->X / SB_OBJECTUNITS), clip->Y = static_cast<float>(v->Y / SB_OBJECTUNITS);
  clip->Z = z;
  out->X = static_cast<float>(v->ScreenX), out->Y = static_cast<float>(v->ScreenY);
  out->Depth = z * SB_Var.DepthScale;
  out->InvW = z != 0.0f ? SB_Var.ProjFactor / z : 0.0f;
  out->Colour = face->G_FLAGS & kWhiteFlag ? 0xFFFFFF : SB_Var.Light == 3 ? v->Colour : face->G_COLOR;
  out->Specular = 0;
  out->U = static_cast<float>(static_cast<uint32_t>(face->G_OFFTEXT[2 * k]) * (1.0 / 65536.0));
  out->V = static_cast<float>(static_cast<uint32_t>(face->G_OFFTEXT[2 * k + 1]) * (1.0 / 65536.0));
}

TSGLPOLY* NewEntry(TSOFTSCENE* s, int32_t slot, TSGLVERTEX* v, TSGLCLIP* c) {
  auto* p = static_cast<TSGLPOLY*>(s->PolygonCursor);
  *p = {};
  p->Next = p + 1;
  p->Key = 0;
  p->Vertices = v, p->Clip = c;
  p->Texture = static_cast<uint32_t>(slot);
  p->NbVertices = 3, p->Kind = kKindTriangle;
  s->PolygonCursor = p + 1;
  ++s->NbPolygons;
  return p;
}

// Links a new software polygon at the object's place in the list.
void LinkSoft(TSOFTSCENE* s, TSOFTPOLY* p) {
  p->Next = SB_Var.ObjectInsertBefore;
  if (SB_Var.ObjectInsertAfter)
    SB_Var.ObjectInsertAfter->Next = p;
  else
    s->FirstPolygon = p;
  SB_Var.ObjectInsertAfter = p;
}

void EmitSoft(TOBJVERTEX* const* vertices, const TGRAF* face, int32_t n) {
  TSOFTSCENE* s = SB_Var.EmitScene;
  if (!s || !Textured(face) || s->NbPolygons >= SB_Var.MaxFaces || s->NbVertices >= SB_Var.MaxVertices - n)
    return;
  auto* v = static_cast<TSOFTVERTEX*>(s->VertexCursor);
  for (int32_t k = 0; k < n; ++k) {
    const TOBJVERTEX* t = vertices[k];
    v[k] = {};
    v[k].X = t->ScreenX, v[k].Y = t->ScreenY;
    v[k].U = face->G_OFFTEXT[2 * k], v[k].V = face->G_OFFTEXT[2 * k + 1];
    v[k].Code = t->Code;
    v[k].CamX = static_cast<int32_t>(t->X / SB_OBJECTUNITS);
    v[k].CamY = static_cast<int32_t>(t->Y / SB_OBJECTUNITS);
    v[k].CamZ = static_cast<int32_t>(t->Z / SB_OBJECTUNITS);
  }
  auto* p = static_cast<TSOFTPOLY*>(s->PolygonCursor);
  *p = {};
  p->Key = SB_Var.ObjectKey;
  p->Texture = reinterpret_cast<void*>(face->G_TEXTURE);
  p->FirstVertex = v;
  p->NbVertices = static_cast<uint8_t>(n);
  p->Kind = n == 3 && (face->G_FLAGS & kAltFlag) ? kKindSoftAlt : kKindTriangle;
  LinkSoft(s, p);
  s->PolygonCursor = p + 1, s->VertexCursor = v + n;
  ++s->NbPolygons, s->NbVertices += n;
}

}  // namespace

void POWER_EmitObjectTriangle(const TGRAF* face, TOBJVERTEX* const* vertices) {
  TSOFTSCENE* s = SB_Var.EmitScene;
  const int32_t slot = FaceSlot(face);
  if (!s || !s->ClipCursor || !Textured(face) || s->NbPolygons >= SB_Var.MaxFaces ||
      SB_Var.MaxVertices - 3 <= s->NbVertices)
    return;
  if (slot <= 0 || slot >= SB_NBTEXTURESLOTS) return;
  auto* v = static_cast<TSGLVERTEX*>(s->VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(s->ClipCursor);
  for (int32_t k = 0; k < 3; ++k) SglVertex(face, vertices[k], k, v + k, c + k);
  NewEntry(s, slot, v, c);
  ++s->TextureUses[slot];
  s->VertexCursor = v + 3, s->ClipCursor = c + 3;
  s->NbVertices += 3;
}

void POWER_EmitObjectQuad(const TGRAF* face, TOBJVERTEX* const* vertices) {
  TSOFTSCENE* s = SB_Var.EmitScene;
  const int32_t slot = FaceSlot(face);
  if (!s || !s->ClipCursor || !Textured(face) || s->NbPolygons >= SB_Var.MaxFaces - 1 ||
      SB_Var.MaxVertices - 5 <= s->NbVertices)
    return;
  if (slot <= 0 || slot >= SB_NBTEXTURESLOTS) return;
  auto* v = static_cast<TSGLVERTEX*>(s->VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(s->ClipCursor);
  for (int32_t k = 0; k < 4; ++k) SglVertex(face, vertices[k], k, v + k, c + k);
  v[4] = v[0], c[4] = c[0];
  NewEntry(s, slot, v, c);
  NewEntry(s, slot, v + 2, c + 2);  // corners 2, 3 and the copy of 0
  ++s->TextureUses[slot];
  s->VertexCursor = v + 5, s->ClipCursor = c + 5;
  s->NbVertices += 5;
}

void SB_EmitObjectTriangleSoft(TOBJVERTEX* const* vertices, const TGRAF* face) {
  EmitSoft(vertices, face, 3);
}
void SB_EmitObjectQuadSoft(TOBJVERTEX* const* vertices, const TGRAF* face) { EmitSoft(vertices, face, 4); }

namespace {

// The ground under a shadow corner (world units), tried at the corner and
// a cell's width around it; false when there is none.
bool GroundAt(double x, double z, double* height) {
  static constexpr int32_t kTries[5][2] = {{0, 0}, {320, 0}, {0, 320}, {-320, 0}, {0, -320}};
  for (const auto& t : kTries) {
    const double h = SB_GetRoadHeight(static_cast<int32_t>(x) + t[0], static_cast<int32_t>(z) + t[1]);
    if (h < SB_NOGROUND) {
      *height = h;
      return true;
    }
  }
  return false;
}

}  // namespace

void SB_EmitCarShadowSoft(_WINDOW* window, TCAMERA* camera, TCAR* car, TSOFTSCENE* s, int32_t key) {
  const int32_t mode = SB_Var.VideoModeIndex;
  const bool eightBit = mode >= 0 && mode < SB_NBVIDEOMODES && SB_Var.VideoModes[mode].Depth == 8;
  if (!car || !s || !window || SB_Var.Renderer == SB_RENDERER_PVR || !eightBit) return;
  if (s->NbPolygons >= SB_Var.MaxFaces || s->NbVertices >= SB_Var.MaxVertices - 4) return;
  TVECTOR v[4];
  for (int32_t i = 0; i < 4; ++i) {
    v[i] = {car->ShadowVectors[i][0], car->ShadowVectors[i][1], car->ShadowVectors[i][2]};
    E3D_MatMulVec(car->Orientation, &v[i]);
  }
  const TVECTOR o{v[0].x + car->Position[0], v[0].y + car->Position[1], v[0].z + car->Position[2]};
  const double sx[4] = {v[2].x, v[2].x + v[3].x, v[2].x + v[3].x + v[1].x, v[2].x + v[1].x};
  const double sy[4] = {v[2].y, v[2].y + v[3].y, v[2].y + v[3].y + v[1].y, v[2].y + v[1].y};
  const double sz[4] = {v[2].z, v[2].z + v[3].z, v[2].z + v[3].z + v[1].z, v[2].z + v[1].z};
  (void)sy;
  double h[4];
  for (int32_t i = 0; i < 4; ++i)
    if (!GroundAt((o.x + sx[i]) * 320.0, (o.z + sz[i]) * 320.0, &h[i])) return;
  for (const auto& pair : {std::pair{3, 2}, {2, 1}, {1, 0}, {2, 0}, {3, 1}})
    if (std::fabs(h[pair.first] - h[pair.second]) > 320.0) return;
  TMATRIX m;
  E3D_MatFromFixed(&camera->Frame.Rotation[0][0], m);
  auto* out = static_cast<TSOFTVERTEX*>(s->VertexCursor);
  const double f = SB_Var.FocalF, W = window->W_WIDTH, H = window->W_HEIGHT;
  for (int32_t i = 0; i < 4; ++i) {
    TVECTOR p{(o.x + sx[i]) * 320.0 - camera->PosX * 320.0, h[i] - camera->PosY * 320.0,
              (o.z + sz[i]) * 320.0 - camera->PosZ * 320.0};
    E3D_MatMulVec(m, &p);
    TSOFTVERTEX& q = out[i];
    q = {};
    q.CamX = static_cast<int32_t>(p.x), q.CamY = static_cast<int32_t>(p.y),
    q.CamZ = static_cast<int32_t>(p.z);
    if (p.z < 128.0) {
      q.Code = 32;
      continue;
    }
    q.X = static_cast<int32_t>(p.x * f / p.z + W / 2), q.Y = static_cast<int32_t>(p.y * f / p.z + H / 2);
    q.Code = (q.X < 0 ? 2 : q.X > W ? 4 : 0) | (q.Y < 0 ? 8 : q.Y > H ? 16 : 0);
  }
  auto* p = static_cast<TSOFTPOLY*>(s->PolygonCursor);
  *p = {};
  p->Key = key, p->FirstVertex = out, p->NbVertices = 4, p->Kind = kKindShadow;
  LinkSoft(s, p);
  s->PolygonCursor = p + 1, s->VertexCursor = out + 4;
  ++s->NbPolygons, s->NbVertices += 4;
}
