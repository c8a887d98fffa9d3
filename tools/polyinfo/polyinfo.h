// The polygon inspector of the accelerated renderer: the polygon of a
// frame under a screen point, and the loop that outlines and describes it.
#pragma once
#include <cstdint>

struct TSGLPOLY;
struct TSOFTSCENE;

// The polygon of the scene containing (x, y) (relative to the 3D window)
// with the smallest depth key, of equal keys the later one; keys above
// 1000000 and polygons without vertices never win. Null when none.
TSGLPOLY* SB_PickPolygon(TSOFTSCENE* scene, double x, double y);
// The description's first line for the polygon (render kind, count,
// texture slot and name, light, card texture, place, flags, variant);
// indices outside their tables read as 0.
void SB_PolygonTitle(const TSGLPOLY* poly, char* text, int32_t size);
// A screen coordinate as a pixel: false for one that is not finite, a
// finite one saturated to the 16-bit range.
bool SB_ScreenPixel(float v, int32_t* pixel);
