// The software pages of the map's textures in the accelerator's race: its
// textures live on the card, but the editors' top view and texture pages
// draw from 256 x 256 pages as the software modes have them.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine3d/texpages.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "engine3d/sort.h"

void SB_LoadEditorTexturePages() {
  if (SB_Var.Renderer != SB_RENDERER_PVR || SB_Var.TextureHeap || SB_TextureNameCount() == 0) return;
  // The packing fills the picture records the card's textures were made
  // from: they are kept aside and put back.
  const std::vector<TEXTTRI> cardRecords(SB_Var.TextTri, SB_Var.TextTri + SB_MAXTEXTTRI);
  const std::vector<TEXTTRI*> cardOrder(SB_Var.TextTriOrder, SB_Var.TextTriOrder + SB_MAXTEXTTRI);
  const int32_t cardCount = SB_Var.NbTextTri;
  SB_ConsolePrintf("Preparing editor textures...");
  SB_ReadTextureSizes();
  E3D_SortByKey(reinterpret_cast<void**>(SB_Var.TextTriOrder), SB_Var.NbTextTri);
  SB_PackTextures();
  if (SB_AllocTexturePages()) {
    SB_LoadTexturesTga();
  } else {
    SB_ConsolePrintf("Not enough memory for %ld texture pages !!!", static_cast<long>(SB_Var.NbTexturePages));
    SB_Var.NbTexturePages = 0;
  }
  SB_BuildSoftTexturePlaces(SB_Var.EditTexturePlaces);
  std::copy(cardRecords.begin(), cardRecords.end(), SB_Var.TextTri);
  std::copy(cardOrder.begin(), cardOrder.end(), SB_Var.TextTriOrder);
  SB_Var.NbTextTri = cardCount;
}
