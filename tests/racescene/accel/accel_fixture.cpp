// The accelerated frame tests' fixture.
#include "tests/racescene/accel/accel_fixture.h"

#include "engine3d/power.h"
#include "system/error.h"

namespace ztest {

void AccelTest::SetUp() {
  LibraryTest::SetUp();
  StartLibrary(48 << 20);
  LS_SetErrorMode(LS_ERRMODE_KEEP);
  LS_InitSinTable();
  SB_Var.Renderer = SB_RENDERER_PVR;
  SB_Var.CenterX = 320, SB_Var.CenterY = 240;
  SB_Var.CenterXF = 320.0f, SB_Var.CenterYF = 240.0f;
  SB_Var.Focal = 400, SB_Var.FocalF = 400.0f;
  SB_Var.VideoModeIndex = 0;
  SB_Var.VideoModes[0].Focal = 400;
  window_.W_WIDTH = 640, window_.W_HEIGHT = 480;
  Limits(100, 400);
}

void AccelTest::TearDown() { LibraryTest::TearDown(); }

void AccelTest::Limits(int32_t faces, int32_t vertices) {
  SB_Var.MaxFaces = faces, SB_Var.MaxVertices = vertices;
  polygons_.assign(static_cast<size_t>(faces), TSGLPOLY{});
  vertices_.assign(static_cast<size_t>(vertices), TCLIPVERTEX{});
  scene_.Polygons = polygons_.data(), scene_.Vertices = vertices_.data();
  POWER_ResetScene(&scene_);
}

TSGLPOLY* AccelTest::Add(int32_t kind, const std::vector<float>& xy, uint32_t texture, uint16_t index) {
  const int32_t n = static_cast<int32_t>(xy.size() / 2);
  auto* p = static_cast<TSGLPOLY*>(scene_.PolygonCursor);
  auto* v = static_cast<TSGLVERTEX*>(scene_.VertexCursor);
  auto* c = static_cast<TSGLCLIP*>(scene_.ClipCursor);
  for (int32_t i = 0; i < n; ++i) {
    v[i] = {xy[2 * i], xy[2 * i + 1], 0.001f, 1.0f, 0xFFFFFF, 0, 0.0f, 0.0f};
    c[i] = {0, xy[2 * i] - 320.0f, xy[2 * i + 1] - 240.0f, 400.0f};
  }
  *p = {};
  p->Next = p + 1, p->Vertices = v, p->Clip = c, p->Texture = texture, p->TextureIndex = index;
  p->NbVertices = static_cast<int8_t>(n), p->Kind = static_cast<int8_t>(kind);
  scene_.PolygonCursor = p + 1, scene_.VertexCursor = v + n, scene_.ClipCursor = c + n;
  ++scene_.NbPolygons, scene_.NbVertices += n;
  return p;
}

void AccelTest::Slot(int32_t slot, int32_t name, uint32_t flags) {
  TEXTURECACHE& t = SB_Var.TextureCache[slot];
  t.InUse = 1, t.Name = name, t.Flags = flags;
}

}  // namespace ztest
