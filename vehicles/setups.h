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
int32_t SB_ApplyTCARDEFINITIONs(TVEHICLESETUP* setups);  // 0 when none are loaded
void SB_FreeTCARDEFINITIONs();

// The setup record as stored in "dat>nrcar.cfg" and sent in network
// message 9: 424 little-endian bytes, written and read field by field.
constexpr int32_t SB_SETUPRECORDSIZE = 424;
constexpr int32_t SB_NBLOCALSETUPS = 9;       // the local setups the file holds
constexpr int32_t SB_NBSELECTABLESETUPS = 8;  // offered by the car chooser
void SB_PackVehicleSetup(const TVEHICLESETUP& setup, uint8_t* record);
void SB_UnpackVehicleSetup(const uint8_t* record, TVEHICLESETUP* setup);
// Makes a setup read from a file or a peer safe to paint: at most 12
// stickers, every text ends within its field, finite deltas in range.
void SB_SanitizeVehicleSetup(TVEHICLESETUP* setup);
int32_t SB_LoadVehicleSetups(const char* name);
int32_t SB_GetSelectedSetup();
