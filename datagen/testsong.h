// The console's test module, "mod>test.mod": a short loop in A minor.
#pragma once
#include "datagen/modwrite.h"

namespace datagen {

Module TestSong();

}  // namespace datagen
