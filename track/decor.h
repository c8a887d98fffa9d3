// The loaded race map (SB_Var.Decor): the binary map file "Map file v1.07"
// that stores it, its release, and the accessors that turn the records'
// offsets into the records they link to.
#pragma once
#include <cstdint>

#include "shell/sbvar.h"
#include "track/types.h"

constexpr const char* SB_MAPFILEVERSION = "Map file v1.07";
constexpr int32_t SB_MAPHEADERSIZE = 256;
// Header byte 15: which sections the writer stored.
constexpr uint8_t SB_MAPWITHCUBES = 1;     // sections 1 to 7 (the cube map) are there
constexpr uint8_t SB_MAPWITHOUTCUBES = 2;  // written by the accelerator's renderer: no cube map

// Writes the loaded map; nothing when no map is loaded. A file that cannot
// be created or written prints "Map error: cannot write %s !!!".
void SB_SaveDecor(const char* name);
// 1 loaded (or a map was loaded already: only NewlyLoaded is cleared), 0 on
// failure: missing file (no message), another format ("Map error: old map
// format !!!"), a damaged file ("Map error: corrupt map file (%s) !!!"); a
// failed load keeps nothing.
int32_t SB_LoadDecor(const char* name);
// Releases every array of the loaded map and its textures, zeroes the
// counts and the published copies, clears Loaded and releases the map
// construction's heap.
void SB_FreeDecor();
// Refreshes the published copies: SB_Var.Decor.Cubes, SB_Var.Cube10Polys,
// their counts and SB_Var.Decor.NbMapFaces.
void SB_PublishDecor();

// The texture number of a cube face (an index into SB_Var.TextureNames and
// SB_Var.TexturePlaces), before or after the software texture rescale.
inline int32_t SB_MapFaceTexture(const TMAPFACE* face) {
  const uint16_t carrier = SB_Var.Decor.FacesRescaled ? face->UV[3] : face->UV[0];
  return face->Texture | (carrier >> 15) << 8;
}

// The runs a record links to.
inline TSMALLENTITY* SB_BigEntitySmalls(const TBIGENTITY* big) {
  return SB_Var.Decor.SmallEntitys + big->SmallEntitys / sizeof(TSMALLENTITY);
}
inline TWORDVERTEX* SB_BigEntityWordVertices(const TBIGENTITY* big) {
  return SB_Var.Decor.WordVertices + big->WordVertices / sizeof(TWORDVERTEX);
}
inline TMAPFACE* SB_BigEntityFaces(const TBIGENTITY* big) {
  return SB_Var.Decor.Faces + big->Faces / sizeof(TMAPFACE);
}
inline TMAPVERTEX* SB_SmallEntityVertices(const TSMALLENTITY* small) {
  return SB_Var.Decor.Vertices + small->Vertices / sizeof(TMAPVERTEX);
}
inline TMAPFACE* SB_SmallEntityFaces(const TSMALLENTITY* small) {
  return SB_Var.Decor.Faces + small->Faces / sizeof(TMAPFACE);
}
// The list of small cubes hidden from small entity i, ended by 65535; null
// when it has none.
inline uint16_t* SB_SeenList(int32_t smallEntity) {
  const uint32_t offset = SB_Var.Decor.SeenEntitys ? SB_Var.Decor.SeenEntitys[smallEntity] : 0;
  return offset ? SB_Var.Decor.SeenEntitysList + offset / sizeof(uint16_t) : nullptr;
}
inline TFFACEPOLY* SB_CellFaces(const TFCUBE10POLY* cell, int32_t run) {
  return SB_Var.Decor.FacePolys + cell->Faces[run] / sizeof(TFFACEPOLY);
}
inline TFPOINTOFFSET* SB_CellPoints(const TFCUBE10POLY* cell) {
  return SB_Var.Decor.PointOffsets + cell->PointOffsets / sizeof(TFPOINTOFFSET);
}
inline TFPOINTTEXTURE* SB_CellTexturePoints(const TFCUBE10POLY* cell) {
  return SB_Var.Decor.PointTextures + cell->PointTextures / sizeof(TFPOINTTEXTURE);
}
inline uint32_t* SB_CellPointLinks(const TFCUBE10POLY* cell) {
  return SB_Var.Decor.PPointOffsets + cell->PPointOffsets / sizeof(uint32_t);
}
inline uint32_t* SB_CellTexturePointLinks(const TFCUBE10POLY* cell) {
  return SB_Var.Decor.PPointTextures + cell->PPointTextures / sizeof(uint32_t);
}
// Corner k of a polygon face: its point and its texture point.
inline const TFPOINTOFFSET* SB_FacePolyPoint(const TFFACEPOLY* face, int32_t k) {
  const uint32_t link = SB_Var.Decor.PPointOffsets[face->PointOffsets / sizeof(uint32_t) + k];
  return SB_Var.Decor.PointOffsets + link / sizeof(TFPOINTOFFSET);
}
inline const TFPOINTTEXTURE* SB_FacePolyTexturePoint(const TFFACEPOLY* face, int32_t k) {
  const uint32_t link = SB_Var.Decor.PPointTextures[face->PointTextures / sizeof(uint32_t) + k];
  return SB_Var.Decor.PointTextures + link / sizeof(TFPOINTTEXTURE);
}
