// Drawing windows: set-up and locking, the depths drawn, clipped lines,
// the face dispatch, the null routine, and the arrays of a 3D object.
#include <gtest/gtest.h>

#include <cstddef>
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
using Ends = std::vector<int32_t>;

class Window3d : public ztest::Window3dTest {
 protected:
  // A 100 x 50 window at (0, 0) of a bitmap of that size, drawing through
  // the recording table.
  void Recording() {
    LS_InitWindowFull(Make(100, 50, 8), &window_, 0xFFFFFFFF);
    window_.W_PRIMITIVE = &ztest::kRecordingTable;
  }
  // The clipped ends LS_WinLine hands to the line slot; empty when nothing
  // is drawn.
  Ends Clipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    g_lines.clear();
    LS_WinLine(&window_, x1, y1, x2, y2, 9);
    if (g_lines.empty()) return {};
    EXPECT_EQ(g_lines.size(), 1u);
    return {g_lines[0].x1, g_lines[0].y1, g_lines[0].x2, g_lines[0].y2};
  }

  _WINDOW window_{};
};

TEST_F(Window3d, AddressOfTheFirstPixelByDepth) {
  for (auto [depth, offset] : {std::pair{8, 20 * 100 + 10}, {16, 4020}, {24, 20 * 300 + 30}, {32, 20 * 400 + 40}}) {
    BMAP* b = Make(100, 30, depth);
    _WINDOW w;
    std::memset(&w, 0x5A, sizeof w);
    LS_InitWindow(b, &w, 12, 10, 20, 30, 5);
    EXPECT_EQ((std::tuple{w.W_ADDRESS - b->Start, w.W_DETAIL, w.W_WIDTH, w.W_HEIGHT, w.W_RESERVED}),
              (std::tuple{ptrdiff_t{offset}, 12u, 30, 5, 0})) << depth;
    LS_InitWindowFull(b, &w, 3);
    EXPECT_EQ((std::tuple{w.W_ADDRESS, w.W_WIDTH, w.W_HEIGHT}), (std::tuple{b->Start, 100, 30}));
  }
}

TEST_F(Window3d, UnlockedWindowsDrawNothing) {
  BMAP* surface = Make(20, 10, 16, BMAP_SYSMEM);
  _WINDOW w;
  LS_InitWindow(surface, &w, 0xFFFFFFFF, 2, 3, 10, 5);
  EXPECT_EQ(w.W_ADDRESS, nullptr);
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
  LS_WinLine(&w, 0, 0, 9, 4, 5);
  LS_WinTriangle(&w, 2, &t);  // not even the null routine runs
  LS_LockWindow(&w);
  EXPECT_EQ(LS_BmapLockCount, locks_ + 1);
  EXPECT_EQ(w.W_ADDRESS, surface->Start + 3 * surface->ByteLen + 2 * 2);
  LS_WinLine(&w, 0, 0, 9, 0, 5);
  EXPECT_EQ(LS_UnlockWindow(&w), 1);
  EXPECT_EQ(w.W_ADDRESS, nullptr);
  LS_WinLine(&w, 0, 1, 9, 1, 5);
  EXPECT_EQ(Drawn(surface).size(), 10u);
  // A memory bitmap is always addressable, but an unlocked window still
  // draws nothing until it is locked again.
  BMAP* memory = Make(8, 8, 8);
  LS_InitWindowFull(memory, &w, 0);
  EXPECT_EQ(LS_UnlockWindow(&w), 1);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  EXPECT_TRUE(Drawn(memory).empty());
  LS_LockWindow(&w);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  EXPECT_EQ(Drawn(memory).size(), 8u);
  LS_UnlockWindow(&w);
}

TEST_F(Window3d, OtherDepthsDrawNothing) {
  BMAP* b = Make(8, 8, 24);
  _WINDOW w;
  LS_InitWindowFull(b, &w, 0xFFFFFFFF);
  const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
  const _QUADRANGLE q = Quadrangle({0, 0, 4, 0, 4, 4, 0, 4}, 5);
  LS_WinLine(&w, 0, 0, 7, 7, 5);
  LS_WinTriangle(&w, 2, &t);
  LS_WinQuadrangle(&w, 0, &q);
  w.W_PRIMITIVE->Plot(&w, 1, 1, 5);
  EXPECT_TRUE(Drawn(b).empty());
}

TEST_F(Window3d, LinesAreClippedToTheWindow) {
  Recording();
  const std::pair<Ends, Ends> rows[] = {
      {{-10, 5, 10, 5}, {0, 5, 10, 5}},         {{10, 40, 10, 50}, {10, 40, 10, 49}},
      {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 49, 49}},
      {{99, 49, 0, 0}, {99, 49, 0, 0}},         {{200, 10, -100, 10}, {99, 10, 0, 10}},
      {{50, 0, 150, 40}, {50, 0, 99, 19}},      // the right edge cuts the slope
      // Wholly outside: dropped, not pulled onto the border.
      {{-5, -5, -1, 20}, {}}, {{100, 0, 100, 49}, {}}, {{90, -20, 120, 5}, {}},  // the last passes above the corner
  };
  for (const auto& [line, clipped] : rows) EXPECT_EQ(Clipped(line[0], line[1], line[2], line[3]), clipped) << line[0];
  Clipped(0, 0, 1, 1);
  EXPECT_EQ(g_lines.back().colour, 9u);
  window_.W_WIDTH = 0;
  EXPECT_EQ(Clipped(-5, 5, 5, 5), Ends{});
  // Far-off ends in 64 bits: whatever the ends, every end handed to the
  // line slot lies inside the window.
  window_.W_WIDTH = 100;
  std::mt19937 random(3);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX), near(-300, 300);
  for (int n = 0; n < 20000; ++n) {
    const int32_t e[4] = {n % 2 ? any(random) : near(random), n % 2 ? any(random) : near(random),
                          n % 2 ? any(random) : near(random), n % 4 == 1 ? near(random) : any(random)};
    const Ends c = Clipped(e[0], e[1], e[2], e[3]);
    for (size_t i = 0; i < c.size(); i += 2)
      ASSERT_TRUE(c[i] >= 0 && c[i] < 100 && c[i + 1] >= 0 && c[i + 1] < 50) << e[0] << "," << e[1] << " " << e[2] << "," << e[3];
  }
}

// Thousands of lines through a window inside a larger bitmap leave every
// pixel outside the window as it was.
TEST_F(Window3d, ClippedLinesStayInsideTheWindow) {
  for (const int32_t depth : {8, 16}) {
    const uint32_t sentinel = depth == 8 ? 0xAB : 0xABCD;
    BMAP* b = Make(160, 100, depth);
    LS_FillRect(b, 0, 0, 159, 99, sentinel);
    _WINDOW w;
    LS_InitWindow(b, &w, 0, 10, 20, 100, 50);
    std::mt19937 random(depth);
    std::uniform_int_distribution<int32_t> end(-5000, 5000);
    for (int n = 0; n < 4000; ++n) LS_WinLine(&w, end(random), end(random), end(random), end(random), n + 1);
    const ztest::PixelSet drawn = Drawn(b, sentinel);
    for (const auto& [x, y] : drawn) ASSERT_TRUE(x >= 10 && x < 110 && y >= 20 && y < 70) << depth << ": " << x << "," << y;
    EXPECT_GT(drawn.size(), 500u);  // the lines that cross the window were drawn
  }
}

TEST_F(Window3d, FacesAreHandedOverAsFaceAndVertexRecords) {
  Recording();
  _TEXTURE texture{};
  _TRIANGLE t{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x99, &texture, 17, 18, 19, 20};
  LS_WinTriangle(&window_, 5, &t);
  _QUADRANGLE q{};
  q.Q_X4 = 40, q.Q_Y4 = 41, q.Q_XT4 = 42, q.Q_YT4 = 43, q.Q_CLR4 = 44, q.Q_Z4 = 45;
  q.Q_COLOR = 0x77, q.Q_LUMINOSITE = 3;
  LS_WinQuadrangle(&window_, 12, &q);
  ASSERT_EQ(g_faces.size(), 2u);
  const ztest::RecordedFace& f = g_faces[0];  // the vertex's third reserved word is its depth
  EXPECT_EQ((std::tuple{f.quadrangle, f.slot, f.face.G_TEXTURE, f.face.G_COLOR, f.face.G_LUM, f.fourth}),
            (std::tuple{false, 5, &texture, 0x99u, 20, false}));
  EXPECT_EQ((std::tuple{f.face.G_OFFTEXTX1, f.face.G_OFFTEXTY1, f.face.G_OFFTEXTX3, f.face.G_OFFTEXTY3}),
            (std::tuple{3, 4, 13, 14}));
  EXPECT_EQ((std::tuple{f.points[1].P_XG, f.points[1].P_YG, f.points[1].P_LUM, f.points[1].P_RESERVED1[2]}),
            (std::tuple{6, 7, 10, 18}));
  const ztest::RecordedFace& g = g_faces[1];
  EXPECT_EQ((std::tuple{g.quadrangle, g.slot, g.face.G_LUM, g.face.G_OFFTEXTX4, g.face.G_OFFTEXTY4, g.fourth}),
            (std::tuple{true, 12, 3, 42, 43, true}));
  EXPECT_EQ((std::tuple{g.points[3].P_XG, g.points[3].P_YG, g.points[3].P_LUM, g.points[3].P_RESERVED1[2]}),
            (std::tuple{40, 41, 44, 45}));
}

TEST_F(Window3d, TheDetailMasksTheFaceType) {
  Recording();
  const _TRIANGLE t = Triangle(0, 0, 1, 0, 0, 1, 1);
  const _QUADRANGLE q = Quadrangle({0, 0, 1, 0, 1, 1, 0, 1}, 1);
  const std::tuple<uint32_t, int32_t, bool, int32_t> rows[] = {
      {0, 39, false, 0}, {0, 7, true, 0}, {12, 7, false, 4}, {12, 13, false, 12}, {0xFFFFFFFF, 16, false, 0}, {0xFFFFFFFF, -1, true, 15}};
  for (auto [detail, type, quadrangle, slot] : rows) {
    g_faces.clear();
    window_.W_DETAIL = detail;
    if (quadrangle)
      LS_WinQuadrangle(&window_, type, &q);
    else
      LS_WinTriangle(&window_, type, &t);
    ASSERT_EQ(g_faces.size(), 1u);
    EXPECT_EQ((std::tuple{g_faces[0].slot, g_faces[0].quadrangle}), (std::tuple{slot, quadrangle})) << detail << " " << type;
  }
}

TEST_F(Window3d, NullFaceTypesReportAndExitWithMinusOne) {
  for (const int32_t depth : {8, 16}) {
    BMAP* b = Make(8, 8, depth);
    _WINDOW w;
    LS_InitWindowFull(b, &w, 0xFFFFFFFF);
    LogErrors();
    const _TRIANGLE t = Triangle(0, 0, 4, 0, 0, 4, 5);
    const _QUADRANGLE q = Quadrangle({0, 0, 4, 0, 4, 4, 0, 4}, 5);
    EXPECT_EQ(ExitCodeOf([&] { LS_WinTriangle(&w, 2, &t); }), -1);
    EXPECT_EQ(ExitCodeOf([&] { LS_WinQuadrangle(&w, 14, &q); }), -1);
    EXPECT_TRUE(Drawn(b).empty());
    EXPECT_EQ(ExitCodeOf([&] { LS_WinTriangle(&w, 15, &t); }), -999);  // a type that draws
    EXPECT_FALSE(Drawn(b).empty());
  }
  EXPECT_EQ(Logged("ZIDADE3D NULL POINTER ERROR."), 4);
}

// Block sizes as the heap keeps them: rounded up to 16 bytes.
uint32_t BlockSize(const void* data) {
  return reinterpret_cast<const HEAPBLOCK*>(static_cast<const char*>(data) - LS_HEAP_HEADER)->Size;
}
uint32_t Rounded(uint32_t bytes) { return (bytes + 15) & ~15u; }

TEST_F(Window3d, ObjectArraysComeFromTheDefaultHeap) {
  OBJECT3D o;
  std::memset(&o, 0x5A, sizeof o);
  ASSERT_EQ(LS_AllocObject3D(&o, 300, 500), 0);
  EXPECT_EQ(LSI_Var.NbAlloc, nbAlloc_ + 4);
  EXPECT_EQ((std::tuple{BlockSize(o.Points), BlockSize(o.Faces), BlockSize(o.Projected), BlockSize(o.PointWords)}),
            (std::tuple{Rounded(301 * 12), Rounded(500 * 40), Rounded(301 * 20), Rounded(300 * 4)}));
  EXPECT_EQ(o.NbPoints + o.NbFaces, 0);
  LS_FreeObject3D(&o);
  EXPECT_EQ(o.Points, nullptr);
  ASSERT_EQ(LS_AllocObject3D(&o, 0, 0), 0);  // one point, no face, no word
  EXPECT_EQ((std::tuple{LSI_Var.NbAlloc, o.Faces, o.PointWords}), (std::tuple{int16_t(nbAlloc_ + 2), nullptr, nullptr}));
  LS_FreeObject3D(&o);
}

TEST_F(Window3d, ObjectArraysThatCannotBeHadLeaveNothingAllocated) {
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  OBJECT3D o;
  // The heap (16 MB) refuses the second, the third, then the first array;
  // counts that cannot be are refused before the heap is asked.
  const std::tuple<int32_t, int32_t, uint32_t> rows[] = {
      {10, 1000000, 12}, {500000, 10, 12}, {2000000, 0, 12}, {-1, 10, 0}, {10, -1, 0}, {INT32_MAX, 0, 0}, {0, INT32_MAX, 0}};
  for (auto [n, m, error] : rows) {
    LSI_Var.LastError = 0;
    EXPECT_EQ((std::tuple{LS_AllocObject3D(&o, n, m), LS_GetLastError(), LSI_Var.NbAlloc}), (std::tuple{1, error, nbAlloc_}))
        << n << " " << m;
    EXPECT_TRUE(!o.Points && !o.Faces && !o.Projected && !o.PointWords);
  }
}

}  // namespace
