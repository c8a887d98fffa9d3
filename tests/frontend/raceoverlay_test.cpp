// Pictures over the race: the attract cycle of a controlled race on the
// manual clock, the option overlay's banners and pulsing gearbox boxes,
// the darkening of the start steps, and practice mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datagen/tgawrite.h"
#include "engine3d/types.h"
#include "frontend/intropicts.h"
#include "frontend/media.h"
#include "frontend/raceoverlay.h"
#include "net/netgame.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/lsvar.h"
#include "tests/support/pixels.h"
#include "tests/frontend/menu_fixture.h"

namespace ztest {
namespace {

struct Seen {
  int32_t step = 0;
  std::vector<std::string> calls;
};
Seen& S() {
  static Seen s;
  return s;
}

class RaceOverlayTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    saved_ = SB_Hooks;
    S() = Seen{};
    SB_Hooks.GetGameStep = [] { return S().step; };
    SB_Hooks.StartReplayRecord = [] { S().calls.push_back("StartReplayRecord"); };
    SB_Hooks.StopReplayRecord = [] { S().calls.push_back("StopReplayRecord"); };
    SB_Hooks.SetGameMode = [](int32_t mode) {
      S().calls.push_back("SetGameMode " + std::to_string(mode));
      return 1;
    };
    SB_Hooks.LockTextScreen = [] { S().calls.push_back("Lock"); };
    SB_Hooks.UnlockTextScreen = [] { S().calls.push_back("Unlock"); };
    SB_Hooks.DrawText = [](BMAP*, int32_t x, int32_t y, const char* text) {
      S().calls.push_back(std::to_string(x) + "," + std::to_string(y) + " " + text);
    };
    Overlay(640, 480);
    SB_ClearPrintedLines();
  }
  void TearDown() override {
    SB_FreeIntroPicts();
    SB_FreeOptionPicts();
    if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.TextScreen = nullptr;
    SB_Hooks = saved_;
    MenuTest::TearDown();
  }
  void Overlay(int32_t w, int32_t h) {
    if (SB_Var.TextScreen) SB_FreeBmap(SB_Var.TextScreen);
    SB_Var.TextScreen = SB_CreateBmap(w, h, 16, BMAP_VIDEOMEM, "overlay");
    SB_Var.TextScreen->Format = BMAP_RGB565;
  }
  // A picture of one pixel value 0xAARRGGBB, 24 or 32 bits.
  void Put(const std::string& name, int w, int h, uint32_t pixel, int depth = 32) {
    Picture(name, w, h, [pixel](int, int) { return pixel; }, depth);
  }
  static uint32_t At(int32_t x, int32_t y) {
    BMAP* o = SB_Var.TextScreen;
    return PixelsOf(o)[static_cast<size_t>(y * o->SizeX + x)];
  }
  static uint32_t Grey565(int v) { return static_cast<uint32_t>((v >> 3) << 11 | (v >> 2) << 5 | (v >> 3)); }
  // An opaque grey blended onto the 5-6-5 overlay, as the library blends it.
  static uint32_t Blended(int v) {
    BMAP* one = FilledBmap(1, 1, 32, {0xFF000000u | static_cast<uint32_t>(v) * 0x10101u});
    one->Format = BMAP_ARGB8888;
    BMAP* out = LS_CreateBmap(1, 1, 16, 0);
    out->Format = BMAP_RGB565;
    LS_Bitmove(one, out, 0, 0, 0, 0, 0, 0, LS_BLIT_ALPHA);
    const uint32_t pixel = PixelsOf(out)[0];
    LS_FreeBmap(one);
    LS_FreeBmap(out);
    return pixel;
  }
  SB_HOOKS saved_{};
};

constexpr const char* kWords[5] = {"FASTER", "SMOOTHER", "MORE", "ZENTROVA", "LOGO"};

// The cycle on the manual clock: each step lasts its seconds, ends only
// once they are exceeded, shows its picture centred on the cleared overlay
// (picture k is grey 40 + 40 k) or, in TRAINING, the prompt; then again.
TEST_F(RaceOverlayTest, TheAttractCycleLastsFortySecondsAndShowsEachWord) {
  for (int k = 0; k < 5; ++k) {
    const uint32_t g = static_cast<uint32_t>(40 + 40 * k);
    Put(std::string("COMDEX/") + kWords[k] + ".TGA", 100 + 20 * k, 50, g << 16 | g << 8 | g, 24);
  }
  SB_Var.NetGameMode = 4;
  SB_LoadIntroPicts();
  plat::SetManualTime(5000);
  S().step = 1;
  SB_StartIntroCycle();
  EXPECT_EQ(S().calls, std::vector<std::string>{"StartReplayRecord"});
  struct Step {
    int seconds, picture;
  };
  const Step table[] = {{10, -1}, {1, 0}, {8, -1}, {1, 1}, {6, -1}, {1, 2}, {4, -1}, {1, 3}, {2, -1}, {6, 4}, {10, -1}};
  uint32_t start = 5000;
  for (int mode : {0, 2}) {
    SB_Var.GameMode = mode;
    for (int s = 0; s < 11; ++s) {
      const Step& step = table[s];
      S().calls.clear();
      LS_FillRect(SB_Var.TextScreen, 0, 0, 639, 479, 0x1234);
      plat::SetManualTime(start + (s == 0 ? 0 : 1));
      SB_DisplayIntroPicts();
      EXPECT_EQ(SB_Var.IntroStep, s % 10) << mode << " " << s;
      if (step.picture < 0) {
        EXPECT_EQ(At(320, 240), 0x1234u) << s;
        EXPECT_EQ(S().calls, mode == 0 ? (std::vector<std::string>{"Lock", "50,400 ACCELERATE TO START", "Unlock"})
                                       : std::vector<std::string>{})
            << mode << " " << s;
      } else {
        const int w = 100 + 20 * step.picture, x = (640 - w) / 2;
        EXPECT_EQ(At(x, 215), Grey565(40 + 40 * step.picture)) << s;
        EXPECT_NE(At(x + w - 1, 264), 0u) << s;
        EXPECT_EQ(At(x - 1, 215), 0u) << s;
        EXPECT_EQ(At(x, 214), 0u) << s;
        EXPECT_TRUE(S().calls.empty()) << s;
      }
      plat::SetManualTime(start + (s == 0 ? 0 : 1) + step.seconds * 1000u);
      SB_DisplayIntroPicts();
      EXPECT_EQ(SB_Var.IntroStep, s % 10) << "still, " << s;
      start += (s == 0 ? 0 : 1) + step.seconds * 1000u;
    }
    plat::SetManualTime(start);
    SB_StartIntroCycle();
    start = SB_Var.IntroStepStart;
  }
  S().step = 4;  // outside step 1 nothing changes
  plat::SetManualTime(start + 60000);
  SB_DisplayIntroPicts();
  EXPECT_EQ(SB_Var.IntroStep, 0);
}

TEST_F(RaceOverlayTest, AttractPicturesLoadOnlyForAControlledRace) {
  LS_SetErrorMode(LS_ERRMODE_FATAL);  // as in the program: no error may be raised
  Put("COMDEX/FASTER.TGA", 20, 10, 0x808080, 24);
  WriteFile(root_ + "/COMDEX/SMOOTHER.TGA", std::string(40, '\x02'));  // truncated
  Put("COMDEX/MORE.TGA", 20, 10, 0x80808080, 32);
  Put("COMDEX/ZENTROVA.TGA", 20, 10, 0x808080, 24);
  SB_Var.NetGameMode = 2;
  SB_LoadIntroPicts();
  EXPECT_EQ(SB_Var.IntroPicts[0], nullptr);
  EXPECT_TRUE(SB_PrintedLines().empty());
  SB_Var.NetGameMode = 4;
  SB_LoadIntroPicts();
  for (int k : {0, 2, 3}) EXPECT_NE(SB_Var.IntroPicts[k], nullptr) << k;
  EXPECT_EQ(SB_Var.IntroPicts[1], nullptr);
  EXPECT_EQ(SB_Var.IntroPicts[4], nullptr);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Pict COMDEX>SMOOTHER.TGA missing", "Pict COMDEX>LOGO.TGA missing"}));
  SB_FreeIntroPicts();
  EXPECT_EQ(SB_PrintedLines(), (std::vector<std::string>{"Loading COMDEX Intro Picts", "Freeing COMDEX Intro Picts"}));
  for (BMAP* p : SB_Var.IntroPicts) EXPECT_EQ(p, nullptr);
}

// The gearbox boxes: where they stand at 640 and 800 wide, and how bright
// as the clock pulses (grey 100 boxes, the chosen one first).
TEST_F(RaceOverlayTest, TheChosenGearboxPulsesAndTheOtherIsDimmed) {
  Put("INTER/BMAPS/AUTOBOX.TGA", 60, 40, 0xFF646464);
  Put("INTER/BMAPS/MANUBOX.TGA", 60, 40, 0xFF646464);
  SB_LoadOptionPicts();
  SB_Var.OptionsFade = 3;
  S().step = 5;
  struct Row {
    int32_t width, height, automatic;
    uint32_t time;
    int32_t chosenX, otherX, y, chosen, other;
  };
  for (const Row& r : {Row{640, 480, 1, 500, 100, 430, 292, 150, 60}, Row{640, 480, 1, 1000, 100, 430, 292, 100, 60},
                       Row{640, 480, 0, 1500, 430, 100, 292, 150, 60}, Row{800, 600, 1, 2500, 125, 537, 365, 150, 60},
                       Row{800, 600, 0, 3000, 537, 125, 365, 100, 60}}) {
    Overlay(r.width, r.height);
    SB_FreeOptionPicts();
    SB_LoadOptionPicts();
    SB_Var.AutomaticGears = r.automatic;
    SB_Var.Time = r.time;
    SB_DisplayGameOptions(SB_Var.TextScreen);
    EXPECT_EQ(At(r.chosenX, r.y), Blended(r.chosen)) << r.width << " " << r.time;
    EXPECT_EQ(At(r.chosenX + 59, r.y + 39), Blended(r.chosen)) << r.width << " " << r.time;
    EXPECT_EQ(At(r.chosenX - 1, r.y), 0u) << r.width;
    EXPECT_EQ(At(r.otherX, r.y), Blended(r.other)) << r.width;
    EXPECT_EQ(At(r.otherX, r.y - 1), 0u) << r.width;
  }
}

// The banners: ACCELERA centred in step 4, CHOOSE at a quarter of the
// height in step 5, neither while the session is lost; nothing at all
// before the fade is complete.
TEST_F(RaceOverlayTest, TheBannersOfStepsFourAndFive) {
  Put("COMDEX/ACCELERA.TGA", 200, 100, 0xFFC8C8C8);
  Put("COMDEX/CHOOSE.TGA", 300, 60, 0xFF646464);
  struct Row {
    int32_t step, lost, fade;
    int32_t x, y;  // the banner's top-left, -1 none
    uint32_t grey;
  };
  for (const Row& r : {Row{4, 0, 3, 220, 190, 200}, Row{5, 0, 3, 170, 105, 100}, Row{4, 1, 3, -1, 0, 0},
                       Row{5, 1, 3, -1, 0, 0}, Row{4, 0, 2, -1, 0, 0}}) {
    SB_FreeOptionPicts();
    SB_LoadOptionPicts();
    LS_ClearBmap(SB_Var.TextScreen);
    S().step = r.step, SB_Var.SessionLost = r.lost, SB_Var.OptionsFade = r.fade;
    SB_DisplayGameOptions(SB_Var.TextScreen);
    const std::vector<uint32_t> pixels = PixelsOf(SB_Var.TextScreen);
    size_t lit = 0;
    for (uint32_t p : pixels) lit += p != 0;
    if (r.x < 0) {
      EXPECT_EQ(lit, 0u) << r.step << r.lost << r.fade;
      continue;
    }
    EXPECT_EQ(At(r.x, r.y), Blended(static_cast<int>(r.grey))) << r.step;
    EXPECT_EQ(At(r.x - 1, r.y), 0u) << r.step;
    EXPECT_EQ(At(r.x, r.y - 1), 0u) << r.step;
  }
}

TEST_F(RaceOverlayTest, BadOptionPicturesAreReportedAndMissingOnesSilent) {
  LS_SetErrorMode(LS_ERRMODE_FATAL);  // as in the program: no error may be raised
  Put("INTER/BMAPS/AUTOBOX.TGA", 60, 40, 0x646464, 24);
  WriteFile(root_ + "/COMDEX/CHOOSE.TGA", std::string(30, '\x02'));
  Put("COMDEX/ACCELERA.TGA", 20, 20, 0xFF646464);
  SB_LoadOptionPicts();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Missing INTER>BMAPS>AUTOBOX.TGA", "Missing COMDEX>CHOOSE.TGA"}));
  EXPECT_NE(SB_Var.OptionPicts[2], nullptr);
  BMAP* loaded = SB_Var.OptionPicts[2];
  SB_LoadOptionPicts();  // loaded slots stay as they are
  EXPECT_EQ(SB_Var.OptionPicts[2], loaded);
  SB_Var.OptionsFade = 3;
  S().step = 5;
  SB_DisplayGameOptions(SB_Var.TextScreen);  // the missing boxes: nothing drawn, no crash
}

// On the accelerator the start steps darken one more frame at a time up to
// 3, with the tint; elsewhere the fade is 0 at once.
TEST_F(RaceOverlayTest, TheStartStepsDarkenOnlyOnTheAccelerator) {
  struct Row {
    int32_t renderer, step, mode;
    std::vector<int32_t> fades;
  };
  for (const Row& r : {Row{SB_RENDERER_PVR, 4, 0, {1, 2, 3, 3}}, Row{SB_RENDERER_PVR, 5, 2, {1, 2, 3}},
                       Row{SB_RENDERER_PVR, 0, 0, {1, 2}}, Row{SB_RENDERER_PVR, 0, 7, {0}},
                       Row{SB_RENDERER_PVR, 6, 0, {0}}, Row{1, 4, 0, {0}}}) {
    SB_Var.Renderer = r.renderer, S().step = r.step, SB_Var.GameMode = r.mode;
    SB_Var.OptionsFade = 2 * (r.fades[0] == 0);
    SB_Var.LightTint[0] = SB_Var.LightTint[2] = 1.0f;
    for (int32_t fade : r.fades) {
      SB_UpdateOptionsFade();
      EXPECT_EQ(SB_Var.OptionsFade, fade) << r.renderer << " " << r.step << " " << r.mode;
    }
    const bool tinted = r.fades[0] != 0;
    EXPECT_FLOAT_EQ(SB_Var.LightTint[0], tinted ? 0.5f : 1.0f) << r.step;
    EXPECT_FLOAT_EQ(SB_Var.LightTint[2], tinted ? 0.75f : 1.0f) << r.step;
  }
}

TEST_F(RaceOverlayTest, PracticeModeRestartsTheRaceInTheCar) {
  SB_Var.CameraMode = 1;
  SB_EnterPracticeMode();
  EXPECT_EQ(S().calls, (std::vector<std::string>{"SetGameMode 0", "StopReplayRecord"}));
  EXPECT_EQ(SB_Var.CameraMode, 2);
}

}  // namespace
}  // namespace ztest
