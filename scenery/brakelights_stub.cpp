// The brake lights come with the scenery; until then there are none to
// redraw. Weak, so that tests can put a recording fake in its place.
#include "scenery/brakelights.h"

__attribute__((weak)) void SB_ResetBrakeLights() {}
