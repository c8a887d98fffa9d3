// The credits that roll up the screen when the interface is left: the
// text file drawn once into a tall bitmap, then scrolled at one line per
// 25 ms until it has passed the top edge or Escape is held.
#include <cstdio>
#include <cstring>

#include "frontend/menu.h"
#include "frontend/menuparts.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/file.h"
#include "system/font.h"
#include "system/input.h"
#include "system/lsvar.h"

namespace {

constexpr const char* kCreditsFile = "INTER>FONTES>CREDITS.TXT";
constexpr int32_t kLineSize = 256;
constexpr int32_t kBigLine = 36;
constexpr int32_t kSmallLine = 14;
constexpr int32_t kMargin = 28;
constexpr int32_t kStepMs = 25;
constexpr int32_t kEscape = 27;

int32_t LineHeight(const char* line) { return line[0] == '3' ? kBigLine : kSmallLine; }

FONT* LineFont(const char* line) {
  switch (line[0]) {
    case '1': return SB_Var.MenuFontSmall;
    case '2': return SB_Var.MenuFontSmall2;
    case '3': return SB_Var.MenuFontBig;
    default: return nullptr;
  }
}

// The file opened through its logical name, or null.
std::FILE* OpenCredits() {
  char path[LS_PATHSIZE];
  std::snprintf(path, sizeof path, "%s", kCreditsFile);
  if (LSI_GetPhysicalPath(path) < 0) return nullptr;
  return std::fopen(path, "r");
}

// Reads every line as the two passes share it: each read starts from an
// empty line, so a last read at the end of the file counts as a blank
// line; a line longer than the buffer goes on in the next read.
template <typename F>
void ForEachLine(std::FILE* file, F f) {
  char line[kLineSize];
  while (!std::feof(file) && !std::ferror(file)) {
    line[0] = 0;
    if (!std::fgets(line, sizeof line, file)) line[0] = 0;
    f(line);
  }
}

BMAP* DrawCredits(std::FILE* file, int32_t width) {
  int64_t height = 0;
  ForEachLine(file, [&](char* line) { height += LineHeight(line); });
  std::rewind(file);
  if (height + kMargin > INT32_MAX) return nullptr;
  BMAP* credits = SB_CreateBmapIfFits(width, static_cast<int32_t>(height) + kMargin, 16, 0, "Credits");
  if (!credits) return nullptr;
  int32_t y = 0;
  ForEachLine(file, [&](char* line) {
    line[std::strcspn(line, "\r\n")] = 0;
    if (FONT* font = LineFont(line)) {
      const char* text = line + 1;
      LS_DrawString(font, credits, text, (width - LS_GetStringWidth(font, text)) / 2, y, LS_BLIT_ALPHA);
    }
    y += LineHeight(line);
  });
  return credits;
}

void Scroll(BMAP* credits) {
  BMAP* screen = LS_Var.Screen;
  const int32_t screenHeight = screen->SizeY;
  int32_t source = 0;
  for (int32_t n = 0; n <= screenHeight + credits->SizeY; ++n) {
    if (LS_KeyDown(kEscape)) break;
    const uint32_t start = LSYS_GetTime();
    int32_t line = screenHeight - n - 1;
    if (line < 1) {
      line = 0;
      ++source;
    }
    if (source < credits->SizeY)
      LS_Bitmove(credits, screen, 0, source, credits->SizeX - 1, credits->SizeY - 1, 0, line, LS_BLIT_OPAQUE);
    const uint32_t spent = LSYS_GetTime() - start;
    if (spent < kStepMs) LS_Wait(kStepMs - spent);
  }
}

}  // namespace

void SB_ShowCredits() {
  if (!LS_Var.Screen || !LS_FileExists(kCreditsFile)) return;
  std::FILE* file = OpenCredits();
  if (!file) return;
  BMAP* credits = DrawCredits(file, LS_Var.Screen->SizeX);
  std::fclose(file);
  if (!credits) return;
  if (SB_Var.MenuBmap) {
    LS_ClearBmap(SB_Var.MenuBmap);
    ShowMenuBitmap(SB_Var.MenuBmap);
  }
  Scroll(credits);
  SB_FreeBmap(credits);
}
