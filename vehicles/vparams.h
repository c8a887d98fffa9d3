// The vehicle parameters: the table that describes the parameter block,
// the text file "dat>vparams.txt" that is read into every car and written
// from them, the values the shipped file holds, and the cars' physics
// set-up that turns the block into live values and back.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

// The 42 rows, in table order.
extern const TVPARAMDESC* const SB_VParamTable;
// The values of the shipped "dat>vparams.txt", as a block. The live values
// the set-up leaves unset come from it when a car is made.
extern const TVPARAMBLOCK SB_ShippedVParams;

constexpr const char* SB_VPARAMSFILE = "dat>vparams.txt";

// A row's value in a block; and a value stored into a block by the row's
// type, held within the row's range (an int32 row truncates, or rounds when
// asked): 0, and nothing changed, when the value is no finite number.
double SB_GetVParamValue(const TVPARAMDESC& row, const TVPARAMBLOCK& block);
int32_t SB_SetVParamValue(const TVPARAMDESC& row, double value, int32_t round, TVPARAMBLOCK* block);

// Reads the file into every car of the table, each then applied to its
// live values; a missing file changes nothing. Lines of a key not in the
// table, without "=", or whose value is not a finite number are skipped;
// a value beyond its row's range is held at the range's end.
void SB_ReadVParams();
// Writes the file from every car; when it cannot be created or written,
// a console line says so and nothing else happens.
void SB_WriteVParams();
// The text of one key line into a block (used by the reader); 1 when stored.
int32_t SB_ParseVParamLine(const char* line, int32_t length, TVPARAMBLOCK* block);

// Block to live values, and back (division by Power, unless it is 0 or less).
void SB_ApplyVParams(TCAR* car);
void SB_StoreVParams(TCAR* car);
// The live values the set-up leaves unset, from the shipped values.
void SB_FillUnsetVParams(TCAR* car);

// One car's physics state at race start (first 1) or restart (first 0).
void SB_InitCarPhysics(TCAR* car, int32_t index, int32_t first);
// The car at its place on the start grid of the game mode.
void SB_PlaceCarOnGrid(TCAR* car, int32_t index);
