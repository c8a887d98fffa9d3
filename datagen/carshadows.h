// The car shadows' meshes, closed and convex, fitted to the stock car in
// its model axes (+x the roof, +y the front, +z the left side, 60000 units
// to the metre): "PLG/CARENV.PLG" the whole hull, "PLG/CAISSE.PLG" the
// body below the windows, "PLG/TOIT.PLG" the cabin, "PLG/ROUE.PLG" a wheel
// about its axle.
#pragma once
#include <string>
#include <vector>

#include "datagen/plgwrite.h"

namespace datagen {

struct NamedPlg {
  std::string path;  // below the data root, '/' between folders
  PlgMesh mesh;
};
std::vector<NamedPlg> ShadowMeshes();

}  // namespace datagen
