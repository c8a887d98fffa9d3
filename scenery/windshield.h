// The window cloud reflections: the glass runs of the prototype's glass
// mask, and a cloud picture scrolled with the car's speed and copied run
// by run into each car's glass texture.
#pragma once
#include <cstdint>

struct BMAP;
struct TSOFTSCENE;

// The glass runs of the loaded prototype set (SB_Var.GlassLines).
void initlines();
// Runs of texels of value 0 within rows y .. y + h - 1 and columns
// x .. x + w - 1 of an 8-bit mask that a non-zero texel ends; a run open at
// a row's end goes on into the next row.
int32_t SB_CountGlassLines(BMAP* mask, int32_t x, int32_t y, int32_t w, int32_t h);
// Appends the runs of each row that a non-zero texel ends to
// SB_Var.GlassLines (room for them must be there).
void SB_RecordGlassLines(BMAP* mask, int32_t x, int32_t y, int32_t w, int32_t h);
void SB_FreeGlassLines();
// Copies the clouds, offset, over the glass runs of the car's glass
// texture: its bitmap on the software renderers, the card slot's texels
// on the accelerator (halved: from half the column and row, half as long).
void SB_DrawGlassClouds(TSOFTSCENE* scene, BMAP* clouds, BMAP* glass, int32_t offsetX, int32_t offsetY,
                        int32_t halved, int32_t slot);
