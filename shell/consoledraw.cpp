// Drawing the console: the background, the 60 lines in the system font
// and the free memory, composed off screen and copied to the screen.
#include <cstdio>
#include <cstring>

#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/lsvar.h"

namespace {
constexpr int32_t kWidth = 640, kHeight = 480, kCell = 8;
}

void SB_DrawSysText(const char* text, BMAP* bmap, int32_t x, int32_t y) {
  if (text && bmap) LS_DrawString(LS_Var.SysFont, bmap, text, x, y, LS_BLIT_OPAQUE);
}

void SB_DrawSysTextTransparent(const char* text, BMAP* bmap, int32_t x, int32_t y) {
  if (text && bmap) LS_DrawString(LS_Var.SysFont, bmap, text, x, y, LS_BLIT_TRANSPARENT);
}

void SB_DrawConsole() {
  if (!SB_Var.DrawConsole || !LS_Var.Screen) return;
  if (!SB_Var.DevEnvScreen)
    SB_Var.DevEnvScreen = SB_CreateBmap(kWidth, kHeight, LS_Var.Screen->Depth, BMAP_SYSMEM, "dev env");
  BMAP* screen = SB_Var.DevEnvScreen;
  if (!screen) return;
  if (BMAP* background = SB_Var.DevEnvBackground)
    SB_Bitmove(background, screen, 0, 0, background->SizeX - 1, background->SizeY - 1, 0, 0);
  else
    SB_ClearBmap(screen);
  for (int32_t i = 0; i < SB_CONSOLELINES; ++i)
    SB_DrawSysTextTransparent(SB_Var.ConsoleText[i], screen, 0, kCell * i);
  char memory[32];
  const int length = std::snprintf(memory, sizeof memory, "%ldk", static_cast<long>(SB_GetFreeMem() / 1024));
  SB_DrawSysTextTransparent(memory, screen, (SB_CONSOLECOLUMNS - length) * kCell, 0);
  SB_Bitmove(screen, LS_Var.Screen, 0, 0, kWidth - 1, kHeight - 1, 0, 0);
}

void SB_FreeDevEnvBackground() {
  if (SB_Var.DevEnvBackground) SB_FreeBmap(SB_Var.DevEnvBackground);
  SB_Var.DevEnvBackground = nullptr;
}
