// The HUD tests' overlay, palette, font strips and text record.
#include "tests/race/rules/hud_fixture.h"

#include "race/dial.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "shell/owner.h"
#include "system/asm3d/zidade3d.h"

namespace ztest {

namespace {

std::vector<DrawnText> g_texts;

void Observe(const BMAP*, int32_t x, int32_t y, const char* text) { g_texts.push_back({text, x, y}); }

uint8_t Component(int32_t six) { return static_cast<uint8_t>(six * 4); }

}  // namespace

void HudTest::SetUp() {
  RaceTest::SetUp();
  // Entry i: (i mod 64, i / 4, 20), all different; the last is the
  // strips' background.
  for (int i = 0; i < 255; ++i)
    palette_.Entry[i] = {static_cast<uint8_t>(i & 63), static_cast<uint8_t>(i >> 2), 20};
  palette_.Entry[255] = {SB_FONTBACK_RED / 4, SB_FONTBACK_GREEN / 4, SB_FONTBACK_BLUE / 4};
  SB_Var.Pal3d = &palette_;
  g_texts.clear();
  SB_SetTextObserver(Observe);
}

void HudTest::TearDown() {
  SB_SetTextObserver(nullptr);
  SB_DisposeFonts();
  SB_FreeCounters();
  SB_FreeCarPictures();
  if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.TextScreen = nullptr;
  RaceTest::TearDown();
}

int32_t HudTest::GlyphFirst(int32_t g) {
  int32_t x = 0;
  for (int32_t i = 0; i < g; ++i) x += GlyphWidth(i) + 1;
  return x;
}

datagen::Picture24 HudTest::TestStrip(int32_t slot, int32_t glyphs) {
  if (glyphs < 0) glyphs = SB_FONTGLYPHS[slot];
  const int32_t height = SB_FONTHEIGHTS[slot];
  datagen::Picture24 strip(GlyphFirst(glyphs) - 1, height, SB_FONTBACK_RED, SB_FONTBACK_GREEN,
                           SB_FONTBACK_BLUE);
  for (int32_t g = 0; g < glyphs; ++g)
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < GlyphWidth(g); ++x) {
        if (!InkAt(g, x, y)) continue;
        const int32_t i = InkIndex(g, x, y);
        strip.Set(GlyphFirst(g) + x, y, Component(i & 63), Component(i >> 2), Component(20));
      }
  return strip;
}

void HudTest::WritePicture(const std::string& name, const datagen::Picture24& picture) {
  std::string path = root_ + "/";
  for (const char c : name) path += c == '>' ? '/' : c;
  WriteFile(path, "");
  ASSERT_TRUE(datagen::WriteTga(path, picture)) << name;
}

void HudTest::LoadFonts() {
  for (int32_t slot = 0; slot < SB_NBFONTS; ++slot) WritePicture(SB_FONTFILES[slot], TestStrip(slot));
  SB_InitFonts();
}

void HudTest::MakeOverlay(int32_t width, int32_t height, int32_t depth) {
  if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
  SB_Var.TextScreen = SB_CreateBmap(width, height, depth, 0, "overlay");
  ASSERT_NE(SB_Var.TextScreen, nullptr);
  if (depth == 16) SB_Var.TextScreen->Format = BMAP_RGB565;
  const int32_t top = 40 * height / 480, view = 400 * height / 480;
  LS_InitWindow(SB_Var.TextScreen, &SB_Var.ScreenWindow, 12, 0, top, width, view);
  TVIDEOMODE& mode = Fakes().videoMode;
  mode.Width = width;
  mode.Height = height;
  mode.Depth = depth;
  mode.Format = depth == 16 ? BMAP_RGB565 : depth == 8 ? BMAP_PAL8 : 0;
  if (SB_Fonts[0].Loaded) SB_RemapFonts();
}

void HudTest::ReadyToDraw() {
  SB_Var.PreviousView = reinterpret_cast<TSOFTSCENE*>(&previousView_);
  SB_Var.CameraMode = 1;
  SB_Var.ShowDashboard = 1;
}

void HudTest::StartRace(int32_t mode, int32_t cars, int32_t step) {
  LoadFonts();
  MakeOverlay(640, 480, 16);
  MakeCars(cars);
  ReadyToDraw();
  SB_SetGameMode(mode);
  for (int i = 0; i < 64 && SB_GetGameStep() != step; ++i) SB_NextGameStep();
  ASSERT_EQ(SB_GetGameStep(), step);
}

std::vector<DrawnText>& HudTest::Texts() { return g_texts; }

const DrawnText* HudTest::Find(const std::string& text) {
  for (const DrawnText& t : g_texts)
    if (t.text == text) return &t;
  return nullptr;
}

void HudTest::ExpectAt(const std::string& text, int32_t x, int32_t y) {
  const DrawnText* t = Find(text);
  ASSERT_NE(t, nullptr) << text;
  EXPECT_EQ(t->x, x) << text;
  EXPECT_EQ(t->y, y) << text;
}

void HudTest::ExpectCentred(const std::string& text, int32_t y) {
  ExpectAt(text, (SB_Var.TextScreen->SizeX - SB_GetTextWidth("%s", text.c_str())) / 2, y);
}

void HudTest::ExpectLayout(const std::vector<DrawnText>& layout) {
  for (const DrawnText& t : layout)
    if (t.x == kCentred)
      ExpectCentred(t.text, t.y);
    else
      ExpectAt(t.text, t.x, t.y);
}

}  // namespace ztest
