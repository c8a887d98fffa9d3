// The race frame: its order, the pipelined views and the render paths,
// automatic detail, the cars, background objects and nearby cars it
// draws, and the screenshot.
#include "race/raceframe.h"

#include <gtest/gtest.h>

#include "engine3d/object.h"
#include "engine3d/videotable.h"
#include "platform/window.h"
#include "race/raceloop.h"
#include "racescene/racecamera.h"
#include "scenery/effects.h"
#include "shell/owner.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/race/race_fixture.h"

namespace {

using Trace = ztest::Lines;

class RaceFrameTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    MakeRaceScreen();
    for (TSOFTSCENE* view : SB_Var.UserView) view->NbPolygons = 1;
  }
  static Trace Rendering() {
    Trace out;
    for (const std::string& t : ztest::Traced())
      if (t.rfind("POWER_BeginFrame", 0) == 0 || t.rfind("RenderFrame", 0) == 0 || t == "POWER_WaitRenderDone")
        out.push_back(t);
    return out;
  }
};

TEST_F(RaceFrameTest, RunsItsStepsInOrder) {
  MakeCars(2);
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_RaceFrame();
  const Trace expected = {
      "SB_SnapshotControls", "SB_RefreshCarSetups", "POWER_BeginFrame v1", "RenderFrame v1", "SB_UpdateCars",
      "SB_AnimateDecorObjects", "SB_MoveFumee", "SB_AnimateExplosions", "SB_UpdateRaceCamera",
      "SB_UpdateCarSounds", "SB_UpdateLensFlare", "SB_UpdateSunGlare", "SB_UpdateDayNight",
      "SB_UpdateCameraZoneFactor", "SB_SetView v0", "RenderMap v0", "SB_DrawObject 1 1 ffffff",
      "SB_DrawObject 0 1 ffffff", "SB_DrawDecorObjects v0", "Shadow 0", "Beam 0", "Shadow 1", "Beam 1",
      "SB_DrawFumee v0", "SB_DrawFireAndExplosions v0", "SB_ResetPageAnims v0", "POWER_ClipViewPolygons v0",
      "POWER_WaitRenderDone", "SB_SendCarState 0", "SB_CommitCarSounds", "POWER_DrawPolygonOutlines null",
      "SB_InspectPolygons null", "SB_DrawPhysicsMeters"};
  EXPECT_EQ(ztest::Traced(), expected);
  // The views swap: the first frame's second view is the second user view.
  EXPECT_EQ(ztest::ViewName(SB_Var.PreviousView), "v0");
  EXPECT_EQ(ztest::ViewName(SB_Var.CurrentView), "v1");
  ztest::Session().trace.clear();
  SB_Var.Renderer = 0;  // the software renderer selects and draws its backdrop
  SB_RaceFrame();
  EXPECT_EQ(ztest::TracedWith("SB_SelectBackground").size(), 1u);
  EXPECT_EQ(ztest::TracedWith("SB_DrawBackground").size(), 1u);
  EXPECT_EQ(ztest::TracedWith("SB_InspectPolygons"), Trace{"SB_InspectPolygons v0"});
  EXPECT_EQ(ztest::ViewName(SB_Var.CurrentView), "v0");
}

TEST_F(RaceFrameTest, OnlyTheFastPathPipelinesTheViews) {
  struct Case {
    int32_t noRender, renderer, debug, slowRender, polygons;
    bool fast;
    Trace rendering;
  };
  const Trace pipelined = {"POWER_BeginFrame v1", "RenderFrame v1", "POWER_WaitRenderDone"};
  const Trace direct = {"POWER_BeginFrame v0", "RenderFrame v0", "POWER_WaitRenderDone"};
  const Case cases[] = {
      {0, SB_RENDERER_PVR, 0, 0, 1, true, pipelined},
      {1, SB_RENDERER_PVR, 0, 0, 1, false, {}},
      {0, SB_RENDERER_PVR, 0, 1, 1, false, direct},
      {0, SB_RENDERER_PVR, 1, 0, 1, false, direct},
      {0, 0, 0, 0, 1, false, {"RenderFrame v0"}},
      {1, 0, 0, 0, 1, false, {}},
      {0, SB_RENDERER_PVR, 0, 0, 0, true, {"RenderFrame v1", "POWER_WaitRenderDone"}},  // empty: not begun
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.noRender << c.renderer << c.debug << c.slowRender << c.polygons);
    ztest::Session().trace.clear();
    SB_Var.PreviousView = nullptr;
    SB_Var.CurrentView = SB_Var.UserView[0];
    SB_Var.UserView[1]->NbPolygons = c.polygons;
    SB_Var.NoRender = c.noRender;
    SB_Var.Renderer = c.renderer;
    LSI_Var.Debug = static_cast<uint32_t>(c.debug);
    SB_Var.SlowRender = c.slowRender;
    SB_RaceFrame();
    EXPECT_EQ(Rendering(), c.rendering);
    EXPECT_EQ(SB_IsFastRenderPath(), c.fast);
  }
}

TEST_F(RaceFrameTest, AutomaticDetailFollowsTheFrameTime) {
  struct Case {
    int32_t autoDetail, frameTime, far, draw, farAfter, drawAfter;
  };
  const Case cases[] = {
      {1, 60, 28800, 225, 28800, 225}, {1, 63, 28800, 225, 27840, 219}, {1, 40, 28800, 225, 29760, 231},
      {1, 63, 14400, 150, 14400, 150}, {1, 10, 38400, 300, 38400, 300}, {1, 59, 28800, 225, 28800, 225},
      {0, 63, 28800, 225, 28800, 225},
  };
  for (const Case& c : cases) {
    SB_Var.AutoDetail = c.autoDetail;
    SB_Var.FrameTime = c.frameTime;
    SB_Var.FarDistance = c.far;
    SB_Var.DrawDistance = c.draw;
    SB_AutoDetail();
    EXPECT_EQ(SB_Var.FarDistance, c.farAfter) << c.frameTime;
    EXPECT_EQ(SB_Var.DrawDistance, c.drawAfter) << c.frameTime;
    EXPECT_EQ(SB_Var.DetailDistance, c.drawAfter * 320);
    EXPECT_EQ(SB_Var.DetailDistance2, 9600);
  }
}

TEST_F(RaceFrameTest, NearCarsAreTakenNearestFirstWithinTheDrawDistance) {
  MakeCars(5);
  SB_Var.DrawDistance = 150;
  const double x[5] = {100.0, 150.0, 151.0, 30.0, 100.0};  // car 1 exactly at the distance
  for (int32_t i = 0; i < 5; ++i) cars_[i].Position[0] = x[i] + 1.0;
  SB_Var.Camera.PosX = 1.0;
  cars_[3].TexturesReady = 0;  // not in the game
  SB_DrawNearCarsPvr(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_TRUE(ztest::Traced().empty());  // the accelerator only
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_DrawNearCarsPvr(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_EQ(ztest::Traced(), (Trace{"Shadow 0", "Beam 0", "Shadow 4", "Beam 4", "Shadow 1", "Beam 1"}));
}

TEST_F(RaceFrameTest, CarsAreDrawnOthersFirstInTheirColour) {
  MakeCars(4);
  SB_Var.DrivenCar = 1;
  SB_Var.ReplayCar = 2;
  cars_[3].Highlight = 1;
  SB_Var.CameraMode = 1;
  // The game's reset light is white: the cars show their paint.
  SB_DrawCars(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_EQ(ztest::Traced().front(), "SB_DrawObject 0 1 ffffff");
  ztest::Session().trace.clear();
  SB_Var.LightColor = 0x123456;
  SB_DrawCars(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_EQ(ztest::Traced(), (Trace{"SB_DrawObject 0 1 123456", "SB_DrawObject 3 1 ffffff",
                                    "SB_DrawObject 1 1 123456", "SB_DrawObject 2 1 123456"}));
  ztest::Session().trace.clear();
  SB_Var.CameraMode = 2;  // inside the car
  SB_DrawCars(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_EQ(ztest::Traced(), (Trace{"SB_DrawObject 0 1 123456", "SB_DrawObject 3 1 ffffff"}));
  ztest::Session().trace.clear();
  SB_Var.UsingCars = 0;
  SB_DrawCars(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_TRUE(ztest::Traced().empty());
}

TEST_F(RaceFrameTest, BackgroundObjectsArePlacedAt60800TimesTheirPosition) {
  OBJECT parts[2]{};
  parts[0].Next = &parts[1];
  for (int32_t k = 0; k < 9; ++k) parts[1].Orientation[k] = k * 0.5f;
  SB_Var.BackObcs[0] = {nullptr, nullptr, 9.0f, 9.0f, 9.0f, {}};
  SB_Var.BackObcs[1] = {nullptr, parts, 1.0f, -0.5f, 2.0f, {}};
  SB_Var.NbBackObcs = 2;
  SB_DrawBackObcs(&SB_Var.Camera, SB_Var.CurrentView);
  EXPECT_EQ(ztest::Traced(), Trace{"SB_DrawObjectDirect"});
  for (const OBJECT& part : parts) {
    EXPECT_EQ(part.Position[0], 60800.0f);
    EXPECT_EQ(part.Position[1], -30400.0f);
    EXPECT_EQ(part.Position[2], 121600.0f);
  }
  EXPECT_EQ(parts[1].Orientation[8], 4.0f);  // the axes given at set-up stay
  SB_Var.NbBackObcs = 0;
}

// Screenshots ---------------------------------------------------------------

class ScreenShotTest : public RaceFrameTest {
 protected:
  void SetUp() override {
    RaceFrameTest::SetUp();
    overlay_ = SB_CreateBmap(64, 32, 8, 0, "overlay");
    LS_ClearBmap(overlay_);
    LS_PutPixel8(overlay_, 3, 2, 5);
    palette_.Entry[5] = {63, 0, 0};
    SB_Var.Pal3d = &palette_;
    plat::SetKeyState(83, true);
    plat::SetKeyState(18, true);
    g_pumps = plat::PumpCount();
    plat::SetMessageSource(ReleaseKeys);
    LS_SetInputMode(1);  // as in a race: key tests do not pump
    LSI_Var.Master = 0;
  }
  void TearDown() override {
    plat::SetMessageSource(nullptr);
    SB_Var.Pal3d = nullptr;
    SB_FreeBmap(overlay_);
    RaceFrameTest::TearDown();
  }
  // S is released at the first pump.
  static inline uint64_t g_pumps = 0;
  static void ReleaseKeys() {
    if (plat::PumpCount() > g_pumps) plat::SetKeyState(83, false);
  }
  BMAP* overlay_ = nullptr;
  PALETTE palette_{};
};

TEST_F(ScreenShotTest, WritesTheNextFreeNumberIn24BitsThroughThe3dPalette) {
  ztest::WriteFile(root_ + "/screen1.tga", "x");
  ztest::WriteFile(root_ + "/SCREEN2.TGA", "x");
  const int32_t bitmaps = SB_Var.NbBmapOwners;
  SB_ScreenShot(overlay_);
  EXPECT_EQ(plat::BeepCount(), 2);
  EXPECT_EQ(SB_Var.NbBmapOwners, bitmaps);  // "Screen shots" freed
  const std::string tga = ztest::ReadFile(root_ + "/SCREEN3.TGA");
  ASSERT_EQ(tga.size(), 18u + 64 * 32 * 3);
  const auto* t = reinterpret_cast<const uint8_t*>(tga.data());
  EXPECT_EQ(t[2], 2);  // true colour
  EXPECT_EQ(t[12] | t[13] << 8, 64);
  EXPECT_EQ(t[14] | t[15] << 8, 32);
  EXPECT_EQ(t[16], 24);
  const uint8_t* pixel = t + 18 + (2 * 64 + 3) * 3;  // blue, green, red
  EXPECT_EQ(pixel[0], 0);
  EXPECT_GE(pixel[2], 252);
  EXPECT_EQ(overlay_->Palette, nullptr);  // its own palette back
}

TEST_F(ScreenShotTest, NeedsBothKeysAndNoMasterMode) {
  LSI_Var.Master = 1;
  SB_ScreenShot(overlay_);
  LSI_Var.Master = 0;
  plat::SetKeyState(18, false);
  SB_ScreenShot(overlay_);
  EXPECT_EQ(plat::BeepCount(), 0);
  EXPECT_FALSE(ztest::FileExists(root_ + "/SCREEN1.TGA"));
}

TEST_F(ScreenShotTest, TheRaceShotIsWrittenOnceTheFramesOverlayIsComposed) {
  BMAP* race = SB_Var.TextScreen;
  SB_Var.TextScreen = overlay_;
  SB_RaceScreenShot();  // the frame's step: the keys are read, nothing written yet
  EXPECT_EQ(plat::BeepCount(), 1);
  EXPECT_FALSE(ztest::FileExists(root_ + "/SCREEN1.TGA"));
  LS_PutPixel8(overlay_, 7, 1, 5);  // drawn later in the frame, as the developer report is
  SB_TakeRaceScreenShot();
  SB_TakeRaceScreenShot();  // one shot per press
  EXPECT_EQ(plat::BeepCount(), 2);
  // Found under the name the README gives, matched by case.
  const std::string tga = ztest::ReadFile(root_ + "/SCREEN1.TGA");
  EXPECT_NE(ztest::ReadFile(ZENTROVA_SOURCE_DIR "/README.md").find("\"SCREEN1.TGA\", \"SCREEN2.TGA\"..."),
            std::string::npos);
  ASSERT_EQ(tga.size(), 18u + 64 * 32 * 3);
  EXPECT_GE(static_cast<uint8_t>(tga[18 + (1 * 64 + 7) * 3 + 2]), 252);
  EXPECT_FALSE(ztest::FileExists(root_ + "/SCREEN2.TGA"));
  // Without the keys no shot becomes due.
  SB_RaceScreenShot();
  SB_TakeRaceScreenShot();
  EXPECT_FALSE(ztest::FileExists(root_ + "/SCREEN2.TGA"));
  SB_Var.TextScreen = race;
}

TEST_F(ScreenShotTest, EachModesFrameEndsWithTheShotOfItsOverlay) {
  int32_t shots = 0;
  for (int32_t mode : {SB_DEBUG_GAME, SB_DEBUG_VPARAMS, SB_DEBUG_DECOREDITOR, SB_DEBUG_SCENEEDITOR}) {
    SCOPED_TRACE(mode);
    plat::SetKeyState(83, true);
    plat::SetKeyState(18, true);
    g_pumps = plat::PumpCount();
    SB_Var.DebugMode = mode;
    SB_DoFrame();
    const std::string name = root_ + "/SCREEN" + std::to_string(++shots) + ".TGA";
    EXPECT_EQ(ztest::ReadFile(name).size(), 18u + 640 * 480 * 3);
  }
}

TEST_F(ScreenShotTest, AFolderThatCannotBeWrittenIsReportedAndTheRaceGoesOn) {
  SetDrives({{'C', plat::DriveType::Fixed, "", root_ + "/missing"}});
  LS_SetErrorMode(LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::ExitCodeOf([&] { SB_ScreenShot(overlay_); }), -999);
  EXPECT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  EXPECT_EQ(ztest::Traced(), Trace{"\"Screen shot screen1.tga not written !!!\""});
  EXPECT_EQ(SB_Var.NbBmapOwners, 2);  // the overlay and the test's bitmap only
}

}  // namespace
