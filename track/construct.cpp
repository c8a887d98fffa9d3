// Building the loaded map from the raw triangles: the construction's
// order of steps, normals, the bump report, the map copies and reduction.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine3d/types.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "track/cubes.h"
#include "track/decor.h"
#include "track/scene.h"

namespace {

void ReleaseConstruction(TLMAP* workGroup) {
  TDECOR& d = SB_Var.Decor;
  for (void* block : {static_cast<void*>(d.BigEntitys), static_cast<void*>(d.SmallEntitys),
                      static_cast<void*>(d.Vertices), static_cast<void*>(d.WordVertices),
                      static_cast<void*>(d.Faces)})
    if (block) SB_Release(block);
  d.BigEntitys = nullptr, d.SmallEntitys = nullptr, d.Vertices = nullptr, d.WordVertices = nullptr;
  d.Faces = nullptr;
  SB_FreeTLMAP(workGroup);
}

// A map header and a face block of the map heap.
TLMAP* NewMap(uint32_t capacity, const char* owner) {
  auto* map = static_cast<TLMAP*>(SB_GetMemHeap(sizeof(TLMAP), owner));
  if (!map) return nullptr;
  map->Faces = static_cast<TLMAPFACE*>(SB_GetMemHeap(static_cast<int32_t>(capacity * sizeof(TLMAPFACE)), owner));
  if (!map->Faces) {
    SB_Release(map);
    return nullptr;
  }
  map->Capacity = capacity;
  map->Owner = owner;
  return map;
}

void Centroid(const TLMAPFACE& f, double c[3]) {
  c[0] = (f.V[0].X * 0.1f + f.V[1].X * 0.1f + f.V[2].X * 0.1f) * (1.0f / 3.0f);
  c[1] = (-f.V[0].Y * 0.1f + -f.V[1].Y * 0.1f + -f.V[2].Y * 0.1f) * (1.0f / 3.0f);
  c[2] = (f.V[0].Z * 0.1f + f.V[1].Z * 0.1f + f.V[2].Z * 0.1f) * (1.0f / 3.0f);
}

int32_t SharedCorners(const TLMAPFACE& a, const TLMAPFACE& b) {
  int32_t shared = 0;
  for (const TLMAPVERTEX& v : a.V)
    for (const TLMAPVERTEX& w : b.V)
      if (SB_SamePoint(&v, &w)) {
        ++shared;
        break;
      }
  return shared;
}

// Both to the console and, when it could be created, to the file.
void BumpLine(int32_t file, const char* text) {
  SB_ConsolePrintf("%s", text);
  if (!file) return;
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%s\r\n", text);
  SB_WriteFile(file, line, n);
}

}  // namespace

int32_t SB_SamePoint(const TLMAPVERTEX* a, const TLMAPVERTEX* b) {
  const double t = SB_Var.JoinTolerance;
  return std::fabs(a->X - b->X) < t && std::fabs(a->Y - b->Y) < t && std::fabs(a->Z - b->Z) < t;
}

void SB_CalcMapNormals(TLMAP* map) {
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    TLMAPFACE& f = map->Faces[i];
    const TLMAPVERTEX &p = f.V[0], &q = f.V[1], &r = f.V[2];
    const double ex = r.X - p.X, ey = r.Y - p.Y, ez = r.Z - p.Z;
    const double fx = q.X - p.X, fy = q.Y - p.Y, fz = q.Z - p.Z;
    const double nx = ey * fz - ez * fy, ny = ez * fx - ex * fz, nz = ex * fy - ey * fx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0) continue;
    f.NormalX = nx / length, f.NormalY = ny / length, f.NormalZ = nz / length;
  }
}

void SB_DetectBumps(TLMAP* map) {
  if (SB_Var.FindBosses < 0.1) return;
  const uint32_t mode = LSI_Var.ErrorMode;
  LSI_Var.ErrorMode = LS_ERRMODE_IGNORE;
  const int32_t file = SB_OpenFile("bosses.txt", SB_OPEN_CREATE);
  LSI_Var.ErrorMode = mode;
  if (!file) SB_ConsolePrintf("Cannot create bosses.txt !!!");
  BumpLine(file, "Detection des bosses...");
  for (uint32_t i = 0; i < map->NbFaces; ++i)
    map->Faces[i].Done = std::memcmp(map->Faces[i].Material, "ROUT", 4) == 0 ? 1 : 0;
  long bumps = 0;
  for (uint32_t i = 0; i < map->NbFaces; ++i) {
    const TLMAPFACE& a = map->Faces[i];
    if (a.Done != 1) continue;
    for (uint32_t j = i + 1; j < map->NbFaces; ++j) {
      const TLMAPFACE& b = map->Faces[j];
      if (b.Done != 1 || SharedCorners(a, b) != 2) continue;
      const double dot = a.NormalX * b.NormalX + a.NormalY * b.NormalY + a.NormalZ * b.NormalZ;
      const double la = std::sqrt(a.NormalX * a.NormalX + a.NormalY * a.NormalY + a.NormalZ * a.NormalZ);
      const double lb = std::sqrt(b.NormalX * b.NormalX + b.NormalY * b.NormalY + b.NormalZ * b.NormalZ);
      const double angle = std::fabs(std::acos(dot / (la * lb))) * 180.0 / M_PI;
      if (!(angle >= SB_Var.FindBosses)) continue;
      double ca[3], cb[3];
      Centroid(a, ca), Centroid(b, cb);
      char text[128];
      std::snprintf(text, sizeof text, "Bosse %3ld d'angle %5.2f face %8.2f,%8.2f,%8.2f", ++bumps,
                    static_cast<double>(static_cast<float>(angle)), ca[0], ca[1], ca[2]);
      BumpLine(file, text);
      std::snprintf(text, sizeof text, "                        face %8.2f,%8.2f,%8.2f", cb[0], cb[1], cb[2]);
      BumpLine(file, text);
    }
  }
  SB_CloseFile(file);
}

TLMAP* SB_CopyMap(const TLMAP* map) {
  if (map->NbFaces > SB_MapCapacities.Copy) return nullptr;
  TLMAP* copy = NewMap(SB_MapCapacities.Copy, "SB_CopyMap");
  if (!copy) return nullptr;
  if (map->NbFaces) std::memcpy(copy->Faces, map->Faces, map->NbFaces * sizeof(TLMAPFACE));
  copy->NbFaces = map->NbFaces;
  return copy;
}

void SB_ReduceMap(TLMAP* map) {
  for (uint32_t i = 0; i < map->NbFaces; ++i)
    for (TLMAPVERTEX& v : map->Faces[i].V) {
      v.X = v.X * 0.25 + 64, v.Y = v.Y * 0.25 + 64, v.Z = v.Z * 0.25 + 64;
    }
}

int32_t SB_InitMapConstruction(TLMAP** workGroup) {
  TDECOR& d = SB_Var.Decor;
  const char* owner = "SB_InitMapConversion";
  d.BigEntitys = static_cast<TBIGENTITY*>(SB_GetMemHeap(SB_MAXBIGENTITYS * sizeof(TBIGENTITY), owner));
  d.SmallEntitys = static_cast<TSMALLENTITY*>(SB_GetMemHeap(SB_MAXSMALLENTITYS * sizeof(TSMALLENTITY), owner));
  d.Vertices = static_cast<TMAPVERTEX*>(SB_GetMemHeap(SB_MAXVERTICES * sizeof(TMAPVERTEX), owner));
  d.WordVertices = static_cast<TWORDVERTEX*>(SB_GetMemHeap(SB_MAXWORDVERTICES * sizeof(TWORDVERTEX), owner));
  d.Faces = static_cast<TMAPFACE*>(SB_GetMemHeap(SB_MAXMAPFACES * sizeof(TMAPFACE), owner));
  *workGroup = NewMap(SB_MapCapacities.WorkGroup, owner);
  if (d.BigEntitys && d.SmallEntitys && d.Vertices && d.WordVertices && d.Faces && *workGroup) return 1;
  SB_ConsolePrintf("Memory allocation error...");
  ReleaseConstruction(*workGroup);
  *workGroup = nullptr;
  return 0;
}

namespace {

// One cube split on a fresh copy of the map (reduced for the big cubes).
bool SplitCopy(TLMAP* map, TLMAP* workGroup, bool big) {
  SB_ConsoleStatus("Generating copy of the map...");
  TLMAP* copy = SB_CopyMap(map);
  if (!copy) {
    SB_ConsolePrintf("Memory allocation error...");
    SB_MapBufferFull("SB_CopyMap");
    return false;
  }
  if (big) {
    SB_ConsoleStatus("Reducing map data...");
    SB_ReduceMap(copy);
    SB_ConsoleStatus("Splitting map to cubes (big cubes)...");
    SB_SplitMap2CubeBig(copy, workGroup);
  } else {
    SB_ConsoleStatus("Splitting map to cubes (small cubes)...");
    SB_SplitMap2Cube(copy, workGroup);
  }
  SB_FreeTLMAP(copy);
  return !SB_Var.MapBuildFailed;
}

}  // namespace

int32_t SB_ConstructMap(TLMAP* map) {
  TDECOR& d = SB_Var.Decor;
  d.NbBigEntitys = d.NbSmallEntitys = d.NbVertices = d.NbWordVertices = d.NbFaces = 0;
  SB_Var.NbTextures = 0;
  SB_Var.MapBuildFailed = SB_Var.MapFacesDropped = 0;
  SB_ConsoleStatus("Welding nearest vertices...");
  SB_WeldMapVertices(map);
  if (!SB_ConvertAscToDec(map)) {
    SB_FreeDecor();
    return 0;
  }
  // The cube map is built in every renderer: the accelerator's race draws
  // the polygon cells, but its editors draw the cubes, and the map file
  // written from this build must serve the software modes as well.
  SB_ConsoleStatus("Initializing map construction...");
  TLMAP* workGroup = nullptr;
  if (!SB_InitMapConstruction(&workGroup)) {
    SB_FreeDecor();
    return 0;
  }
  SB_ConsoleStatus("Calc normal vectors...");
  SB_CalcMapNormals(map);
  SB_DetectBumps(map);
  if (!SplitCopy(map, workGroup, false) || !SplitCopy(map, workGroup, true)) {
    ReleaseConstruction(workGroup);
    SB_FreeDecor();  // the polygon map too: a failed build keeps nothing
    return 0;
  }
  SB_FreeTLMAP(workGroup);
  SB_PublishDecor();
  SB_ConsolePrintf("Map after constructions: (%ld f) (%ld v) (%ld wv) (%ld c) (%ld c10)",
                   static_cast<long>(d.NbFaces), static_cast<long>(d.NbVertices),
                   static_cast<long>(d.NbWordVertices), static_cast<long>(d.NbSmallEntitys),
                   static_cast<long>(d.NbBigEntitys));
  if (SB_Var.MapFacesDropped)
    SB_ConsolePrintf("Map warning: %ld faces dropped (cube limits)", static_cast<long>(SB_Var.MapFacesDropped));
  SB_3D_BuildPvs();
  d.NewlyLoaded = d.Loaded = 1;
  return 1;
}
