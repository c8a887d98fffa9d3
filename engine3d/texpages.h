// The map's textures: its texture names become software texture pages
// (pictures read from the "txt>" tree, packed first fit into 256 x 256
// pages of one 64 KB-aligned block and resampled into four mip levels) or
// are handed to the accelerator's texture manager; each name gets its
// placement record (SB_Var.TexturePlaces).
#pragma once
#include <cstdint>

#include "engine3d/textures.h"  // SB_FreeTextures

struct TEXTTRI;
struct TTEXTUREPLACE;

// When the map was newly loaded: the decor faces' texture numbers, the
// pages or the accelerator's textures, the placement records and, on the
// software path, the map faces' texture coordinates and the report of the
// least-used colours. Weak, as SB_InitTextureAddresses, so that the views
// tests' recording fakes link.
void SB_LoadMapTextures();
// The software path's mip-level texel addresses and filler selectors of
// every placement record.
void SB_InitTextureAddresses();

// In the accelerator's race, the software pages of the map's textures (as
// the selected video mode's software path makes them, without mip levels)
// and their placement records in SB_Var.EditTexturePlaces, for the
// editors; nothing in a software mode or when they are made already. They
// are released with the other pages (SB_FreeTextures).
void SB_LoadEditorTexturePages();
// The placement records of the map's texture names in the software pages,
// into the array (SB_MAXTEXTURES records).
void SB_BuildSoftTexturePlaces(TTEXTUREPLACE* places);
// Where the software pages' placement records are: SB_Var.TexturePlaces,
// or SB_Var.EditTexturePlaces in the accelerator's race.
TTEXTUREPLACE* SB_SoftTexturePlaces();

// Bytes per texel of the pages: the selected mode's texture depth / 8.
int32_t SB_TextureBytes();
// SB_Var.NbTextures held within 0 .. SB_MAXTEXTURES.
int32_t SB_TextureNameCount();
// k when n is 2^k for k = 1 .. 8, else 0.
int32_t SB_PowerOfTwoIndex(int32_t n);
// The picture file of a texture name: "txt>" + the texture path + its
// first 8 characters + ".PCX", upper-cased, into a TEXTTRI name field;
// false (and an empty field) when it does not fit.
bool SB_TextureFileName(const char* name, char* out);
// The record of that picture file among the first SB_Var.NbTextTri, or null.
TEXTTRI* SB_FindTextTri(const char* fileName);

// The steps of the software path, in their order.
void SB_LoadTexturePages();
void SB_ReadTextureSizes();
void SB_PackTextures();
// 1 when a w x h rectangle at (x, y) lies in a page and overlaps none of
// the first `placed` rectangles of the packing order on that page.
int32_t SB_TextureRectFits(int32_t x, int32_t y, int32_t w, int32_t h, int32_t page, int32_t placed);
// The page block: 0 when its heap or block is refused.
int32_t SB_AllocTexturePages();
void SB_LoadTexturesTga();
void SB_ResampleTextures();
// The mip levels of the w x h rectangle at (x, y) of a page made again
// from its texels (averaged), after they were written during a race.
void SB_ResampleTextureArea(int32_t page, int32_t x, int32_t y, int32_t w, int32_t h);
void SB_BuildTextureDescriptors();
// The map faces' texture coordinates to the size of their textures.
void SB_RescaleMapTextureCoords();
void SB_ReportTextureColors();
// Releases the four mip levels' heaps.
void SB_FreeTextureHandles();

// The accelerator's branch; 1.
int32_t POWER_LoadTextures();
