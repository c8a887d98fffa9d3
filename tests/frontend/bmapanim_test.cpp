// Bitmap animations: the two loaders' series of files, advancing by time,
// the draws, the covered boxes, the busy cursor's time step and the busy
// cursor during the menus' transitions.
#include <cstdio>
#include <tuple>

#include "frontend/bmapanim.h"
#include "frontend/menuparts.h"
#include "platform/clock.h"
#include "shell/owner.h"
#include "tests/frontend/tree_fixture.h"

namespace ztest {
namespace {

class BmapAnimTest : public MenuTest {
 protected:
  void TearDown() override {
    plat::UseManualClock(false);
    MenuTest::TearDown();
  }
  // A w x h frame of one colour.
  void Frame(const std::string& path, int w, int h, uint32_t argb = 0xFF102030u) {
    Picture(path, w, h, [argb](int, int) { return argb; }, 24);
  }
  static std::vector<int32_t> Widths(const BMAPANIM* a) {
    std::vector<int32_t> w;
    for (int32_t i = 0; a && i < a->NbFrames; ++i) w.push_back(a->Frames[i]->SizeX);
    return w;
  }
  static std::string Cursor(int n) {
    char name[40];
    std::snprintf(name, sizeof name, "INTER/BMAPS/roue%04d.TGA", n);
    return name;
  }
};

// The base name alone and its numbers 0 and 1 are always tried; from 2 on
// the first missing number ends the series.
TEST_F(BmapAnimTest, LoaderSeries) {
  const struct {
    std::vector<const char*> files;  // suffixes of "CAR/A", each 10 + its index wide
    std::vector<int32_t> widths;
  } rows[] = {
      {{"", "1"}, {10, 11}},
      {{"", "1", "3"}, {10, 11}},
      {{"0", "1", "2", "4"}, {10, 11, 12}},
      {{"1"}, {10}},
      {{}, {}},
  };
  int set = 0;
  for (const auto& row : rows) {
    const std::string base = "CAR/S" + std::to_string(set++);
    for (size_t i = 0; i < row.files.size(); ++i) Frame(base + row.files[i] + ".TGA", 10 + static_cast<int>(i), 4);
    BMAPANIM* anim = LoadBmapAnim((base).c_str());
    EXPECT_EQ(Widths(anim), row.widths) << base;
    if (anim) {
      EXPECT_EQ((std::tuple{anim->CurFrame, anim->Time, anim->Period, anim->Frames[0]->Depth}),
                (std::tuple{0, 0.0, 0.1, 16}));
    }
    FreeBmapAnim(anim);
  }
  SB_Var.CarEditorDepth = 32;
  BMAPANIM* deep = LoadBmapAnim("CAR/S0");
  ASSERT_NE(deep, nullptr);
  EXPECT_EQ(deep->Frames[0]->Depth, 32);
  FreeBmapAnim(deep);
  EXPECT_EQ(LoadBmapAnim(nullptr), nullptr);
}

TEST_F(BmapAnimTest, LoadersStopAt256Frames) {
  for (int n = 0; n < 300; ++n) Frame("CAR/M" + std::to_string(n) + ".TGA", 1, 1);
  BMAPANIM* anim = LoadBmapAnim("CAR/M");
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(anim->NbFrames, 256);
  FreeBmapAnim(anim);
}

// The busy cursor: "roue0000" .. "roue0009", then "roue0010" on, in the
// interface heap; nothing without the first.
TEST_F(BmapAnimTest, BusyCursorSeries) {
  EXPECT_EQ(loadbmapanim(), nullptr);
  for (int n = 1; n <= 11; ++n) Frame(Cursor(n), n + 1, 2);
  EXPECT_EQ(loadbmapanim(), nullptr);
  Frame(Cursor(0), 1, 2);
  Frame(Cursor(13), 20, 2);  // after the missing 12th
  BMAPANIM* anim = loadbmapanim();
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(Widths(anim), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(anim->Period, 0.02);
  HEAP* heap = LSI_GetHeapOf(SB_Var.MenuHeap);
  const uint32_t free = LSI_GetHeapFreeMem(heap);
  FreeBmapAnimSys(anim);
  EXPECT_GT(LSI_GetHeapFreeMem(heap), free);
  FreeBmapAnimSys(nullptr);
}

// Whole periods step the frame, wrapping; the rest carries; a period of 0
// or less does not step.
TEST_F(BmapAnimTest, AdvancingByTime) {
  const struct {
    int32_t frames, from;
    double period, dt;
    int32_t to;
    double time;
  } rows[] = {
      {5, 0, 0.1, 0.25, 2, 0.05}, {3, 2, 0.1, 0.1, 0, 0.0}, {3, 1, 0.1, 0.65, 1, 0.05},
      {4, 1, 0.0, 1.0, 1, 1.0},   {4, 1, -0.1, 1.0, 1, 1.0}, {2, 0, 0.02, 0.019, 0, 0.019},
  };
  BMAP* frames[5] = {};
  for (const auto& row : rows) {
    BMAPANIM anim{row.frames, row.from, 0.0, row.period, frames};
    AdvanceBmapAnim(&anim, row.dt);
    EXPECT_EQ(anim.CurFrame, row.to) << row.period << " " << row.dt;
    EXPECT_NEAR(anim.Time, row.time, 1e-9) << row.period << " " << row.dt;
  }
}

// The box covers every frame; the empty box without frames.
TEST_F(BmapAnimTest, Boxes) {
  Frame("CAR/B.TGA", 10, 10);
  Frame("CAR/B0.TGA", 20, 5);
  BMAPANIM* anim = LoadBmapAnim("CAR/B");
  ASSERT_NE(anim, nullptr);
  using Box = std::tuple<int32_t, int32_t, int32_t, int32_t>;
  auto box = [](BMAPANIM* a, int32_t x, int32_t y, bool centred) {
    int32_t x1, y1, x2, y2;
    (centred ? GetBmapAnimBoxCentred : GetBmapAnimBox)(a, x, y, &x1, &y1, &x2, &y2);
    return Box{x1, y1, x2, y2};
  };
  EXPECT_EQ(box(anim, 0, 0, false), (Box{0, 0, 19, 9}));
  EXPECT_EQ(box(anim, 5, 7, false), (Box{5, 7, 24, 16}));
  EXPECT_EQ(box(anim, 100, 100, true), (Box{90, 95, 109, 104}));
  EXPECT_EQ(box(nullptr, 3, 3, false), (Box{1000000, 1000000, -1000000, -1000000}));
  EXPECT_EQ(box(nullptr, 3, 3, true), (Box{1000000, 1000000, -1000000, -1000000}));
  FreeBmapAnim(anim);
}

// Opaque, transparent and centred draws of the current frame.
TEST_F(BmapAnimTest, Draws) {
  Picture("CAR/D.TGA", 4, 2, [](int x, int) { return x < 2 ? 0xFF000000u : 0xFFF80000u; }, 24);
  Frame("CAR/D0.TGA", 4, 2, 0xFF0000F8u);
  BMAPANIM* anim = LoadBmapAnim("CAR/D");
  ASSERT_NE(anim, nullptr);
  BMAP* dst = LS_CreateBmap(10, 10, 16, LS_DefaultHeap);
  auto fill = [dst] {
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 10; ++x) reinterpret_cast<uint16_t*>(dst->Start + y * dst->ByteLen)[x] = 0x1234;
  };
  auto at = [dst](int32_t x, int32_t y) { return reinterpret_cast<uint16_t*>(dst->Start + y * dst->ByteLen)[x]; };
  fill();
  DrawBmapAnim(anim, dst, 1, 1, 0.0);  // frame 0: black then red
  EXPECT_EQ((std::tuple{at(0, 1), at(1, 1), at(3, 2), at(5, 1)}), (std::tuple{0x1234, 0, at(4, 1), 0x1234}));
  EXPECT_NE(at(3, 1), 0);
  fill();
  DrawBmapAnimTransparent(anim, dst, 1, 1, 0.0);  // black is skipped
  EXPECT_EQ(at(1, 1), 0x1234);
  EXPECT_NE(at(3, 1), 0x1234);
  fill();
  DrawBmapAnimCentred(anim, dst, 5, 5, 0.1);  // frame 1 at (3, 4)
  EXPECT_EQ(anim->CurFrame, 1);
  EXPECT_EQ((std::tuple{at(2, 4) == 0x1234, at(3, 4) == 0x1234, at(6, 5) == 0x1234, at(7, 5) == 0x1234}),
            (std::tuple{true, false, false, true}));
  DrawBmapAnim(nullptr, dst, 0, 0, 1.0);
  DrawBmapCentred(nullptr, dst, 0, 0);
  LS_SetErrorMode(LS_ERRMODE_LOG);
  DrawBmapAnimTransparent(anim, dst, 1, 1, 0.0);
  EXPECT_EQ(Logged("AniSpeed"), 0);
  anim->Period = 0.00005;
  DrawBmapAnimTransparent(anim, dst, 1, 1, 0.0);
  EXPECT_EQ(Logged("AniSpeed = 0.000050"), 1);
  LS_FreeBmap(dst);
  FreeBmapAnim(anim);
}

TEST_F(BmapAnimTest, TimeStepIsAtMostOneCursorPeriod) {
  plat::UseManualClock(true);
  plat::SetManualTime(5000);
  GetAnimTimeStep();
  const struct {
    uint32_t pause;
    double dt;
  } rows[] = {{1000, 0.02}, {10, 0.01}, {20, 0.02}, {21, 0.02}, {0, 0.0}};
  for (const auto& row : rows) {
    plat::AdvanceManualTime(row.pause);
    EXPECT_DOUBLE_EQ(GetAnimTimeStep(), row.dt) << row.pause;
  }
}

// The menus' transitions (kinds 4 and 5) show the busy cursor of the
// generated tree while they blend, and the arrow after.
class BusyCursorTest : public TreeMenuTest {};

bool g_busyWhileBlending = true;
int g_steps = 0;

TEST_F(BusyCursorTest, MenuTransitionsShowTheBusyCursor) {
  StartOn(2);
  ASSERT_NE(SB_Var.CursorAnim, nullptr);
  EXPECT_EQ(SB_Var.CursorAnim->NbFrames, 12);
  ASSERT_NE(SB_Var.CursorAnimFrame, nullptr);
  EXPECT_EQ((std::tuple{SB_Var.CursorAnimFrame->SizeX, SB_Var.CursorAnimFrame->SizeY}), (std::tuple{32, 32}));
  for (int32_t kind : {4, 5}) {
    g_busyWhileBlending = true;
    g_steps = 0;
    SetTransitionObserver([](double a, int32_t) {
      if (a < 1.0) ++g_steps, g_busyWhileBlending &= SB_Var.Cursor == SB_Var.CursorAnimFrame && SB_Var.CursorAnimated;
    });
    BMAP* a = SB_CreateBmap(640, 480, 16, BMAP_VIDEOMEM, "test");
    BMAP* b = SB_CreateBmap(640, 480, 16, BMAP_VIDEOMEM, "test");
    RunScreenTransition(SB_Var.MenuBmap, a, b, kind);
    SetTransitionObserver(nullptr);
    EXPECT_GT(g_steps, 0) << kind;
    EXPECT_TRUE(g_busyWhileBlending) << kind;
    EXPECT_EQ(SB_Var.Cursor, SB_Var.CursorStatic) << kind;
    EXPECT_EQ(SB_Var.CursorAnimated, 0) << kind;
    SB_FreeBmap(a);
    SB_FreeBmap(b);
  }
}

}  // namespace
}  // namespace ztest
