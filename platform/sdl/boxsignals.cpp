// The signals that close a modal message box: the handler ends the box's
// process and passes the signal on. Only async-signal-safe calls are made
// in it.
#include "platform/sdl/boxsignals.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace plat::sdl {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};
struct sigaction g_before[2];
// The box's process is a child of the thread that shows it.
char g_childrenPath[64];
volatile sig_atomic_t g_received = 0;

int Slot(int signal) { return signal == SIGINT ? 0 : 1; }

// Kills every child listed (decimal process ids apart by blanks).
void KillChildren() {
  const int file = open(g_childrenPath, O_RDONLY);
  if (file < 0) return;
  char text[512];
  const ssize_t length = read(file, text, sizeof text);
  close(file);
  pid_t pid = 0;
  for (ssize_t i = 0; i <= length; ++i) {
    if (i < length && text[i] >= '0' && text[i] <= '9') {
      pid = pid * 10 + (text[i] - '0');
    } else {
      if (pid > 0) kill(pid, SIGKILL);
      pid = 0;
    }
  }
}

void Closing(int signal, siginfo_t* info, void* context) {
  g_received = signal;
  KillChildren();
  const struct sigaction& before = g_before[Slot(signal)];
  if (before.sa_flags & SA_SIGINFO)
    before.sa_sigaction(signal, info, context);
  else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN)
    before.sa_handler(signal);
}

}  // namespace

BoxSignals::BoxSignals() {
  g_received = 0;
  std::snprintf(g_childrenPath, sizeof g_childrenPath, "/proc/self/task/%ld/children",
                static_cast<long>(syscall(SYS_gettid)));
  struct sigaction closing {};
  closing.sa_sigaction = Closing;
  closing.sa_flags = SA_SIGINFO;
  sigemptyset(&closing.sa_mask);
  for (int signal : kSignals) sigaction(signal, &closing, &g_before[Slot(signal)]);
}

BoxSignals::~BoxSignals() {
  for (int signal : kSignals) sigaction(signal, &g_before[Slot(signal)], nullptr);
  const int received = g_received;
  if (received && g_before[Slot(received)].sa_handler == SIG_DFL &&
      !(g_before[Slot(received)].sa_flags & SA_SIGINFO))
    raise(received);
}

}  // namespace plat::sdl
