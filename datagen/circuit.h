// The default circuit of the data tree: a flat square in both map forms
// and a round centre line on it.
#pragma once
#include <string>

namespace datagen {

// The road's texture name: its picture is "ROAD    .PCX" of the texture
// path (the first 8 characters), and its letter C makes it ground.
constexpr const char* kCircuitRoadTexture = "ROAD    C";

// Writes "NETRACE.DEC" (through the game's own map writer) and the centre
// line "NETRACE.BSP" into the folder; false when either cannot be written.
bool WriteSquareCircuit(const std::string& folder);

}  // namespace datagen
