// The SDL audio back end: opens the default output device and feeds it
// from the sound output stand-in's mixer.
#pragma once
#include <SDL.h>

namespace plat::sdl {

// Opens the device and attaches it as the mixer's output; false (and no
// output) when SDL has no audio device.
bool OpenAudio();
void CloseAudio();
bool AudioOpen();

// SDL's audio callback: userdata is the device's obtained SDL_AudioSpec.
// Renders the mixer at the attached output's rate and converts it into
// the device's sample format and channel count; silence without output.
void AudioCallback(void* userdata, Uint8* stream, int len);

}  // namespace plat::sdl
