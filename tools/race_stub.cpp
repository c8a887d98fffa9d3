// The editors as the race reaches them, until the editors exist: there is
// no editor to set up, run or free. Weak, so that tests can put recording
// fakes in their place.
#include "tools/editors.h"

__attribute__((weak)) void SB_InitDecorEditor() {}
__attribute__((weak)) void SB_FreeDecorEditor() {}
__attribute__((weak)) void SB_UpdateDecorEditor() {}
__attribute__((weak)) void SB_UpdateSceneEditor(BMAP*) {}
__attribute__((weak)) void SB_FreeSceneEditor() {}
