// The front end's entry points before the front end exists: each does
// nothing and answers 0, and counts its calls so that tests can see them.
#include <map>
#include <string>

#include "frontend/cdmusic.h"
#include "frontend/consolemod.h"
#include "frontend/fli.h"
#include "frontend/frontend_stub.h"
#include "frontend/interface.h"

namespace {
std::map<std::string, int32_t>& Calls() {
  static std::map<std::string, int32_t> calls;
  return calls;
}
int32_t Called(const char* name) {
  ++Calls()[name];
  return 0;
}
}  // namespace

int32_t SB_FrontendStubCalls(const char* name) {
  const auto found = Calls().find(name ? name : "");
  return found == Calls().end() ? 0 : found->second;
}
void SB_ResetFrontendStubCalls() { Calls().clear(); }

int32_t SB_ConsolePlayMod() { return Called("SB_ConsolePlayMod"); }
int32_t SB_ConsoleStopMod() { return Called("SB_ConsoleStopMod"); }
int32_t SB_ConsoleCloseMod() { return Called("SB_ConsoleCloseMod"); }

int32_t SB_PlayFli(const char*, const char*, int32_t, int32_t) { return Called("SB_PlayFli"); }
int32_t SB_PreloadFli(const char*, const char*) { return Called("SB_PreloadFli"); }
int32_t SB_DiscardFli() { return Called("SB_DiscardFli"); }

int32_t SB_StartCdMusic() { return Called("SB_StartCdMusic"); }
int32_t SB_StopCdMusic() { return Called("SB_StopCdMusic"); }

int32_t SB_RunInterface() { return Called("SB_RunInterface"); }
int32_t SB_RunComdexInterface() { return Called("SB_RunComdexInterface"); }
int32_t SB_CalcVitre() { return Called("SB_CalcVitre"); }
int32_t SB_LoadOptionPicts() { return Called("SB_LoadOptionPicts"); }
int32_t SB_FreeOptionPicts() { return Called("SB_FreeOptionPicts"); }
int32_t SB_DisplayGameOptions(BMAP*, int32_t, int32_t) { return Called("SB_DisplayGameOptions"); }
int32_t SB_UpdateOptionsFade() { return Called("SB_UpdateOptionsFade"); }
int32_t SB_StartIntroCycle() { return Called("SB_StartIntroCycle"); }
int32_t POWER_LoadHudTextures() { return Called("POWER_LoadHudTextures"); }
int32_t POWER_FreeHudTextures() { return Called("POWER_FreeHudTextures"); }
