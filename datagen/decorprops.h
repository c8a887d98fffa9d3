// The animated props of the default data tree, as object lists over atoms
// with a material library and its pictures (the car models' record): a
// windmill whose blades are the part "PALES", a hot-air balloon, a marshal
// car and a flag; and the balloon's path, a TABLE of points circling above
// the default circuit's infield. Model axes as the cars': +x up, +y and +z
// level, 60000 units to the metre; a prop's nose, where it has one, is
// along -z, the direction a heading along the motion turns forward.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "datagen/carmodels.h"

namespace datagen {

// "OBC/DECOR/MOULIN.OBC" (parts "MOULIN" and "PALES"), "OBC/DECOR/BALLON.OBC",
// "OBC/DECOR/MARSHAL.OBC" and "OBC/DECOR/DRAPEAU.OBC" (parts "MAT" and
// "DRAPEAU"): each part's origin is where its block places it (the
// blades' hub, the foot of the pole, the flag's edge at the pole; the
// flag flies along the level axis across its nose).
std::vector<CarModel> DecorProps();

// The balloon's path in world metres (y down): an ellipse of about 500
// points around the infield's centre, 25 m above the road's level.
std::vector<std::array<double, 3>> BalloonPath();
// Points as TABLE records: three little-endian doubles each, no header.
std::string TableBytes(const std::vector<std::array<double, 3>>& points);

}  // namespace datagen
