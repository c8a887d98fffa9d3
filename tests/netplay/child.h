// A child process for the network tests: started with an environment of
// the test's choosing, its standard output read line by line with a time
// limit, killed and reaped at the end whatever happens.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/netplay/netplay.h"

extern char** environ;

namespace ztest {

class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Kill(); }

  // Starts argv with this process's environment, less every ZENTROVA_NET_
  // variable, plus extra ("NAME=value" entries).
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      if (std::strncmp(*e, "ZENTROVA_NET_", 13) != 0) env.push_back(*e);
    env.push_back("ZENTROVA_HEADLESS=1");
    env.insert(env.end(), extra.begin(), extra.end());
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    out_ = pipeFds[0];
    if (failed) pid_ = -1;
    return !failed;
  }

  // Reads until a line starting with prefix arrives (true, the line in
  // *line) or ms of real time pass; services this process's instances
  // meanwhile when settle is set.
  bool WaitLine(const std::string& prefix, int ms, std::string* line = nullptr, bool settle = false) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      size_t at = 0, nl;
      while ((nl = pending_.find('\n', at)) != std::string::npos) {
        const std::string l = pending_.substr(at, nl - at);
        at = nl + 1;
        if (l.compare(0, prefix.size(), prefix) == 0) {
          pending_.erase(0, at);
          if (line) *line = l;
          return true;
        }
      }
      pending_.erase(0, at);
      if (std::chrono::steady_clock::now() >= end || out_ < 0) return false;
      if (settle) plat::netplay::Settle();
      Take(settle ? 1 : 50);
    }
  }

  // Waits up to ms of real time for the child to end: its exit code, or -1
  // (killed when it did not end).
  int Wait(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (pid_ > 0) {
      Take(10);
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() >= end) break;
    }
    Kill();
    return -1;
  }

  void Kill() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (out_ >= 0) close(out_);
    out_ = -1;
  }

  // Everything the child printed so far.
  const std::string& Output() const { return all_; }

 private:
  // Reads what the child printed, waiting up to ms for it.
  void Take(int ms) {
    if (out_ < 0) {
      usleep(static_cast<useconds_t>(ms) * 1000);
      return;
    }
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0) return;
    char buf[4096];
    const ssize_t got = read(out_, buf, sizeof buf);
    if (got <= 0) {
      close(out_);
      out_ = -1;
      return;
    }
    pending_.append(buf, static_cast<size_t>(got));
    all_.append(buf, static_cast<size_t>(got));
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_, all_;
};

}  // namespace ztest
