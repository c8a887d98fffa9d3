// Message box, console lines on standard output, beep and process exit,
// headless unless a back end is set.
#include "platform/window.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/ansi.h"

namespace plat {
namespace {
MessageBoxBackend g_backend = nullptr;
std::vector<std::string> g_shown;
bool g_echo = true;
bool g_lineEcho = false;
int g_beeps = 0;
ExitHook g_exitHook = nullptr;
std::mutex g_queueLock;
std::deque<WindowMessage> g_queue;
std::vector<WindowMessage> g_broadcasts;
}  // namespace

int MessageBox(const std::string& text, const std::string& caption) {
  g_shown.push_back(text);
  if (g_backend) return g_backend(text, caption);
  if (g_echo) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
  }
  return kMessageBoxOk;
}

void SetMessageBoxBackend(MessageBoxBackend backend) { g_backend = backend; }
const std::vector<std::string>& ShownMessageBoxes() { return g_shown; }
void ClearShownMessageBoxes() { g_shown.clear(); }
void SetMessageBoxEcho(bool echo) { g_echo = echo; }

void SetLineEcho(bool echo) { g_lineEcho = echo; }

void EchoLine(const std::string& text) {
  if (!g_lineEcho) return;
  std::fputs((AnsiToUtf8(text) + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void Beep() { ++g_beeps; }
int BeepCount() { return g_beeps; }
void ResetBeepCount() { g_beeps = 0; }

void SetExitHook(ExitHook hook) { g_exitHook = hook; }

void ExitProcess(int code) {
  if (g_exitHook) g_exitHook(code);
  std::fflush(nullptr);
  std::exit(code);
}

void PostWindowMessage(const WindowMessage& message) {
  std::lock_guard<std::mutex> hold(g_queueLock);
  g_queue.push_back(message);
}

bool PeekWindowMessage(WindowMessage& message) {
  std::lock_guard<std::mutex> hold(g_queueLock);
  if (g_queue.empty()) return false;
  message = g_queue.front();
  g_queue.pop_front();
  return true;
}

bool WindowMessageWaiting() {
  std::lock_guard<std::mutex> hold(g_queueLock);
  return !g_queue.empty();
}

void ClearWindowMessages() {
  std::lock_guard<std::mutex> hold(g_queueLock);
  g_queue.clear();
}

void BroadcastWindowMessage(const WindowMessage& message) {
  g_broadcasts.push_back(message);
  PostWindowMessage(message);
}

const std::vector<WindowMessage>& BroadcastMessages() { return g_broadcasts; }
void ClearBroadcastMessages() { g_broadcasts.clear(); }

}  // namespace plat
