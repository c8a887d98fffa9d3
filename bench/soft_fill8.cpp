// The 8-bit fillers' pixel rates at 640 x 480 on seeded polygons covering
// the frame about three times: the perspective polygon families (opaque
// and transparent, size index 0 and 36), the affine triangle filler
// (opaque and transparent) and the 1/z triangle filler on the polygons'
// fans; and in the same run Mesa's llvmpipe drawing the same triangles
// perspective-correct, nearest and repeating, into 5-6-5 on one thread,
// and pixman compositing the same texture under each affine triangle's
// transform, nearest and repeating, into an a8 image.
#include "bench/fillscene.h"

namespace {

using bench::kFillHeight;
using bench::kFillWidth;
using bench::PixelRate;
using Scene = bench::FillScene;

const Scene& TheScene() { return bench::TheFillScene(); }
const std::vector<uint8_t>& Page() {
  static const std::vector<uint8_t> page = ztest::TexturePage(ztest::Page::Checker);
  return page;
}

struct Frame {
  ztest::FenceCanvas canvas{kFillWidth, kFillHeight, 0, 0};
};

// Args: transparent, size index.
void BM_PerspPoly8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  f.canvas.Select();
  ztest::Projection640();
  std::vector<ztest::PerspCase> polygons = s.polygons;
  std::vector<uint8_t> page = Page();
  const auto fill = state.range(0) ? E3D_PerspPolyTransp8 : E3D_PerspPolyOpaque8;
  const auto k = static_cast<int32_t>(state.range(1));
  for (auto _ : state)
    for (ztest::PerspCase& c : polygons)
      fill(k, c.corners.data(), static_cast<int32_t>(c.corners.size()), page.data(), f.canvas.First(), &c.origin,
           c.matrix);
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  PixelRate(state, s.pixels);
  state.counters["polygons"] = static_cast<double>(polygons.size());
}
BENCHMARK(BM_PerspPoly8)->ArgNames({"transparent", "k"})->Args({0, 0})->Args({0, 36})->Args({1, 0})->Args({1, 36})->UseRealTime();

// Arg: transparent.
void BM_AffineTri8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  auto triangles = s.triangles;
  std::vector<uint8_t> page = Page();
  for (auto _ : state)
    for (auto& t : triangles)
      E3D_AffineTri8(0, &f.canvas.window, page.data(), &t[0], &t[1], &t[2], static_cast<int32_t>(state.range(0)));
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  PixelRate(state, s.pixels);
}
BENCHMARK(BM_AffineTri8)->ArgName("transparent")->Arg(0)->Arg(1)->UseRealTime();

void BM_PerspTri8(benchmark::State& state) {
  const Scene& s = TheScene();
  Frame f;
  auto triangles = s.triangles;
  std::vector<uint8_t> page = Page();
  for (auto _ : state)
    for (auto& t : triangles) E3D_PerspTri8(0, &f.canvas.window, page.data(), &t[0], &t[1], &t[2], 0);
  benchmark::DoNotOptimize(f.canvas.bytes.data());
  PixelRate(state, s.pixels);
}
BENCHMARK(BM_PerspTri8)->UseRealTime();

#if defined(ZENTROVA_HAVE_OSMESA)
// The page as grey texels.
void BM_Llvmpipe8(benchmark::State& state) {
  std::vector<uint8_t> rgb;
  for (uint8_t texel : Page()) rgb.insert(rgb.end(), {texel, texel, texel});
  bench::LlvmpipeFans(state, rgb);
}
BENCHMARK(BM_Llvmpipe8)->UseRealTime();
#endif

#if defined(ZENTROVA_HAVE_PIXMAN)
// The page and the frame as an a8 image, the same bytes as indices.
void BM_Pixman8(benchmark::State& state) {
  std::vector<uint8_t> page = Page();
  bench::PixmanFans(state, PIXMAN_a8, page.data(), 256, 1);
}
BENCHMARK(BM_Pixman8)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) { return bench::RunFillBenchmarks(argc, argv, "BM_Llvmpipe8", "BM_Pixman8", "BM_AffineTri8"); }
