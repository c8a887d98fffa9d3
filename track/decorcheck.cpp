// The check of a loaded map, section by section in file order, so that a
// damaged file is refused before any query or renderer follows a link.
#include "track/decorcheck.h"

#include <cstdint>

#include "shell/sbvar.h"
#include "track/decor.h"

namespace {

// A run of count records of size bytes at the byte offset lies inside an
// array of total records.
bool RunInside(uint32_t offset, uint32_t count, uint32_t size, int32_t total) {
  return offset % size == 0 && uint64_t{offset / size} + count <= static_cast<uint64_t>(total);
}
bool LinkInside(uint32_t offset, uint32_t size, int32_t total) { return RunInside(offset, 1, size, total); }

bool FaceVerticesInside(const TMAPFACE* faces, int32_t nbFaces, int32_t nbVertices) {
  for (int32_t i = 0; i < nbFaces; ++i) {
    const uint8_t* v = faces[i].Vertex;
    if (v[0] >= nbVertices || v[1] >= nbVertices || v[2] >= nbVertices || (v[3] >= nbVertices && v[3] != 255))
      return false;
  }
  return true;
}

const char* CheckBigEntitys() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    const TBIGENTITY& b = d.BigEntitys[i];
    if ((b.NbWordVertices && !SB_DecorWordVertexRun(b.WordVertices, b.NbWordVertices)) ||
        (b.NbFaces && !SB_DecorFaceRun(b.Faces, b.NbFaces)) ||
        (b.NbSmallEntitys && !SB_DecorSmallEntityRun(b.SmallEntitys, b.NbSmallEntitys)))
      return "big entitys";
  }
  return nullptr;
}

const char* CheckSmallEntitys() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbSmallEntitys; ++i) {
    const TSMALLENTITY& s = d.SmallEntitys[i];
    if ((s.NbVertices && !SB_DecorVertexRun(s.Vertices, s.NbVertices)) ||
        (s.NbFaces && !SB_DecorFaceRun(s.Faces, s.NbFaces)))
      return "small entitys";
  }
  return nullptr;
}

// Each face indexes the vertices of the cube whose run holds it, and a
// texture name.
const char* CheckFaces() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbBigEntitys; ++i) {
    const TBIGENTITY& b = d.BigEntitys[i];
    if (!FaceVerticesInside(SB_DecorFaceRun(b.Faces, b.NbFaces), b.NbFaces, b.NbWordVertices)) return "faces";
  }
  for (int32_t i = 0; i < d.NbSmallEntitys; ++i) {
    const TSMALLENTITY& s = d.SmallEntitys[i];
    if (!FaceVerticesInside(SB_DecorFaceRun(s.Faces, s.NbFaces), s.NbFaces, s.NbVertices)) return "faces";
  }
  for (int32_t i = 0; i < d.NbFaces; ++i)
    if (SB_MapFaceTexture(&d.Faces[i]) >= SB_Var.NbTextures) return "faces";
  return nullptr;
}

// Each list starts on an entry of the seen list and ends with 65535 inside it.
const char* CheckSeenEntitys() {
  const TDECOR& d = SB_Var.Decor;
  if (!d.SeenEntitys) return nullptr;
  int64_t lastEnd = -1;
  for (int32_t i = 0; i < d.NbSeenEntitysList; ++i)
    if (d.SeenEntitysList[i] == 65535) lastEnd = i;
  for (int32_t i = 0; i < d.NbSmallEntitys; ++i) {
    const uint32_t offset = d.SeenEntitys[i];
    if (offset != 0 && (!LinkInside(offset, sizeof(uint16_t), d.NbSeenEntitysList) || offset / 2 > lastEnd))
      return "seenentitys";
  }
  return nullptr;
}

const char* CheckPointLinks() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbPPointOffsets; ++i)
    if (!LinkInside(d.PPointOffsets[i], sizeof(TFPOINTOFFSET), d.NbPointOffsets)) return "TFPPOINTOFFSET";
  for (int32_t i = 0; i < d.NbPPointTextures; ++i)
    if (!LinkInside(d.PPointTextures[i], sizeof(TFPOINTTEXTURE), d.NbPointTextures)) return "TFPPOINTTEXTURE";
  return nullptr;
}

const char* CheckFacePolys() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbFacePolys; ++i) {
    const TFFACEPOLY& f = d.FacePolys[i];
    if (f.NbCorners < 3 || f.Material >= d.NbNames2 ||
        !RunInside(f.PointOffsets, f.NbCorners, sizeof(uint32_t), d.NbPPointOffsets) ||
        !RunInside(f.PointTextures, f.NbCorners, sizeof(uint32_t), d.NbPPointTextures))
      return "TFFACEPOLY";
  }
  return nullptr;
}

const char* CheckCells() {
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbCube10Polys; ++i) {
    const TFCUBE10POLY& c = d.Cube10Polys[i];
    for (int32_t r = 0; r < SB_CELLRUNS; ++r)
      if (!RunInside(c.FaceRuns[r], c.NbFaces[r], sizeof(TFFACEPOLY), d.NbFacePolys)) return "TFCUBE10POLY";
    if (!RunInside(c.PointTextures, c.NbPointTextures, sizeof(TFPOINTTEXTURE), d.NbPointTextures) ||
        !RunInside(c.PointOffsets, c.NbPointOffsets, sizeof(TFPOINTOFFSET), d.NbPointOffsets) ||
        !RunInside(c.PPointTextures, c.NbPPointTextures, sizeof(uint32_t), d.NbPPointTextures) ||
        !RunInside(c.PPointOffsets, c.NbPPointOffsets, sizeof(uint32_t), d.NbPPointOffsets))
      return "TFCUBE10POLY";
  }
  return nullptr;
}

}  // namespace

const char* SB_CheckDecorLinks() {
  for (const char* (*check)() :
       {CheckBigEntitys, CheckSmallEntitys, CheckFaces, CheckSeenEntitys, CheckPointLinks, CheckFacePolys, CheckCells})
    if (const char* word = check()) return word;
  return nullptr;
}
