// What the filler benchmarks at 8 and 16 bits share: the seeded polygons
// covering a 640 x 480 frame about three times with their fans, the pixel
// rate counter, llvmpipe drawing the fans, pixman's affine transform of
// each fan triangle, and the closing table of rates beside their
// references.
#pragma once
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/llvmpipe.h"
#include "softrender/fillcore.h"
#include "tests/support/fillpages.h"

#if defined(ZENTROVA_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace bench {

constexpr int32_t kFillWidth = 640, kFillHeight = 480;
constexpr float kFillFocal = 400.0f;

// The seeded polygons and their fans, with u, v and depth at the corners
// from each polygon's plane, and the pixels one frame of them covers.
struct FillScene {
  std::vector<ztest::PerspCase> polygons;
  std::vector<std::array<TSOFTVERTEX, 3>> triangles;
  int64_t pixels = 0;

  FillScene() {
    std::mt19937 rng(2051);
    ztest::Projection640();
    while (pixels < 3 * kFillWidth * kFillHeight) {
      ztest::PerspCase c = ztest::SeededPerspPolygon(rng, kFillWidth, kFillHeight, 90);
      int32_t top = 0, bottom = 0;
      if (!E3D_ScanPolygonEdges(c.corners.data(), static_cast<int32_t>(c.corners.size()), kFillWidth, kFillHeight,
                                &top, &bottom))
        continue;
      for (int32_t y = top; y < bottom; ++y) pixels += std::abs(E3D_LeftEdge[y] - E3D_RightEdge[y]);
      for (TSOFTVERTEX& v : c.corners) Project(c, v);
      for (size_t i = 1; i + 1 < c.corners.size(); ++i) triangles.push_back({c.corners[0], c.corners[i], c.corners[i + 1]});
      polygons.push_back(std::move(c));
    }
  }
  // u, v (8.8) and camera depth of the plane at the corner's pixel.
  static void Project(const ztest::PerspCase& c, TSOFTVERTEX& v) {
    const double rx = v.X + static_cast<double>(E3D_NegCenterX), ry = v.Y + static_cast<double>(E3D_NegCenterY);
    const float* m = c.matrix;
    const double d = E3D_NegFocal * static_cast<double>(m[0]) + rx * m[1] + ry * m[2];
    const double u = E3D_NegFocal * static_cast<double>(m[3]) + rx * m[4] + ry * m[5];
    const double w = E3D_NegFocal * static_cast<double>(m[6]) + rx * m[7] + ry * m[8];
    v.U = static_cast<int32_t>(65536.0 * u / d - c.origin.UOffset);
    v.V = static_cast<int32_t>(65536.0 * w / d - c.origin.VOffset);
    v.CamZ = static_cast<int32_t>(kFillFocal / d);
  }
};

inline const FillScene& TheFillScene() {
  static const FillScene scene;
  return scene;
}

inline void PixelRate(benchmark::State& state, int64_t pixelsPerFrame) {
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixelsPerFrame) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

#if defined(ZENTROVA_HAVE_OSMESA)
// The fans in clip coordinates with w the camera depth, so that GL
// interpolates u and v in perspective; the page as 256 x 256 RGB texels;
// no depth test, drawn in the scene's order as the fillers paint; into
// llvmpipe's 5-6-5 buffer on one thread.
inline void LlvmpipeFans(benchmark::State& state, const std::vector<uint8_t>& rgb) {
  const FillScene& s = TheFillScene();
  OsmesaTarget target(kFillWidth, kFillHeight);
  if (!target.IsLlvmpipe()) {
    state.SkipWithError(("the renderer is not llvmpipe: " + target.renderer).c_str());
    return;
  }
  std::vector<float> position, uv;
  for (const auto& t : s.triangles)
    for (const TSOFTVERTEX& v : t) {
      const auto w = static_cast<float>(v.CamZ);
      position.insert(position.end(), {(2.0f * static_cast<float>(v.X) / kFillWidth - 1) * w,
                                       (1 - 2.0f * static_cast<float>(v.Y) / kFillHeight) * w, 0, w});
      uv.insert(uv.end(), {static_cast<float>(v.U) / 65536.0f, static_cast<float>(v.V) / 65536.0f});
    }
  GLuint texture;
  glGenTextures(1, &texture);
  OsmesaTarget::Texture(texture, 256, 256, rgb.data());
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(4, GL_FLOAT, 0, position.data());
  glTexCoordPointer(2, GL_FLOAT, 0, uv.data());
  for (auto _ : state) {
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(position.size() / 4));
    glFinish();
  }
  PixelRate(state, s.pixels);
  state.SetLabel(target.renderer);
}
#endif

// Each fan triangle's texture mapping as the 3 x 3 fixed-point transform
// pixman takes, from destination pixels to source texels, and the
// triangle's bounding box, which pixman fills; triangles with no area are
// left out.
struct PixmanBox {
  int32_t matrix[3][3];
  int32_t x, y, w, h;
};
inline std::vector<PixmanBox> PixmanBoxes() {
  std::vector<PixmanBox> boxes;
  for (const auto& t : TheFillScene().triangles) {
    const double x0 = t[0].X, y0 = t[0].Y, x1 = t[1].X, y1 = t[1].Y, x2 = t[2].X, y2 = t[2].Y;
    const double det = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (det == 0) continue;
    auto plane = [&](double f0, double f1, double f2, double* a, double* b, double* c) {
      *a = ((f1 - f0) * (y2 - y0) - (f2 - f0) * (y1 - y0)) / det;
      *b = ((f2 - f0) * (x1 - x0) - (f1 - f0) * (x2 - x0)) / det;
      *c = f0 - *a * x0 - *b * y0;
    };
    double m[6];
    plane(t[0].U / 256.0, t[1].U / 256.0, t[2].U / 256.0, &m[0], &m[1], &m[2]);
    plane(t[0].V / 256.0, t[1].V / 256.0, t[2].V / 256.0, &m[3], &m[4], &m[5]);
    PixmanBox box{};
    for (int32_t r = 0; r < 2; ++r)
      for (int32_t c = 0; c < 3; ++c) box.matrix[r][c] = static_cast<int32_t>(std::fmod(m[3 * r + c], 32767.0) * 65536.0);
    box.matrix[2][2] = 65536;
    box.x = std::min({t[0].X, t[1].X, t[2].X}), box.y = std::min({t[0].Y, t[1].Y, t[2].Y});
    box.w = std::max({t[0].X, t[1].X, t[2].X}) - box.x, box.h = std::max({t[0].Y, t[1].Y, t[2].Y}) - box.y;
    boxes.push_back(box);
  }
  return boxes;
}

#if defined(ZENTROVA_HAVE_PIXMAN)
// pixman compositing the 256 x 256 page (rows `stride` bytes apart) in
// `format`, repeating and nearest, under each fan triangle's transform
// into a 640 x 480 frame of the same format; pixman composites
// rectangles, so each triangle's bounding box is filled, and the rate
// counts those pixels.
inline void PixmanFans(benchmark::State& state, pixman_format_code_t format, void* page, int32_t stride,
                       int32_t bytesPerPixel) {
  std::vector<uint32_t> frame(static_cast<size_t>(kFillWidth * kFillHeight * bytesPerPixel + 3) / 4);
  pixman_image_t* src = pixman_image_create_bits(format, 256, 256, static_cast<uint32_t*>(page), stride);
  pixman_image_t* dst = pixman_image_create_bits(format, kFillWidth, kFillHeight, frame.data(), kFillWidth * bytesPerPixel);
  pixman_image_set_repeat(src, PIXMAN_REPEAT_NORMAL);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const std::vector<PixmanBox> boxes = PixmanBoxes();
  int64_t pixels = 0;
  for (const PixmanBox& b : boxes) pixels += static_cast<int64_t>(b.w) * b.h;
  for (auto _ : state)
    for (const PixmanBox& b : boxes) {
      pixman_transform_t transform;
      std::memcpy(transform.matrix, b.matrix, sizeof b.matrix);
      pixman_image_set_transform(src, &transform);
      pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, b.x, b.y, 0, 0, b.x, b.y, b.w, b.h);
    }
  benchmark::DoNotOptimize(frame.data());
  pixman_image_unref(src);
  pixman_image_unref(dst);
  PixelRate(state, pixels);
}
#endif

// Keeps each run's pixel rate for the comparison at the end.
class RateReporter : public benchmark::ConsoleReporter {
 public:
  RateReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
  std::map<std::string, double> rates;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto it = run.counters.find("pixels");
      std::string name = run.benchmark_name();
      if (const size_t real = name.find("/real_time"); real != std::string::npos) name.erase(real);
      if (run.iterations > 0 && it != run.counters.end()) rates[name] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Rate(const std::string& name) const {
    const auto it = rates.find(name);
    return it == rates.end() ? 0.0 : it->second;
  }
  // Each filler's rate in millions beside its reference: pixman for the
  // names starting with `affine`, llvmpipe for the others.
  void PrintRatios(const std::string& llvmpipe, const std::string& pixman, const std::string& affine) const {
    const double gl = Rate(llvmpipe), pm = Rate(pixman);
    std::printf("\nMillions of pixels per second (ratio to the reference; above 1: the filler is faster):\n");
    for (const auto& [name, r] : rates) {
      if (name == llvmpipe || name == pixman) continue;
      const bool isAffine = name.rfind(affine, 0) == 0;
      const double ref = isAffine ? pm : gl;
      std::printf("  %-40s %8.1f", name.c_str(), r / 1e6);
      if (ref > 0) std::printf("  %5.2f x %s", r / ref, isAffine ? "pixman" : "llvmpipe");
      std::printf("\n");
    }
    if (gl > 0) std::printf("  %-40s %8.1f\n", "llvmpipe (one thread)", gl / 1e6);
    if (pm > 0) std::printf("  %-40s %8.1f\n", "pixman", pm / 1e6);
#if !defined(ZENTROVA_HAVE_OSMESA)
    std::printf("OSMesa was not found when this was built: no llvmpipe comparison.\n");
#endif
#if !defined(ZENTROVA_HAVE_PIXMAN)
    std::printf("pixman was not found when this was built: no pixman comparison.\n");
#endif
  }
};

// The benchmarks of the program, then the closing table.
inline int RunFillBenchmarks(int argc, char** argv, const std::string& llvmpipe, const std::string& pixman,
                             const std::string& affine) {
  benchmark::Initialize(&argc, argv);
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios(llvmpipe, pixman, affine);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
