// The game's global record. It lives for the whole run; SB_ResetVars puts
// it back to its state before start-up (used by test fixtures).
#pragma once
#include <cstdint>

struct MODULE;

struct SB_VARS {
  // Program start-up.
  int32_t HeapSize;           // the library's default heap, in bytes
  char StartupScript[256];    // console script run at start ("-S:")
  int32_t MemoryClass;        // -1 until set; 0 LOW, 68157441 HIGH, else physical memory
  char RuntimePath[512];      // root and current directory of the runtime directory
  int32_t RunDone;            // set when the console run has ended

  // Owner-tagged memory and bitmaps (the tables themselves: shell/owner.h).
  int32_t NbMemOwners;        // records in use, the first ones of the table
  int32_t NbBmapOwners;
  int32_t MaxMemOwners;       // high-water marks since the start
  int32_t MaxBmapOwners;
  char LastOwner[256];        // owner tag of the record last removed
  uintptr_t GameHeap;         // the map construction's heap, or 0

  // Console music: the module system started by PLAYMOD and its module.
  int32_t ModuleSystemOn;
  MODULE* TestModule;
};

extern SB_VARS SB_Var;

void SB_ResetVars();
