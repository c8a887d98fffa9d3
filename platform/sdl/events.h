// SDL events into window messages, key state and the cursor; SDL keys into
// Windows virtual-key codes.
#pragma once
#include <SDL.h>

#include <cstdint>

namespace plat::sdl {

// The virtual-key code of a key: a letter from the key code when the
// layout gives a Latin letter, else from the key's position (scan code),
// US punctuation by position; Shift, Ctrl and Alt by their side (160 to
// 165). 0 for a key the table lacks.
int32_t VirtualKeyOf(const SDL_Keysym& key);
// Turns one event into messages and state.
void TranslateEvent(const SDL_Event& event);
// The message source: every waiting event, then a pending front-surface
// change shown.
void PollEvents();

}  // namespace plat::sdl
