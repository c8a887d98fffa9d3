// The race line's files: control points saved and loaded back, the metre
// table as the track's centre-line file, the default circuit's line
// fitted, and files the load refuses.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#include "datagen/netrace.h"
#include "tests/tools/tools_fixture.h"
#include "track/bspline.h"

namespace {

using Lines = std::vector<std::string>;

class RaceLineFile : public ztest::ToolsTest {
 protected:
  void SetUp() override {
    ztest::ToolsTest::SetUp();
    SB_Var.Decor.NewlyLoaded = 1;  // the track reads its centre line for a new map only
  }
  void TearDown() override {
    SB_FreeBsplinePoints();
    ztest::ToolsTest::TearDown();
  }
  // A file of the count and the points, as another tool would write it.
  static std::string Bytes(int32_t count, const std::vector<double>& values) {
    std::string out(reinterpret_cast<const char*>(&count), 4);
    for (double v : values) out.append(reinterpret_cast<const char*>(&v), 8);
    return out;
  }
};

TEST_F(RaceLineFile, ControlPointsGoAndComeBackBitForBit) {
  SetLine({{1.5, -2.25, 1e-300}, {-0.0, 7e3, 3.0 / 7}, {std::nextafter(1.0, 2.0), 0, -5}});
  SB_SaveBsplines("LINE.BSP");
  EXPECT_EQ(Printed(), Lines{"Bspline LINE.BSP saved."});
  const std::string bytes = ztest::ReadFile(Path("LINE.BSP"));
  ASSERT_EQ(bytes.size(), 76u);
  EXPECT_EQ(bytes, Bytes(3, {1.5, -2.25, 1e-300, -0.0, 7e3, 3.0 / 7, std::nextafter(1.0, 2.0), 0, -5}));
  TVECTOR saved[3];
  std::memcpy(saved, SB_Var.RaceLinePoints, sizeof saved);
  SetLine({{9, 9, 9}});
  for (uint32_t& word : SB_Var.BsplineSelected) word = 1;
  ASSERT_EQ(SB_LoadBsplines("line.bsp"), 1);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 3);
  EXPECT_EQ(std::memcmp(saved, SB_Var.RaceLinePoints, sizeof saved), 0);
  EXPECT_EQ(SB_Var.BsplineSelected[0] | SB_Var.BsplineSelected[1] | SB_Var.BsplineSelected[2], 0u);
  EXPECT_EQ(SB_Var.BsplineSelected[3], 1u);  // beyond the loaded points
  EXPECT_GT(SB_Var.NbBsplineMeters, 0);       // resampled at once
}

TEST_F(RaceLineFile, TheMetreTableIsACentreLineTheTrackLoads) {
  SB_SaveBsplinesMeters("M.BSP");  // never resampled
  SetLine({{0, 0, 0}});
  SB_GetBsplinesAngles();
  SB_SaveBsplinesMeters("M.BSP");  // one point: an empty table
  EXPECT_EQ(Printed(), (Lines{"Error no bspline !!!", "Error no bspline !!!"}));
  EXPECT_FALSE(ztest::FileExists(Path("M.BSP")));
  SetLine({{0, 0, 0}, {40, 0, 10}, {60, 2, 70}, {0, 0, 90}});
  SB_GetBsplinesAngles();
  SB_SaveBsplinesMeters("M.BSP");
  EXPECT_EQ(Printed(), Lines{"Bspline meter M.BSP saved."});
  ASSERT_EQ(SB_LoadBsplinesMeters("M.BSP"), 1);
  EXPECT_EQ(SB_Var.BsplineValid, 1);
  ASSERT_EQ(SB_Var.NbBsplinePoints, SB_Var.NbBsplineMeters);
  EXPECT_EQ(std::memcmp(SB_Var.BsplinePoints, SB_Var.BsplineMeters, 24 * size_t(SB_Var.NbBsplinePoints)), 0);
}

// Every 20th point of the default circuit's centre line, closed by point 0
// again, resamples to that line.
TEST_F(RaceLineFile, TheDefaultCircuitsLineIsFittedByItsEveryTwentiethPoint) {
  ztest::WriteFile(Path("TXT/NETRACE.BSP"), datagen::NetraceCentreLineFile());
  ASSERT_EQ(SB_LoadBsplinesMeters("TXT>NETRACE.BSP"), 1);
  const int32_t n = SB_Var.NbBsplinePoints;
  ASSERT_EQ(n, 1103);
  std::vector<TVECTOR> control;
  for (int32_t i = 0; i < n; i += 20) control.push_back(SB_Var.BsplinePoints[i]);
  control.push_back(SB_Var.BsplinePoints[0]);
  SetLine(control);
  SB_GetBsplinesAngles();
  EXPECT_NEAR(SB_Var.NbBsplineMeters, n, 2);
  for (int32_t k = 0; k < SB_Var.NbBsplineMeters; ++k) {
    double best = 1e9;
    for (int32_t i = 0; i < n; ++i)
      best = std::min(best, SB_SegmentDist2(&SB_Var.BsplinePoints[i], &SB_Var.BsplinePoints[(i + 1) % n],
                                            &SB_Var.BsplineMeters[k]));
    ASSERT_LT(std::sqrt(best), 0.3) << k;
  }
  // The file itself has too many points for control points.
  SetLine({{1, 2, 3}, {4, 5, 6}});
  SB_GetBsplinesAngles();
  const int32_t meters = SB_Var.NbBsplineMeters;
  Printed();
  EXPECT_EQ(SB_LoadBsplines("TXT>NETRACE.BSP"), 0);
  EXPECT_EQ(Printed(), Lines{"Bspline file TXT>NETRACE.BSP: 1103 points, 1000 at most !!!"});
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 2);
  EXPECT_EQ(SB_Var.NbBsplineMeters, meters);
}

// SAVEBSPLINE and LOADBSPLINE take the same lines: each line saved loads
// back bit for bit, however long or far out; one the load would refuse is
// not saved, and no file is written. The metre table of a line longer
// than the table is not saved either.
TEST_F(RaceLineFile, EverySavedLineLoadsBackAndAnUnloadableOneIsNotSaved) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  std::vector<TVECTOR> thousand;
  for (int32_t k = 0; k < SB_MAXRACELINEPOINTS; ++k) thousand.push_back({k * 1.0, 0.5, k % 2 * 0.25});
  const struct {
    const char* what;
    std::vector<TVECTOR> line;
    const char* saved;   // what SAVEBSPLINE says
    const char* metres;  // what SAVEBSPLINEMETER says after the load
  } rows[] = {
      {"short", {{0, 0, 0}, {10, 0, 5}}, "Bspline L.BSP saved.", "Bspline meter M.BSP saved."},
      {"half a metre: one metre point", {{0, 0, 0}, {0.5, 0, 0}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP saved."},
      {"9.9 km", {{-4950, 2, 0}, {0, 1, 10}, {4950, 0, 0}}, "Bspline L.BSP saved.", "Bspline meter M.BSP saved."},
      {"10.1 km", {{-5050, 2, 0}, {0, 1, 10}, {5050, 0, 0}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP not saved: the line is longer than 10000 m !!!"},
      {"far from the origin", {{5e5, 1, -5e5}, {5e5 + 30, 1, -5e5 + 40}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP saved."},
      {"1000 points", thousand, "Bspline L.BSP saved.", "Bspline meter M.BSP saved."},
      {"1e170 out among points", {{0, 0, 0}, {100, 0, 0}, {200, 0, 1e170}, {300, 0, 0}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP not saved: the line leaves the map, 6710 km from its origin !!!"},
      {"only 1e170 out", {{0, 0, 1e170}, {800, 0, 1e170}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP not saved: the line leaves the map, 6710 km from its origin !!!"},
      {"1,200 m at 1e12 m", {{1e12, 0, 0}, {1e12 + 600, 0, 5}, {1e12 + 1200, 0, 0}}, "Bspline L.BSP saved.",
       "Bspline meter M.BSP not saved: the line leaves the map, 6710 km from its origin !!!"},
      {"not a number", {{0, 0, 0}, {nan, 0, 0}}, "Bspline L.BSP not saved: point 1 is not a number !!!", nullptr},
      {"infinite", {{0, -inf, 0}}, "Bspline L.BSP not saved: point 0 is not a number !!!", nullptr},
  };
  for (const auto& r : rows) {
    std::filesystem::remove(Path("L.BSP"));
    std::filesystem::remove(Path("M.BSP"));
    SetLine(r.line);
    SB_SaveBsplines("L.BSP");
    EXPECT_EQ(Printed(), Lines{r.saved}) << r.what;
    if (!r.metres) {
      EXPECT_FALSE(ztest::FileExists(Path("L.BSP"))) << r.what;
      continue;
    }
    SetLine({{9, 9, 9}});
    ASSERT_EQ(SB_LoadBsplines("L.BSP"), 1) << r.what;
    Printed();
    ASSERT_EQ(SB_Var.NbRaceLinePoints, int32_t(r.line.size())) << r.what;
    EXPECT_EQ(std::memcmp(SB_Var.RaceLinePoints, r.line.data(), sizeof(TVECTOR) * r.line.size()), 0) << r.what;
    SB_SaveBsplinesMeters("M.BSP");
    EXPECT_EQ(Printed(), Lines{r.metres}) << r.what;
    EXPECT_EQ(ztest::FileExists(Path("M.BSP")), SB_BsplineMetersCut() == 0) << r.what;
  }
  SetLine({{0, 0, 0}});
  SB_Var.NbRaceLinePoints = SB_MAXRACELINEPOINTS + 1;  // more than the array: never read
  SB_SaveBsplines("L.BSP");
  EXPECT_EQ(Printed(), Lines{"Bspline L.BSP not saved: 1001 points, 1000 at most !!!"});
  EXPECT_FALSE(ztest::FileExists(Path("L.BSP")));
  SB_Var.NbRaceLinePoints = 0;
}

// Lines of points near and far at random: SAVEBSPLINEMETER says "saved."
// only for a table that runs to the line's end, and writes all of it;
// otherwise it writes nothing.
TEST_F(RaceLineFile, AMetreTableIsSavedOnlyWhole) {
  const double far[] = {1e7, 1e13, 1e170, 1e300};
  std::mt19937 random(92);
  std::uniform_real_distribution<double> near(-300.0, 300.0);
  for (int run = 0; run < 100; ++run) {
    std::vector<TVECTOR> line(2 + random() % 5);
    for (TVECTOR& p : line) {
      p = {near(random), 0.0, near(random)};
      if (random() % 6 == 0) p.z = far[random() % 4] * (random() % 2 ? 1 : -1);
    }
    SetLine(line);
    SB_GetBsplinesAngles();
    std::filesystem::remove(Path("M.BSP"));
    Printed();
    SB_SaveBsplinesMeters("M.BSP");
    const bool saved = Printed() == Lines{"Bspline meter M.BSP saved."};
    EXPECT_EQ(ztest::FileExists(Path("M.BSP")), saved) << run;
    if (!saved) continue;
    const TVECTOR& last = SB_Var.BsplineMeters[SB_Var.NbBsplineMeters - 1];
    EXPECT_LT(std::hypot(last.x - line.back().x, last.z - line.back().z), 3.0) << run;
    EXPECT_EQ(ztest::ReadFile(Path("M.BSP")).size(), 4 + 24 * size_t(SB_Var.NbBsplineMeters)) << run;
  }
}

TEST_F(RaceLineFile, RefusedFilesLeaveTheLineAsItWas) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::string good = Bytes(1, {1, 2, 3});
  const struct {
    const char* what;
    std::string bytes;
    const char* message;
  } rows[] = {
      {"empty", "", "Bspline file BAD.BSP corrupt !!!"},
      {"3 bytes", good.substr(0, 3), "Bspline file BAD.BSP corrupt !!!"},
      {"count -1", Bytes(-1, {}), "Bspline file BAD.BSP corrupt !!!"},
      {"count 2^31 - 1", Bytes(2147483647, {1, 2, 3}), "Bspline file BAD.BSP corrupt !!!"},
      {"one byte short", good.substr(0, good.size() - 1), "Bspline file BAD.BSP corrupt !!!"},
      {"one byte long", good + "x", "Bspline file BAD.BSP corrupt !!!"},
      {"not a number", Bytes(2, {1, 2, 3, 4, nan, 6}), "Bspline file BAD.BSP corrupt !!!"},
      {"infinite", Bytes(1, {-inf, 2, 3}), "Bspline file BAD.BSP corrupt !!!"},
      {"1001 points", Bytes(1001, std::vector<double>(3003, 1.0)), "Bspline file BAD.BSP: 1001 points, 1000 at most !!!"},
  };
  SetLine({{1, 2, 3}, {4, 5, 6}});
  SB_Var.BsplineSelected[1] = 1;
  SB_GetBsplinesAngles();
  const int32_t meters = SB_Var.NbBsplineMeters;
  TVECTOR before[2];
  std::memcpy(before, SB_Var.RaceLinePoints, sizeof before);
  for (const auto& r : rows) {
    ztest::WriteFile(Path("BAD.BSP"), r.bytes);
    Printed();
    EXPECT_EQ(SB_LoadBsplines("BAD.BSP"), 0) << r.what;
    EXPECT_EQ(Printed(), Lines{r.message}) << r.what;
    EXPECT_EQ(SB_Var.NbRaceLinePoints, 2) << r.what;
    EXPECT_EQ(std::memcmp(before, SB_Var.RaceLinePoints, sizeof before), 0) << r.what;
    EXPECT_EQ(SB_Var.BsplineSelected[1], 1u) << r.what;
    EXPECT_EQ(SB_Var.NbBsplineMeters, meters) << r.what;
  }
  EXPECT_EQ(SB_LoadBsplines("NOWHERE>BAD.BSP"), 0);  // a folder that does not exist
  EXPECT_TRUE(Printed().empty());
  // Three equal points far out are a line, with no metre point.
  ztest::WriteFile(Path("FAR.BSP"), Bytes(3, {5e5, 1, -5e5, 5e5, 1, -5e5, 5e5, 1, -5e5}));
  EXPECT_EQ(SB_LoadBsplines("FAR.BSP"), 1);
  EXPECT_EQ(SB_Var.NbRaceLinePoints, 3);
  EXPECT_EQ(SB_Var.NbBsplineMeters, 0);
  EXPECT_TRUE(Printed().empty());
}

TEST_F(RaceLineFile, AFileThatCannotBeMadeIsReportedAndTheToolGoesOn) {
  SetLine({{0, 0, 0}, {5, 0, 0}});
  SB_GetBsplinesAngles();
  ztest::WriteFile(Path("DIR/KEEP"), "");
  for (const char* name : {"NOWHERE>X.BSP", "DIR"}) {
    SB_SaveBsplines(name);
    SB_SaveBsplinesMeters(name);
    EXPECT_EQ(Printed(), (Lines{std::string("Error creating file ") + name + " !!!",
                                std::string("Error creating file ") + name + " !!!"}));
  }
  EXPECT_FALSE(ztest::FileExists(Path("NOWHERE")));
}

}  // namespace
