// The 16-bit fillers' pixel rates at 640 x 480 on the 8-bit benchmark's
// seeded polygons, covering the frame about three times: the perspective
// polygon families (opaque and transparent, size index 0 and 36), the
// affine triangle filler (opaque and transparent) on the polygons' fans,
// and the filler from 8-bit pages through a colour table; and in the same
// run Mesa's llvmpipe drawing the same fans perspective-correct, nearest
// and repeating, into 5-6-5 on one thread, and pixman compositing the
// same 5-6-5 texture under each affine triangle's transform, nearest and
// repeating, into an r5g6b5 image.
#include "bench/fillscene.h"
#include "softrender/fill16/persppoly16.h"

namespace {

using bench::kFillHeight;
using bench::kFillWidth;
using bench::PixelRate;

// 5-6-5 checks of 8 x 8 texels, texel 0 in every other one (the holes).
const std::vector<uint16_t>& Page() {
  static const std::vector<uint16_t> page = [] {
    std::vector<uint16_t> p = ztest::TexturePage16(true);
    for (uint16_t& t : p) t = t ? static_cast<uint16_t>(t | 0x8410) : 0;
    return p;
  }();
  return page;
}

// Args: transparent, size index.
void BM_PerspPoly16(benchmark::State& state) {
  const bench::FillScene& s = bench::TheFillScene();
  ztest::FenceCanvas16 canvas(kFillWidth, kFillHeight, 0, 0);
  canvas.Select();
  ztest::Projection640();
  std::vector<ztest::PerspCase> polygons = s.polygons;
  std::vector<uint16_t> page = Page();
  const auto fill = state.range(0) ? E3D_PerspPolyTransp16 : E3D_PerspPolyOpaque16;
  const auto k = static_cast<int32_t>(state.range(1));
  for (auto _ : state)
    for (ztest::PerspCase& c : polygons)
      fill(k, c.corners.data(), static_cast<int32_t>(c.corners.size()), reinterpret_cast<uint8_t*>(page.data()),
           canvas.First(), &c.origin, c.matrix);
  benchmark::DoNotOptimize(canvas.bytes.data());
  PixelRate(state, s.pixels);
}
BENCHMARK(BM_PerspPoly16)->ArgNames({"transparent", "k"})->Args({0, 0})->Args({0, 36})->Args({1, 0})->Args({1, 36})->UseRealTime();

// The 8-bit checks through a table of 256 5-6-5 colours, mask 0xFFFF.
void BM_PerspPal16(benchmark::State& state) {
  const bench::FillScene& s = bench::TheFillScene();
  ztest::FenceCanvas16 canvas(kFillWidth, kFillHeight, 0, 0);
  canvas.Select();
  ztest::Projection640();
  std::vector<ztest::PerspCase> polygons = s.polygons;
  std::vector<uint8_t> page = ztest::TexturePage(ztest::Page::Checker);
  std::vector<uint16_t> colours(256);
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint16_t>(i * 0x0821);
  for (auto _ : state)
    for (ztest::PerspCase& c : polygons)
      E3D_PerspPolyPal16(0xFFFF, c.corners.data(), static_cast<int32_t>(c.corners.size()), page.data(),
                         colours.data(), canvas.First(), &c.origin, c.matrix);
  benchmark::DoNotOptimize(canvas.bytes.data());
  PixelRate(state, s.pixels);
}
BENCHMARK(BM_PerspPal16)->UseRealTime();

// Arg: transparent.
void BM_AffineTri16(benchmark::State& state) {
  const bench::FillScene& s = bench::TheFillScene();
  ztest::FenceCanvas16 canvas(kFillWidth, kFillHeight, 0, 0);
  auto triangles = s.triangles;
  std::vector<uint16_t> page = Page();
  for (auto _ : state)
    for (auto& t : triangles)
      E3D_AffineTri16(0, &canvas.window, reinterpret_cast<uint8_t*>(page.data()), &t[0], &t[1], &t[2],
                      static_cast<int32_t>(state.range(0)));
  benchmark::DoNotOptimize(canvas.bytes.data());
  PixelRate(state, s.pixels);
}
BENCHMARK(BM_AffineTri16)->ArgName("transparent")->Arg(0)->Arg(1)->UseRealTime();

#if defined(ZENTROVA_HAVE_OSMESA)
// The 5-6-5 page widened to RGB bytes.
void BM_Llvmpipe16(benchmark::State& state) {
  std::vector<uint8_t> rgb;
  for (uint16_t t : Page())
    rgb.insert(rgb.end(), {static_cast<uint8_t>(t >> 11 << 3), static_cast<uint8_t>((t >> 5 & 63) << 2),
                           static_cast<uint8_t>((t & 31) << 3)});
  bench::LlvmpipeFans(state, rgb);
}
BENCHMARK(BM_Llvmpipe16)->UseRealTime();
#endif

#if defined(ZENTROVA_HAVE_PIXMAN)
// The page and the frame as r5g6b5 images.
void BM_Pixman16(benchmark::State& state) {
  std::vector<uint16_t> page = Page();
  bench::PixmanFans(state, PIXMAN_r5g6b5, page.data(), 512, 2);
}
BENCHMARK(BM_Pixman16)->UseRealTime();
#endif

}  // namespace

int main(int argc, char** argv) { return bench::RunFillBenchmarks(argc, argv, "BM_Llvmpipe16", "BM_Pixman16", "BM_AffineTri16"); }
