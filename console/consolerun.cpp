// The run phase's two calls: the please-wait picture shown while the
// console starts, and the console run itself.
#include "console/devenv.h"
#include "race/session.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/lsvar.h"

namespace {
const char* const kPleaseWait = "miscpict>pleasewa.tga";
}

// The picture is copied into a bitmap of the screen's format, then blitted
// centred on the cleared screen; a missing picture draws nothing.
void SB_ShowPleaseWait() {
  BMAP* screen = LS_Var.Screen;
  if (!screen) return;
  BMAP* picture = SB_LoadTga(kPleaseWait);
  if (!picture) return;
  BMAP* copy = SB_CreateBmap(picture->SizeX, picture->SizeY, screen->Depth, BMAP_VIDEOMEM, "please wait");
  if (copy) {
    SB_Bitmove(picture, copy, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
    SB_ClearBmap(screen);
    SB_Bitmove(copy, screen, 0, 0, copy->SizeX - 1, copy->SizeY - 1, (screen->SizeX - copy->SizeX) / 2,
               (screen->SizeY - copy->SizeY) / 2);
    SB_FreeBmap(copy);
  }
  SB_FreeBmap(picture);
}

int32_t SB_RunConsole() {
  const int32_t result = SB_DevEnv();
  SB_Var.RunDone = 1;
  return result;
}
