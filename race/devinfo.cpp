// Developer statistics: the scene maxima kept for the end of the race, the
// overlay of frame statistics in the system font, and the stopwatch
// around the car update.
#include "race/devinfo.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "net/net.h"
#include "net/netplayer.h"
#include "race/racerules.h"
#include "racescene/race3d.h"
#include "shell/sbvar.h"
#include "softrender/softrender.h"
#include "system/font.h"
#include "system/lsvar.h"

namespace {

constexpr int32_t kSessionTop = 300;  // "PLAYER MAX"; the players' lines from 316
constexpr int32_t kLineHeight = 8;

// The length of the text last drawn at each line of the overlay: a shorter
// text that follows is padded with blanks over it, since where no view
// covers the overlay nothing else clears it ("P815" would show "P8150").
constexpr int32_t kLines = 480 / kLineHeight;
size_t g_drawnLength[kLines];
const BMAP* g_drawnOn = nullptr;  // a new overlay holds none of them

void DrawLine(int32_t x, int32_t y, const char* format, ...) __attribute__((format(printf, 3, 4)));
void DrawLine(int32_t x, int32_t y, const char* format, ...) {
  char text[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (g_drawnOn != SB_Var.TextScreen) {
    g_drawnOn = SB_Var.TextScreen;
    for (size_t& n : g_drawnLength) n = 0;
  }
  const size_t length = std::strlen(text);
  if (y >= 0 && y / kLineHeight < kLines) {
    size_t& drawn = g_drawnLength[y / kLineHeight];
    for (size_t n = length; n < drawn && n + 1 < sizeof text; ++n) text[n] = ' ', text[n + 1] = '\0';
    drawn = length;
  }
  LS_DrawString(LS_Var.SysFont, SB_Var.TextScreen, text, x, y, LS_BLIT_OPAQUE);
}

// A network state's name; states past the table show "?".
const char* StateName(uint8_t state) { return state < NET_NBXSTATENAMES ? NET_XStateNames[state] : "?"; }

void DrawSession() {
  DrawLine(0, kSessionTop, "PLAYER MAX: %ld", static_cast<long>(SB_Var.NetMaxPlayers));
  DrawLine(0, kSessionTop + kLineHeight, "SERVER MAX: %ld", static_cast<long>(SB_Var.NetControllerMax));
  const int32_t players = SB_NetPlayerCount();
  for (int32_t i = 0; i < players; ++i) {
    const CTRL_PLAYER& p = SB_Var.NetPlayers[i];
    DrawLine(0, kSessionTop + (2 + i) * kLineHeight, "P(%ld), U(%ld), XS(%s)", static_cast<long>(i),
             static_cast<long>(p.InUse), StateName(p.XState));
  }
}

}  // namespace

void SB_DrawDevInfo() {
  if (const TSOFTSCENE* scene = SB_Var.UserView[1]) {
    SB_Var.MaxPolygons = std::max(SB_Var.MaxPolygons, scene->NbPolygons);
    SB_Var.MaxSceneVertices = std::max(SB_Var.MaxSceneVertices, scene->NbVertices);
  }
  if (!SB_Var.DrawDevInfo || !SB_Var.TextScreen || !LS_Var.SysFont) return;
  if (SB_Var.FrameTime != 0)
    DrawLine(0, 0, "%ld W%ld L%ld R%ld P%ld", static_cast<long>(1000 / SB_Var.FrameTime),
             static_cast<long>(SB_Var.SglWaitTime), static_cast<long>(SB_Var.SglLockTime),
             static_cast<long>(SB_Var.SglRenderTime), static_cast<long>(SB_Var.NbPolysDrawn));
  if (NET_IsConnected()) DrawSession();
  DrawLine(0, kLineHeight, "M%ld", static_cast<long>(SB_Var.ProfileAverage));
}

void SB_ProfileStart() {
  if (SB_Var.DrawDevInfo) E3D_StartTimer();
}

// Each measure adds its low 32 bits, as the counter's readers did; the
// total and the count keep 64 bits, so that a long race's total does not
// wrap and spoil the average.
void SB_ProfileStop() {
  if (!SB_Var.DrawDevInfo) return;
  SB_Var.ProfileTicks += static_cast<uint32_t>(E3D_ElapsedTime());
  ++SB_Var.ProfileCalls;
  SB_Var.ProfileAverage = SB_Var.ProfileTicks / SB_Var.ProfileCalls;
}
