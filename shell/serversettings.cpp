// The created server's settings: its name and player count, written the
// one way for the whole settings' save and for CREATE YOUR SERVER.
#include <cstdio>
#include <cstring>

#include "shell/sbvar.h"
#include "shell/settings.h"
#include "system/util.h"

// Here rather than with the rest of the settings, so that the server's
// writer stands alone.
const char* const SB_SETTINGSKEY = "Zentrova Race";

void SB_WriteServerValues(const char* serverName, int32_t nbPlayers) {
  char server[SB_MENUNAMESIZE];
  std::snprintf(server, sizeof server, "%s", serverName ? serverName : "");
  LS_RegSetValue("ServerName", server, static_cast<uint32_t>(std::strlen(server) + 1), LS_REG_STRING);
  const uint32_t v = static_cast<uint32_t>(nbPlayers);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 24)};
  LS_RegSetValue("NbPlayers", bytes, sizeof bytes, LS_REG_NUMBER);
}

void SB_SaveServerSettings() {
  LS_RegOpen(SB_SETTINGSKEY);
  SB_WriteServerValues(SB_Var.MenuServerName, SB_Var.MenuNbPlayers);
  LS_RegClose();
}
