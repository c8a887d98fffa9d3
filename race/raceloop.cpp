// The race loop and its keys: the debug-mode switch of F1-F5, the frame of
// each mode, Esc, F1 and F2 at the end menu or in pause, the display
// toggles F3 and F4, and the video reload V.
#include "race/raceloop.h"

#include "engine3d/videotable.h"
#include "frontend/raceoverlay.h"
#include "race/devinfo.h"
#include "race/dial.h"
#include "race/hud.h"
#include "race/kiosk.h"
#include "race/raceframe.h"
#include "race/sequencer.h"
#include "racescene/videomode.h"
#include "scenery/effects.h"
#include "shell/gameclock.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/editors.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kEscapeKey = 27, kVKey = 86;
constexpr int32_t kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116;
constexpr int32_t kVParamsExtraRounds = 3;

bool AnyFunctionKeyHeld() {
  for (int32_t key = kF1; key <= kF5; ++key)
    if (SB_KeyDown(key)) return true;
  return false;
}

// Headless, once no key can come, nothing would ever release a held key.
void WaitWhileHeld(int32_t key) {
  while (SB_KeyDown(key) && LSYS_KeyMayCome()) SB_UpdateEvent();
}

void EnterMode(int32_t mode) {
  SB_Var.DebugMode = mode;
  if (mode == SB_DEBUG_TRACKEDITOR) SB_EnterEdit();
  SB_FlushKeyboard();
  SB_ResetClock();
}

struct KeyMode {
  int32_t key, mode;
};
// The editors' keys from the race, in the order they are tested.
constexpr KeyMode kEditorKeys[] = {{kF2, SB_DEBUG_TRACKEDITOR},
                                   {kF1, SB_DEBUG_VPARAMS},
                                   {kF3, SB_DEBUG_TXTANIM},
                                   {kF4, SB_DEBUG_DECOREDITOR},
                                   {kF5, SB_DEBUG_SCENEEDITOR}};

// The decor editor opens only while there are decor objects to edit.
bool EditorOpens(const KeyMode& k) { return k.mode != SB_DEBUG_DECOREDITOR || SB_Var.DecorObjectsOn; }

// Whether the debug-mode switch reads the key: with the editors on, every
// function key in an editor (it goes back to the race), and in the race
// each key that opens an editor. Reading a key uses up a press latched
// since the last reading, so a key has one reader: a quick tap that
// arrives while another reader pumps the events stays latched for the
// switch at its next pass.
bool EditorOwns(int32_t key) {
  if (!SB_Var.EditorMode) return false;
  if (SB_Var.DebugMode != SB_DEBUG_GAME) return key >= kF1 && key <= kF5;
  for (const KeyMode& k : kEditorKeys)
    if (k.key == key) return EditorOpens(k);
  return false;
}

// The key's press edge: held now, not at the last test.
bool Pressed(int32_t key, int32_t* previous) {
  const int32_t held = SB_KeyDown(key);
  const bool edge = held && !*previous;
  *previous = held;
  return edge;
}

void GameFrame() {
  SB_UpdateClock();
  SB_RaceFrame();
}

}  // namespace

void SB_RaceLoop() {
  while (!SB_Var.LeaveRace) {
    if (SB_IsEndDelayOver()) break;
    SB_UpdateEvent();
    ++SB_Var.RaceFrames;
    SB_NullHook();
    SB_SwitchDebugMode();
    SB_DoFrame();
    SB_CheckRaceKeys();
    SB_CheckDisplayKeys();
    // Headless, with no key to come, nothing could leave the race, its
    // pause or its end menu: it ends as the leave key would.
    if (!LSYS_KeyMayCome()) SB_QuitRace();
    // Paused or at the end menu, the race only waits for keys.
    if (SB_Var.Paused || SB_Var.StepListEnd) SB_IdleWait();
  }
}

void SB_SwitchDebugMode() {
  if (SB_Var.DebugMode != SB_DEBUG_GAME) {
    if (!AnyFunctionKeyHeld()) return;
    while (AnyFunctionKeyHeld() && LSYS_KeyMayCome()) SB_UpdateEvent();
    SB_Var.DebugMode = SB_DEBUG_GAME;
    // An editor drew the whole screen; the race redraws only its view, so
    // the bands around it are cleared rather than left showing the editor.
    if (LS_Var.Screen) LS_ClearBmap(LS_Var.Screen);
    SB_FlushKeyboard();
    SB_ResetClock();
    return;
  }
  if (!SB_Var.EditorMode) return;
  for (const KeyMode& k : kEditorKeys) {
    if (!EditorOpens(k) || !SB_KeyDown(k.key)) continue;
    WaitWhileHeld(k.key);
    EnterMode(k.mode);
  }
}

void SB_DoFrame() {
  const int32_t mode = SB_Var.DebugMode;
  if (mode < SB_DEBUG_GAME || mode > SB_DEBUG_SCENEEDITOR) return;
  const float tint = mode == SB_DEBUG_GAME ? 1.0f : 0.5f;
  SB_SetLightTint(tint, tint, tint);
  switch (mode) {
    case SB_DEBUG_GAME:
      SB_UpdateOptionsFade();
      GameFrame();
      SB_Show3dScreen();
      break;
    case SB_DEBUG_TRACKEDITOR: SB_UpdateEdit(); break;
    case SB_DEBUG_VPARAMS:
      GameFrame();
      SB_VParamsEditorFrame();
      SB_DrawDevInfo();
      if (!SB_VParamsMouseMoved()) break;
      for (int32_t i = 0; i < kVParamsExtraRounds; ++i) {
        SB_VParamsEditorFrame();
        SB_DrawDevInfo();
      }
      break;
    case SB_DEBUG_TXTANIM:
      SB_UpdateClock();
      SB_TxtAnimEditor();
      SB_Copy3dScreen();
      break;
    case SB_DEBUG_DECOREDITOR:
      GameFrame();
      SB_UpdateDecorEditor();
      SB_Show3dScreen();
      break;
    default:
      GameFrame();
      SB_UpdateSceneEditor(SB_Var.TextScreen);
      SB_Show3dScreen();
      break;
  }
  SB_TakeRaceScreenShot();  // the overlay as composed, developer report included
}

void SB_CheckRaceKeys() {
  if (SB_Var.ZoriraDemo) {
    SB_CheckKioskKeys();
    return;
  }
  if (Pressed(kEscapeKey, &SB_Var.PrevEscKey)) {
    if (SB_Var.DebugMode != SB_DEBUG_GAME)
      SB_QuitRace();
    else
      SB_Var.Paused = !SB_Var.Paused;
  }
  const bool menu = SB_Var.StepListEnd || SB_Var.Paused;
  if (menu && SB_KeyDown(kF1)) SB_QuitRace();
  if (menu && SB_KeyDown(kF2)) SB_EndRace();
}

// A key an editor owns is left unread: its tap is the editor's.
void SB_CheckDisplayKeys() {
  struct Toggle {
    int32_t key;
    int32_t* previous;
    int32_t* shown;
  };
  const Toggle toggles[] = {{kF3, &SB_Var.PrevF3Key, &SB_Var.ShowInset},
                            {kF4, &SB_Var.PrevF4Key, &SB_Var.ShowDashboard}};
  for (const Toggle& t : toggles)
    if (!EditorOwns(t.key) && Pressed(t.key, t.previous)) *t.shown = !*t.shown;
}

void SB_QuitRace() {
  SB_MuteCarSoundsNow();
  SB_Var.LeaveRace = 1;
}

void SB_ShowHudParts() { SB_Var.ShowInset = SB_Var.ShowDashboard = 1; }

void SB_CheckVideoReload() {
  if (!SB_Var.EditorMode || !Pressed(kVKey, &SB_Var.PrevVKey)) return;
  if (LS_Var.Screen) LS_ClearBmap(LS_Var.Screen);
  SB_NextVideoMode();
  if (!SB_ApplyVideoMode()) LS_Error(0, "Not enough video ram");
  SB_RemapRaceBitmaps();
}

void SB_RemapRaceBitmaps() {
  SB_RemapFonts();
  SB_LoadCounter2();
  SB_RemapPanel();
  SB_RemapScratch();
}
