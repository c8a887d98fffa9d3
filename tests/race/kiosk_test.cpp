// Kiosk demo mode: the codes the game posts to the kiosk shell, the kiosk
// keys, and the codes it receives through the registered message.
#include "race/kiosk.h"

#include <gtest/gtest.h>

#include "datagen/tgawrite.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "race/raceloop.h"
#include "race/sequencer.h"
#include "race/session.h"
#include "system/win/shell.h"
#include "tests/race/race_fixture.h"

namespace {

using Codes = std::vector<intptr_t>;
using States = std::vector<int32_t>;
constexpr int32_t kCtrl = 17, kEsc = 27, kF1 = 112;

Codes Posted() {
  Codes codes;
  for (const plat::WindowMessage& m : plat::BroadcastMessages()) {
    EXPECT_EQ(m.message, LSYS_UserMessage);
    EXPECT_EQ(m.wParam, 0u);
    codes.push_back(m.lParam);
  }
  return codes;
}

class KioskTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    SB_Var.ZoriraDemo = 1;
    SB_SetGameModeSteps(SB_TRAINING);
    while (SB_GetGameStep() != SB_STEP_RACING) SB_NextGameStep();
  }
};

TEST_F(KioskTest, ARaceAnnouncesItsStartAndMinimisesTheWindow) {
  StartDisplay();
  ztest::WriteFile(root_ + "/DEC/NETRACE.DEC", "");
  std::snprintf(SB_Var.DecorMapFile, sizeof SB_Var.DecorMapFile, "DEC>NETRACE.DEC");
  Codes atLoop;
  AtFrame(0, [&] {
    atLoop = Posted();
    SB_QuitRace();
  });
  SB_PlayRace();
  EXPECT_EQ(atLoop, Codes{SB_KIOSK_RACESTART});
  EXPECT_EQ(plat::ShownWindowStates(), States{plat::kShowMinimized});
  EXPECT_EQ(SB_Var.KioskMinimised, 1);
}

TEST_F(KioskTest, EscTheTimeLimitAndCtrlF1AreTheKioskKeys) {
  plat::SetKeyState(kEsc, true);
  SB_CheckRaceKeys();
  SB_CheckRaceKeys();  // every iteration while held
  EXPECT_EQ(Posted(), (Codes{SB_KIOSK_ESCAPE, SB_KIOSK_ESCAPE}));
  EXPECT_EQ(SB_Var.Paused, 0);  // not the race keys
  plat::SetKeyState(kEsc, false);
  plat::SetKeyState(kF1, true);
  SB_CheckRaceKeys();
  EXPECT_EQ(SB_Var.LeaveRace, 0);
  plat::SetKeyState(kCtrl, true);
  SB_CheckRaceKeys();
  EXPECT_EQ(SB_Var.LeaveRace, 1);
  plat::ClearBroadcastMessages();
  plat::AdvanceManualTime(20001);  // no input for longer than ZoriraTimeOut
  SB_CheckKioskKeys();
  EXPECT_EQ(Posted(), Codes{SB_KIOSK_TIMEOUT});
  EXPECT_EQ(plat::ShownWindowStates(), (States(3, plat::kShowMinimized)));
}

TEST_F(KioskTest, ReceivedCodesEndRestartOrQuitTheRace) {
  struct Case {
    int32_t demo, minimised, code;
    States shown;
    int32_t raceOver, leave;
  };
  const Case cases[] = {
      {1, 1, SB_KIOSK_ENDRACE, {plat::kShowMaximized}, 1, 0}, {1, 0, SB_KIOSK_ENDRACE, {}, 1, 0},
      {1, 0, SB_KIOSK_ENDRACE2, {}, 1, 0}, {1, 1, SB_KIOSK_QUIT, {plat::kShowMaximized}, 0, 1},
      {1, 1, 2, {}, 0, 0}, {1, 1, SB_KIOSK_RACESTART, {}, 0, 0}, {0, 1, SB_KIOSK_QUIT, {}, 0, 0},
  };
  ztest::WriteFile(root_ + "/MISCPICT/INFO.TGA", "");
  ASSERT_TRUE(datagen::WriteTga(root_ + "/MISCPICT/INFO.TGA", datagen::Picture24(4, 4, 9, 9, 9)));
  for (const Case& c : cases) {
    plat::ResetWindowState();
    LSYS_CreateWindows(nullptr, 1);
    SB_InstallKioskHook();
    SB_Var.ZoriraDemo = c.demo;
    SB_Var.KioskMinimised = c.minimised;
    SB_Var.RaceOver = SB_Var.LeaveRace = 0;
    SB_LoadInfoPage();
    plat::PostWindowMessage({LSYS_UserMessage, 0, c.code});
    LSYS_PumpMessages();
    EXPECT_EQ(plat::ShownWindowStates(), c.shown) << c.code;
    EXPECT_EQ(SB_Var.RaceOver, c.raceOver) << c.code;
    EXPECT_EQ(SB_Var.LeaveRace, c.leave) << c.code;
    EXPECT_EQ(SB_Var.InfoPage == nullptr, c.leave == 1) << c.code;  // QUIT frees the page
  }
  SB_FreeInfoPage();
  SB_RemoveKioskHook();
  EXPECT_EQ(LSYS_Shell.UserMessageHook, nullptr);
}

}  // namespace
