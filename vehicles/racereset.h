// What the race start and restart share.
#pragma once
#include <cstdint>

struct TCAR;

// Every car of the table, in index order.
void SB_ForEachCar(void (*visit)(TCAR* car, int32_t index));
// The grid counter back to 0, then every car at its place.
void SB_PlaceCarsOnGrid();
