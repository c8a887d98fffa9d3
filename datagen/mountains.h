// The default circuit's background objects: three low-poly textured
// mountains written with the model writer under "OBC>BACKOBC", and the list
// "backobc.txt" that places them about 2 km around the circuit.
#pragma once
#include <string>
#include <vector>

namespace datagen {

struct BackObject {
  std::string name;     // MONT1..: NAME.OBC, NAME.ATM, NAME.MTL and NAME.TGA
  double x, y, z;       // metres, the vertical axis pointing down
  int radius, height;   // metres
};

std::vector<BackObject> BackObjects();
// The object's files in the folder; false when one cannot be written.
bool WriteBackObject(const std::string& folder, const BackObject& object);
// "backobc.txt": one "OBC>BACKOBC>NAME.OBC x y z" line each, CR LF ends.
std::string BackObcList();

}  // namespace datagen
