// The words that set up a network game: choosing the provider, creating a
// game or a dedicated server, joining one, and the provider, session and
// player lists, which stay in net/ for the network menus until the next.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "console/networdset.h"
#include "net/ctrl.h"
#include "net/net.h"
#include "net/netgame.h"
#include "netlink/netenum.h"
#include "race/racerules.h"
#include "shell/console.h"
#include "shell/owner.h"
#include "shell/textnumber.h"
#include "vehicles/types.h"

namespace {

constexpr int32_t kDefaultPlayers = 8;
constexpr int32_t kServersWaitMs = 2000;
constexpr int32_t kLongestWaitMs = 60000;

bool Given(const char* word) { return word[0] != 0; }

// FREERACE, RACE, MULTIRACE or CONTROLLEDRACE; -1 for another word.
int32_t GameType(const char* word) {
  static constexpr struct {
    const char* Name;
    int32_t Type;
  } kTypes[] = {{"FREERACE", CTRL_FREERACE},
                {"RACE", CTRL_RACE},
                {"MULTIRACE", CTRL_MULTIRACE},
                {"CONTROLLEDRACE", CTRL_CONTROLLEDRACE}};
  for (const auto& t : kTypes)
    if (std::strcmp(word, t.Name) == 0) return t.Type;
  return -1;
}

// The game holds at most one player per car.
int32_t MaxPlayers(const char* word) { return std::clamp(SB_TextToLong(word), 1, SB_MAXCARS); }

// Sets the mode of the game type and creates the game; player null makes
// a dedicated server.
int32_t Create(const char* server, const char* player, const char* type, int32_t maxPlayers) {
  const int32_t t = GameType(type);
  if (t < 0) {
    SB_ConsolePrintf("Unrecognized race type !");
    return 0;
  }
  SB_SetGameMode(t);
  return NET_CreateServer(server, player, t, maxPlayers);
}

// Negative counts as 0, the transport's default; longer waits are cut.
uint32_t TimeOut(const char* word, int32_t byDefault) {
  return static_cast<uint32_t>(Given(word) ? std::clamp(SB_TextToLong(word), 0, kLongestWaitMs) : byDefault);
}

// Keeps the list for the menus and prints it, or the empty line.
void Show(NET_ENUMENTRY* list, int32_t count, const char* line, const char* none) {
  NET_SetConsoleList(list, count);
  if (!list || count <= 0) SB_ConsolePrintf("%s", none);
  for (int32_t i = 0; list && i < count; ++i) SB_ConsolePrintf(line, list[i].Name, static_cast<long>(list[i].Id));
}

// The list fetch gives, after the last one is freed, kept and printed.
int32_t Fetch(NET_ENUMENTRY* (*fetch)(int32_t* count), const char* line, const char* none) {
  NET_FreeConsoleList();
  int32_t count = 0;
  NET_ENUMENTRY* list = fetch(&count);
  Show(list, count, line, none);
  return 1;
}

// The provider a word names: a word beginning with a digit by number,
// another by exact name; -1 when none.
int32_t FindProtocol(const char* word) {
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetProtocols(&count);
  const bool byNumber = std::isdigit(static_cast<unsigned char>(word[0])) != 0;
  const long long number = byNumber ? std::strtoll(word, nullptr, 10) : -1;
  int32_t found = -1;
  for (int32_t i = 0; list && i < count && found < 0; ++i)
    if (byNumber ? list[i].Id == number : std::strcmp(list[i].Name, word) == 0)
      found = static_cast<int32_t>(list[i].Id);
  if (list) SB_Release(list);
  return found;
}

}  // namespace

int32_t SB_CreateWord(const SB_NETWORDS& w) {
  if (!Given(w.Word[0]) || !Given(w.Word[1]) || !Given(w.Word[2])) {
    SB_ConsolePrintf("Usage: CREATE ServerName PlayerName GameType [max-number-of-players]");
    return 0;
  }
  const int32_t maxPlayers = Given(w.Word[3]) ? MaxPlayers(w.Word[3]) : kDefaultPlayers;
  return Create(w.Word[0], w.Word[1], w.Word[2], maxPlayers);
}

int32_t SB_ServerWord(const SB_NETWORDS& w) {
  if (!Given(w.Word[0]) || !Given(w.Word[1]) || !Given(w.Word[2])) {
    SB_ConsolePrintf("Usage: SERVER ServerName GameType [max-number-of-players]");
    return 0;
  }
  return Create(w.Word[0], nullptr, w.Word[1], MaxPlayers(w.Word[2]));
}

int32_t SB_JoinWord(const SB_NETWORDS& w) {
  if (!Given(w.Word[0]) || !Given(w.Word[1])) {
    SB_ConsolePrintf("Usage: JOIN playerName serverName");
    return 0;
  }
  return NET_JoinServer(w.Word[0], w.Word[1]);
}

int32_t SB_ProtocolWord(const SB_NETWORDS& w) {
  if (!Given(w.Word[0])) {
    SB_ConsolePrintf("Usage: PROTOCOL id");
    return 0;
  }
  const int32_t provider = FindProtocol(w.Word[0]);
  if (provider < 0) {
    SB_ConsolePrintf("Bad protocol...");
    return 0;
  }
  return NET_SetProtocol(provider);
}

int32_t SB_ServersListWord(const SB_NETWORDS& w) {
  NET_FreeConsoleList();
  int32_t count = 0;
  NET_ENUMENTRY* list = NET_GetSessions(&count, TimeOut(w.Word[0], kServersWaitMs));
  Show(list, count, "Server: '%s' : ID:%ld", "No servers...");
  return 1;
}

int32_t SB_MyServersListWord(const SB_NETWORDS& w) {
  NET_FreeConsoleList();
  int32_t count = 0, cancelled = 0;
  NET_ENUMENTRY* list = NET_GetSessionsChecked(&count, TimeOut(w.Word[0], 0), &cancelled);
  if (cancelled) {
    NET_SetConsoleList(list, count);
    SB_ConsolePrintf("User cancel");
    return 0;
  }
  Show(list, count, "Server: '%s' : ID:%ld", "No servers...");
  return 1;
}

int32_t SB_PlayersListWord(const SB_NETWORDS&) { return Fetch(NET_GetPlayers, "Player: '%s' : ID:%ld", "No players"); }

int32_t SB_ProtocolsListWord(const SB_NETWORDS&) {
  return Fetch(NET_GetProtocols, "Protocol: '%s' : ID:%ld", "No protocols");
}
