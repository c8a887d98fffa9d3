// The game's global record. It lives for the whole run; SB_ResetVars puts
// it back to its state before start-up (used by test fixtures).
#pragma once
#include <cstdint>

#include "frontend/interface.h"

struct BMAP;

// Console screen and command history sizes.
constexpr int32_t SB_CONSOLELINES = 60;
constexpr int32_t SB_CONSOLECOLUMNS = 80;  // characters of one console line
constexpr int32_t SB_HISTORYLINES = 32;    // the last one is the line being edited

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

  // File, picture and event helpers.
  int32_t ReadChunkSize;      // largest piece read between two event pumps
  int32_t AltEnterLatch;      // set while Alt+Enter is held, so one press toggles once

  // Game clock, in milliseconds of the multimedia timer.
  uint32_t Time;              // at the last update or reset
  int32_t FrameTime;          // between the last two updates
  uint32_t RecordMark;        // set by a reset; moved on by the car recording
  int32_t MaxFrameRate;       // best 1000 / FrameTime seen

  // Console screen, log and line editor.
  char ConsoleText[SB_CONSOLELINES][SB_CONSOLECOLUMNS + 1];
  int32_t ConsoleLine;        // line written next, 0..59
  char ConsoleHistory[SB_HISTORYLINES][SB_CONSOLECOLUMNS + 1];  // oldest first; 31 is being edited
  int32_t HistoryIndex;       // browse position, 31 when not browsing
  int32_t UpKeyHeld;          // arrow keys' held state at the previous step
  int32_t DownKeyHeld;
  int32_t LeftKeyHeld;        // shared by the line editor and the prompt input
  int32_t DrawConsole;        // 0: printing fills the text but draws nothing
  BMAP* DevEnvScreen;         // the console bitmap "dev env", made at the first drawing
  BMAP* DevEnvBackground;     // the console's background picture, or null
  int32_t FileOutput;         // console lines are appended to the log file

  // Command interpreter and batches.
  int32_t BatchBreak;         // stops the running batches
  int32_t BatchDepth;         // batches running inside each other
  int32_t QuitConsole;        // ends the console loop

  // Network: the local state, 1 (no network) to 10 (end of race).
  int32_t XState;

  // Front end: the options screen's items.
  TMENUITEM MenuScreens[SB_OPTIONITEMS];
};

extern SB_VARS SB_Var;

void SB_ResetVars();
