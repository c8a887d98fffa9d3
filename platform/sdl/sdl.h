// The SDL back end as a whole: whether to start it, and starting and
// stopping its device back ends (audio, joysticks, the window).
#pragma once

namespace plat::sdl {

// False when the program runs headless: ZENTROVA_HEADLESS set (not "0"),
// SDL's video driver set to "dummy", or no display server named by
// DISPLAY or WAYLAND_DISPLAY.
bool DevicesWanted();
// Starts every device back end that can start (the window opens when the
// library makes its windows); stops them at process exit.
void Start();
void Stop();

}  // namespace plat::sdl
