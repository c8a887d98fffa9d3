// The project's car models: the default prototype set (a full stock car,
// its simplified, burned and two reduced variants) and a second set, each
// an object list of a body "caisse" and four wheels over atoms, a material
// library and its pictures, laid out for body paint, brake lamps and window
// glass. Model axes: +x the roof, +y the front, +z the left side, 60000
// units to the metre.
#pragma once
#include <string>
#include <vector>

#include "datagen/modelwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

struct CarPicture {
  std::string name;  // file name beside the object file
  Picture24 picture;
};

struct CarModel {
  std::string path;  // the object file below the data root, '/' between folders
  Model model;
  std::vector<ModelAtom> atoms;  // in the order of the model's atom names
  MaterialLibrary library;
  std::vector<CarPicture> pictures;  // the library's textures, in its order
};

// The six models: "OBC/STOCKCAR/STOCKCAR.OBC", "OBC/SIMPLCAR/SIMLPKAR.OBC",
// "OBC/NETPOWER/BURNCAR/NETCAR1.OBC", "OBC/SIMPCAR2/SIMPCAR2.OBC",
// "OBC/SIMPCAR3/SIMPCAR3.OBC" and "OBC/NETPOWER/NETCAR1.OBC".
std::vector<CarModel> CarModels();
// Takes the named part out of the object list, which stays one chain.
void RemoveCarPart(CarModel& car, const std::string& part);
// Writes the object file, its atoms, its library and its pictures below root.
bool WriteCarModel(const std::string& root, const CarModel& car);

}  // namespace datagen
