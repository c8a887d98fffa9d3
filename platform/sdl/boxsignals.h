// A modal message box and the signals that ask the program to end.
#pragma once

namespace plat::sdl {

// While one lives (around a modal message box), SIGTERM and SIGINT close
// the box: SDL shows it from a child process of the calling thread and
// waits for it, so the signal ends that child, then does its own work (SDL
// queues the quit that ends the program, as the window's close button
// does). Where the signal's work was to end the process, it does so once
// the box is closed.
class BoxSignals {
 public:
  BoxSignals();
  ~BoxSignals();
  BoxSignals(const BoxSignals&) = delete;
  BoxSignals& operator=(const BoxSignals&) = delete;
};

}  // namespace plat::sdl
