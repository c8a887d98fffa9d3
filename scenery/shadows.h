// The accelerator's car shadows: each car part's low-polygon mesh placed
// on the car, its polygons classified by the sun, and its silhouette and
// lit polygons handed to the card as a shadow volume.
#pragma once
#include <cstdint>

#include "engine3d/types.h"

struct OBJECT;
struct TPLG;

// An object part's place in the camera's view: M = K x R and T =
// K x (P - Q) with K the camera's matrix, R and P the part's orientation
// and position, Q the camera's position (object units), as f32.
struct TPARTFRAME {
  float M[9];
  float T[3];
};
TPARTFRAME SB_PartViewFrame(const OBJECT* part, const TCAMERA* camera);

// An edge of a mesh: its two vertices in the direction its first polygon
// walks it, that polygon, the one walking it back (-1 none yet), a word.
struct TSHADOWEDGE {
  int32_t A, B;
  int32_t First, Second;
  int32_t Flag;
};

// A shadow mesh: hull or body, roof, wheel.
struct TSHADOWSLOT {
  TPLG* Mesh;
  TSHADOWEDGE Edges[SB_SHADOWMAXEDGES];
  int32_t NbEdges;
  int32_t NbVertices;  // brought into view space by the last build
};
constexpr int32_t SB_NBSHADOWSLOTS = 3;
const TSHADOWSLOT& SB_ShadowSlot(int32_t slot);

// The screen box of the volume's lit polygons and their points 1500 units
// farther from the light, held to the 3D view.
void POWER_ShadowBoundingBox(const TSHADOWSLOT& slot, TSHADOWVOLUME& volume);
// Widens the box by a projected point.
void POWER_ShadowGrowBox(const TSGLVERTEX& point, TSHADOWVOLUME& volume);
// A view-space point (depth 1 or more) projected into the card's vertex,
// its colour and texture coordinates cleared.
void POWER_ShadowProjectPoint(const double* p, TSGLVERTEX* out);
