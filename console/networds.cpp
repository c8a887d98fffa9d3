// The race and network words' table and its small words: the controller's
// race control and records, the race mode, the text broadcast, the session
// information and the words that open and close the network.
#include "console/networds.h"

#include <cstring>

#include "console/commands.h"
#include "console/networdset.h"
#include "net/ctrl.h"
#include "net/netgame.h"
#include "race/hud.h"
#include "race/racerules.h"
#include "shell/console.h"
#include "shell/sbvar.h"
#include "shell/textnumber.h"
#include "system/sound.h"

namespace {

bool Given(const char* word) { return word[0] != 0; }

// The race controls act only where this machine's controller runs: on a
// joined machine or without a network they change nothing.
bool ControllerRuns() { return SB_Var.XState > XSTATE_NONET && SB_Var.IsController; }

int32_t EndOfRaceWord(const SB_NETWORDS&) {
  if (ControllerRuns()) return CTRL_EndOfRace();
  LS_Beep();
  return 0;
}
int32_t PracticeWord(const SB_NETWORDS&) { return ControllerRuns() ? CTRL_EnterPracticeMode() : 0; }
int32_t RestartRaceWord(const SB_NETWORDS&) { return ControllerRuns() ? CTRL_LaunchNewRace() : 0; }
int32_t LaunchRaceWord(const SB_NETWORDS&) { return ControllerRuns() ? CTRL_StartNewRaceNow() : 0; }

uint32_t Milliseconds(const char* word) {
  const int32_t ms = SB_TextToLong(word);
  return ms > 0 ? static_cast<uint32_t>(ms) : 0;
}

// Best lap, race time and name: all three or nothing.
int32_t FameWord(const SB_NETWORDS& w) {
  if (Given(w.Word[0]) && Given(w.Word[1]) && Given(w.Word[2]))
    CTRL_UpdateRecords(Milliseconds(w.Word[0]), Milliseconds(w.Word[1]), w.Word[2]);
  return 1;
}

int32_t HallOfFameWord(const SB_NETWORDS&) {
  if (SB_Var.XState <= XSTATE_NONET) return 0;
  CTRL_PrintRecords();
  return 1;
}

// DEMO selects its mode too, though the usage line leaves it out.
int32_t RaceModeWord(const SB_NETWORDS& w) {
  static constexpr struct {
    const char* Name;
    int32_t Mode;
  } kModes[] = {{"DEMO", 7}, {"TRAINING", 0}, {"OFFLINE", 5}, {"STANDALONE", 6}};
  if (!Given(w.Word[0])) return 0;
  for (const auto& m : kModes)
    if (std::strcmp(w.Word[0], m.Name) == 0) {
      SB_SetGameMode(m.Mode);
      return 1;
    }
  SB_ConsolePrintf("USAGE: RACEMODE TRAINING | OFFLINE | STANDALONE");
  return 0;
}

// The first word only is sent.
int32_t BroadcastWord(const SB_NETWORDS& w) {
  const char* refusal = !Given(w.Word[0])                     ? "USAGE: Broadcast <msg>"
                        : SB_Var.XState <= XSTATE_NONET       ? "No network."
                        : SB_Var.XState == XSTATE_NETINITED   ? "Not logged in."
                                                              : nullptr;
  if (refusal) {
    SB_ConsolePrintf("%s", refusal);
    return 0;
  }
  NET_Broadcast(w.Word[0]);
  return 1;
}

// The controller's tables, then the game information.
int32_t InfosWord(const SB_NETWORDS&) {
  CTRL_PrintInfo();
  return 1;
}

int32_t ListWord(const SB_NETWORDS&) { return 1; }
int32_t StartNetWord(const SB_NETWORDS&) { return NET_Open(); }
// Leaving the network forgets a session lost in the last race.
int32_t CloseNetWord(const SB_NETWORDS&) {
  SB_ClearLostSession();
  return NET_Close();
}
int32_t LeaveWord(const SB_NETWORDS&) {
  SB_ClearLostSession();
  return NET_LeaveServer();
}

// The command table's DELAY, reached here when a caller comes straight.
int32_t DelayWord(const SB_NETWORDS& w) {
  SB_COMMANDWORDS words{};
  std::strncpy(words.Keyword, "DELAY", sizeof words.Keyword - 1);
  std::strncpy(words.Args[0], w.Word[0], sizeof words.Args[0] - 1);
  return SB_DelayCommand(words);
}

struct NETWORD {
  const char* Keyword;
  int32_t (*Run)(const SB_NETWORDS& w);
};

constexpr NETWORD kWords[] = {
    {"ENDOFRACE", EndOfRaceWord},
    {"STARTPRACTICE", PracticeWord},
    {"RESTARTRACE", RestartRaceWord},
    {"LAUNCHRACE", LaunchRaceWord},
    {"FAME", FameWord},
    {"HALLOFFAME", HallOfFameWord},
    {"RACEMODE", RaceModeWord},
    {"BROADCAST", BroadcastWord},
    {"PLAY", SB_PlayWord},
    {"WATCH", SB_WatchWord},
    {"JOIN", SB_JoinWord},
    {"LEAVE", LeaveWord},
    {"CREATE", SB_CreateWord},
    {"SERVER", SB_ServerWord},
    {"SERVERSLIST", SB_ServersListWord},
    {"MYSERVERSLIST", SB_MyServersListWord},
    {"PLAYERSLIST", SB_PlayersListWord},
    {"PROTOCOLSLIST", SB_ProtocolsListWord},
    {"PROTOCOL", SB_ProtocolWord},
    {"INFOS", InfosWord},
    {"LIST", ListWord},
    {"STARTNET", StartNetWord},
    {"CLOSENET", CloseNetWord},
    {"DELAY", DelayWord},
};

}  // namespace

int32_t SB_NetConsoleCommand(const char* first, const char* second, const char* third, const char* fourth,
                             const char*, const char* keyword) {
  if (!keyword) return 0;
  const auto word = [](const char* w) { return w ? w : ""; };
  const SB_NETWORDS w{{word(first), word(second), word(third), word(fourth)}};
  for (const NETWORD& n : kWords)
    if (std::strcmp(keyword, n.Keyword) == 0) return n.Run(w);
  return 0;
}
