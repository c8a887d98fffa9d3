// Window-system services: the modal message box, the system beep, the end
// of the process, the queue of window messages and their source, the
// program's window (full screen or framed), key state, the cursor and the
// region to repaint. Without a display (no back end) the window exists only
// as state: the message box writes its text to standard error, records it
// for tests and answers OK at once; messages come from tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/display.h"

namespace plat {

constexpr int kMessageBoxOk = 1;

// Shows a modal box with an OK button; returns kMessageBoxOk.
int MessageBox(const std::string& text, const std::string& caption);

// A display back end may take over the box (it returns the answer).
using MessageBoxBackend = int (*)(const std::string& text, const std::string& caption);
void SetMessageBoxBackend(MessageBoxBackend backend);

// Texts of the boxes shown so far (headless and real), for tests.
const std::vector<std::string>& ShownMessageBoxes();
void ClearShownMessageBoxes();
// Whether shown boxes are also written to standard error (on by default).
void SetMessageBoxEcho(bool echo);

// Headless runs also show each console line on standard output, in UTF-8,
// as it is printed (off until the program turns it on).
void SetLineEcho(bool echo);
void EchoLine(const std::string& text);

// The system beep; counted so that tests can see it.
void Beep();
int BeepCount();
void ResetBeepCount();

// Ends the process with the code. A test installs a hook that does not
// return (it throws); without a hook the process exits.
using ExitHook = void (*)(int code);
void SetExitHook(ExitHook hook);
[[noreturn]] void ExitProcess(int code);

// Window messages, numbered as the original's window system numbered them.
constexpr uint32_t kMsgDestroy = 0x0002;
constexpr uint32_t kMsgMove = 0x0003;
constexpr uint32_t kMsgPaint = 0x000F;
constexpr uint32_t kMsgClose = 0x0010;
constexpr uint32_t kMsgQuit = 0x0012;
constexpr uint32_t kMsgActivateApp = 0x001C;
constexpr uint32_t kMsgKeyDown = 0x0100;
constexpr uint32_t kMsgKeyUp = 0x0101;
constexpr uint32_t kMsgChar = 0x0102;
constexpr uint32_t kMsgSysKeyDown = 0x0104;
constexpr uint32_t kMsgSysKeyUp = 0x0105;
constexpr uint32_t kMsgSysCommand = 0x0112;
constexpr uint32_t kMsgLButtonDown = 0x0201;
constexpr uint32_t kMsgLButtonUp = 0x0202;
constexpr uint32_t kMsgRButtonDown = 0x0204;
constexpr uint32_t kMsgRButtonUp = 0x0205;
constexpr uint32_t kMsgMoving = 0x0216;
constexpr uint32_t kMsgCdNotify = 0x03B9;

struct WindowMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// The queue of messages waiting for the pump. Posting is safe from any
// thread (the audio thread posts the CD's end-of-play message).
void PostWindowMessage(const WindowMessage& message);
// Takes the oldest message; false when none is waiting.
bool PeekWindowMessage(WindowMessage& message);
bool WindowMessageWaiting();
void ClearWindowMessages();

// Messages the program posts to all top-level windows. The other programs
// that would receive them are outside the system, so each is recorded
// (tests read the record) and enters this process's own queue.
void BroadcastWindowMessage(const WindowMessage& message);
const std::vector<WindowMessage>& BroadcastMessages();
void ClearBroadcastMessages();

// Passes of the message pump so far (the library counts each one); the
// input script of a headless run waits on them.
void CountPump();
uint64_t PumpCount();
// While the manual clock runs, each pass of the pump advances it by ms
// (0, the default: passes take no time).
void SetPumpClockStep(uint32_t ms);

// A message number of its own for a name, the same for the same name
// (0xC000 and up).
uint32_t RegisterWindowMessage(const std::string& name);

// The source of messages: polled at each pass of the pump and whenever
// the key state or cursor is read, it turns the devices' events into
// queued messages and state (the SDL back end, or a test script).
using MessageSource = void (*)();
void SetMessageSource(MessageSource source);
MessageSource GetMessageSource();
void PollMessageSource();
// Whether input can still arrive: a source is installed (the device back
// end, or a test's script) or messages are waiting. Without either, as
// when the program runs headless, no key will ever come.
bool InputMayArrive();

// The window back end; without one the window exists only as state.
struct WindowBackend {
  // Makes and shows the window full screen; false when it cannot (after
  // saying why on standard error).
  bool (*open)(const std::string& title);
  // Full screen (desktop-sized) or framed with a client area of the size.
  void (*setStyle)(bool framed, int32_t width, int32_t height);
  void (*showCursor)(bool visible);
  // Puts the pointer on a point of the window.
  void (*warpCursor)(int32_t windowX, int32_t windowY);
  // Minimises (kShowMinimized) or brings back and raises (kShowMaximized).
  void (*show)(int32_t state);
};
void SetWindowBackend(const WindowBackend* backend);
// True without a back end: the program runs without a display.
bool Headless();

struct WindowState {
  bool open = false;
  bool framed = false;
  int32_t width = 0, height = 0;  // the framed client area
  std::string title;
};
bool OpenWindows(const std::string& title);
void SetWindowStyle(bool framed, int32_t width, int32_t height);
const WindowState& GetWindowState();

// Show states of the program's window, numbered as the window system
// numbers them. Each is recorded for tests; without a back end nothing
// else happens (a minimised headless program stays active).
constexpr int32_t kShowMaximized = 3;
constexpr int32_t kShowMinimized = 6;
void ShowWindowState(int32_t state);
const std::vector<int32_t>& ShownWindowStates();

// Where the frame (the front screen's pixels) lies in the window: full
// screen scales it with its aspect kept and centres it; a framed window
// shows it one to one. The back end keeps it up to date.
struct WindowGeometry {
  int32_t windowWidth = 0, windowHeight = 0;  // the window, in the pointer's units
  int32_t frameWidth = 0, frameHeight = 0;
};
void SetWindowGeometry(const WindowGeometry& geometry);
const WindowGeometry& GetWindowGeometry();
// The rectangle of a window w x h that shows a frame fw x fh, aspect kept.
Rect FitFrame(int32_t w, int32_t h, int32_t fw, int32_t fh);

// Held keys by virtual-key code 0 to 255 (mouse buttons 1, 2 and 4), as
// the devices say (KeyState). A key that goes down is also latched until
// the game reads it (ReadKeyState), so that a press and its release that
// both arrive between two readings (a touchpad's tap, a quick key) still
// read as held once. A latch the game does not read within kKeyTapLifeMs
// of the press is dropped, so that an old press does not act later on
// another screen.
constexpr uint32_t kKeyTapLifeMs = 1000;
void SetKeyState(int32_t key, bool down);
bool KeyState(int32_t key);
// The game's reading: held now, or pressed since the last reading and
// released meanwhile; either way the latch is used up.
bool ReadKeyState(int32_t key);
// Drops every latch not yet read (the reader of the input changes).
void ForgetKeyTaps();
// Every key up and every latch dropped.
void ReleaseAllKeys();

// The cursor's display counter: shown while it is 0 or more. Returns the
// new count.
int32_t ShowCursor(bool show);
int32_t CursorCount();
// The cursor in frame pixels, kept inside the confinement rectangle.
void SetCursorPos(int32_t x, int32_t y);
void GetCursorPos(int32_t* x, int32_t* y);
// The pointer moved to a point of the window (in the geometry's units).
void PointerMoved(int32_t windowX, int32_t windowY);
// Confines the cursor to a rectangle, right and bottom exclusive; null
// frees it.
void ClipCursor(const Rect* rect);
bool GetCursorClip(Rect* rect);

// The region to repaint: a rectangle (null: the whole window) is added and
// a paint message posted; the paint handler takes the region, which
// validates the window.
void InvalidateWindow(const Rect* rect);
std::vector<Rect> TakeUpdateRegion();

// Test control: forgets the window, its back end, source, geometry, keys,
// cursor, region, registered messages, show states, broadcasts, pump
// count and pump clock step, and empties the queue.
void ResetWindowState();

}  // namespace plat
