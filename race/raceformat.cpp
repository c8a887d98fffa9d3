// The HUD's texts for times and positions, and the size classes of the
// race overlay.
#include <cstdio>

#include "race/racerules.h"
#include "shell/sbvar.h"
#include "system/bmap.h"

namespace {

char Digit(int32_t d) { return static_cast<char>('0' + d); }

}  // namespace

const char* SB_FormatTime(int32_t ms, int32_t style) {
  static char text[32];
  if (ms == SB_NOTIME) {
    std::snprintf(text, sizeof text, "        ");
    return text;
  }
  const int32_t t = ms < 0 ? 0 : ms;
  const long m = t / 60000;
  const int32_t s = (t / 1000) % 60;
  const int32_t d1 = t % 1000 / 100;
  const int32_t d2 = t % 100 / 10;
  const char s1 = Digit(s / 10), s2 = Digit(s % 10), c1 = Digit(d1), c2 = Digit(d2);
  switch (style) {
    case 3:
      if (m > 0)
        std::snprintf(text, sizeof text, "%ld'%c%c''%c%c", m, s1, s2, c1, c2);
      else if (s >= 10)
        std::snprintf(text, sizeof text, "%c%c''%c%c", s1, s2, c1, c2);
      else
        std::snprintf(text, sizeof text, "%c''%c%c", s2, c1, c2);
      break;
    case 2: std::snprintf(text, sizeof text, "%ld:%c%c:%c%c", m, s1, s2, c1, c2); break;
    case 1:
      if (m > 0)
        std::snprintf(text, sizeof text, "%ld:%c%c:%c", m, s1, s2, c1);
      else
        std::snprintf(text, sizeof text, "%c%c:%c", s1, s2, c1);
      break;
    default:
      if (m > 0)
        std::snprintf(text, sizeof text, "%ld:%c%c", m, s1, s2);
      else
        std::snprintf(text, sizeof text, "%c%c", s1, s2);
      break;
  }
  return text;
}

const char* SB_FormatPosition(int32_t i) {
  static char text[SB_PLAYERNAMESIZE];
  switch (SB_Var.GameMode) {
    case SB_RACE:
    case SB_MULTIRACE:
    case SB_CONTROLLEDRACE: std::snprintf(text, sizeof text, "%s", SB_GetPlayerName(i)); break;
    case SB_OFFLINE:
    case SB_STANDALONE: std::snprintf(text, sizeof text, "P.%2d", i); break;
    default: text[0] = '\0'; break;
  }
  return text;
}

void SB_GetTextScreenSize(int32_t* width, int32_t* height, int32_t* top) {
  const BMAP* screen = SB_Var.TextScreen;
  const int32_t w = screen ? screen->SizeX : 0;
  const int32_t h = screen ? screen->SizeY : 0;
  if (width) *width = w;
  if (height) *height = h;
  if (top) *top = SB_Var.ScreenWindow.W_POSY;
  switch (w) {
    case 320: SB_Var.HudWidthClass = 0; break;
    case 512: SB_Var.HudWidthClass = 1; break;
    case 640: SB_Var.HudWidthClass = 2; break;
    case 800: SB_Var.HudWidthClass = 3; break;
    default: break;
  }
  switch (h) {
    case 200: SB_Var.HudHeightClass = 0; break;
    case 240: SB_Var.HudHeightClass = 1; break;
    case 384: SB_Var.HudHeightClass = 2; break;
    case 400: SB_Var.HudHeightClass = 3; break;
    case 480: SB_Var.HudHeightClass = 4; break;
    case 600: SB_Var.HudHeightClass = 5; break;
    default: break;
  }
}
