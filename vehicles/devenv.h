// What the console's start-up and tear-down use of the vehicles: the
// replay headers and slots, the vehicle prototypes, the local vehicle
// setups and the vehicle-parameter table.
#pragma once
#include <cstdint>

// The local car's replay header, made at start-up and freed at the end.
void SB_AllocLocalReplay();
void SB_FreeLocalReplay();
// Empties every car's replay slot without freeing what it held.
void SB_ClearCarReplaySlots();
// Frees the per-car recording headers.
void SB_FreeCarsReplays();
// The vehicle prototype set; a null name loads the default one.
void SB_LoadVehiclePrototypes(const char* name);
void SB_FreeVehiclePrototypes();
// Every local vehicle setup back to its defaults.
void SB_InitVehicleSetups();
// Reads the vehicle setups file; 1 when loaded, 0 otherwise.
int32_t SB_LoadVehicleSetups(const char* name);
// Prepares the vehicle-parameter table and resets its editor state.
void SB_InitVParams();
