// The default circuit NETRACE as a 3D-Studio scene: two 300 m straights
// joined by half circles of 80 m centre-line radius around the scene
// origin, a 32 m road at height 0 between 1 m walls, its centre line and
// the map-information keys that put both start grids behind its point 0.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/pcxwrite.h"
#include "engine3d/types.h"

namespace datagen {

constexpr int32_t kNetraceSegments = 256;  // along the centre line: 3,072 faces

// The scene text (CRLF lines); segments along the centre line, 12 faces each.
std::string NetraceScene(int32_t segments = kNetraceSegments);
// The segments that give about the face count.
int32_t NetraceSegmentsFor(int32_t faces);
// The centre line in world metres, about 1 m apart, in driving order.
std::vector<std::array<double, 3>> NetraceCentreLine();
// count places along the centre line at a driver's height (1.25 m above
// it), each looking 20 m ahead: the views the renderers' tests and
// benchmarks draw the circuit from.
std::vector<TCAMERA> NetraceCameras(int32_t count);
// Scene point (X, Y, Z) to world metres (x, y, z).
std::array<double, 3> NetraceWorld(double x, double y, double z);
// "BSPLINENAME", three "FIRSTCAROFF"/"CARINITANGLEY" pairs and "SUN" lines.
std::string NetraceMapInfo();
// The centre-line file: an i32 count, then the points as f64 triples.
std::string NetraceCentreLineFile();
// The occlusion picture "pvs.pcx": 640 x 480, a small cube a cell of 4 x 4
// pixels (pixel x 314 + 4 cube x, y 242 - 4 cube z), the infield drawn as
// a blocking wall (colour 1) two cells clear of the road's inner edge.
Picture8 NetracePvsPicture();

}  // namespace datagen
