// The car editors: the turning carousel of the vehicle setups both show,
// the paint editor's passes and the menu car chooser's.
#pragma once
#include <cstdint>

// The carousel (one step and one preview per pass, paint editor and
// chooser variants).
void SB_TurnCarPaintCarousel();
void SB_TurnCarCarousel();
void SB_DrawCarPaintPreview();
void SB_DrawCarCarousel();
// Poses car index (angles in radians, position in metres) and submits it
// to the current view; nothing for an index out of the cars or an empty
// slot.
void SB_PlaceEditorCar(int32_t index, double a1, double a2, double a3, double x, double y, double z);
// At the end of an editor: the centred setup of n becomes the selection,
// the row at rest on it.
void SB_SettleCarousel(int32_t n);
// The non-negative remainder of k by n (n > 0).
int32_t SB_CarouselMod(int32_t k, int32_t n);

// The 3D set-up both editors share around their loops (the view window on
// SB_Var.CarEditorFrame), and its release.
void SB_InitCarEditorView();
void SB_FreeCarPaintView();
// The editors' mouse reading: the last one kept, x and y clamped to at
// most 639 and 479, the cursor put back there only when it lay beyond.
void SB_ReadCarPaintMouse();
// Whether the editors' loops end: Esc held, or no input can come any more.
bool SB_CarEditorEscapeHeld();
// The paint editor's strips, rebuilt from the selected setup's deltas.
void SB_BuildCarPaintStrips();

// The paint editor's frame and background ("CarEditor 2" and 3, the
// background redrawn by its restore procedure; 0 without a frame) and
// their release; its view set-up (the shared one, the strips, the
// background) and its loop of passes until Esc.
int32_t SB_AllocCarPaintBmaps();
void SB_FreeCarPaintBmaps();
void SB_InitCarPaintView();
void SB_CarPaintEditorLoop();

// The menu car chooser: its bitmaps forgotten (the frame is the menus'
// back screen; 1), its loop of passes until Esc or a leaving item, one
// pass's items (the flags the arrows and the car area raised) and keys
// (the arrow keys as the screen's arrows), the interface cursor drawn on
// the back screen, the back screen shown, and its end: the centred setup
// chosen, the cars freed and their count and the texture reduction given
// back, MAIN MENU. The chooser reads the mouse as the paint editor does
// (SB_ReadCarPaintMouse).
int32_t SB_ResetCarChooserBmaps();
void SB_Careditorloop();
void SB_CarChooserItems();
void SB_CarChooserKeys();
void SB_DrawCarChooserCursor();
void SB_ShowMenuBackScreen();
void SB_EndCarEditor(int32_t cars, int32_t reduction);
