// The accelerator stand-in's texture and frame costs: preprocessing a
// 256 x 256 texture with and without its smaller levels, uploading its
// texels again with sgl_set_texture, and the render's clear of a 640 x 400
// 16-bit frame (the floor of every accelerated frame). Each has a
// reference beside it: the same bytes converted without twiddling, copied
// with memcpy, filled with std::fill_n.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/sgl.h"

namespace {

constexpr int32_t kSide = 256, kWidth = 640, kHeight = 400;

std::vector<uint32_t> Picture() {
  std::vector<uint32_t> texels(kSide * kSide);
  uint32_t seed = 12345;
  for (uint32_t& t : texels) t = seed = seed * 1664525u + 1013904223u;
  return texels;
}

SGLMAP Source(std::vector<uint32_t>& texels) { return SGLMAP{{'I', 'M', 'A', 'P'}, kSide, kSide, texels.data()}; }

void BM_Preprocess256(benchmark::State& state) {
  plat::AccelReset();
  std::vector<uint32_t> texels = Picture();
  const SGLMAP source = Source(texels);
  const int32_t format = state.range(0) ? SGL_MAP_555_LEVELS : SGL_MAP_555;
  for (auto _ : state) {
    SGLMAP processed{};
    sgl_preprocess_texture(format, 3, 0, 0, &source, 0, &processed);
    benchmark::DoNotOptimize(processed.Pixels);
    sgl_free_pixels(&processed);
  }
}

// Reference: the same 5-5-5 conversion row after row, into one buffer.
void BM_Convert256RowOrder(benchmark::State& state) {
  const std::vector<uint32_t> texels = Picture();
  std::vector<uint16_t> out(texels.size());
  for (auto _ : state) {
    for (size_t i = 0; i < texels.size(); ++i) {
      const uint32_t w = texels[i];
      out[i] = static_cast<uint16_t>((w & 0xF8) << 7 | (w >> 6 & 0x3E0) | (w >> 19 & 0x1F));
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}

void BM_SetTexture256(benchmark::State& state) {
  plat::AccelReset();
  std::vector<uint32_t> texels = Picture();
  const SGLMAP source = Source(texels);
  SGLMAP processed{};
  sgl_preprocess_texture(SGL_MAP_555, 3, 0, 0, &source, 0, &processed);
  const int32_t name = sgl_create_texture(0, 0, 0, 0, &processed, 0);
  for (auto _ : state) benchmark::DoNotOptimize(sgl_set_texture(name, 0, 0, &processed, 0));
  sgl_free_pixels(&processed);
}

// Reference: memcpy of the texture's 131,072 bytes.
void BM_Memcpy256(benchmark::State& state) {
  std::vector<uint16_t> from(kSide * kSide, 1), to(kSide * kSide);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size() * sizeof(uint16_t));
    benchmark::ClobberMemory();
  }
}

std::vector<uint8_t> g_frame(kWidth * kHeight * 2);
int32_t Target(SGLRENDERTARGET* target) {
  *target = {g_frame.data(), kWidth * 2, 16};
  return 0;
}

void BM_RenderClear640x400(benchmark::State& state) {
  plat::AccelReset();
  uint32_t* status = nullptr;
  sgl_create_screen_device(0, kWidth, kHeight, SGL_DEVICE_16BIT, 0);
  sgl_use_address_mode(Target, &status);
  SGLCONTEXT context{};
  context.BackRed = 0.8f, context.BackGreen = 0.9f, context.BackBlue = 1.0f;
  for (auto _ : state) {
    sgltri_startofframe(&context);
    sgltri_render(&context);
    benchmark::ClobberMemory();
  }
}

// Reference: std::fill_n of the frame's 256,000 pixels.
void BM_FillN640x400(benchmark::State& state) {
  std::vector<uint16_t> frame(kWidth * kHeight);
  for (auto _ : state) {
    std::fill_n(frame.data(), frame.size(), uint16_t{0xCF3F});
    benchmark::ClobberMemory();
  }
}

}  // namespace

BENCHMARK(BM_Preprocess256)->ArgName("levels")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Convert256RowOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetTexture256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Memcpy256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderClear640x400)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillN640x400)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
