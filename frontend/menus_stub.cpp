// The network screens until the front-end work that builds them: their
// screen callbacks do nothing, and their items highlight and press as
// every button does but do nothing on release. Weak, so that the real ones
// replace them.
#include "frontend/menus.h"

__attribute__((weak)) void PlayerNameScreen() {}
__attribute__((weak)) void ProtocolScreen() {}
__attribute__((weak)) void ServersScreen() {}
__attribute__((weak)) void CreateServerScreen() {}

__attribute__((weak)) void PlayerNameEntry(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ProtocolLine(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ProtocolListForwardButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ProtocolListBackButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ProtocolOkButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ServerLine(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ServerListForwardButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ServerListBackButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void PlayerListForwardButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void PlayerListBackButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void JoinServerButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void ServerNameEntry(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void NbPlayersEntry(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }
__attribute__((weak)) void CreateServerOkButton(int32_t events, TMENUITEM* item) { ButtonReleased(events, item); }

