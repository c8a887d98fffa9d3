// The accelerator's map transform: the polygon cells along the track near
// the camera and inside the view pyramid, their points turned through the
// rotation lookup tables once per frame, back faces culled, colours, fog
// and texture coordinates chosen, and the polygons written into the view
// with accelerator vertices and clip records.
#include <cstring>

#include "racescene/powerscene.h"
#include "shell/sbvar.h"
#include "track/decor.h"

namespace {

constexpr uint32_t kTransformed = 0x10000, kProjected = 0x20000, kBehind = 32;
constexpr int32_t kWindowMargin = 88;
constexpr float kTextureScale = 0.00012207218f;
constexpr int32_t kMaxCubePoints = 65536;

// One point of the cube being processed.
struct TVIEWVERTEX {
  float X, Y, Z;
  float ScreenX, ScreenY;
  float InvW;
  uint32_t Flags;
};
TVIEWVERTEX gCache[kMaxCubePoints];

const int32_t* Table(int32_t n) { return SB_Var.RotationTables[n].Entries; }

// Entry k of table n; beyond the table's 129 entries (a corner reaching
// past its cell) from the coefficient the table was built for.
int32_t Entry(int32_t n, int32_t k) {
  return k < SB_ROTTABLESIZE ? Table(n)[k] : (k - 64) * SB_Var.RotationTables[n].Coefficient;
}

// An offset (three words, 14 bits within the cell) turned through the
// tables, split into its low and high 7 bits, plus base << 7.
void TurnWords(const uint16_t w[3], const int32_t base[3], int32_t out[3]) {
  const int32_t xl = w[0] & 127, yl = w[1] & 127, zl = w[2] & 127;
  const int32_t xh = w[0] >> 7, yh = w[1] >> 7, zh = w[2] >> 7;
  for (int32_t a = 0; a < 3; ++a) {
    const int32_t* t0 = Table(a);
    const int32_t* t3 = Table(a + 3);
    const int32_t* t6 = Table(a + 6);
    const int32_t low = (t6[zl] + t3[yl] + t0[xl] + 64) >> 7;
    out[a] = (low + Entry(a + 6, zh) + Entry(a + 3, yh) + Entry(a, xh) + (base[a] << 7)) >> 7;
  }
}

bool OutsideWindow(int32_t i, int32_t low, int32_t high) {
  if (high > low) return i < low || i > high;
  return i > high && i < low;
}

struct Slopes {
  float cosX, sinX, cosY, sinY;
};

// Which side plane a camera-space point lies beyond: bit 0 right, 1 left,
// 2 below, 3 above; 0 inside.
int32_t Beyond(const Slopes& s, float x, float y, float z) {
  int32_t out = 0;
  if (x * s.cosX - z * s.sinX > 0.0f) out |= 1;
  if (x * s.cosX + z * s.sinX < 0.0f) out |= 2;
  if (y * s.cosY - z * s.sinY > 0.0f) out |= 4;
  if (y * s.cosY + z * s.sinY < 0.0f) out |= 8;
  return out;
}

// The cube's centre in camera space, or false when the cube is out of the
// view; its eight corners tested when it is far enough.
bool CubeInView(const TFCUBE10POLY& cube, const TCAMERA* camera, const Slopes& s, int32_t centre[3]) {
  if (cube.X > 128 || cube.Y > 128 || cube.Z > 128) return false;
  const int32_t cam[3] = {camera->RotatedX, camera->RotatedY, camera->RotatedZ};
  for (int32_t a = 0; a < 3; ++a)
    centre[a] = Table(a)[cube.X] + Table(a + 3)[cube.Y] + Table(a + 6)[cube.Z] - cam[a];
  const float x = static_cast<float>(centre[0]), y = static_cast<float>(centre[1]),
              z = static_cast<float>(centre[2]);
  if (!(z > SB_CELLNEAR && z < SB_Var.ViewFar + SB_CELLREACH)) return false;
  if (!(x * s.cosX - z * s.sinX < SB_CELLREACH && x * s.cosX + z * s.sinX >= -SB_CELLREACH)) return false;
  if (!(y * s.cosY - z * s.sinY < SB_CELLREACH && y * s.cosY + z * s.sinY >= -SB_CELLREACH)) return false;
  if (centre[2] < SB_CELLCORNERTEST) return true;
  int32_t common = 15;
  for (int32_t corner = 0; corner < 8 && common; ++corner) {
    const int32_t ix = corner & 1 ? 128 : 0, iy = corner & 2 ? 128 : 0, iz = corner & 4 ? 128 : 0;
    float c[3];
    for (int32_t a = 0; a < 3; ++a)
      c[a] = static_cast<float>(centre[a] + ((Table(a)[ix] + Table(a + 3)[iy] + Table(a + 6)[iz] + 64) >> 7));
    common &= Beyond(s, c[0], c[1], c[2]);
  }
  return common == 0;
}

// The corner's point index in the cube's run, or -1 when its link leaves it.
int32_t CornerPoint(const TFCUBE10POLY& cube, const TFFACEPOLY& face, int32_t k) {
  const TDECOR& d = SB_Var.Decor;
  const uint64_t link = face.PointOffsets / 4 + static_cast<uint64_t>(k);
  if (face.PointOffsets % 4 || link >= static_cast<uint64_t>(d.NbPPointOffsets)) return -1;
  const uint32_t offset = d.PPointOffsets[link];
  if (offset % sizeof(TFPOINTOFFSET) || offset < cube.PointOffsets) return -1;
  const uint32_t i = (offset - cube.PointOffsets) / sizeof(TFPOINTOFFSET);
  return i < cube.NbPointOffsets && offset / sizeof(TFPOINTOFFSET) < static_cast<uint32_t>(d.NbPointOffsets)
             ? static_cast<int32_t>(i)
             : -1;
}

const TFPOINTTEXTURE* CornerTexture(const TFCUBE10POLY& cube, const TFFACEPOLY& face, int32_t k) {
  const TDECOR& d = SB_Var.Decor;
  const uint64_t link = face.PointTextures / 4 + static_cast<uint64_t>(k);
  if (face.PointTextures % 4 || link >= static_cast<uint64_t>(d.NbPPointTextures)) return nullptr;
  const uint32_t offset = d.PPointTextures[link];
  if (offset % sizeof(TFPOINTTEXTURE) || offset < cube.PointTextures) return nullptr;
  const uint32_t i = (offset - cube.PointTextures) / sizeof(TFPOINTTEXTURE);
  if (i >= cube.NbPointTextures ||
      offset / sizeof(TFPOINTTEXTURE) >= static_cast<uint32_t>(d.NbPointTextures))
    return nullptr;
  return d.PointTextures + offset / sizeof(TFPOINTTEXTURE);
}

TVIEWVERTEX& Point(const TFCUBE10POLY& cube, int32_t i, const int32_t centre[3]) {
  TVIEWVERTEX& v = gCache[i];
  if (v.Flags & kTransformed) return v;
  const TFPOINTOFFSET& p = SB_Var.Decor.PointOffsets[cube.PointOffsets / sizeof(TFPOINTOFFSET) + i];
  const uint16_t w[3] = {p.X, p.Y, p.Z};
  int32_t c[3];
  TurnWords(w, centre, c);
  v.X = static_cast<float>(c[0]), v.Y = static_cast<float>(c[1]), v.Z = static_cast<float>(c[2]);
  v.Flags |= kTransformed;
  return v;
}

void Project(TVIEWVERTEX& v) {
  if (v.Flags & kProjected) return;
  v.Flags |= kProjected;
  v.InvW = SB_Var.ProjFactor / v.Z;
  if (v.Z < SB_NEARPLANE) {
    v.Flags |= kBehind;
    return;
  }
  v.ScreenX = v.X * SB_Var.FocalF / v.Z + SB_Var.CenterXF;
  v.ScreenY = v.Y * SB_Var.FocalF / v.Z + SB_Var.CenterYF;
}

uint32_t Scale(uint32_t colour, float k) {
  uint32_t out = 0;
  for (int32_t shift : {0, 8, 16}) {
    const float c = static_cast<float>(colour >> shift & 0xFF) * k;
    out |= static_cast<uint32_t>(c < 0.0f ? 0.0f : c > 255.0f ? 255.0f : c) << shift;
  }
  return out;
}

uint32_t FogColour(float k) {
  const SGLCONTEXT& c = SB_Var.SglContext;
  const float parts[3] = {c.FogBlue, c.FogGreen, c.FogRed};
  uint32_t out = 0;
  for (int32_t i = 0; i < 3; ++i) {
    const float v = parts[i] * k * 255.0f;
    out |= static_cast<uint32_t>(v < 0.0f ? 0.0f : v > 255.0f ? 255.0f : v) << (8 * i);
  }
  return out;
}

struct GroupLook {
  uint32_t colour;
  int32_t slot;
};

// The first corner's decisions: facing, texture, colour; false abandons.
bool ChooseLook(const TFFACEPOLY& face, const TVIEWVERTEX& first, GroupLook* look) {
  if (face.Material >= SB_MAXTEXTURES) return false;
  const TTEXTUREPLACE& t = SB_Var.TexturePlaces[face.Material];
  const int32_t zero[3] = {0, 0, 0};
  int32_t n[3];
  TurnWords(face.Normal, zero, n);
  const float product = n[0] * first.X + n[1] * first.Y + n[2] * first.Z;
  if ((!t.D && product < 0.0f) || !t.Loaded) return false;
  if ((t.One && !SB_Var.HeadlightsOn) || (t.Two && SB_Var.HeadlightsOn)) return false;
  if (t.PageNumber <= 0 || t.PageNumber >= SB_NBTEXTURESLOTS) return false;
  const uint32_t* table = SB_Var.LightTables[t.Three ? 0 : 1];
  const int32_t shade = t.D && product <= 0.0f ? face.Shades >> 8 & 0xFF : face.Shades & 0xFF;
  look->colour = table[t.O ? 0 : shade];
  look->slot = t.PageNumber;
  return true;
}

void WriteVertex(const TVIEWVERTEX& p, const TTEXTUREPLACE& t, const TFPOINTTEXTURE* uv, uint32_t colour,
                 float fogScale, TSGLVERTEX* v, TSGLCLIP* c) {
  c->Code = static_cast<int32_t>(p.Flags & 0xFFFF);
  c->X = p.X, c->Y = p.Y, c->Z = p.Z;
  v->X = p.ScreenX, v->Y = p.ScreenY, v->InvW = p.InvW;
  v->U = static_cast<float>((uv->U >> (t.TallShift & 31)) + t.TallOffset) * kTextureScale;
  v->V = static_cast<float>((uv->V >> (t.WideShift & 31)) + t.WideOffset) * kTextureScale;
  v->Depth = p.Z * SB_Var.DepthScale;
  const float f = fogScale * p.Z;
  if (f <= 2.0f) {
    v->Colour = colour, v->Specular = 0;
  } else if (f >= 3.0f) {
    v->Colour = 0, v->Specular = FogColour(1.0f);
  } else {
    v->Colour = Scale(colour, 1.0f - (f - 2.0f)), v->Specular = FogColour(f - 2.0f);
  }
}

// One face group into the view; false when it is abandoned.
bool TransformGroup(TSOFTSCENE* view, const TFCUBE10POLY& cube, const TFFACEPOLY& face,
                    const int32_t centre[3], float fogScale) {
  const int32_t n = face.NbCorners;
  if (n < 3 || n > SB_MAXPOLYCORNERS) return false;
  auto* v = static_cast<TSGLVERTEX*>(view->VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(view->ClipCursor);
  GroupLook look{};
  float firstZ = 0.0f;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t i = CornerPoint(cube, face, k);
    const TFPOINTTEXTURE* uv = CornerTexture(cube, face, k);
    if (i < 0 || !uv) return false;
    TVIEWVERTEX& p = Point(cube, i, centre);
    if (p.X * p.X + p.Y * p.Y + p.Z * p.Z >= SB_Var.FarDistanceSq) return false;
    if (k == 0 && !ChooseLook(face, p, &look)) return false;
    if (k == 0) firstZ = p.Z;
    Project(p);
    WriteVertex(p, SB_Var.TexturePlaces[face.Material], uv, look.colour, fogScale, v + k, c + k);
  }
  auto* poly = static_cast<TSGLPOLY*>(view->PolygonCursor);
  *poly = {};
  poly->Key = static_cast<int32_t>(firstZ * 3.0f);
  poly->Next = poly + 1;
  poly->Vertices = v, poly->Clip = c;
  poly->Texture = static_cast<uint32_t>(look.slot);
  poly->NbVertices = static_cast<int8_t>(n);
  poly->Kind = static_cast<int8_t>(SB_Var.TexturePlaces[face.Material].RenderKind == 3 ? 3 : 1);
  poly->TextureIndex = face.Material;
  ++view->TextureUses[look.slot];
  view->PolygonCursor = poly + 1, view->VertexCursor = v + n, view->ClipCursor = c + n;
  ++view->NbPolygons, view->NbVertices += n;
  return true;
}

int32_t FirstCube(int32_t key) {
  const int32_t count = SB_Var.NbCube10Polys;
  if (count <= 10) return 0;
  int32_t lo = 0, hi = count;
  while (lo < hi) {
    const int32_t mid = (lo + hi) / 2;
    if (SB_Var.Cube10Polys[mid].X < key + 60)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

void TrackWindow(const TCAMERA* camera, int32_t* low, int32_t* high) {
  const int32_t count = SB_Var.NbBsplinePoints;
  if (!SB_Var.BsplineValid || count <= 0) {
    *low = 0, *high = 1000000;
    return;
  }
  const int32_t c = camera->BsplineIndex, reach = SB_Var.DrawDistance + kWindowMargin;
  *low = c - reach;
  if (*low < 0) *low += count;
  *high = c + reach;
  if (*high >= count) *high -= count;
}

}  // namespace

void POWER_TransformMapSectors(TSOFTSCENE* view, TCAMERA* camera) {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !view || !camera || !SB_Var.Cube10Polys) return;
  int32_t low = 0, high = 0;
  TrackWindow(camera, &low, &high);
  const float fogScale = SB_Var.ViewFar > 0 ? 3.0f / static_cast<float>(SB_Var.ViewFar) : 0.0f;
  const int32_t key = (((((camera->CurrentX + 16) >> 5) + 64) >> 7) + 2) >> 2;
  const Slopes s{SB_Var.SlopeCosX, SB_Var.SlopeSinX, SB_Var.SlopeCosY, SB_Var.SlopeSinY};
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = FirstCube(key); i < SB_Var.NbCube10Polys && SB_Var.Cube10Polys[i].X <= key + 68; ++i) {
    const TFCUBE10POLY& cube = SB_Var.Cube10Polys[i];
    if (OutsideWindow(cube.BsplineIndices[0], low, high) && OutsideWindow(cube.BsplineIndices[1], low, high))
      continue;
    int32_t centre[3];
    if (!CubeInView(cube, camera, s, centre)) continue;
    const uint64_t first = cube.FaceRuns[0] / sizeof(TFFACEPOLY);
    if (cube.FaceRuns[0] % sizeof(TFFACEPOLY) ||
        first + cube.NbFaces[0] > static_cast<uint64_t>(d.NbFacePolys))
      continue;
    for (int32_t p = 0; p < cube.NbPointOffsets; ++p) gCache[p].Flags = 0;
    for (int32_t f = 0; f < cube.NbFaces[0]; ++f) {
      const TFFACEPOLY& face = d.FacePolys[first + f];
      if (view->NbVertices + face.NbCorners >= SB_Var.MaxVertices || view->NbPolygons >= SB_Var.MaxFaces)
        break;
      TransformGroup(view, cube, face, centre, fogScale);
    }
  }
}
