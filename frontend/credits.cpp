// The credits that roll up the screen when the interface is left: the
// text file drawn once into a tall bitmap, then scrolled at one line per
// 25 ms until it has passed the top edge or Escape is held.
#include <climits>
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

// The file read through its logical name, line by line as a C stream's
// fgets and feof read it: a line stops after its line end or at 255
// characters, and the end is seen only by a read that meets it.
class LineReader {
 public:
  LineReader() : handle_(LS_Open(kCreditsFile, LS_O_RDONLY | LS_O_BINARY)) {}
  ~LineReader() {
    if (handle_ > 0) LS_Close(handle_);
  }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  bool Opened() const { return handle_ > 0; }
  bool AtEnd() const { return end_; }
  // Fills line (kLineSize bytes); false when nothing was left to read.
  bool Read(char* line) {
    int32_t n = 0;
    while (n < kLineSize - 1) {
      const int32_t c = Next();
      if (c < 0) break;
      line[n++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    line[n] = 0;
    return n > 0;
  }

 private:
  int32_t Next() {
    if (pos_ == length_) {
      length_ = LS_Read(handle_, buffer_, sizeof buffer_);
      pos_ = 0;
      if (length_ <= 0) {
        length_ = 0;
        end_ = true;
        return -1;
      }
    }
    return static_cast<uint8_t>(buffer_[pos_++]);
  }
  int16_t handle_;
  char buffer_[4096];
  int32_t pos_ = 0, length_ = 0;
  bool end_ = false;
};

// Each read starts from an empty line, so a last read at the end of the
// file counts as a blank line.
template <typename F>
bool ForEachLine(F f) {
  LineReader reader;
  if (!reader.Opened()) return false;
  char line[kLineSize];
  while (!reader.AtEnd()) {
    line[0] = 0;
    reader.Read(line);
    f(line);
  }
  return true;
}

BMAP* DrawCredits(int32_t width) {
  int64_t height = 0;
  if (!ForEachLine([&](char* line) { height += LineHeight(line); })) return nullptr;
  if (height + kMargin > INT32_MAX) return nullptr;
  BMAP* credits = SB_CreateBmapIfFits(width, static_cast<int32_t>(height) + kMargin, 16, 0, "Credits");
  if (!credits) return nullptr;
  int32_t y = 0;
  ForEachLine([&](char* line) {
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
  BMAP* credits = DrawCredits(LS_Var.Screen->SizeX);
  if (!credits) return;
  if (SB_Var.MenuBmap) {
    LS_ClearBmap(SB_Var.MenuBmap);
    ShowMenuBitmap(SB_Var.MenuBmap);
  }
  Scroll(credits);
  SB_FreeBmap(credits);
}
