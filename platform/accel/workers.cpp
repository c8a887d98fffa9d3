// The accelerator stand-in's render threads: a small pool kept between
// frames takes the tiles of a render one by one beside the calling thread.
// Tiles never share pixels, so the picture does not depend on the count.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/accel/control.h"
#include "platform/accel/raster.h"
#include "platform/accel/state.h"

namespace plat::accel {

namespace {

class Pool {
 public:
  ~Pool() {
    {
      std::lock_guard lock(mutex_);
      quit_ = true;
    }
    start_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // Draws every tile with up to `helpers` pool threads beside this one.
  void Run(const FrameSetup& frame, int32_t helpers) {
    const int32_t tiles = frame.tilesX * frame.tilesY;
    helpers = Grow(std::min(helpers, tiles - 1));
    if (helpers <= 0) {
      for (int32_t i = 0; i < tiles; ++i) DrawTile(frame, i);
      return;
    }
    {
      std::lock_guard lock(mutex_);
      frame_ = &frame;
      tiles_ = tiles;
      next_ = 0;
      wanted_ = helpers;
      busy_ = helpers;
      ++generation_;
    }
    start_.notify_all();
    Work();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    frame_ = nullptr;
  }

 private:
  // Starts threads up to the count; gives how many there are.
  int32_t Grow(int32_t count) {
    while (static_cast<int32_t>(threads_.size()) < count) {
      try {
        threads_.emplace_back([this, number = static_cast<int32_t>(threads_.size())] { Loop(number); });
      } catch (const std::system_error&) {
        break;  // as many as the system gives
      }
    }
    return std::min(count, static_cast<int32_t>(threads_.size()));
  }

  void Work() {
    for (int32_t tile = next_++; tile < tiles_; tile = next_++) DrawTile(*frame_, tile);
  }

  void Loop(int32_t number) {
    uint64_t seen = 0;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        start_.wait(lock, [&] { return quit_ || generation_ != seen; });
        if (quit_) return;
        seen = generation_;
        if (number >= wanted_) continue;
      }
      Work();
      std::lock_guard lock(mutex_);
      if (--busy_ == 0) done_.notify_one();
    }
  }

  std::mutex mutex_;
  std::condition_variable start_, done_;
  std::vector<std::thread> threads_;
  const FrameSetup* frame_ = nullptr;
  int32_t tiles_ = 0, wanted_ = 0, busy_ = 0;
  std::atomic<int32_t> next_{0};
  uint64_t generation_ = 0;
  bool quit_ = false;
};

Pool& ThePool() {
  static Pool pool;
  return pool;
}

}  // namespace

int32_t ThreadsFromEnvironment() {
  const char* value = std::getenv("ZENTROVA_ACCEL_THREADS");
  char* end = nullptr;
  const long count = value ? std::strtol(value, &end, 10) : 0;
  return value && end != value && !*end && count >= 1 && count <= kMaxThreads ? static_cast<int32_t>(count) : 0;
}

void DrawTiles(const FrameSetup& frame) {
  int32_t threads = Accel().threads;
  if (threads <= 0) threads = static_cast<int32_t>(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxThreads));
  ThePool().Run(frame, threads - 1);
}

}  // namespace plat::accel

namespace plat {

void AccelSetThreads(int32_t count) { accel::Accel().threads = std::clamp(count, 0, accel::kMaxThreads); }

}  // namespace plat
