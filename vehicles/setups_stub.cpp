// The vehicle setups come with later work; until then selecting a setup
// only records the choice, and there are no setups or definitions to write
// or read. Weak, so that tests can put recording fakes in their
// place.
#include "vehicles/setups.h"

#include "shell/sbvar.h"

__attribute__((weak)) void SB_SetSelectedSetup(int32_t n) { SB_Var.SelectedSetup = n; }
__attribute__((weak)) int32_t SB_SaveVehicleSetups(const char*) { return 0; }
__attribute__((weak)) void SB_BuildTCARDEFINITIONs(TVEHICLESETUP*) {}
__attribute__((weak)) int32_t SB_WriteTCARDEFINITION(const char*) { return 0; }
__attribute__((weak)) int32_t SB_ReadTCARDEFINITION(const char*) { return 0; }
__attribute__((weak)) void SB_ApplyTCARDEFINITIONs(TVEHICLESETUP*) {}
__attribute__((weak)) void SB_FreeTCARDEFINITIONs() {}
