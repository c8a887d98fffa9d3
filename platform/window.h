// Window-system services the library needs before a display exists: the
// modal message box, the system beep and the end of the process. Without a
// display the message box writes its text to standard error, records it for
// tests and answers OK at once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
void ClearWindowMessages();

}  // namespace plat
