// SELECT COMMAND and DETAIL SETTING: the radio choices of the input device,
// the screen size, the detail and the shadows, the joystick check and its
// calibration, the linear-steering marks and the user keys' entry.
#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "frontend/menus.h"
#include "shell/gameevent.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/graphic.h"
#include "system/heap.h"
#include "system/input.h"
#include "vehicles/controls.h"

namespace {

constexpr int32_t kDetailScreen = 13;
constexpr int32_t kJoystickItem = 1;
constexpr int32_t kCustomKeysItem = 3;
constexpr int32_t kNoJoystickText = 79;
constexpr int32_t kCalibrateText = 77;
constexpr int32_t kMessageMs = 2500;
constexpr int32_t kFlashMs = 800;
constexpr int32_t kFirstKeyItem = 30, kLastKeyItem = 37;
constexpr int32_t kTextWidth = 32;
constexpr int32_t kScratchSize = 256;
constexpr char kLinearMark[] = "_";
constexpr char kSquaredMark[] = "^";
constexpr char kUnsetKey[] = "P";  // the name an unset key gets
constexpr int32_t kEscape = 27, kKeyQ = 81;

TMENUITEM* OptionsItem(int32_t index) { return &SB_Var.MenuScreens[SB_OPTIONSSCREEN].Items[index]; }

char* ItemBuffer(TMENUITEM* item) {
  return item->Value >= SB_ITEMTEXTMIN ? reinterpret_cast<char*>(item->Value) : nullptr;
}

// The item's text block, made from the interface heap on first use.
char* EnsureItemBuffer(TMENUITEM* item) {
  if (!ItemBuffer(item)) {
    void* block = LS_GetMemHeap(SB_Var.MenuHeap, kTextWidth);
    if (!block) return nullptr;
    std::memset(block, 0, kTextWidth);
    item->Value = reinterpret_cast<intptr_t>(block);
  }
  return ItemBuffer(item);
}

// The radio look: latched, kept pressed, redrawn; the rest of the group
// unlatched.
void Latch(TMENUITEM* item, void (*group)(TMENUITEM*)) {
  item->Selected = 1;
  item->State = ITEMSTATE_PRESSED;
  DrawItem(SB_Var.MenuBmap, item);
  group(item);
}

// The radio pattern: on the release, the click wave and the latch.
bool RadioChosen(int32_t events, TMENUITEM* item, void (*group)(TMENUITEM*)) {
  if (!ButtonReleased(events, item)) return false;
  ButtonAction(item);
  Latch(item, group);
  return true;
}

bool JoystickAnswers() {
  JOYPOS position{};
  return SB_ReadJoystick(1, &position) || SB_ReadJoystick(2, &position);
}

// Without a joystick the item stays inert; a release says so for a while.
bool NoJoystick(int32_t events) {
  if (JoystickAnswers()) return false;
  if (events & MENU_UP) {
    ShowMenuBitmap(SB_Var.MenuBmap);
    drawscreentext(SB_Var.MenuFontBig, kNoJoystickText, 0, 0);
    LS_Wait(kMessageMs);
  }
  return true;
}

// The device an edit belongs to chosen, as its radio button would.
void ChooseDevice(int32_t itemIndex, int32_t mode) {
  TMENUITEM* device = OptionsItem(itemIndex);
  if (device->Selected != 1) {
    PlayInterfaceWave(MenuWave(device->Sound));
    Latch(device, DeselectItems1to3Except);
  }
  SB_Var.ControlMode = mode;
  if (mode == 0) SB_Var.JoystickOn = 1;
}

// The press handling of the text items; true on their release.
bool TextItemReleased(int32_t events, TMENUITEM* item) {
  if (item->CallbackState == 1) {
    ItemWhileOtherPressed(events, item);
    return false;
  }
  if (item->CallbackState == 0) {
    if (events & MENU_DOWN) {
      BlockAllItems();
      item->CallbackState = 2;
    } else if (events & MENU_ENTER) {
      DrawItem(SB_Var.MenuBmap, item);
      UnhiliteOtherItems(item);
    }
    return false;
  }
  if (!(events & MENU_UP)) return false;
  ReleaseAllItems();
  return true;
}

// Odd Selected turns to the squared mark, any other to the linear one;
// true when the mark is now linear.
bool ToggleMark(TMENUITEM* item) {
  PlayInterfaceWave(MenuWave(item->Sound));
  const bool linear = item->Selected % 2 == 0;
  item->Selected = linear ? 1 : 2;
  const char* mark = linear ? kLinearMark : kSquaredMark;
  if (char* text = EnsureItemBuffer(item)) std::snprintf(text, kTextWidth, "%s", mark);
  DrawItemText(SB_Var.MenuBmap, item, mark);
  return linear;
}

// A name another user key already shows, or the unset key's.
bool NameRefused(const TMENUITEM* item, const char* name) {
  if (std::strcmp(name, kUnsetKey) == 0) return true;
  for (int32_t i = kFirstKeyItem; i <= kLastKeyItem; ++i) {
    TMENUITEM* other = OptionsItem(i);
    const char* shown = ItemBuffer(other);
    if (other != item && shown && std::strcmp(shown, name) == 0) return true;
  }
  return false;
}

// Empties the keyboard buffer while the key is held.
void DrainWhileHeld(int32_t key) {
  while (LS_KeyDown(key)) {
    LS_ClearKeyboard();
    SB_UpdateEvent();
  }
}

void DrawCommandTexts(BMAP* dst) {
  for (int32_t i : {30, 31, 32, 33, 34, 35, 36, 37, 38, 21}) {
    TMENUITEM* item = OptionsItem(i);
    if (const char* text = ItemBuffer(item)) DrawItemText(dst, item, text);
  }
}

}  // namespace

void JoystickChoiceButton(int32_t events, TMENUITEM* item) {
  if (NoJoystick(events)) return;
  if (!RadioChosen(events, item, DeselectItems1to3Except)) return;
  SB_Var.ControlMode = 0;
  SB_Var.JoystickOn = 1;
}

void KeyboardChoiceButton(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems1to3Except)) SB_Var.ControlMode = 1;
}

void CustomKeysChoiceButton(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems1to3Except)) SB_Var.ControlMode = 2;
}

void ScreenSize640Button(int32_t events, TMENUITEM* item) { RadioChosen(events, item, DeselectItems1to2Except); }
void ScreenSize800Button(int32_t events, TMENUITEM* item) { RadioChosen(events, item, DeselectItems1to2Except); }

void DetailLevelButton0(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems3to5Except)) SB_Var.MenuDetail = 0;
}
void DetailLevelButton1(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems3to5Except)) SB_Var.MenuDetail = 1;
}
void DetailLevelButton2(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems3to5Except)) SB_Var.MenuDetail = 2;
}
void ShadowLevelButton0(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems6to8Except)) SB_Var.MenuShadows = 0;
}
void ShadowLevelButton1(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems6to8Except)) SB_Var.MenuShadows = 1;
}
void ShadowLevelButton2(int32_t events, TMENUITEM* item) {
  if (RadioChosen(events, item, DeselectItems6to8Except)) SB_Var.MenuShadows = 2;
}

void CalibrateButton(int32_t events, TMENUITEM* item) {
  if (NoJoystick(events)) return;
  if (!ButtonReleased(events, item) || !JoystickAnswers()) return;
  ButtonAction(item);
  FlashItem(item, SB_Var.MenuBmap, kFlashMs);
  ShowMenuBitmap(SB_Var.MenuBmap);
  drawscreentext(SB_Var.MenuFontBig, kCalibrateText, 0, 0);
  if (SB_Hooks.ExecCommand) SB_Hooks.ExecCommand("%s", "CALIBRATE");
  ShowMenuBitmap(SB_Var.MenuBmap);
}

// The joystick's mark chooses the joystick: without one it stays inert
// (the device chosen is kept) and a release says so.
void JoystickLinearToggle(int32_t events, TMENUITEM* item) {
  if (NoJoystick(events)) return;
  if (!TextItemReleased(events, item)) return;
  ChooseDevice(kJoystickItem, 0);
  SB_Var.LinearInput = ToggleMark(item) ? 1 : 0;
}

void CommandCheckBox(int32_t events, TMENUITEM* item) {
  if (!TextItemReleased(events, item)) return;
  ChooseDevice(kCustomKeysItem, 2);
  ToggleMark(item);
}

void CustomKeyEntry(int32_t events, TMENUITEM* item) {
  if (!TextItemReleased(events, item)) return;
  ChooseDevice(kCustomKeysItem, 2);
  PlayInterfaceWave(MenuWave(item->Sound));
  SB_Var.MenuHotKeys = 0;
  char scratch[kScratchSize];
  for (;;) {
    scratch[0] = '\0';
    CaptureKeyName(item, scratch);
    if (!scratch[0]) break;
    if (NameRefused(item, scratch)) continue;
    DrawItemText(SB_Var.MenuBmap, item, scratch);
    if (char* text = EnsureItemBuffer(item)) std::snprintf(text, kTextWidth, "%s", scratch);
    break;
  }
  const char* name = ItemBuffer(item);
  DrawItemText(SB_Var.MenuBmap, item, name ? name : "");
  SB_Var.MenuHotKeys = 1;
  LS_Wait(10);
  DrainWhileHeld(kEscape);
  DrainWhileHeld(kKeyQ);
  SB_UpdateEvent();
}

void CommandScreen() {
  if (SB_Var.MenuScreenReady) return;
  DrawCommandTexts(SB_Var.MenuBmap);
  SB_Var.MenuScreenReady = 1;
}

void RefreshCommandTexts(BMAP* dst) {
  if (dst) DrawCommandTexts(dst);
}
