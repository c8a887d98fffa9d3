// The software map frame of a view: the visible big entities made into
// cells, the cells drawn far to near, and each cell's listed faces sorted
// far to near and appended to the view as polygons with their vertices.
#include "engine3d/sort.h"
#include "shell/sbvar.h"
#include "softrender/softmap.h"
#include "softrender/softrender.h"
#include "track/decor.h"

namespace {

// A view's vertex room kept free behind the last polygon.
constexpr int32_t kVertexMargin = 4;

// The corner orders of the rotation codes: 0 to 2 for triangles, 3 to 5
// for quadrangles; the unused codes 6 and 7 keep the stored order.
constexpr uint8_t kCornerOrder[8][4] = {{0, 1, 2, 3}, {1, 2, 0, 3}, {2, 0, 1, 3}, {1, 2, 3, 0},
                                        {2, 3, 0, 1}, {3, 0, 1, 2}, {0, 1, 2, 3}, {0, 1, 2, 3}};

// The rotation code: bit 15 of the first corner's u and v and of the
// second corner's u. A quadrangle's code on a triangle would name its
// missing fourth corner, so a triangle keeps its stored order then.
int32_t RotationCode(const TMAPFACE& face, int32_t corners) {
  const uint16_t* t = face.TextureCoords;
  const int32_t code = (t[0] >> 15) | (t[1] >> 15) << 1 | (t[2] >> 15) << 2;
  return corners == 3 && code >= 3 ? 0 : code;
}

bool ViewFull(const TSOFTSCENE* scene) {
  return scene->NbPolygons >= SB_Var.MaxFaces || scene->NbVertices >= SB_Var.MaxVertices - kVertexMargin;
}

void EmitFace(TSOFTSCENE* scene, const TMAPFACE& face) {
  const int32_t n = face.Vertex[3] == 255 ? 3 : 4;
  const uint8_t* order = kCornerOrder[RotationCode(face, n)];
  auto* v = static_cast<TSOFTVERTEX*>(scene->VertexCursor);
  for (int32_t k = 0; k < n; ++k) {
    const int32_t corner = order[k];
    const TVIEWVERTEX& p = E3D_SoftMap.Vertices[face.Vertex[corner]];
    v[k] = {};
    v[k].X = p.ScreenX, v[k].Y = p.ScreenY;
    v[k].U = (face.TextureCoords[2 * corner] & 0x7FFF) << 4;
    v[k].V = (face.TextureCoords[2 * corner + 1] & 0x7FFF) << 4;
    v[k].Code = p.Code;
    v[k].CamX = p.X, v[k].CamY = p.Y, v[k].CamZ = p.Z;
  }
  const int32_t material = SB_MapFaceTexture(&face);
  auto* poly = static_cast<TSOFTPOLY*>(scene->PolygonCursor);
  *poly = {};
  poly->Key = static_cast<int32_t>(face.ShadeOrKey);
  poly->Next = poly + 1;
  poly->FirstVertex = v;
  poly->NbVertices = static_cast<uint8_t>(n);
  poly->Kind = SB_Var.TexturePlaces[material].RenderKind;
  poly->Material = static_cast<uint16_t>(material);
  scene->PolygonCursor = poly + 1, scene->VertexCursor = v + n;
  ++scene->NbPolygons, scene->NbVertices += n;
}

}  // namespace

void E3D_SoftEmitPolys(TSOFTSCENE* scene) {
  const TSOFTMAPFRAME& f = E3D_SoftMap;
  for (int32_t i = 0; i < f.NbCellFaces && !ViewFull(scene); ++i) EmitFace(scene, *f.CellFaces[i]);
}

// Weak, so that the race tests can record the call in its place.
__attribute__((weak)) void E3D_SoftRenderMap(TSOFTSCENE* scene, TCAMERA* camera, _WINDOW*) {
  TSOFTMAPFRAME& f = E3D_SoftMap;
  f.NbProjected = f.NbTransformed = 0;
  f.NbCells = f.NbCellFaces = 0;
  const float far = static_cast<float>(SB_Var.ViewFar);
  SB_Var.FarDistanceSq = far * far;
  if (!scene || !camera || !scene->PolygonCursor || !scene->VertexCursor) return;
  SB_TransformMapSectors(camera);
  if (f.Cells.size() < static_cast<size_t>(f.NbVisible)) {
    f.Cells.resize(static_cast<size_t>(f.NbVisible));
    f.CellOrder.resize(static_cast<size_t>(f.NbVisible));
  }
  TSOFTCELL* cell = f.Cells.data();
  TSOFTCELL** pointer = f.CellOrder.data();
  for (int32_t i = 0; i < f.NbVisible; ++i) SB_AddSoftPolygonEntry(&f.Visible[static_cast<size_t>(i)], &cell, &pointer);
  f.NbCells = f.NbVisible;
  E3D_SortByKey(reinterpret_cast<void**>(f.CellOrder.data()), f.NbCells);
  for (int32_t i = 0; i < f.NbCells && !ViewFull(scene); ++i) {
    TSOFTCELL* c = f.CellOrder[static_cast<size_t>(i)];
    E3D_SoftCullCell(nullptr, c);
    E3D_SoftProjectCell(nullptr, c);
    E3D_SortByKey(reinterpret_cast<void**>(f.CellFaces), f.NbCellFaces);
    E3D_SoftEmitPolys(scene);
  }
  if (scene->NbPolygons > 0) (static_cast<TSOFTPOLY*>(scene->PolygonCursor) - 1)->Next = nullptr;
}
