// The CD's music: a short generated tune.
#pragma once
#include "datagen/wavwrite.h"

namespace datagen {

// A few seconds of melody over a bass line, 22050 Hz 16-bit stereo.
Wave MakeTune();

}  // namespace datagen
