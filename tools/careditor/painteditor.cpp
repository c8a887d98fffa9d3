// The car paint editor's frame: its work bitmaps and pictures, the 3D view
// set-up the car chooser shares, and the loop that composes each pass back
// to front (background, carousel, title, controls, pointer).
#include "frontend/bmapanim.h"
#include "racescene/videomode.h"
#include "racescene/views.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/gamedraw.h"
#include "shell/gameevent.h"
#include "shell/gamepicture.h"
#include "shell/hooks.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/asm3d/zidade3d.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "tools/careditor/careditor.h"
#include "tools/careditor/paint.h"
#include "tools/tools.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

}  // namespace

void SB_FreeCarPaintBmaps() {
  SB_FreeBmap(SB_Var.CarEditorBackground);
  SB_FreeBmap(SB_Var.CarEditorFrame);
  SB_Var.CarEditorBackground = SB_Var.CarEditorFrame = nullptr;
}

int32_t SB_AllocCarPaintBmaps() {
  const int32_t depth = SB_Var.CarEditorDepth;
  SB_Var.CarEditorFrame = SB_CreateBmap(kWidth, kHeight, depth, BMAP_VIDEOMEM, "CarEditor 2");
  if (!SB_Var.CarEditorFrame) return 0;
  SB_ClearBmap(SB_Var.CarEditorFrame);
  SB_Var.CarEditorBackground = SB_CreateBmap(kWidth, kHeight, depth, BMAP_VIDEOMEM, "CarEditor 3");
  if (SB_Var.CarEditorBackground) {
    LS_SetBmapRestoreProc(SB_Var.CarEditorBackground, SB_CarPaintRedraw);
    SB_CarPaintRedraw(SB_Var.CarEditorBackground);
  }
  return 1;
}

void SB_InitCarPaintView() {
  SB_Var.CarPaintTitleX = kWidth;
  SB_InitCarEditorView();
  SB_BuildCarPaintStrips();
  SB_CarPaintRedraw(SB_Var.CarEditorBackground);
}

// Esc ends the editor; so does an input that can never come (headless, or
// the input script ended), so that a run never hangs.
void SB_CarPaintEditorLoop() {
  if (SB_CarEditorEscapeHeld()) return;
  do {
    if (SB_Var.CarEditorQuit) break;
    SB_NullHook();
    SB_PumpEvents();
    if (SB_Var.CarEditorBackground)
      SB_Bitmove(SB_Var.CarEditorBackground, SB_Var.CarEditorFrame, 0, 0, kWidth - 1, kHeight - 1, 0, 0);
    SB_UpdateClock();
    SB_ReadCarPaintMouse();
    SB_EditCarPaint();
    SB_CarPaintKeys();
    SB_TurnCarPaintCarousel();
    SB_DrawCarPaintPreview();
    SB_DrawCarPaintTitle();
    SB_DrawCarPaintControls();
    SB_DrawCarPaintPointer();
    SB_Bitmove(SB_Var.CarEditorFrame, LS_Var.Screen, 0, 0, kWidth - 1, kHeight - 1, 0, 0);
  } while (!SB_CarEditorEscapeHeld());
}

void SB_CarPaintEditor(BMAP* source, int32_t depth) {
  SB_Var.CarEditorSource = source;
  SB_Var.CarEditorDepth = depth;
  SB_SetDisplayMode(kWidth, kHeight, depth);
  // At 8 bits the frame's pixels, cars included, are indices into the
  // console's palette (the editor's 3D palette): the screen shows them so.
  if (depth == 8 && SB_Var.DevEnvPal) SB_SetPalette(SB_Var.DevEnvPal);
  if (SB_AllocCarPaintBmaps()) {
    SB_ConsolePrintf("Car editor inits...");
    SB_FlushKeyboard();
    SB_PumpEvents();
    if (SB_LoadCarPaintArt()) {
      SB_InitCarPaintView();
      SB_ResetClock();
      SB_CarPaintEditorLoop();
      SB_FreeCarPaintView();
      SB_SettleCarousel(SB_Var.NbVehicleSetups);
    } else {
      SB_ConsolePrintf("Car editor: interfac>boutons>vbara missing !!!");
    }
    SB_FreeCarPaintArt();
    SB_FlushKeyboard();
  }
  SB_FreeCarPaintBmaps();
  SB_SetDisplayMode(kWidth, kHeight, 16);
  SB_SetPalette(SB_Var.DevEnvPal);
}
