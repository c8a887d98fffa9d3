// The game clock: each frame's time and duration in milliseconds of the
// multimedia timer, which runs on while the application is inactive. It
// has no pause: a reset (activation, films, editors) keeps a long gap from
// showing as one frame.
#pragma once
#include <cstdint>

// The multimedia timer, wrapping at 2^32.
uint32_t SB_GetTime();
// SB_Var.Time and SB_Var.RecordMark := now; returns now.
uint32_t SB_ResetClock();
// Once per frame: SB_Var.FrameTime, SB_Var.Time and the best frame rate.
void SB_UpdateClock();
