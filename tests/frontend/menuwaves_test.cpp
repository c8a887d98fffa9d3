// The menus' waves on the generated tree and the audio stand-in: the main
// menu's theme, the race button's start and idling engine, the stop when
// the player backs out, and the release with the interface.
#include <algorithm>

#include "console/startup.h"
#include "frontend/menuparts.h"
#include "platform/audio.h"
#include "system/sound.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {
namespace {

class MenuWavesTest : public SoundMenuTest {
 protected:
  static bool Playing(int32_t row) { return MenuWave(row) && LS_GetSoundStatus(MenuWave(row)) == LS_SOUND_PLAYING; }
};

TEST_F(MenuWavesTest, ThemeRaceIdleAndBack) {
  StartOn(2);
  CurrentMenuScreen()->Callback();
  ASSERT_NE(MenuWave(6), nullptr);
  EXPECT_TRUE(Playing(6));
  EXPECT_EQ(MenuWave(6)->Once, 0);  // the theme loops
  EXPECT_EQ(MenuWave(6)->Channels, 2);

  SB_Var.MenuScreenReady = 1;
  Click(1);  // RACE
  ASSERT_EQ(SB_Var.DrawnMenuScreen, 5);
  EXPECT_TRUE(Playing(12));
  EXPECT_EQ(MenuWave(12)->Once, 1);
  SOUND* idle = MenuWave(8);
  ASSERT_NE(idle, nullptr);
  EXPECT_TRUE(Playing(8));
  EXPECT_EQ(SB_Var.PlayedWaves[0], idle);
  const int32_t volume = idle->Volume;
  EXPECT_LT(volume, 0);
  EXPECT_GT(volume, -10000);
  UpdateInterfaceWaves();
  EXPECT_EQ(idle->Volume, std::min(0, volume + 400));

  SB_Var.MenuScreenReady = 1;
  Click(2);  // BACK
  ASSERT_EQ(SB_Var.DrawnMenuScreen, 2);
  EXPECT_FALSE(Playing(8));
  EXPECT_EQ(SB_Var.PlayedWaves[0], nullptr);

  FreeInterface(0);
  EXPECT_EQ(LSI_Var.NbSound, 0);
  for (int32_t row = 0; row < SB_MENUSOUNDLOWMEMORY; ++row) EXPECT_EQ(MenuWave(row), nullptr) << row;
}

}  // namespace
}  // namespace ztest
