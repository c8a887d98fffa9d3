// The polygon inspector: the pick over a polygon list, the description of
// a polygon with its table lookups checked, and the loop: when it acts,
// what it outlines and prints, what a move inside one polygon redraws,
// and how it is left.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "tests/tools/polypick/polypick_fixture.h"
#include "tools/editors.h"
#include "tools/polyinfo/polyinfo.h"

namespace {

using ztest::DrawnText;
using ztest::g_drawn;
using ztest::PolygonList;

using InspectorTest = ztest::InspectorTest;

TEST(PickPolygon, TheNearestContainingPolygonWins) {
  const struct {
    const char* what;
    std::vector<int32_t> keys;  // one unit square each, all over (5, 5)
    int expected;               // index, -1 none
  } kRows[] = {
      {"smallest key", {30, 10, 20}, 1},
      {"equal keys: the later", {10, 10, 40}, 1},
      {"above 1000000: never", {1000001, 2000000}, -1},
      {"1000000 itself", {1000000}, 0},
      {"negative keys are nearer", {5, -7, 0}, 1},
  };
  for (const auto& r : kRows) {
    PolygonList list;
    for (int32_t key : r.keys) list.Add(key, {{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    TSGLPOLY* picked = SB_PickPolygon(&list.scene, 5, 5);
    EXPECT_EQ(picked, r.expected < 0 ? nullptr : list.polys[static_cast<size_t>(r.expected)].get()) << r.what;
    EXPECT_EQ(SB_PickPolygon(&list.scene, 50, 50), nullptr) << r.what;
  }
  PolygonList list;
  list.Add(10, {{0, 0}, {10, 0}, {0, 10}});
  list.Add(5, {{0, 0}, {10, 0}, {0, 10}})->NbVertices = 0;
  EXPECT_EQ(SB_PickPolygon(&list.scene, 2, 2), list.polys[0].get()) << "an entry without vertices never wins";
  EXPECT_EQ(SB_PickPolygon(nullptr, 2, 2), nullptr);
  PolygonList empty;
  EXPECT_EQ(SB_PickPolygon(&empty.scene, 2, 2), nullptr);
}

TEST(PickPolygon, BadScreenCoordinatesAndCountsEndThePick) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PolygonList list;
  list.Add(1, {{nan, nan}, {nan, 0}, {0, nan}});
  list.Add(2, {{1e30f, 1e30f}, {-1e30f, 1e30f}, {0, -1e30f}});
  std::vector<std::pair<float, float>> many;
  for (int i = 0; i < 40; ++i) many.emplace_back(5 + 4 * std::cos(i * 0.157f), 5 + 4 * std::sin(i * 0.157f));
  list.Add(3, many);
  list.Add(4, {});
  for (double x : {5.0, 1e9, -1e9}) SB_PickPolygon(&list.scene, x, 5);  // ends, reads nothing outside
  int32_t pixel = 0;
  EXPECT_FALSE(SB_ScreenPixel(nan, &pixel));
  EXPECT_FALSE(SB_ScreenPixel(std::numeric_limits<float>::infinity(), &pixel));
  EXPECT_TRUE(SB_ScreenPixel(1e30f, &pixel));
  EXPECT_EQ(pixel, 32767);
  EXPECT_TRUE(SB_ScreenPixel(-12.7f, &pixel));
  EXPECT_EQ(pixel, -12) << "truncated toward zero";
}

TEST_F(InspectorTest, TheTitleReadsTheTablesOnlyWithinThem) {
  TTEXTUREPLACE& place = SB_Var.TexturePlaces[2];
  place.PageNumber = 5, place.X = 16, place.Y = 32, place.Three = 0xFF, place.Variant = 2;
  std::memcpy(SB_Var.TextureNames[2], "road", 4);
  SB_Var.TextureCache[5].Name = 0x2A, SB_Var.TextureCache[5].Flags = 0x10;
  SB_Var.TextureCache[9].Name = 0x3B;
  // The words behind the cache poisoned, so that a read past its end shows.
  auto* behind = reinterpret_cast<unsigned char*>(&SB_Var.TextureCache[SB_MAXCACHETEXTURE - 1]) + sizeof(TEXTURECACHE);
  std::memset(behind, 0x5A, sizeof(TEXTURECACHE));
  const struct {
    int8_t kind;
    uint16_t material;
    int32_t page;
    const char* title;
  } kRows[] = {
      {1, 2, 5, "T1 NP3 (TI5 [road           ] l-1 sgl:2A X 16 Y 32 F10 T:2)"},
      {7, 2, 5, "T7 NP3 (TI9 [] l-1 sgl:3B X  0 Y  0 F10 T:2)"},
      {1, SB_MAXTEXTURES, 5, "T1 NP3 (TI0 [] l0 sgl:0 X  0 Y  0 F0 T:0)"},
      {3, 2, -1, "T3 NP3 (TI-1 [road           ] l-1 sgl:0 X 16 Y 32 F0 T:2)"},
      {1, 2, SB_MAXCACHETEXTURE, "T1 NP3 (TI512 [road           ] l-1 sgl:0 X 16 Y 32 F0 T:2)"},
  };
  for (const auto& r : kRows) {
    PolygonList list;
    TSGLPOLY* p = list.Add(1, {{0, 0}, {10, 0}, {0, 10}}, r.kind, r.material);
    p->Texture = 9;
    place.PageNumber = r.page;
    char text[256];
    SB_PolygonTitle(p, text, sizeof text);
    EXPECT_STREQ(text, r.title);
  }
}

TEST_F(InspectorTest, OutlinesAndDescribesThePolygonUnderTheMouse) {
  PolygonList list;
  list.Add(10, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 1, 2);  // window-relative
  list.Add(10, {{200, 200}, {300, 200}, {300, 300}}, 5);
  bool markerKept = false;
  Moves({{30, 20}, {35, 25}, {20 + 250, 10 + 220}, {20 + 260, 10 + 220}});
  auto moves = ztest::g_onPass;
  ztest::g_onPass = [&, moves](int n) {
    if (n == 1) SB_FillRect(LS_Var.Screen, 600, 400, 600, 400, 0x0F0F);
    if (n == 2) markerKept = Pixel(600, 400) == 0x0F0F;
    moves(n);
  };
  plat::SetKeyState(122, true);
  SB_InspectPolygons(&list.scene);
  EXPECT_TRUE(markerKept) << "a move inside one polygon redraws only the cursor";
  EXPECT_EQ(ztest::g_inspectorPasses, 5);
  ASSERT_EQ(g_drawn.size(), 1u + 4 * 4) << "the square described once; the other kind outlined only";
  EXPECT_EQ(g_drawn[0].text, "T1 NP4 (TI0 [               ] l0 sgl:FFFFFFFF X  0 Y  0 F0 T:0)")
      << "page 0: the cache's first slot, not on the card";
  EXPECT_EQ(g_drawn[0].x * 1000 + g_drawn[0].y, 10 * 1000 + 10);
  EXPECT_EQ(g_drawn[1], (DrawnText{"0: x:0.000000 y:0.000000 z:0.000000 u:0.250000 v:0.750000", 10, 20}));
  EXPECT_EQ(g_drawn[2], (DrawnText{"   xs:0.000000 ys:0.000000 zs:0.500000 iz:2.000000", 10, 30}));
  EXPECT_EQ(g_drawn[3], (DrawnText{"   sp:445566 co:112233", 10, 40}));
  EXPECT_EQ(g_drawn[4], (DrawnText{"0", 20, 10})) << "the number at the vertex, window offset added";
  EXPECT_EQ(g_drawn[15], (DrawnText{"   sp:445566 co:112233", 10, 130})) << "the last line of four vertices";
  EXPECT_EQ(Pixel(20 + 250, 10 + 200), 0xFFFF) << "the triangle outlined";
  EXPECT_EQ(Pixel(20 + 50, 10), kBackground) << "the square's outline erased";
  EXPECT_EQ(Pixel(600, 400), kBackground) << "the frame drawn again for the other polygon";
}

TEST_F(InspectorTest, TheRightButtonLeavesAndTheClockRestarts) {
  PolygonList list;
  list.Add(10, {{0, 0}, {100, 0}, {0, 100}});
  ztest::g_onPass = [](int n) {
    plat::SetCursorPos(5, 5);  // left of and above the window: nothing picked
    plat::SetKeyState(2, n == 1);
  };
  plat::SetKeyState(122, true);
  SB_InspectPolygons(&list.scene);
  EXPECT_EQ(ztest::g_inspectorPasses, 2);
  EXPECT_TRUE(g_drawn.empty());
}

TEST_F(InspectorTest, OnlyWithTheAcceleratorF11AndTheDeveloperDisplayOrEditors) {
  PolygonList list;
  list.Add(10, {{0, 0}, {100, 0}, {0, 100}});
  const struct {
    int32_t renderer, devInfo, editors;
    bool f11, runs;
  } kRows[] = {{3, 1, 0, true, true}, {3, 0, 1, true, true}, {0, 1, 1, true, false},
               {3, 0, 0, true, false}, {3, 1, 1, false, false}};
  for (const auto& r : kRows) {
    ztest::g_inspectorPasses = 0;
    Moves({});
    SB_Var.Renderer = r.renderer, SB_Var.DrawDevInfo = r.devInfo, SB_Var.EditorMode = r.editors;
    plat::SetKeyState(122, r.f11);
    SB_InspectPolygons(&list.scene);
    plat::SetKeyState('Q', false);
    EXPECT_EQ(ztest::g_inspectorPasses > 0, r.runs) << r.renderer << r.devInfo << r.editors << r.f11;
  }
}

TEST_F(InspectorTest, WithoutItsCursorItLeavesAtOnce) {
  std::filesystem::remove(Path("INTERFAC/CURSOR.TGA"));
  PolygonList list;
  list.Add(10, {{0, 0}, {100, 0}, {0, 100}});
  plat::SetKeyState(122, true);
  SB_InspectPolygons(&list.scene);
  EXPECT_EQ(ztest::g_inspectorPasses, 0);
}

TEST_F(InspectorTest, BadPolygonsAreDrawnWithoutCrashing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  PolygonList list;
  list.Add(1, {{nan, nan}, {nan, 0}, {0, nan}});
  list.Add(2, {{1e30f, 1e30f}, {-1e30f, 1e30f}, {0, -1e30f}}, 3, 60000);
  Moves({{30, 20}, {300, 200}});
  plat::SetKeyState(122, true);
  SB_InspectPolygons(&list.scene);
  EXPECT_EQ(ztest::g_inspectorPasses, 3);
}

}  // namespace
