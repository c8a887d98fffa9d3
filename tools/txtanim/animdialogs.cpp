// The texture-animation editor's modal boxes: a number or a text asked on
// the keyboard, and a message closed by a click. Each one takes the editor
// screen until it ends and puts back what it covered.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scenery/effects.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/font.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/txtanim/txtanim.h"

TTXTANIMUI SB_TxtAnimUi;

namespace {

constexpr int32_t kBackspace = 8, kEnter = 13;
constexpr int32_t kMaxEdit = static_cast<int32_t>(sizeof SB_TxtAnimUi.Edit) - 1;
constexpr const char* kSaveOwner = "txtanim de jorp";

enum class TACCEPT { Number, Text };

bool Accepted(int32_t key, TACCEPT accept) {
  if (key >= '0' && key <= '9') return true;
  if (accept == TACCEPT::Number) return key == '.';
  return key == '_' || key == ' ' || (key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z');
}

// A copy of the editor screen, to put back when the box closes.
BMAP* SaveScreen() {
  BMAP* screen = SB_TxtAnimUi.Screen;
  if (!screen) return nullptr;
  BMAP* saved = SB_CreateBmapIfFits(screen->SizeX, screen->SizeY, 8, LS_DefaultHeap, kSaveOwner);
  if (saved) LS_Bitmove(screen, saved, 0, 0, screen->SizeX - 1, screen->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  return saved;
}

void RestoreScreen(BMAP* saved) {
  BMAP* screen = SB_TxtAnimUi.Screen;
  LS_Bitmove(saved, screen, 0, 0, saved->SizeX - 1, saved->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  SB_FreeBmap(saved);
}

// Edits SB_TxtAnimUi.Edit in a box until Enter (or until no key can come
// any more); false when the box could not open.
bool EditLine(const char* prompt, int32_t maxLength, TACCEPT accept) {
  BMAP* saved = SaveScreen();
  if (!saved) return false;
  if (maxLength > kMaxEdit) maxLength = kMaxEdit;
  if (maxLength < 0) maxLength = 0;
  char* edit = SB_TxtAnimUi.Edit;
  const int32_t w = maxLength * 8 + 50, x = (640 - w) / 2;
  for (;;) {
    SB_TxtAnimFrame(x, 100, x + w, 164);
    LS_DrawString(LS_Var.SysFont, SB_TxtAnimUi.Screen, prompt, x + 8, 108, LS_BLIT_TRANSPARENT);
    char line[sizeof SB_TxtAnimUi.Edit + 1];
    std::snprintf(line, sizeof line, "%s_", edit);
    LS_DrawString(LS_Var.SysFont, SB_TxtAnimUi.Screen, line, x + 16, 120, LS_BLIT_TRANSPARENT);
    SB_TxtAnimShowScreen();
    const int32_t key = LS_GetKey();
    const int32_t length = static_cast<int32_t>(std::strlen(edit));
    if (key == kEnter || (key == 0 && !LSYS_KeyMayCome())) break;
    if (key == kBackspace) {
      if (length > 0) edit[length - 1] = 0;
    } else if (key > 0 && length < maxLength && Accepted(key, accept)) {
      edit[length] = static_cast<char>(key);
      edit[length + 1] = 0;
    }
  }
  RestoreScreen(saved);
  return true;
}

// The leading digits as a decimal integer, held at the largest int32.
int32_t ParseInt(const char* text) {
  int64_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

}  // namespace

void SB_TxtAnimShowScreen() {
  if (SB_TxtAnimUi.Screen && SB_Var.TextScreen) {
    BMAP* s = SB_TxtAnimUi.Screen;
    LS_Bitmove(s, SB_Var.TextScreen, 0, 0, s->SizeX - 1, s->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
  }
  SB_Copy3dScreen();
}

int32_t SB_TxtAnimAskInt(const char* prompt, int32_t initial, int32_t maxLength) {
  std::snprintf(SB_TxtAnimUi.Edit, sizeof SB_TxtAnimUi.Edit, "%ld", static_cast<long>(initial));
  if (!EditLine(prompt, maxLength, TACCEPT::Number)) return 0;
  return ParseInt(SB_TxtAnimUi.Edit);
}

double SB_TxtAnimAskFloat(const char* prompt, double initial, int32_t maxLength) {
  std::snprintf(SB_TxtAnimUi.Edit, sizeof SB_TxtAnimUi.Edit, "%G", initial);
  if (!EditLine(prompt, maxLength, TACCEPT::Number)) return 0;
  const double value = std::strtod(SB_TxtAnimUi.Edit, nullptr);
  return std::isfinite(value) ? value : 0;
}

const char* SB_TxtAnimAskText(const char* prompt, const char* initial, int32_t maxLength) {
  std::snprintf(SB_TxtAnimUi.Edit, sizeof SB_TxtAnimUi.Edit, "%s", initial ? initial : "");
  if (!EditLine(prompt, maxLength, TACCEPT::Text)) SB_TxtAnimUi.Edit[0] = 0;
  return SB_TxtAnimUi.Edit;
}

void SB_TxtAnimMessage(const char* text) {
  std::snprintf(SB_TxtAnimUi.LastMessage, sizeof SB_TxtAnimUi.LastMessage, "%s", text);
  BMAP* saved = SaveScreen();
  if (!saved) return;
  const int32_t w = (static_cast<int32_t>(std::strlen(text)) + 1) * 8, x = (632 - w) / 2;
  SB_TxtAnimFrame(x, 100, x + w + 8, 164);
  LS_DrawString(LS_Var.SysFont, SB_TxtAnimUi.Screen, text, x + 8, 108, LS_BLIT_TRANSPARENT);
  SB_TxtAnimShowScreen();
  // A button already held when the box appeared does not close it.
  for (int32_t phase = 0; phase < 3 && LSYS_KeyMayCome();) {
    SB_TxtAnimReadMouse();
    const bool down = SB_TxtAnimUi.Buttons & 1;
    if (down == (phase == 1)) ++phase;
  }
  RestoreScreen(saved);
}
