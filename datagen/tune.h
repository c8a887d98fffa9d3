// The CD's music and the menus' theme: a short generated tune.
#pragma once
#include "datagen/wavwrite.h"

namespace datagen {

// A few seconds of melody over a bass line, 22050 Hz 16-bit stereo.
Wave MakeTune();
// The tune's first bars (1 s each), ending on a bar so that it loops,
// 22050 Hz 16-bit, mono or stereo.
Wave MakeTheme(int bars, uint16_t channels);

}  // namespace datagen
