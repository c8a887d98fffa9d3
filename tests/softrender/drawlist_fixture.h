// The draw list's tests: views of exactly the limits' sizes built by hand,
// work buffers of the allocator's sizes, two map textures with their mip
// levels, and a 640 x 400 window with focal 400.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "shell/sbvar.h"
#include "softrender/clip.h"
#include "softrender/drawlist.h"
#include "softrender/softmap.h"
#include "system/bmap.h"
#include "system/asm3d/zidade3d.h"
#include "tests/support/testenv.h"

namespace ztest {

class DrawListTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(8 << 20);
    SB_ResetVars();
    SB_Var.CenterX = 320, SB_Var.CenterY = 200, SB_Var.FocalF = 400, SB_Var.Focal = 400;
    SB_Var.VideoModeIndex = 0, SB_Var.VideoModes[0].Focal = 400;
    SB_Var.SoftFillers = 1;
    SB_Var.FarDistance = 38400;
    window_.W_WIDTH = 640, window_.W_HEIGHT = 400;
    view_ = LS_CreateBmap(640, 400, 8, 0);  // the depth the object textures must have
    window_.W_BMAP = view_;
    for (int32_t i = 0; i < 3; ++i) {
      buffers_[i].assign(kBufferSizes[i], 0);
      SB_Var.TriBuffers[i] = buffers_[i].data();
    }
    SB_Var.NbTextures = 2;
    for (int32_t t = 0; t < 2; ++t) {
      TTEXTUREPLACE& p = SB_Var.TexturePlaces[t];
      p.Texels = &texels_[t][0];
      for (int32_t l = 0; l < SB_NBMIPLEVELS; ++l) {
        p.MipTexels[l] = &texels_[t][l + 1];
        p.MipSelector[l] = static_cast<uint8_t>(9 * (l + 1));
      }
      p.Selector = 0, p.Size = 1000 * (t + 1), p.Loaded = 1, p.RenderKind = 1;
    }
    Limits(6000, 16000);
  }
  void TearDown() override {
    for (void*& b : SB_Var.TriBuffers) b = nullptr;
    if (view_) LS_FreeBmap(view_);
    LibraryTest::TearDown();
  }
  void Limits(int32_t faces, int32_t vertices) {
    SB_Var.MaxFaces = faces, SB_Var.MaxVertices = vertices;
    polygons_.assign(static_cast<size_t>(faces), TSOFTPOLY{});
    vertices_.assign(static_cast<size_t>(vertices), TSOFTVERTEX{});
    scene_ = {};
    scene_.Polygons = scene_.PolygonCursor = scene_.FirstPolygon = polygons_.data();
    scene_.Vertices = scene_.VertexCursor = vertices_.data();
  }
  // A corner at camera (x, y, z), projected, with texture (u, v).
  static TSOFTVERTEX At(int32_t x, int32_t y, int32_t z, int32_t u = 0, int32_t v = 0) {
    TSOFTVERTEX c{};
    c.CamX = x, c.CamY = y, c.CamZ = z, c.U = u, c.V = v;
    if (z < SB_SOFTNEAR) {
      c.Code = CLIP_NEAR;
      return c;
    }
    c.X = static_cast<int32_t>(320 + 400.0 * x / z), c.Y = static_cast<int32_t>(200 + 400.0 * y / z);
    c.Code = (c.X < 0 ? CLIP_LEFT : 0) | (c.X > 639 ? CLIP_RIGHT : 0) | (c.Y < 0 ? CLIP_TOP : 0) |
             (c.Y > 399 ? CLIP_BOTTOM : 0);
    return c;
  }
  // A square facing the camera at depth z, its texture 0..2560 on each side.
  static std::vector<TSOFTVERTEX> Square(int32_t x, int32_t y, int32_t z, int32_t side = 100) {
    return {At(x, y, z, 0, 0), At(x + side, y, z, 2560, 0), At(x + side, y + side, z, 2560, 2560),
            At(x, y + side, z, 0, 2560)};
  }
  // A quadrangle with its first corner alone left of the screen.
  static std::vector<TSOFTVERTEX> LeftCorner() {
    return {At(-900, 0, 1000, 0, 0), At(0, -100, 1000, 2560, 0), At(100, 100, 1000, 2560, 2560),
            At(0, 200, 1000, 0, 2560)};
  }
  static std::vector<TSOFTVERTEX> Triangle(int32_t x, int32_t y, int32_t z) {
    return {At(x, y, z, 0, 0), At(x + 100, y, z, 2560, 0), At(x, y + 100, z, 0, 2560)};
  }
  // Appends a polygon of the corners to the view's list.
  TSOFTPOLY* Add(uint8_t kind, const std::vector<TSOFTVERTEX>& corners, int32_t key = 1000, uint16_t material = 0,
                 void* texture = nullptr) {
    auto* v = static_cast<TSOFTVERTEX*>(scene_.VertexCursor);
    for (size_t i = 0; i < corners.size(); ++i) v[i] = corners[i];
    auto* poly = static_cast<TSOFTPOLY*>(scene_.PolygonCursor);
    *poly = {};
    poly->Key = key, poly->FirstVertex = v, poly->Kind = kind, poly->Material = material, poly->Texture = texture;
    poly->NbVertices = static_cast<uint8_t>(corners.size());
    if (scene_.NbPolygons > 0) (poly - 1)->Next = poly;
    scene_.PolygonCursor = poly + 1, scene_.VertexCursor = v + corners.size();
    ++scene_.NbPolygons, scene_.NbVertices += static_cast<int32_t>(corners.size());
    return poly;
  }
  void Build() { E3D_SoftBuildDrawList(&window_, &scene_); }
  const TSOFTDRAW* Draws() const { return static_cast<const TSOFTDRAW*>(SB_Var.TriBuffers[2]); }
  const TSOFTPERSP* Persps() const { return static_cast<const TSOFTPERSP*>(SB_Var.TriBuffers[1]); }
  const TSOFTTRI* Tris() const { return static_cast<const TSOFTTRI*>(SB_Var.TriBuffers[0]); }

  static constexpr size_t kBufferSizes[3] = {24000, 84000, 42000};
  std::vector<uint8_t> buffers_[3];
  uint8_t texels_[2][SB_NBMIPLEVELS + 1] = {};
  TSOFTSCENE scene_{};
  std::vector<TSOFTPOLY> polygons_;
  std::vector<TSOFTVERTEX> vertices_;
  _WINDOW window_{};
  BMAP* view_ = nullptr;
};

}  // namespace ztest
