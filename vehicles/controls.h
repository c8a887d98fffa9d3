// The control-state block: what the player's controls say in one frame.
// Two are kept, this frame's and the previous one's, for press edges.
#pragma once
#include <cstdint>

#include "vehicles/types.h"

// Waits for a key or a button and takes joystick 1's position as its
// centre ("No joystick 1 found !!!" without one).
void SB_CenterJoystick();
