// The interface's screen blends: one BmapCrossFade step at 640 x 480 in
// 5-6-5 on alternate lines and on all lines, and prepareicone's three looks
// of a 220 x 160 button, read against the 50 ms step of a transition. Beside
// them, in the same run, pixman composites the same src2 over src1 through
// a solid mask of the same weight into r5g6b5, on the same lines.
#include <benchmark/benchmark.h>

#include <chrono>

#ifdef ZENTROVA_HAVE_PIXMAN
#include <pixman.h>
#endif

#include "bench/benchlib.h"
#include "bench/pixman_main.h"
#include "frontend/menu.h"

namespace {

constexpr double kWeight = 0.6;
constexpr double kStepMs = 50.0;

// Two 640 x 480 5-6-5 pictures of seeded noise and a third to write to.
struct Pictures {
  BMAP* src1 = LS_CreateBmap(bench::kWidth, bench::kHeight, 16, 0);
  BMAP* src2 = LS_CreateBmap(bench::kWidth, bench::kHeight, 16, 0);
  BMAP* dst = LS_CreateBmap(bench::kWidth, bench::kHeight, 16, 0);
  Pictures() {
    uint32_t seed = 4321;
    for (BMAP* b : {src1, src2, dst}) {
      b->Format = BMAP_RGB565;
      bench::PaintBmap(b, [&](int32_t, int32_t) { return bench::Next(seed) >> 16; });
    }
  }
  ~Pictures() {
    for (BMAP* b : {src1, src2, dst}) LS_FreeBmap(b);
  }
};

// The wall time of the timed loop, begun where it is made.
struct Stopwatch {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  // One iteration's share of the 50 ms step, in percent.
  void Report(benchmark::State& state) const {
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    state.counters["pct_of_step"] =
        state.iterations() ? ms / static_cast<double>(state.iterations()) / kStepMs * 100.0 : 0.0;
  }
};

// lines: 0 the even rows (a transition's alternate step), 2 all rows.
void BM_CrossFade565(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  Pictures p;
  const int32_t lines = static_cast<int32_t>(state.range(0));
  const Stopwatch watch;
  for (auto _ : state) {
    BmapCrossFade(p.dst, p.src1, p.src2, kWeight, lines);
    benchmark::DoNotOptimize(p.dst->Start[0]);
  }
  watch.Report(state);
  state.SetLabel(lines == 2 ? "library, all lines" : "library, alternate lines");
}
BENCHMARK(BM_CrossFade565)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

#ifdef ZENTROVA_HAVE_PIXMAN
// pixman: src2 OVER the destination, which starts as src1, through a solid
// mask of the weight, in place: as much reading and writing as the
// library's step. Every second row is reached through images of doubled
// stride and half height.
void BM_CrossFade565Pixman(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  Pictures p;
  const bool all = state.range(0) == 2;
  const int rows = all ? bench::kHeight : bench::kHeight / 2, stride = p.src1->ByteLen * (all ? 1 : 2);
  auto image = [&](BMAP* b) {
    return pixman_image_create_bits(PIXMAN_r5g6b5, bench::kWidth, rows, reinterpret_cast<uint32_t*>(b->Start),
                                    stride);
  };
  pixman_image_t* over = image(p.src2);
  pixman_image_t* out = image(p.dst);
  const pixman_color_t weight{0, 0, 0, static_cast<uint16_t>(kWeight * 0xFFFF)};
  pixman_image_t* mask = pixman_image_create_solid_fill(&weight);
  std::memcpy(p.dst->Start, p.src1->Start, static_cast<size_t>(p.src1->ByteLen) * bench::kHeight);
  const Stopwatch watch;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, over, mask, out, 0, 0, 0, 0, 0, 0, bench::kWidth, rows);
    benchmark::DoNotOptimize(p.dst->Start[0]);
  }
  pixman_image_unref(mask);
  pixman_image_unref(out);
  pixman_image_unref(over);
  watch.Report(state);
  state.SetLabel(all ? "pixman, all lines" : "pixman, alternate lines");
}
BENCHMARK(BM_CrossFade565Pixman)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
#endif

// The three looks of a 220 x 160 32-bit button over the 16-bit background.
void BM_PrepareIcone220x160(benchmark::State& state) {
  bench::DataTreeLibrary library;
  SB_Var.MenuBmap = SB_CreateBmap(bench::kWidth, bench::kHeight, 16, 0, "bench");
  SB_Var.MenuBackground = SB_CreateBmap(bench::kWidth, bench::kHeight, 16, 0, "bench");
  BMAP* picture = LS_CreateBmap(220, 160, 32, 0);
  uint32_t seed = 99;
  bench::PaintBmap(SB_Var.MenuBackground, [&](int32_t, int32_t) { return bench::Next(seed) >> 16; });
  // Opaque but for a half-transparent strip at the right.
  bench::PaintBmap(picture, [&](int32_t x, int32_t) {
    return (x < 200 ? 0xFF000000u : 0x80000000u) | (bench::Next(seed) >> 8);
  });
  SB_Var.MenuNormalFactor = SB_MENUNORMALFACTOR;
  TMENUITEM item{};
  item.Kind = ITEMKIND_BUTTON;
  item.Index = 1;
  item.X = 200, item.Y = 150;
  const Stopwatch watch;
  for (auto _ : state) {
    prepareicone(&item, picture);
    benchmark::DoNotOptimize(SB_Var.MenuBmaps[1].Pressed);
  }
  watch.Report(state);
  TMENUBMAP& row = SB_Var.MenuBmaps[1];
  for (BMAP** look : {&row.Highlighted, &row.Normal, &row.Pressed}) {
    SB_FreeBmap(*look);
    *look = nullptr;
  }
  LS_FreeBmap(picture);
  SB_FreeBmap(SB_Var.MenuBackground);
  SB_FreeBmap(SB_Var.MenuBmap);
  SB_Var.MenuBackground = SB_Var.MenuBmap = nullptr;
}
BENCHMARK(BM_PrepareIcone220x160)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunComparedWithPixman(argc, argv); }
