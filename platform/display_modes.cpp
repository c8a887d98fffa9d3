// The in-memory display's state, modes, desktop, cooperative level,
// vertical blank and presenter hooks.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/display_state.h"

namespace plat {
namespace {

struct Size {
  int32_t width, height;
};
constexpr Size kModeSizes[] = {{320, 200}, {320, 240}, {512, 384}, {640, 400}, {640, 480}, {800, 600}};
constexpr int32_t kModeDepths[] = {8, 16, 24, 32};
constexpr int32_t kRefreshRate = 60;

// The desktop depth the user configured, or 16.
int32_t ConfiguredDesktopDepth() {
  const char* value = std::getenv("ZENTROVA_DESKTOP_DEPTH");
  if (!value) return 16;
  const int32_t depth = std::atoi(value);
  return depth == 8 || depth == 16 || depth == 24 || depth == 32 ? depth : 16;
}

PixelFormat FormatFor(int32_t bitsPerPixel, const PixelFormat& sixteen) {
  if (bitsPerPixel == 16) return sixteen;
  PixelFormat f;
  f.bitsPerPixel = static_cast<uint32_t>(bitsPerPixel);
  if (bitsPerPixel == 8) {
    f.indexed = true;
  } else {
    f.redMask = 0xFF0000;
    f.greenMask = 0x00FF00;
    f.blueMask = 0x0000FF;
  }
  return f;
}

// Defaults; the desktop depth is taken from the environment only when
// asked, so that tests get the same display on every machine.
void Defaults(State& st, int32_t desktopDepth) {
  st.sixteen = Rgb565();
  st.desktop.format = FormatFor(desktopDepth, st.sixteen);
  st.mode = st.desktop;
  st.client = {0, 0, st.mode.width, st.mode.height};
}

bool Offered(int32_t width, int32_t height, int32_t bitsPerPixel) {
  const std::vector<OfferedMode>& only = S().only;
  if (!only.empty())
    return std::any_of(only.begin(), only.end(), [&](const OfferedMode& m) {
      return m.width == width && m.height == height && m.bitsPerPixel == bitsPerPixel;
    });
  const bool size = std::any_of(std::begin(kModeSizes), std::end(kModeSizes),
                                [&](const Size& s) { return s.width == width && s.height == height; });
  return size &&
         std::find(std::begin(kModeDepths), std::end(kModeDepths), bitsPerPixel) != std::end(kModeDepths);
}

}  // namespace

State& S() {
  static State state = [] {
    State s;
    Defaults(s, ConfiguredDesktopDepth());
    return s;
  }();
  return state;
}

PixelFormat Rgb565() {
  PixelFormat f;
  f.bitsPerPixel = 16;
  f.redMask = 0xF800;
  f.greenMask = 0x07E0;
  f.blueMask = 0x001F;
  return f;
}

PixelFormat FormatOfDepth(int32_t bitsPerPixel) { return FormatFor(bitsPerPixel, S().sixteen); }

bool Live(const Surface* surface) {
  const auto& all = S().surfaces;
  return surface && std::find(all.begin(), all.end(), surface) != all.end();
}

Surface* FindPrimary() {
  for (Surface* s : S().surfaces)
    if (s->primary) return s;
  return nullptr;
}

void NoteFrontChanged(const Surface* surface) {
  if (surface && surface->primary && S().changed) S().changed();
}

DisplayMode GetDisplayMode() { return S().mode; }
DisplayMode GetDesktopMode() { return S().desktop; }

DisplayResult OpenDisplay() {
  if (S().openAnswer != kDisplayOk) return S().openAnswer;
  S().open = true;
  return kDisplayOk;
}

void CloseDisplay() {
  S().open = false;
  S().cooperativeLevel = kCoopNone;
}

bool DisplayOpen() { return S().open; }

void EnumDisplayModes(ModeCallback callback, void* context) {
  if (!callback) return;
  for (const Size& size : kModeSizes)
    for (int32_t depth : kModeDepths) {
      if (!Offered(size.width, size.height, depth)) continue;
      DisplayMode mode;
      mode.width = size.width;
      mode.height = size.height;
      mode.format = FormatOfDepth(depth);
      callback(mode, context);
    }
}

DisplayResult ChangeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (!Offered(width, height, bitsPerPixel)) return kDisplayInvalidMode;
  S().mode.width = width;
  S().mode.height = height;
  S().mode.format = FormatOfDepth(bitsPerPixel);
  return kDisplayOk;
}

void RestoreDisplayMode() { S().mode = S().desktop; }

DisplayResult SetCooperativeLevel(int32_t level) {
  if (level != kCoopNormal && level != kCoopExclusive) return kDisplayInvalidParams;
  S().cooperativeLevel = level;
  return kDisplayOk;
}

int32_t GetCooperativeLevel() { return S().cooperativeLevel; }

DisplayResult CreateClipper() {
  ++S().clippers;
  return kDisplayOk;
}

int32_t ClipperCount() { return S().clippers; }

void WaitForVerticalBlank() {
  ShowPendingFront();
  const uint64_t now = TickMs();
  const uint64_t next = now * kRefreshRate / 1000 + 1;
  const uint64_t at = (next * 1000 + kRefreshRate - 1) / kRefreshRate;
  SleepMs(static_cast<uint32_t>(at - now));
}

void ShowPendingFront() {
  if (S().flush) S().flush();
}

void SetPresenter(FrontHook changed, FrontHook flush) {
  S().changed = changed;
  S().flush = flush;
}

ClientArea GetWindowClient() {
  const DisplayMode& mode = S().mode;
  ClientArea a = S().client;
  a.x = std::clamp(a.x, 0, mode.width);
  a.y = std::clamp(a.y, 0, mode.height);
  a.width = std::clamp(a.width, 0, mode.width - a.x);
  a.height = std::clamp(a.height, 0, mode.height - a.y);
  return a;
}

void SetWindowClient(const ClientArea& area) { S().client = area; }

void ResetDisplay() {
  State& st = S();
  for (Surface* s : st.surfaces) delete s;
  for (Palette* p : st.palettes) delete p;
  st = State{};
  Defaults(st, 16);
}

void OfferOnlyModes(const std::vector<OfferedMode>& modes) { S().only = modes; }

void OfferAllModes() { S().only.clear(); }

void SetDesktopMode(const DisplayMode& mode) {
  S().desktop = mode;
  S().mode = mode;
  S().client = {0, 0, mode.width, mode.height};
}

void SetSixteenBitFormat(const PixelFormat& format) {
  S().sixteen = format;
  if (S().desktop.format.bitsPerPixel == 16) S().desktop.format = format;
  if (S().mode.format.bitsPerPixel == 16) S().mode.format = format;
}

void SetOpenAnswer(DisplayResult result) { S().openAnswer = result; }

int32_t BackBufferCount(Surface* primary) {
  return Live(primary) ? static_cast<int32_t>(primary->chain.size()) : 0;
}

}  // namespace plat
