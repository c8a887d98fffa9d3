// Drawing windows: set-up and locking, the tables by depth, clipped lines,
// the face dispatch, the null routine, and the arrays of a 3D object.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "system/asm3d/zidade3d.h"
#include "system/error.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "tests/system/window3d_fixture.h"

namespace {

using ztest::ExitCodeOf;
using ztest::g_faces;
using ztest::g_lines;
using ztest::PixelSet;

class Window3d : public ztest::Window3dTest {
 protected:
  // A 100 x 50 window at (0, 0) of a bitmap of that size, drawing through
  // the recording table.
  void Recording() {
    bmap_ = LS_CreateBmap(100, 50, 8, 0);
    LS_InitWindowFull(bmap_, &window_, 0xFFFFFFFF);
    window_.W_PRIMITIVE = &ztest::kRecordingTable;
  }
  void TearDown() override {
    LS_FreeBmap(bmap_);
    Window3dTest::TearDown();
  }
  // The clipped ends LS_WinLine hands to the line slot; empty when nothing
  // is drawn.
  std::vector<int32_t> Clipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    g_lines.clear();
    LS_WinLine(&window_, x1, y1, x2, y2, 9);
    if (g_lines.empty()) return {};
    EXPECT_EQ(g_lines.size(), 1u);
    return {g_lines[0].x1, g_lines[0].y1, g_lines[0].x2, g_lines[0].y2};
  }

  BMAP* bmap_ = nullptr;
  _WINDOW window_{};
};

TEST_F(Window3d, AddressOfTheFirstPixelByDepth) {
  const struct {
    int32_t depth;
    ptrdiff_t offset;
  } cases[] = {{8, 20 * 100 + 10}, {16, 4020}, {24, 20 * 300 + 30}, {32, 20 * 400 + 40}};
  for (const auto& c : cases) {
    BMAP* b = LS_CreateBmap(100, 30, c.depth, 0);
    _WINDOW w;
    std::memset(&w, 0x5A, sizeof w);
    LS_InitWindow(b, &w, 12, 10, 20, 30, 5);
    EXPECT_EQ(w.W_ADDRESS - b->Start, c.offset) << c.depth;
    EXPECT_EQ(w.W_BMAP, b);
    EXPECT_EQ(w.W_DETAIL, 12u);
    EXPECT_EQ(w.W_WIDTH, 30);
    EXPECT_EQ(w.W_HEIGHT, 5);
    EXPECT_EQ(w.W_POSX, 10);
    EXPECT_EQ(w.W_POSY, 20);
    EXPECT_EQ(w.W_RESERVED, 0);
    LS_InitWindowFull(b, &w, 3);
    EXPECT_EQ(w.W_ADDRESS, b->Start);
    EXPECT_EQ(w.W_WIDTH, 100);
    EXPECT_EQ(w.W_HEIGHT, 30);
    EXPECT_EQ(w.W_POSX | w.W_POSY, 0);
    LS_FreeBmap(b);
  }
}

TEST_F(Window3d, TheTableFollowsTheDepth) {
  const struct {
    int32_t depth;
    const LS_PRIMITIVES* table;
  } cases[] = {
      {8, &LSI_Primitives8}, {16, &LSI_Primitives16}, {24, &LSI_NoPrimitives}, {32, &LSI_NoPrimitives}};
  for (const auto& c : cases) {
    BMAP* b = LS_CreateBmap(4, 4, c.depth, 0);
    _WINDOW w;
    LS_InitWindowFull(b, &w, 0);
    EXPECT_EQ(w.W_PRIMITIVE, c.table) << c.depth;
    LS_FreeBmap(b);
  }
  EXPECT_EQ(LSI_Primitives8.Plot, &WI_PLOT8);
  EXPECT_EQ(LSI_Primitives8.Line, &WI_LINE8);
  EXPECT_EQ(LSI_Primitives16.Plot, &LS_Plot16);
  EXPECT_EQ(LSI_Primitives16.Line, &LS_Line16);
  const LS_PLOTPROC noPlot = LS_NoPrimitive;
  const LS_LINEPROC noLine = LS_NoPrimitive;
  const LS_FACEPROC noFace = LS_NoPrimitive;
  EXPECT_EQ(LSI_NoPrimitives.Plot, noPlot);
  EXPECT_EQ(LSI_NoPrimitives.Line, noLine);
  for (int32_t type = 0; type < 16; ++type) {
    EXPECT_EQ(LSI_NoPrimitives.Triangle[type], noFace);
    EXPECT_EQ(LSI_NoPrimitives.Quadrangle[type], noFace);
  }
}

TEST_F(Window3d, NullSlotsOfTheFaceTypes) {
  const LS_FACEPROC null = LS_NullPrimitive;
  for (int32_t type = 0; type < 16; ++type) {
    const bool isNull =
        type == 2 || type == 6 || type == 8 || type == 9 || type == 10 || type == 11 || type == 14;
    EXPECT_EQ(LSI_Primitives8.Triangle[type], isNull ? null : &WI_TRIANGLE8) << type;
    EXPECT_EQ(LSI_Primitives8.Quadrangle[type], isNull ? null : &WI_QUADRANGLE8) << type;
    EXPECT_EQ(LSI_Primitives16.Triangle[type], isNull ? null : &LS_Triangle16) << type;
    EXPECT_EQ(LSI_Primitives16.Quadrangle[type], isNull ? null : &LS_Quadrangle16) << type;
  }
}

TEST_F(Window3d, UnlockedWindowsDrawNothing) {
  BMAP* surface = LS_CreateBmap(20, 10, 16, BMAP_SYSMEM);
  ASSERT_NE(surface, nullptr);
  _WINDOW w;
  LS_InitWindow(surface, &w, 0xFFFFFFFF, 2, 3, 10, 5);
  EXPECT_EQ(w.W_ADDRESS, nullptr);
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
  LS_WinLine(&w, 0, 0, 9, 4, 5);
  LS_WinTriangle(&w, 2, &t);  // not even the null routine runs
  EXPECT_EQ(LS_BmapLockCount, locks_);

  LS_LockWindow(&w);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 1);
  ASSERT_NE(surface->Start, nullptr);
  EXPECT_EQ(w.W_ADDRESS, surface->Start + 3 * surface->ByteLen + 2 * 2);
  LS_WinLine(&w, 0, 0, 9, 0, 5);
  EXPECT_EQ(LS_UnlockWindow(&w), 1);
  EXPECT_EQ(w.W_ADDRESS, nullptr);
  EXPECT_EQ(LS_BmapLockCount, locks_);
  EXPECT_EQ(Drawn(surface).size(), 10u);
  LS_WinLine(&w, 0, 1, 9, 1, 5);
  EXPECT_EQ(Drawn(surface).size(), 10u);
  LS_FreeBmap(surface);

  // A memory bitmap is always addressable, but an unlocked window still
  // draws nothing until it is locked again.
  BMAP* memory = LS_CreateBmap(8, 8, 8, 0);
  LS_InitWindowFull(memory, &w, 0);
  EXPECT_NE(w.W_ADDRESS, nullptr);
  EXPECT_EQ(LS_UnlockWindow(&w), 1);
  EXPECT_EQ(w.W_ADDRESS, nullptr);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  EXPECT_TRUE(Drawn(memory).empty());
  LS_LockWindow(&w);
  EXPECT_EQ(w.W_ADDRESS, memory->Start);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  EXPECT_EQ(Drawn(memory).size(), 8u);
  LS_UnlockWindow(&w);
  LS_FreeBmap(memory);
}

TEST_F(Window3d, OtherDepthsDrawNothing) {
  BMAP* b = LS_CreateBmap(8, 8, 24, 0);
  _WINDOW w;
  LS_InitWindowFull(b, &w, 0xFFFFFFFF);
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
  const _QUADRANGLE q = Quadrangle({0, 0, 4, 0, 4, 4, 0, 4}, 5);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  LS_WinTriangle(&w, 2, &t);
  LS_WinQuadrangle(&w, 0, &q);
  w.W_PRIMITIVE->Plot(&w, 1, 1, 5);
  EXPECT_TRUE(Drawn(b).empty());
  LS_FreeBmap(b);
}

TEST_F(Window3d, LinesOfTheEdgeList) {
  Recording();
  EXPECT_EQ(Clipped(-10, 5, 10, 5), (std::vector<int32_t>{0, 5, 10, 5}));
  EXPECT_EQ(Clipped(-5, -5, -1, 20), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(10, 40, 10, 50), (std::vector<int32_t>{10, 40, 10, 49}));
  EXPECT_EQ(Clipped(0, 0, 50, 50), (std::vector<int32_t>{0, 0, 49, 49}));
  EXPECT_EQ(Clipped(-1000000, -1000000, 1000000, 1000000), (std::vector<int32_t>{0, 0, 49, 49}));
  EXPECT_EQ(Clipped(99, 49, 0, 0), (std::vector<int32_t>{99, 49, 0, 0}));
  EXPECT_EQ(Clipped(200, 10, -100, 10), (std::vector<int32_t>{99, 10, 0, 10}));
  EXPECT_EQ(g_lines.back().colour, 9u);
}

// Horizontal and vertical lines wholly outside are dropped, not pulled
// onto the border.
TEST_F(Window3d, LinesWhollyOutsideAreDropped) {
  Recording();
  EXPECT_EQ(Clipped(0, -3, 99, -3), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(50, -10, 50, -5), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(0, 50, 99, 50), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(100, 0, 100, 49), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(-1, 0, -1, 49), std::vector<int32_t>{});
  EXPECT_EQ(Clipped(90, -20, 120, 5), std::vector<int32_t>{});  // passes above the corner
  window_.W_WIDTH = 0;
  EXPECT_EQ(Clipped(-5, 5, 5, 5), std::vector<int32_t>{});
}

// Far-off ends in 64 bits: whatever the ends, every end handed to the line
// slot lies inside the window.
TEST_F(Window3d, ClippedEndsAlwaysLieInside) {
  Recording();
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int32_t> near(-300, 300);
  for (int n = 0; n < 20000; ++n) {
    const bool far = n % 2;
    const int32_t e[4] = {far ? any(random) : near(random), far ? any(random) : near(random),
                          far ? any(random) : near(random), n % 4 == 1 ? near(random) : any(random)};
    const std::vector<int32_t> c = Clipped(e[0], e[1], e[2], e[3]);
    if (c.empty()) continue;
    for (int i = 0; i < 4; i += 2) {
      EXPECT_TRUE(c[i] >= 0 && c[i] < 100 && c[i + 1] >= 0 && c[i + 1] < 50)
          << e[0] << "," << e[1] << " " << e[2] << "," << e[3];
    }
  }
  EXPECT_EQ(Clipped(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), (std::vector<int32_t>{0, 0, 49, 49}));
}

// Thousands of lines through a window inside a larger bitmap leave every
// pixel outside the window as it was.
TEST_F(Window3d, ClippedLinesStayInsideTheWindow) {
  for (const int32_t depth : {8, 16}) {
    const uint32_t sentinel = depth == 8 ? 0xAB : 0xABCD;
    BMAP* b = LS_CreateBmap(160, 100, depth, 0);
    LS_FillRect(b, 0, 0, 159, 99, sentinel);
    _WINDOW w;
    LS_InitWindow(b, &w, 0, 10, 20, 100, 50);
    std::mt19937 random(depth);
    std::uniform_int_distribution<int32_t> end(-5000, 5000);
    for (int n = 0; n < 4000; ++n) LS_WinLine(&w, end(random), end(random), end(random), end(random), n + 1);
    int32_t inside = 0;
    for (const auto& [x, y] : Drawn(b, sentinel)) {
      ASSERT_TRUE(x >= 10 && x < 110 && y >= 20 && y < 70) << depth << ": " << x << "," << y;
      ++inside;
    }
    EXPECT_GT(inside, 500);  // the lines that cross the window were drawn
    LS_FreeBmap(b);
  }
}

TEST_F(Window3d, FacesAreHandedOverAsFaceAndVertexRecords) {
  Recording();
  _TEXTURE texture{};
  _TRIANGLE t{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x99, &texture, 17, 18, 19, 20};
  LS_WinTriangle(&window_, 5, &t);
  ASSERT_EQ(g_faces.size(), 1u);
  const ztest::RecordedFace& f = g_faces[0];
  EXPECT_FALSE(f.quadrangle);
  EXPECT_EQ(f.slot, 5);
  EXPECT_EQ(f.face.G_TEXTURE, &texture);
  EXPECT_EQ(f.face.G_COLOR, 0x99u);
  EXPECT_EQ(f.face.G_TRANSPARENCE, 0);
  EXPECT_EQ(f.face.G_LUM, 20);
  EXPECT_EQ(f.face.G_OFFTEXTX1, 3);
  EXPECT_EQ(f.face.G_OFFTEXTY1, 4);
  EXPECT_EQ(f.face.G_OFFTEXTX3, 13);
  EXPECT_EQ(f.face.G_OFFTEXTY3, 14);
  EXPECT_EQ(f.face.G_OFFTEXTX4, 0);
  EXPECT_EQ(f.points[1].P_XG, 6);
  EXPECT_EQ(f.points[1].P_YG, 7);
  EXPECT_EQ(f.points[1].P_LUM, 10);
  EXPECT_EQ(f.points[1].P_RESERVED1[2], 18);  // the depth
  EXPECT_EQ(f.points[2].P_XG, 11);
  EXPECT_FALSE(f.fourth);

  _QUADRANGLE q{};
  q.Q_X4 = 40, q.Q_Y4 = 41, q.Q_XT4 = 42, q.Q_YT4 = 43, q.Q_CLR4 = 44, q.Q_Z4 = 45;
  q.Q_COLOR = 0x77, q.Q_LUMINOSITE = 3;
  LS_WinQuadrangle(&window_, 12, &q);
  ASSERT_EQ(g_faces.size(), 2u);
  const ztest::RecordedFace& g = g_faces[1];
  EXPECT_TRUE(g.quadrangle);
  EXPECT_EQ(g.slot, 12);
  EXPECT_EQ(g.face.G_COLOR, 0x77u);
  EXPECT_EQ(g.face.G_LUM, 3);
  EXPECT_EQ(g.face.G_OFFTEXTX4, 42);
  EXPECT_EQ(g.face.G_OFFTEXTY4, 43);
  ASSERT_TRUE(g.fourth);
  EXPECT_EQ(g.points[3].P_XG, 40);
  EXPECT_EQ(g.points[3].P_YG, 41);
  EXPECT_EQ(g.points[3].P_LUM, 44);
  EXPECT_EQ(g.points[3].P_RESERVED1[2], 45);
}

TEST_F(Window3d, TheDetailMasksTheFaceType) {
  Recording();
  const _TRIANGLE t = Triangle(0, 0, 1, 0, 0, 1, 1);
  const _QUADRANGLE q = Quadrangle({0, 0, 1, 0, 1, 1, 0, 1}, 1);
  window_.W_DETAIL = 0;
  for (int32_t type = 0; type < 40; ++type) {
    LS_WinTriangle(&window_, type, &t);
    LS_WinQuadrangle(&window_, type, &q);
  }
  for (const auto& f : g_faces) EXPECT_EQ(f.slot, 0);
  g_faces.clear();
  window_.W_DETAIL = 12;
  LS_WinTriangle(&window_, 7, &t);
  LS_WinTriangle(&window_, 13, &t);
  window_.W_DETAIL = 0xFFFFFFFF;
  LS_WinTriangle(&window_, 16, &t);
  LS_WinQuadrangle(&window_, -1, &q);
  ASSERT_EQ(g_faces.size(), 4u);
  EXPECT_EQ(g_faces[0].slot, 4);
  EXPECT_EQ(g_faces[1].slot, 12);
  EXPECT_EQ(g_faces[2].slot, 0);
  EXPECT_FALSE(g_faces[2].quadrangle);
  EXPECT_EQ(g_faces[3].slot, 15);
  EXPECT_TRUE(g_faces[3].quadrangle);
}

TEST_F(Window3d, NullFaceTypeStoresErrorZeroAndExitsWithMinusOne) {
  for (const int32_t depth : {8, 16}) {
    BMAP* b = LS_CreateBmap(8, 8, depth, 0);
    _WINDOW w;
    LS_InitWindowFull(b, &w, 0xFFFFFFFF);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSI_Var.LastError = 77;
    const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
    EXPECT_EQ(ExitCodeOf([&] { LS_WinTriangle(&w, 2, &t); }), -1);
    EXPECT_EQ(LS_GetLastError(), 0u);
    LSI_Var.LastError = 77;
    const _QUADRANGLE q = Quadrangle({0, 0, 4, 0, 4, 4, 0, 4}, 5);
    EXPECT_EQ(ExitCodeOf([&] { LS_WinQuadrangle(&w, 14, &q); }), -1);
    EXPECT_EQ(LS_GetLastError(), 0u);
    EXPECT_TRUE(Drawn(b).empty());
    LS_FreeBmap(b);
  }
}

TEST_F(Window3d, NullFaceTypeIsFatalInTheNormalMode) {
  BMAP* b = LS_CreateBmap(8, 8, 8, 0);
  _WINDOW w;
  LS_InitWindowFull(b, &w, 0xFFFFFFFF);
  ASSERT_EQ(LSI_Var.ErrorMode, LS_ERRMODE_FATAL);
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
  EXPECT_EQ(ExitCodeOf([&] { LS_WinTriangle(&w, 2, &t); }), 1);
  ASSERT_EQ(Boxes().size(), 1u);
  char expected[200];
  std::snprintf(expected, sizeof expected, "LS_ERROR: %d %20s %s \n", 0, "User Error",
                "ZIDADE3D NULL POINTER ERROR.");
  EXPECT_EQ(Boxes()[0], expected);
  LS_FreeBmap(b);
}

// Block sizes as the heap keeps them: rounded up to 16 bytes.
uint32_t BlockSize(const void* data) {
  return reinterpret_cast<const HEAPBLOCK*>(static_cast<const char*>(data) - LS_HEAP_HEADER)->Size;
}
uint32_t Rounded(uint32_t bytes) { return (bytes + 15) & ~15u; }

TEST_F(Window3d, ObjectArraysComeFromTheDefaultHeap) {
  OBJECT3D o;
  std::memset(&o, 0x5A, sizeof o);
  const int16_t before = LSI_Var.NbAlloc;
  ASSERT_EQ(LS_AllocObject3D(&o, 300, 500), 0);
  EXPECT_EQ(LSI_Var.NbAlloc, before + 4);
  EXPECT_EQ(BlockSize(o.Points), Rounded(301 * 12));
  EXPECT_EQ(BlockSize(o.Faces), Rounded(500 * 40));
  EXPECT_EQ(BlockSize(o.Projected), Rounded(301 * 20));
  EXPECT_EQ(BlockSize(o.PointWords), Rounded(300 * 4));
  EXPECT_EQ(o.NbPoints, 0);
  EXPECT_EQ(o.NbFaces, 0);
  o.Points[300][2] = -1;  // the last point is there
  LS_FreeObject3D(&o);
  EXPECT_EQ(LSI_Var.NbAlloc, before);
  EXPECT_EQ(o.Points, nullptr);
  EXPECT_EQ(o.Faces, nullptr);

  ASSERT_EQ(LS_AllocObject3D(&o, 0, 0), 0);  // one point, no face, no word
  EXPECT_EQ(LSI_Var.NbAlloc, before + 2);
  EXPECT_EQ(o.Faces, nullptr);
  EXPECT_EQ(o.PointWords, nullptr);
  LS_FreeObject3D(&o);
  EXPECT_EQ(LSI_Var.NbAlloc, before);
}

TEST_F(Window3d, ObjectArraysThatCannotBeHadLeaveNothingAllocated) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  const int16_t before = LSI_Var.NbAlloc;
  OBJECT3D o;
  // The heap (16 MB) refuses the second, the third, then the first array.
  for (const auto& [n, m] : {std::pair{10, 1000000}, std::pair{500000, 10}, std::pair{2000000, 0}}) {
    LSI_Var.LastError = 0;
    EXPECT_EQ(LS_AllocObject3D(&o, n, m), 1) << n << " " << m;
    EXPECT_EQ(LSI_Var.NbAlloc, before);
    EXPECT_EQ(LS_GetLastError(), 12u);
    EXPECT_EQ(o.Points, nullptr);
    EXPECT_EQ(o.Faces, nullptr);
    EXPECT_EQ(o.Projected, nullptr);
    EXPECT_EQ(o.PointWords, nullptr);
  }
  // Counts that cannot be: refused before the heap is asked.
  LSI_Var.LastError = 0;
  for (const auto& [n, m] :
       {std::pair{-1, 10}, std::pair{10, -1}, std::pair{INT32_MAX, 0}, std::pair{0, INT32_MAX}}) {
    EXPECT_EQ(LS_AllocObject3D(&o, n, m), 1) << n << " " << m;
    EXPECT_EQ(LSI_Var.NbAlloc, before);
    EXPECT_EQ(o.Points, nullptr);
  }
  EXPECT_EQ(LS_GetLastError(), 0u);
}

}  // namespace
