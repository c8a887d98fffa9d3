// Window-system services the library needs before a display exists: the
// modal message box, the system beep and the end of the process. Without a
// display the message box writes its text to standard error, records it for
// tests and answers OK at once.
#pragma once
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

}  // namespace plat
