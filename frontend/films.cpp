// Films at game level: a film played full screen from its file with its
// wave, paced at one frame every 66 ms, its colours converted for the
// screen and its frames zoomed x2.
#include <algorithm>
#include <cstring>

#include "frontend/media.h"
#include "shell/gameevent.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/fli.h"
#include "system/heap.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/palette.h"
#include "system/sound.h"

namespace {

constexpr int32_t kFrameMs = 66;
constexpr int32_t kEscape = 27;
constexpr int32_t kWaveWaitMs = 10;
constexpr int32_t kMinWidth = 640, kMinHeight = 480;

void CopyWhole(BMAP* source, BMAP* destination, int32_t x, int32_t y) {
  LS_Bitmove(source, destination, 0, 0, source->SizeX - 1, source->SizeY - 1, x, y, LS_BLIT_OPAQUE);
}

// Waits until frame i is due, t0 being when frame 0 showed.
void WaitForFrame(uint32_t t0, int32_t i) {
  const uint32_t due = static_cast<uint32_t>(kFrameMs) * static_cast<uint32_t>(i);
  for (uint32_t elapsed = LSYS_GetTime() - t0; elapsed < due; elapsed = LSYS_GetTime() - t0)
    LS_Wait(due - elapsed);
}

// Pumps events while the wave plays; false when Escape stopped it.
bool WaitForWave(SOUND* wave) {
  while (LS_GetSoundStatus(wave) == LS_SOUND_PLAYING) {
    SB_UpdateEvent();
    if (LS_KeyDown(kEscape)) return false;
    LS_Wait(kWaveWaitMs);
  }
  return true;
}

// A damaged film is the film's fault, not the program's: its decoding
// errors are kept rather than ending the run.
void DecodeFrame(FLI* fli) {
  SB_KeepFileErrors keep;
  LS_PlayFliFrame(fli);
}

// With zoom the frames are 8-bit in memory, for BlitFliFrame; without, in
// the screen's format.
FLI* OpenFilm(const char* name, int32_t mode, int32_t zoom, int32_t screenFormat) {
  return zoom ? LS_OpenFli(name, mode, LS_DefaultHeap, BMAP_PAL8) : LS_OpenFli(name, mode, BMAP_VIDEOMEM, screenFormat);
}

}  // namespace

bool SB_ScreenTakesFilms() {
  const BMAP* screen = LS_Var.Screen;
  return screen && screen->SizeX >= kMinWidth && screen->SizeY >= kMinHeight;
}

int32_t ConvertFliPalette(FLI* fli, int32_t format) {
  if (format == BMAP_PAL8) return 1;
  if (format != BMAP_RGB555 && format != BMAP_RGB565) {
    LS_Error(0, "Unsupported Format");
    return 1;
  }
  for (int32_t i = 0; i < 256; ++i) {
    const uint32_t r = fli->Colors[i] >> 16 & 0xFF, g = fli->Colors[i] >> 8 & 0xFF, b = fli->Colors[i] & 0xFF;
    const uint32_t pixel = format == BMAP_RGB555
                               ? LS_Comp5Table[r] << 10 | LS_Comp5Table[g] << 5 | LS_Comp5Table[b]
                               : LS_Comp5Table[r] << 11 | LS_Comp6Table[g] << 5 | LS_Comp5Table[b];
    SB_Var.FliColours[i] = pixel * 0x10001u;
  }
  return 1;
}

int32_t BlitFliFrame(BMAP* frame, BMAP* dst) {
  if (!frame || !dst || frame->Format != BMAP_PAL8 || frame->Depth != 8) return 0;
  if (dst->Depth != 8 && dst->Depth != 16) return 1;
  LS_LockBmap(frame);
  LS_LockBmap(dst);
  const int32_t w = std::min(frame->SizeX, dst->SizeX / 2), h = std::min(frame->SizeY, dst->SizeY / 2);
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* in = static_cast<const uint8_t*>(frame->Start) + static_cast<intptr_t>(y) * frame->ByteLen;
    uint8_t* out0 = static_cast<uint8_t*>(dst->Start) + static_cast<intptr_t>(2 * y) * dst->ByteLen;
    uint8_t* out1 = out0 + dst->ByteLen;
    if (dst->Depth == 8) {
      for (int32_t x = 0; x < w; ++x) {
        const uint16_t pair = static_cast<uint16_t>(in[x] * 0x101u);
        std::memcpy(out0 + 2 * x, &pair, 2);
        std::memcpy(out1 + 2 * x, &pair, 2);
      }
    } else {
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t pair = SB_Var.FliColours[in[x]];
        std::memcpy(out0 + 4 * x, &pair, 4);
        std::memcpy(out1 + 4 * x, &pair, 4);
      }
    }
  }
  LS_UnlockBmap(dst);
  LS_UnlockBmap(frame);
  return 1;
}

int32_t RunFliPlayer(FLI* fli, SOUND* wave, int32_t zoom) {
  BMAP* screen = LS_Var.Screen;
  if (!fli || !fli->Bmap || !screen) return 0;
  LS_ClearBmap(screen);
  const int32_t w = fli->Bmap->SizeX * (zoom ? 2 : 1), h = fli->Bmap->SizeY * (zoom ? 2 : 1);
  BMAP* zoomed = nullptr;
  if (zoom) {
    zoomed = SB_CreateBmap(w, h, screen->Depth, BMAP_VIDEOMEM, "RunFliPlayer");
    if (!zoomed) return 0;
    zoomed->Format = screen->Format;
  }
  const int32_t x = (screen->SizeX - w) / 2, y = (screen->SizeY - h) / 2;
  bool escaped = false;
  uint32_t t0 = 0;
  for (int32_t i = 0; i < fli->NbFrame && !escaped; ++i) {
    DecodeFrame(fli);
    if (fli->PalChanged) {
      fli->PalChanged = 0;
      LS_SetPalette(&fli->Palette);
      ConvertFliPalette(fli, screen->Format);
    }
    if (i == 0) {
      if (wave) PlaySound(wave, 0, 1);
      t0 = LSYS_GetTime();
    } else {
      WaitForFrame(t0, i);
    }
    if (zoomed) {
      BlitFliFrame(fli->Bmap, zoomed);
      CopyWhole(zoomed, screen, x, y);
    } else {
      CopyWhole(fli->Bmap, screen, x, y);
    }
    SB_UpdateEvent();
    escaped = LS_KeyDown(kEscape) != 0;
  }
  if (wave) {
    if (!escaped) WaitForWave(wave);
    StopSound(wave, 0);
  }
  if (zoomed) SB_FreeBmap(zoomed);
  return 1;
}

__attribute__((weak)) int32_t SB_PlayFli(const char* name, const char* waveName, int32_t mode, int32_t zoom) {
  BMAP* screen = LS_Var.Screen;
  if (!SB_ScreenTakesFilms() || !LS_FileExists(name)) return 0;
  FLI* fli = OpenFilm(name, mode, zoom, screen->Format);
  if (!fli) return 1;
  SOUND* wave = waveName && LS_FileExists(waveName) ? LS_LoadSound(waveName, LS_SOUNDHEAP_HARDWARE) : nullptr;
  RunFliPlayer(fli, wave, zoom);
  if (wave) LS_FreeSound(wave);
  LS_CloseFli(fli);
  return 1;
}
