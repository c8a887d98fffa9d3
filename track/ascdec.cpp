// The conversion of the welded scene into the textured-polygon map: the
// scene's triangles become a polygon map, which is cut into cells of 512
// units, each cell's floor and wall faces simplified into its wheel and
// body runs, and its faces cut at every eighth texture repeat into its
// ground run.
#include <cstring>
#include <initializer_list>

#include "shell/console.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "track/polymap.h"

namespace {

constexpr const char* kOwner = "SB_InitMapConversion";

// The pieces held while the conversion walks down to one texture piece,
// freed together when it stops.
struct THELD {
  TLMAPPOLY* Pieces[4] = {};  // x slab, z slab, cell, u piece
  ~THELD() {
    for (TLMAPPOLY* p : Pieces) SB_FreeTLMAPPOLY(p);
  }
  void Drop(int32_t level) {
    SB_FreeTLMAPPOLY(Pieces[level]);
    Pieces[level] = nullptr;
  }
};

struct TTOTALS {
  long Faces = 0, Points = 0, Sol = 0, Mur = 0;
};

// One run's faces of the cell: floor or wall faces, simplified and filed.
int32_t AddContactFaces(const TLMAPPOLY* cell, bool floor, long* total) {
  TLMAPPOLY* part = floor ? SB_GetTLMAPPOLYFromATLMAPPOLYSol(cell) : SB_GetTLMAPPOLYFromATLMAPPOLYMur(cell);
  if (!part) return 0;
  SB_SimplifyTLMAPPOLY(part);
  *total += part->NbFaces;
  const int32_t filed = !part->OutOfMemory && (floor ? SB_AddWheelCell(part) : SB_AddBodyCell(part));
  SB_FreeTLMAPPOLY(part);
  return filed;
}

// -1 stopped by Escape, 0 failed, 1 filed.
int32_t AddGroundPieces(THELD& held, TTOTALS& totals) {
  TLMAPPOLY* cell = held.Pieces[2];
  for (TLMAPPOLY* u; (u = SB_SliceTLMAPPOLYU(cell)) != nullptr; held.Drop(3)) {
    held.Pieces[3] = u;
    if (u->NbFaces < 1) break;
    for (TLMAPPOLY* v; (v = SB_SliceTLMAPPOLYV(u)) != nullptr;) {
      if (v->NbFaces < 1) {
        SB_FreeTLMAPPOLY(v);
        break;
      }
      totals.Faces += v->NbFaces, totals.Points += v->NbPoints;
      if (LS_KeyDown(SB_KEY_ESCAPE)) {
        SB_FreeTLMAPPOLY(v);
        return -1;
      }
      TLMAPPOLY* copy = SB_GetTLMAPPOLYFromATLMAPPOLY(v);
      SB_FreeTLMAPPOLY(v);
      if (!copy) return 0;
      SB_SimplifyTLMAPPOLY(copy);
      const int32_t filed = !copy->OutOfMemory && SB_AddGroundCell(copy);
      SB_FreeTLMAPPOLY(copy);
      if (!filed) return 0;
    }
    if (u->OutOfMemory) return 0;
  }
  held.Drop(3);
  return cell->OutOfMemory ? 0 : 1;
}

// Takes the slabs of one level off the piece above it; the slab is held
// at level.
template <typename Each>
int32_t ForEachSlab(THELD& held, int32_t level, TLMAPPOLY* from, TLMAPPOLY* (*slice)(TLMAPPOLY*), Each each) {
  while (TLMAPPOLY* slab = slice(from)) {
    held.Pieces[level] = slab;
    if (slab->NbFaces < 1) break;
    const int32_t result = each(slab);
    if (result != 1) return result;
    held.Drop(level);
  }
  held.Drop(level);
  return from && from->OutOfMemory ? 0 : 1;
}

int32_t ConvertCells(TLMAPPOLY* poly, THELD& held, TTOTALS& totals) {
  return ForEachSlab(held, 0, poly, SB_SliceTLMAPPOLYX, [&](TLMAPPOLY* xSlab) {
    const int32_t result = ForEachSlab(held, 1, xSlab, SB_SliceTLMAPPOLYZ, [&](TLMAPPOLY* zSlab) {
      return ForEachSlab(held, 2, zSlab, SB_SliceTLMAPPOLYY, [&](TLMAPPOLY* cell) {
        if (!AddContactFaces(cell, true, &totals.Sol) || !AddContactFaces(cell, false, &totals.Mur)) return 0;
        return AddGroundPieces(held, totals);
      });
    });
    SB_ConsoleStatus("...Before %ld; after %ld; Points %ld; Cubes %ld...", static_cast<long>(poly->NbFaces),
                     totals.Faces, totals.Points, static_cast<long>(SB_Var.Decor.NbCube10Polys));
    return result;
  });
}

}  // namespace

int32_t SB_InitMapConversion() {
  TDECOR& d = SB_Var.Decor;
  SB_Var.NbTextures = 0;
  d.NbPPointOffsets = d.NbPPointTextures = d.NbPointOffsets = d.NbPointTextures = d.NbFacePolys = 0;
  d.NbCube10Polys = 0;
  SB_ConversionOutputFull = 0;
  const TMAPCONVERSIONLIMITS& room = SB_ConversionLimits;
  void** arrays[] = {reinterpret_cast<void**>(&d.PPointOffsets), reinterpret_cast<void**>(&d.PPointTextures),
                     reinterpret_cast<void**>(&d.PointOffsets),  reinterpret_cast<void**>(&d.PointTextures),
                     reinterpret_cast<void**>(&d.FacePolys),     reinterpret_cast<void**>(&d.Cube10Polys)};
  const int64_t sizes[] = {int64_t{room.PPointOffsets} * 4,
                           int64_t{room.PPointTextures} * 4,
                           int64_t{room.PointOffsets} * int64_t{sizeof(TFPOINTOFFSET)},
                           int64_t{room.PointTextures} * int64_t{sizeof(TFPOINTTEXTURE)},
                           int64_t{room.FacePolys} * int64_t{sizeof(TFFACEPOLY)},
                           int64_t{room.Cells} * int64_t{sizeof(TFCUBE10POLY)}};
  for (void** a : arrays)
    if (*a) SB_Release(*a), *a = nullptr;
  for (size_t i = 0; i < std::size(arrays); ++i) {
    // An array of no room is still made, so that the first record finds it full.
    *arrays[i] = SB_GetMemHeap(static_cast<int32_t>(sizes[i] > 0 ? sizes[i] : 1), kOwner);
    if (*arrays[i]) continue;
    for (size_t k = 0; k < i; ++k) SB_Release(*arrays[k]), *arrays[k] = nullptr;
    SB_ConsolePrintf("Memory allocation error !!!");
    return 0;
  }
  d.NbNames2 = 0;
  return 1;
}

int32_t SB_ConvertPolyMapToDecor(TLMAPPOLY* poly) {
  SB_Var.NbSimplifiedFaces = SB_Var.NbDebuggedFaces = 0;
  THELD held;
  TTOTALS totals;
  const int32_t result = ConvertCells(poly, held, totals);
  if (result < 0) {
    SB_ConsolePrintf("Map conversion stopped !!!");
    return 0;
  }
  if (result == 0) {
    if (!SB_ConversionOutputFull) SB_ConsolePrintf("Memory allocation error !!!");
    return 0;
  }
  SB_ConsolePrintf("...After work: %ld faces; %ld points; %ld cubes...", totals.Faces, totals.Points,
                   static_cast<long>(SB_Var.Decor.NbCube10Polys));
  SB_ConsolePrintf("...Sol faces: %ld, Mur faces: %ld...", totals.Sol, totals.Mur);
  SB_ConsolePrintf("...Simplified faces: %ld. Debugged faces: %ld.",
                   static_cast<long>(SB_Var.NbSimplifiedFaces), static_cast<long>(SB_Var.NbDebuggedFaces));
  return 1;
}

// Weak, so that the construction's tests can record the call instead.
__attribute__((weak)) int32_t SB_ConvertAscToDec(TLMAP* map) {
  SB_ConsolePrintf("ASC to DEC conversion algorithm...");
  SB_ConsolePrintf("...Memory allocations...");
  if (!SB_InitMapConversion()) return 0;
  SB_ConsolePrintf("...Converting 3D Studio map to map with polygones...");
  TLMAPPOLY* poly = nullptr;
  if (map && map->NbFaces > 0 && !(poly = SB_GetTLMAPPOLYfromTLMAP(map))) return 0;
  SB_ConsolePrintf("...Generating normal vectors...");
  if (poly) SB_CalcTLMAPPOLYNormals(poly);
  TDECOR& d = SB_Var.Decor;
  d.NbNames2 = poly ? poly->NbMaterials : 0;
  if (poly) std::memcpy(d.Names2, poly->Materials, sizeof d.Names2);
  SB_ConsolePrintf("...Converting polygones map to decor...");
  const int32_t converted = SB_ConvertPolyMapToDecor(poly);
  SB_FreeTLMAPPOLY(poly);
  if (converted) SB_Var.TFMapReady = 1;
  return converted;
}
