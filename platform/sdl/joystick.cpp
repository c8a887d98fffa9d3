// SDL's joysticks as the joystick stand-in's devices.
#include "platform/sdl/joystick.h"

#include <SDL.h>

#include <algorithm>

#include "platform/joystick.h"

namespace plat::sdl {
namespace {

constexpr int32_t kAxisOffset = 32768;
constexpr uint32_t kAxisMax = 65535;

SDL_Joystick* g_open[kJoystickCount] = {};

// Device id, opened on first use and again after it was unplugged.
SDL_Joystick* Device(int32_t id) {
  SDL_JoystickUpdate();
  SDL_Joystick*& joystick = g_open[id];
  if (joystick && !SDL_JoystickGetAttached(joystick)) {
    SDL_JoystickClose(joystick);
    joystick = nullptr;
  }
  if (!joystick && id < SDL_NumJoysticks()) joystick = SDL_JoystickOpen(id);
  return joystick;
}

JoyResult Caps(int32_t id, JoyCaps* caps) {
  SDL_Joystick* joystick = Device(id);
  if (!joystick) return kJoyUnplugged;
  *caps = JoyCaps{};
  caps->xMax = caps->yMax = kAxisMax;
  caps->buttons = static_cast<uint32_t>(std::max(0, SDL_JoystickNumButtons(joystick)));
  return kJoyOk;
}

JoyResult Position(int32_t id, JoyPosition* position) {
  SDL_Joystick* joystick = Device(id);
  if (!joystick) return kJoyUnplugged;
  const int axes = SDL_JoystickNumAxes(joystick);
  position->x = static_cast<uint32_t>((axes > 0 ? SDL_JoystickGetAxis(joystick, 0) : 0) + kAxisOffset);
  position->y = static_cast<uint32_t>((axes > 1 ? SDL_JoystickGetAxis(joystick, 1) : 0) + kAxisOffset);
  position->buttons = 0;
  const int buttons = std::min(32, SDL_JoystickNumButtons(joystick));
  for (int b = 0; b < buttons; ++b)
    if (SDL_JoystickGetButton(joystick, b)) position->buttons |= 1u << b;
  return kJoyOk;
}

const JoystickBackend kBackend = {Caps, Position};

}  // namespace

bool OpenJoysticks() {
  // The multimedia joystick answered whichever window had the focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
  SetJoystickBackend(&kBackend);
  return true;
}

void CloseJoysticks() {
  if (!SDL_WasInit(SDL_INIT_JOYSTICK)) return;
  SetJoystickBackend(nullptr);
  for (SDL_Joystick*& joystick : g_open) {
    if (joystick) SDL_JoystickClose(joystick);
    joystick = nullptr;
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace plat::sdl
