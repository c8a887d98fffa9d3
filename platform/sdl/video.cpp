// The SDL window, the presenter of the front surface, the wait for input
// of an idle loop and the message box.
#include "platform/sdl/video.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/sdl/boxsignals.h"
#include "platform/sdl/events.h"
#include "platform/sdl/lostdisplay.h"
#include "platform/window.h"

namespace plat::sdl {
namespace {

// The refresh rate assumed when the display does not tell its own.
constexpr int kDefaultRefreshHz = 60;

struct Video {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int32_t textureWidth = 0, textureHeight = 0;
  std::vector<uint32_t> frame;
  std::vector<uint8_t> shown;  // what the front showed at the last frame shown
  Uint64 lastLook = 0;         // when the front was last compared
  Uint64 refreshMs = 1000 / kDefaultRefreshHz;
  bool pending = false;
  bool forced = true;  // the window needs a frame, changed or not
  uint64_t framesShown = 0;
};
Video g_video;

// The part of the display the window shows: the client area when framed,
// else the whole mode.
Rect FrameArea() {
  if (GetWindowState().framed) {
    const ClientArea c = GetWindowClient();
    return {c.x, c.y, c.x + c.width, c.y + c.height};
  }
  const DisplayMode mode = GetDisplayMode();
  return {0, 0, mode.width, mode.height};
}

bool MakeTexture(int32_t width, int32_t height) {
  if (g_video.texture && g_video.textureWidth == width && g_video.textureHeight == height) return true;
  if (g_video.texture) SDL_DestroyTexture(g_video.texture);
  g_video.texture =
      SDL_CreateTexture(g_video.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  g_video.textureWidth = g_video.texture ? width : 0;
  g_video.textureHeight = g_video.texture ? height : 0;
  return g_video.texture != nullptr;
}

// A frame, when what the front shows changed since the last one (or the
// window asks for one): an unchanged front costs a comparison, not a
// conversion and a render.
void Show() {
  g_video.pending = false;
  g_video.lastLook = SDL_GetTicks64();
  if (!FrontDiffers(FrameArea(), g_video.shown) && !g_video.forced) return;
  g_video.forced = false;
  ++g_video.framesShown;
  SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_video.renderer);
  int32_t width = 0, height = 0;
  if (ReadFront(FrameArea(), g_video.frame, &width, &height) && MakeTexture(width, height)) {
    SDL_UpdateTexture(g_video.texture, nullptr, g_video.frame.data(), width * 4);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(g_video.renderer, &outW, &outH);
    const Rect fit = FitFrame(outW, outH, width, height);
    const SDL_Rect to{fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top};
    SDL_RenderCopy(g_video.renderer, g_video.texture, nullptr, &to);
  }
  SDL_RenderPresent(g_video.renderer);
  UpdateGeometry();
}

void Close() {
  if (g_video.texture) SDL_DestroyTexture(g_video.texture);
  if (g_video.renderer) SDL_DestroyRenderer(g_video.renderer);
  if (g_video.window) SDL_DestroyWindow(g_video.window);
  g_video = Video{};
}

int Box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  const BoxSignals closedBySignals;
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, AnsiToUtf8(caption).c_str(), AnsiToUtf8(text).c_str(),
                           g_video.window);
  return kMessageBoxOk;
}

// The desktop's size from SDL; its depth stays the configured one. The
// framed style draws in a primary surface of the desktop's size, which
// needs room in video memory.
void TakeDesktop() {
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0 || desktop.w <= 0 || desktop.h <= 0) return;
  DisplayMode mode = GetDesktopMode();
  mode.width = desktop.w;
  mode.height = desktop.h;
  SetDesktopMode(mode);
  const uint64_t bytes = uint64_t{static_cast<uint32_t>(desktop.w)} * static_cast<uint32_t>(desktop.h) * 4;
  SetVideoMemory(static_cast<uint32_t>(std::min<uint64_t>(kDefaultVideoMemory + bytes, UINT32_MAX)));
}

// SDL falls back on drivers that show nothing when no display server
// answers; only a driver asked for by name may be one of them.
bool Invisible(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool InvisibleAllowed() {
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  return asked && *asked;
}

bool Open(const std::string& title) {
  if (g_video.window) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "zentrova: no window: %s\n", SDL_GetError());
    return false;
  }
  if (!InvisibleAllowed() && Invisible(SDL_GetCurrentVideoDriver())) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "zentrova: no window: no display server answers (DISPLAY=%s)\n",
                 display ? display : "");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  EndOnLostDisplay();
  TakeDesktop();
  const DisplayMode desktop = GetDesktopMode();
  g_video.window = SDL_CreateWindow(AnsiToUtf8(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    desktop.width, desktop.height, SDL_WINDOW_FULLSCREEN_DESKTOP);
  // Vertical sync where the display offers it; a renderer without it
  // otherwise.
  if (g_video.window) g_video.renderer = SDL_CreateRenderer(g_video.window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (g_video.window && !g_video.renderer) g_video.renderer = SDL_CreateRenderer(g_video.window, -1, 0);
  if (!g_video.renderer) {
    std::fprintf(stderr, "zentrova: no window: %s\n", SDL_GetError());
    Close();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return false;
  }
  SDL_DisplayMode shown;
  if (SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(g_video.window), &shown) == 0 &&
      shown.refresh_rate > 0)
    g_video.refreshMs = static_cast<Uint64>(1000 / shown.refresh_rate);
  SDL_StartTextInput();
  SetMessageBoxBackend(Box);
  Show();
  return true;
}

void SetStyle(bool framed, int32_t width, int32_t height) {
  if (!g_video.window) return;
  if (framed) {
    SDL_SetWindowFullscreen(g_video.window, 0);
    SDL_SetWindowResizable(g_video.window, SDL_FALSE);
    SDL_SetWindowSize(g_video.window, width, height);
  } else {
    SDL_SetWindowFullscreen(g_video.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
  UpdateGeometry();
  RedrawWindow();
}

void ShowCursorNow(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void Warp(int32_t x, int32_t y) {
  if (g_video.window) SDL_WarpMouseInWindow(g_video.window, x, y);
}

void ShowState(int32_t state) {
  if (!g_video.window) return;
  if (state == kShowMinimized) {
    SDL_MinimizeWindow(g_video.window);
  } else if (state == kShowMaximized) {
    SDL_RestoreWindow(g_video.window);
    SDL_RaiseWindow(g_video.window);
  }
}

// An idle loop's wait: at most ms milliseconds, ended by input.
void WaitForInput(uint32_t ms) { SDL_WaitEventTimeout(nullptr, static_cast<int>(ms)); }

const WindowBackend kBackend = {Open, SetStyle, ShowCursorNow, Warp, ShowState};

}  // namespace

void InstallVideo() {
  SetWindowBackend(&kBackend);
  SetMessageSource(PollEvents);
  SetPresenter(FrontChanged, FlushFront);
  SetIdleWaiter(WaitForInput);
}

void CloseVideo() {
  SetIdleWaiter(nullptr);
  SetPresenter(nullptr, nullptr);
  SetMessageSource(nullptr);
  SetWindowBackend(nullptr);
  SetMessageBoxBackend(nullptr);
  if (!g_video.window) return;
  Close();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void FrontChanged() {
  if (!g_video.renderer) return;
  if (SDL_GetTicks64() - g_video.lastLook >= g_video.refreshMs)
    Show();
  else
    g_video.pending = true;
}

void FlushFront() {
  if (g_video.renderer && g_video.pending) Show();
}

void RedrawWindow() { g_video.pending = g_video.forced = g_video.renderer != nullptr; }

uint64_t FramesShown() { return g_video.framesShown; }

void UpdateGeometry() {
  if (!g_video.window) return;
  WindowGeometry g;
  SDL_GetWindowSize(g_video.window, &g.windowWidth, &g.windowHeight);
  const Rect area = FrameArea();
  g.frameWidth = area.right - area.left;
  g.frameHeight = area.bottom - area.top;
  SetWindowGeometry(g);
}

SDL_Window* Window() { return g_video.window; }
SDL_Renderer* Renderer() { return g_video.renderer; }

}  // namespace plat::sdl
