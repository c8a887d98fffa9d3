// The music player's mixing thread. It cannot be stopped at an arbitrary
// point, so it parks between mixing steps: parked it waits to be resumed;
// running it waits a real 20 ms (not the library clock, which tests drive
// by hand) and runs one mixing step, unless told to park meanwhile.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "system/modstate.h"

namespace {

constexpr auto kTurn = std::chrono::milliseconds(20);

struct ModThread {
  std::mutex mutex;
  std::condition_variable changed;
  std::thread thread;
  bool parkWanted = true;
  bool parked = false;
  bool quit = false;
  bool held = false;
  std::thread::id id;  // the mixing thread's, written under the mutex
};

// Lives as long as the process, so that a thread never finds it gone.
ModThread& TheThread() {
  static ModThread* thread = new ModThread;
  return *thread;
}

// Called with the mutex held.
bool OnMixingThread(const ModThread& t) { return t.id == std::this_thread::get_id(); }

}  // namespace

void LSI_ModuleThread() {
  ModThread& t = TheThread();
  std::unique_lock<std::mutex> lock(t.mutex);
  t.id = std::this_thread::get_id();
  while (!t.quit) {
    if (t.parkWanted || t.held) {
      t.parked = true;
      t.changed.notify_all();
      t.changed.wait(lock, [&t] { return t.quit || (!t.parkWanted && !t.held); });
      t.parked = false;
      continue;
    }
    t.changed.wait_for(lock, kTurn, [&t] { return t.quit || t.parkWanted || t.held; });
    if (t.quit || t.parkWanted || t.held) continue;
    lock.unlock();
    LSI_MixModule();
    lock.lock();
  }
  t.parked = true;
  t.changed.notify_all();
}

void LSI_StartModuleThread() {
  ModThread& t = TheThread();
  if (t.thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    t.parkWanted = true;
    t.parked = false;
    t.quit = false;
  }
  t.thread = std::thread(LSI_ModuleThread);
}

void LSI_EndModuleThread() {
  ModThread& t = TheThread();
  if (!t.thread.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    if (OnMixingThread(t)) return;
    t.quit = true;
  }
  t.changed.notify_all();
  t.thread.join();
  t.id = std::thread::id();
}

void LSI_SuspendModuleThread() {
  ModThread& t = TheThread();
  std::unique_lock<std::mutex> lock(t.mutex);
  t.parkWanted = true;
  t.changed.notify_all();
  if (!t.thread.joinable() || OnMixingThread(t)) return;
  t.changed.wait(lock, [&t] { return t.parked; });
}

void LSI_ResumeModuleThread() {
  ModThread& t = TheThread();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    t.parkWanted = false;
  }
  t.changed.notify_all();
}

int32_t LSI_ModuleThreadRunning() {
  ModThread& t = TheThread();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.thread.joinable() && !t.quit ? 1 : 0;
}

int32_t LSI_ModuleThreadParked() {
  ModThread& t = TheThread();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.parked ? 1 : 0;
}

void LSI_HoldModuleThread(int32_t hold) {
  ModThread& t = TheThread();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    t.held = hold != 0;
  }
  t.changed.notify_all();
  if (hold) LSI_SuspendModuleThread();
}
