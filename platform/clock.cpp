// Millisecond clock: steady clock in normal runs, manual clock in tests.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace plat {
namespace {
std::atomic<bool> g_manual{false};
std::atomic<uint32_t> g_manualNow{0};
std::atomic<IdleWaiter> g_waiter{nullptr};
const auto g_start = std::chrono::steady_clock::now();
}  // namespace

uint32_t TickMs() {
  if (g_manual.load()) return g_manualNow.load();
  auto elapsed = std::chrono::steady_clock::now() - g_start;
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SleepMs(uint32_t ms) {
  if (g_manual.load()) {
    g_manualNow.fetch_add(ms);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void IdleMs(uint32_t ms) {
  if (const IdleWaiter waiter = g_waiter.load())
    waiter(ms);
  else if (!g_manual.load())
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SetIdleWaiter(IdleWaiter waiter) { g_waiter.store(waiter); }

void UseManualClock(bool manual) { g_manual.store(manual); }
bool IsManualClock() { return g_manual.load(); }
void SetManualTime(uint32_t ms) { g_manualNow.store(ms); }
void AdvanceManualTime(uint32_t ms) { g_manualNow.fetch_add(ms); }

}  // namespace plat
