// Scenes of bad geometry for the map construction's limits: a pile of
// random small triangles inside one small cube, and one triangle repeated.
#pragma once
#include <cstdint>
#include <string>

namespace datagen {

// The scene text (CRLF lines): `faces` seeded triangles of up to 1 m, all
// inside the 12.8 m small cube at the scene's origin, material "ROUT1 C".
std::string FacePileScene(int32_t faces, uint32_t seed);
// The same 1 m triangle `faces` times.
std::string RepeatedFaceScene(int32_t faces);

}  // namespace datagen
