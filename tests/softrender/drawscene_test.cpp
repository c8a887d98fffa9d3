// The frame rasteriser with recording fillers: each entry reaches the
// filler of its kind with its arguments, in list order; and the L and N
// outlines over 8- and 16-bit views.
#include <cmath>
#include <cstring>
#include <string>

#include "engine3d/object.h"
#include "platform/window.h"
#include "scenery/effects.h"
#include "softrender/softrender.h"
#include "system/bmap.h"
#include "system/palette.h"
#include "tests/softrender/drawlist_fixture.h"

namespace ztest {
namespace {

struct Call {
  std::string filler;
  int32_t size;
  void* texture;
  TSOFTVERTEX* corners[3];
  int32_t count, transparent;
  uint8_t* firstPixel;
  TSOFTORIGIN* origin;
  float* matrix;
};
std::vector<Call> g_calls;
int32_t g_lockAtFill = -1;

void Tri(const char* name, int32_t size, uint8_t* texture, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
         int32_t transparent) {
  g_calls.push_back({name, size, texture, {a, b, c}, 3, transparent, nullptr, nullptr, nullptr});
}
void Poly(const char* name, int32_t size, TSOFTVERTEX* v, int32_t count, uint8_t* texture, uint8_t* first,
          TSOFTORIGIN* origin, float* matrix) {
  g_calls.push_back({name, size, texture, {v, nullptr, nullptr}, count, 0, first, origin, matrix});
}

}  // namespace
}  // namespace ztest

// Records when the band above the panorama is filled.
void SB_FillAbovePanorama() {
  ztest::g_calls.push_back({"panorama", 0, nullptr, {}, 0, 0, nullptr, nullptr, nullptr});
  ztest::g_lockAtFill = SB_Var.ScreenWindow.W_BMAP ? SB_Var.ScreenWindow.W_BMAP->LockCount : -1;
}

namespace ztest {
namespace {

class DrawSceneTest : public DrawListTest {
 protected:
  void SetUp() override {
    DrawListTest::SetUp();
    g_calls.clear();
    SB_Var.AffineTriFiller = [](int32_t s, _WINDOW*, uint8_t* t, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                                int32_t tr) { Tri("affine", s, t, a, b, c, tr); };
    SB_Var.PerspTriFiller = [](int32_t s, _WINDOW*, uint8_t* t, TSOFTVERTEX* a, TSOFTVERTEX* b, TSOFTVERTEX* c,
                               int32_t tr) { Tri("persptri", s, t, a, b, c, tr); };
    SB_Var.PerspOpaqueFiller = [](int32_t s, TSOFTVERTEX* v, int32_t n, uint8_t* t, uint8_t* f, TSOFTORIGIN* o,
                                  float* m) { Poly("opaque", s, v, n, t, f, o, m); };
    SB_Var.PerspTranspFiller = [](int32_t s, TSOFTVERTEX* v, int32_t n, uint8_t* t, uint8_t* f, TSOFTORIGIN* o,
                                  float* m) { Poly("transp", s, v, n, t, f, o, m); };
    plat::ReleaseAllKeys();
  }
  void TearDown() override {
    plat::ReleaseAllKeys();
    if (bitmap_) LS_FreeBmap(bitmap_);
    SB_Var.ScreenWindow = {};
    DrawListTest::TearDown();
  }
  void Window(int32_t depth) {
    bitmap_ = LS_CreateBmap(640, 400, depth, 0);
    LS_ClearBmap(bitmap_);
    LS_InitWindowFull(bitmap_, &window_, 0xF);
    SB_Var.ScreenWindow = window_;
  }
  void Draw() { E3D_SoftDrawScene(&window_, &scene_); }
  BMAP* bitmap_ = nullptr;
};

TEST_F(DrawSceneTest, EachKindReachesItsFillerInListOrder) {
  Window(8);
  SB_Var.TexturePlaces[1].Loaded = 0;
  SB_Var.TexturePlaces[0].Selector = 0xF3;  // a negative signed byte
  Add(5, Square(0, 0, 1000), 1000, 0);      // perspective opaque
  Add(3, Triangle(0, 0, 1000), 1000, 1);    // affine transparent
  Add(3, Square(0, 0, 1000), 1000, 0);      // perspective transparent
  Add(1, Triangle(0, 0, 1000), 1000, 1);    // affine opaque
  Add(0, Triangle(0, 0, 1000));             // listed, not drawn
  SB_Var.NbPolysDrawn = -1;
  Draw();
  ASSERT_EQ(g_calls.size(), 5u);
  EXPECT_EQ(g_calls[0].filler, "panorama");
  EXPECT_EQ(g_lockAtFill, 1);  // a memory bitmap's own lock only
  const char* order[] = {"opaque", "affine", "transp", "affine"};
  const int32_t transparent[] = {0, 1, 0, 0};
  for (int32_t i = 0; i < 4; ++i) {
    const Call& c = g_calls[static_cast<size_t>(i) + 1];
    const TSOFTDRAW& e = Draws()[i];
    EXPECT_EQ(c.filler, order[i]) << i;
    EXPECT_EQ(c.size, static_cast<int8_t>(e.SizeIndex)) << i;
    EXPECT_EQ(c.texture, E3D_SoftTextureBase(&scene_, e.Texture)) << i;
    if (c.filler == "affine") {
      for (int32_t k = 0; k < 3; ++k) EXPECT_EQ(c.corners[k], &vertices_[Tris()[e.Fill].Corner[k]]) << i;
      EXPECT_EQ(c.transparent, transparent[i]) << i;
    } else {
      TSOFTPERSP* p = static_cast<TSOFTPERSP*>(SB_Var.TriBuffers[1]) + e.Fill;
      EXPECT_EQ(c.corners[0], &vertices_[p->FirstVertex]) << i;
      EXPECT_EQ(c.count, 4) << i;
      EXPECT_EQ(c.firstPixel, window_.W_ADDRESS ? window_.W_ADDRESS : bitmap_->Start) << i;
      EXPECT_EQ(c.origin, &p->Origin) << i;
      EXPECT_EQ(c.matrix, p->Matrix) << i;
    }
  }
  EXPECT_EQ(g_calls[1].size, -13);
  EXPECT_EQ(SB_Var.NbPolysDrawn, 5);
  EXPECT_EQ(E3D_FillPitch, bitmap_->ByteLen);
  EXPECT_EQ(E3D_FillWidth, window_.W_WIDTH);  // the view the families' corners keep to
  EXPECT_EQ(E3D_FillHeight, window_.W_HEIGHT);
}

TEST_F(DrawSceneTest, TheTriangleFillerTakesKinds9And10) {
  Window(8);
  SB_Var.SoftFillers = 0;
  Add(1, Triangle(0, 0, 1000));
  Add(3, Triangle(0, 0, 1000));
  Draw();
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[1].filler, "persptri");
  EXPECT_EQ(g_calls[1].transparent, 0);
  EXPECT_EQ(g_calls[2].filler, "persptri");
  EXPECT_EQ(g_calls[2].transparent, 1);
}

TEST_F(DrawSceneTest, ANullOrEmptyViewOrANullSlotDrawsNothing) {
  Window(8);
  SB_Var.NbPolysDrawn = -1;
  E3D_SoftDrawScene(&window_, nullptr);
  E3D_SoftDrawScene(nullptr, &scene_);
  EXPECT_TRUE(g_calls.empty());
  // A view without polygons still has its band above the panorama filled.
  Draw();
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].filler, "panorama");
  EXPECT_EQ(SB_Var.NbPolysDrawn, -1);
  g_calls.clear();
  SB_Var.AffineTriFiller = nullptr;
  SB_Var.TexturePlaces[0].Loaded = 0;
  Add(1, Triangle(0, 0, 1000));
  Draw();
  EXPECT_EQ(g_calls.size(), 1u);  // the panorama band only
}

// The fillers read an object texture as rows of 256 texels at the view's
// depth: a bitmap of another depth, width or row length, or pixels not its
// own, is refused and counted, and never read.
TEST_F(DrawSceneTest, AnObjectBitmapUnlikeTheViewIsRefusedUnread) {
  const struct {
    const char* what;
    int32_t view, depth, width, extraRow, offset;
    bool drawn;
  } rows[] = {
      {"8 bits in an 8-bit view", 8, 8, 256, 0, 0, true},
      {"16 bits in a 16-bit view", 16, 16, 256, 0, 0, true},
      {"8 bits in a 16-bit view", 16, 8, 256, 0, 0, false},
      {"16 bits in an 8-bit view", 8, 16, 256, 0, 0, false},
      {"128 texels wide", 16, 16, 128, 0, 0, false},
      {"a row longer than its width", 8, 8, 256, 4, 0, false},
      {"pixels past its start", 8, 8, 256, 0, 256, false},
  };
  for (const auto& r : rows) {
    Window(r.view);
    SB_Var.AffineTriFiller = r.view == 16 ? E3D_AffineTri16 : E3D_AffineTri8;
    // The pixels in a block of their own exact size, which the sanitizers
    // watch (the library's heap would hide a read past them).
    BMAP* texture = LS_CreateBmap(r.width, 64, r.depth, 0);
    std::vector<uint8_t> pixels(static_cast<size_t>(texture->ByteLen) * 64, 0x5A);
    uint8_t* own = texture->Start;
    texture->Start = pixels.data();
    texture->ByteLen += r.extraRow;
    TMATERIAL material{};
    material.Bitmap = texture, material.Pixels = texture->Start + r.offset;
    Limits(10, 100);
    Add(7, {At(-300, -300, 1000, 0, 0), At(300, -300, 1000, 255 << 8, 0), At(-300, 300, 1000, 0, 255 << 8)}, 1000, 0,
        &material);
    Draw();
    EXPECT_EQ(E3D_SoftDraws.NbDraws, r.drawn ? 1 : 0) << r.what;
    EXPECT_EQ(E3D_SoftDraws.NbRefused, r.drawn ? 0 : 1) << r.what;
    EXPECT_EQ(bitmap_->Start[120 * bitmap_->ByteLen + 250 * r.view / 8], r.drawn ? 0x5A : 0) << r.what;
    texture->ByteLen -= r.extraRow;
    texture->Start = own;
    LS_FreeBmap(texture);
    LS_FreeBmap(bitmap_);
    bitmap_ = nullptr;
  }
}

// Every pixel of the colour lies on an edge of the entries, and every
// edge's middle holds it.
void ExpectOutlines(const BMAP* b, const std::vector<std::vector<const TSOFTVERTEX*>>& polys, uint32_t colour,
                    const char* what) {
  const auto pixel = [&](int32_t x, int32_t y) -> uint32_t {
    const uint8_t* row = b->Start + static_cast<ptrdiff_t>(y) * b->ByteLen;
    return b->Depth == 16 ? reinterpret_cast<const uint16_t*>(row)[x] : row[x];
  };
  const auto nearEdge = [&](double x, double y) {
    for (const auto& p : polys)
      for (size_t i = 0; i < p.size(); ++i) {
        const TSOFTVERTEX* a = p[i];
        const TSOFTVERTEX* c = p[(i + 1) % p.size()];
        const double dx = c->X - a->X, dy = c->Y - a->Y, len = std::hypot(dx, dy);
        const double t = std::clamp(((x - a->X) * dx + (y - a->Y) * dy) / (len * len), 0.0, 1.0);
        if (std::hypot(a->X + t * dx - x, a->Y + t * dy - y) <= 1.5) return true;
      }
    return false;
  };
  int32_t stray = 0, coloured = 0;
  for (int32_t y = 0; y < 400; ++y)
    for (int32_t x = 0; x < 640; ++x)
      if (pixel(x, y) == colour) ++coloured, stray += !nearEdge(x, y);
  EXPECT_GT(coloured, 0) << what;
  EXPECT_EQ(stray, 0) << what;
  for (const auto& p : polys)
    for (size_t i = 0; i < p.size(); ++i) {
      const TSOFTVERTEX* a = p[i];
      const TSOFTVERTEX* c = p[(i + 1) % p.size()];
      const int32_t mx = std::min((a->X + c->X) / 2, 639), my = std::min((a->Y + c->Y) / 2, 399);
      bool found = false;
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx)
          found = found || pixel(std::clamp(mx + dx, 0, 639), std::clamp(my + dy, 0, 399)) == colour;
      EXPECT_TRUE(found) << what << " " << a->X << "," << a->Y << " " << c->X << "," << c->Y;
    }
}

class OutlineTest : public DrawSceneTest, public ::testing::WithParamInterface<int32_t> {
 protected:
  void SetUp() override {
    DrawSceneTest::SetUp();
    for (LS_RGB& c : palette_.Entry) c = {40, 10, 10};
    palette_.Entry[7] = {0, 63, 63};
    palette_.Entry[9] = {0, 0, 63};
    SB_Var.Pal3d = &palette_;
    Window(GetParam());
    SB_Var.TexturePlaces[0].M = 1;  // blue under N
    SB_Var.TexturePlaces[1].C = 1;  // cyan under N
    Add(1, Square(-300, -200, 1000), 1000, 0);  // perspective
    Add(1, Triangle(100, -100, 1000), 50000, 1);  // affine
    Add(0, Triangle(-300, 100, 1000));            // never outlined
    Add(11, Square(150, 150, 1000));             // never outlined
  }
  void TearDown() override {
    SB_Var.Pal3d = nullptr;
    DrawSceneTest::TearDown();
  }
  uint32_t Colour(int32_t index) const {
    if (GetParam() == 8) return static_cast<uint32_t>(index);
    const LS_RGB& c = palette_.Entry[index];
    if (bitmap_->Format & (BMAP_RGB565 | BMAP_BGR565)) return (c.Red >> 1) << 11 | c.Green << 5 | c.Blue >> 1;
    return (c.Red >> 1) << 10 | (c.Green >> 1) << 5 | c.Blue >> 1;
  }
  std::vector<const TSOFTVERTEX*> Corners(const TSOFTDRAW& e) {
    std::vector<const TSOFTVERTEX*> out;
    if (e.Kind == 5) {
      const TSOFTPERSP& p = Persps()[e.Fill];
      for (int32_t i = 0; i < p.NbVertices; ++i) out.push_back(&vertices_[p.FirstVertex + static_cast<uint32_t>(i)]);
    } else {
      for (uint32_t c : Tris()[e.Fill].Corner) out.push_back(&vertices_[c]);
    }
    return out;
  }
  PALETTE palette_{};
};

TEST_P(OutlineTest, LOutlinesEveryDrawnEntry) {
  const int32_t locks = bitmap_->LockCount;
  plat::SetKeyState(76, true);
  Draw();
  EXPECT_EQ(bitmap_->LockCount, locks);
  std::vector<std::vector<const TSOFTVERTEX*>> drawn;
  for (int32_t i = 0; i < E3D_SoftDraws.NbDraws; ++i)
    if (Draws()[i].Kind != 0 && Draws()[i].Kind != 11) drawn.push_back(Corners(Draws()[i]));
  ASSERT_EQ(drawn.size(), 2u);
  ExpectOutlines(bitmap_, drawn, Colour(7), "L");
}

TEST_P(OutlineTest, NOutlinesLetterMBlueAndLetterCCyan) {
  plat::SetKeyState(78, true);
  Draw();
  ASSERT_EQ(Draws()[0].OutlineA, 1);
  ExpectOutlines(bitmap_, {Corners(Draws()[0])}, Colour(9), "N blue");
  ExpectOutlines(bitmap_, {Corners(Draws()[1])}, Colour(7), "N cyan");
}

INSTANTIATE_TEST_SUITE_P(Depths, OutlineTest, ::testing::Values(8, 16));

}  // namespace
}  // namespace ztest
