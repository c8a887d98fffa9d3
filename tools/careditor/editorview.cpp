// What both car editors share around their loops: the 3D view set-up on
// their frame and its release, and the paint editor's background.
#include "racescene/videomode.h"
#include "racescene/views.h"
#include "scenery/framefx.h"
#include "shell/console.h"
#include "shell/gamedraw.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/input.h"
#include "tools/careditor/careditor.h"
#include "tools/careditor/paint.h"
#include "vehicles/vehicles.h"

namespace {
constexpr int32_t kWidth = 640, kHeight = 480;
constexpr int32_t kFocal = 384;
}  // namespace

int32_t SB_CarPaintRedraw(BMAP* bmap) {
  if (!bmap) return 1;
  SB_ClearBmap(bmap);
  const BMAP* console = SB_Var.DevEnvScreen;
  if (SB_Var.CarEditorSource && console)
    SB_Bitmove(SB_Var.CarEditorSource, bmap, 0, 0, console->SizeX - 1, console->SizeY - 1, 0, 0);
  return 1;
}

bool SB_CarEditorEscapeHeld() {
  constexpr int32_t kEscape = 27;
  return LS_KeyDown(kEscape) || !LSYS_KeyMayCome();
}

void SB_InitCarEditorView() {
  SB_Var.Pal3d = SB_Var.DevEnvPal;
  // The cars were made at the video mode's depth, before this palette:
  // made again for the frame they are drawn on.
  if (const BMAP* frame = SB_Var.CarEditorFrame)
    SB_PaintCarsForDisplay(SB_Var.VehicleSetups, frame->Depth, frame->Format);
  // The distances first: the user views take their room from the draw
  // distance, which outside a race may match no limits row (no room).
  SB_Var.FarDistance = 38400;
  SB_Var.DrawDistance = 300;
  SB_Var.DetailDistance = 96000;
  LS_AllocObject3D(&SB_Var.DataView, 1000, 1000);
  SB_Alloc3dBuffersTria();
  SB_AllocUserViews();
  SB_Var.PreviousView = nullptr;
  SB_Var.CurrentView = SB_Var.UserView[0];
  SB_SetViewWindow(SB_Var.CarEditorFrame, kFocal, 0, 0, kWidth, kHeight);
  SB_Var.CarEditorSpin = 0;
  for (int32_t& h : SB_Var.CarPaintHits) h = 0;
  SB_Var.CarChoicePrevious = SB_Var.CarChoiceNext = SB_Var.CarChoiceEnd = 0;
  SB_Var.CarEditorCaptured = SB_Var.CarEditorQuit = 0;
  // The cars are shaded through the light tables, which only a race has
  // made so far: made here from the light as it stands.
  SB_BuildLightTable();
  SB_ConsolePrintf("CarEditor Inits successful terminated...");
}

void SB_FreeCarPaintView() {
  LS_FreeObject3D(&SB_Var.DataView);
  SB_Free3dBuffersTria();
  SB_FreeUserViews();
  SB_Var.Pal3d = nullptr;
}

