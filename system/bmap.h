// Bitmaps: the BMAP record, its pixel formats, creation, locking and the
// guard of the calls that must not run while a bitmap is locked, clipped
// copies, fills, boxes, lines, pixels, and conversion between formats.
#pragma once
#include <array>
#include <cstdint>

#include "system/palette.h"

namespace plat {
struct Surface;
}

struct BMAP;
// Called with the bitmap after its lost surface was given back, to redraw.
using BMAPRESTOREPROC = int32_t (*)(BMAP* bmap);

// Kinds: where the pixels live. Other values up to 8 mean a memory bitmap
// of the default heap; a value above 8 is the heap handle of a memory
// bitmap.
constexpr uintptr_t BMAP_FRONTSCREEN = 1;
constexpr uintptr_t BMAP_BACKSCREEN = 2;
constexpr uintptr_t BMAP_VIDEOMEM = 4;  // off-screen surface in video memory
constexpr uintptr_t BMAP_SYSMEM = 8;    // off-screen surface in system memory

// Pixel-format codes.
constexpr int32_t BMAP_PAL8 = 2;        // 8-bit palette indices
constexpr int32_t BMAP_RGB555 = 4;      // red 0x7C00, green 0x03E0, blue 0x001F
constexpr int32_t BMAP_ARGB1555 = 8;    // the same with alpha 0x8000
constexpr int32_t BMAP_RGB565 = 16;     // red 0xF800, green 0x07E0, blue 0x001F
constexpr int32_t BMAP_RGB888 = 32;     // 24 bits, red in the top byte
constexpr int32_t BMAP_ARGB8888 = 64;   // 32 bits with alpha 0xFF000000
constexpr int32_t BMAP_XRGB8888 = 128;  // 32 bits, top byte unused
constexpr int32_t BMAP_BGR555 = 256;    // red and blue swapped
constexpr int32_t BMAP_ABGR1555 = 512;
constexpr int32_t BMAP_BGR565 = 1024;
constexpr int32_t BMAP_BGR888 = 2048;
constexpr int32_t BMAP_ABGR8888 = 4096;
constexpr int32_t BMAP_XBGR8888 = 8192;

// The fields keep their order; the first four are read by the 3D
// primitives. Surface pixels are at Start only while the bitmap is locked.
struct BMAP {
  int32_t ByteLen;  // bytes per line (a surface's pitch once locked)
  int32_t SizeX;
  int32_t SizeY;
  uint8_t* Start;
  uintptr_t Kind;
  plat::Surface* Surface;
  PALETTE* Palette;  // null: the current palette
  int32_t Depth;
  int32_t LockCount;
  BMAPRESTOREPROC RestoreProc;
  int32_t Texture;  // owned by the accelerator's texture manager
  int32_t Format;
};

struct PIXELFORMAT {
  uint32_t BitsPerPixel;
  uint32_t RedShift, RedBits, RedMask;
  uint32_t BlueShift, BlueBits, BlueMask;
  uint32_t GreenShift, GreenBits, GreenMask;
  uint32_t AlphaShift, AlphaBits, AlphaMask;
};

// Outstanding locks over all bitmaps.
extern int32_t LS_BmapLockCount;

// When a bitmap is locked: raises error 8 "!\nCannot execute function (%s)
// while bmap locked" with the caller's name and returns 1; else 0. Guarded
// calls return their failure value when it gives 1.
int32_t LSI_RefuseWhileLocked(const char* caller);

// Creating and freeing. kind is a kind above or a heap handle.
BMAP* LS_CreateBmap(int32_t width, int32_t height, int32_t depth, uintptr_t kind);
void LS_FreeBmap(BMAP* bmap);
void LS_SetBmapRestoreProc(BMAP* bmap, BMAPRESTOREPROC proc);
// Fills the descriptor of a format code; all zero for an unknown code.
void LS_GetPixelFormat(PIXELFORMAT* format, int32_t code);
// True for a bitmap whose pixels are a display surface.
bool LSI_IsSurfaceBmap(const BMAP* bmap);
// LS_CreateBmap leaving a memory bitmap's pixels as the heap gave them, for
// a caller that writes every one (a surface is cleared all the same).
BMAP* LSI_CreateBmapUncleared(int32_t width, int32_t height, int32_t depth, uintptr_t kind);

// Locks nest; memory bitmaps are always accessible.
void LS_LockBmap(BMAP* bmap);
void LS_UnlockBmap(BMAP* bmap);

// Copy modes of LS_Bitmove.
constexpr int32_t LS_BLIT_OPAQUE = 0;
constexpr int32_t LS_BLIT_TRANSPARENT = 1;  // source pixels of value 0 are skipped
constexpr int32_t LS_BLIT_ALPHA = 2;        // 32-bit source blended by its alpha
constexpr int32_t LS_BLIT_NOFAST = 4;       // surfaces: never the fast display copy

// Copies the source rectangle (corners inclusive, in any order) to (x, y)
// of the destination, clipped to both.
void LS_Bitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                int32_t y, int32_t mode);
// The blend of mode 2 on an already clipped rectangle.
void LS_AlphaBitmove(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     int32_t x, int32_t y);

// Drawing; corners inclusive and in any order, clipped to the bitmap.
void LS_FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
void LS_ClearBmap(BMAP* bmap);
constexpr int32_t LS_BOX_FILLED = 1;
constexpr int32_t LS_BOX_ROUNDED = 2;
constexpr int32_t LS_BOX_INVERTED = 4;  // every byte inverted instead of drawn
void LS_DrawBox(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, int32_t flags);
void LS_DrawLine(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// 0 outside the bitmap.
uint32_t LS_GetPixel(BMAP* bmap, int32_t x, int32_t y);
void LS_PutPixel8(BMAP* bmap, int32_t x, int32_t y, uint32_t colour);

// Conversion between formats. The component tables: entry i is i >> 3
// (8 to 5 bits) and i >> 2 (8 to 6 bits).
extern const std::array<uint32_t, 256> LS_Comp5Table;
extern const std::array<uint32_t, 256> LS_Comp6Table;
// Converts the pixels in place to another format of the same depth; 1 on
// success.
int32_t LS_RemapBmap(BMAP* bmap, int32_t code);
// The copy of LS_Bitmove between bitmaps of different formats, on an
// already clipped rectangle.
void LSI_BitmoveConvert(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                        int32_t x, int32_t y, int32_t mode);

// The entries of one palette as pixels of one format, with the palette's
// bytes and the code it was built for.
struct LSI_REMAPTABLE {
  uint32_t Value[256];
  PALETTE Palette;
  int32_t Format;
  int32_t Built;
  uint32_t Builds;  // how many times it was built
};
extern LSI_REMAPTABLE LSI_RemapTable;
// Builds the table for the palette (null: the current one) and format,
// unless it already holds them.
void LSI_BuildRemapTable(const PALETTE* palette, const PIXELFORMAT* format, int32_t code);
