// The HUD each frame: the message slots and the notices of players, when
// nothing is drawn, the element masks of the modes, where each element
// goes, the start phases, the overlay's lock and the scales.
#include <gtest/gtest.h>

#include <string>

#include "net/netplayer.h"
#include "race/racerules.h"
#include "race/sequencer.h"
#include "tests/race/rules/hud_fixture.h"
#include "tests/race/rules/hud_scene.h"

namespace {

class HudDrawTest : public ztest::HudTest {
 protected:
  // Every element of a MULTIRACE under way, driven car placed 2 of 3.
  void RaceUnderWay() {
    StartRace(SB_MULTIRACE, 3, SB_STEP_RACING);
    MakeSession(3, XSTATE_PLAYING);
    ztest::Fakes().names = {{101, "ANNA"}, {102, "BOB"}};
    SetHudSceneUnderWay(Car(0));
  }
};

TEST_F(HudDrawTest, MessagesStackUpLastSixSecondsAndTheFourthDropsTheOldest) {
  StartRace(SB_TRAINING, 1, 0);
  SB_Var.Time = 1000;
  SB_HudMessage("ONE %d", 1);
  SB_HudMessage("TWO");
  SB_HudMessage("THREE");
  EXPECT_EQ(SB_HudMessages[0].Expiry, 7000);
  SB_DrawHud();
  ASSERT_EQ(Texts().size(), 3u);  // TRAINING draws messages only
  ExpectAt("*1ONE 1", 4, 352);
  ExpectAt("*1TWO", 4, 378);
  ExpectAt("*1THREE", 4, 404);
  SB_Var.Time = 2000;
  SB_HudMessage("FOUR");
  ClearTexts();
  SB_DrawHud();
  ASSERT_EQ(Texts().size(), 3u);
  EXPECT_EQ(Texts()[0].text, "*1TWO");
  ExpectAt("*1FOUR", 4, 404);
  EXPECT_EQ(Texts()[2].text, "*1FOUR");  // drawn last
  // Expired slots are drawn once more, then freed; free slots keep their places.
  SB_Var.Time = 7001;
  ClearTexts();
  SB_DrawHud();
  EXPECT_EQ(Texts().size(), 3u);
  SB_Var.Time = 7002;
  ClearTexts();
  SB_DrawHud();
  ASSERT_EQ(Texts().size(), 1u);
  ExpectAt("*1FOUR", 4, 404 + 52);
  SB_Var.Time = 8001;
  SB_DrawHud();
  ClearTexts();
  SB_DrawHud();
  EXPECT_TRUE(Texts().empty());
}

TEST_F(HudDrawTest, PlayerNoticesBlink) {
  StartRace(SB_RACE, 3, SB_STEP_RACING);
  MakeSession(3, XSTATE_PLAYING);
  CTRL_PLAYER p = SB_Var.NetPlayers[1];
  p.XState = XSTATE_CONNECTED;
  SB_NetPlayerMessage(&p, "BOB");
  EXPECT_STREQ(SB_HudMessages[0].Text, "*1Player BOB has left the game...");
  EXPECT_EQ(SB_HudMessages[0].Blink, 1);
  p.XState = XSTATE_WAIT4READY;
  SB_NetPlayerMessage(&p, nullptr);
  EXPECT_STREQ(SB_HudMessages[1].Text, "*1Player Unknown has arrived...");
  p.InUse = 0;
  SB_NetPlayerMessage(&p, "BOB");
  EXPECT_STREQ(SB_HudMessages[2].Text, "*1Player BOB is history...");
  // Another state takes a slot and frees it again; the local player, other
  // modes and no session give nothing.
  p.InUse = 1;
  p.XState = XSTATE_PLAYING;
  SB_NetPlayerMessage(&p, "BOB");
  EXPECT_EQ(SB_HudMessages[2].Expiry, 0);
  SB_ClearHudMessages();
  SB_NetPlayerMessage(&SB_Var.NetPlayers[0], "ME");
  SB_Var.GameMode = SB_MULTIRACE;
  SB_NetPlayerMessage(&p, "BOB");
  SB_Var.GameMode = SB_CONTROLLEDRACE;
  SB_HudMessage("NOT HERE");
  SB_Var.GameMode = SB_FREERACE;
  SB_Var.NetConnected = 0;
  SB_NetPlayerMessage(&p, "BOB");
  for (const THUDMESSAGE& m : SB_HudMessages) EXPECT_EQ(m.Expiry, 0);
  // A blinking slot hides in the even 300 ms phases.
  SB_Var.NetConnected = 1;
  p.XState = XSTATE_CONNECTED;
  SB_NetPlayerMessage(&p, "BOB");
  SB_Var.Time = 1200;
  SB_DrawHud();
  EXPECT_EQ(Find("*1Player BOB has left the game..."), nullptr);
  SB_Var.Time = 1500;
  SB_DrawHud();
  EXPECT_NE(Find("*1Player BOB has left the game..."), nullptr);
}

TEST_F(HudDrawTest, NothingWithoutAViewCameraOrCarsAndNothingInDemo) {
  StartRace(SB_RACE, 3, SB_STEP_RACING);
  SB_HudMessage("HELLO");
  const struct {
    const char* what;
    void (*spoil)();
  } cases[] = {
      {"no previous view", [] { SB_Var.PreviousView = nullptr; }},
      {"camera mode 0", [] { SB_Var.CameraMode = 0; }},
      {"no cars", [] { SB_Var.UsingCars = 0; }},
      {"no driven car", [] { SB_Var.DrivenCar = -1; }},
      {"demo", [] { SB_Var.GameMode = SB_DEMO; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ReadyToDraw();
    SB_Var.UsingCars = 1;
    SB_Var.DrivenCar = 0;
    SB_Var.GameMode = SB_RACE;
    c.spoil();
    SB_DrawHud();
    EXPECT_TRUE(Texts().empty());
  }
}

TEST_F(HudDrawTest, ElementMasksByModeAndStep) {
  StartRace(SB_RACE, 3, SB_STEP_RACING);
  const struct {
    int32_t mode, mask;
  } modes[] = {{SB_TRAINING, 0},     {SB_FREERACE, 65},    {SB_RACE, 959},           {SB_OFFLINE, 959},
               {SB_MULTIRACE, 1023}, {SB_STANDALONE, 777}, {SB_CONTROLLEDRACE, 959}, {SB_DEMO, 0}};
  int32_t dial = 0;
  for (const auto& m : modes) {
    SB_Var.GameMode = m.mode;
    EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), m.mask) << m.mode;
    EXPECT_EQ(dial, 1);
  }
  // CONTROLLEDRACE at the end of race, more than 6000 ms after the finish.
  SB_Var.GameMode = SB_CONTROLLEDRACE;
  SB_Var.XState = XSTATE_ENDOFRACE;
  SB_Var.EndTime = 1000;
  SB_Var.Time = 7000;
  EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), 959);
  SB_Var.Time = 7001;
  EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), 128);
  EXPECT_EQ(dial, 0);
  SB_Var.TimeLimitOn = 0;
  EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), 0);
  SB_Var.GameMode = SB_RACE;
  EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), 959 & ~128);
  SB_Var.TimeLimitOn = 1;
  while (SB_GetGameStep() != 18) SB_NextGameStep();
  EXPECT_EQ(SB_GetHudMask(&Car(0), &dial), 128);
}

TEST_F(HudDrawTest, WhereEachElementGoes) {
  RaceUnderWay();
  SB_DrawHud();
  ExpectLayout({{"*0LAP", 19, 48},
                {"*01/*13", 19, 84},
                {"*1BEST LAP", 132, 48},
                {"*11:10:00", 164, 75},
                {"*1CHECK 2", 432, 48},  // in the TIME label's place
                {"*030", kCentred, 48},
                {"*10:15:00", 435, 72},  // the lap time noted at the checkpoint
                {"*0POS", 559, 48},
                {"*02/*13", 559, 84},
                {"*1ANNA: -1''50", 0, 120},
                {"*1BOB: +2''50", 0, 142},
                {"*1PTS:150", 550, 130},
                {"WRONG", kCentred, 170},
                {"WAY", kCentred, 214}});
  // The lap line instead of a checkpoint; the lap value stays within 1 and
  // the lap count.
  SB_Var.CheckpointNumber = 0;
  Car(0).Laps = 7;
  ClearTexts();
  SB_DrawHud();
  ExpectAt("*1LAP TIME", 432, 48);
  EXPECT_EQ(Find("*1CHECK 2"), nullptr);
  ExpectAt("*03/*13", 19, 84);
  Car(0).Laps = -3;
  SB_Var.CheckpointNumber = -1;  // no word at the TIME label's place
  ClearTexts();
  SB_DrawHud();
  ExpectAt("*01/*13", 19, 84);
  ExpectAt("*1TIME", 447, 48);
}

// At the line the lap just driven shows: "LAP TIME" blinking in 300 ms
// phases of the new lap's time for its first 4 s, and that lap's time
// under TIME (the race time in CONTROLLEDRACE). Not for a lap of 10 s or
// less (the part lap from a grid behind the line), nor once the car has
// finished or run out of time; a checkpoint passed meanwhile waits. The
// TIME label gives way to the word at its place while the word shows.
TEST_F(HudDrawTest, TheLapJustDrivenShowsAtTheLine) {
  const struct {
    const char* what;
    int32_t mode, line, lapTime, finished, outOfTime, checkpoint;
    const char *label, *time;  // label null: neither LAP TIME nor CHECK 2
    bool timeLabel;            // "TIME" drawn: no word shows at its place, lit or dark
  } rows[] = {
      {"just over the line", SB_MULTIRACE, 41170, 400, 0, 0, -1, "*1LAP TIME", "*10:41:17", false},
      {"its even phase", SB_MULTIRACE, 41170, 700, 0, 0, -1, nullptr, "*10:41:17", false},
      {"the last phase", SB_MULTIRACE, 41170, 3999, 0, 0, -1, "*1LAP TIME", "*10:41:17", false},
      {"4 s after the line", SB_MULTIRACE, 41170, 4000, 0, 0, -1, nullptr, "*10:04:00", true},
      {"a lap of 10 s", SB_MULTIRACE, 10000, 400, 0, 0, -1, nullptr, "*10:00:40", true},
      {"a lap just over 10 s", SB_MULTIRACE, 10010, 400, 0, 0, -1, "*1LAP TIME", "*10:10:01", false},
      {"no lap yet", SB_MULTIRACE, 0, 400, 0, 0, -1, nullptr, "*10:00:40", true},
      {"finished", SB_MULTIRACE, 41170, 400, 1, 0, -1, nullptr, "*10:00:40", true},
      {"out of time", SB_MULTIRACE, 41170, 400, 0, 1, -1, nullptr, "*10:00:40", true},
      {"a checkpoint too", SB_MULTIRACE, 41170, 400, 0, 0, 2, "*1LAP TIME", "*10:41:17", false},
      {"a checkpoint alone", SB_MULTIRACE, 0, 400, 0, 0, 2, "*1CHECK 2", "*10:15:00", false},
      {"RACE", SB_RACE, 41170, 400, 0, 0, -1, "*1LAP TIME", "*10:41:17", false},
      {"TIME TRIAL", SB_STANDALONE, 41170, 400, 0, 0, -1, "*1LAP TIME", "*10:41:17", false},
      {"CONTROLLEDRACE", SB_CONTROLLEDRACE, 41170, 400, 0, 0, -1, "*1LAP TIME", "*10:05:00", false},
      // FREERACE's HUD has neither place.
      {"FREERACE", SB_FREERACE, 41170, 400, 0, 0, 2, nullptr, "*10:41:17", true},
      // TIME TRIAL's HUD has the lap line's place, not the checkpoints'.
      {"TIME TRIAL, a checkpoint", SB_STANDALONE, 0, 400, 0, 0, 2, nullptr, "*10:15:00", true},
      {"TIME TRIAL, the first entry away from the line", SB_STANDALONE, 0, 400, 0, 0, 0, "*1LAP TIME", "*10:15:00", false},
  };
  for (const auto& r : rows) {
    RaceUnderWay();
    SB_Var.GameMode = r.mode;
    SB_Var.LineLapTime = r.line;
    Car(0).LapTime = r.lapTime;
    Car(0).Finished = r.finished;
    Car(0).OutOfTime = r.outOfTime;
    SB_Var.CheckpointNumber = r.checkpoint;
    ClearTexts();
    SB_DrawHud();
    EXPECT_EQ(Find("*1LAP TIME") != nullptr, r.label && std::string(r.label) == "*1LAP TIME") << r.what;
    EXPECT_EQ(Find("*1CHECK 2") != nullptr, r.label && std::string(r.label) == "*1CHECK 2") << r.what;
    if (r.label) ExpectAt(r.label, 432, 48);
    int at432 = 0;  // nothing else there
    for (const ztest::DrawnText& t : Texts()) at432 += t.x == 432;
    EXPECT_EQ(at432, r.label ? 1 : 0) << r.what;
    if (!r.finished && !r.outOfTime) ExpectAt(r.time, 435, 72);
    EXPECT_EQ(Find("*1TIME") != nullptr, r.timeLabel) << r.what;
  }
  SB_Var.LineLapTime = 0;
}

// A new best blinks on its lap's time in 300 ms phases for 4 s while the
// car races; once the car has finished (or run out of time) that time
// stands, and so does the best lap, shown.
TEST_F(HudDrawTest, ANewBestBlinksWhileTheCarRaces) {
  RaceUnderWay();
  SB_Var.NewBestLap = 1;
  const struct {
    int32_t lapTime, finished, outOfTime;
    bool shown;
  } rows[] = {{100, 0, 0, false}, {400, 0, 0, true}, {4200, 0, 0, true},
              {10, 1, 1, true},    {10, 1, 0, true},  {10, 0, 1, true}};
  for (const auto& r : rows) {
    Car(0).LapTime = r.lapTime;
    Car(0).Finished = r.finished;
    Car(0).OutOfTime = r.outOfTime;
    ClearTexts();
    SB_DrawHud();
    EXPECT_EQ(Find("*11:10:00") != nullptr, r.shown) << r.lapTime << " " << r.finished << r.outOfTime;
  }
}

// Before the race is on, the lap counter and the best lap show their
// values; the time, the position, the gaps and the points only labels or
// nothing.
TEST_F(HudDrawTest, BeforeTheRaceTheLapCounterAndBestLapShow) {
  RaceUnderWay();
  Car(0).RaceTime = 0;
  Car(0).BestLap = 0;
  Car(0).Laps = -1;
  SB_Var.CheckpointNumber = -1;  // none passed before the start
  SB_DrawHud();
  ExpectAt("*01/*13", 19, 84);
  ExpectAt("*10:00:00", 164, 75);
  for (const char* label : {"*0LAP", "*1BEST LAP", "*1TIME", "*0POS"}) EXPECT_NE(Find(label), nullptr) << label;
  for (const char* value : {"*10:15:00", "*02/*13", "*1ANNA: -1''50", "*1PTS:150", "*030"})
    EXPECT_EQ(Find(value), nullptr) << value;
}

TEST_F(HudDrawTest, TheStartPhasesShowTheGameOptionsOnTheOverlayLockedOnce) {
  StartRace(SB_RACE, 3, 5);
  const int32_t locks = SB_Var.TextScreen->LockCount;
  SB_DrawHud();
  EXPECT_TRUE(ztest::Called("GameOptions 1"));
  EXPECT_EQ(Find("*0LAP"), nullptr);
  EXPECT_EQ(SB_Var.TextScreen->LockCount, locks);
  SB_LockTextScreen();
  SB_LockTextScreen();
  EXPECT_EQ(SB_IsTextScreenLocked(), 1);
  EXPECT_EQ(SB_Var.TextScreen->LockCount, locks + 1);
  SB_UnlockTextScreen();
  SB_UnlockTextScreen();
  EXPECT_EQ(SB_Var.TextScreen->LockCount, locks);
  EXPECT_EQ(SB_IsTextScreenLocked(), 0);
}

TEST_F(HudDrawTest, ScalesFollowTheOverlaysSizeClasses) {
  RaceUnderWay();
  const struct {
    int32_t width, height;
    double xs, ys;
  } sizes[] = {{320, 200, 0.5, 0.4166667},  {512, 240, 0.8, 0.5}, {640, 384, 1.0, 0.8},
               {800, 400, 1.25, 0.8333333}, {640, 480, 1.0, 1.0}, {800, 600, 1.25, 1.25}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
    MakeOverlay(s.width, s.height, 16);
    ClearTexts();
    SB_DrawHud();
    const int32_t top = SB_Var.ScreenWindow.W_POSY;
    ExpectAt("*0POS", static_cast<int32_t>(559 * s.xs), top + static_cast<int32_t>(8 * s.ys));
    ExpectAt("*01/*13", static_cast<int32_t>(19 * s.xs), top + static_cast<int32_t>(44 * s.ys));
  }
}

}  // namespace
