// CD audio: the device opened at library start and closed at its close,
// tracks played with a number of repeats, and the end-of-play notification
// that starts the next repeat. Every call does nothing and returns 0 while
// the device is not open.
#pragma once
#include <cstdint>

// Notification codes.
constexpr uint32_t LS_CD_NOTIFY_SUCCESSFUL = 1;
constexpr uint32_t LS_CD_NOTIFY_FAILURE = 8;

// Opens the device; 1, or 0 when there is no CD audio.
int32_t LSI_InitCD();
// Stops and closes the device; 1 (0 when it was not open).
int32_t LSI_CloseCD();
// Plays the track count times in all (0: for ever); 1, or 0 when the
// track cannot be played.
int32_t LS_PlayCDTrack(int32_t track, int32_t count);
// Stops the track playing; 1.
int32_t LS_StopCD();
// The end-of-play notification, passed on by the window procedure: plays
// the track again while repeats remain; 0 when that fails.
int32_t LSI_CDNotify(uint32_t code);
