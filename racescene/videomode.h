// Display modes: the start-up probe, the display switch with its window
// state, the renderer's back end, the focal length, the editors' view
// windows and Alt+Enter.
#pragma once
#include <cstdint>

struct BMAP;
struct _WINDOW;

// Marks the table's rows the display offers, with their formats; asks
// whether the accelerator answers.
void SB_InitVideoModes();
// 1 when the display offers the mode; its format code in SB_Var.VideoProbe.
int32_t SB_ProbeVideoMode(int32_t width, int32_t height, int32_t depth);
void SB_CheckVideoModeCallback(BMAP* mode);
// The screen's format code when it is 16 bits deep, else 5-5-5.
int32_t SB_GetScreen16Format();
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
