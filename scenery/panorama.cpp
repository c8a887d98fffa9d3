// Backdrop panoramas of software modes: the circuit configuration names
// pictures for stretches of the centre line; the one of the camera's
// stretch is held in the background layer and blitted each frame behind
// the scene, shifted by the camera's heading and pitch; the software frame
// fills the band above its top edge in its first pixel's colour
// (SB_FillAbovePanorama, softrender/drawscene.cpp).
//
// The race entries are weak, so that tests can put recording fakes in
// their place.
#include <cmath>
#include <cstdio>

#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/keyfile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/bmap.h"
#include "system/file.h"

namespace {

constexpr const char* kTableOwner = "Background struct";
constexpr int32_t kSliceRight = 639, kSliceBottom = 479;
constexpr int32_t kNarrowSliceRight = 383;
constexpr int32_t kSliceSteps[4] = {0, 640, 1280, 1663};
constexpr int32_t kPanoramaWidth = 640;  // the only view width with a panorama
constexpr int32_t kMaxSliceX = 639;
constexpr double kTurnScroll = 2.6;  // layer widths a full turn scrolls
constexpr int32_t kAhead = 100000;
constexpr int32_t kFlat = 9;  // |z| at most this: the point ahead lies in the camera plane
constexpr int32_t kBelowView = 720;

bool Software() { return SB_Var.Renderer != SB_RENDERER_PVR; }

bool EightBitScreen() {
  const int32_t mode = SB_Var.VideoModeIndex;
  return mode >= 0 && mode < SB_NBVIDEOMODES && SB_Var.VideoModes[mode].Depth == 8;
}

bool InRange(double from, double to, int32_t i) {
  return std::isfinite(from) && std::isfinite(to) && from <= i && i < to;
}

// Entry i (from 1) of the configuration: its name, its two ranges and, in
// software modes, its picture.
void ReadEntry(TKEYFILE* keys, int32_t i, TBACKGROUND* entry) {
  char key[64];
  char name[SB_BACKNAMESIZE] = {};
  std::snprintf(key, sizeof key, "BACKFILE%ld: %%s", static_cast<long>(i));
  SB_ScanKeyFile(keys, 1, key, {name});
  std::snprintf(key, sizeof key, "BACK%ld1: %%f,%%f,%%l", static_cast<long>(i));
  SB_ScanKeyFile(keys, 1, key, {&entry->From1, &entry->To1, &entry->Long1});
  std::snprintf(key, sizeof key, "BACK%ld2: %%f,%%f,%%l", static_cast<long>(i));
  SB_ScanKeyFile(keys, 1, key, {&entry->From2, &entry->To2, &entry->Long2});
  if (Software()) entry->Picture = SB_LoadBackgroundPict(name);
}

// The table the circuit configuration lists; none without a valid NBACKS.
void ReadTable() {
  TKEYFILE* keys = SB_OpenKeyFile(SB_Var.ConfigFile);
  int32_t n = 0;
  if (keys && keys->Start && SB_ScanKeyFile(keys, 1, "NBACKS: %l", {&n}) == 1 &&
      (n < 0 || n > SB_MAXBACKGROUNDS)) {
    SB_ConsolePrintf("NBACKS: %ld out of 0..%ld in %s, no panorama", static_cast<long>(n),
                     static_cast<long>(SB_MAXBACKGROUNDS), SB_Var.ConfigFile);
    n = 0;
  }
  if (n > 0) {
    SB_Var.Backgrounds = static_cast<TBACKGROUND*>(SB_GetMem(n * static_cast<int32_t>(sizeof(TBACKGROUND)), kTableOwner));
    SB_Var.NbBackgrounds = SB_Var.Backgrounds ? n : 0;
    for (int32_t i = 0; i < SB_Var.NbBackgrounds; ++i) ReadEntry(keys, i + 1, &SB_Var.Backgrounds[i]);
  }
  SB_CloseKeyFile(keys);
}

// Without a table, software modes show "decofon2", or "decofon", everywhere.
void MakeDefaultEntry() {
  BMAP* picture = SB_LoadBackgroundPict("decofon2");
  if (!picture) picture = SB_LoadBackgroundPict("decofon");
  if (!picture) return;
  SB_Var.Backgrounds = static_cast<TBACKGROUND*>(SB_GetMem(sizeof(TBACKGROUND), kTableOwner));
  if (!SB_Var.Backgrounds) {
    SB_FreeBmap(picture);
    return;
  }
  SB_Var.Backgrounds[0].Picture = picture;
  SB_Var.NbBackgrounds = 1;
}

}  // namespace

__attribute__((weak)) void SB_LoadBackgrounds() {
  SB_FreeBackgrounds();  // a table left by an earlier race is not lost
  ReadTable();
  if (Software() && !SB_Var.Backgrounds) MakeDefaultEntry();
  if (Software() && SB_Var.NbBackgrounds > 0) SB_Var.CurrentBackground = SB_Var.Backgrounds[0].Picture;
  SB_Var.DrawnBackground = nullptr;
}

BMAP* SB_LoadBackgroundPict(const char* name) {
  SB_ConsolePrintf("Loading background %s...", name);
  char path[LS_PATHSIZE];
  const bool eightBit = EightBitScreen();
  const int length = std::snprintf(path, sizeof path, "txt>%s%s.%s", SB_Var.TexturePath, name,
                                   eightBit ? "PCX" : "TGA");
  BMAP* picture = nullptr;
  if (length > 0 && static_cast<size_t>(length) < sizeof path && LS_FileExists(path))
    picture = eightBit ? SB_LoadPcx(path, 0) : SB_LoadTga(path);
  if (!picture) SB_ConsolePrintf("Background %s not found !!!", name);
  return picture;
}

__attribute__((weak)) void SB_FreeBackgrounds() {
  for (int32_t i = 0; SB_Var.Backgrounds && i < SB_Var.NbBackgrounds; ++i)
    if (SB_Var.Backgrounds[i].Picture) SB_FreeBmap(SB_Var.Backgrounds[i].Picture);
  if (SB_Var.Backgrounds) SB_Release(SB_Var.Backgrounds);
  SB_Var.Backgrounds = nullptr;
  SB_Var.NbBackgrounds = 0;
  SB_Var.CurrentBackground = SB_Var.DrawnBackground = nullptr;
}

__attribute__((weak)) void SB_SelectBackground() {
  const int32_t points = SB_Var.NbBsplinePoints;
  if (!SB_Var.BsplinePoints || points < 1 || !SB_Var.Backgrounds || SB_Var.NbBackgrounds < 1) return;
  const int32_t i = SB_Var.Camera.BsplineIndex % points;
  for (int32_t k = 0; k < SB_Var.NbBackgrounds; ++k) {
    const TBACKGROUND& b = SB_Var.Backgrounds[k];
    if (!InRange(b.From1, b.To1, i) && !InRange(b.From2, b.To2, i)) continue;
    if (b.Picture) SB_Var.CurrentBackground = b.Picture;
    break;
  }
  if (SB_Var.CurrentBackground != SB_Var.DrawnBackground) {
    SB_RestoreBackground(SB_Var.BackgroundLayer);
    SB_Var.DrawnBackground = SB_Var.CurrentBackground;
  }
}

__attribute__((weak)) void SB_DrawBackground(TCAMERA* camera) {
  BMAP* layer = SB_Var.BackgroundLayer;
  if (!camera || !layer || SB_Var.ScreenWindow.W_WIDTH != kPanoramaWidth) {
    if (SB_Var.TextScreen) LS_ClearBmap(SB_Var.TextScreen);
    SB_Var.BackgroundFillLimit = SB_Var.ScreenWindow.W_POSY - 1;  // no band
    return;
  }
  const int32_t heading = static_cast<uint16_t>(camera->AngleY);
  const int32_t turned = static_cast<int32_t>(heading * kTurnScroll);
  const int32_t x0 = -static_cast<int32_t>(std::floor(turned * layer->SizeX * (1.0 / 65536) + 0.5));
  const int32_t y0 = SB_GetHorizonY(camera);
  for (int32_t k = 0; k < 4; ++k)
    SB_BlitBackgroundSlice(0, 0, k == 2 ? kNarrowSliceRight : kSliceRight, kSliceBottom, x0 + kSliceSteps[k], y0);
  SB_Var.BackgroundFillLimit = y0 - 1;
}

void SB_BlitBackgroundSlice(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x, int32_t y) {
  if (!SB_Var.BackgroundLayer || !SB_Var.TextScreen || x < -kMaxSliceX || x > kMaxSliceX) return;
  const _WINDOW& w = SB_Var.ScreenWindow;
  const int32_t left = w.W_POSX, top = w.W_POSY;
  const int32_t right = w.W_POSX + w.W_WIDTH - 1, bottom = w.W_POSY + w.W_HEIGHT - 1;
  if (x < left) x0 += left - x, x = left;
  if (y < top) y0 += top - y, y = top;
  if (x + (x1 - x0) > right) x1 = x0 + right - x;
  if (y + (y1 - y0) > bottom) y1 = y0 + bottom - y;
  if (x1 < x0 || y1 < y0) return;
  SB_Bitmove(SB_Var.BackgroundLayer, SB_Var.TextScreen, x0, y0, x1, y1, x, y);
}

int32_t SB_GetHorizonY(const TCAMERA* camera) {
  FIXFRAME frame;
  LS_InitMatrix(&frame, 0, 0, 0);
  LS_RotateX(&frame, static_cast<uint16_t>(camera->AngleX));
  int32_t point[3] = {0, 0, kAhead};
  LS_TransformPoint(&frame, point);
  if (point[2] >= -kFlat && point[2] <= kFlat) return kBelowView;
  return static_cast<int32_t>(static_cast<int64_t>(point[1]) * SB_Var.Focal / point[2]);
}

