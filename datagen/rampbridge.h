// A small test scene: a road under a bridge deck 6 m above it, and a ramp
// from the deck's end down to the ground, all road faces (letter C).
#pragma once
#include <string>

namespace datagen {

// Scene metres: the lower road runs along X (X -40..40, Y -4..4) at Z 0;
// the deck crosses over it along Y (X -4..4, Y -20..20) at Z 6; the ramp
// goes on from the deck (Y 20..60) down to Z 0.
constexpr double kBridgeDeck = 6.0;
constexpr double kRampFrom = 20.0, kRampTo = 60.0;

// The scene text (CRLF lines).
std::string RampBridgeScene();

}  // namespace datagen
