// The dashboard dial: its picture kept as runs of non-black pixels in the
// screen's format, and the speed and rev needles drawn over it each frame.
#include "race/dial.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "engine3d/videotable.h"
#include "frontend/raceoverlay.h"
#include "race/hud_internal.h"
#include "race/racerules.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"

TCOUNTER SB_Counters[SB_NBCOUNTERS];
TDIAL SB_Dial;
const char* const SB_GearLabels[SB_NBGEARLABELS] = {"*1N", "*11", "*12", "*13", "*14", "*15"};

namespace {

constexpr double kSpeedRadians = 0.07068583470577035;  // per unit of speed: 0.0225 pi
constexpr double kRevRadians = 0.00375;                // per unit of engine speed
constexpr double kQuarterTurn = 1.5707963267948966;
constexpr int32_t kNeedleHalfWidth = 2;
constexpr int32_t kMargin = 8;  // from the screen's right edge and the window's bottom
constexpr int32_t kGearX = 124;
constexpr int32_t kGearY = 45;
constexpr uint32_t kWhite = 0xFFFFFF;

void SetUpCounter(TCOUNTER& c) {
  std::memset(&c, 0, sizeof c);
  c.ScreenWidths[0] = 640;
  c.ScreenWidths[1] = 800;
  c.FileName = SB_COUNTERFILE;
  const int32_t layout[5] = {106, 46, 45, 46, 8};
  std::memcpy(c.Layout, layout, sizeof layout);
}

bool Black(const BMAP* picture, int32_t x, int32_t y) {
  const uint8_t* p = picture->Start + static_cast<ptrdiff_t>(y) * picture->ByteLen + x * 3;
  return !p[0] && !p[1] && !p[2];
}

// Calls run(x, row, length) for each run of non-black pixels, row by row.
template <typename F>
void ForEachRun(const BMAP* picture, F&& run) {
  for (int32_t y = 0; y < picture->SizeY; ++y)
    for (int32_t x = 0; x < picture->SizeX;) {
      if (Black(picture, x, y)) {
        ++x;
        continue;
      }
      const int32_t start = x;
      while (x < picture->SizeX && !Black(picture, x, y)) ++x;
      run(start, y, x - start);
    }
}

// The runs of the source picture, pointing at the copy's pixels.
bool BuildRuns(TCOUNTER& c, const BMAP* copy) {
  SB_HudRelease(c.Runs);
  c.Runs = nullptr;
  c.NbRuns = 0;
  int32_t count = 0;
  ForEachRun(c.Source, [&](int32_t, int32_t, int32_t) { ++count; });
  if (!count) return true;
  c.Runs =
      static_cast<TCOUNTERRUN*>(SB_GetMem(count * static_cast<int32_t>(sizeof(TCOUNTERRUN)), "initCounter"));
  if (!c.Runs) return false;
  const int32_t bytes = copy->Depth / 8;
  ForEachRun(c.Source, [&](int32_t x, int32_t y, int32_t length) {
    uint8_t* at = copy->Start + static_cast<ptrdiff_t>(y) * copy->ByteLen + static_cast<ptrdiff_t>(x) * bytes;
    c.Runs[c.NbRuns++] = TCOUNTERRUN{at, 0, length, x, y};
  });
  return true;
}

bool LoadSource(TCOUNTER& c) {
  if (!c.Source) c.Source = SB_HudLoadPicture(c.FileName);
  if (!c.Source) return false;
  c.Width = c.Source->SizeX;
  c.Height = c.Source->SizeY;
  return true;
}

bool Fits(const TCOUNTER& c, int32_t width) {
  return width == c.ScreenWidths[0] || width == c.ScreenWidths[1];
}

// The dial's runs at its place, clipped to the bitmap.
void CopyRuns(const TCOUNTER& c, BMAP* bmap, int32_t bytes) {
  for (int32_t i = 0; i < c.NbRuns; ++i) {
    const TCOUNTERRUN& r = c.Runs[i];
    const int64_t row = int64_t{SB_Dial.Y} + r.Row;
    if (row < 0 || row >= bmap->SizeY) continue;
    const int64_t left = int64_t{SB_Dial.X} + r.X;
    const int64_t from = left < 0 ? 0 : left;
    const int64_t to = left + r.Length < bmap->SizeX ? left + r.Length : bmap->SizeX;
    if (from >= to) continue;
    std::memcpy(bmap->Start + row * bmap->ByteLen + from * bytes, r.Source + (from - left) * bytes,
                static_cast<size_t>((to - from) * bytes));
  }
}

int32_t Round(double v) { return std::isfinite(v) ? static_cast<int32_t>(std::floor(v + 0.5)) : 0; }

// A needle of the dial's length turned by a from straight down, about the
// centre given in overlay pixels: three lines join its tip and two base
// points.
void DrawNeedleAt(_WINDOW* window, int32_t cx, int32_t cy, double a, uint32_t colour) {
  if (!std::isfinite(a)) a = 0.0;
  const int32_t x = cx - window->W_POSX, y = cy - window->W_POSY;
  const int32_t tx = x + Round(-SB_NEEDLELENGTH * std::sin(a)), ty = y + Round(SB_NEEDLELENGTH * std::cos(a));
  const int32_t ax = x + Round(-kNeedleHalfWidth * std::sin(a + kQuarterTurn));
  const int32_t ay = y + Round(kNeedleHalfWidth * std::cos(a + kQuarterTurn));
  const int32_t bx = x + Round(-kNeedleHalfWidth * std::sin(a - kQuarterTurn));
  const int32_t by = y + Round(kNeedleHalfWidth * std::cos(a - kQuarterTurn));
  LS_WinLine(window, tx, ty, ax, ay, colour);
  LS_WinLine(window, tx, ty, bx, by, colour);
  LS_WinLine(window, ax, ay, bx, by, colour);
}

}  // namespace

void SB_ResetDial() {
  for (TCOUNTER& c : SB_Counters) SetUpCounter(c);
  SB_Dial = TDIAL{};
}

int32_t initCounter(TCOUNTER* counter) {
  if (!counter || !LoadSource(*counter)) return 0;
  TCOUNTER& c = *counter;
  SB_FreeBmap(c.Bmap8);
  c.Bmap8 = SB_HudConvertedCopy(c.Source, 8, BMAP_PAL8, "Compteur");
  c.Ready = c.Bmap8 && BuildRuns(c, c.Bmap8) ? 1 : 0;
  return c.Ready;
}

void SB_LoadCounters() {
  const PALETTE* palette = SB_HudPalette();
  SB_Dial.SpeedColor8 = SB_HudNearestColor(palette, 63, 0, 0);
  SB_Dial.RevColor8 = SB_HudNearestColor(palette, 63, 10, 10);
  for (TCOUNTER& c : SB_Counters) initCounter(&c);
  SB_FreeCounter();
}

void SB_LoadCounter2() {
  SB_Dial.Current = nullptr;
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  for (TCOUNTER& c : SB_Counters) {
    if (!mode || !c.Ready || !Fits(c, mode->Width) || !LoadSource(c)) continue;
    BMAP* screen = SB_HudConvertedCopy(c.Source, mode->Depth, mode->Format, "Compteur 2");
    if (!screen) continue;
    SB_FreeBmap(c.Screen);
    c.Screen = screen;
    if (!BuildRuns(c, screen)) continue;
    SB_Dial.Current = &c;
    SB_Dial.X = mode->Width - c.Width - kMargin;
    SB_Dial.Y = SB_Var.ScreenWindow.W_POSY + SB_Var.ScreenWindow.W_HEIGHT - c.Height - kMargin;
  }
  SB_FreeCounter();
}

void SB_FreeCounter() {
  for (TCOUNTER& c : SB_Counters) {
    SB_FreeBmap(c.Source);
    c.Source = nullptr;
  }
}

void SB_FreeCounters() {
  SB_FreeCounter();
  for (TCOUNTER& c : SB_Counters) {
    SB_FreeBmap(c.Bmap8);
    SB_FreeBmap(c.Screen);
    SB_HudRelease(c.Runs);
    SetUpCounter(c);
  }
  SB_Dial.Current = nullptr;
}

// While the gearbox boxes are shown before the start, the dial gives way
// to them: drawn over them, it would hide the MANUAL box at the lower
// right.
void SB_DrawNeedle(BMAP* bmap) {
  const TCAR* car = SB_DrivenCarRecord();
  const TCOUNTER* c = SB_Dial.Current;
  if (!SB_Var.ShowDashboard || !SB_Var.UsingCars || !SB_Var.PreviousView || SB_Var.CameraMode == 0 || !car ||
      !c || !c->Ready || !c->NbRuns || !bmap || SB_GearboxBoxesShown())
    return;
  const bool lockHere = !SB_IsTextScreenLocked();
  if (lockHere) LS_LockBmap(bmap);
  _WINDOW* window = &SB_Var.ScreenWindow;
  LS_LockWindow(window);
  // The runs' pixels are copied as they are: only into their own depth.
  const int32_t bytes = SB_HudBytesPerPixel(c->Screen);
  if (bmap->Start && bytes && bmap->Depth == c->Screen->Depth) CopyRuns(*c, bmap, bytes);
  const bool indexed = bmap->Depth == 8;
  DrawNeedleAt(window, SB_Dial.X + SB_SPEEDNEEDLEX, SB_Dial.Y + SB_NEEDLEY, car->Speed * kSpeedRadians,
               indexed ? static_cast<uint32_t>(SB_Dial.SpeedColor8) : kWhite);
  if (car->Gear >= 0 && car->Gear < SB_NBGEARLABELS)
    SB_DrawText(bmap, SB_Dial.X + kGearX, SB_Dial.Y + kGearY, "%s", SB_GearLabels[car->Gear]);
  DrawNeedleAt(window, SB_Dial.X + SB_REVNEEDLEX, SB_Dial.Y + SB_NEEDLEY, car->EngineSpeed * kRevRadians,
               indexed ? static_cast<uint32_t>(SB_Dial.RevColor8) : kWhite);
  LS_UnlockWindow(window);
  if (lockHere) LS_UnlockBmap(bmap);
}
