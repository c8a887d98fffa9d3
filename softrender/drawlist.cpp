// The software draw list: each polygon of the view, in list order, is
// rejected when wholly beyond one edge, given its texture and mip level
// and its fill mode, cut at the near plane and the screen edges, and
// written as draw entries: affine or 1/z triangle fans, or one perspective
// polygon with its gradient matrix.
#include "softrender/drawlist.h"

#include <cmath>

#include "engine3d/object.h"
#include "shell/sbvar.h"
#include "softrender/clip.h"
#include "softrender/softmap.h"
#include "softrender/softrender.h"
#include "system/bmap.h"

TSOFTDRAWLIST E3D_SoftDraws;
int32_t E3D_FillPitch, E3D_FillWidth, E3D_FillHeight;

namespace {

// Draw kinds by render kind: affine, perspective polygon, perspective
// triangle. 0 is not drawn.
constexpr uint8_t kTableA[12] = {0, 1, 0, 3, 0, 1, 0, 1, 3, 0, 0, 0};
constexpr uint8_t kTableP[12] = {0, 5, 0, 6, 0, 5, 0, 0, 0, 0, 0, 0};
constexpr uint8_t kTableT[12] = {0, 9, 0, 10, 0, 9, 0, 0, 0, 0, 0, 0};

// Texels a row of an object texture's bitmap.
constexpr int32_t kObjectTextureWidth = 256;

// Vertex room a clip needs beyond what it writes.
constexpr int32_t kClipMargin = 10;

// What a polygon is drawn with.
struct TPolyFill {
  uint32_t texture = 0;
  uint8_t size = 0, outlineA = 0, outlineB = 0;
  bool persp = false;
};

TSOFTVERTEX* Vertices(const TSOFTSCENE* scene) { return static_cast<TSOFTVERTEX*>(scene->Vertices); }

// The mip level of a depth key: 1 + the largest i with t_i <= key.
int32_t MipLevel(const int32_t* distances, int32_t key) {
  int32_t level = 0;
  for (int32_t i = 0; i < SB_NBMIPMAPDIST; ++i)
    if (distances[i] <= key) level = i + 1;
  return level;
}

// A map texture's base, size and flags; the mip level shifts the stored
// corners' u and v.
bool MapTexture(TSOFTPOLY& poly, TPolyFill* fill) {
  if (poly.Material >= SB_Var.NbTextures || poly.Material >= SB_MAXTEXTURES) return false;
  TTEXTUREPLACE& place = SB_Var.TexturePlaces[poly.Material];
  int32_t level = 0;
  fill->size = place.Selector;
  if (poly.Kind != 3 && !place.N) level = MipLevel(place.I ? SB_Var.MipMapDistFar : SB_Var.MipMapDist, poly.Key);
  if (level > SB_NBMIPLEVELS) level = SB_NBMIPLEVELS;
  if (level > 0) {
    fill->size = place.MipSelector[level - 1];
    for (int32_t i = 0; i < poly.NbVertices; ++i) {
      poly.FirstVertex[i].U >>= level;
      poly.FirstVertex[i].V >>= level;
    }
  }
  fill->texture = static_cast<uint32_t>(poly.Material) << 3 | static_cast<uint32_t>(level);
  fill->outlineA = place.M, fill->outlineB = place.C;
  fill->persp = place.Loaded && poly.Key <= SB_Var.FarDistance;
  if (!place.UsedThisFrame) {
    place.UsedThisFrame = 1;
    SB_Var.FrameTextureMemory += place.Size;
  }
  return true;
}

// An object texture: a work bitmap 256 texels wide at the view's depth and
// as high as its picture, whose size index wraps v inside the largest
// power of two of rows. The fillers read its pixels as rows of 256 texels
// of the view's depth: a bitmap of another depth or row length, or pixels
// that are not its own, would be read past its end, so such a polygon is
// refused and counted.
bool ObjectTexture(const _WINDOW* window, const TSOFTSCENE* scene, const TSOFTPOLY& poly, TPolyFill* fill) {
  const auto* material = static_cast<const TMATERIAL*>(poly.Texture);
  if (!material || !material->Bitmap || !material->Pixels || material->Bitmap->SizeY < 1) return false;
  const BMAP& bitmap = *material->Bitmap;
  const BMAP* view = window->W_BMAP;
  if (!view || bitmap.Depth != view->Depth || bitmap.SizeX != kObjectTextureWidth ||
      bitmap.ByteLen != bitmap.SizeX * (bitmap.Depth / 8) || material->Pixels != bitmap.Start) {
    ++E3D_SoftDraws.NbRefused;
    return false;
  }
  uint8_t shift = 0;
  while (shift < 7 && (256 >> shift) > bitmap.SizeY) ++shift;
  if ((256 >> shift) > bitmap.SizeY) return false;
  fill->size = shift;
  fill->texture = SB_SOFTTEX_POLYGON | static_cast<uint32_t>(&poly - static_cast<const TSOFTPOLY*>(scene->Polygons));
  return true;
}

// A face whose corners share their texture coordinates has no texture
// plane; nor has a plane through the eye: both are filled affine.
bool TextureAreaZero(const TSOFTVERTEX* v) {
  const int64_t du1 = v[0].U - v[1].U, dv1 = v[0].V - v[1].V, du2 = v[2].U - v[1].U, dv2 = v[2].V - v[1].V;
  return du2 * dv1 - dv2 * du1 == 0;
}
bool Finite(const TSOFTPERSP& p) {
  bool ok = std::isfinite(p.Origin.UOffset) && std::isfinite(p.Origin.VOffset);
  for (float m : p.Matrix) ok = ok && std::isfinite(m);
  return ok;
}

// Clips the polygon into the view's free vertices; false when it is
// rejected or there is no room.
bool Clip(const _WINDOW* window, TSOFTSCENE* scene, TSOFTVERTEX** corners, int32_t* n) {
  int32_t andCode = ~0, orCode = 0;
  for (int32_t i = 0; i < *n; ++i) andCode &= (*corners)[i].Code, orCode |= (*corners)[i].Code;
  if (andCode) return false;
  for (int32_t pass = 0; pass < 2 && orCode; ++pass) {
    if (pass == 0 && !(orCode & CLIP_NEAR)) continue;
    auto* out = static_cast<TSOFTVERTEX*>(scene->VertexCursor);
    const int64_t used = out - Vertices(scene);
    if (scene->NbVertices > SB_Var.MaxVertices - kClipMargin || used < 0 ||
        used + 2 * *n + 4 > SB_Var.MaxVertices)
      return false;
    *n = pass == 0 ? SB_Var.ClipNearProc(window, *corners, out, *n) : E3D_ClipPolyToScreen(window, *corners, out, *n);
    scene->VertexCursor = out + *n, scene->NbVertices += *n;
    *corners = out;
    andCode = ~0, orCode = 0;
    for (int32_t i = 0; i < *n; ++i) andCode &= out[i].Code, orCode |= out[i].Code;
    if (andCode && *n > 0) return false;
  }
  return *n >= 3;
}

void Emit(TSOFTDRAW** draw, uint32_t fill, const TPolyFill& f, uint8_t kind) {
  **draw = {fill, f.texture, kind, f.size, f.outlineA, f.outlineB};
  ++*draw;
  ++E3D_SoftDraws.NbDraws;
}

void EmitFan(const TSOFTSCENE* scene, const TSOFTVERTEX* corners, int32_t n, const TPolyFill& f, uint8_t kind) {
  auto* tris = static_cast<TSOFTTRI*>(SB_Var.TriBuffers[0]);
  TSOFTDRAW* draw = static_cast<TSOFTDRAW*>(SB_Var.TriBuffers[2]) + E3D_SoftDraws.NbDraws;
  const auto base = static_cast<uint32_t>(corners - Vertices(scene));
  for (uint32_t i = 1; i + 1 < static_cast<uint32_t>(n); ++i) {
    if (E3D_SoftDraws.NbTris >= SB_MAXSOFTTRIS || E3D_SoftDraws.NbDraws >= SB_MAXSOFTDRAWS) continue;
    tris[E3D_SoftDraws.NbTris] = {{base, base + i, base + i + 1}};
    Emit(&draw, static_cast<uint32_t>(E3D_SoftDraws.NbTris++), f, kind);
  }
}

void EmitPersp(const TSOFTSCENE* scene, const TSOFTVERTEX* corners, int32_t n, const TPolyFill& f, uint8_t kind,
               const TSOFTPERSP& gradients) {
  if (E3D_SoftDraws.NbPersps >= SB_MAXSOFTPERSPS || E3D_SoftDraws.NbDraws >= SB_MAXSOFTDRAWS) return;
  TSOFTPERSP& p = static_cast<TSOFTPERSP*>(SB_Var.TriBuffers[1])[E3D_SoftDraws.NbPersps];
  p = gradients;
  p.FirstVertex = static_cast<uint32_t>(corners - Vertices(scene));
  p.NbVertices = n;
  TSOFTDRAW* draw = static_cast<TSOFTDRAW*>(SB_Var.TriBuffers[2]) + E3D_SoftDraws.NbDraws;
  Emit(&draw, static_cast<uint32_t>(E3D_SoftDraws.NbPersps++), f, kind);
}

// The polygon's texture, fill mode and clip callbacks; false to skip it.
bool Prepare(const _WINDOW* window, const TSOFTSCENE* scene, TSOFTPOLY& poly, TPolyFill* fill, TSOFTPERSP* gradients) {
  const uint8_t r = poly.Kind;
  SB_Var.ClipEdgeProc = E3D_ClipEdgeUV, SB_Var.ClipNearProc = E3D_ClipNearUV;
  if (r == 0 || r == 11) {
    SB_Var.ClipEdgeProc = E3D_ClipEdge, SB_Var.ClipNearProc = E3D_ClipNear;
    return true;
  }
  if (r == 7 || r == 8) return ObjectTexture(window, scene, poly, fill);
  if (!MapTexture(poly, fill)) return false;
  if (fill->persp && TextureAreaZero(poly.FirstVertex)) fill->persp = false;
  if (!fill->persp) return true;
  if (SB_Var.SoftFillers) {
    SB_CalcTextureGradients(poly.FirstVertex, 0, 1, 2);
    E3D_CrossProduct(E3D_SoftDraws.O, E3D_SoftDraws.Su, E3D_SoftDraws.Sv, &gradients->Origin, gradients->Matrix);
    fill->persp = Finite(*gradients);
    if (fill->persp) SB_Var.ClipEdgeProc = E3D_ClipEdge, SB_Var.ClipNearProc = E3D_ClipNear;
  } else {
    SB_Var.ClipEdgeProc = E3D_ClipEdgePersp;
  }
  return true;
}

// The corners lie inside the view's vertex array.
bool CornersInView(const TSOFTSCENE* scene, const TSOFTPOLY& poly) {
  const int64_t first = poly.FirstVertex - Vertices(scene);
  return poly.FirstVertex && first >= 0 && first + poly.NbVertices <= SB_Var.MaxVertices;
}

void AddPolygon(_WINDOW* window, TSOFTSCENE* scene, TSOFTPOLY& poly) {
  const uint8_t r = poly.Kind;
  if (r > 11 || r == 2 || r == 4 || r == 6 || r == 9 || r == 10) return;
  if ((poly.NbVertices != 3 && poly.NbVertices != 4) || !CornersInView(scene, poly)) return;
  int32_t andCode = ~0;
  for (int32_t i = 0; i < poly.NbVertices; ++i) andCode &= poly.FirstVertex[i].Code;
  if (andCode) return;
  TPolyFill fill;
  TSOFTPERSP gradients{};
  if (!Prepare(window, scene, poly, &fill, &gradients)) return;
  TSOFTVERTEX* corners = poly.FirstVertex;
  int32_t n = poly.NbVertices;
  if (!Clip(window, scene, &corners, &n)) return;
  if (r == 0 || r == 11) return EmitFan(scene, corners, n, fill, r);
  if (!fill.persp) return EmitFan(scene, corners, n, fill, kTableA[r]);
  if (SB_Var.SoftFillers) return EmitPersp(scene, corners, n, fill, kTableP[r], gradients);
  EmitFan(scene, corners, n, fill, kTableT[r]);
}

}  // namespace

void SB_CalcTextureGradients(const TSOFTVERTEX* v, int32_t i, int32_t j, int32_t k) {
  // Camera space in the order (-z, x, y), in which the pixel's ray is
  // (-focal, x - centre x, y - centre y).
  const auto At = [&](int32_t c, double out[3]) {
    out[0] = -static_cast<double>(v[c].CamZ), out[1] = v[c].CamX, out[2] = v[c].CamY;
  };
  double a[3], b[3], d[3];
  At(i, a), At(j, b), At(k, d);
  const double du1 = v[i].U - v[j].U, dv1 = v[i].V - v[j].V, du2 = v[k].U - v[j].U, dv2 = v[k].V - v[j].V;
  const double scale = 2047.96875 / (du2 * dv1 - dv2 * du1);
  for (int32_t c = 0; c < 3; ++c) {
    const double e1 = a[c] - b[c], e2 = d[c] - b[c];
    const double su = scale * (dv1 * e2 - dv2 * e1), sv = scale * (du2 * e1 - du1 * e2);
    E3D_SoftDraws.Su[c] = static_cast<float>(su);
    E3D_SoftDraws.Sv[c] = static_cast<float>(sv);
    E3D_SoftDraws.O[c] = static_cast<float>(b[c] / 32 - v[j].U / 65535.0 * su - v[j].V / 65535.0 * sv);
  }
}

uint8_t* E3D_SoftTextureBase(const TSOFTSCENE* scene, uint32_t word) {
  if (word & SB_SOFTTEX_POLYGON) {
    const TSOFTPOLY& poly = static_cast<const TSOFTPOLY*>(scene->Polygons)[word & ~SB_SOFTTEX_POLYGON];
    const auto* material = static_cast<const TMATERIAL*>(poly.Texture);
    return material ? material->Pixels : nullptr;
  }
  const uint32_t index = word >> 3, level = word & 7;
  if (index >= SB_MAXTEXTURES || level > SB_NBMIPLEVELS) return nullptr;
  const TTEXTUREPLACE& place = SB_Var.TexturePlaces[index];
  return level == 0 ? place.Texels : place.MipTexels[level - 1];
}

void E3D_SoftBuildDrawList(_WINDOW* window, TSOFTSCENE* scene) {
  const int32_t textures = SB_Var.NbTextures < SB_MAXTEXTURES ? SB_Var.NbTextures : SB_MAXTEXTURES;
  for (int32_t i = 0; i < textures; ++i) SB_Var.TexturePlaces[i].UsedThisFrame = 0;
  SB_Var.FrameTextureMemory = 0;
  E3D_SoftDraws.NbTris = E3D_SoftDraws.NbPersps = E3D_SoftDraws.NbDraws = E3D_SoftDraws.NbRefused = 0;
  if (!window || !scene || !scene->Vertices || !scene->VertexCursor) return;
  if (!SB_Var.TriBuffers[0] || !SB_Var.TriBuffers[1] || !SB_Var.TriBuffers[2]) return;
  // The walk is bounded by the polygons listed, so a looped list ends.
  auto* poly = static_cast<TSOFTPOLY*>(scene->FirstPolygon);
  for (int32_t i = 0; poly && i < scene->NbPolygons; ++i, poly = poly->Next) AddPolygon(window, scene, *poly);
}
