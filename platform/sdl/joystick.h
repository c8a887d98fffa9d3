// The SDL joystick back end: SDL's devices 0 to 4 are joysticks 0 to 4,
// read at each call; an axis reads from 0 to 65535.
#pragma once

namespace plat::sdl {

// Starts SDL's joysticks and installs the back end; false when SDL has no
// joystick support (the scripted devices stay).
bool OpenJoysticks();
void CloseJoysticks();

}  // namespace plat::sdl
