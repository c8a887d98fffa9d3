// The perspective fillers' projection constants and the map renderer's
// state bytes, which the view set-up writes.
#include "softrender/softrender.h"

float E3D_NegFocal, E3D_NegCenterX, E3D_NegCenterY;
uint8_t E3D_SoftMapState[3];

void E3D_SetPerspFocal(float negFocal) { E3D_NegFocal = negFocal; }

void E3D_SetPerspCentre(float negCenterX, float negCenterY) {
  E3D_NegCenterX = negCenterX;
  E3D_NegCenterY = negCenterY;
}
