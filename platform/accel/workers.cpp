// The accelerator stand-in's render threads: a small pool kept between
// frames takes the items of a render's steps (batches of triangles to set
// up and bin, then tiles) one by one beside the calling thread. Batches
// write only their own bins and tiles never share pixels, so the picture
// does not depend on the count.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
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

  // Does work(0) to work(items - 1) with up to `helpers` pool threads
  // beside this one; returns when every item is done.
  void Run(int32_t items, int32_t helpers, const std::function<void(int32_t)>& work) {
    helpers = Grow(std::min(helpers, items - 1));
    if (helpers <= 0) {
      for (int32_t i = 0; i < items; ++i) work(i);
      return;
    }
    {
      std::lock_guard lock(mutex_);
      work_ = &work;
      items_ = items;
      next_ = 0;
      wanted_ = helpers;
      busy_ = helpers;
      ++generation_;
    }
    start_.notify_all();
    Work();
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    work_ = nullptr;
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
    for (int32_t item = next_++; item < items_; item = next_++) (*work_)(item);
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
  const std::function<void(int32_t)>* work_ = nullptr;
  int32_t items_ = 0, wanted_ = 0, busy_ = 0;
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

int32_t RenderThreads() {
  const int32_t threads = Accel().threads;
  if (threads > 0) return threads;
  return static_cast<int32_t>(std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, kMaxThreads));
}

void ForEachItem(int32_t items, const std::function<void(int32_t)>& work) {
  ThePool().Run(items, RenderThreads() - 1, work);
}

void DrawTiles(const FrameSetup& frame) {
  ForEachItem(frame.tilesX * frame.tilesY, [&frame](int32_t tile) { DrawTile(frame, tile); });
}

}  // namespace plat::accel

namespace plat {

void AccelSetThreads(int32_t count) { accel::Accel().threads = std::clamp(count, 0, accel::kMaxThreads); }

}  // namespace plat
