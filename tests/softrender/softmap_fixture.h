// The software map frame's tests: a started library on a software path, a
// 640 x 400 view (mode 7's) with focal 400, a view whose arrays hold
// exactly the limits, a map builder, and cameras placed by angles.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "datagen/mapbuild.h"
#include "engine3d/camera.h"
#include "racescene/views.h"
#include "shell/sbvar.h"
#include "softrender/softmap.h"
#include "softrender/softrender.h"
#include "system/asm3d/zidade3d.h"
#include "tests/support/testenv.h"
#include "track/decor.h"

namespace ztest {

// Normals of the cube map: toward a camera looking along +z, away from
// it, and up (seen from above).
constexpr std::array<uint8_t, 3> kFacing = {64, 64, 128};
constexpr std::array<uint8_t, 3> kAway = {64, 64, 0};

class SoftMapTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    StartLibrary(32 << 20);
    LS_InitSinTable();
    SB_Var.Renderer = 0;
    SB_Var.CenterX = 320, SB_Var.CenterY = 200, SB_Var.Focal = 400;
    window_.W_WIDTH = 640, window_.W_HEIGHT = 400;
    Limits(200, 800);
  }
  void TearDown() override {
    SB_FreeDecor();
    LibraryTest::TearDown();
  }
  // Arrays of exactly these sizes, so that a write past them is caught.
  void Limits(int32_t faces, int32_t vertices) {
    SB_Var.MaxFaces = faces, SB_Var.MaxVertices = vertices;
    polygons_.assign(static_cast<size_t>(faces), TSOFTPOLY{});
    vertices_.assign(static_cast<size_t>(vertices), TSOFTVERTEX{});
    scene_.Polygons = polygons_.data(), scene_.Vertices = vertices_.data();
    SB_ResetUserView(&scene_);
  }
  // The camera at a world point with the angles, and the view set for it.
  void View(int32_t x, int32_t y, int32_t z, int32_t heading = 0, int32_t pitch = 0, int32_t far = 96000) {
    SB_PlaceCamera(&camera_, x, y, z, pitch, heading, 0);
    SB_SetView(&scene_, &camera_, &window_, 400, far, 0);
  }
  void Frame() { E3D_SoftRenderMap(&scene_, &camera_, &window_); }
  // A wall square across the view in big cube (bx, 0, bz), at word depth
  // wz, of side 64 words around the cube's middle, with the texture.
  void Wall(int32_t bx, int32_t bz, int32_t wz, int32_t texture, std::array<uint8_t, 3> normal = kFacing) {
    builder_.BigCubeFace({bx, 0, bz}, {{224, 224, wz}, {288, 224, wz}, {288, 288, wz}, {224, 288, wz}}, texture,
                         normal);
  }
  std::vector<TSOFTPOLY*> Polygons() {
    std::vector<TSOFTPOLY*> out;
    for (int32_t i = 0; i < scene_.NbPolygons; ++i) out.push_back(&polygons_[static_cast<size_t>(i)]);
    return out;
  }

  TSOFTSCENE scene_{};
  std::vector<TSOFTPOLY> polygons_;
  std::vector<TSOFTVERTEX> vertices_;
  _WINDOW window_{};
  TCAMERA camera_{};
  datagen::MapBuilder builder_;
};

// A cell made by hand: its word vertices and faces.
struct HandCell {
  std::vector<TWORDVERTEX> vertices;
  std::vector<TMAPFACE> faces;
  TSOFTCELL cell{};
  TSOFTCELL* Make() {
    cell.NbVertices = static_cast<int32_t>(vertices.size());
    cell.NbFaces = static_cast<int32_t>(faces.size());
    cell.WordVertices = vertices.data(), cell.Faces = faces.data();
    return &cell;
  }
};

// A face of vertex numbers (a fourth of 255 for a triangle) and texture.
inline TMAPFACE HandFace(std::array<uint8_t, 4> corners, std::array<uint8_t, 3> normal = kFacing,
                         uint8_t texture = 0) {
  TMAPFACE f{};
  for (int32_t k = 0; k < 4; ++k) f.Vertex[k] = corners[static_cast<size_t>(k)];
  for (int32_t k = 0; k < 3; ++k) f.Normal[k] = normal[static_cast<size_t>(k)];
  f.Texture = texture;
  return f;
}

// Vertex i of the cell's table, transformed this cell, at camera (x, y, z).
inline void SetViewVertex(int32_t i, int32_t x, int32_t y, int32_t z) {
  E3D_SoftMap.Vertices[i] = {x, y, z, 0, 0, SB_VIEWVERTEX_DONE, 0};
}

}  // namespace ztest
