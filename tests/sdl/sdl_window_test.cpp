// The SDL window back end on SDL's "dummy" video driver: the key table,
// key and text events into messages and key state, focus, buttons and the
// pointer, the library reading pushed events, closing, a virtual joystick,
// and the program without a reachable display.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/display.h"
#include "platform/sdl/events.h"
#include "platform/sdl/joystick.h"
#include "platform/sdl/video.h"
#include "platform/window.h"
#include "system/bmap.h"
#include "system/graphic.h"
#include "system/input.h"
#include "system/lsvar.h"
#include "system/win/shell.h"
#include "tests/support/testenv.h"

namespace {

namespace sdl = plat::sdl;

SDL_Keysym Sym(SDL_Scancode scancode, SDL_Keycode sym = SDLK_UNKNOWN, Uint16 mod = KMOD_NONE) {
  return SDL_Keysym{scancode, sym, mod, 0};
}

SDL_Event KeyEvent(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym = SDLK_UNKNOWN, Uint16 mod = 0,
                   bool repeat = false) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym = Sym(scancode, sym, mod);
  return e;
}

SDL_Event TextEvent(const char* text) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  SDL_strlcpy(e.text.text, text, sizeof e.text.text);
  return e;
}

SDL_Event WindowEvent(Uint8 event, Sint32 data1 = 0, Sint32 data2 = 0) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = event;
  e.window.data1 = data1;
  e.window.data2 = data2;
  return e;
}

// The messages queued so far (message and wParam), and their lParams.
using Sent = std::vector<std::pair<uint32_t, uintptr_t>>;
Sent Messages(std::vector<intptr_t>* lParams = nullptr) {
  Sent all;
  for (plat::WindowMessage m{}; plat::PeekWindowMessage(m);) {
    all.emplace_back(m.message, m.wParam);
    if (lParams) lParams->push_back(m.lParam);
  }
  return all;
}

// A few rows of the key table, the computed ranges' ends, and layouts that
// move letters.
TEST(VirtualKeys, KeysMapByPositionAndLettersByLayout) {
  struct Row {
    SDL_Keysym key;
    int32_t vk;
  };
  const Row rows[] = {
      {Sym(SDL_SCANCODE_0), '0'},        {Sym(SDL_SCANCODE_9), '9'},
      {Sym(SDL_SCANCODE_F1), 112},       {Sym(SDL_SCANCODE_KP_ENTER), 13},
      {Sym(SDL_SCANCODE_LSHIFT), 160},   {Sym(SDL_SCANCODE_NONUSBACKSLASH), 226},
      {Sym(SDL_SCANCODE_A, SDLK_a), 'A'}, {Sym(SDL_SCANCODE_Z, 0x3B1), 'Z'},  // a Greek layout: by position
      {Sym(SDL_SCANCODE_Z, SDLK_w), 'W'},  // a French layout: the key left of Z gives "w"
      {Sym(SDL_SCANCODE_SEMICOLON, SDLK_m), 'M'},
      {Sym(SDL_SCANCODE_F24), 0},  // not in the table
  };
  for (const Row& row : rows) EXPECT_EQ(sdl::VirtualKeyOf(row.key), row.vk) << row.key.scancode;
}

class SdlEvents : public ztest::Environment {
 protected:
  void SetUp() override {
    Environment::SetUp();
    plat::ClearWindowMessages();
  }
};

TEST_F(SdlEvents, ShiftHoldsItsSideAndItsGenericCode) {
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT));
  EXPECT_TRUE(plat::KeyState(16) && plat::KeyState(160));
  EXPECT_FALSE(plat::KeyState(161));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_SHIFT));
  sdl::TranslateEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_RSHIFT));
  EXPECT_TRUE(plat::KeyState(16));  // the right one is still held
  EXPECT_FALSE(plat::KeyState(160));
  sdl::TranslateEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT));
  EXPECT_FALSE(plat::KeyState(16));
  // The messages name the generic key.
  EXPECT_EQ(
      Messages(),
      (Sent{{plat::kMsgKeyDown, 16}, {plat::kMsgKeyDown, 16}, {plat::kMsgKeyUp, 16}, {plat::kMsgKeyUp, 16}}));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RCTRL, SDLK_RCTRL));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT));
  EXPECT_TRUE(plat::KeyState(17) && plat::KeyState(163));
  EXPECT_TRUE(plat::KeyState(18) && plat::KeyState(164));
}

TEST_F(SdlEvents, AltAndF10MakeSystemKeysAndAltStopsCharacters) {
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT));
  SDL_SetModState(KMOD_LALT);
  sdl::TranslateEvent(TextEvent("x"));
  SDL_SetModState(KMOD_NONE);
  sdl::TranslateEvent(KeyEvent(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_F10, SDLK_F10));
  EXPECT_EQ(Messages(), (Sent{{plat::kMsgSysKeyDown, 18},
                              {plat::kMsgSysKeyDown, 13},
                              {plat::kMsgSysKeyUp, 13},
                              {plat::kMsgSysKeyDown, 121}}));  // no character
  // Backspace, Tab, Enter and Escape type their characters, repeats too;
  // text arrives in Windows-1252, without the characters it lacks.
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_TAB, SDLK_TAB, 0, true));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER));
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
  sdl::TranslateEvent(
      TextEvent("\xC3\xA9\xE2\x82\xAC"
                "a\xE4\xB8\xAD\xFF"));
  std::vector<uintptr_t> characters;
  for (const auto& [message, wParam] : Messages())
    if (message == plat::kMsgChar) characters.push_back(wParam);
  EXPECT_EQ(characters, (std::vector<uintptr_t>{8, 9, 13, 27, 0xE9, 0x80, 'a'}));
}

TEST_F(SdlEvents, FocusLossReleasesEveryKeyAndButton) {
  sdl::TranslateEvent(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a));
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_MIDDLE;
  sdl::TranslateEvent(press);
  EXPECT_TRUE(plat::KeyState('A') && plat::KeyState(4));
  Messages();
  sdl::TranslateEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_FALSE(plat::KeyState('A') || plat::KeyState(4));
  sdl::TranslateEvent(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  sdl::TranslateEvent(WindowEvent(SDL_WINDOWEVENT_MOVED, 30, 40));
  std::vector<intptr_t> lParams;
  EXPECT_EQ(Messages(&lParams),
            (Sent{{plat::kMsgActivateApp, 0}, {plat::kMsgActivateApp, 1}, {plat::kMsgMove, 0}}));
  EXPECT_EQ(lParams.back(), 40 << 16 | 30);
}

TEST_F(SdlEvents, ButtonsGiveMessagesAtFramePixels) {
  plat::SetWindowGeometry({1280, 960, 640, 480});
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.x = 640;
  e.button.y = 480;
  sdl::TranslateEvent(e);
  e.button.button = SDL_BUTTON_RIGHT;
  sdl::TranslateEvent(e);
  e.type = SDL_MOUSEBUTTONUP;
  sdl::TranslateEvent(e);
  EXPECT_TRUE(plat::KeyState(1));
  EXPECT_FALSE(plat::KeyState(2));
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.x = 2;
  motion.motion.y = 4;
  sdl::TranslateEvent(motion);
  int32_t x, y;
  plat::GetCursorPos(&x, &y);
  EXPECT_EQ(std::pair(x, y), std::pair(1, 2));
  std::vector<intptr_t> lParams;  // wParam: the buttons held
  EXPECT_EQ(Messages(&lParams),
            (Sent{{plat::kMsgLButtonDown, 1}, {plat::kMsgRButtonDown, 3}, {plat::kMsgRButtonUp, 1}}));
  EXPECT_EQ(lParams[0], 240 << 16 | 320);
  sdl::TranslateEvent(WindowEvent(SDL_WINDOWEVENT_EXPOSED));
  EXPECT_EQ(plat::TakeUpdateRegion().size(), 1u);
}

// The library on SDL's dummy driver, started as the program starts it.
class SdlLibrary : public ztest::LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    sdl::InstallVideo();
    ASSERT_EQ(LSYS_CreateWindows(nullptr, 1), 1);
    ASSERT_NE(sdl::Window(), nullptr);
    StartLibrary(4u << 20);
  }
  // SDL stays initialised: SDL_Quit would unload the D-Bus library whose
  // leaks the sanitizer build suppresses by its name.
  void TearDown() override {
    LibraryTest::TearDown();
    sdl::CloseJoysticks();
    sdl::CloseVideo();
  }
  static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
};

TEST_F(SdlLibrary, PushedEventsReachTheLibrary) {
  LS_UpdateEvent();
  Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  Push(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  Push(KeyEvent(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a));
  Push(TextEvent("a"));
  EXPECT_EQ(LS_KeyDown(65), 1);  // pumps the pushed events
  EXPECT_EQ(LSYS_Shell.Active, 1);
  EXPECT_EQ(LS_GetKey(), 'a');
  EXPECT_EQ(LS_GetKey(), 0);
}

TEST_F(SdlLibrary, TheWindowFollowsTheStyle) {
  // Full screen or not, the cursor shown or not, and the frame's width.
  const auto window = [] {
    const bool full = SDL_GetWindowFlags(sdl::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    return std::tuple(full, SDL_ShowCursor(SDL_QUERY), plat::GetWindowGeometry().frameWidth);
  };
  LS_UpdateEvent();
  LSYS_SetVideoMode(640, 480, 16, 0x101);
  ASSERT_EQ(LS_Var.Style, 256);
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl::Window(), &w, &h);
  EXPECT_EQ(std::pair(w, h), std::pair(640, 480));
  EXPECT_EQ(window(), std::tuple(false, SDL_ENABLE, 640));
  LSYS_SetVideoMode(320, 200, 8, 1);
  LS_UpdateEvent();
  EXPECT_EQ(window(), std::tuple(true, SDL_DISABLE, 320));
}

TEST_F(SdlLibrary, AQuitRequestClosesTheGraphicsAndEndsWithZero) {
  LSYS_SetVideoMode(640, 480, 16, 1);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  EXPECT_EQ(ztest::ExitCodeOf([] { LS_UpdateEvent(); }), 0);
  EXPECT_EQ(LS_Var.Screen, nullptr);
  EXPECT_FALSE(plat::DisplayOpen());
}

// A frame is shown only when what the front shows changed since the last
// one shown, or when the window asks for one.
TEST_F(SdlLibrary, OnlyAChangedFrontIsShown) {
  LSYS_SetVideoMode(640, 480, 8, 1);
  PALETTE palette{};
  LS_SetPalette(&palette);
  sdl::FlushFront();
  const std::pair<std::function<void()>, uint64_t> rows[] = {
      {[] { LS_FillRect(LS_Var.Screen, 0, 0, 9, 9, 0); }, 0},  // the same pixels again
      {[] { LS_FillRect(LS_Var.Screen, 5, 5, 5, 5, 1); }, 1},
      {[&] { LS_SetPalette(&palette); }, 0},
      {[&] {
         palette.Entry[1].Red = 63;
         LS_SetPalette(&palette);
       },
       1},
      {sdl::RedrawWindow, 1},  // exposed
  };
  for (const auto& [act, frames] : rows) {
    const uint64_t before = sdl::FramesShown();
    act();
    sdl::FlushFront();
    EXPECT_EQ(sdl::FramesShown() - before, frames) << &act - &rows[0].first;
  }
}

TEST_F(SdlLibrary, AVirtualJoystickReadsBack) {
  ASSERT_TRUE(sdl::OpenJoysticks());
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
  ASSERT_GE(index, 0) << SDL_GetError();
  if (index >= 5) GTEST_SKIP() << "five joysticks are plugged in already";
  SDL_Joystick* joystick = SDL_JoystickOpen(index);
  ASSERT_NE(joystick, nullptr);
  SDL_JoystickSetVirtualAxis(joystick, 0, -32768);
  SDL_JoystickSetVirtualAxis(joystick, 1, 32767);
  SDL_JoystickSetVirtualButton(joystick, 2, 1);
  LSI_InitJoy();
  EXPECT_EQ(std::pair(LSI_Var.Joy[index].Present, LSI_Var.Joy[index].NumButtons), std::pair(1u, 4u));
  JOYPOS p{};
  ASSERT_EQ(LSYS_GetJoyPos(index + 1, &p), 1);
  EXPECT_EQ(std::tuple(p.RawX, p.RawY, p.Buttons), std::tuple(0u, 65535u, 4u));
  EXPECT_EQ(std::pair(p.X, p.Y), std::pair(-1.0, 1.0));
  SDL_JoystickClose(joystick);
  SDL_JoystickDetachVirtual(index);
  EXPECT_EQ(LSYS_GetJoyPos(index + 1, &p), 0);
}

// The built program with a display named but not answering.
TEST(SdlProgram, ADisplayThatDoesNotAnswerEndsWithOne) {
  char pattern[] = "/tmp/zentrova-nodisplay-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string root = pattern;
  const std::string log = root + "/stderr.txt";
  // Its leak check is off: SDL unloads D-Bus at exit, and the sanitizer
  // can then no longer tell D-Bus's leaks from the program's.
  const std::string command =
      "env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:97531 SDL_AUDIODRIVER=dummy "
      "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" "
      "ZENTROVA_DRIVES='C=fixed:" +
      root + "' ZENTROVA_CONFIG_DIR='" + root + "' '" ZENTROVA_EXE "' 2>'" + log + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << ztest::ReadFile(log);
  EXPECT_NE(ztest::ReadFile(log).find("zentrova: no window: "), std::string::npos) << ztest::ReadFile(log);
  std::system(("rm -rf '" + root + "'").c_str());
}

}  // namespace
