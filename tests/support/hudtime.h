// A time or a word read back from a picture of the race HUD: the game's
// own font code, started in the test's process on a data tree, draws each
// text the HUD could show, and the one whose glyphs' dark outline best
// matches the picture's near-black pixels is the text shown.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/config.h"
#include "race/hud.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/win/shell.h"

namespace ztest {

class HudFont {
 public:
  // The fonts of the tree; the library's files (the run log) in config.
  HudFont(const std::string& tree, const std::string& config) {
    plat::SetConfigDir(config);
    plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", tree}});
    LS_ResetVars();
    LSI_ResetVars();
    SB_ResetVars();
    started_ = LSYS_CreateWindows(nullptr, 1) == 1 && LS_InitZidAde(4 << 20) == 1;
    // Greys by brightness: a glyph's outline keeps its darkness.
    for (int i = 0; i < 255; ++i) palette_.Entry[i] = {uint8_t(i / 4), uint8_t(i / 4), uint8_t(i / 4)};
    palette_.Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
    SB_Var.Pal3d = &palette_;
    if (started_) SB_InitFonts();
  }
  ~HudFont() {
    if (started_) {
      SB_DisposeFonts();
      LS_CloseZidAde();
    }
    LSI_CloseMemory();
    plat::SetConfigDir("");
  }
  bool Loaded() const { return started_ && SB_Fonts[1].Loaded; }

  // The time ("m:ss:hh") at (x, y) of the picture as SB_DrawText places
  // "*1" texts, read from the left: each digit is the one whose glyph,
  // after those read, matches best over the widest of them.
  std::string ReadTime(const std::function<uint32_t(int, int)>& rgb, int x, int y) const {
    std::string read;
    for (const char* c = "0:00:00"; *c; ++c) {
      if (*c == ':') {
        read += ':';
        continue;
      }
      int width = 0;
      for (char d = '0'; d <= '9'; ++d) width = std::max(width, SB_GetTextWidth("*1%s%c", read.c_str(), d));
      char best = '0';
      int bestScore = -1;
      for (char d = '0'; d <= '9'; ++d)
        if (const int score = Agreement(read + d, width, rgb, x, y); score > bestScore) bestScore = score, best = d;
      read += best;
    }
    return read;
  }

  // The share of the text's dark outline, drawn as SB_DrawText places texts
  // of the font ("*1" by default, "*0" the largest) at (x, y), that is
  // near-black in the picture too.
  double Covers(const std::string& text, const std::function<uint32_t(int, int)>& rgb, int x, int y,
                int font = 1) const {
    constexpr int kHeight = 31;  // the largest font's
    const int width = Width(text, font);
    BMAP* drawn = width > 0 ? LS_CreateBmap(width, kHeight, 8, 0) : nullptr;
    if (!drawn) return 0.0;
    LS_FillRect(drawn, 0, 0, width - 1, kHeight - 1, 255);
    SB_DrawText(drawn, 0, 0, "*%d%s", font, text.c_str());
    int outline = 0, dark = 0;
    for (int j = 0; j < kHeight; ++j)
      for (int i = 0; i < width; ++i) {
        if (LS_GetPixel(drawn, i, j) > 48) continue;
        ++outline;
        dark += Dark(rgb(x + i, y + j));
      }
    LS_FreeBmap(drawn);
    return outline ? double(dark) / outline : 0.0;
  }
  // The text's width in pixels in the font, as the HUD centres it.
  int Width(const std::string& text, int font = 1) const { return SB_GetTextWidth("*%d%s", font, text.c_str()); }

 private:
  static bool Dark(uint32_t c) { return (c >> 16 & 255) <= 48 && (c >> 8 & 255) <= 48 && (c & 255) <= 48; }
  // Pixels of the text's first columns where the drawn outline and the
  // picture's near-black pixels agree.
  static int Agreement(const std::string& text, int width, const std::function<uint32_t(int, int)>& rgb, int x,
                       int y) {
    constexpr int kHeight = 31;
    BMAP* drawn = LS_CreateBmap(width, kHeight, 8, 0);
    if (!drawn) return 0;
    LS_FillRect(drawn, 0, 0, width - 1, kHeight - 1, 255);
    SB_DrawText(drawn, 0, 0, "*1%s", text.c_str());
    int agree = 0;
    for (int j = 0; j < kHeight; ++j)
      for (int i = 0; i < width; ++i) {
        agree += Dark(rgb(x + i, y + j)) == (LS_GetPixel(drawn, i, j) <= 48);
      }
    LS_FreeBmap(drawn);
    return agree;
  }

  PALETTE palette_{};
  bool started_ = false;
};

}  // namespace ztest
