// The cars' brake lights on their textures.
#pragma once

// Every car's lamps are redrawn the first time the car is drawn (race start).
void SB_ResetBrakeLights();
