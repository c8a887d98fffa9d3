// Lines and outline triangles on a 640 x 480 window at 8 and 16 bits:
// the depth's line primitive, clipped lines and triangles by face type.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "bench/benchlib.h"
#include "system/asm3d/zidade3d.h"

namespace {

using bench::kHeight;
using bench::kWidth;
constexpr int32_t kLines = 10000;

struct Line {
  int32_t x1, y1, x2, y2;
};

int64_t PixelsOf(const Line& l) { return std::max(std::abs(l.x2 - l.x1), std::abs(l.y2 - l.y1)) + 1; }

// Seeded integers in [lo, hi].
struct Random {
  std::mt19937 engine;
  explicit Random(uint32_t seed) : engine(seed) {}
  int32_t operator()(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(engine);
  }
  Line Anywhere() {
    return {(*this)(0, kWidth - 1), (*this)(0, kHeight - 1), (*this)(0, kWidth - 1), (*this)(0, kHeight - 1)};
  }
};

// The library's heap and a window over a whole bitmap of the given depth.
struct Screen {
  bench::Heap heap{16u << 20};
  BMAP* bmap;
  _WINDOW window{};
  explicit Screen(int64_t depth) : bmap(LS_CreateBmap(kWidth, kHeight, static_cast<int32_t>(depth), 0)) {
    LS_InitWindowFull(bmap, &window, 0xFFFFFFFF);
  }
  ~Screen() { LS_FreeBmap(bmap); }
};

enum Kind { kShort, kLong, kSteep, kFlat, kDiagonal };
constexpr const char* kKindNames[] = {"short", "long", "steep", "flat", "diagonal"};

std::vector<Line> MakeLines(Kind kind) {
  Random in(static_cast<uint32_t>(kind) + 1);
  std::vector<Line> lines;
  while (lines.size() < kLines) {
    Line l{};
    switch (kind) {
      case kShort:  // 1 to 16 pixels
        l.x1 = in(15, kWidth - 16), l.y1 = in(15, kHeight - 16);
        l.x2 = l.x1 + in(-15, 15), l.y2 = l.y1 + in(-15, 15);
        break;
      case kLong: l = in.Anywhere(); break;  // up to the 800-pixel diagonal
      case kSteep:
        l = in.Anywhere();
        l.x2 = l.x1 + (l.x2 - l.x1) * 3 / 4;  // mostly vertical more often
        if (std::abs(l.x2 - l.x1) >= std::abs(l.y2 - l.y1)) continue;
        break;
      case kFlat:
        l = in.Anywhere();
        if (std::abs(l.x2 - l.x1) <= std::abs(l.y2 - l.y1)) continue;
        break;
      case kDiagonal: {
        const int32_t length = in(0, kHeight - 1);
        l.x1 = in(0, kWidth - 1 - length), l.y1 = in(0, kHeight - 1 - length);
        const bool down = in(0, 1), right = in(0, 1);
        l.x2 = l.x1 + length, l.y2 = l.y1 + length;
        if (!down) std::swap(l.y1, l.y2);
        if (!right) std::swap(l.x1, l.x2);
        break;
      }
    }
    lines.push_back(l);
  }
  return lines;
}

// Counts pixels drawn (or standing for a draw) per second.
void CountPixels(benchmark::State& state, int64_t pixels) {
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixels * state.iterations()), benchmark::Counter::kIsRate);
}

void BM_LinePrimitive(benchmark::State& state) {
  Screen screen(state.range(0));
  const std::vector<Line> lines = MakeLines(static_cast<Kind>(state.range(1)));
  int64_t pixels = 0;
  for (const Line& l : lines) pixels += PixelsOf(l);
  const LS_LINEPROC line = screen.window.W_PRIMITIVE->Line;
  uint32_t colour = 0;
  for (auto _ : state) {
    for (const Line& l : lines) line(&screen.window, l.x1, l.y1, l.x2, l.y2, ++colour);
    benchmark::ClobberMemory();
  }
  CountPixels(state, pixels);
  state.SetLabel(kKindNames[state.range(1)]);
}

// Counts the pixels of the clipped lines instead of drawing them.
int64_t g_counted = 0;
void CountLine(const _WINDOW*, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t) {
  g_counted += PixelsOf({x1, y1, x2, y2});
}

// Lines of every length, every second one with an end outside the window.
void BM_WinLine(benchmark::State& state) {
  Screen screen(state.range(0));
  Random in(42);
  std::vector<Line> lines;
  for (int32_t i = 0; i < kLines; ++i) {
    Line l = in.Anywhere();
    if (i % 2) {
      l.x2 = in(-kWidth, 2 * kWidth);
      l.y2 = in(0, 1) ? in(-kHeight, -1) : in(kHeight, 2 * kHeight);
    }
    lines.push_back(l);
  }
  LS_PRIMITIVES counting = *screen.window.W_PRIMITIVE;
  counting.Line = CountLine;
  _WINDOW counter = screen.window;
  counter.W_PRIMITIVE = &counting;
  g_counted = 0;
  for (const Line& l : lines) LS_WinLine(&counter, l.x1, l.y1, l.x2, l.y2, 1);
  uint32_t colour = 0;
  for (auto _ : state) {
    for (const Line& l : lines) LS_WinLine(&screen.window, l.x1, l.y1, l.x2, l.y2, ++colour);
    benchmark::ClobberMemory();
  }
  CountPixels(state, g_counted);
}

// Outline triangles of type 0 with edges of about `size` pixels.
void BM_WinTriangle(benchmark::State& state) {
  Screen screen(state.range(0));
  const int32_t size = static_cast<int32_t>(state.range(1)), half = size / 2;
  const int32_t count = size > 100 ? 1000 : 10000;
  Random in(static_cast<uint32_t>(size));
  std::vector<_TRIANGLE> triangles;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t cx = in(half, kWidth - 1 - half), cy = in(half, kHeight - 1 - half);
    _TRIANGLE t{};
    t.T_X1 = cx + in(-half, half), t.T_Y1 = cy - half;
    t.T_X2 = cx + half, t.T_Y2 = cy + in(-half, half);
    t.T_X3 = cx - half, t.T_Y3 = cy + half;
    t.T_COLOR = static_cast<uint32_t>(i);
    triangles.push_back(t);
  }
  for (auto _ : state) {
    for (const _TRIANGLE& t : triangles) LS_WinTriangle(&screen.window, 0, &t);
    benchmark::ClobberMemory();
  }
  state.counters["triangles"] =
      benchmark::Counter(static_cast<double>(count * state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_LinePrimitive)
    ->ArgNames({"depth", "kind"})
    ->ArgsProduct({{8, 16}, {kShort, kLong, kSteep, kFlat, kDiagonal}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinLine)->ArgName("depth")->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinTriangle)
    ->ArgNames({"depth", "edge"})
    ->ArgsProduct({{8, 16}, {20, 300}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
