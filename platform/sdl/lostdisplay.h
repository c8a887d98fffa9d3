// The end of the program when its X display goes away.
#pragma once

namespace plat::sdl {

// Once SDL has opened its X display: a lost connection ends the program
// at once with exit code 1 and the reason on standard error. Xlib's own
// handler calls exit(), whose handlers would close SDL's window over the
// dead connection and wait for its answer for ever. Nothing when SDL's
// video does not run on X.
void EndOnLostDisplay();

}  // namespace plat::sdl
