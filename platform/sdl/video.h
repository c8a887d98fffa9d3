// The SDL window back end: one window that plays the program's full-screen
// and framed windows, the presenter that shows the display's front surface
// in it, and the message box.
#pragma once
#include <SDL.h>

namespace plat::sdl {

// Installs the back end: the window opens when the library makes its
// windows; events are read at each pump pass.
void InstallVideo();
// Closes the window and removes the back end.
void CloseVideo();

// Shows the front surface now, or when it was last looked at less than a
// refresh ago, at the next pump or vertical-blank wait; a front that shows
// what the last frame showed is not shown again.
void FrontChanged();
// Shows a change not yet shown.
void FlushFront();
// Marks the window as needing to be shown again (exposed, resized).
void RedrawWindow();
// Keeps the window's geometry (for the pointer) up to date.
void UpdateGeometry();

// For tests: the window and its renderer (null while closed), and the
// frames shown so far.
SDL_Window* Window();
SDL_Renderer* Renderer();
uint64_t FramesShown();

}  // namespace plat::sdl
