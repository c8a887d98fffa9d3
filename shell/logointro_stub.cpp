// The logo intro comes with the race session's pictures; until then it
// shows nothing. Weak, so that tests can put a recording fake in its place.
#include "shell/session.h"

__attribute__((weak)) void SB_PlayLogoIntro() {}
