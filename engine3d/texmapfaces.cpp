// The map's textures as the race's data view loads them: the decor faces'
// texture numbers made indices of the map's names, the pages or the
// accelerator's textures, the placement records and, on the software path,
// the map faces' texture coordinates scaled to their textures' sizes.
#include <cstring>
#include <vector>

#include "engine3d/texpages.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "track/decor.h"

namespace {

constexpr int32_t kCoordMax = 32767;
constexpr uint16_t kTopBit = 0x8000;

int32_t Bounded(int32_t count) { return count < 0 ? 0 : count > SB_MAXTEXTURES ? SB_MAXTEXTURES : count; }

// Each decor face's material, an index of the decor's own names, becomes
// the index of the equal name (all 15 bytes) among the map's texture
// names: the last of equal ones, 0 for none.
void RemapDecorFaces() {
  TDECOR& d = SB_Var.Decor;
  const int32_t names2 = Bounded(d.NbNames2), names = SB_TextureNameCount();
  uint16_t index[SB_MAXTEXTURES] = {};
  for (int32_t k = 0; k < names2; ++k)
    for (int32_t i = 0; i < names; ++i)
      if (std::memcmp(d.Names2[k], SB_Var.TextureNames[i], SB_TEXTURENAMESIZE) == 0)
        index[k] = static_cast<uint16_t>(i);
  for (int32_t f = 0; d.FacePolys && f < d.NbFacePolys; ++f) {
    uint16_t& material = d.FacePolys[f].Material;
    material = material < names2 ? index[material] : 0;
  }
}

// u x width / 256 and v x height / 256 of the face's texture for its four
// corners; the texture number's bit 8 moves from the first u to the second v.
void RescaleFace(TMAPFACE& face) {
  const int32_t texture = face.Texture + (face.TextureCoords[0] & kTopBit ? 256 : 0);
  if (texture >= SB_TextureNameCount()) return;
  const TTEXTUREPLACE& t = SB_Var.TexturePlaces[texture];
  for (int32_t k = 0; k < 8; ++k) {
    const int64_t scaled = int64_t{face.TextureCoords[k] & 0x7FFF} * (k % 2 ? t.Height : t.Width) / 256;
    face.TextureCoords[k] = static_cast<uint16_t>(scaled < 0 ? 0 : scaled > kCoordMax ? kCoordMax : scaled);
  }
  if (texture >= 256) face.TextureCoords[3] |= kTopBit;
}

// A face listed by more than one run is scaled once.
void RescaleRun(uint32_t offset, int32_t count, std::vector<uint8_t>& done) {
  TMAPFACE* faces = SB_DecorFaceRun(offset, count);
  for (int32_t i = 0; faces && i < count; ++i) {
    const ptrdiff_t at = faces + i - SB_Var.Decor.Faces;
    if (done[at]) continue;
    done[at] = 1;
    RescaleFace(faces[i]);
  }
}

}  // namespace

void SB_RescaleMapTextureCoords() {
  TDECOR& d = SB_Var.Decor;
  if (d.FacesRescaled || !d.Faces || d.NbFaces <= 0) return;
  std::vector<uint8_t> done(static_cast<size_t>(d.NbFaces));
  for (int32_t b = 0; d.BigEntitys && b < d.NbBigEntitys; ++b) {
    const TBIGENTITY& big = d.BigEntitys[b];
    const TSMALLENTITY* smalls = SB_DecorSmallEntityRun(big.SmallEntitys, big.NbSmallEntitys);
    for (int32_t s = 0; smalls && s < big.NbSmallEntitys; ++s)
      RescaleRun(smalls[s].Faces, smalls[s].NbFaces, done);
    RescaleRun(big.Faces, big.NbFaces, done);
  }
  d.FacesRescaled = 1;
}

__attribute__((weak)) void SB_LoadMapTextures() {
  if (!SB_Var.Decor.NewlyLoaded) return;
  if (SB_Var.NbTextures != Bounded(SB_Var.NbTextures)) {
    SB_ConsolePrintf("Map error: %ld texture names !!!", static_cast<long>(SB_Var.NbTextures));
    std::memset(SB_Var.TexturePlaces, 0, sizeof SB_Var.TexturePlaces);
    SB_Var.NbTextTri = 0;
    return;
  }
  SB_Var.TextureMemory = 0;
  RemapDecorFaces();
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR;
  if (card)
    POWER_LoadTextures();
  else
    SB_LoadTexturePages();
  SB_BuildTextureDescriptors();
  if (card) return;
  SB_RescaleMapTextureCoords();
  SB_ReportTextureColors();
}
