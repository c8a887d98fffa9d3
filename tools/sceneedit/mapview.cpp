// The scene editor's map: the view transform (metres per pixel and the
// world point at the view's centre), the map of the track's polygon cells
// drawn as outlines into a bitmap of its own, and the turned markers of
// the cars and the race camera.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine3d/matrix.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "tools/sceneedit/sceneedit.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kMaxFaceVertices = 64;  // an outline takes a face's first 64 corners
constexpr double kCellMetres = 51.2, kUnitMetres = 0.003125;
constexpr double kFarPixel = 1e9;  // pixels from the centre: off any view, and no sum overflows
constexpr double kMarkerTurn = 1.5707;  // a quarter turn, as the markers have always been turned by

// The world x, z of corner k of a face, false when its links reach past
// the map's arrays.
bool FaceCorner(const TFFACEPOLY& face, int32_t k, double cx, double cz, double* x, double* z) {
  const TDECOR& d = SB_Var.Decor;
  const uint64_t link = uint64_t{face.PointOffsets} / sizeof(uint32_t) + static_cast<uint64_t>(k);
  if (!d.PPointOffsets || link >= static_cast<uint64_t>(std::max(d.NbPPointOffsets, 0))) return false;
  const uint64_t point = d.PPointOffsets[link] / sizeof(TFPOINTOFFSET);
  if (!d.PointOffsets || point >= static_cast<uint64_t>(std::max(d.NbPointOffsets, 0))) return false;
  const TFPOINTOFFSET& p = d.PointOffsets[point];
  *x = (p.X - 8192) * kUnitMetres + cx;
  *z = (p.Z - 8192) * kUnitMetres + cz;
  return true;
}

void OutlineCell(const TFCUBE10POLY& cell, BMAP* view, _WINDOW* window, uint32_t colour) {
  const TDECOR& d = SB_Var.Decor;
  const double cx = (cell.X - 64) * kCellMetres, cz = (cell.Z - 64) * kCellMetres;
  const uint64_t first = cell.FaceRuns[SB_GROUNDRUN] / sizeof(TFFACEPOLY);
  const uint64_t faces = static_cast<uint64_t>(std::max(d.NbFacePolys, 0));
  if (!d.FacePolys || first > faces) return;
  const uint64_t count = std::min<uint64_t>(cell.NbFaces[SB_GROUNDRUN], faces - first);
  for (uint64_t f = 0; f < count; ++f) {
    const TFFACEPOLY& face = d.FacePolys[first + f];
    const int32_t n = std::min<int32_t>(face.NbCorners, kMaxFaceVertices);
    int32_t px[kMaxFaceVertices], py[kMaxFaceVertices];
    bool readable = true;
    for (int32_t k = 0; k < n && readable; ++k) {
      double x = 0, z = 0;
      readable = FaceCorner(face, k, cx, cz, &x, &z);
      SB_WorldToMapView(view, x, 0.0, z, &px[k], &py[k]);
    }
    if (!readable) continue;
    for (int32_t k = 0; k < n; ++k)
      SB_ToolDrawLine(window, px[k], py[k], px[(k + 1) % n], py[(k + 1) % n], colour);
  }
}

// A pixel value: depth / 8 bytes.
uint32_t ReadPixel(const uint8_t* p, int32_t bytes) {
  uint32_t v = 0;
  std::memcpy(&v, p, static_cast<size_t>(bytes));
  return v;
}

// The marker turned to its heading and tinted when selected, centred on
// the world point.
void DrawMarker(BMAP* view, BMAP* picture, double x, double z, double angle, bool selected, uint32_t tint) {
  int32_t px = 0, py = 0;
  if (!SB_WorldToMapView(view, x, 0.0, z, &px, &py)) return;
  BMAP* marker = rotstretch(picture, 0.5, angle);
  if (!marker) return;
  if (selected) SB_RecolourBmap16(marker, tint);
  SB_BitmoveTransparent(marker, view, 0, 0, marker->SizeX - 1, marker->SizeY - 1, px - marker->SizeX / 2,
                        py - marker->SizeY / 2);
  SB_FreeBmap(marker);
}

double Heading(const double* matrix) {
  double a = 0, b = 0, c = 0;
  E3D_MatToAngles(matrix, &a, &b, &c);
  return b;
}

}  // namespace

int32_t SB_WorldToMapView(const BMAP* view, double x, double, double z, int32_t* px, int32_t* py) {
  const int32_t w = view ? view->SizeX : 0, h = view ? view->SizeY : 0;
  const double u = std::trunc((x - SB_Var.MapOriginX) / SB_Var.MapScale);
  const double v = std::trunc((z - SB_Var.MapOriginZ) / SB_Var.MapScale);
  // A point that is not a number (a curve point overflowed past the double
  // range) has no pixel; it is put where far points go.
  if (std::isnan(u) || std::isnan(v)) {
    *px = *py = static_cast<int32_t>(-kFarPixel);
    return 0;
  }
  // Far points are held at the int32 range, where the clipper drops them.
  *px = static_cast<int32_t>(std::clamp(u, -kFarPixel, kFarPixel)) + w / 2;
  *py = h / 2 - static_cast<int32_t>(std::clamp(v, -kFarPixel, kFarPixel));
  return 1;
}

void SB_MapViewToWorld(const BMAP* view, int32_t px, int32_t py, double* x, double* z) {
  const int32_t w = view ? view->SizeX : 0, h = view ? view->SizeY : 0;
  *x = (px - w / 2) * SB_Var.MapScale + SB_Var.MapOriginX;
  *z = (h / 2 - py) * SB_Var.MapScale + SB_Var.MapOriginZ;
}

void E3D_CalcMap(BMAP* view) {
  if (!view) return;
  BMAP* map = SB_Var.MapBmap;
  if (map && (map->SizeX != view->SizeX || map->SizeY != view->SizeY || map->Depth != view->Depth)) {
    SB_FreeBmap(map);  // a view of another size or depth gets a map of its own
    map = SB_Var.MapBmap = nullptr;
  }
  if (!map) map = SB_Var.MapBmap = SB_CreateBmap(view->SizeX, view->SizeY, view->Depth, BMAP_VIDEOMEM, "E3D_CalcMap");
  if (!map) return;
  SB_ClearBmap(map);
  _WINDOW window;
  LS_InitWindowFull(map, &window, 12);
  LS_LockWindow(&window);
  const uint32_t colour = SB_ToolPixel(map, 0, 255, 255);
  const TDECOR& d = SB_Var.Decor;
  if (d.Cube10Polys)
    for (int32_t i = 0; i < d.NbCube10Polys; ++i) OutlineCell(d.Cube10Polys[i], map, &window, colour);
  LS_UnlockWindow(&window);
}

void SB_DrawMapView(BMAP* view) {
  if (BMAP* map = SB_Var.MapBmap; map && view)
    SB_BitmoveTransparent(map, view, 0, 0, map->SizeX - 1, map->SizeY - 1, 0, 0);
}

BMAP* rotstretch(BMAP* picture, double scale, double angle) {
  if (!picture || !(scale > 0.0)) return nullptr;
  const int32_t side = std::max(static_cast<int32_t>(picture->SizeX * scale * 1.7),
                                static_cast<int32_t>(picture->SizeY * scale * 1.7));
  if (side < 1) return nullptr;
  BMAP* out = SB_CreateBmapIfFits(side, side, picture->Depth, 0, "rotstretch");
  if (!out) return nullptr;
  out->Format = picture->Format;
  const double c = std::cos(angle) / scale, s = std::sin(angle) / scale;
  const double centre = side * 0.5, ox = picture->SizeX * 0.5 + 0.5, oy = picture->SizeY * 0.5 + 0.5;
  const int32_t bytes = picture->Depth / 8;
  LS_LockBmap(picture);
  LS_LockBmap(out);
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) {
      const double dx = x - centre, dy = y - centre;
      const double fx = std::trunc(dx * c - dy * s + ox), fy = std::trunc(dx * s + dy * c + oy);
      if (!(fx >= 0 && fx < picture->SizeX && fy >= 0 && fy < picture->SizeY)) continue;
      const uint8_t* from = picture->Start + static_cast<int64_t>(fy) * picture->ByteLen + static_cast<int64_t>(fx) * bytes;
      std::memcpy(out->Start + static_cast<int64_t>(y) * out->ByteLen + static_cast<int64_t>(x) * bytes, from,
                  static_cast<size_t>(bytes));
    }
  LS_UnlockBmap(out);
  LS_UnlockBmap(picture);
  return out;
}

void SB_RecolourBmap16(BMAP* bmap, uint32_t colour) {
  if (!bmap || bmap->Depth != 16) return;
  LS_LockBmap(bmap);
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    auto* row = reinterpret_cast<uint16_t*>(bmap->Start + static_cast<int64_t>(y) * bmap->ByteLen);
    for (int32_t x = 0; x < bmap->SizeX; ++x)
      if (ReadPixel(reinterpret_cast<uint8_t*>(row + x), 2) != 0) row[x] = static_cast<uint16_t>(colour);
  }
  LS_UnlockBmap(bmap);
}

void displayobject(BMAP* view) {
  if (!view) return;
  const uint32_t tint = SB_RgbToPixel16(240, 0, 0);
  if (!SB_Var.CarMarker) SB_Var.CarMarker = SB_LoadToolPicture("miscpict>petitcar.tga", 16, "displayobject");
  if (!SB_Var.CameraMarker) SB_Var.CameraMarker = SB_LoadToolPicture("miscpict>petitcam.tga", 16, "displayobject");
  if (SB_Var.CarMarker)
    for (int32_t i = 0; i < SB_Var.NbCars && i < SB_MAXCARS; ++i) {
      const TCAR* car = SB_Var.Cars[i];
      if (!car || !SB_SceneCarInGame(i)) continue;
      DrawMarker(view, SB_Var.CarMarker, car->Position[0], car->Position[2], Heading(car->Orientation) - kMarkerTurn,
                 SB_Var.CarSelected[i] != 0, tint);
    }
  if (const BMAP* marker = SB_Var.CameraMarker; marker) {
    const TCAMERA& camera = SB_Var.Camera;
    DrawMarker(view, SB_Var.CameraMarker, camera.PosX, camera.PosZ, -kMarkerTurn - Heading(camera.Matrix),
               SB_Var.CameraSelected != 0, tint);
  }
}
