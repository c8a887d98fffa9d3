// The track editor's tile renderer: the map faces stored under one tile,
// seen from above, listed with their depth keys, sorted highest first and
// filled with the affine texture filler or outlined.
#include <cstdint>

#include "engine3d/sort.h"
#include "engine3d/texpages.h"
#include "engine3d/types.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/lsvar.h"
#include "tools/trackedit/trackedit.h"
#include "track/decor.h"
#include "track/ground.h"

namespace {

constexpr int32_t kCellSpan = 128;  // vertex bytes across a cell

// The filler's size index and first texel of the face's texture; null
// texels when the texture is past the loaded ones or has no usable size.
void FaceTexture(const TMAPFACE& face, TEDITTILEFACE& e) {
  e.SizeIndex = 0, e.Texels = nullptr;
  const int32_t texture = SB_MapFaceTexture(&face);
  if (texture < 0 || texture >= SB_Var.NbTextures || texture >= SB_MAXTEXTURES) return;
  const TTEXTUREPLACE& place = SB_SoftTexturePlaces()[texture];
  if (place.Log2Width < 1 || place.Log2Width > 8 || place.Log2Height < 1 || place.Log2Height > 8) return;
  e.SizeIndex = (9 - place.Log2Width) * 8 - place.Log2Height;
  e.Texels = place.Texels;
}

// The entry of one face of a cell whose vertices lie cubeBase above the
// map's zero; false when a corner names no vertex of the cell.
bool MakeEntry(const TMAPFACE& face, const TMAPVERTEX* vertices, int32_t nbVertices, int32_t cubeBase,
               TEDITTILEFACE& e) {
  const int32_t t = SB_Var.EditTileSize;
  e.NbCorners = face.Vertex[3] < 255 ? 4 : 3;
  int32_t sum = 0;
  for (int32_t k = 0; k < e.NbCorners; ++k) {
    if (face.Vertex[k] >= nbVertices) return false;
    const TMAPVERTEX& v = vertices[face.Vertex[k]];
    sum += v.Y + cubeBase;
    e.X[k] = (v.X * t + kCellSpan / 2) / kCellSpan;
    e.Y[k] = ((kCellSpan - v.Z) * t + kCellSpan / 2) / kCellSpan;
    e.U[k] = (face.TextureCoords[2 * k] & 0x7FFF) << 4;
    e.V[k] = (face.TextureCoords[2 * k + 1] & 0x7FFF) << 4;
  }
  e.Key = e.NbCorners == 4 ? static_cast<int32_t>(sum * 0.75) : sum;
  FaceTexture(face, e);
  return true;
}

TSOFTVERTEX Corner(const TEDITTILEFACE& e, int32_t k) {
  TSOFTVERTEX v{};
  v.X = e.X[k], v.Y = e.Y[k], v.U = e.U[k], v.V = e.V[k];
  return v;
}

void Textured(const TEDITTILEFACE& e) {
  if (!e.Texels) return;
  _WINDOW* w = &SB_Var.EditTileWindow;
  TSOFTVERTEX c[4];
  for (int32_t k = 0; k < e.NbCorners; ++k) c[k] = Corner(e, k);
  E3D_AffineTri8(e.SizeIndex, w, e.Texels, &c[0], &c[1], &c[2], 0);
  if (e.NbCorners == 4) E3D_AffineTri8(e.SizeIndex, w, e.Texels, &c[2], &c[3], &c[0], 0);
}

void Outline(const TEDITTILEFACE& e) {
  const uint32_t colour = static_cast<uint32_t>(SB_Var.EditOutlineColor);
  if (e.NbCorners == 3) {
    _TRIANGLE t{};
    t.T_X1 = e.X[0], t.T_Y1 = e.Y[0], t.T_X2 = e.X[1], t.T_Y2 = e.Y[1], t.T_X3 = e.X[2], t.T_Y3 = e.Y[2];
    t.T_COLOR = colour;
    LS_WinTriangle(&SB_Var.EditTileWindow, 0, &t);
    return;
  }
  _QUADRANGLE q{};
  q.Q_X1 = e.X[0], q.Q_Y1 = e.Y[0], q.Q_X2 = e.X[1], q.Q_Y2 = e.Y[1];
  q.Q_X3 = e.X[2], q.Q_Y3 = e.Y[2], q.Q_X4 = e.X[3], q.Q_Y4 = e.Y[3];
  q.Q_COLOR = colour;
  LS_WinQuadrangle(&SB_Var.EditTileWindow, 0, &q);
}

}  // namespace

int32_t SB_ListEditTileFaces(TEDITTILEFACE** pointers, TEDITTILEFACE* entries, int32_t column, int32_t row) {
  int32_t x = (column * 128 + 64) * 32, z = (-row * 128 + 64) * 32;
  int32_t smallX = 0, smallZ = 0, bigX = 0, bigZ = 0;
  SB_WorldToCubeCoords(&x, &z, &smallX, &smallZ, &bigX, &bigZ);
  int32_t nbBigs = 0, count = 0;
  TBIGENTITY** column3 = SB_FindCubeInXZList(bigX, bigZ, &nbBigs);
  if (!column3) return 0;
  SB_Var.EditOutlineColor = SB_Var.Pal3d ? SB_FindNearestColor(SB_Var.Pal3d, 63, 0, 63) : 0;
  for (int32_t b = 0; b < nbBigs; ++b) {
    const TBIGENTITY* big = column3[b];
    if (!big) continue;
    const int32_t base = (big->KeyY - 64) * 512;
    const TSMALLENTITY* smalls = SB_DecorSmallEntityRun(big->SmallEntitys, big->NbSmallEntitys);
    for (int32_t s = 0; smalls && s < big->NbSmallEntitys; ++s) {
      const TSMALLENTITY& small = smalls[s];
      if (small.X != smallX || small.Z != smallZ) continue;
      const int32_t cubeBase = base + (small.Y - 64) * 128;
      const TMAPVERTEX* vertices = SB_DecorVertexRun(small.Vertices, small.NbVertices);
      const TMAPFACE* faces = SB_DecorFaceRun(small.Faces, small.NbFaces);
      for (int32_t f = 0; vertices && faces && f < small.NbFaces; ++f) {
        if (count == SB_EDITMAXTILEFACES) return count;  // the list is full: the rest are dropped
        if (!MakeEntry(faces[f], vertices, small.NbVertices, cubeBase, entries[count])) continue;
        pointers[count] = &entries[count];
        ++count;
      }
    }
  }
  return count;
}

void SB_FillEditTile(BMAP* bmap, TEDITTILEFACE** pointers, int32_t count) {
  const bool eightBit = LS_Var.Screen && LS_Var.Screen->Depth == 8;
  const bool textured = eightBit && !(SB_Var.EditObjectMode && SB_Var.EditOutlines);
  const bool outlined = !eightBit || SB_Var.EditOutlines;
  LS_LockBmap(bmap);
  LS_LockWindow(&SB_Var.EditTileWindow);
  for (int32_t i = 0; i < count; ++i) {
    if (textured) Textured(*pointers[i]);
    if (outlined) Outline(*pointers[i]);
  }
  LS_UnlockWindow(&SB_Var.EditTileWindow);
  LS_UnlockBmap(bmap);
}

void SB_DrawEditTile(BMAP* bmap, int32_t column, int32_t row) {
  const int32_t t = SB_Var.EditTileSize;
  SB_FillRect(bmap, 0, 0, t - 1, t - 1, static_cast<uint32_t>(SB_Var.EditClearColor));
  if (SB_Var.Edit3DView) return;
  TEDITTILEFACE entries[SB_EDITMAXTILEFACES];
  TEDITTILEFACE* pointers[SB_EDITMAXTILEFACES];
  const int32_t count = SB_ListEditTileFaces(pointers, entries, column, row);
  E3D_SortByKey(reinterpret_cast<void**>(pointers), count);
  SB_FillEditTile(bmap, pointers, count);
}
