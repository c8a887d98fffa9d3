// Smoke puffs: a pool of 100 started at the wheels of sliding cars, moved
// every race frame (they rise, slow down, grow and die after a quarter of
// a second) and drawn as camera-facing squares, on the accelerator as
// translucent textured quads and in 8-bit software modes as polygons
// sorted into the view's depth-ordered list. 16-bit software modes move
// them but draw none.
//
// The race entries are weak, so that tests can put recording fakes in
// their place.
#include "scenery/smoke.h"

#include <cstring>

#include "engine3d/matrix.h"
#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
#include "platform/accel/types.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

constexpr double kRise = 1.5;           // m/s^2 upward (the y axis points down)
constexpr double kDragFactor = 0.1;     // per second
constexpr float kLifetime = 0.25f;      // s
constexpr float kGrowth = 4.0f;         // m/s of side
constexpr float kStartSize = 0.5f;      // m
constexpr double kUnits = 320.0;        // world units a metre
constexpr double kMaxDistance2 = 92160000.0;  // (9,600 units, 30 m)^2
constexpr double kHalfSide = 160.0;     // half the side in units, a metre of size
constexpr double kNear = 128.0;
constexpr int32_t kKeyBias = 48960;
constexpr int32_t kKindSprite = 11;
constexpr int32_t kCorners = 4;
constexpr int32_t kMaxSide = 256;
constexpr uint32_t kTint = 0xA0A0A0;
constexpr uint32_t kColour = 0x80D0D0D0;
constexpr const char* kOwner = "sbfumee pour power vr";
// Corner offsets in half sides, and the corners' texture coordinates.
constexpr int32_t kCornerSign[kCorners][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
constexpr float kCornerUV[kCorners][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

bool EightBitScreen() {
  const int32_t mode = SB_Var.VideoModeIndex;
  return mode >= 0 && mode < SB_NBVIDEOMODES && SB_Var.VideoModes[mode].Depth == 8;
}

// The smoke picture on a square 32-bit bitmap of its width, turned into an
// alpha texture and made a card texture; the slot or 0.
int32_t ConvertPicture(BMAP* picture) {
  const int32_t side = picture->SizeX;
  BMAP* square = side <= kMaxSide ? SB_CreateBmap(side, side, 32, 0, kOwner) : nullptr;
  if (!square) return 0;
  square->Format = BMAP_ABGR8888;
  LS_ClearBmap(square);
  LS_Bitmove(picture, square, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  POWER_BmapToAlpha(square, kTint);
  const int32_t slot = POWER_CreateCachedTexture(square, SGL_MAP_4444, 3, 0);
  SB_FreeBmap(square);
  return slot;
}

// The puff's centre in camera space (units); false when it is farther
// than 30 m, or not a number.
bool ViewCentre(const TFUMEE& f, TVECTOR* p) {
  const TCAMERA& c = SB_Var.Camera;
  *p = {f.X * kUnits - c.CurrentX, f.Y * kUnits - c.CurrentY, f.Z * kUnits - c.CurrentZ};
  if (!(p->x * p->x + p->y * p->y + p->z * p->z <= kMaxDistance2)) return false;
  TMATRIX m;
  E3D_MatFromFixed(&c.Frame.Rotation[0][0], m);
  E3D_MatMulVec(m, p);
  return true;
}

void EmitCard(TSOFTSCENE* s, const _WINDOW* w, const TVECTOR& p, double h) {
  const double z = p.z;
  if (static_cast<int32_t>(z) < kNear) return;
  auto* v = static_cast<TSGLVERTEX*>(s->VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(s->ClipCursor);
  const double f = SB_Var.FocalF, halfW = w->W_WIDTH / 2.0, halfH = w->W_HEIGHT / 2.0;
  for (int32_t k = 0; k < kCorners; ++k) {
    const double x = p.x + kCornerSign[k][0] * h, y = p.y + kCornerSign[k][1] * h;
    v[k].X = static_cast<float>(halfW + x * f / z), v[k].Y = static_cast<float>(halfH + y * f / z);
    v[k].InvW = static_cast<float>(SB_Var.ProjFactor / z);
    v[k].Depth = static_cast<float>(z * SB_Var.DepthScale);
    v[k].Colour = kColour, v[k].Specular = 0;
    v[k].U = kCornerUV[k][0], v[k].V = kCornerUV[k][1];
    // Inside the view: the clip pass drops sprites with any code.
    c[k] = {0, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  }
  auto* poly = static_cast<TSGLPOLY*>(s->PolygonCursor);
  *poly = {};
  poly->Next = poly + 1;
  poly->Vertices = v, poly->Clip = c;
  poly->Texture = static_cast<uint32_t>(SB_Var.FumeeTexture);
  poly->NbVertices = kCorners, poly->Kind = kKindSprite;
  s->PolygonCursor = poly + 1, s->VertexCursor = v + kCorners, s->ClipCursor = c + kCorners;
  ++s->NbPolygons, s->NbVertices += kCorners;
  ++s->TextureUses[SB_Var.FumeeTexture];
}

// Links the polygon before the first one of a smaller key (the list runs
// from far to near), or last.
void InsertByKey(TSOFTSCENE* s, TSOFTPOLY* poly) {
  TSOFTPOLY* after = nullptr;
  TSOFTPOLY* p = s->NbPolygons > 0 ? static_cast<TSOFTPOLY*>(s->FirstPolygon) : nullptr;
  int32_t guard = s->NbPolygons;  // a damaged list never loops
  for (; p && guard > 0 && p->Key >= poly->Key; --guard) after = p, p = p->Next;
  poly->Next = guard > 0 ? p : nullptr;
  if (after)
    after->Next = poly;
  else
    s->FirstPolygon = poly;
}

void EmitSoft(TSOFTSCENE* s, const _WINDOW* w, const TVECTOR& p, double h) {
  const int32_t z = static_cast<int32_t>(p.z);
  if (z < kNear) return;
  auto* v = static_cast<TSOFTVERTEX*>(s->VertexCursor);
  const double f = SB_Var.FocalF;
  const int32_t width = w->W_WIDTH, height = w->W_HEIGHT;
  for (int32_t k = 0; k < kCorners; ++k) {
    TSOFTVERTEX& q = v[k];
    q = {};
    q.CamX = static_cast<int32_t>(p.x + kCornerSign[k][0] * h);
    q.CamY = static_cast<int32_t>(p.y + kCornerSign[k][1] * h);
    q.CamZ = z;
    q.X = static_cast<int32_t>(width / 2.0 + q.CamX * f / z);
    q.Y = static_cast<int32_t>(height / 2.0 + q.CamY * f / z);
    q.Code = (q.X < 0 ? 2 : q.X > width ? 4 : 0) | (q.Y < 0 ? 8 : q.Y > height ? 16 : 0);
  }
  auto* poly = static_cast<TSOFTPOLY*>(s->PolygonCursor);
  *poly = {};
  poly->Key = static_cast<int32_t>(3.0 * p.z) - kKeyBias;
  poly->FirstVertex = v;
  poly->NbVertices = kCorners, poly->Kind = kKindSprite;
  InsertByKey(s, poly);
  s->PolygonCursor = poly + 1, s->VertexCursor = v + kCorners;
  ++s->NbPolygons, s->NbVertices += kCorners;
}

}  // namespace

double SB_FumeeDrag(double v, double k) {
  if (v >= 0.0) {
    const double d = v - v * v * k;
    return d < 0.0 ? 0.0 : d;
  }
  const double d = v + v * v * k;
  return d > 0.0 ? 0.0 : d;
}

BMAP* SB_LoadFumeeBmap() {
  BMAP* picture = SB_LoadTga(SB_FUMEEFILE);
  SB_ConsolePrintf(picture ? "Correctly loaded fumee graphics..." : "Fumee graphics not found !!!");
  return picture;
}

void SB_FreeFumeeBmap(BMAP* picture) {
  if (picture) SB_FreeBmap(picture);
}

__attribute__((weak)) void SB_InitFumeeBmapGame() {
  SB_Var.FumeeTexture = 0;
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    if (BMAP* picture = SB_LoadFumeeBmap()) {
      SB_Var.FumeeTexture = ConvertPicture(picture);
      if (SB_Var.FumeeTexture)
        SB_ConsolePrintf("Correctly converted fumee graphics n: %ld", static_cast<long>(SB_Var.FumeeTexture));
      else
        SB_ConsolePrintf("Error converting fumee graphics !!!");
      SB_FreeFumeeBmap(picture);
    }
  }
  for (TFUMEE& f : SB_Var.Fumees) f.Busy = 0;
}

__attribute__((weak)) void SB_FreeFumeeBmapGame() {
  if (SB_Var.FumeeTexture) POWER_RemoveCachedTexture(SB_Var.FumeeTexture);
  SB_Var.FumeeTexture = 0;
}

__attribute__((weak)) void SB_AddFumee(const double position[3], const double velocity[3], int32_t) {
  for (TFUMEE& f : SB_Var.Fumees) {
    if (f.Busy) continue;
    f = {position[0], position[1], position[2], velocity[0], velocity[1], velocity[2], 0.0f, 0.0f, 1};
    return;
  }
}

__attribute__((weak)) void SB_MoveFumee() {
  const double t = SB_Var.FrameTime * 0.001;
  for (TFUMEE& f : SB_Var.Fumees) {
    if (!f.Busy) continue;
    f.Vy -= kRise * t;
    f.Vx = SB_FumeeDrag(f.Vx, kDragFactor * t);
    f.Vy = SB_FumeeDrag(f.Vy, kDragFactor * t);
    f.Vz = SB_FumeeDrag(f.Vz, kDragFactor * t);
    f.X += f.Vx * t, f.Y += f.Vy * t, f.Z += f.Vz * t;
    f.Age += static_cast<float>(t);
    f.Size = f.Age * kGrowth + kStartSize;
    if (f.Age > kLifetime) f.Busy = 0;
  }
}

__attribute__((weak)) void SB_DrawFumee(TSOFTSCENE* view, _WINDOW* window) {
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR;
  if (!view || !window || !view->PolygonCursor || !view->VertexCursor || (!card && !EightBitScreen())) return;
  if (card && (!view->ClipCursor || SB_Var.FumeeTexture <= 0 || SB_Var.FumeeTexture >= SB_NBTEXTURESLOTS))
    return;
  for (const TFUMEE& f : SB_Var.Fumees) {
    if (view->NbPolygons >= SB_Var.MaxFaces || view->NbVertices >= SB_Var.MaxVertices - kCorners) break;
    TVECTOR p;
    if (!f.Busy || !ViewCentre(f, &p)) continue;
    const double h = f.Size * kHalfSide;
    card ? EmitCard(view, window, p, h) : EmitSoft(view, window, p, h);
  }
}
