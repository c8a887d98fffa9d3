// The end of the program when its X display goes away: Xlib's handler of
// a broken connection replaced, through the library SDL loaded.
#include "platform/sdl/lostdisplay.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace plat::sdl {
namespace {

using IoErrorHandler = int (*)(void* display);
using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);

[[noreturn]] int DisplayLost(void*) {
  std::fputs("zentrova: the display's connection was lost\n", stderr);
  std::fflush(nullptr);
  std::_Exit(1);
}

}  // namespace

void EndOnLostDisplay() {
  // Only an Xlib already loaded (by SDL's X11 video) is used.
  void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!x11) return;
  if (auto set = reinterpret_cast<SetIoErrorHandler>(dlsym(x11, "XSetIOErrorHandler"))) set(DisplayLost);
  dlclose(x11);
}

}  // namespace plat::sdl
