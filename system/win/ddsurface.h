// The display side of bitmaps: the surfaces behind the front screen, the
// back screen and the off-screen bitmaps of kinds 4 and 8, their locks,
// copies, fills, colour keys and restoring after a loss.
#pragma once
#include <cstdint>

#include "system/bmap.h"

// Makes the surface of a bitmap of kind 1, 2, 4 or 8 and gives it the
// colour key 0; 1 on success, else 0 after raising the error.
int32_t LSI_CreateBmapSurface(BMAP* bmap);
// Off-screen in video memory; falls back to system memory (kind 8).
int32_t InitVideoBmap(BMAP* bmap);
int32_t LSYS_InitSysMemBmap(BMAP* bmap);
// Kind 1: the primary surface; kind 2: its back buffer.
int32_t LSYS_CreateScreenBmap(BMAP* bmap);
void LSYS_FreeBmapSurface(BMAP* bmap);

// The display's answer to a lock; sets Start and ByteLen on success.
int32_t LSYS_LockSurface(BMAP* bmap);
// Locks the surface of an unlocked bitmap, restoring it when lost; 1 when
// its pixels are reachable.
int32_t LSYS_LockBmap(BMAP* bmap);
void LSYS_UnlockBmap(BMAP* bmap);

// The display's copy between two surfaces (clipped rectangle, corners
// inclusive); 0 when it does not apply because one is not a surface.
int32_t Bitmove256(BMAP* source, BMAP* destination, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x,
                   int32_t y, int32_t mode);
// The display's fill of a surface (clipped rectangle, corners inclusive).
void FillRect(BMAP* bmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);

void LSYS_SetColorKey(BMAP* bmap, uint32_t colour);
// Restores a lost surface and lets its bitmap redraw; 0 when it could not.
int32_t LSYS_RestoreBmap(BMAP* bmap);
void LSYS_RestoreScreens();
// Where the framed window's client area lies on the display; 0, 0 in
// full screen.
void LSYS_GetWindowOffset(int32_t* x, int32_t* y);
