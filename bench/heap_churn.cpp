// Heap churn: 4,096 live blocks of mixed sizes, each step freeing one and
// allocating another, on the library's heap and on malloc/free.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench/benchlib.h"

namespace {

constexpr int kLive = 4096;
constexpr int kSteps = 16384;

struct Plan {
  std::vector<uint32_t> sizes;  // kLive first sizes, then one per step
  std::vector<int> victims;     // which live block each step frees
};

const Plan& TheChurn() {
  static const Plan plan = [] {
    Plan p;
    std::mt19937 random(1234);
    for (int i = 0; i < kLive + kSteps; ++i) {
      const uint32_t r = random() % 100;
      p.sizes.push_back(r < 70   ? 8 + random() % 120
                        : r < 95 ? 128 + random() % 1920
                                 : 2048 + random() % 14336);
    }
    for (int i = 0; i < kSteps; ++i) p.victims.push_back(static_cast<int>(random() % kLive));
    return p;
  }();
  return plan;
}

template <typename Alloc, typename Free>
double Churn(Alloc alloc, Free release) {
  const Plan& plan = TheChurn();
  std::vector<void*> live(kLive);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLive; ++i) live[i] = alloc(plan.sizes[i]);
  for (int s = 0; s < kSteps; ++s) {
    void*& slot = live[plan.victims[s]];
    release(slot);
    slot = alloc(plan.sizes[kLive + s]);
  }
  for (void* p : live) release(p);
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

void BM_HeapChurnAgainstMalloc(benchmark::State& state) {
  bench::Heap heap(64u << 20);
  double heapUs = 0, mallocUs = 0;
  for (auto _ : state) {
    heapUs += Churn([](uint32_t n) { return LS_GetMem(n); }, [](void* p) { LS_Release(p); });
    mallocUs += Churn([](uint32_t n) { return std::malloc(n); }, [](void* p) { std::free(p); });
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["heap_us"] = heapUs / n;
  state.counters["malloc_us"] = mallocUs / n;
  state.counters["heap_over_malloc"] = heapUs / mallocUs;
}
BENCHMARK(BM_HeapChurnAgainstMalloc)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
