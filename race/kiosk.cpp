// Kiosk demo mode: the codes exchanged with the kiosk shell through the
// registered window message, the kiosk keys and the window's show state.
#include "race/kiosk.h"

#include "platform/window.h"
#include "race/raceloop.h"
#include "race/sequencer.h"
#include "shell/gameevent.h"
#include "shell/sbvar.h"
#include "system/input.h"
#include "system/win/shell.h"

namespace {

constexpr int32_t kControlKey = 17, kEscapeKey = 27, kF1Key = 112;

void RestoreIfMinimised() {
  if (SB_Var.KioskMinimised) SB_RestoreWindow();
}

}  // namespace

int32_t SB_KioskMessage(int32_t code) {
  if (!SB_Var.ZoriraDemo) return 0;
  switch (code) {
    case SB_KIOSK_ENDRACE:
      RestoreIfMinimised();
      SB_EndRace();
      return 1;
    case SB_KIOSK_ENDRACE2: SB_EndRace(); return 1;
    case SB_KIOSK_QUIT:
      RestoreIfMinimised();
      SB_QuitRace();
      SB_FreeInfoPage();
      return 1;
    default: return 0;  // among them the game's own codes, which reach it too
  }
}

void SB_PostKioskCode(int32_t code) { plat::BroadcastWindowMessage({LSYS_UserMessage, 0, code}); }

void SB_CheckKioskKeys() {
  if (SB_KeyDown(kEscapeKey)) {
    SB_PostKioskCode(SB_KIOSK_ESCAPE);
    SB_MinimizeWindow();
  }
  if (SB_KeyDown(kF1Key) && SB_KeyHeld(kControlKey)) SB_QuitRace();
  if (SB_Var.ZoriraTimeOut >= 0 && LS_GetChrono() > static_cast<uint32_t>(SB_Var.ZoriraTimeOut)) {
    SB_PostKioskCode(SB_KIOSK_TIMEOUT);
    SB_MinimizeWindow();
  }
}

void SB_MinimizeWindow() {
  plat::ShowWindowState(plat::kShowMinimized);
  SB_Var.KioskMinimised = 1;
}

void SB_RestoreWindow() {
  plat::ShowWindowState(plat::kShowMaximized);
  SB_Var.KioskMinimised = 0;
}
