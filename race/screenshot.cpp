// The screenshot of Alt+S: the bitmap in the 3D palette, written as the
// next free "screen%ld.tga" in 24 bits. In the race the keys are read at
// the frame's step, and the race overlay is written once the frame has
// composed it (developer report, HUD, end menu), as the screen shows it.
#include <cstdio>

#include "race/raceframe.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/file.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/picture.h"
#include "system/sound.h"

namespace {

constexpr int32_t kAltKey = 18, kSKey = 83;
constexpr long kMaxShots = 99999;  // numbers tried before giving up

bool KeysHeld() { return SB_KeyDown(kSKey) && SB_KeyHeld(kAltKey); }

// The first free name from screen1.tga on; false when all are taken.
bool NextName(char* name, size_t size) {
  for (long n = 1; n <= kMaxShots; ++n) {
    std::snprintf(name, size, "screen%ld.tga", n);
    if (!LS_FileExists(name)) return true;
  }
  return false;
}

// Writes the picture with file errors kept rather than fatal, so that a
// folder that cannot be written does not end the race; 1 when written.
int32_t Save(const char* name, BMAP* shot) {
  const SB_KeepFileErrors keep;
  return LS_SaveTga(name, shot, nullptr, 0);
}

// The keys' part of a shot: nothing in master mode or unless S and Alt are
// held; else a beep and a wait until either is released. True when a shot
// is due.
bool ShotAsked() {
  if (LSI_Var.Master || !KeysHeld()) return false;
  LS_Beep();
  while (KeysHeld() && LSYS_KeyMayCome()) SB_UpdateEvent();
  return true;
}

// The bitmap in the 3D palette as the next free name, then a beep.
void Write(BMAP* bmap) {
  char name[32];
  if (!bmap || !NextName(name, sizeof name)) return;
  PALETTE* kept = bmap->Palette;
  bmap->Palette = SB_Var.Pal3d;
  BMAP* shot = SB_CreateBmap(bmap->SizeX, bmap->SizeY, 24, 0, "Screen shots");
  if (shot) {
    LS_Bitmove(bmap, shot, 0, 0, bmap->SizeX - 1, bmap->SizeY - 1, 0, 0, LS_BLIT_OPAQUE);
    if (!Save(name, shot)) SB_ConsolePrintf("Screen shot %s not written !!!", name);
    SB_FreeBmap(shot);
  }
  bmap->Palette = kept;
  LS_Beep();
}

bool g_raceShotDue = false;

}  // namespace

void SB_ScreenShot(BMAP* bmap) {
  if (ShotAsked()) Write(bmap);
}

void SB_RaceScreenShot() {
  if (ShotAsked()) g_raceShotDue = true;
}

void SB_TakeRaceScreenShot() {
  if (!g_raceShotDue) return;
  g_raceShotDue = false;
  Write(SB_Var.TextScreen);
}
