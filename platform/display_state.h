// The in-memory display's own records, shared by its source files: the
// surfaces, the palettes and the display's state.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/display.h"

namespace plat {

struct Surface {
  int32_t width = 0, height = 0, pitch = 0;
  PixelFormat format;
  bool primary = false, systemMemory = false;
  std::vector<uint8_t> pixels;
  uint32_t videoBytes = 0;  // charged against the video memory
  bool locked = false, lost = false;
  bool keyed = false;
  uint32_t keyLow = 0, keyHigh = 0;
  int32_t references = 1;
  std::vector<Surface*> chain;  // a primary's back buffers
  Palette* palette = nullptr;
  bool clipper = false;
};

struct Palette {
  PaletteEntry entries[kPaletteSize];
};

// Fresh video memory holds leftovers, not zeros: callers must clear.
constexpr uint8_t kGarbage = 0xCD;
// Extra bytes at the end of each row, so that pitch mistakes show.
constexpr int32_t kPitchSlack = 24;

struct State {
  DisplayMode mode;     // the display's current mode
  DisplayMode desktop;  // the mode the display returns to
  PixelFormat sixteen;  // the format of 16-bit modes
  uint32_t videoTotal = kDefaultVideoMemory;
  uint32_t videoUsed = 0;
  bool hardware = true;
  bool open = false;  // between OpenDisplay and CloseDisplay
  DisplayResult openAnswer = kDisplayOk;
  int32_t cooperativeLevel = kCoopNone;
  int32_t clippers = 0;
  ClientArea client;  // as set; read clamped to the current mode
  FrontHook changed = nullptr, flush = nullptr;
  DisplayResult failNext = kDisplayOk;
  DisplayResult restoreAnswer = kDisplayOk;
  int32_t busyBlits = 0;
  std::vector<OfferedMode> only;  // when not empty, the only modes offered
  DisplayCounters counters;
  std::vector<Surface*> surfaces;
  std::vector<Palette*> palettes;
};

// The state, made on first use with the defaults of ResetDisplay (and the
// desktop depth of ZENTROVA_DESKTOP_DEPTH when that names one).
State& S();
PixelFormat Rgb565();
// The pixel format of a mode of that depth: 8 indexed, 16 as the state's
// 16-bit format, 24 and 32 as 8-8-8 red above green above blue.
PixelFormat FormatOfDepth(int32_t bitsPerPixel);
bool Live(const Surface* surface);
// The primary surface, or null.
Surface* FindPrimary();
// Tells the presenter that what the front surface shows may have changed.
void NoteFrontChanged(const Surface* surface);

}  // namespace plat
