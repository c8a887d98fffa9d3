// The game's layer over the accelerator's device: the screen device, the
// render context SB_Var.SglContext, the render callback into the 3D view
// window, the error report, the inset's render region and the
// texture-memory overlay, and the wait for the end of a render.
#pragma once
#include <cstdint>

#include "engine3d/texcache.h"  // POWER_InitTextureCache
#include "engine3d/types.h"
#include "platform/accel/types.h"

struct _WINDOW;

// Depth 16 or 24; 1 when the device was made (its handle in
// SB_Var.SglDevice), 0 with a message otherwise.
int32_t POWER_CreateScreenDevice(int32_t width, int32_t height, int32_t depth);
// Deletes the device if there is one; 1.
int32_t POWER_DeleteScreenDevice();
// The window frames are rendered into, and the context's defaults.
void POWER_InitSglContext(_WINDOW* window);
// Fills the twiddle table and registers the render callback; 1 when the
// library took it.
int32_t POWER_InstallRenderCallback();
// The library's callback: locks the render window (until the wait for the
// end of the render) and says where its pixels are; 0.
int32_t sgl_render_callback(SGLRENDERTARGET* target);
int32_t POWER_UnlockRenderWindow();
// Waits until the render the frame began has finished, then unlocks the
// render window.
void POWER_WaitRenderDone();
// After the named library call: 0 with a message when its latest error is
// one other than full texture memory, else 1.
int32_t POWER_CheckErrors(const char* name);
// Narrows the render region to the pixel rectangle's regions and rewrites
// it on the region grid; the first narrowing keeps the region to restore.
void POWER_SetInsetViewport(int32_t& x, int32_t& y, int32_t& width, int32_t& height);
void POWER_RestoreViewport();
// Four lines on the race overlay: free card textures by size and kind, and
// the free memory.
void POWER_ShowTextureMemInfo();

// Fills SB_Var.TwiddleTable.
void SB_InitTwiddleTable();
