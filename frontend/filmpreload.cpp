// The film kept in memory for the network race's start: PRELOADFLI loads
// it with its wave, the race start plays it through the race overlay, and
// DISCARDFLI (or QUIT) frees it.
#include "frontend/media.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/fli.h"
#include "system/lsvar.h"
#include "system/sound.h"

int32_t SB_PreloadFli(const char* name, const char* waveName) {
  if (SB_Var.PreloadedFli) {
    SB_ConsolePrintf(".FLI already in memory");
    return 1;
  }
  SB_ConsolePrintf("Preloading .FLI file");
  if (!LS_FileExists(name)) return 0;
  const int32_t format = LS_Var.Screen ? LS_Var.Screen->Format : BMAP_RGB565;
  SB_Var.PreloadedFli = LS_OpenFli(name, FLI_MODE_MEMORY, BMAP_VIDEOMEM, format);
  if (!SB_Var.PreloadedFli) return 0;
  if (waveName && LS_FileExists(waveName)) SB_Var.PreloadedFliWave = LS_LoadSound(waveName, LS_SOUNDHEAP_HARDWARE);
  return 1;
}

int32_t SB_DiscardFli() {
  if (SB_Var.PreloadedFli) {
    SB_ConsolePrintf("Discarding .FLI file");
    LS_CloseFli(SB_Var.PreloadedFli);
    SB_Var.PreloadedFli = nullptr;
  }
  if (SB_Var.PreloadedFliWave) {
    LS_FreeSound(SB_Var.PreloadedFliWave);
    SB_Var.PreloadedFliWave = nullptr;
  }
  return 1;
}

// The film decodes straight into the overlay, which for the time of the
// film takes the film's size; a film larger than the overlay would be
// written past it, so it is refused.
int32_t SB_PlayPreloadedFli() {
  FLI* fli = SB_Var.PreloadedFli;
  BMAP* overlay = SB_Var.TextScreen;
  if (!fli || !fli->Bmap || !overlay || !SB_ScreenTakesFilms()) return 0;
  if (fli->Bmap->SizeX > overlay->SizeX || fli->Bmap->SizeY > overlay->SizeY) return 0;
  LS_ClearBmap(overlay);
  const BMAP saved = *overlay;
  overlay->SizeX = fli->Bmap->SizeX;
  overlay->SizeY = fli->Bmap->SizeY;
  BMAP* own = fli->Bmap;
  fli->Bmap = overlay;
  RunFliPlayer(fli, SB_Var.PreloadedFliWave, 0);
  fli->Bmap = own;
  *overlay = saved;
  SB_ResetClock();
  return 1;
}
