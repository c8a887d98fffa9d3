// The event pump with the Alt+Enter latch, keys and the key wait.
#include "shell/gameevent.h"

#include "platform/clock.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"

namespace {
constexpr int32_t kEnterKey = 13, kAltKey = 18;
}

void SB_UpdateEvent() {
  LS_UpdateEvent();
  // Both held together, as they are now: the pump uses up no press that
  // another reader of Enter waits for.
  const bool held = LS_KeyHeld(kAltKey) && LS_KeyHeld(kEnterKey);
  if (!held) {
    SB_Var.AltEnterLatch = 0;
  } else if (!SB_Var.AltEnterLatch) {
    SB_Var.AltEnterLatch = 1;
    if (SB_Hooks.ToggleFullScreen) SB_Hooks.ToggleFullScreen();
  }
}

void SB_PumpEvents() { SB_UpdateEvent(); }

int32_t SB_KeyDown(int32_t key) { return LS_KeyDown(key) ? 1 : 0; }
int32_t SB_KeyHeld(int32_t key) { return LS_KeyHeld(key) ? 1 : 0; }

void SB_FlushKeyboard() { LS_FlushKeyboard(); }

// Without a display and with nothing injected no key can come: the wait
// then ends at once with 0, so that a headless run never hangs on it.
int32_t SB_WaitKey() {
  for (;;) {
    if (const int32_t key = LS_GetKey()) return key;
    if (!LSYS_KeyMayCome()) return 0;
    SB_UpdateEvent();
    SB_NullHook();
    SB_IdleWait();
  }
}

void SB_IdleWait(uint32_t ms) {
  if (LSI_Var.NbKeys == 0) plat::IdleMs(ms);
}
