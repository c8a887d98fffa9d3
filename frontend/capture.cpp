// Capture of a key or a joystick action for the controls screen: the item
// shows a blinking prompt until a key is held or a stick moves.
#include <cstdio>

#include "frontend/menu.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "vehicles/controls.h"
#include "vehicles/keynames.h"

namespace {

constexpr int32_t kPromptDx = 38;
constexpr uint32_t kPromptBlinkMs = 300;
constexpr int32_t kEscape = 27;
constexpr double kRest = 0.1;  // a stick nearer the centre than this is at rest
constexpr double kFull = 0.9;  // beyond this, a digital pad's full deflection

void RestoreItemArea(const TMENUITEM* item) {
  if (SB_Var.MenuBackground && SB_Var.MenuBmap)
    LS_Bitmove(SB_Var.MenuBackground, SB_Var.MenuBmap, item->HitX1, item->HitY1, item->HitX2, item->HitY2,
               item->HitX1, item->HitY1, LS_BLIT_OPAQUE);
}

void ShowItemArea(const TMENUITEM* item) {
  if (SB_Var.MenuBmap && LS_Var.Screen)
    LS_Bitmove(SB_Var.MenuBmap, LS_Var.Screen, item->HitX1, item->HitY1, item->HitX2, item->HitY2, item->HitX1,
               item->HitY1, LS_BLIT_OPAQUE);
}

void DrawPrompt(const TMENUITEM* item, bool on) {
  RestoreItemArea(item);
  if (on) LS_DrawString(SB_Var.MenuFontSmall, SB_Var.MenuBmap, "-", item->HitX1 + kPromptDx, item->HitY1, LS_BLIT_ALPHA);
  ShowItemArea(item);
}

bool AtRest(const JOYPOS& j) { return j.X > -kRest && j.X < kRest && j.Y > -kRest && j.Y < kRest && !j.Buttons; }

// The row of the stick's action among the twelve names of one joystick,
// -1 for none.
int32_t Classify(const JOYPOS& j) {
  const double x = j.X, y = j.Y;
  if (x >= -kFull && x <= -kRest) return 0;
  if (x >= kRest && x <= kFull) return 1;
  if (y >= -kFull && y <= -kRest) return 2;
  if (y >= kRest && y <= kFull) return 3;
  if (x < -kFull) return 4;
  if (x > kFull) return 5;
  if (y < -kFull) return 6;
  if (y > kFull) return 7;
  for (int32_t bit = 0; bit < 4; ++bit)
    if (j.Buttons & (1u << bit)) return 8 + bit;
  return -1;
}

// Joystick n's capture: 1 when a name was written.
bool CaptureStick(int32_t n, const JOYPOS& j, int32_t wasCentred, int32_t* centred, char* text) {
  static constexpr int32_t kFirstCode[2] = {1025, 1037};
  if (!wasCentred) return false;
  const int32_t action = Classify(j);
  if (action < 0) return false;
  std::snprintf(text, SB_KEYNAMESIZE, "%s", KeyCodeToName(kFirstCode[n - 1] + action));
  *centred = 0;
  return true;
}

}  // namespace

void CaptureJoystickKeyName(TMENUITEM*, char* text) {
  SB_UpdateEvent();
  UpdateInterfaceCursor();
  JOYPOS sticks[2];
  const int32_t read[2] = {SB_ReadJoystick(1, &sticks[0]), SB_ReadJoystick(2, &sticks[1])};
  if (!read[0] && !read[1]) return;
  int32_t* centred[2] = {&SB_Var.Joy1Centred, &SB_Var.Joy2Centred};
  const int32_t was[2] = {*centred[0], *centred[1]};
  for (int32_t n = 0; n < 2; ++n)
    if (read[n] && !*centred[n] && AtRest(sticks[n])) {
      *centred[n] = 1;
      return;
    }
  for (int32_t n = 0; n < 2; ++n)
    if (read[n]) CaptureStick(n + 1, sticks[n], was[n], centred[n], text);
  UpdateInterfaceCursor();
}

void CaptureKeyName(TMENUITEM* item, char* text) {
  if (!item || !text) return;
  text[0] = 0;
  bool promptOn = true;
  DrawPrompt(item, promptOn);
  LS_FlushKeyboard();
  SB_UpdateEvent();
  uint32_t blink = LSYS_GetTime();
  int32_t code = 0;
  for (;;) {
    code = (code + 1) & 255;
    if (code == 0) {
      CaptureJoystickKeyName(item, text);
      if (text[0]) return;
      DrawPrompt(item, promptOn);
      UpdateInterfaceCursor();
      if (!LSYS_KeyMayCome()) return;  // as Escape: nothing can be pressed any more
    }
    if (LSYS_GetTime() - blink >= kPromptBlinkMs) {
      blink = LSYS_GetTime();
      promptOn = !promptOn;
      DrawPrompt(item, promptOn);
    }
    if (LS_KeyDown(code)) break;
  }
  const int32_t character = LS_GetKey();
  LS_FlushKeyboard();
  const bool letter = (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z');
  const bool digit = character >= '0' && character <= '9';
  if (letter || digit) {
    text[0] = static_cast<char>(character >= 'a' && character <= 'z' ? character - 'a' + 'A' : character);
    text[1] = 0;
  } else if (character != kEscape && code != kEscape) {
    std::snprintf(text, SB_KEYNAMESIZE, "%s", KeyCodeToName(code));
  }
}
