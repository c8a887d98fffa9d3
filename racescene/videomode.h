// Display modes: the switch to the selected row of the video-mode table,
// the display switch with its window state, the renderer's back end, the
// focal length, the editors' view windows and Alt+Enter. The table and the
// start-up probe are in engine3d/videotable.h.
#pragma once
#include <cstdint>

#include "engine3d/videotable.h"

struct BMAP;
struct _WINDOW;

// Switches the display to the selected row: the race overlay, the palette,
// the 3D view window and the race bitmaps; 0 when the overlay cannot be
// made.
int32_t SB_ApplyVideoMode();
int32_t SB_SetVideoMode(int32_t width, int32_t height, int32_t depth, int32_t focal, int32_t x, int32_t y,
                        int32_t viewWidth, int32_t viewHeight);
// Sets the display mode unless it is shown already with the window state
// asked for (a window only at the desktop's depth); installs the back end.
void SB_SetDisplayMode(int32_t width, int32_t height, int32_t depth);
// The renderer's routines and fillers for the depth and SB_Var.Renderer;
// library error 0 for a depth without one.
void SB_InstallRenderBackEnd(int32_t depth);
// The focal length in its four forms (below 1: refused), the view pyramid
// and the view state.
void SB_SetFocal(int32_t focal);
// The 3D view window on another bitmap (the editors), integer focal only.
void SB_SetViewWindow(BMAP* bitmap, int32_t focal, int32_t x, int32_t y, int32_t width, int32_t height);
// Switches between full screen and a window; 1 when switched, 0 when refused.
int32_t SB_ToggleFullScreen();
