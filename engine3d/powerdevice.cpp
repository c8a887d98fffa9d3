// The game's layer over the accelerator's device: screen device, render
// context, render callback and the wait for the end of a render, error
// report, the inset's render region and the texture-memory overlay.
#include "engine3d/power.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/accel/sgl.h"
#include "platform/clock.h"
#include "shell/console.h"
#include "shell/gameclock.h"
#include "shell/sbvar.h"
#include "system/bmap.h"
#include "system/error.h"
#include "system/input.h"

namespace {

constexpr uint32_t kFlagsDefault = 0x406;
constexpr float kFogRed = 0.8f, kFogGreen = 0.9f, kFogBlue = 1.0f;
constexpr uint32_t kRenderWaitMs = 250;
constexpr int32_t kKeyControl = 17, kKeyX = 88;
constexpr int32_t kTextureFullError = SGL_ERR_TEXTURE_MEMORY_FULL;

// The window's first pixel, its bitmap's bytes per line and its bits per
// pixel (15 for the 5-5-5 format). A pitch the record cannot hold leaves
// the address null, which the library refuses.
void DescribeWindow(const _WINDOW& window, SGLRENDERTARGET& target) {
  const BMAP* bmap = window.W_BMAP;
  if (!bmap || bmap->ByteLen < 0 || bmap->ByteLen > 0xFFFF) return;
  target.FirstPixel = window.W_ADDRESS;
  target.BytesPerLine = static_cast<uint16_t>(bmap->ByteLen);
  target.BitsPerPixel = static_cast<uint8_t>(bmap->Format == BMAP_RGB555 ? 15 : bmap->Depth & 0xFF);
}

// Region words of the render area, in the context's order.
int32_t* RegionWords() { return &SB_Var.SglContext.FirstXRegion; }

}  // namespace

int32_t POWER_CreateScreenDevice(int32_t width, int32_t height, int32_t depth) {
  if (depth != 16 && depth != 24) {
    LS_Message("PWRVR : Unsupported render depth");
    return 0;
  }
  const int32_t type = depth == 16 ? SGL_DEVICE_16BIT : SGL_DEVICE_24BIT;
  SB_Var.SglDevice = sgl_create_screen_device(0, width, height, type, 0);
  if (SB_Var.SglDevice < 0) {
    LS_Message("PWVR : Cannot create screen device (%ld)", static_cast<long>(SB_Var.SglDevice));
    return 0;
  }
  return 1;
}

int32_t POWER_DeleteScreenDevice() {
  if (SB_Var.SglDevice >= 0) sgl_delete_device(SB_Var.SglDevice);
  SB_Var.SglDevice = -1;
  return 1;
}

void POWER_InitSglContext(_WINDOW* window) {
  SB_Var.SglWindow = window;
  SGLCONTEXT& c = SB_Var.SglContext;
  std::memset(&c, 0, sizeof c);
  c.FogOn = 1;
  c.FogRed = c.BackRed = kFogRed;
  c.FogGreen = c.BackGreen = kFogGreen;
  c.FogBlue = c.BackBlue = kFogBlue;
  c.Flags = SB_Var.Flat ? 0 : kFlagsDefault;
  c.Option36 = c.Option52 = c.Option68 = 1;
  c.ShadeFactor = 0.5f;
  c.LevelBias = -3;
}

int32_t POWER_InstallRenderCallback() {
  SB_InitTwiddleTable();
  return sgl_use_address_mode(sgl_render_callback, &SB_Var.SglStatus) >= 0 ? 1 : 0;
}

int32_t sgl_render_callback(SGLRENDERTARGET* target) {
  _WINDOW* window = SB_Var.SglWindow;
  if (!window) {
    LS_Error(21, "no window defined for sgl_render_callback");
    return 0;
  }
  const uint32_t start = SB_GetTime();
  LS_LockWindow(window);
  SB_Var.SglLockTime = static_cast<int32_t>(SB_GetTime() - start);
  if (target) DescribeWindow(*window, *target);
  return 0;
}

int32_t POWER_UnlockRenderWindow() {
  if (SB_Var.SglWindow) LS_UnlockWindow(SB_Var.SglWindow);
  return 0;
}

// Until the library sets bit 0 of its status word, at most 250 ms, or at
// once with Ctrl+X held; the test sleeps 1 ms between tries. Without a
// status word there is no render to wait for. Weak, so that tests can put
// a recording fake in its place.
__attribute__((weak)) void POWER_WaitRenderDone() {
  const uint32_t start = SB_GetTime();
  for (;;) {
    if (!SB_Var.SglStatus || (*SB_Var.SglStatus & 1)) break;
    if (SB_GetTime() - start >= kRenderWaitMs) break;
    if (LS_KeyDown(kKeyX) && LS_KeyHeld(kKeyControl)) break;
    plat::SleepMs(1);
  }
  SB_Var.SglWaitTime = static_cast<int32_t>(SB_GetTime() - start);
  POWER_UnlockRenderWindow();
}

int32_t POWER_CheckErrors(const char* name) {
  int32_t earliest = 0, latest = 0;
  sgl_get_errors(&earliest, &latest);
  if (latest >= 0 || latest == kTextureFullError) return 1;
  LS_Message("Error (%s %ld %ld)", name ? name : "", static_cast<long>(earliest), static_cast<long>(latest));
  return 0;
}

// Without the regions-per-pixel factors (no frame begun) nothing is
// narrowed: the arithmetic would divide by zero.
void POWER_SetInsetViewport(int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  SGLCONTEXT& c = SB_Var.SglContext;
  const double sx = c.XRegionsPerPixel, sy = c.YRegionsPerPixel;
  if (!(sx > 0.0) || !(sy > 0.0)) return;
  if (!SB_Var.ViewportSaved) {
    std::memcpy(SB_Var.SavedViewport, RegionWords(), sizeof SB_Var.SavedViewport);
    SB_Var.ViewportSaved = 1;
  }
  const double fx = std::floor(x * sx), fy = std::floor(y * sy);
  const double fw = std::floor(width * sx), fh = std::floor(height * sy);
  c.FirstXRegion = static_cast<int32_t>(fx);
  c.FirstYRegion = static_cast<int32_t>(fy);
  c.LastXRegion = static_cast<int32_t>(fx + fw - 1);
  c.LastYRegion = static_cast<int32_t>(fy + fh - 1);
  x = static_cast<int32_t>(fx / sx);
  y = static_cast<int32_t>(fy / sy);
  width = static_cast<int32_t>(fw / sx);
  height = static_cast<int32_t>(fh / sy);
}

void POWER_RestoreViewport() {
  if (SB_Var.Renderer != SB_RENDERER_PVR || !SB_Var.ViewportSaved) return;
  std::memcpy(RegionWords(), SB_Var.SavedViewport, sizeof SB_Var.SavedViewport);
  SB_Var.ViewportSaved = 0;
}

void POWER_ShowTextureMemInfo() {
  static const char* const kRows[3] = {"8\t[32]:%2d [64]:%2d [128]:%2d [256]:%2d",
                                       "16\t[32]:%2d [64]:%2d [128]:%2d [256]:%2d",
                                       "MM\t[32]:%2d [64]:%2d [128]:%2d [256]:%2d"};
  SGLTEXMEMINFO info{};
  sgl_get_free_texture_mem_info(&info);
  char text[96];
  for (int32_t row = 0; row < 3; ++row) {
    const uint16_t* n = info.FreeTextures[row];
    std::snprintf(text, sizeof text, kRows[row], n[0], n[1], n[2], n[3]);
    SB_DrawSysText(text, SB_Var.TextScreen, 10, 190 + 10 * row);
  }
  std::snprintf(text, sizeof text, "FreeMem:%4dko,      LargestBlock:%4dko", static_cast<int>(info.FreeMemory / 1024),
                static_cast<int>(info.LargestBlock / 1024));
  SB_DrawSysText(text, SB_Var.TextScreen, 10, 220);
}
