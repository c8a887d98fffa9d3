// The SDL back end as a whole: the headless test and the start and stop
// of its device back ends.
#include "platform/sdl/sdl.h"

#include <cstdlib>
#include <cstring>

#include "platform/sdl/audio.h"
#include "platform/sdl/joystick.h"
#include "platform/sdl/video.h"

namespace plat::sdl {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DevicesWanted() {
  if (const char* headless = std::getenv("ZENTROVA_HEADLESS"); headless && *headless && std::strcmp(headless, "0"))
    return false;
  if (const char* video = std::getenv("SDL_VIDEODRIVER"); video && std::strcmp(video, "dummy") == 0) return false;
  return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

void Start() {
  static bool registered = false;
  if (!registered) {
    std::atexit(Stop);
    registered = true;
  }
  OpenAudio();
  OpenJoysticks();
  InstallVideo();
}

void Stop() {
  CloseVideo();
  CloseJoysticks();
  CloseAudio();
  SDL_Quit();
}

}  // namespace plat::sdl
