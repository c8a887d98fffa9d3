// The console's picture tools: showing a picture until a key is pressed,
// icons with a soft shadow, colours divided by their alpha, and 16-bit
// copies.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "console/commands.h"
#include "console/pictools.h"
#include "shell/console.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "system/file.h"
#include "system/heap.h"
#include "system/lsvar.h"
#include "system/picture.h"

namespace {

constexpr int32_t kIconMargin = 100;         // the icon is this much wider and higher
constexpr int32_t kIconX = 50, kIconY = 50;  // the picture's place in the icon
constexpr int32_t kUnAlphaX = 75, kUnAlphaY = 25;
constexpr int32_t kShadowSize = 11;                   // the blur's square
constexpr int32_t kShadowLeft = 62, kShadowTop = 65;  // its first column and row before the pixel
constexpr int32_t kShadowDivisor = 242;               // twice the square's 121 pixels: half the mean
constexpr int32_t kAlphaByte = 3;                     // of a 32-bit alpha pixel
constexpr int32_t kScreenWidth = 640, kScreenHeight = 480;

uint8_t* Pixel32(const BMAP* bmap, int32_t x, int32_t y) {
  return bmap->Start + static_cast<ptrdiff_t>(y) * bmap->ByteLen + static_cast<ptrdiff_t>(x) * 4;
}

void CopyAt(BMAP* source, BMAP* destination, int32_t x, int32_t y) {
  LS_Bitmove(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

// The library's picture of the TGA file, or null after the message.
BMAP* LoadSourceTga(const char* name) {
  const SB_KeepFileErrors keep;
  if (!LS_FileExists(name)) {
    SB_ConsolePrintf("File %s not found !!!", name);
    return nullptr;
  }
  BMAP* picture = LS_LoadTga(name, LS_DefaultHeap);
  if (!picture) SB_ConsolePrintf("File %s not a good TGA !!!", name);
  return picture;
}

// Sized after a picture of a file: null when the heap cannot hold it.
BMAP* NewBitmap(int32_t width, int32_t height, int32_t depth, int32_t format) {
  BMAP* bmap = SB_CreateBmapIfFits(width, height, depth, LS_DefaultHeap, "SB_MakeIcone");
  if (bmap) bmap->Format = format;
  return bmap;
}

void SaveAndFree(BMAP* bmap, const char* destination) {
  int32_t saved = 0;
  {
    const SB_KeepFileErrors keep;
    saved = LS_SaveTga(destination, bmap, nullptr, 0);
  }
  if (!saved) SB_ConsolePrintf("Error creating file %s !!!", destination);
  SB_FreeBmap(bmap);
}

// Each colour byte divided by the pixel's alpha (at most 255); black where
// the alpha is 0.
void DivideByAlpha(BMAP* bmap) {
  for (int32_t y = 0; y < bmap->SizeY; ++y) {
    uint8_t* p = Pixel32(bmap, 0, y);
    for (int32_t x = 0; x < bmap->SizeX; ++x, p += 4) {
      const uint32_t a = p[kAlphaByte];
      for (int32_t c = 0; c < 3; ++c) p[c] = a ? static_cast<uint8_t>(std::min(p[c] * 255u / a, 255u)) : 0;
    }
  }
}

// The picture in a 32-bit alpha bitmap 100 pixels wider and higher at
// (x, y), then the finishing pass, colours divided by alpha, and the file.
void MakeAlphaPicture(const char* source, const char* destination, int32_t x, int32_t y, bool shadow) {
  BMAP* picture = LoadSourceTga(source);
  if (!picture) return;
  BMAP* icon = NewBitmap(picture->SizeX + kIconMargin, picture->SizeY + kIconMargin, 32, BMAP_ARGB8888);
  BMAP* alpha = shadow ? NewBitmap(picture->SizeX, picture->SizeY, 32, BMAP_ARGB8888) : nullptr;
  const bool ready = icon && (alpha || !shadow);
  if (ready && shadow) {
    CopyAt(picture, alpha, 0, 0);
    CopyAt(alpha, icon, x, y);
    SB_IconeShadow(alpha, icon);
  } else if (ready) {
    CopyAt(picture, icon, x, y);
  }
  SB_FreeBmapUntracked(picture);
  if (alpha) SB_FreeBmap(alpha);
  if (!ready) {
    if (icon) SB_FreeBmap(icon);
    return;
  }
  DivideByAlpha(icon);
  SaveAndFree(icon, destination);
}

// Shows a picture centred on the screen until a key is pressed.
void ShowUntilKey(BMAP* shown) {
  BMAP* screen = LS_Var.Screen;
  if (!screen) return;
  LS_Bitmove(shown, screen, 0, 0, shown->SizeX - 1, shown->SizeY - 1, (kScreenWidth - shown->SizeX) / 2,
             (kScreenHeight - shown->SizeY) / 2, LS_BLIT_OPAQUE);
  SB_WaitKey();
}

BMAP* LoadTga(const char* name) {
  const SB_KeepFileErrors keep;
  return SB_LoadTga(name);
}

void ViewTga(const char* name) {
  BMAP* picture = LoadTga(name);
  if (!picture) {
    SB_ConsolePrintf("File %s not found !!!", name);
    return;
  }
  BMAP* shown = SB_CreateBmapIfFits(picture->SizeX, picture->SizeY, 8, LS_DefaultHeap, "dev env");
  if (shown) {
    CopyAt(picture, shown, 0, 0);
    ShowUntilKey(shown);
    SB_FreeBmap(shown);
  }
  SB_FreeBmap(picture);
}

// Remapped from the picture's own palette into the console's.
void ViewPcx(const char* name) {
  BMAP* picture = nullptr;
  PALETTE* palette = nullptr;
  {
    const SB_KeepFileErrors keep;
    picture = SB_LoadPcx(name, LS_DefaultHeap);
    palette = SB_LoadPalette(name);
  }
  if (!picture) {
    SB_ConsolePrintf("File %s not found !!!", name);
  } else if (BMAP* shown =
                 SB_CreateBmapIfFits(picture->SizeX, picture->SizeY, 8, LS_DefaultHeap, "dev env")) {
    SB_RemapBmap(picture, palette, shown, &LS_Var.Palette);
    ShowUntilKey(shown);
    SB_FreeBmap(shown);
  }
  if (picture) SB_FreeBmap(picture);
  SB_FreePalette(palette);
}

bool EndsWith(const char* name, const char* extension) {
  const size_t n = std::strlen(name), e = std::strlen(extension);
  return n >= e && std::strcmp(name + n - e, extension) == 0;
}

}  // namespace

void SB_IconeShadow(const BMAP* picture, BMAP* icon) {
  const int32_t width = picture->SizeX, height = picture->SizeY;
  // Column sums of the picture's alpha over the rows under the current
  // icon row, moved down one row at a time; then a sum along them moved
  // one column at a time. The sums are exact, as those of the 121 taps.
  std::vector<uint32_t> columns(static_cast<size_t>(width), 0);
  for (int32_t y = 0; y < icon->SizeY; ++y) {
    const int32_t enters = y - kShadowTop + kShadowSize - 1, leaves = y - kShadowTop - 1;
    for (int32_t x = 0; x < width; ++x) {
      if (enters >= 0 && enters < height) columns[x] += Pixel32(picture, x, enters)[kAlphaByte];
      if (leaves >= 0 && leaves < height) columns[x] -= Pixel32(picture, x, leaves)[kAlphaByte];
    }
    uint32_t sum = 0;
    uint8_t* p = Pixel32(icon, 0, y);
    for (int32_t x = 0; x < icon->SizeX; ++x, p += 4) {
      const int32_t in = x - kShadowLeft + kShadowSize - 1, out = x - kShadowLeft - 1;
      if (in >= 0 && in < width) sum += columns[in];
      if (out >= 0 && out < width) sum -= columns[out];
      const uint32_t a = p[kAlphaByte];
      p[kAlphaByte] = static_cast<uint8_t>(255 - (255 - sum / kShadowDivisor) * (255 - a) / 255);
    }
  }
}

void SB_MakeIcone(const char* source, const char* destination) {
  MakeAlphaPicture(source, destination, kIconX, kIconY, true);
}

void SB_UnAlpha(const char* source, const char* destination) {
  MakeAlphaPicture(source, destination, kUnAlphaX, kUnAlphaY, false);
}

void SB_BmapTo16(const char* source, const char* destination) {
  BMAP* picture = LoadSourceTga(source);
  if (!picture) return;
  BMAP* copy = NewBitmap(picture->SizeX, picture->SizeY, 16, BMAP_RGB555);
  if (copy) CopyAt(picture, copy, 0, 0);
  SB_FreeBmapUntracked(picture);
  if (copy) SaveAndFree(copy, destination);
}

int32_t SB_ViewImageCommand(const SB_COMMANDWORDS& w) {
  if (EndsWith(w.Args[0], ".TGA"))
    ViewTga(w.Args[0]);
  else if (EndsWith(w.Args[0], ".PCX"))
    ViewPcx(w.Args[0]);
  else
    SB_ConsolePrintf("Unknown format !!!");
  return 1;
}

int32_t SB_MakeIconeCommand(const SB_COMMANDWORDS& w) {
  SB_MakeIcone(w.Args[0], w.Args[1]);
  return 1;
}
int32_t SB_UnAlphaCommand(const SB_COMMANDWORDS& w) {
  SB_UnAlpha(w.Args[0], w.Args[1]);
  return 1;
}
int32_t SB_BmapTo16Command(const SB_COMMANDWORDS& w) {
  SB_BmapTo16(w.Args[0], w.Args[1]);
  return 1;
}
