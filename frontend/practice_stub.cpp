// The network start's film and the practice mode, until their screens
// exist: nothing to play, nothing to enter. Weak, so that tests can put
// recording fakes in their place.
#include "frontend/media.h"

__attribute__((weak)) void SB_PlayPreloadedFli() {}
__attribute__((weak)) void SB_EnterPracticeMode() {}
