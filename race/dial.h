// The dashboard dial in the bottom-right corner of the race screen: a
// speedometer and rev-counter picture with two needles and the gear label.
#pragma once
#include <cstdint>

#include "system/bmap.h"

// A run of dial pixels on one row: black pixels of the picture stay
// transparent.
struct TCOUNTERRUN {
  uint8_t* Source;  // its first pixel in the dial's copy
  int32_t Spare;
  int32_t Length;  // pixels
  int32_t X;
  int32_t Row;
};

struct TCOUNTER {
  int32_t ScreenWidths[2];  // the screens this dial is for
  BMAP* Source;             // the loaded picture, kept only while building
  BMAP* Bmap8;              // in the 3D palette
  BMAP* Screen;             // in the screen's format
  TCOUNTERRUN* Runs;        // runs of Screen, or of Bmap8 before it exists
  int32_t Width;
  int32_t Height;
  int32_t NbRuns;
  int32_t Ready;
  const char* FileName;
  int32_t Layout[5];
};

constexpr int32_t SB_NBCOUNTERS = 1;
extern TCOUNTER SB_Counters[SB_NBCOUNTERS];

// The dial drawn in this video mode and its place; null when none fits.
struct TDIAL {
  TCOUNTER* Current;
  int32_t X;
  int32_t Y;
  int32_t SpeedColor8;  // needle colours on 8-bit screens: the 3D palette's
  int32_t RevColor8;    // entries nearest to (63, 0, 0) and (63, 10, 10)
};
extern TDIAL SB_Dial;

// The gear labels of gear indices 0..5; other indices have none.
constexpr int32_t SB_NBGEARLABELS = 6;
extern const char* const SB_GearLabels[SB_NBGEARLABELS];

void SB_LoadCounters();
// 1 when the dial is ready.
int32_t initCounter(TCOUNTER* counter);
void SB_LoadCounter2();
void SB_FreeCounter();
void SB_FreeCounters();
void SB_DrawNeedle(BMAP* bmap);

// Back to the state before the race set-up (test fixtures).
void SB_ResetDial();
