// The track editor's set-up, release and per-frame loop: its work bitmaps
// and panel picture, the Space reset, and the frame's order of input and
// drawing onto the race overlay.
#include <cstdint>
#include <cstring>

#include "engine3d/matrix.h"
#include "engine3d/texpages.h"
#include "scenery/effects.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/gamepicture.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/heap.h"
#include "system/input.h"
#include "tools/editors.h"
#include "tools/trackedit/trackedit.h"
#include "tools/txtanim/txtanim.h"
#include "track/ground.h"

namespace {

constexpr const char* kPicture = "pcx>editor.pcx";
constexpr int32_t kKeySpace = 0x20;
constexpr int32_t kStartZoom = 16, kResetZoom = 4;

int32_t Nearest(int32_t r, int32_t g, int32_t b) {
  return SB_Var.Pal3d ? SB_FindNearestColor(SB_Var.Pal3d, r, g, b) : 0;
}

void FreeIfMade(BMAP*& bmap) {
  if (bmap) SB_FreeBmap(bmap);
  bmap = nullptr;
}

// The work bitmaps and the panel picture in the 3D palette; a message
// naming what failed, everything made freed, and 0 on failure.
int32_t MakeBitmaps() {
  const char* failed = nullptr;
  SB_Var.EditView = SB_CreateBmap(640, 480, 8, 0, "SB_Edit");
  SB_Var.EditViewSpare = SB_CreateBmap(640, 480, 8, 0, "SB_Edit 2");
  SB_Var.EditTileBmap = SB_CreateBmap(640, 480, 8, 0, "SB_Edit 3");
  if (!SB_Var.EditView || !SB_Var.EditViewSpare || !SB_Var.EditTileBmap) failed = "work bitmap";
  if (!failed) {
    LS_InitWindowFull(SB_Var.EditTileBmap, &SB_Var.EditTileWindow, 12);
    SB_Var.EditorPicture = SB_LoadPcx(kPicture, LS_DefaultHeap);
    PALETTE* palette = SB_LoadPalette(kPicture);
    if (!SB_Var.EditorPicture || SB_Var.EditorPicture->Depth != 8 || !palette) failed = kPicture;
    else if (SB_Var.Pal3d) SB_RemapBmap(SB_Var.EditorPicture, palette, SB_Var.EditorPicture, SB_Var.Pal3d);
    if (palette) SB_FreePalette(palette);
  }
  if (!failed) return 1;
  SB_ConsolePrintf("Track editor unavailable (%s) !!!", failed);
  SB_FreeEdit();
  return 0;
}

// Zoom 4, scroll 0, grid on, tool 2, no drag; the perspective switch stays.
void ResetView(int32_t zoom) {
  SB_Var.EditZoom = zoom;
  SB_SetEditZoom(zoom);
  SB_Var.EditScrollX = SB_Var.EditScrollY = 0;
  SB_Var.EditOutlines = 0;
  SB_Var.EditGrid = 1;
  SB_Var.EditTool = 2;
  SB_Var.EditDrag = 0;
  SB_Var.EditZoomInLit = SB_Var.EditZoomOutLit = 0;
}

// The 8-bit view on the overlay of either depth, through the 3D palette.
void CopyViewToOverlay() {
  SB_Var.EditView->Palette = SB_Var.Pal3d;
  SB_Bitmove(SB_Var.EditView, SB_Var.TextScreen, 0, 0, 639, 479, 0, 0);
}

// The tools and the panel over the view, in their drawing order.
void DrawTools() {
  if (SB_Var.Edit3DView) SB_MoveEditPerspective();
  SB_DrawEditGrid();
  SB_DrawEditCameraAndCars();
  SB_SelectEditTiles();
  SB_SelectCameraAndCars();
  SB_SelectBsplinePoints();
  SB_RecordMove();
  SB_DrawEditBspline();
  SB_DrawEditTexturePath();
  SB_DrawEditButtonShadows();
  SB_DrawEditCursorShadow();
  SB_DrawEditButtons();
  SB_DrawEditMouse();
  SB_DrawEditCursor();
}

}  // namespace

void SB_Edit() {
  if (!MakeBitmaps()) return;
  // The top view draws the cube map, whose list the accelerator's race
  // does not build for itself.
  SB_BuildCubeXZYList();
  SB_Var.EditClearColor = Nearest(23, 23, 63);
  ResetView(kStartZoom);
  SB_Var.Edit3DView = 0;
  SB_Var.Edit3DPos[0] = SB_Var.Edit3DPos[1] = 0.0;
  SB_Var.Edit3DPos[2] = 1000.0;
  E3D_MatFromAngles(SB_Var.Edit3DMatrix, 0.0, 0.0, 0.0);
  SB_Var.Edit3DFocal = 100.0;
  SB_Var.EditOutlineColor = Nearest(63, 0, 63);
  if (SB_Var.NbCars > 0) std::memset(SB_Var.EditCarSelected, 0, sizeof SB_Var.EditCarSelected[0] * SB_Var.NbCars);
  SB_Var.EditCameraSelected = 0;
  SB_RedrawEditView();
}

void SB_FreeEdit() {
  SB_TxtAnimFree();  // the texture-animation editor is freed with the others
  FreeIfMade(SB_Var.EditViewSpare);
  FreeIfMade(SB_Var.EditView);
  FreeIfMade(SB_Var.EditTileBmap);
  FreeIfMade(SB_Var.EditorPicture);
}

void SB_EnterEdit() {
  if (!SB_Var.EditView) {  // not set up: back to the race
    SB_Var.DebugMode = 0;
    return;
  }
  SB_LoadEditorTexturePages();
  SB_RedrawEditView();
  std::memcpy(SB_Var.EditEntryTexturePath, SB_Var.TexturePath, sizeof SB_Var.EditEntryTexturePath);
}

void SB_UpdateEdit() {
  if (!SB_Var.EditView || !SB_Var.TextScreen) return;
  const bool space = LS_KeyDown(kKeySpace) != 0;
  if (space) {
    ResetView(kResetZoom);
    SB_Var.EditOutlineColor = Nearest(63, 0, 63);
    SB_RedrawEditView();
  }
  SB_ReadEditMouse();
  SB_EditTexturePath();
  SB_DragCameraAndCars();
  SB_EditInput();
  SB_EditButtons();
  SB_EditBsplinePoints();
  CopyViewToOverlay();
  if (!space) DrawTools();
  if ((SB_Var.Buttons & 3) == 0) SB_Var.EditDrag = 0;
  SB_Copy3dScreen();
}
