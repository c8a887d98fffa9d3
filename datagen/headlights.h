// The headlight beams' object "OBC/PHARE/PHARE.OBC", without a material
// library: the parts "phare" (a car's beam seen from outside) and "phare2"
// (the driven car's beam from the in-car camera, whose points the game
// moves 100,000 units back), each a closed convex wedge from the front of
// the car to a far end whose four points, listed first, the game moves
// 4,000,000 units forward onto the road ahead. Model axes: +x up, +y
// forward, +z left, 60000 units to the metre.
#pragma once
#include <string>

namespace datagen {

// Writes PHARE.OBC, PHARE.ATM and PHARE2.ATM into the folder.
bool WriteBeamObject(const std::string& folder);

}  // namespace datagen
