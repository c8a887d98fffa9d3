// The menu car chooser: CHOOSE CAR with the carousel of the selectable
// setups in a band across it. The screen's arrows and the keyboard's step
// it; the back button, the car area and Esc leave, and whichever way it
// ends, the centred setup becomes the player's. It writes nothing.
#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "net/net.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gamedraw.h"
#include "shell/gameevent.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "tools/careditor/careditor.h"
#include "tools/tools.h"
#include "vehicles/setups.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kChooseCarScreen = 3;
constexpr int32_t kLeftKey = 37, kRightKey = 39;
constexpr int32_t kSelectCarWave = 10;  // "INTER>SONS>SELCTCAR.WAV"
constexpr int32_t kButtonUp = 8;
constexpr int32_t kPressed = 2;
constexpr int32_t kBandTop = 120, kBandHeight = 200, kWidth = 640, kHeight = 480;

void PlaySelectWave() { PlayInterfaceWave(SB_Var.MenuSounds[kSelectCarWave].Wave); }

void ClearItemFlags() { SB_Var.CarChoicePrevious = SB_Var.CarChoiceNext = SB_Var.CarChoiceEnd = 0; }

}  // namespace

// The flags the items raised since the last pass are read once, then
// cleared.
void SB_CarChooserItems() {
  DispatchItemEvents(CurrentMenuScreen(), SB_Var.MouseX, SB_Var.MouseY, SB_Var.Buttons & 1);
  if (SB_Var.CarChoicePrevious) {
    SB_Var.SetupScrollTarget -= 1;
    PlaySelectWave();
  }
  if (SB_Var.CarChoiceNext) {
    SB_Var.SetupScrollTarget += 1;
    PlaySelectWave();
  }
  if (SB_Var.CarChoiceEnd) SB_Var.CarEditorQuit = 1;
  ClearItemFlags();
  SB_Var.CarChoiceCancel = 0;  // every way out keeps the centred car
}

namespace {

// A newly pressed arrow key shows its screen arrow pressed through the
// arrow's own callback (released: drawn highlighted) and steps.
void PressArrow(int32_t index, int32_t step) {
  TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && index < screen->NbItems) {
    TMENUITEM* item = &screen->Items[index];
    UnhiliteOtherItems(item);
    item->State = kPressed;
    if (item->Callback) item->Callback(kButtonUp, item);
  }
  ClearItemFlags();  // the key makes the step, not a flag its callback raised
  PlaySelectWave();
  SB_Var.SetupScrollTarget += step;
}

}  // namespace

void SB_CarChooserKeys() {
  const int32_t left = LS_KeyDown(kLeftKey) ? 1 : 0, right = LS_KeyDown(kRightKey) ? 1 : 0;
  if ((!right && SB_Var.ArrowKeysDown[1]) || (!left && SB_Var.ArrowKeysDown[0])) UnhiliteOtherItems(nullptr);
  if (left && !SB_Var.ArrowKeysDown[0]) PressArrow(1, -1);
  if (right && !SB_Var.ArrowKeysDown[1]) PressArrow(2, +1);
  SB_Var.ArrowKeysDown[0] = left;
  SB_Var.ArrowKeysDown[1] = right;
}

// The interface cursor drawn on the back screen, what it covers saved.
void SB_DrawCarChooserCursor() {
  BMAP* cursor = SB_Var.Cursor;
  BMAP* save = SB_Var.CursorSave;
  BMAP* back = SB_Var.MenuBmap;
  if (!cursor || !back) return;
  const int32_t x = SB_Var.MouseX, y = SB_Var.MouseY;
  if (save) SB_Bitmove(back, save, x, y, x + cursor->SizeX - 1, y + cursor->SizeY - 1, 0, 0);
  SB_BitmoveTransparent(cursor, back, 0, 0, cursor->SizeX - 1, cursor->SizeY - 1, x, y);
}

namespace {

void ChooserPass(BMAP* band) {
  BMAP* back = SB_Var.MenuBmap;
  SB_PumpEvents();
  if (band) SB_Bitmove(band, back, 0, 0, kWidth - 1, kBandHeight - 1, 0, kBandTop);
  SB_UpdateClock();
  NET_UpdateEvent();
  SB_ReadCarPaintMouse();  // the chooser's mouse reading is the paint editor's
  SB_CarChooserItems();
  SB_CarChooserKeys();
  SB_TurnCarCarousel();
  NET_UpdateEvent();
  SB_DrawCarCarousel();
  SB_DrawCarChooserCursor();
  NET_UpdateEvent();
  ShowMenuBitmap(back);
  if (SB_Var.CursorSave && back) {
    const BMAP* save = SB_Var.CursorSave;
    SB_Bitmove(SB_Var.CursorSave, back, 0, 0, save->SizeX - 1, save->SizeY - 1, SB_Var.MouseX, SB_Var.MouseY);
  }
}

}  // namespace

// The band under the cars is restored from the background picture each
// pass; without the band or the picture the copies are skipped.
void SB_Careditorloop() {
  BMAP* band = SB_CreateBmap(kWidth, kBandHeight, 16, BMAP_VIDEOMEM, "SB Careditorloop");
  if (band) {
    LS_SetBmapRestoreProc(band, RestoreInterfaceScreen);
    if (SB_Var.MenuBackground)
      SB_Bitmove(SB_Var.MenuBackground, band, 0, kBandTop, kWidth - 1, kBandTop + kBandHeight - 1, 0, 0);
    else
      SB_FreeBmap(band), band = nullptr;
  }
  const TMENUSCREEN* screen = CurrentMenuScreen();
  if (screen && screen->Callback) screen->Callback();
  if (!SB_CarEditorEscapeHeld()) {
    do {
      if (SB_Var.CarEditorQuit) break;
      ChooserPass(band);
    } while (!SB_CarEditorEscapeHeld());
  }
  SB_FreeBmap(band);
}

void SB_ShowMenuBackScreen() { ShowMenuBitmap(SB_Var.MenuBmap); }

int32_t SB_ResetCarChooserBmaps() {
  SB_Var.CarEditorBackground = SB_Var.CarEditorFrame = nullptr;
  return 1;
}

void SB_EndCarEditor(int32_t cars, int32_t reduction) {
  SB_Careditorloop();
  SB_SettleCarousel(SB_Var.NbSelectableSetups);
  SB_FreeCarPaintView();
  SB_FlushKeyboard();
  SB_ShowMenuBackScreen();
  SB_ConsolePrintf("Free user cars...");
  SB_FreeCars();
  SB_SetNumberOfCars(cars);
  SB_Var.MenuScreen = SB_MAINMENUSCREEN;
  SB_Var.TextureReduction = reduction;
  prepareecran(SB_Var.MenuBmap);
}

void SB_RunCarEditor(int32_t depth) {
  const int32_t cars = SB_Var.NbCars, reduction = SB_Var.TextureReduction;
  SB_Var.TextureReduction = 0;
  UpdateInterfaceWaves();
  SB_SetNumberOfCars(SB_Var.NbSelectableSetups);
  SB_ConsolePrintf("Duplicating user cars...");
  SB_LoadCars(SB_Var.VehicleSetups, 1);
  SB_Var.CarEditorDepth = depth;
  SB_ResetCarChooserBmaps();
  SB_Var.CarEditorFrame = SB_Var.MenuBmap;
  SB_ConsolePrintf("Car editor inits...");
  UpdateInterfaceWaves();
  SB_FlushKeyboard();
  SB_PumpEvents();
  UpdateInterfaceWaves();
  UpdateInterfaceWaves();
  SB_InitCarEditorView();
  UpdateInterfaceWaves();
  SB_ResetClock();
  SB_Var.MenuScreen = kChooseCarScreen;
  prepareecran(SB_Var.MenuBmap);
  SB_UpdateClock();
  NET_UpdateEvent();
  SB_TurnCarCarousel();
  SB_DrawCarCarousel();
  SB_EndCarEditor(cars, reduction);
  SB_Var.CarEditorFrame = nullptr;
}
