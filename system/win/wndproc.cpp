// The window procedure, the paint handler, the message pump and its hooks,
// the input mode and the message box.
#include <vector>

#include "platform/clock.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/cdaudio.h"
#include "system/error.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/win/shell.h"

namespace {

constexpr uint32_t kScreenSave = 0xF140;
constexpr uint32_t kMonitorPower = 0xF170;
// While inactive the pump waits this long after each pass.
constexpr uint32_t kInactiveSleepMs = 50;

// True while the program must run on when inactive (the hook says so while
// a network session is open: the other machines wait for this one).
bool RunsInactive() { return LSYS_Shell.RunInactiveHook && LSYS_Shell.RunInactiveHook(); }

void Activate(bool active) {
  LSYS_Shell.Active = active ? 1 : 0;
  if (active) {
    LSYS_ResumeTime();
    if (LSYS_Shell.ResumeHook) LSYS_Shell.ResumeHook();
    LS_StartChrono();
  } else {
    LSYS_PauseTime();  // the pump starts it again at once when running inactive
    if (LSYS_Shell.PauseHook) LSYS_Shell.PauseHook();
  }
  if (LSYS_Shell.ActivateHook) LSYS_Shell.ActivateHook(LSYS_Shell.Active);
}

// What the window system does with a message the procedure passes on.
intptr_t DefaultProc(uint32_t message) {
  switch (message) {
    case plat::kMsgClose: LSYS_WindowProc(plat::kMsgDestroy, 0, 0); break;  // the window goes
    case plat::kMsgPaint: plat::TakeUpdateRegion(); break;                  // validated
    default: break;
  }
  return 0;
}

// The quit message ends the program: the window it belonged to is gone.
[[noreturn]] void Quit(int32_t code) {
  LSI_CloseGraphic();
  LS_Exit(code);
}

// Clears the pump's running flag on every way out, the exit hook's throw
// included.
struct PumpScope {
  PumpScope() { LSYS_Shell.Pumping = 1; }
  ~PumpScope() { LSYS_Shell.Pumping = 0; }
};

}  // namespace

intptr_t LSYS_WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (LSYS_UserMessage && message == LSYS_UserMessage) {
    if (LSYS_Shell.UserMessageHook) LSYS_Shell.UserMessageHook(lParam);
    return 1;
  }
  switch (message) {
    case plat::kMsgDestroy: plat::PostWindowMessage({plat::kMsgQuit, 0, 0}); break;
    case plat::kMsgMove:
      LSYS_ResumeTime();
      if (LSYS_Shell.ActivateHook) LSYS_Shell.ActivateHook(1);
      LSYS_Shell.Moving = 0;
      break;
    case plat::kMsgPaint: LSYS_RepaintWindow(); break;
    case plat::kMsgActivateApp: Activate(wParam != 0); break;
    case plat::kMsgKeyDown:
    case plat::kMsgSysKeyDown:
    case plat::kMsgLButtonDown:
    case plat::kMsgRButtonDown: LS_StartChrono(); break;
    case plat::kMsgChar:
      LSI_PutKey(static_cast<uint32_t>(wParam));
      LS_StartChrono();
      break;
    case plat::kMsgSysCommand:
      // Neither the screen saver nor monitor power saving may start.
      if ((wParam & 0xFFF0) == kScreenSave || (wParam & 0xFFF0) == kMonitorPower) return 1;
      break;
    case plat::kMsgMoving:
      if (LSYS_Shell.ActivateHook && !LSYS_Shell.Moving) {
        LSYS_PauseTime();
        LSYS_Shell.ActivateHook(0);
        LSYS_Shell.Moving = 1;
      }
      break;
    case plat::kMsgCdNotify: LSI_CDNotify(static_cast<uint32_t>(wParam)); break;
    default: break;
  }
  return DefaultProc(message);
}

void LSYS_RepaintWindow() {
  // Taking the region validates the window, whatever is drawn.
  const std::vector<plat::Rect> region = plat::TakeUpdateRegion();
  const BMAP* screen = LS_Var.Screen;
  if (!screen || !LSYS_Shell.RepaintHook) return;
  for (const plat::Rect& r : region) {
    const int32_t x1 = r.left < 0 ? 0 : r.left, y1 = r.top < 0 ? 0 : r.top;
    const int32_t x2 = r.right > screen->SizeX ? screen->SizeX : r.right;
    const int32_t y2 = r.bottom > screen->SizeY ? screen->SizeY : r.bottom;
    if (x1 < x2 && y1 < y2) LSYS_Shell.RepaintHook(x1, y1, x2 - 1, y2 - 1);
  }
}

int32_t LSYS_PumpMessages() {
  if (LSYS_Shell.Pumping) return LSYS_Shell.Active;
  PumpScope scope;
  plat::CountPump();
  for (;;) {
    plat::PollMessageSource();
    plat::WindowMessage message{};
    const bool dispatched = plat::PeekWindowMessage(message);
    if (dispatched) {
      if (message.message == plat::kMsgQuit) Quit(static_cast<int32_t>(message.wParam));
      LSYS_WindowProc(message.message, message.wParam, message.lParam);
    }
    if (LSYS_Shell.Active || RunsInactive()) {
      // Running inactive, the clock runs too (stopped by the focus loss or
      // before the session opened).
      if (!LSYS_Shell.Active) LSYS_ResumeTime();
      if (!dispatched) break;
      continue;
    }
    // Inactive with nothing to run on for: the clock stands (also when a
    // session closed since the focus went) and the pump waits.
    LSYS_PauseTime();
    plat::SleepMs(kInactiveSleepMs);
  }
  return LSYS_Shell.Active;
}

void LS_UpdateEvent() {
  if (LS_BmapLockCount) {
    if (LS_Var.Screen) LS_UnlockBmap(LS_Var.Screen);
    LS_Error(8, "No UpdateEvent during a LockBmap");
  }
  LSYS_PumpMessages();
}

// The reader of the input changes with the mode (console, menus, race):
// presses the last one left unread do not reach the next.
void LS_SetInputMode(int32_t mode) {
  LSI_Var.InputMode = (mode >= 0 && mode <= 2) ? static_cast<uint32_t>(mode) : 0;
  LS_ForgetKeyTaps();
}

void LSYS_SetActivateHook(LSYS_ACTIVATEHOOK hook) { LSYS_Shell.ActivateHook = hook; }
void LSYS_SetRunInactiveHook(LSYS_RUNINACTIVEHOOK hook) { LSYS_Shell.RunInactiveHook = hook; }
void LSYS_SetRepaintHook(LSYS_REPAINTHOOK hook) { LSYS_Shell.RepaintHook = hook; }
void LSYS_SetUserMessageHook(LSYS_USERMESSAGEHOOK hook) { LSYS_Shell.UserMessageHook = hook; }
LSYS_ACTIVATEHOOK LSYS_GetActivateHook() { return LSYS_Shell.ActivateHook; }

void LSYS_SetMusicHooks(LSYS_MUSICHOOK pause, LSYS_MUSICHOOK resume) {
  LSYS_Shell.PauseHook = pause;
  LSYS_Shell.ResumeHook = resume;
}

// Pumps without the bitmap-lock guard, so that a box raised while a bitmap
// is locked cannot raise another error. The box is drawn in the desktop's
// colours; the program's palette comes back after it.
void LSYS_MessageBox(const char* text) {
  LSYS_PumpMessages();
  LSYS_FlipToGdi();
  const PALETTE kept = LS_Var.Palette;
  LS_SetPalette(LSYS_GetSystemPalette());
  plat::MessageBox(text ? text : "", "ZidAde Message");
  LS_SetPalette(&kept);
}
