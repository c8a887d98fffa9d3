// The cars' brake lights on their textures.
#pragma once
#include <cstdint>

struct MLIB;
struct TCAR;

// Every car's lamps are redrawn the first time the car is drawn (race start).
void SB_ResetBrakeLights();

// The car of a valid index whose lamps and windows may be drawn: in game,
// of a known prototype set, with a display object; null otherwise.
TCAR* SB_WindShieldCar(int32_t index);
// The material library of the car's display object, or null.
MLIB* SB_CarLibrary(const TCAR* car);
