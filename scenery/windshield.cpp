// The window cloud reflections: set-up and tear-down of the cloud pictures
// and the glass runs, and the per-car redraw as the clouds scroll.
#include "scenery/windshield.h"

#include <algorithm>
#include <cmath>

#include "engine3d/object.h"
#include "engine3d/texcache.h"
#include "engine3d/videotable.h"
#include "scenery/brakelights.h"
#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/texcopy.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

namespace {

constexpr const char* kCloudFiles[2] = {"miscpict>NUAGE.TGA", "miscpict>NUAGE2.TGA"};
constexpr int32_t kGlassTexture = 1;  // SB_Var.GlassLayout's word of the glass texture
constexpr int32_t kCloudSurfaceFlag = 2;

bool PowerOfTwo(int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

// A cloud picture with power-of-two sides, or null.
BMAP* LoadCloud(const char* name) {
  BMAP* picture = SB_LoadTga(name);
  if (picture && (!PowerOfTwo(picture->SizeX) || !PowerOfTwo(picture->SizeY) || !picture->Start)) {
    SB_FreeBmap(picture);
    picture = nullptr;
  }
  return picture;
}

// The picture in the renderer's texels: the screen's depth and pixel
// format on the software renderers (dithered into the 3D palette at 8
// bits), 16-bit 5-5-5 on the accelerator.
BMAP* ConvertCloud(BMAP* picture) {
  if (SB_Var.Renderer == SB_RENDERER_PVR) return Bmap24to555(picture);
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t depth = mode ? mode->Depth : 8;
  BMAP* out = SB_CreateBmap(picture->SizeX, picture->SizeY, depth, LS_DefaultHeap, "clouds windshield glass");
  if (!out) return nullptr;
  if (mode && mode->Format) out->Format = mode->Format;
  if (depth == 8) out->Palette = SB_Var.Pal3d;
  SB_BitmoveFloyd(picture, out, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
  return out;
}

// The whole part of an offset, held where an int32_t reaches.
int32_t Whole(float offset) {
  return static_cast<int32_t>(std::clamp(std::trunc(offset), -2147483520.0f, 2147483520.0f));
}

int32_t ScreenTexelBytes() {
  const TVIDEOMODE* mode = SB_GetSelectedVideoMode();
  const int32_t depth = mode ? mode->Depth : 0;
  return depth == 8 ? 1 : depth == 16 ? 2 : 0;
}

// length texels of the clouds' row from column s on, wrapping at its
// width as often as needed, through put(i, texel address).
template <typename Put>
void CloudRun(const BMAP* clouds, int32_t row, int32_t s, int32_t length, int32_t bytes, Put put) {
  const uint8_t* line = clouds->Start + static_cast<ptrdiff_t>(row) * clouds->ByteLen;
  const int32_t w = clouds->SizeX;
  for (int32_t i = 0; i < length; ++i) put(i, line + static_cast<ptrdiff_t>((s + i) & (w - 1)) * bytes);
}

void DrawSoftware(const BMAP* clouds, BMAP* glass, int32_t offsetX, int32_t offsetY) {
  const int32_t bytes = glass->Depth == 8 ? 1 : glass->Depth == 16 ? 2 : 0;
  if (!bytes || clouds->Depth != glass->Depth || !glass->Start) return;
  const int64_t size = int64_t{glass->ByteLen} * glass->SizeY;
  for (int32_t k = 0; k < SB_Var.NbGlassLines; ++k) {
    const TGLASSLINE& l = SB_Var.GlassLines[k];
    const int64_t start = l.Start, end = start + int64_t{l.Length} * bytes;
    // The run stays inside one row of the glass bitmap.
    if (l.Length < 1 || start < 0 || end > size || start / glass->ByteLen != (end - 1) / glass->ByteLen) continue;
    const int32_t s = (l.EndColumn + offsetX) & (clouds->SizeX - 1);
    const int32_t row = (l.Row + offsetY) & (clouds->SizeY - 1);
    uint8_t* to = glass->Start + start;
    CloudRun(clouds, row, s, l.Length, bytes, [&](int32_t i, const uint8_t* texel) {
      for (int32_t b = 0; b < bytes; ++b) to[i * bytes + b] = texel[b];
    });
  }
}

void DrawCard(TSOFTSCENE* scene, const BMAP* clouds, int32_t offsetX, int32_t offsetY, int32_t halved,
              int32_t slot) {
  const TCARDTEXELS card = SB_CardTexels(slot);
  if (!card.Pixels || clouds->Depth != 16) return;
  for (int32_t k = 0; k < SB_Var.NbGlassLines; ++k) {
    const TGLASSLINE& l = SB_Var.GlassLines[k];
    const int32_t column = static_cast<int32_t>(static_cast<uint32_t>(l.Start) >> 16), row = l.Start & 0xFFFF;
    const int32_t s = (column + offsetX) & (clouds->SizeX - 1);
    const int32_t sourceRow = (row + offsetY) & (clouds->SizeY - 1);
    const int32_t shift = halved ? 1 : 0;
    const int32_t x = column >> shift, y = row >> shift;
    if (y < 0 || y >= card.Side || x < 0 || x >= card.Side) continue;
    const int32_t length = std::min(l.Length >> shift, card.Side - x);
    CloudRun(clouds, sourceRow, s, length, 2, [&](int32_t i, const uint8_t* texel) {
      card.Pixels[SB_TwiddledIndex(x + i, y)] = static_cast<uint16_t>(texel[0] | texel[1] << 8);
    });
  }
  POWER_MarkTextureUsed(scene, slot);
}

}  // namespace

int32_t SB_CountGlassLines(BMAP* mask, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!mask || !mask->Start || mask->Depth != 8 || x < 0 || y < 0) return 0;
  const int32_t x2 = std::min(x + w, mask->SizeX), y2 = std::min(y + h, mask->SizeY);
  int32_t n = 0;
  bool inRun = false;
  for (int32_t r = y; r < y2; ++r) {
    const uint8_t* row = mask->Start + static_cast<ptrdiff_t>(r) * mask->ByteLen;
    for (int32_t c = x; c < x2; ++c) {
      if (row[c] == 0) {
        inRun = true;
      } else if (inRun) {
        inRun = false;
        ++n;
      }
    }
  }
  return n;
}

void SB_RecordGlassLines(BMAP* mask, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!mask || !mask->Start || mask->Depth != 8 || x < 0 || y < 0 || !SB_Var.GlassLines) return;
  const int32_t x2 = std::min(x + w, mask->SizeX), y2 = std::min(y + h, mask->SizeY);
  const bool card = SB_Var.Renderer == SB_RENDERER_PVR;
  const int32_t bytes = ScreenTexelBytes();
  for (int32_t r = y; r < y2; ++r) {
    const uint8_t* row = mask->Start + static_cast<ptrdiff_t>(r) * mask->ByteLen;
    int32_t a = -1;
    for (int32_t c = x; c < x2; ++c) {
      if (row[c] == 0) {
        if (a < 0) a = c;
        continue;
      }
      if (a >= 0) {
        TGLASSLINE& l = SB_Var.GlassLines[SB_Var.NbGlassLines++];
        l.Start = card ? a << 16 | r : (r * mask->ByteLen + a) * bytes;
        l.Length = c - a;
        l.EndColumn = c;
        l.Row = r;
        a = -1;
      }
    }
  }
}

void SB_FreeGlassLines() {
  if (SB_Var.GlassLines) SB_Release(SB_Var.GlassLines);
  SB_Var.GlassLines = nullptr;
  SB_Var.NbGlassLines = 0;
}

void initlines() {
  if (SB_Var.NbCars < 1 || !SB_Var.Cars[0]) {
    LS_Message("No Vehicle object !");
    return;
  }
  const MLIB* library = SB_Var.VehiclePrototype && SB_Var.VehiclePrototype->Materials
                            ? SB_Var.VehiclePrototype->Materials->Library
                            : nullptr;
  const int32_t j = SB_Var.GlassLayout[kGlassTexture];
  BMAP* picture = library && j >= 0 && static_cast<uint32_t>(j) < library->NbTextures ? library->Textures[j].Picture
                                                                                     : nullptr;
  const BMAP* work = picture ? library->Textures[j].Bitmap : nullptr;
  // The mask has the rows of the cars' glass texture bitmaps.
  BMAP* mask = picture ? SB_CreateBmap(std::max(picture->SizeX, work ? work->SizeX : 0), picture->SizeY, 8,
                                       LS_DefaultHeap, "glass initlines")
                       : nullptr;
  int32_t n = 0;
  if (mask) {
    mask->Palette = SB_Var.Pal3d;
    mask->Format = BMAP_PAL8;
    for (int32_t r = 0; r < mask->SizeY; ++r)
      std::fill_n(mask->Start + static_cast<ptrdiff_t>(r) * mask->ByteLen, mask->SizeX, uint8_t{255});
    SB_Bitmove(picture, mask, 0, 0, picture->SizeX - 1, picture->SizeY - 1, 0, 0);
    n = SB_CountGlassLines(mask, 0, 0, picture->SizeX - 1, picture->SizeY - 1);
  }
  SB_FreeGlassLines();
  const char* owner = SB_Var.Renderer == SB_RENDERER_PVR ? "glass" : "Glass";
  if (n > 0) SB_Var.GlassLines = static_cast<TGLASSLINE*>(SB_GetMem(n * static_cast<int32_t>(sizeof(TGLASSLINE)), owner));
  if (SB_Var.GlassLines)
    SB_RecordGlassLines(mask, 0, 0, picture->SizeX - 1, picture->SizeY - 1);
  else
    LS_Message("No Lines");
  if (mask) SB_FreeBmap(mask);
}

__attribute__((weak)) void SB_InitWindShield() {
  SB_Var.CloudBmaps[0] = SB_Var.CloudBmaps[1] = nullptr;
  SB_Var.CloudsReady = 0;
  // A race without cars has no windows to reflect in.
  if (!SB_Var.KnownPrototype || !SB_Var.UsingCars) return;
  BMAP* pictures[2] = {};
  if (LS_FileExists(kCloudFiles[0]) && LS_FileExists(kCloudFiles[1]))
    for (int32_t k = 0; k < 2; ++k) pictures[k] = LoadCloud(kCloudFiles[k]);
  if (pictures[0] && pictures[1])
    for (int32_t k = 0; k < 2; ++k) SB_Var.CloudBmaps[k] = ConvertCloud(pictures[k]);
  for (BMAP* p : pictures)
    if (p) SB_FreeBmap(p);
  if (!SB_Var.CloudBmaps[0] || !SB_Var.CloudBmaps[1]) {
    for (BMAP*& b : SB_Var.CloudBmaps)
      if (b) SB_FreeBmap(b), b = nullptr;
    LS_Message("Clouds pictures missing...");
    return;
  }
  SB_Var.CloudOffset[0] = SB_Var.CloudOffset[1] = 0.0f;
  SB_Var.CloudOffsetDrawn[0] = SB_Var.CloudOffsetDrawn[1] = -1.0f;
  initlines();
  SB_Var.CloudsReady = 1;
}

__attribute__((weak)) void SB_DisposeWindShield() {
  if (!SB_Var.KnownPrototype) return;
  for (BMAP*& b : SB_Var.CloudBmaps)
    if (b) SB_FreeBmap(b), b = nullptr;
  SB_Var.CloudsReady = 0;
  SB_FreeGlassLines();
}

__attribute__((weak)) void SB_UpdateGlassClouds(TSOFTSCENE* scene, int32_t index) {
  TCAR* car = SB_WindShieldCar(index);
  if (!car || !SB_Var.CloudsReady) return;
  BMAP* clouds = SB_Var.CloudBmaps[car->SurfaceFlags[kCloudSurfaceFlag] ? 1 : 0];
  SB_Var.CloudOffset[1] += static_cast<float>(SB_Var.FrameTime * car->Speed * 0.001);
  if (SB_Var.CloudOffset[0] == SB_Var.CloudOffsetDrawn[0] && SB_Var.CloudOffset[1] == SB_Var.CloudOffsetDrawn[1] &&
      car->CloudsDrawn)
    return;
  car->CloudsDrawn = 1;
  SB_Var.CloudOffsetDrawn[0] = SB_Var.CloudOffset[0];
  SB_Var.CloudOffsetDrawn[1] = SB_Var.CloudOffset[1];
  MLIB* library = SB_CarLibrary(car);
  const int32_t j = SB_Var.GlassLayout[kGlassTexture];
  if (!library || j < 0 || static_cast<uint32_t>(j) >= library->NbTextures) return;
  const MLIBTEXTURE& glass = library->Textures[j];
  SB_DrawGlassClouds(scene, clouds, glass.Bitmap, Whole(SB_Var.CloudOffset[0]),
                     Whole(SB_Var.CloudOffset[1]), static_cast<int32_t>(car->Object->HalvedCoords),
                     glass.CardTexture);
}

void SB_DrawGlassClouds(TSOFTSCENE* scene, BMAP* clouds, BMAP* glass, int32_t offsetX, int32_t offsetY,
                        int32_t halved, int32_t slot) {
  if (!SB_Var.GlassLines || SB_Var.NbGlassLines < 1 || !clouds || !clouds->Start || !PowerOfTwo(clouds->SizeX) ||
      !PowerOfTwo(clouds->SizeY))
    return;
  if (SB_Var.Renderer == SB_RENDERER_PVR) {
    if (slot) DrawCard(scene, clouds, offsetX, offsetY, halved, slot);
    return;
  }
  if (glass) DrawSoftware(clouds, glass, offsetX, offsetY);
}
