// The pointer as the editors read it each frame.
#pragma once

#include <cstdint>

// The pointer and buttons, the pointer limited to (maxX, maxY). It is put
// back on the display only when it was limited: put back every frame, it
// would undo a move the user made since it was read.
void SB_ReadLimitedMouse(int32_t maxX, int32_t maxY, int32_t* x, int32_t* y, int32_t* buttons);
