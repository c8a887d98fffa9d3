// Developer statistics: the scene maxima, the overlay's lines compared with
// the same texts in the system font, and the profile of the car update.
#include "race/devinfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "racescene/race3d.h"
#include "shell/owner.h"
#include "system/font.h"
#include "system/lsvar.h"
#include "tests/race/race_fixture.h"

namespace {

using Lines = std::vector<std::pair<std::string, int32_t>>;  // text and y, at x = 0

class DevInfoTest : public ztest::SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    SB_CreateDataView();
    SB_Var.TextScreen = SB_CreateBmap(640, 480, 8, 0, "overlay");
    expected_ = SB_CreateBmap(640, 480, 8, 0, "expected");
    LS_ClearBmap(SB_Var.TextScreen);
    LS_ClearBmap(expected_);
  }
  void TearDown() override {
    SB_FreeBmap(expected_);
    SessionTest::TearDown();
  }
  // The overlay holds exactly these lines of the system font.
  void ExpectLines(const Lines& lines) {
    for (const auto& [text, y] : lines) LS_DrawString(LS_Var.SysFont, expected_, text.c_str(), 0, y, LS_BLIT_OPAQUE);
    const BMAP* a = SB_Var.TextScreen;
    for (int32_t y = 0; y < 480; ++y)
      ASSERT_EQ(std::memcmp(a->Start + y * a->ByteLen, expected_->Start + y * expected_->ByteLen, 640), 0) << y;
  }
  // The overlay on, in a connected session of the given slots.
  static void Connected(int32_t slots) {
    SB_Var.DrawDevInfo = 1;
    SB_Var.XState = XSTATE_CONNECTED;
    SB_Var.NetConnected = 1;
    SB_Var.NetSlots = slots;
  }
  BMAP* expected_ = nullptr;
};

TEST_F(DevInfoTest, TheMaximaGrowWithTheOverlayOff) {
  for (const auto& [polygons, vertices] : {std::pair{10, 20}, {4, 30}}) {
    SB_Var.UserView[1]->NbPolygons = polygons;
    SB_Var.UserView[1]->NbVertices = vertices;
    SB_DrawDevInfo();
  }
  EXPECT_EQ(std::pair(SB_Var.MaxPolygons, SB_Var.MaxSceneVertices), std::pair(10, 30));
  ExpectLines({});
}

TEST_F(DevInfoTest, DrawsTheFrameAndSessionLines) {
  Connected(3);
  SB_Var.FrameTime = 20;
  std::tie(SB_Var.SglWaitTime, SB_Var.SglLockTime, SB_Var.SglRenderTime, SB_Var.NbPolysDrawn) =
      std::tuple(1, 2, 3, 4);
  SB_Var.ProfileAverage = 7;
  SB_Var.NetMaxPlayers = 4;
  SB_Var.NetControllerMax = 8;
  SB_Var.NetPlayers[0] = CTRL_PLAYER{100, 1, XSTATE_READY2PLAY, 0, 1, 0, 0, {}, 0};
  SB_Var.NetPlayers[2] = CTRL_PLAYER{102, 1, 200, 0, 1, 0, 0, {}, 0};  // past the state names
  SB_DrawDevInfo();
  ExpectLines({{"50 W1 L2 R3 P4", 0}, {"M7", 8}, {"PLAYER MAX: 4", 300}, {"SERVER MAX: 8", 308},
               {"P(0), U(1), XS(READY2PLAY)", 316}, {"P(1), U(0), XS()", 324}, {"P(2), U(1), XS(?)", 332}});
}

// Where no view covers the overlay nothing clears it between frames: a
// shorter line leaves none of the longer one's characters.
TEST_F(DevInfoTest, AShorterLineLeavesNothingOfTheLongerOne) {
  SB_Var.DrawDevInfo = 1;
  SB_Var.FrameTime = 20;
  for (const int32_t polygons : {8150, 815}) {
    SB_Var.NbPolysDrawn = polygons;
    SB_Var.ProfileAverage = polygons * 10;
    SB_DrawDevInfo();
  }
  ExpectLines({{"50 W0 L0 R0 P815", 0}, {"M8150", 8}});
}

TEST_F(DevInfoTest, NoFrameTimeNoStatisticsAndAtMost32Players) {
  Connected(1000);
  SB_DrawDevInfo();
  Lines lines = {{"M0", 8}, {"PLAYER MAX: 0", 300}, {"SERVER MAX: 0", 308}};
  for (int32_t i = 0; i < 32; ++i) lines.push_back({"P(" + std::to_string(i) + "), U(0), XS()", 316 + 8 * i});
  ExpectLines(lines);
}

// Each measure adds its low 32 bits; the total keeps 64.
TEST_F(DevInfoTest, TheProfileAddsEachMeasuresLow32BitsToA64BitTotal) {
  ztest::Session().ticks = 3000000000;
  SB_ProfileStart();
  SB_ProfileStop();  // overlay off: not measured
  EXPECT_EQ(SB_Var.ProfileCalls, 0u);
  SB_Var.DrawDevInfo = 1;
  for (int i = 0; i < 2; ++i) {
    SB_ProfileStart();
    SB_ProfileStop();
  }
  EXPECT_EQ(std::pair(SB_Var.ProfileTicks, SB_Var.ProfileAverage), std::pair(uint64_t{6000000000}, uint64_t{3000000000}));
  ztest::Session().ticks = (uint64_t{1} << 32) + 9000000;  // a measure past 32 bits
  SB_ProfileStop();
  EXPECT_EQ(SB_Var.ProfileTicks, 6009000000u);
  SB_Var.DrawDevInfo = 0;
  SB_ProfileStop();
  EXPECT_EQ(SB_Var.ProfileAverage, 2003000000u);  // the average stays
}

}  // namespace
