// The accelerator's sky, star and ground squares: their pictures made card
// textures for the race, their marks in the frame's texture uses, and
// their clipping, projection and submission after the map.
#include "scenery/sky.h"

#include <cmath>

#include "engine3d/matrix.h"
#include "engine3d/powercache.h"
#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

constexpr int32_t kMaxClipped = 8;  // corners a sky polygon may have after clipping
constexpr int32_t kClipRoom = 64;   // a pass at most doubles the corners
constexpr double kSkyHalf = 6400000.0, kSkyHeight = -320000.0, kSkyParallax = 0.15;
constexpr double kGroundHalf = 640000.0, kGroundDepth = 16000.0;

TSKYTEXTURES g_textures;
int32_t g_groundOn = 0;

// One of the three pictures: its file, console texts and owner tag.
struct TSKYPICTURE {
  const char* file;
  const char* loaded;
  const char* missing;
  const char* converted;
  const char* failed;
  const char* owner;
  int32_t TSKYTEXTURES::*slot;
};
constexpr TSKYPICTURE kPictures[3] = {
    {"miscpict>cielfon1.tga", "Correctly loaded ciel graphics...", "Ciel1 graphics not found !!!",
     "Correctly converted ciel graphics n: %ld", "Error converting ciel graphics !!!", "sbciel pour power vr",
     &TSKYTEXTURES::Sky},
    {"miscpict>lesol.tga", "Correctly loaded sol graphics...", "Sol1 graphics not found !!!",
     "Correctly converted sol graphics n: %ld", "Error converting sol graphics !!!", "sbsol pour power vr",
     &TSKYTEXTURES::Ground},
    {"miscpict>etoiles.tga", "Correctly loaded etoile graphics...", "Etoile1 graphics not found !!!",
     "Correctly converted etoile graphics n: %ld", "Error converting etoiles graphics !!!",
     "etoiles pour power vr", &TSKYTEXTURES::Stars}};

// The picture on a 32-bit bitmap of its size made a card texture; the
// slot or 0 (the cache refuses sides other than squares of 32 to 256).
int32_t Convert(BMAP* picture, const char* owner) {
  BMAP* copy = SB_CreateBmap(picture->SizeX, picture->SizeY, 32, 0, owner);
  if (!copy) return 0;
  copy->Format = BMAP_XBGR8888;
  LS_Bitmove(picture, copy, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  const int32_t slot =
      picture->SizeX == picture->SizeY ? POWER_CreateCachedTexture(copy, SGL_MAP_555, 3, 0) : 0;
  SB_FreeBmap(copy);
  return slot;
}

void Use(TSOFTSCENE* scene, int32_t slot) {
  if (slot > 0 && slot < SB_NBTEXTURESLOTS) ++scene->TextureUses[slot];
}

// A corner relative to the camera turned into view space.
TVECTOR ToView(double x, double y, double z) {
  TVECTOR p{x, y, z};
  E3D_MatMulVec(SB_Var.Camera.Matrix, &p);
  return p;
}

void Submit(const TSGLVERTEX* v, int32_t n) {
  static const uint32_t kQuads[][3][4] = {{},                            // 3: a triangle
                                          {{0, 1, 2, 3}},                // 4
                                          {{0, 1, 2, 4}},                // 5, with the triangle 2, 3, 4
                                          {{0, 1, 4, 5}, {1, 2, 3, 4}},  // 6
                                          {{0, 1, 5, 6}, {1, 2, 3, 5}},  // 7, with the triangle 3, 4, 5
                                          {{0, 1, 2, 7}, {2, 3, 6, 7}, {3, 4, 5, 6}}};  // 8
  static const int32_t kNbQuads[] = {0, 1, 1, 2, 2, 3};
  static const uint16_t kTriangle[][1][4] = {{{0, 1, 2, 0}}, {}, {{2, 3, 4, 0}}, {}, {{3, 4, 5, 0}}, {}};
  SGLCONTEXT* c = &SB_Var.SglContext;
  const int32_t k = n - 3;
  if (kNbQuads[k] > 0) sgltri_quads(c, kNbQuads[k], kQuads[k], v);
  if (n == 3 || n == 5 || n == 7) sgltri_triangles(c, 1, kTriangle[k], v);
}

}  // namespace

const TSKYTEXTURES& SB_SkyTextures() { return g_textures; }
int32_t SB_GroundOn() { return g_groundOn; }

__attribute__((weak)) void SB_InitCielBmapGame() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  g_textures = {};
  BMAP* pictures[3] = {};
  for (int32_t i = 0; i < 3; ++i) {
    pictures[i] = SB_LoadTga(kPictures[i].file);
    SB_ConsolePrintf("%s", pictures[i] ? kPictures[i].loaded : kPictures[i].missing);
  }
  for (int32_t i = 0; i < 3; ++i) {
    if (!pictures[i]) continue;
    const int32_t slot = Convert(pictures[i], kPictures[i].owner);
    if (slot)
      SB_ConsolePrintf(kPictures[i].converted, static_cast<long>(slot));
    else
      SB_ConsolePrintf("%s", kPictures[i].failed);
    g_textures.*kPictures[i].slot = slot;
  }
  for (BMAP*& picture : pictures)
    if (picture) SB_FreeBmap(picture);
}

__attribute__((weak)) void SB_FreeCielBmapGame() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  for (int32_t slot : {g_textures.Sky, g_textures.Ground, g_textures.Stars})
    if (slot) POWER_RemoveCachedTexture(slot);
  g_textures = {};
  g_groundOn = 0;
}

__attribute__((weak)) void SB_MarkSkyTextures(TSOFTSCENE* scene) {
  if (!scene) return;
  Use(scene, SB_Var.StarsOn ? g_textures.Stars : g_textures.Sky);
  SB_CheckGroundZone();
  if (g_groundOn) Use(scene, g_textures.Ground);
}

void SB_CheckGroundZone() {
  g_groundOn = 0;
  if (!SB_Var.BsplineValid || SB_Var.NbBsplinePoints < 1 || !SB_Var.Backgrounds || SB_Var.NbBackgrounds < 1)
    return;
  int32_t i = SB_Var.Camera.BsplineIndex % SB_Var.NbBsplinePoints;
  if (i < 0) i += SB_Var.NbBsplinePoints;
  for (int32_t k = 0; k < SB_Var.NbBackgrounds; ++k) {
    const TBACKGROUND& b = SB_Var.Backgrounds[k];
    if ((b.From1 <= i && i < b.To1) || (b.From2 <= i && i < b.To2)) {
      if (k == 0) g_groundOn = SB_Var.DayTime ? 1 : 0;
      return;
    }
  }
}

void SB_ClipPolyToPlane(const TVECTOR* points, const double (*uv)[2], TVECTOR* outPoints, double (*outUv)[2],
                        int32_t* count, const TVECTOR& normal, const TVECTOR& point) {
  auto d = [&](const TVECTOR& x) {
    return (x.x - point.x) * normal.x + (x.y - point.y) * normal.y + (x.z - point.z) * normal.z;
  };
  const int32_t n = *count;
  int32_t out = 0;
  auto cross = [&](int32_t a, int32_t b) {
    const TVECTOR &p = points[a], &q = points[b];
    const double t = -d(p) / (normal.x * (q.x - p.x) + normal.y * (q.y - p.y) + normal.z * (q.z - p.z));
    outPoints[out] = {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t, p.z + (q.z - p.z) * t};
    outUv[out][0] = uv[a][0] + (uv[b][0] - uv[a][0]) * t;
    outUv[out][1] = uv[a][1] + (uv[b][1] - uv[a][1]) * t;
    ++out;
  };
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = (i + 1) % n;
    const double dp = d(points[i]), dq = d(points[j]);
    if (dp >= 0) {
      outPoints[out] = points[i];
      outUv[out][0] = uv[i][0], outUv[out][1] = uv[i][1];
      ++out;
      if (dq < 0) cross(i, j);
    } else if (dq > 0) {
      cross(i, j);
    }
  }
  *count = out;
}

void SB_DrawSkyPoly(const _WINDOW* window, const TVECTOR* points, const double (*uv)[2], int32_t count,
                    int32_t slot) {
  const int32_t name = POWER_SlotName(slot);
  if (name < 0 || count < 3 || count > kMaxClipped) return;
  const double f = SB_Var.Focal, w = window->W_WIDTH, h = window->W_HEIGHT;
  const TVECTOR planes[4] = {{f, 0, w / 2 + 1}, {0, f, h / 2 + 1}, {-f, 0, w / 2 - 1}, {0, -f, h / 2 - 1}};
  TVECTOR p[2][kClipRoom];
  double t[2][kClipRoom][2];
  int32_t n = count;
  for (int32_t i = 0; i < n; ++i) p[0][i] = points[i], t[0][i][0] = uv[i][0], t[0][i][1] = uv[i][1];
  int32_t from = 0;
  for (const TVECTOR& plane : planes) {
    SB_ClipPolyToPlane(p[from], t[from], p[1 - from], t[1 - from], &n, plane, TVECTOR{0, 0, 0});
    from = 1 - from;
    if (n < 3 || n > kClipRoom / 2) return;
  }
  if (n > kMaxClipped) return;
  TSGLVERTEX v[kMaxClipped];
  for (int32_t i = 0; i < n; ++i) {
    const TVECTOR& q = p[from][i];
    if (!(q.z > 0.0)) return;  // on the eye: no screen point
    v[i] = {static_cast<float>(w / 2 + q.x * f / q.z),
            static_cast<float>(h / 2 + q.y * f / q.z),
            static_cast<float>(q.z * SB_Var.DepthScale),
            static_cast<float>(SB_Var.ProjFactor / q.z),
            SB_Var.SkyColor,
            0,
            static_cast<float>(t[from][i][0]),
            static_cast<float>(t[from][i][1])};
  }
  SB_Var.SglContext.TextureName = name;
  SB_Var.SglContext.SortDepth = static_cast<float>(1.0 / p[from][0].z);
  Submit(v, n);
}

__attribute__((weak)) void SB_DrawSky(_WINDOW* window) {
  const int32_t slot = SB_Var.StarsOn ? g_textures.Stars : g_textures.Sky;
  if (!window || !slot) return;
  const TCAMERA& c = SB_Var.Camera;
  static constexpr double kCorner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  const double repeat = SB_Var.StarsOn ? 50.0 : 4.0, k = kSkyParallax * SB_Var.SkyScale;
  TVECTOR p[4];
  double uv[4][2];
  for (int32_t i = 0; i < 4; ++i) {
    double x = kCorner[i][0] * kSkyHalf, z = kCorner[i][1] * kSkyHalf;
    if (!SB_Var.StarsOn) x -= c.CurrentX, z -= c.CurrentZ;
    p[i] = ToView(x * k, (kSkyHeight - c.CurrentY) * k, z * k);
    uv[i][0] = kCorner[i][0] > 0 ? repeat : 0.0;
    uv[i][1] = kCorner[i][1] > 0 ? repeat : 0.0;
  }
  SB_DrawSkyPoly(window, p, uv, 4, slot);
}

__attribute__((weak)) void SB_DrawGround(_WINDOW* window) {
  if (!window || !g_groundOn || !g_textures.Ground) return;
  static constexpr double kCorner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  TVECTOR p[4];
  double uv[4][2];
  for (int32_t i = 0; i < 4; ++i) {
    p[i] = ToView(kCorner[i][0] * kGroundHalf, kGroundDepth, kCorner[i][1] * kGroundHalf);
    uv[i][0] = kCorner[i][0] > 0 ? 1.0 : 0.0;
    uv[i][1] = kCorner[i][1] > 0 ? 1.0 : 0.0;
  }
  SB_Var.SglContext.FogOn = 0;
  SB_DrawSkyPoly(window, p, uv, 4, g_textures.Ground);
  SB_Var.SglContext.FogOn = 1;
}
