// The kiosk's information page, a 16-bit copy of "miscpict>info.tga". Kept
// apart from the kiosk's messages so that tests of the race phases can put
// recording fakes in its place.
#include "race/kiosk.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {
constexpr const char* kInfoPage = "miscpict>info.tga";
}

int32_t SB_LoadInfoPage() {
  SB_FreeInfoPage();
  BMAP* picture = SB_LoadTga(kInfoPage);
  if (!picture) return 1;
  SB_Var.InfoPage = SB_CreateBmap(picture->SizeX, picture->SizeY, 16, 0, "infopage");
  if (SB_Var.InfoPage)
    LS_Bitmove(picture, SB_Var.InfoPage, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  SB_FreeBmap(picture);
  return 1;
}

int32_t SB_FreeInfoPage() {
  if (SB_Var.InfoPage) SB_FreeBmap(SB_Var.InfoPage);
  SB_Var.InfoPage = nullptr;
  return 1;
}
