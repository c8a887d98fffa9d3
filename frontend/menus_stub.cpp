// The trade-show screen until the front-end work that builds it: its
// screen callback and page do nothing, and its items highlight and press
// as every button does but do nothing on release. Weak, so that the real ones replace them.
#include "frontend/menus.h"

__attribute__((weak)) void ComdexScreen() {}
__attribute__((weak)) void testinterface() {}

__attribute__((weak)) void ComdexLaunchRaceButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ComdexEndOfRaceButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ComdexPracticeButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ComdexQuitButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
