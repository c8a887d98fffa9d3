// The logo intro of the console word INTRO: the logo picture after its
// film.
#include "frontend/media.h"
#include "race/session.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/file.h"
#include "system/lsvar.h"

namespace {

constexpr const char* kLogo = "miscpict>tamrisk.tga";
constexpr const char* kLogoFilm = "INTRO>TAMRISK.FLC";
constexpr const char* kLogoSound = "INTRO>TALOGO.WAV";
constexpr int32_t kLogoFilmMode = 2, kLogoFilmFlag = 1;

void CopyWhole(BMAP* source, BMAP* destination, int32_t x, int32_t y) {
  LS_Bitmove(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

}  // namespace

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
