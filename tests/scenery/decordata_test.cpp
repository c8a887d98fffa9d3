// The default data tree's decor list and scripts (the repository's text
// files with datagen's props and path) run for a minute of game time: the
// windmill's blades turn about their axle, the balloon keeps its height
// above the infield and heads along its path, the marshal car laps at its
// speed heading along its way, the flag swings.
#include <cmath>
#include <filesystem>

#include "tests/scenery/decor_fixture.h"

namespace {

using scenerytest::DecorTest;

class DecorDataTest : public DecorTest {
 protected:
  void SetUp() override {
    DecorTest::SetUp();
    for (const char* name : {"DECOR.TXT", "DECOR/MOULIN.TXT", "DECOR/BALLON.TXT", "DECOR/MARSHAL.TXT", "DECOR/DRAPEAU.TXT"})
      Write(std::string("DAT/") + name, ztest::ReadFile(std::string(ZENTROVA_SOURCE_DIR "/data/dat/") + name));
    Write("DAT/DECOR/BALLON.TAB", datagen::TableBytes(datagen::BalloonPath()));
    LoadObjectScript("dat>decor.txt");
    ASSERT_EQ(SB_Var.NbDecorObjects, 4);
    SB_ResetDecorScripts();
  }
  static std::array<double, 3> At(const OBJECT* o) {
    return {o->Position[0] / 60800.0, o->Position[1] / 60800.0, o->Position[2] / 60800.0};
  }
};

TEST_F(DecorDataTest, ThePropsMoveAsTheirScriptsSay) {
  for (int32_t i = 0; i < 4; ++i) ASSERT_NE(Entry(i).Object, nullptr) << i;
  ASSERT_EQ(Block(1, 0).Object, Part("PALES", 0));
  ASSERT_EQ(Block(1, 3).Object, Part("DRAPEAU", 3));
  EXPECT_EQ(Command(0, 0, 1).TableCount, 501);
  double bladeTurn = 0.0, lastBlade = 0.0, flagLow = 360.0, flagHigh = -360.0, travelled = 0.0;
  std::array<double, 3> lastCar = At(Entry(2).Object);
  for (uint32_t ms = 0; ms <= 60000; ms += 20) {
    Frame(ms);
    const double blade = Block(1, 0).Angles[0];
    if (ms > 0) bladeTurn += std::fmod(blade - lastBlade + 360.0, 360.0);
    lastBlade = blade;
    // The balloon: 25 m above the road's level, inside the circuit.
    const auto balloon = At(Entry(1).Object);
    EXPECT_NEAR(balloon[1], -31.4, 0.01) << ms;
    EXPECT_LT(std::hypot((balloon[0] + 6.4) / 150.0, (balloon[2] + 6.4) / 80.0), 1.0) << ms;
    // The marshal car: on the ground, at 8 m/s, its side axis along its way.
    const auto car = At(Entry(2).Object);
    const double dx = car[0] - lastCar[0], dz = car[2] - lastCar[2], step = std::hypot(dx, dz);
    const TDECORBLOCK& lap = Block(0, 2);
    const bool jumped = lap.Commands[lap.CurrentCommand].StartTime == static_cast<int32_t>(ms);  // onto its point
    if (!jumped && step > 0.1 && step < 0.2) {
      const float* o = Entry(2).Object->Orientation;
      EXPECT_GT((-o[6] * dx - o[8] * dz) / step, 0.99) << ms;  // the nose (-z) along the way
      travelled += step;
    }
    lastCar = car;
    EXPECT_NEAR(car[1], -6.7, 0.31) << ms;
    // The flag's swing, about the vertical.
    const float* f = Part("DRAPEAU", 3)->Orientation;
    const double swing = std::atan2(-f[8], -f[6]) * 180.0 / M_PI;
    flagLow = std::min(flagLow, swing), flagHigh = std::max(flagHigh, swing);
  }
  EXPECT_NEAR(bladeTurn, 40.0 * 60.0, 1.0);  // 40 degrees a second
  EXPECT_GT(travelled, 8.0 * 50.0);
  EXPECT_NEAR(flagLow, -20.0, 0.5);
  EXPECT_NEAR(flagHigh, 25.0, 0.5);
}

}  // namespace
