// The effects the game does not have: their entries can be called at the
// places the console and the race call them, and change nothing.
#include <cstring>
#include <vector>

#include "scenery/devenv.h"
#include "scenery/effects.h"
#include "tests/scenery/scenery_fixture.h"

namespace {

using scenerytest::SceneryTest;

TEST_F(SceneryTest, TheRemovedEffectsDoNothing) {
  TSOFTSCENE view{};
  _WINDOW window{};
  std::vector<unsigned char> before(sizeof SB_Var);
  std::memcpy(before.data(), &SB_Var, sizeof SB_Var);
  InitBirds();
  SB_LoadScratch();
  SB_LoadExplosionBmaps();
  SB_InitExplosionBmapGame();
  SB_RemapScratch();
  SB_AnimateExplosions();
  SB_DrawFireAndExplosions(&view, &window);
  SB_DrawFireAndExplosions(nullptr, nullptr);
  SB_FreeExplosionBmapGame();
  SB_FreeExplosionBmaps();
  SB_FreeScratch();
  SB_FreeBirds();
  EXPECT_EQ(std::memcmp(before.data(), &SB_Var, sizeof SB_Var), 0) << "the game's state is unchanged";
  EXPECT_EQ(view.NbPolygons, 0);
  EXPECT_TRUE(SB_PrintedLines().empty());
}

}  // namespace
