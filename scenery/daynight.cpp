// The day/night cycle and the light colour: the light level, its
// timetable, its developer keys, and the colours and switches it sets.
#include "scenery/daynight.h"

#include <algorithm>
#include <cmath>

#include "scenery/effects.h"
#include "scenery/framefx.h"
#include "scenery/mapkeys.h"
#include "shell/gameevent.h"
#include "shell/keyfile.h"
#include "shell/sbvar.h"

namespace {

constexpr double kNight = 12.0, kTwilight = 5.0, kStars = 10.0, kDusk = 7.0;
constexpr double kCycleRate = 0.0002;  // a full fade in 60 s
constexpr double kKeyRate = 0.002;     // 12 levels in 6 s
constexpr int32_t kF6 = 117, kF7 = 118, kF8 = 119;

uint32_t Channel(uint32_t c, int shift) { return c >> shift & 0xFF; }

uint32_t Rgb(double r, double g, double b) {
  return static_cast<uint32_t>(r * 255) << 16 | static_cast<uint32_t>(g * 255) << 8 |
         static_cast<uint32_t>(b * 255);
}

// The light's colour at level L, the glare added and each sum held to 1.0,
// then the tint: into both colour triples of the render context.
void SetLightColour(double L) {
  const float* g = SB_Var.SunGlare;
  const float* k = SB_Var.LightTint;
  double r, gr, b;
  if (L < kDusk) {
    const double m = L / kDusk;
    r = 0.8, gr = 0.9 - 0.4 * m, b = 1.0 - 0.7 * m;
  } else {
    const double n = std::min((L - kDusk) / 3.0, 1.0);
    r = 0.8 - 0.8 * n, gr = 0.5 - 0.5 * n, b = 0.3 - 0.1 * n;
  }
  r = std::min(r + g[0], 1.0) * k[0];
  gr = std::min(gr + g[1], 1.0) * k[1];
  b = std::min(b + g[2], 1.0) * k[2];
  SGLCONTEXT& c = SB_Var.SglContext;
  c.FogRed = c.BackRed = static_cast<float>(r);
  c.FogGreen = c.BackGreen = static_cast<float>(gr);
  c.FogBlue = c.BackBlue = static_cast<float>(b);
  SB_Var.SunLightColor = Rgb(r, gr, b);
}

}  // namespace

uint32_t SB_LerpColor(uint32_t a, uint32_t b, double f) {
  uint32_t out = 0;
  for (int shift : {16, 8, 0}) {
    const double ca = Channel(a, shift), cb = Channel(b, shift);
    const double v = std::clamp(std::floor(ca + (cb - ca) * f + 0.5), 0.0, 255.0);
    out |= static_cast<uint32_t>(v) << shift;
  }
  return out;
}

__attribute__((weak)) void SB_ResetDayNight() {
  SB_Var.DayNightStart = SB_Var.Time;
  SB_Var.DayNightPos = SB_Var.Time;
  SB_Var.LightLevel = SB_Var.LightTarget = 0.0;
}

void SB_FadeToNight(double rate) { SB_Var.LightTarget = kNight, SB_Var.LightRate = rate; }
void SB_FadeToDay(double rate) { SB_Var.LightTarget = 0.0, SB_Var.LightRate = rate; }
void SB_FadeToTwilight(double rate) { SB_Var.LightTarget = kTwilight, SB_Var.LightRate = rate; }

__attribute__((weak)) void SB_UpdateDayNight() {
  if (SB_Var.Renderer != SB_RENDERER_PVR) return;
  if (SB_Var.DrawDevInfo || SB_Var.EditorMode) {
    if (SB_KeyDown(kF7)) SB_FadeToNight(kKeyRate);
    if (SB_KeyDown(kF6)) SB_FadeToDay(kKeyRate);
    if (SB_KeyDown(kF8)) SB_FadeToTwilight(kKeyRate);
  }
  SB_DayNightCycle();
  SB_StepLightLevel();
}

// The cycle's clock in 64-bit milliseconds: a period of none or fewer
// seconds (the kiosk's setting takes any number) runs no cycle.
void SB_DayNightCycle() {
  if (!SB_Var.DayNightOn || SB_Var.DayNightPeriod <= 0) return;
  const int64_t period = static_cast<int64_t>(SB_Var.DayNightPeriod) * 1000;
  const int64_t pos =
      static_cast<int64_t>(static_cast<uint32_t>(SB_Var.Time - SB_Var.DayNightStart)) % period;
  const int32_t times[4] = {SB_Var.StartNight1, SB_Var.EndNight1, SB_Var.StartNight2, SB_Var.EndNight2};
  for (int32_t i = 0; i < 4; ++i) {
    const int64_t t = static_cast<int64_t>(times[i]) * 1000;
    if (pos < t || SB_Var.DayNightPos >= t) continue;
    if (i % 2 == 0)
      SB_FadeToNight(kCycleRate);
    else
      SB_FadeToDay(kCycleRate);
  }
  SB_Var.DayNightPos = pos;
}

void SB_StepLightLevel() {
  double& L = SB_Var.LightLevel;
  const double step = SB_Var.FrameTime * SB_Var.LightRate;
  if (SB_Var.LightTarget > L)
    L = std::min(L + step, SB_Var.LightTarget);
  else if (SB_Var.LightTarget < L)
    L = std::max(L - step, SB_Var.LightTarget);
  SB_Var.DayTime = L < kStars;
  SetLightColour(L);
  const double d = std::min(L / kDusk, 1.0);
  SB_Var.LightColor = SB_LerpColor(SB_Var.DayColor, SB_Var.NightColor, d);
  SB_Var.AmbientLevel = 0.5 + 0.5 * d;
  const double q = std::min(L * 0.1, 1.0);
  SB_Var.DayFactor = std::sqrt(1.0 - q);
  SB_Var.SunDrop = -q * SB_Var.SunPos[1];
  SB_Var.NightDepthFactor = 1.0 + 3.0 * std::min(L / kNight, 1.0);
  SB_Var.SkyScale = 1.0;
  SB_Var.StarsOn = L >= kStars;
  SB_Var.SkyColor = L < kStars ? SB_LerpColor(0xFFFFFF, 0x000000, L * 0.1)
                               : SB_LerpColor(0x000000, 0xFFFFFF, (L - kStars) * 0.5);
  SB_Var.HeadlightsOn = L >= kTwilight;
  SB_BuildLightTable();
}

__attribute__((weak)) void SB_SetLightTint(float red, float green, float blue) {
  SB_Var.LightTint[0] = red, SB_Var.LightTint[1] = green, SB_Var.LightTint[2] = blue;
}

// The sun's direction, normalised (a sun at the origin gives none), and
// its copy scaled for the fixed-point shading; then the light tables.
__attribute__((weak)) void SB_SetLightDirection() {
  const double x = SB_Var.SunPos[0], y = SB_Var.SunPos[1], z = SB_Var.SunPos[2];
  const double length = std::sqrt(x * x + y * y + z * z);
  const double k = length > 0.0 && std::isfinite(length) ? 1.0 / length : 0.0;
  SB_Var.LightDir = {x * k, y * k, z * k};
  constexpr double kFixed = 1.0 / 8192.0;
  SB_Var.LightDirScaled = {SB_Var.LightDir.x * kFixed, SB_Var.LightDir.y * kFixed,
                           SB_Var.LightDir.z * kFixed};
  SB_BuildLightTable();
}

__attribute__((weak)) void SB_BuildLightTable() {
  const uint32_t c = SB_Var.LightColor;
  const float* k = SB_Var.LightTint;
  float* last = SB_Var.LightTableTint;
  if (SB_Var.LightTableBuilt && c == SB_Var.LightTableColor && k[0] == last[0] && k[1] == last[1] &&
      k[2] == last[2])
    return;
  SB_Var.LightTableBuilt = 1;
  SB_Var.LightTableColor = c;
  for (int32_t i = 0; i < 3; ++i) last[i] = k[i];
  const uint32_t C[3] = {Channel(c, 16), Channel(c, 8), Channel(c, 0)};
  for (uint32_t e = 0; e < 256; ++e) {
    uint32_t lit = 0, white = 0;
    for (int32_t i = 0; i < 3; ++i) {
      const int shift = 16 - 8 * i;
      lit |= static_cast<uint32_t>(static_cast<float>(C[i] * (255 - e) / 255) * k[i]) << shift;
      white |= static_cast<uint32_t>(static_cast<float>(255 - e) * k[i]) << shift;
    }
    SB_Var.LightTables[0][e] = lit;
    SB_Var.LightTables[1][e] = white;
  }
}

__attribute__((weak)) void SB_ReadNightTimes(TKEYFILE* keys) {
  if (SB_Var.ZoriraDemo) {
    const int32_t cycle = SB_Var.ZoriraNightDay;
    SB_Var.EndNight1 = cycle;
    SB_Var.DayNightPeriod = static_cast<int32_t>(std::min<int64_t>(int64_t{cycle} + 5, INT32_MAX));
    SB_Var.StartNight1 = cycle / 2;
    return;
  }
  const struct {
    const char* key;
    int32_t* time;
    int32_t missing;
  } kTimes[] = {{"STARTNIGHT1: %d", &SB_Var.StartNight1, 150},
                {"ENDNIGHT1: %d", &SB_Var.EndNight1, 240},
                {"STARTNIGHT2: %d", &SB_Var.StartNight2, 510},
                {"ENDNIGHT2: %d", &SB_Var.EndNight2, 660}};
  for (const auto& t : kTimes)
    if (SB_ScanKeyFile(keys, 1, t.key, {t.time}) != 1) *t.time = t.missing;
}
