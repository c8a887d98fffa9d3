// Message pump, hooks and message box, before the window system exists:
// the pump finds no message and the application is always active.
#include "platform/window.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/win/shell.h"

namespace {
LSYS_ACTIVATEHOOK g_activateHook = nullptr;
LSYS_REPAINTHOOK g_repaintHook = nullptr;
LSYS_USERMESSAGEHOOK g_userHook = nullptr;
LSYS_MODULEHOOK g_pauseHook = nullptr;
LSYS_MODULEHOOK g_resumeHook = nullptr;
}  // namespace

int32_t LSYS_PumpMessages() { return 1; }
void LS_UpdateEvent() { LSYS_PumpMessages(); }

void LS_SetInputMode(int32_t mode) {
  LSI_Var.InputMode = (mode >= 0 && mode <= 2) ? static_cast<uint32_t>(mode) : 0;
}

void LSYS_SetActivateHook(LSYS_ACTIVATEHOOK hook) { g_activateHook = hook; }
void LSYS_SetRepaintHook(LSYS_REPAINTHOOK hook) { g_repaintHook = hook; }
void LSYS_SetUserMessageHook(LSYS_USERMESSAGEHOOK hook) { g_userHook = hook; }
LSYS_ACTIVATEHOOK LSYS_GetActivateHook() { return g_activateHook; }
void LSYS_SetPauseHook(LSYS_MODULEHOOK hook) { g_pauseHook = hook; }
void LSYS_SetResumeHook(LSYS_MODULEHOOK hook) { g_resumeHook = hook; }
LSYS_MODULEHOOK LSYS_GetPauseHook() { return g_pauseHook; }
LSYS_MODULEHOOK LSYS_GetResumeHook() { return g_resumeHook; }

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
