// The single-player road through the menus: the button pattern every
// button shares, the splashes, MAIN MENU, CHOOSE YOUR RACE with its races,
// the car choice's items, the quit question and the screen-change buttons.
#include "frontend/menu.h"
#include "frontend/menulists.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/error.h"
#include "system/input.h"
#include "system/sound.h"
#include "vehicles/vehicles.h"

namespace {

constexpr int32_t kFlashMs = 800;
constexpr int32_t kKeyY = 89;
constexpr int32_t kKeyN = 78;
constexpr int32_t kMutedVolume = -10000;
constexpr int32_t kLoadingGame = 65;
constexpr int32_t kLoadingDemo = 82;
constexpr int32_t kPleaseWait = 57;
constexpr int32_t kConfirmExit = 2;
constexpr int32_t kCarChoiceArgument = 16;


// A screen-change button: the pattern, the flash and the change.
void ChangeScreen(int32_t events, TMENUITEM* item, int32_t screen, bool unready) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  if (unready) SB_Var.MenuScreenReady = 0;
  MenuGoTo(screen);
}

// The network's back buttons close the session first.
void CloseNetAndChange(int32_t events, TMENUITEM* item, int32_t screen) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  if (!MenuExec("CLOSENET")) {
    LS_Message("Closenet Error");
    LS_Error(0, "Closenet Error in RetourReseauGames");
  }
  // The screen entered fetches its content again.
  SB_Var.MenuScreenReady = 0;
  MenuGoTo(screen);
}

// A race button's pattern: flashed, then left pressed while the race loads.
bool RaceButtonReleased(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return false;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  item->State = ITEMSTATE_HILITE;
  DrawItem(SB_Var.MenuBmap, item);
  return true;
}

// A car-choice arrow: left highlighted and the flag raised.
void CarStep(int32_t events, TMENUITEM* item, int32_t* flag) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  item->State = ITEMSTATE_HILITE;
  DrawItem(SB_Var.MenuBmap, item);
  *flag = 1;
}

}  // namespace

bool ButtonReleased(int32_t events, TMENUITEM* item) {
  if (item->CallbackState == 1) ItemWhileOtherPressed(events, item);
  if (item->CallbackState == 0) ItemWhileFree(events, item);
  if (item->CallbackState != 2) return false;
  if (events & MENU_UP) return true;
  ItemWhilePressed(events, item);
  return false;
}

void ButtonAction(TMENUITEM* item) {
  ReleaseAllItems();
  PlayInterfaceWave(MenuWave(item->Sound));
  if (!item->FadeSound) return;
  SOUND* looped = MenuWave(item->FadeSound);
  if (!looped) return;
  LS_SetSoundVolume(looped, kMutedVolume);
  PlayInterfaceWaveLooped(looped);
  RegisterPlayedWave(looped);
}

void SplashScreen() {
  if (const TMENUSCREEN* screen = CurrentMenuScreen()) PlayInterfaceWaveLooped(MenuWave(screen->Sound));
  MenuGoTo(SB_Var.MenuScreen + 1);
}

void LoopScreenSound() {
  const TMENUSCREEN* screen = CurrentMenuScreen();
  SOUND* wave = screen ? MenuWave(screen->Sound) : nullptr;
  if (wave && LS_GetSoundStatus(wave) != LS_SOUND_PLAYING) PlayInterfaceWaveLooped(wave);
  SB_Var.MenuHotKeys = 1;
}

void ChooseRaceButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  SB_SetControlMap();
  MenuGoTo(5);
}

void CommandsButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 4, false); }
void MainMenuBackButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 2, true); }
void DetailButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 13, false); }
void DetailBackButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 4, true); }
void ChooseRaceNetworkButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 7, false); }
void PlayerNameBackButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 5, true); }
void ProtocolBackButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 7, true); }
void NetworkCreateButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 10, true); }
void NetworkJoinButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 9, true); }
void CreateServerBackButton(int32_t events, TMENUITEM* item) { ChangeScreen(events, item, 14, true); }
void NetworkMenuBackButton(int32_t events, TMENUITEM* item) { CloseNetAndChange(events, item, 8); }
void ServersBackButton(int32_t events, TMENUITEM* item) { CloseNetAndChange(events, item, 14); }

void PlayerNameOkButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  DrawItem(SB_Var.MenuBmap, item);
  MenuGoTo(8);
  SB_Var.MenuScreenReady = 0;
}

void TimeTrialButton(int32_t events, TMENUITEM* item) {
  if (!RaceButtonReleased(events, item)) return;
  SB_RaceFromInterface("PMONTRE", 0, 5, kLoadingGame);
}

void RaceButton(int32_t events, TMENUITEM* item) {
  if (!RaceButtonReleased(events, item)) return;
  FreeScreenBmaps(SB_Var.MenuScreen);
  SB_RaceFromInterface("GAME", 0, 5, kLoadingGame);
}

void DemoButton(int32_t events, TMENUITEM* item) {
  if (!RaceButtonReleased(events, item)) return;
  SB_SaveSettings();
  MenuExec("RUN DEMO");
  SB_PlayFromInterface(0, 2, kLoadingDemo);
}

void ChooseCarButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  UpdateInterfaceWaves();
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  ShowMenuBitmap(SB_Var.MenuBmap);
  drawscreentext(SB_Var.MenuFontBig, kPleaseWait, 220, 224);
  // The window shows a drawing when it is presented, which a wait does
  // first: the message is seen while the cars are made, not after.
  LS_Wait(0);
  UpdateInterfaceWaves();
  if (SB_Hooks.RunCarEditor) SB_Hooks.RunCarEditor(kCarChoiceArgument);
}

void PreviousCarButton(int32_t events, TMENUITEM* item) { CarStep(events, item, &SB_Var.CarChoicePrevious); }
void NextCarButton(int32_t events, TMENUITEM* item) { CarStep(events, item, &SB_Var.CarChoiceNext); }

void ChooseCarBackButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  SB_Var.CarChoiceEnd = 1;
  SB_Var.CarChoiceCancel = 1;
}

void ChooseCarSelect(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  SB_Var.CarChoiceCancel = 0;
  SB_Var.CarChoiceEnd = 1;
}

// Y ends the interface, N goes back to MAIN MENU.
bool ConfirmExit() {
  ShowMenuBitmap(SB_Var.MenuBmap);
  drawscreentext(SB_Var.MenuFontBig, kConfirmExit, 220, 224);
  LS_ClearKeyboard();
  while (true) {
    if (LS_KeyDown(kKeyY) || !LSYS_KeyMayCome()) return true;
    if (LS_KeyDown(kKeyN)) return false;
  }
}

void QuitButton(int32_t events, TMENUITEM* item) {
  if (!ButtonReleased(events, item)) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  if (ConfirmExit()) {
    SB_Var.MenuQuit = 1;
    return;
  }
  SB_Var.MenuQuit = 0;
  MenuGoTo(SB_MAINMENUSCREEN);
}
