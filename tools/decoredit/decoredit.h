// The decor-object editor's parts (debug mode 4): the panel, its buttons
// and drag, and the decor data it reads.
#pragma once
#include <cstdint>

struct OBJECT;
struct TDECOROBJ;

// The object moved by block index of the decor object; null when there is
// none.
OBJECT* SB_GetDecorEntry(const TDECOROBJ* object, int32_t block);
// The part of the path from its last '>' on, or the whole path.
const char* SB_PathFileName(const char* text);
void SB_DrawDecorPanel();
void SB_ReadDecorMouse();
int32_t SB_DecorPanelGrab(int32_t x, int32_t y, int32_t width, int32_t height);
int32_t SB_DecorButton(int32_t dx, int32_t dy, int32_t width, int32_t height);
int32_t SB_DecorButtonReleased();
void SB_DrawDecorFrame(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void SB_DrawDecorCursor();
