// A race overlay for HUD tests: a test palette whose last entry is the
// font strips' background, test strips of known glyphs for the three
// fonts, an overlay with its 3D window, and a record of the texts drawn.
#pragma once
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "race/hud.h"
#include "system/palette.h"
#include "tests/fakes/race_fakes.h"

namespace ztest {

struct DrawnText {
  std::string text;
  int32_t x, y;
};

class HudTest : public RaceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Glyph g of every test font is GlyphWidth(g) columns wide, one
  // background column after it; in glyph-relative (x, y) it holds ink of
  // palette index InkIndex(g, x, y) where (x + y + g) % 3 != 0.
  static int32_t GlyphWidth(int32_t g) { return 2 + g % 5; }
  static int32_t GlyphFirst(int32_t g);
  static bool InkAt(int32_t g, int32_t x, int32_t y) { return (x + y + g) % 3 != 0; }
  static int32_t InkIndex(int32_t g, int32_t x, int32_t y) { return 4 + (g * 7 + x + y) % 240; }
  // The strip of a font slot with its first `glyphs` glyphs (all by default).
  static datagen::Picture24 TestStrip(int32_t slot, int32_t glyphs = -1);
  void WritePicture(const std::string& name, const datagen::Picture24& picture);
  // Writes the three strips and loads the fonts.
  void LoadFonts();

  // A width x height overlay of the depth (16 bits: 5-6-5) with a 3D
  // window of 640 x 400 units at row 40, scaled to its height.
  void MakeOverlay(int32_t width, int32_t height, int32_t depth);
  // The overlay's pixel; 0 outside.
  uint32_t Pixel(int32_t x, int32_t y) const { return LS_GetPixel(SB_Var.TextScreen, x, y); }
  // A HUD frame: the driven car in view, with the dashboard on.
  void ReadyToDraw();
  // Fonts, a 640 x 480 x 16 overlay, n cars ready to draw and the mode's
  // list moved on to the step.
  void StartRace(int32_t mode, int32_t cars, int32_t step);

  // Texts drawn since the last Clear, and the first with this text.
  std::vector<DrawnText>& Texts();
  const DrawnText* Find(const std::string& text);
  void ClearTexts() { Texts().clear(); }
  // The text was drawn at (x, y); centred on the overlay's width.
  void ExpectAt(const std::string& text, int32_t x, int32_t y);
  void ExpectCentred(const std::string& text, int32_t y);
  // Each text at its place; x kCentred for a centred one.
  static constexpr int32_t kCentred = INT32_MIN;
  void ExpectLayout(const std::vector<DrawnText>& layout);

  PALETTE palette_{};
  int32_t previousView_ = 0;  // stands for the previous frame's view
};

}  // namespace ztest
