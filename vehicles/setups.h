// Vehicle setups, car definitions and the cars made from them, as the
// console and the settings use them.
#pragma once
#include <cstdint>

struct TVEHICLESETUP;

// Selects the local player's car setup n.
void SB_SetSelectedSetup(int32_t n);
// Writes the local vehicle setups ("Vehicle binary file V1.06").
int32_t SB_SaveVehicleSetups(const char* name);
// Makes the vehicle record of every car from the setups (with their
// textures when the flag is set); SB_FreeCars frees them.
int32_t SB_LoadCars(TVEHICLESETUP* setups, int32_t flag);
void SB_FreeCars();

// Car definitions: built from the setups and written as a text file, or
// read from one and copied into the setups; then freed.
void SB_BuildTCARDEFINITIONs(TVEHICLESETUP* setups);
int32_t SB_WriteTCARDEFINITION(const char* name);
int32_t SB_ReadTCARDEFINITION(const char* name);
void SB_ApplyTCARDEFINITIONs(TVEHICLESETUP* setups);
void SB_FreeTCARDEFINITIONs();
