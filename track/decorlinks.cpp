// The links of the loaded map that the runs of track/decorruns.cpp do not
// cover: a cube face's texture number, the seen lists, and the polygon
// side's runs and corners.
#include "shell/sbvar.h"
#include "track/decor.h"

int32_t SB_MapFaceTexture(const TMAPFACE* face) {
  const uint16_t carrier = SB_Var.Decor.FacesRescaled ? face->TextureCoords[3] : face->TextureCoords[0];
  return face->Texture | (carrier >> 15) << 8;
}

uint16_t* SB_SeenList(int32_t smallEntity) {
  const uint32_t offset = SB_Var.Decor.SeenEntitys ? SB_Var.Decor.SeenEntitys[smallEntity] : 0;
  return offset ? SB_Var.Decor.SeenEntitysList + offset / sizeof(uint16_t) : nullptr;
}

TFFACEPOLY* SB_CellFaces(const TFCUBE10POLY* cell, int32_t run) {
  return SB_Var.Decor.FacePolys + cell->FaceRuns[run] / sizeof(TFFACEPOLY);
}

const TFPOINTOFFSET* SB_FacePolyPoint(const TFFACEPOLY* face, int32_t k) {
  const uint32_t link = SB_Var.Decor.PPointOffsets[face->PointOffsets / sizeof(uint32_t) + k];
  return SB_Var.Decor.PointOffsets + link / sizeof(TFPOINTOFFSET);
}

const TFPOINTTEXTURE* SB_FacePolyTexturePoint(const TFFACEPOLY* face, int32_t k) {
  const uint32_t link = SB_Var.Decor.PPointTextures[face->PointTextures / sizeof(uint32_t) + k];
  return SB_Var.Decor.PointTextures + link / sizeof(TFPOINTTEXTURE);
}
