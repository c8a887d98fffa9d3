// The software path's texture pictures: the page bitmaps over the shared
// block, and every packed picture copied into its rectangle (the 8-bit
// modes read the PCX, the others the TGA of the same name).
#include <cstring>

#include "engine3d/texpages.h"
#include "engine3d/videotable.h"
#include "shell/console.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"

namespace {

constexpr int32_t kPageBytes = SB_TEXTUREPAGESIDE * SB_TEXTUREPAGESIDE;

// The pages, each over the next 256 x 256 texels of the block, cleared;
// false when a page bitmap is refused (the pages made are kept).
bool MakePages(int32_t bytes) {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t made = SB_Var.NbTexturePages;
  SB_Var.NbTexturePages = 0;
  for (int32_t p = 0; p < made; ++p) {
    BMAP* page = SB_CreateBmap(SB_TEXTUREPAGESIDE, SB_TEXTUREPAGESIDE, bytes * 8, 0, "sbtext");
    if (!page) return false;
    if (mode && mode->TextureFormat) page->Format = mode->TextureFormat;
    // The bitmap's own pixels give way to its part of the block.
    LS_Release(page->Start);
    page->Start = SB_Var.TexturePageCursor;
    SB_Var.TexturePageCursor += static_cast<ptrdiff_t>(kPageBytes) * bytes;
    std::memset(page->Start, 0, static_cast<size_t>(kPageBytes) * bytes);
    SB_Var.TexturePages[SB_Var.NbTexturePages++] = page;
  }
  return true;
}

// The picture of a record at the pages' depth, or null with its message.
BMAP* ReadPicture(const TEXTTRI& r, int32_t number, bool eightBit) {
  if (eightBit) {
    SB_ConsoleStatus("Loading texture (256 couleurs) %ld: %s", static_cast<long>(number), r.Name);
    return SB_LoadPcx(r.Name, 0);
  }
  char tga[SB_TEXTTRINAMESIZE];
  std::memcpy(tga, r.Name, sizeof tga);
  tga[sizeof tga - 1] = 0;
  const size_t length = std::strlen(tga);
  if (length >= 3) std::memcpy(tga + length - 3, "TGA", 3);
  SB_ConsoleStatus("Loading texture (65K) %ld: %s", static_cast<long>(number), tga);
  if (!LS_FileExists(tga)) {
    SB_ConsolePrintf("Tga not found %s !!!", tga);
    return nullptr;
  }
  BMAP* picture = SB_LoadTga(tga);
  if (!picture) SB_ConsolePrintf("Corrupted tga %s !!!", tga);
  return picture;
}

}  // namespace

void SB_LoadTexturesTga() {
  const int32_t bytes = SB_TextureBytes();
  if (!MakePages(bytes))
    SB_ConsolePrintf("Not enough memory for %ld texture pages !!!",
                     static_cast<long>(SB_Var.NbTexturePages + 1));
  for (int32_t i = 0; i < SB_Var.NbTextTri; ++i) {
    const TEXTTRI& r = *SB_Var.TextTriOrder[i];
    if (!r.Found || r.Page < 0 || r.Page >= SB_Var.NbTexturePages) continue;
    BMAP* picture = ReadPicture(r, i + 1, bytes == 1);
    if (!picture) continue;
    // Opaque, converted to the page's format and cut to the rectangle the
    // header's size gave, whatever size the picture has.
    const int32_t w = picture->SizeX < r.Width ? picture->SizeX : r.Width;
    const int32_t h = picture->SizeY < r.Height ? picture->SizeY : r.Height;
    LS_Bitmove(picture, SB_Var.TexturePages[r.Page], 0, 0, w - 1, h - 1, r.X, r.Y, LS_BLIT_OPAQUE);
    SB_FreeBmap(picture);
  }
  SB_ConsolePrintf("Loaded %ld textures out of %ld...", static_cast<long>(SB_Var.NbTextTri),
                   static_cast<long>(SB_Var.NbTextures));
}
