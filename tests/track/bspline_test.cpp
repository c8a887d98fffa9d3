// The centre line: laps, sectors and distance of cars driven over
// generated lines every 10 ms, the wrong-way timer, the wrap of the local
// search, the whole-line search, the second look of the nearest point, and
// the file with its damaged forms.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/track/track_fixture.h"

namespace {

using Line = std::vector<TVECTOR>;

// A circle of n points one metre apart (an oval whose two radii agree).
Line Circle(int n) {
  Line line;
  const double r = n / (2 * M_PI);
  for (int i = 0; i < n; ++i) line.push_back({r * std::cos(2 * M_PI * i / n), -1, r * std::sin(2 * M_PI * i / n)});
  return line;
}

// A stadium of n points: two straights gap metres apart joined by half
// circles, about a metre apart.
Line Stadium(int n, double gap) {
  const double r = gap / 2, straight = (n - M_PI * gap) / 2, perimeter = 2 * straight + M_PI * gap;
  Line line;
  for (int i = 0; i < n; ++i) {
    double s = perimeter * i / n;
    if (s < straight) {
      line.push_back({s, 0, -r});
    } else if ((s -= straight) < M_PI * r) {
      line.push_back({straight + r * std::sin(s / r), 0, -r * std::cos(s / r)});
    } else if ((s -= M_PI * r) < straight) {
      line.push_back({straight - s, 0, r});
    } else {
      s -= straight;
      line.push_back({-r * std::sin(s / r), 0, r * std::cos(s / r)});
    }
  }
  return line;
}

std::string Bytes(const Line& line, int32_t count) {
  std::string bytes(4, '\0');
  std::memcpy(bytes.data(), &count, 4);
  bytes.append(reinterpret_cast<const char*>(line.data()), line.size() * sizeof(TVECTOR));
  return bytes;
}

class CentreLine : public ztest::TrackTest {
 protected:
  void SetUp() override {
    TrackTest::SetUp();
    SB_Var.UsingCars = 1;
    SB_Var.FrameTime = 10;
    SB_Var.Decor.NewlyLoaded = 1;
  }
  int32_t Load(const std::string& bytes) {
    ztest::WriteFile(Path("LINE.BSP"), bytes);
    return SB_LoadBsplinesMeters("LINE.BSP");
  }
  void Use(const Line& line) {
    line_ = line;
    ASSERT_EQ(Load(Bytes(line, static_cast<int32_t>(line.size()))), 1);
  }
  // The point at a fractional index, off the line by `off` metres outward.
  void Place(double f, double off = 0) {
    const int n = static_cast<int>(line_.size());
    const int i = static_cast<int>(std::floor(f)) % n;
    const double s = f - std::floor(f);
    const TVECTOR& a = line_[(i + n) % n];
    const TVECTOR& b = line_[(i + 1) % n];
    const double x = a.x + s * (b.x - a.x), z = a.z + s * (b.z - a.z), length = std::hypot(x, z);
    car_.Position[0] = x + off * x / length;
    car_.Position[2] = z + off * z / length;
  }
  // A car standing at the index, its progress as if it had driven there.
  void Start(double f) {
    car_ = TCAR{};
    car_.CenterLineIndex = static_cast<int32_t>(f);
    car_.Sector = static_cast<int32_t>(f * 10 / line_.size());
    car_.Distance = car_.BestDistance = car_.PrevDistance = f;
    car_.ProgressMeasured = 1;
  }
  // Drives from index `from` by `step` points a frame for `frames` frames.
  void Drive(double from, double step, int frames) {
    for (int i = 0; i < frames; ++i) {
      Place(from + step * i);
      SB_UpdateCarTrackProgress(&car_);
    }
  }
  Line line_;
  TCAR car_{};
};

TEST_F(CentreLine, CrossingTheStartCountsLapsBothWays) {
  Use(Circle(1000));
  Start(970);
  Drive(970, 0.5, 80);  // to 1009.5
  EXPECT_EQ(std::make_pair(car_.Laps, car_.Sector), std::make_pair(1, 0));
  EXPECT_NEAR(car_.Distance, 1009.5, 1e-3);
  EXPECT_EQ(car_.SectorSkip, 0);
  Drive(1009.5, -0.5, 39);  // back to 990.5
  EXPECT_EQ(std::make_pair(car_.Laps, car_.Sector), std::make_pair(0, 9));
  EXPECT_EQ(car_.CenterLineIndex, 990);     // the index rose by about N, the laps fell by one
  EXPECT_NEAR(car_.Distance, 990.5, 1e-3);
}

TEST_F(CentreLine, AJumpOfTwoSectorsFreezesTheDistance) {
  Use(Circle(1000));
  Start(100);
  Drive(100, 0.5, 2);
  const double distance = car_.Distance;
  Drive(400.25, 0.5, 3);
  EXPECT_EQ(car_.SectorSkip, 1);
  EXPECT_EQ(car_.Sector, 1);
  EXPECT_EQ(car_.Distance, distance);
  EXPECT_EQ(car_.CenterLineIndex, 401);
}

TEST_F(CentreLine, WrongWayAfterMoreThanTwoSecondsBehind) {
  Use(Circle(1000));
  const struct {
    double lastGrowth;
    int frames, flag, timer;
  } rows[] = {{500.9, 300, 0, 0}, {510, 200, 0, 2000}, {510, 201, 1, 2010}};
  for (const auto& r : rows) {
    Start(500);
    car_.BestDistance = r.lastGrowth;
    Drive(500, 0, r.frames);
    EXPECT_EQ(std::make_pair(car_.WrongWay, car_.WrongWayTime), std::make_pair(r.flag, r.timer)) << r.frames;
  }
  Drive(500, 0.5, 3);  // progress clears it
  EXPECT_EQ(std::make_pair(car_.WrongWay, car_.WrongWayTime), std::make_pair(0, 0));
}

// Cars as the race set-up leaves them (index, sector, laps and distances
// 0) on a grid behind the start line, standing, then driven over the line
// or turned back: only a car going back is warned, after its two seconds.
TEST_F(CentreLine, AGridBehindTheLineIsNotTheWrongWay) {
  Use(Circle(1000));
  struct Leg {
    double step;  // points a frame
    int frames;
  };
  const struct {
    const char* what;
    double grid;
    std::vector<Leg> legs;
    int laps, flag;
  } rows[] = {
      {"the pole, standing 3 s", 995, {{0, 300}}, -1, 0},
      {"the last place, 65 m back, standing 3 s", 935, {{0, 300}}, -1, 0},
      {"standing, then over the line", 955, {{0, 300}, {0.2, 400}}, 0, 0},
      {"turned back on the grid for 2.05 s", 975, {{0, 100}, {-0.5, 205}}, -1, 1},
      {"turned back on the grid for 1.95 s", 975, {{0, 100}, {-0.5, 195}}, -1, 0},
      {"over the line, then turned back", 995, {{0.2, 200}, {-0.5, 205}}, -1, 1},
  };
  for (const auto& r : rows) {
    car_ = TCAR{};
    double at = r.grid;
    for (const Leg& leg : r.legs) {
      Drive(at, leg.step, leg.frames);
      at += leg.step * leg.frames;
    }
    EXPECT_EQ(car_.Laps, r.laps) << r.what;
    EXPECT_EQ(car_.WrongWay, r.flag) << r.what;
  }
}

TEST_F(CentreLine, TheSearchWrapsAndFindsAFarCarAgain) {
  Use(Circle(1000));
  Start(3);
  Place(993.5);
  SB_UpdateCarTrackProgress(&car_);
  EXPECT_EQ(car_.CenterLineIndex, 993);
  Place(500.25, 31);  // over 30 m from the line near index 993
  SB_UpdateCarTrackProgress(&car_);
  EXPECT_EQ(car_.CenterLineIndex, 500);
  Place(981.5, 31);  // the coarse pass's chord before point 0 starts at N - 20
  SB_UpdateCarTrackProgress(&car_);
  EXPECT_EQ(car_.CenterLineIndex, 981);
  Place(500.25, 31);
  TCAMERA camera{};
  camera.PosX = car_.Position[0], camera.PosZ = car_.Position[2];
  EXPECT_EQ(SB_UpdateCameraBsplineIndex(&camera), 500);
}

TEST_F(CentreLine, TheNearestPointHasAnAlternativeWhereTheLineComesBack) {
  for (double gap : {40.0, 80.0}) {
    Use(Stadium(2400, gap));
    const double position[3] = {line_[1000].x, 0, line_[1000].z};  // 100 m or so before the bend
    double nearest = 0, alternative = 0;
    SB_GetNearestBsplinePoint(position, &nearest, &alternative);
    EXPECT_NEAR(nearest, 1000, 1e-6) << gap;
    if (gap < 60) {
      const TVECTOR& other = line_[static_cast<int>(alternative)];
      EXPECT_NEAR(std::hypot(other.x - position[0], other.z - position[2]), gap, 0.6);
    } else {
      EXPECT_EQ(alternative, nearest) << gap;
    }
    SB_FreeBsplinePoints();
    SB_Var.Decor.NewlyLoaded = 1;
  }
}

TEST_F(CentreLine, TheFileIsKeptForTheSameMapAndMissingOnesAreSaid) {
  Use(Circle(100));
  SB_Var.Decor.NewlyLoaded = 0;
  EXPECT_EQ(SB_LoadBsplinesMeters("NONE.BSP"), 1);
  EXPECT_EQ(std::make_pair(SB_Var.NbBsplinePoints, SB_Var.BsplineValid), std::make_pair(100, 1));
  SB_Var.Decor.NewlyLoaded = 1;
  EXPECT_EQ(SB_LoadBsplinesMeters("NONE.BSP"), 0);
  EXPECT_TRUE(Printed("Bspline file NONE.BSP not found !!!"));
  EXPECT_EQ(SB_Var.BsplinePoints, nullptr);
  EXPECT_EQ(SB_Var.BsplineValid, 0);
}

TEST_F(CentreLine, DamagedFilesLeaveTheLineInvalid) {
  Line nan = Circle(10);
  nan[4].z = NAN;
  const std::string good = Bytes(Circle(10), 10);
  const std::pair<const char*, std::string> files[] = {
      {"no point", Bytes({}, 0)},           {"a negative count", Bytes(Circle(10), -1)},
      {"a huge count", Bytes(Circle(10), 0x7FFFFFFF)},
      {"one byte short", good.substr(0, good.size() - 1)}, {"one byte long", good + 'x'},
      {"a NaN coordinate", Bytes(nan, 10)},  {"no count", "ab"}};
  for (const auto& [why, bytes] : files) {
    SB_ClearPrintedLines();
    EXPECT_EQ(Load(bytes), 0) << why;
    EXPECT_TRUE(Printed("Bspline file LINE.BSP corrupt !!!")) << why;
    EXPECT_EQ(SB_Var.BsplineValid, 0) << why;
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << why;
  }
  // Repeated points load; their empty segments are passed over.
  Line repeated = Circle(1000);
  for (int i = 500; i < 505; ++i) repeated[i] = repeated[500];
  Use(repeated);
  Start(495);
  Drive(495, 0.5, 30);
  EXPECT_EQ(car_.CenterLineIndex, 509);
  EXPECT_TRUE(std::isfinite(car_.Distance));
}

// The most points a race takes is what the track editor writes: one more
// is refused by name, and the race and the controller read the same
// verdict. Nothing is allocated for a refused file.
TEST_F(CentreLine, ALineOfMoreThanTenThousandPointsIsRefusedByName) {
  const struct {
    int32_t points;
    bool loads;
  } rows[] = {{1, true}, {10000, true}, {10001, false}, {440000, false}, {2000000, false}};
  for (const auto& r : rows) {
    SB_ClearPrintedLines();
    SB_Var.Decor.NewlyLoaded = 1;
    const std::string bytes = Bytes(Line(r.points, TVECTOR{1, 2, 3}), r.points);
    EXPECT_EQ(Load(bytes), r.loads ? 1 : 0) << r.points;
    EXPECT_EQ(SB_Var.BsplineValid, r.loads ? 1 : 0) << r.points;
    EXPECT_EQ(SB_Var.NbBsplinePoints, r.loads ? r.points : 0) << r.points;
    int32_t count = 0;
    EXPECT_EQ(SB_ReadBsplineFile("LINE.BSP", &count, nullptr), r.loads ? SB_LINEFILE_SOUND : SB_LINEFILE_TOOLARGE);
    EXPECT_EQ(count, r.points);
    const std::string refusal =
        "Bspline file LINE.BSP refused: " + std::to_string(r.points) + " points, a race takes at most 10000 !!!";
    EXPECT_EQ(Printed(refusal), !r.loads) << r.points;
    SB_FreeBsplinePoints();
    EXPECT_EQ(SB_Var.NbMemOwners, 0) << r.points;
  }
  int32_t count = 7;
  EXPECT_EQ(SB_ReadBsplineFile("NONE.BSP", &count, nullptr), SB_LINEFILE_MISSING);
  EXPECT_EQ(SB_ReadBsplineFile("", &count, nullptr), SB_LINEFILE_MISSING);
  EXPECT_EQ(SB_ReadBsplineFile(nullptr, &count, nullptr), SB_LINEFILE_MISSING);
  EXPECT_EQ(count, 0);
  ztest::WriteFile(Path("LINE.BSP"), Bytes(Circle(10), 11));
  EXPECT_EQ(SB_ReadBsplineFile("LINE.BSP", &count, nullptr), SB_LINEFILE_CORRUPT);
}

}  // namespace
