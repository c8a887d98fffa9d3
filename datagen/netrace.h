// The default circuit NETRACE as a 3D-Studio scene: two 300 m straights
// joined by half circles of 80 m centre-line radius around the scene
// origin, a 32 m road at height 0 between 1 m walls, its centre line and
// the map-information keys that put both start grids behind its point 0.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

constexpr int32_t kNetraceSegments = 256;  // along the centre line: 3,072 faces

// The scene text (CRLF lines); segments along the centre line, 12 faces each.
std::string NetraceScene(int32_t segments = kNetraceSegments);
// The segments that give about the face count.
int32_t NetraceSegmentsFor(int32_t faces);
// The centre line in world metres, about 1 m apart, in driving order.
std::vector<std::array<double, 3>> NetraceCentreLine();
// Scene point (X, Y, Z) to world metres (x, y, z).
std::array<double, 3> NetraceWorld(double x, double y, double z);
// "BSPLINENAME", three "FIRSTCAROFF"/"CARINITANGLEY" pairs and "SUN" lines.
std::string NetraceMapInfo();
// The centre-line file: an i32 count, then the points as f64 triples.
std::string NetraceCentreLineFile();

}  // namespace datagen
