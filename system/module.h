// Music modules: tracker modules loaded into memory and played by the
// library's own mixer, on a thread of its own, into one looping stream
// buffer. One module plays at a time.
#pragma once
#include <cstdint>

#include "system/heap.h"
#include "system/modstate.h"

// One loaded module: the file (patterns moved to the front, cells
// rewritten, a guard after each sample) and the player state as it stood
// right after parsing, which every play starts from.
struct MODULE {
  char Name[256];  // the file name as given (cut to 255 characters)
  uint32_t Size;   // bytes of Data: file size + LS_MODSPARE
  uint8_t* Data;
  MODSTATE Saved;
};

// Makes the stream buffer in the primary format, the mix buffer and the
// parked mixing thread, and installs the focus hooks; 0 when sound is off,
// on any failure, or when already initialised.
int32_t LS_InitModuleSystem();
// Stops playback, ends the thread, frees the mix buffer and the stream and
// removes the hooks; the player is then uninitialised again. Returns 1.
int32_t LS_CloseModuleSystem();

// Loads a module into the heap; null before the player is initialised, for
// a missing, empty or unusable file, or when memory runs out (nothing is
// kept then).
MODULE* LS_LoadModule(const char* name, HHEAP heap);
// Stops playback at once and frees the module; 0 for null.
int32_t LS_FreeModule(MODULE* module);

// Plays from the first position at volume (0-64), fading in over fadeMs
// when it is not 0; 0 (and nothing changes) while a module plays, for null,
// or before the player is initialised.
int32_t LS_PlayModule(MODULE* module, int32_t volume, uint32_t fadeMs);
// Stops at once (fadeMs 0) or fades out over fadeMs and stops at the end
// of the fade. Returns 1.
int32_t LS_StopModule(uint32_t fadeMs);
// The focus hooks: pause stops the stream and the thread (1 when it
// paused); resume continues where it stopped (1 when it resumed).
int32_t LS_PauseModule();
int32_t LS_ResumeModule();

// Master volume, clamped to 0-64.
void LS_SetModuleVolume(int32_t volume);
// Continues at row 0 of song position pos; nothing when pos is not in the
// song.
void LS_SetModulePosition(int32_t pos);
// 1 while a module plays.
int32_t LS_GetModuleStatus();
