// The films' x2 zoom: BlitFliFrame of a 320 x 200 8-bit frame into
// 640 x 400 at 16 bits (one 32-bit store per pixel and row) and at 8 bits,
// in frames per second, read against the 15 frames per second the 66 ms
// pace needs. Beside it, in the same run, pixman scales the same indexed
// frame x2 with the nearest filter into r5g6b5.
#include <benchmark/benchmark.h>

#ifdef ZENTROVA_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <vector>

#include "bench/benchlib.h"
#include "bench/pixman_main.h"
#include "frontend/media.h"

namespace {

constexpr int32_t kFilmW = 320, kFilmH = 200;

// A frame of seeded noise and the film's 256 colours converted.
struct Frame {
  BMAP* frame = LS_CreateBmap(kFilmW, kFilmH, 8, 0);
  Frame() {
    frame->Format = BMAP_PAL8;
    uint32_t seed = 77;
    bench::PaintBmap(frame, [&](int32_t, int32_t) { return bench::Next(seed) >> 24; });
    for (uint32_t i = 0; i < 256; ++i) SB_Var.FliColours[i] = (i * 0x0101u) * 0x10001u;
  }
  ~Frame() { LS_FreeBmap(frame); }
};

void Report(benchmark::State& state) {
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["pace_fps"] = 15;
}

void BM_BlitFliFrame(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  Frame f;
  const int32_t depth = static_cast<int32_t>(state.range(0));
  BMAP* dst = LS_CreateBmap(2 * kFilmW, 2 * kFilmH, depth, 0);
  for (auto _ : state) {
    BlitFliFrame(f.frame, dst);
    benchmark::DoNotOptimize(dst->Start[0]);
  }
  Report(state);
  state.SetLabel(depth == 16 ? "library, 16-bit" : "library, 8-bit");
  LS_FreeBmap(dst);
}
BENCHMARK(BM_BlitFliFrame)->Arg(16)->Arg(8)->Unit(benchmark::kMicrosecond);

#ifdef ZENTROVA_HAVE_PIXMAN
// pixman: the indexed frame (r8g8b8 palette lookups through an indexed
// image) scaled x2, nearest filter, into r5g6b5.
void BM_BlitFliFramePixman(benchmark::State& state) {
  bench::Heap heap(8u << 20);
  Frame f;
  pixman_indexed_t indexed{};
  for (uint32_t i = 0; i < 256; ++i) indexed.rgba[i] = 0xFF000000u | i * 0x010101u;
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_c8, kFilmW, kFilmH,
                                                 reinterpret_cast<uint32_t*>(f.frame->Start), f.frame->ByteLen);
  pixman_image_set_indexed(src, &indexed);
  pixman_transform_t half;
  pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(src, &half);
  pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  std::vector<uint16_t> out(static_cast<size_t>(4 * kFilmW * kFilmH));
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_r5g6b5, 2 * kFilmW, 2 * kFilmH, reinterpret_cast<uint32_t*>(out.data()), 4 * kFilmW);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, 2 * kFilmW, 2 * kFilmH);
    benchmark::DoNotOptimize(out[0]);
  }
  pixman_image_unref(dst);
  pixman_image_unref(src);
  Report(state);
  state.SetLabel("pixman, nearest x2 into r5g6b5");
}
BENCHMARK(BM_BlitFliFramePixman)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

int main(int argc, char** argv) { return bench::RunComparedWithPixman(argc, argv); }
