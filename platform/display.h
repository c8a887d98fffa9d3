// Display stand-in: an in-memory display with a current mode, surfaces
// (primary with its flipping chain, off-screen in video or system memory),
// locks, rectangle blits, colour fills, source colour keys, the "lost"
// state, 8-bit palettes and a fixed system palette. Every call answers with
// a DisplayResult; the controls at the end let tests shape the display.
#pragma once
#include <cstdint>
#include <vector>

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
// The desktop's mode, which RestoreDisplayMode returns to.
DisplayMode GetDesktopMode();

// The display object: opened at graphics start, closed at graphics end.
DisplayResult OpenDisplay();
void CloseDisplay();
bool DisplayOpen();

// The modes the display offers: 320 x 200, 320 x 240, 512 x 384, 640 x 400,
// 640 x 480 and 800 x 600, each at 8, 16, 24 and 32 bits per pixel.
using ModeCallback = void (*)(const DisplayMode& mode, void* context);
void EnumDisplayModes(ModeCallback callback, void* context);
// Switches to an offered mode (kDisplayInvalidMode for any other).
DisplayResult ChangeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel);
void RestoreDisplayMode();

// How the program shares the display: exclusive full screen, or normal (a
// window on the desktop, drawn through a clipper).
constexpr int32_t kCoopNone = 0;
constexpr int32_t kCoopNormal = 1;
constexpr int32_t kCoopExclusive = 2;
DisplayResult SetCooperativeLevel(int32_t level);
int32_t GetCooperativeLevel();
// Makes the window's clipper (counted, for tests).
DisplayResult CreateClipper();
int32_t ClipperCount();

// Waits for the start of the next vertical blank: the display refreshes
// 60 times a second, so this sleeps to the next 1/60 s of the clock. A
// change not yet shown is shown first.
void WaitForVerticalBlank();

// The presenter (the window back end) learns of every change of what the
// primary surface shows (copies, fills and unlocks of it, its palette) and
// is asked to show a pending change at each vertical-blank wait.
using FrontHook = void (*)();
void SetPresenter(FrontHook changed, FrontHook flush);
// Shows a change of the primary surface not yet shown (the presenter's
// flush); nothing without a presenter.
void ShowPendingFront();
// The primary surface's pixels within area (clamped to it) as 0xRRGGBB,
// rows of width pixels one after another; an 8-bit surface through its
// palette (the desktop's without one). False without a primary surface or
// when nothing of area lies on it.
bool ReadFront(const Rect& area, std::vector<uint32_t>& pixels, int32_t* width, int32_t* height);
// Whether what the primary surface shows within area (its pixels, their
// format and, at 8 bits, the palette) differs from the copy kept in last,
// which is brought up to date; the presenter shows only changed frames.
bool FrontDiffers(const Rect& area, std::vector<uint8_t>& last);
struct DisplayCaps {
  uint32_t videoMemoryTotal = 0;
  uint32_t videoMemoryFree = 0;
  bool hardware = true;
};
DisplayCaps GetDisplayCaps();
// The client area of the framed window, in display coordinates, within
// the current mode.
struct ClientArea {
  int32_t x = 0, y = 0, width = 0, height = 0;
};
ClientArea GetWindowClient();
void SetWindowClient(const ClientArea& area);

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
// the defaults: desktop and display 640 x 480 x 16 (5-6-5), 16-bit modes
// 5-6-5, 8 MiB of video memory, hardware present, client area the whole
// display, closed, no cooperative level, no presenter.
constexpr uint32_t kDefaultVideoMemory = 8u << 20;
void ResetDisplay();
// Sets the desktop's mode and puts the display in it (the SDL back end
// sets the real desktop's size).
void SetDesktopMode(const DisplayMode& mode);
// The format of 16-bit modes (5-6-5 unless a test asks for 5-5-5).
void SetSixteenBitFormat(const PixelFormat& format);
// What OpenDisplay answers from now on (kDisplayOk by default).
void SetOpenAnswer(DisplayResult result);
void SetVideoMemory(uint32_t bytes);
void SetHardware(bool present);
// The next surface creation fails with this result.
void FailNextSurfaceCreation(DisplayResult result);
// Takes the surface's memory away (a primary takes its chain with it).
void MarkSurfaceLost(Surface* surface);
// What RestoreSurface answers from now on (kDisplayOk by default).
void SetRestoreAnswer(DisplayResult result);
// The next count blits answer kDisplaySurfaceBusy.
void MakeNextBlitsBusy(int32_t count);

// The display offers only these modes from now on (every mode again after
// OfferAllModes or ResetDisplay).
struct OfferedMode {
  int32_t width, height, bitsPerPixel;
};
void OfferOnlyModes(const std::vector<OfferedMode>& modes);
void OfferAllModes();

// Observations for tests.
struct DisplayCounters {
  int32_t blits = 0, fastBlits = 0, fills = 0, flipsToGdi = 0, restores = 0;
};
DisplayCounters GetDisplayCounters();
int32_t LiveSurfaceCount();
// The number of back buffers behind a primary surface.
int32_t BackBufferCount(Surface* primary);
int32_t LivePaletteCount();

}  // namespace plat
