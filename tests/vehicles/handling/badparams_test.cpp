// Parameter files at the ends of the rows' ranges and beyond them: the
// default car, 60 s at full throttle and full lock on a wide floor, never
// takes a non-finite state and never flies off the ground. At the bottom of
// the ranges the tyre and body springs are 0: nothing holds the car up, and
// it sinks through the road, still finite.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/vehicles/handling/handling_fixture.h"
#include "vehicles/vparams.h"

namespace ztest {
namespace {

// Every row at the value the function gives it.
template <typename Value>
std::string EveryRow(Value value) {
  std::string text = "VEHICLES PARAMETERS:\n\nVEHICLE #0.\n{\n";
  char line[128];
  for (int32_t i = 0; i < SB_NBVPARAMS; ++i) {
    std::snprintf(line, sizeof line, "%s=%.17g\n", SB_VParamTable[i].Name, value(SB_VParamTable[i]));
    text += line;
  }
  return text + "}\n";
}

bool Finite(const TCAR& car) {
  for (int32_t i = 0; i < 9; ++i)
    if (!std::isfinite(car.Orientation[i])) return false;
  for (int32_t i = 0; i < 3; ++i)
    if (!std::isfinite(car.Position[i]) || !std::isfinite(car.Velocity[i])) return false;
  return std::isfinite(car.EngineSpeed) && std::isfinite(car.Speed);
}

TEST_F(HandlingTest, ParameterFilesAtAndBeyondTheRangesDriveSafely) {
  const struct {
    const char* name;
    std::string text;
    bool springs;  // the car stands on its springs
  } files[] = {
      {"bottom", EveryRow([](const TVPARAMDESC& d) { return double{d.Min}; }), false},
      {"top", EveryRow([](const TVPARAMDESC& d) { return double{d.Max}; }), true},
      {"1e300", EveryRow([](const TVPARAMDESC&) { return 1e300; }), true},
      {"-1e300", EveryRow([](const TVPARAMDESC&) { return -1e300; }), false},
      {"four lines", "{\nAirfrict:=1e300\nGear #1:=2\nAirfrictrot:=0.60\nForce start start:=20000\n}\n", true},
  };
  const TestTrack floor{TestTrack::kFloor};
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    WriteFile(root_ + "/dat/VPARAMS.TXT", f.text);
    Start(&floor, 20);
    double highest = 0.0, lowest = -1e9;  // the car's centre against the road (y down)
    bool finite = true;
    for (const double end = time_ + 60; time_ < end && finite;) {
      Frame(20, [](datagen::DriverInput& in) { in.x = 1.0, in.y = -1.0; });
      finite = Finite(Car());
      highest = std::min(highest, Car().Position[1]);
      lowest = std::max(lowest, Car().Position[1]);
    }
    std::printf("%-10s centre between %.2f m and %.2f m, %.0f m from the start\n", f.name, -lowest, -highest,
                std::hypot(Car().Position[0], Car().Position[2]));
    EXPECT_TRUE(finite);
    EXPECT_GT(highest, -2.0);  // never more than 2 m above the road
    if (f.springs) {
      EXPECT_LT(lowest, 0.0);  // the centre never below the road
    }
    drive_.Stop();
  }
}

}  // namespace
}  // namespace ztest
