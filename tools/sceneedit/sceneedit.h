// The scene editor (debug mode 5) as its parts reach each other: the
// window toolkit, the map view with its markers, the tools of the Tools
// window and the route tool.
#pragma once
#include <cstdint>

#include "tools/types.h"

struct BMAP;
struct _WINDOW;

// ---- Window toolkit ----
TTOOLWINDOW* SB_CreateToolWindow(int32_t x, int32_t y, int32_t width, int32_t height, const char* title,
                                 TTOOLWINDOW* parent);
TTOOLBUTTON* SB_AddToolButton(TTOOLWINDOW* window, int32_t x, int32_t y, int32_t width, int32_t height,
                              const char* label);
// Each releases its record and clears every toolkit reference to it.
void SB_FreeToolButton(TTOOLBUTTON* button);
void SB_FreeToolWindow(TTOOLWINDOW* window);
// A 16-bit pixel: 5-5-5 for the screen format code 4, 5-6-5 otherwise.
uint32_t SB_RgbToPixel16(int32_t r, int32_t g, int32_t b);
// The pixel of (r, g, b) on a bitmap of this depth: the 3D palette's
// nearest entry at 8 bits, else SB_RgbToPixel16.
uint32_t SB_ToolPixel(const BMAP* target, int32_t r, int32_t g, int32_t b);
void SB_DrawBevelBox(BMAP* bmap, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style);
void SB_DrawToolButtons(BMAP* target, TTOOLBUTTON* first);
void SB_DrawToolTitle(TTOOLWINDOW* window);
void SB_DrawToolWindow(TTOOLWINDOW* window);
void SB_UpdateToolHover(TTOOLWINDOW* windows);
void SB_UpdateToolClick(TTOOLWINDOW* windows);
void SB_DragToolWindow(TTOOLWINDOW* windows);
// 1 when the mouse is over no window of the list (and for no list).
int32_t SB_MouseOutsideWindows(TTOOLWINDOW* windows);
void SB_ReadEditorMouse(BMAP* view);
void SB_BlitToolWindows(TTOOLWINDOW* windows, BMAP* view);
// The picture of the slot (loaded from the TGA file on first use) at the
// mouse less the hot spot, colour 0 transparent.
void SB_DrawCursorPicture(BMAP** slot, BMAP* view, const char* file, int32_t hotX, int32_t hotY);
// The line cut to the window's rectangle and drawn by its line primitive;
// nothing when an end stays outside.
void SB_ToolDrawLine(_WINDOW* window, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour);
// A fresh press and a release of this frame.
bool SB_EditorPressed();
bool SB_EditorReleased();

// ---- Map view ----
// The pixel of the world point: 1, or 0 for a point that is not a number,
// which is given a pixel far off the view. Far points are held about 1e9
// pixels out, where the line clipper drops them.
int32_t SB_WorldToMapView(const BMAP* view, double x, double y, double z, int32_t* px, int32_t* py);
void SB_MapViewToWorld(const BMAP* view, int32_t px, int32_t py, double* x, double* z);
void E3D_CalcMap(BMAP* view);
void SB_DrawMapView(BMAP* view);
BMAP* rotstretch(BMAP* picture, double scale, double angle);
void SB_RecolourBmap16(BMAP* bmap, uint32_t colour);
void displayobject(BMAP* view);
// A TGA picture copied into a new bitmap of the depth, tagged with owner;
// null when the file is missing or unreadable.
BMAP* SB_LoadToolPicture(const char* file, int32_t depth, const char* owner);

// ---- Frame and tools ----
void SB_InitToolsWindow();
void SB_ToolSelect(TTOOLWINDOW* windows, BMAP* view);
void SB_ToolMove(TTOOLWINDOW* windows);
void SB_ToolRotY(TTOOLWINDOW* windows);
void SB_ToolRotX(TTOOLWINDOW* windows);
void SB_ToolRotZ(TTOOLWINDOW* windows);
void SB_ToolHand(TTOOLWINDOW* windows);
void SB_ToolLoupe(TTOOLWINDOW* windows, BMAP* view);
void SB_DrawHandDrag(BMAP* view);
void SB_DrawSelectBox(BMAP* view);
void SB_DrawEditorCursor(BMAP* view, TTOOLWINDOW* windows);
// The car's index is in the game (through the hook; 0 without one).
bool SB_SceneCarInGame(int32_t car);
// True while the tool's button is the active tool.
bool SB_ToolActive(int32_t tool);

// ---- Route ----
int32_t SB_FindRouteSegment(BMAP* view, double* distance);
void SB_ToolRoute(TTOOLWINDOW* windows, BMAP* view);
void SB_DrawMapBspline(BMAP* view);
void SB_SelectRoutePoints(TTOOLWINDOW* windows, BMAP* view);
