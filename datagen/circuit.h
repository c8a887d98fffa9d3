// The default circuit of the data tree: a flat square in both map forms
// and a round centre line on it.
#pragma once
#include <string>

namespace datagen {

// Writes "NETRACE.DEC" (through the game's own map writer) and the centre
// line "NETRACE.BSP" into the folder; false when either cannot be written.
bool WriteSquareCircuit(const std::string& folder);

}  // namespace datagen
