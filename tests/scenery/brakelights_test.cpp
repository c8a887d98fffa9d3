// The brake lights on the stock car's lamp texture at 8 and 16 bits and in
// the card texture: the images follow BrakeOn, once per change.
#include "scenery/brakelights.h"

#include "engine3d/types.h"
#include "scenery/framefx.h"
#include "tests/scenery/scenery_fixture.h"
#include "vehicles/controls.h"

namespace {

using scenerytest::kCard;
using scenerytest::SceneryTest;

class BrakeLightsTest : public SceneryTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  // Lamp image or area at (x, y) of the stock car's texture 0, 15 x 6.
  std::vector<uint32_t> Lamp(int32_t x, int32_t y, int32_t car = 0, int32_t s = 0) {
    return Area(car, 0, x >> s, y >> s, 15 >> s, 6 >> s);
  }
  TSOFTSCENE view_{};
};

INSTANTIATE_TEST_SUITE_P(Modes, BrakeLightsTest, ::testing::Values(8, 16, kCard));

TEST_P(BrakeLightsTest, TheLampAreasShowTheImagesOfTheBrake) {
  LoadCars(GetParam());
  TCAR* car = SB_Var.Cars[0];
  const auto unlitA = Lamp(176, 250), litA = Lamp(176, 244), unlitB = Lamp(122, 250), litB = Lamp(122, 244);
  ASSERT_NE(unlitA, litA);
  SB_ResetBrakeLights();
  car->BrakeOn = 1;
  SB_UpdateBrakeLights(&view_, 0);
  EXPECT_EQ(Lamp(176, 181), litA);
  EXPECT_EQ(Lamp(122, 181), litB);
  // The same value again writes nothing.
  SetTexel(0, 0, 176, 181, 5);
  SB_UpdateBrakeLights(&view_, 0);
  EXPECT_EQ(Texel(0, 0, 176, 181), 5u);
  car->BrakeOn = 0;
  SB_UpdateBrakeLights(&view_, 0);
  EXPECT_EQ(Lamp(176, 181), unlitA);
  EXPECT_EQ(Lamp(122, 181), unlitB);
  // Reset: redrawn at the next draw even though BrakeOn did not change.
  SetTexel(0, 0, 176, 181, 5);
  SB_ResetBrakeLights();
  SB_UpdateBrakeLights(&view_, 0);
  EXPECT_EQ(Lamp(176, 181), unlitA);
  const int32_t slot = Texture(0, 0).CardTexture;
  EXPECT_EQ(view_.TextureUses[slot] == SB_TEXTURE_CHANGED, GetParam() == kCard);
}

TEST_P(BrakeLightsTest, ACarWithoutControlsShowsTheBrakingImages) {
  LoadCars(GetParam());
  TCONTROLS block{};
  block.BrakeOn = 0;
  SB_SetCarControls(SB_Var.Cars[0], &block);  // before the race: the brake is held
  SB_ResetBrakeLights();
  SB_UpdateBrakeLights(&view_, 0);
  EXPECT_EQ(Lamp(176, 181), Lamp(176, 244));
}

TEST_P(BrakeLightsTest, NothingIsDrawnForACarOutOfGameOrAnUnknownSet) {
  LoadCars(GetParam());
  SB_Var.Cars[0]->BrakeOn = 1;
  const auto before = Lamp(176, 181);
  for (int pass = 0; pass < 3; ++pass) {
    scenerytest::g_inGame[0] = pass != 0;
    SB_Var.KnownPrototype = pass != 1;
    if (pass == 2) SB_Var.GlassLayout[0] = 99;  // no such texture
    SB_ResetBrakeLights();
    SB_UpdateBrakeLights(&view_, 0);
    SB_UpdateBrakeLights(&view_, -1);
    SB_UpdateBrakeLights(&view_, SB_MAXCARS);
    EXPECT_EQ(Lamp(176, 181), before) << pass;
  }
  EXPECT_EQ(view_.TextureUses[Texture(0, 0).CardTexture], 0u);
}

TEST_F(BrakeLightsTest, AHalvedCarUsesHalfEveryCoordinate) {
  LoadCars(kCard, 2, true);
  ASSERT_EQ(SB_Var.Cars[1]->Object->HalvedCoords, 1u);
  SB_ResetBrakeLights();
  SB_Var.Cars[1]->BrakeOn = 1;
  SB_UpdateBrakeLights(&view_, 1);
  EXPECT_EQ(Lamp(176, 181, 1, 1), Lamp(176, 244, 1, 1));
  EXPECT_EQ(Lamp(122, 181, 1, 1), Lamp(122, 244, 1, 1));
  EXPECT_NE(Lamp(176, 181, 1, 1), Lamp(176, 250, 1, 1));
}

}  // namespace
