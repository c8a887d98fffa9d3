// The three timed HUD message slots and the notices of network players,
// and the HUD's state with its reset.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/net.h"
#include "net/netplayer.h"
#include "race/dial.h"
#include "race/hud_internal.h"
#include "race/racerules.h"
#include "shell/sbvar.h"

THUDMESSAGE SB_HudMessages[SB_NBHUDMESSAGES];
THUDSTATE SB_Hud;

namespace {

THUDMESSAGE* NewMessage(int32_t blink) {
  THUDMESSAGE* m = SB_GetHudMessageSlot();
  m->Expiry = static_cast<int32_t>(std::min<int64_t>(int64_t{SB_Var.Time} + SB_HUDMESSAGETIME, INT32_MAX));
  m->Blink = blink;
  return m;
}

bool IsLocalPlayer(const CTRL_PLAYER* player) {
  const int32_t local = SB_Var.DrivenCar;
  return local >= 0 && local < NET_MAXPLAYERS && SB_Var.NetPlayers[local].Id == player->Id;
}

}  // namespace

void SB_ResetHud() {
  std::memset(&SB_Hud, 0, sizeof SB_Hud);
  std::memset(SB_HudMessages, 0, sizeof SB_HudMessages);
  SB_ResetHudFonts();
  SB_ResetDial();
}

void SB_ClearHudMessages() {
  for (THUDMESSAGE& m : SB_HudMessages) m.Expiry = m.Blink = 0;
}

THUDMESSAGE* SB_GetHudMessageSlot() {
  for (THUDMESSAGE& m : SB_HudMessages)
    if (!m.Expiry) return &m;
  std::memmove(&SB_HudMessages[0], &SB_HudMessages[1], sizeof(THUDMESSAGE) * (SB_NBHUDMESSAGES - 1));
  return &SB_HudMessages[SB_NBHUDMESSAGES - 1];
}

void SB_HudMessage(const char* format, ...) {
  if (SB_Var.GameMode == SB_CONTROLLEDRACE || !format) return;
  // The markup and the text share the slot's 255 characters.
  char text[SB_HUDMESSAGESIZE - 2];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  THUDMESSAGE* m = NewMessage(0);
  std::snprintf(m->Text, sizeof m->Text, "*1%s", text);
}

void SB_NetPlayerMessage(const CTRL_PLAYER* player, const char* name) {
  if (!player || !NET_IsConnected() || IsLocalPlayer(player)) return;
  if (SB_Var.GameMode != SB_FREERACE && SB_Var.GameMode != SB_RACE) return;
  if (!name) name = "Unknown";
  THUDMESSAGE* m = NewMessage(1);
  if (!player->InUse)
    std::snprintf(m->Text, sizeof m->Text, "*1Player %s is history...", name);
  else if (player->XState == XSTATE_CONNECTED)
    std::snprintf(m->Text, sizeof m->Text, "*1Player %s has left the game...", name);
  else if (player->XState == XSTATE_WAIT4READY)
    std::snprintf(m->Text, sizeof m->Text, "*1Player %s has arrived...", name);
  else
    m->Expiry = m->Blink = 0;
}
