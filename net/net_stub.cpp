// Connected when a session is open and the controller accepted this
// player. Until the network's console words exist no list is fetched, and
// of the race and network words only PLAY,
// WATCH, RACEMODE and CLOSENET are known: PLAY races on this machine,
// WATCH has no network race to watch, RACEMODE sets the kind of race,
// CLOSENET has nothing to close. Weak, so that
// tests can put recording fakes in their place.
#include <cstring>

#include "engine3d/videotable.h"
#include "net/net.h"
#include "net/netplayer.h"
#include "shell/console.h"
#include "shell/hooks.h"
#include "shell/sbvar.h"

namespace {

// 1 when the selected video mode is of a kind the requested renderer
// draws; else says so.
bool ModeSupported() {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t r = SB_Var.RequestedRenderer;
  const bool known = r >= 0 && r < SB_NBRENDERERS;
  if (known && (mode->Kind & SB_Var.Renderers[r].Modes)) return true;
  SB_ConsolePrintf("Videomode (%ldbits) not supported by [%s]!!!", static_cast<long>(mode->Depth),
                   known ? SB_Var.Renderers[r].Name : "?");
  return false;
}

int32_t PlayOrWatch(bool watch) {
  if (!ModeSupported()) return 0;
  // Without a network its message is the whole answer: the word was
  // understood, so no syntax error follows it.
  if (watch) {
    SB_ConsolePrintf("Watch failed : no network !");
    return 1;
  }
  SB_Var.Renderer = SB_Var.RequestedRenderer;
  if (SB_Hooks.PlayRace) SB_Hooks.PlayRace();
  SB_Var.Renderer = 0;
  return 1;
}

// DEMO, TRAINING, OFFLINE or STANDALONE; without a word the word is not
// known.
int32_t RaceMode(const char* word) {
  static constexpr struct {
    const char* Name;
    int32_t Mode;
  } kModes[] = {{"DEMO", 7}, {"TRAINING", 0}, {"OFFLINE", 5}, {"STANDALONE", 6}};
  if (!word || !word[0]) return 0;
  for (const auto& m : kModes)
    if (std::strcmp(word, m.Name) == 0) {
      if (SB_Hooks.SetGameMode) SB_Hooks.SetGameMode(m.Mode);
      return 1;
    }
  SB_ConsolePrintf("USAGE: RACEMODE TRAINING | OFFLINE | STANDALONE");
  return 0;
}

}  // namespace

int32_t NET_IsConnected() { return SB_Var.XState != XSTATE_NONET && SB_Var.NetConnected ? 1 : 0; }

__attribute__((weak)) int32_t SB_NetConsoleCommand(const char* word1, const char*, const char*, const char*,
                                                   const char*, const char* keyword) {
  if (!keyword) return 0;
  if (std::strcmp(keyword, "RACEMODE") == 0) return RaceMode(word1);
  if (std::strcmp(keyword, "PLAY") == 0 || std::strcmp(keyword, "WATCH") == 0)
    return PlayOrWatch(keyword[0] == 'W');
  return std::strcmp(keyword, "CLOSENET") == 0 ? 1 : 0;
}

__attribute__((weak)) void NET_FreeConsoleList() {}
