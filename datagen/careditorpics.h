// The car paint editor's pictures and the polygon inspector's cursor,
// under "INTERFAC/": title, pointer, arrows, quit and dither buttons,
// slider track and knobs. Black is transparent where they are drawn so.
#pragma once
#include <string>
#include <vector>

#include "datagen/tgawrite.h"

namespace datagen {

struct CarEditorPicture {
  std::string path;  // relative to the data tree
  Picture24 picture;
};

// The 14 pictures of the paint editor, then "INTERFAC/CURSOR.TGA".
std::vector<CarEditorPicture> CarEditorPictures();

}  // namespace datagen
