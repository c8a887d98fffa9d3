// The attract cycle of a controlled race: five word pictures shown in a
// timed loop of 40 seconds over the race overlay while the race waits to
// start, with "ACCELERATE TO START" between them in a practice race.
#include "frontend/intropicts.h"
#include "frontend/raceoverlay.h"
#include "scenery/panels.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gamepicture.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr int32_t kControlledRace = 4;
constexpr int32_t kIntroStep = 1;  // the race-phase step of the attract cycle
constexpr int32_t kTraining = 0;
constexpr int32_t kNbSteps = 10;
constexpr int32_t kPromptX = 50, kPromptY = 400;
constexpr const char* kPrompt = "ACCELERATE TO START";

constexpr const char* kNames[5] = {"COMDEX>FASTER.TGA", "COMDEX>SMOOTHER.TGA", "COMDEX>MORE.TGA",
                                   "COMDEX>ZENTROVA.TGA", "COMDEX>LOGO.TGA"};

struct TINTROSTEP {
  int32_t Seconds;
  int32_t Picture;  // -1: none
};
constexpr TINTROSTEP SB_IntroCycle[kNbSteps] = {{10, -1}, {1, 0}, {8, -1}, {1, 1}, {6, -1},
                                                {1, 2},   {4, -1}, {1, 3}, {2, -1}, {6, 4}};

int32_t GameStep() { return SB_Hooks.GetGameStep ? SB_Hooks.GetGameStep() : -1; }

// The picture as a 16-bit bitmap of its own size, or null.
BMAP* LoadPicture(const char* name) {
  BMAP* picture = LS_FileExists(name) ? SB_LoadTga(name) : nullptr;
  if (!picture) return nullptr;
  BMAP* copy = SB_CreateBmap(picture->SizeX, picture->SizeY, 16, LS_DefaultHeap, "Intro Picts");
  if (copy) LS_Bitmove(picture, copy, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  SB_FreeBmap(picture);
  return copy;
}

void FreePictures() {
  for (BMAP*& picture : SB_Var.IntroPicts) {
    if (picture) SB_FreeBmap(picture);
    picture = nullptr;
  }
}

void Prompt() {
  if (SB_Hooks.LockTextScreen) SB_Hooks.LockTextScreen();
  if (SB_Hooks.DrawText) SB_Hooks.DrawText(SB_Var.TextScreen, kPromptX, kPromptY, kPrompt);
  if (SB_Hooks.UnlockTextScreen) SB_Hooks.UnlockTextScreen();
}

}  // namespace

// A picture that cannot be read is reported as missing too: its steps stay
// blank either way.
void SB_LoadIntroPicts() {
  if (SB_Var.NetGameMode != kControlledRace) return;
  SB_ConsolePrintf("Loading COMDEX Intro Picts");
  FreePictures();
  for (int32_t i = 0; i < 5; ++i) {
    SB_Var.IntroPicts[i] = LoadPicture(kNames[i]);
    if (!SB_Var.IntroPicts[i]) LS_Message("Pict %s missing", kNames[i]);
  }
}

// Said only after a controlled race, the one that loads them.
void SB_FreeIntroPicts() {
  if (SB_Var.NetGameMode == kControlledRace) SB_ConsolePrintf("Freeing COMDEX Intro Picts");
  FreePictures();
}

void SB_StartIntroCycle() {
  SB_Var.IntroStepStart = SB_GetTime();
  SB_Var.IntroStep = 0;
  SB_PanelPrintText(0, "START", 0);
  if (SB_Hooks.StartReplayRecord) SB_Hooks.StartReplayRecord();
}

void SB_DisplayIntroPicts() {
  if (GameStep() != kIntroStep) return;
  const uint32_t now = SB_GetTime();
  if (SB_Var.IntroStep < 0 || SB_Var.IntroStep >= kNbSteps) SB_Var.IntroStep = 0;
  if (now - SB_Var.IntroStepStart > static_cast<uint32_t>(SB_IntroCycle[SB_Var.IntroStep].Seconds) * 1000u) {
    SB_Var.IntroStepStart = now;
    SB_Var.IntroStep = (SB_Var.IntroStep + 1) % kNbSteps;
  }
  const int32_t picture = SB_IntroCycle[SB_Var.IntroStep].Picture;
  if (picture >= 0)
    SB_DrawIntroPict(picture);
  else if (SB_Var.GameMode == kTraining)
    Prompt();
}

void SB_DrawIntroPict(int32_t index) {
  if (index < 0 || index >= 5) return;
  BMAP* picture = SB_Var.IntroPicts[index];
  BMAP* overlay = SB_Var.TextScreen;
  if (!picture || !overlay) return;
  LS_ClearBmap(overlay);
  LS_Bitmove(picture, overlay, 0, 0, picture->SizeX - 1, picture->SizeY - 1, (overlay->SizeX - picture->SizeX) / 2,
             (overlay->SizeY - picture->SizeY) / 2, LS_BLIT_OPAQUE);
}
