// The palette of the 3D display, SB_Var.Pal3d: the palette of an 8-bit PCX
// picture of the texture path, loaded once per race.
#include <cstdio>

#include "engine3d/palette3d.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/gamepicture.h"
#include "shell/sbvar.h"
#include "system/palette.h"

namespace {

// A PCX header as the palette needs it: the maker's byte, one plane of
// eight bits.
constexpr int32_t kPcxHeader = 128;
constexpr uint8_t kPcxMaker = 0x0A;
constexpr int32_t kPcxBitsAt = 3, kPcxPlanesAt = 65;

bool IsPcx8(const char* name) {
  const int32_t file = SB_OpenFile(name, SB_OPEN_READ);
  if (!file) return false;
  uint8_t header[kPcxHeader];
  const int32_t got = SB_ReadFile(file, header, kPcxHeader);
  SB_CloseFile(file);
  return got == kPcxHeader && header[0] == kPcxMaker && header[kPcxBitsAt] == 8 && header[kPcxPlanesAt] == 1;
}

}  // namespace

int32_t SB_LoadPalette3d(const char* name) {
  SB_ConsolePrintf("Loading palette...");
  if (SB_Var.Pal3d) {
    SB_ConsolePrintf("Tried to load pal3d twice...");
    return 1;
  }
  char path[SB_FILENAMESIZE];
  if (!name) {
    std::snprintf(path, sizeof path, "txt>%.*spalette.pcx", static_cast<int>(sizeof SB_Var.TexturePath),
                  SB_Var.TexturePath);
    name = path;
  }
  if (IsPcx8(name)) SB_Var.Pal3d = SB_LoadPalette(name);
  if (SB_Var.Pal3d) return 1;
  SB_ConsolePrintf("File error... palette file not found");
  return 0;
}

void SB_FreePalette3d() {
  if (SB_Var.Pal3d) LS_FreePalette(SB_Var.Pal3d);
  SB_Var.Pal3d = nullptr;
}
