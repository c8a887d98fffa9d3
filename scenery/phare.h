// The accelerator's headlight beams: a cone-shaped object placed on each
// of the six nearest cars at night, projected and handed to the card as a
// light volume that brightens what lies inside it.
#pragma once
#include <cstdint>

#include "platform/accel/types.h"

struct OBJECT;

constexpr int32_t SB_NBPHAREVOLUMES = 6;
constexpr int32_t SB_PHAREMAXPOINTS = 100;
constexpr int32_t SB_PHAREMAXFACES = 58;

// One car's beam for the frame: three projected points per face, in face
// order; whether it holds a complete beam; the beam part used.
struct TPHAREVOLUME {
  TSGLVERTEX Vertices[3 * SB_PHAREMAXFACES + 1];
  int32_t InUse;
  OBJECT* Object;
};
const TPHAREVOLUME& SB_PhareVolume(int32_t entry);
// The beam parts: seen from outside ("phare") and from the driven car
// ("phare2"); null when missing or refused.
OBJECT* SB_PharePart(int32_t inCar);

// A view-space point projected into the card's vertex; 0 when it lies
// less than 1 deep (no screen point).
int32_t POWER_ProjectPharePoint(const double* p, TSGLVERTEX* out);
