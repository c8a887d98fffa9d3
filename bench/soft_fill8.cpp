// The 8-bit fillers' pixel rates at 640 x 480 on seeded polygons covering
// the frame about three times: the perspective polygon families (opaque
// and transparent, size index 0 and 36), the affine triangle filler
// (opaque and transparent) and the 1/z triangle filler on the polygons'
// fans; and in the same run Mesa's llvmpipe drawing the same triangles
// perspective-correct, nearest and repeating, into 5-6-5 on one thread,
// and pixman compositing the same texture under each affine triangle's
// transform, nearest and repeating, into an a8 image.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
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

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;
constexpr float kFocal = 400.0f;

// The seeded polygons and their fans, with u, v and depth at the corners
// from each polygon's plane, and the pixels one frame of them covers.
struct Scene {
  std::vector<ztest::PerspCase> polygons;
  std::vector<std::array<TSOFTVERTEX, 3>> triangles;
  std::vector<uint8_t> page = ztest::TexturePage(ztest::Page::Checker);
  int64_t pixels = 0;

  Scene() {
    std::mt19937 rng(2051);
    ztest::Projection640();
    while (pixels < 3 * kWidth * kHeight) {
      ztest::PerspCase c = ztest::SeededPerspPolygon(rng, kWidth, kHeight, 90);
      int32_t top = 0, bottom = 0;
      if (!E3D_ScanPolygonEdges(c.corners.data(), static_cast<int32_t>(c.corners.size()), kWidth, kHeight, &top, &bottom))
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
    v.CamZ = static_cast<int32_t>(kFocal / d);
  }
};

const Scene& TheScene() {
  static const Scene scene;
  return scene;
}

struct Frame {
  ztest::FenceCanvas canvas{kWidth, kHeight, 0, 0};
};

void Rate(benchmark::State& state, int64_t pixelsPerFrame) {
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixelsPerFrame) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// Args: transparent, size index.
void BM_PerspPoly8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  f.canvas.Select();
  ztest::Projection640();
  std::vector<ztest::PerspCase> polygons = s.polygons;
  std::vector<uint8_t> page = s.page;
  const auto fill = state.range(0) ? E3D_PerspPolyTransp8 : E3D_PerspPolyOpaque8;
  const auto k = static_cast<int32_t>(state.range(1));
  for (auto _ : state)
    for (ztest::PerspCase& c : polygons)
      fill(k, c.corners.data(), static_cast<int32_t>(c.corners.size()), page.data(), f.canvas.First(), &c.origin,
           c.matrix);
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  Rate(state, s.pixels);
  state.counters["polygons"] = static_cast<double>(polygons.size());
}
BENCHMARK(BM_PerspPoly8)->ArgNames({"transparent", "k"})->Args({0, 0})->Args({0, 36})->Args({1, 0})->Args({1, 36})->UseRealTime();

// Arg: transparent.
void BM_AffineTri8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  auto triangles = s.triangles;
  std::vector<uint8_t> page = s.page;
  for (auto _ : state)
    for (auto& t : triangles)
      E3D_AffineTri8(0, &f.canvas.window, page.data(), &t[0], &t[1], &t[2], static_cast<int32_t>(state.range(0)));
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  Rate(state, s.pixels);
}
BENCHMARK(BM_AffineTri8)->ArgName("transparent")->Arg(0)->Arg(1)->UseRealTime();

void BM_PerspTri8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  auto triangles = s.triangles;
  std::vector<uint8_t> page = s.page;
  for (auto _ : state)
    for (auto& t : triangles) E3D_PerspTri8(0, &f.canvas.window, page.data(), &t[0], &t[1], &t[2], 0);
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  Rate(state, s.pixels);
}
BENCHMARK(BM_PerspTri8)->UseRealTime();

#if defined(ZENTROVA_HAVE_OSMESA)
// The fans in clip coordinates with w the camera depth, so that GL
// interpolates u and v in perspective; the page as grey texels; no depth
// test, drawn in the scene's order as the fillers paint.
void BM_Llvmpipe8(benchmark::State& state) {
  const Scene& s = TheScene();
  bench::OsmesaTarget target(kWidth, kHeight);
  if (!target.IsLlvmpipe()) {
    state.SkipWithError(("the renderer is not llvmpipe: " + target.renderer).c_str());
    return;
  }
  std::vector<float> position, uv;
  for (const auto& t : s.triangles)
    for (const TSOFTVERTEX& v : t) {
      const auto w = static_cast<float>(v.CamZ);
      position.insert(position.end(), {(2.0f * static_cast<float>(v.X) / kWidth - 1) * w,
                                       (1 - 2.0f * static_cast<float>(v.Y) / kHeight) * w, 0, w});
      uv.insert(uv.end(), {static_cast<float>(v.U) / 65536.0f, static_cast<float>(v.V) / 65536.0f});
    }
  std::vector<uint8_t> rgb;
  for (uint8_t texel : s.page) rgb.insert(rgb.end(), {texel, texel, texel});
  GLuint texture;
  glGenTextures(1, &texture);
  bench::OsmesaTarget::Texture(texture, 256, 256, rgb.data());
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
  Rate(state, s.pixels);
  state.SetLabel(target.renderer);
}
BENCHMARK(BM_Llvmpipe8)->UseRealTime();
#endif

#if defined(ZENTROVA_HAVE_PIXMAN)
// Each affine triangle's texture mapping as pixman's transform from
// destination pixels to source texels, the page an a8 image repeating,
// nearest; pixman composites rectangles, so each triangle's bounding box
// is filled, and the rate counts those pixels.
void BM_Pixman8(benchmark::State& state) {
  const Scene& s = TheScene();
  std::vector<uint8_t> page = s.page, frame(static_cast<size_t>(kWidth) * kHeight);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8, 256, 256, reinterpret_cast<uint32_t*>(page.data()), 256);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight, reinterpret_cast<uint32_t*>(frame.data()), kWidth);
  pixman_image_set_repeat(src, PIXMAN_REPEAT_NORMAL);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  struct Box {
    pixman_transform_t transform;
    int32_t x, y, w, h;
  };
  std::vector<Box> boxes;
  int64_t pixels = 0;
  for (const auto& t : s.triangles) {
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
    Box box{};
    for (int32_t r = 0; r < 2; ++r)
      for (int32_t c = 0; c < 3; ++c) box.transform.matrix[r][c] = pixman_double_to_fixed(std::fmod(m[3 * r + c], 32767.0));
    box.transform.matrix[2][2] = pixman_fixed_1;
    box.x = std::min({t[0].X, t[1].X, t[2].X}), box.y = std::min({t[0].Y, t[1].Y, t[2].Y});
    box.w = std::max({t[0].X, t[1].X, t[2].X}) - box.x, box.h = std::max({t[0].Y, t[1].Y, t[2].Y}) - box.y;
    pixels += static_cast<int64_t>(box.w) * box.h;
    boxes.push_back(box);
  }
  for (auto _ : state)
    for (const Box& b : boxes) {
      pixman_image_set_transform(src, &b.transform);
      pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, b.x, b.y, 0, 0, b.x, b.y, b.w, b.h);
    }
  benchmark::DoNotOptimize(frame.data());
  pixman_image_unref(src);
  pixman_image_unref(dst);
  Rate(state, pixels);
}
BENCHMARK(BM_Pixman8)->UseRealTime();
#endif

// Keeps each run's pixel rate for the comparison at the end.
class Collect : public benchmark::ConsoleReporter {
 public:
  Collect() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
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
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Collect reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto rate = [&](const std::string& name) {
    const auto it = reporter.rates.find(name);
    return it == reporter.rates.end() ? 0.0 : it->second;
  };
  const double gl = rate("BM_Llvmpipe8"), pixman = rate("BM_Pixman8");
  std::printf("\nMillions of pixels per second (ratio to the reference; above 1: the filler is faster):\n");
  for (const auto& [name, r] : reporter.rates) {
    if (name == "BM_Llvmpipe8" || name == "BM_Pixman8") continue;
    const bool affine = name.rfind("BM_AffineTri8", 0) == 0;
    const double ref = affine ? pixman : gl;
    std::printf("  %-36s %8.1f", name.c_str(), r / 1e6);
    if (ref > 0) std::printf("  %5.2f x %s", r / ref, affine ? "pixman" : "llvmpipe");
    std::printf("\n");
  }
  if (gl > 0) std::printf("  %-36s %8.1f\n", "llvmpipe (one thread)", gl / 1e6);
  if (pixman > 0) std::printf("  %-36s %8.1f\n", "pixman", pixman / 1e6);
#if !defined(ZENTROVA_HAVE_OSMESA)
  std::printf("OSMesa was not found when this was built: no llvmpipe comparison.\n");
#endif
#if !defined(ZENTROVA_HAVE_PIXMAN)
  std::printf("pixman was not found when this was built: no pixman comparison.\n");
#endif
  benchmark::Shutdown();
  return 0;
}
