// The programme's pictures around the console: the please-wait picture
// and the logo intro; and the console run of the run phase.
#include "frontend/media.h"
#include "shell/devenv.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/session.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/lsvar.h"

namespace {

constexpr const char* kPleaseWait = "miscpict>pleasewa.tga";
constexpr const char* kLogo = "miscpict>tamrisk.tga";
constexpr const char* kLogoFilm = "INTRO>TAMRISK.FLC";
constexpr const char* kLogoSound = "INTRO>TALOGO.WAV";
constexpr int32_t kLogoFilmMode = 2, kLogoFilmFlag = 1;

void CopyWhole(BMAP* source, BMAP* destination, int32_t x, int32_t y) {
  LS_Bitmove(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

}  // namespace

void SB_ShowPleaseWait() {
  BMAP* screen = LS_Var.Screen;
  if (!screen) return;
  BMAP* picture = SB_LoadTga(kPleaseWait);
  if (!picture) return;
  BMAP* copy = SB_CreateBmap(picture->SizeX, picture->SizeY, screen->Depth, BMAP_VIDEOMEM, "SB_ShowPleaseWait");
  if (copy) {
    CopyWhole(picture, copy, 0, 0);
    LS_ClearBmap(screen);
    CopyWhole(copy, screen, (screen->SizeX - copy->SizeX) / 2, (screen->SizeY - copy->SizeY) / 2);
    SB_FreeBmap(copy);
  }
  SB_FreeBmap(picture);
}

void SB_PlayLogoIntro() {
  if (LSI_Var.Debug || !LS_FileExists(kLogo)) return;
  BMAP* picture = SB_LoadTga(kLogo);
  if (!picture) return;
  BMAP* logo = SB_CreateBmap(640, 480, 16, 0, "SB_PlayLogoIntro");
  if (logo) CopyWhole(picture, logo, 0, 0);
  SB_FreeBmap(picture);
  if (!logo) return;
  SB_PlayFli(kLogoFilm, kLogoSound, kLogoFilmMode, kLogoFilmFlag);
  if (LS_Var.Screen) CopyWhole(logo, LS_Var.Screen, 0, 0);
  SB_FreeBmap(logo);
}

int32_t SB_RunConsole() {
  const int32_t result = SB_DevEnv();
  SB_Var.RunDone = 1;
  return result;
}
