// Entering and leaving the interface from the console (INTERFACE, COMDEX,
// CALC_VITRE), each in a heap of its own, and the hand-over from the menus
// to a race and back.
#include <cstdio>

#include "frontend/interface.h"

#include "frontend/menu.h"
#include "frontend/menulists.h"
#include "frontend/menus.h"
#include "racescene/videomode.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/picture.h"
#include "system/win/shell.h"

namespace {

constexpr uint32_t kInterfaceHeap = 6000000;
constexpr uint32_t kCalcVitreHeap = 8000000;
constexpr int32_t kLoadingDemo = 82;
constexpr int32_t kNoVideoRam = 85;
constexpr int32_t kNoVideoRamMs = 2500;
constexpr int32_t kBackRow = 1;       // FOND32
constexpr int32_t kGlassRow = 3;      // VITRE3
constexpr int32_t kRuledGlassRow = 18;  // VITREDEF
constexpr const char* kVitreOk = "INTER>BMAPS>VITREOK.TGA";
constexpr const char* kVitreTex = "INTER>BMAPS>VITRETEX.TGA";


void MakeMenuHeap(uint32_t size) { SB_Var.MenuHeap = LS_GetHeap(size); }

// A failed heap left the default one in use: nothing to release then.
void ReleaseMenuHeap() {
  if (SB_Var.MenuHeap >= 9) LS_ReleaseHeap(SB_Var.MenuHeap);
  SB_Var.MenuHeap = 0;
}

void FreeRow(int32_t row) {
  BMAP*& picture = SB_Var.MenuBmaps[row].Picture;
  if (picture) SB_FreeBmap(picture);
  picture = nullptr;
}

// The background, then the glass blended over it across the background's
// size, saved under the name.
void ComposeGlass(BMAP* work, BMAP* back, BMAP* glass, const char* name) {
  LS_ClearBmap(work);
  if (back) LS_Bitmove(back, work, 0, 0, back->SizeX - 1, back->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  if (back && glass) LS_Bitmove(glass, work, 0, 0, back->SizeX - 1, back->SizeY - 1, 0, 0, LS_BLIT_ALPHA);
  if (!LS_SaveTga(name, work, nullptr, 0)) LS_Message("VITRE NON SAUVEE");
}

}  // namespace

int32_t SB_RunInterface() {
  LS_SetInputMode(0);
  const int32_t drawConsole = SB_Var.DrawConsole;
  SB_Var.DrawConsole = 0;
  MakeMenuHeap(kInterfaceHeap);
  RunInterfaceLoop();
  ReleaseMenuHeap();
  LS_SetPalette(SB_Var.DevEnvPal);
  SB_Var.DrawConsole = drawConsole;
  LS_SetInputMode(1);
  LS_FlushKeyboard();
  return 1;
}

int32_t SB_RunComdexInterface() {
  LS_SetInputMode(0);
  const int32_t drawConsole = SB_Var.DrawConsole;
  SB_Var.DrawConsole = 0;
  SB_SetDisplayMode(640, 480, 16);
  MakeMenuHeap(kInterfaceHeap);
  testinterface();
  ReleaseMenuHeap();
  SB_SetDisplayMode(640, 480, 16);
  LS_SetPalette(SB_Var.DevEnvPal);
  SB_Var.DrawConsole = drawConsole;
  LS_SetInputMode(1);
  return 1;
}

int32_t SB_CalcVitre() {
  MakeMenuHeap(kCalcVitreHeap);
  SB_SetDisplayMode(640, 480, 16);
  BMAP* glass = GetBmap(nullptr, kGlassRow);
  BMAP* back = GetBmap(nullptr, kBackRow);
  BMAP* work = SB_CreateBmap(640, 480, 32, SB_Var.MenuHeap, "CalcVitre");
  if (work) {
    work->Format = BMAP_ARGB8888;
    ComposeGlass(work, back, glass, kVitreOk);
  }
  FreeRow(kGlassRow);
  BMAP* ruled = GetBmap(nullptr, kRuledGlassRow);
  if (work) ComposeGlass(work, back, ruled, kVitreTex);
  FreeRow(kBackRow);
  FreeRow(kRuledGlassRow);
  if (work) SB_FreeBmap(work);
  ReleaseMenuHeap();
  return 1;
}

int32_t SB_RaceFromInterface(const char* script, int32_t closeNet, int32_t screen, int32_t textIndex) {
  // The console's start-up says "TIME ON" for its own trials; a race of the
  // menus times its player, shows the place and the time left and
  // finishes, all of which the race clock runs. The script may still say
  // TIME itself; one whose TIME line is wrong keeps the clock.
  const int32_t noTimeLimit = SB_Var.NoTimeLimit;
  SB_Var.NoTimeLimit = 0;
  char line[SB_NETTEXTSIZE];
  std::snprintf(line, sizeof line, "RUN %s", script);
  const int32_t ran = MenuExec(line);
  if (ran) SB_PlayFromInterface(closeNet, screen, textIndex);
  SB_Var.NoTimeLimit = noTimeLimit;
  return ran;
}

void SB_PlayFromInterface(int32_t closeNet, int32_t screen, int32_t textIndex) {
  const bool demo = textIndex == kLoadingDemo;
  if (!demo) SB_SaveSettings();
  SB_ApplySettings();
  BMAP* front = LS_Var.Screen;
  if (front && SB_Var.MenuBmap)
    LS_Bitmove(front, SB_Var.MenuBmap, 0, 0, front->SizeX - 1, front->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  drawscreentext(SB_Var.MenuFontBig, textIndex, 220, 224);
  LS_SetInputMode(1);
  FreeInterface(demo ? 0 : 1);
  ReleaseMenuHeap();
  LSYS_SetRepaintHook(nullptr);

  if (!MenuExec("PLAY")) ShowNetError("DEVENVEEXEC PLAY");
  if (closeNet && !MenuExec("CLOSENET")) ShowNetError("CLOSENET");

  SB_SetDisplayMode(640, 480, 16);
  if (SB_Hooks.ShowPleaseWait) SB_Hooks.ShowPleaseWait();
  MakeMenuHeap(kInterfaceHeap);
  InitInterface();
  if (SB_Var.OutOfVideoRam) {
    LS_ClearBmap(SB_Var.MenuBmap);
    ShowMenuBitmap(SB_Var.MenuBmap);
    drawscreentext(SB_Var.MenuFontBig, kNoVideoRam, 220, 224);
    SB_Var.OutOfVideoRam = 0;
    LS_Wait(kNoVideoRamMs);
  }
  SB_Var.MenuScreen = screen;
  prepareecran(SB_Var.MenuBmap);
}
