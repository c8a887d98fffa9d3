// The polygon inspector as the race reaches it, until it exists: nothing
// to draw. Weak, so that tests can put recording fakes in its place.
#include "tools/editors.h"

__attribute__((weak)) void SB_InspectPolygons(TSOFTSCENE*) {}
