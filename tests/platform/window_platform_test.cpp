// The window and display stand-ins' new parts: UTF-8 to Windows-1252, the
// frame's place in a window and the pointer on it, the cursor counter and
// confinement, the repaint region, display modes, the presenter's hooks and
// what the front surface shows, and the scripted joysticks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/window.h"

namespace {

using namespace plat;

TEST(Ansi, TypedTextBecomesWindows1252) {
  EXPECT_EQ(Utf8ToAnsi("a\xC3\xA9"), "a\xE9");                // é
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC"), "\x80");              // €
  EXPECT_EQ(Utf8ToAnsi("\xC5\x93\xE2\x84\xA2"), "\x9C\x99");  // œ ™
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD!"), "!");                // a character it lacks
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80x"), "x");            // beyond the BMP
  // Invalid sequences are dropped, what follows them is kept.
  EXPECT_EQ(Utf8ToAnsi("\x80"
                       "a"),
            "a");  // lone continuation
  EXPECT_EQ(Utf8ToAnsi("\xC3"
                       "b"),
            "b");  // cut sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"
                       "c"),
            "c");  // overlong "/"
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"
                       "d"),
            "d");  // a surrogate
  EXPECT_EQ(Utf8ToAnsi("\xF4\x90\x80\x80"
                       "e"),
            "e");  // beyond Unicode
  EXPECT_EQ(Utf8ToAnsi("\xFF\xFE"), "");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82"), "");  // cut at the end
  uint8_t code = 0;
  EXPECT_FALSE(UnicodeToAnsi(0x81, &code));  // a C1 control
  EXPECT_TRUE(UnicodeToAnsi(0xFF, &code));
  EXPECT_EQ(code, 0xFF);
}

TEST(Ansi, EveryAssignedCodeGoesToUtf8AndBack) {
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    const std::string utf8 = AnsiToUtf8(one);
    if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D) {
      EXPECT_EQ(utf8, "?") << c;
      continue;
    }
    EXPECT_EQ(Utf8ToAnsi(utf8), one) << c;
  }
  EXPECT_EQ(AnsiToUtf8("Num\xE9ro \x80"), "Num\xC3\xA9ro \xE2\x82\xAC");
}

class WindowState : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWindowState();
    ResetDisplay();
  }
  void TearDown() override {
    ResetWindowState();
    ResetDisplay();
  }
};

TEST_F(WindowState, TheFrameKeepsItsAspectInTheWindow) {
  const Rect same = FitFrame(1280, 960, 640, 480);
  EXPECT_EQ(same.left, 0);
  EXPECT_EQ(same.right, 1280);
  EXPECT_EQ(same.bottom, 960);
  const Rect wide = FitFrame(1920, 1080, 640, 480);
  EXPECT_EQ(wide.left, 240);
  EXPECT_EQ(wide.top, 0);
  EXPECT_EQ(wide.right, 1680);
  EXPECT_EQ(wide.bottom, 1080);
  const Rect tall = FitFrame(800, 800, 320, 200);
  EXPECT_EQ(tall.left, 0);
  EXPECT_EQ(tall.top, 150);
  EXPECT_EQ(tall.bottom, 650);
  const Rect none = FitFrame(640, 480, 0, 0);
  EXPECT_EQ(none.right, 640);
}

TEST_F(WindowState, ThePointerLandsOnFramePixels) {
  SetWindowGeometry({1920, 1080, 640, 480});
  PointerMoved(240, 0);
  int32_t x, y;
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  PointerMoved(1679, 1079);
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 639);
  EXPECT_EQ(y, 479);
  PointerMoved(10, 540);  // on the bar: the frame's edge
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 240);
  // Without geometry, window points are frame pixels.
  SetWindowGeometry({});
  PointerMoved(33, 44);
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 33);
  EXPECT_EQ(y, 44);
}

int32_t g_warpX = -1, g_warpY = -1, g_visible = -1;
void Warp(int32_t x, int32_t y) { g_warpX = x, g_warpY = y; }
void Visible(bool visible) { g_visible = visible ? 1 : 0; }

TEST_F(WindowState, CursorCounterPlacementAndConfinement) {
  const WindowBackend backend = {nullptr, nullptr, Visible, Warp, nullptr};
  SetWindowBackend(&backend);
  EXPECT_EQ(ShowCursor(false), -1);
  EXPECT_EQ(g_visible, 0);
  EXPECT_EQ(ShowCursor(false), -2);
  EXPECT_EQ(ShowCursor(true), -1);
  g_visible = -1;
  EXPECT_EQ(ShowCursor(true), 0);
  EXPECT_EQ(g_visible, 1);
  SetWindowGeometry({1280, 960, 640, 480});
  SetCursorPos(320, 240);
  EXPECT_EQ(g_warpX, 641);  // the centre of the frame pixel
  EXPECT_EQ(g_warpY, 481);
  const Rect box{10, 10, 20, 20};
  ClipCursor(&box);
  int32_t x, y;
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 19);
  EXPECT_EQ(y, 19);
  SetCursorPos(0, 100);
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 19);
  const Rect empty{5, 5, 5, 5};  // an empty box keeps its corner
  ClipCursor(&empty);
  GetCursorPos(&x, &y);
  EXPECT_EQ(x, 5);
  ClipCursor(nullptr);
  Rect kept;
  EXPECT_FALSE(GetCursorClip(&kept));
}

TEST_F(WindowState, KeysAndRegisteredNames) {
  SetKeyState(0, true);
  SetKeyState(255, true);
  SetKeyState(256, true);
  EXPECT_TRUE(KeyState(0));
  EXPECT_TRUE(KeyState(255));
  EXPECT_FALSE(KeyState(256));
  EXPECT_FALSE(KeyState(-1));
  ReleaseAllKeys();
  EXPECT_FALSE(KeyState(255));
  const uint32_t a = RegisterWindowMessage("ZIDADE");
  EXPECT_EQ(RegisterWindowMessage("ZIDADE"), a);
  EXPECT_EQ(RegisterWindowMessage("B"), a + 1);
}

TEST_F(WindowState, ManyRectanglesMergeIntoOne) {
  for (int i = 0; i < 20; ++i) {
    const Rect r{i, i, i + 2, i + 3};
    InvalidateWindow(&r);
  }
  std::vector<Rect> region = TakeUpdateRegion();
  ASSERT_LE(region.size(), 16u);
  int32_t right = 0;
  for (const Rect& r : region) right = std::max(right, r.right);
  EXPECT_EQ(right, 21);
  EXPECT_TRUE(TakeUpdateRegion().empty());
  WindowMessage m{};
  int paints = 0;
  while (PeekWindowMessage(m)) paints += m.message == kMsgPaint;
  EXPECT_EQ(paints, 20);
}

int g_changes = 0, g_flushes = 0;
void Changed() { ++g_changes; }
void Flushed() { ++g_flushes; }

class DisplayModes : public WindowState {
 protected:
  void TearDown() override {
    SetPresenter(nullptr, nullptr);
    WindowState::TearDown();
  }
  static Surface* Primary() {
    SurfaceRequest r;
    r.primary = true;
    Surface* s = nullptr;
    EXPECT_EQ(CreateSurface(r, &s), kDisplayOk);
    return s;
  }
};

TEST_F(DisplayModes, OnlyOfferedModesAreSet) {
  EXPECT_EQ(ChangeDisplayMode(800, 600, 24), kDisplayOk);
  EXPECT_EQ(GetDisplayMode().format.bitsPerPixel, 24u);
  EXPECT_EQ(GetDisplayMode().format.redMask, 0xFF0000u);
  EXPECT_EQ(ChangeDisplayMode(800, 600, 15), kDisplayInvalidMode);
  EXPECT_EQ(ChangeDisplayMode(1024, 768, 16), kDisplayInvalidMode);
  EXPECT_EQ(GetDisplayMode().width, 800);
  RestoreDisplayMode();
  EXPECT_EQ(GetDisplayMode().width, 640);
  EXPECT_EQ(GetDisplayMode().format.bitsPerPixel, 16u);
  EXPECT_EQ(SetCooperativeLevel(7), kDisplayInvalidParams);
  EXPECT_EQ(SetCooperativeLevel(kCoopExclusive), kDisplayOk);
  EXPECT_EQ(GetCooperativeLevel(), kCoopExclusive);
  EXPECT_EQ(OpenDisplay(), kDisplayOk);
  EXPECT_TRUE(DisplayOpen());
  CloseDisplay();
  EXPECT_FALSE(DisplayOpen());
  EXPECT_EQ(GetCooperativeLevel(), kCoopNone);
}

TEST_F(DisplayModes, TheClientAreaIsReadWithinTheCurrentMode) {
  SetWindowClient({0, 0, 800, 600});
  EXPECT_EQ(GetWindowClient().width, 640);
  DisplayMode desktop;
  desktop.width = 1024;
  desktop.height = 768;
  desktop.format = GetDisplayMode().format;
  SetDesktopMode(desktop);
  SetWindowClient({0, 0, 800, 600});
  EXPECT_EQ(GetWindowClient().width, 800);
  ASSERT_EQ(ChangeDisplayMode(320, 200, 8), kDisplayOk);
  EXPECT_EQ(GetWindowClient().width, 320);
  RestoreDisplayMode();
  EXPECT_EQ(GetWindowClient().width, 800);  // kept across the mode change
}

TEST_F(DisplayModes, ThePresenterHearsOfFrontChangesOnly) {
  g_changes = g_flushes = 0;
  SetPresenter(Changed, Flushed);
  Surface* front = Primary();
  SurfaceRequest r;
  r.width = r.height = 8;
  r.format = GetDisplayMode().format;
  Surface* off = nullptr;
  ASSERT_EQ(CreateSurface(r, &off), kDisplayOk);
  FillSurface(off, {0, 0, 8, 8}, 1);
  uint8_t* p;
  int32_t pitch;
  LockSurface(off, &p, &pitch);
  UnlockSurface(off);
  EXPECT_EQ(g_changes, 0);
  FillSurface(front, {0, 0, 8, 8}, 1);
  EXPECT_EQ(g_changes, 1);
  BlitFast(front, 0, 0, off, {0, 0, 8, 8}, 0);
  Blit(front, {8, 8, 16, 16}, off, {0, 0, 8, 8}, 0);
  EXPECT_EQ(g_changes, 3);
  EXPECT_NE(Blit(front, {8, 8, 16, 17}, off, {0, 0, 8, 8}, 0), kDisplayOk);  // a failed copy changes nothing
  EXPECT_EQ(g_changes, 3);
  LockSurface(front, &p, &pitch);
  UnlockSurface(front);
  EXPECT_EQ(g_changes, 4);
  PaletteEntry entries[kPaletteSize] = {};
  Palette* palette = nullptr;
  ASSERT_EQ(CreatePalette(entries, &palette), kDisplayOk);
  SetPaletteEntries(palette, 0, 1, entries);  // not shown yet
  EXPECT_EQ(g_changes, 4);
  AttachPalette(front, palette);
  SetPaletteEntries(palette, 0, 1, entries);
  EXPECT_EQ(g_changes, 6);
  UseManualClock(true);
  SetManualTime(0);
  WaitForVerticalBlank();
  EXPECT_EQ(g_flushes, 1);
  ReleasePalette(palette);
  ReleaseSurface(off);
  ReleaseSurface(front);
}

uint32_t FrontPixel(int32_t x, int32_t y) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  EXPECT_TRUE(ReadFront({0, 0, 4096, 4096}, pixels, &w, &h));
  return pixels[static_cast<size_t>(y * w + x)];
}

void Poke(Surface* s, int32_t x, int32_t y, uint32_t value) {
  uint8_t* p;
  int32_t pitch;
  ASSERT_EQ(LockSurface(s, &p, &pitch), kDisplayOk);
  const int32_t bytes = static_cast<int32_t>(GetDisplayMode().format.bitsPerPixel / 8);
  for (int32_t b = 0; b < bytes; ++b) p[y * pitch + x * bytes + b] = static_cast<uint8_t>(value >> (8 * b));
  UnlockSurface(s);
}

TEST_F(DisplayModes, TheFrontSurfaceReadsAsRgbAtEveryDepth) {
  std::vector<uint32_t> pixels;
  EXPECT_FALSE(ReadFront({0, 0, 10, 10}, pixels, nullptr, nullptr));  // no primary
  Surface* front = Primary();
  Poke(front, 0, 0, 0xF800);
  Poke(front, 1, 0, 0x07E0);
  Poke(front, 2, 0, 0x001F);
  Poke(front, 3, 0, 0xFFFF);
  EXPECT_EQ(FrontPixel(0, 0), 0xFF0000u);
  EXPECT_EQ(FrontPixel(1, 0), 0x00FF00u);
  EXPECT_EQ(FrontPixel(2, 0), 0x0000FFu);
  EXPECT_EQ(FrontPixel(3, 0), 0xFFFFFFu);
  Poke(front, 0, 1, 0x8410);  // the middle grey of 5-6-5
  EXPECT_EQ(FrontPixel(0, 1), 0x848284u);
  // An area: its pixels only, clamped to the surface.
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadFront({2, 0, 700, 1}, pixels, &w, &h));
  EXPECT_EQ(w, 638);
  EXPECT_EQ(h, 1);
  EXPECT_EQ(pixels[0], 0x0000FFu);
  EXPECT_FALSE(ReadFront({700, 0, 800, 10}, pixels, &w, &h));
  ReleaseSurface(front);

  ASSERT_EQ(ChangeDisplayMode(320, 200, 8), kDisplayOk);
  front = Primary();
  Poke(front, 0, 0, 1);
  EXPECT_EQ(FrontPixel(0, 0), 0x000055u);  // the desktop's palette: 3-3-2
  PaletteEntry entries[kPaletteSize] = {};
  entries[1] = {252, 0, 0, 0};
  Palette* palette = nullptr;
  ASSERT_EQ(CreatePalette(entries, &palette), kDisplayOk);
  AttachPalette(front, palette);
  EXPECT_EQ(FrontPixel(0, 0), 0xFC0000u);
  ReleasePalette(palette);
  ReleaseSurface(front);

  ASSERT_EQ(ChangeDisplayMode(320, 200, 24), kDisplayOk);
  front = Primary();
  Poke(front, 5, 5, 0x123456);
  EXPECT_EQ(FrontPixel(5, 5), 0x123456u);
  ReleaseSurface(front);
  ASSERT_EQ(ChangeDisplayMode(320, 200, 32), kDisplayOk);
  front = Primary();
  Poke(front, 5, 5, 0xFF654321);
  EXPECT_EQ(FrontPixel(5, 5), 0x654321u);
  ReleaseSurface(front);
}

TEST(ScriptedJoysticks, AnswerOnlyWhenPlugged) {
  ResetJoysticks();
  JoyCaps caps;
  JoyPosition position;
  EXPECT_EQ(GetJoyPosition(0, &position), kJoyUnplugged);
  EXPECT_EQ(GetJoyPosition(5, &position), kJoyBadId);
  EXPECT_EQ(GetJoyPosition(-1, &position), kJoyBadId);
  caps.xMin = 10;
  caps.xMax = 30;
  PlugJoystick(2, caps);
  PlugJoystick(9, caps);  // no such id: ignored
  ASSERT_EQ(GetJoyPosition(2, &position), kJoyOk);
  EXPECT_EQ(position.x, 20u);  // plugged centred
  EXPECT_EQ(position.y, 32767u);
  ASSERT_EQ(GetJoyCaps(2, &caps), kJoyOk);
  EXPECT_EQ(caps.xMax, 30u);
  UnplugJoystick(2);
  EXPECT_EQ(GetJoyCaps(2, &caps), kJoyUnplugged);
  ResetJoysticks();
}

}  // namespace
