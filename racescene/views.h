// The user views, the data view and what a view needs before a frame:
// rotation lookup tables, projection slopes, the view pyramid, and the
// per-map preparations (the map load, cube distances, face start codes).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine3d/types.h"

struct FIXFRAME;
struct _WINDOW;

// Both user views with their arrays, limits from the draw distance (300,
// 225, 150; any other keeps them); freeing clears the current and the
// previous view.
void SB_AllocUserViews();
void SB_FreeUserViews();
// The current view becomes the previous one; the other view (the second
// user view at the first swap) is filled next.
// The user view the next frame draws into: the previous one, or the
// second before any swap.
TSOFTSCENE* SB_DrawnView();
void SB_SwapViewBuffers();
// Bytes of a view's vertex array: room for the larger of the two paths.
size_t SB_ViewVertexBytes();
// Empties a view for the software renderer.
void SB_ResetUserView(TSOFTSCENE* view);
// The software rasteriser's three work buffers (a second call frees the
// first ones).
void SB_Alloc3dBuffersTria();
void SB_Free3dBuffersTria();

// Prepares a view for the camera and window with a focal length and a far
// distance (the last argument is not read), and empties it.
void SB_SetView(TSOFTSCENE* view, TCAMERA* camera, _WINDOW* window, int32_t focal, int32_t far, int32_t reserved);
void SB_UpdateRotationTables(const FIXFRAME* frame);
void SB_UpdateRotationTable(int32_t coefficient, int32_t* cached, int32_t* table);
void SB_FillRotationTable(int32_t* table, int32_t coefficient);
// After a focal or window change: every table stale, the first view
// current, the far distance 38400 and the software map's state reset.
void SB_ResetViewState();
// The four planes of the view pyramid of the window (SB_Var.ViewPyramid).
void SB_BuildViewPyramid(const _WINDOW* window);

// Race set-up and tear-down: the data view and the two user views (the
// current view becomes the first, no previous view, follow camera).
void SB_CreateDataView();
void SB_FreeDataView();
// The map of SB_Var.DecorMapFile, or built from SB_Var.AsciiMapFile and
// written there; 1 on success.
int32_t SB_LoadMap();
void SB_FreeMap();
// Once per newly loaded map: the centre-line indices of the map cubes, the
// software faces' start codes (the software textures' mip addresses:
// engine3d/texpages.h).
void SB_InitCubeDistances();
void SB_InitFaceStartVertices();
