// The options screen's command texts until the front-end work that makes
// them: nothing is drawn. Weak, so that tests can put a recording fake in
// its place.
#include "frontend/menuparts.h"

__attribute__((weak)) void RefreshCommandTexts(BMAP*) {}
