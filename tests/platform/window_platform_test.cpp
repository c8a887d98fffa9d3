// The window stand-in: UTF-8 to Windows-1252, the frame's place in a window
// and the pointer on it, the cursor counter and confinement, registered
// names, the held keys with their latched presses, the repaint region and
// the input script of headless runs. Show
// states and broadcasts are shown by tests/race/kiosk_test.cpp, keys and
// joysticks out of range by tests/system/input_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ansi.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/inputscript.h"
#include "platform/window.h"

namespace {

using namespace plat;
using Box = std::array<int32_t, 4>;

TEST(Ansi, TypedTextBecomesWindows1252) {
  // é converts (every other code: the round trip below); a character it
  // lacks, one beyond the BMP, a lone continuation, a cut sequence, an
  // overlong "/", a surrogate and a code beyond Unicode are dropped, and
  // what follows them is kept.
  const std::pair<const char*, const char*> texts[] = {{"a\xC3\xA9", "a\xE9"},
                                                       {"\xE4\xB8\xAD!", "!"},
                                                       {"\xF0\x9F\x98\x80x", "x"},
                                                       {"\x80g", "g"},
                                                       {"\xC3h", "h"},
                                                       {"\xC0\xAFi", "i"},
                                                       {"\xED\xA0\x80j", "j"},
                                                       {"\xF4\x90\x80\x80k", "k"},
                                                       {"\xE2\x82", ""}};
  for (const auto& [utf8, ansi] : texts) EXPECT_EQ(Utf8ToAnsi(utf8), ansi) << utf8;
  uint8_t code = 0;
  EXPECT_FALSE(UnicodeToAnsi(0x81, &code));  // a C1 control
  EXPECT_TRUE(UnicodeToAnsi(0xFF, &code));
  EXPECT_EQ(code, 0xFF);
}

TEST(Ansi, EveryAssignedCodeGoesToUtf8AndBack) {
  for (int c = 1; c < 256; ++c) {
    const std::string one(1, static_cast<char>(c));
    const bool unassigned = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
    if (unassigned)
      EXPECT_EQ(AnsiToUtf8(one), "?") << c;
    else
      EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(one)), one) << c;
  }
  EXPECT_EQ(AnsiToUtf8("Num\xE9ro \x80"), "Num\xC3\xA9ro \xE2\x82\xAC");
}

class WindowState : public ::testing::Test {
 protected:
  void SetUp() override { ResetWindowState(); }
  void TearDown() override { ResetWindowState(); }
  static std::pair<int32_t, int32_t> Cursor() {
    int32_t x, y;
    GetCursorPos(&x, &y);
    return {x, y};
  }
  static Box Of(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }
};

TEST_F(WindowState, TheFrameKeepsItsAspectAndThePointerLandsOnItsPixels) {
  EXPECT_EQ(Of(FitFrame(1280, 960, 640, 480)), (Box{0, 0, 1280, 960}));
  EXPECT_EQ(Of(FitFrame(1920, 1080, 640, 480)), (Box{240, 0, 1680, 1080}));
  EXPECT_EQ(Of(FitFrame(800, 800, 320, 200)), (Box{0, 150, 800, 650}));
  EXPECT_EQ(Of(FitFrame(640, 480, 0, 0)), (Box{0, 0, 640, 480}));
  SetWindowGeometry({1920, 1080, 640, 480});
  const std::tuple<int32_t, int32_t, std::pair<int32_t, int32_t>> moves[] = {
      {240, 0, {0, 0}}, {1679, 1079, {639, 479}}, {10, 540, {0, 240}}};  // the last on the bar: the edge
  for (const auto& [wx, wy, frame] : moves) {
    PointerMoved(wx, wy);
    EXPECT_EQ(Cursor(), frame) << wx << "," << wy;
  }
  SetWindowGeometry({});  // without geometry, window points are frame pixels
  PointerMoved(33, 44);
  EXPECT_EQ(Cursor(), std::pair(33, 44));
}

int32_t g_warpX = -1, g_warpY = -1, g_visible = -1;

TEST_F(WindowState, CursorCounterPlacementAndConfinement) {
  const WindowBackend backend = {nullptr, nullptr, [](bool visible) { g_visible = visible ? 1 : 0; },
                                 [](int32_t x, int32_t y) { g_warpX = x, g_warpY = y; }, nullptr};
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
  EXPECT_EQ(std::pair(g_warpX, g_warpY), std::pair(641, 481));  // the centre of the frame pixel
  const Rect box{10, 10, 20, 20};
  ClipCursor(&box);
  EXPECT_EQ(Cursor(), std::pair(19, 19));
  SetCursorPos(0, 100);
  EXPECT_EQ(Cursor(), std::pair(10, 19));
  const Rect empty{5, 5, 5, 5};  // an empty box keeps its corner
  ClipCursor(&empty);
  EXPECT_EQ(Cursor().first, 5);
  ClipCursor(nullptr);
  Rect kept;
  EXPECT_FALSE(GetCursorClip(&kept));
}

// The game's reading of a key: what the devices say, and a press released
// before the reading read as held at the next one, once. Each row plays its
// steps on key 65: d down, u up, w a wait past a latch's life, f the latches
// forgotten, a every key released, k the devices' state (up, latch kept),
// then r a reading that must say held and n one that must not.
TEST_F(WindowState, APressReleasedBetweenReadingsReadsHeldOnce) {
  const std::pair<const char*, const char*> rows[] = {
      {"a tap", "durn"},
      {"a held key", "drrr"},
      {"held, then released after a reading", "drun"},
      {"a repeat while held latches nothing", "drdun"},
      {"two taps between readings read once", "dudurn"},
      {"a tap unread for too long", "duwn"},
      {"taps forgotten", "dufn"},
      {"every key released", "dan"},
      {"the devices' state leaves the latch", "dukrn"},
  };
  for (const auto& [name, steps] : rows) {
    ReleaseAllKeys();
    UseManualClock(true);
    SetManualTime(1000);
    for (const char* c = steps; *c; ++c) {
      switch (*c) {
        case 'd': SetKeyState(65, true); break;
        case 'u': SetKeyState(65, false); break;
        case 'w': AdvanceManualTime(kKeyTapLifeMs + 1); break;
        case 'f': ForgetKeyTaps(); break;
        case 'a': ReleaseAllKeys(); break;
        case 'k': EXPECT_FALSE(KeyState(65)) << name; break;
        default: EXPECT_EQ(ReadKeyState(65), *c == 'r') << name << " at step " << (c - steps); break;
      }
    }
  }
  UseManualClock(false);
}

TEST_F(WindowState, KeysRegisteredNamesAndTheRepaintRegion) {
  SetKeyState(255, true);
  ReleaseAllKeys();
  EXPECT_FALSE(KeyState(255));
  const uint32_t a = RegisterWindowMessage("ZIDADE");
  EXPECT_EQ(RegisterWindowMessage("ZIDADE"), a);
  EXPECT_EQ(RegisterWindowMessage("B"), a + 1);
  // Many rectangles merge into at most 16, each posting a paint.
  for (int i = 0; i < 20; ++i) {
    const Rect r{i, i, i + 2, i + 3};
    InvalidateWindow(&r);
  }
  const std::vector<Rect> region = TakeUpdateRegion();
  ASSERT_LE(region.size(), 16u);
  int32_t right = 0;
  for (const Rect& r : region) right = std::max(right, r.right);
  EXPECT_EQ(right, 21);
  EXPECT_TRUE(TakeUpdateRegion().empty());
  int paints = 0;
  for (WindowMessage m{}; PeekWindowMessage(m);) paints += m.message == kMsgPaint;
  EXPECT_EQ(paints, 20);
}

// Messages queued so far, as message x 1000 + wParam.
std::vector<uint32_t> Queued() {
  std::vector<uint32_t> out;
  for (WindowMessage m; PeekWindowMessage(m);)
    out.push_back(m.message * 1000 + static_cast<uint32_t>(m.wParam));
  return out;
}

class InputScript : public WindowState {
 protected:
  void TearDown() override {
    WindowState::TearDown();
    std::remove(path_.c_str());
  }
  bool Load(const std::string& text, std::string* error = nullptr) {
    std::ofstream(path_) << text;
    return LoadInputScript(path_, error);
  }
  // Runs one pass of the pump: counted, then the source polled.
  static void Pump(int times = 1) {
    for (int i = 0; i < times; ++i) {
      CountPump();
      PollMessageSource();
    }
  }
  std::string path_ = ::testing::TempDir() + "keys-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
};

TEST_F(InputScript, KeysArePlayedAfterTheirPumps) {
  ASSERT_TRUE(Load("# Alt+S\n2 18 down\n0 83 down\n\n3 83 up\n1 18 up\n"));
  Pump();
  EXPECT_FALSE(KeyState(18));
  Pump();
  EXPECT_TRUE(KeyState(18) && KeyState(83));
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgSysKeyDown * 1000 + 18, kMsgSysKeyDown * 1000 + 83}));
  Pump(3);
  EXPECT_FALSE(KeyState(83));
  EXPECT_TRUE(KeyState(18));
  Pump();
  EXPECT_FALSE(KeyState(18));
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgSysKeyUp * 1000 + 83, kMsgSysKeyUp * 1000 + 18}));
  EXPECT_FALSE(InputMayArrive());  // played to its end
}

// On a display the devices' events are queued first at each poll, and
// they go on alone once the script has played.
TEST_F(InputScript, PlaysAfterTheDevicesAndLeavesThemInItsPlace) {
  static int polls;
  polls = 0;
  const MessageSource devices = [] {
    ++polls;
    PostWindowMessage({kMsgChar, 'd', 1});
  };
  SetMessageSource(devices);
  ASSERT_TRUE(Load("1 char 115\n"));
  ASSERT_TRUE(Load("1 char 115\n"));  // loaded again, still after the devices
  Pump();
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgChar * 1000 + 'd', kMsgChar * 1000 + 's'}));
  EXPECT_EQ(GetMessageSource(), devices);
  Pump();
  EXPECT_EQ(polls, 2);
  EXPECT_TRUE(InputMayArrive());
}

TEST_F(InputScript, WaitsInMillisecondsRunOnTheClock) {
  UseManualClock(true);
  SetManualTime(1000);
  ASSERT_TRUE(Load("250ms 16 down\n1 16 up\n"));
  Pump(5);
  AdvanceManualTime(249);
  Pump();
  EXPECT_FALSE(KeyState(16));
  AdvanceManualTime(1);
  Pump();
  EXPECT_TRUE(KeyState(16));
  Pump();
  EXPECT_FALSE(KeyState(16));
  UseManualClock(false);
}

TEST_F(InputScript, ThePointerAndTypedCharactersArePlayed) {
  ASSERT_TRUE(Load("1 mouse 120 45\n0 1 down\n1 char 97\n0 char 255\n1 mouse 0 479\n"));
  Pump();
  EXPECT_EQ(Cursor(), (std::pair<int32_t, int32_t>{120, 45}));
  EXPECT_TRUE(KeyState(1));  // key 1 is the left button
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgKeyDown * 1000 + 1}));
  Pump();
  EXPECT_EQ(Queued(), (std::vector<uint32_t>{kMsgChar * 1000 + 97, kMsgChar * 1000 + 255}));
  EXPECT_TRUE(InputMayArrive());
  Pump();
  EXPECT_EQ(Cursor(), (std::pair<int32_t, int32_t>{0, 479}));
  EXPECT_FALSE(InputMayArrive());
}

TEST_F(InputScript, AClockLineRunsTheProgramOnTheManualClock) {
  UseManualClock(false);
  ASSERT_TRUE(Load("# menus at 20 ms a pass\n\nclock 20\n100ms 16 down\n"));
  ASSERT_TRUE(IsManualClock());
  const uint32_t start = TickMs();
  Pump(4);
  EXPECT_EQ(TickMs() - start, 80u);
  EXPECT_FALSE(KeyState(16));
  SleepMs(15);
  Pump();
  EXPECT_EQ(TickMs() - start, 115u);
  EXPECT_TRUE(KeyState(16));
  // Played to its end, the script leaves the clock running by the pass.
  Pump();
  EXPECT_EQ(TickMs() - start, 135u);
  UseManualClock(false);
}

// A dump writes the window's pixels as a 24-bit TGA, bottom row first; a
// file that cannot be made is passed over, and so is a dump before the
// display has a primary surface.
TEST_F(InputScript, ADumpWritesWhatTheWindowShows) {
  ResetDisplay();
  const std::string picture = path_ + ".tga";
  ASSERT_TRUE(Load("0 dump " + picture + "\n1 dump " + picture + "\n0 dump /nonexistent/x.tga\n"));
  Pump();
  EXPECT_FALSE(std::ifstream(picture).good());
  SurfaceRequest r;
  r.primary = true;
  Surface* primary = nullptr;
  ASSERT_EQ(CreateSurface(r, &primary), kDisplayOk);
  FillSurface(primary, {0, 0, 640, 480}, 0x001F);  // blue, at 5-6-5
  FillSurface(primary, {0, 0, 1, 1}, 0xF800);      // a red top-left pixel
  Pump();
  std::ifstream in(picture, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 18u + 640 * 480 * 3);
  EXPECT_EQ(bytes.substr(12, 6), std::string("\x80\x02\xE0\x01\x18\x00", 6));
  const size_t topLeft = 18 + 479 * 640 * 3;
  EXPECT_EQ(bytes.substr(18, 3), std::string("\xFF\x00\x00", 3));  // blue, green, red
  EXPECT_EQ(bytes.substr(topLeft, 3), std::string("\x00\x00\xFF", 3));
  ReleaseSurface(primary);
  ResetDisplay();
  std::remove(picture.c_str());
}

TEST_F(InputScript, BadScriptsAreRefusedWithTheirLineAndForm) {
  const std::pair<const char*, const char*> bad[] = {
      {"1 27\n", "<key 1..255> <down|up>"},       {"x 27 down\n", "<key 1..255>"},
      {"1 0 down\n", "<key 1..255>"},             {"1 256 up\n", "<key 1..255>"},
      {"-1 27 up\n", "<key 1..255>"},             {"1 27 held\n", "<key 1..255>"},
      {"1 27 up extra\n", "<key 1..255>"},        {"ms 27 up\n", "<key 1..255>"},
      {"5s 27 up\n", "<key 1..255>"},             {"-5ms 27 up\n", "<key 1..255>"},
      {"1 mouse 10\n", "mouse <x> <y>"},          {"1 mouse 10 20 30\n", "mouse <x> <y>"},
      {"1 mouse -1 20\n", "mouse <x> <y>"},       {"1 mouse 10 -20\n", "mouse <x> <y>"},
      {"1 char 0\n", "char <code 1..255>"},       {"1 char 256\n", "char <code 1..255>"},
      {"1 char\n", "char <code 1..255>"},         {"1 char 65 x\n", "char <code 1..255>"},
      {"1 chars 65\n", "<key 1..255>"},          {"1 dump\n", "dump <file>"},
      {"1 dump a.tga b\n", "dump <file>"},           {"clock 20\n", "clock <ms above 0>, as the first line"}};
  std::string error;
  for (const auto& [line, form] : bad) {
    EXPECT_FALSE(Load(std::string("0 32 down\n") + line, &error)) << line;
    EXPECT_NE(error.find(":2: expected"), std::string::npos) << error;
    EXPECT_NE(error.find(form), std::string::npos) << error;
  }
  for (const char* clock : {"clock 0\n", "clock\n", "clock 20 5\n", "clock 10\nclock 20\n"}) {
    EXPECT_FALSE(Load(clock, &error)) << clock;
    EXPECT_NE(error.find("clock <ms above 0>"), std::string::npos) << error;
  }
  EXPECT_FALSE(IsManualClock());
  EXPECT_FALSE(LoadInputScript(path_ + ".none", &error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

}  // namespace
