// Settings of the accelerator stand-in and what tests read of it. The
// settings start from the environment: ZENTROVA_ACCEL=0 makes the library
// absent, ZENTROVA_ACCEL_MB gives the card's memory in megabytes (0.25 to
// 256, a fraction allowed, default 4), ZENTROVA_ACCEL_THREADS the threads that draw a frame (1
// to 64, default the machine's cores).
#pragma once
#include <cstdint>

#include "platform/accel/types.h"

namespace plat {

// Forgets every device, frame, texture, block and error, and takes the
// settings from the environment again.
void AccelReset();

void AccelSetPresent(bool present);
bool AccelPresent();
// Card memory in bytes; textures already on the card keep theirs.
void AccelSetCardMemory(uint32_t bytes);
uint32_t AccelCardMemory();
// While set, a render leaves bit 0 of the status word clear.
void AccelWithholdStatus(bool withhold);
// Threads that draw a frame's tiles, 0 for the machine's cores; the
// picture is the same whatever the count.
void AccelSetThreads(int32_t count);

// The screen device's size, 0 x 0 without one.
void AccelDeviceSize(int32_t* width, int32_t* height);
// A texel of a card texture (level 0 is the largest it holds), or -1 when
// there is no such texture, level or texel.
int32_t AccelReadTexel(int32_t name, int32_t level, int32_t x, int32_t y);
int32_t AccelLiveBlocks();    // processed blocks not yet freed
int32_t AccelCardTextures();  // textures on the card
int32_t AccelFrames();        // renders done
int32_t AccelDrawCalls();     // triangle, quad and volume calls accepted

// Called with every triangle (kind 0), quad (kind 1) and volume (kind 2,
// faces of three i32) draw call as it arrives, before its checks, with the
// context, the call's faces or quads and its vertices; null for none. Lets
// tests see what each call was given.
using AccelCallObserver = void (*)(const SGLCONTEXT* context, int32_t kind, int32_t count, const void* items,
                                   const TSGLVERTEX* vertices);
void AccelObserveCalls(AccelCallObserver observer);

}  // namespace plat
