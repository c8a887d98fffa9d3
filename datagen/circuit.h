// The default circuit's binary map: the NETRACE scene of the data tree
// built by the game's own map construction, headless, in the software
// renderer's mode (so that both modes read the file), and saved by the
// game's map writer.
#pragma once
#include <string>

namespace datagen {

// Builds "ASC>NETRACE.ASC" of the tree at root into "DEC>NETRACE.DEC";
// false when the build or the write failed.
bool BuildNetraceMap(const std::string& root);

}  // namespace datagen
