// The race session: the set-up and tear-down in their logged order, the
// ways a race fails, and the play statistics.
#include "race/session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "console/networds.h"
#include "engine3d/videotable.h"
#include "net/net.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "race/raceloop.h"
#include "racescene/mapinfo.h"
#include "shell/console.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "tests/race/race_fixture.h"

namespace {

using Trace = ztest::Lines;

class RaceSessionTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    StartDisplay();
    SB_Var.HeapSize = 8 << 20;
    std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>RACE.DEC");
    std::snprintf(SB_Var.AsciiMapFile, sizeof SB_Var.AsciiMapFile, "ASC>RACE.ASC");
    ztest::WriteFile(root_ + "/DEC/RACE.DEC", "");
    ztest::WriteFile(root_ + "/ASC/RACE.ASC", "");
    SB_Var.DevEnvPal = LS_AllocPalette();
    SB_Var.DevEnvPal->Entry[1] = {1, 2, 3};
    Baseline();
    AtFrame(0, SB_QuitRace);
  }
  void TearDown() override {
    LS_FreePalette(SB_Var.DevEnvPal);
    SessionTest::TearDown();
  }
  // The trace from the first entry equal to `from` to the end.
  static Trace From(const std::string& from) {
    const Trace& t = ztest::Traced();
    return Trace(std::find(t.begin(), t.end(), from), t.end());
  }
  static Trace Before(const std::string& until) {
    const Trace& t = ztest::Traced();
    return Trace(t.begin(), std::find(t.begin(), t.end(), until));
  }
  std::string MemoryLine() const {
    return "\"Memory used in game: " + std::to_string(SB_Var.GameMemoryUsed >> 10) + "kb\"";
  }
};

TEST_F(RaceSessionTest, SetsUpAndTearsDownInItsLoggedOrder) {
  MakeCars(2);
  SB_Var.EditorMode = 1;
  SB_Var.RaceDuration = SB_Var.MaxPolygons = 77;  // an earlier race's figures
  EXPECT_EQ(SB_PlayRace(), 1);
  const Trace setUp = {
      "SB_ReadSettings", "SB_SetControlMap", "SB_LoadMapInfo", "SB_PrintPlayerOrder", "SB_FindDrivenCar",
      "SB_AssignCarSetups", "\"Duplicating user cars...\"", "SB_LoadCars 1", "SB_StartRace",
      "\"Loading decor map data...\"", "SB_LoadMap", "\"Loading palette...\"", "SB_CheckFacePoints", "SB_LoadBackgrounds",
      "\"Initializing game data...\"", "\"SB_EvolutionPrepare...\"", "SB_EvolutionPrepare", "BuildListXZYPoly",
      "BuildXZYList", "\"TransBackObc...\"", "TransBackObc", "\"SB_RemapDecorObjects...\"",
      "SB_RemapDecorObjects", "\"SB_InitPanel...\"", "SB_InitPanel", "\"SB_RemapPanel...\"", "SB_RemapPanel",
      "\"SB_InitFonts...\"", "\"SB_LoadCounters...\"", "\"SB_PreInitTimeExtends...\"", "\"POWER_InitShadow...\"",
      "POWER_InitShadow", "\"POWER_InitPhare...\"", "POWER_InitPhare", "\"SB_Remap Cars...\"",
      "NET_SetControllerStatus 5", "SB_RegenerateChangedCarTextures", "\"SB_InitWindShield...\"",
      "SB_InitWindShield", "\"SB_InitFumeeBmapGame...\"", "SB_InitFumeeBmapGame", "\"SB_InitCielBmapGame...\"",
      "SB_InitCielBmapGame", "\"SB_InitLensFlare...\"", "SB_InitLensFlare", "\"SB_InitExplosionBmapGame...\"",
      "SB_InitExplosionBmapGame", "\"SB_InitRoadLights...\"", "SB_InitRoadLights", "\"\"",
      "SB_ScaleCarsTextureCoords 1", "SB_DoubleCarsTextureCoords 0",
      "\"Memory used for GAPS :24 Bytes\"",  // two cars, one checkpoint, the 3 laps of a file without counts
      "POWER_LoadHudTextures",
      "POWER_LoadScarsTexture", "SB_LoadOptionPicts", "\"Total loading time: 0s\"", MemoryLine(), "\"\"",
      // The video mode, then the race's start.
      "SB_Create3dScreen 640x480x16", "SB_RemapPanel", "SB_RemapScratch", "SB_Edit", "SB_InitDecorEditor", "SB_RaceTeardown", "SB_StartCdMusic"};
  EXPECT_THAT(Before("SB_SetLightTint 1"), testing::ElementsAreArray(setUp));
  const Trace tearDown = {
      "SB_FreeSceneEditor", "SB_StopCdMusic", "SB_FreeDecorEditor", "SB_FreeEdit", "POWER_FreeScarsTexture",
      "POWER_FreeHudTextures", "SB_DoubleCarsTextureCoords 1", "SB_ScaleCarsTextureCoords 0",
      "\"SB_EndRoadLights...\"", "SB_EndRoadLights", "\"SB_FreeObjectsExtraTextures...\"",
      "SB_FreeObjectsExtraTextures", "\"SB_FreeCarsExtraTextures...\"", "SB_FreeCarPvrTextures",
      "\"POWER_ClosePhare...\"", "POWER_ClosePhare", "\"POWER_CloseShadow...\"", "POWER_CloseShadow",
      "\"SB_FreeExplosionBmapGame...\"", "SB_FreeExplosionBmapGame", "\"SB_DisposeLensFlare...\"",
      "SB_DisposeLensFlare", "\"SB_FreeFumeeBmapGame...\"", "SB_FreeFumeeBmapGame", "\"SB_FreeCielBmapGame...\"",
      "SB_FreeCielBmapGame", "\"SB_FreeCounters...\"", "\"SB_DisposeFonts...\"", "\"DisposeBackObc...\"",
      "DisposeBackObc", "\"SB_DisposeWindShield...\"", "SB_DisposeWindShield", "\"SB_DisposePanel...\"",
      "SB_DisposePanel", "\"SB_UnInit3dData...\"", "\"DisposeListXZY...\"", "SB_FreeXZYList",
      "SB_FreeListXZYPoly", "SB_FreeMenuItemTexts", "SB_FreeBackgrounds", "SB_StopCarSounds",
      "\"  Maximum polygons..: 0\"", "\"  Maximum vertices..: 0\"", "\"DisposeVehicles...\"", "SB_FreeCars"};
  EXPECT_THAT(From("SB_FreeSceneEditor"), testing::ElementsAreArray(tearDown));
  EXPECT_EQ(SB_Var.RaceFrames, 1);
  const plat::DisplayMode mode = plat::GetDisplayMode();
  EXPECT_EQ(mode.width * 10000 + mode.height * 10 + static_cast<int32_t>(mode.format.bitsPerPixel) / 8,
            640 * 10000 + 480 * 10 + 2);
  EXPECT_EQ(LS_Var.Palette.Entry[1].Blue, 3);
  ExpectNothingLeft();
}

// What the race did once the cars were made, up to its end.
Trace AfterCars() {
  const Trace& t = ztest::Traced();
  return Trace(std::find(t.begin(), t.end(), "SB_StartRace") + 1, t.end());
}

const Trace kCarsFreed = {"SB_StopCarSounds", "\"DisposeVehicles...\"", "SB_FreeCars"};

TEST_F(RaceSessionTest, MissingCircuitInformationLoadsNothingWhenCarsAreUsed) {
  MakeCars(1);
  ztest::Session().mapInfo = 0;
  EXPECT_EQ(SB_PlayRace(), 0);
  EXPECT_EQ(ztest::Traced(), (Trace{"SB_ReadSettings", "SB_SetControlMap", "SB_LoadMapInfo",
                                    "\"No circuit config file create it or play with [USINGCARS 0] !!!\""}));
}

TEST_F(RaceSessionTest, AMissingOrUnloadableMapFreesTheCars) {
  struct Case {
    int32_t buildMap;
    const char* missing;  // the map file, or null when it loads and fails
    Trace trace;
  };
  const Case cases[] = {
      {0, "DEC/RACE.DEC", {"\"File error... decor map DEC>RACE.DEC not found\""}},
      {1, "ASC/RACE.ASC", {"\"File error... ascii map ASC>RACE.ASC not found\""}},
      {1, nullptr, {"SB_FreeDecor", "\"Loading ascii map data...\"", "SB_LoadMap"}},
  };
  ztest::Session().loadMap = 0;
  for (const Case& c : cases) {
    ztest::Session().trace.clear();
    SB_Var.BuildMap = c.buildMap;
    if (c.missing) std::remove((root_ + "/" + c.missing).c_str());
    EXPECT_EQ(SB_PlayRace(), 0);
    Trace expected = c.trace;
    expected.insert(expected.end(), kCarsFreed.begin(), kCarsFreed.end());
    EXPECT_EQ(AfterCars(), expected) << c.buildMap;
    ztest::WriteFile(root_ + "/" + (c.missing ? c.missing : ""), "");
  }
  ExpectNothingLeft();
}

TEST_F(RaceSessionTest, AFailedVideoModeSkipsTheRaceButTearsDownFully) {
  SB_Var.RaceDuration = 5000;  // an earlier race's length
  ztest::Session().overlayFails = true;
  EXPECT_EQ(SB_PlayRace(), 1);
  const Trace t = ztest::Traced();
  const auto at = [&](const std::string& e) { return std::find(t.begin(), t.end(), e) - t.begin(); };
  EXPECT_LT(at("\"Not enough video ram !!!\""), at("POWER_FreeScarsTexture"));
  for (const char* skipped : {"SB_RaceTeardown", "SB_StartCdMusic", "SB_SnapshotControls", "SB_FreeSceneEditor"})
    EXPECT_EQ(at(skipped), static_cast<long>(t.size())) << skipped;
  EXPECT_TRUE(ztest::TracedWith("\"You've").empty());
  EXPECT_EQ(From("\"  Maximum polygons..: 0\"").size(), 4u);
  EXPECT_EQ(plat::GetDisplayMode().width, 640);
  EXPECT_EQ(LS_Var.Palette.Entry[1].Blue, 3);
  ExpectNothingLeft();
}

TEST_F(RaceSessionTest, AFailedNetworkGateSkipsTheLoop) {
  MakeCars(1);
  SB_Var.XState = XSTATE_CONNECTED;
  SB_Var.NetConnected = 1;
  ztest::Session().controllerAnswer = 0;
  EXPECT_EQ(SB_PlayRace(), 1);
  EXPECT_EQ(ztest::TracedWith("NET_SetControllerStatus"),
            (Trace{"NET_SetControllerStatus 5", "NET_SetControllerStatus 6"}));
  EXPECT_EQ(ztest::TracedWith("\"Network error unable to enter main loop...\"").size(), 1u);
  EXPECT_TRUE(ztest::TracedWith("SB_SnapshotControls").empty());
  EXPECT_EQ(ztest::TracedWith("SB_FreeCars").size(), 1u);
}

TEST_F(RaceSessionTest, PrintsThePlayTimeAndFrameRatesOfARaceOverASecond) {
  const Trace maxima = {"\"  Maximum polygons..: 0\"", "\"  Maximum vertices..: 0\""};
  const struct {
    int32_t frames;
    int32_t perMillisecond;  // frames a millisecond, or 0 for frames of 20 ms
    Trace played, lines;
  } cases[] = {{150, 0,  // the clock read at the start of each frame: 2980 ms, 50.3 frames a second
                {"\"You've been playing.: 2s,\""},
                {"\"  Medium frame rate.: 50f/s\"", "\"  Maximum frame rate: 50f/s\"", maxima[0], maxima[1]}},
               {10, 0, {}, maxima},
               // Quicker than the clock: 1001 ms of three frames each, the
               // race's first update timing no frame, and one more frame the
               // clock had not yet seen take any time.
               {3005, 3,
                {"\"You've been playing.: 1s,\""},
                {"\"  Medium frame rate.: 3000f/s\"", "\"  Maximum frame rate: 3000f/s\"", maxima[0], maxima[1]}}};
  for (const auto& c : cases) {
    ztest::Session().trace.clear();
    frames_ = 0;
    SB_Var.Time = plat::TickMs() - 20000;  // last read 20 s before, at the console
    ztest::Session().onFrame = [this, &c] {
      ++frames_;
      if (!c.perMillisecond)
        plat::AdvanceManualTime(20);
      else if (frames_ % c.perMillisecond == 0)
        plat::AdvanceManualTime(1);
      if (frames_ == c.frames) SB_QuitRace();
    };
    SB_PlayRace();
    EXPECT_EQ(SB_Var.RaceFrames, c.frames);
    EXPECT_EQ(ztest::TracedWith("\"You've"), c.played) << c.frames;
    EXPECT_EQ(ztest::TracedWith("\" "), c.lines) << c.frames;
  }
}

int32_t Word(const char* keyword) { return SB_NetConsoleCommand("", "", "", "", "", keyword); }

TEST_F(RaceSessionTest, PlayRacesWithTheRequestedRendererWhenItDrawsTheMode) {
  SB_Var.RequestedRenderer = 1;  // PERSPECTIVE: 8-bit modes only
  EXPECT_EQ(Word("PLAY"), 0);
  EXPECT_EQ(Word("WATCH"), 0);
  SB_Var.RequestedRenderer = SB_RENDERER_PVR;
  EXPECT_EQ(Word("WATCH"), 0);  // no network to watch: the interpreter adds its syntax error
  int32_t during = -1;
  AtFrame(0, [&] {
    during = SB_Var.Renderer;
    SB_QuitRace();
  });
  EXPECT_EQ(Word("PLAY"), 1);
  EXPECT_EQ(during, SB_RENDERER_PVR);
  EXPECT_EQ(SB_Var.Renderer, 0);
  // The accelerated race's set-up turns the car-position inset on before
  // it loads the inset's texture; the other races leave it off.
  EXPECT_EQ(ztest::TracedWith("POWER_LoadScarsTexture"), (Trace{"POWER_LoadScarsTexture inset on"}));
  const Trace lines = ztest::TracedWith("\"V");
  EXPECT_EQ(lines, (Trace{"\"Videomode (16bits) not supported by [PERSPECTIVE]!!!\"",
                          "\"Videomode (16bits) not supported by [PERSPECTIVE]!!!\""}));
  EXPECT_EQ(ztest::TracedWith("\"Watch failed : no network !\"").size(), 1u);
  EXPECT_EQ(ztest::TracedWith("SB_ReadSettings").size(), 1u);
}

// RACEMODE sets the kind of race by name, DEMO although its usage text
// leaves it out; without a word it is not known.
TEST_F(RaceSessionTest, RaceModeSetsTheKindOfRaceByName) {
  struct Row {
    const char* word;
    int32_t result, mode;
  };
  const Row rows[] = {{"DEMO", 1, 7},       {"TRAINING", 1, 0}, {"OFFLINE", 1, 5},
                      {"STANDALONE", 1, 6}, {"RACE", 0, 6},     {"", 0, 6}};
  for (const Row& r : rows) {
    EXPECT_EQ(SB_NetConsoleCommand(r.word, "", "", "", "", "RACEMODE"), r.result) << r.word;
    EXPECT_EQ(SB_Var.GameMode, r.mode) << r.word;
  }
  EXPECT_EQ(ztest::TracedWith("\"USAGE"), (Trace{"\"USAGE: RACEMODE TRAINING | OFFLINE | STANDALONE\""}));
}

}  // namespace
