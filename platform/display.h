// Display stand-in: an in-memory display with a current mode, surfaces
// (primary with its flipping chain, off-screen in video or system memory),
// locks, rectangle blits, colour fills, source colour keys, the "lost"
// state, 8-bit palettes and a fixed system palette. Every call answers with
// a DisplayResult; the controls at the end let tests shape the display.
#pragma once
#include <cstdint>

namespace plat {

enum DisplayResult : int32_t {
  kDisplayOk = 0,
  kDisplayOutOfVideoMemory,
  kDisplayInvalidPixelFormat,
  kDisplayNoHardware,
  kDisplaySurfaceLost,
  kDisplaySurfaceBusy,
  kDisplayWrongMode,
  kDisplayInvalidMode,
  kDisplayGeneric,
  kDisplayInvalidParams,
  kDisplayInvalidRect,
  kDisplayNotLocked,
};

struct Surface;
struct Palette;

struct PixelFormat {
  uint32_t bitsPerPixel = 0;
  bool indexed = false;  // 8-bit palette indices; the masks are then 0
  uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
};

// What to create: the primary surface (the display's size and format, with
// backBuffers surfaces behind it in a flipping chain) or an off-screen
// surface of the given size and format.
struct SurfaceRequest {
  bool primary = false;
  int32_t backBuffers = 0;
  int32_t width = 0, height = 0;
  PixelFormat format;
  bool systemMemory = false;  // off-screen only; else video memory
};

struct SurfaceInfo {
  int32_t width = 0, height = 0;
  PixelFormat format;
  bool primary = false;
  bool systemMemory = false;
};

// Rectangles are left, top inclusive and right, bottom exclusive.
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

constexpr uint32_t kBlitSourceKey = 1;  // skip source pixels within the key

DisplayResult CreateSurface(const SurfaceRequest& request, Surface** out);
// The first back buffer of a primary; the caller releases it too.
DisplayResult GetBackBuffer(Surface* primary, Surface** out);
DisplayResult ReleaseSurface(Surface* surface);
DisplayResult DescribeSurface(Surface* surface, SurfaceInfo* out);
bool IsInSystemMemory(Surface* surface);

// The pixels and the distance in bytes between rows; the pitch is wider
// than a row's pixels.
DisplayResult LockSurface(Surface* surface, uint8_t** pixels, int32_t* pitch);
DisplayResult UnlockSurface(Surface* surface);

// Copies equal-sized rectangles of two surfaces of one depth (the same
// surface is allowed). BlitFast is the quicker call without clipping.
DisplayResult Blit(Surface* destination, const Rect& to, Surface* source, const Rect& from, uint32_t flags);
DisplayResult BlitFast(Surface* destination, int32_t x, int32_t y, Surface* source, const Rect& from,
                       uint32_t flags);
// Fills with the colour's low bytes, as many as a pixel has.
DisplayResult FillSurface(Surface* destination, const Rect& rect, uint32_t colour);
DisplayResult SetSourceColorKey(Surface* surface, uint32_t low, uint32_t high);

// kDisplayOk, or kDisplaySurfaceLost when its memory was taken away.
DisplayResult IsSurfaceLost(Surface* surface);
// Gives a lost surface its memory back (contents undefined); restoring a
// primary restores its chain.
DisplayResult RestoreSurface(Surface* surface);

// The window's clipper on the primary surface in the framed window style.
void AttachWindowClipper(Surface* surface);
bool HasWindowClipper(Surface* surface);
// Lets the desktop draw over a full-screen flipping chain (recorded only).
void FlipToGdiSurface();

// The display mode and what the display offers.
struct DisplayMode {
  int32_t width = 640, height = 480;
  PixelFormat format;
};
DisplayMode GetDisplayMode();
struct DisplayCaps {
  uint32_t videoMemoryTotal = 0;
  uint32_t videoMemoryFree = 0;
  bool hardware = true;
};
DisplayCaps GetDisplayCaps();
// The client area of the framed window, in display coordinates.
struct ClientArea {
  int32_t x = 0, y = 0, width = 0, height = 0;
};
ClientArea GetWindowClient();

// 8-bit palettes.
struct PaletteEntry {
  uint8_t red = 0, green = 0, blue = 0, flags = 0;
};
constexpr uint8_t kPaletteReserved = 0x01;  // the entry belongs to the program
constexpr int32_t kPaletteSize = 256;

DisplayResult CreatePalette(const PaletteEntry (&entries)[kPaletteSize], Palette** out);
DisplayResult SetPaletteEntries(Palette* palette, int32_t first, int32_t count, const PaletteEntry* entries);
DisplayResult GetPaletteEntries(Palette* palette, int32_t first, int32_t count, PaletteEntry* entries);
DisplayResult AttachPalette(Surface* surface, Palette* palette);
Palette* AttachedPalette(Surface* surface);
void ReleasePalette(Palette* palette);
// The desktop's palette: a fixed palette of 3-3-2 colours (0 black, 255
// white), 8-bit components.
void GetSystemPaletteEntries(PaletteEntry (&entries)[kPaletteSize]);

// Test controls. ResetDisplay frees every surface and palette and puts back
// the defaults: 640 x 480 x 16 (5-6-5), 8 MiB of video memory, hardware
// present, client area the whole display.
constexpr uint32_t kDefaultVideoMemory = 8u << 20;
void ResetDisplay();
void SetDisplayMode(const DisplayMode& mode);
void SetVideoMemory(uint32_t bytes);
void SetHardware(bool present);
void SetWindowClient(const ClientArea& area);
// The next surface creation fails with this result.
void FailNextSurfaceCreation(DisplayResult result);
// Takes the surface's memory away (a primary takes its chain with it).
void MarkSurfaceLost(Surface* surface);
// What RestoreSurface answers from now on (kDisplayOk by default).
void SetRestoreAnswer(DisplayResult result);
// The next count blits answer kDisplaySurfaceBusy.
void MakeNextBlitsBusy(int32_t count);

// Observations for tests.
struct DisplayCounters {
  int32_t blits = 0, fastBlits = 0, fills = 0, flipsToGdi = 0, restores = 0;
};
DisplayCounters GetDisplayCounters();
int32_t LiveSurfaceCount();
int32_t LivePaletteCount();

}  // namespace plat
