// The kiosk shell's window message: its hook installed and removed (by the
// console word ZORIRADEMO). Kept apart so that tests of the console words
// can put recording fakes in its place.
#include "race/kiosk.h"
#include "system/win/shell.h"

namespace {
void KioskHook(intptr_t lParam) { SB_KioskMessage(static_cast<int32_t>(lParam)); }
}  // namespace

void SB_InstallKioskHook() { LSYS_SetUserMessageHook(KioskHook); }
void SB_RemoveKioskHook() { LSYS_SetUserMessageHook(nullptr); }
