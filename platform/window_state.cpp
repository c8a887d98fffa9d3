// The program's window as state: style, back end, message source,
// registered messages, geometry, key state, cursor and repaint region.
#include <algorithm>
#include <array>
#include <bitset>
#include <map>

#include "platform/clock.h"
#include "platform/window.h"

namespace plat {
namespace {

constexpr uint32_t kFirstRegistered = 0xC000;
// More rectangles than this are merged into one.
constexpr size_t kRegionRects = 16;
// The whole window: the paint handler limits it to the screen.
constexpr Rect kWholeWindow = {0, 0, 32767, 32767};

struct Window {
  const WindowBackend* backend = nullptr;
  MessageSource source = nullptr;
  WindowState state;
  WindowGeometry geometry;
  std::map<std::string, uint32_t> registered;
  std::bitset<256> keys;
  std::bitset<256> tapped;  // went down since the game last read the key
  std::array<uint32_t, 256> tappedAt{};
  int32_t cursorCount = 0;
  int32_t cursorX = 0, cursorY = 0;
  bool clipped = false;
  Rect clip;
  std::vector<Rect> region;
  std::vector<int32_t> shown;
  uint64_t pumps = 0;
  uint32_t pumpClockStep = 0;  // ms of the manual clock per pass
};

Window& W() {
  static Window window;
  return window;
}

void KeepInClip(int32_t* x, int32_t* y) {
  const Window& w = W();
  if (!w.clipped) return;
  *x = std::clamp(*x, w.clip.left, std::max(w.clip.left, w.clip.right - 1));
  *y = std::clamp(*y, w.clip.top, std::max(w.clip.top, w.clip.bottom - 1));
}

Rect Union(const Rect& a, const Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace

uint32_t RegisterWindowMessage(const std::string& name) {
  auto& registered = W().registered;
  const auto found = registered.find(name);
  if (found != registered.end()) return found->second;
  const uint32_t number = kFirstRegistered + static_cast<uint32_t>(registered.size());
  registered.emplace(name, number);
  return number;
}

void SetMessageSource(MessageSource source) { W().source = source; }
MessageSource GetMessageSource() { return W().source; }

void PollMessageSource() {
  if (W().source) W().source();
}

bool InputMayArrive() { return W().source || WindowMessageWaiting(); }

void SetWindowBackend(const WindowBackend* backend) { W().backend = backend; }
bool Headless() { return !W().backend; }

bool OpenWindows(const std::string& title) {
  Window& w = W();
  if (w.backend && w.backend->open && !w.backend->open(title)) return false;
  w.state.open = true;
  w.state.framed = false;
  w.state.title = title;
  return true;
}

void SetWindowStyle(bool framed, int32_t width, int32_t height) {
  Window& w = W();
  w.state.framed = framed;
  w.state.width = width;
  w.state.height = height;
  if (w.backend && w.backend->setStyle) w.backend->setStyle(framed, width, height);
}

const WindowState& GetWindowState() { return W().state; }

void ShowWindowState(int32_t state) {
  Window& w = W();
  w.shown.push_back(state);
  if (w.backend && w.backend->show) w.backend->show(state);
}

const std::vector<int32_t>& ShownWindowStates() { return W().shown; }

void CountPump() {
  Window& w = W();
  ++w.pumps;
  if (w.pumpClockStep && IsManualClock()) AdvanceManualTime(w.pumpClockStep);
}

void SetPumpClockStep(uint32_t ms) { W().pumpClockStep = ms; }
uint64_t PumpCount() { return W().pumps; }

void SetWindowGeometry(const WindowGeometry& geometry) { W().geometry = geometry; }
const WindowGeometry& GetWindowGeometry() { return W().geometry; }

Rect FitFrame(int32_t w, int32_t h, int32_t fw, int32_t fh) {
  if (w <= 0 || h <= 0 || fw <= 0 || fh <= 0) return {0, 0, std::max(w, 0), std::max(h, 0)};
  // The larger scale that fits both ways: w / fw or h / fh.
  int64_t width = w, height = h;
  if (int64_t{w} * fh > int64_t{h} * fw)
    width = int64_t{h} * fw / fh;
  else
    height = int64_t{w} * fh / fw;
  const int32_t x = static_cast<int32_t>((w - width) / 2), y = static_cast<int32_t>((h - height) / 2);
  return {x, y, x + static_cast<int32_t>(width), y + static_cast<int32_t>(height)};
}

void SetKeyState(int32_t key, bool down) {
  if (key < 0 || key >= 256) return;
  Window& w = W();
  const auto k = static_cast<size_t>(key);
  // Only a fresh press latches: a key's repeats while held add nothing.
  if (down && !w.keys[k]) {
    w.tapped[k] = true;
    w.tappedAt[k] = TickMs();
  }
  w.keys[k] = down;
}

bool KeyState(int32_t key) { return key >= 0 && key < 256 && W().keys[static_cast<size_t>(key)]; }

bool ReadKeyState(int32_t key) {
  if (key < 0 || key >= 256) return false;
  Window& w = W();
  const auto k = static_cast<size_t>(key);
  const bool tap = w.tapped[k] && TickMs() - w.tappedAt[k] <= kKeyTapLifeMs;
  w.tapped[k] = false;
  return w.keys[k] || tap;
}

void ForgetKeyTaps() { W().tapped.reset(); }

void ReleaseAllKeys() {
  W().keys.reset();
  W().tapped.reset();
}

int32_t ShowCursor(bool show) {
  Window& w = W();
  const bool before = w.cursorCount >= 0;
  w.cursorCount += show ? 1 : -1;
  const bool after = w.cursorCount >= 0;
  if (before != after && w.backend && w.backend->showCursor) w.backend->showCursor(after);
  return w.cursorCount;
}

int32_t CursorCount() { return W().cursorCount; }

void SetCursorPos(int32_t x, int32_t y) {
  Window& w = W();
  KeepInClip(&x, &y);
  w.cursorX = x;
  w.cursorY = y;
  if (!w.backend || !w.backend->warpCursor) return;
  const WindowGeometry& g = w.geometry;
  const Rect fit = FitFrame(g.windowWidth, g.windowHeight, g.frameWidth, g.frameHeight);
  if (g.frameWidth <= 0 || g.frameHeight <= 0) return;
  // The window point at the centre of the frame pixel.
  const int64_t fitW = fit.right - fit.left, fitH = fit.bottom - fit.top;
  w.backend->warpCursor(fit.left + static_cast<int32_t>((2 * int64_t{x} + 1) * fitW / (2 * g.frameWidth)),
                        fit.top + static_cast<int32_t>((2 * int64_t{y} + 1) * fitH / (2 * g.frameHeight)));
}

void GetCursorPos(int32_t* x, int32_t* y) {
  if (x) *x = W().cursorX;
  if (y) *y = W().cursorY;
}

void PointerMoved(int32_t windowX, int32_t windowY) {
  Window& w = W();
  const WindowGeometry& g = w.geometry;
  int32_t x = windowX, y = windowY;
  const Rect fit = FitFrame(g.windowWidth, g.windowHeight, g.frameWidth, g.frameHeight);
  const int64_t fitW = fit.right - fit.left, fitH = fit.bottom - fit.top;
  if (g.frameWidth > 0 && g.frameHeight > 0 && fitW > 0 && fitH > 0) {
    // Points on the bars beside a scaled frame land on its nearest edge.
    x = static_cast<int32_t>(
        std::clamp<int64_t>((windowX - fit.left) * int64_t{g.frameWidth} / fitW, 0, g.frameWidth - 1));
    y = static_cast<int32_t>(
        std::clamp<int64_t>((windowY - fit.top) * int64_t{g.frameHeight} / fitH, 0, g.frameHeight - 1));
  }
  KeepInClip(&x, &y);
  w.cursorX = x;
  w.cursorY = y;
}

void ClipCursor(const Rect* rect) {
  Window& w = W();
  w.clipped = rect != nullptr;
  if (!rect) return;
  w.clip = *rect;
  KeepInClip(&w.cursorX, &w.cursorY);
}

bool GetCursorClip(Rect* rect) {
  if (rect && W().clipped) *rect = W().clip;
  return W().clipped;
}

void InvalidateWindow(const Rect* rect) {
  std::vector<Rect>& region = W().region;
  region.push_back(rect ? *rect : kWholeWindow);
  if (region.size() > kRegionRects) {
    Rect all = region.front();
    for (const Rect& r : region) all = Union(all, r);
    region.assign(1, all);
  }
  PostWindowMessage({kMsgPaint, 0, 0});
}

std::vector<Rect> TakeUpdateRegion() {
  std::vector<Rect> region;
  region.swap(W().region);
  return region;
}

void ResetWindowState() {
  W() = Window{};
  ClearWindowMessages();
  ClearBroadcastMessages();
}

}  // namespace plat
