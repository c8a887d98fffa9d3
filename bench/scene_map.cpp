// The scene editor's map and markers on a 640 x 480 x 16 (5-6-5) view:
// E3D_CalcMap, the rebuild after each pan or zoom, on the default circuit
// DEC>NETRACE.DEC and on a built map of 50,000 faces; one displayobject
// pass with 16 cars. Beside them in the same run, when found: cairo
// stroking the same segments into a 5-6-5 image surface with antialiasing
// off, and pixman turning and scaling the same 32 x 16 marker with nearest
// filtering into 16 pictures composited onto the view.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/benchlib.h"
#include "bench/peers.h"
#include "engine3d/matrix.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "system/lsvar.h"
#include "tools/editors.h"
#include "tools/sceneedit/sceneedit.h"
#include "track/decor.h"
#include "vehicles/types.h"

#if ZENTROVA_HAVE_CAIRO
#include <cairo.h>
#endif
#if ZENTROVA_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace {

// The library with a 16-bit screen and view.
struct MapBench {
  bench::DataTreeLibrary library;
  BMAP* screen = nullptr;
  BMAP* savedScreen = nullptr;
  BMAP* view = nullptr;
  MapBench() {
    screen = SB_CreateBmap(640, 480, 16, 0, "screen");
    screen->Format = BMAP_RGB565;
    savedScreen = LS_Var.Screen;
    LS_Var.Screen = screen;
    view = SB_CreateBmap(640, 480, 16, 0, "view");
    view->Format = BMAP_RGB565;
  }
  ~MapBench() {
    SB_FreeSceneEditor();
    SB_FreeBmap(view);
    LS_Var.Screen = savedScreen;
    SB_FreeBmap(screen);
  }
};

// A map of n square faces of 4 corners, 10 m across, 25 to a cell row, in
// cells of 51.2 m; it replaces the loaded map's polygon side until freed.
struct BuiltMap {
  std::vector<TFPOINTOFFSET> points;
  std::vector<uint32_t> links;
  std::vector<TFFACEPOLY> faces;
  std::vector<TFCUBE10POLY> cells;
  explicit BuiltMap(int32_t n) {
    const int32_t perCell = 25, cellsPerRow = 12;
    for (int32_t f = 0; f < n; ++f) {
      const int32_t c = f / perCell, k = f % perCell;
      if (k == 0) {
        TFCUBE10POLY cell{};
        cell.X = static_cast<uint8_t>(64 + c % cellsPerRow - cellsPerRow / 2);
        cell.Y = 64;
        cell.Z = static_cast<uint8_t>(64 + c / cellsPerRow - 7);
        cell.FaceRuns[SB_GROUNDRUN] = static_cast<uint32_t>(faces.size() * sizeof(TFFACEPOLY));
        cell.NbFaces[SB_GROUNDRUN] = static_cast<uint16_t>(std::min(perCell, n - f));
        cells.push_back(cell);
      }
      TFFACEPOLY face{};
      face.NbCorners = 4;
      face.PointOffsets = static_cast<uint32_t>(links.size() * sizeof(uint32_t));
      const int32_t x0 = 1000 + (k % 5) * 3000, z0 = 1000 + (k / 5) * 3000;
      const int32_t corners[4][2] = {{x0, z0}, {x0 + 3000, z0}, {x0 + 3000, z0 + 3000}, {x0, z0 + 3000}};
      for (const auto& p : corners) {
        links.push_back(static_cast<uint32_t>(points.size() * sizeof(TFPOINTOFFSET)));
        points.push_back({static_cast<uint16_t>(p[0]), 8192, static_cast<uint16_t>(p[1])});
      }
      faces.push_back(face);
    }
    TDECOR& d = SB_Var.Decor;
    d.PointOffsets = points.data(), d.NbPointOffsets = static_cast<int32_t>(points.size());
    d.PPointOffsets = links.data(), d.NbPPointOffsets = static_cast<int32_t>(links.size());
    d.FacePolys = faces.data(), d.NbFacePolys = static_cast<int32_t>(faces.size());
    d.Cube10Polys = cells.data(), d.NbCube10Polys = static_cast<int32_t>(cells.size());
  }
  ~BuiltMap() { SB_Var.Decor = TDECOR{}; }
};

// Every edge of the loaded map's first face runs, in view pixels.
std::vector<int32_t> Segments(const BMAP* view) {
  std::vector<int32_t> out;
  const TDECOR& d = SB_Var.Decor;
  for (int32_t i = 0; i < d.NbCube10Polys; ++i) {
    const TFCUBE10POLY& c = d.Cube10Polys[i];
    const double cx = (c.X - 64) * 51.2, cz = (c.Z - 64) * 51.2;
    const TFFACEPOLY* faces = d.FacePolys + c.FaceRuns[SB_GROUNDRUN] / sizeof(TFFACEPOLY);
    for (int32_t f = 0; f < c.NbFaces[SB_GROUNDRUN]; ++f) {
      const TFFACEPOLY& face = faces[f];
      std::vector<int32_t> px, py;
      for (int32_t k = 0; k < face.NbCorners; ++k) {
        const uint32_t link = d.PPointOffsets[face.PointOffsets / 4 + k];
        const TFPOINTOFFSET& p = d.PointOffsets[link / sizeof(TFPOINTOFFSET)];
        int32_t x = 0, y = 0;
        SB_WorldToMapView(view, (p.X - 8192) * 0.003125 + cx, 0.0, (p.Z - 8192) * 0.003125 + cz, &x, &y);
        px.push_back(x), py.push_back(y);
      }
      for (size_t k = 0; k < px.size(); ++k)
        out.insert(out.end(), {px[k], py[k], px[(k + 1) % px.size()], py[(k + 1) % px.size()]});
    }
  }
  return out;
}

void CalcMap(benchmark::State& state, bool circuit) {
  MapBench b;
  std::vector<BuiltMap> built;
  if (circuit) {
    SB_LoadDecor("DEC>NETRACE.DEC");
    SB_Var.MapScale = 1.0;
  } else {
    built.emplace_back(50000);
    SB_Var.MapScale = 1.5;
  }
  for (auto _ : state) E3D_CalcMap(b.view);
  const std::vector<int32_t> segments = Segments(b.view);
  state.counters["segments"] = static_cast<double>(segments.size() / 4);
#if ZENTROVA_HAVE_CAIRO
  std::vector<uint16_t> pixels(640 * 480);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                                                 CAIRO_FORMAT_RGB16_565, 640, 480, 1280);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 1.0);
  const int runs = 5;
  const double start = bench::CpuSeconds();
  for (int r = 0; r < runs; ++r) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 1, 1);
    for (size_t i = 0; i + 3 < segments.size(); i += 4) {
      cairo_move_to(cr, segments[i] + 0.5, segments[i + 1] + 0.5);
      cairo_line_to(cr, segments[i + 2] + 0.5, segments[i + 3] + 0.5);
    }
    cairo_stroke(cr);
  }
  state.counters["cairo_ms"] = (bench::CpuSeconds() - start) * 1000 / runs;
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
#else
  state.SetLabel("cairo not found: the map alone");
#endif
  if (circuit) SB_FreeDecor();
}

void BM_CalcMapNetrace(benchmark::State& state) { CalcMap(state, true); }
void BM_CalcMapBuilt50k(benchmark::State& state) { CalcMap(state, false); }
BENCHMARK(BM_CalcMapNetrace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcMapBuilt50k)->Unit(benchmark::kMillisecond);

void BM_DisplayObject16Cars(benchmark::State& state) {
  MapBench b;
  std::vector<TCAR> cars(SB_MAXCARS);
  for (int32_t i = 0; i < SB_MAXCARS; ++i) {
    E3D_MatRotY(cars[i].Orientation, i * 0.4);
    cars[i].Position[0] = -300 + 40.0 * i, cars[i].Position[2] = 20.0 * (i % 5);
    SB_Var.Cars[i] = &cars[i];
    SB_Var.CarSelected[i] = i % 3 == 0;
  }
  SB_Var.NbCars = SB_MAXCARS;
  SB_Hooks.IsCarInGame = [](int32_t) { return 1; };
  for (auto _ : state) displayobject(b.view);
#if ZENTROVA_HAVE_PIXMAN
  BMAP* marker = SB_Var.CarMarker;
  LS_LockBmap(marker);
  LS_LockBmap(b.view);
  pixman_image_t* source = pixman_image_create_bits(PIXMAN_r5g6b5, marker->SizeX, marker->SizeY,
                                                    reinterpret_cast<uint32_t*>(marker->Start), marker->ByteLen);
  pixman_image_t* target = pixman_image_create_bits(PIXMAN_r5g6b5, 640, 480,
                                                    reinterpret_cast<uint32_t*>(b.view->Start), b.view->ByteLen);
  pixman_image_set_filter(source, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const int runs = 200;
  const double start = bench::CpuSeconds();
  for (int r = 0; r < runs; ++r)
    for (int32_t i = 0; i < SB_MAXCARS; ++i) {
      // Destination to source: turn by the heading about the square's
      // centre, then scale by 2 (the marker at half size).
      pixman_transform_t t;
      const double a = i * 0.4;
      pixman_transform_init_identity(&t);
      pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-13.5), pixman_double_to_fixed(-13.5));
      pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(a)), pixman_double_to_fixed(std::sin(a)));
      pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(2.0), pixman_double_to_fixed(2.0));
      pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(16.0), pixman_double_to_fixed(8.0));
      pixman_image_set_transform(source, &t);
      pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 20 + 30 * i, 200, 27, 27);
    }
  state.counters["pixman_us"] = (bench::CpuSeconds() - start) * 1e6 / runs;
  pixman_image_unref(source);
  pixman_image_unref(target);
  LS_UnlockBmap(b.view);
  LS_UnlockBmap(marker);
#else
  state.SetLabel("pixman not found: the markers alone");
#endif
  SB_Hooks.IsCarInGame = nullptr;
  SB_Var.NbCars = 0;
}
BENCHMARK(BM_DisplayObject16Cars)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
