// The console's print: 1,000 lines of 60 characters, each drawn the way the
// console draws every line (background copied, 60 text lines, free memory,
// whole bitmap copied to the screen) on a 640 x 480 16-bit memory screen
// with an 8-bit background picture.
#include <benchmark/benchmark.h>

#include "bench/benchlib.h"
#include "console/hooks.h"
#include "shell/console.h"
#include "system/font.h"
#include "system/lsvar.h"

namespace {

constexpr int kPrints = 1000;

struct Console {
  bench::Heap heap{16u << 20};
  Console() {
    LS_InitSystemFont();
    SB_InstallHooks();
    SB_ResetVars();
    for (int i = 0; i < 256; ++i)
      LS_Var.Palette.Entry[i] = {static_cast<uint8_t>(i / 8), static_cast<uint8_t>(i / 5),
                                 static_cast<uint8_t>(40 + i * 3 / 4 > 63 ? 63 : 40 + i * 3 / 4)};
    LS_Var.Palette.Entry[255] = {63, 63, 63};
    LS_Var.Screen = LS_CreateBmap(640, 480, 16, 0);
    SB_Var.DevEnvBackground = SB_CreateBmap(640, 480, 8, 0, "background");
    bench::PaintBmap(SB_Var.DevEnvBackground, [](int32_t, int32_t y) { return y * 254 / 479; });
    SB_Var.DrawConsole = 1;
  }
  ~Console() {
    SB_FreeBmap(SB_Var.DevEnvScreen);
    SB_FreeBmap(SB_Var.DevEnvBackground);
    LS_FreeBmap(LS_Var.Screen);
    LS_Var.Screen = nullptr;
    SB_InstallHooks();
    SB_ResetVars();
  }
};

void BM_ConsolePrint(benchmark::State& state) {
  Console console;
  const std::string line(60, 'W');
  for (auto _ : state)
    for (int i = 0; i < kPrints; ++i) SB_ConsolePrintf("%s", line.c_str());
  state.counters["per_print"] = benchmark::Counter(
      kPrints, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_ConsolePrint)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
