// The map frame's benchmark views: the default circuit of the build's data
// tree loaded for one renderer, an empty view of 2,500 polygons and 9,000
// vertices, mode 7's 640 x 400 window (focal 224), and 64 cameras along
// the circuit's centre line at a driver's height, each looking 20 m ahead.
#pragma once
#include <vector>

#include "bench/benchlib.h"
#include "datagen/netrace.h"
#include "engine3d/camera.h"
#include "racescene/views.h"
#include "system/asm3d/zidade3d.h"
#include "track/decor.h"

namespace bench {

using datagen::NetraceCameras;

struct NetraceViews {
  static constexpr int32_t kCameras = 64;
  static constexpr int32_t kFocal = 224, kFar = 300 * 320;
  static constexpr int32_t kMaxFaces = 2500, kMaxVertices = 9000;

  DataTreeLibrary library;
  std::vector<TSOFTPOLY> polygons = std::vector<TSOFTPOLY>(kMaxFaces);
  std::vector<TCLIPVERTEX> vertices = std::vector<TCLIPVERTEX>(kMaxVertices);  // the larger of the two kinds
  TSOFTSCENE view{};
  std::vector<TCAMERA> cameras;
  _WINDOW window{};
  bool loaded = false;

  explicit NetraceViews(int32_t renderer) {
    LS_InitSinTable();
    SB_Var.Renderer = renderer;
    if (!SB_LoadDecor("DEC>NETRACE.DEC")) return;
    loaded = true;
    for (int32_t m = 0; m < SB_MAXTEXTURES; ++m) {
      TTEXTUREPLACE& t = SB_Var.TexturePlaces[m];
      t.Loaded = 1, t.PageNumber = 1 + m % 500, t.RenderKind = 1;
    }
    SB_Var.DrawDistance = 300;
    SB_Var.MaxFaces = kMaxFaces, SB_Var.MaxVertices = kMaxVertices;
    view.Polygons = polygons.data(), view.Vertices = vertices.data();
    SB_Var.CenterX = 320, SB_Var.CenterY = 200, SB_Var.CenterXF = 320, SB_Var.CenterYF = 200;
    SB_Var.Focal = kFocal, SB_Var.FocalF = kFocal;
    window.W_WIDTH = 640, window.W_HEIGHT = 400;
    cameras = NetraceCameras(kCameras);
  }
  ~NetraceViews() { SB_FreeDecor(); }
  NetraceViews(const NetraceViews&) = delete;
  NetraceViews& operator=(const NetraceViews&) = delete;

  // The view of camera i (modulo the cameras) made afresh.
  TCAMERA& SetView(int64_t i) {
    TCAMERA& camera = cameras[static_cast<size_t>(i % kCameras)];
    SB_SetView(&view, &camera, &window, kFocal, kFar, 0);
    return camera;
  }
};

}  // namespace bench
