// The polygon map's life: made from the scene's triangles, copied whole or
// by floor and wall faces, grown, purified of dead faces, freed, and cut
// into slabs along the 512-unit grid and the eighth texture repeats.
#include <cmath>
#include <cstring>
#include <string>

#include "shell/console.h"
#include "shell/owner.h"
#include "track/polymap.h"

TMAPCONVERSIONLIMITS SB_ConversionLimits;

namespace {

constexpr const char* kGrowTag = "SB_AddThingsToTLMAPPOLY TLMAPPOLY->point";

// Replaces an array by one of the new capacity holding the used records.
template <typename Record>
bool Regrow(Record** array, int32_t used, int32_t capacity, const char* tag) {
  auto* grown = static_cast<Record*>(SB_GetMemHeap(static_cast<int32_t>(sizeof(Record)) * capacity, tag));
  if (!grown) return false;
  if (used > 0) std::memcpy(grown, *array, sizeof(Record) * static_cast<size_t>(used));
  if (*array) SB_Release(*array);
  *array = grown;
  return true;
}

// A material letter in the flag columns 8 to 14.
bool HasLetter(const char* name, char letter) { return std::memchr(name + 8, letter, 7) != nullptr; }

TLMAPPOLY* Filtered(const TLMAPPOLY* poly, char letter, const char* tag) {
  if (!poly) return nullptr;
  TLMAPPOLY* out =
      SB_NewTLMAPPOLY(poly->NbFaces, poly->NbPoints, tag, "SB_GetTLMAPPOLYFromATLMAPPOLY TLMAPPOLY");
  if (!out) return nullptr;
  out->NbMaterials = poly->NbMaterials;
  std::memcpy(out->Materials, poly->Materials, sizeof out->Materials);
  for (int32_t i = 0; i < poly->NbFaces; ++i) {
    const TPOLYFACE& f = poly->Faces[i];
    if (f.NbPoints >= 3 && f.Material >= 0 && HasLetter(poly->Materials[f.Material], letter))
      SB_AddFaceToTLMAPPOLY(out, poly, i);
  }
  return out;
}

double Coordinate(const TPOLYPOINT& p, int32_t axis) {
  const double c[5] = {p.X, p.Y, p.Z, p.U, p.V};
  return c[axis];
}

// The copy keeps the side below the cut, the map the side above; both
// purified. Null when memory failed.
TLMAPPOLY* Cut(TLMAPPOLY* poly, int32_t axis, double cut) {
  TLMAPPOLY* copy = SB_GetTLMAPPOLYFromATLMAPPOLY(poly);
  if (!copy) return nullptr;
  for (TLMAPPOLY* part : {copy, poly}) {
    const double sign = part == copy ? -1.0 : 1.0;
    SB_AddThingsToTLMAPPOLY(part, 2 * part->NbPoints + 1000, 2 * part->NbFaces + 1000);
    if (axis < 3) {
      double point[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
      point[axis] = cut, normal[axis] = sign;
      SB_ClipTLMAPPOLYByPlane(part, point, normal);
    } else {
      double point[2] = {0, 0}, normal[2] = {0, 0};
      point[axis - 3] = cut, normal[axis - 3] = sign;
      SB_ClipTLMAPPOLYByUVLine(part, point, normal);
    }
    SB_PurifyTLMAPPOLY(part);
    if (axis >= 3) SB_NormalizeTLMAPPOLYUV(part);
  }
  if (copy->OutOfMemory || poly->OutOfMemory) {
    poly->OutOfMemory = 1;
    SB_FreeTLMAPPOLY(copy);
    return nullptr;
  }
  return copy;
}

TLMAPPOLY* SliceSpace(TLMAPPOLY* poly, int32_t axis) {
  if (!poly || poly->NbFaces < 1 || poly->NbPoints < 1) return nullptr;
  double m = 1e11;
  for (int32_t i = 0; i < poly->NbFaces; ++i) {
    const TPOLYFACE& f = poly->Faces[i];
    for (int32_t k = 0; k < f.NbPoints; ++k)
      m = std::fmin(m, Coordinate(poly->Points[f.FirstPoint + k], axis));
  }
  if (m == 1e11) return nullptr;
  return Cut(poly, axis, SB_POLYCELLSIZE * (std::floor(m * 0.001953125 + 1e-5) + 1));
}

TLMAPPOLY* SliceTexture(TLMAPPOLY* poly, int32_t axis) {
  if (!poly || poly->NbFaces < 1 || poly->NbPoints < 1) return nullptr;
  SB_NormalizeTLMAPPOLYUV(poly);
  return Cut(poly, axis, SB_POLYTEXTURECUT);
}

}  // namespace

TLMAPPOLY* SB_NewTLMAPPOLY(int32_t faces, int32_t points, const char* stem, const char* arrays) {
  const std::string tag = arrays ? arrays : stem;
  auto* poly = static_cast<TLMAPPOLY*>(SB_GetMemHeap(sizeof(TLMAPPOLY), stem));
  if (!poly) return nullptr;
  if ((faces > 0 && !Regrow(&poly->Faces, 0, faces, (tag + "->face").c_str())) ||
      (points > 0 && !Regrow(&poly->Points, 0, points, (tag + "->point").c_str()))) {
    SB_FreeTLMAPPOLY(poly);
    return nullptr;
  }
  poly->FaceCapacity = faces > 0 ? faces : 0;
  poly->PointCapacity = points > 0 ? points : 0;
  return poly;
}

// Null for an empty map; a 513th name (or one past the test's room) and
// a refused allocation are reported and give null too.
TLMAPPOLY* SB_GetTLMAPPOLYfromTLMAP(const TLMAP* map) {
  if (!map || map->NbFaces < 1) return nullptr;
  const int32_t n = static_cast<int32_t>(map->NbFaces);
  TLMAPPOLY* poly = SB_NewTLMAPPOLY(n, 3 * n, "SB_GetTLMAPPOLYfromTLMAP TLMAPPOLY");
  if (!poly) {
    SB_ConsolePrintf("Memory allocation error !!!");
    return nullptr;
  }
  for (int32_t i = 0; i < n; ++i) {
    const TLMAPFACE& t = map->Faces[i];
    int32_t material = 0;
    while (material < poly->NbMaterials &&
           std::memcmp(poly->Materials[material], t.Material, SB_TEXTURENAMESIZE) != 0)
      ++material;
    if (material == poly->NbMaterials) {
      if (material >= SB_ConversionLimits.Names || material >= SB_MAXTEXTURES) {
        SB_ConsolePrintf("Map conversion error: %s full !!!", "names2");
        SB_ConversionOutputFull = 1;
        SB_FreeTLMAPPOLY(poly);
        return nullptr;
      }
      std::memcpy(poly->Materials[poly->NbMaterials++], t.Material, SB_TEXTURENAMESIZE);
    }
    TPOLYFACE& f = poly->Faces[poly->NbFaces++];
    f = {static_cast<uint32_t>(poly->NbPoints),
         static_cast<float>(t.NormalX),
         static_cast<float>(t.NormalY),
         static_cast<float>(t.NormalZ),
         3,
         static_cast<int16_t>(material),
         0};
    for (const TLMAPVERTEX& v : t.V)
      poly->Points[poly->NbPoints++] = {v.X + SB_POLYSHIFT, v.Y + SB_POLYSHIFT, v.Z + SB_POLYSHIFT, v.U, v.V};
  }
  return poly;
}

void SB_CalcTLMAPPOLYNormals(TLMAPPOLY* poly) {
  for (int32_t i = 0; i < poly->NbFaces; ++i) {
    TPOLYFACE& f = poly->Faces[i];
    if (f.NbPoints < 3) continue;
    const TPOLYPOINT *p = poly->Points + f.FirstPoint, &v0 = p[0], &v1 = p[1], &v2 = p[2];
    const double ex = v2.X - v0.X, ey = v2.Y - v0.Y, ez = v2.Z - v0.Z;
    const double fx = v1.X - v0.X, fy = v1.Y - v0.Y, fz = v1.Z - v0.Z;
    const double nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0.0) continue;
    f.NormalX = static_cast<float>(nx / length), f.NormalY = static_cast<float>(ny / length);
    f.NormalZ = static_cast<float>(nz / length);
  }
}

int32_t SB_AddThingsToTLMAPPOLY(TLMAPPOLY* poly, int32_t morePoints, int32_t moreFaces) {
  if (morePoints > 0) {
    if (!Regrow(&poly->Points, poly->NbPoints, poly->NbPoints + morePoints, kGrowTag))
      return !(poly->OutOfMemory = 1);
    poly->PointCapacity = poly->NbPoints + morePoints;
  }
  if (moreFaces > 0) {
    if (!Regrow(&poly->Faces, poly->NbFaces, poly->NbFaces + moreFaces, kGrowTag))
      return !(poly->OutOfMemory = 1);
    poly->FaceCapacity = poly->NbFaces + moreFaces;
  }
  return 1;
}

// Grows by at least what is asked and by half the count, so that many
// small appends stay cheap.
int32_t SB_ReserveTLMAPPOLY(TLMAPPOLY* poly, int32_t morePoints, int32_t moreFaces) {
  if (poly->OutOfMemory) return 0;
  const int32_t points =
      poly->NbPoints + morePoints > poly->PointCapacity ? morePoints + poly->NbPoints / 2 + 64 : 0;
  const int32_t faces =
      poly->NbFaces + moreFaces > poly->FaceCapacity ? moreFaces + poly->NbFaces / 2 + 16 : 0;
  return points || faces ? SB_AddThingsToTLMAPPOLY(poly, points, faces) : 1;
}

TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLY(const TLMAPPOLY* poly) {
  if (!poly || poly->NbFaces < 1 || poly->NbPoints < 1) return nullptr;
  TLMAPPOLY* copy = SB_NewTLMAPPOLY(poly->NbFaces, poly->NbPoints, "SB_GetTLMAPPOLYFromATLMAPPOLY TLMAPPOLY");
  if (!copy) return nullptr;
  TPOLYFACE* faces = copy->Faces;
  TPOLYPOINT* points = copy->Points;
  std::memcpy(copy, poly, sizeof *copy);
  copy->Faces = faces, copy->Points = points;
  copy->FaceCapacity = poly->NbFaces, copy->PointCapacity = poly->NbPoints;
  std::memcpy(faces, poly->Faces, sizeof(TPOLYFACE) * static_cast<size_t>(poly->NbFaces));
  std::memcpy(points, poly->Points, sizeof(TPOLYPOINT) * static_cast<size_t>(poly->NbPoints));
  return copy;
}

TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLYSol(const TLMAPPOLY* poly) {
  return Filtered(poly, 'C', "SB_GetTLMAPPOLYFromATLMAPPOLYSol TLMAPPOLY");
}

TLMAPPOLY* SB_GetTLMAPPOLYFromATLMAPPOLYMur(const TLMAPPOLY* poly) {
  return Filtered(poly, 'M', "SB_GetTLMAPPOLYFromATLMAPPOLYMur TLMAPPOLY");
}

void SB_AddFaceToTLMAPPOLY(TLMAPPOLY* to, const TLMAPPOLY* from, int32_t face) {
  const TPOLYFACE& f = from->Faces[face];
  if (!SB_ReserveTLMAPPOLY(to, f.NbPoints, 1)) return;
  TPOLYFACE& added = to->Faces[to->NbFaces++];
  added = f;
  added.FirstPoint = static_cast<uint32_t>(to->NbPoints);
  for (int32_t k = 0; k < f.NbPoints; ++k) to->Points[to->NbPoints++] = from->Points[f.FirstPoint + k];
}

void SB_PurifyTLMAPPOLY(TLMAPPOLY* poly) {
  int32_t faces = 0, points = 0;
  for (int32_t i = 0; i < poly->NbFaces; ++i)
    if (poly->Faces[i].NbPoints >= 3) ++faces, points += poly->Faces[i].NbPoints;
  TPOLYFACE* newFaces = nullptr;
  TPOLYPOINT* newPoints = nullptr;
  if ((faces && !Regrow(&newFaces, 0, faces, "SB_PurifyTLMAPPOLY TLMAPPOLY->face")) ||
      (points && !Regrow(&newPoints, 0, points, "SB_PurifyTLMAPPOLY TLMAPPOLY->point"))) {
    if (newFaces) SB_Release(newFaces);
    poly->OutOfMemory = 1;
    return;
  }
  int32_t nf = 0, np = 0;
  for (int32_t i = 0; i < poly->NbFaces; ++i) {
    const TPOLYFACE& f = poly->Faces[i];
    if (f.NbPoints < 3) continue;
    newFaces[nf] = f;
    newFaces[nf++].FirstPoint = static_cast<uint32_t>(np);
    std::memcpy(newPoints + np, poly->Points + f.FirstPoint, sizeof(TPOLYPOINT) * f.NbPoints);
    np += f.NbPoints;
  }
  if (poly->Faces) SB_Release(poly->Faces);
  if (poly->Points) SB_Release(poly->Points);
  poly->Faces = newFaces, poly->Points = newPoints;
  poly->NbFaces = poly->FaceCapacity = faces;
  poly->NbPoints = poly->PointCapacity = points;
}

void SB_FreeTLMAPPOLY(TLMAPPOLY* poly) {
  if (!poly) return;
  if (poly->Faces) SB_Release(poly->Faces);
  if (poly->Points) SB_Release(poly->Points);
  SB_Release(poly);
}

TLMAPPOLY* SB_SliceTLMAPPOLYX(TLMAPPOLY* poly) { return SliceSpace(poly, 0); }
TLMAPPOLY* SB_SliceTLMAPPOLYY(TLMAPPOLY* poly) { return SliceSpace(poly, 1); }
TLMAPPOLY* SB_SliceTLMAPPOLYZ(TLMAPPOLY* poly) { return SliceSpace(poly, 2); }
TLMAPPOLY* SB_SliceTLMAPPOLYU(TLMAPPOLY* poly) { return SliceTexture(poly, 3); }
TLMAPPOLY* SB_SliceTLMAPPOLYV(TLMAPPOLY* poly) { return SliceTexture(poly, 4); }
